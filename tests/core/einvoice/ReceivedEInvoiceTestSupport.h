// Shared pieces of the received e-invoice tests: a UBL Invoice or CreditNote text built from a
// few values (each test changes what it is about), and a ZIP writer over zlib that can also
// lie in its headers, for the archive cases.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tvx::core::receivedtest {

struct UblLine {
    std::string id, name, quantity, unitCode, price, amount, category, rate;
    std::string extra;  // more elements inside the line (allowances)
};

struct Ubl {
    bool creditNote = false;
    std::string number = "FX 123", issue = "2026-03-10", due = "2026-04-09", currency = "RON";
    std::string supplier = "Furnizorul Sef SRL", cui = "RO18547290";
    std::string iban = "RO49AAAA1B31007593840000";
    std::vector<UblLine> lines = {
        {"1", "Filtru ulei", "4", "H87", "25.00", "100.00", "S", "19", ""},
        {"2", "Manopera", "2", "HUR", "50.00", "100.00", "S", "19", ""}};
    std::string allowances;  // document AllowanceCharge elements
    std::string lineTotal = "200.00", exclusive = "200.00", vat = "38.00", inclusive = "238.00",
                payable = "238.00";
    std::string totalsExtra;  // AllowanceTotalAmount and the like, after BT-106

    std::string xml() const {
        const std::string root = creditNote ? "CreditNote" : "Invoice";
        const std::string lineTag = creditNote ? "CreditNoteLine" : "InvoiceLine";
        const std::string qtyTag = creditNote ? "CreditedQuantity" : "InvoicedQuantity";
        std::string x =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root +
            " xmlns=\"urn:oasis:names:specification:ubl:schema:xsd:" + root +
            "-2\" xmlns:cac=\"urn:oasis:names:specification:ubl:schema:xsd:"
            "CommonAggregateComponents-2\" xmlns:cbc=\"urn:oasis:names:specification:ubl:schema:"
            "xsd:CommonBasicComponents-2\">\n"
            "<cbc:CustomizationID>urn:cen.eu:en16931:2017#compliant#urn:efactura.mfinante.ro:"
            "CIUS-RO:1.0.1</cbc:CustomizationID>\n";
        if (!number.empty()) x += "<cbc:ID>" + number + "</cbc:ID>\n";
        x += "<cbc:IssueDate>" + issue + "</cbc:IssueDate>\n";
        if (!creditNote && !due.empty()) x += "<cbc:DueDate>" + due + "</cbc:DueDate>\n";
        x += std::string(creditNote ? "<cbc:CreditNoteTypeCode>381</cbc:CreditNoteTypeCode>"
                                    : "<cbc:InvoiceTypeCode>380</cbc:InvoiceTypeCode>") +
             "\n<cbc:DocumentCurrencyCode>" + currency + "</cbc:DocumentCurrencyCode>\n" +
             "<cac:AccountingSupplierParty><cac:Party><cac:PartyTaxScheme><cbc:CompanyID>" + cui +
             "</cbc:CompanyID><cac:TaxScheme><cbc:ID>VAT</cbc:ID></cac:TaxScheme>"
             "</cac:PartyTaxScheme><cac:PartyLegalEntity><cbc:RegistrationName>" +
             supplier +
             "</cbc:RegistrationName></cac:PartyLegalEntity></cac:Party>"
             "</cac:AccountingSupplierParty>\n"
             "<cac:PaymentMeans><cbc:PaymentMeansCode>30</cbc:PaymentMeansCode>";
        if (creditNote && !due.empty()) x += "<cbc:PaymentDueDate>" + due + "</cbc:PaymentDueDate>";
        x += "<cac:PayeeFinancialAccount><cbc:ID>" + iban +
             "</cbc:ID></cac:PayeeFinancialAccount></cac:PaymentMeans>\n" + allowances +
             "<cac:TaxTotal><cbc:TaxAmount currencyID=\"" + currency + "\">" + vat +
             "</cbc:TaxAmount></cac:TaxTotal>\n<cac:LegalMonetaryTotal>"
             "<cbc:LineExtensionAmount currencyID=\"RON\">" +
             lineTotal + "</cbc:LineExtensionAmount>" + totalsExtra +
             "<cbc:TaxExclusiveAmount currencyID=\"RON\">" + exclusive +
             "</cbc:TaxExclusiveAmount><cbc:TaxInclusiveAmount currencyID=\"RON\">" + inclusive +
             "</cbc:TaxInclusiveAmount><cbc:PayableAmount currencyID=\"RON\">" + payable +
             "</cbc:PayableAmount></cac:LegalMonetaryTotal>\n";
        for (const UblLine& l : lines) {
            x += "<cac:" + lineTag + "><cbc:ID>" + l.id + "</cbc:ID><cbc:" + qtyTag +
                 " unitCode=\"" + l.unitCode + "\">" + l.quantity + "</cbc:" + qtyTag +
                 "><cbc:LineExtensionAmount currencyID=\"RON\">" + l.amount +
                 "</cbc:LineExtensionAmount>" + l.extra + "<cac:Item><cbc:Name>" + l.name +
                 "</cbc:Name><cac:ClassifiedTaxCategory><cbc:ID>" + l.category + "</cbc:ID>";
            if (!l.rate.empty()) x += "<cbc:Percent>" + l.rate + "</cbc:Percent>";
            x += "<cac:TaxScheme><cbc:ID>VAT</cbc:ID></cac:TaxScheme></cac:ClassifiedTaxCategory>"
                 "</cac:Item><cac:Price><cbc:PriceAmount currencyID=\"RON\">" +
                 l.price + "</cbc:PriceAmount></cac:Price></cac:" + lineTag + ">\n";
        }
        return x + "</" + root + ">\n";
    }
};

// A document allowance (charge = false) or charge.
inline std::string AllowanceXml(bool charge, const std::string& amount, const std::string& reason,
                                const std::string& rate) {
    return std::string("<cac:AllowanceCharge><cbc:ChargeIndicator>") + (charge ? "true" : "false") +
           "</cbc:ChargeIndicator><cbc:AllowanceChargeReason>" + reason +
           "</cbc:AllowanceChargeReason><cbc:Amount currencyID=\"RON\">" + amount +
           "</cbc:Amount><cac:TaxCategory><cbc:ID>S</cbc:ID><cbc:Percent>" + rate +
           "</cbc:Percent><cac:TaxScheme><cbc:ID>VAT</cbc:ID></cac:TaxScheme></cac:TaxCategory>"
           "</cac:AllowanceCharge>\n";
}

struct ZipEntry {
    std::string name, data;
    bool deflate = true;
    // A header that lies: the sizes written when not 0.
    uint32_t claimedSize = 0;
};

inline void Put(std::string& out, uint32_t value, int width) {
    for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string Deflated(const std::string& data) {
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, data.size()), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

inline std::string Zip(const std::vector<ZipEntry>& entries) {
    std::string out, directory;
    for (const ZipEntry& e : entries) {
        const std::string packed = e.deflate ? Deflated(e.data) : e.data;
        const uint32_t crc = static_cast<uint32_t>(crc32(
            0L, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        const uint32_t size = e.claimedSize ? e.claimedSize : static_cast<uint32_t>(e.data.size());
        const uint32_t offset = static_cast<uint32_t>(out.size());
        Put(out, 0x04034b50, 4);
        Put(out, 20, 2);
        Put(out, 0, 2);
        Put(out, e.deflate ? 8 : 0, 2);
        Put(out, 0, 4);
        Put(out, crc, 4);
        Put(out, static_cast<uint32_t>(packed.size()), 4);
        Put(out, size, 4);
        Put(out, static_cast<uint32_t>(e.name.size()), 2);
        Put(out, 0, 2);
        out += e.name + packed;
        Put(directory, 0x02014b50, 4);
        Put(directory, 20, 2);
        Put(directory, 20, 2);
        Put(directory, 0, 2);
        Put(directory, e.deflate ? 8 : 0, 2);
        Put(directory, 0, 4);
        Put(directory, crc, 4);
        Put(directory, static_cast<uint32_t>(packed.size()), 4);
        Put(directory, size, 4);
        Put(directory, static_cast<uint32_t>(e.name.size()), 2);
        Put(directory, 0, 2);
        Put(directory, 0, 2);
        Put(directory, 0, 2);
        Put(directory, 0, 2);
        Put(directory, 0, 4);
        Put(directory, offset, 4);
        directory += e.name;
    }
    const uint32_t at = static_cast<uint32_t>(out.size());
    out += directory;
    Put(out, 0x06054b50, 4);
    Put(out, 0, 2);
    Put(out, 0, 2);
    Put(out, static_cast<uint32_t>(entries.size()), 2);
    Put(out, static_cast<uint32_t>(entries.size()), 2);
    Put(out, static_cast<uint32_t>(directory.size()), 4);
    Put(out, at, 4);
    Put(out, 0, 2);
    return out;
}

}  // namespace tvx::core::receivedtest
