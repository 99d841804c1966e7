// The e-invoice file's layout (core/einvoice): the embedded head, then one CR LF line per
// element, fixed indents and the BT/BG comments the national examples carry. Values are
// escaped for XML and written as well-formed UTF-8, so a buyer named "A&B SRL" or any
// Romanian letter gives a file the national system reads.
#include <cstdio>

#include "core/common/Rounding.h"
#include "core/common/Templates.h"
#include "core/common/XmlText.h"
#include "core/einvoice/EInvoice.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Decimal;

namespace {

std::string Fixed(const Decimal& x, int decimals) {
    return RoundHalfAway(x, decimals).toString();
}
std::string Amount(const Decimal& x) {
    return Fixed(x, 2);
}

std::string IsoDate(const tables::Date& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    return text;
}

// The lines of the file, each ended by CR LF.
class Writer {
  public:
    explicit Writer(std::string& out) : out_(out) {}
    // Indent, then the text as given.
    void line(std::string_view indent, std::string_view text) {
        out_.append(indent).append(text).append("\r\n");
    }
    void line(int blanks, std::string_view text) { line(std::string(blanks, ' '), text); }
    // Indent, text, the value escaped, text after.
    void value(int blanks, std::string_view before, std::string_view value,
               std::string_view after) {
        out_.append(static_cast<size_t>(blanks), ' ')
            .append(before)
            .append(XmlText(value))
            .append(after)
            .append("\r\n");
    }

