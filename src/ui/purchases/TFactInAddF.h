// The incoming invoice editor "Adaugare / Modificare factura de intrare" (ui/purchases): the
// header of one supplier document bound to core::IncomingInvoiceEditor. The window copies the
// widgets into the editor, lets the core react (a known supplier, the account's bank, the due
// date, the totals following each other) and copies back what the core changed; "&Memoreaza"
// shows the first failed check at its control. The dialog writes nothing itself.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "core/purchases/IncomingInvoiceEditor.h"
#include "tables/Date.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tvx::tables {
class Database;
}

namespace tvx::core {
class Settings;
}

namespace tvx::ui {

class TFactInAddF : public QDialog {
    Q_OBJECT
  public:
    explicit TFactInAddF(QWidget* parent = nullptr);

    // Binds the dialog to the engine `db` (again after the engine was replaced); the
    // "Autocalculeaza totalul." toggle keeps its state across bindings.
    void Bind(tables::Database& db);
    // The editor's state; valid after Bind.
    core::IncomingInvoiceEditor& editor() { return *editor_; }

    // NewIncomingDocument: resets the fields, titles the dialog for adding, puts the focus on
    // the supplier and shows it modally; true after a save whose checks passed.
    bool NewIncomingDocument(const core::Settings& settings, tables::Date today);
    // EditIncomingDocument: the caller filled the editor (IncomingInvoices::startEdit); the
    // dialog shows it titled for modifying; true after a save whose checks passed.
    bool EditIncomingDocument();

  private:
    void BuildControls();
    void BuildLayout();
    void ConnectReactions();
    bool Run();
    // Editor -> widgets, all fields, without setting off reactions.
    void ShowFields();
    // Widgets -> editor.
    void ReadFields();

    void SupplierChosen();
    void AccountChanged();
    void DateChanged();
    void NetTotalChanged();
    void GrossTotalChanged();
    void VatChanged();
    void MemoButClick();

    std::optional<core::IncomingInvoiceEditor> editor_;
    const tables::Database* boundDb_ = nullptr;

    QLabel* Titlu;
    QComboBox* Furnizor;
    QComboBox* DocJus;
    QLineEdit* SeriaNr;
    QDateEdit* DataIn;
    QDateEdit* DataScad;
    QLineEdit* Cont;
    QLineEdit* Banca;
    QLineEdit* CodFiscal;
    QLineEdit* TvaProc;
    QLineEdit* TotalFaraTva;
    QLineEdit* TotalCuTva;
    QToolButton* AutoCalc;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
