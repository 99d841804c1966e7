// Helpers of the window tests: key presses sent to the focused control, acting on a
// modal window once its event loop runs, and a session on a scratch program folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QStringList>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>

#include "core/app/Session.h"
#include "core/app/Startup.h"
#include "ui/common/ShowProblem.h"

// The window system's mouse input, which QtGui exports for test drivers.
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button,
                                      QEvent::Type type, Qt::KeyboardModifiers mods, int timestamp);

namespace tvx::ui::testing {

// Sends a key press to `target`, or to the focused control of the active modal window.
inline void PressKey(int key, QWidget* target = nullptr) {
    if (!target) {
        QWidget* modal = QApplication::activeModalWidget();
        target = modal && modal->focusWidget() ? modal->focusWidget() : modal;
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

// Types `text` into `target` key by key, as the user would (validators and reactions run).
inline void TypeText(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
    }
}

// A left click in the middle of `target`, delivered as the window system delivers one (so
// that the focus moves as the control's focus policy says).
inline void ClickOn(QWidget* target) {
    static int stamp = 0;
    QWidget* window = target->window();
    const QPointF at =
        target->mapTo(window, QPointF(target->width() / 2.0, target->height() / 2.0));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        qt_handleMouseEvent(window->windowHandle(), at, window->mapToGlobal(at),
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::LeftButton, type, Qt::NoModifier, stamp += 1000);
    QApplication::processEvents();
}

// Runs `act` on the modal window as soon as it is shown (a modal dialog's exec() blocks the
// test). Gives up after about two seconds so a test never hangs: the window is then closed.
inline void WhenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        } else if (++*tries > 200) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

// The child control named `name` of `window`; a missing one fails the calling test.
template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Acts on the modal window named `name` once it is the active one (others are waited out).
inline void WhenModalNamed(const QString& name, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, name, act] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && modal->isVisible() && modal->objectName() == name;
        if (found || ++*tries > 300) {
            timer->stop();
            timer->deleteLater();
            if (found) act(modal);
        }
    });
    timer->start();
}

// Rejects whatever modal window is still open (the end of a test that expects it open).
inline void CloseModal(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
}

// A program folder of its own (removed afterwards) with a session opened on its data
// directory as start-up leaves it: tables created, profile loaded, nobody logged in.
struct SessionFixture {
    QTemporaryDir folder;
    core::Session session{folder.path().toStdString()};
    SessionFixture() {
        core::PrepareData(session);
        session.loadProfile();
    }
};

// The balloon shown now: its message and the name of the control it points at (empty pair
// when none is shown).
inline std::pair<QString, QString> Balloon() {
    const auto& b = ProblemBalloon::instance();
    if (!b.isVisible() || !b.control()) return {};
    return {b.message(), b.control()->objectName()};
}

// A grid's column by its title; a missing title fails the calling test.
inline int Column(QTableView* grid, const QString& title) {
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == title)
            return c;
    ADD_FAILURE() << "no column " << title.toStdString();
    return 0;
}

// A grid's text in the column titled `title`: of the current row, or of every row.
inline QString Current(QTableView* grid, const QString& title) {
    return grid->currentIndex().siblingAtColumn(Column(grid, title)).data().toString();
}
inline QStringList ColumnText(QTableView* grid, const QString& title) {
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, Column(grid, title)).data().toString();
    return texts;
}
// Every cell of the current row.
inline QStringList CurrentRow(QTableView* grid) {
    QStringList texts;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        texts << grid->currentIndex().siblingAtColumn(c).data().toString();
    return texts;
}

}  // namespace tvx::ui::testing
