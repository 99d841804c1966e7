// Shared set-up of the sales posting tests: a data directory with stock cards on two
// locations received on goods received notes, the company profile and counters, seeded
// random documents built from the stored cards and invoices, and byte-for-byte snapshots of
// the data directory.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "../stock/StockTestSupport.h"
#include "core/common/Rounding.h"
#include "core/sales/InvoicePosting.h"
#include "core/stock/StockCards.h"

namespace tvx::core::salestest {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

// Numbers given by the counters start far apart, and typed invoice numbers stay below the
// counter's range, so a repeated counter value cannot hide behind a typed one.
constexpr long long kFirstInvoiceNumber = 1000;
constexpr long long kFirstCashNumber = 300;
constexpr long long kFirstFiscalNumber = 5000;
constexpr long long kMissingCard = 987654;
const char* const kLocations[] = {"MAGAZIN", "DEPOZIT"};

using Files = std::map<std::string, std::string>;

class SalesFixture : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        settings_->writeSetting("SETARI", "DENUMIRE", "TARVIX SRL");
        settings_->writeSetting("SETARI", "CodFisc", "RO1234567");
        settings_->writeSetting("SETARI", "CHITSERIA", "TVC");
        settings_->writeSetting("SETARI", "CHITNRMAX", "99999");
        settings_->setIndex("FACTNR", std::to_string(kFirstInvoiceNumber));
        settings_->setIndex("CHITNR", std::to_string(kFirstCashNumber));
        settings_->setIndex("NRBON", std::to_string(kFirstFiscalNumber));
        // Lots on both locations, some with little stock, received on goods received notes.
        Receive("MAGAZIN", "Filtru ulei", "buc", "8", "11.90", "10");
        Receive("MAGAZIN", "Bec H7", "buc", "2", "3.57", "2");
        Receive("MAGAZIN", "Ulei 5W30", "l", "20", "35.70", "0.5");
        Receive("MAGAZIN", "Placute frana", "set", "60", "119", "4");
        Receive("DEPOZIT", "Placute frana", "set", "60", "119", "1");
        const long long filter = Receive("MAGAZIN", "Filtru aer", "buc", "15", "23.80", "6");
        TransferLot(*db_, *settings_, filter, "DEPOZIT", D("3"), "BON DE TRANSFER", 1,
                    Day(2, 2, 2026));
    }

    long long Receive(const char* location, const char* product, const char* unit,
                      const char* entryPrice, const char* salePrice, const char* quantity) {
        const long long card = FindOrCreateLot(*db_, *settings_, location, "MARFA", product, unit,
                                               D(entryPrice), D(salePrice));
        Movement in =
            NirEntryMovement(D(quantity), D(quantity) * D(salePrice), D(quantity) * D(entryPrice));
        in.idFisa = settings_->nextNumber("IDFISA");
        in.nrDoc = 1;
        in.dinData = Day(1, 2, 2026);
        PostEntry(*db_, card, in);
        return card;
    }

    // --- Random choices --------------------------------------------------------------------

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    template <class T>
    T PickOf(const std::vector<T>& items) {
        return items[static_cast<size_t>(Pick(static_cast<int>(items.size())))];
    }
    Decimal Amount(int maxWhole) {  // 0.01 .. maxWhole with cents
        return RoundAmount(Decimal(1 + Pick(maxWhole * 100)) / Decimal(100));
    }

    std::vector<long long> Column(const std::string& sql, const char* field) {
        std::vector<long long> out;
        tables::ResultSet rows = Query(sql);
        for (rows.first(); !rows.eof(); rows.next())
            out.push_back(rows.asNumber(field).toLongLong());
        return out;
    }
    std::vector<long long> CardIds() { return Column("SELECT IDCAP FROM CapFise", "IDCAP"); }
    std::vector<long long> Documents() { return Column("SELECT IDFACTO FROM FactOut", "IDFACTO"); }

    InvoiceLine GoodsLine(long long idCap, long long nrCrt) {
        InvoiceLine line;
        line.idCap = idCap;
        line.nrCrt = nrCrt;
        const auto cards = Cards();
        const auto card = cards.find(idCap);
        line.product = card == cards.end() ? "Fara fisa" : card->second.product;
        line.unit = card == cards.end() ? "buc" : card->second.unit;
        line.price = card == cards.end() ? D("10") : card->second.salePrice;
        static const std::vector<const char*> quantities = {
            "1", "2", "0.5", "3", "1.25", "6", "-1", "0.1", "-2", "12", "4", "0.33", "-0.5"};
        line.quantity = D(PickOf(quantities));
        Reprice(line);
        return line;
    }
    InvoiceLine ServiceLine(long long nrCrt) {
        InvoiceLine line;
        line.nrCrt = nrCrt;
        line.product = "Manopera";
        line.unit = "ora";
        line.quantity = Decimal(1 + Pick(3));
        line.price = Amount(200);
        line.idCat = Pick(5);
        Reprice(line);
        return line;
    }
    static void Reprice(InvoiceLine& line) {
        line.value = RoundAmount(line.quantity * line.price);
        line.vat = RoundAmount(line.value * Decimal(19) / Decimal(100));
    }

    // Goods lines from random cards (now and then the same card twice) and service lines.
    void AddRandomLines(std::vector<InvoiceLine>& lines, int count) {
        const std::vector<long long> cards = CardIds();
        for (int i = 0; i < count; ++i) {
            long long nrCrt = 1;
            for (const InvoiceLine& l : lines) nrCrt = std::max(nrCrt, l.nrCrt + 1);
            if (cards.empty() || Chance(25)) {
                lines.push_back(ServiceLine(nrCrt));
            } else if (!lines.empty() && lines.back().idCap > 0 && Chance(20)) {
                lines.push_back(GoodsLine(lines.back().idCap, nrCrt));
            } else {
                lines.push_back(GoodsLine(PickOf(cards), nrCrt));
            }
        }
    }

    static void Total(InvoiceDocument& doc) {
        doc.netTotal = doc.vatTotal = Decimal(0);
        for (const InvoiceLine& l : doc.lines) {
            doc.netTotal += l.value;
            doc.vatTotal += l.vat;
        }
        doc.total = doc.netTotal + doc.vatTotal;
    }

    InvoiceDocument NewDocument(bool fiscal) {
        InvoiceDocument doc;
        doc.docType = fiscal ? kFiscalReceiptDocument : kInvoiceDocument;
        doc.series = "TVX";
        if (fiscal)
            doc.number = settings_->peekNumber("NRBON");
        else if (Chance(85))
            doc.number = settings_->peekNumber("FACTNR");
        else
            doc.number = 1 + Pick(static_cast<int>(kFirstInvoiceNumber) - 1);  // typed
        doc.date = Day(1 + Pick(28), 2, 2026);
        doc.vatRate = D("19");
        doc.buyerName = std::string("CLIENT ") + static_cast<char>('A' + Pick(4));
        doc.location = kLocations[Pick(2)];
        doc.iban = "RO19NBOR0000000000001234";
        AddRandomLines(doc.lines, Pick(5));
        Total(doc);
        return doc;
    }

    // The stored document with its lines, as the editor loads it, then changed at random:
    // lines removed, quantities changed, lines added.
    InvoiceDocument ModifiedDocument(long long idFacto) {
        tables::ResultSet h = Query("SELECT * FROM FactOut WHERE IDFACTO=:id", {{"id", idFacto}});
        InvoiceDocument doc;
        doc.docType =
            h.asText("SERIA") == kFiscalReceiptSeries ? kFiscalReceiptDocument : kInvoiceDocument;
        doc.series = h.asText("SERIA");
        doc.number = h.asNumber("NR").toLongLong();
        doc.date = h.asDate("DATAOUT").value_or(Day(1, 2, 2026));
        doc.vatRate = D("19");
        doc.buyerName = h.asText("SOC2");
        doc.location = h.asText("GESTIUNE");
        const std::vector<long long> cards = CardIds();
        tables::ResultSet rows =
            Query("SELECT * FROM ProdOut WHERE IDFACTO=:id ORDER BY NRCRT", {{"id", idFacto}});
        for (rows.first(); !rows.eof(); rows.next()) {
            InvoiceLine l;
            l.idCap = rows.asNumber("IDCAP").toLongLong();
            l.nrCrt = rows.asNumber("NRCRT").toLongLong();
            l.product = rows.asText("PRODUS");
            l.unit = rows.asText("UM");
            l.quantity = rows.asNumber("CANT");
            l.price = rows.asNumber("PRETOUT");
            l.value = rows.asNumber("VALOUT");
            l.vat = rows.asNumber("VALTVA");
            const bool cardGone =
                l.idCap > 0 && std::find(cards.begin(), cards.end(), l.idCap) == cards.end();
            if (cardGone && Chance(40)) continue;  // the user drops a line of a purged card
            doc.lines.push_back(l);
        }
        if (!doc.lines.empty() && Chance(35))
            doc.lines.erase(doc.lines.begin() + Pick(static_cast<int>(doc.lines.size())));
        for (InvoiceLine& l : doc.lines) {
            if (Chance(30)) {
                l.quantity = l.quantity + Decimal(Pick(5) - 2);
                Reprice(l);
            }
        }
        if (Chance(50)) AddRandomLines(doc.lines, 1 + Pick(2));
        Total(doc);
        return doc;
    }

    bool HasMissingCard(const InvoiceDocument& doc) {
        const std::vector<long long> cards = CardIds();
        return std::any_of(doc.lines.begin(), doc.lines.end(), [&](const InvoiceLine& l) {
            return l.idCap > 0 && std::find(cards.begin(), cards.end(), l.idCap) == cards.end();
        });
    }
    static bool HasGoods(const InvoiceDocument& doc) {
        return std::any_of(doc.lines.begin(), doc.lines.end(),
                           [](const InvoiceLine& l) { return l.idCap > 0; });
    }
    bool Printed(long long idFacto) {
        return Query("SELECT LISTARI FROM FactOut WHERE IDFACTO=:id", {{"id", idFacto}})
                   .asNumber("LISTARI") > Decimal(0);
    }
    std::string Series(long long idFacto) {
        return Query("SELECT SERIA FROM FactOut WHERE IDFACTO=:id", {{"id", idFacto}})
            .asText("SERIA");
    }

    // --- Outcomes --------------------------------------------------------------------------

    // Every file of the data directory but the engine's own, byte for byte.
    Files Snapshot() { return testsupport::DataFiles(data_); }
    static std::string Changed(const Files& before, const Files& after) {
        std::string names;
        for (const auto& [name, bytes] : after) {
            const auto old = before.find(name);
            if (old == before.end() || old->second != bytes) names += " " + name;
        }
        for (const auto& [name, bytes] : before)
            if (!after.count(name)) names += " " + name + "(gone)";
        return names;
    }

    void AddGoodsLine(InvoiceDocument& doc) {
        const std::vector<long long> cards = CardIds();
        if (cards.empty()) return;
        long long nrCrt = 1;
        for (const InvoiceLine& l : doc.lines) nrCrt = std::max(nrCrt, l.nrCrt + 1);
        doc.lines.push_back(GoodsLine(PickOf(cards), nrCrt));
        Total(doc);
    }

    std::mt19937 rng_;
};

}  // namespace tvx::core::salestest
