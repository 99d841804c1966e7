// Randomised tests of the sales posting: seeded sequences of new, modified and deleted invoices
// and fiscal receipts, receipts added and deleted, sale movements deleted on the product card
// and injected failures. After every step the stock, document, receipt and counter rules are
// recomputed from the tables alone; a failure names the seed and the step that broke them.
#include <functional>
#include <optional>
#include <set>
#include <sstream>

#include "SalesTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/admin/Users.h"
#include "core/sales/InvoiceList.h"
#include "core/sales/Receipts.h"
#include "tables/EngineError.h"

namespace tvx::core::salestest {
namespace {

// The stored ids of one kind: every value, and whether one occurs twice.
struct IdSet {
    std::set<long long> ids;
    bool repeated = false;
};

// A FactOut row with the receipts found for it.
struct StoredDoc {
    std::string series;
    long long number = 0;
    Decimal total, rest, paid;
    int receipts = 0;
    bool paidByItself = false;  // a "BON FISCAL" receipt equal to TOTAL
};

std::string Text(const Decimal& x) {
    return x.toPlainString();
}

class SalesInvariantsTest : public SalesFixture, public ::testing::WithParamInterface<unsigned> {
  protected:
    void SetUp() override {
        SalesFixture::SetUp();
        RecordIds();
    }

    // Runs an operation that must fail (throw EngineError or return a refusal) and leave
    // every file as it was.
    template <class Op>
    void ExpectNothingWritten(const std::string& what, Op op) {
        const Files before = Snapshot();
        bool failed = false;
        try {
            failed = op();
        } catch (const tables::EngineError&) {
            failed = true;
        }
        EXPECT_TRUE(failed) << what << " went through";
        const std::string changed = Changed(before, Snapshot());
        EXPECT_TRUE(changed.empty()) << what << " changed:" << changed;
    }
    // Runs an operation that must succeed.
    template <class Op>
    void ExpectDone(const std::string& what, Op op) {
        try {
            EXPECT_FALSE(op()) << what << " was refused";
        } catch (const std::exception& e) {
            ADD_FAILURE() << what << " failed: " << e.what();
        }
    }

    // --- Steps -----------------------------------------------------------------------------

    void NewDocumentStep() {
        const bool fiscal = Chance(25);
        InvoiceDocument doc = NewDocument(fiscal);
        const long long factNr = settings_->peekNumber("FACTNR");
        const long long nrBon = settings_->peekNumber("NRBON");
        trace_ << (fiscal ? "new fiscal receipt " : "new invoice ") << doc.number << " with "
               << doc.lines.size() << " lines";
        ExpectDone(trace_.str(), [&] { return SaveNewInvoice(*db_, *settings_, doc) <= 0; });
        EXPECT_EQ(settings_->peekNumber("FACTNR"),
                  !fiscal && doc.number == factNr ? factNr + 1 : factNr)
            << trace_.str();
        EXPECT_EQ(settings_->peekNumber("NRBON"), fiscal ? doc.number + 1 : nrBon) << trace_.str();
    }

    void ModifyStep(long long idFacto) {
        const InvoiceDocument doc = ModifiedDocument(idFacto);
        const int grade = Chance(30) ? kGradeCasier : kGradeAdmin;
        trace_ << "modify document " << idFacto << " to " << doc.lines.size() << " lines, grade "
               << grade;
        const auto counters = NumberCounters();
        auto op = [&] { return SaveModifiedInvoice(*db_, *settings_, idFacto, doc, grade); };
        if (grade == kGradeCasier && Printed(idFacto))
            ExpectNothingWritten(trace_.str() + " (printed, cashier)", [&] { return !!op(); });
        else if (HasMissingCard(doc))
            ExpectNothingWritten(trace_.str() + " (a line's card is gone)", [&] { return !!op(); });
        else
            ExpectDone(trace_.str(), [&] { return !!op(); });
        EXPECT_EQ(NumberCounters(), counters) << "a modification moved a document number";
    }

