// Servers that misbehave: stalled and cut-short downloads, oversized and
// deeply nested catalogs.

#include "CatalogBuilders.h"
#include "InstallSandbox.h"
#include "LoopbackHttpServer.h"
#include "ZipBuilder.h"
#include "async/WaitForTask.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

// Peak resident memory of this process so far, in KiB.
qint64 peakRssKiB()
{
    for (const QByteArray &line : TempHome::readFile(QStringLiteral("/proc/self/status")).split('\n')) {
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
    QNetworkAccessManager m_session;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A stalled or cut-short download fails with the platform's network error,
    // keeps the installed copy and leaves nothing temporary behind.
    void brokenDownloadFails_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("no answer at all") << "stall" << "The request timed out.";
        QTest::newRow("stalls after the headers") << "stallHeaders" << "The request timed out.";
        QTest::newRow("stalls mid-body") << "stallBody" << "The request timed out.";
        QTest::newRow("closes before Content-Length") << "short" << "";
        // The whole archive arrives (its checksum would match), but less than announced.
        QTest::newRow("announces more than it sends") << "overAnnounce" << "";
    }

    void brokenDownloadFails()
    {
        QFETCH(QString, mode);
        QFETCH(QString, expectedText);
        InstallSandbox sandbox;
        const auto notes = [](const QString &version) {
            // Stored, so the archive is large enough to be cut in the middle.
            return ZipBuilder().addBundle(QStringLiteral("Notes.app"), QStringLiteral("com.vantrel.notes")).setStored(true)
                .addFile(QStringLiteral("Notes.app/Contents/data.bin"), QByteArray(3 << 20, version.at(0).toLatin1()));
        };
        QVERIFY(sandbox.installArchive(notes(QStringLiteral("1"))).succeeded());
        const QMap<QString, QString> before = TempHome::fingerprint(sandbox.installRoot());

        const QByteArray bytes = notes(QStringLiteral("2")).build();
        LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, bytes);
        response.stall = mode == QLatin1String("stall");
        response.stallAfterBytes = mode == QLatin1String("stallHeaders") ? 0 : mode == QLatin1String("stallBody") ? bytes.size() / 2 : -1;
        response.closeAfterBytes = mode == QLatin1String("short") ? bytes.size() / 2 : -1;
        response.announcedLength = mode == QLatin1String("overAnnounce") ? bytes.size() + 1000 : -1;
        LoopbackHttpServer server;
        server.serve(QStringLiteral("/a.zip"), response);
        sandbox.installer().setTimeoutMs(400);
        QElapsedTimer clock;
        clock.start();
        const InstallOutcome outcome = sandbox.install(TestCatalog::release(
            QStringLiteral("notes"), server.url(QStringLiteral("/a.zip")), ZipBuilder::sha256Hex(bytes), QStringLiteral("2.0")));
        QVERIFY2(outcome.platformError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.platformError->domain(), PlatformError::Domain::network);
        QVERIFY2(outcome.message().contains(expectedText) && !outcome.message().isEmpty(), qPrintable(outcome.message()));
        // The shortened timeout was the one that applied, not the default minute.
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(TempHome::fingerprint(sandbox.installRoot()), before);
        QCOMPARE(sandbox.leftovers(), QStringList());
    }

    // A catalog of several hundred megabytes is refused without being held in memory.
    void oversizedCatalogIsRefused()
    {
        TempHome home;
        const QString big = home.path(QStringLiteral("big.json"));
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(R"({"generatedAt":"2026-05-03T00:00:00Z","apps":[)");
            const QByteArray filler(1 << 20, ' ');
            for (int i = 0; i < 320; ++i)
                QCOMPARE(file.write(filler), qint64(filler.size()));
            file.write("]}");
        }
        LoopbackHttpServer server;
        LoopbackHttpServer::Response response = LoopbackHttpServer::Response::json(200, {});
        response.bodyFile = big;
        server.serve(QStringLiteral("/manifest"), response);

        const qint64 before = peakRssKiB();
        RemoteManifestClient client(server.url(QStringLiteral("/manifest")), &m_session);
        client.setTimeoutMs(20000);
        try {
            waitForTask(client.loadManifest(VantrelLocale::en));
            QFAIL("a 320 MiB catalog was accepted");
        } catch (const DecodingError &error) {
            QVERIFY2(error.localizedDescription().contains(QLatin1String("too large")), qPrintable(error.localizedDescription()));
        }
        const qint64 growth = peakRssKiB() - before;
        QVERIFY2(growth < 160 * 1024, qPrintable(QStringLiteral("peak memory grew by %1 KiB").arg(growth)));
    }

    // Deep nesting fails to decode with an error, never with a stack overflow.
    void deeplyNestedCatalogFails_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("1000 arrays") << nestedArrays(1000);
        QTest::newRow("apps nested 1000 deep") << R"({"generatedAt":"2026-05-03T00:00:00Z","apps":)" + nestedArrays(1000) + "}";
        QTest::newRow("1000 objects") << QByteArray(R"({"a":)").repeated(1000) + "1" + QByteArray(1000, '}');
        QTest::newRow("200000 arrays") << nestedArrays(200000);
        QTest::newRow("unclosed 200000") << QByteArray(200000, '[');
    }

    void deeplyNestedCatalogFails()
    {
        QFETCH(QByteArray, document);
        QVERIFY_THROWS_EXCEPTION(DecodingError, ManifestDecoder::decode(document));
    }
};

QTEST_GUILESS_MAIN(HostileServers)
#include "tst_hostile_servers.moc"
