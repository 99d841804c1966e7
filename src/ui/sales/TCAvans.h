// "Cautare Avansata" (ui/sales): finds a product name by a word it contains, over the goods
// stock cards of every location, bound to core::ProductSearch. The product picker and the
// product card open it and take the chosen name.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "core/sales/ProductPicker.h"

class QLineEdit;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class ResultSetModel;

class TCAvans : public QDialog {
    Q_OBJECT
  public:
    explicit TCAvans(QWidget* parent = nullptr);

    // Binds the window to the session's engine (again after the engine was replaced).
    void Bind(core::Session& session);
    // The search's state; valid after Bind.
    core::ProductSearch& search() { return *search_; }

    // SearchProduct: shows every goods card, searches as a word is typed and returns the
    // chosen card's name; empty when cancelled or nothing was shown.
    std::string searchProduct();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void ConnectReactions();
    void ShowRows();
    void Edit1Change();
    void TitleClick(int column);
    void AlesInchide();

    std::optional<core::ProductSearch> search_;
    const void* boundDb_ = nullptr;
    std::string result_;

    QLineEdit* Edit1;
    QTableView* SMDBGrid3;
    ResultSetModel* model_;
    QPushButton* AmAles;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