    void DeleteStep(long long idFacto) {
        const int grade = Chance(30) ? kGradeCasier : kGradeAdmin;
        const long long number =
            Query("SELECT NR FROM FactOut WHERE IDFACTO=:id", {{"id", idFacto}})
                .asNumber("NR")
                .toLongLong();
        const long long factNr = settings_->peekNumber("FACTNR");
        trace_ << "delete document " << idFacto << " nr " << number << ", grade " << grade;
        auto op = [&] { return !!DeleteInvoice(*db_, *settings_, idFacto, grade); };
        if (grade == kGradeCasier && Printed(idFacto)) {
            ExpectNothingWritten(trace_.str() + " (printed, cashier)", op);
            return;
        }
        // Money collected on it keeps it until its receipts are deleted first.
        bool collected = false;
        for (const Receipt& r : ReceiptsOf(*db_, idFacto)) {
            if (r.docJus == kFiscalReceiptDocument) continue;
            if (!collected && Chance(50)) {
                ExpectNothingWritten(trace_.str() + " (money collected on it)", op);
                return;
            }
            collected = true;
            DeleteReceipt(*db_, *settings_, r.idChit);
        }
        ExpectDone(trace_.str(), op);
        // Only the newest number comes back.
        EXPECT_EQ(settings_->peekNumber("FACTNR"), number == factNr - 1 ? number : factNr)
            << trace_.str();
    }

    void AddReceiptStep() {
        const long long idFacto = PickOf(Documents());
        ReceiptEntry entry;
        CompanyProfile profile;
        profile.load(*settings_);
        entry.open(ReadReceiptDocument(*db_, idFacto).value(), profile, *settings_,
                   Day(1 + Pick(28), 3, 2026));
        const int mode = Pick(100);
        entry.mode = mode < 50   ? ReceiptMode::CashReceipt
                     : mode < 85 ? ReceiptMode::Transfer
                                 : ReceiptMode::FiscalReceipt;
        entry.instrumentName = PickOf(ReceiptEntry::InstrumentNames());
        entry.instrumentNumber = Decimal(Pick(1000));
        if (Chance(60)) entry.sum = Amount(150);
        if (entry.mode == ReceiptMode::Transfer && Chance(30)) entry.sum = -Amount(50);
        trace_ << "receipt of " << entry.sum.toPlainString() << " mode "
               << static_cast<int>(entry.mode) << " on document " << idFacto;
        if (entry.check()) return;  // the window keeps it open; nothing is saved
        const long long chitNr = settings_->peekNumber("CHITNR");
        const long long nrBon = settings_->peekNumber("NRBON");
        auto op = [&] { return AddReceipt(*db_, *settings_, idFacto, entry) <= 0; };
        if (Series(idFacto) == kFiscalReceiptSeries) {
            ExpectNothingWritten(trace_.str() + " (fiscal receipt document)", op);
            return;
        }
        ExpectDone(trace_.str(), op);
        const bool cash = entry.mode == ReceiptMode::CashReceipt;
        const bool fiscal = entry.mode == ReceiptMode::FiscalReceipt;
        EXPECT_EQ(settings_->peekNumber("CHITNR"), cash ? chitNr + 1 : chitNr) << trace_.str();
        EXPECT_EQ(settings_->peekNumber("NRBON"),
                  fiscal ? entry.fiscalNumber.toLongLong() + 1 : nrBon)
            << trace_.str();
    }

    void DeleteReceiptStep() {
        const std::vector<long long> receipts = Column("SELECT IDCHIT FROM ChitOut", "IDCHIT");
        if (receipts.empty()) return;
        const Receipt receipt = ReadReceipt(*db_, PickOf(receipts)).value();
        const long long chitNr = settings_->peekNumber("CHITNR");
        trace_ << "delete receipt " << receipt.idChit << " " << receipt.docJus << " nr "
               << receipt.number;
        auto op = [&] {
            DeleteReceipt(*db_, *settings_, receipt.idChit);
            return false;
        };
        if (receipt.docJus == kFiscalReceiptDocument) {
            ExpectNothingWritten(trace_.str(), op);
            return;
        }
        ExpectDone(trace_.str(), op);
        const bool newest = receipt.docJus == kCashReceiptDocument && receipt.number == chitNr - 1;
        EXPECT_EQ(settings_->peekNumber("CHITNR"), newest ? receipt.number : chitNr)
            << trace_.str();
    }

