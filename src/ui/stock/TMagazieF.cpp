// The warehouse window (ui/stock): controls and layout, the lists filled from the session and
// the cards, the grid rebuilt from core/stock at every change of a list, and the printout.
// An engine error never leaves a command: it is shown in the message window.
#include "ui/stock/TMagazieF.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/stock/Inventory.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"
#include "ui/printing/InventoryReport.h"

namespace tvx::ui {

namespace {

std::vector<GridColumn> Columns(bool withPrice) {
    std::vector<GridColumn> columns{{"PRODUS", "Produsul", {}},
                                    {"UM", "U.M.", {}},
                                    {"STOCT", "Stoc cantitativ", "0.00"},
                                    {"STOCV", "Stoc Valoric", "0.00"}};
    if (withPrice) columns.push_back({"PRETOUT", "Pret Iesire", "0.00"});
    columns.push_back({"CATEG", "Categoria", {}});
    return columns;
}

QComboBox* ListBox(QWidget* parent, const char* name, const char* label) {
    auto* box = new QComboBox(parent);
    NameControl(box, name, label);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(24);
    return box;
}

void Fill(QComboBox* box, const std::vector<std::string>& items) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(0);
}

}  // namespace

TMagazieF::TMagazieF(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TMagazieF", "Magazie - Inventar");
    setWindowTitle("Magazie - Inventar");
    BuildControls();
    BuildLayout();
    for (QComboBox* box : {GesBox, ProdBox, CategBox, StocBox})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { CriteriaChanged(); });
    connect(Listeaza, &QPushButton::clicked, this, [this] { ListeazaClick(); });
    EnterEscFilter::install(this);
}

TMagazieF::~TMagazieF() {
    model_->setResultSet(nullptr);
}

void TMagazieF::BuildControls() {
    model_ = new ResultSetModel(this);
    ListaProduse = MakeGrid(this, "ListaProduse", "Lista Produselor", model_);
    GesBox = ListBox(this, "GesBox", "Gestiunea");
    ProdBox = ListBox(this, "ProdBox", "Produsul");
    CategBox = ListBox(this, "CategBox", "Categoria");
    StocBox = ListBox(this, "StocBox", "Stoc");
    TotalText = new QLabel(this);
    NameControl(TotalText, "TotalText", "Total afisat");
    TotalText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    TotalText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TotalText->setMinimumWidth(TotalText->fontMetrics().horizontalAdvance("000000000.00 lei") + 8);
    Listeaza = MakeButton(core::kInventoryPrintField, "Listeaza", this);
}

void TMagazieF::BuildLayout() {
    auto* criteria = new QFormLayout;
    criteria->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    criteria->addRow("Gestiunea", GesBox);
    criteria->addRow("Produsul", ProdBox);
    criteria->addRow("Categoria", CategBox);
    criteria->addRow("Stoc", StocBox);
    auto* criteriaBox = new QGroupBox("Criterii de selectie");
    criteriaBox->setLayout(criteria);

    auto* total = new QFormLayout;
    total->addRow("Total afisat", TotalText);

    auto* side = new QVBoxLayout;
    side->addWidget(criteriaBox);
    side->addLayout(total);
    side->addWidget(Listeaza);
    side->addStretch();

    auto* listBox = new QGroupBox("Lista Produselor");
    auto* list = new QVBoxLayout(listBox);
    list->addWidget(ListaProduse);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(listBox, 1);
    layout->addLayout(side);
    resize(1100, 640);
}

void TMagazieF::FillLists() {
    std::vector<std::string> products{core::kAllProducts};
    Guarded([&] { products = core::InventoryProducts(session_.db()); });
    Fill(GesBox, core::InventoryLocations(session_.locations.names()));
    Fill(ProdBox, products);
    Fill(CategBox, core::InventoryCategories());
    Fill(StocBox, core::InventoryStockStates());
}

void TMagazieF::OpenWarehouse() {
    FillLists();
    CriteriaChanged();
    ListaProduse->setFocus();
    exec();
    model_->setResultSet(nullptr);
    rows_.reset();
}

void TMagazieF::CriteriaChanged() {
    if (rebuilding_) {
        rebuildAgain_ = true;
        return;
    }
    rebuilding_ = true;
    do {
        rebuildAgain_ = false;
        Rebuild();
    } while (rebuildAgain_);
    rebuilding_ = false;
}

void TMagazieF::Rebuild() {
    const core::InventoryChoice choice =
        core::InventoryChoice::FromLists(Std(GesBox->currentText()), Std(ProdBox->currentText()),
                                         Std(CategBox->currentText()), Std(StocBox->currentText()));
    std::unique_ptr<tables::ResultSet> rows;
    tables::Decimal total(0);
    Guarded([&] {
        rows = std::make_unique<tables::ResultSet>(core::QueryInventory(session_.db(), choice));
        total = core::InventoryTotal(*rows);
    });
    model_->setResultSet(rows.get(),
                         rows ? Columns(choice.withPrice()) : std::vector<GridColumn>{});
    rows_ = std::move(rows);
    ListaProduse->resizeColumnsToContents();
    TotalText->setText(Text(core::InventoryTotalText(total)));
}

void TMagazieF::ListeazaClick() {
    if (auto problem = core::PrintInventoryProblem(rows_ ? *rows_ : tables::ResultSet())) {
        ShowProblem(*problem, this);
        return;
    }
    PrintInventory(
        *rows_,
        core::MakeInventoryCaptions(session_.profile.denumire, Std(GesBox->currentText()),
                                    Std(CategBox->currentText()), core::Today()),
        this);
}

}  // namespace tvx::ui
