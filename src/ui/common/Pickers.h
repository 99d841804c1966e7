// The report pickers (ui/common): the period picker (two dates, the stock location, the
// representative) and the month picker. Each binds its widgets to a core choice object
// that keeps the values between uses.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/common/PeriodChoice.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tvx::ui {

class TAlegeDataF : public QDialog {
    Q_OBJECT
  public:
    explicit TAlegeDataF(QWidget* parent = nullptr);

    // The title line set by the caller ("Jurnal cumparari").
    void setTitle(const QString& title);
    void setLocationVisible(bool visible);
    void setRepresentativeVisible(bool visible);
    // The dates the next Alege shows (a caller's proposal, e.g. the month before a day).
    void propose(tables::Date from, tables::Date to);
    // The representative choice, filled by the caller.
    QComboBox* representatives() const { return Reprez; }

    // Refills the location choice from the location list's lines (the first item chosen)
    // and shows the window modally; true only after "&Am ales".
    bool Alege(const std::vector<std::string>& locationLines);
    const core::PeriodChoice& choice() const { return choice_; }

  private:
    void AmAlesClick();
    void readWidgets();
    core::PeriodChoice choice_;
    QLabel* Titlu;
    QDateEdit* DeLa;
    QDateEdit* PanaLa;
    QLabel* GesLabel;
    QComboBox* GesAles;
    QLabel* ReprezLabel;
    QComboBox* Reprez;
    QPushButton* AmAles;
    QPushButton* Renunt;
};

class TAlegeLunaF : public QDialog {
    Q_OBJECT
  public:
    explicit TAlegeLunaF(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    // Shows the window modally; true only after "&Am ales".
    bool Alege();
    const core::MonthChoice& choice() const { return choice_; }

  private:
    void AmAlesClick();
    core::MonthChoice choice_;
    QLabel* Titlu;
    QComboBox* ComboBox1;
    QSpinBox* Anul;
    QPushButton* AmAles;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
