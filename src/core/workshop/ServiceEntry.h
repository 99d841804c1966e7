// The service dialog "Adaugare / Modificare Serviciu" in core (core/workshop): one row of the
// service catalog as typed -- group, subgroup, category, name, unit, price with VAT and
// remarks -- with the dialog's lists (every non-blank value of each column over the whole
// catalog), its defaults and the ordered checks of "Memoreaza". It writes nothing: the
// catalog (ServiceCatalog) stores what it hands back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/sales/EditorInputs.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class ServiceEntry {
  public:
    // Control names of the fields (the checks point at them).
    static constexpr const char* kGroupField = "Grupa";
    static constexpr const char* kSubgroupField = "SubGrupa";
    static constexpr const char* kCategoryField = "categ";
    static constexpr const char* kProductField = "Produs";
    static constexpr const char* kUnitField = "UM";
    static constexpr const char* kPriceField = "ValOut";
    static constexpr const char* kObsField = "Obs";

    // Field limits: the widths of the Catalog columns. The price column, DECIMAL(10,2), holds
    // 7 integer digits and 2 decimals, so the dialog takes no more than it can store.
    static constexpr int kGroupLength = 32;
    static constexpr int kSubgroupLength = 32;
    static constexpr int kCategoryLength = 64;
    static constexpr int kProductLength = 240;
    static constexpr int kUnitLength = 4;
    static constexpr int kObsLength = 64;
    static constexpr int kPriceDigits = 7;
    static constexpr int kPriceDecimals = 2;

    static constexpr const char* kAddTitle = "Adaugare Serviciu";
    static constexpr const char* kEditTitle = "Modificare Serviciu";

    explicit ServiceEntry(tables::Database& db);

    // The fields as the dialog shows them (the price as typed text).
    std::string group, subgroup, category, product, unit;
    std::string price = "0";
    std::string obs;

    bool adding() const { return adding_; }
    const char* title() const { return adding_ ? kAddTitle : kEditTitle; }

    // Adding: refills the five lists from the catalog; group = the first group (empty when
    // there is none), the other texts empty, price "0". Engine errors propagate.
    void startNew();
    // Modifying: the lists refilled as for adding, the fields taken from `service`.
    void startEdit(const CatalogService& service);

    const std::vector<std::string>& groups() const { return groups_; }
    const std::vector<std::string>& subgroups() const { return subgroups_; }
    const std::vector<std::string>& categories() const { return categories_; }
    const std::vector<std::string>& products() const { return products_; }
    const std::vector<std::string>& units() const { return units_; }

    // "Memoreaza": every text is cleaned (CleanText, cut to its length, the unit in upper
    // case) and written back first; then the checks in order, the first failure returned
    // with its field. On a pass the price reads in its plain numeric form.
    std::optional<FieldProblem> check();

    // The values to store, valid after check() passed (idCat left 0).
    CatalogService service() const;

  private:
    void readLists();
    tables::Database& db_;
    std::vector<std::string> groups_, subgroups_, categories_, products_, units_;
    bool adding_ = true;
};

// The price typed in the dialog when it is a number of at most 7 integer digits and 2
// decimals (blanks around ignored, a blank text reads 0); nullopt otherwise.
std::optional<tables::Decimal> ReadServicePrice(const std::string& text);

}  // namespace tvx::core
