// One running copy of the program per user (ui/app): the first copy listens on a local
// socket named after the application title; a later copy asks it to come forward and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace tvx::ui {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `key`: the socket's name; the default is the application title and the user.
    explicit SingleInstance(QString key = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy runs and was asked to come forward: this copy should end.
    bool handOverToRunning();
    // Starts listening (replacing a socket left behind by a copy that crashed). False when
    // the socket cannot be made; the program then runs without the guard.
    bool listen();

    static QString defaultKey();

  signals:
    // A later copy asked this one to come forward.
    void activationRequested();

  private:
    QString key_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tvx::ui
