// The window "Normativ de timp" (ui/workshop): the operations of one car type and section,
// chosen in the lists TipAuto and Sectia, with the buttons that add, modify and delete an
// operation (dialog TAddServAuto), set how many times an operation is billed and its standard
// time (the quantity dialog TStabCant), set the hourly rate of a section (dialog TFTarif) and
// print the list. The lists, the grid and every statement are core::TimeNorms'; the window
// copies them to its controls and shows its questions and refusals.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "core/workshop/TimeNorms.h"
#include "ui/common/GridModel.h"

class QComboBox;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TAddServAuto;
class TFTarif;
class TStabCant;

class TServAuto : public QDialog {
    Q_OBJECT
  public:
    explicit TServAuto(QWidget* parent = nullptr);
    ~TServAuto() override;

    // Binds the window and its dialogs to the session (again after the engine was replaced).
    void Bind(core::Session& session);

    // OpenTimeNorms: shows the window modally with nothing chosen; true when it was closed
    // with "Memoreaza". The quantities set stay in Timp either way.
    bool OpenTimeNorms();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildLayout();
    void ConnectCommands();
    static std::vector<GridColumn> Columns();

    void ShowLists();
    void ShowRows();
    void CloseRows();
    // Shows a refusal of the core at its control; true when there was one.
    bool Refused(const std::optional<core::FieldProblem>& problem);

    void TipAutoChange(int index);
    void SectiaChange(int index);
    void AddOpClick();
    void EditOpClick();
    void DelOpClick();
    void CantBtnClick();
    void TarifBtnClick();
    void ListBtnClick();

    std::optional<core::TimeNorms> norms_;
    core::Session* session_ = nullptr;

    TAddServAuto* operationDialog_;
    TFTarif* rateDialog_;
    TStabCant* quantityDialog_;
    QComboBox* TipAuto;
    QComboBox* Sectia;
    QTableView* Operatii;
    ResultSetModel* model_;
    QPushButton* MemBtn;
    QPushButton* Renunt;
    QPushButton* AddOp;
    QPushButton* EditOp;
    QPushButton* DelOp;
    QPushButton* CantBtn;
    QPushButton* TarifBtn;
    QPushButton* ListBtn;
};

}  // namespace tvx::ui
