// The financial journals and summaries of the report menu (core/reports): the supplier
// invoices still to pay, the sales invoices still to collect (all, or for the export), the
// summary of goods received notes and the receipts journal with their carried totals, and the
// sales of one representative. Each function reads the tables
// and returns the rows its printed layout shows with the totals it prints, summed exactly.
#pragma once

#include <string>
#include <string_view>

#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

// The three amount columns of the summaries: the document total (TOTAL or SUMA), the taxable
// base and the VAT.
struct JournalTotals {
    tables::Decimal total;
    tables::Decimal base;
    tables::Decimal vat;

    JournalTotals& operator+=(const JournalTotals& other);
    friend JournalTotals operator+(JournalTotals a, const JournalTotals& b) { return a += b; }
    friend bool operator==(const JournalTotals& a, const JournalTotals& b) = default;
};

// "in data de " + F when both dates are one day, else "in perioada " + F + " - " + T.
std::string PeriodLine(tables::Date from, tables::Date to);
// "Data : " + the date.
std::string DateLine(tables::Date today);
// "Luna : " + month name + " " + year of the month holding `first`.
std::string MonthLine(tables::Date first);
// An amount as printed: two decimals, halves away from zero.
std::string AmountText(const tables::Decimal& amount);
// The exact sum of a numeric column over the visible rows (blank cells count 0).
tables::Decimal SumColumn(const tables::ResultSet& rows, std::string_view field);

// "Facturi de plata": every FactIn row with REST > 0, ordered by DATASCAD, FURNIZOR.
tables::ResultSet QueryPayables(tables::Database& db);

// "Facturi de incasat" > "Listare": every FactOut row with REST > 0 ordered by DATASCAD, SOC2.
tables::ResultSet QueryReceivables(tables::Database& db);
// "Facturi de incasat" > "Export Excel": SERIA, NR, DATAOUT, SOC2, TOTAL, REST, DATASCAD of
// the same rows.
tables::ResultSet QueryReceivablesForExport(tables::Database& db);

// A summary with the totals of everything before its period ("REPORT") and the carried
// totals after it ("TOTAL de reportat" = carried + period, column by column).
struct CarriedReport {
    tables::ResultSet rows;
    JournalTotals carried;
    JournalTotals period;
    JournalTotals carriedForward() const { return carried + period; }
};

// "Centralizator N.I.R.": the CapNIR rows dated within the period ordered by DATANIR, NRNIR with
// NRNIR, DATANIR, FURNIZOR, SERIENR, TOTAL, SX (base: VMF + VAC) and TX (VAT: VTN); for a
// company that is no VAT payer SX is TOTAL and TX 0, in the rows and in the carried totals.
CarriedReport QueryNirSummary(tables::Database& db, bool vatPayer, tables::Date from,
                              tables::Date to);

// "Jurnal incasari": the ChitOut rows of kind "CHITANTA" or settling no invoice (IDFACTO < 0)
// dated within the period, ordered by DATAOUT, NR: DOCJUS, SERIA, NR, DATAOUT, SUMA,
// BAZA (SUMA - INCLTVA), INCLTVA.
CarriedReport QueryReceiptsJournal(tables::Database& db, tables::Date from, tables::Date to);

// "Vanzari pe Reprezentant": the FactOut rows of the period whose REPREZ is exactly `name`,
// ordered by DATAOUT, NR: DOCJUS (the buyer SOC2), SERIA, NR, DATAOUT, SUMA (TOTAL),
// BAZA (VALTOT), INCLTVA (TVATOT).
tables::ResultSet QuerySalesByAgent(tables::Database& db, const std::string& name,
                                    tables::Date from, tables::Date to);
// The three sums of SUMA, BAZA and INCLTVA of those rows (also of the receipts journal's rows).
JournalTotals SumReceiptColumns(const tables::ResultSet& rows);

}  // namespace tvx::core
