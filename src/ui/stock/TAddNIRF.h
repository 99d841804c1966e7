// The header dialog of a goods received note, "Adaugare N.I.R." / "Modificare N.I.R."
// (ui/stock): number, date, the supplier with the grid of its incoming documents, and the three
// names. It binds its controls to core::NirHeaderForm, which holds the start values, the
// documents filter, the checks of "Memoreaza" and the saving of the header.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "core/stock/NirHeader.h"

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
struct NirNote;
}  // namespace tvx::core

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

class ResultSetModel;

class TAddNIRF : public QDialog {
    Q_OBJECT
  public:
    explicit TAddNIRF(core::Session& session, QWidget* parent = nullptr);
    ~TAddNIRF() override;

    // "Adauga Receptie": the dialog for a new note; the IDNIR of the note saved, or nullopt
    // when cancelled.
    std::optional<long long> NewHeader();
    // "&Modifica Receptia": the dialog on `note`; its IDNIR once saved, nullopt when cancelled.
    std::optional<long long> EditHeader(const core::NirNote& note);

    const core::NirHeaderForm& form() const { return form_; }

  private:
    void BuildControls();
    void BuildLayout();
    // Runs the dialog on the form's values; true after a save.
    bool Run();
    void ShowForm();
    void ReadFields();
    void ReloadDocuments(std::optional<long long> idFact);
    void SupplierChanged();
    std::optional<long long> CurrentDocument() const;
    void MemoButClick();

    core::Session& session_;
    core::NirHeaderForm form_;
    std::unique_ptr<tables::ResultSet> documents_;
    long long savedId_ = 0;

    QLabel* Titlu;
    QLineEdit* NrNirEdit;
    QDateEdit* DataNirEdit;
    QGroupBox* DocPanel;
    QComboBox* FurnizorBox;
    QTableView* FactGrid;
    ResultSetModel* documentModel_;
    QLineEdit* DelegatEdit;
    QLineEdit* ReceptEdit;
    QLineEdit* GestEdit;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