  private:
    std::string& out_;
};

void SupplierParty(Writer& w, const EInvoice& invoice) {
    const EInvoiceParty& s = invoice.supplier;
    const std::string city = s.countyCode == "RO-B" ? BucharestSector(s.locality) : s.locality;
    w.line(4, "<cac:AccountingSupplierParty><!--BG-4-->");
    w.line(0, "<cac:Party>");
    w.line(12, "<cac:PostalAddress><!--BG-5-->");
    w.value(1, "<cbc:StreetName>", s.address, "</cbc:StreetName><!--BT-35-->");
    w.value(16, "<cbc:CityName>", city, "</cbc:CityName>");
    w.value(16, "<cbc:CountrySubentity>", s.countyCode, "</cbc:CountrySubentity><!--BT-39-->");
    w.line(16, "<cac:Country>");
    w.line(20, "<cbc:IdentificationCode>RO</cbc:IdentificationCode><!--BT-40-->");
    w.line(16, "</cac:Country>");
    w.line(12, "</cac:PostalAddress>");
    w.line(12, "<cac:PartyTaxScheme>");
    w.value(15, "<cbc:CompanyID>", s.fiscalCode, "</cbc:CompanyID><!--BT-31-->");
    if (invoice.supplierVat) {
        w.line(16, "<cac:TaxScheme>");
        w.line(20, "<cbc:ID>VAT</cbc:ID>");
        w.line(16, "</cac:TaxScheme>");
    } else {
        w.line(16, "<cac:TaxScheme/>");
    }
    w.line(12, "</cac:PartyTaxScheme>");
    w.line(12, "<cac:PartyLegalEntity>");
    w.value(16, "<cbc:RegistrationName>", s.name, "</cbc:RegistrationName><!--BT-27-->");
    w.value(16, "<cbc:CompanyID>", s.fiscalCode, "</cbc:CompanyID><!--BT-30-->");
    w.line(12, "</cac:PartyLegalEntity>");
    w.line(8, "</cac:Party>");
    w.line(4, "</cac:AccountingSupplierParty>");
}

void CustomerParty(Writer& w, const EInvoice& invoice) {
    const EInvoiceParty& b = invoice.buyer;
    const std::string city = b.countyCode == "RO-B" ? BucharestSector(b.locality) : b.locality;
    w.line(4, "<cac:AccountingCustomerParty><!--BG-7-->");
    w.line(8, "<cac:Party>");
    w.line(12, "<cac:PostalAddress><!--BG-8-->");
    w.value(16, "<cbc:StreetName>", b.address, "</cbc:StreetName><!--BT-50-->");
    w.value(16, "<cbc:CityName>", city, "</cbc:CityName><!--BT-52-->");
    w.value(16, "<cbc:CountrySubentity>", b.countyCode, "</cbc:CountrySubentity><!--BT-54-->");
    w.line(16, "<cac:Country>");
    w.line(20, "<cbc:IdentificationCode>RO</cbc:IdentificationCode><!--BT-55-->");
    w.line(16, "</cac:Country>");
    w.line(12, "</cac:PostalAddress>");
    w.line(12, "<cac:PartyTaxScheme>");
    w.value(16, "<cbc:CompanyID>", b.fiscalCode, "</cbc:CompanyID><!--BT-48-->");
    w.line(16, "<cac:TaxScheme>");
    if (invoice.supplierVat && invoice.buyerVat) w.line("\t\t\t\t  ", "<cbc:ID>VAT</cbc:ID>");
    w.line(16, "</cac:TaxScheme>");
    w.line(12, "</cac:PartyTaxScheme>");
    w.line(12, "<cac:PartyLegalEntity>");
    w.value(16, "<cbc:RegistrationName>", b.name, "</cbc:RegistrationName><!--BT-44-->");
    w.value(16, "<cbc:CompanyID>", b.fiscalCode, "</cbc:CompanyID><!--BT-48-->");
    w.line(12, "</cac:PartyLegalEntity>");
    w.line(8, "</cac:Party>");
    w.line(4, "</cac:AccountingCustomerParty>");
}

void Totals(Writer& w, const EInvoice& invoice) {
    w.line(4, "<cac:PaymentMeans>");
    w.line(8, "<cbc:PaymentMeansCode>53</cbc:PaymentMeansCode>");
    if (!invoice.iban.empty()) {  // an empty account identifier says nothing
        w.line(8, "<cac:PayeeFinancialAccount>");
        w.value(12, "<cbc:ID>", invoice.iban, "</cbc:ID>");
        w.line(8, "</cac:PayeeFinancialAccount>");
    }
    w.line(4, "</cac:PaymentMeans>");
    w.line(4, "<cac:TaxTotal>");
    w.value(8, "<cbc:TaxAmount currencyID=\"RON\">", Amount(invoice.vatTotal),
            "</cbc:TaxAmount><!--BT-110-->");
    w.line(9, "<cac:TaxSubtotal>");
    w.value(12, "<cbc:TaxableAmount currencyID=\"RON\">", Amount(invoice.netTotal),
            "</cbc:TaxableAmount>");
    w.value(12, "<cbc:TaxAmount currencyID=\"RON\">", Amount(invoice.vatTotal), "</cbc:TaxAmount>");
    w.line(12, "<cac:TaxCategory>");
    if (invoice.supplierVat) {
        w.line(16, "<cbc:ID>S</cbc:ID>");
        w.value(16, "<cbc:Percent>", Fixed(invoice.vatRate, 2), "</cbc:Percent>");
    } else {
        w.line(16, "<cbc:ID>O</cbc:ID>");
        w.line("\t\t\t\t        ",
               "<cbc:TaxExemptionReasonCode>VATEX-EU-O</cbc:TaxExemptionReasonCode><!--BT-121-->");
        w.line(16,
               "<cbc:TaxExemptionReason>Regim special de scutire pentru intreprinderile mici"
               "</cbc:TaxExemptionReason><!--BT-120-->");
    }
    w.line(16, "<cac:TaxScheme>");
    w.line(20, "<cbc:ID>VAT</cbc:ID>");
    w.line(16, "</cac:TaxScheme>");
    w.line(12, "</cac:TaxCategory>");
    w.line(8, "</cac:TaxSubtotal>");
    w.line(4, "</cac:TaxTotal>");
    w.line(4, "<cac:LegalMonetaryTotal><!--BG-22-->");
    w.value(8, "<cbc:LineExtensionAmount currencyID=\"RON\">", Amount(invoice.netTotal),
            "</cbc:LineExtensionAmount><!--BT-106-->");
    w.value(8, "<cbc:TaxExclusiveAmount currencyID=\"RON\">", Amount(invoice.netTotal),
            "</cbc:TaxExclusiveAmount><!--BT-109-->");
    w.value(8, "<cbc:TaxInclusiveAmount currencyID=\"RON\">", Amount(invoice.total),
            "</cbc:TaxInclusiveAmount><!--BT-112-->");
    w.value(8, "<cbc:PayableAmount currencyID=\"RON\">", Amount(invoice.total),
            "</cbc:PayableAmount><!--BT-115-->");
    w.line(4, "</cac:LegalMonetaryTotal>");
}

void InvoiceLine(Writer& w, const EInvoice& invoice, const EInvoiceLine& line) {
    // A price is never negative on an e-invoice: a negative price is written positive with the
    // quantity's sign turned, which leaves the line's value as it is.
    const bool turned = line.price.isNegative();
    const Decimal quantity = turned ? -line.quantity : line.quantity;
    const Decimal price = turned ? -line.price : line.price;
    w.line(4, "<cac:InvoiceLine>");
    w.value(8, "<cbc:ID>", std::to_string(line.nrCrt), "</cbc:ID><!--BT-126-->");
    w.value(8, "<cbc:InvoicedQuantity unitCode=\"", line.unitCode,
            "\">" + Fixed(quantity, 4) + "</cbc:InvoicedQuantity><!--BT-129 BT-130-->");
    w.value(8, "<cbc:LineExtensionAmount currencyID=\"RON\">", Amount(line.value),
            "</cbc:LineExtensionAmount><!--BT-131-->");
    w.line(8, "<cac:Item><!--BG-31-->");
    w.value(12, "<cbc:Name>", FirstChars(line.product, 100), "</cbc:Name><!--BT-153-->");
    w.line(12, "<cac:ClassifiedTaxCategory>");
    if (invoice.supplierVat) {
        w.line(16, "<cbc:ID>S</cbc:ID><!--BT-151-->");
        w.value(16, "<cbc:Percent>", Fixed(invoice.vatRate, 2), "</cbc:Percent>");
    } else {
        w.line(16, "<cbc:ID>O</cbc:ID><!--BT-151-->");
    }
    w.line(16, "<cac:TaxScheme>");
    w.line(20, "<cbc:ID>VAT</cbc:ID>");
    w.line(16, "</cac:TaxScheme>");
    w.line(12, "</cac:ClassifiedTaxCategory>");
    w.line(8, "</cac:Item>");
    w.line(8, "<cac:Price><!--BG-29-->");
    w.value(12, "<cbc:PriceAmount currencyID=\"RON\">", Amount(price),
            "</cbc:PriceAmount><!--BT-146-->");
    w.line(8, "</cac:Price>");
    w.line(4, "</cac:InvoiceLine>");
}

}  // namespace

