// The service dialog (ui/workshop): its controls and layout, the copy between the widgets
// and core::ServiceEntry, and the save.
#include "ui/workshop/TAddCat.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using Entry = core::ServiceEntry;

namespace {

// An editable drop-down of `length` characters, in upper case only when asked.
QComboBox* EditableList(QWidget* parent, const char* name, const QString& label, int length,
                        bool upperCase) {
    auto* box = new QComboBox(parent);
    NameControl(box, name, label);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    ConfigureTextBox(box->lineEdit(), length, upperCase);
    box->lineEdit()->setAccessibleName(label);
    return box;
}

void Fill(QComboBox* box, const std::vector<std::string>& items, const std::string& text) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(-1);
    box->setEditText(Text(text));
}

}  // namespace

TAddCat::TAddCat(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TAddCat", "Serviciu");
    setWindowTitle(Entry::kAddTitle);
    BuildControls();
    BuildLayout();
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    // Enter on "Observatii" saves; Esc closes without saving.
    EnterEscFilter::install(this, Button1, Obs);
}

void TAddCat::BuildControls() {
    Titlu = TitleLine(this, "banner");
    Grupa = EditableList(this, Entry::kGroupField, "Grupa", Entry::kGroupLength, false);
    SubGrupa = EditableList(this, Entry::kSubgroupField, "SubGrupa", Entry::kSubgroupLength, false);
    categ = EditableList(this, Entry::kCategoryField, "Categoria", Entry::kCategoryLength, false);
    Produs = EditableList(this, Entry::kProductField, "Produs", Entry::kProductLength, false);
    UM = EditableList(this, Entry::kUnitField, "U.M.", Entry::kUnitLength, true);
    ValOut = NumberBox(this, Entry::kPriceField, "Pret cu TVA", Entry::kPriceDigits,
                       Entry::kPriceDecimals, false);
    Obs = TextBox(this, Entry::kObsField, "Observatii", Entry::kObsLength, false);
    Button1 = MakeButton("Button1", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);
}

void TAddCat::BuildLayout() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow("Grupa", Grupa);
    form->addRow("SubGrupa", SubGrupa);
    form->addRow("Categoria", categ);
    form->addRow("Produs", Produs);
    form->addRow("U.M.", UM);
    form->addRow("Pret cu TVA", ValOut);
    form->addRow("Observatii", Obs);
    UM->setMaximumWidth(UM->fontMetrics().horizontalAdvance("WWWWW") + 40);
    ValOut->setMaximumWidth(ValOut->fontMetrics().horizontalAdvance("00000000.000") + 16);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(Button1, Renunt));
    resize(520, 330);
}

void TAddCat::Bind(tables::Database& db) {
    if (entry_ && boundDb_ == &db) return;
    entry_.emplace(db);
    boundDb_ = &db;
}

bool TAddCat::EditService() {
    if (!entry_) return false;
    setWindowTitle(entry_->title());
    Titlu->setText(entry_->title());
    ShowFields();
    Grupa->setFocus();
    return exec() == QDialog::Accepted;
}

void TAddCat::ShowFields() {
    const Entry& e = *entry_;
    Fill(Grupa, e.groups(), e.group);
    Fill(SubGrupa, e.subgroups(), e.subgroup);
    Fill(categ, e.categories(), e.category);
    Fill(Produs, e.products(), e.product);
    Fill(UM, e.units(), e.unit);
    Put(ValOut, e.price);
    Put(Obs, e.obs);
}

void TAddCat::ReadFields() {
    Entry& e = *entry_;
    e.group = Std(Grupa->currentText());
    e.subgroup = Std(SubGrupa->currentText());
    e.category = Std(categ->currentText());
    e.product = Std(Produs->currentText());
    e.unit = Std(UM->currentText());
    e.price = Std(ValOut);
    e.obs = Std(Obs);
}

void TAddCat::Button1Click() {
    if (!entry_) return;
    ReadFields();
    const auto problem = entry_->check();
    // The check writes the cleaned texts and the plain price back.
    Put(Grupa, entry_->group);
    Put(SubGrupa, entry_->subgroup);
    Put(categ, entry_->category);
    Put(Produs, entry_->product);
    Put(UM, entry_->unit);
    Put(ValOut, entry_->price);
    Put(Obs, entry_->obs);
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui
