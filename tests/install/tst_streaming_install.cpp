// Installs that unpack while the archive downloads, over real HTTP on loopback with real ZIPs: only what matched the
// catalog's checksum is placed, a file that differs from the signed list stops the download early, and a broken-off or
// cancelled download leaves the installed copy as it was and nothing in the work folder.

#include "CatalogBuilders.h"
#include "DataRows.h"
#include "InstallSandbox.h"
#include "LibarchiveExtractor.h"
#include "LoopbackHttpServer.h"
#include "ReleaseFolders.h"
#include "ReleasePublisher.h"
#include "ZipBuilder.h"
#include "ZipCentralDirectory.h"
#include "codec/EnumNames.h"

#include <QRandomGenerator>
#include <QtEndian>

namespace {

const QString notesId = QStringLiteral("com.vantrel.notes");

// The real extractor, counting how often an archive had to be unpacked whole after its download.
class CountingExtractor : public ArchiveExtractor
{
public:
    explicit CountingExtractor(LibarchiveExtractor::Limits limits = {}) : m_real(limits) {}
    void extractZip(const QString &archivePath, const QString &destinationDir, const std::atomic_bool *cancel,
                    ExtractionProgress *progress, ExtractedChecksums *checksums) const override
    {
        ++wholeRuns;
        m_real.extractZip(archivePath, destinationDir, cancel, progress, checksums);
    }
    StreamedUnpack streamZip(GrowingArchive &archive, const QString &destinationDir, const std::atomic_bool *cancel,
                             ExtractionProgress *progress, ExtractedChecksums *checksums,
                             const ExpectedFiles *expected) const override
    {
        const StreamedUnpack outcome = m_real.streamZip(archive, destinationDir, cancel, progress, checksums, expected);
        lastOutcome = outcome.outcome;
        return outcome;
    }
    mutable std::atomic_int wholeRuns{0};
    mutable std::atomic<StreamedUnpack::Outcome> lastOutcome{StreamedUnpack::Outcome::notStreamed};

private:
    LibarchiveExtractor m_real;
};

QByteArray randomBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// Version 2.0 of Notes with a few MiB of incompressible data after its small files.
ZipBuilder largeNotes()
{
    return notesApp(QStringLiteral("2.0")).add(ZipBuilder().setStored(true).addFile(
        QStringLiteral("Notes.app/Contents/Resources/zz-data.bin"), randomBytes(6 << 20)));
}

// The body at a pace the unpacking keeps up with (a little over 12 MB/s): on loopback at full speed the archive would
// be there long before, and the installer would rather unpack it whole.
LoopbackHttpServer::Response paced(const QByteArray &body)
{
    LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, body);
    response.throttleBytes = 128 << 10;
    response.throttleMs = 10;
    return response;
}

// The archive with one byte changed at offset (from the end when negative).
QByteArray changedAt(QByteArray archive, qint64 offset)
{
    const qint64 at = offset < 0 ? archive.size() + offset : offset;
    archive[at] = char(archive[at] ^ 0x01);
    return archive;
}

// The archive with the modification time of its directory's last entry changed: still whole and sound.
QByteArray laterDirectoryDate(QByteArray archive)
{
    const auto location = ZipCentralDirectory::locate(archive.right(ZipCentralDirectory::endSearchBytes), archive.size());
    const qsizetype last = archive.lastIndexOf(QByteArray("PK\x01\x02", 4));
    if (!location || last < location->offset)
        qFatal("no directory");
    archive[last + 12] = char(archive[last + 12] ^ 0x01);
    return archive;
}

}  // namespace

class TestStreamingInstall : public QObject
{
    Q_OBJECT
    // served archive, its checksum in the catalog, write cap (0: the default), outcome ("" installed, else the error kind)
    using PlacesOnlyWhatMatchedRows = DataRows<QByteArray, QString, qint64, QString>;

    // 1.0 installed from a file, then the release of 2.0 served from path.
    struct Update {
        InstallSandbox sandbox;
        LoopbackHttpServer server;
        QMap<QString, QString> before;
        std::shared_ptr<CountingExtractor> extractor;
        std::unique_ptr<AppInstaller> installer;
        qint64 mostReceived = 0;
        qint64 announced = -1;

        explicit Update(LibarchiveExtractor::Limits limits = {}) : extractor(std::make_shared<CountingExtractor>(limits))
        {
            installer = sandbox.makeInstaller(extractor);
        }
        bool installOld()
        {
            if (!sandbox.installArchive(notesApp()).succeeded())
                return false;
            before = TempHome::fingerprint(bundle());
            return true;
        }
        QString bundle() const { return sandbox.bundle(QStringLiteral("Notes.app")); }
        InstallControl control()
        {
            InstallControl control;
            control.onDownloadBytes = [this](qint64 received, qint64 total) {
                mostReceived = qMax(mostReceived, received);
                announced = total;
            };
            return control;
        }
        InstallOutcome install(const AppManifestItem &app, InstallControl control) { return outcomeOf(installer->install(app, control)); }
        InstallOutcome install(const AppManifestItem &app) { return install(app, control()); }
    };

