// The controls of the window "Magazie - Fisa produsului. Miscari." and their layout (ui/stock):
// on the left the location, the product search and the product names; beside them the sale
// prices of the product's cards, the category and the bar code search; below, the movements
// of the chosen card with the final stock and the four commands. Sized for 1280x800.
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/stock/ProductCard.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/stock/TFisaProdF.h"

namespace tvx::ui {

namespace {

QLabel* ValueText(QWidget* parent, const char* name, const char* label) {
    auto* text = new QLabel(parent);
    NameControl(text, name, label);
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance("000000000.0000") + 8);
    return text;
}

QGroupBox* Framed(const char* title, QLayout* inside) {
    auto* box = new QGroupBox(title);
    box->setLayout(inside);
    return box;
}

}  // namespace

void TFisaProdF::BuildControls() {
    Gestiunea = new QListWidget(this);
    NameControl(Gestiunea, "Gestiunea", "Gestiunea");
    CautProdus = TextBox(this, "CautProdus", "Cautare produs", 40, true);
    CautAvans = MakeButton("CautAvans", "...", this);
    CautAvans->setToolTip("Cautare avansata a unui produs.");
    ProdusGrid = MakeGrid(this, "ProdusGrid", "Produsul");
    productModel_ = new ResultSetModel(this);
    productModel_->attach(ProdusGrid);
    PretGrid = MakeGrid(this, "PretGrid", "Pret vanzare");
    cardModel_ = new ResultSetModel(this);
    cardModel_->attach(PretGrid);
    CategText = ValueText(this, "CategText", "Categoria :");
    CodBare = TextBox(this, core::kCardBarCodeField, "Cod de bare", 40, false);
    CautCod = MakeButton("CautCod", "Cauta", this);
    CautCod->setToolTip("Cautare dupa cod de bare");
    FiseGrid = MakeGrid(this, core::kCardMovesField, "Miscari");
    moveModel_ = new ResultSetModel(this);
    moveModel_->attach(FiseGrid);
    FiseGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    StocText = ValueText(this, "StocText", "STOC FINAL :");
    StocText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    UMText = ValueText(this, "UMText", "U.M.");
    UMText->setMinimumWidth(UMText->fontMetrics().horizontalAdvance("MMMMM") + 8);
    ValText = ValueText(this, "ValText", "Valoare stoc");
    ValText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ListFisa = MakeButton("ListFisa", "&Listeaza Fisa", this);
    IesireProd = MakeButton("IesireProd", "&Iesire produs", this);
    TransferProd = MakeButton("TransferProd", "&Transfer produs", this);
    StergeOp = MakeButton("StergeOp", "&Sterge operatiune", this);
}

void TFisaProdF::BuildLayout() {
    auto* locations = new QVBoxLayout;
    locations->addWidget(Gestiunea);
    auto* search = new QHBoxLayout;
    search->addWidget(CautProdus, 1);
    search->addWidget(CautAvans);
    auto* products = new QVBoxLayout;
    products->addWidget(ProdusGrid);
    auto* left = new QVBoxLayout;
    left->addWidget(Framed("Gestiunea", locations), 1);
    left->addWidget(Framed("Cautare produs", search));
    left->addWidget(Framed("Produsul", products), 3);

    auto* prices = new QVBoxLayout;
    prices->addWidget(PretGrid, 1);
    auto* category = new QHBoxLayout;
    category->addWidget(new QLabel("Categoria :"));
    category->addWidget(CategText, 1);
    prices->addLayout(category);
    auto* barCode = new QHBoxLayout;
    barCode->addWidget(CodBare, 1);
    barCode->addWidget(CautCod);
    auto* middle = new QVBoxLayout;
    middle->addWidget(Framed("Pret vanzare", prices), 1);
    middle->addWidget(Framed("Cod de bare", barCode));

    auto* stock = new QHBoxLayout;
    auto* stockLabel = new QLabel("STOC FINAL :");
    QFont bold = stockLabel->font();
    bold.setBold(true);
    stockLabel->setFont(bold);
    stock->addWidget(stockLabel);
    stock->addWidget(StocText);
    stock->addWidget(UMText);
    stock->addWidget(ValText);
    stock->addWidget(new QLabel("LEI"));
    stock->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ListFisa);
    buttons->addWidget(IesireProd);
    buttons->addWidget(TransferProd);
    buttons->addWidget(StergeOp);
    buttons->addStretch();
    auto* moves = new QVBoxLayout;
    moves->addWidget(FiseGrid, 1);
    moves->addLayout(stock);
    moves->addLayout(buttons);
    auto* right = new QVBoxLayout;
    right->addWidget(Framed("Miscari", moves), 1);

    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 3);
    top->addLayout(middle, 2);
    top->addLayout(right, 9);
    ProdusGrid->horizontalHeader()->setStretchLastSection(true);
    PretGrid->horizontalHeader()->setStretchLastSection(true);
    resize(1260, 720);
}

}  // namespace tvx::ui
