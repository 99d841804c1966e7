// The cash register book: which payments and receipts it gathers and how it writes them, the
// balances carried from day to day and from the year before, a period starting mid-year as
// the export reads it, manual entries added and deleted in any order (the book always equals
// a book rebuilt from the stored rows), refusals that change nothing, and the entry dialog's
// checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "PurchasesTestSupport.h"
#include "core/purchases/CashBook.h"
#include "core/purchases/CashEntry.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;

Date D(int day, int month = 3, int year = 2024) {
    return Date::fromYmd(year, month, day);
}

class CashBookTest : public purchasestest::PurchasesTest {
  protected:
    void SetUp() override {
        PurchasesTest::SetUp();
        book_ = std::make_unique<CashBook>(db(), settings(), dir_.path(), D(15));
    }
    void Paid(long long idChit, long long idFact, const char* kind, Date date, const char* sum,
              const char* text = "plata") {
        db().execute("INSERT INTO " + table("ChitIn") +
                         " (IDCHIT, IDFACT, DOCJUS, SERIANR, DATAC, PLATIT, REPREZ) VALUES (:i, :f,"
                         " :k, \"C 9\", :d, :s, :t)",
                     {{"i", idChit},
                      {"f", idFact},
                      {"k", kind},
                      {"d", date},
                      {"s", *Decimal::parse(sum)},
                      {"t", text}});
    }
    void Collected(long long idChit, long long idFacto, const char* kind, Date date,
                   const char* sum, const char* text = "incasare") {
        db().execute("INSERT INTO " + table("ChitOut") +
                         " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA, REPREZ) VALUES (:i,"
                         " :f, :k, \"TX\", 12, :d, :s, :t)",
                     {{"i", idChit},
                      {"f", idFacto},
                      {"k", kind},
                      {"d", date},
                      {"s", *Decimal::parse(sum)},
                      {"t", text}});
    }
    void Invoice(long long idFacto, const char* buyer) {
        db().execute("INSERT INTO " + table("FactOut") + " (IDFACTO, SOC2) VALUES (:i, :b)",
                     {{"i", idFacto}, {"b", buyer}});
    }
    long long Manual(CashEntryKind kind, Date day, const char* sum, const char* text = "depunere") {
        CashEntry entry;
        entry.open(kind, day, {"DISPOZITIE"});
        entry.sum = sum;
        entry.text = text;
        EXPECT_FALSE(entry.check());
        return book_->addEntry(entry);
    }
    // Every day's figures of March 2024 as text.
    std::vector<std::string> March(const CashBook& book) {
        std::vector<std::string> out;
        for (int d = 1; d <= 31; ++d) {
            const CashDay day = book.showDay(D(d));
            out.push_back(CashAmountText(day.previous) + "/" + CashAmountText(day.collected) + "/" +
                          CashAmountText(day.paid) + "/" + CashAmountText(day.final()));
        }
        return out;
    }
    std::unique_ptr<CashBook> book_;
};

TEST_F(CashBookTest, GathersCashPaymentsAndReceiptsOnly) {
    Invoice(7, "ALFA SRL");
    Paid(1, 5, "CHITANTA", D(1), "10");
    Paid(2, 5, "ORDIN DE PLATA", D(1), "20");  // a bank transfer is not cash
    Paid(3, 5, "BON FISCAL", D(1), "30");
    Paid(4, -1, "DISPOZITIE", D(1), "40");
    Collected(5, 7, "CHITANTA", D(2), "50", "achitat F.F. seria TX nr.3");
    Collected(6, 7, "ORDIN DE PLATA", D(2), "60");
    Collected(7, 8, "CHITANTA", D(2), "70");  // its invoice is gone
    Collected(8, -1, "DEPUNERE", D(2), "80", "aport");
    std::vector<int> steps;
    book_->build([&](int percent) { steps.push_back(percent); });
    EXPECT_EQ(steps, (std::vector<int>{10, 50, 80, 100}));
    ASSERT_TRUE(std::filesystem::exists(book_->tableFile()));

    // The independent reader sees a sound file with exactly these rows.
    auto rows = testsupport::dumpRows(book_->tableFile());
    std::sort(rows.begin(), rows.end(),
              [](auto& a, auto& b) { return std::stoi(a["IDCHIT"]) < std::stoi(b["IDCHIT"]); });
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0]["IDCHIT"], "1");
    EXPECT_EQ(rows[1]["IDCHIT"], "3");
    EXPECT_EQ(rows[2]["IDFACT"], "-1");
    EXPECT_EQ(rows[2]["INCASAT"], "0.00");
    EXPECT_EQ(rows[3]["SERIANR"], "TX 12");
    EXPECT_EQ(rows[3]["INCASAT"], "50.00");
    EXPECT_EQ(rows[3]["PLATIT"], "0.00");
    EXPECT_EQ(rows[3]["REPREZ"], "incasat ALFA SRL seria TX nr.3");
    EXPECT_EQ(rows[4]["SERIANR"], "TX  12");
    EXPECT_EQ(rows[4]["REPREZ"], "aport");

    book_->drop();
    EXPECT_FALSE(std::filesystem::exists(book_->tableFile()));
}

