// Printing from "Facturi de iesire - Vanzari": the invoice, with its receipt under it for
// "Fact.+chitanta", for the current document (in preview or at once) or, always at once, for
// every selected document in turn; the current cash receipt alone on its page ("Chitanta"); and
// the work estimate with its service order ("Listeaza deviz"). A document counts as printed
// (LISTARI) only when its invoice really started coming out; the receipt page and the estimate
// are not counted. An engine error is shown and leaves the counter alone.
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <vector>

#include "core/app/Session.h"
#include "core/reports/Estimate.h"
#include "core/sales/InvoiceList.h"
#include "printing/ReportOutput.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Progress.h"
#include "ui/common/ShowProblem.h"
#include "ui/printing/EstimateReport.h"
#include "ui/printing/InvoiceReport.h"
#include "ui/printing/ReceiptReport.h"
#include "ui/printing/TPreview.h"
#include "ui/sales/TFactOutF.h"

namespace tvx::ui {

namespace {

constexpr const char* kNoCopies = "Nu ati specificat numarul de exemplare!";
constexpr const char* kPrintProgress = "Listare...";
constexpr const char* kCashReceipt = "CHITANTA";
constexpr const char* kNoReceipt = "Alegeti mai intai o chitanta!";

}  // namespace

void TFactOutF::setPrintHook(PrintHook hook) {
    printHook_ = std::move(hook);
}

void TFactOutF::setServiceOrderEditor(ServiceOrderEditor edit) {
    orderEditor_ = std::move(edit);
}

void TFactOutF::ComandaButClick() {
    const std::optional<long long> current = CurrentDocument();
    if (!session_ || !current || !orderEditor_) return;
    core::Session& s = *session_;
    core::EstimateHeader header;
    if (!Guarded([&] { header = core::EstimateHeaderFor(s.db(), s.profile, *current); })) return;
    const std::optional<core::ServiceOrder> order = orderEditor_(*current);
    if (!order) return;
    core::SetServiceOrder(header, *order);
    printing::LaidOutReport report;
    if (!Guarded([&] { report = PrepareEstimateReport(s.db(), header, *current); })) return;
    TPreview::ShowPreview(report, {}, this);
}

void TFactOutF::ListFactClick(bool withReceipt) {
    const std::optional<long long> current = CurrentDocument();
    if (!session_ || !current) return;
    const int copies = NrEx->text().trimmed().toInt();
    if (copies < 1) {
        ShowProblem(kNoCopies, NrEx);
        return;
    }
    const std::optional<core::Receipt> receipt = CurrentReceipt();
    const std::optional<long long> currentChit =
        receipt ? std::optional<long long>(receipt->idChit) : std::nullopt;

    std::vector<int> rows;
    for (const QModelIndex& index : SMDBGrid2->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.size() < 2) {
        PrintInvoice(*current, withReceipt, copies);
    } else {
        const bool preview = PreviewCheck->isChecked();
        PreviewCheck->setChecked(false);
        TContor& progress = TContor::instance();
        progress.Arata(this);
        progress.setText(kPrintProgress);
        progress.setMaximum(static_cast<int>(rows.size()));
        for (const int row : rows) {
            // Each document in turn becomes the current one, with its receipts.
            reloading_ = true;
            documents_->moveTo(static_cast<size_t>(row));
            reloading_ = false;
            if (documents_->eof()) continue;
            const long long id = documents_->asNumber("IDFACTO").toLongLong();
            FxAfterScroll();
            PrintInvoice(id, withReceipt, copies);
            progress.step();
        }
        progress.Distruge(this);
        PreviewCheck->setChecked(preview);
    }
    Reload(current, currentChit);
}

void TFactOutF::PrintInvoice(long long idFacto, bool withReceipt, int copies) {
    core::Session& s = *session_;
    InvoicePrintOptions options;
    if (withReceipt) {
        const std::optional<core::Receipt> receipt = CurrentReceipt();
        if (receipt && receipt->docJus == kCashReceipt) options.idChit = receipt->idChit;
    }
    if (StampCheck->isChecked()) options.stamp = LoadStampPicture(s.db());
    printing::LaidOutReport report;
    if (!Guarded([&] { report = PrepareInvoiceReport(s.db(), s.profile, idFacto, options); }))
        return;
    const auto counted = [&s, idFacto] { Guarded([&] { core::CountPrintout(s.db(), idFacto); }); };
    if (PreviewCheck->isChecked()) {
        // Printed from the preview, the invoice proposes the copies of "Nr.ex." too.
        TPreview::ShowPreview(report, counted, this, copies);
        return;
    }
    printing::ReportJob job(report, counted);
    Guarded([&] {
        if (printHook_)
            printHook_(job, copies);
        else
            job.print(copies);
    });
}

void TFactOutF::ListChitClick() {
    if (!session_) return;
    const std::optional<long long> current = CurrentDocument();
    const std::optional<core::Receipt> receipt = CurrentReceipt();
    if (!current || !receipt || receipt->docJus != kCashReceipt) {
        ShowProblem(kNoReceipt, ListChit);
        return;
    }
    core::Session& s = *session_;
    const QImage stamp = StampCheck->isChecked() ? LoadStampPicture(s.db()) : QImage();
    printing::LaidOutReport report;
    if (!Guarded([&] {
            report = PrepareReceiptReport(s.db(), s.profile, *current, receipt->idChit, stamp);
        }))
        return;
    // The page itself carries the three copies of the receipt: one printout, whatever "Nr.ex.".
    if (PreviewCheck->isChecked()) {
        TPreview::ShowPreview(report, {}, this);
        return;
    }
    printing::ReportJob job(report);
    Guarded([&] {
        if (printHook_)
            printHook_(job, 1);
        else
            job.print(1);
    });
}

}  // namespace tvx::ui
