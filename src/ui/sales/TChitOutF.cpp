// The receipt window (ui/sales): controls, layout, the copy of core::ReceiptEntry into the
// fields and back, and "&Memoreaza" through the entry's check and its question about a sum
// above what is left to collect.
#include "ui/sales/TChitOutF.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using Entry = core::ReceiptEntry;
using core::ReceiptMode;

namespace {

constexpr int kTextLimit = 80;  // characters of "REPREZENTAND", line breaks not counted

QLabel* ShownValue(QWidget* parent, const char* name, const QString& label) {
    auto* value = new QLabel(parent);
    NameControl(value, name, label);
    value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return value;
}

}  // namespace

TChitOutF::TChitOutF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TChitOutF", Entry::kTitle);
    setWindowTitle(Entry::kTitle);
    setWindowFlag(Qt::WindowStaysOnTopHint);

    GesText = ShownValue(this, "GesText", "Gestiunea");
    CumpText = ShownValue(this, "CumpText", "CUMPARATOR");
    FactText = ShownValue(this, "FactText", "FACTURA FISCALA");
    RestText = ShownValue(this, "RestText", "REST DE INCASAT");
    RestText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    RB1 = new QRadioButton("cu CHITANTA", this);
    NameControl(RB1, "RB1", "cu CHITANTA");
    RB2 = new QRadioButton("prin VIRAMENT / COMPENSARE :", this);
    NameControl(RB2, "RB2", "prin VIRAMENT / COMPENSARE");
    RB3 = new QRadioButton("cu Bon Fiscal nr.", this);
    NameControl(RB3, "RB3", "cu Bon Fiscal nr.");
    auto* modes = new QButtonGroup(this);
    for (QRadioButton* button : {RB1, RB2, RB3}) modes->addButton(button);

    DocName = new QComboBox(this);
    NameControl(DocName, "DocName", "Numele documentului");
    for (const std::string& name : Entry::InstrumentNames()) DocName->addItem(Text(name));
    NrDoc = NumberBox(this, "NrDoc", "numarul", 10, 0, false);
    NrBon = NumberBox(this, "NrBon", "numarul bonului fiscal", 10, 0, false);
    DinData = DateBox(this, "DinData", "DIN DATA");
    SumaEd = NumberBox(this, Entry::kSumField, "SUMA", 6, 2, true);
    Reprez = new QPlainTextEdit(this);
    NameControl(Reprez, "Reprez", "REPREZENTAND");
    Reprez->setTabChangesFocus(true);
    B11 = MakeButton("B11", "&Memoreaza", this);

    // Layout: the document, the way of collecting, then date, sum and text.
    auto* document = new QFormLayout;
    document->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    document->addRow("Gestiunea", GesText);
    document->addRow("CUMPARATOR", CumpText);
    document->addRow("FACTURA FISCALA", FactText);
    document->addRow("REST DE INCASAT", RestText);

    auto* way = new QGroupBox("MODUL DE INCASARE", this);
    auto* wayGrid = new QGridLayout(way);
    wayGrid->addWidget(RB1, 0, 0, 1, 4);
    wayGrid->addWidget(RB2, 1, 0, 1, 4);
    wayGrid->addWidget(new QLabel("Numele documentului", this), 2, 1);
    wayGrid->addWidget(DocName, 2, 2, 1, 2);
    wayGrid->addWidget(new QLabel("numarul", this), 3, 1);
    wayGrid->addWidget(NrDoc, 3, 2);
    wayGrid->addWidget(RB3, 4, 0, 1, 2);
    wayGrid->addWidget(NrBon, 4, 2);
    wayGrid->setColumnMinimumWidth(0, 24);
    wayGrid->setColumnStretch(3, 1);

    auto* sum = new QHBoxLayout;
    sum->addWidget(SumaEd);
    sum->addWidget(new QLabel("lei", this));
    sum->addStretch();
    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow("DIN DATA", DinData);
    fields->addRow("SUMA", sum);
    fields->addRow("REPREZENTAND", Reprez);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(B11);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(document);
    layout->addWidget(way);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    const int amountWidth = SumaEd->fontMetrics().horizontalAdvance("-000000.00") + 16;
    SumaEd->setMaximumWidth(amountWidth);
    NrDoc->setMaximumWidth(amountWidth + 16);
    NrBon->setMaximumWidth(amountWidth + 16);
    Reprez->setMaximumHeight(Reprez->fontMetrics().height() * 4 + 12);
    resize(520, 480);

    for (QRadioButton* button : {RB1, RB2, RB3})
        connect(button, &QRadioButton::toggled, this, [this] { ModeChanged(); });
    connect(Reprez, &QPlainTextEdit::textChanged, this, [this] { LimitText(); });
    connect(B11, &QPushButton::clicked, this, [this] { B11Click(); });
    // Enter moves on; on "SUMA" it saves.
    EnterEscFilter::install(this, B11, SumaEd);
}

