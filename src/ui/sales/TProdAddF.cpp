// The product picker window (ui/sales): controls and layout, the binding to
// core::ProductPicker (every reaction copies the widgets in, runs the picker and shows what it
// changed, the grid included), the keys of the barcode, name and grid, the advanced search and
// "&Adauga".
#include "ui/sales/TProdAddF.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>
#include <vector>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "tables/Database.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"
#include "ui/sales/TCAvans.h"

namespace tvx::ui {

using Picker = core::ProductPicker;

namespace {

const std::vector<GridColumn>& Columns() {
    static const std::vector<GridColumn> columns = {
        {"PRODUS", "Denumire produs", ""}, {"UM", "U.M.", ""},         {"PRETOUT", "Pret", "0.00"},
        {"REST", "Stoc", "0.00"},          {"CATEG", "Categoria", ""},
    };
    return columns;
}

}  // namespace

TProdAddF::TProdAddF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TProdAddF", "Adaugare produs");
    setWindowTitle("Adaugare produs");
    BuildControls();
    BuildLayout();
    ConnectReactions();
    // Enter on the warranty date presses "&Adauga".
    EnterEscFilter::install(this, B11, GarantieEd);
    // After the shared filter, so that these see Enter first.
    for (QWidget* w : {static_cast<QWidget*>(CodBareEd), static_cast<QWidget*>(ProdEd),
                       static_cast<QWidget*>(SMDBGrid3)})
        w->installEventFilter(this);
    avans_ = new TCAvans(this);
}

void TProdAddF::BuildControls() {
    // Created in the order Enter moves through them.
    CodBareEd = TextBox(this, Picker::kBarcodeField, "Cod de bare", 40, false);
    ProdEd = TextBox(this, Picker::kNameField, "Denumire Produs", 240, true);
    CantEd = NumberBox(this, Picker::kQuantityField, "Cantitatea", 6, 2, true);
    CantEd->setMaxLength(9);
    UmLabel = new QLabel(this);
    NameControl(UmLabel, "UmLabel", "U.M.");
    SectiaPanel = new QWidget(this);
    NameControl(SectiaPanel, "SectiaPanel", "Sectia");
    SectiaEd = TextBox(SectiaPanel, Picker::kSectionField, "Sectia", 32, true);
    ObsEd = new QPlainTextEdit(this);
    NameControl(ObsEd, "ObsEd", "Observatii");
    ObsEd->setTabChangesFocus(true);
    GarantieEd = DateBox(this, "GarantieEd", "Garantie pana la");
    TotalL = new QLabel("0", this);
    NameControl(TotalL, "TotalL", "Total cu TVA");
    TotalL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    TotalL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DoarMarfa = new QCheckBox("Afiseaza numai Marfa, pe stoc", this);
    NameControl(DoarMarfa, "DoarMarfa", "Afiseaza numai Marfa, pe stoc");
    B11 = MakeButton("B11", "&Adauga", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);
    CautareAvansataB = MakeButton("CautareAvansataB", "Cautare a&vansata", this);
    model_ = new ResultSetModel(this);
    SMDBGrid3 = MakeGrid(this, "SMDBGrid3", "PRODUSE IN STOC", model_);
    SMDBGrid3->setSortingEnabled(false);
}

void TProdAddF::BuildLayout() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    auto* name = new QHBoxLayout;
    name->addWidget(ProdEd, 1);
    name->addWidget(CautareAvansataB);
    form->addRow("Denumire Produs", name);
    form->addRow("Cod de bare", CodBareEd);
    auto* quantity = new QHBoxLayout;
    quantity->addWidget(CantEd);
    quantity->addWidget(UmLabel);
    quantity->addSpacing(24);
    quantity->addWidget(new QLabel("Total cu TVA", this));
    quantity->addWidget(TotalL);
    quantity->addStretch();
    form->addRow("Cantitatea", quantity);
    auto* section = new QHBoxLayout(SectiaPanel);
    section->setContentsMargins(0, 0, 0, 0);
    section->addWidget(new QLabel("Sectia", SectiaPanel));
    section->addWidget(SectiaEd, 1);
    form->addRow(SectiaPanel);
    form->addRow("Observatii", ObsEd);
    form->addRow("Garantie pana la", GarantieEd);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TitleLine(this, "banner", "Adaugare produs"));
    layout->addLayout(form);
    auto* gridHead = new QHBoxLayout;
    gridHead->addWidget(TitleLine(this, "title", "PRODUSE IN STOC"), 1);
    gridHead->addWidget(DoarMarfa);
    layout->addLayout(gridHead);
    layout->addWidget(SMDBGrid3, 1);
    layout->addLayout(ButtonRow(B11, Renunt));

    CantEd->setMaximumWidth(CantEd->fontMetrics().horizontalAdvance("-000000.00") + 16);
    TotalL->setMinimumWidth(TotalL->fontMetrics().horizontalAdvance("0000000.0000") + 16);
    ObsEd->setFixedHeight(ObsEd->fontMetrics().lineSpacing() * 3 + 12);
    resize(780, 600);
}

