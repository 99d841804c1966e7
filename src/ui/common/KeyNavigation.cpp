// Enter and Esc for every window (ui/common).
#include "ui/common/KeyNavigation.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QChildEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>

namespace tvx::ui {

bool IsEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           !(key->modifiers() & ~Qt::KeypadModifier);
}

EnterEscFilter* EnterEscFilter::install(QWidget* window, QAbstractButton* saveButton,
                                        QWidget* lastField) {
    return new EnterEscFilter(window, saveButton, lastField);
}

EnterEscFilter::EnterEscFilter(QWidget* window, QAbstractButton* saveButton, QWidget* lastField)
    : QObject(window), window_(window), save_(saveButton), last_(lastField) {
    watch(window);
}

void EnterEscFilter::watch(QObject* object) {
    object->installEventFilter(this);
    for (QObject* child : object->children())
        if (child->isWidgetType()) watch(child);
}

bool EnterEscFilter::takesFocus(QWidget* w) const {
    return w && w != window_ && w->window() == window_ && w->isVisible() && w->isEnabled() &&
           (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

// A push button ends the fields; ticks and option buttons are fields.
static bool isCommandButton(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) && !qobject_cast<const QCheckBox*>(w) &&
           !qobject_cast<const QRadioButton*>(w);
}

QWidget* EnterEscFilter::lastField() const {
    if (last_ && last_->isVisible() && last_->isEnabled()) return last_;
    QWidget* found = nullptr;
    QWidget* w = window_->nextInFocusChain();
    for (int guard = 0; w && w != window_ && guard < 1000; ++guard, w = w->nextInFocusChain())
        if (takesFocus(w) && !isCommandButton(w)) found = w;
    return found;
}

QWidget* EnterEscFilter::nextField(QWidget* from) const {
    QWidget* w = from->nextInFocusChain();
    for (int guard = 0; w && w != from && guard < 1000; ++guard, w = w->nextInFocusChain())
        if (takesFocus(w)) return w;
    return nullptr;
}

void EnterEscFilter::EnterPressed(QWidget* focus) {
    if (isCommandButton(focus)) {
        static_cast<QAbstractButton*>(focus)->click();
        return;
    }
    if (save_ && focus == lastField()) {
        if (save_->isEnabled()) save_->click();
        return;
    }
    if (QWidget* next = nextField(focus)) next->setFocus(Qt::TabFocusReason);
}

void EnterEscFilter::EscPressed() {
    if (auto* dialog = qobject_cast<QDialog*>(window_))
        dialog->reject();
    else
        window_->close();
}

bool EnterEscFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) watch(child);
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != window_) return false;  // open drop-down lists, pop-ups
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~(Qt::KeypadModifier)) return false;
    if (key->key() == Qt::Key_Escape) {
        EscPressed();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (qobject_cast<QTextEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget)) return false;
    // Some controls pass the key on to their parents; act once, for the focused control.
    QWidget* focus = window_->focusWidget();
    if (!focus) focus = widget;
    if (widget != focus && !widget->isAncestorOf(focus) && widget != window_) return false;
    EnterPressed(focus);
    return true;
}

}  // namespace tvx::ui
