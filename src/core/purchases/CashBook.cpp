// The cash register book: building its work table, the balances of a day, the manual entries
// and the period read for the export.
#include "core/purchases/CashBook.h"

#include <algorithm>

#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TableLayouts.h"
#include "core/common/WorkTableFile.h"
#include "core/purchases/CashEntry.h"
#include "core/sales/InvoicePosting.h"
#include "core/sales/Receipts.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::Date;
using tables::Decimal;
using tables::EngineError;
using tables::Params;

namespace {

constexpr const char* kColumns = "IDFACT, IDCHIT, DOCJUS, SERIANR, DATAC, PLATIT, INCASAT, REPREZ";
// Receipt texts proposed by the receipt window start with this; the book drops it.
constexpr const char* kReceiptTextPrefix = "achitat F.F.";
constexpr size_t kReceiptTextCut = 13;

Decimal Sum(const tables::ResultSet& rs, int column) {
    if (rs.empty()) return Decimal(0).rescaled(2);
    const tables::Value v = rs.at(0, column);
    return v.isNull() ? Decimal(0).rescaled(2) : v.number().rescaled(2);
}

// A receipt of an outgoing document as the book lists it: the buyer in front of its text.
std::string CollectedText(const std::string& buyer, const std::string& text) {
    const std::string own = text.rfind(kReceiptTextPrefix, 0) == 0
                                ? text.substr(std::min(kReceiptTextCut, text.size()))
                                : text;
    return FirstChars("incasat " + buyer + " " + own, 80);
}

CashLine LineAt(const tables::ResultSet& rs) {
    CashLine line;
    line.idFact = rs.asNumber("IDFACT").toLongLong();
    line.idChit = rs.asNumber("IDCHIT").toLongLong();
    line.docJus = rs.asText("DOCJUS");
    line.seriaNr = rs.asText("SERIANR");
    line.dataC = rs.asDate("DATAC").value_or(Date());
    line.platit = rs.asNumber("PLATIT");
    line.incasat = rs.asNumber("INCASAT");
    line.reprez = rs.asText("REPREZ");
    return line;
}

}  // namespace

std::string CashAmountText(const Decimal& amount) {
    return amount.rescaled(2).toString();
}

std::pair<Date, Date> PreviousMonth(Date shown) {
    const Date firstOfShown = Date::fromYmd(shown.year(), shown.month(), 1);
    const Date last = firstOfShown.addDays(-1);
    return {Date::fromYmd(last.year(), last.month(), 1), last};
}

CashBook::CashBook(tables::Database& db, Settings& settings, fs::path programFolder, Date today)
    : shownDay(today), db_(db), settings_(settings), folder_(std::move(programFolder)) {}

fs::path CashBook::tableFile() const {
    return folder_ / "Casa.dbf";
}

std::string CashBook::table() const {
    return QuotedPath(tableFile());
}

void CashBook::drop() {
    days_.clear();
    DeleteWorkTable(db_, tableFile());
}

void CashBook::count(Date day, const Decimal& collected, const Decimal& paid) {
    Totals& totals = days_[day];
    totals.collected = totals.collected + collected;
    totals.paid = totals.paid + paid;
    if (totals.collected.isZero() && totals.paid.isZero()) days_.erase(day);
}

