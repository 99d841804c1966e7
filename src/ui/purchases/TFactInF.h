// The window "Acte de intrare" (ui/purchases): the documents received from suppliers with what
// is left to pay on each, their supplier search and title-click ordering, the payments of the
// current document, and the commands of its buttons -- adding, modifying and deleting a
// document through the editor TFactInAddF, paying through TChitInAddF, "Preluare Aviz", and
// "Preluare e-Factura" through the preview TFPreluareEFactF.
// Every rule, question and statement is core::IncomingInvoices'; the window binds the grids
// and the buttons to it and shows its problems and messages.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/purchases/IncomingInvoices.h"
#include "ui/common/GridModel.h"

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

class TChitInAddF;
class TFactInAddF;
class TFPreluareEFactF;

class TFactInF : public QDialog {
    Q_OBJECT
  public:
    explicit TFactInF(core::Session& session, QWidget* parent = nullptr);
    ~TFactInF() override;

    // OpenIncomingInvoices: clears the search, lists the documents in their first order on
    // the last one, shows the window modally and closes both lists on exit.
    void Open();
    // The file chooser of "Preluare Aviz" (a non-native open dialog by default): returns the
    // chosen path or empty. Tests replace it; an empty function restores the dialog.
    static void setAvizChooser(std::function<QString(QWidget*)> choose);
    // The same for "Preluare e-Factura" (XML or ZIP).
    static void setEInvoiceChooser(std::function<QString(QWidget*)> choose);

  private:
    // Controls and layout (TFactInFLayout.cpp).
    void BuildControls();
    void BuildLayout();
    void ConnectCommands();
    static std::vector<GridColumn> DocumentColumns();
    static std::vector<GridColumn> PaymentColumns();

    // Lists: the documents reread on `idFact` (the last one when 0 or gone), the payments
    // of the current document on `idChit` (the first one when 0 or gone).
    void ShowDocuments(long long idFact, long long idChit = 0);
    void ShowPayments(long long idChit);
    void DocumentMoved();
    void PaymentMoved();
    void CloseLists();
    void TitleClick(int section);
    void SearchChange(const QString& text);

    // Buttons.
    void AdaugaIntrareClick();
    void ModificaIntrareClick();
    void StergeIntrareClick();
    void PreluareAvizClick();
    void PreluareEFacturaClick();
    void AdaugaPlataClick();
    void ModificaPlataClick();
    void StergePlataClick();

    core::Session& session_;
    std::optional<core::IncomingInvoices> invoices_;
    std::unique_ptr<tables::ResultSet> documents_;
    std::unique_ptr<tables::ResultSet> payments_;
    bool loading_ = false;

    TFactInAddF* editorDialog_;
    TChitInAddF* paymentDialog_;
    TFPreluareEFactF* eInvoiceDialog_;

    QLineEdit* CautaFurnizor;
    QTableView* IstoricIntrari;
    ResultSetModel* documentModel_;
    QPushButton* AdaugaIntrare;
    QPushButton* ModificaIntrare;
    QPushButton* StergeIntrare;
    QPushButton* PreluareAviz;
    QPushButton* PreluareEFactura;
    QTableView* AchitatCu;
    ResultSetModel* paymentModel_;
    QPushButton* AdaugaPlata;
    QPushButton* ModificaPlata;
    QPushButton* StergePlata;
};

}  // namespace tvx::ui
