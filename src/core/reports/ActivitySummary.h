// The activity summary "Rezumat" (core/reports): purchases, payments, entries into stock by
// category, stock value, sales, collections and the VAT to pay of a period, as one page of
// amounts. Only the entries by category and the stock value follow a chosen location.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>

#include "core/reports/StockReports.h"
#include "tables/Decimal.h"

namespace tvx::core {

// The category slots of the entries, in this order; any other category counts as SERVICII.
inline constexpr std::array<const char*, 6> kActivitySlots = {
    "AMBALAJ", "CONSUMABIL", "DISCOUNT", "MARFA", "OBIECT DE INVENTAR", "SERVICII"};

struct ActivitySummary {
    tables::Decimal purchasesValue, purchasesVat;  // FactIn of the period: VALOARE, TOTAL - VALOARE
    tables::Decimal leftToPay;                     // REST of every FactIn
    tables::Decimal paid;                          // ChitIn of the period
    std::array<tables::Decimal, 6> entries{};      // NIR lines of the period (VALAT) by slot
    tables::Decimal entriesTotal;
    tables::Decimal stockValue;            // STOC x PRETOUT of the cards
    tables::Decimal salesValue, salesVat;  // FactOut of the period: VALTOT, TVATOT
    tables::Decimal leftToCollect;         // REST of every FactOut
    tables::Decimal goodsValue, goodsVat;  // goods lines (IDFISA >= 0) of the period's FactOut
    tables::Decimal servicesValue, servicesVat;  // service lines (IDFISA = -1)
    tables::Decimal collected;                   // ChitOut of the period

    // ST - PT for a VAT payer, 0 otherwise.
    tables::Decimal vatToPay(bool vatPayer) const;
};

// Runs the statements one after the other, telling `advanced` the progress (10 to 100).
// Engine errors propagate: a summary is produced whole or not at all.
ActivitySummary ComputeActivitySummary(tables::Database& db, const StockPeriod& period,
                                       const std::function<void(int percent)>& advanced = {});

// The texts of the layout LRezumat as parameters: SOC, GESTIUNE, PERIOADA ("in ziua de " or
// "in perioada ") and every amount with two decimals (CV, CT, CS, MARFA, ..., TVAPLATA).
std::map<std::string, std::string> ActivitySummaryTexts(const ActivitySummary& summary,
                                                        const std::string& company,
                                                        const StockPeriod& period, bool vatPayer);

}  // namespace tvx::core
