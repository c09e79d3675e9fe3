#include "SingleInstance.h"

#include "UiLogging.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QByteArray showRequest = QByteArrayLiteral("show\n");
constexpr int handOverTimeoutMs = 500;

}  // namespace

SingleInstance::SingleInstance(QString name, QObject *parent) : QObject(parent), m_name(std::move(name))
{
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

QString SingleInstance::defaultName()
{
    const QString file = QStringLiteral("vantrel-launcher-%1").arg(::getuid());
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? file : QDir(runtime).filePath(file);
}

bool SingleInstance::claim()
{
    if (handOver())
        return false;
    // Nobody answered: whatever socket is there was left by a launcher that died.
    QLocalServer::removeServer(m_name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server.listen(m_name))
        return true;
    // Another start may have won the race between the two steps above.
    if (handOver())
        return false;
    qCWarning(lcUi) << "Running without the one-instance guard:" << m_server.errorString();
    return true;
}

void SingleInstance::release()
{
    m_server.close();  // also removes the socket file
}

bool SingleInstance::handOver() const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(handOverTimeoutMs))
        return false;
    socket.write(showRequest);
    return socket.waitForBytesWritten(handOverTimeoutMs);
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == showRequest)
                Q_EMIT activationRequested();
            socket->disconnectFromServer();
        });
    }
}
