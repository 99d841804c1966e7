// The window "Catalog Servicii" (ui/workshop): the services of one category, chosen through
// the lists Grupa, Subgrupa and Categ, with the buttons that add, modify and delete a service
// (through the dialog TAddCat) and "Am ales", which hands the current service to the service
// picker. The lists, the filter, the enabled buttons and every statement are
// core::ServiceCatalog's; the window copies them to its controls and shows its questions.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "core/sales/EditorInputs.h"
#include "core/workshop/ServiceCatalog.h"
#include "ui/common/GridModel.h"

class QComboBox;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TAddCat;

class TCatalog : public QDialog {
    Q_OBJECT
  public:
    explicit TCatalog(QWidget* parent = nullptr);
    ~TCatalog() override;

    // Binds the window and its dialog to the session's engine and settings (again after
    // the engine was replaced).
    void Bind(core::Session& session);

    // ChooseService: opens the catalog on its first group, shows the window modally and
    // returns the service chosen with "Am ales", nullopt when it was closed otherwise (or
    // the window is not bound). The rows are let go when it closes.
    std::optional<core::CatalogService> chooseService();

  private:
    void BuildControls();
    void BuildLayout();
    void ConnectCommands();
    static std::vector<GridColumn> Columns();

    // Core -> lists, grid and buttons.
    void ShowLists();
    void ShowRows();
    void CloseRows();

    void GrupaChange(int index);
    void SubgrupaChange(int index);
    void CategChange(int index);
    void AddBClick();
    void EditBClick();
    void DelBClick();
    void AlesBClick();

    std::optional<core::ServiceCatalog> catalog_;
    const core::Session* boundSession_ = nullptr;
    std::optional<core::CatalogService> chosen_;

    TAddCat* serviceDialog_;
    QComboBox* Grupa;
    QComboBox* Subgrupa;
    QComboBox* Categ;
    QTableView* Servicii;
    ResultSetModel* model_;
    QPushButton* AddB;
    QPushButton* EditB;
    QPushButton* DelB;
    QPushButton* AlesB;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
