// The delivery notes window: the grid over the notes' query, and the print, export and delete
// commands handing their work to core/stock and the delivery note report and export. An
// engine or file error is shown in the message window and the list stays as it was.
#include "ui/sales/TFAvize.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "core/common/Settings.h"
#include "core/stock/DeliveryNotes.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"
#include "ui/printing/DeliveryNoteReport.h"

namespace tvx::ui {

namespace {

std::function<QString(QWidget*)> savePathChooser;

QString ChooseNoteFile(QWidget* parent) {
    if (savePathChooser) return savePathChooser(parent);
    QFileDialog dialog(parent, QString::fromUtf8(core::kNoteSaveTitle));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(FileNameFilters("Aviz insotire marfa|*.avz"));
    dialog.setDefaultSuffix("avz");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

std::vector<GridColumn> NoteColumns() {
    return {{"DOCJUS", "Document justificativ", {}},
            {"NRDOC", "Nr.", "0"},
            {"DINDATA", "Din data", "dd.MM.yyyy"}};
}

}  // namespace

TFAvize::TFAvize(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TFAvize", "Avize de insotire a marfii");
    setWindowTitle("Tarvix");
    NoteGrid = MakeGrid(this, core::kNotesGridField, "Avize de insotire a marfii");
    model_ = new ResultSetModel(this);
    model_->attach(NoteGrid);
    NoteGrid->horizontalHeader()->setStretchLastSection(true);
    BitBtn1 = MakeButton("BitBtn1", "&Listeaza", this);
    BitBtn3 = MakeButton("BitBtn3", "&Sterge aviz", this);
    BitBtn4 = MakeButton("BitBtn4", "&Export in fisier", this);
    Inchide = MakeButton("Inchide", "&Inchide", this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn4);
    buttons->addWidget(BitBtn3);
    buttons->addStretch();
    buttons->addWidget(Inchide);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Banner("Avize de insotire a marfii", this));
    layout->addWidget(NoteGrid, 1);
    layout->addLayout(buttons);
    resize(640, 520);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(Inchide, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this);
}

TFAvize::~TFAvize() {
    model_->setResultSet(nullptr);
}

void TFAvize::setSavePathChooser(std::function<QString(QWidget*)> choose) {
    savePathChooser = std::move(choose);
}

void TFAvize::OpenDeliveryNotes() {
    Reload();
    NoteGrid->setFocus();
    exec();
    model_->setResultSet(nullptr);
    notes_.reset();
}

void TFAvize::Reload() {
    Guarded([&] {
        auto notes = std::make_unique<tables::ResultSet>(core::QueryDeliveryNotes(session_.db()));
        notes->first();
        model_->setResultSet(notes.get(), NoteColumns());
        notes_ = std::move(notes);
        model_->showCursor();
        NoteGrid->resizeColumnsToContents();
    });
}

std::optional<core::DeliveryNoteKey> TFAvize::CurrentNote() const {
    if (!notes_ || notes_->empty() || notes_->eof()) return std::nullopt;
    const std::optional<tables::Date> date = notes_->asDate("DINDATA");
    if (!date) return std::nullopt;
    return core::DeliveryNoteKey{notes_->asText("DOCJUS"), notes_->asNumber("NRDOC").toLongLong(),
                                 *date};
}

void TFAvize::BitBtn1Click() {
    const auto note = CurrentNote();
    if (const auto problem = core::CheckNoteChosen(note, core::NoteCommand::Print)) {
        ShowProblem(*problem, this);
        return;
    }
    PrintDeliveryNote(session_, *note, this);
}

void TFAvize::BitBtn4Click() {
    const auto note = CurrentNote();
    if (const auto problem = core::CheckNoteChosen(note, core::NoteCommand::Export)) {
        ShowProblem(*problem, this);
        return;
    }
    const QString file = ChooseNoteFile(this);
    if (file.isEmpty()) return;
    const bool written = Guarded([&] {
        core::ExportDeliveryNote(session_.db(), session_.profile, session_.settings().readVatRate(),
                                 std::filesystem::path(file.toStdWString()), *note);
    });
    if (written) Mesaj(core::NoteExported());
}

void TFAvize::BitBtn3Click() {
    const auto note = CurrentNote();
    if (const auto problem = core::CheckNoteChosen(note, core::NoteCommand::Delete)) {
        ShowProblem(*problem, this);
        return;
    }
    if (!Confirmed(core::DeleteNoteQuestion(*note))) return;
    Guarded([&] { core::DeleteDeliveryNote(session_.db(), *note); });
    Reload();
}

}  // namespace tvx::ui