    // Deletes one sale movement on the product card (the movement, then the purge) and
    // returns its document, which the next step modifies or deletes.
    std::optional<long long> RemoveOnCardStep() {
        // Now and then the transfer goes (both halves) with every sale of its destination
        // card, which then vanishes at the purge while invoice lines still name it.
        tables::ResultSet transfer =
            Query("SELECT IDFISA, IDCAP, CANTIN FROM Fise WHERE TIP='TRANSFER'");
        if (!transfer.empty() && Chance(20)) {
            trace_ << "delete the transfer and the sales of its destination on the product card";
            std::optional<long long> document;
            for (transfer.first(); !transfer.eof(); transfer.next()) {
                if (transfer.asNumber("CANTIN") > Decimal(0)) {
                    const auto sales =
                        Column("SELECT IDFISA FROM Fise WHERE TIP='VANZARE' AND IDCAP=" +
                                   std::to_string(transfer.asNumber("IDCAP").toLongLong()),
                               "IDFISA");
                    for (long long idFisa : sales) {
                        RemoveMovement(*db_, idFisa);
                        removedOnCard_.insert(idFisa);
                        document = Column("SELECT IDFACTO FROM ProdOut WHERE IDFISA=" +
                                              std::to_string(idFisa),
                                          "IDFACTO")
                                       .at(0);
                    }
                }
                RemoveMovement(*db_, transfer.asNumber("IDFISA").toLongLong());
            }
            PurgeUnusedLots(*db_);
            return document;
        }
        const std::vector<long long> sales =
            Column("SELECT IDFISA FROM Fise WHERE TIP='VANZARE'", "IDFISA");
        if (sales.empty()) return std::nullopt;
        const long long idFisa = PickOf(sales);
        trace_ << "delete sale movement " << idFisa << " on the product card";
        RemoveMovement(*db_, idFisa);
        PurgeUnusedLots(*db_);
        removedOnCard_.insert(idFisa);
        return Query("SELECT IDFACTO FROM ProdOut WHERE IDFISA=:id", {{"id", idFisa}})
            .asNumber("IDFACTO")
            .toLongLong();
    }

    // Failures that must leave every file as it was: a line on a card that does not exist,
    // a counter that is not a number, a printed document refused to a cashier.
    void FailureStep() {
        const std::vector<long long> docs = Documents();
        const int kind = Pick(docs.empty() ? 3 : 10);
        if (kind < 2) {
            InvoiceDocument doc = NewDocument(kind == 1);
            doc.lines.push_back(GoodsLine(kMissingCard, 99));
            Total(doc);
            trace_ << "new document with a line on a missing card";
            ExpectNothingWritten(trace_.str(),
                                 [&] { return SaveNewInvoice(*db_, *settings_, doc) <= 0; });
        } else if (kind < 3) {
            CounterFailure(PickOf<std::string>({"IDFACTO", "IDFISA", "IDCHIT", "FACTNR"}), -1);
        } else if (kind < 5) {
            const long long idFacto = PickOf(docs);
            InvoiceDocument doc = ModifiedDocument(idFacto);
            doc.lines.push_back(GoodsLine(kMissingCard, 99));
            Total(doc);
            trace_ << "modify document " << idFacto << " with a line on a missing card";
            ExpectNothingWritten(trace_.str(), [&] {
                return !!SaveModifiedInvoice(*db_, *settings_, idFacto, doc, kGradeAdmin);
            });
        } else if (kind < 8) {
            CounterFailure(PickOf<std::string>({"IDFISA", "IDCHIT", "FACTNR", "CHITNR"}),
                           PickOf(docs));
        } else {
            const long long idFacto = PickOf(docs);
            db_->execute("UPDATE FactOut SET LISTARI=LISTARI+1 WHERE IDFACTO=:id",
                         {{"id", idFacto}});
            trace_ << "cashier on printed document " << idFacto;
            const InvoiceDocument doc = ModifiedDocument(idFacto);
            ExpectNothingWritten(trace_.str() + " modify", [&] {
                return !!SaveModifiedInvoice(*db_, *settings_, idFacto, doc, kGradeCasier);
            });
            ExpectNothingWritten(trace_.str() + " delete", [&] {
                return !!DeleteInvoice(*db_, *settings_, idFacto, kGradeCasier);
            });
        }
    }

    // Breaks `counter` and runs an operation that needs it: on a new document (idFacto -1)
    // or on document idFacto.
    void CounterFailure(const std::string& counter, long long idFacto) {
        const std::string kept = settings_->peekIndex(counter);
        trace_ << "counter " << counter << " broken, ";
        std::function<bool()> op;
        InvoiceDocument doc;
        ReceiptEntry entry;
        if (idFacto < 0) {
            doc = NewDocument(counter == "IDCHIT");
            if (counter == "IDFISA" && !HasGoods(doc)) AddGoodsLine(doc);
            trace_ << "new document";
            op = [&] { return SaveNewInvoice(*db_, *settings_, doc) <= 0; };
        } else if (counter == "IDFISA") {
            doc = ModifiedDocument(idFacto);
            if (!HasGoods(doc)) AddGoodsLine(doc);
            trace_ << "modify document " << idFacto;
            op = [&] { return !!SaveModifiedInvoice(*db_, *settings_, idFacto, doc, kGradeAdmin); };
        } else if (counter == "FACTNR") {
            // Deleting a fiscal receipt does not read FACTNR: its number is not an invoice's.
            if (Query("SELECT SERIA FROM FactOut WHERE IDFACTO=:id", {{"id", idFacto}})
                    .asText("SERIA") == kFiscalReceiptSeries)
                return;
            trace_ << "delete document " << idFacto;
            op = [&] { return !!DeleteInvoice(*db_, *settings_, idFacto, kGradeAdmin); };
        } else {
            // IDCHIT or CHITNR: a cash receipt on an invoice.
            const auto invoices = Column("SELECT IDFACTO FROM FactOut WHERE SERIA<>'" +
                                             std::string(kFiscalReceiptSeries) + "'",
                                         "IDFACTO");
            if (invoices.empty()) return;
            const long long target = PickOf(invoices);
            CompanyProfile profile;
            profile.load(*settings_);
            entry.open(ReadReceiptDocument(*db_, target).value(), profile, *settings_,
                       Day(2, 3, 2026));
            entry.sum = Amount(100);
            trace_ << "cash receipt on " << target;
            op = [&, target] { return AddReceipt(*db_, *settings_, target, entry) <= 0; };
        }
        if (doc.lines.empty() && counter == "IDFISA") return;  // no card left to sell from
        settings_->setIndex(counter, kept + "x");
        ExpectNothingWritten(trace_.str(), op);
        settings_->setIndex(counter, kept);
    }
    // --- Invariants ------------------------------------------------------------------------

    std::map<std::string, long long> NumberCounters() {
        std::map<std::string, long long> out;
        for (const char* name : {"FACTNR", "CHITNR", "NRBON"})
            out[name] = settings_->peekNumber(name);
        return out;
    }

    IdSet Ids(const std::string& table, const char* field) {
        IdSet out;
        for (long long id : Column("SELECT " + std::string(field) + " FROM " + table, field))
            out.repeated |= !out.ids.insert(id).second;
        return out;
    }

    // Ids stored now: none repeated, none taken again after it was deleted, all below the
    // counter that gave them out.
    void CheckIds(const char* counter, const std::string& table, const char* field,
                  std::set<long long>& everStored) {
        const IdSet now = Ids(table, field);
        EXPECT_FALSE(now.repeated) << "two rows of " << table << " share a " << field;
        const long long next = settings_->peekNumber(counter);
        for (long long id : now.ids) {
            EXPECT_LT(id, next) << field << " " << id << " is not below counter " << counter;
            if (!stored_[field].count(id)) {
                EXPECT_FALSE(everStored.count(id)) << field << " " << id << " was given twice";
            }
            everStored.insert(id);
        }
        stored_[field] = now.ids;
    }

    void RecordIds() {
        stored_["IDFACTO"] = everFacto_ = Ids("FactOut", "IDFACTO").ids;
        stored_["IDFISA"] = everFisa_ = Ids("Fise", "IDFISA").ids;
        stored_["IDCHIT"] = everChit_ = Ids("ChitOut", "IDCHIT").ids;
    }

