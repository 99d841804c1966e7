// A received e-invoice (core/einvoice): the UBL 2.1 Invoice or CreditNote a supplier sends
// through the national e-invoicing system, read into plain values -- supplier, number, dates,
// currency, the lines with their VAT category and allowances, the document's allowances and
// charges, the VAT breakdown and the totals BT-106 to BT-115. The file may be the XML itself
// or the ZIP the national system delivers (the XML beside its signature file).
//
// The reader is built for files from outside: a real XML parser with namespaces honoured,
// no DOCTYPE (so no entity of any kind is declared or expanded), a cap on the file's size,
// on the element depth and count, and for a ZIP no entry whose name climbs out of its folder
// and no entry larger than the cap, counted while inflating. A file refused says why, naming
// the file and, for a missing element, its business term.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::core {

// The title of the import's messages.
constexpr const char* kEInvoiceImportTitle = "Preluare e-Factura";
// The largest file read, XML or ZIP, and the largest XML inflated from a ZIP.
constexpr std::size_t kEInvoiceMaxBytes = 20 * 1024 * 1024;
// The deepest element nesting and the most elements a document may hold.
constexpr int kEInvoiceMaxDepth = 40;
constexpr std::size_t kEInvoiceMaxElements = 500000;

// An allowance (discount) or a charge, of the document or of one line.
struct ReceivedAllowance {
    bool charge = false;
    tables::Decimal amount;  // as written: positive for both
    std::string reason;
    std::string vatCategory;  // document level only
    std::optional<tables::Decimal> vatRate;
};

struct ReceivedLine {
    std::string id;                          // BT-126
    std::string name;                        // BT-153
    tables::Decimal quantity;                // BT-129
    std::string unitCode;                    // BT-130
    tables::Decimal price;                   // BT-146, net price per base quantity
    tables::Decimal baseQuantity;            // BT-149, 1 when absent
    tables::Decimal lineAmount;              // BT-131, after the line's allowances and charges
    std::string vatCategory;                 // BT-151: S, Z, E, AE, O, K, G, L, M
    std::optional<tables::Decimal> vatRate;  // BT-152
    std::vector<ReceivedAllowance> allowances;
};

struct ReceivedVatBreakdown {
    std::string category;
    std::optional<tables::Decimal> rate;
    tables::Decimal taxable, tax;  // BT-116, BT-117
};

struct ReceivedEInvoice {
    bool creditNote = false;              // a CreditNote document, or an Invoice of type 381
    std::string typeCode;                 // BT-3
    std::string number;                   // BT-1
    tables::Date issueDate;               // BT-2
    std::optional<tables::Date> dueDate;  // BT-9
    std::string currency;                 // BT-5
    std::string supplierName;             // BT-27 (BT-28 when absent)
    std::string supplierFiscalCode;       // BT-31, else BT-30, else the party identifier
    std::string supplierIban;             // BT-84 of the first account given
    std::string supplierBank;             // the account's institution name, when given
    std::vector<ReceivedLine> lines;
    std::vector<ReceivedAllowance> allowances;    // BG-20 and BG-21
    std::vector<ReceivedVatBreakdown> vat;        // BG-23
    tables::Decimal lineTotal;                    // BT-106
    tables::Decimal allowanceTotal, chargeTotal;  // BT-107, BT-108 (0 when absent)
    tables::Decimal taxExclusive;                 // BT-109
    tables::Decimal vatTotal;                     // BT-110 (0 when absent)
    tables::Decimal taxInclusive;                 // BT-112
    tables::Decimal prepaid, rounding;            // BT-113, BT-114 (0 when absent)
    tables::Decimal payable;                      // BT-115
};

// Reads the XML text of an e-invoice. Returns the refusal, naming `fileName`, when the text
// is not XML, declares a DOCTYPE, is too large or too deep, is no UBL Invoice or CreditNote,
// lacks a mandatory element or holds a value that is not what its element takes; `out` is
// then unspecified.
std::optional<Message> ParseReceivedEInvoice(std::string_view xml, const std::string& fileName,
                                             ReceivedEInvoice& out);

// The e-invoice XML held in a ZIP: the one entry ending in ".xml" whose name does not start
// with "semnatura_" (the signature). Refused when the archive is damaged or encrypted, an
// entry's name is absolute or climbs out with "..", an entry inflates to more than the cap,
// or there is not exactly one such XML. `xmlName` receives the entry's name.
std::optional<Message> EInvoiceXmlFromZip(std::string_view zip, const std::string& fileName,
                                          std::string& xml, std::string& xmlName);

// A file chosen by the user: a ZIP (by its signature) or the XML itself, size capped.
std::optional<Message> ReadReceivedEInvoice(const std::filesystem::path& file,
                                            ReceivedEInvoice& out);

}  // namespace tvx::core
