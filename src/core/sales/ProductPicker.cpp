// The product picker over Stoc.dbf and the advanced search over CapFise: defaults, the
// statements, the prefix filter of a typed name, the barcode lookup, the total and the checks
// of "&Adauga".
#include "core/sales/ProductPicker.h"

#include <algorithm>
#include <array>

#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Decimal;

namespace {

constexpr const char* kSettingsSection = "CONST";
constexpr const char* kSwitchKey = "DOARMARFA";

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

// ---- ProductPicker ----

ProductPicker::ProductPicker(tables::Database& db) : db_(db) {}

void ProductPicker::open(const std::filesystem::path& stockTable, const Settings& settings,
                         tables::Date today) {
    name.clear();
    barcode.clear();
    quantity = "1";
    remark.clear();
    section.clear();
    total = "0";
    warranty = today;
    onlyGoods = settings.readSetting(kSettingsSection, kSwitchKey) == "DA";
    result_.reset();
    stockTable_ = stockTable;
    rows_ = tables::ResultSet();
    reopen();
}

void ProductPicker::close(Settings& settings) {
    rows_ = tables::ResultSet();
    settings.writeSetting(kSettingsSection, kSwitchKey, onlyGoods ? "DA" : "NU");
}

std::string ProductPicker::statement() const {
    std::string sql = "SELECT * FROM " + QuotedPath(stockTable_);
    if (onlyGoods) sql += " WHERE CATEG = 'MARFA' AND REST > 0";
    return sql + " ORDER BY PRODUS";
}

void ProductPicker::reopen() {
    // The row filter outlives the query, as the typed name still stands.
    const std::string filter = rows_.filter();
    tables::ResultSet rows = db_.query(statement());
    if (!filter.empty()) rows.setFilter(filter);
    rows_ = std::move(rows);
}

std::string ProductPicker::currentName() const {
    return rows_.eof() ? std::string() : rows_.asText("PRODUS");
}

std::string ProductPicker::currentUnit() const {
    return rows_.eof() ? std::string() : rows_.asText("UM");
}

void ProductPicker::switchChanged() {
    reopen();
}

void ProductPicker::nameChanged() {
    if (!rows_.eof() && currentName() == name) {
        barcode = rows_.asText("CODBARE");
        refreshTotal();
        return;
    }
    applyNameFilter();
    refreshTotal();
}

void ProductPicker::applyNameFilter() {
    const std::string filter = name.empty() ? std::string() : FilterPrefix("PRODUS", name);
    if (filter != rows_.filter()) rows_.setFilter(filter);
    if (!rows_.empty() && rows_.at(0, rows_.fieldIndex("PRODUS")).toString() == name) {
        rows_.first();
        barcode = rows_.asText("CODBARE");
    }
}

void ProductPicker::barcodeEntered() {
    if (rows_.empty() || IsBlank(barcode)) return;
    if (rows_.locate("CODBARE", tables::Value(barcode)))
        name = currentName();
    else
        name.clear();
    nameChanged();
}

void ProductPicker::rowChosen() {
    if (rows_.eof()) return;
    name = currentName();
    nameChanged();
}

void ProductPicker::nameEntered() {
    if (rows_.empty() || rows_.eof()) return;
    name = currentName();
    nameChanged();
}

void ProductPicker::quantityChanged() {
    refreshTotal();
}

void ProductPicker::refreshTotal() {
    if (name.empty() || rows_.empty() || rows_.eof()) {
        total = "0";
        return;
    }
    total = RoundHalfAway(TypedNumber(quantity) * rows_.asNumber("PRETOUT"), 4).toPlainString();
}

std::optional<FieldProblem> ProductPicker::add() {
    result_.reset();
    if (rows_.empty() || rows_.eof() || currentName() != name)
        return FieldProblem{kNameField, kNotInStock};
    const Decimal amount = TypedNumber(quantity);
    if (amount.isZero()) return FieldProblem{kQuantityField, kNoQuantity};
    section = CleanText(section);

    ProductPick pick;
    pick.idCap = rows_.asNumber("IDCAP").toLongLong();
    pick.quantity = amount;
    pick.price = rows_.asNumber("PRETOUT");
    pick.warranty = warranty;
    pick.remark = JoinLines(std::string_view(remark));
    pick.section = section;
    result_ = pick;
    return std::nullopt;
}

// ---- ProductSearch ----

namespace {

// The columns of the search grid, the only fields it sorts by.
constexpr std::array<const char*, 5> kSortFields = {"PRODUS", "UM", "PRETIN", "PRETOUT", "STOC"};

}  // namespace

ProductSearch::ProductSearch(tables::Database& db) : db_(db) {}

std::string ProductSearch::statement() const {
    std::string sql =
        "SELECT * FROM " + QuotedPath(TableFile(db_, "CapFise")) + " WHERE CATEG = 'MARFA'";
    if (!word.empty()) sql += " AND PRODUS LIKE :word";
    return sql + " ORDER BY " + order_;
}

void ProductSearch::reopen() {
    tables::Params params;
    if (!word.empty()) params["word"] = tables::Value("%" + word + "%");
    rows_ = db_.query(statement(), params);
}

void ProductSearch::open() {
    word.clear();
    order_ = "PRODUS";
    rows_ = tables::ResultSet();
    reopen();
}

void ProductSearch::wordChanged() {
    reopen();
}

void ProductSearch::sortBy(const std::string& field) {
    const std::string upper = tables::toUpperAscii(field);
    const auto known = std::find_if(kSortFields.begin(), kSortFields.end(),
                                    [&](const char* f) { return upper == f; });
    if (known == kSortFields.end())
        throw tables::EngineError("CapFise: the search cannot be ordered by " + field);
    std::optional<tables::Value> current;
    if (!rows_.eof()) current = rows_.value("IDCAP");
    order_ = upper;
    reopen();
    if (current) rows_.locate("IDCAP", *current);
}

std::string ProductSearch::choose() {
    return rows_.eof() ? std::string() : rows_.asText("PRODUS");
}

void ProductSearch::close() {
    rows_ = tables::ResultSet();
}

}  // namespace tvx::core
