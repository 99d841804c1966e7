// The commands of the window "Note de receptie" (ui/stock): opening and reopening the notes and
// lines queries, the search filter, following the current note (its header, totals and the
// cashier's lock), and the note and line commands, each handing its checks and statements to
// core/stock. An engine error never leaves a command: it is shown in the message window.
#include "ui/stock/TNIRF.h"

#include <QEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/stock/NirHeader.h"
#include "core/stock/NirLineForm.h"
#include "core/stock/NirWorkbook.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"
#include "ui/stock/TAddNIRF.h"
#include "ui/stock/TNIRProdF.h"

namespace tvx::ui {

namespace {

QString Amount(const std::optional<tables::Decimal>& x) {
    return x ? Text(x->rounded(2).toString()) : QString();
}

std::vector<GridColumn> NoteColumns() {
    return {{"NRNIR", "Nr.", "0"},
            {"DATANIR", "Din Data", "dd.MM.yyyy"},
            {"FURNIZOR", "Furnizor", {}},
            {"NUMEFACT", "Document de intrare", {}},
            {"SERIENR", "Seria si Numarul", {}},
            {"DATAFACT", "Din Data", "dd.MM.yyyy"},
            {"TVAPROC", "TVA %", "0"}};
}

// The two quantities stand under their common title "Cantitate".
std::vector<GridColumn> LineColumns() {
    return {{"PRODUS", "Produs", {}},
            {"UM", "UM", {}},
            {"CANTF", "Cantitate\ndupa factura", "0.00"},
            {"CANTR", "Cantitate\nla receptie", "0.00"},
            {"PRETU", "Pret\nfurnizor", "0.00"},
            {"VALOARE", "Valoare\nfurnizor", "0.00"},
            {"VALTVA", "TVA\nfurnizor", "0.00"},
            {"TOTALF", "Total valoare\nfacturata", "0.00"},
            {"PRETA", "Pret\ncu adaos", "0.00"},
            {"VALA", "Valoarea la\npret cu adaos", "0.00"},
            {"PRETAT", "Pret cu adaos\nsi TVA", "0.00"},
            {"VALAT", "Valoare la pret\ncu adaos si TVA", "0.00"},
            {"ADAOS", "Adaos %", "0.00"},
            {"GESTIUNE", "Gestiune", {}},
            {"CODBARE", "Cod produs", {}},
            {"CATEG", "Categoria", {}},
            {"GARANTIE", "Garantie pana\nla data", "dd.MM.yyyy"},
            {"OBS", "Observatii", {}}};
}

}  // namespace

TNIRF::TNIRF(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TNIRF", "Note de receptie");
    setWindowTitle("Note de receptie");
    BuildControls();
    BuildLayout();
    ConnectCommands();
    // Enter only moves on here; on the lines grid it modifies the line.
    EnterEscFilter::install(this);
    ProdGrid->installEventFilter(this);  // after the shared filter, so it sees Enter first
}

TNIRF::~TNIRF() {
    CloseQueries();
}

void TNIRF::setAdministrationOpener(std::function<void()> open) {
    administrationOpener_ = std::move(open);
}

void TNIRF::ConnectCommands() {
    connect(NirGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!reloading_) NoteChanged();
    });
    connect(CautFurnizor, &QLineEdit::textChanged, this, [this] { SearchChanged(); });
    connect(CautNumar, &QLineEdit::textChanged, this, [this] { SearchChanged(); });
    connect(AddNir, &QPushButton::clicked, this, [this] { AddNirClick(); });
    connect(EditNir, &QPushButton::clicked, this, [this] { EditNirClick(); });
    connect(DelNir, &QPushButton::clicked, this, [this] { DelNirClick(); });
    connect(PrintNir, &QPushButton::clicked, this, [this] { PrintNirClick(); });
    connect(AddProd, &QPushButton::clicked, this, [this] { AddProdClick(); });
    connect(EditProd, &QPushButton::clicked, this, [this] { EditProdClick(); });
    connect(DelProd, &QPushButton::clicked, this, [this] { DelProdClick(); });
    connect(ProdGrid, &QTableView::doubleClicked, this, [this] { EditProdClick(); });
}

bool TNIRF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ProdGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditProdClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Queries ----

void TNIRF::OpenNirList() {
    for (QPushButton* button : {AddProd, EditProd, DelProd}) button->setEnabled(true);
    Reopen(std::nullopt, std::nullopt);
    NirGrid->setFocus();
    exec();
    CloseQueries();
}

