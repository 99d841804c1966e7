// The advanced product search (ui/sales): its controls, the search as the word is typed, the
// order by a clicked column title, and the choice by button, double-click or Enter.
#include "ui/sales/TCAvans.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <vector>

#include "core/app/Session.h"
#include "tables/Database.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"

namespace tvx::ui {

namespace {

const std::vector<GridColumn>& Columns() {
    static const std::vector<GridColumn> columns = {
        {"PRODUS", "Denumire produs", ""},  {"UM", "U.M.", ""},
        {"PRETIN", "Pret intrare", "0.00"}, {"PRETOUT", "Pret vanzare", "0.00"},
        {"STOC", "Stoc", "0.00"},
    };
    return columns;
}

}  // namespace

TCAvans::TCAvans(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TCAvans", "Cautare Avansata");
    setWindowTitle("Cautare Avansata");
    BuildControls();
    ConnectReactions();
    EnterEscFilter::install(this);
    // After the shared filter, so that Enter chooses before it would move on.
    Edit1->installEventFilter(this);
    SMDBGrid3->installEventFilter(this);
}

void TCAvans::BuildControls() {
    QLabel* title = TitleLine(this, "title", core::ProductSearch::kTitle);
    Edit1 = TextBox(this, "Edit1", "Denumirea contine cuvantul", 240, true);
    model_ = new ResultSetModel(this);
    SMDBGrid3 = MakeGrid(this, "SMDBGrid3", "Produse gasite", model_);
    // A title click reads the cards again in that order instead of sorting the rows shown.
    SMDBGrid3->setSortingEnabled(false);
    SMDBGrid3->horizontalHeader()->setSectionsClickable(true);
    AmAles = MakeButton("AmAles", "&Am ales", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* word = new QHBoxLayout;
    word->addWidget(new QLabel("Denumirea contine cuvantul", this));
    word->addWidget(Edit1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(word);
    layout->addWidget(SMDBGrid3, 1);
    layout->addLayout(ButtonRow(AmAles, Renunt));
    resize(760, 480);
}

void TCAvans::ConnectReactions() {
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(SMDBGrid3->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { TitleClick(column); });
    connect(SMDBGrid3, &QTableView::doubleClicked, this, [this] { AlesInchide(); });
    connect(AmAles, &QPushButton::clicked, this, [this] { AlesInchide(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
}

void TCAvans::Bind(core::Session& session) {
    if (search_ && boundDb_ == &session.db()) return;
    search_.emplace(session.db());
    boundDb_ = &session.db();
}

bool TCAvans::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Edit1 || watched == SMDBGrid3) && IsEnterKey(event)) {
        AlesInchide();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TCAvans::ShowRows() {
    model_->setResultSet(&search_->rows(), Columns());
}

std::string TCAvans::searchProduct() {
    result_.clear();
    if (!search_) return {};
    if (!Guarded([&] { search_->open(); })) return {};
    {
        const QSignalBlocker quiet(Edit1);
        Edit1->clear();
    }
    ShowRows();
    Edit1->setFocus();
    const bool chosen = exec() == QDialog::Accepted;
    model_->setResultSet(nullptr);
    search_->close();
    return chosen ? result_ : std::string();
}

void TCAvans::Edit1Change() {
    if (!search_) return;
    search_->word = Std(Edit1);
    Guarded([&] { search_->wordChanged(); });
    ShowRows();
}

void TCAvans::TitleClick(int column) {
    if (!search_ || column < 0 || column >= static_cast<int>(Columns().size())) return;
    Guarded([&] { search_->sortBy(Std(Columns()[column].field)); });
    ShowRows();
}

void TCAvans::AlesInchide() {
    if (!search_) return;
    result_ = search_->choose();
    accept();
}

}  // namespace tvx::ui
