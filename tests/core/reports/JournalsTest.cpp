// The journals and summaries over a small generated shop, checked against sums the test makes
// itself from every stored row (filtered and added here, not by the report's statements): for a
// day, a month, a period across a year boundary, an empty period and one before any data, the
// rows, period totals and carried totals of the NIR summary (VAT payer or not) and of the
// receipts journal, the sales of a representative, the purchase journal's eight columns, and the
// lists of invoices to pay and to collect.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "../CoreTestSupport.h"
#include "ShopGenerator.h"
#include "core/common/TextRoutines.h"
#include "core/reports/Journals.h"
#include "core/reports/PurchaseJournal.h"
#include "tables/Database.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;
using tables::ResultSet;
using testsupport::ScratchDir;

// Every row of a table, as the test reads it.
struct Rows {
    ResultSet all;
    size_t size() const { return all.rowCount(); }
    Decimal n(size_t row, const char* field) const {
        const auto v = all.at(row, all.fieldIndex(field));
        return v.isNumber() ? v.number() : Decimal(0);
    }
    Date d(size_t row, const char* field) const {
        return all.at(row, all.fieldIndex(field)).date();
    }
    std::string t(size_t row, const char* field) const {
        return Trimmed(all.at(row, all.fieldIndex(field)).toString());
    }
};

class GeneratedJournals : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new ScratchDir();
        gen::GeneratorOptions options;
        options.scale = *Decimal::parse("0.01");
        options.seed = 11;
        gen::generateShop(dir_->path() / "Data", options);
        db_ = new tables::Database(dir_->path() / "Data", dir_->path());
        db_->setDurable(false);
    }
    static void TearDownTestSuite() {
        delete db_;
        delete dir_;
    }
    static Rows All(const char* table) {
        return {db_->query(std::string("SELECT * FROM ") + table)};
    }

    static ScratchDir* dir_;
    static tables::Database* db_;
};

ScratchDir* GeneratedJournals::dir_ = nullptr;
tables::Database* GeneratedJournals::db_ = nullptr;

struct Period {
    const char* name;
    Date from, to;
};

// The periods every report is checked over; the two single days are days with documents.
std::vector<Period> Periods(const Rows& nirs, const Rows& receipts) {
    return {{"nir day", nirs.d(nirs.size() / 2, "DATANIR"), nirs.d(nirs.size() / 2, "DATANIR")},
            {"receipt day", receipts.d(receipts.size() / 3, "DATAOUT"),
             receipts.d(receipts.size() / 3, "DATAOUT")},
            {"month", Date::fromYmd(2021, 3, 1), Date::fromYmd(2021, 3, 31)},
            {"across a year", Date::fromYmd(2019, 11, 15), Date::fromYmd(2020, 2, 10)},
            {"empty, after the data", Date::fromYmd(2031, 1, 1), Date::fromYmd(2031, 12, 31)},
            {"before any data", Date::fromYmd(2001, 1, 1), Date::fromYmd(2001, 1, 31)}};
}

bool Within(Date d, const Period& p) {
    return d >= p.from && d <= p.to;
}

TEST_F(GeneratedJournals, NirSummaryAndReceiptsJournalAgreeWithTheRows) {
    const Rows nirs = All("CapNIR");
    const Rows receipts = All("ChitOut");
    size_t nirRows = 0, receiptRows = 0;  // over all periods: the data is not empty
    for (const Period& p : Periods(nirs, receipts)) {
        SCOPED_TRACE(p.name);
        for (bool payer : {true, false}) {
            JournalTotals before, within;
            size_t count = 0;
            for (size_t r = 0; r < nirs.size(); ++r) {
                const Decimal total = nirs.n(r, "TOTAL");
                const JournalTotals row =
                    payer ? JournalTotals{total, nirs.n(r, "VMF") + nirs.n(r, "VAC"),
                                          nirs.n(r, "VTN")}
                          : JournalTotals{total, total, Decimal(0)};
                if (nirs.d(r, "DATANIR") < p.from) before += row;
                if (Within(nirs.d(r, "DATANIR"), p)) within += row, ++count;
            }
            const CarriedReport report = QueryNirSummary(*db_, payer, p.from, p.to);
            EXPECT_EQ(report.rows.rowCount(), count);
            nirRows += count;
            EXPECT_EQ(report.carried, before);
            EXPECT_EQ(report.period, within);
            EXPECT_EQ(report.carriedForward(), before + within);
            for (size_t r = 1; r < report.rows.rowCount(); ++r)
                EXPECT_LE(report.rows.at(r - 1, 1).date(), report.rows.at(r, 1).date());
        }
        JournalTotals before, within;
        size_t count = 0;
        for (size_t r = 0; r < receipts.size(); ++r) {
            if (receipts.t(r, "DOCJUS") != "CHITANTA" && receipts.n(r, "IDFACTO") >= 0) continue;
            const Decimal sum = receipts.n(r, "SUMA"), vat = receipts.n(r, "INCLTVA");
            const JournalTotals row{sum, sum - vat, vat};
            if (receipts.d(r, "DATAOUT") < p.from) before += row;
            if (Within(receipts.d(r, "DATAOUT"), p)) within += row, ++count;
        }
        const CarriedReport journal = QueryReceiptsJournal(*db_, p.from, p.to);
        EXPECT_EQ(journal.rows.rowCount(), count);
        receiptRows += count;
        EXPECT_EQ(journal.carried, before);
        EXPECT_EQ(journal.period, within);
    }
    EXPECT_GT(nirRows, 4u);
    EXPECT_GT(receiptRows, 4u);
}

