// The pre-order editor "Precomanda noua" / "Modificare Precomanda" (ui/workshop): the
// client, the car, the reception with its dates and hours, the fuel level, the five checked
// parts with their remarks, other remarks and the client's description, bound to
// core::PreOrderEntry. The window copies the entry into its fields and back and shows the
// first failed check at its field; the pre-order window stores what it saves.
#pragma once

#include <QDialog>
#include <array>

#include "core/workshop/PreOrderEntry.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;

namespace tvx::ui {

class TFAddPrecom : public QDialog {
    Q_OBJECT
  public:
    explicit TFAddPrecom(QWidget* parent = nullptr);

    // Shows `entry` modally under `caption` ("Precomanda noua" or "Modificare Precomanda").
    // True when "&Memoreaza" passed the checks; the entry then holds the cleaned values.
    bool Edit(core::PreOrderEntry& entry, const char* caption);

  private:
    void BuildControls();
    void BuildLayout();
    void ShowFields();
    void ReadFields();
    void MemoreazaClick();

    core::PreOrderEntry* entry_ = nullptr;

    QLineEdit* NrCom;
    QDateEdit* DataCom;
    QLineEdit* Clientul;
    QLineEdit* Adresa;
    QLineEdit* Telefon;
    QLineEdit* CF;
    QLineEdit* RC;
    QLineEdit* IBAN;
    QLineEdit* Banca;
    QLineEdit* Inmatriculat;
    QLineEdit* Sasiu;
    QComboBox* Model;
    QLineEdit* Km;
    QLineEdit* Motor;
    QLineEdit* Asigurator;
    QLineEdit* Filiala;
    QComboBox* ReceptOm;
    QDateEdit* Receptie;
    QTimeEdit* ReceptieOra;
    QDateEdit* Garantie;
    QLineEdit* Revizie;
    QDateEdit* Termen;
    QTimeEdit* TermenOra;
    QComboBox* Nivel;
    std::array<QComboBox*, core::kPreChecks> V;
    std::array<QLineEdit*, core::kPreChecks> Obs;
    QPlainTextEdit* ObsG;
    QPlainTextEdit* Linii;
    QPushButton* Memoreaza;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
