// The cash register book "Registru de casa" (core/purchases): the work table Casa.dbf of the
// program folder gathered from the cash operations (payments of incoming documents by
// receipt or fiscal receipt, receipts of outgoing documents by receipt or fiscal receipt, and
// the manual entries), the balances of a day carried from every earlier day, adding and
// deleting a manual entry (each one transaction over its ChitIn/ChitOut row, the work table
// and the IDCHIT counter), and the data of a period as the workbook export lays it out in day
// blocks. The book keeps no balance of its own: every figure is a sum of its rows.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
class CashEntry;

constexpr const char* kCashBookTitle = "Registru de casa";
// The grid the refusals of "Sterge Linia" point at.
constexpr const char* kCashBookGrid = "GridCasa";

// One row of the cash book table.
struct CashLine {
    long long idFact = 0;  // the document, -1 (below 0) for a manual entry
    long long idChit = 0;
    std::string docJus;
    std::string seriaNr;
    tables::Date dataC;
    tables::Decimal platit;
    tables::Decimal incasat;
    std::string reprez;
};

// What the window shows for a day.
struct CashDay {
    tables::Date day;
    tables::Decimal previous;   // "Sold precedent"
    tables::Decimal collected;  // "Total incasat"
    tables::Decimal paid;       // "Total platit"
    tables::Decimal final() const { return previous + collected - paid; }
};

// An amount as the window and the export write it: two decimals.
std::string CashAmountText(const tables::Decimal& amount);

// One operation of a day block of the export.
struct CashOperation {
    std::string docJus;
    std::string seriaNr;
    std::string document;  // DOCJUS + " " + SERIANR
    std::string text;      // REPREZ
    tables::Decimal received, paid;
};

// A day with operations: its date, the balance carried into it, its operations (ordered by
// PLATIT, SERIANR), their totals and the balance at its end.
struct CashDayBlock {
    tables::Date date;
    tables::Decimal previous;
    std::vector<CashOperation> operations;
    tables::Decimal received, paid;
    tables::Decimal final() const { return previous + received - paid; }
};

// The book of a period as the workbook export writes it.
struct CashBookPeriod {
    std::string company;     // [SC]
    std::string periodText;  // [PERIOADA]: "perioada " + F + " - " + T
    tables::Date from, to;
    tables::Decimal yearReceived;    // [II]: INCASAT from 1 January of F's year to F - 1
    tables::Decimal yearPaid;        // [PI]: PLATIT over the same days
    tables::Decimal carried;         // [SP]: INCASAT - PLATIT of every row before F
    std::vector<CashDayBlock> days;  // ascending; only days with operations
    // "Final": the period's totals and the balance at its end.
    tables::Decimal received, paid;
    tables::Decimal final() const { return carried + received - paid; }
};

// The calendar month before the one of `shown`: what the export's period picker proposes.
std::pair<tables::Date, tables::Date> PreviousMonth(tables::Date shown);

class CashBook {
  public:
    // `programFolder` holds the work table; the day shown starts at `today`.
    CashBook(tables::Database& db, Settings& settings, std::filesystem::path programFolder,
             tables::Date today);

    std::filesystem::path tableFile() const;

    // The day shown ("La data"): the one chosen last time, kept between openings.
    tables::Date shownDay;

    // OpenCashBook's table: deleted and created anew, then filled from ChitIn (payments by
    // CHITANTA or BON FISCAL and manual payments), from ChitOut joined with FactOut (receipts
    // by CHITANTA or BON FISCAL, the buyer in front of their text) and from the manual
    // collections. `progress` gets 10, 50, 80 and 100 as the steps end. Engine errors
    // propagate.
    void build(const std::function<void(int percent)>& progress = {});
    // Deletes the table (nothing when it is absent).
    void drop();

    // ShowDay's figures for `day`: the balance of every row before it and the day's totals,
    // from the totals of each day kept since build() and moved by every entry added or
    // deleted here.
    CashDay showDay(tables::Date day) const;
    // The day's rows for the grid, ordered by PLATIT (then IDCHIT).
    tables::ResultSet dayRows(tables::Date day);
    // The row of `idChit`; nullopt when there is none.
    std::optional<CashLine> line(long long idChit);

    // Stores a checked manual entry: IDCHIT from the counter, the ChitIn (payment) or ChitOut
    // (collection) row, and its row in the cash book table; one transaction. Returns IDCHIT.
    long long addEntry(const CashEntry& entry);

    // "Sterge Linia": no line, or a line of a document, is refused at the grid.
    static std::optional<FieldProblem> checkDelete(const std::optional<CashLine>& line);
    // The question asked before deleting; only Da deletes.
    static Message deleteQuestion(const CashLine& line);
    // Deletes manual line `idChit` from the cash book table and its ChitIn row (PLATIT above
    // 0) or ChitOut row (otherwise); one transaction. A line of a document is never deleted
    // here: an EngineError, nothing changed.
    void deleteLine(long long idChit);

    // The book from `from` to `to` for the workbook export. Engine errors propagate.
    CashBookPeriod period(tables::Date from, tables::Date to, const std::string& company);

  private:
    struct Totals {
        tables::Decimal collected, paid;
    };
    std::string table() const;
    void count(tables::Date day, const tables::Decimal& collected, const tables::Decimal& paid);
    std::map<tables::Date, Totals> days_;
    tables::Database& db_;
    Settings& settings_;
    std::filesystem::path folder_;
};

}  // namespace tvx::core
