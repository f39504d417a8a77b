#include "platform/SingleInstance.h"

#include <QFileInfo>
#include <QLocalSocket>

#include <unistd.h>

namespace {

constexpr int kTimeoutMs = 1000;
constexpr char kComeForward[] = "come-forward\n";

} // namespace

namespace {

// The socket's place: the user's own runtime folder, where no other user can take its name;
// without one, the toolkit's default folder, under a name that holds the user's id.
QString socketName(const QString& name)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString unique = name + QStringLiteral("-") + QString::number(getuid());
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + u'/' + unique;
    return unique;
}

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), key_(socketName(name))
{
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kComeForward))
                    emit comeForwardRequested();
            });
        }
    });
}

bool SingleInstance::askRunningToComeForward()
{
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(kTimeoutMs))
        return false;
    socket.write(kComeForward);
    socket.waitForBytesWritten(kTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::listen()
{
    // A socket left behind by a program that did not end cleanly is not a running program.
    QLocalServer::removeServer(key_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(key_);
}