void CashBook::build(const std::function<void(int)>& progress) {
    const auto advance = [&](int percent) {
        if (progress) progress(percent);
    };
    drop();
    advance(10);
    using tables::Value;
    std::vector<std::vector<Value>> rows;
    const Params kinds{{"receipt", kCashReceiptDocument}, {"fiscal", kFiscalReceiptDocument}};
    // Payments by receipt or fiscal receipt, and the manual payments.
    const tables::ResultSet payments =
        db_.query("SELECT IDFACT, IDCHIT, DOCJUS, SERIANR, DATAC, PLATIT, REPREZ FROM " +
                      QuotedPath(TableFile(db_, "ChitIn")) +
                      " WHERE (IDFACT>=0 AND (DOCJUS=:receipt OR DOCJUS=:fiscal)) OR IDFACT<0",
                  kinds);
    for (size_t r = 0; r < payments.rowCount(); ++r)
        rows.push_back({payments.at(r, 0), payments.at(r, 1), payments.at(r, 2), payments.at(r, 3),
                        payments.at(r, 4), payments.at(r, 5), Value(0), payments.at(r, 6)});
    advance(50);
    // Receipts of outgoing documents by receipt or fiscal receipt, with their buyer.
    const tables::ResultSet receipts = db_.query(
        "SELECT C.IDFACTO, C.IDCHIT, C.DOCJUS, C.SERIA, C.NR, C.DATAOUT, C.SUMA, C.REPREZ,"
        " F.SOC2 FROM " +
            QuotedPath(TableFile(db_, "ChitOut")) + " C, " + QuotedPath(TableFile(db_, "FactOut")) +
            " F WHERE C.IDFACTO=F.IDFACTO AND C.IDFACTO>=0 AND (C.DOCJUS=:receipt OR"
            " C.DOCJUS=:fiscal)",
        kinds);
    for (size_t r = 0; r < receipts.rowCount(); ++r)
        rows.push_back(
            {receipts.at(r, 0), receipts.at(r, 1), receipts.at(r, 2),
             FirstChars(receipts.at(r, 3).toString() + " " + receipts.at(r, 4).toString(), 18),
             receipts.at(r, 5), Value(0), receipts.at(r, 6),
             CollectedText(receipts.at(r, 8).toString(), receipts.at(r, 7).toString())});
    advance(80);
    // The manual collections: the number as a text of at most ten characters.
    const tables::ResultSet collections =
        db_.query("SELECT IDFACTO, IDCHIT, DOCJUS, SERIA, NR, DATAOUT, SUMA, REPREZ FROM " +
                  QuotedPath(TableFile(db_, "ChitOut")) + " WHERE IDFACTO<1");
    for (size_t r = 0; r < collections.rowCount(); ++r)
        rows.push_back({collections.at(r, 0), collections.at(r, 1), collections.at(r, 2),
                        FirstChars(collections.at(r, 3).toString() + "  " +
                                       FirstChars(collections.at(r, 4).toString(), 10),
                                   18),
                        collections.at(r, 5), Value(0), collections.at(r, 6),
                        collections.at(r, 7)});
    WriteWorkTable(db_, tableLayout("Casa"), tableFile(), rows);
    // Columns DATAC, PLATIT, INCASAT; a row without a date belongs to no day.
    for (const auto& row : rows)
        if (!row[4].isNull())
            count(row[4].date(), row[6].isNull() ? Decimal(0) : row[6].number(),
                  row[5].isNull() ? Decimal(0) : row[5].number());
    advance(100);
}

CashDay CashBook::showDay(Date day) const {
    CashDay shown;
    shown.day = day;
    shown.previous = shown.collected = shown.paid = Decimal(0).rescaled(2);
    for (auto it = days_.begin(); it != days_.end() && it->first < day; ++it)
        shown.previous = shown.previous + it->second.collected - it->second.paid;
    if (const auto it = days_.find(day); it != days_.end()) {
        shown.collected = shown.collected + it->second.collected;
        shown.paid = shown.paid + it->second.paid;
    }
    return shown;
}

tables::ResultSet CashBook::dayRows(Date day) {
    return db_.query("SELECT * FROM " + table() + " WHERE DATAC=:d ORDER BY DATAC, PLATIT, IDCHIT",
                     {{"d", day}});
}

std::optional<CashLine> CashBook::line(long long idChit) {
    tables::ResultSet rs =
        db_.query("SELECT * FROM " + table() + " WHERE IDCHIT=:id", {{"id", idChit}});
    if (rs.empty()) return std::nullopt;
    rs.first();
    return LineAt(rs);
}

long long CashBook::addEntry(const CashEntry& entry) {
    const Decimal sum = entry.amount();
    const bool payment = entry.kind == CashEntryKind::Payment;
    const long long idChit = db_.atomically([&] {
        const long long idChit = settings_.nextNumber("IDCHIT");
        if (payment)
            db_.execute("INSERT INTO " + QuotedPath(TableFile(db_, "ChitIn")) +
                            " (IDCHIT, IDFACT, DOCJUS, SERIANR, DATAC, FURNIZOR, PLATIT, INCLTVA,"
                            " REPREZ) VALUES (:id, -1, :docjus, :serianr, :data, \"\", :sum, 0,"
                            " :reprez)",
                        {{"id", idChit},
                         {"docjus", entry.document},
                         {"serianr", entry.seriesAndNumber()},
                         {"data", entry.date},
                         {"sum", sum},
                         {"reprez", entry.text}});
        else
            db_.execute("INSERT INTO " + QuotedPath(TableFile(db_, "ChitOut")) +
                            " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA, INCLTVA, REPREZ)"
                            " VALUES (:id, -1, :docjus, :seria, :nr, :data, :sum, 0, :reprez)",
                        {{"id", idChit},
                         {"docjus", entry.document},
                         {"seria", entry.series},
                         {"nr", entry.numberValue()},
                         {"data", entry.date},
                         {"sum", sum},
                         {"reprez", entry.text}});
        db_.execute("INSERT INTO " + table() + " (" + kColumns +
                        ") VALUES (-1, :id, :docjus, :serianr, :data, :platit, :incasat, :reprez)",
                    {{"id", idChit},
                     {"docjus", entry.document},
                     {"serianr", entry.seriesAndNumber()},
                     {"data", entry.date},
                     {"platit", payment ? sum : Decimal(0)},
                     {"incasat", payment ? Decimal(0) : sum},
                     {"reprez", entry.text}});
        return idChit;
    });
    count(entry.date, payment ? Decimal(0) : sum, payment ? sum : Decimal(0));
    return idChit;
}

