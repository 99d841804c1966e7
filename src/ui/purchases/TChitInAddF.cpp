// The payment dialog (ui/purchases): controls, layout and the save through the core check.
#include "ui/purchases/TChitInAddF.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using Entry = core::PaymentEntry;

namespace {

QLabel* ShownValue(QWidget* parent, const char* name, const QString& label) {
    auto* value = new QLabel(parent);
    NameControl(value, name, label);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return value;
}

}  // namespace

TChitInAddF::TChitInAddF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TChitInAddF", "Plata factura de intrare");
    setWindowTitle(Entry::kAddTitle);
    Titlu = TitleLine(this, "banner");
    Furnizor = ShownValue(this, "Furnizor", "Furnizor");
    Document = ShownValue(this, "Document", "Document");
    TotalValoare = ShownValue(this, "TotalValoare", "Total valoare");
    RestDePlata = ShownValue(this, "RestDePlata", "Rest de plata");
    SeAchitaCu = ChoiceBox(this, Entry::kKindField, "Se achita cu", 32);
    for (const std::string& kind : Entry::Kinds()) SeAchitaCu->addItem(Text(kind));
    SeriaNr = TextBox(this, Entry::kNumberField, "Seria si numarul", 18, true);
    DinData = DateBox(this, Entry::kDateField, "din data");
    // Signed: the proposed sum is REST, negative once the document was overpaid.
    SumaDe = NumberBox(this, Entry::kSumField, "Suma de", 7, 2, true);
    MemoBut = MakeButton("MemoBut", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* shown = new QFormLayout;
    shown->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    shown->addRow("Furnizor", Furnizor);
    shown->addRow("Document", Document);
    shown->addRow("Total valoare", TotalValoare);
    shown->addRow("Rest de plata", RestDePlata);
    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow("Se achita cu", SeAchitaCu);
    fields->addRow("Seria si numarul", SeriaNr);
    fields->addRow("din data", DinData);
    fields->addRow("Suma de", SumaDe);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addLayout(shown);
    layout->addSpacing(8);
    layout->addLayout(fields);
    layout->addLayout(ButtonRow(MemoBut, Renunt));
    SumaDe->setMaximumWidth(SumaDe->fontMetrics().horizontalAdvance("00000000.00") + 16);
    resize(460, 320);

    connect(MemoBut, &QPushButton::clicked, this, [this] { MemoButClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    // Enter on "Suma de" saves.
    EnterEscFilter::install(this, MemoBut, SumaDe);
}

bool TChitInAddF::Run() {
    setWindowTitle(entry_.title());
    Titlu->setText(entry_.title());
    ShowFields();
    SeAchitaCu->setFocus();
    return exec() == QDialog::Accepted;
}

void TChitInAddF::ShowFields() {
    Furnizor->setText(Text(entry_.supplier));
    Document->setText(Text(entry_.documentText));
    TotalValoare->setText(Text(entry_.totalText));
    RestDePlata->setText(Text(entry_.restText));
    const int known = SeAchitaCu->findText(Text(entry_.docJus));
    SeAchitaCu->setCurrentIndex(known);
    Put(SeAchitaCu, entry_.docJus);
    Put(SeriaNr, entry_.seriaNr);
    Put(DinData, entry_.dataC);
    Put(SumaDe, entry_.suma);
}

void TChitInAddF::ReadFields() {
    entry_.docJus = SeAchitaCu->currentText().toStdString();
    entry_.seriaNr = SeriaNr->text().toStdString();
    entry_.dataC = FromQDate(DinData->date());
    entry_.suma = SumaDe->text().toStdString();
}

void TChitInAddF::MemoButClick() {
    ReadFields();
    const auto problem = entry_.check();
    ShowFields();  // the number and the kind come back cleaned
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui
