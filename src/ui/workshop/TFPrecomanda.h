// The window "Precomenzi" (ui/workshop): the pre-orders with the search by client and plate,
// the buttons that add, modify and delete one through the editor TFAddPrecom, print the
// current one through the template "PrecoMod.rtf", and "&Factureaza", which ends the window
// handing the current pre-order's buyer to a new invoice. The list, the checks and every
// statement are core::PreOrders'; the window copies them to its controls.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "core/sales/EditorInputs.h"
#include "core/workshop/PreOrderEntry.h"
#include "core/workshop/PreOrders.h"
#include "ui/common/GridModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TFAddPrecom;

class TFPrecomanda : public QDialog {
    Q_OBJECT
  public:
    explicit TFPrecomanda(QWidget* parent = nullptr);
    ~TFPrecomanda() override;

    void Bind(core::Session& session);
    // Opens a filled reception sheet for the user; false when nothing could open it. Until
    // set, the sheet is written and not opened (as in tests).
    using DocumentOpener = std::function<bool(const QString& path)>;
    void setDocumentOpener(DocumentOpener open);

    // OpenPreOrders: writes the template when missing, lists the pre-orders on the last one
    // and shows the window modally. True when "&Factureaza" ended it; buyer() then holds the
    // chosen pre-order's buyer.
    bool OpenPreOrders();
    core::PreorderBuyer buyer() const;
    // The filled copy written by the last "&Listeaza Precomanda".
    const std::filesystem::path& lastPrintout() const { return lastPrintout_; }

    TFAddPrecom& editor() const { return *editor_; }

  private:
    void BuildControls();
    void BuildLayout();
    void ConnectCommands();
    static std::vector<GridColumn> Columns();
    void ShowRows();
    void CloseRows();
    // Runs `work` on the list (which reads its rows again) with the grid let go meanwhile.
    template <typename Work>
    bool Reading(Work&& work);
    void SearchChange();
    void TitleClick(int section);
    bool Refused(const char* message);

    void AddClick();
    void EditClick();
    void DelClick();
    void ListClick();
    void FactureazaClick();

    core::Session* session_ = nullptr;
    std::optional<core::PreOrders> list_;
    core::PreOrderEntry entry_;  // the editor's fields, also what "&Factureaza" hands over
    bool invoice_ = false;
    DocumentOpener opener_;
    std::filesystem::path lastPrintout_;
    TFAddPrecom* editor_;

    QLabel* Heading;
    QComboBox* NumeClient;
    QLineEdit* NrInmatriculare;
    QTableView* Grid;
    ResultSetModel* model_;
    QPushButton* AddBut;
    QPushButton* EditBut;
    QPushButton* DelBut;
    QPushButton* ListBut;
    QPushButton* FactBut;
};

}  // namespace tvx::ui