std::optional<FieldProblem> CashBook::checkDelete(const std::optional<CashLine>& line) {
    if (!line) return FieldProblem{kCashBookGrid, "Nu aveti ce sterge!"};
    if (line->idFact >= 0)
        return FieldProblem{kCashBookGrid, "Nu puteti sterge de aici " + line->docJus + "!"};
    return std::nullopt;
}

Message CashBook::deleteQuestion(const CashLine& line) {
    return Message{kCashBookTitle, "\r\nDoriti sa stergeti " + line.docJus + "?",
                   MessageKind::Confirmation};
}

void CashBook::deleteLine(long long idChit) {
    const CashLine removed = db_.atomically([&] {
        const auto found = line(idChit);
        if (!found)
            throw EngineError("Cash book line " + std::to_string(idChit) + " does not exist",
                              "Casa");
        if (found->idFact >= 0)
            throw EngineError("Cash book line " + std::to_string(idChit) +
                                  " belongs to a document; it is deleted with it",
                              "Casa");
        db_.execute("DELETE FROM " + table() + " WHERE IDCHIT=:id", {{"id", idChit}});
        // Only rows without a document: a document's payment never goes from here.
        if (found->platit > Decimal(0))
            db_.execute("DELETE FROM " + QuotedPath(TableFile(db_, "ChitIn")) +
                            " WHERE IDCHIT=:id AND IDFACT<0",
                        {{"id", idChit}});
        else
            db_.execute("DELETE FROM " + QuotedPath(TableFile(db_, "ChitOut")) +
                            " WHERE IDCHIT=:id AND IDFACTO<1",
                        {{"id", idChit}});
        return *found;
    });
    count(removed.dataC, -removed.incasat, -removed.platit);
}

CashBookPeriod CashBook::period(Date from, Date to, const std::string& company) {
    CashBookPeriod book;
    book.company = company;
    book.periodText = "perioada " + from.toString() + " - " + to.toString();
    book.from = from;
    book.to = to;
    const tables::ResultSet year = db_.query(
        "SELECT SUM(INCASAT), SUM(PLATIT) FROM " + table() + " WHERE DATAC>=:y AND DATAC<:f",
        {{"y", Date::fromYmd(from.year(), 1, 1)}, {"f", from}});
    book.yearReceived = Sum(year, 0);
    book.yearPaid = Sum(year, 1);
    const tables::ResultSet before = db_.query(
        "SELECT SUM(INCASAT), SUM(PLATIT) FROM " + table() + " WHERE DATAC<:f", {{"f", from}});
    book.carried = Sum(before, 0) - Sum(before, 1);
    book.received = book.paid = Decimal(0).rescaled(2);

    tables::ResultSet rows =
        db_.query("SELECT DATAC, DOCJUS, SERIANR, INCASAT, PLATIT, REPREZ FROM " + table() +
                      " WHERE DATAC>=:f AND DATAC<=:t ORDER BY DATAC, PLATIT, SERIANR",
                  {{"f", from}, {"t", to}});
    Decimal balance = book.carried;
    for (rows.first(); !rows.eof(); rows.next()) {
        const Date date = rows.asDate("DATAC").value_or(Date());
        if (book.days.empty() || book.days.back().date != date) {
            if (!book.days.empty()) balance = book.days.back().final();
            book.days.push_back(
                {date, balance, {}, Decimal(0).rescaled(2), Decimal(0).rescaled(2)});
        }
        CashDayBlock& day = book.days.back();
        CashOperation op;
        op.docJus = rows.asText("DOCJUS");
        op.seriaNr = rows.asText("SERIANR");
        op.document = op.docJus + " " + op.seriaNr;
        op.text = rows.asText("REPREZ");
        op.received = rows.asNumber("INCASAT").rescaled(2);
        op.paid = rows.asNumber("PLATIT").rescaled(2);
        day.received = day.received + op.received;
        day.paid = day.paid + op.paid;
        book.received = book.received + op.received;
        book.paid = book.paid + op.paid;
        day.operations.push_back(std::move(op));
    }
    return book;
}

}  // namespace tvx::core
