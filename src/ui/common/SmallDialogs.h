// The unit-of-measure chooser, the user dialog and the IBAN dialog (ui/common). Each binds
// its widgets to a core object that holds the state and the checks.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "core/common/IbanEntry.h"
#include "core/common/UnitChoice.h"
#include "core/common/UserEntry.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tvx::ui {

class TUMSF : public QDialog {
    Q_OBJECT
  public:
    explicit TUMSF(core::Settings& settings, QWidget* parent = nullptr);

    // Chooses the standardised unit of `unit`: true at once when its answer is remembered
    // with "do not ask", otherwise after "&Am ales"; false for "&Renunt" or Esc.
    bool Alege(const QString& unit);
    const core::UnitChoice& choice() const { return choice_; }

  private:
    void MemoButClick();
    core::UnitChoice choice_;
    QLabel* Unitate;
    QComboBox* UMS;
    QCheckBox* AutoU;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

class TFAddUser : public QDialog {
    Q_OBJECT
  public:
    explicit TFAddUser(QWidget* parent = nullptr);

    // The state shown and edited; set its fields before Edit to pre-fill the boxes.
    core::UserEntry& entry() { return entry_; }
    void setPasswordsEnabled(bool enabled);
    // Whether the name may be typed (adding) or only shown (changing a user).
    void setNameEditable(bool editable);
    // Whether the grade choice is shown.
    void setGradeShown(bool shown);
    // Shows the dialog with `title` ("Adaugare Utilizator", "Modificare utilizator");
    // `existingNames` are the users of the administration grid. True after "Memoreaza".
    bool Edit(const QString& title, const std::vector<std::string>& existingNames);

  private:
    void MemoButClick();
    core::UserEntry entry_;
    std::vector<std::string> existing_;
    QLabel* Titlu;
    QLineEdit* Nume;
    QComboBox* Gradul;
    QLineEdit* Pas1;
    QLineEdit* Pas2;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

class TAddCont : public QDialog {
    Q_OBJECT
  public:
    explicit TAddCont(QWidget* parent = nullptr);

    // Shows the dialog with `iban` in the field; true after "&Memoreaza".
    bool Edit(const QString& iban);
    // The IBAN without blanks.
    QString result() const { return QString::fromStdString(entry_.result()); }

  private:
    void ContChange(const QString& text);
    core::IbanEntry entry_;
    QLineEdit* Cont;
    QLabel* Banca;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
