// The service catalog window (ui/workshop): its controls and layout, the three lists and the
// grid kept in step with core::ServiceCatalog, and the commands of its buttons. An engine
// error never leaves a command: it is shown in the message window with the engine's text.
#include "ui/workshop/TCatalog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/workshop/TAddCat.h"

namespace tvx::ui {

using Catalog = core::ServiceCatalog;

namespace {

QComboBox* ChooseOnlyList(QWidget* parent, const char* name, const QString& label) {
    auto* box = new QComboBox(parent);
    NameControl(box, name, label);
    box->setEditable(false);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
}

void Fill(QComboBox* box, const std::vector<std::string>& items, int index) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(index);
}

}  // namespace

TCatalog::TCatalog(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TCatalog", Catalog::kTitle);
    setWindowTitle(Catalog::kTitle);
    BuildControls();
    BuildLayout();
    serviceDialog_ = new TAddCat(this);
    ConnectCommands();
    EnterEscFilter::install(this);  // Enter moves on; Esc closes
}

TCatalog::~TCatalog() {
    CloseRows();
}

std::vector<GridColumn> TCatalog::Columns() {
    return {{"IDCAT", "idCat", "0"},
            {"PRODUS", "Denumire servicii", ""},
            {"UM", "UM", ""},
            {"VALOUT", "Pret unitar", "0.00"},
            {"OBS", "Observatii", ""}};
}

void TCatalog::BuildControls() {
    Grupa = ChooseOnlyList(this, Catalog::kGroupList, "Grupa");
    Subgrupa = ChooseOnlyList(this, Catalog::kSubgroupList, "Subgrupa");
    Categ = ChooseOnlyList(this, Catalog::kCategoryList, "Categoria");
    model_ = new ResultSetModel(this);
    Servicii = MakeGrid(this, "Servicii", "Servicii", model_);
    AddB = MakeButton("AddB", "Adauga", this);
    EditB = MakeButton("EditB", "Modifica", this);
    DelB = MakeButton("DelB", "Sterge", this);
    AlesB = MakeButton("AlesB", "Am ales", this);
    Renunt = MakeButton("Renunt", "Renunt", this);
}

void TCatalog::BuildLayout() {
    auto* lists = new QHBoxLayout;
    for (auto [label, box] : {std::pair{"Grupa", Grupa}, std::pair{"Subgrupa", Subgrupa},
                              std::pair{"Categoria", Categ}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(label, this));
        column->addWidget(box);
        lists->addLayout(column, 1);
    }
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {AddB, EditB, DelB}) buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(AlesB);
    buttons->addWidget(Renunt);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(Servicii, 1);
    layout->addLayout(buttons);
    resize(900, 560);
}

void TCatalog::ConnectCommands() {
    connect(Grupa, &QComboBox::currentIndexChanged, this, [this](int i) { GrupaChange(i); });
    connect(Subgrupa, &QComboBox::currentIndexChanged, this, [this](int i) { SubgrupaChange(i); });
    connect(Categ, &QComboBox::currentIndexChanged, this, [this](int i) { CategChange(i); });
    connect(AddB, &QPushButton::clicked, this, [this] { AddBClick(); });
    connect(EditB, &QPushButton::clicked, this, [this] { EditBClick(); });
    connect(DelB, &QPushButton::clicked, this, [this] { DelBClick(); });
    connect(AlesB, &QPushButton::clicked, this, [this] { AlesBClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
}

void TCatalog::Bind(core::Session& session) {
    serviceDialog_->Bind(session.db());
    if (catalog_ && boundSession_ == &session) return;
    CloseRows();
    catalog_.emplace(session.db(), session.settings());
    boundSession_ = &session;
}

std::optional<core::CatalogService> TCatalog::chooseService() {
    chosen_.reset();
    if (!catalog_) return std::nullopt;
    Guarded([&] { catalog_->open(); });
    ShowLists();
    ShowRows();
    Grupa->setFocus();
    exec();
    CloseRows();
    return chosen_;
}

// ---- Lists and grid ----

void TCatalog::ShowLists() {
    Fill(Grupa, catalog_->groups(), catalog_->groupIndex());
    Fill(Subgrupa, catalog_->subgroups(), catalog_->subgroupIndex());
    Fill(Categ, catalog_->categories(), catalog_->categoryIndex());
}

void TCatalog::ShowRows() {
    // Rows without columns: the catalog could not be read (the error was shown already).
    tables::ResultSet* rows = catalog_->rows().columnCount() > 0 ? &catalog_->rows() : nullptr;
    Guarded([&] { model_->setResultSet(rows, Columns()); });
    QHeaderView* header = Servicii->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (header->count() > 1) header->setSectionResizeMode(1, QHeaderView::Stretch);
    const bool hasRow = catalog_->hasRow();
    for (QPushButton* button : {EditB, DelB, AlesB}) button->setEnabled(hasRow);
}

void TCatalog::CloseRows() {
    model_->setResultSet(nullptr);
    if (catalog_) catalog_->close();
}

void TCatalog::GrupaChange(int index) {
    if (!catalog_) return;
    model_->setResultSet(nullptr);  // the rows are read again below
    Guarded([&] { catalog_->chooseGroup(index); });
    ShowLists();
    ShowRows();
}

void TCatalog::SubgrupaChange(int index) {
    if (!catalog_) return;
    model_->setResultSet(nullptr);
    Guarded([&] { catalog_->chooseSubgroup(index); });
    ShowLists();
    ShowRows();
}

void TCatalog::CategChange(int index) {
    if (!catalog_) return;
    model_->setResultSet(nullptr);
    Guarded([&] { catalog_->chooseCategory(index); });
    ShowRows();
}

// ---- Buttons ----

void TCatalog::AddBClick() {
    if (!catalog_) return;
    if (!Guarded([&] { catalog_->startAdd(serviceDialog_->entry()); })) return;
    if (!serviceDialog_->EditService()) return;
    model_->setResultSet(nullptr);
    Guarded([&] { catalog_->add(serviceDialog_->entry()); });
    ShowLists();
    ShowRows();
}

void TCatalog::EditBClick() {
    if (!catalog_ || !catalog_->hasRow()) return;
    if (!Guarded([&] { catalog_->startEdit(serviceDialog_->entry()); })) return;
    if (!serviceDialog_->EditService()) return;
    model_->setResultSet(nullptr);
    Guarded([&] { catalog_->update(serviceDialog_->entry()); });
    ShowLists();
    ShowRows();
}

void TCatalog::DelBClick() {
    if (!catalog_ || !catalog_->hasRow()) return;
    if (!Confirmed(catalog_->deleteQuestion())) return;
    model_->setResultSet(nullptr);
    Guarded([&] { catalog_->remove(); });
    ShowLists();
    ShowRows();
}

void TCatalog::AlesBClick() {
    if (!catalog_) return;
    if (!Guarded([&] { chosen_ = catalog_->choose(); })) return;
    if (chosen_) accept();
}

}  // namespace tvx::ui
