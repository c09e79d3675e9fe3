#include "LoopbackHttpServer.h"

#include <atomic>

#include <QBuffer>
#include <QFile>
#include <QPointer>
#include <QSemaphore>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

LoopbackHttpServer::Response LoopbackHttpServer::Response::json(int status, const QByteArray &body)
{
    return text(status, body, "application/json");
}

LoopbackHttpServer::Response LoopbackHttpServer::Response::text(int status, const QByteArray &body,
                                                                 const QByteArray &contentType)
{
    Response r;
    r.status = status;
    r.headers.append(qMakePair(QByteArray("Content-Type"), contentType));
    r.body = body;
    return r;
}

class LoopbackHttpServer::Worker : public QObject
{
public:
    std::unique_ptr<QTcpServer> server;
    mutable QMutex mutex;
    Handler handler;
    QMap<QString, Response> routes;
    QList<Request> recorded;
    QList<QPointer<QTcpSocket>> sockets;
    // Body bytes handed to sockets in whole-speed answers.
    std::atomic<qint64> bodyBytes{0};
    QHash<QString, qint64> bodyBytesByPath;  // under mutex

    void onNewConnection()
    {
        while (QTcpSocket *socket = server->nextPendingConnection()) {
            sockets.append(socket);
            auto buffer = std::make_shared<QByteArray>();
            const auto read = [this, socket, buffer] {
                buffer->append(socket->readAll());
                tryHandle(socket, *buffer);
            };
            QObject::connect(socket, &QTcpSocket::readyRead, socket, read);
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            // A TLS socket may have the request already when handed over.
            if (socket->bytesAvailable() > 0)
                read();
        }
    }

    void tryHandle(QTcpSocket *socket, QByteArray &buffer)
    {
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        Request request;
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const int colon = line.indexOf(':');
            if (colon > 0)
                request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        const qint64 contentLength = request.headers.value("content-length", "0").toLongLong();
        if (buffer.size() - (headerEnd + 4) < contentLength)
            return;
        request.body = buffer.mid(headerEnd + 4, contentLength);
        buffer.remove(0, headerEnd + 4 + contentLength);
        const QUrl parsed(QString::fromLatin1("http://localhost") + QString::fromLatin1(request.target));
        request.path = parsed.path();
        request.query = QUrlQuery(parsed);

        Response response;
        {
            QMutexLocker lock(&mutex);
            recorded.append(request);
            if (handler) {
                response = handler(request);
            } else if (routes.contains(request.path)) {
                response = routes.value(request.path);
            } else {
                response = Response::text(404, "not found");
            }
        }
        const auto [from, last] = response.acceptRanges ? requestedRange(request, response) : std::pair<qint64, qint64>(0, -1);
        if (response.delayMs > 0) {
            QPointer<QTcpSocket> guard(socket);
            QTimer::singleShot(response.delayMs, this, [this, guard, response, from, last, path = request.path] {
                if (guard)
                    send(guard, response, from, last, path);
            });
        } else {
            send(socket, response, from, last, request.path);
        }
    }

    // What "Range: bytes=N-", "bytes=N-M" or "bytes=-N" asks for when the
    // validator in If-Range (if any) matches: N (or -N for the last N bytes;
    // 0 for the whole) and M (-1: to the end).
    static std::pair<qint64, qint64> requestedRange(const Request &request, const Response &response)
    {
        const QByteArray range = request.header("Range");
        const bool suffix = range.startsWith("bytes=-");
        const QList<QByteArray> bounds = range.mid(6).split('-');
        if (!range.startsWith("bytes=") || bounds.size() != 2 || range.contains(','))
            return {0, -1};
        const QByteArray ifRange = request.header("If-Range");
        const bool current = ifRange.isEmpty() || std::any_of(response.headers.cbegin(), response.headers.cend(), [&](const auto &h) {
            return h.second == ifRange && (h.first.toLower() == "etag" || h.first.toLower() == "last-modified");
        });
        if (!current)
            return {0, -1};
        if (suffix)
            return {-qMax<qint64>(1, bounds[1].toLongLong()), -1};
        return {bounds[0].toLongLong(), bounds[1].isEmpty() ? -1 : bounds[1].toLongLong()};
    }

    void send(QTcpSocket *socket, Response response, qint64 from, qint64 last, const QString &path)
    {
        if (response.stall)
            return;
        std::unique_ptr<QIODevice> source;
        if (response.bodyFile.isEmpty()) {
            auto buffer = std::make_unique<QBuffer>();
            buffer->setData(response.body);
            source = std::move(buffer);
        } else {
            source = std::make_unique<QFile>(response.bodyFile);
        }
        if (!source->open(QIODevice::ReadOnly)) {
            socket->disconnectFromHost();
            return;
        }
        qint64 length = source->size();
        // A suffix is answered as a part even when it covers the whole file.
        const bool suffix = from < 0;
        if (suffix)
            from = qMax<qint64>(length + from, 0);
        if (from > 0 && from >= length) {
            response.status = 416;
            length = 0;
        } else if (from > 0 || suffix || last >= 0) {
            response.status = 206;
            const qint64 end = last >= 0 ? qMin(last, length - 1) : length - 1;
            response.headers.append({"Content-Range", "bytes " + QByteArray::number(from) + '-' + QByteArray::number(end)
                                                          + '/' + QByteArray::number(length)});
            length = end - from + 1;
            source->seek(from);
        }
        const qint64 announced = response.announcedLength >= 0 ? response.announcedLength : length;
        // Clients read the status code, not the reason phrase.
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n";
        bool hasType = false;
        for (const auto &h : response.headers) {
            head += h.first + ": " + h.second + "\r\n";
            hasType = hasType || h.first.toLower() == "content-type";
        }
        if (!hasType)
            head += "Content-Type: application/octet-stream\r\n";
        if (!response.omitLength)
            head += "Content-Length: " + QByteArray::number(announced) + "\r\n";
        head += "Connection: close\r\n\r\n";
        socket->write(head);

        qint64 limit = length;
        if (response.closeAfterBytes >= 0)
            limit = qMin(limit, qMax<qint64>(0, response.closeAfterBytes - from));
        if (response.stallAfterBytes >= 0)
            limit = qMin(limit, response.stallAfterBytes);
        if (response.bodyDelayMs > 0) {
            socket->flush();
            QPointer<QTcpSocket> guard(socket);
            std::shared_ptr<QIODevice> held(std::move(source));
            QTimer::singleShot(response.bodyDelayMs, this, [this, guard, held, response, limit, path] {
                if (guard && guard->state() == QAbstractSocket::ConnectedState)
                    sendBody(guard, *held, response, limit, path);
            });
            return;
        }
        sendBody(socket, *source, response, limit, path);
    }

