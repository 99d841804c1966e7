// The preview of "Preluare e-Factura" (ui/purchases): what a received e-invoice holds --
// supplier, fiscal code, account and bank, number, dates, totals, the lines of the note to be
// made -- and the notes the user must see before saving. The user chooses whether a N.I.R. is
// made and on which stock location, writes the units of codes the settings do not know and may
// change each line's mark-up or sale price (the other follows, as in the NIR line dialog).
// Every rule is core::EInvoiceImport's; "&Memoreaza" refuses while a note stops the import and
// otherwise closes as saved (the incoming documents window posts).
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tvx::core {
class EInvoiceImport;
}

namespace tvx::ui {

class TFPreluareEFactF : public QDialog {
    Q_OBJECT
  public:
    explicit TFPreluareEFactF(QWidget* parent = nullptr);

    // Shows `import` (prepared) modally with the stock locations to choose from (the first
    // chosen); returns whether the user saved. The choices and edits are left in `import`.
    bool Preview(core::EInvoiceImport& import, const std::vector<std::string>& locations);

  private:
    void ShowHeader();
    void ShowLines();
    void ShowRow(int row);
    void ShowNotes();
    void LineEdited(int row, int column);
    void NirChanged();
    void MemoreazaClick();

    core::EInvoiceImport* import_ = nullptr;
    bool loading_ = false;

    QLabel* Antet;
    QCheckBox* FaceNir;
    QComboBox* GesBox;
    QTableWidget* LiniiGrid;
    QPlainTextEdit* Mesaje;
    QPushButton* Memoreaza;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
