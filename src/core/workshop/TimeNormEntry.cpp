// Defaults, the proposed rate and the checks of the time norms' dialogs.
#include "core/workshop/TimeNormEntry.h"

#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Decimal;

namespace {

constexpr const char* kBadHours = "Timp incorect!";
constexpr const char* kBadRate = "Tarif incorect!";
constexpr const char* kBadQuantity = "Cantitate incorecta!";

std::string Cleaned(const std::string& text, int length, bool upper) {
    std::string cleaned = FirstChars(CleanText(text), static_cast<size_t>(length));
    return upper ? UpperText(cleaned) : cleaned;
}

Decimal PowerOfTen(int digits) {
    Decimal limit(1);
    for (int i = 0; i < digits; ++i) limit = limit * Decimal(10);
    return limit;
}

// The largest values the columns hold: TIMP DECIMAL(6,2), CANT DECIMAL(8,2) (also the hours
// of an invoice line), LEIORA DECIMAL(8,2).
Decimal MaxHours() {
    return Decimal::fromUnits(99999, 2);
}
Decimal MaxQuantity() {
    return Decimal::fromUnits(9999999, 2);
}

}  // namespace

std::optional<Decimal> ReadNormNumber(const std::string& text, int digits, int decimals) {
    if (Trimmed(text).empty()) return Decimal(0);
    const auto value = ParseTypedNumber(text);
    if (!value || value->isNegative()) return std::nullopt;
    const Decimal plain = value->normalized();
    if (plain.scale() > decimals || plain >= PowerOfTen(digits)) return std::nullopt;
    return plain;
}

// ---- Operation dialog ----

void TimeNormEntry::startNew(const std::vector<std::string>& windowCarTypes,
                             const std::vector<std::string>& windowSections,
                             const std::string& windowCarType, const std::string& windowSection) {
    carTypes = windowCarTypes;
    sections = windowSections;
    carType = windowCarType;
    section = windowSection;
    name.clear();
    code.clear();
    hours = std::string("0");
    rate = std::string("0");
}

void TimeNormEntry::startEdit(const std::vector<std::string>& windowCarTypes,
                              const std::vector<std::string>& windowSections,
                              const TimeNorm& norm) {
    startNew(windowCarTypes, windowSections, norm.carType, norm.section);
    name = norm.name;
    code = norm.code;
    hours = norm.hours.toPlainString();
    rate = norm.rate.toPlainString();
}

void TimeNormEntry::proposeRate(const Settings& settings) {
    rate = std::string("0");
    if (Trimmed(carType).empty() || Trimmed(section).empty()) return;
    const auto value = ReadNormNumber(settings.readSetting(Trimmed(carType), Trimmed(section)),
                                      kDigits, kDecimals);
    if (value) rate = value->toPlainString();
}

std::optional<FieldProblem> TimeNormEntry::check() {
    carType = Cleaned(carType, kCarTypeLength, true);
    section = Cleaned(section, kSectionLength, true);
    name = Cleaned(name, kNameLength, false);
    code = Cleaned(code, kCodeLength, true);

    if (carType.empty()) return FieldProblem{kCarTypeField, "Lipseste marca masinii!"};
    if (section.empty()) return FieldProblem{kSectionField, "Lipseste Denumirea atelierului!"};
    if (name.empty()) return FieldProblem{kNameField, "Lipseste Denumirea Operatiunii!"};
    // The number boxes let nothing else through; text set otherwise is refused at its field.
    const auto time = ReadNormNumber(hours, kDigits, kDecimals);
    if (!time) return FieldProblem{kHoursField, kBadHours};
    hours = time->toPlainString();
    const auto typed = ParseTypedNumber(rate);
    if (!typed || !(*typed > Decimal(0))) return FieldProblem{kRateField, "Lipseste Tariful!"};
    const auto value = ReadNormNumber(rate, kDigits, kDecimals);
    if (!value) return FieldProblem{kRateField, kBadRate};
    rate = value->toPlainString();
    return std::nullopt;
}

TimeNorm TimeNormEntry::norm() const {
    TimeNorm n;
    n.carType = carType;
    n.section = section;
    n.name = name;
    n.code = code;
    n.hours = ReadNormNumber(hours, kDigits, kDecimals).value_or(Decimal(0));
    n.rate = ReadNormNumber(rate, kDigits, kDecimals).value_or(Decimal(0));
    return n;
}

// ---- Rate dialog ----

void HourlyRateEntry::start(std::vector<std::string> allCarTypes,
                            std::vector<std::string> allSections) {
    carTypes = std::move(allCarTypes);
    sections = std::move(allSections);
    carType.clear();
    section.clear();
    rate = std::string("0");
}

std::optional<FieldProblem> HourlyRateEntry::check() const {
    if (Trimmed(carType).empty()) return FieldProblem{kCarTypeField, "Nu ati specificat marca !"};
    if (Trimmed(section).empty())
        return FieldProblem{kSectionField, "Nu ati specificat Atelierul !"};
    // LEIORA holds at most 99999.99, one digit less than the box takes.
    const auto value = ReadNormNumber(rate, kRateDigits - 1, 0);
    if (!value) return FieldProblem{kRateField, kBadRate};
    return std::nullopt;
}

Decimal HourlyRateEntry::value() const {
    return ReadNormNumber(rate, kRateDigits - 1, 0).value_or(Decimal(0));
}

// ---- Quantity dialog ----

std::optional<FieldProblem> CheckNormQuantity(const Decimal& quantity, const Decimal& hours) {
    if (quantity.isNegative() || quantity > MaxQuantity())
        return FieldProblem{"CantEd", kBadQuantity};
    if (hours.isNegative() || hours > MaxHours()) return FieldProblem{"TimpEd", kBadHours};
    // The invoice line carries TIMP x CANT hours in a column of the same size as CANT.
    if (hours.rescaled(2) * quantity.rescaled(2) > MaxQuantity())
        return FieldProblem{"CantEd", kBadQuantity};
    return std::nullopt;
}

}  // namespace tvx::core
