// The backup window "Salvare - Restaurare" (ui/admin): saves the data directory into one
// archive and puts an archive back in its place. The archive work is core's (Backup.h); the
// window asks for the paths, asks its questions, shows the progress and reports the outcome.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QPushButton;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TForm21 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm21(core::Session& session, QWidget* parent = nullptr);
    // Shows the window modally; "Restaureaza baza de date" enabled only for grade 0.
    void Open(int grade);
    // The file dialogs; tests replace them. Default: QFileDialog (non-native) with the titles,
    // filter and default suffix ".tvx" of the window. Empty result = cancelled. An empty
    // function puts the default back.
    static void setPathChoosers(std::function<QString(QWidget*)> savePath,
                                std::function<QString(QWidget*)> openPath);

  public slots:
    // Every way of closing the window ends here; the program folder becomes the current
    // folder again (the file dialogs may have moved it).
    void done(int result) override;

  signals:
    // After a restore (done or failed): the application must end now.
    void restartNeeded();

  private slots:
    void SaveClick();
    void RestClick();

  private:
    core::Session& session_;
    QPushButton* SaveBut;
    QPushButton* RestBut;
};

}  // namespace tvx::ui