std::string EInvoiceXml(const EInvoice& invoice) {
    std::optional<std::string> head = FindTemplate(kEInvoiceTemplate, kEInvoiceTemplateKind);
    if (!head)
        throw tables::EngineError(std::string("Modelul ") + kEInvoiceTemplate +
                                  " lipseste din program");
    std::string out = std::move(*head);
    out.reserve(out.size() + 4096 + invoice.lines.size() * 900);
    Writer w(out);
    w.value(0, "<cbc:CustomizationID>", kCiusRoCustomization, "</cbc:CustomizationID>");
    w.value(0, "<cbc:ID>", invoice.series + std::to_string(invoice.number), "</cbc:ID><!--BT-1-->");
    if (invoice.issueDate)
        w.value(0, "<cbc:IssueDate>", IsoDate(*invoice.issueDate), "</cbc:IssueDate><!--BT-2-->");
    if (invoice.dueDate)  // a document with nothing to pay may have none
        w.value(0, "<cbc:DueDate>", IsoDate(*invoice.dueDate), "</cbc:DueDate><!--BT-9-->");
    w.line(0, "<cbc:InvoiceTypeCode>380</cbc:InvoiceTypeCode><!--BT-3-->");
    // The exemption note states the small-business regime: only a company without VAT is in it.
    if (!invoice.supplierVat)
        w.value(0, "<cbc:Note>", kSmallBusinessNote, "</cbc:Note><!--BT-22-->");
    w.line(0, "<cbc:DocumentCurrencyCode>RON</cbc:DocumentCurrencyCode><!--BT-5-->");
    SupplierParty(w, invoice);
    CustomerParty(w, invoice);
    Totals(w, invoice);
    for (const EInvoiceLine& line : invoice.lines) InvoiceLine(w, invoice, line);
    out.append("</Invoice>\r\n");
    return out;
}

}  // namespace tvx::core