bool TChitOutF::NewReceipt(core::ReceiptEntry& entry) {
    entry_ = &entry;
    setWindowTitle(Text(entry.caption));
    ShowFields();
    SumaEd->setFocus();
    SumaEd->selectAll();
    const bool saved = exec() == QDialog::Accepted;
    entry_ = nullptr;
    return saved;
}

void TChitOutF::ShowFields() {
    GesText->setText(Text(entry_->location));
    CumpText->setText(Text(entry_->buyer));
    FactText->setText(Text(entry_->documentText));
    RestText->setText(Text(entry_->restText));
    RB1->setText(Text(entry_->cashCaption));
    RB1->setAccessibleName(Text(entry_->cashCaption));
    QRadioButton* mode = entry_->mode == ReceiptMode::Transfer        ? RB2
                         : entry_->mode == ReceiptMode::FiscalReceipt ? RB3
                                                                      : RB1;
    mode->setChecked(true);
    DocName->setCurrentIndex(DocName->findText(Text(entry_->instrumentName)));
    Put(NrDoc, entry_->instrumentNumber.toString());
    Put(NrBon, entry_->fiscalNumber.toString());
    Put(DinData, entry_->date);
    Put(SumaEd, entry_->sum.rescaled(2).toString());
    const QSignalBlocker quiet(Reprez);
    Reprez->setPlainText(Text(entry_->text).replace("\r\n", "\n"));
    ModeChanged();
}

void TChitOutF::ReadFields() {
    entry_->mode = RB2->isChecked()   ? ReceiptMode::Transfer
                   : RB3->isChecked() ? ReceiptMode::FiscalReceipt
                                      : ReceiptMode::CashReceipt;
    entry_->instrumentName = Std(DocName->currentText());
    entry_->instrumentNumber = Number(NrDoc->text());
    entry_->fiscalNumber = Number(NrBon->text());
    entry_->date = FromQDate(DinData->date());
    entry_->sum = Number(SumaEd->text());
    entry_->text = Std(Reprez->toPlainText().replace("\n", "\r\n"));
}

// Only the fields of the chosen way take input; Enter then passes over the others.
void TChitOutF::ModeChanged() {
    DocName->setEnabled(RB2->isChecked());
    NrDoc->setEnabled(RB2->isChecked());
    NrBon->setEnabled(RB3->isChecked());
}

void TChitOutF::LimitText() {
    const QString text = Reprez->toPlainText();
    int kept = 0;
    int end = 0;
    for (; end < text.size(); ++end)
        if (text[end] != '\n' && ++kept > kTextLimit) break;
    if (end == text.size()) return;
    const QSignalBlocker quiet(Reprez);
    Reprez->setPlainText(text.left(end));
    Reprez->moveCursor(QTextCursor::End);
}

void TChitOutF::B11Click() {
    if (!entry_) return;
    ReadFields();
    const auto problem = entry_->check();
    ShowFields();  // the numbers come back whole, the sum rounded
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    if (const auto question = entry_->overRestQuestion()) {
        if (Mesaj(*question, kButtonDa | kButtonNu) != kAnswerNu) {
            SumaEd->setFocus();
            return;
        }
    }
    accept();
}

}  // namespace tvx::ui
