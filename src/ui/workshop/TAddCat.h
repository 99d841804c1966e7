// The service dialog "Adaugare / Modificare Serviciu" (ui/workshop): one service of the
// catalog bound to core::ServiceEntry. The window shows the entry's lists and fields, copies
// the typed values back on "Memoreaza" and shows the first failed check at its field; Esc
// and "Renunt" close it without saving. It writes nothing itself.
#pragma once

#include <QDialog>
#include <optional>

#include "core/workshop/ServiceEntry.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tvx::tables {
class Database;
}

namespace tvx::ui {

class TAddCat : public QDialog {
    Q_OBJECT
  public:
    explicit TAddCat(QWidget* parent = nullptr);

    // Binds the dialog to the engine `db` (again after the engine was replaced).
    void Bind(tables::Database& db);
    // The entry's state; valid after Bind.
    core::ServiceEntry& entry() { return *entry_; }

    // EditService: the caller prepared the entry (ServiceCatalog::startAdd / startEdit); the
    // dialog shows it under the entry's title, modally. True after a save whose checks passed.
    bool EditService();

  private:
    void BuildControls();
    void BuildLayout();
    // Entry -> widgets, lists and fields.
    void ShowFields();
    // Widgets -> entry.
    void ReadFields();
    void Button1Click();

    std::optional<core::ServiceEntry> entry_;
    const tables::Database* boundDb_ = nullptr;

    QLabel* Titlu;
    QComboBox* Grupa;
    QComboBox* SubGrupa;
    QComboBox* categ;
    QComboBox* Produs;
    QComboBox* UM;
    QLineEdit* ValOut;
    QLineEdit* Obs;
    QPushButton* Button1;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