TEST_F(GeneratedJournals, SalesOfARepresentativeAndThePurchaseJournalAgreeWithTheRows) {
    const Rows sales = All("FactOut");
    const Rows incoming = All("FactIn");
    const Rows nirs = All("CapNIR");
    const Rows lines = All("ProdNIR");
    const Rows receipts = All("ChitOut");
    std::string agent;
    for (size_t r = 0; r < sales.size() && agent.empty(); ++r) agent = sales.t(r, "REPREZ");
    ASSERT_FALSE(agent.empty());
    // The NIR lines of each incoming document, by category.
    std::map<long long, std::map<std::string, std::pair<Decimal, Decimal>>> byDocument;
    std::map<long long, long long> documentOfNir;
    for (size_t r = 0; r < nirs.size(); ++r)
        documentOfNir[nirs.n(r, "IDNIR").toLongLong()] = nirs.n(r, "IDFACT").toLongLong();
    for (size_t r = 0; r < lines.size(); ++r) {
        auto& sums =
            byDocument[documentOfNir[lines.n(r, "IDNIR").toLongLong()]][lines.t(r, "CATEG")];
        sums.first += lines.n(r, "VALOARE");
        sums.second += lines.n(r, "VALTVA");
    }
    size_t allDocuments = 0, allAgentRows = 0;
    for (const Period& p : Periods(nirs, receipts)) {
        SCOPED_TRACE(p.name);
        JournalTotals agentSums;
        size_t agentRows = 0;
        for (size_t r = 0; r < sales.size(); ++r) {
            if (sales.t(r, "REPREZ") != agent || !Within(sales.d(r, "DATAOUT"), p)) continue;
            agentSums += {sales.n(r, "TOTAL"), sales.n(r, "VALTOT"), sales.n(r, "TVATOT")};
            ++agentRows;
        }
        const ResultSet agentReport = QuerySalesByAgent(*db_, agent, p.from, p.to);
        EXPECT_EQ(agentReport.rowCount(), agentRows);
        EXPECT_EQ(SumReceiptColumns(agentReport), agentSums);

        // ST SA SB1 ST1 SB2 ST2 DB1 DT1
        std::vector<Decimal> expected(8, Decimal(0));
        size_t documents = 0;
        for (size_t r = 0; r < incoming.size(); ++r) {
            if (!Within(incoming.d(r, "DATAIN"), p)) continue;
            ++documents;
            const Decimal total = incoming.n(r, "TOTAL"), value = incoming.n(r, "VALOARE");
            expected[0] += total;
            const auto found = byDocument.find(incoming.n(r, "IDFACT").toLongLong());
            if (found == byDocument.end()) {
                expected[4] += value;
                expected[5] += total - value;
                continue;
            }
            for (const auto& [category, sums] : found->second) {
                const int column = category == "MARFA"      ? 2
                                   : category == "AMBALAJ"  ? 1
                                   : category == "DISCOUNT" ? 6
                                                            : 4;
                expected[column] += category.empty() ? value : sums.first;
                if (column != 1)
                    expected[column + 1] += category.empty() ? total - value : sums.second;
            }
        }
        int progressSteps = 0, announced = -1;
        BuildPurchaseWorkTable(*db_, p.from, p.to,
                               {[&](int rows) { announced = rows; }, [&] { ++progressSteps; }});
        EXPECT_EQ(progressSteps, announced);
        const ResultSet journal = QueryPurchaseJournal(*db_);
        EXPECT_EQ(journal.rowCount(), documents);
        allDocuments += documents;
        allAgentRows += agentRows;
        EXPECT_EQ(PurchaseJournalTotals(journal), expected);
        EXPECT_FALSE(ClearPurchaseWorkTable(*db_));
        EXPECT_FALSE(std::filesystem::exists(PurchaseWorkTable(*db_)));
    }
    EXPECT_GT(allDocuments, 2u);
    EXPECT_GT(allAgentRows, 0u);
}

TEST_F(GeneratedJournals, InvoicesToPayAndToCollect) {
    const Rows incoming = All("FactIn");
    const Rows sales = All("FactOut");
    Decimal toPay(0), toCollect(0);
    size_t payCount = 0, collectCount = 0;
    for (size_t r = 0; r < incoming.size(); ++r)
        if (incoming.n(r, "REST") > Decimal(0)) toPay += incoming.n(r, "REST"), ++payCount;
    for (size_t r = 0; r < sales.size(); ++r) {
        if (sales.n(r, "REST") <= Decimal(0)) continue;
        toCollect += sales.n(r, "REST"), ++collectCount;
    }
    ASSERT_GT(payCount, 0u);
    const ResultSet payables = QueryPayables(*db_);
    EXPECT_EQ(payables.rowCount(), payCount);
    EXPECT_EQ(SumColumn(payables, "REST"), toPay);
    for (size_t r = 1; r < payables.rowCount(); ++r)
        EXPECT_LE(payables.at(r - 1, payables.fieldIndex("DATASCAD")).date(),
                  payables.at(r, payables.fieldIndex("DATASCAD")).date());
    for (const ResultSet& receivables : {QueryReceivables(*db_), QueryReceivablesForExport(*db_)}) {
        EXPECT_EQ(receivables.rowCount(), collectCount);
        EXPECT_EQ(SumColumn(receivables, "REST"), toCollect);
    }
}

}  // namespace
}  // namespace tvx::core
