// The quantity dialog "Stabileste cantitatea" (ui/sales): a quantity and a time in hours for
// an operation of the time norms. The caller fills both before showing it and keeps them only
// after "&Memoreaza".
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "core/admin/AdminCommon.h"
#include "tables/Decimal.h"

class QLineEdit;
class QPushButton;

namespace tvx::ui {

class TStabCant : public QDialog {
    Q_OBJECT
  public:
    explicit TStabCant(QWidget* parent = nullptr);

    // What the caller refuses of the typed quantity and hours (a balloon at its field; the
    // dialog stays open).
    using Check = std::function<std::optional<core::FieldProblem>(const tables::Decimal& quantity,
                                                                  const tables::Decimal& hours)>;

    // AskQuantity: shows `quantity` and `hours`; after "&Memoreaza" (and `check`, when given,
    // passing) both take what was typed and the answer is true, otherwise they are left as
    // they were.
    bool askQuantity(tables::Decimal& quantity, tables::Decimal& hours, Check check = {});

  private:
    void BitBtn1Click();

    Check check_;
    QLineEdit* CantEd;
    QLineEdit* TimpEd;
    QPushButton* BitBtn1;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
