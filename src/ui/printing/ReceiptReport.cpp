// The receipt page: the receipt labels of the invoice bound once and printed in the three
// blocks of LFactura3, a report without data rows.
#include "ui/printing/ReceiptReport.h"

#include "core/reports/PrintedDocuments.h"
#include "printing/LayoutFiles.h"
#include "ui/printing/InvoiceReport.h"

namespace tvx::ui {

printing::LaidOutReport PrepareReceiptReport(tables::Database& db,
                                             const core::CompanyProfile& company, long long idFacto,
                                             long long idChit, const QImage& stamp) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(kReceiptLayoutName);
    const core::DocumentLabels labels = core::BindDocumentLabels(db, company, idFacto, idChit);
    return printing::paginate(layout, nullptr, LabelInputs(labels, stamp));
}

}  // namespace tvx::ui