TEST_F(CashBookTest, BalancesCarryFromDayToDay) {
    Paid(1, -1, "DISPOZITIE", D(2), "100.10");
    Collected(2, -1, "DEPUNERE", D(1), "500");
    Collected(3, -1, "DEPUNERE", D(4), "0.01");
    Paid(4, -1, "DISPOZITIE", D(4), "250.55");
    Collected(5, -1, "DEPUNERE", D(31, 12, 2023), "7");  // the year before
    book_->build();
    struct Case {
        Date day;
        const char *previous, *collected, *paid, *final;
    };
    for (const Case& c : {Case{D(31, 12, 2023), "0.00", "7.00", "0.00", "7.00"},
                          Case{D(1), "7.00", "500.00", "0.00", "507.00"},
                          Case{D(2), "507.00", "0.00", "100.10", "406.90"},
                          Case{D(3), "406.90", "0.00", "0.00", "406.90"},  // no operations
                          Case{D(4), "406.90", "0.01", "250.55", "156.36"},
                          Case{D(1, 1, 2030), "156.36", "0.00", "0.00", "156.36"}}) {
        const CashDay day = book_->showDay(c.day);
        EXPECT_EQ(CashAmountText(day.previous), c.previous) << c.day.toString();
        EXPECT_EQ(CashAmountText(day.collected), c.collected) << c.day.toString();
        EXPECT_EQ(CashAmountText(day.paid), c.paid) << c.day.toString();
        EXPECT_EQ(CashAmountText(day.final()), c.final) << c.day.toString();
    }
    // The day's grid: that day's rows only, the collection (PLATIT 0) first.
    tables::ResultSet rows = book_->dayRows(D(4));
    ASSERT_EQ(rows.rowCount(), 2u);
    EXPECT_EQ(rows.at(0, rows.findField("IDCHIT")).toString(), "3");
}

TEST_F(CashBookTest, PeriodStartingMidYearCarriesTheYearAndTheBalance) {
    Collected(1, -1, "DEPUNERE", D(20, 12, 2023), "1000");
    Paid(2, -1, "DISPOZITIE", D(10, 2, 2024), "100");
    Collected(3, -1, "DEPUNERE", D(30, 6, 2024), "40");
    Paid(4, -1, "DISPOZITIE", D(3, 7, 2024), "5.50");
    Collected(5, -1, "DEPUNERE", D(3, 7, 2024), "2.25");
    Paid(6, -1, "DISPOZITIE", D(31, 7, 2024), "1");
    Collected(7, -1, "DEPUNERE", D(1, 8, 2024), "999");  // after the period
    book_->build();
    const CashBookPeriod july = book_->period(D(1, 7, 2024), D(31, 7, 2024), "FIRMA SRL");
    EXPECT_EQ(july.periodText, "perioada 01.07.2024 - 31.07.2024");
    EXPECT_EQ(CashAmountText(july.yearReceived), "40.00");  // not December's 1000
    EXPECT_EQ(CashAmountText(july.yearPaid), "100.00");
    EXPECT_EQ(CashAmountText(july.carried), "940.00");
    ASSERT_EQ(july.days.size(), 2u);
    EXPECT_EQ(july.days[0].date, D(3, 7, 2024));
    EXPECT_EQ(CashAmountText(july.days[0].previous), "940.00");
    ASSERT_EQ(july.days[0].operations.size(), 2u);
    EXPECT_EQ(july.days[0].operations[0].document, "DEPUNERE TX  12");  // PLATIT 0 first
    EXPECT_EQ(CashAmountText(july.days[0].final()), "936.75");
    EXPECT_EQ(CashAmountText(july.days[1].previous), "936.75");
    EXPECT_EQ(CashAmountText(july.received), "2.25");
    EXPECT_EQ(CashAmountText(july.paid), "6.50");
    EXPECT_EQ(CashAmountText(july.final()), "935.75");
    EXPECT_EQ(july.final(), book_->showDay(D(31, 7, 2024)).final());
    // The export proposes the month before the day shown.
    EXPECT_EQ(PreviousMonth(D(15, 1, 2025)), std::make_pair(D(1, 12, 2024), D(31, 12, 2024)));
    EXPECT_EQ(PreviousMonth(D(31, 3, 2024)), std::make_pair(D(1, 2, 2024), D(29, 2, 2024)));
}

