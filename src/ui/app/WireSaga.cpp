// The export to SAGA from the report menu (ui/app): after the period picker, the core writes
// the three work files in the program folder; the user then chooses a folder, is asked
// before files of the same names there are replaced, and may choose again after a refusal
// or a failed move. The work files are removed once placed, or when the user gives up.
#include "ui/app/WireSaga.h"

#include <QFileDialog>
#include <exception>
#include <filesystem>

#include "core/app/Session.h"
#include "core/exports/SagaExport.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Progress.h"

namespace tvx::ui {

namespace {

std::function<QString(QWidget*)>& folderChooser() {
    static std::function<QString(QWidget*)> choose;
    return choose;
}

QString ChooseFolder(QWidget* parent) {
    if (folderChooser()) return folderChooser()(parent);
    QFileDialog dialog(parent, QString::fromUtf8(core::kSagaFolderTitle));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

std::filesystem::path PathOf(const QString& folder) {
    return std::filesystem::path(folder.toStdString());
}

void ExportToSaga(core::Session& session, QWidget* parent, const ReportRequest& request) {
    const core::SagaPeriod period{request.from, request.to, request.location};
    core::SagaFiles work;
    TContor& progress = TContor::instance();
    progress.Arata(parent);
    progress.setText(QString::fromUtf8(core::kSagaTitle));
    try {
        work = core::WriteSagaWorkFiles(session.db(), session.programFolder(), period);
    } catch (const std::exception& error) {
        progress.Distruge(parent);
        ShowError(QString::fromUtf8(error.what()));
        return;
    }
    progress.Distruge(parent);

    for (;;) {
        const QString chosen = ChooseFolder(parent);
        if (chosen.isEmpty()) break;
        const std::filesystem::path folder = PathOf(chosen);
        const auto existing = core::ExistingSagaFiles(folder, period.from, period.to);
        if (!existing.empty() && !Confirmed(core::SagaReplaceQuestion(existing))) {
            Mesaj(core::kSagaTitle, core::kSagaKeptText, kButtonOK, kKindInformation);
            continue;
        }
        try {
            core::PlaceSagaFiles(work, folder, period.from, period.to, !existing.empty());
        } catch (const std::exception& error) {
            ShowError(QString::fromUtf8(error.what()));
            continue;
        }
        Mesaj(core::kSagaTitle, core::kSagaDoneText, kButtonOK, kKindInformation);
        return;
    }
    core::RemoveSagaFiles(work);
}

}  // namespace

void SetSagaFolderChooser(std::function<QString(QWidget*)> choose) {
    folderChooser() = std::move(choose);
}

void Application::WireSaga() {
    main_->setReportHandler(core::ReportId::SagaExport, [this](const ReportRequest& request) {
        ExportToSaga(session_, main_.get(), request);
    });
}

}  // namespace tvx::ui
