// Every service over real HTTPS with a test authority, refused certificates and downgrades, no certificate bypass in
// the sources, and signed catalogs (only a verified, decoded catalog is kept on disk).

#include "DataRows.h"
#include "InstallSandbox.h"
#include "LoopbackHttpServer.h"
#include "SigningKey.h"
#include "StoreFakes.h"
#include "TestCrypto.h"
#include "catalog/ManifestDecoder.h"

using Server = LoopbackHttpServer;

namespace {

const QByteArray catalog = ManifestDecoder::encode(TestCatalog::fresh(TestCatalog::manifest({TestCatalog::app("alpha"), TestCatalog::app("beta")}), 1));
const LauncherManifest seed = TestCatalog::manifest({TestCatalog::app("seed")});
const QString fallbackLine = QStringLiteral("Could not refresh apps. Showing the last known state.");
const QString signatureLine = QStringLiteral("The catalog's signature could not be verified. Showing the last known state.");

// Refreshes a store seeded with `seed` from url via the real client: "ok" if shown and kept on disk, else its error line.
QString refresh(const QUrl &url, const QString &keys, QNetworkAccessManager *session)
{
    StoreHarness h;
    auto client = std::make_shared<RemoteManifestClient>(url, session);
    client->setPublicKeys(CatalogPublicKeys::parse(keys));
    const auto cache = std::make_shared<CatalogCache>(h.dir.filePath(QStringLiteral("cache")));
    client->setCache(cache);
    h.manifestLoader = client;
    cache->write(url, "an older copy", {}, QDateTime::currentDateTimeUtc());
    const QByteArray before = TempHome::readFile(cache->pathFor(url));
    const std::unique_ptr<LauncherStore> store = h.makeStore(seed);
    if (!finishes(store->loadManifest()))
        return QStringLiteral("raised");
    if (!store->errorMessage()) {
        const std::optional<StoredCatalog> kept = cache->read(url, CatalogPublicKeys::parse(keys));
        if (!kept || kept->manifest != store->manifest())
            return QStringLiteral("not kept on disk");
        return store->manifest() == ManifestDecoder::decode(catalog) ? QStringLiteral("ok") : QStringLiteral("another catalog");
    }
    if (TempHome::readFile(cache->pathFor(url)) != before)
        return QStringLiteral("copy on disk replaced");
    return store->manifest() == seed ? *store->errorMessage() : QStringLiteral("seed lost");
}

}  // namespace