// Entries added on several days and deleted in the middle, in different orders: after every
// step the book equals one rebuilt from the stored rows, to the cent.
TEST_F(CashBookTest, AnyOrderOfEntriesAndDeletionsGivesTheRebuiltBook) {
    struct Op {
        CashEntryKind kind;
        int day;
        const char* sum;
    };
    const std::vector<Op> ops = {
        {CashEntryKind::Collection, 3, "1000.01"}, {CashEntryKind::Payment, 3, "0.07"},
        {CashEntryKind::Payment, 9, "333.33"},     {CashEntryKind::Collection, 1, "9999.99"},
        {CashEntryKind::Payment, 20, "0.10"},      {CashEntryKind::Collection, 9, "12.5"}};
    const std::vector<std::vector<int>> orders = {
        {0, 1, 2, 3, 4, 5}, {5, 4, 3, 2, 1, 0}, {3, 0, 5, 1, 4, 2}};
    for (const auto& order : orders) {
        db().execute("DELETE FROM " + table("ChitIn"));
        db().execute("DELETE FROM " + table("ChitOut"));
        book_->build();
        std::vector<long long> ids;
        for (int i : order) ids.push_back(Manual(ops[i].kind, D(ops[i].day), ops[i].sum));
        // Delete the middle ones, then the first.
        for (size_t k : {ids.size() / 2, ids.size() / 2 - 1, size_t{0}}) {
            book_->deleteLine(ids[k]);
            CashBook rebuilt(db(), settings(), dir_.path() / "Data", D(1));
            rebuilt.build();
            ASSERT_EQ(March(*book_), March(rebuilt));
            rebuilt.drop();
        }
        // Three entries are left; the month's last balance is their sum.
        Decimal expected(0);
        for (size_t k = 0; k < ids.size(); ++k) {
            if (k == 0 || k == ids.size() / 2 || k == ids.size() / 2 - 1) continue;
            const Op& op = ops[order[k]];
            expected = expected + (op.kind == CashEntryKind::Collection ? *Decimal::parse(op.sum)
                                                                        : -*Decimal::parse(op.sum));
        }
        EXPECT_EQ(book_->showDay(D(31)).final(), expected);
    }
}

TEST_F(CashBookTest, ManualEntryIsStoredWholeOrNotAtAll) {
    book_->build();
    settings().setIndex("IDCHIT", "41");
    CashEntry entry;
    entry.open(CashEntryKind::Payment, D(5), {"DISPOZITIE", "STAT PLATA"});
    entry.series = "ab";
    entry.number = "0012";
    entry.sum = "1234,5";
    entry.text = "  salarii   martie ";
    ASSERT_FALSE(entry.check());
    EXPECT_EQ(book_->addEntry(entry), 41);
    EXPECT_EQ(value("SELECT SERIANR + \"|\" + DOCJUS + \"|\" + REPREZ FROM " + table("ChitIn") +
                    " WHERE IDCHIT=41 AND IDFACT=-1 AND PLATIT=1234.5"),
              "AB 12|DISPOZITIE|salarii martie");
    EXPECT_EQ(settings().peekNumber("IDCHIT"), 42);
    const auto line = book_->line(41);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->seriaNr, "AB 12");

    entry.open(CashEntryKind::Collection, D(5), {});
    entry.sum = "10";
    entry.text = "aport";
    ASSERT_FALSE(entry.check());
    book_->addEntry(entry);
    EXPECT_EQ(value("SELECT NR FROM " + table("ChitOut") + " WHERE IDCHIT=42 AND IDFACTO=-1"), "0");

    // Without its work table the entry fails: no row, no counter moved.
    std::filesystem::remove(book_->tableFile());
    db().forget(book_->tableFile());
    const auto before = snapshot();
    EXPECT_ANY_THROW(book_->addEntry(entry));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CashBookTest, DeletingRefusesDocumentLinesAndChangesNothing) {
    Invoice(7, "ALFA SRL");
    Paid(1, 5, "CHITANTA", D(1), "10");
    Collected(2, 7, "CHITANTA", D(1), "20");
    settings().setIndex("IDCHIT", "3");
    book_->build();
    EXPECT_EQ(CashBook::checkDelete(std::nullopt)->message, "Nu aveti ce sterge!");
    for (long long id : {1, 2}) {
        const auto line = book_->line(id);
        ASSERT_TRUE(line);
        const auto problem = CashBook::checkDelete(line);
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->field, kCashBookGrid);
        EXPECT_EQ(problem->message, "Nu puteti sterge de aici CHITANTA!");
        const auto before = snapshot();
        EXPECT_THROW(book_->deleteLine(id), tables::EngineError);
        EXPECT_EQ(snapshot(), before);
        EXPECT_TRUE(book_->line(id));
    }
    const long long manual = Manual(CashEntryKind::Collection, D(1), "5");
    EXPECT_FALSE(CashBook::checkDelete(book_->line(manual)));
    EXPECT_EQ(CashBook::deleteQuestion(*book_->line(manual)).text,
              "\r\nDoriti sa stergeti DISPOZITIE?");
    book_->deleteLine(manual);
    EXPECT_EQ(count("ChitOut"), "1");
    EXPECT_FALSE(book_->line(manual));
    EXPECT_EQ(CashAmountText(book_->showDay(D(1)).final()), "10.00");
}

