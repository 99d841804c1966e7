// The warehouse view "Magazie - Inventar" (core/stock): the stock of the cards summed by
// category, product, unit and sale price, chosen by location, product, category and stock
// state; the contents of its four lists; the total of the rows shown; and the checks and
// captions of its printout. The window copies its lists' choices in and shows the rows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/common/PeriodChoice.h"
#include "tables/Database.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::core {

// The first item of each list, standing for "no condition" (the locations' one,
// kAllLocations, is the period picker's).
constexpr const char* kAllProducts = " * toate produsele *";
constexpr const char* kAllCategories = " * toate categoriile *";
constexpr const char* kAnyStock = " * indiferent *";
constexpr const char* kInStock = "Produse in stoc";
constexpr const char* kExhausted = "Produse epuizate";

// The control the printout's problem points at.
constexpr const char* kInventoryPrintField = "Listeaza";

enum class StockState { Any, InStock, Exhausted };

// The four choices; an empty text is the list's first item (no condition).
struct InventoryChoice {
    std::string location = {};
    std::string product = {};
    std::string category = {};
    StockState stock = StockState::Any;

    // The choice from the lists' current texts (their first items mean "all").
    static InventoryChoice FromLists(const std::string& location, const std::string& product,
                                     const std::string& category, const std::string& stock);
    // Products out of stock are summed over all their prices: the rows carry no PRETOUT.
    bool withPrice() const { return stock != StockState::Exhausted; }
};

// The lists, each starting with its first item.
std::vector<std::string> InventoryLocations(const std::vector<std::string>& locations);
// " * toate produsele *" and the distinct product names of CapFise. Engine errors propagate.
std::vector<std::string> InventoryProducts(tables::Database& db);
const std::vector<std::string>& InventoryCategories();
const std::vector<std::string>& InventoryStockStates();

// The statement of a choice over the cards table named `cardsTable` (a quoted path, or any
// reference the caller's engine resolves): conditions in the order location, product,
// category with the chosen texts as bound parameters; grouped by CATEG, PRODUS, UM, PRETOUT
// ordered by CATEG, PRODUS, or for products out of stock by CATEG, PRODUS, UM ordered by
// PRODUS; STOCT = sum of STOC, STOCV = sum of STOC x PRETOUT.
struct InventoryStatement {
    std::string sql;
    tables::Params params;
};
InventoryStatement BuildInventoryStatement(const std::string& cardsTable,
                                           const InventoryChoice& choice);
// The stock condition, applied as a filter on the grouped rows: STOCT <> 0 in stock,
// STOCT = 0 out of stock, none otherwise.
std::string InventoryStockFilter(StockState stock);

// The rows of a choice, with the stock condition set as the result's filter. Engine errors
// propagate.
tables::ResultSet QueryInventory(tables::Database& db, const InventoryChoice& choice);

// "Total afisat": the exact sum of STOCV over the rows the filter shows (0 for none).
tables::Decimal InventoryTotal(const tables::ResultSet& rows);
// Its text: two decimals and " lei".
std::string InventoryTotalText(const tables::Decimal& total);

// "Listeaza": nothing to print when there are no rows, or a single row without a product.
std::optional<FieldProblem> PrintInventoryProblem(const tables::ResultSet& rows);

// The title texts of the printout.
struct InventoryCaptions {
    std::string company;
    std::string location;  // "Gestiunea : " + the location list's text
    std::string category;  // "Categoria : " + the category list's text
    std::string date;      // dd.MM.yyyy
};
InventoryCaptions MakeInventoryCaptions(const std::string& company, const std::string& locationText,
                                        const std::string& categoryText, tables::Date today);

}  // namespace tvx::core
