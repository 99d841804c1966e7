// The quantity dialog "Stabileste cantitatea" (ui/sales): a quantity and a time in hours for
// an operation of the time norms. The caller fills both before showing it and keeps them only
// after "&Memoreaza".
#pragma once

#include <QDialog>

#include "tables/Decimal.h"

class QLineEdit;
class QPushButton;

namespace tvx::ui {

class TStabCant : public QDialog {
    Q_OBJECT
  public:
    explicit TStabCant(QWidget* parent = nullptr);

    // AskQuantity: shows `quantity` and `hours`; after "&Memoreaza" both take what was typed
    // and the answer is true, otherwise they are left as they were.
    bool askQuantity(tables::Decimal& quantity, tables::Decimal& hours);

  private:
    QLineEdit* CantEd;
    QLineEdit* TimpEd;
    QPushButton* BitBtn1;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
