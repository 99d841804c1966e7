// Exact decimal numbers of the table engine and of all money and quantity arithmetic.
// A Decimal is an integer count of units of 10^-scale; no binary floating point is used
// anywhere. Rounding modes live here and nowhere else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::tables {

enum class Rounding {
    HalfAway,  // 2.345 -> 2.35, -2.345 -> -2.35
    Truncate,  // toward zero: 2.349 -> 2.34, -2.349 -> -2.34
};

class Decimal {
  public:
    static constexpr int kMaxScale = 18;
    // Scale kept by a quotient: at least this many decimals (more if an operand has more).
    static constexpr int kDivisionScale = 10;

    Decimal() = default;
    Decimal(long long value) : units_(value), scale_(0) {}  // NOLINT: implicit on purpose
    static Decimal fromUnits(__int128 units, int scale);

    // Parses "[-+]digits[.digits]" (blanks around are allowed, ".5" and "5." too).
    // Returns nullopt for anything else, or more than kMaxScale decimals, or overflow.
    static std::optional<Decimal> parse(std::string_view text);

    __int128 units() const { return units_; }
    int scale() const { return scale_; }
    bool isZero() const { return units_ == 0; }
    bool isNegative() const { return units_ < 0; }
    int sign() const { return units_ < 0 ? -1 : (units_ > 0 ? 1 : 0); }

    // Same value with exactly `scale` decimals, rounding as asked when decimals are dropped.
    Decimal rescaled(int scale, Rounding mode = Rounding::HalfAway) const;
    Decimal rounded(int decimals, Rounding mode = Rounding::HalfAway) const {
        return rescaled(decimals, mode);
    }
    // Smallest scale that keeps the value (trailing zeros dropped).
    Decimal normalized() const;
    // Whole part toward zero; fits long long or throws.
    long long toLongLong() const;
    // For display/statistics only, never for stored arithmetic.
    double toDouble() const;

    // Plain decimal text with exactly scale() decimals ("-12.50", "0.05", "7").
    std::string toString() const;
    // Plain decimal text without trailing zeros ("12.5", "7").
    std::string toPlainString() const { return normalized().toString(); }

    // Arithmetic is exact; overflow and division by zero throw EngineError.
    friend Decimal operator+(const Decimal& a, const Decimal& b);
    friend Decimal operator-(const Decimal& a, const Decimal& b);
    friend Decimal operator*(const Decimal& a, const Decimal& b);
    // Quotient rounded half away from zero to max(kDivisionScale, a.scale, b.scale)
    // decimals, then trailing zeros beyond max(a.scale, b.scale) are dropped.
    friend Decimal operator/(const Decimal& a, const Decimal& b);
    Decimal operator-() const { return fromUnits(-units_, scale_); }
    Decimal& operator+=(const Decimal& b) { return *this = *this + b; }
    Decimal& operator-=(const Decimal& b) { return *this = *this - b; }

    friend int compare(const Decimal& a, const Decimal& b);
    friend bool operator==(const Decimal& a, const Decimal& b) { return compare(a, b) == 0; }
    friend auto operator<=>(const Decimal& a, const Decimal& b) { return compare(a, b) <=> 0; }

    // Hash equal for equal values whatever their scale.
    size_t hash() const;

  private:
    __int128 units_ = 0;
    int scale_ = 0;
};

}  // namespace tvx::tables
