// The warehouse view (core/stock): the grouped stock query of the four choices, its lists,
// the total shown and the printout's checks and captions.
#include "core/stock/Inventory.h"

#include "core/common/Lists.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"

namespace tvx::core {

using tables::Decimal;

namespace {

// A list's text, or empty when it is the list's first item (no condition).
std::string Condition(const std::string& text, const char* all) {
    return text == all ? std::string() : text;
}

}  // namespace

InventoryChoice InventoryChoice::FromLists(const std::string& location, const std::string& product,
                                           const std::string& category, const std::string& stock) {
    InventoryChoice choice;
    choice.location = Condition(location, kAllLocations);
    choice.product = Condition(product, kAllProducts);
    choice.category = Condition(category, kAllCategories);
    if (stock == kInStock)
        choice.stock = StockState::InStock;
    else if (stock == kExhausted)
        choice.stock = StockState::Exhausted;
    return choice;
}

std::vector<std::string> InventoryLocations(const std::vector<std::string>& locations) {
    std::vector<std::string> items{kAllLocations};
    items.insert(items.end(), locations.begin(), locations.end());
    return items;
}

std::vector<std::string> InventoryProducts(tables::Database& db) {
    std::vector<std::string> items{kAllProducts};
    const std::vector<std::string> names =
        FillDistinct(db, TableFile(db, "CapFise").string(), "", "PRODUS");
    items.insert(items.end(), names.begin(), names.end());
    return items;
}

const std::vector<std::string>& InventoryCategories() {
    static const std::vector<std::string> items{kAllCategories, "MARFA", "AMBALAJ",
                                                "OBIECT DE INVENTAR", "CONSUMABIL"};
    return items;
}

const std::vector<std::string>& InventoryStockStates() {
    static const std::vector<std::string> items{kAnyStock, kInStock, kExhausted};
    return items;
}

InventoryStatement BuildInventoryStatement(const std::string& cardsTable,
                                           const InventoryChoice& choice) {
    InventoryStatement s;
    std::string terms;
    if (!choice.location.empty()) {
        terms += "(GESTIUNE=:GESTIUNE)";
        s.params["GESTIUNE"] = tables::Value(choice.location);
    }
    if (!choice.product.empty()) {
        terms += "(PRODUS=:PRODUS)";
        s.params["PRODUS"] = tables::Value(choice.product);
    }
    if (!choice.category.empty()) {
        terms += "(CATEG=:CATEG)";
        s.params["CATEG"] = tables::Value(choice.category);
    }
    const std::string where = JoinFilterTerms(terms);
    const std::string sums = "SUM(STOC) AS STOCT, SUM(STOC*PRETOUT) AS STOCV";
    if (choice.withPrice())
        s.sql = "SELECT CATEG, PRODUS, UM, PRETOUT, " + sums + " FROM " + cardsTable;
    else
        s.sql = "SELECT CATEG, PRODUS, UM, " + sums + " FROM " + cardsTable;
    if (!where.empty()) s.sql += " WHERE " + where;
    if (choice.withPrice())
        s.sql += " GROUP BY CATEG, PRODUS, UM, PRETOUT ORDER BY CATEG, PRODUS";
    else
        s.sql += " GROUP BY CATEG, PRODUS, UM ORDER BY PRODUS";
    return s;
}

std::string InventoryStockFilter(StockState stock) {
    switch (stock) {
        case StockState::InStock:
            return "(STOCT<>'0')";
        case StockState::Exhausted:
            return "(STOCT='0')";
        case StockState::Any:
            break;
    }
    return {};
}

tables::ResultSet QueryInventory(tables::Database& db, const InventoryChoice& choice) {
    const InventoryStatement s =
        BuildInventoryStatement(QuotedPath(TableFile(db, "CapFise")), choice);
    tables::ResultSet rows = db.query(s.sql, s.params);
    rows.setFilter(InventoryStockFilter(choice.stock));
    return rows;
}

Decimal InventoryTotal(const tables::ResultSet& rows) {
    const int column = rows.fieldIndex("STOCV");
    Decimal total(0);
    for (size_t row = 0; row < rows.rowCount(); ++row) {
        const tables::Value v = rows.at(row, column);
        if (v.isNumber()) total += v.number();
    }
    return total;
}

std::string InventoryTotalText(const Decimal& total) {
    return RoundHalfAway(total, 2).toString() + " lei";
}

std::optional<FieldProblem> PrintInventoryProblem(const tables::ResultSet& rows) {
    const bool nothing =
        rows.empty() ||
        (rows.rowCount() == 1 && Trimmed(rows.at(0, rows.fieldIndex("PRODUS")).toString()).empty());
    if (nothing) return FieldProblem{kInventoryPrintField, "Nu aveti ce lista!"};
    return std::nullopt;
}

InventoryCaptions MakeInventoryCaptions(const std::string& company, const std::string& locationText,
                                        const std::string& categoryText, tables::Date today) {
    return {company, "Gestiunea : " + locationText, "Categoria : " + categoryText,
            today.toString()};
}

}  // namespace tvx::core
