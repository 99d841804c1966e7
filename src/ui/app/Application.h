// The windows of one run and how they meet (ui/app): the splash first, then the main window,
// the administration and backup windows; the buttons and signals wired between them. The
// program's entry and the window tests build the whole application through this class.
#pragma once

#include <QObject>
#include <memory>

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TForm1;
class TForm3;
class TForm4;
class TForm21;
class TFactInF;
class TNIRF;

class Application : public QObject {
    Q_OBJECT
  public:
    explicit Application(core::Session& session, QObject* parent = nullptr);
    ~Application() override;

    // Shows the splash, whose timer runs the start-up.
    void start();
    // Brings the running program forward (a second copy was started).
    void comeForward();

    core::Session& session() const { return session_; }
    TForm1& splash() const { return *splash_; }
    TForm3& main() const { return *main_; }
    TForm4& admin() const { return *admin_; }
    TForm21& backup() const { return *backup_; }
    TFactInF& incoming() const { return *incoming_; }
    TNIRF& notes() const { return *notes_; }

  signals:
    // The program ends with this exit code (main window closed, restore done, start failed).
    void finished(int exitCode);

  private:
    core::Session& session_;
    std::unique_ptr<TForm1> splash_;
    std::unique_ptr<TForm3> main_;
    std::unique_ptr<TForm4> admin_;
    std::unique_ptr<TForm21> backup_;
    std::unique_ptr<TFactInF> incoming_;
    std::unique_ptr<TNIRF> notes_;
};

}  // namespace tvx::ui
