// The unit-of-measure chooser's state and its remembered answers (core/common).
#include "core/common/UnitChoice.h"

#include <algorithm>

#include "tables/Value.h"

namespace tvx::core {

const std::vector<std::string>& UnitChoice::items() {
    static const std::vector<std::string> list = {
        "ANN - AN",       "H87 - BUCATI",    "XBH - BUCHET",
        "HEA - CAPETE",   "XBX - CUTIE",     "E27 - DOZA",
        "GRM - GRAM",     "KGM - KILOGRAM",  "KT - KIT",
        "XCR - LADA",     "LTR - LITRU",     "MON - LUNA",
        "MTR - METRU",    "MTQ - METRU CUB", "MTK - METRU PATRAT",
        "HUR - ORA",      "XBE - PACHET",    "ZP - PAGINA",
        "PR - PERECHE",   "A9 - RATA",       "XRL - ROLA",
        "XBG - SAC",      "WEE - SAPTAMANA", "SET - SET",
        "A43 - TONA TWD", "SX - TRANSPORT",  "QAN - TRIMESTRU (DE UN AN)",
        "DAY - ZIUA"};
    return list;
}

std::string UnitChoice::codeOf(const std::string& item) {
    const auto dash = item.find(" - ");
    return dash == std::string::npos ? item : item.substr(0, dash);
}

bool UnitChoice::open(const std::string& typedUnit) {
    unit = tables::toUpperAscii(typedUnit);
    const std::string stored = settings_.readSetting("UMS", unit);
    const auto& list = items();
    const auto it = std::find(list.begin(), list.end(), stored);
    chosen = it == list.end() ? -1 : static_cast<int>(it - list.begin());
    return settings_.readSetting("UMS", unit + "Auto") == "DA";
}

std::string UnitChoice::chosenItem() const {
    const auto& list = items();
    return chosen >= 0 && chosen < static_cast<int>(list.size()) ? list[chosen] : std::string();
}

std::optional<FieldProblem> UnitChoice::confirm() {
    const std::string item = chosenItem();
    if (item.empty()) return FieldProblem{"UMS", "Nu ati ales Unitatea de masura!"};
    settings_.writeSetting("UMS", unit, item);
    if (dontAsk) settings_.writeSetting("UMS", unit + "Auto", "DA");
    return std::nullopt;
}

}  // namespace tvx::core
