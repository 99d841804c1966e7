// The statements of the financial journals and summaries, and their exact totals.
#include "core/reports/Journals.h"

#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Database;
using tables::Date;
using tables::Decimal;
using tables::Params;
using tables::ResultSet;

namespace {

std::string Table(Database& db, std::string_view name) {
    return QuotedPath(TableFile(db, name));
}

// A cell of the single row of a sum query; an empty sum (no rows) is 0.
Decimal SumCell(const ResultSet& rows, std::string_view field) {
    if (rows.empty()) return Decimal(0);
    const tables::Value value = rows.at(0, rows.fieldIndex(field));
    return value.isNumber() ? value.number() : Decimal(0);
}

JournalTotals CarriedTotals(const ResultSet& rows) {
    return {SumCell(rows, "S1"), SumCell(rows, "S2"), SumCell(rows, "S3")};
}

constexpr const char* kCountedReceipts = "(DOCJUS=\"CHITANTA\" OR IDFACTO<0)";

}  // namespace

JournalTotals& JournalTotals::operator+=(const JournalTotals& other) {
    total += other.total;
    base += other.base;
    vat += other.vat;
    return *this;
}

std::string PeriodLine(Date from, Date to) {
    if (from == to) return "in data de " + from.toString();
    return "in perioada " + from.toString() + " - " + to.toString();
}

std::string DateLine(Date today) {
    return "Data : " + today.toString();
}

std::string MonthLine(Date first) {
    return "Luna : " + MonthChoice::monthNames().at(first.month() - 1) + " " +
           std::to_string(first.year());
}

std::string AmountText(const Decimal& amount) {
    return amount.rescaled(2).toString();
}

Decimal SumColumn(const ResultSet& rows, std::string_view field) {
    const int column = rows.fieldIndex(field);
    Decimal sum(0);
    for (size_t row = 0; row < rows.rowCount(); ++row) {
        const tables::Value value = rows.at(row, column);
        if (value.isNumber()) sum += value.number();
    }
    return sum;
}

ResultSet QueryPayables(Database& db) {
    return db.query("SELECT * FROM " + Table(db, "FactIn") +
                    " WHERE REST>0 ORDER BY DATASCAD, FURNIZOR");
}

ResultSet QueryReceivables(Database& db) {
    return db.query("SELECT * FROM " + Table(db, "FactOut") +
                    " WHERE REST>0 ORDER BY DATASCAD, SOC2");
}

ResultSet QueryReceivablesForExport(Database& db) {
    return db.query("SELECT SERIA, NR, DATAOUT, SOC2, TOTAL, REST, DATASCAD FROM " +
                    Table(db, "FactOut") + " WHERE REST>0 ORDER BY DATASCAD, SOC2");
}

CarriedReport QueryNirSummary(Database& db, bool vatPayer, Date from, Date to) {
    const std::string table = Table(db, "CapNIR");
    CarriedReport report;
    const Params before{{"f", from}};
    if (vatPayer) {
        report.carried = CarriedTotals(
            db.query("SELECT SUM(TOTAL) AS S1, (SUM(VMF)+SUM(VAC)) AS S2, SUM(VTN) AS S3 FROM " +
                         table + " WHERE DATANIR<:f",
                     before));
    } else {
        const Decimal total = SumCell(
            db.query("SELECT SUM(TOTAL) AS S1 FROM " + table + " WHERE DATANIR<:f", before), "S1");
        report.carried = {total, total, Decimal(0)};
    }
    const std::string amounts = vatPayer ? "(VMF+VAC) AS SX, VTN AS TX" : "TOTAL AS SX, 0 AS TX";
    report.rows =
        db.query("SELECT NRNIR, DATANIR, FURNIZOR, SERIENR, TOTAL, " + amounts + " FROM " + table +
                     " WHERE DATANIR>=:f AND DATANIR<=:t ORDER BY DATANIR, NRNIR",
                 {{"f", from}, {"t", to}});
    report.period = {SumColumn(report.rows, "TOTAL"), SumColumn(report.rows, "SX"),
                     SumColumn(report.rows, "TX")};
    return report;
}

CarriedReport QueryReceiptsJournal(Database& db, Date from, Date to) {
    const std::string table = Table(db, "ChitOut");
    CarriedReport report;
    report.carried = CarriedTotals(
        db.query("SELECT SUM(SUMA) AS S1, (SUM(SUMA-INCLTVA)) AS S2, SUM(INCLTVA) AS S3 FROM " +
                     table + " WHERE DATAOUT<:f AND " + kCountedReceipts,
                 {{"f", from}}));
    report.rows = db.query(
        "SELECT DOCJUS, SERIA, NR, DATAOUT, SUMA, (SUMA-INCLTVA) AS BAZA, INCLTVA FROM " + table +
            " WHERE DATAOUT>=:f AND DATAOUT<=:t AND " + kCountedReceipts + " ORDER BY DATAOUT, NR",
        {{"f", from}, {"t", to}});
    report.period = SumReceiptColumns(report.rows);
    return report;
}

ResultSet QuerySalesByAgent(Database& db, const std::string& name, Date from, Date to) {
    return db.query(
        "SELECT SOC2 AS DOCJUS, SERIA, NR, DATAOUT, TOTAL AS SUMA, (VALTOT) AS BAZA,"
        " TVATOT AS INCLTVA FROM " +
            Table(db, "FactOut") +
            " WHERE DATAOUT>=:f AND DATAOUT<=:t AND REPREZ=:name ORDER BY DATAOUT, NR",
        {{"f", from}, {"t", to}, {"name", name}});
}

JournalTotals SumReceiptColumns(const ResultSet& rows) {
    return {SumColumn(rows, "SUMA"), SumColumn(rows, "BAZA"), SumColumn(rows, "INCLTVA")};
}

}  // namespace tvx::core
