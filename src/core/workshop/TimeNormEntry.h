// The dialogs of the time norms in core (core/workshop): the operation dialog "Operatiune
// Service" (car type, section, name, code, standard time, hourly rate) with the rate it
// proposes from the settings file and its ordered checks; the rate dialog "Tarif lei/ora"
// that sets the rate of a whole section of a car type; and the check of the quantity dialog
// "Stabileste cantitatea" as the time norms use it. They write nothing: the time norms
// (TimeNorms) store what they hand back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Decimal.h"

namespace tvx::core {

class Settings;

// One operation of table Timp as the dialog hands it over.
struct TimeNorm {
    long long idTimp = 0;
    std::string carType, section, name, code;
    tables::Decimal hours;  // TIMP: standard time
    tables::Decimal rate;   // LEIORA: lei per hour without VAT
};

class TimeNormEntry {
  public:
    static constexpr const char* kTitle = "Operatiune Service";
    // Control names of the fields (the checks point at them).
    static constexpr const char* kCarTypeField = "TipAuto";
    static constexpr const char* kSectionField = "Sectia";
    static constexpr const char* kNameField = "Denumire";
    static constexpr const char* kCodeField = "CodOp";
    static constexpr const char* kHoursField = "Timp";
    static constexpr const char* kRateField = "Tarif";

    // Field limits: the widths of the Timp columns; time and rate take 3 integer digits
    // and 2 decimals.
    static constexpr int kCarTypeLength = 24;
    static constexpr int kSectionLength = 32;
    static constexpr int kNameLength = 100;
    static constexpr int kCodeLength = 8;
    static constexpr int kDigits = 3;
    static constexpr int kDecimals = 2;

    // The fields as the dialog shows them (time and rate as typed text).
    std::string carType, section, name, code;
    std::string hours = "0";
    std::string rate = "0";

    // The lists, copied from the time norms window.
    std::vector<std::string> carTypes, sections;

    // Reset for adding: the window's lists and its car type and section; name and code
    // empty; time and rate "0".
    void startNew(const std::vector<std::string>& windowCarTypes,
                  const std::vector<std::string>& windowSections, const std::string& windowCarType,
                  const std::string& windowSection);
    // Reset, then filled from a stored operation for modifying.
    void startEdit(const std::vector<std::string>& windowCarTypes,
                   const std::vector<std::string>& windowSections, const TimeNorm& norm);

    // The car type or the section changed: the rate becomes the value of key <section> in
    // settings section <car type>, "0" when absent or not a number.
    void proposeRate(const Settings& settings);

    // "&Memoreaza": every text cleaned (CleanText, cut to its length, car type, section and
    // code in upper case) and written back; then the checks in order, the first failure
    // returned with its field. A time of 0 is accepted, a rate of 0 is not.
    std::optional<FieldProblem> check();

    // The values to store, valid after check() passed (idTimp left 0).
    TimeNorm norm() const;
};

// The rate dialog "Tarif lei/ora": a car type and a section chosen from the lists of Timp
// and a whole rate of at most 6 digits.
class HourlyRateEntry {
  public:
    static constexpr const char* kTitle = "Tarif lei/ora";
    static constexpr const char* kCarTypeField = "TipAuto";
    static constexpr const char* kSectionField = "Sectia";
    static constexpr const char* kRateField = "Tarif";
    static constexpr int kRateDigits = 6;

    std::string carType, section;
    std::string rate = "0";
    std::vector<std::string> carTypes, sections;

    // Reset: the lists given (the distinct values of Timp), nothing chosen, rate "0".
    void start(std::vector<std::string> allCarTypes, std::vector<std::string> allSections);
    // "&Memoreaza": trimmed car type, then section, must not be empty; the rate must be a
    // whole number LEIORA can hold.
    std::optional<FieldProblem> check() const;
    tables::Decimal value() const;
};

// The quantity dialog as the time norms use it: the time becomes the operation's standard
// time (TIMP, at most 999.99 hours) and the quantity its CANT; neither may be negative.
// Returns the refusal at its field ("CantEd" / "TimpEd"), nullopt when both fit.
std::optional<FieldProblem> CheckNormQuantity(const tables::Decimal& quantity,
                                              const tables::Decimal& hours);

// A typed number of at most `digits` integer digits and `decimals` decimals, not negative
// (blanks around ignored, blank reads 0); nullopt otherwise.
std::optional<tables::Decimal> ReadNormNumber(const std::string& text, int digits, int decimals);

}  // namespace tvx::core
