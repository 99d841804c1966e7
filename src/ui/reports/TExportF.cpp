// The export window: choices, file dialog, viewing, clipboard and progress.
#include "ui/reports/TExportF.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Progress.h"

namespace tvx::ui {

namespace {

TExportF::FileHook& FileHookSlot() {
    static TExportF::FileHook hook;
    return hook;
}

TExportF::ViewHook& ViewHookSlot() {
    static TExportF::ViewHook hook;
    return hook;
}

QString AskFile(QWidget* parent, const core::ExportFormatInfo& format, const QString& extension) {
    if (FileHookSlot()) return FileHookSlot()(parent, format, extension);
    const QString filter = QString("%1 (*%2)").arg(format.typeName, extension);
    QString file = QFileDialog::getSaveFileName(parent, core::kExportCaption, QString(), filter);
    if (!file.isEmpty() && !file.endsWith(extension, Qt::CaseInsensitive)) file += extension;
    return file;
}

void View(const QString& file) {
    if (ViewHookSlot()) {
        ViewHookSlot()(file);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace

TExportF::TExportF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TExportF", core::kExportCaption);
    setWindowTitle(core::kExportCaption);
    auto* label = new QLabel("Formatul e&xportat:", this);
    Formatul = new QComboBox(this);
    NameControl(Formatul, "Formatul", "Formatul exportat");
    label->setBuddy(Formatul);
    for (const auto& format : core::ExportFormats()) Formatul->addItem(format.typeName);
    InFisier = new QRadioButton("Export &in fisier", this);
    NameControl(InFisier, "InFisier", "Export in fisier");
    Vizualizare = new QRadioButton("&Numai vizualizare", this);
    NameControl(Vizualizare, "Vizualizare", "Numai vizualizare");
    Vizualizare->setChecked(true);
    ExportBut = MakeButton("ExportBut", "&Export", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(Formatul);
    layout->addWidget(InFisier);
    layout->addWidget(Vizualizare);
    layout->addLayout(ButtonRow(ExportBut, Renunt));
    connect(ExportBut, &QPushButton::clicked, this, [this] { ExportClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this, ExportBut);
}

bool TExportF::Exporta(const tables::ResultSet& rows, const core::ExportOptions& options) {
    rows_ = &rows;
    options_ = options;
    Formatul->setFocus();
    const bool done = exec() == QDialog::Accepted;
    rows_ = nullptr;
    return done;
}

void TExportF::ExportClick() {
    const core::ExportFormat format = core::ExportFormats().at(Formatul->currentIndex()).format;
    if (Run(*rows_, format, InFisier->isChecked(), options_, this)) accept();
}

bool TExportF::Run(const tables::ResultSet& rows, core::ExportFormat format, bool toFile,
                   const core::ExportOptions& options, QWidget* parent) {
    if (format == core::ExportFormat::Clipboard) {
        QApplication::clipboard()->setText(
            QString::fromStdString(core::ClipboardText(rows, options)));
        Mesaj("Informatie", core::kClipboardDone, kButtonOK, kKindInformation);
        return true;
    }
    QString target;
    if (toFile) {
        const QString extension = QString::fromStdString(core::ExportExtension(format));
        target = AskFile(parent, core::ExportFormatOf(format), extension);
        if (target.isEmpty()) return false;
    }
    TContor& progress = TContor::instance();
    core::ExportOptions withProgress = options;
    withProgress.progress = [&progress](size_t done, size_t total) {
        // A step every hundredth of the rows keeps the repaints few.
        if (total && (done % std::max<size_t>(total / 100, 1) == 0 || done == total))
            progress.setPosition(static_cast<int>(done * 100 / total));
    };
    progress.setText(core::kExportProgressText);
    progress.setMaximum(100);
    progress.Arata(parent);
    std::filesystem::path written;
    const bool done = Guarded([&] {
        try {
            if (toFile) {
                written = target.toStdString();
                core::ExportToFile(rows, format, withProgress, written);
            } else {
                written = core::ExportForViewing(rows, format, withProgress,
                                                 QDir::tempPath().toStdString());
            }
        } catch (...) {
            progress.Distruge(parent);
            throw;
        }
    });
    if (!done) return false;
    progress.Distruge(parent);
    if (!toFile && !written.empty()) View(QString::fromStdString(written.string()));
    return !written.empty();
}

bool TExportF::ViewWorkbook(const tables::ResultSet& rows, const core::ExportOptions& options,
                            QWidget* parent) {
    return Run(rows, core::ExportFormat::Excel, false, options, parent);
}

void TExportF::setFileHook(FileHook hook) {
    FileHookSlot() = std::move(hook);
}

void TExportF::setViewHook(ViewHook hook) {
    ViewHookSlot() = std::move(hook);
}

}  // namespace tvx::ui
