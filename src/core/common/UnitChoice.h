// The standardised unit of measure chosen for a unit written on an invoice line
// (core/common): the 28 items of the chooser, the answer remembered in section UMS of the
// settings file, and the "do not ask again" mark (key unit + "Auto" = "DA").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/common/Settings.h"

namespace tvx::core {

class UnitChoice {
  public:
    // The items in the order the chooser lists them ("H87 - BUCATI", ...).
    static const std::vector<std::string>& items();
    // The code of an item: the text before " - " (the whole item when it has none).
    static std::string codeOf(const std::string& item);

    explicit UnitChoice(Settings& settings) : settings_(settings) {}

    // Opening with a unit (upper-cased here): chooses the stored item (none when absent or
    // unknown). Returns true when the stored answer is to be used without asking.
    bool open(const std::string& unit);

    std::string unit;      // the unit as written on the line, upper case
    int chosen = -1;       // index into items(), -1 for none
    bool dontAsk = false;  // the "Nu ma mai intreba !" tick; kept between uses

    // "&Am ales": refuses an empty choice at "UMS"; otherwise stores the answer (and the
    // "Auto" mark when the tick is set).
    std::optional<FieldProblem> confirm();
    // The chosen item's text, empty when none.
    std::string chosenItem() const;

  private:
    Settings& settings_;
};

}  // namespace tvx::core
