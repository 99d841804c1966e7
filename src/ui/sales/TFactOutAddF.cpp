// The outgoing invoice editor window (ui/sales): the three modes, the reactions that hand each
// change to core::InvoiceEditor and copy back what it computed, the line buttons with their
// pickers, and "&Memoreaza" with its checks and the posting of the confirmed document.
#include "ui/sales/TFactOutAddF.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimeEdit>

#include "core/app/Session.h"
#include "core/common/Lists.h"
#include "core/workshop/WorkshopLines.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using Editor = core::InvoiceEditor;

namespace {

tables::Date Today() {
    return FromQDate(QDate::currentDate());
}

int Now() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

void Fill(QComboBox* box, const std::vector<std::string>& items) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(-1);
}

// A drop-down list (not editable): the item with that text, or nothing.
void Choose(QComboBox* box, const std::string& text, const std::vector<std::string>& items) {
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(core::SelectListItem(items, text));
}

void PutMemo(QPlainTextEdit* box, const std::string& text) {
    if (box->toPlainText() == Text(text)) return;
    const QSignalBlocker quiet(box);
    box->setPlainText(Text(text));
}

}  // namespace

TFactOutAddF::TFactOutAddF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TFactOutAddF", "Factura de iesire");
    setWindowTitle("Factura de iesire noua");
    BuildControls();
    BuildLayout();
    ConnectReactions();
    // Enter in the operator field saves.
    EnterEscFilter::install(this, B11, OperatorEd);
}

