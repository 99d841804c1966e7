// The warning balloon of input checks (ui/common): a small frameless window with the error
// icon, the title "Problema !" and the message, pointing at the control in error. The
// control keeps the focus; the balloon closes by itself after 5 s or at the next click or
// key.
#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace tvx::core {
struct FieldProblem;
}

namespace tvx::ui {

class ProblemBalloon : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kDefaultLifetimeMs = 5000;

    // The one balloon of the application (created on first use).
    static ProblemBalloon& instance();
    // How long a balloon stays; tests shorten it.
    static void setLifetime(int ms);

    void showAt(const QString& message, QWidget* control);
    QString title() const;
    QString message() const;
    QWidget* control() const { return control_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    ProblemBalloon();
    QLabel* title_;
    QLabel* message_;
    QTimer timer_;
    QPointer<QWidget> control_;
    static int lifetimeMs_;
};

// Shows `message` in the balloon at `control` and gives the control the focus.
void ShowProblem(const QString& message, QWidget* control);
// Shows a failed check of a core object at the control of `window` named by its field
// (the window itself when it has no such control).
void ShowProblem(const core::FieldProblem& problem, QWidget* window);

}  // namespace tvx::ui