    void CheckInvariants() {
        ExpectInvariants();  // STOC and NRREC of every card against its movements

        std::map<long long, StoredDoc> docs;
        tables::ResultSet h = Query("SELECT IDFACTO, SERIA, NR, TOTAL, REST FROM FactOut");
        for (h.first(); !h.eof(); h.next()) {
            StoredDoc& d = docs[h.asNumber("IDFACTO").toLongLong()];
            d.series = h.asText("SERIA");
            d.number = h.asNumber("NR").toLongLong();
            d.total = h.asNumber("TOTAL");
            d.rest = h.asNumber("REST");
        }

        // Sale movements: each belongs to exactly one goods line and mirrors it.
        std::map<long long, std::pair<long long, Decimal>> sales;  // IDFISA -> IDCAP, signed
        tables::ResultSet f = Query(
            "SELECT IDFISA, IDCAP, DOCJUS, NRDOC, CANTIN, CANTOUT FROM Fise"
            " WHERE TIP='VANZARE'");
        std::map<long long, std::string> saleDoc;
        for (f.first(); !f.eof(); f.next()) {
            const long long id = f.asNumber("IDFISA").toLongLong();
            sales[id] = {f.asNumber("IDCAP").toLongLong(),
                         f.asNumber("CANTOUT") - f.asNumber("CANTIN")};
            saleDoc[id] = f.asText("DOCJUS") + " " + f.asText("NRDOC");
        }
        std::set<long long> lineMovements;
        tables::ResultSet p = Query("SELECT IDFACTO, IDFISA, IDCAP, CANT FROM ProdOut");
        for (p.first(); !p.eof(); p.next()) {
            const long long idFacto = p.asNumber("IDFACTO").toLongLong();
            const long long idFisa = p.asNumber("IDFISA").toLongLong();
            const long long idCap = p.asNumber("IDCAP").toLongLong();
            const auto doc = docs.find(idFacto);
            EXPECT_NE(doc, docs.end()) << "ProdOut line of missing document " << idFacto;
            if (idCap < 0) {
                EXPECT_EQ(idFisa, -1) << "service line of document " << idFacto;
                continue;
            }
            EXPECT_TRUE(lineMovements.insert(idFisa).second)
                << "two lines share movement " << idFisa;
            const auto sale = sales.find(idFisa);
            if (sale == sales.end()) {
                EXPECT_TRUE(removedOnCard_.count(idFisa))
                    << "goods line of document " << idFacto << " lost movement " << idFisa;
                continue;
            }
            EXPECT_EQ(sale->second.first, idCap) << "movement " << idFisa << " card";
            EXPECT_EQ(Text(sale->second.second), Text(p.asNumber("CANT")))
                << "quantity of movement " << idFisa;
            if (doc != docs.end()) {
                EXPECT_EQ(saleDoc[idFisa], "FACTURA " + doc->second.series + " " +
                                               std::to_string(doc->second.number));
            }
        }
        for (const auto& [id, sale] : sales)
            EXPECT_TRUE(lineMovements.count(id)) << "sale movement " << id << " has no line";

        // Receipts: REST = TOTAL - receipts; a fiscal receipt is paid once, by itself.
        tables::ResultSet c = Query("SELECT IDFACTO, DOCJUS, NR, SUMA FROM ChitOut");
        std::set<long long> cashNumbers, fiscalNumbers;
        for (c.first(); !c.eof(); c.next()) {
            const auto doc = docs.find(c.asNumber("IDFACTO").toLongLong());
            const long long number = c.asNumber("NR").toLongLong();
            const std::string kind = c.asText("DOCJUS");
            if (kind == kCashReceiptDocument || kind == kFiscalReceiptDocument) {
                std::set<long long>& seen =
                    kind == kCashReceiptDocument ? cashNumbers : fiscalNumbers;
                EXPECT_TRUE(seen.insert(number).second) << kind << " nr " << number << " twice";
            }
            if (doc == docs.end()) {
                ADD_FAILURE() << "receipt of missing document " << c.asText("IDFACTO");
                continue;
            }
            doc->second.paid += c.asNumber("SUMA");
            doc->second.receipts += 1;
            doc->second.paidByItself |= c.asText("DOCJUS") == kFiscalReceiptDocument &&
                                        c.asNumber("SUMA") == doc->second.total;
        }
        CheckDocuments(docs);
        for (long long n : cashNumbers)
            EXPECT_LT(n, settings_->peekNumber("CHITNR")) << "cash receipt nr " << n;
        for (long long n : fiscalNumbers)
            EXPECT_LT(n, settings_->peekNumber("NRBON")) << "fiscal receipt nr " << n;

        CheckIds("IDFACTO", "FactOut", "IDFACTO", everFacto_);
        CheckIds("IDFISA", "Fise", "IDFISA", everFisa_);
        CheckIds("IDCHIT", "ChitOut", "IDCHIT", everChit_);
    }

