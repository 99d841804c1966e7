// The line dialog of a goods received note, "Adaugare produs" / "Modificare produs"
// (ui/stock): product, category, unit, quantities, the supplier price with its currency, the
// computed values, mark-up and sale price, location, warranty, bar code, remarks and the
// exchange rates. It binds its controls to core::NirLineForm: every reaction copies the
// controls into the form, runs the form's reaction and copies every field back with the
// controls' own change signals blocked, so the arithmetic seen live is the core's.
#pragma once

#include <QDialog>

#include "core/stock/NirLineForm.h"

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

class TNIRProdF : public QDialog {
    Q_OBJECT
  public:
    explicit TNIRProdF(core::Session& session, QWidget* parent = nullptr);

    // The state shown and edited: set it (setVat, then resetForAdd or fillForEdit) before Edit.
    core::NirLineForm& form() { return form_; }
    // Shows the dialog on the form's values; true after "&Memoreaza" passed its checks. The
    // exchange rates go back to the settings whichever way the dialog closes.
    bool Edit();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildLayout();
    void ConnectReactions();

    // Widgets -> form; form -> widgets. `editing` is the control being typed in: its text is
    // kept while it still reads as the form's value (so "3." stays while "3.5" is typed).
    void ReadFields();
    void ShowFields(const QWidget* editing = nullptr);
    void ShowEnabling();
    void FillLists();
    // Copies the controls in, runs `reaction` on the form and copies every field back.
    template <typename Reaction>
    void React(const QWidget* editing, Reaction&& reaction);
    void MemoButClick();

    core::Session& session_;
    core::NirLineForm form_;

    QLabel* Titlu;
    QComboBox* ProdBox;
    QComboBox* CategBox;
    QComboBox* UmBox;
    QLineEdit* CantFEdit;
    QLineEdit* CantREdit;
    QLineEdit* PretEdit;
    QComboBox* MonedaBox;
    QLabel* PretTVAText;
    QLineEdit* ValFEdit;
    QLineEdit* TvaFEdit;
    QLineEdit* TotFEdit;
    QLineEdit* AdaosEdit;
    QLabel* PretVLabel;
    QLineEdit* PretVEdit;
    QComboBox* GesBox;
    QDateEdit* GarantieEdit;
    QLineEdit* CodBareEdit;
    QPlainTextEdit* ObsEdit;
    QLineEdit* EuroEdit;
    QLineEdit* DolarEdit;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