void TNIRF::Reopen(std::optional<long long> idNir, std::optional<long long> idProd) {
    reloading_ = true;
    const bool opened = Guarded([&] {
        tables::Database& db = session_.db();
        auto lines = std::make_unique<tables::ResultSet>(core::QueryNirLines(db));
        auto notes = std::make_unique<tables::ResultSet>(core::QueryNirNotes(db));
        notes->setFilter(core::NirNotesFilter(Std(CautFurnizor->text()),
                                              Number(CautNumar->text()).toLongLong()));
        if (!idNir || !notes->locate("IDNIR", tables::Value(*idNir))) notes->last();
        lineModel_->setResultSet(nullptr);
        noteModel_->setResultSet(notes.get(), NoteColumns());
        NirGrid->resizeColumnsToContents();
        lines_ = std::move(lines);
        notes_ = std::move(notes);
    });
    if (!opened) CloseQueries();
    reloading_ = false;
    NoteChanged(idProd);
}

void TNIRF::CloseQueries() {
    noteModel_->setResultSet(nullptr);
    lineModel_->setResultSet(nullptr);
    notes_.reset();
    lines_.reset();
}

void TNIRF::SearchChanged() {
    if (!notes_) return;
    const std::optional<long long> current = CurrentNoteId();
    reloading_ = true;
    Guarded([&] {
        notes_->setFilter(core::NirNotesFilter(Std(CautFurnizor->text()),
                                               Number(CautNumar->text()).toLongLong()));
        if (current) notes_->locate("IDNIR", tables::Value(*current));
    });
    noteModel_->setResultSet(notes_.get(), NoteColumns());
    reloading_ = false;
    NoteChanged();
}

std::optional<long long> TNIRF::CurrentNoteId() const {
    if (!notes_ || notes_->eof()) return std::nullopt;
    return notes_->asNumber("IDNIR").toLongLong();
}

std::optional<core::NirNote> TNIRF::CurrentNote() const {
    const std::optional<long long> id = CurrentNoteId();
    std::optional<core::NirNote> note;
    if (id) Guarded([&] { note = core::ReadNirNote(session_.db(), *id); });
    return note;
}

std::optional<core::NirLineRow> TNIRF::CurrentLine() const {
    if (!lines_ || lines_->eof()) return std::nullopt;
    const long long id = lines_->asNumber("IDPROD").toLongLong();
    std::optional<core::NirLineRow> line;
    Guarded([&] { line = core::ReadNirLine(session_.db(), id); });
    return line;
}

void TNIRF::NoteChanged(std::optional<long long> idProd) {
    const std::optional<core::NirNote> note = CurrentNote();
    if (lines_) {
        Guarded([&] {
            lines_->setFilter(
                core::NirLinesFilter(note ? std::optional(note->idNir) : std::nullopt));
            if (!idProd || !lines_->locate("IDPROD", tables::Value(*idProd))) {
                if (idProd) lines_->last();  // the line asked for is gone: the note's last
            }
        });
        lineModel_->setResultSet(lines_.get(), LineColumns());
        ProdGrid->resizeColumnsToContents();
    }
    ShowNote(note);
}

void TNIRF::ShowNote(const std::optional<core::NirNote>& note) {
    auto show = [](QLabel* label, const std::string& text) { label->setText(Text(text)); };
    show(NrNirText, note ? std::to_string(note->nrNir) : std::string());
    show(DataNirText, note ? note->dataNir.toString() : std::string());
    show(FurnizorText, note ? note->furnizor : std::string());
    show(DocText, note ? note->numeFact : std::string());
    show(SerieText, note ? note->serieNr : std::string());
    show(DataFactText, note && note->dataFact ? note->dataFact->toString() : std::string());
    show(DelegatText, note ? note->delegat : std::string());
    show(ReceptioText, note ? note->receptio : std::string());
    show(GestioText, note ? note->gestio : std::string());
    VmfText->setText(note ? Amount(note->vmf) : QString());
    VafText->setText(note ? Amount(note->vaf) : QString());
    VacText->setText(note ? Amount(note->vac) : QString());
    VtnText->setText(note ? Amount(note->vtn) : QString());
    TotalText->setText(note ? Amount(note->total) : QString());
    const bool locked = note && core::NirNoteLocked(session_.grade, note->listat);
    for (QPushButton* button : {AddProd, EditProd, DelProd}) button->setEnabled(!locked);
}

// ---- Notes ----

TAddNIRF& TNIRF::HeaderDialog() {
    if (!headerDialog_) headerDialog_ = new TAddNIRF(session_, this);
    return *headerDialog_;
}

