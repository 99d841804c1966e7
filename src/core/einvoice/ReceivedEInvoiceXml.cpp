// Reading the XML of a received e-invoice: QXmlStreamReader builds a small element tree under
// the caps (no DOCTYPE, depth, element count), then the UBL elements are taken from it by
// namespace and local name, each value checked as its business term requires.
#include <QByteArray>
#include <QXmlStreamReader>
#include <fstream>
#include <iterator>
#include <memory>

#include "core/einvoice/ReceivedEInvoice.h"

namespace tvx::core {

using tables::Decimal;

namespace {

constexpr const char* kCbc = "urn:oasis:names:specification:ubl:schema:xsd:CommonBasicComponents-2";
constexpr const char* kCac =
    "urn:oasis:names:specification:ubl:schema:xsd:CommonAggregateComponents-2";
constexpr const char* kInvoiceNs = "urn:oasis:names:specification:ubl:schema:xsd:Invoice-2";
constexpr const char* kCreditNoteNs = "urn:oasis:names:specification:ubl:schema:xsd:CreditNote-2";

struct Node {
    std::string ns, name, text;
    std::vector<std::pair<std::string, std::string>> attributes;  // local name, value
    std::vector<std::unique_ptr<Node>> children;

    std::string attribute(const char* local) const {
        for (const auto& [key, value] : attributes)
            if (key == local) return value;
        return {};
    }
};

// A refusal found while reading; carries its text up to the caller.
struct Refused {
    std::string text;
};

Message Refusal(const std::string& fileName, const std::string& text) {
    return {kEInvoiceImportTitle, "Fisierul " + fileName + "\r" + text, MessageKind::Error};
}

std::unique_ptr<Node> ParseTree(std::string_view xml) {
    if (xml.size() > kEInvoiceMaxBytes)
        throw Refused{"este prea mare (peste " + std::to_string(kEInvoiceMaxBytes / (1024 * 1024)) +
                      " MB)!"};
    QXmlStreamReader reader(
        QByteArray::fromRawData(xml.data(), static_cast<qsizetype>(xml.size())));
    std::unique_ptr<Node> root;
    std::vector<Node*> open;
    std::size_t elements = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::DTD:
                throw Refused{
                    "contine o declaratie DOCTYPE; din motive de siguranta nu este citit!"};
            case QXmlStreamReader::EntityReference:
                throw Refused{"contine entitati XML nedeclarate; nu este citit!"};
            case QXmlStreamReader::StartElement: {
                if (++elements > kEInvoiceMaxElements)
                    throw Refused{"are prea multe elemente XML!"};
                if (open.size() >= static_cast<std::size_t>(kEInvoiceMaxDepth))
                    throw Refused{"are elemente XML imbricate prea adanc!"};
                auto node = std::make_unique<Node>();
                node->ns = reader.namespaceUri().toString().toStdString();
                node->name = reader.name().toString().toStdString();
                for (const QXmlStreamAttribute& a : reader.attributes())
                    node->attributes.emplace_back(a.name().toString().toStdString(),
                                                  a.value().toString().toStdString());
                Node* raw = node.get();
                if (open.empty())
                    root = std::move(node);
                else
                    open.back()->children.push_back(std::move(node));
                open.push_back(raw);
                break;
            }
            case QXmlStreamReader::EndElement:
                if (!open.empty()) open.pop_back();
                break;
            case QXmlStreamReader::Characters:
                if (!open.empty()) open.back()->text += reader.text().toString().toStdString();
                break;
            default:
                break;
        }
    }
    if (reader.hasError())
        throw Refused{"nu este un fisier XML corect (linia " + std::to_string(reader.lineNumber()) +
                      ": " + reader.errorString().toStdString() + ")!"};
    if (!root) throw Refused{"nu contine nici un element XML!"};
    return root;
}

// "cbc:Name" -> the namespace and local name of a step.
bool Matches(const Node& node, std::string_view step) {
    const std::size_t colon = step.find(':');
    const std::string_view prefix = step.substr(0, colon);
    const std::string_view local = step.substr(colon + 1);
    const char* ns = prefix == "cbc" ? kCbc : kCac;
    return node.name == local && node.ns == ns;
}

const Node* Child(const Node* from, std::string_view step) {
    if (!from) return nullptr;
    for (const auto& child : from->children)
        if (Matches(*child, step)) return child.get();
    return nullptr;
}

