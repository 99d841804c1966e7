// The printed invoice (ui/printing): the layout LFactura2 filled for one stored invoice. The
// bound label texts become report parameters named after the labels (a layout label named
// "LMySocCUI2" prints "{LMySocCUI}"); the invoice body comes from the work table Fact.dbf,
// built for the report and deleted once the pages are laid out.
#pragma once

#include <QImage>
#include <optional>

#include "core/reports/PrintedDocuments.h"
#include "printing/ReportPaginator.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {
class CompanyProfile;
}

namespace tvx::ui {

inline constexpr const char* kInvoiceLayoutName = "LFactura2";

struct InvoicePrintOptions {
    // The receipt printed under the invoice (band ChitJos): the ChitOut row, nullopt for none.
    std::optional<long long> idChit;
    // The stamp places show this picture; a null image hides them.
    QImage stamp;
};

// The three totals of the invoice, "0.00".
struct InvoiceTotals {
    std::string value, vat, toPay;
};

// The inputs every document of the invoice labels shares (invoice and receipt page): each bound
// label text as the parameter named after its label, the document and receipt titles, the
// telephone line, and the stamp picture (none for a null image).
printing::ReportInputs LabelInputs(const core::DocumentLabels& labels, const QImage& stamp);

// The report inputs for the bound labels: titles, telephone, totals, the VAT marks after the
// company profile, the stamp, and the receipt band hidden unless the labels carry a receipt.
printing::ReportInputs InvoiceInputs(const core::DocumentLabels& labels,
                                     const core::CompanyProfile& company,
                                     const InvoiceTotals& totals, const QImage& stamp);

// Lays invoice `idFacto` out: binds the labels, builds Fact.dbf with its closing rows, reads
// it as the detail rows and deletes it again (also when a step fails). Throws EngineError.
printing::LaidOutReport PrepareInvoiceReport(tables::Database& db,
                                             const core::CompanyProfile& company, long long idFacto,
                                             const InvoicePrintOptions& options);

// Stamp.jpg of the data directory, a null image when absent or unreadable.
QImage LoadStampPicture(const tables::Database& db);

}  // namespace tvx::ui
