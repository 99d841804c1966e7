// The operation dialog (ui/workshop): its controls, the copy between the widgets and
// core::TimeNormEntry, the proposed rate and the save.
#include "ui/workshop/TAddServAuto.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using Entry = core::TimeNormEntry;

namespace {

void Fill(QComboBox* box, const std::vector<std::string>& items, const std::string& text) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(-1);
    box->setEditText(Text(text));
}

}  // namespace

TAddServAuto::TAddServAuto(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TAddServAuto", Entry::kTitle);
    setWindowTitle(Entry::kTitle);
    TipAuto = ChoiceBox(this, Entry::kCarTypeField, "TIP Auto", Entry::kCarTypeLength);
    Sectia = ChoiceBox(this, Entry::kSectionField, "Sectia", Entry::kSectionLength);
    for (QComboBox* box : {TipAuto, Sectia})
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Denumire = TextBox(this, Entry::kNameField, "Denumire operatiune", Entry::kNameLength, false);
    CodOp = TextBox(this, Entry::kCodeField, "Cod Operatiune", Entry::kCodeLength, true);
    Timp =
        NumberBox(this, Entry::kHoursField, "Timp (ore)", Entry::kDigits, Entry::kDecimals, false);
    Tarif = NumberBox(this, Entry::kRateField, "Tarif (lei/ora)", Entry::kDigits, Entry::kDecimals,
                      false);
    BitBtn1 = MakeButton("BitBtn1", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow("TIP Auto", TipAuto);
    form->addRow("Sectia", Sectia);
    form->addRow("Denumire operatiune", Denumire);
    form->addRow("Cod Operatiune", CodOp);
    form->addRow("Timp (ore)", Timp);
    form->addRow("Tarif (lei/ora)", Tarif);
    const int numberWidth = Timp->fontMetrics().horizontalAdvance("0000.000") + 16;
    for (QLineEdit* box : {CodOp, Timp, Tarif}) box->setMaximumWidth(numberWidth);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(BitBtn1, Renunt));
    resize(520, 260);

    connect(TipAuto, &QComboBox::editTextChanged, this, [this] { CarOrSectionChange(); });
    connect(Sectia, &QComboBox::editTextChanged, this, [this] { CarOrSectionChange(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    // Enter on "Tarif (lei/ora)" saves; Esc closes without saving.
    EnterEscFilter::install(this, BitBtn1, Tarif);
}

bool TAddServAuto::EditOperation() {
    ShowFields();
    TipAuto->setFocus();
    return exec() == QDialog::Accepted;
}

void TAddServAuto::ShowFields() {
    Fill(TipAuto, entry_.carTypes, entry_.carType);
    Fill(Sectia, entry_.sections, entry_.section);
    Put(Denumire, entry_.name);
    Put(CodOp, entry_.code);
    Put(Timp, entry_.hours);
    Put(Tarif, entry_.rate);
}

void TAddServAuto::ReadFields() {
    entry_.carType = Std(TipAuto->currentText());
    entry_.section = Std(Sectia->currentText());
    entry_.name = Std(Denumire);
    entry_.code = Std(CodOp);
    entry_.hours = Std(Timp);
    entry_.rate = Std(Tarif);
}

void TAddServAuto::CarOrSectionChange() {
    if (!settings_) return;
    entry_.carType = Std(TipAuto->currentText());
    entry_.section = Std(Sectia->currentText());
    Guarded([&] { entry_.proposeRate(*settings_); });
    Put(Tarif, entry_.rate);
}

void TAddServAuto::BitBtn1Click() {
    ReadFields();
    const auto problem = entry_.check();
    // The check writes the cleaned texts and the plain numbers back.
    Put(TipAuto, entry_.carType);
    Put(Sectia, entry_.section);
    Put(Denumire, entry_.name);
    Put(CodOp, entry_.code);
    Put(Timp, entry_.hours);
    Put(Tarif, entry_.rate);
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui
