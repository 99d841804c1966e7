// The e-invoice of an outgoing invoice (core/einvoice): the UBL 2.1 Invoice with the national
// CIUS-RO customisation that the user uploads to the national e-invoicing system. The stored
// document, the company profile and the unit codes of settings section UMS are gathered into
// an EInvoice, checked (data the national system would reject is refused, naming the field and
// the document, before anything is written), and written as the fixed layout: the embedded
// head XMLANAF followed by CR LF lines, values escaped for XML and written as UTF-8.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// The embedded head of the file and the window's texts.
constexpr const char* kEInvoiceTemplate = "XMLANAF";
constexpr const char* kEInvoiceTemplateKind = "MODEL";
constexpr const char* kEInvoiceTitle = "XML ANAF";
constexpr const char* kEInvoiceSaveTitle = "Unde punem XML-ul?";
constexpr const char* kEInvoiceFileType = "Fisier XML";
constexpr const char* kEInvoiceReplaceText = "\rInlocuim fisierul existent?";
constexpr const char* kEInvoiceInterruptedTitle = "Export XLM ANAF";
constexpr const char* kEInvoiceInterruptedText = "\rExport intrerupt!";
// The customization identifier CIUS-RO 1.0.1 prescribes (BT-24).
constexpr const char* kCiusRoCustomization =
    "urn:cen.eu:en16931:2017#compliant#urn:efactura.mfinante.ro:CIUS-RO:1.0.1";
// The exemption note of a company that is not a VAT payer (BT-22).
constexpr const char* kSmallBusinessNote = "REGIM SPECIAL DE SCUTIRE PENTRU INTREPRINDERILE MICI";
// The buyer identifier of a person who gave no personal code (13 zeros).
constexpr const char* kPersonWithoutCode = "0000000000000";

struct EInvoiceParty {
    std::string name, fiscalCode, address, locality;
    std::string county;      // the county name as stored
    std::string countyCode;  // its ISO 3166-2:RO code, empty when the name is no county
};

struct EInvoiceLine {
    long long nrCrt = 0;
    std::string product;
    std::string unit;      // as written on the line, upper case
    std::string unitCode;  // the standard code (H87, HUR...), empty until resolved
    tables::Decimal quantity, price, value;  // CANT, PRETOUT, VALOUT
};

struct EInvoice {
    long long idFacto = 0;
    std::string series;
    long long number = 0;
    std::optional<tables::Date> issueDate;
    std::optional<tables::Date> dueDate;
    tables::Decimal vatRate, vatTotal, netTotal, total;  // TVAPROC, TVATOT, VALTOT, TOTAL
    std::string iban;                                    // CONT
    EInvoiceParty supplier, buyer;
    bool supplierVat = false;  // the company's fiscal code begins with "RO"
    bool buyerVat = false;     // CUI2 begins with "RO"
    std::vector<EInvoiceLine> lines;

    // "factura ABC 45", as the messages name the document.
    std::string documentName() const;
    // SERIA + NR + ".xml", the proposed file name.
    std::string proposedFileName() const;
};

// Gathers document `idFacto` with its lines in NRCRT order and the current company profile.
// Throws EngineError when the document does not exist.
EInvoice LoadEInvoice(tables::Database& db, const Settings& settings, long long idFacto);

// The reason the stored data cannot make a valid e-invoice, naming the field and the
// document; nullopt when it can. A blank company locality gives the message of the settings
// window's field first. With `checkUnits`, a line without a unit code is refused too.
std::optional<Message> EInvoiceRefusal(const EInvoice& invoice, bool checkUnits);

// The sector code (SECTOR1 ... SECTOR6) of a Bucharest locality written "Sector 3",
// "SECTORUL 3", "Bucuresti, sector 3" or "SECTOR3"; empty when it names no sector.
std::string BucharestSector(const std::string& locality);

// The code the settings file keeps for a unit (upper-cased here): the code of the stored
// chooser item; empty when none is stored or the item is not one of the chooser's.
std::string StoredUnitCode(const Settings& settings, const std::string& unit);
// Asked for a unit's code when it is not to be taken without asking; nullopt when the user
// leaves without choosing.
using UnitCodeSource = std::function<std::optional<std::string>(const std::string& unit)>;
// Fills every line's unit code: the stored one for a unit marked "do not ask again" (key
// unit + "Auto" = "DA"), otherwise from `ask`, once per unit. False, at the first unit
// `ask` leaves without a code.
bool ResolveUnitCodes(EInvoice& invoice, const Settings& settings, const UnitCodeSource& ask);
// The source of the command line: the stored code without asking; nullopt when none.
UnitCodeSource StoredUnitCodes(const Settings& settings);

// The whole file, head included. Call after EInvoiceRefusal found nothing; throws
// EngineError when the embedded head is missing.
std::string EInvoiceXml(const EInvoice& invoice);
// Writes the file atomically: the old file, if any, stays until the new one is complete.
// Throws EngineError naming the file when it cannot be written.
void WriteEInvoice(const EInvoice& invoice, const std::filesystem::path& file);

// The road without questions (command line): load, stored unit codes, check, write. Returns
// the refusal, writing nothing; throws EngineError for a missing document or a failed write.
std::optional<Message> ExportEInvoice(tables::Database& db, const Settings& settings,
                                      long long idFacto, const std::filesystem::path& file);

}  // namespace tvx::core
