// The warehouse window "Magazie - Inventar" (ui/stock): the stock of the cards summed by
// product and price in a read-only grid, the four selection lists (location, product,
// category, stock), the total of the rows shown and the printed inventory. The query, its
// conditions, the total and the printout's check live in core/stock (Inventory).
#pragma once

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
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

class TMagazieF : public QDialog {
    Q_OBJECT
  public:
    explicit TMagazieF(core::Session& session, QWidget* parent = nullptr);
    ~TMagazieF() override;

    // OpenWarehouse: fills the lists, each on its first item, shows the stock of every card
    // and the window modally; the query is closed when it closes.
    void OpenWarehouse();

  private:
    void BuildControls();
    void BuildLayout();
    void FillLists();
    // Any list changed: the query is rebuilt; a change during a rebuild causes one more.
    void CriteriaChanged();
    void Rebuild();
    void ListeazaClick();

    core::Session& session_;
    std::unique_ptr<tables::ResultSet> rows_;
    bool rebuilding_ = false;
    bool rebuildAgain_ = false;

    QTableView* ListaProduse;
    ResultSetModel* model_;
    QComboBox* GesBox;
    QComboBox* ProdBox;
    QComboBox* CategBox;
    QComboBox* StocBox;
    QLabel* TotalText;
    QPushButton* Listeaza;
};

}  // namespace tvx::ui
