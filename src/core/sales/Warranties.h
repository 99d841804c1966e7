// The warranties still running on goods sold, "Garantii" (core/sales): the invoice lines whose
// warranty date is later than their invoice's date, with buyer and invoice, the columns the
// list, its printout and its export show, and the search by buyer and product prefixes.
// Read only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

constexpr const char* kWarrantiesTitle = "Garantii";
constexpr const char* kWarrantiesGridTitle = "Lista produse vandute";
// The control the printout's refusal points at.
constexpr const char* kWarrantiesPrintField = "Listeaza";

struct WarrantyColumn {
    const char* field;
    const char* title;
    const char* format;  // "", "0.00" or "dd.MM.yyyy"
};
// The list's columns in order: SOC2, SERIA, NR (the last two under "FACTURA"), PRODUS, UM,
// DATAOUT, CANT, GARANTIE, GESTIUNE, OBS.
const std::vector<WarrantyColumn>& WarrantyColumns();

// The lines of ProdOut joined with their FactOut row whose GARANTIE is later than DATAOUT,
// ordered by buyer and product (a click on a column title reorders the grid by that column).
// Engine errors propagate.
tables::ResultSet QueryWarranties(tables::Database& db);

// "Cautare": the buyer and product prefixes.
struct WarrantySearch {
    static constexpr const char* kBuyerField = "Cumparator";
    static constexpr const char* kProductField = "Produsul";
    static constexpr int kWidth = 32;
    std::string buyer;
    std::string product;

    // Cleans both texts (CleanText, upper case); a text longer than 32 characters is refused
    // at its field.
    std::optional<FieldProblem> check();
    // The row filter: SOC2 and PRODUS beginning with the texts that are not empty, joined by
    // AND; empty when both are.
    std::string filter() const;
};

// "Listeaza": nothing to print when no row is shown.
std::optional<FieldProblem> PrintWarrantiesProblem(const tables::ResultSet& rows);

}  // namespace tvx::core
