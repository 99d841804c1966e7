// The single running copy: a local socket, and the message "raise" from a later copy.
#include "ui/app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include "core/app/Session.h"

namespace tvx::ui {

namespace {

constexpr int kWaitMs = 1000;
const QByteArray kRaise = "raise\n";

}  // namespace

QString SingleInstance::defaultKey() {
    QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    QString key = QString(core::kApplicationTitle) + "-" + user;
    for (QChar& c : key)
        if (!c.isLetterOrNumber()) c = '-';
    return key;
}

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), key_(key.isEmpty() ? defaultKey() : std::move(key)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOverToRunning() {
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(kWaitMs)) return false;
    if (socket.write(kRaise) != kRaise.size()) return false;
    socket.flush();
    const bool sent = socket.bytesToWrite() == 0 || socket.waitForBytesWritten(kWaitMs);
    socket.disconnectFromServer();
    return sent;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(key_)) {
        // A socket file left by a copy that did not end cleanly: nobody answers on it.
        QLocalServer::removeServer(key_);
        if (!server_->listen(key_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto read = [this, socket] {
                if (socket->readAll().contains("raise")) emit activationRequested();
            };
            connect(socket, &QLocalSocket::readyRead, this, read);
            if (socket->bytesAvailable() > 0) read();
        }
    });
    return true;
}

}  // namespace tvx::ui