TEST_F(CashBookTest, EntryChecksStopAtTheirField) {
    struct Case {
        const char *document, *series, *number, *sum, *text;
        const char *field, *message;
    };
    const std::string longText(81, 'a');
    const Case cases[] = {
        {"D", "S", "1", "0", "x", CashEntry::kSumField, "Suma incorecta!"},
        {"D", "S", "1", "abc", "x", CashEntry::kSumField, "Suma incorecta!"},
        {"D", "S", "1", "-5", "x", CashEntry::kSumField, "Suma incorecta!"},
        {"D", "S", "1", "10000", "x", CashEntry::kSumField, "Suma incorecta!"},
        {"D", "S", "1", "1.005", "x", CashEntry::kSumField, "Suma incorecta!"},
        {"D", "S", "1", "9999.99", " \t  ", CashEntry::kTextField, "Nu ati scris ce reprezinta!"},
        {"D", "S", "x1", "5", "x", CashEntry::kNumberField, "Numar incorect!"},
        {"D", "S", "12345678901", "5", "x", CashEntry::kNumberField, "Numar incorect!"},
        {"D", "SERIE77", "1", "5", "x", CashEntry::kSeriesField, "Seria are cel mult 6 caractere!"},
        {"DOCUMENT JUSTIFICATIV", "S", "1", "5", "x", CashEntry::kDocumentField,
         "Documentul are cel mult 20 de caractere!"},
        {"D", "S", "1", "5", longText.c_str(), CashEntry::kTextField,
         "Textul are cel mult 80 de caractere!"},
    };
    for (const Case& c : cases) {
        CashEntry entry;
        entry.open(CashEntryKind::Payment, D(1), {});
        entry.document = c.document;
        entry.series = c.series;
        entry.number = c.number;
        entry.sum = c.sum;
        entry.text = c.text;
        const auto problem = entry.check();
        ASSERT_TRUE(problem) << c.sum << " " << c.number;
        EXPECT_EQ(problem->field, c.field);
        EXPECT_EQ(problem->message, c.message);
    }
}

TEST_F(CashBookTest, EntryDialogDefaultsAndDocumentList) {
    Paid(1, -1, "STAT PLATA", D(1), "1");
    Paid(2, -1, "DISPOZITIE", D(1), "1");
    Paid(3, -1, "DISPOZITIE", D(1), "1");
    Collected(4, -1, "DEPUNERE", D(1), "1");
    CashEntry entry;
    entry.open(CashEntryKind::Payment, D(9), CashEntryDocuments(db(), CashEntryKind::Payment));
    EXPECT_EQ(entry.title(), std::string("Adaugare plata"));
    EXPECT_EQ(entry.documents, (std::vector<std::string>{"DISPOZITIE", "STAT PLATA"}));
    EXPECT_EQ(entry.document, "DISPOZITIE");
    EXPECT_EQ(entry.number, "0");
    EXPECT_EQ(entry.sum, "0");
    EXPECT_EQ(entry.date, D(9));
    entry.open(CashEntryKind::Collection, D(9), {});
    EXPECT_EQ(entry.title(), std::string("Adaugare incasare"));
    EXPECT_EQ(entry.document, "");
}

}  // namespace
}  // namespace tvx::core
