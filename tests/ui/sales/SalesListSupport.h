// The set-up the invoice list's window tests share: a session whose company has receipt
// numbers and invoice counter 7, the MAGAZIN location (and others when asked), one card of
// filters (59.50 with VAT) with 10 in stock, and invoices of filters from that card.
#pragma once

#include <string>
#include <vector>

#include "../UiTestSupport.h"
#include "core/admin/Locations.h"
#include "core/sales/InvoicePosting.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui::testing {

class SalesListTest : public ::testing::Test {
  protected:
    static tables::Decimal D(const char* text) { return *tables::Decimal::parse(text); }

    // Balloons stay until the test looks at them.
    void Prepare(const std::vector<std::string>& locations) {
        ProblemBalloon::setLifetime(60000);
        core::WriteLocationsFile(fx.session.dataDir() / core::kLocationsFileName, locations);
        Set().writeSetting("SETARI", "CHITSERIA", "CH");
        Set().writeSetting("SETARI", "CHITNRMAX", "100");
        Set().setIndex("CHITNR", "5");
        Set().setIndex("FACTNR", "7");
        fx.session.loadProfile();
        card_ = core::FindOrCreateLot(Db(), Set(), "MAGAZIN", "PIESE", "Filtru", "buc", D("40"),
                                      D("59.50"));
        core::Movement in = core::EntryMovement(D("10"), D("595"));
        in.idFisa = Set().nextNumber("IDFISA");
        core::PostEntry(Db(), card_, in);
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    tables::Database& Db() { return fx.session.db(); }
    core::Settings& Set() { return fx.session.settings(); }

    // An invoice TVX `number` of `filters` filters (50.00 + 9.50 VAT each) from the card.
    core::InvoiceDocument FilterInvoice(long long number, int filters,
                                        const char* buyer = "CLIENT SA",
                                        const char* location = "MAGAZIN") {
        const tables::Decimal count(filters);
        core::InvoiceDocument doc;
        doc.series = "TVX";
        doc.number = number;
        doc.date = tables::Date::fromYmd(2026, 2, 3);
        doc.vatRate = D("19");
        doc.buyerName = buyer;
        doc.buyerCui = "RO555";
        doc.location = location;
        doc.netTotal = count * D("50");
        doc.vatTotal = count * D("9.50");
        doc.total = count * D("59.50");
        doc.lines.push_back(
            {card_, 1, "Filtru", "buc", count, D("59.50"), doc.netTotal, doc.vatTotal, "", {}, 0});
        return doc;
    }

    SessionFixture fx;
    long long card_ = 0;
};

}  // namespace tvx::ui::testing