void TNIRF::AddNirClick() {
    const std::optional<long long> id = HeaderDialog().NewHeader();
    if (id) Reopen(id, std::nullopt);
}

void TNIRF::EditNirClick() {
    const std::optional<core::NirNote> note = CurrentNote();
    if (auto problem = core::NirHeaderForm::ModifyProblem(note)) {
        ShowProblem(*problem, this);
        return;
    }
    if (HeaderDialog().EditHeader(*note)) Reopen(note->idNir, std::nullopt);
}

void TNIRF::DelNirClick() {
    const std::optional<core::NirNote> note = CurrentNote();
    if (auto problem = core::DeleteNirNoteProblem(note)) {
        ShowProblem(*problem, this);
        return;
    }
    if (auto refusal = core::DeleteNirNoteRefusal(*note, session_.grade)) {
        Mesaj(*refusal);
        return;
    }
    if (!Confirmed(core::DeleteNirNoteQuestion(*note))) return;
    Guarded([&] { core::DeleteNirNote(session_.db(), note->idNir, session_.grade); });
    Reopen(std::nullopt, std::nullopt);
}

// The note into the NIR workbook, shown; counted as printed only once it was written.
void TNIRF::PrintNirClick() {
    const std::optional<core::NirNote> note = CurrentNote();
    if (auto problem = core::PrintNirNoteProblem(note)) {
        ShowProblem(*problem, this);
        return;
    }
    core::WorkbookResult result;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ran = Guarded([&] {
        result = core::PrintNirNote(session_.db(), session_.dataDir(), session_.programFolder(),
                                    session_.profile.denumire, note->idNir, true);
    });
    QGuiApplication::restoreOverrideCursor();
    if (ran && !result.written) ShowError(Text(result.problem));
    Reopen(note->idNir, std::nullopt);
}

// ---- Lines ----

TNIRProdF& TNIRF::LineDialog() {
    if (!lineDialog_) lineDialog_ = new TNIRProdF(session_, this);
    return *lineDialog_;
}

void TNIRF::AddProdClick() {
    const std::optional<core::NirNote> note = CurrentNote();
    if (auto problem = core::AddNirLineProblem(note)) {
        ShowProblem(*problem, this);
        return;
    }
    if (auto missing = core::NirLineForm::MissingLocations(session_.locations.names())) {
        if (Mesaj(*missing, kButtonDa | kButtonNu) == kAnswerDa && administrationOpener_)
            administrationOpener_();
        return;
    }
    TNIRProdF& dialog = LineDialog();
    core::NirLineForm& form = dialog.form();
    form.setVat(note->tvaProc, session_.profile.vatPayer());
    if (!Guarded([&] {
            form.resetForAdd(session_.settings(), session_.locations.names(), core::Today());
        }))
        return;
    if (!dialog.Edit()) return;
    long long idProd = 0;
    if (Guarded([&] {
            idProd = core::AddNirLine(session_.db(), session_.settings(), note->idNir, form.toRow(),
                                      session_.grade);
        }))
        Reopen(note->idNir, idProd);
}

void TNIRF::EditProdClick() {
    const std::optional<core::NirNote> note = CurrentNote();
    const std::optional<core::NirLineRow> line = CurrentLine();
    if (auto problem = core::ModifyNirLineProblem(note, line)) {
        ShowProblem(*problem, this);
        return;
    }
    // Double-click and Enter reach here too: the lock holds as for the button.
    if (!EditProd->isEnabled()) return;
    TNIRProdF& dialog = LineDialog();
    core::NirLineForm& form = dialog.form();
    form.setVat(note->tvaProc, session_.profile.vatPayer());
    if (!Guarded([&] {
            form.fillForEdit(*line, session_.settings(), session_.locations.names(), core::Today());
        }))
        return;
    if (!dialog.Edit()) return;
    Guarded([&] {
        core::ModifyNirLine(session_.db(), session_.settings(), line->idProd, form.toRow(),
                            session_.grade);
    });
    Reopen(note->idNir, line->idProd);
}

void TNIRF::DelProdClick() {
    const std::optional<core::NirNote> note = CurrentNote();
    const std::optional<core::NirLineRow> line = CurrentLine();
    if (auto problem = core::DeleteNirLineProblem(line)) {
        ShowProblem(*problem, this);
        return;
    }
    if (!Confirmed(core::DeleteNirLineQuestion(*line))) return;
    Guarded([&] { core::DeleteNirLine(session_.db(), line->idProd, session_.grade); });
    // Positioned on the note's last line: an id no line has any more.
    Reopen(note ? std::optional(note->idNir) : std::nullopt, line->idProd);
}

}  // namespace tvx::ui
