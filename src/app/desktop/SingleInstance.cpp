#include "SingleInstance.h"

#include "UiLogging.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QByteArray showRequest = QByteArrayLiteral("show\n");
// Followed by the link in base64, so no byte of it can end the line early.
const QByteArray linkRequest = QByteArrayLiteral("link ");
// A link longer than links may be is refused by its reader anyway.
constexpr qint64 longestRequest = 4096;
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

bool SingleInstance::claim(const QByteArray &link)
{
    if (handOver(link))
        return false;
    // Nobody answered: whatever socket is there was left by a launcher that died.
    QLocalServer::removeServer(m_name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server.listen(m_name))
        return true;
    // Another start may have won the race between the two steps above.
    if (handOver(link))
        return false;
    qCWarning(lcUi) << "Running without the one-instance guard:" << m_server.errorString();
    return true;
}

void SingleInstance::release()
{
    m_server.close();  // also removes the socket file
}

bool SingleInstance::handOver(const QByteArray &link) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(handOverTimeoutMs))
        return false;
    socket.write(link.isEmpty() ? showRequest : linkRequest + link.toBase64() + '\n');
    return socket.waitForBytesWritten(handOverTimeoutMs);
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine() && socket->bytesAvailable() <= longestRequest)
                return;
            const QByteArray line = socket->readLine(longestRequest);
            if (line == showRequest)
                Q_EMIT activationRequested();
            else if (line.startsWith(linkRequest) && line.endsWith('\n'))
                Q_EMIT linkReceived(QByteArray::fromBase64(line.mid(linkRequest.size()).chopped(1)));
            socket->disconnectFromServer();
        });
    }
}
