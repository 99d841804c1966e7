// The incoming invoice editor (ui/purchases): its controls and layout, the reactions that hand
// each change to core::IncomingInvoiceEditor and copy back what it computed, and the save.
#include "ui/purchases/TFactInAddF.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/common/Checks.h"
#include "core/common/Settings.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using Editor = core::IncomingInvoiceEditor;

TFactInAddF::TFactInAddF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TFactInAddF", "Factura de intrare");
    setWindowTitle(Editor::kAddTitle);
    BuildControls();
    BuildLayout();
    ConnectReactions();
    // Enter on "Total valoare cu TVA" saves.
    EnterEscFilter::install(this, MemoBut, TotalCuTva);
}

void TFactInAddF::BuildControls() {
    Titlu = TitleLine(this, "banner");
    Furnizor = ChoiceBox(this, Editor::kSupplierField, "FURNIZOR", 32);
    DocJus = ChoiceBox(this, Editor::kKindField, "Document justificativ", 16);
    SeriaNr = TextBox(this, Editor::kNumberField, "Seria si Numarul", 18, true);
    DataIn = DateBox(this, Editor::kDateField, "Din data");
    DataScad = DateBox(this, Editor::kDueDateField, "Scadenta la");
    Cont = TextBox(this, Editor::kAccountField, "Cont", core::kTypedIbanLength, true);
    Banca = TextBox(this, "Banca", "Banca", 24, false);
    ConfigureDisplayBox(Banca);
    CodFiscal = TextBox(this, Editor::kFiscalCodeField, "Cod Fiscal", 15, true);
    TvaProc = NumberBox(this, Editor::kVatField, "TVA practicat %", 3, 0, false);
    TotalFaraTva = NumberBox(this, Editor::kNetField, "Total valoare fara TVA", 7, 2, true);
    TotalCuTva = NumberBox(this, Editor::kGrossField, "Total valoare cu TVA", 7, 2, true);
    AutoCalc = new QToolButton(this);
    NameControl(AutoCalc, "AutoCalc", "Autocalculeaza totalul.");
    AutoCalc->setText("=");
    AutoCalc->setToolTip("Autocalculeaza totalul.");
    AutoCalc->setCheckable(true);
    AutoCalc->setChecked(true);
    AutoCalc->setFocusPolicy(Qt::NoFocus);  // a speed button: Enter moves from total to total
    MemoBut = MakeButton("MemoBut", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);
}

void TFactInAddF::BuildLayout() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow("FURNIZOR", Furnizor);
    form->addRow("Document justificativ", DocJus);
    form->addRow("Seria si Numarul", SeriaNr);
    auto* dates = new QHBoxLayout;
    dates->addWidget(DataIn);
    dates->addSpacing(12);
    dates->addWidget(new QLabel("Scadenta la", this));
    dates->addWidget(DataScad);
    dates->addStretch();
    form->addRow("Din data", dates);
    form->addRow("Cont", Cont);
    form->addRow("Banca", Banca);
    form->addRow("Cod Fiscal", CodFiscal);
    auto* vat = new QHBoxLayout;
    vat->addWidget(TvaProc);
    vat->addWidget(new QLabel("%", this));
    vat->addStretch();
    form->addRow("TVA practicat", vat);
    auto* net = new QHBoxLayout;
    net->addWidget(TotalFaraTva);
    net->addStretch();
    form->addRow("Total valoare fara TVA", net);
    auto* gross = new QHBoxLayout;
    gross->addWidget(TotalCuTva);
    gross->addWidget(AutoCalc);
    gross->addStretch();
    form->addRow("Total valoare cu TVA", gross);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(MemoBut, Renunt));

    for (QComboBox* choice : {Furnizor, DocJus})
        choice->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    TvaProc->setMaximumWidth(TvaProc->fontMetrics().horizontalAdvance("00000") + 16);
    for (QLineEdit* box : {TotalFaraTva, TotalCuTva})
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance("-0000000.0000") + 16);
    resize(560, 440);
}

