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
    printing::LaidOutReport report =
        printing::paginate(layout, nullptr, LabelInputs(labels, stamp));
    report.documentName = "Chitanta " + std::to_string(idChit);
    for (const core::BoundLabel& label : labels.rows)
        if (label.label == "LChitSeriaNr" && label.text)
            report.documentName = "Chitanta " + *label.text;
    return report;
}

}  // namespace tvx::ui