    // The tree the whole road places from the same archive.
    static QMap<QString, QString> treeFromFile(const QByteArray &archive)
    {
        InstallSandbox reference;
        const QString path = reference.path(QStringLiteral("reference.zip"));
        TempHome::writeFile(path, archive);
        const InstallOutcome outcome = reference.install(notesRelease(QUrl::fromLocalFile(path), archive, QStringLiteral("2.0")));
        return outcome.succeeded() ? TempHome::fingerprint(outcome.app->url.toLocalFile()) : QMap<QString, QString>();
    }

    static void checkOldCopyKept(Update &update)
    {
        QCOMPARE(TempHome::fingerprint(update.bundle()), update.before);
        QCOMPARE(update.sandbox.rootEntries(), QStringList{QStringLiteral("Notes.app")});
        // The work folder went with the install.
        QCOMPARE(TempHome::entries(update.sandbox.tempDir()).filter(QStringLiteral("VantrelInstall")), QStringList());
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Whatever streamed in, the archive's checksum decides before the bundle is checked or placed; errors are those of
    // unpacking after the download.
    void placesOnlyWhatMatchedTheChecksum_data()
    {
        PlacesOnlyWhatMatchedRows::columns();
        const QByteArray archive = largeNotes().build();
        const QString published = ZipBuilder::sha256Hex(archive);
        PlacesOnlyWhatMatchedRows::row("as published", archive, published, 0, "");
        PlacesOnlyWhatMatchedRows::row("one byte of the directory changed", laterDirectoryDate(archive), published, 0, "checksumMismatch");
        PlacesOnlyWhatMatchedRows::row("one byte of data changed late", changedAt(archive, -(64 << 10)), published, 0, "checksumMismatch");
        ZipBuilder bomb = notesApp(QStringLiteral("2.0"));
        for (int i = 0; i < 6; ++i)
            bomb.addFillFile(QStringLiteral("Notes.app/Contents/Resources/late%1").arg(i), qint64(4) << 20);
        const QByteArray bombBytes = bomb.build();
        PlacesOnlyWhatMatchedRows::row("a bomb that unfolds late", bombBytes, ZipBuilder::sha256Hex(bombBytes), qint64(16) << 20, "extractionFailed");
    }

    void placesOnlyWhatMatchedTheChecksum()
    {
        const auto [served, sha256, cap, outcome] = PlacesOnlyWhatMatchedRows::fetch();
        LibarchiveExtractor::Limits limits;
        if (cap > 0)
            limits.minimumCap = limits.maximumCap = cap;
        Update update(limits);
        QVERIFY(update.installOld());
        update.server.serve(QStringLiteral("/v2.zip"), paced(served));
        AppManifestItem app = notesRelease(update.server.url(QStringLiteral("/v2.zip")), served, QStringLiteral("2.0"));
        app.sha256 = sha256;
        const InstallOutcome result = update.install(app);
        if (outcome.isEmpty()) {
            QVERIFY2(result.succeeded(), qPrintable(result.describe()));
            QCOMPARE(update.extractor->wholeRuns.load(), 0);
            QCOMPARE(TempHome::fingerprint(update.bundle()), treeFromFile(served));
            return;
        }
        QVERIFY2(result.installerError && EnumNames::name(result.installerError->kind()) == outcome, qPrintable(result.describe()));
        if (outcome == QLatin1String("checksumMismatch")) {
            QCOMPARE(result.installerError->expected(), sha256);
            QCOMPARE(result.installerError->actual(), ZipBuilder::sha256Hex(served));
        }
        checkOldCopyKept(update);
    }

    // A file that differs from the signed list proves the archive wrong long before its end: the download stops there.
    void fileDifferingFromTheListStopsTheDownload()
    {
        TempHome releases;
        const QString bigFile = QStringLiteral("Notes.app/Contents/Resources/zz-data.bin");
        QVERIFY(ReleaseFolders::write(releases.path(QStringLiteral("good")), QStringLiteral("2.0")));
        QVERIFY(TempHome::writeFile(releases.path(QStringLiteral("good/")) + bigFile, randomBytes(6 << 20)));
        QCOMPARE(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), releases.path(QStringLiteral("good")), releases.path(QStringLiteral("bad"))}), 0);
        const ReleasePublisher::Release good = ReleasePublisher::publish(releases.path(QStringLiteral("good/Notes.app")), releases.path(QStringLiteral("out")), QStringLiteral("good.zip"));
        // The same size, another byte, in the archive's first file.
        const FileListEntry first = *std::find_if(good.list.entries.cbegin(), good.list.entries.cend(),
                                                  [](const FileListEntry &entry) { return entry.type == FileListEntry::Type::file && entry.size > 0; });
        const QString changed = releases.path(QStringLiteral("bad/")) + QString::fromUtf8(first.path);
        QVERIFY(TempHome::writeFile(changed, changedAt(TempHome::readFile(changed), 0)));
        const ReleasePublisher::Release bad = ReleasePublisher::publish(releases.path(QStringLiteral("bad/Notes.app")), releases.path(QStringLiteral("out")), QStringLiteral("bad.zip"));
        QVERIFY(bad.list.entries.indexOf(first) < 0);
        const qint64 served = QFileInfo(bad.archivePath).size();
        QVERIFY(served > (6 << 20));

        Update update;
        QVERIFY(update.installOld());
        LoopbackHttpServer::Response archive;
        archive.bodyFile = bad.archivePath;
        archive.throttleBytes = 64 << 10;
        archive.throttleMs = 10;
        update.server.serve(QStringLiteral("/v2.zip"), archive);
        LoopbackHttpServer::Response list;
        list.bodyFile = good.listPath;
        update.server.serve(QStringLiteral("/v2.zip.files"), list);
        AppManifestItem app = notesRelease(update.server.url(QStringLiteral("/v2.zip")), {}, QStringLiteral("2.0"));
        app.sha256 = QString::fromLatin1(good.archiveSha256);
        app.fileListUrl = update.server.url(QStringLiteral("/v2.zip.files"));
        app.fileListSha256 = QString::fromLatin1(good.listSha256);
        const InstallOutcome result = update.install(app);
        QVERIFY2(result.installerError && result.installerError->kind() == AppInstallerError::Kind::checksumMismatch, qPrintable(result.describe()));
        QCOMPARE(result.message(), QStringLiteral("Checksum mismatch. Expected %1.").arg(QString::fromLatin1(good.archiveSha256)));
        QCOMPARE(update.extractor->lastOutcome.load(), StreamedUnpack::Outcome::fileListMismatch);
        QVERIFY2(update.mostReceived < served / 2, qPrintable(QStringLiteral("%1 of %2 bytes").arg(update.mostReceived).arg(served)));
        checkOldCopyKept(update);
    }

    // A download that breaks off half-way goes on where it stopped, or starts again when the server will not resume:
    // either way the unpacking follows and places the tree the whole road would.
    void brokenOffDownloadGivesTheSameTree_data()
    {
        QTest::addColumn<bool>("resumable");
        QTest::newRow("resumed with a range") << true;
        QTest::newRow("sent again from the start") << false;
    }

    void brokenOffDownloadGivesTheSameTree()
    {
        QFETCH(bool, resumable);
        const QByteArray archive = largeNotes().build();
        Update update;
        QVERIFY(update.installOld());
        std::atomic_int answers{0};
        update.server.setHandler([&](const LoopbackHttpServer::Request &request) {
            LoopbackHttpServer::Response response = paced(archive);
            if (request.path != QLatin1String("/v2.zip"))
                return LoopbackHttpServer::Response::text(404, {});
            response.headers.append(qMakePair(QByteArray("ETag"), QByteArray("\"v2\"")));
            response.acceptRanges = resumable;
            if (answers++ == 0)
                response.closeAfterBytes = archive.size() / 2;
            return response;
        });
        const InstallOutcome result = update.install(notesRelease(update.server.url(QStringLiteral("/v2.zip")), archive, QStringLiteral("2.0")));
        QVERIFY2(result.succeeded(), qPrintable(result.describe()));
        // The network stack may ask once more on its own when a connection closes early; the last ask is a resumption.
        QVERIFY(answers.load() >= 2);
        QCOMPARE(update.server.requests().last().header("Range").isEmpty(), false);
        QCOMPARE(update.extractor->wholeRuns.load(), 0);
        QCOMPARE(TempHome::fingerprint(update.bundle()), treeFromFile(archive));
    }

    // Cancel while bytes arrive stops the download and the unpacking together.
    void cancelStopsDownloadAndUnpackingAtOnce()
    {
        const QByteArray archive = largeNotes().build();
        Update update;
        QVERIFY(update.installOld());
        LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, archive);
        response.throttleBytes = 64 << 10;
        response.throttleMs = 20;
        update.server.serve(QStringLiteral("/v2.zip"), response);
        InstallControl control = update.control();
        control.cancel = std::make_shared<std::atomic_bool>(false);
        QCoro::Task<InstalledApp> task = update.installer->install(
            notesRelease(update.server.url(QStringLiteral("/v2.zip")), archive, QStringLiteral("2.0")), control);
        // Some files are unpacked by then: the stream reads in blocks of a MiB.
        QTRY_VERIFY_WITH_TIMEOUT(update.mostReceived > (2 << 20), 20000);
        control.cancel->store(true);
        QElapsedTimer clock;
        clock.start();
        const InstallOutcome result = outcomeOf(std::move(task));
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(result.installerError && result.installerError->kind() == AppInstallerError::Kind::cancelled, qPrintable(result.describe()));
        QVERIFY(update.mostReceived < archive.size());
        checkOldCopyKept(update);
    }
};

QTEST_GUILESS_MAIN(TestStreamingInstall)
#include "tst_streaming_install.moc"
