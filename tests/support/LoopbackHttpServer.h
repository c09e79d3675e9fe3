#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QSslConfiguration>
#include <QString>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <functional>
#include <memory>
#include <optional>

// A loopback HTTP/1.1 (with TLS: HTTPS) server in its own thread: records every request, answers via the handler.
class LoopbackHttpServer
{
public:
    struct Request {
        QByteArray method;
        QString path;        // decoded path, without the query
        QByteArray target;   // request target as sent
        QUrlQuery query;
        QMap<QByteArray, QByteArray> headers;  // lower-case names
        QByteArray body;

        QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
    };

    struct Response {
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        // Serve the body from this file (streamed) instead of body.
        QString bodyFile;
        // Announce this Content-Length (-1: the real length).
        qint64 announcedLength = -1;
        // Close the connection once the body reached this byte of the whole
        // content, also when answering a range (-1: send all).
        qint64 closeAfterBytes = -1;
        // Answer "Range: bytes=N-" (or "bytes=N-M") with 206 and the part from N (416 past the
        // end), and "bytes=-N" with the last N bytes, unless If-Range differs
        // from the ETag or Last-Modified in headers.
        bool acceptRanges = false;
        // Send nothing at all and keep the connection open.
        bool stall = false;
        // Send headers and then stall after this many body bytes (-1: no stall).
        qint64 stallAfterBytes = -1;
        // Wait this long before answering.
        int delayMs = 0;
        // Send the headers at once and the body this much later, unless the
        // client closed the connection meanwhile (one that stops at the
        // headers is sent no body, as over a slow link).
        int bodyDelayMs = 0;
        // Send the body in pieces of this many bytes, one every throttleMs (0: at once).
        qint64 throttleBytes = 0;
        int throttleMs = 20;
        // Send no Content-Length: the body ends when the connection closes.
        bool omitLength = false;

        static Response json(int status, const QByteArray &body);
        static Response text(int status, const QByteArray &body, const QByteArray &contentType = "text/plain");
    };

    using Handler = std::function<Response(const Request &)>;

    explicit LoopbackHttpServer(const QHostAddress &address = QHostAddress::LocalHost);
    // HTTPS on 127.0.0.1 with tls's certificate and key.
    explicit LoopbackHttpServer(const QSslConfiguration &tls);
    ~LoopbackHttpServer();

    bool isListening() const;
    quint16 port() const;
    // http(s)://127.0.0.1:PORT (or http://[::1]:PORT) joined with path.
    QUrl url(const QString &path = QString()) const;

    void setHandler(Handler handler);
    // Answers GET path with the body (other paths: 404).
    void serve(const QString &path, Response response);

    QList<Request> requests() const;
    int requestCount() const;
    // Also sets bodyBytesSent() back to 0.
    void clearRequests();
    // Body bytes written to clients so far (throttled answers not counted),
    // in all or in the answers to GET path.
    qint64 bodyBytesSent() const;
    qint64 bodyBytesSent(const QString &path) const;

private:
    LoopbackHttpServer(const QHostAddress &address, std::optional<QSslConfiguration> tls);

    class Worker;
    std::unique_ptr<QThread> m_thread;
    Worker *m_worker = nullptr;
};
