// The manifest client against loopback servers: request, answers, limits.
#include "DataRows.h"
#include "CatalogBuilders.h"
#include "ClosedPort.h"
#include "LoopbackHttpServer.h"
#include "async/WaitForTask.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"
#include "errors/LauncherError.h"

#include <QNetworkAccessManager>
#include <QTcpSocket>

using Server = LoopbackHttpServer;

namespace {

const QByteArray validBody = ManifestDecoder::encode(
    TestCatalog::manifest({TestCatalog::app("alpha"), TestCatalog::app("beta"), TestCatalog::app("gamma")}));

// How a load ended: "ok: N apps", "status N", "network", or the decoding error.
QString outcome(QCoro::Task<LauncherManifest> load)
{
    try {
        return QStringLiteral("ok: %1 apps").arg(waitForTask(std::move(load)).apps.size());
    } catch (const ManifestClientError &e) {
        return QStringLiteral("status %1").arg(e.httpStatus());
    } catch (const DecodingError &e) {
        return QStringLiteral("decoding: ") + e.localizedDescription();
    } catch (const PlatformError &e) {
        return e.domain() == PlatformError::Domain::network ? QStringLiteral("network") : e.debugDescription();
    }
}

}  // namespace

class TestCatalogClient : public QObject
{
    Q_OBJECT
    using RequestUrlRows = DataRows<QString, VantrelLocale, QString>;  // query, locale, expected
    // shape: how the server sends it
    using AnswersRows = DataRows<int, QByteArray, QString, QString>;  // status, body, shape, expected

private:
    QNetworkAccessManager m_session;

private Q_SLOTS:
    void requestUrl_data()
    {
        RequestUrlRows::columns();
        RequestUrlRows::row("no query", "", VantrelLocale::de, "?lang=de");
        RequestUrlRows::row("other items kept in order", "?channel=stable&v=2", VantrelLocale::pl, "?channel=stable&v=2&lang=pl");
        RequestUrlRows::row("several lang items, one moved last", "?lang=pl&a=1&lang=de&b=2", VantrelLocale::en, "?a=1&b=2&lang=en");
        RequestUrlRows::row("lang without value", "?lang&x=1", VantrelLocale::de, "?x=1&lang=de");
        RequestUrlRows::row("name is case-sensitive", "?Lang=pl&LANG=de", VantrelLocale::en, "?Lang=pl&LANG=de&lang=en");
        RequestUrlRows::row("encoded name of lang", "?%6Cang=pl&a=b", VantrelLocale::en, "?a=b&lang=en");
        RequestUrlRows::row("encoded values unchanged", "?q=a%20b%26c&t=x+y", VantrelLocale::en, "?q=a%20b%26c&t=x+y&lang=en");
        RequestUrlRows::row("empty items kept", "?a=1&&b=2", VantrelLocale::en, "?a=1&&b=2&lang=en");
        RequestUrlRows::row("fragment kept", "?a=1#top", VantrelLocale::pl, "?a=1&lang=pl#top");
    }

    void requestUrl()
    {
        const auto [query, locale, expected] = RequestUrlRows::fetch();
        const QString base = QStringLiteral("https://user@example.com:8443/api/launcher/manifest");
        const QUrl url = RemoteManifestClient::requestUrl(QUrl(base + query, QUrl::StrictMode), locale);
        QCOMPARE(url.toString(QUrl::FullyEncoded).mid(base.size()), expected);
    }

    void loadSendsOneGetWithTheLanguage()
    {
        Server server;
        server.setHandler([](const Server::Request &) { return Server::Response::json(200, validBody); });
        QUrl endpoint = server.url(QStringLiteral("/api/launcher/manifest"));
        endpoint.setQuery(QStringLiteral("channel=beta&lang=xx&n=1"));
        RemoteManifestClient client(endpoint, &m_session);
        QCOMPARE(waitForTask(client.loadManifest(VantrelLocale::pl)), ManifestDecoder::decode(validBody));
        QCOMPARE(server.requestCount(), 1);
        const Server::Request request = server.requests().at(0);
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/api/launcher/manifest?channel=beta&n=1&lang=pl"));
        QVERIFY(request.body.isEmpty());
    }

    void answers_data()
    {
        AnswersRows::columns();
        // Even a refused status carries a valid manifest: only the status decides.
        for (int status : {199, 304, 500})
            AnswersRows::row(QString::asprintf("%d", status), status, validBody, QString(), QStringLiteral("status %1").arg(status));
        for (int status : {201, 299})
            AnswersRows::row(QString::asprintf("%d", status), status, validBody, QString(), "ok: 3 apps");
        AnswersRows::row("empty body", 200, QByteArray(), QString(), "decoding: the document is empty");
        AnswersRows::row("html", 200, QByteArray("<!doctype html><title>Oops</title>"), QString(), "decoding: invalid JSON at line 1");
        AnswersRows::row("refused connection", 200, validBody, "refused", "network");
        AnswersRows::row("stalled server", 200, validBody, "stall", "network");
        AnswersRows::row("body cut short", 200, validBody, "cut", "network");
        AnswersRows::row("announced size over the cap, refused unread", 200, QByteArray(1024, ' '), "oversize", "decoding: the document is too large");
        AnswersRows::row("not HTTP at all", 200, validBody, "file", "status -1");
    }

