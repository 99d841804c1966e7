// The warranties list: its statement, columns, search and printout check.
#include "core/sales/Warranties.h"

#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"

namespace tvx::core {

const std::vector<WarrantyColumn>& WarrantyColumns() {
    static const std::vector<WarrantyColumn> columns = {
        {"SOC2", "Cumparator", ""},
        {"SERIA", "Seria", ""},
        {"NR", "Nr.", ""},
        {"PRODUS", "Produsul", ""},
        {"UM", "", ""},
        {"DATAOUT", "Data vanzarii", "dd.MM.yyyy"},
        {"CANT", "Cantitatea", "0.00"},
        {"GARANTIE", "Garantie pana la", "dd.MM.yyyy"},
        {"GESTIUNE", "Gestiunea", ""},
        {"OBS", "  Observatii", ""}};
    return columns;
}

tables::ResultSet QueryWarranties(tables::Database& db) {
    return db.query(
        "SELECT P.PRODUS, P.UM, P.CANT, P.OBS, P.GARANTIE, F.GESTIUNE, F.SERIA, F.NR, F.DATAOUT,"
        " F.SOC2 FROM " +
        QuotedPath(TableFile(db, "ProdOut")) + " P LEFT JOIN " +
        QuotedPath(TableFile(db, "FactOut")) +
        " F ON P.IDFACTO=F.IDFACTO WHERE P.GARANTIE > F.DATAOUT ORDER BY F.SOC2, P.PRODUS");
}

std::optional<FieldProblem> WarrantySearch::check() {
    buyer = UpperText(CleanText(buyer));
    product = UpperText(CleanText(product));
    const std::string tooLong = "Textul cautat are cel mult 32 de caractere!";
    if (CharCount(buyer) > kWidth) return FieldProblem{kBuyerField, tooLong};
    if (CharCount(product) > kWidth) return FieldProblem{kProductField, tooLong};
    return std::nullopt;
}

std::string WarrantySearch::filter() const {
    std::vector<std::string> terms;
    if (!buyer.empty()) terms.push_back(FilterPrefix("SOC2", buyer));
    if (!product.empty()) terms.push_back(FilterPrefix("PRODUS", product));
    return JoinFilters(terms);
}

std::optional<FieldProblem> PrintWarrantiesProblem(const tables::ResultSet& rows) {
    if (rows.empty()) return FieldProblem{kWarrantiesPrintField, "Nu aveti ce lista!"};
    return std::nullopt;
}

}  // namespace tvx::core
