// Wiring of the workbook exports (ui/app): how a finished workbook is shown (the desktop's
// program for .xls; nothing when there is no desktop, as in the tests) and the report menu's
// "Jurnal pentru vanzari" > "Facturi".
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include "core/app/Session.h"
#include "core/reports/ExpXLSOLE.h"
#include "core/reports/WorkbookExports.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/common/Mesaj.h"

namespace tvx::ui {

void Application::WireWorkbooks() {
    core::TExpXLSOLE::SetOpener([](const std::filesystem::path& file) {
        if (QGuiApplication::platformName() == "offscreen") return;
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    });
    main_->setReportHandler(
        core::ReportId::SalesJournalInvoices, [this](const ReportRequest& request) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            core::WorkbookResult result;
            try {
                result = core::ExportSalesJournal(session_.db(), session_.programFolder(),
                                                  session_.profile.denumire, request.from,
                                                  request.to, true);
            } catch (const std::exception& error) {
                QGuiApplication::restoreOverrideCursor();
                ShowError(error.what());
                return;
            }
            QGuiApplication::restoreOverrideCursor();
            if (!result.written) ShowError(QString::fromStdString(result.problem));
        });
}

}  // namespace tvx::ui
