// The service order dialog (ui/workshop): its controls and layout, the copy between the
// widgets and core::ServiceOrder, and the save.
#include "ui/workshop/TAddComanda.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

namespace {

void FillList(QComboBox* box, const std::vector<std::string>& items) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(-1);
}

// The order's text in an editable list, selecting the item that matches it.
void ShowText(QComboBox* box, const std::string& text) {
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(box->findText(Text(text), Qt::MatchExactly));
    box->setEditText(Text(text));
}

}  // namespace

TAddComanda::TAddComanda(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TAddComanda", kTitle);
    setWindowTitle(kTitle);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    BuildControls();
    BuildLayout();
    connect(MemoBut, &QPushButton::clicked, this, [this] { MemoButClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    // Enter on "Starea tehnica" saves; Esc closes without saving.
    EnterEscFilter::install(this, MemoBut, StareTehnica);
}

void TAddComanda::BuildControls() {
    ComandaNr =
        NumberBox(this, core::kOrderNumberField, "Comanda Nr.", core::kOrderNumberDigits, 0, false);
    DinData = DateBox(this, core::kOrderDateField, "din data");
    AutoTip = ChoiceBox(this, core::kCarTypeField, "AUTO Tip", core::kCarTypeLength);
    NrCirc = TextBox(this, core::kPlateField, "Numar circ.", core::kPlateLength, true);
    StareTehnica = ChoiceBox(this, core::kStateField, "Starea tehnica", core::kStateLength);
    MemoBut = MakeButton("MemoBut", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);
}

void TAddComanda::BuildLayout() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow("Comanda Nr.", ComandaNr);
    form->addRow("din data", DinData);
    form->addRow("AUTO Tip", AutoTip);
    form->addRow("Numar circ.", NrCirc);
    form->addRow("Starea tehnica", StareTehnica);
    ComandaNr->setMaximumWidth(ComandaNr->fontMetrics().horizontalAdvance("000000000") + 16);
    NrCirc->setMaximumWidth(NrCirc->fontMetrics().horizontalAdvance("WWWWWWWWWWWW") + 16);
    // The lists are as wide as a typical car type or state, whatever they hold.
    for (QComboBox* box : {AutoTip, StareTehnica}) {
        box->setMinimumContentsLength(24);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(MemoBut, Renunt));
    resize(420, 230);
}

void TAddComanda::Bind(core::Session& session) {
    session_ = &session;
}

void TAddComanda::FillOrderLists() {
    if (!session_) return;
    core::OrderLists lists;
    Guarded([&] { lists = core::FillOrderLists(session_->db()); });
    FillList(AutoTip, lists.carTypes);
    FillList(StareTehnica, lists.states);
}

bool TAddComanda::EditServiceOrder(const QString& idFacto) {
    if (!session_) return false;
    bool isNumber = false;
    const long long id = idFacto.trimmed().toLongLong(&isNumber);
    if (!isNumber) {
        ShowError("Factura '" + idFacto + "' nu are un identificator valid (Comenzi).");
        return false;
    }
    if (!Guarded([&] {
            order_ =
                core::OpenServiceOrder(session_->db(), session_->settings(), id, core::Today());
        })) {
        return false;
    }
    ShowFields();
    ComandaNr->setFocus();
    return exec() == QDialog::Accepted;
}

void TAddComanda::ShowFields() {
    Put(ComandaNr, order_.number);
    Put(DinData, order_.date);
    ShowText(AutoTip, order_.carType);
    Put(NrCirc, order_.plate);
    ShowText(StareTehnica, order_.state);
}

void TAddComanda::ReadFields() {
    order_.number = Std(ComandaNr);
    order_.date = FromQDate(DinData->date());
    order_.carType = Std(AutoTip->currentText());
    order_.plate = Std(NrCirc);
    order_.state = Std(StareTehnica->currentText());
}

void TAddComanda::MemoButClick() {
    if (!session_) return;
    ReadFields();
    std::optional<core::FieldProblem> problem;
    const bool ran = Guarded(
        [&] { problem = core::SaveServiceOrder(session_->db(), session_->settings(), order_); });
    // The core wrote the cleaned texts back, saved or not.
    Put(ComandaNr, order_.number);
    Put(AutoTip, order_.carType);
    Put(NrCirc, order_.plate);
    Put(StareTehnica, order_.state);
    if (!ran) return;
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui
