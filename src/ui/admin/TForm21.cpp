// The backup window "Salvare - Restaurare" (ui/admin).
#include "ui/admin/TForm21.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "core/admin/Backup.h"
#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/common/ProposedFileNames.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Progress.h"

namespace tvx::ui {

namespace {

namespace fs = std::filesystem;

std::function<QString(QWidget*)> saveChooser;
std::function<QString(QWidget*)> openChooser;

QString ChooseArchive(QWidget* parent, const char* title, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString::fromUtf8(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the window asks its own question
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setNameFilters(FileNameFilters(core::kArchiveFilter));
    dialog.setDefaultSuffix(QString::fromUtf8(core::kArchiveExtension).remove(0, 1));
    if (mode == QFileDialog::AcceptSave)  // a save of the day, named after it
        dialog.selectFile(QString::fromStdString(
            core::DatedFileName("Tarvix", core::Today(), core::kArchiveExtension)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString ChooseSavePath(QWidget* parent) {
    return saveChooser ? saveChooser(parent)
                       : ChooseArchive(parent, core::kSaveDialogTitle, QFileDialog::AcceptSave);
}

QString ChooseOpenPath(QWidget* parent) {
    return openChooser ? openChooser(parent)
                       : ChooseArchive(parent, core::kRestoreDialogTitle, QFileDialog::AcceptOpen);
}

// Runs `work` with the progress window over `window` showing `text`; the bar follows the
// core's reports. Returns the error's message, or nothing when the work succeeded. The
// progress window is gone and `window` enabled again in both cases.
std::optional<QString> WithProgress(QWidget* window, const char* text,
                                    const std::function<void(const core::BackupProgress&)>& work) {
    TContor& contor = TContor::instance();
    contor.setText(QString::fromUtf8(text));
    contor.Arata(window);
    std::optional<QString> failure;
    try {
        work([&contor](int position, int maximum) {
            if (contor.maximum() != maximum) contor.setMaximum(maximum);
            contor.setPosition(position);
        });
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
        if (failure->isEmpty()) failure = "Eroare necunoscuta";
    } catch (...) {
        failure = "Eroare necunoscuta";
    }
    contor.Distruge(window);
    return failure;
}

}  // namespace

void TForm21::setPathChoosers(std::function<QString(QWidget*)> savePath,
                              std::function<QString(QWidget*)> openPath) {
    saveChooser = std::move(savePath);
    openChooser = std::move(openPath);
}

TForm21::TForm21(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TForm21", "Salvare - Restaurare");
    setWindowTitle("Salvare - Restaurare");
    auto* hint = new QLabel(
        "Salvarea pastreaza toate fisierele bazei de date intr-o singura arhiva.\n"
        "Restaurarea inlocuieste datele actuale cu cele din arhiva.",
        this);
    hint->setProperty("role", "hint");
    hint->setAlignment(Qt::AlignCenter);
    SaveBut = MakeButton("SaveBut", "Salveaza baza de date", this);
    RestBut = MakeButton("RestBut", "Restaureaza baza de date", this);
    for (QPushButton* button : {SaveBut, RestBut}) {
        button->setMinimumSize(300, 52);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    SaveBut->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    RestBut->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 24);
    layout->setSpacing(12);
    layout->addWidget(hint);
    layout->addWidget(SaveBut);
    layout->addWidget(RestBut);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(SaveBut, &QPushButton::clicked, this, &TForm21::SaveClick);
    connect(RestBut, &QPushButton::clicked, this, &TForm21::RestClick);
    EnterEscFilter::install(this);  // Enter presses the focused button
}

void TForm21::Open(int grade) {
    RestBut->setEnabled(grade == 0);
    SaveBut->setFocus();
    exec();
}

void TForm21::done(int result) {
    QDir::setCurrent(QString::fromStdU16String(session_.programFolder().u16string()));
    QDialog::done(result);
}

void TForm21::SaveClick() {
    const QString chosen = ChooseSavePath(this);
    if (chosen.isEmpty()) return;
    const fs::path archive(chosen.toStdU16String());
    std::error_code ec;
    // The old archive stays until the new one is complete (SaveArchive renames into place).
    if (fs::exists(archive, ec) &&
        Mesaj(core::ReplaceArchiveQuestion(archive), kButtonDa | kButtonNu) != kAnswerDa)
        return;
    const auto failure = WithProgress(this, core::kSaveProgressText, [&](const auto& progress) {
        core::SaveArchive(session_.db(), archive, progress);
    });
    accept();
    if (failure)
        ShowError(*failure);
    else
        Mesaj(core::SaveDoneNotice(), kButtonOK);
}

void TForm21::RestClick() {
    if (!RestBut->isEnabled()) return;  // grade 0 only
    const QString chosen = ChooseOpenPath(this);
    if (chosen.isEmpty()) return;
    const fs::path archive(chosen.toStdU16String());
    if (const auto problem = core::MissingArchiveProblem(archive)) {
        Mesaj(*problem, kButtonOK);
        return;
    }
    if (Mesaj(core::RestoreQuestion(), kButtonDa | kButtonNu) != kAnswerDa) return;
    const fs::path dataDir = session_.dataDir();
    // The open tables go stale either way: the program ends after this.
    const auto failure = WithProgress(this, core::kRestoreProgressText, [&](const auto& progress) {
        session_.close();
        core::RestoreArchive(dataDir, archive, progress);
    });
    accept();
    if (failure)
        ShowError(*failure);
    else
        Mesaj(core::RestoreDoneNotice(), kButtonOK);
    emit restartNeeded();
}

}  // namespace tvx::ui
