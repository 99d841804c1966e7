// The purchase journal's work table: built from the incoming documents and their NIR lines,
// spread over the journal's columns, grouped back per document.
#include "core/reports/PurchaseJournal.h"

#include <system_error>

#include "core/common/Schema.h"
#include "core/common/TableLayouts.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Database;
using tables::Date;
using tables::Decimal;
using tables::ResultSet;

std::filesystem::path PurchaseWorkTable(const Database& db) {
    return db.programDir() / "Cumparari.dbf";
}

std::optional<Message> ClearPurchaseWorkTable(Database& db) {
    const std::filesystem::path file = PurchaseWorkTable(db);
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return std::nullopt;
    db.forget(file);
    if (std::filesystem::remove(file, error) && !error) return std::nullopt;
    return Message{"Jurnal cumparari",
                   "Nu pot rescrie " + file.string() + "!" + "\r" +
                       "Restartati calculatorul si mai incercam odata!",
                   MessageKind::Error};
}

std::string DocumentNumberFromFirstDigit(const std::string& number) {
    const size_t digit = number.find_first_of("0123456789");
    return digit == std::string::npos ? std::string() : number.substr(digit);
}

std::string FiscalCodeWithoutRo(const std::string& code) {
    return code.rfind("RO", 0) == 0 ? code.substr(2) : code;
}

int BuildPurchaseWorkTable(Database& db, Date from, Date to, const FillProgress& progress) {
    const std::filesystem::path file = PurchaseWorkTable(db);
    if (auto problem = ClearPurchaseWorkTable(db)) throw tables::EngineError(problem->text);
    const std::string work = QuotedPath(file);
    db.execute(createTableStatement(tableLayout("Cumparari"), file));
    // One row per document and category of its NIR lines (one with no category when the
    // document has none).
    ResultSet rows = db.query(
        "SELECT F.SERIANR, F.DATAIN, F.FURNIZOR, F.CUI, F.TOTAL, F.VALOARE, P.CATEG,"
        " SUM(P.VALOARE) AS VALOARE2, SUM(P.VALTVA) AS VALTVA FROM " +
            QuotedPath(TableFile(db, "FactIn")) + " F LEFT JOIN " +
            QuotedPath(TableFile(db, "CapNIR")) + " C ON C.IDFACT=F.IDFACT LEFT JOIN " +
            QuotedPath(TableFile(db, "ProdNIR")) +
            " P ON P.IDNIR=C.IDNIR WHERE F.DATAIN>=:f AND F.DATAIN<=:t GROUP BY F.SERIANR,"
            " F.DATAIN, F.FURNIZOR, F.CUI, F.TOTAL, F.VALOARE, P.CATEG",
        {{"f", from}, {"t", to}});
    const int count = static_cast<int>(rows.rowCount());
    if (progress.started) progress.started(count);
    const std::string insert =
        "INSERT INTO " + work +
        " (SERIANR, DATAIN, FURNIZOR, CUI, TOTAL, CATEG, VALOARE, VALTVA, VALT, AMBALAJ, BAZA1,"
        " TVA1, BAZA2, TVA2, DISCBAZA, DISCTVA) VALUES (:nr, :data, :furn, :cui, :total, :categ,"
        " :val, :tva, :valt, :amb, :b1, :t1, :b2, :t2, :db, :dt)";
    // One transaction: the rows are written at once rather than one commit each.
    db.atomically([&] {
        for (rows.first(); !rows.eof(); rows.next()) {
            const std::string category = Trimmed(rows.asText("CATEG"));
            const Decimal value = rows.asNumber("VALOARE2");
            const Decimal vat = rows.asNumber("VALTVA");
            const Decimal documentValue = rows.asNumber("VALOARE");
            const Decimal total = rows.asNumber("TOTAL");
            Decimal packaging(0), base1(0), vat1(0), base2(0), vat2(0), discBase(0), discVat(0);
            if (category == "MARFA") {
                base1 = value;
                vat1 = vat;
            } else if (category == "AMBALAJ") {
                packaging = value;
            } else if (category == "DISCOUNT") {
                discBase = value;
                discVat = vat;
            } else if (!category.empty()) {
                base2 = value;
                vat2 = vat;
            } else {
                base2 = documentValue;
                vat2 = total - documentValue;
            }
            tables::Value date = rows.value("DATAIN");
            db.execute(insert, {{"nr", DocumentNumberFromFirstDigit(rows.asText("SERIANR"))},
                                {"data", date},
                                {"furn", rows.asText("FURNIZOR")},
                                {"cui", FiscalCodeWithoutRo(rows.asText("CUI"))},
                                {"total", total},
                                {"categ", rows.asText("CATEG")},
                                {"val", value},
                                {"tva", vat},
                                {"valt", documentValue},
                                {"amb", packaging},
                                {"b1", base1},
                                {"t1", vat1},
                                {"b2", base2},
                                {"t2", vat2},
                                {"db", discBase},
                                {"dt", discVat}});
            if (progress.step) progress.step();
        }
    });
    return count;
}

ResultSet QueryPurchaseJournal(Database& db) {
    return db.query(
        "SELECT DATAIN, SERIANR, FURNIZOR, CUI, TOTAL AS ST, SUM(AMBALAJ) AS SA, SUM(BAZA1) AS SB1,"
        " SUM(TVA1) AS ST1, SUM(BAZA2) AS SB2, SUM(TVA2) AS ST2, SUM(DISCBAZA) AS DB1,"
        " SUM(DISCTVA) AS DT1 FROM " +
        QuotedPath(PurchaseWorkTable(db)) +
        " GROUP BY DATAIN, SERIANR, FURNIZOR, CUI, TOTAL ORDER BY DATAIN, SERIANR, FURNIZOR");
}

const std::vector<std::string>& PurchaseJournalColumns() {
    static const std::vector<std::string> columns = {"ST",  "SA",  "SB1", "ST1",
                                                     "SB2", "ST2", "DB1", "DT1"};
    return columns;
}

std::vector<Decimal> PurchaseJournalTotals(const ResultSet& rows) {
    std::vector<Decimal> totals;
    for (const std::string& column : PurchaseJournalColumns())
        totals.push_back(SumColumn(rows, column));
    return totals;
}

}  // namespace tvx::core