void TProdAddF::ConnectReactions() {
    connect(ProdEd, &QLineEdit::textChanged, this, [this] { ProdEdChange(); });
    connect(CantEd, &QLineEdit::textChanged, this,
            [this] { React([this] { picker_->quantityChanged(); }, false); });
    connect(DoarMarfa, &QCheckBox::clicked, this, [this] { DoarMarfaClick(); });
    connect(SMDBGrid3, &QTableView::doubleClicked, this, [this] { RowChosen(); });
    // A lot made current by the user, by a click or the keys, is the chosen one: its name
    // fills the name field (the rows stay as they are) and the unit and total follow it.
    connect(SMDBGrid3->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (showingRows_) return;
        React([this] { picker_->rowChosen(); }, false);
    });
    connect(CautareAvansataB, &QPushButton::clicked, this, [this] { CautareAvansataClick(); });
    connect(B11, &QPushButton::clicked, this, [this] { B11Click(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
}

void TProdAddF::Bind(core::Session& session) {
    avans_->Bind(session);
    session_ = &session;
    if (picker_ && boundDb_ == &session.db()) return;
    model_->setResultSet(nullptr);
    picker_.emplace(session.db());
    boundDb_ = &session.db();
}

bool TProdAddF::eventFilter(QObject* watched, QEvent* event) {
    if (picker_ && IsEnterKey(event)) {
        if (watched == CodBareEd && picker_->hasRows()) {
            CodBareEdEnter();
            return true;
        }
        if (watched == ProdEd && picker_->hasRows()) {
            React([this] { picker_->nameEntered(); });
            return false;  // the shared filter moves on
        }
        if (watched == SMDBGrid3) {
            RowChosen();
            CantEd->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

template <typename Reaction>
void TProdAddF::React(Reaction&& reaction, bool rowsChanged) {
    if (!picker_) return;
    ReadFields();
    Guarded(reaction);
    if (rowsChanged) ShowRows();
    ShowFields();
}

void TProdAddF::ReadFields() {
    Picker& p = *picker_;
    p.name = Std(ProdEd);
    p.barcode = Std(CodBareEd);
    p.quantity = Std(CantEd);
    p.remark = Std(ObsEd->toPlainText());
    p.section = Std(SectiaEd);
    p.warranty = FromQDate(GarantieEd->date());
    p.onlyGoods = DoarMarfa->isChecked();
}

void TProdAddF::ShowFields() {
    const Picker& p = *picker_;
    Put(ProdEd, p.name);
    Put(CodBareEd, p.barcode);
    Put(CantEd, p.quantity);
    if (ObsEd->toPlainText() != Text(p.remark)) {
        const QSignalBlocker quiet(ObsEd);
        ObsEd->setPlainText(Text(p.remark));
    }
    Put(SectiaEd, p.section);
    Put(GarantieEd, p.warranty);
    const QSignalBlocker quiet(DoarMarfa);
    DoarMarfa->setChecked(p.onlyGoods);
    TotalL->setText(Text(p.total));
    UmLabel->setText(Text(picker_->currentUnit()));
}

void TProdAddF::ShowRows() {
    // The view follows the picker's cursor; its row changes are not a reaction here.
    showingRows_ = true;
    model_->setResultSet(&picker_->rows(), Columns());
    showingRows_ = false;
}

std::optional<core::ProductPick> TProdAddF::pickStockProduct(
    const std::filesystem::path& stockTable) {
    if (!picker_) return std::nullopt;
    model_->setResultSet(nullptr);
    if (!Guarded([&] { picker_->open(stockTable, session_->settings(), core::Today()); }))
        return std::nullopt;
    SectiaPanel->setVisible(session_->profile.workshop());
    ShowRows();
    ShowFields();
    CodBareEd->setFocus();
    const bool added = exec() == QDialog::Accepted;
    picker_->onlyGoods = DoarMarfa->isChecked();
    model_->setResultSet(nullptr);
    Guarded([&] { picker_->close(session_->settings()); });
    if (!added) return std::nullopt;
    return picker_->result();
}

void TProdAddF::ProdEdChange() {
    React([this] { picker_->nameChanged(); });
}

// Step 3: the name is set quietly and its reaction runs once, inside the picker.
void TProdAddF::CodBareEdEnter() {
    React([this] { picker_->barcodeEntered(); });
    ProdEd->setFocus();
}

void TProdAddF::RowChosen() {
    React([this] { picker_->rowChosen(); });
}

void TProdAddF::DoarMarfaClick() {
    React([this] { picker_->switchChanged(); });
}

void TProdAddF::CautareAvansataClick() {
    if (!picker_) return;
    const std::string name = avans_->searchProduct();
    if (name.empty()) return;
    {
        const QSignalBlocker quiet(ProdEd);
        ProdEd->setText(Text(name));
    }
    ProdEdChange();
    CantEd->setFocus();
}

void TProdAddF::B11Click() {
    if (!picker_) return;
    ReadFields();
    std::optional<core::FieldProblem> problem;
    if (!Guarded([&] { problem = picker_->add(); })) return;
    ShowFields();  // the cleaned section
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui
