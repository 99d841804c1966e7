// The window "Catalog Servicii" in core (core/workshop): the services of table Catalog in
// the order GRUPA, SUBGRUPA, CATEG, PRODUS, narrowed by three cascading lists (group, then
// subgroup of the group, then category of both) to one category; which buttons the grid's
// rows allow; the choice handed to the service picker; and adding, modifying and deleting a
// service, after which the lists and the current row follow the service saved.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/sales/EditorInputs.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class ServiceEntry;
class Settings;

class ServiceCatalog {
  public:
    static constexpr const char* kTitle = "Catalog Servicii";
    // Control names of the three lists.
    static constexpr const char* kGroupList = "Grupa";
    static constexpr const char* kSubgroupList = "Subgrupa";
    static constexpr const char* kCategoryList = "Categ";

    // `settings` should be built with `db`, as the session does.
    ServiceCatalog(tables::Database& db, Settings& settings);

    // Opening the window: the group list filled from its first item (the lists below it
    // cascade), the rows read and filtered. Engine errors propagate.
    void open();
    // Lets the rows go when the window closes.
    void close();

    // The lists and the index chosen in each (-1 when the list is empty).
    const std::vector<std::string>& groups() const { return groups_; }
    const std::vector<std::string>& subgroups() const { return subgroups_; }
    const std::vector<std::string>& categories() const { return categories_; }
    int groupIndex() const { return groupIndex_; }
    int subgroupIndex() const { return subgroupIndex_; }
    int categoryIndex() const { return categoryIndex_; }
    // The text of each list ("" when it selects nothing).
    std::string group() const;
    std::string subgroup() const;
    std::string category() const;

    // A choice in one list: the lists below it refilled, each on its first item, and the
    // rows filtered again. An index outside the list selects nothing.
    void chooseGroup(int index);
    void chooseSubgroup(int index);
    void chooseCategory(int index);

    // The grid's rows through the filter; the cursor is the grid's current row.
    tables::ResultSet& rows() { return rows_; }
    const tables::ResultSet& rows() const { return rows_; }

    // The filter of the grid for a group, subgroup and category: each column equal to its
    // text. A list that selects nothing shows no row at all.
    static std::string GridFilter(const std::string& group, const std::string& subgroup,
                                  const std::string& category);

    // "Modifica", "Sterge" and "Am ales" are enabled only when the grid has a row.
    bool hasRow() const { return !rows_.empty(); }

    // "Am ales": the current row, nullopt when the grid has none.
    std::optional<CatalogService> choose() const;

    // "Adauga": the dialog reset for adding.
    void startAdd(ServiceEntry& entry) const;
    // After the dialog's check passed: a new IDCAT from the counter and the row, in one
    // transaction; then the lists show its group, subgroup and category and it is current.
    // Returns the new IDCAT.
    long long add(const ServiceEntry& entry);

    // "Modifica": the dialog reset and filled from the current row (EngineError naming
    // Catalog when the grid has none).
    void startEdit(ServiceEntry& entry);
    // After the dialog's check passed: the row being modified rewritten, keeping its IDCAT;
    // the lists and the current row follow it as after adding.
    void update(const ServiceEntry& entry);

    // "Sterge": the question (Da deletes), then the deletion of the current row; the lists
    // start again from the first group.
    Message deleteQuestion() const;
    void remove();

  private:
    CatalogService currentService() const;
    std::vector<std::string> distinct(const std::string& condition, const char* field) const;
    void fillGroups(const std::string& wanted);
    void fillSubgroups(const std::string& wanted);
    void fillCategories(const std::string& wanted);
    void readRows();
    void showSaved(const CatalogService& saved, long long idCat);

    tables::Database& db_;
    Settings& settings_;
    std::vector<std::string> groups_, subgroups_, categories_;
    int groupIndex_ = -1, subgroupIndex_ = -1, categoryIndex_ = -1;
    tables::ResultSet rows_;
    long long editing_ = 0;  // IDCAT of the row the dialog modifies
};

}  // namespace tvx::core
