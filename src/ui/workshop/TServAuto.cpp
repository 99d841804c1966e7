// The time norms window (ui/workshop): its controls and layout, the two lists and the grid kept
// in step with core::TimeNorms, and the commands of its buttons. An engine error never leaves
// a command: it is shown in the message window with the engine's text.
#include "ui/workshop/TServAuto.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
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
#include "ui/common/ShowProblem.h"
#include "ui/printing/NormativReport.h"
#include "ui/sales/TStabCant.h"
#include "ui/workshop/TAddServAuto.h"
#include "ui/workshop/TFTarif.h"

namespace tvx::ui {

using Norms = core::TimeNorms;

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

TServAuto::TServAuto(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TServAuto", Norms::kTitle);
    setWindowTitle(Norms::kTitle);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    BuildControls();
    BuildLayout();
    operationDialog_ = new TAddServAuto(this);
    rateDialog_ = new TFTarif(this);
    quantityDialog_ = new TStabCant(this);
    ConnectCommands();
    EnterEscFilter::install(this);  // Enter moves on; Esc closes
}

TServAuto::~TServAuto() {
    CloseRows();
}

std::vector<GridColumn> TServAuto::Columns() {
    return {{"COD", "COD", ""},
            {"DENUMIRE", "Denumire operatiune", ""},
            {"CANT", "Cantitatea facturata", "0.00"},
            {"TIMP", "Timp (ore)", "0.00"},
            {"LEIORA", "Tarif (lei/ora)", "0.00"}};
}

void TServAuto::BuildControls() {
    TipAuto = ChooseOnlyList(this, Norms::kCarTypeList, "TIP");
    Sectia = ChooseOnlyList(this, Norms::kSectionList, "Sectia");
    model_ = new ResultSetModel(this);
    Operatii = MakeGrid(this, Norms::kGrid, "Operatii", model_);
    Operatii->installEventFilter(this);
    MemBtn = MakeButton("MemBtn", "Memoreaza", this);
    MemBtn->setDefault(true);
    Renunt = MakeButton("Renunt", "Renunt", this);
    AddOp = MakeButton("AddOp", "Adauga Operatiune", this);
    EditOp = MakeButton("EditOp", "Modifica Operatiune", this);
    DelOp = MakeButton("DelOp", "Sterge Operatiune", this);
    CantBtn = MakeButton("CantBtn", "&Stabileste cantitatea", this);
    TarifBtn = MakeButton("TarifBtn", "Stabileste Tariful/ora", this);
    ListBtn = MakeButton("ListBtn", "Listeaza normativul", this);
}

void TServAuto::BuildLayout() {
    auto* lists = new QHBoxLayout;
    for (auto [label, box] : {std::pair{"TIP", TipAuto}, std::pair{"Sectia", Sectia}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(label, this));
        column->addWidget(box);
        lists->addLayout(column, 1);
    }
    auto* commands = new QGridLayout;
    commands->addWidget(AddOp, 0, 0);
    commands->addWidget(EditOp, 0, 1);
    commands->addWidget(DelOp, 0, 2);
    commands->addWidget(CantBtn, 1, 0);
    commands->addWidget(TarifBtn, 1, 1);
    commands->addWidget(ListBtn, 1, 2);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(MemBtn);
    closing->addWidget(Renunt);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(Operatii, 1);
    layout->addLayout(commands);
    layout->addLayout(closing);
    resize(860, 560);
}

void TServAuto::ConnectCommands() {
    connect(TipAuto, &QComboBox::currentIndexChanged, this, [this](int i) { TipAutoChange(i); });
    connect(Sectia, &QComboBox::currentIndexChanged, this, [this](int i) { SectiaChange(i); });
    connect(Operatii, &QTableView::doubleClicked, this, [this] { CantBtnClick(); });
    connect(AddOp, &QPushButton::clicked, this, [this] { AddOpClick(); });
    connect(EditOp, &QPushButton::clicked, this, [this] { EditOpClick(); });
    connect(DelOp, &QPushButton::clicked, this, [this] { DelOpClick(); });
    connect(CantBtn, &QPushButton::clicked, this, [this] { CantBtnClick(); });
    connect(TarifBtn, &QPushButton::clicked, this, [this] { TarifBtnClick(); });
    connect(ListBtn, &QPushButton::clicked, this, [this] { ListBtnClick(); });
    connect(MemBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
}

// The Delete key on the grid opens the operation for modifying.
bool TServAuto::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Operatii && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        EditOpClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TServAuto::Bind(core::Session& session) {
    operationDialog_->Bind(session.settings());
    if (norms_ && session_ == &session) return;
    CloseRows();
    norms_.emplace(session.db(), session.settings());
    session_ = &session;
}

bool TServAuto::OpenTimeNorms() {
    if (!norms_) return false;
    Guarded([&] { norms_->open(); });
    ShowLists();
    ShowRows();
    TipAuto->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    CloseRows();
    return saved;
}

// ---- Lists and grid ----

void TServAuto::ShowLists() {
    Fill(TipAuto, norms_->carTypes(), norms_->carTypeIndex());
    Fill(Sectia, norms_->sections(), norms_->sectionIndex());
}

void TServAuto::ShowRows() {
    // Rows without columns: Timp could not be read (the error was shown already).
    tables::ResultSet* rows = norms_->rows().columnCount() > 0 ? &norms_->rows() : nullptr;
    Guarded([&] { model_->setResultSet(rows, Columns()); });
    QHeaderView* header = Operatii->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (header->count() > 1) header->setSectionResizeMode(1, QHeaderView::Stretch);
}

void TServAuto::CloseRows() {
    model_->setResultSet(nullptr);
    if (norms_) norms_->close();
}

bool TServAuto::Refused(const std::optional<core::FieldProblem>& problem) {
    if (problem) ShowProblem(*problem, this);
    return problem.has_value();
}

void TServAuto::TipAutoChange(int index) {
    if (!norms_) return;
    model_->setResultSet(nullptr);  // the rows are read again below
    Guarded([&] { norms_->chooseCarType(index); });
    ShowRows();
}

void TServAuto::SectiaChange(int index) {
    if (!norms_) return;
    model_->setResultSet(nullptr);
    Guarded([&] { norms_->chooseSection(index); });
    ShowRows();
}

// ---- Buttons ----

void TServAuto::AddOpClick() {
    if (!norms_) return;
    norms_->startAdd(operationDialog_->entry());
    if (!operationDialog_->EditOperation()) return;
    model_->setResultSet(nullptr);
    Guarded([&] { norms_->add(operationDialog_->entry()); });
    ShowLists();
    ShowRows();
}

void TServAuto::EditOpClick() {
    if (!norms_) return;
    std::optional<core::FieldProblem> refusal;
    if (!Guarded([&] { refusal = norms_->startEdit(operationDialog_->entry()); })) return;
    if (Refused(refusal) || !operationDialog_->EditOperation()) return;
    model_->setResultSet(nullptr);
    Guarded([&] { norms_->update(operationDialog_->entry()); });
    ShowRows();
}

void TServAuto::DelOpClick() {
    if (!norms_ || Refused(norms_->deleteRefusal())) return;
    if (!Confirmed(Norms::deleteQuestion())) return;
    model_->setResultSet(nullptr);
    Guarded([&] { norms_->remove(); });
    ShowRows();
}

void TServAuto::CantBtnClick() {
    if (!norms_ || Refused(norms_->quantityRefusal())) return;
    tables::Decimal quantity(1);
    tables::Decimal hours;
    if (!Guarded([&] { hours = norms_->currentHours(); })) return;
    if (!quantityDialog_->askQuantity(quantity, hours, core::CheckNormQuantity)) return;
    model_->setResultSet(nullptr);
    Guarded([&] { norms_->setQuantity(quantity, hours); });
    ShowRows();
}

void TServAuto::TarifBtnClick() {
    if (!norms_) return;
    if (!Guarded([&] { norms_->startRate(rateDialog_->entry()); })) return;
    if (!rateDialog_->AskRate()) return;
    model_->setResultSet(nullptr);
    Guarded([&] { norms_->setRate(rateDialog_->entry()); });
    ShowRows();
}

void TServAuto::ListBtnClick() {
    if (!norms_ || Refused(norms_->printRefusal())) return;
    PrintNormativ(norms_->rows(), session_ ? session_->profile.denumire : std::string(), this);
}

}  // namespace tvx::ui
