// The service catalog: cascading lists, the grid's filter and the commands of its buttons.
#include "core/workshop/ServiceCatalog.h"

#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/workshop/ServiceEntry.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::EngineError;

namespace {

constexpr const char* kOrder = " ORDER BY GRUPA, SUBGRUPA, CATEG, PRODUS";
// A filter no row passes: what a list that selects nothing shows.
constexpr const char* kNoRow = "(IDCAT=NULL) AND (IDCAT<>NULL)";

std::string CatalogTable(const tables::Database& db) {
    return QuotedPath(TableFile(db, "Catalog"));
}

const std::string& ItemAt(const std::vector<std::string>& items, int index) {
    static const std::string kNone;
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : kNone;
}

int FirstIndex(const std::vector<std::string>& items) {
    return items.empty() ? -1 : 0;
}

}  // namespace

ServiceCatalog::ServiceCatalog(tables::Database& db, Settings& settings)
    : db_(db), settings_(settings) {}

std::string ServiceCatalog::group() const {
    return ItemAt(groups_, groupIndex_);
}
std::string ServiceCatalog::subgroup() const {
    return ItemAt(subgroups_, subgroupIndex_);
}
std::string ServiceCatalog::category() const {
    return ItemAt(categories_, categoryIndex_);
}

std::string ServiceCatalog::GridFilter(const std::string& group, const std::string& subgroup,
                                       const std::string& category) {
    if (group.empty() || subgroup.empty() || category.empty()) return kNoRow;
    return "(" + FilterEquals("GRUPA", group) + ") AND (" + FilterEquals("SUBGRUPA", subgroup) +
           ") AND (" + FilterEquals("CATEG", category) + ")";
}

std::vector<std::string> ServiceCatalog::distinct(const std::string& condition,
                                                  const char* field) const {
    return FillDistinct(db_, TableFile(db_, "Catalog").string(), condition, field,
                        {{"grupa", group()}, {"subgrupa", subgroup()}});
}

// Each list is refilled and selects `wanted` (nothing when absent); the lists below follow.
void ServiceCatalog::fillGroups(const std::string& wanted) {
    groups_ = distinct("", "GRUPA");
    groupIndex_ = SelectListItem(groups_, wanted);
}

void ServiceCatalog::fillSubgroups(const std::string& wanted) {
    subgroups_.clear();
    if (groupIndex_ >= 0) subgroups_ = distinct("GRUPA=:grupa", "SUBGRUPA");
    subgroupIndex_ = SelectListItem(subgroups_, wanted);
}

void ServiceCatalog::fillCategories(const std::string& wanted) {
    categories_.clear();
    if (subgroupIndex_ >= 0) {
        categories_ = distinct("GRUPA=:grupa AND SUBGRUPA=:subgrupa", "CATEG");
    }
    categoryIndex_ = SelectListItem(categories_, wanted);
}

void ServiceCatalog::readRows() {
    rows_ = db_.query("SELECT * FROM " + CatalogTable(db_) + kOrder);
    rows_.setFilter(GridFilter(group(), subgroup(), category()));
}

void ServiceCatalog::open() {
    fillGroups("");
    chooseGroup(FirstIndex(groups_));
}

void ServiceCatalog::close() {
    rows_ = tables::ResultSet();
    editing_ = 0;
}

void ServiceCatalog::chooseGroup(int index) {
    groupIndex_ = index >= 0 && index < static_cast<int>(groups_.size()) ? index : -1;
    fillSubgroups("");
    chooseSubgroup(FirstIndex(subgroups_));
}

void ServiceCatalog::chooseSubgroup(int index) {
    subgroupIndex_ = index >= 0 && index < static_cast<int>(subgroups_.size()) ? index : -1;
    fillCategories("");
    chooseCategory(FirstIndex(categories_));
}

void ServiceCatalog::chooseCategory(int index) {
    categoryIndex_ = index >= 0 && index < static_cast<int>(categories_.size()) ? index : -1;
    readRows();
}

CatalogService ServiceCatalog::currentService() const {
    if (rows_.eof()) throw EngineError("No service of the catalog is selected", "Catalog");
    CatalogService s;
    s.idCat = rows_.asNumber("IDCAT").toLongLong();
    s.group = rows_.asText("GRUPA");
    s.subgroup = rows_.asText("SUBGRUPA");
    s.category = rows_.asText("CATEG");
    s.product = rows_.asText("PRODUS");
    s.unit = rows_.asText("UM");
    s.price = rows_.asNumber("VALOUT");
    s.obs = rows_.asText("OBS");
    return s;
}

std::optional<CatalogService> ServiceCatalog::choose() const {
    if (rows_.eof()) return std::nullopt;
    return currentService();
}

void ServiceCatalog::startAdd(ServiceEntry& entry) const {
    entry.startNew();
}

long long ServiceCatalog::add(const ServiceEntry& entry) {
    const CatalogService saved = entry.service();
    const long long id = db_.atomically([&] {
        const long long idCat = settings_.nextNumber("IDCAT");
        db_.execute("INSERT INTO " + CatalogTable(db_) +
                        " (IDCAT, GRUPA, SUBGRUPA, CATEG, PRODUS, UM, VALOUT, OBS) VALUES"
                        " (:id, :grupa, :subgrupa, :categ, :produs, :um, :valout, :obs)",
                    {{"id", idCat},
                     {"grupa", saved.group},
                     {"subgrupa", saved.subgroup},
                     {"categ", saved.category},
                     {"produs", saved.product},
                     {"um", saved.unit},
                     {"valout", saved.price},
                     {"obs", saved.obs}});
        return idCat;
    });
    showSaved(saved, id);
    return id;
}

void ServiceCatalog::startEdit(ServiceEntry& entry) {
    const CatalogService current = currentService();
    entry.startEdit(current);
    editing_ = current.idCat;
}

void ServiceCatalog::update(const ServiceEntry& entry) {
    if (editing_ <= 0) throw EngineError("No service of the catalog is being modified", "Catalog");
    const CatalogService saved = entry.service();
    db_.execute("UPDATE " + CatalogTable(db_) +
                    " SET GRUPA=:grupa, SUBGRUPA=:subgrupa, CATEG=:categ, PRODUS=:produs,"
                    " UM=:um, VALOUT=:valout, OBS=:obs WHERE IDCAT=:id",
                {{"grupa", saved.group},
                 {"subgrupa", saved.subgroup},
                 {"categ", saved.category},
                 {"produs", saved.product},
                 {"um", saved.unit},
                 {"valout", saved.price},
                 {"obs", saved.obs},
                 {"id", editing_}});
    showSaved(saved, editing_);
}

void ServiceCatalog::showSaved(const CatalogService& saved, long long idCat) {
    fillGroups(saved.group);
    fillSubgroups(saved.subgroup);
    fillCategories(saved.category);
    readRows();
    if (!rows_.locate("IDCAT", idCat)) rows_.first();
}

Message ServiceCatalog::deleteQuestion() const {
    return {"Stergere Serviciu", "\rDoriti sa stergeti serviciul selectat?",
            MessageKind::Confirmation};
}

void ServiceCatalog::remove() {
    const long long id = currentService().idCat;
    db_.execute("DELETE FROM " + CatalogTable(db_) + " WHERE IDCAT=:id", {{"id", id}});
    open();
}

}  // namespace tvx::core
