// The pre-order window (ui/workshop): its controls and layout, the grid kept in step with
// core::PreOrders, and the commands of its buttons. An engine error never leaves a command:
// it is shown in the message window with the engine's text.
#include "ui/workshop/TFPrecomanda.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTime>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/workshop/PreOrderPrint.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"
#include "ui/workshop/TFAddPrecom.h"

namespace tvx::ui {

using core::PreOrders;

namespace {

int NowMinutes() {
    const QTime now = QTime::currentTime();
    return now.hour() * 60 + now.minute();
}

}  // namespace

TFPrecomanda::TFPrecomanda(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TFPrecomanda", PreOrders::kHeading);
    setWindowTitle("Tarvix");
    BuildControls();
    BuildLayout();
    editor_ = new TFAddPrecom(this);
    ConnectCommands();
    EnterEscFilter::install(this);  // Enter moves on; Esc closes
}

TFPrecomanda::~TFPrecomanda() {
    CloseRows();
}

std::vector<GridColumn> TFPrecomanda::Columns() {
    return {{"NRCOM", "Nr. comanda", "0"},
            {"DATACOM", "Data comenzii", "dd.MM.yyyy"},
            {"CLIENT", "Client", ""},
            {"INMATRIC", "Nr. inmatriculare", ""},
            {"MODEL", "Model", ""},
            {"RECEPTIE", "Data/ora receptiei", kStampFormat},
            {"TERMEN", "Termen estimativ", kStampFormat},
            {"RECEPOM", "Receptionat de", ""},
            {"SASIU", "Sasiu", ""},
            {"MOTOR", "Tip/Serie motor", ""}};
}

void TFPrecomanda::BuildControls() {
    Heading = TitleLine(this, "banner", PreOrders::kHeading);
    NumeClient = ChoiceBox(this, "NumeClient", "Nume client", 32);
    NrInmatriculare = TextBox(this, "NrInmatriculare", "Nr. inmatriculare", 12, true);
    model_ = new ResultSetModel(this);
    Grid = MakeGrid(this, "Grid", "Precomenzi", model_);
    // Title clicks order through the list (not the model), which skips the computed columns.
    Grid->setSortingEnabled(false);
    AddBut = MakeButton("AddBut", "Adauga Precomanda", this);
    EditBut = MakeButton("EditBut", "&Modifica Precomanda", this);
    DelBut = MakeButton("DelBut", "&Sterge Precomanda", this);
    ListBut = MakeButton("ListBut", "&Listeaza Precomanda", this);
    FactBut = MakeButton("FactBut", "&Factureaza", this);
}

void TFPrecomanda::BuildLayout() {
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel("Nume client", this));
    search->addWidget(NumeClient, 2);
    search->addWidget(new QLabel("Nr. inmatriculare", this));
    search->addWidget(NrInmatriculare, 1);
    auto* searchGroup = new QGroupBox("Cautare", this);
    searchGroup->setLayout(search);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {AddBut, EditBut, DelBut, ListBut}) buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(FactBut);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading);
    layout->addWidget(searchGroup);
    layout->addWidget(Grid, 1);
    layout->addLayout(buttons);
    resize(1100, 600);
}