const Node* Find(const Node* from, std::initializer_list<std::string_view> path) {
    for (std::string_view step : path) from = Child(from, step);
    return from;
}

std::vector<const Node*> Children(const Node* from, std::string_view step) {
    std::vector<const Node*> out;
    if (!from) return out;
    for (const auto& child : from->children)
        if (Matches(*child, step)) out.push_back(child.get());
    return out;
}

std::string Trim(const std::string& text) {
    const std::size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const std::size_t e = text.find_last_not_of(" \t\r\n");
    return text.substr(b, e - b + 1);
}

std::string TextOf(const Node* node) {
    return node ? Trim(node->text) : std::string();
}

std::string Required(const Node* node, const std::string& what) {
    const std::string text = TextOf(node);
    if (text.empty()) throw Refused{"nu contine " + what + "!"};
    return text;
}

// An xsd:decimal: optional sign, digits, optional fraction; nothing else.
std::optional<Decimal> DecimalOf(const std::string& text) {
    std::size_t i = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
    bool digits = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits = true;
        else if (text[i] != '.')
            return std::nullopt;
    }
    if (!digits || text.find('.') != text.rfind('.')) return std::nullopt;
    return Decimal::parse(text[0] == '+' ? text.substr(1) : text);
}

Decimal Number(const Node* node, const std::string& what) {
    const std::string text = Required(node, what);
    const auto value = DecimalOf(text);
    if (!value) throw Refused{what + " are valoarea \"" + text + "\", care nu este un numar!"};
    return *value;
}

Decimal OptionalNumber(const Node* node, const std::string& what, const Decimal& absent) {
    return TextOf(node).empty() ? absent : Number(node, what);
}

tables::Date DateOf(const std::string& text, const std::string& what) {
    int y = 0, m = 0, d = 0;
    bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-';
    for (std::size_t i = 0; shaped && i < text.size(); ++i)
        if (i != 4 && i != 7 && (text[i] < '0' || text[i] > '9')) shaped = false;
    if (shaped) {
        y = std::stoi(text.substr(0, 4));
        m = std::stoi(text.substr(5, 2));
        d = std::stoi(text.substr(8, 2));
    }
    if (!shaped || !tables::Date::valid(y, m, d))
        throw Refused{what + " are valoarea \"" + text + "\", care nu este o data AAAA-LL-ZZ!"};
    return tables::Date::fromYmd(y, m, d);
}

std::optional<tables::Date> OptionalDate(const Node* node, const std::string& what) {
    const std::string text = TextOf(node);
    if (text.empty()) return std::nullopt;
    return DateOf(text, what);
}

std::optional<Decimal> OptionalRate(const Node* category, const std::string& what) {
    const Node* percent = Child(category, "cbc:Percent");
    if (TextOf(percent).empty()) return std::nullopt;
    return Number(percent, what);
}

ReceivedAllowance AllowanceOf(const Node* node, const std::string& where) {
    ReceivedAllowance a;
    const std::string indicator =
        Required(Child(node, "cbc:ChargeIndicator"),
                 "indicatorul de taxa sau reducere (ChargeIndicator) " + where);
    // xsd:boolean: true, false, 1 or 0.
    if (indicator != "true" && indicator != "false" && indicator != "1" && indicator != "0")
        throw Refused{"indicatorul de taxa sau reducere " + where + " este \"" + indicator + "\"!"};
    a.charge = indicator == "true" || indicator == "1";
    a.amount = Number(Child(node, "cbc:Amount"), "valoarea reducerii sau taxei " + where);
    a.reason = TextOf(Child(node, "cbc:AllowanceChargeReason"));
    if (a.reason.empty()) a.reason = TextOf(Child(node, "cbc:AllowanceChargeReasonCode"));
    const Node* category = Child(node, "cac:TaxCategory");
    a.vatCategory = TextOf(Child(category, "cbc:ID"));
    a.vatRate = OptionalRate(category, "cota TVA a reducerii sau taxei " + where);
    return a;
}