    void answers()
    {
        const auto [status, body, shape, expected] = AnswersRows::fetch();
        Server server;
        server.setHandler([=](const Server::Request &) {
            Server::Response r = Server::Response::json(status, body);
            r.stall = shape == QLatin1String("stall");
            r.closeAfterBytes = shape == QLatin1String("cut") ? 40 : -1;
            if (shape == QLatin1String("oversize")) {
                r.announcedLength = ManifestDecoder::maximumDocumentSize + 1;
                r.stallAfterBytes = body.size();
            }
            return r;
        });
        QUrl endpoint = server.url(QStringLiteral("/manifest"));
        if (shape == QLatin1String("refused"))
            endpoint.setPort(closedLoopbackPort());
        QTemporaryDir dir;
        if (shape == QLatin1String("file")) {
            QFile file(dir.filePath(QStringLiteral("manifest.json")));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(body) == body.size());
            endpoint = QUrl::fromLocalFile(file.fileName());
        }
        RemoteManifestClient client(endpoint, &m_session);
        client.setTimeoutMs(shape == QLatin1String("stall") ? 300 : 10000);
        const QString result = outcome(client.loadManifest(VantrelLocale::en));
        QVERIFY2(result.startsWith(expected), qPrintable(result));
    }

    void endlessBodyIsCutAtTheCap()
    {
        // No Content-Length: the body runs until the server closes, which it never does.
        QTcpServer endless;
        QVERIFY(endless.listen(QHostAddress::LocalHost));
        qint64 sent = 0;
        bool peerClosed = false;
        connect(&endless, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *socket = endless.nextPendingConnection();
            const QByteArray chunk(1 << 20, ' ');
            auto pump = [socket, chunk, &sent] {
                while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * chunk.size()
                       && sent < 4 * ManifestDecoder::maximumDocumentSize) {
                    socket->write(chunk);
                    sent += chunk.size();
                }
            };
            connect(socket, &QTcpSocket::readyRead, socket, [socket, pump] {
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n{");
                pump();
            }, Qt::SingleShotConnection);
            connect(socket, &QTcpSocket::bytesWritten, socket, pump);
            connect(socket, &QTcpSocket::disconnected, socket, [&peerClosed] { peerClosed = true; });
        });
        RemoteManifestClient client(QUrl(QStringLiteral("http://127.0.0.1:%1/m").arg(endless.serverPort())), &m_session);
        const QString result = outcome(client.loadManifest(VantrelLocale::en));
        QVERIFY2(result.startsWith(QStringLiteral("decoding: the document is too large")), qPrintable(result));
        QTRY_VERIFY(peerClosed);
        QVERIFY(sent < 2 * ManifestDecoder::maximumDocumentSize);
    }

    void followsRedirectsKeepingTheLanguage()
    {
        Server server;
        server.setHandler([](const Server::Request &request) {
            if (request.path != QLatin1String("/old"))
                return Server::Response::json(200, validBody);
            Server::Response r = Server::Response::text(302, QByteArray());
            r.headers.append({"Location", "/new?" + request.query.toString(QUrl::FullyEncoded).toUtf8()});
            return r;
        });
        RemoteManifestClient client(server.url(QStringLiteral("/old")), &m_session);
        QCOMPARE(outcome(client.loadManifest(VantrelLocale::de)), QStringLiteral("ok: 3 apps"));
        QCOMPARE(server.requests().last().target, QByteArray("/new?lang=de"));
    }

    void clientMayGoAwayWhileLoading()
    {
        Server server;
        server.setHandler([](const Server::Request &) {
            Server::Response r = Server::Response::json(200, validBody);
            r.delayMs = 50;
            return r;
        });
        auto client = std::make_unique<RemoteManifestClient>(server.url(QStringLiteral("/m")), &m_session);
        QCoro::Task<LauncherManifest> task = client->loadManifest(VantrelLocale::en);
        client.reset();
        QCOMPARE(outcome(std::move(task)), QStringLiteral("ok: 3 apps"));
    }

    void concurrentLoadsAreIndependent()
    {
        Server server;
        server.setHandler([](const Server::Request &request) {
            const bool polish = request.query.queryItemValue(QStringLiteral("lang")) == QLatin1String("pl");
            return Server::Response::json(polish ? 500 : 200, validBody);
        });
        RemoteManifestClient client(server.url(QStringLiteral("/m")), &m_session);
        QCoro::Task<LauncherManifest> english = client.loadManifest(VantrelLocale::en);
        QCoro::Task<LauncherManifest> polish = client.loadManifest(VantrelLocale::pl);
        QCOMPARE(outcome(std::move(english)), QStringLiteral("ok: 3 apps"));
        QCOMPARE(outcome(std::move(polish)), QStringLiteral("status 500"));
        QCOMPARE(server.requestCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCatalogClient)
#include "tst_catalog_client.moc"
