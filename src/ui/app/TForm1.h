// The splash window (ui/app): borderless, on top, centred, with the product title, a status
// line and a progress bar. A one-shot timer started when it is shown runs the start-up:
// data directory, tables, upgrade, company profile, packing, and then the main window.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // What the start-up asks of the other windows, in this order.
    struct Steps {
        std::function<void()> setMainTitle;  // the main window's title: the version text
        std::function<void()> loadProfile;   // the administration window loads the profile
        std::function<void()> showMain;      // the main window, on its login panel
        std::function<void()> startFailed;   // tables could not be made ready: end the program
    };

    TForm1(core::Session& session, Steps steps, QWidget* parent = nullptr);

    // The delay between showing the splash and starting the work (1000 ms; tests shorten it).
    void setStartDelay(int ms) { Timer1.setInterval(ms); }

    QString status() const;
    int progress() const;

    // The start-up sequence (the timer's work; public so that it can be run directly).
    void Timer1Timer();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void setStatus(const QString& text);
    void setProgress(int position);

    core::Session& session_;
    Steps steps_;
    QTimer Timer1;
    QLabel* Title1;
    QLabel* Title2;
    QLabel* Line;
    QLabel* Status;
    QProgressBar* Bar;
};

}  // namespace tvx::ui
