// The service picker window (ui/sales): controls and layout, the binding to
// core::ServicePicker, the catalog hook and "Adauga".
#include "ui/sales/TServAddF.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "tables/Database.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using Picker = core::ServicePicker;

TServAddF::TServAddF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TServAddF", Picker::kTitle);
    setWindowTitle(Picker::kTitle);
    BuildControls();
    BuildLayout();
    ConnectReactions();
    // Enter on the warranty date presses "Adauga".
    EnterEscFilter::install(this, B11, GarantieEd);
}

void TServAddF::BuildControls() {
    // Created in the order Enter moves through them.
    ComboBox1 = ChoiceBox(this, Picker::kNameField, "Denumire Serviciu", 240);
    UmEd = TextBox(this, Picker::kUnitField, "U.M.", 4, true);
    CantEd = NumberBox(this, Picker::kQuantityField, "Cantitatea", 5, 2, false);
    CantEd->setMaxLength(8);
    PretFEd = NumberBox(this, Picker::kPriceField, "Pret cu TVA", 7, 2, false);
    TotalL = new QLabel("0.00", this);
    NameControl(TotalL, "TotalL", "Total valoare");
    TotalL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    TotalL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ObsEd = new QPlainTextEdit(this);
    NameControl(ObsEd, "ObsEd", "Observatii");
    ObsEd->setTabChangesFocus(true);
    GarantieEd = DateBox(this, "GarantieEd", "Garantie pana la");
    B11 = MakeButton("B11", "Adauga", this);
    Renunt = MakeButton("Renunt", "Renunt", this);
    BitBtn3 = MakeButton("BitBtn3", "Catalog", this);
}

void TServAddF::BuildLayout() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    auto* name = new QHBoxLayout;
    name->addWidget(ComboBox1, 1);
    name->addWidget(BitBtn3);
    form->addRow("Denumire Serviciu", name);
    form->addRow("U.M.", UmEd);
    form->addRow("Cantitatea", CantEd);
    form->addRow("Pret cu TVA", PretFEd);
    form->addRow("Total valoare", TotalL);
    form->addRow("Observatii", ObsEd);
    form->addRow("Garantie pana la", GarantieEd);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TitleLine(this, "banner", Picker::kTitle));
    layout->addLayout(form);
    layout->addLayout(ButtonRow(B11, Renunt));

    ComboBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    UmEd->setMaximumWidth(UmEd->fontMetrics().horizontalAdvance("WWWWW") + 16);
    for (QWidget* box : {static_cast<QWidget*>(CantEd), static_cast<QWidget*>(PretFEd),
                         static_cast<QWidget*>(TotalL)})
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance("00000000.00") + 16);
    ObsEd->setFixedHeight(ObsEd->fontMetrics().lineSpacing() * 3 + 12);
    resize(620, 400);
}

void TServAddF::ConnectReactions() {
    // A name taken from the list proposes; typing alone does not.
    connect(ComboBox1, &QComboBox::activated, this,
            [this] { React([this] { picker_->nameChosen(); }); });
    connect(CantEd, &QLineEdit::textChanged, this,
            [this] { React([this] { picker_->priceChanged(); }); });
    connect(PretFEd, &QLineEdit::textChanged, this,
            [this] { React([this] { picker_->priceChanged(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(B11, &QPushButton::clicked, this, [this] { B11Click(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
}

void TServAddF::Bind(core::Session& session) {
    if (picker_ && boundDb_ == &session.db()) return;
    picker_.emplace(session.db());
    boundDb_ = &session.db();
}

template <typename Reaction>
void TServAddF::React(Reaction&& reaction) {
    if (!picker_) return;
    ReadFields();
    Guarded(reaction);
    ShowFields();
}

void TServAddF::ReadFields() {
    Picker& p = *picker_;
    p.name = Std(ComboBox1->currentText());
    p.unit = Std(UmEd);
    p.quantity = Std(CantEd);
    p.price = Std(PretFEd);
    p.remark = Std(ObsEd->toPlainText());
    p.warranty = FromQDate(GarantieEd->date());
}

void TServAddF::ShowFields() {
    const Picker& p = *picker_;
    Put(ComboBox1, p.name);
    Put(UmEd, p.unit);
    Put(CantEd, p.quantity);
    Put(PretFEd, p.price);
    TotalL->setText(Text(p.total));
    if (ObsEd->toPlainText() != Text(p.remark)) {
        const QSignalBlocker quiet(ObsEd);
        ObsEd->setPlainText(Text(p.remark));
    }
    Put(GarantieEd, p.warranty);
}

std::optional<core::ServicePick> TServAddF::pickService() {
    if (!picker_) return std::nullopt;
    if (!Guarded([&] { picker_->open(core::Today()); })) return std::nullopt;
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->clear();
        for (const std::string& name : picker_->names()) ComboBox1->addItem(Text(name));
        ComboBox1->setCurrentIndex(-1);
    }
    ShowFields();
    ComboBox1->setFocus();
    const bool added = exec() == QDialog::Accepted;
    picker_->close();
    if (!added) return std::nullopt;
    return picker_->result();
}

void TServAddF::BitBtn3Click() {
    if (!picker_ || !catalogChooser_) return;
    std::optional<core::CatalogService> service;
    if (!Guarded([&] { service = catalogChooser_(); }) || !service) return;
    React([&] { picker_->catalogChosen(*service); });
}

void TServAddF::B11Click() {
    if (!picker_) return;
    ReadFields();
    const auto problem = picker_->add();
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui
