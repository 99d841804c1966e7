// The cash register book window "Registru de casa" (ui/purchases): "La data" with the balance
// before the day and at its end, the day's operations in a read-only grid with their totals,
// the manual entries ("Adauga Plata", "Adauga Incasare", "Sterge Linia") and "&Listeaza", the
// workbook of a period. The book, its balances and checks live in core/purchases (CashBook);
// the workbook is written by a hook the application connects to core's RegCasa export.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "core/purchases/CashBook.h"
#include "core/purchases/CashEntry.h"

class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class ResultSetModel;
class TAlegeDataF;
class TRegCasaChitPlataF;

class TRegCasaF : public QDialog {
    Q_OBJECT
  public:
    // Writes the period's book into the RegCasa workbook and shows it; errors are its own to
    // show.
    using WorkbookExport = std::function<void(const core::CashBookPeriod& period, QWidget* parent)>;

    explicit TRegCasaF(core::Session& session, QWidget* parent = nullptr);
    ~TRegCasaF() override;

    // OpenCashBook: builds the cash book table under the progress window, shows the day chosen
    // last time (today at the first opening) and the window modally, and deletes the table
    // when it closes.
    void OpenCashBook();

    // The RegCasa workbook export behind "&Listeaza" (the application connects it).
    void setWorkbookExport(WorkbookExport exportBook) { workbookExport_ = std::move(exportBook); }
    TAlegeDataF& periodPicker() const { return *picker_; }
    TRegCasaChitPlataF& entryDialog() const { return *entryDialog_; }

  private:
    void BuildLayout();
    // A change of "La data": recomputes the day; a change during the computation causes one
    // more when it ends.
    void ShowDay();
    void Recompute();
    void AddEntry(core::CashEntryKind kind);
    void StergeLiniaClick();
    void ListeazaClick();
    std::optional<core::CashLine> CurrentLine();

    core::Session& session_;
    std::unique_ptr<core::CashBook> book_;
    std::unique_ptr<tables::ResultSet> rows_;
    WorkbookExport workbookExport_;
    bool computing_ = false;
    bool computeAgain_ = false;

    TRegCasaChitPlataF* entryDialog_;
    TAlegeDataF* picker_;
    QDateEdit* LaData;
    QLabel* SoldPrecedent;
    QLabel* SoldFinal;
    QTableView* GridCasa;
    ResultSetModel* model_;
    QLabel* TotalIncasat;
    QLabel* TotalPlatit;
    QPushButton* AdaugaPlata;
    QPushButton* AdaugaIncasare;
    QPushButton* StergeLinia;
    QPushButton* Listeaza;
};

}  // namespace tvx::ui