void TFactInAddF::ConnectReactions() {
    // A choice from the list (or the completer) proposes; typing alone does not.
    connect(Furnizor, &QComboBox::activated, this, [this] { SupplierChosen(); });
    connect(Cont, &QLineEdit::textChanged, this, [this] { AccountChanged(); });
    connect(DataIn, &QDateEdit::dateChanged, this, [this] { DateChanged(); });
    connect(TotalFaraTva, &QLineEdit::textChanged, this, [this] { NetTotalChanged(); });
    connect(TotalCuTva, &QLineEdit::textChanged, this, [this] { GrossTotalChanged(); });
    connect(TvaProc, &QLineEdit::textChanged, this, [this] { VatChanged(); });
    connect(AutoCalc, &QToolButton::toggled, this, [this](bool down) {
        if (editor_) editor_->autoCalc = down;
    });
    connect(MemoBut, &QPushButton::clicked, this, [this] { MemoButClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
}

void TFactInAddF::Bind(tables::Database& db) {
    if (editor_ && boundDb_ == &db) return;
    const bool autoCalc = editor_ ? editor_->autoCalc : AutoCalc->isChecked();
    editor_.emplace(db);
    editor_->autoCalc = autoCalc;
    boundDb_ = &db;
}

bool TFactInAddF::NewIncomingDocument(const core::Settings& settings, tables::Date today) {
    if (!editor_) return false;
    if (!Guarded([&] { editor_->startNew(settings, today); })) return false;
    return Run();
}

bool TFactInAddF::EditIncomingDocument() {
    if (!editor_) return false;
    return Run();
}

bool TFactInAddF::Run() {
    setWindowTitle(editor_->title());
    Titlu->setText(editor_->title());
    ShowFields();
    Furnizor->setFocus();
    return exec() == QDialog::Accepted;
}

void TFactInAddF::ShowFields() {
    const Editor& e = *editor_;
    for (auto [box, items] : {std::pair{Furnizor, &e.suppliers()}, std::pair{DocJus, &e.kinds()}}) {
        const QSignalBlocker quiet(box);
        box->clear();
        for (const std::string& item : *items) box->addItem(Text(item));
        box->setCurrentIndex(-1);
    }
    Put(Furnizor, e.furnizor);
    Put(DocJus, e.numeFact);
    Put(SeriaNr, e.seriaNr);
    Put(DataIn, e.dataIn);
    Put(DataScad, e.dataScad);
    Put(Cont, e.cont);
    Put(Banca, e.banca);
    Put(CodFiscal, e.cui);
    Put(TvaProc, e.tvaProc);
    Put(TotalFaraTva, e.totalFaraTva);
    Put(TotalCuTva, e.totalCuTva);
    const QSignalBlocker quiet(AutoCalc);
    AutoCalc->setChecked(e.autoCalc);
}

void TFactInAddF::ReadFields() {
    Editor& e = *editor_;
    e.furnizor = Furnizor->currentText().toStdString();
    e.numeFact = DocJus->currentText().toStdString();
    e.seriaNr = SeriaNr->text().toStdString();
    e.dataIn = FromQDate(DataIn->date());
    e.dataScad = FromQDate(DataScad->date());
    e.cont = Cont->text().toStdString();
    e.cui = CodFiscal->text().toStdString();
    e.tvaProc = TvaProc->text().toStdString();
    e.totalFaraTva = TotalFaraTva->text().toStdString();
    e.totalCuTva = TotalCuTva->text().toStdString();
    e.autoCalc = AutoCalc->isChecked();
}

void TFactInAddF::SupplierChosen() {
    if (!editor_) return;
    ReadFields();
    editor_->supplierChosen();
    Put(Cont, editor_->cont);
    Put(Banca, editor_->banca);
    Put(TvaProc, editor_->tvaProc);
    Put(CodFiscal, editor_->cui);
}

void TFactInAddF::AccountChanged() {
    if (!editor_) return;
    editor_->cont = Cont->text().toStdString();
    editor_->accountChanged();
    Put(Banca, editor_->banca);
}

void TFactInAddF::DateChanged() {
    if (!editor_) return;
    editor_->dataIn = FromQDate(DataIn->date());
    editor_->dateChanged();
    Put(DataScad, editor_->dataScad);
}

// The net total gives the gross one; the gross total and the VAT give the net one.
void TFactInAddF::NetTotalChanged() {
    if (!editor_) return;
    ReadFields();
    editor_->netTotalChanged();
    Put(TotalCuTva, editor_->totalCuTva);
}

void TFactInAddF::GrossTotalChanged() {
    if (!editor_) return;
    ReadFields();
    editor_->grossTotalChanged();
    Put(TotalFaraTva, editor_->totalFaraTva);
}

void TFactInAddF::VatChanged() {
    if (!editor_) return;
    ReadFields();
    editor_->vatChanged();
    Put(TotalFaraTva, editor_->totalFaraTva);
}

void TFactInAddF::MemoButClick() {
    if (!editor_) return;
    ReadFields();
    const auto problem = editor_->check();
    // The check normalises what it reads (cleaned texts, the VAT and totals as numbers).
    ShowFields();
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui
