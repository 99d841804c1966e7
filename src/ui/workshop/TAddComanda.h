// The dialog "Comanda Service" (ui/workshop): the service order of one outgoing invoice --
// number, date, car type, registration plate and technical state -- bound to the core's
// service orders. The window copies the order into its fields and back, shows the first
// failed check at its field and leaves the rules and the statements to the core. The sales
// window opens it before printing the work estimate, which reads the saved order.
#pragma once

#include <QDialog>
#include <QString>

#include "core/workshop/ServiceOrders.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TAddComanda : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kTitle = "Comanda Service";

    explicit TAddComanda(QWidget* parent = nullptr);

    // Binds the dialog to the session; its engine and settings are taken at each use.
    void Bind(core::Session& session);
    // Refills the "AUTO Tip" and "Starea tehnica" lists from the stored orders (once, at
    // start-up: a value typed later is offered from the next start on). An engine error is
    // shown and leaves the lists empty.
    void FillOrderLists();
    // Shows the order of invoice `idFacto` modally (a new one numbered from the counter).
    // True when it was saved; order() then holds the saved values.
    bool EditServiceOrder(const QString& idFacto);
    const core::ServiceOrder& order() const { return order_; }

  private:
    void BuildControls();
    void BuildLayout();
    // Order -> widgets.
    void ShowFields();
    // Widgets -> order.
    void ReadFields();
    void MemoButClick();

    core::Session* session_ = nullptr;
    core::ServiceOrder order_;

    QLineEdit* ComandaNr;
    QDateEdit* DinData;
    QComboBox* AutoTip;
    QLineEdit* NrCirc;
    QComboBox* StareTehnica;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
