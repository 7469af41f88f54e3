#include "app/single_instance.h"

#include <unistd.h>
#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace tb::app {

namespace {

constexpr int kTimeoutMs = 1000;
const QByteArray kActivate = "activate\n";

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& data_folder, QObject* parent)
    : QObject(parent), name_(server_name(data_folder)) {}

QString SingleInstance::server_name(const std::filesystem::path& data_folder) {
    std::error_code ec;
    auto canonical = std::filesystem::weakly_canonical(data_folder, ec);
    QByteArray key = QByteArray::fromStdString((ec ? data_folder : canonical).string());
    QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("tagberry-%1-%2")
        .arg(static_cast<qulonglong>(getuid()))
        .arg(QString::fromLatin1(hash));
}

bool SingleInstance::activate_running() {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kTimeoutMs)) {
        return false;
    }
    socket.write(kActivate);
    socket.waitForBytesWritten(kTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) {
            return false;
        }
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("activate")) {
                    emit activation_requested();
                }
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace tb::app