class Trust : public QObject
{
    Q_OBJECT
    using ServicesOverHttpsRows = DataRows<QString, QString, QString>;  // service, server, expected
    // keys: "mine", "other" (the two test keys); signature: the key that signs, or what the header holds
    using SignedCatalogsRows = DataRows<QString, QString, QByteArray, QString>;  // keys, signature, body, expected

private:
    QNetworkAccessManager m_session;
    const TestCrypto::Identity m_authority = TestCrypto::certificate(QStringLiteral("DNS:ca.test"), -1, 30, nullptr, true);

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        TestCrypto::trust(m_authority);
    }

    // Each service over HTTPS; for catalog and archive, a certificate not for 127.0.0.1 or a step down to http fails as a
    // broken server does, and nothing is asked over plain HTTP.
    void servicesOverHttps_data()
    {
        ServicesOverHttpsRows::columns();
        for (const char *service : {"catalog", "archive", "feedback", "event", "error report"})
            ServicesOverHttpsRows::row(QString::asprintf("%s", service), service, "trusted", "ok");
        for (const char *server : {"self-signed", "expired", "for another host", "redirecting to http"}) {
            ServicesOverHttpsRows::row(QString::asprintf("catalog, %s", server), "catalog", server, fallbackLine);
            ServicesOverHttpsRows::row(QString::asprintf("archive, %s", server), "archive", server, (QByteArray(server).startsWith("redirect") ? "The download URL must use HTTPS." : "The download failed."));
        }
    }

    void servicesOverHttps()
    {
        const auto [service, server, expected] = ServicesOverHttpsRows::fetch();
        using TestCrypto::certificate;
        const QString local = QStringLiteral("IP:127.0.0.1");
        const TestCrypto::Identity identity = server == QLatin1String("self-signed") ? certificate(local)
            : server == QLatin1String("expired")                                      ? certificate(local, -30, -1, &m_authority)
            : server == QLatin1String("for another host") ? certificate(QStringLiteral("DNS:other.test"), -1, 30, &m_authority)
                                                          : certificate(local, -1, 30, &m_authority);
        InstallSandbox sandbox;
        QVERIFY(sandbox.installArchive(notesApp()).succeeded());
        const QMap<QString, QString> before = TempHome::fingerprint(sandbox.installRoot());
        const QByteArray archive = notesApp(QStringLiteral("2.0")).build();
        const auto content = [&](const Server::Request &request) {
            if (request.path == QLatin1String("/api/launcher/manifest"))
                return Server::Response::json(200, catalog);
            if (request.path == QLatin1String("/a.zip"))
                return Server::Response::text(200, archive, "application/zip");
            return Server::Response::json(201, R"({"ok":true,"issue":{"id":"1"},"id":"1"})");
        };
        Server plain;
        plain.setHandler(content);
        Server tls(identity.serverConfiguration());
        tls.setHandler([&](const Server::Request &request) {
            if (!server.startsWith(QLatin1String("redirect")))
                return content(request);
            Server::Response moved = Server::Response::text(302, {});
            moved.headers.append({"Location", plain.url(request.path).toEncoded()});
            return moved;
        });

        QString result;
        if (service == QLatin1String("catalog")) {
            result = refresh(tls.url(QStringLiteral("/api/launcher/manifest")), {}, &m_session);
        } else if (service == QLatin1String("archive")) {
            const InstallOutcome outcome = sandbox.install(notesRelease(tls.url(QStringLiteral("/a.zip")), archive, QStringLiteral("2.0")));
            result = outcome.succeeded() ? QStringLiteral("ok") : outcome.message();
            QCOMPARE(TempHome::fingerprint(sandbox.installRoot()) == before, !outcome.succeeded());
        } else if (service == QLatin1String("feedback")) {
            const FeedbackSubmissionRequest feedback{QStringLiteral("id-1"), FeedbackType::bug, QStringLiteral("t"), QStringLiteral("d"), {}, {}};
            result = waitForTask(RemoteFeedbackClient(tls.url(), &m_session).submitFeedback(feedback, VantrelLocale::en)).issue.id;
        } else if (service == QLatin1String("event")) {
            RemoteEventRecorder recorder(tls.url(), &m_session, std::make_shared<FixedLanguage>());
            waitForTask(recorder.recordEvent({QStringLiteral("install_started"), {}, {}, QStringLiteral("started"), {}}));
        } else {
            qputenv("VANTREL_LAUNCHER_SENTRY_DSN", QStringLiteral("https://f3a9c0d1e2b34c5d8e7f60a1b2c3d4e5@127.0.0.1:%1/7").arg(tls.port()).toUtf8());
            LauncherErrorReporter reporter(LauncherErrorReporter::dsnFromEnvironment());
            reporter.reportMessage(QStringLiteral("boom"), {});
            QVERIFY(reporter.waitForPendingReports(20000));
        }
        // Every request reached the service over TLS, and only when its certificate is good.
        if (result.isEmpty() || result == QLatin1String("1"))
            result = tls.requestCount() == 1 ? QStringLiteral("ok") : QStringLiteral("not received");
        QCOMPARE(result, expected);
        QCOMPARE(tls.requestCount(), server == QLatin1String("trusted") || server.startsWith(QLatin1String("redirect")) ? 1 : 0);
        QCOMPARE(plain.requestCount(), 0);
    }

    void noSourceIgnoresCertificateErrors()
    {
        int files = 0;
        for (QDirIterator it(qEnvironmentVariable("VANTREL_SOURCE_DIR") + QStringLiteral("/src"), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++files) {
            const QString path = it.next();
            QVERIFY2(!TempHome::readFile(path).contains("ignoreSslErrors"), qPrintable(path));
        }
        QVERIFY(files > 100);
    }

    // With keys configured only a catalog signed by one of them replaces the shown one; the signature is checked first.
    void signedCatalogs_data()
    {
        SignedCatalogsRows::columns();
        SignedCatalogsRows::row("good signature", "mine", "mine", catalog, "ok");
        SignedCatalogsRows::row("two keys, signed with the first", "mine, other", "mine", catalog, "ok");
        SignedCatalogsRows::row("two keys, signed with the second", "mine,other", "other", catalog, "ok");
        SignedCatalogsRows::row("no key configured, no header", "", "", catalog, "ok");
        SignedCatalogsRows::row("no header", "mine", "", catalog, signatureLine);
        SignedCatalogsRows::row("not base64", "mine", "%%%", catalog, signatureLine);
        SignedCatalogsRows::row("unpadded", "mine", "unpadded", catalog, signatureLine);
        SignedCatalogsRows::row("wrong signature", "mine", QString(QByteArray(64, 'x').toBase64()), catalog, signatureLine);
        SignedCatalogsRows::row("unknown key", "mine", "other", catalog, signatureLine);
        SignedCatalogsRows::row("body changed after signing", "mine", "changed", catalog, signatureLine);
        SignedCatalogsRows::row("no usable key configured", "garbage", "mine", catalog, signatureLine);
        SignedCatalogsRows::row("undecodable, unsigned", "mine", "", QByteArray("{"), signatureLine);
        SignedCatalogsRows::row("undecodable, signed", "mine", "mine", QByteArray("{"), fallbackLine);
    }

    void signedCatalogs()
    {
        auto [keys, signature, body, expected] = SignedCatalogsRows::fetch();
        QTemporaryDir folders;
        const SigningKey mine = SigningKey::loadOrCreate(folders.filePath(QStringLiteral("mine")));
        const SigningKey other = SigningKey::loadOrCreate(folders.filePath(QStringLiteral("other")));
        QByteArray header = signature == QLatin1String("other") ? other.sign(body) : mine.sign(body);
        if (signature == QLatin1String("unpadded"))
            header.replace("=", "");
        else if (signature != QLatin1String("mine") && signature != QLatin1String("other") && signature != QLatin1String("changed"))
            header = signature.toLatin1();
        Server server;
        Server::Response response = Server::Response::json(200, signature == QLatin1String("changed") ? QByteArray(body).replace("beta", "bet4") : body);
        if (!header.isEmpty())
            response.headers.append({CatalogSignature::headerName, header});
        server.serve(QStringLiteral("/m"), response);
        keys.replace(QLatin1String("mine"), QLatin1String(mine.publicKeyBase64())).replace(QLatin1String("other"), QLatin1String(other.publicKeyBase64()));
        QCOMPARE(refresh(server.url(QStringLiteral("/m")), keys, &m_session), expected);
    }
};

QTEST_GUILESS_MAIN(Trust)
#include "tst_trust.moc"
