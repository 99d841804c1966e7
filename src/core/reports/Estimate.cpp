// The car-service work estimate: title texts from the company profile, the invoice and the
// service order, and the estimate rows computed from the invoice lines.
#include "core/reports/Estimate.h"

#include <algorithm>

#include "core/admin/BankAccounts.h"
#include "core/admin/CompanyProfile.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;
using tables::ResultSet;
using tables::Value;

namespace {

// The company account printed for the invoice: its own CONT, else the first listed account.
std::string CompanyAccount(Database& db, const std::string& invoiceAccount) {
    if (!Trimmed(invoiceAccount).empty()) return Trimmed(invoiceAccount);
    return FirstCompanyAccount(db);
}

}  // namespace

EstimateHeader EstimateHeaderFor(Database& db, const CompanyProfile& company, long long idFacto) {
    const ResultSet invoice =
        db.query("SELECT SOC2, LOC2, ADRESA2, CUI2, DATAOUT, CONT FROM " +
                     QuotedPath(TableFile(db, "FactOut")) + " WHERE IDFACTO=:id",
                 {{"id", idFacto}});
    if (invoice.empty())
        throw tables::EngineError("FactOut: no invoice with IDFACTO " + std::to_string(idFacto));

    EstimateHeader header;
    header.company = company.denumire;
    header.address = Trimmed(company.localit + " " + company.adresa);
    header.telephone = company.telFax;
    header.county = "Jud. " + company.judet;
    header.fiscalCode = "CUI " + company.codFisc;
    const std::string account = CompanyAccount(db, invoice.asText("CONT"));
    header.account = "Cont " + account + " " + BankNameOf(account);
    header.buyer = invoice.asText("SOC2");
    header.buyerAddress = invoice.asText("LOC2") + " " + invoice.asText("ADRESA2");
    header.buyerFiscalCode = invoice.asText("CUI2");
    const auto date = invoice.asDate("DATAOUT");
    header.date = date ? date->toString() : std::string();
    return header;
}

void SetServiceOrder(EstimateHeader& header, const ServiceOrder& order) {
    header.carType = order.carType;
    header.plate = order.plate;
    header.technicalState = order.state;
    header.date = order.date.toString();
    header.orderLine = "Nr." + order.number + " din " + header.date;
}

std::string EstimateSection(const std::string& obs) {
    return LowerText(obs.substr(0, obs.find(" >>")));
}

ResultSet EstimateRows(Database& db, long long idFacto) {
    ResultSet lines = db.query("SELECT PRODUS, OBS, UM, CANT, VALOUT, VALTVA FROM " +
                                   QuotedPath(TableFile(db, "ProdOut")) +
                                   " WHERE IDFACTO=:id ORDER BY OBS, NRCRT",
                               {{"id", idFacto}});
    std::vector<tables::ColumnInfo> columns = {
        {"PRODUS", 'C', 240, 0}, {"OBS", 'C', 200, 0}, {"UM", 'C', 4, 0},      {"CANT", 'N', 8, 2},
        {"PRETU", 'N', 12, 2},   {"VALX", 'N', 12, 2}, {"SECTIA", 'C', 200, 0}};
    std::vector<Value> cells;
    cells.reserve(lines.rowCount() * columns.size());
    for (lines.first(); !lines.eof(); lines.next()) {
        const Decimal quantity = lines.asNumber("CANT");
        const Decimal value = (lines.asNumber("VALOUT") + lines.asNumber("VALTVA")).rescaled(2);
        // The quotient keeps ten decimals before the rounding to cents; for two-decimal
        // operands its distance from a half cent is never that small, so the result is exact.
        const Decimal unitPrice =
            quantity.isZero() ? Decimal(0).rescaled(2) : RoundHalfAway(value / quantity, 2);
        const std::string obs = lines.asText("OBS");
        cells.emplace_back(lines.asText("PRODUS"));
        cells.emplace_back(obs);
        cells.emplace_back(lines.asText("UM"));
        cells.emplace_back(quantity.rescaled(2));
        cells.emplace_back(unitPrice);
        cells.emplace_back(value);
        cells.emplace_back(EstimateSection(obs));
    }
    return ResultSet(std::move(columns), std::move(cells));
}

}  // namespace tvx::core