    // REST of every document, and its number below the counter that gave it and not
    // shared with another stored document.
    void CheckDocuments(const std::map<long long, StoredDoc>& docs) {
        std::set<long long> invoiceNumbers;
        const long long factNr = settings_->peekNumber("FACTNR");
        const long long nrBon = settings_->peekNumber("NRBON");
        for (const auto& [id, d] : docs) {
            if (d.series == kFiscalReceiptSeries) {
                EXPECT_EQ(Text(d.rest), "0") << "REST of fiscal receipt " << id;
                EXPECT_EQ(d.receipts, 1) << "receipts of fiscal receipt " << id;
                EXPECT_TRUE(d.paidByItself) << "fiscal receipt " << id << " not paid by itself";
                EXPECT_LT(d.number, nrBon) << "fiscal receipt number " << d.number;
            } else {
                EXPECT_EQ(Text(d.rest), Text(d.total - d.paid)) << "REST of invoice " << id;
                if (d.number >= kFirstInvoiceNumber) {  // given by the counter
                    EXPECT_LT(d.number, factNr) << "invoice number " << d.number;
                    EXPECT_TRUE(invoiceNumbers.insert(d.number).second)
                        << "invoice number " << d.number << " given twice";
                }
            }
        }
    }

    // --- The run ---------------------------------------------------------------------------

    void Run(unsigned seed, int steps) {
        rng_.seed(seed);
        long long pending = 0;  // a document whose sale movement was removed on the card
        for (int step = 1; step <= steps && !HasFailure(); ++step) {
            trace_.str("");
            const std::string where =
                "seed " + std::to_string(seed) + " step " + std::to_string(step) + ": ";
            {
                SCOPED_TRACE(where);
                const std::vector<long long> docs = Documents();
                const int roll = Pick(100);
                if (pending > 0) {
                    if (Chance(60))
                        ModifyStep(pending);
                    else
                        DeleteStep(pending);
                    pending = 0;
                } else if (docs.empty() || roll < 28) {
                    NewDocumentStep();
                } else if (roll < 44) {
                    ModifyStep(PickOf(docs));
                } else if (roll < 52) {
                    DeleteStep(PickOf(docs));
                } else if (roll < 68) {
                    AddReceiptStep();
                } else if (roll < 76) {
                    DeleteReceiptStep();
                } else if (roll < 84) {
                    pending = RemoveOnCardStep().value_or(0);
                } else {
                    FailureStep();
                }
            }
            SCOPED_TRACE(where + trace_.str());
            CheckInvariants();
        }
    }

    std::ostringstream trace_;
    std::set<long long> removedOnCard_;
    std::map<std::string, std::set<long long>> stored_;
    std::set<long long> everFacto_, everFisa_, everChit_;
};

// A few hundred random steps per seed, each from the same fresh data directory.
TEST_P(SalesInvariantsTest, RandomStepsKeepStockDocumentsAndCounters) {
    Run(GetParam(), 250);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SalesInvariantsTest,
                         ::testing::Values(11u, 2026u, 4242u, 90001u, 777777u));

// A counter that holds no whole number stops the posting before anything is written; it
// must not start again at 1 and give out an id that is already stored.
class BrokenCounterTest : public SalesFixture {};

TEST_F(BrokenCounterTest, PostingWithAnIdCounterThatIsNoNumberWritesNothing) {
    rng_.seed(7);
    InvoiceDocument invoice = NewDocument(false);
    AddGoodsLine(invoice);
    const long long stored = SaveNewInvoice(*db_, *settings_, invoice);
    for (const char* counter : {"IDFACTO", "IDFISA", "IDCHIT"}) {
        SCOPED_TRACE(counter);
        InvoiceDocument receipt = NewDocument(true);  // takes all three counters
        AddGoodsLine(receipt);
        InvoiceDocument modified = ModifiedDocument(stored);
        AddGoodsLine(modified);
        const std::string kept = settings_->peekIndex(counter);
        settings_->setIndex(counter, kept + "x");
        const Files before = Snapshot();
        try {
            SaveNewInvoice(*db_, *settings_, receipt);
            ADD_FAILURE() << "a fiscal receipt was posted with a broken " << counter;
        } catch (const tables::EngineError& e) {
            EXPECT_NE(std::string(e.what()).find(counter), std::string::npos) << e.what();
        }
        if (std::string(counter) == "IDFISA") {
            EXPECT_THROW(SaveModifiedInvoice(*db_, *settings_, stored, modified, kGradeAdmin),
                         tables::EngineError);
        }
        EXPECT_EQ(Changed(before, Snapshot()), "");
        settings_->setIndex(counter, kept);
    }
}

}  // namespace
}  // namespace tvx::core::salestest
