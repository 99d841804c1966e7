// The keys every window shares (ui/common): Enter moves to the next field and, on a dialog's
// last field, presses its save button; Esc closes the window (rejects a dialog). One filter
// object per window watches the window and every control inside it.
#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QEvent;

namespace tvx::ui {

// A key press of Enter or Return (the keypad's too) without other modifiers: what the windows
// that handle Enter themselves (a bar code, a chosen row) react to.
bool IsEnterKey(const QEvent* event);

class EnterEscFilter : public QObject {
    Q_OBJECT
  public:
    // Installs the keys on `window` and its present and future controls. `saveButton` (may be
    // null: Enter then only moves on) is pressed by Enter on the last field; `lastField`
    // names that field, or, when null, it is the last visible, enabled input of the focus
    // chain at the time of the key. The filter is owned by `window`.
    static EnterEscFilter* install(QWidget* window, QAbstractButton* saveButton = nullptr,
                                   QWidget* lastField = nullptr);

    void setSaveButton(QAbstractButton* button) { save_ = button; }
    void setLastField(QWidget* field) { last_ = field; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    EnterEscFilter(QWidget* window, QAbstractButton* saveButton, QWidget* lastField);
    void watch(QObject* object);
    QWidget* lastField() const;
    QWidget* nextField(QWidget* from) const;
    bool takesFocus(QWidget* w) const;
    void EnterPressed(QWidget* focus);
    void EscPressed();

    QWidget* window_;
    QPointer<QAbstractButton> save_;
    QPointer<QWidget> last_;
};

}  // namespace tvx::ui
