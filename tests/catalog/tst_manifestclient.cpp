#include "CatalogFixtures.h"
#include "CompiledAppProperties.h"
#include "LoopbackHttpServer.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"

#include <QCoroTask>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace Fixtures;

namespace {

const QByteArray validBody = QJsonDocument(jsonManifest()).toJson();

// What a load ended with: "ok", or the error's type and message.
struct Outcome {
    QString kind;
    QString message;
    int httpStatus = -2;
    std::optional<LauncherManifest> manifest;
};

Outcome load(RemoteManifestClient &client, VantrelLocale locale = VantrelLocale::en)
{
    Outcome outcome;
    try {
        outcome.manifest = waitForTask(client.loadManifest(locale));
        outcome.kind = QStringLiteral("ok");
    } catch (const ManifestClientError &e) {
        outcome.kind = QStringLiteral("invalidResponse");
        outcome.message = e.localizedDescription();
        outcome.httpStatus = e.httpStatus();
    } catch (const DecodingError &e) {
        outcome.kind = QStringLiteral("decoding");
        outcome.message = e.localizedDescription();
    } catch (const PlatformError &e) {
        outcome.kind = e.domain() == PlatformError::Domain::network ? QStringLiteral("network") : QStringLiteral("platform");
        outcome.message = e.localizedDescription();
    }
    return outcome;
}

// Restores an environment variable when the test ends.
class EnvGuard
{
public:
    explicit EnvGuard(const char *name) : m_name(name), m_set(qEnvironmentVariableIsSet(name)), m_value(qgetenv(name)) {}
    ~EnvGuard()
    {
        if (m_set)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_set;
    QByteArray m_value;
};

}  // namespace

class TestManifestClient : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_session;

private Q_SLOTS:
    void requestUrl_data()
    {
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<VantrelLocale>("locale");
        QTest::addColumn<QString>("expected");

        const QString base = QStringLiteral("http://127.0.0.1:8787/api/launcher/manifest");
        QTest::newRow("no query, en") << base << VantrelLocale::en << base + "?lang=en";
        QTest::newRow("no query, de") << base << VantrelLocale::de << base + "?lang=de";
        QTest::newRow("other items kept in order") << base + "?channel=stable&v=2" << VantrelLocale::pl
                                                   << base + "?channel=stable&v=2&lang=pl";
        QTest::newRow("one lang replaced") << base + "?lang=de" << VantrelLocale::en << base + "?lang=en";
        QTest::newRow("several lang items") << base + "?a=1&lang=pl&b=2&lang=de" << VantrelLocale::en
                                            << base + "?a=1&b=2&lang=en";
        QTest::newRow("lang first, moved last") << base + "?lang=pl&x=y" << VantrelLocale::pl << base + "?x=y&lang=pl";
        QTest::newRow("lang without value") << base + "?lang&x=1" << VantrelLocale::de << base + "?x=1&lang=de";
        QTest::newRow("name is case-sensitive") << base + "?Lang=pl&LANG=de" << VantrelLocale::en
                                                << base + "?Lang=pl&LANG=de&lang=en";
        QTest::newRow("similar names kept") << base + "?language=pl&langs=de" << VantrelLocale::en
                                            << base + "?language=pl&langs=de&lang=en";
        QTest::newRow("encoded name of lang") << base + "?%6Cang=pl&a=b" << VantrelLocale::en << base + "?a=b&lang=en";
        QTest::newRow("encoded values unchanged") << base + "?q=a%20b%26c&t=x+y" << VantrelLocale::en
                                                  << base + "?q=a%20b%26c&t=x+y&lang=en";
        QTest::newRow("empty query") << base + "?" << VantrelLocale::en << base + "?lang=en";
        QTest::newRow("empty items kept") << base + "?a=1&&b=2" << VantrelLocale::en << base + "?a=1&&b=2&lang=en";
        QTest::newRow("fragment kept") << base + "?a=1#top" << VantrelLocale::pl << base + "?a=1&lang=pl#top";
        QTest::newRow("https with port and user") << "https://user@example.com:8443/m.json" << VantrelLocale::de
                                                  << "https://user@example.com:8443/m.json?lang=de";
    }

    void requestUrl()
    {
        QFETCH(QString, endpoint);
        QFETCH(VantrelLocale, locale);
        QFETCH(QString, expected);
        const QUrl url = RemoteManifestClient::requestUrl(QUrl(endpoint, QUrl::StrictMode), locale);
        QCOMPARE(url.toString(QUrl::FullyEncoded), expected);
    }