void TFPrecomanda::ConnectCommands() {
    connect(NumeClient, &QComboBox::editTextChanged, this, [this] { SearchChange(); });
    connect(NrInmatriculare, &QLineEdit::textChanged, this, [this] { SearchChange(); });
    connect(Grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { TitleClick(section); });
    connect(Grid, &QTableView::doubleClicked, this, [this] { EditClick(); });
    connect(AddBut, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(EditBut, &QPushButton::clicked, this, [this] { EditClick(); });
    connect(DelBut, &QPushButton::clicked, this, [this] { DelClick(); });
    connect(ListBut, &QPushButton::clicked, this, [this] { ListClick(); });
    connect(FactBut, &QPushButton::clicked, this, [this] { FactureazaClick(); });
}

void TFPrecomanda::Bind(core::Session& session) {
    if (list_ && session_ == &session) return;
    CloseRows();
    session_ = &session;
    list_.emplace(session.db(), session.settings());
}

void TFPrecomanda::setDocumentOpener(DocumentOpener open) {
    opener_ = std::move(open);
}

bool TFPrecomanda::OpenPreOrders() {
    invoice_ = false;
    if (!list_) return false;
    core::EnsurePreorderTemplate(session_->dataDir());  // a failure is said when printing
    {
        const QSignalBlocker quietClient(NumeClient);
        const QSignalBlocker quietPlate(NrInmatriculare);
        NrInmatriculare->clear();
        if (!Reading([&] { list_->open(); })) return false;
        NumeClient->clear();
        for (const std::string& client : list_->clients()) NumeClient->addItem(Text(client));
        NumeClient->setCurrentIndex(-1);
        NumeClient->setEditText({});
    }
    Grid->setFocus();
    exec();
    CloseRows();
    return invoice_;
}

core::PreorderBuyer TFPrecomanda::buyer() const {
    return {entry_.client, entry_.rc, entry_.cf, entry_.adresa, entry_.banca, entry_.iban};
}

template <typename Work>
bool TFPrecomanda::Reading(Work&& work) {
    model_->setResultSet(nullptr);
    const bool done = Guarded(work);
    ShowRows();
    return done;
}

void TFPrecomanda::ShowRows() {
    tables::ResultSet* rows = list_ && list_->rows().columnCount() > 0 ? &list_->rows() : nullptr;
    Guarded([&] { model_->setResultSet(rows, Columns()); });
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void TFPrecomanda::CloseRows() {
    model_->setResultSet(nullptr);
    if (list_) list_->close();
}

void TFPrecomanda::SearchChange() {
    if (!list_) return;
    const std::string client = Std(NumeClient->currentText());
    const std::string plate = Std(NrInmatriculare);
    Reading([&] { list_->search(client, plate); });
}

void TFPrecomanda::TitleClick(int section) {
    const std::vector<GridColumn> columns = Columns();
    if (!list_ || section < 0 || section >= static_cast<int>(columns.size())) return;
    Reading([&] { list_->sortBy(Std(columns[section].field)); });
}

bool TFPrecomanda::Refused(const char* message) {
    if (list_ && !list_->empty()) return false;
    ShowProblem(message, Grid);
    return true;
}

void TFPrecomanda::AddClick() {
    if (!list_) return;
    const std::string client = Std(NumeClient->currentText());
    const std::string plate = Std(NrInmatriculare);
    if (!Guarded([&] { list_->startAdd(entry_, client, plate, core::Today(), NowMinutes()); }))
        return;
    if (!editor_->Edit(entry_, core::PreOrderEntry::kNewCaption)) return;
    Reading([&] { list_->add(entry_); });
}

void TFPrecomanda::EditClick() {
    if (Refused(PreOrders::kNothingToModify)) return;
    long long id = 0;
    if (!Guarded([&] {
            id = list_->current().idCom;
            list_->startEdit(entry_, core::Today(), NowMinutes());
        }))
        return;
    if (!editor_->Edit(entry_, core::PreOrderEntry::kEditCaption)) return;
    Reading([&] { list_->update(id, entry_); });
}

void TFPrecomanda::DelClick() {
    if (Refused(PreOrders::kNothingToDelete)) return;
    long long id = 0;
    if (!Guarded([&] { id = list_->current().idCom; })) return;
    if (!Confirmed(PreOrders::DeleteQuestion())) return;
    Reading([&] { list_->remove(id); });
}

void TFPrecomanda::ListClick() {
    if (Refused(PreOrders::kNothingToPrint)) return;
    core::PreOrderPrintout printout;
    if (!Guarded([&] {
            printout = core::PrintPreOrder(session_->dataDir(), session_->programFolder(),
                                           list_->current());
        }))
        return;
    if (printout.failure) {
        Mesaj(*printout.failure);
        return;
    }
    lastPrintout_ = printout.file;
    const QString path = Text(printout.file.string());
    if (opener_ && !opener_(path))
        Mesaj({"Listare Precomanda",
               "Fisierul " + printout.file.string() + " nu a putut fi deschis!",
               core::MessageKind::Error});
}

void TFPrecomanda::FactureazaClick() {
    if (Refused(PreOrders::kNothingToInvoice)) return;
    if (!Guarded([&] { list_->startEdit(entry_, core::Today(), NowMinutes()); })) return;
    invoice_ = true;
    accept();
}

}  // namespace tvx::ui
