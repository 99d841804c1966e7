// The service picker "Adaugare serviciu" (ui/sales): a service line of the outgoing invoice
// composed of name, unit, quantity and price with VAT, bound to core::ServicePicker. A name
// chosen from the list proposes the unit and price of its latest service line; "Catalog" takes
// a service of the catalog through the CatalogChooser hook.
#pragma once

#include <QDialog>
#include <optional>

#include "core/sales/ServicePicker.h"
#include "ui/sales/InvoiceEditing.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TServAddF : public QDialog {
    Q_OBJECT
  public:
    explicit TServAddF(QWidget* parent = nullptr);

    // Binds the window to the session's engine (again after the engine was replaced).
    void Bind(core::Session& session);
    // The service catalog "Catalog" opens; without one the button does nothing.
    void setCatalogChooser(CatalogChooser chooser) { catalogChooser_ = std::move(chooser); }
    // The picker's state; valid after Bind.
    core::ServicePicker& picker() { return *picker_; }

    // PickService: the line composed, or nullopt when cancelled.
    std::optional<core::ServicePick> pickService();

  private:
    void BuildControls();
    void BuildLayout();
    void ConnectReactions();
    void ReadFields();
    void ShowFields();
    template <typename Reaction>
    void React(Reaction&& reaction);

    void BitBtn3Click();
    void B11Click();

    const void* boundDb_ = nullptr;
    std::optional<core::ServicePicker> picker_;
    CatalogChooser catalogChooser_;

    QComboBox* ComboBox1;
    QLineEdit* UmEd;
    QLineEdit* CantEd;
    QLineEdit* PretFEd;
    QLabel* TotalL;
    QPlainTextEdit* ObsEd;
    QDateEdit* GarantieEd;
    QPushButton* B11;
    QPushButton* Renunt;
    QPushButton* BitBtn3;
};

}  // namespace tvx::ui