    void requestUrlOfAnInvalidEndpointIsTheEndpoint()
    {
        QCOMPARE(RemoteManifestClient::requestUrl(QUrl(), VantrelLocale::en), QUrl());
    }

    void loadSendsOneGetWithTheLanguage()
    {
        LoopbackHttpServer server;
        server.setHandler([](const LoopbackHttpServer::Request &) { return LoopbackHttpServer::Response::json(200, validBody); });
        QUrl endpoint = server.url(QStringLiteral("/api/launcher/manifest"));
        endpoint.setQuery(QStringLiteral("channel=beta&lang=xx&lang=yy&n=1"));
        RemoteManifestClient client(endpoint, &m_session);

        const Outcome outcome = load(client, VantrelLocale::pl);
        QCOMPARE(outcome.kind, QStringLiteral("ok"));
        QCOMPARE(*outcome.manifest, ManifestDecoder::decode(validBody));

        const QList<LoopbackHttpServer::Request> requests = server.requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.at(0).method, QByteArray("GET"));
        QCOMPARE(requests.at(0).target, QByteArray("/api/launcher/manifest?channel=beta&n=1&lang=pl"));
        QVERIFY(requests.at(0).body.isEmpty());
    }

    void statuses_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("199") << 199 << false;
        QTest::newRow("200") << 200 << true;
        QTest::newRow("201") << 201 << true;
        QTest::newRow("203") << 203 << true;
        QTest::newRow("299") << 299 << true;
        QTest::newRow("300") << 300 << false;
        QTest::newRow("304") << 304 << false;
        QTest::newRow("400") << 400 << false;
        QTest::newRow("404") << 404 << false;
        QTest::newRow("500") << 500 << false;
        QTest::newRow("503") << 503 << false;
    }

    void statuses()
    {
        QFETCH(int, status);
        QFETCH(bool, succeeds);
        LoopbackHttpServer server;
        // Even a refused status carries a valid manifest: only the status decides.
        server.setHandler([status](const LoopbackHttpServer::Request &) { return LoopbackHttpServer::Response::json(status, validBody); });
        RemoteManifestClient client(server.url(QStringLiteral("/manifest")), &m_session);
        client.setTimeoutMs(5000);
        const Outcome outcome = load(client);
        if (succeeds) {
            QCOMPARE(outcome.kind, QStringLiteral("ok"));
            QCOMPARE(outcome.manifest->apps.size(), 3);
        } else {
            QCOMPARE(outcome.kind, QStringLiteral("invalidResponse"));
            QCOMPARE(outcome.httpStatus, status);
        }
    }

    void bodiesThatAreNotManifests_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("messageStart");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("the document is empty");
        QTest::newRow("html") << QByteArray("<!doctype html><title>Oops</title>") << QStringLiteral("invalid JSON at line 1");
        QTest::newRow("truncated") << validBody.left(validBody.size() / 2) << QStringLiteral("invalid JSON");
        QTest::newRow("bad status value")
            << QByteArray("{\"generatedAt\":\"2026-05-03T00:00:00Z\",\"apps\":[{\"id\":\"x\",\"status\":\"archived\"}]}")
            << QStringLiteral("apps[0]: missing key \"name\"");
        QTest::newRow("fractional date") << QByteArray("{\"generatedAt\":\"2026-05-03T00:00:00.5Z\",\"apps\":[]}")
                                         << QStringLiteral("generatedAt: ");
    }

    void bodiesThatAreNotManifests()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, messageStart);
        LoopbackHttpServer server;
        server.setHandler([body](const LoopbackHttpServer::Request &) { return LoopbackHttpServer::Response::json(200, body); });
        RemoteManifestClient client(server.url(QStringLiteral("/manifest")), &m_session);
        const Outcome outcome = load(client);
        QCOMPARE(outcome.kind, QStringLiteral("decoding"));
        QVERIFY2(outcome.message.startsWith(messageStart), qPrintable(outcome.message));
    }

    void refusedConnectionIsANetworkError()
    {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }  // closed again: nothing listens on the port now
        RemoteManifestClient client(QUrl(QStringLiteral("http://127.0.0.1:%1/manifest").arg(port)), &m_session);
        const Outcome outcome = load(client);
        QCOMPARE(outcome.kind, QStringLiteral("network"));
        QVERIFY(!outcome.message.isEmpty());
    }

    void stalledServerTimesOut()
    {
        LoopbackHttpServer server;
        server.setHandler([](const LoopbackHttpServer::Request &) {
            LoopbackHttpServer::Response r;
            r.stall = true;
            return r;
        });
        RemoteManifestClient client(server.url(QStringLiteral("/manifest")), &m_session);
        client.setTimeoutMs(300);
        const Outcome outcome = load(client);
        QCOMPARE(outcome.kind, QStringLiteral("network"));
    }

    void bodyCutShortIsANetworkError()
    {
        LoopbackHttpServer server;
        server.setHandler([](const LoopbackHttpServer::Request &) {
            LoopbackHttpServer::Response r = LoopbackHttpServer::Response::json(200, validBody);
            r.closeAfterBytes = 40;
            return r;
        });
        RemoteManifestClient client(server.url(QStringLiteral("/manifest")), &m_session);
        const Outcome outcome = load(client);
        QVERIFY2(outcome.kind == QLatin1String("network") || outcome.kind == QLatin1String("decoding"), qPrintable(outcome.kind));
        QVERIFY(!outcome.manifest);
    }

    void oversizedDocumentIsRefusedWithoutReadingIt()
    {
        LoopbackHttpServer server;
        server.setHandler([](const LoopbackHttpServer::Request &) {
            LoopbackHttpServer::Response r = LoopbackHttpServer::Response::json(200, QByteArray(1024, ' '));
            r.announcedLength = ManifestDecoder::maximumDocumentSize + 1;
            r.stallAfterBytes = 1024;
            return r;
        });
        RemoteManifestClient client(server.url(QStringLiteral("/manifest")), &m_session);
        client.setTimeoutMs(10000);
        const Outcome outcome = load(client);
        QCOMPARE(outcome.kind, QStringLiteral("decoding"));
        QVERIFY2(outcome.message.startsWith(QStringLiteral("the document is too large")), qPrintable(outcome.message));
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
                if (socket->property("answered").toBool())
                    return;
                socket->readAll();
                socket->setProperty("answered", true);
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n{");
                pump();
            });
            connect(socket, &QTcpSocket::bytesWritten, socket, pump);
            connect(socket, &QTcpSocket::disconnected, socket, [&peerClosed] { peerClosed = true; });
        });
        RemoteManifestClient client(QUrl(QStringLiteral("http://127.0.0.1:%1/m").arg(endless.serverPort())), &m_session);
        const Outcome outcome = load(client);
        QCOMPARE(outcome.kind, QStringLiteral("decoding"));
        QVERIFY2(outcome.message.startsWith(QStringLiteral("the document is too large")), qPrintable(outcome.message));
        QTRY_VERIFY(peerClosed);
        QVERIFY(sent < 2 * ManifestDecoder::maximumDocumentSize);
    }

    void answerThatIsNotHttpIsRefused()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("manifest.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(validBody);
        file.close();
        RemoteManifestClient client(QUrl::fromLocalFile(file.fileName()), &m_session);
        const Outcome outcome = load(client);
        // The file is read, but an answer without an HTTP status is refused.
        QCOMPARE(outcome.kind, QStringLiteral("invalidResponse"));
        QCOMPARE(outcome.httpStatus, -1);
    }

    void followedRedirectSucceeds()
    {
        LoopbackHttpServer server;
        server.setHandler([](const LoopbackHttpServer::Request &request) {
            if (request.path == QLatin1String("/old")) {
                LoopbackHttpServer::Response r = LoopbackHttpServer::Response::text(302, QByteArray());
                r.headers.append({"Location", "/new?" + request.query.toString(QUrl::FullyEncoded).toUtf8()});
                return r;
            }
            return LoopbackHttpServer::Response::json(200, validBody);
        });
        RemoteManifestClient client(server.url(QStringLiteral("/old")), &m_session);
        QCOMPARE(load(client, VantrelLocale::de).kind, QStringLiteral("ok"));
        QCOMPARE(server.requests().last().target, QByteArray("/new?lang=de"));
    }

    void clientMayGoAwayWhileLoading()
    {
        LoopbackHttpServer server;
        server.setHandler([](const LoopbackHttpServer::Request &) {
            LoopbackHttpServer::Response r = LoopbackHttpServer::Response::json(200, validBody);
            r.delayMs = 50;
            return r;
        });
        auto client = std::make_unique<RemoteManifestClient>(server.url(QStringLiteral("/m")), &m_session);
        QCoro::Task<LauncherManifest> task = client->loadManifest(VantrelLocale::en);
        client.reset();
        QCOMPARE(waitForTask(std::move(task)).apps.size(), 3);
    }

    void concurrentLoadsAreIndependent()
    {
        LoopbackHttpServer server;
        server.setHandler([](const LoopbackHttpServer::Request &request) {
            return request.query.queryItemValue(QStringLiteral("lang")) == QLatin1String("pl")
                ? LoopbackHttpServer::Response::json(500, QByteArray())
                : LoopbackHttpServer::Response::json(200, validBody);
        });
        RemoteManifestClient client(server.url(QStringLiteral("/m")), &m_session);
        QCoro::Task<LauncherManifest> english = client.loadManifest(VantrelLocale::en);
        QCoro::Task<LauncherManifest> polish = client.loadManifest(VantrelLocale::pl);
        QCOMPARE(waitForTask(std::move(english)).apps.size(), 3);
        QVERIFY_THROWS_EXCEPTION(ManifestClientError, waitForTask(std::move(polish)));
        QCOMPARE(server.requestCount(), 2);
    }

    void defaultEndpoint_data()
    {
        QTest::addColumn<QVariant>("environment");  // invalid: unset
        QTest::addColumn<QVariant>("property");     // invalid: absent
        QTest::addColumn<QString>("expected");

        const QString builtIn = QStringLiteral("http://127.0.0.1:8787/api/launcher/manifest");
        const QString fromEnv = QStringLiteral("https://env.example.com/manifest?x=1");
        const QString fromProperty = QStringLiteral("https://property.example.com/manifest");
        QTest::newRow("nothing set") << QVariant() << QVariant() << builtIn;
        QTest::newRow("environment wins over property") << QVariant(fromEnv) << QVariant(fromProperty) << fromEnv;
        QTest::newRow("environment alone") << QVariant(fromEnv) << QVariant() << fromEnv;
        QTest::newRow("empty environment falls to property") << QVariant(QString()) << QVariant(fromProperty) << fromProperty;
        QTest::newRow("empty environment falls to default") << QVariant(QString()) << QVariant() << builtIn;
        QTest::newRow("unparseable environment") << QVariant(QStringLiteral("http://bad host/")) << QVariant(fromProperty) << fromProperty;
        QTest::newRow("property alone") << QVariant() << QVariant(fromProperty) << fromProperty;
        QTest::newRow("property number ignored") << QVariant() << QVariant(42) << builtIn;
        QTest::newRow("property empty text ignored") << QVariant() << QVariant(QString()) << builtIn;
        QTest::newRow("property of URL type ignored") << QVariant() << QVariant(QUrl(fromProperty)) << builtIn;
        QTest::newRow("property unparseable") << QVariant() << QVariant(QStringLiteral("http://%zz")) << builtIn;
    }

    void defaultEndpoint()
    {
        QFETCH(QVariant, environment);
        QFETCH(QVariant, property);
        QFETCH(QString, expected);
        EnvGuard guard("VANTREL_MANIFEST_URL");
        if (environment.isValid())
            qputenv("VANTREL_MANIFEST_URL", environment.toString().toUtf8());
        else
            qunsetenv("VANTREL_MANIFEST_URL");
        MapAppProperties properties;
        if (property.isValid())
            properties.setValue(QStringLiteral("VantrelManifestURL"), property);
        QCOMPARE(RemoteManifestClient::defaultEndpoint(properties).toString(QUrl::FullyEncoded), expected);
    }

    void environmentIsReadOnEveryCall()
    {
        EnvGuard guard("VANTREL_MANIFEST_URL");
        const MapAppProperties none;
        qputenv("VANTREL_MANIFEST_URL", "http://one.example.com/m");
        QCOMPARE(RemoteManifestClient::defaultEndpoint(none).host(), QStringLiteral("one.example.com"));
        qputenv("VANTREL_MANIFEST_URL", "http://two.example.com/m");
        QCOMPARE(RemoteManifestClient::defaultEndpoint(none).host(), QStringLiteral("two.example.com"));
    }

    void compiledProperties()
    {
        const CompiledAppProperties properties;
        QCOMPARE(properties.value(QStringLiteral("CFBundleShortVersionString")), QVariant(QStringLiteral(VANTREL_VERSION)));
        QVERIFY(!properties.value(QStringLiteral("NoSuchKey")).isValid());
        // Empty build-time values read as absent, never as empty text.
        for (const char *key : {"VantrelManifestURL", "VantrelAPIURL"}) {
            const QVariant value = properties.value(QLatin1String(key));
            QVERIFY2(!value.isValid() || (value.typeId() == QMetaType::QString && !value.toString().isEmpty()), key);
        }
        if (QByteArray(VANTREL_MANIFEST_URL_PROPERTY).isEmpty())
            QVERIFY(!properties.value(QStringLiteral("VantrelManifestURL")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestManifestClient)
#include "tst_manifestclient.moc"
