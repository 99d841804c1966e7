// The data of the car-service work estimate (core/reports): the texts of its title band, taken
// from the current company profile, the stored invoice and the service order, and its rows, the
// invoice lines with their unit price and value including VAT and the workshop section.
#pragma once

#include <string>

#include "core/workshop/ServiceOrders.h"
#include "tables/Date.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class CompanyProfile;

// The title band texts, each exactly as printed.
struct EstimateHeader {
    std::string company;          // company name
    std::string address;          // locality + " " + address, trimmed
    std::string telephone;        // telephone/fax of the profile
    std::string county;           // "Jud. " + county
    std::string fiscalCode;       // "CUI " + fiscal code
    std::string account;          // "Cont " + account + " " + bank name
    std::string buyer;            // SOC2
    std::string buyerAddress;     // LOC2 + " " + ADRESA2
    std::string buyerFiscalCode;  // CUI2
    std::string date;             // dd.MM.yyyy: DATAOUT until the order date replaces it
    std::string carType;
    std::string plate;
    std::string technicalState;
    std::string orderLine;  // "Nr." + order number + " din " + order date
};

// The header of invoice `idFacto` before a service order is known: the company part from
// `company`, the buyer and DATAOUT from the FactOut row. The account is the company account the
// invoice was issued with (FactOut.CONT); an invoice without one takes the first account of
// Conturi in sorted order. The bank name is the one the IBAN check finds (blank when none).
// Throws EngineError naming FactOut when the invoice does not exist.
EstimateHeader EstimateHeaderFor(tables::Database& db, const CompanyProfile& company,
                                 long long idFacto);

// Adds the service order: car type, plate and technical state, the order date in place of
// DATAOUT, and the order line.
void SetServiceOrder(EstimateHeader& header, const ServiceOrder& order);

// The workshop section of an OBS text: the part before the first " >>", lower case; the whole
// text lower case when it has no " >>".
std::string EstimateSection(const std::string& obs);

// The estimate rows of invoice `idFacto` ordered by OBS (lines with equal OBS by NRCRT): PRODUS,
// OBS, UM, CANT, PRETU = (VALOUT + VALTVA) / CANT rounded half away to cents, VALX = VALOUT +
// VALTVA, and SECTIA = EstimateSection(OBS). A line of quantity 0 has no unit price: PRETU 0.00.
tables::ResultSet EstimateRows(tables::Database& db, long long idFacto);

}  // namespace tvx::core