ReceivedLine LineOf(const Node* node, bool creditNote) {
    ReceivedLine line;
    line.id = TextOf(Child(node, "cbc:ID"));
    const std::string where = "(linia " + line.id + ")";
    const Node* quantity =
        Child(node, creditNote ? "cbc:CreditedQuantity" : "cbc:InvoicedQuantity");
    line.quantity = Number(quantity, "cantitatea facturata (BT-129) " + where);
    line.unitCode = Trim(quantity->attribute("unitCode"));
    if (line.unitCode.empty())
        throw Refused{"nu contine codul unitatii de masura (BT-130) " + where + "!"};
    line.lineAmount =
        Number(Child(node, "cbc:LineExtensionAmount"), "valoarea neta a liniei (BT-131) " + where);
    const Node* item = Child(node, "cac:Item");
    line.name = Required(Child(item, "cbc:Name"), "denumirea articolului (BT-153) " + where);
    const Node* category = Child(item, "cac:ClassifiedTaxCategory");
    line.vatCategory = Required(Child(category, "cbc:ID"), "categoria TVA (BT-151) " + where);
    line.vatRate = OptionalRate(category, "cota TVA (BT-152) " + where);
    const Node* price = Child(node, "cac:Price");
    line.price = Number(Child(price, "cbc:PriceAmount"), "pretul net (BT-146) " + where);
    line.baseQuantity =
        OptionalNumber(Child(price, "cbc:BaseQuantity"),
                       "cantitatea de baza a pretului (BT-149) " + where, Decimal(1));
    if (line.baseQuantity.isZero() || line.baseQuantity.isNegative())
        throw Refused{"cantitatea de baza a pretului (BT-149) " + where + " nu este pozitiva!"};
    for (const Node* a : Children(node, "cac:AllowanceCharge"))
        line.allowances.push_back(AllowanceOf(a, where));
    return line;
}

