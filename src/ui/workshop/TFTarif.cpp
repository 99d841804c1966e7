// The rate dialog (ui/workshop): its controls and the save.
#include "ui/workshop/TFTarif.h"

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

using Entry = core::HourlyRateEntry;

namespace {

QComboBox* ChooseOnlyList(QWidget* parent, const char* name, const QString& label) {
    auto* box = new QComboBox(parent);
    NameControl(box, name, label);
    box->setEditable(false);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
}

void Fill(QComboBox* box, const std::vector<std::string>& items) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(-1);
}

}  // namespace

TFTarif::TFTarif(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TFTarif", Entry::kTitle);
    setWindowTitle(Entry::kTitle);
    TipAuto = ChooseOnlyList(this, Entry::kCarTypeField, "TIP Auto");
    Sectia = ChooseOnlyList(this, Entry::kSectionField, "Sectia");
    Tarif = NumberBox(this, Entry::kRateField, "Tarif lei / ora", Entry::kRateDigits, 0, false);
    Tarif->setMaximumWidth(Tarif->fontMetrics().horizontalAdvance("00000000") + 16);
    BitBtn1 = MakeButton("BitBtn1", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow("TIP Auto", TipAuto);
    form->addRow("Sectia", Sectia);
    form->addRow("Tarif lei / ora", Tarif);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(BitBtn1, Renunt));
    resize(400, 170);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    // Enter on the rate saves; Esc closes without a change.
    EnterEscFilter::install(this, BitBtn1, Tarif);
}

bool TFTarif::AskRate() {
    Fill(TipAuto, entry_.carTypes);
    Fill(Sectia, entry_.sections);
    Put(Tarif, entry_.rate);
    TipAuto->setFocus();
    return exec() == QDialog::Accepted;
}

void TFTarif::BitBtn1Click() {
    entry_.carType = Std(TipAuto->currentText());
    entry_.section = Std(Sectia->currentText());
    entry_.rate = Std(Tarif);
    if (const auto problem = entry_.check()) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui
