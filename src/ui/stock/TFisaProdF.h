// The window "Magazie - Fisa produsului. Miscari." (ui/stock): for the chosen stock location
// and product, the product's cards by sale price and the movements of the chosen card with the
// final stock; the bar code and advanced searches; and the commands that print the card, take
// goods out of it, transfer them to another location and delete one movement. The lists, texts,
// checks and postings live in core/stock (ProductCard); the exit and transfer dialog is reached
// through a hook the application sets.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/stock/ExitDocument.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

class ResultSetModel;
class TCAvans;

class TFisaProdF : public QDialog {
    Q_OBJECT
  public:
    // The exit and transfer dialog: shows the card, returns the document the user saved, or
    // nothing when cancelled. `transfer` asks for a destination as well.
    using ExitAsker =
        std::function<std::optional<core::ExitDocument>(const core::ExitCard&, bool transfer)>;

    explicit TFisaProdF(core::Session& session, QWidget* parent = nullptr);
    ~TFisaProdF() override;

    // OpenProductCard: asks for the locations when GesLista.txt is missing; otherwise lists
    // the first location's products and shows the window modally.
    void OpenProductCard();
    // "Da" to the question about the missing location list opens the administration window.
    void setAdministrationOpener(std::function<void()> open);
    // Until set, "&Iesire produs" and "&Transfer produs" say that the dialog is not available.
    ExitAsker askExit;

    TCAvans& advancedSearch() const { return *avans_; }

    // The commands, as the buttons run them.
    void CautCodClick();
    void CautAvansClick();
    void ListFisaClick();
    void IesireProdClick();
    void TransferProdClick();
    void StergeOpClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildLayout();
    void ConnectCommands();

    // Each level reopened below the one above, keeping the current product, card or movement
    // when it is still there.
    void LocationChanged();
    void ReloadProducts(const std::string& product, std::optional<long long> idCap,
                        std::optional<long long> idFisa);
    void ProductChanged(std::optional<long long> idCap = std::nullopt,
                        std::optional<long long> idFisa = std::nullopt);
    void CardChanged(std::optional<long long> idFisa = std::nullopt);
    void ShowStock();
    void Reload(std::optional<long long> idFisa);
    void SelectLocation(const std::string& location);
    void CloseQueries();

    std::string CurrentLocation() const;
    std::string CurrentProduct() const;
    std::optional<long long> CurrentCardId() const;
    std::optional<core::ExitCard> CurrentExitCard() const;
    void ExitOrTransfer(bool transfer);

    core::Session& session_;
    std::function<void()> administrationOpener_;
    std::unique_ptr<tables::ResultSet> products_;
    std::unique_ptr<tables::ResultSet> cards_;
    std::unique_ptr<tables::ResultSet> moves_;
    bool reloading_ = false;
    bool cardChangePending_ = false;
    TCAvans* avans_;

    QListWidget* Gestiunea;
    QLineEdit* CautProdus;
    QPushButton* CautAvans;
    QTableView* ProdusGrid;
    ResultSetModel* productModel_;
    QTableView* PretGrid;
    ResultSetModel* cardModel_;
    QLabel* CategText;
    QLineEdit* CodBare;
    QPushButton* CautCod;
    QTableView* FiseGrid;
    ResultSetModel* moveModel_;
    QLabel* StocText;
    QLabel* UMText;
    QLabel* ValText;
    QPushButton* ListFisa;
    QPushButton* IesireProd;
    QPushButton* TransferProd;
    QPushButton* StergeOp;
};

}  // namespace tvx::ui