void ReadDocument(const Node& root, ReceivedEInvoice& out) {
    const bool invoice = root.name == "Invoice" && root.ns == kInvoiceNs;
    const bool credit = root.name == "CreditNote" && root.ns == kCreditNoteNs;
    if (!invoice && !credit)
        throw Refused{
            "nu este o factura electronica UBL (Invoice sau CreditNote); elementul "
            "radacina este " +
            root.name + "!"};
    out = ReceivedEInvoice{};
    out.typeCode = TextOf(Child(&root, invoice ? "cbc:InvoiceTypeCode" : "cbc:CreditNoteTypeCode"));
    out.creditNote = credit || out.typeCode == "381";
    out.number = Required(Child(&root, "cbc:ID"), "numarul facturii (BT-1)");
    out.issueDate = DateOf(Required(Child(&root, "cbc:IssueDate"), "data emiterii (BT-2)"),
                           "data emiterii (BT-2)");
    out.dueDate = OptionalDate(Child(&root, "cbc:DueDate"), "data scadentei (BT-9)");
    out.currency = Required(Child(&root, "cbc:DocumentCurrencyCode"), "moneda facturii (BT-5)");

    const Node* party = Find(&root, {"cac:AccountingSupplierParty", "cac:Party"});
    out.supplierName = TextOf(Find(party, {"cac:PartyLegalEntity", "cbc:RegistrationName"}));
    if (out.supplierName.empty())
        out.supplierName = TextOf(Find(party, {"cac:PartyName", "cbc:Name"}));
    if (out.supplierName.empty()) throw Refused{"nu contine numele furnizorului (BT-27)!"};
    out.supplierFiscalCode = TextOf(Find(party, {"cac:PartyTaxScheme", "cbc:CompanyID"}));
    if (out.supplierFiscalCode.empty())
        out.supplierFiscalCode = TextOf(Find(party, {"cac:PartyLegalEntity", "cbc:CompanyID"}));
    if (out.supplierFiscalCode.empty())
        out.supplierFiscalCode = TextOf(Find(party, {"cac:PartyIdentification", "cbc:ID"}));

    for (const Node* means : Children(&root, "cac:PaymentMeans")) {
        if (!out.dueDate)
            out.dueDate = OptionalDate(Child(means, "cbc:PaymentDueDate"), "data scadentei (BT-9)");
        const Node* account = Child(means, "cac:PayeeFinancialAccount");
        if (out.supplierIban.empty() && !TextOf(Child(account, "cbc:ID")).empty()) {
            out.supplierIban = TextOf(Child(account, "cbc:ID"));
            const Node* branch = Child(account, "cac:FinancialInstitutionBranch");
            out.supplierBank = TextOf(Child(branch, "cbc:Name"));
            if (out.supplierBank.empty())
                out.supplierBank = TextOf(Find(branch, {"cac:FinancialInstitution", "cbc:Name"}));
        }
    }

    for (const Node* a : Children(&root, "cac:AllowanceCharge"))
        out.allowances.push_back(AllowanceOf(a, "(document)"));

    // BT-110 is the tax total in the document's currency; a second one in the accounting
    // currency (BT-111) is told apart by its currencyID.
    for (const Node* total : Children(&root, "cac:TaxTotal")) {
        const Node* amount = Child(total, "cbc:TaxAmount");
        const std::string currency = amount ? Trim(amount->attribute("currencyID")) : std::string();
        if (!currency.empty() && currency != out.currency) continue;
        out.vatTotal = Number(amount, "totalul TVA (BT-110)");
        for (const Node* sub : Children(total, "cac:TaxSubtotal")) {
            ReceivedVatBreakdown b;
            const Node* category = Child(sub, "cac:TaxCategory");
            b.category = Required(Child(category, "cbc:ID"), "categoria TVA a defalcarii (BT-118)");
            b.rate = OptionalRate(category, "cota TVA a defalcarii (BT-119)");
            b.taxable = Number(Child(sub, "cbc:TaxableAmount"), "baza defalcarii TVA (BT-116)");
            b.tax = Number(Child(sub, "cbc:TaxAmount"), "TVA-ul defalcarii (BT-117)");
            out.vat.push_back(std::move(b));
        }
        break;
    }

    const Node* totals = Child(&root, "cac:LegalMonetaryTotal");
    if (!totals) throw Refused{"nu contine totalurile facturii (BG-22)!"};
    const Decimal zero(0);
    out.lineTotal = Number(Child(totals, "cbc:LineExtensionAmount"), "totalul liniilor (BT-106)");
    out.allowanceTotal = OptionalNumber(Child(totals, "cbc:AllowanceTotalAmount"),
                                        "totalul reducerilor (BT-107)", zero);
    out.chargeTotal =
        OptionalNumber(Child(totals, "cbc:ChargeTotalAmount"), "totalul taxelor (BT-108)", zero);
    out.taxExclusive = Number(Child(totals, "cbc:TaxExclusiveAmount"), "totalul fara TVA (BT-109)");
    out.taxInclusive = Number(Child(totals, "cbc:TaxInclusiveAmount"), "totalul cu TVA (BT-112)");
    out.prepaid = OptionalNumber(Child(totals, "cbc:PrepaidAmount"), "suma platita (BT-113)", zero);
    out.rounding =
        OptionalNumber(Child(totals, "cbc:PayableRoundingAmount"), "rotunjirea (BT-114)", zero);
    out.payable = Number(Child(totals, "cbc:PayableAmount"), "suma de plata (BT-115)");

    for (const Node* line : Children(&root, credit ? "cac:CreditNoteLine" : "cac:InvoiceLine"))
        out.lines.push_back(LineOf(line, credit));
    if (out.lines.empty()) throw Refused{"nu contine nici o linie de factura (BG-25)!"};
}

}  // namespace

std::optional<Message> ParseReceivedEInvoice(std::string_view xml, const std::string& fileName,
                                             ReceivedEInvoice& out) {
    try {
        const std::unique_ptr<Node> root = ParseTree(xml);
        ReadDocument(*root, out);
    } catch (const Refused& refused) {
        return Refusal(fileName, refused.text);
    }
    return std::nullopt;
}

std::optional<Message> ReadReceivedEInvoice(const std::filesystem::path& file,
                                            ReceivedEInvoice& out) {
    const std::string name = file.filename().string();
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) return Refusal(name, "nu poate fi citit!");
    if (size > kEInvoiceMaxBytes)
        return Refusal(name, "este prea mare (peste " +
                                 std::to_string(kEInvoiceMaxBytes / (1024 * 1024)) + " MB)!");
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) return Refusal(name, "nu poate fi citit!");
    if (bytes.starts_with("PK\x03\x04") || bytes.starts_with("PK\x05\x06")) {
        std::string xml, xmlName;
        if (auto problem = EInvoiceXmlFromZip(bytes, name, xml, xmlName)) return problem;
        return ParseReceivedEInvoice(xml, name + " (" + xmlName + ")", out);
    }
    return ParseReceivedEInvoice(bytes, name, out);
}

}  // namespace tvx::core
