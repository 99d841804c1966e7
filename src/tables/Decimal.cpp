// Exact decimal arithmetic: scaled 128-bit integers with explicit rounding.
#include "tables/Decimal.h"

#include <array>
#include <cstdint>
#include <cstdlib>

#include "tables/EngineError.h"

namespace tvx::tables {

namespace {

using i128 = __int128;

// 10^0 .. 10^38 fit in a signed 128-bit integer. Built at compile time, so that Decimal
// constants at namespace scope in other files may use it during static initialization.
constexpr std::array<i128, 39> kPowersOfTen = [] {
    std::array<i128, 39> t{};
    t[0] = 1;
    for (int i = 1; i < 39; ++i) t[i] = t[i - 1] * 10;
    return t;
}();

i128 pow10(int n) {
    if (n < 0 || n > 38) throw EngineError("Numeric overflow");
    return kPowersOfTen[n];
}

// Values are kept below 10^36 in magnitude so that scaling and sums stay safe.
constexpr i128 kLimit = kPowersOfTen[36];

i128 checked(i128 v) {
    if (v >= kLimit || v <= -kLimit) throw EngineError("Numeric overflow");
    return v;
}

i128 mulChecked(i128 a, i128 b) {
    i128 r;
    if (__builtin_mul_overflow(a, b, &r)) throw EngineError("Numeric overflow");
    return checked(r);
}

// a / b rounded as asked (b > 0 or b < 0, never 0).
i128 divRound(i128 a, i128 b, Rounding mode) {
    i128 q = a / b;
    i128 r = a % b;
    if (mode == Rounding::HalfAway && r != 0) {
        i128 ar = r < 0 ? -r : r;
        i128 ab = b < 0 ? -b : b;
        if (ar * 2 >= ab) q += ((a < 0) != (b < 0)) ? -1 : 1;
    }
    return q;
}

}  // namespace

Decimal Decimal::fromUnits(__int128 units, int scale) {
    if (scale < 0 || scale > kMaxScale) throw EngineError("Numeric scale out of range");
    Decimal d;
    d.units_ = checked(units);
    d.scale_ = scale;
    return d;
}

std::optional<Decimal> Decimal::parse(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    if (b == e) return std::nullopt;
    bool negative = false;
    if (text[b] == '-' || text[b] == '+') {
        negative = text[b] == '-';
        ++b;
    }
    i128 units = 0;
    int scale = 0, digits = 0;
    bool point = false;
    for (size_t i = b; i < e; ++i) {
        char c = text[i];
        if (c == '.') {
            if (point) return std::nullopt;
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        ++digits;
        if (point) {
            if (++scale > kMaxScale) return std::nullopt;
        }
        units = units * 10 + (c - '0');
        if (units >= kLimit) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    Decimal d;
    d.units_ = negative ? -units : units;
    d.scale_ = scale;
    return d;
}

Decimal Decimal::rescaled(int scale, Rounding mode) const {
    if (scale < 0 || scale > kMaxScale) throw EngineError("Numeric scale out of range");
    if (scale == scale_) return *this;
    if (scale > scale_) return fromUnits(mulChecked(units_, pow10(scale - scale_)), scale);
    return fromUnits(divRound(units_, pow10(scale_ - scale), mode), scale);
}

Decimal Decimal::normalized() const {
    Decimal d = *this;
    while (d.scale_ > 0 && d.units_ % 10 == 0) {
        d.units_ /= 10;
        --d.scale_;
    }
    return d;
}

long long Decimal::toLongLong() const {
    i128 whole = units_ / pow10(scale_);
    if (whole > INT64_MAX || whole < INT64_MIN) throw EngineError("Numeric overflow");
    return static_cast<long long>(whole);
}

double Decimal::toDouble() const {
    return static_cast<double>(units_) / static_cast<double>(pow10(scale_));
}

std::string Decimal::toString() const {
    i128 v = units_ < 0 ? -units_ : units_;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    if (static_cast<int>(digits.size()) <= scale_)
        digits.insert(0, static_cast<size_t>(scale_ - digits.size() + 1), '0');
    if (scale_ > 0) digits.insert(digits.size() - scale_, 1, '.');
    if (units_ < 0) digits.insert(0, 1, '-');
    return digits;
}

Decimal operator+(const Decimal& a, const Decimal& b) {
    int s = std::max(a.scale_, b.scale_);
    return Decimal::fromUnits(a.rescaled(s).units_ + b.rescaled(s).units_, s);
}

Decimal operator-(const Decimal& a, const Decimal& b) {
    int s = std::max(a.scale_, b.scale_);
    return Decimal::fromUnits(a.rescaled(s).units_ - b.rescaled(s).units_, s);
}

Decimal operator*(const Decimal& a, const Decimal& b) {
    int s = a.scale_ + b.scale_;
    i128 units = 0;
    if (__builtin_mul_overflow(a.units_, b.units_, &units)) throw EngineError("Numeric overflow");
    if (s > Decimal::kMaxScale) {
        units = divRound(units, pow10(s - Decimal::kMaxScale), Rounding::HalfAway);
        s = Decimal::kMaxScale;
    }
    return Decimal::fromUnits(units, s);
}

Decimal operator/(const Decimal& a, const Decimal& b) {
    if (b.units_ == 0) throw EngineError("Division by zero");
    int keep = std::max(a.scale_, b.scale_);
    int s = std::max(Decimal::kDivisionScale, keep);
    // a/b at scale s: (a.units * 10^(s - a.scale + b.scale)) / b.units
    int shift = s - a.scale_ + b.scale_;
    i128 num = mulChecked(a.units_, pow10(shift));
    Decimal q = Decimal::fromUnits(divRound(num, b.units_, Rounding::HalfAway), s);
    while (q.scale_ > keep && q.units_ % 10 == 0) {
        q.units_ /= 10;
        --q.scale_;
    }
    return q;
}

int compare(const Decimal& a, const Decimal& b) {
    if (a.scale_ == b.scale_) return a.units_ < b.units_ ? -1 : (a.units_ > b.units_ ? 1 : 0);
    int s = std::max(a.scale_, b.scale_);
    // Rescaling up cannot overflow for values within kLimit at scale <= 18 except in
    // extreme cases; fall back to comparing whole parts first.
    i128 aw = a.units_ / pow10(a.scale_), bw = b.units_ / pow10(b.scale_);
    if (aw != bw) return aw < bw ? -1 : 1;
    i128 af = (a.units_ % pow10(a.scale_)) * pow10(s - a.scale_);
    i128 bf = (b.units_ % pow10(b.scale_)) * pow10(s - b.scale_);
    return af < bf ? -1 : (af > bf ? 1 : 0);
}

size_t Decimal::hash() const {
    Decimal n = normalized();
    auto lo = static_cast<unsigned long long>(n.units_);
    auto hi = static_cast<unsigned long long>(n.units_ >> 64);
    size_t h = std::hash<unsigned long long>()(lo) ^ (std::hash<unsigned long long>()(hi) << 1);
    return h ^ (static_cast<size_t>(n.scale_) * 0x9E3779B97F4A7C15ull);
}

}  // namespace tvx::tables
