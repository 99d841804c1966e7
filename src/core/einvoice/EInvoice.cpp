// The e-invoice's data (core/einvoice): gathering the stored document and the company
// profile, the checks that refuse data the national system rejects, and the unit codes.
#include "core/einvoice/EInvoice.h"

#include <map>

#include "core/admin/CompanyProfile.h"
#include "core/common/AtomicFile.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/common/UnitChoice.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/ResultSet.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Decimal;

namespace {

std::string Table(const tables::Database& db, const char* name) {
    return QuotedPath(TableFile(db, name));
}

bool BeginsWithRo(const std::string& code) {
    return tables::toUpperAscii(Trimmed(code)).rfind("RO", 0) == 0;
}

Message Refusal(const EInvoice& invoice, const std::string& reason) {
    std::string document = invoice.documentName();
    document[0] = 'F';
    return {kEInvoiceTitle, "\r" + document + ": " + reason, MessageKind::Error};
}

// The party's county and, in Bucharest, its sector: the reason it cannot be written, empty
// when it can. `who` names the party, `fields` the county and locality fields.
std::string AddressProblem(const EInvoiceParty& party, const std::string& who,
                           const std::string& countyField, const std::string& localityField) {
    if (party.countyCode.empty())
        return "judetul " + who + " (" + countyField + " \"" + party.county +
               "\") nu este unul din cele 42 de judete";
    if (party.countyCode == "RO-B" && BucharestSector(party.locality).empty())
        return "in Bucuresti localitatea " + who + " (" + localityField + " \"" + party.locality +
               "\") trebuie sa fie un sector, SECTOR1 ... SECTOR6";
    return {};
}

}  // namespace

std::string BucharestSector(const std::string& locality) {
    const std::string text = tables::toUpperAscii(locality);
    const size_t at = text.find("SECTOR");
    if (at == std::string::npos) return {};
    size_t pos = at + 6;
    if (text.compare(pos, 2, "UL") == 0) pos += 2;  // "Sectorul 3"
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '.' || text[pos] == '-')) ++pos;
    if (pos >= text.size() || text[pos] < '1' || text[pos] > '6') return {};
    if (pos + 1 < text.size() && text[pos + 1] >= '0' && text[pos + 1] <= '9') return {};
    return std::string("SECTOR") + text[pos];
}

std::string EInvoice::documentName() const {
    return "factura " + series + " " + std::to_string(number);
}

std::string EInvoice::proposedFileName() const {
    return series + std::to_string(number) + ".xml";
}

EInvoice LoadEInvoice(tables::Database& db, const Settings& settings, long long idFacto) {
    const tables::Params id{{"id", idFacto}};
    tables::ResultSet head =
        db.query("SELECT * FROM " + Table(db, "FactOut") + " WHERE IDFACTO=:id", id);
    if (head.empty())
        throw tables::EngineError("Factura cu IDFACTO " + std::to_string(idFacto) +
                                      " nu exista in " + TableFile(db, "FactOut").string(),
                                  "FactOut");
    head.first();
    EInvoice invoice;
    invoice.idFacto = idFacto;
    invoice.series = Trimmed(head.asText("SERIA"));
    invoice.number = head.asNumber("NR").toLongLong();
    invoice.issueDate = head.asDate("DATAOUT");
    invoice.dueDate = head.asDate("DATASCAD");
    invoice.vatRate = head.asNumber("TVAPROC");
    invoice.vatTotal = head.asNumber("TVATOT");
    invoice.netTotal = head.asNumber("VALTOT");
    invoice.total = head.asNumber("TOTAL");
    invoice.iban = Trimmed(head.asText("CONT"));

    EInvoiceParty& buyer = invoice.buyer;
    buyer.name = Trimmed(head.asText("SOC2"));
    buyer.fiscalCode = Trimmed(head.asText("CUI2"));
    if (buyer.fiscalCode.empty()) buyer.fiscalCode = kPersonWithoutCode;
    buyer.address = Trimmed(head.asText("ADRESA2"));
    buyer.locality = Trimmed(head.asText("LOC2"));
    buyer.county = Trimmed(head.asText("JUD2"));
    buyer.countyCode = CountyCode(tables::toUpperAscii(buyer.county));
    invoice.buyerVat = BeginsWithRo(buyer.fiscalCode);

    CompanyProfile profile;
    profile.load(settings);
    EInvoiceParty& supplier = invoice.supplier;
    supplier.name = Trimmed(profile.denumire);
    supplier.fiscalCode = Trimmed(profile.codFisc);
    supplier.address = Trimmed(profile.adresa);
    supplier.locality = Trimmed(profile.localit);
    supplier.county = Trimmed(settings.readSetting("SETARI", "JUDET"));
    supplier.countyCode = CountyCode(tables::toUpperAscii(supplier.county));
    invoice.supplierVat = profile.vatPayer();

    tables::ResultSet rows =
        db.query("SELECT * FROM " + Table(db, "ProdOut") + " WHERE IDFACTO=:id ORDER BY NRCRT", id);
    for (rows.first(); !rows.eof(); rows.next()) {
        EInvoiceLine line;
        line.nrCrt = rows.asNumber("NRCRT").toLongLong();
        line.product = Trimmed(rows.asText("PRODUS"));
        line.unit = tables::toUpperAscii(Trimmed(rows.asText("UM")));
        line.quantity = rows.asNumber("CANT");
        line.price = rows.asNumber("PRETOUT");
        line.value = rows.asNumber("VALOUT");
        invoice.lines.push_back(std::move(line));
    }
    return invoice;
}

std::optional<Message> EInvoiceRefusal(const EInvoice& invoice, bool checkUnits) {
    const EInvoiceParty& supplier = invoice.supplier;
    if (supplier.locality.empty())
        return Message{kEInvoiceTitle, "\rCompletati la butonul Setari Localitatea!",
                       MessageKind::Error};
    const std::pair<const std::string*, const char*> companyFields[] = {
        {&supplier.name, "Denumirea"},
        {&supplier.fiscalCode, "Codul fiscal"},
        {&supplier.address, "Adresa"},
    };
    for (const auto& [value, field] : companyFields)
        if (value->empty())
            return Refusal(invoice, std::string("completati la butonul Setari ") + field + "!");
    if (supplier.county.empty()) return Refusal(invoice, "completati la butonul Setari Judetul!");
    if (auto problem = AddressProblem(supplier, "firmei", "Setari, Judet", "Setari, Localitate");
        !problem.empty())
        return Refusal(invoice, problem + ".");

    const EInvoiceParty& buyer = invoice.buyer;
    if (buyer.name.empty()) return Refusal(invoice, "cumparatorul nu are denumire (SOC2).");
    if (buyer.address.empty()) return Refusal(invoice, "cumparatorul nu are adresa (ADRESA2).");
    if (buyer.locality.empty()) return Refusal(invoice, "cumparatorul nu are localitate (LOC2).");
    if (auto problem = AddressProblem(buyer, "cumparatorului", "JUD2", "LOC2"); !problem.empty())
        return Refusal(invoice, problem + ".");

    if (!invoice.issueDate) return Refusal(invoice, "lipseste data facturii (DATAOUT).");
    if (!invoice.dueDate && invoice.total > Decimal(0))
        return Refusal(invoice, "lipseste data scadentei (DATASCAD).");
    Decimal lineSum;
    for (const EInvoiceLine& line : invoice.lines) {
        const std::string which = "linia " + std::to_string(line.nrCrt);
        if (line.product.empty()) return Refusal(invoice, which + " nu are denumire (PRODUS).");
        if (checkUnits && line.unitCode.empty())
            return Refusal(invoice, "unitatea de masura \"" + line.unit + "\" (" + which +
                                        ", UM) nu are cod e-Factura in sectiunea UMS a setarilor.");
        lineSum += line.value;
    }
    if (lineSum != invoice.netTotal)
        return Refusal(invoice, "valoarea fara TVA (VALTOT " + invoice.netTotal.toString() +
                                    ") nu este suma valorilor liniilor (" + lineSum.toString() +
                                    ").");
    if (invoice.netTotal + invoice.vatTotal != invoice.total)
        return Refusal(invoice, "totalul (TOTAL " + invoice.total.toString() +
                                    ") nu este valoarea fara TVA plus TVA.");
    if (!invoice.supplierVat && !invoice.vatTotal.isZero())
        return Refusal(invoice, "firma nu este platitoare de TVA, dar factura are TVA (TVATOT " +
                                    invoice.vatTotal.toString() + ").");
    if (invoice.supplierVat) {
        // The national system accepts the sum of the lines' rounded VAT when it stays within
        // one leu of the VAT of the whole net amount.
        auto magnitude = [](const Decimal& x) { return x.isNegative() ? -x : x; };
        const Decimal whole =
            RoundAmount(magnitude(invoice.netTotal) * invoice.vatRate / Decimal(100));
        if (magnitude(magnitude(invoice.vatTotal) - whole) >= Decimal(1))
            return Refusal(invoice, "TVA (TVATOT " + invoice.vatTotal.toString() +
                                        ") difera cu cel putin 1 leu de " + whole.toString() +
                                        ", cota aplicata valorii fara TVA.");
    }
    return std::nullopt;
}

std::string StoredUnitCode(const Settings& settings, const std::string& unit) {
    const std::string stored = settings.readSetting("UMS", tables::toUpperAscii(unit));
    for (const std::string& item : UnitChoice::items())
        if (item == stored) return UnitChoice::codeOf(item);
    return {};
}

bool ResolveUnitCodes(EInvoice& invoice, const Settings& settings, const UnitCodeSource& ask) {
    std::map<std::string, std::string> known;
    for (EInvoiceLine& line : invoice.lines) {
        auto found = known.find(line.unit);
        if (found == known.end()) {
            std::string code;
            if (settings.readSetting("UMS", line.unit + "Auto") == "DA")
                code = StoredUnitCode(settings, line.unit);
            if (code.empty()) {
                std::optional<std::string> asked = ask ? ask(line.unit) : std::nullopt;
                if (!asked || asked->empty()) return false;
                code = *asked;
            }
            found = known.emplace(line.unit, code).first;
        }
        line.unitCode = found->second;
    }
    return true;
}

UnitCodeSource StoredUnitCodes(const Settings& settings) {
    return [&settings](const std::string& unit) -> std::optional<std::string> {
        std::string code = StoredUnitCode(settings, unit);
        if (code.empty()) return std::nullopt;
        return code;
    };
}

void WriteEInvoice(const EInvoice& invoice, const std::filesystem::path& file) {
    WriteFileAtomically(file, EInvoiceXml(invoice));
}

std::optional<Message> ExportEInvoice(tables::Database& db, const Settings& settings,
                                      long long idFacto, const std::filesystem::path& file) {
    EInvoice invoice = LoadEInvoice(db, settings, idFacto);
    ResolveUnitCodes(invoice, settings, StoredUnitCodes(settings));
    if (auto refusal = EInvoiceRefusal(invoice, true)) return refusal;
    WriteEInvoice(invoice, file);
    return std::nullopt;
}

}  // namespace tvx::core
