// The progress window of long operations (ui/common): a borderless, always-on-top window
// with a description line and a bar showing its percentage. While it is up the window it
// covers is disabled with the busy cursor, and every change lets the interface repaint
// (user input stays queued).
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace tvx::ui {

class TContor : public QWidget {
    Q_OBJECT
  public:
    // The one progress window of the application (created on first use).
    static TContor& instance();

    // Disables `window` (may be null), gives it the busy cursor and shows the progress
    // window centred on the screen, the bar at 0 of 100.
    void Arata(QWidget* window);
    // Hides the progress window, enables `window` again, restores its cursor and focuses it.
    void Distruge(QWidget* window);

    void setText(const QString& text);
    void setMaximum(int maximum);
    void setPosition(int position);
    // Moves the bar on by `amount`.
    void step(int amount = 1);

    QString text() const;
    int position() const;
    int maximum() const;

  private:
    TContor();
    void repaintNow();
    QLabel* Descr;
    QProgressBar* Bar;
};

}  // namespace tvx::ui
