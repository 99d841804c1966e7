// The commands of the product card window (ui/stock): opening it, following the location,
// product and card choices down to the movements, the searches, and the print, exit, transfer
// and delete commands, each handing its checks and statements to core/stock. An engine error
// never leaves a command: it is shown in the message window.
#include "ui/stock/TFisaProdF.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <filesystem>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/stock/ProductCard.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"
#include "ui/printing/ProductCardReport.h"
#include "ui/sales/TCAvans.h"

namespace tvx::ui {

namespace {

std::vector<GridColumn> MoveColumns() {
    return {{"DINDATA", "Data", "dd.MM.yyyy"},
            {"DOCJUS", "Document justificativ", {}},
            {"NRDOC", "Nr.", "0"},
            {"UM", "U.M.", {}},
            {"CANTIN", "Cantitate\nIntrata", "0.00"},
            {"CANTOUT", "Cantitate\nIesita", "0.00"},
            {"VALIN", "Valoare\nIntrata", "0.00"},
            {"VALOUT", "Valoare\nIesita", "0.00"}};
}

// The document name takes the width the fixed columns leave.
void FitMoveColumns(QTableView* grid) {
    QHeaderView* header = grid->horizontalHeader();
    const int digit = grid->fontMetrics().horizontalAdvance("0");
    const int widths[] = {10, 0, 5, 4, 9, 9, 9, 9};
    for (int column = 0; column < header->count() && column < 8; ++column) {
        if (widths[column] == 0)
            header->setSectionResizeMode(column, QHeaderView::Stretch);
        else
            header->resizeSection(column, widths[column] * digit + 12);
    }
}

bool OnRow(const tables::ResultSet* rows) {
    return rows && !rows->empty() && !rows->eof();
}

}  // namespace

TFisaProdF::TFisaProdF(core::Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    NameControl(this, "TFisaProdF", "Fisa Produsului");
    setWindowTitle("Magazie - Fisa produsului. Miscari.");
    BuildControls();
    BuildLayout();
    avans_ = new TCAvans(this);
    ConnectCommands();
    EnterEscFilter::install(this);
    CodBare->installEventFilter(this);  // after the shared filter, so it sees Enter first
}

TFisaProdF::~TFisaProdF() {
    CloseQueries();
}

void TFisaProdF::setAdministrationOpener(std::function<void()> open) {
    administrationOpener_ = std::move(open);
}

void TFisaProdF::ConnectCommands() {
    connect(Gestiunea, &QListWidget::currentRowChanged, this, [this] {
        if (!reloading_) LocationChanged();
    });
    connect(CautProdus, &QLineEdit::textChanged, this, [this] {
        if (!products_) return;
        reloading_ = true;
        Guarded([&] {
            products_->setFilter(core::CardProductFilter(Std(CautProdus)));
            products_->first();
            productModel_->setResultSet(products_.get(), {{"PRODUS", "Produsul", {}}});
            productModel_->showCursor();
        });
        reloading_ = false;
        ProductChanged();
    });
    connect(ProdusGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!reloading_) ProductChanged();
    });
    connect(PretGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (reloading_)
            cardChangePending_ = true;
        else
            CardChanged();
    });
    connect(CautAvans, &QPushButton::clicked, this, [this] { CautAvansClick(); });
    connect(CautCod, &QPushButton::clicked, this, [this] { CautCodClick(); });
    connect(ListFisa, &QPushButton::clicked, this, [this] { ListFisaClick(); });
    connect(IesireProd, &QPushButton::clicked, this, [this] { IesireProdClick(); });
    connect(TransferProd, &QPushButton::clicked, this, [this] { TransferProdClick(); });
    connect(StergeOp, &QPushButton::clicked, this, [this] { StergeOpClick(); });
}

bool TFisaProdF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CodBare && IsEnterKey(event)) {
        CautCodClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Opening and the lists ----

void TFisaProdF::OpenProductCard() {
    if (!std::filesystem::exists(session_.locations.file())) {
        if (Mesaj("Magazie", "Nu ati definit Gestiunile!\rLe definiti acum?", kButtonDa | kButtonNu,
                  kKindError) == kAnswerDa &&
            administrationOpener_)
            administrationOpener_();
        return;
    }
    avans_->Bind(session_);
    reloading_ = true;
    Gestiunea->clear();
    for (const std::string& name : session_.locations.names()) Gestiunea->addItem(Text(name));
    Gestiunea->setCurrentRow(0);
    {
        const QSignalBlocker quiet(CautProdus);
        CautProdus->clear();
    }
    reloading_ = false;
    LocationChanged();
    ProdusGrid->setFocus();
    exec();
    CloseQueries();
}

void TFisaProdF::CloseQueries() {
    moveModel_->setResultSet(nullptr);
    cardModel_->setResultSet(nullptr);
    productModel_->setResultSet(nullptr);
    moves_.reset();
    cards_.reset();
    products_.reset();
}

std::string TFisaProdF::CurrentLocation() const {
    const QListWidgetItem* item = Gestiunea->currentItem();
    return item ? Std(item->text()) : std::string();
}

std::string TFisaProdF::CurrentProduct() const {
    return OnRow(products_.get()) ? products_->asText("PRODUS") : std::string();
}

std::optional<long long> TFisaProdF::CurrentCardId() const {
    if (!OnRow(cards_.get())) return std::nullopt;
    return cards_->asNumber("IDCAP").toLongLong();
}

std::optional<core::ExitCard> TFisaProdF::CurrentExitCard() const {
    if (!OnRow(cards_.get())) return std::nullopt;
    return core::MakeExitCard(cards_->asNumber("IDCAP").toLongLong(), cards_->asText("GESTIUNE"),
                              cards_->asText("PRODUS"), cards_->asText("UM"),
                              cards_->asNumber("PRETOUT"), cards_->asNumber("STOC"));
}

void TFisaProdF::LocationChanged() {
    ReloadProducts({}, std::nullopt, std::nullopt);
}

void TFisaProdF::ReloadProducts(const std::string& product, std::optional<long long> idCap,
                                std::optional<long long> idFisa) {
    reloading_ = true;
    Guarded([&] {
        auto products = std::make_unique<tables::ResultSet>(
            core::QueryCardProducts(session_.db(), CurrentLocation()));
        products->setFilter(core::CardProductFilter(Std(CautProdus)));
        if (product.empty() || !products->locate("PRODUS", tables::Value(product)))
            products->first();
        productModel_->setResultSet(products.get(), {{"PRODUS", "Produsul", {}}});
        products_ = std::move(products);
        productModel_->showCursor();
    });
    reloading_ = false;
    ProductChanged(idCap, idFisa);
}

void TFisaProdF::ProductChanged(std::optional<long long> idCap, std::optional<long long> idFisa) {
    reloading_ = true;
    Guarded([&] {
        auto cards = std::make_unique<tables::ResultSet>(
            core::QueryProductCards(session_.db(), CurrentLocation(), CurrentProduct()));
        if (!idCap || !cards->locate("IDCAP", tables::Value(*idCap))) cards->first();
        cardModel_->setResultSet(cards.get(), {{"PRETOUT", "Pret vanzare", "0.00"}});
        cards_ = std::move(cards);
        cardModel_->showCursor();
    });
    reloading_ = false;
    cardChangePending_ = false;
    CardChanged(idFisa);
}

void TFisaProdF::CardChanged(std::optional<long long> idFisa) {
    reloading_ = true;
    Guarded([&] {
        auto moves = std::make_unique<tables::ResultSet>(
            core::QueryCardMovements(session_.db(), CurrentCardId().value_or(-1)));
        if (!idFisa || !moves->locate("IDFISA", tables::Value(*idFisa))) moves->last();
        moveModel_->setResultSet(moves.get(), MoveColumns());
        moves_ = std::move(moves);
        FitMoveColumns(FiseGrid);
        moveModel_->showCursor();
    });
    CodBare->clear();
    ShowStock();
    reloading_ = false;
    // A card chosen while the movements were read: show that one.
    if (cardChangePending_) {
        cardChangePending_ = false;
        CardChanged();
    }
}

void TFisaProdF::ShowStock() {
    const std::optional<core::ExitCard> card = CurrentExitCard();
    const core::StockTexts texts =
        card ? core::CardStockTexts(card->stock, card->unit, card->salePrice)
             : core::CardStockTexts(tables::Decimal(0), {}, tables::Decimal(0));
    StocText->setText(Text(texts.stock));
    UMText->setText(Text(texts.unit));
    ValText->setText(Text(texts.value));
    CategText->setText(card ? Text(cards_->asText("CATEG")) : QString());
}

void TFisaProdF::Reload(std::optional<long long> idFisa) {
    ReloadProducts(CurrentProduct(), CurrentCardId(), idFisa);
}

void TFisaProdF::SelectLocation(const std::string& location) {
    const QList<QListWidgetItem*> items =
        Gestiunea->findItems(Text(location), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (items.isEmpty()) return;
    reloading_ = true;
    Gestiunea->setCurrentItem(items.front());
    reloading_ = false;
}

// ---- Searches ----

void TFisaProdF::CautCodClick() {
    if (const auto problem = core::CheckBarCode(Std(CodBare))) {
        ShowProblem(*problem, this);
        return;
    }
    std::optional<core::CardPosition> found;
    if (!Guarded([&] { found = core::FindBarCode(session_.db(), Std(CodBare)); })) return;
    if (!found) {
        Mesaj(core::BarCodeNotFound());
        return;
    }
    // The card's product must pass the name search to be shown.
    if (found->product.rfind(Std(CautProdus), 0) != 0) {
        const QSignalBlocker quiet(CautProdus);
        CautProdus->clear();
    }
    SelectLocation(found->location);
    ReloadProducts(found->product, found->idCap, std::nullopt);
}

void TFisaProdF::CautAvansClick() {
    avans_->Bind(session_);
    const std::string name = avans_->searchProduct();
    if (!name.empty()) CautProdus->setText(Text(name));
}

// ---- Commands ----

void TFisaProdF::ListFisaClick() {
    if (!moves_ || moves_->empty()) {
        Mesaj(core::ChooseProductFirst());
        return;
    }
    const core::ExitCard card = *CurrentExitCard();
    const core::CardReportCaptions captions = core::MakeCardReportCaptions(
        session_.profile.denumire, CurrentLocation(), core::Today(), card.product,
        core::CardStockTexts(card.stock, card.unit, card.salePrice), cards_->asText("CATEG"),
        card.salePrice);
    PrintProductCard(*moves_, captions, this);
}

void TFisaProdF::IesireProdClick() {
    ExitOrTransfer(false);
}

void TFisaProdF::TransferProdClick() {
    ExitOrTransfer(true);
}

void TFisaProdF::ExitOrTransfer(bool transfer) {
    const std::optional<core::ExitCard> card = CurrentExitCard();
    if (const auto problem = core::CheckStockLeaves(card)) {
        ShowProblem(*problem, this);
        return;
    }
    if (!askExit) {
        Mesaj(transfer ? "Transfer produs" : "Iesire produs",
              "Dialogul pentru iesiri si transferuri nu este disponibil!", kButtonOK, kKindError);
        return;
    }
    const std::optional<core::ExitDocument> document = askExit(*card, transfer);
    if (!document) return;
    long long idFisa = 0;
    const bool posted = Guarded([&] {
        core::Settings& settings = session_.settings();
        idFisa = transfer ? core::PostStockTransfer(session_.db(), settings, *card, *document)
                          : core::PostStockExit(session_.db(), settings, *card, *document);
    });
    Reload(posted ? std::optional<long long>(idFisa) : std::nullopt);
}

void TFisaProdF::StergeOpClick() {
    std::optional<core::CardMovement> movement;
    if (OnRow(moves_.get()) && !Guarded([&] {
            movement =
                core::ReadCardMovement(session_.db(), moves_->asNumber("IDFISA").toLongLong());
        }))
        return;
    if (const auto problem = core::CheckDeleteOperation(movement)) {
        ShowProblem(*problem, this);
        return;
    }
    if (!Confirmed(core::DeleteOperationQuestion(*movement))) return;
    std::optional<core::FieldProblem> refusal;
    Guarded([&] { refusal = core::DeleteOperation(session_.db(), movement->idFisa); });
    if (refusal) ShowProblem(*refusal, this);
    Reload(std::nullopt);
}

}  // namespace tvx::ui