void TFactOutAddF::ConnectReactions() {
    connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
    connect(CumpaBox, &QComboBox::editTextChanged, this, [this] { CumpaBoxChange(); });
    connect(Edit4, &QLineEdit::textChanged, this, [this] { Edit4Change(); });
    connect(AutoCompl, &QCheckBox::toggled, this, [this](bool on) {
        if (editor_) editor_->autoComplete = on;
    });
    connect(AddProd, &QPushButton::clicked, this, [this] { AddProdClick(); });
    connect(AddServ, &QPushButton::clicked, this, [this] { AddServClick(); });
    connect(DelLin, &QPushButton::clicked, this, [this] { DelLinClick(); });
    connect(B11, &QPushButton::clicked, this, [this] { B11Click(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
}

void TFactOutAddF::Bind(core::Session& session) {
    if (editor_ && boundSession_ == &session) return;
    lines_.reset();
    linesModel_->setResultSet(nullptr);
    editor_.emplace(session);
    boundSession_ = &session;
}

// ---- Modes ----

bool TFactOutAddF::newInvoice(const std::string& location,
                              const std::optional<core::PreorderBuyer>& preorder,
                              const PostDocument& post) {
    if (!editor_) return false;
    std::optional<core::Message> refusal;
    if (!Guarded([&] {
            editor_->prepare(location, preorder, Today(), Now());
            refusal = editor_->startNew();
        })) {
        Guarded([&] { editor_->cleanup(); });
        return false;
    }
    if (refusal) {
        Mesaj(*refusal);
        Guarded([&] { editor_->cleanup(); });
        return false;
    }
    post_ = post;
    return Run();
}

bool TFactOutAddF::modifyInvoice(long long idFacto, const PostDocument& post) {
    if (!editor_) return false;
    if (!Guarded([&] { editor_->startModify(idFacto, Today(), Now()); })) return false;
    post_ = post;
    return Run();
}

void TFactOutAddF::viewInvoice(long long idFacto) {
    if (!editor_) return;
    if (!Guarded([&] { editor_->startView(idFacto); })) return;
    post_ = nullptr;
    Run();
}

bool TFactOutAddF::Run() {
    ApplyMode();
    ShowFields(true);
    ShowLines(0);
    ShowTotals();
    DinData->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    // The grid lets go of the lines before their table goes.
    linesModel_->setResultSet(nullptr);
    lines_.reset();
    Guarded([&] { editor_->cleanup(); });
    post_ = nullptr;
    return saved;
}

void TFactOutAddF::ApplyMode() {
    const bool view = editor_->mode() == Editor::Mode::View;
    setWindowTitle(editor_->caption());
    Titlu->setText(editor_->caption());
    GestiuneLbl->setText("Gestiunea : " + Text(editor_->location));
    for (QWidget* panel : {HeaderPanel, BuyerPanel, ShippingPanel, LinesPanel})
        panel->setEnabled(!view);
    ComboBox1->setEnabled(editor_->typeEnabled());
    B11->setVisible(!view);
    Renunt->setText(view ? "INCHIDE" : "RENUNT");
}

// ---- Editor <-> controls ----

void TFactOutAddF::ShowFields(bool lists) {
    const Editor& e = *editor_;
    if (lists) {
        Fill(IbanBox, e.accounts());
        Fill(CumpaBox, e.buyers());
        Fill(ReprezBox, e.representatives());
        Fill(JudBox, Editor::counties());
    }
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(ComboBox1->findText(Text(e.docType)));
    }
    Put(SeriaEd, e.series);
    Put(NrEd, e.number);
    Put(DinData, e.date);
    Put(TermenPl, e.dueDate);
    Put(CumpaBox, e.buyer);
    {
        const QSignalBlocker quiet(AutoCompl);
        AutoCompl->setChecked(e.autoComplete);
    }
    Put(TvaEd, e.vatRate);
    Put(ObsEd, e.obs);
    Put(DataLiv, e.deliveryDate);
    {
        const QSignalBlocker quiet(OraLiv);
        OraLiv->setTime(QTime::fromMSecsSinceStartOfDay(e.deliverySeconds * 1000));
    }
    Put(OperatorEd, e.operatorName);
    ShowBuyer();
}

void TFactOutAddF::ShowBuyer() {
    const Editor& e = *editor_;
    Choose(IbanBox, e.iban, e.accounts());
    Put(RegComEd, e.regCom);
    Put(CuiEd, e.cui);
    PutMemo(AdresaMemo, e.address);
    Put(JudBox, e.county);
    Put(LocEd, e.locality);
    Put(BancaEd, e.bank);
    Put(Edit4, e.account);
    Put(DelegEd, e.delegate);
    Put(ReprezBox, e.representative);
    Put(MijtEd, e.transport);
}

void TFactOutAddF::ShowTotals() {
    TotalVal->setText(Text(editor_->totalValue));
    TotalTva->setText(Text(editor_->totalVat));
    TotalPlata->setText(Text(editor_->totalPay));
}

void TFactOutAddF::ShowLines(long long nrCrt) {
    Guarded([&] {
        auto rows = std::make_unique<tables::ResultSet>(editor_->lines());
        rows->first();
        if (nrCrt > 0) rows->locate("NRCRT", tables::Value(nrCrt));
        linesModel_->setResultSet(rows.get(), LineColumns());
        lines_ = std::move(rows);  // the old lines go once the grid has let go of them
        linesModel_->showCursor();
    });
}

void TFactOutAddF::ReadFields() {
    Editor& e = *editor_;
    e.docType = Std(ComboBox1->currentText());
    e.series = Std(SeriaEd);
    e.number = Std(NrEd);
    e.iban = Std(IbanBox->currentText());
    e.date = FromQDate(DinData->date());
    e.dueDate = FromQDate(TermenPl->date());
    e.buyer = Std(CumpaBox->currentText());
    e.autoComplete = AutoCompl->isChecked();
    e.regCom = Std(RegComEd);
    e.cui = Std(CuiEd);
    e.vatRate = Std(TvaEd);
    e.county = Std(JudBox->currentText());
    e.locality = Std(LocEd);
    e.address = Std(AdresaMemo->toPlainText());
    e.bank = Std(BancaEd);
    e.account = Std(Edit4);
    e.representative = Std(ReprezBox->currentText());
    e.obs = Std(ObsEd);
    e.delegate = Std(DelegEd);
    e.transport = Std(MijtEd);
    e.deliveryDate = FromQDate(DataLiv->date());
    e.deliverySeconds = OraLiv->time().msecsSinceStartOfDay() / 1000;
    e.operatorName = Std(OperatorEd);
}

long long TFactOutAddF::CurrentLine() const {
    if (!lines_ || lines_->empty()) return 0;
    const QModelIndex current = LiniiGrid->currentIndex();
    const size_t row = current.isValid() ? static_cast<size_t>(current.row()) : 0;
    if (row >= lines_->rowCount()) return 0;
    return lines_->at(row, lines_->fieldIndex("NRCRT")).number().toLongLong();
}

// ---- Reactions ----

void TFactOutAddF::ComboBox1Change() {
    if (!editor_) return;
    editor_->docType = Std(ComboBox1->currentText());
    editor_->typeChanged();
    Put(SeriaEd, editor_->series);
    Put(NrEd, editor_->number);
}

// Changes that arrive while the completion fills the fields run once more at its end.
void TFactOutAddF::CumpaBoxChange() {
    if (!editor_) return;
    if (completing_) {
        pending_ = true;
        return;
    }
    completing_ = true;
    do {
        pending_ = false;
        editor_->buyer = Std(CumpaBox->currentText());
        editor_->autoComplete = AutoCompl->isChecked();
        editor_->buyerChanged();
        ShowBuyer();
    } while (pending_);
    completing_ = false;
}

void TFactOutAddF::Edit4Change() {
    if (!editor_) return;
    editor_->account = Std(Edit4);
    editor_->accountChanged();
    Put(BancaEd, editor_->bank);
}

bool TFactOutAddF::RateRefused() {
    const auto problem = editor_->rateProblem();
    if (problem) ShowProblem(*problem, this);
    return problem.has_value();
}

void TFactOutAddF::AddProdClick() {
    if (!editor_ || !productPicker_) return;
    ReadFields();  // the VAT rate shown prices the line
    if (RateRefused()) return;
    const auto pick = productPicker_(editor_->stockTable());
    if (!pick) return;
    long long nrCrt = 0;
    Guarded([&] { nrCrt = editor_->addProduct(*pick); });
    ShowLines(nrCrt);
    ShowTotals();
}

void TFactOutAddF::AddServClick() {
    if (editor_ && editor_->workshop()) {
        AddWorkshopLines();
        return;
    }
    if (!editor_ || !servicePicker_) return;
    ReadFields();
    if (RateRefused()) return;
    const auto pick = servicePicker_();
    if (!pick) return;
    long long nrCrt = 0;
    Guarded([&] { nrCrt = editor_->addService(*pick); });
    ShowLines(nrCrt);
    ShowTotals();
}

// The labour lines of a car-service invoice come from the time norms.
void TFactOutAddF::AddWorkshopLines() {
    if (!timeNorms_) return;
    ReadFields();  // the VAT rate shown prices the lines
    if (RateRefused()) return;
    bool replaced = false;
    Guarded([&] { replaced = core::AddWorkshopLines(*editor_, timeNorms_, Today()); });
    if (!replaced) return;
    ShowLines(0);
    ShowTotals();
}

void TFactOutAddF::DelLinClick() {
    if (!editor_) return;
    std::optional<core::FieldProblem> refusal;
    if (!Guarded([&] { refusal = editor_->deleteRefusal(); })) return;
    if (refusal) {
        ShowProblem(*refusal, this);
        return;
    }
    const long long nrCrt = CurrentLine();
    if (nrCrt <= 0 || !Confirmed(Editor::deleteQuestion(nrCrt))) return;
    Guarded([&] { editor_->deleteLine(nrCrt); });
    ShowLines(nrCrt);
    ShowTotals();
}

void TFactOutAddF::B11Click() {
    if (!editor_) return;
    if (editor_->mode() == Editor::Mode::View) {
        accept();
        return;
    }
    ReadFields();
    core::InvoiceCheck result;
    if (!Guarded([&] { result = editor_->check(Today()); })) return;
    ShowFields(false);  // the checks clean what they read
    if (const auto* problem = std::get_if<core::FieldProblem>(&result)) {
        ShowProblem(*problem, this);
        return;
    }
    if (const auto* message = std::get_if<core::Message>(&result)) {
        Mesaj(*message);
        return;
    }
    core::InvoiceDocument document;
    if (!Guarded([&] {
            editor_->saveSettings();
            document = editor_->document();
        }))
        return;
    // Posting tells the user why it failed; the window stays with everything typed.
    if (post_ && !post_(document)) return;
    accept();
}

}  // namespace tvx::ui
