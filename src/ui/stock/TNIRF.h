// The window "Note de receptie" (ui/stock): the list of goods received notes with its search
// box, the header of the current note, its lines with the totals, and the commands for notes
// and lines. The window binds its controls to core/stock: the queries, filters, checks, the
// cashier's lock and every statement live there; the window shows problems and messages and
// reopens its grids on the note and line a command left current.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "core/stock/NirLine.h"
#include "core/stock/NirNotes.h"

class QLabel;
class QLineEdit;
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
class TAddNIRF;
class TNIRProdF;

class TNIRF : public QDialog {
    Q_OBJECT
  public:
    explicit TNIRF(core::Session& session, QWidget* parent = nullptr);
    ~TNIRF() override;

    // Opens both queries on the last note, shows the window modally (the logged-in grade is
    // session.grade) and closes the queries when it closes.
    void OpenNirList();
    // "Da" to the question about a missing location list opens the administration window;
    // until set, the question is answered and nothing opens.
    void setAdministrationOpener(std::function<void()> open);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Controls and layout (TNIRFLayout.cpp).
    void BuildControls();
    void BuildLayout();
    void ConnectCommands();

    // Queries: both reopened, the list positioned on `idNir` (the last note when absent or
    // filtered out) and the lines on `idProd` (the last line when absent).
    void Reopen(std::optional<long long> idNir, std::optional<long long> idProd);
    void CloseQueries();
    void SearchChanged();
    // The current note changed: lines filtered on it, header and totals shown, lock applied.
    void NoteChanged(std::optional<long long> idProd = std::nullopt);
    void ShowNote(const std::optional<core::NirNote>& note);
    std::optional<long long> CurrentNoteId() const;
    std::optional<core::NirNote> CurrentNote() const;
    std::optional<core::NirLineRow> CurrentLine() const;

    // Notes.
    TAddNIRF& HeaderDialog();
    void AddNirClick();
    void EditNirClick();
    void DelNirClick();
    void PrintNirClick();

    // Lines.
    TNIRProdF& LineDialog();
    void AddProdClick();
    void EditProdClick();
    void DelProdClick();

    core::Session& session_;
    std::unique_ptr<tables::ResultSet> notes_;
    std::unique_ptr<tables::ResultSet> lines_;
    std::function<void()> administrationOpener_;
    bool reloading_ = false;
    TAddNIRF* headerDialog_ = nullptr;
    TNIRProdF* lineDialog_ = nullptr;

    QTableView* NirGrid;
    ResultSetModel* noteModel_;
    QLineEdit* CautFurnizor;
    QLineEdit* CautNumar;
    QPushButton* AddNir;
    QPushButton* EditNir;
    QPushButton* DelNir;
    QPushButton* PrintNir;

    QLabel* NrNirText;
    QLabel* DataNirText;
    QLabel* FurnizorText;
    QLabel* DocText;
    QLabel* SerieText;
    QLabel* DataFactText;
    QLabel* DelegatText;

    QTableView* ProdGrid;
    ResultSetModel* lineModel_;
    QLabel* ReceptioText;
    QLabel* GestioText;
    QLabel* VmfText;
    QLabel* VafText;
    QLabel* VacText;
    QLabel* VtnText;
    QLabel* TotalText;
    QPushButton* AddProd;
    QPushButton* EditProd;
    QPushButton* DelProd;
};

}  // namespace tvx::ui
