// The client statement window "FISE CLIENTI" (ui/sales) and the selection dialog "Selectie"
// of unpaid invoices: the statement window shows the invoices and receipts of one buyer since
// a date with their totals and prints the statement "Fisa client"; the selection dialog
// chooses the buyer text and the invoice dates. Both are bound to core/sales/ClientStatements.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/sales/ClientStatements.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class ResultSetModel;

class TFiseClF : public QDialog {
    Q_OBJECT
  public:
    TFiseClF(core::Session& session, QWidget* parent = nullptr);

    // Fills the buyers (the first chosen), reads the invoices and receipts, shows the window
    // modally and lets the lists go when it closes.
    void OpenClientStatements();
    // Client or date changed: filters both lists and sums the invoices shown.
    void SocBoxChange();
    // "&Listeaza": the statement of the chosen buyer since the date, in the preview.
    void BitBtn3Click();

    QString totalInvoiced() const;
    QString totalLeft() const;

  private:
    core::Session& session_;
    tables::ResultSet invoices_;
    tables::ResultSet receipts_;
    bool open_ = false;
    bool busy_ = false;
    bool pending_ = false;
    QComboBox* SocBox;
    QDateEdit* DataBox;
    QTableView* FactGrid;
    QTableView* ChitGrid;
    ResultSetModel* factModel_;
    ResultSetModel* chitModel_;
    QLabel* TotalFact;
    QLabel* TotalRest;
    QPushButton* BitBtn3;
    QPushButton* Renunt;
};

class TSelectFactF : public QDialog {
    Q_OBJECT
  public:
    explicit TSelectFactF(QWidget* parent = nullptr);

    // Shows the dialog over `items` ("* toate *" and the buyers); true after "&Listeaza".
    bool Selecteaza(const std::vector<std::string>& items);
    const core::UnpaidSelection& selection() const { return selection_; }

  private:
    core::UnpaidSelection selection_;
    QComboBox* SocBox;
    QDateEdit* DeLa;
    QDateEdit* PanaLa;
    QPushButton* Listeaza;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
