// Servers that misbehave: stalled and cut-short downloads, oversized and
// deeply nested catalogs, and a feedback service that never answers.

#include "ReliabilityHelpers.h"
#include "SettingsUserDefaults.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"
#include "errors/LauncherError.h"
#include "feedback/Feedback.h"
#include "store/LauncherStore.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Reliability;

namespace {

// Peak resident memory of this process so far, in KiB.
qint64 peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QByteArray nestedArrays(int depth)
{
    return QByteArray(depth, '[') + QByteArray(depth, ']');
}

}  // namespace

class HostileServers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QNetworkAccessManager m_session;
    QString m_archive;
    QString m_sha;
    QMap<QString, QString> m_oldCopy;

    QString root() const { return m_dir.filePath(QStringLiteral("root")); }
    QString temp() const { return m_dir.filePath(QStringLiteral("tmp")); }

    void placeOldCopy()
    {
        QDir(root()).removeRecursively();
        QDir().mkpath(root() + QStringLiteral("/Hostile.app/Contents/MacOS"));
        QFile plist(root() + QStringLiteral("/Hostile.app/Contents/Info.plist"));
        QVERIFY(plist.open(QIODevice::WriteOnly));
        plist.write(ZipBuilder::infoPlist({{QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.example.hostile")},
                                           {QStringLiteral("CFBundleExecutable"), QStringLiteral("App")}},
                                          ZipBuilder::PlistFormat::xml));
        plist.close();
        m_oldCopy = treeFingerprint(root() + QStringLiteral("/Hostile.app"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(temp()));
        ZipBuilder zip;
        zip.addBundle(QStringLiteral("Hostile.app"), QStringLiteral("com.example.hostile"));
        // Stored, so the archive is large enough to be cut in the middle.
        zip.addFile(QStringLiteral("Hostile.app/Contents/Resources/data.bin"), QByteArray(3 << 20, 'x'));
        zip.setStored(true);
        m_archive = m_dir.filePath(QStringLiteral("hostile.zip"));
        QString error;
        QVERIFY2(zip.writeTo(m_archive, &error), qPrintable(error));
        m_sha = ZipBuilder::sha256HexOfFile(m_archive);
    }

    // A stalled or cut-short download fails with the platform's network error,
    // keeps the installed copy and leaves nothing temporary behind.
    void brokenDownloadFails_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("no answer at all") << "stall" << "timed out";
        QTest::newRow("stalls after the headers") << "stallHeaders" << "timed out";
        QTest::newRow("stalls mid-body") << "stallBody" << "timed out";
        QTest::newRow("closes before Content-Length") << "short" << "";
        QTest::newRow("announces more than it sends") << "overAnnounce" << "";
    }

    void brokenDownloadFails()
    {
        QFETCH(QString, mode);
        QFETCH(QString, expectedText);
        placeOldCopy();

        LoopbackHttpServer server;
        LoopbackHttpServer::Response response;
        response.bodyFile = m_archive;
        const qint64 size = QFileInfo(m_archive).size();
        if (mode == QLatin1String("stall"))
            response.stall = true;
        else if (mode == QLatin1String("stallHeaders"))
            response.stallAfterBytes = 0;
        else if (mode == QLatin1String("stallBody"))
            response.stallAfterBytes = size / 2;
        else if (mode == QLatin1String("short"))
            response.closeAfterBytes = size / 2;
        else
            response.announcedLength = size + 1000;
        server.serve(QStringLiteral("/a.zip"), response);

        AppInstaller installer(QUrl::fromLocalFile(root()), &m_session, defaultInstallerLayers());
        installer.setTimeoutMs(400);
        installer.setTemporaryDirectory(temp());
        const AppManifestItem app = appEntry(QStringLiteral("hostile"), QStringLiteral("com.example.hostile"),
                                             server.url(QStringLiteral("/a.zip")), m_sha);
        QElapsedTimer clock;
        clock.start();
        try {
            Reliability::await(installer.install(app));
            QFAIL("the install succeeded");
        } catch (const PlatformError &error) {
            QCOMPARE(error.domain(), PlatformError::Domain::network);
            QVERIFY2(error.localizedDescription().contains(expectedText), qPrintable(error.localizedDescription()));
            QVERIFY(!error.localizedDescription().isEmpty());
        }
        // The shortened timeout was the one that applied, not the default minute.
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(treeFingerprint(root() + QStringLiteral("/Hostile.app")), m_oldCopy);
        QCOMPARE(installLeftovers(root(), temp()), QStringList());
    }

    // A catalog of several hundred megabytes is refused without being held in memory.
    void oversizedCatalogIsRefused()
    {
        const QString big = m_dir.filePath(QStringLiteral("big.json"));
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\"generatedAt\":\"2026-05-03T00:00:00Z\",\"apps\":[");
            const QByteArray filler(1 << 20, ' ');
            for (int i = 0; i < 320; ++i)
                QCOMPARE(file.write(filler), qint64(filler.size()));
            file.write("]}");
        }
        LoopbackHttpServer server;
        LoopbackHttpServer::Response response;
        response.bodyFile = big;
        response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
        server.serve(QStringLiteral("/manifest"), response);

        const qint64 before = peakRssKiB();
        RemoteManifestClient client(server.url(QStringLiteral("/manifest")), &m_session);
        client.setTimeoutMs(20000);
        try {
            Reliability::await(client.loadManifest(VantrelLocale::en));
            QFAIL("a 320 MiB catalog was accepted");
        } catch (const DecodingError &error) {
            QVERIFY2(error.localizedDescription().contains(QLatin1String("too large")),
                     qPrintable(error.localizedDescription()));
        }
        const qint64 growth = peakRssKiB() - before;
        QVERIFY2(growth < 160 * 1024, qPrintable(QStringLiteral("peak memory grew by %1 KiB").arg(growth)));
        QFile::remove(big);
    }

    // Deep nesting fails to decode with an error, never with a stack overflow.
    void deeplyNestedCatalogFails_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("1000 arrays") << nestedArrays(1000);
        QTest::newRow("apps nested 1000 deep")
            << QByteArray("{\"generatedAt\":\"2026-05-03T00:00:00Z\",\"apps\":") + nestedArrays(1000) + "}";
        QByteArray objects;
        for (int i = 0; i < 1000; ++i)
            objects += "{\"a\":";
        objects += "1" + QByteArray(1000, '}');
        QTest::newRow("1000 objects") << objects;
        QTest::newRow("200000 arrays") << nestedArrays(200000);
        QTest::newRow("unclosed 200000") << QByteArray(200000, '[');
    }

    void deeplyNestedCatalogFails()
    {
        QFETCH(QByteArray, document);
        QVERIFY_THROWS_EXCEPTION(DecodingError, ManifestDecoder::decode(document));

        LoopbackHttpServer server;
        server.serve(QStringLiteral("/manifest"), LoopbackHttpServer::Response::json(200, document));
        RemoteManifestClient client(server.url(QStringLiteral("/manifest")), &m_session);
        QVERIFY_THROWS_EXCEPTION(DecodingError, Reliability::await(client.loadManifest(VantrelLocale::en)));
    }

    // A feedback service that never answers: `submitting` until the timeout, then `failed`.
    void silentFeedbackServiceEndsInFailed()
    {
        LoopbackHttpServer server;
        LoopbackHttpServer::Response silent;
        silent.stall = true;
        server.serve(QStringLiteral("/api/feedback"), silent);

        auto client = std::make_shared<RemoteFeedbackClient>(server.url(), &m_session);
        client->setTimeoutMs(500);
        LauncherStore::Collaborators c;
        c.feedbackClient = client;
        c.userDefaults = std::make_shared<SettingsUserDefaults>(m_dir.filePath(QStringLiteral("defaults.ini")));
        LauncherStore store(c, LauncherManifest{});

        QSignalSpy changes(&store, &LauncherStore::feedbackStateChanged);
        QElapsedTimer clock;
        clock.start();
        QCoro::Task<void> task = store.submitFeedback(FeedbackType::bug, QStringLiteral("Title"),
                                                      QStringLiteral("Details"), std::nullopt);
        QCOMPARE(store.feedbackState().kind(), FeedbackSubmissionState::Kind::submitting);
        QTRY_COMPARE_WITH_TIMEOUT(server.requestCount(), 1, 5000);
        QCOMPARE(store.feedbackState().kind(), FeedbackSubmissionState::Kind::submitting);
        QTRY_COMPARE_WITH_TIMEOUT(store.feedbackState().kind(), FeedbackSubmissionState::Kind::failed, 20000);
        QVERIFY(clock.elapsed() >= 400);
        QVERIFY(!store.feedbackState().message().isEmpty());
        QCoro::waitFor(std::move(task));
    }
};

QTEST_GUILESS_MAIN(HostileServers)
#include "tst_hostile_servers.moc"