    void sendBody(QTcpSocket *socket, QIODevice &source, const Response &response, qint64 limit, const QString &path)
    {
        if (response.throttleBytes > 0) {
            sendSlowly(socket, source.read(limit), response);
            return;
        }
        qint64 sent = 0;
        while (sent < limit) {
            const QByteArray chunk = source.read(qMin<qint64>(1 << 20, limit - sent));
            if (chunk.isEmpty())
                break;
            socket->write(chunk);
            sent += chunk.size();
            bodyBytes += chunk.size();
            {
                QMutexLocker lock(&mutex);
                bodyBytesByPath[path] += chunk.size();
            }
            // Keep memory flat for large files.
            while (socket->bytesToWrite() > (8 << 20))
                socket->waitForBytesWritten(1000);
        }
        if (response.stallAfterBytes >= 0)
            return;
        socket->flush();
        socket->disconnectFromHost();
    }

    // A slow link: one piece per tick, then the end as send() would.
    void sendSlowly(QTcpSocket *socket, const QByteArray &content, const Response &response)
    {
        auto *timer = new QTimer(socket);
        auto sent = std::make_shared<qint64>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, sent, content, response] {
            socket->write(content.mid(*sent, response.throttleBytes));
            *sent += response.throttleBytes;
            if (*sent < content.size())
                return;
            timer->stop();
            if (response.stallAfterBytes < 0) {
                socket->flush();
                socket->disconnectFromHost();
            }
        });
        timer->start(response.throttleMs);
    }
};

LoopbackHttpServer::LoopbackHttpServer(const QHostAddress &address) : LoopbackHttpServer(address, std::nullopt) {}

LoopbackHttpServer::LoopbackHttpServer(const QSslConfiguration &tls) : LoopbackHttpServer(QHostAddress::LocalHost, tls) {}

LoopbackHttpServer::LoopbackHttpServer(const QHostAddress &address, std::optional<QSslConfiguration> tls)
    : m_thread(std::make_unique<QThread>())
    , m_worker(new Worker)
{
    m_worker->moveToThread(m_thread.get());
    m_thread->start();
    QSemaphore ready;
    QMetaObject::invokeMethod(m_worker, [this, address, tls, &ready] {
        if (tls) {
            auto server = std::make_unique<QSslServer>();
            server->setSslConfiguration(*tls);
            m_worker->server = std::move(server);
        } else {
            m_worker->server = std::make_unique<QTcpServer>();
        }
        // Emitted for TLS only once the handshake is done.
        QObject::connect(m_worker->server.get(), &QTcpServer::pendingConnectionAvailable, m_worker,
                         [this] { m_worker->onNewConnection(); });
        m_worker->server->listen(address, 0);
        ready.release();
    });
    ready.acquire();
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    QMetaObject::invokeMethod(m_worker, [this] {
        m_worker->server->close();
        for (const auto &s : m_worker->sockets) {
            if (s)
                s->abort();
        }
        delete m_worker;
    }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

bool LoopbackHttpServer::isListening() const { return m_worker->server->isListening(); }
quint16 LoopbackHttpServer::port() const { return m_worker->server->serverPort(); }

QUrl LoopbackHttpServer::url(const QString &path) const
{
    QUrl u;
    u.setScheme(qobject_cast<QSslServer *>(m_worker->server.get()) ? QStringLiteral("https") : QStringLiteral("http"));
    u.setHost(m_worker->server->serverAddress().toString());
    u.setPort(port());
    u.setPath(path);
    return u;
}

void LoopbackHttpServer::setHandler(Handler handler)
{
    QMutexLocker lock(&m_worker->mutex);
    m_worker->handler = std::move(handler);
}

void LoopbackHttpServer::serve(const QString &path, Response response)
{
    QMutexLocker lock(&m_worker->mutex);
    m_worker->routes.insert(path, std::move(response));
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const
{
    QMutexLocker lock(&m_worker->mutex);
    return m_worker->recorded;
}

int LoopbackHttpServer::requestCount() const
{
    QMutexLocker lock(&m_worker->mutex);
    return int(m_worker->recorded.size());
}

void LoopbackHttpServer::clearRequests()
{
    QMutexLocker lock(&m_worker->mutex);
    m_worker->recorded.clear();
    m_worker->bodyBytes = 0;
    m_worker->bodyBytesByPath.clear();
}

qint64 LoopbackHttpServer::bodyBytesSent() const
{
    return m_worker->bodyBytes.load();
}

qint64 LoopbackHttpServer::bodyBytesSent(const QString &path) const
{
    QMutexLocker lock(&m_worker->mutex);
    return m_worker->bodyBytesByPath.value(path);
}
