// The rate dialog "Tarif lei/ora" (ui/workshop): a car type and a section chosen from the
// lists of the time norms and a whole rate, bound to core::HourlyRateEntry. "&Memoreaza" shows
// the first failed check at its field; Esc and "&Renunt" close it without a change.
#pragma once

#include <QDialog>

#include "core/workshop/TimeNormEntry.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tvx::ui {

class TFTarif : public QDialog {
    Q_OBJECT
  public:
    explicit TFTarif(QWidget* parent = nullptr);

    core::HourlyRateEntry& entry() { return entry_; }
    // Shows the entry the caller prepared (TimeNorms::startRate) modally; true after a save
    // whose checks passed.
    bool AskRate();

  private:
    void BitBtn1Click();

    core::HourlyRateEntry entry_;
    QComboBox* TipAuto;
    QComboBox* Sectia;
    QLineEdit* Tarif;
    QPushButton* BitBtn1;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
