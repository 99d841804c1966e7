// The progress window (ui/common).
#include "ui/common/Progress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/common/Controls.h"

namespace tvx::ui {

TContor& TContor::instance() {
    static TContor* window = [] {
        auto* w = new TContor();
        qAddPostRoutine([] { delete &TContor::instance(); });
        return w;
    }();
    return *window;
}

TContor::TContor()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    NameControl(this, "TContor", "Progres");
    setAttribute(Qt::WA_ShowWithoutActivating);
    Descr = new QLabel(this);
    NameControl(Descr, "Descr");
    Bar = new QProgressBar(this);
    NameControl(Bar, "Bar");
    Bar->setRange(0, 100);
    Bar->setTextVisible(true);
    Bar->setFormat("%p%");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Descr);
    layout->addWidget(Bar);
    setFixedWidth(380);
    setStyleSheet("#TContor { background: #f5f6f8; border: 1px solid #6b7280; }");
    setAttribute(Qt::WA_StyledBackground);
}

void TContor::repaintNow() {
    if (isVisible()) repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TContor::Arata(QWidget* window) {
    if (window) {
        window->setEnabled(false);
        window->setCursor(Qt::BusyCursor);
    }
    Bar->setRange(0, 100);
    Bar->setValue(0);
    adjustSize();
    QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    repaintNow();
}

void TContor::Distruge(QWidget* window) {
    hide();
    if (window) {
        window->setEnabled(true);
        window->unsetCursor();
        window->activateWindow();
        window->setFocus(Qt::OtherFocusReason);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TContor::setText(const QString& text) {
    Descr->setText(text);
    repaintNow();
}

void TContor::setMaximum(int maximum) {
    Bar->setMaximum(maximum);
    repaintNow();
}

void TContor::setPosition(int position) {
    Bar->setValue(qBound(Bar->minimum(), position, Bar->maximum()));
    repaintNow();
}

void TContor::step(int amount) {
    setPosition(Bar->value() + amount);
}

QString TContor::text() const {
    return Descr->text();
}
int TContor::position() const {
    return Bar->value();
}
int TContor::maximum() const {
    return Bar->maximum();
}

}  // namespace tvx::ui
