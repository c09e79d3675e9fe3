// The installer end to end over real ZIPs (loopback HTTP or file URLs) in a temporary home; competing installs; leftovers.

#include "DataRows.h"
#include "CatalogBuilders.h"
#include "InstallSandbox.h"
#include "LibarchiveExtractor.h"
#include "LinuxSystemVersion.h"
#include "LoopbackHttpServer.h"
#include "ZipBuilder.h"
#include "async/WaitForTask.h"
#include "install/InstallFiles.h"
#include "install/InstallLeftovers.h"
#include "install/InstallLocks.h"
#include "install/InstallProgress.h"
#include "install/InstallReceipt.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <sys/time.h>

Q_DECLARE_METATYPE(OperatingSystemVersion)

namespace {

const QString notesId = QStringLiteral("com.vantrel.notes");
const QString up = QStringLiteral("../../../outside");  // from tmp/<work>/extracted

// Holds an exclusive lock on path from another process, as a second launcher or a stuck install would.
class LockHolder
{
public:
    bool start(const QString &path)
    {
        m_process.start(QStringLiteral("flock"), {QStringLiteral("-x"), path, QStringLiteral("-c"), QStringLiteral("echo locked; exec cat")});
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000))
                return false;
        }
        return m_process.readLine().trimmed() == "locked";
    }
    void stop()
    {
        // flock's child holds the lock too: end it (EOF on its input) and let flock exit after it.
        m_process.closeWriteChannel();
        m_process.waitForFinished(5000);
    }
    ~LockHolder() { stop(); }

private:
    QProcess m_process;
};

// Real extraction that first waits until the test lets it go, and notes its thread.
class GatedExtractor : public ArchiveExtractor
{
public:
    void extractZip(const QString &archivePath, const QString &destinationDir, const std::atomic_bool *cancel,
                    ExtractionProgress *progress, ExtractedChecksums *checksums) const override
    {
        thread = QThread::currentThread();
        entered.release();
        gate.acquire();
        LibarchiveExtractor().extractZip(archivePath, destinationDir, cancel, progress, checksums);
    }
    mutable QSemaphore entered;
    mutable QSemaphore gate;
    mutable std::atomic<QThread *> thread{nullptr};
};

QString stagedName(const QString &bundle)
{
    return QStringLiteral(".%1.%2.staged").arg(bundle, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
}

void makeTree(const QString &path, int ageSeconds = 0)
{
    TempHome::writeFile(path + QStringLiteral("/Contents/data"), "leftover");
    struct timeval times[2];
    gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= ageSeconds;
    times[1] = times[0];
    ::utimes(QFile::encodeName(path).constData(), times);
}

}  // namespace

class TestInstaller : public QObject
{
    Q_OBJECT
    using InstallsOverEveryRows = DataRows<QString, bool>;  // host (empty: a file URL), binaryPlist
    using DownloadsOnlyFromRows = DataRows<QString, int, QString>;  // url (%1: the server's port), requests, message (empty: installed)
    using ChecksMetadataBeforeRows = DataRows<AppManifestItem, QString>;  // app, message
    using ChoosesTheBundleRows = DataRows<ZipBuilder, QString>;  // zip, result (the bundle placed, or the error)
    using ProgressFollowsTheWorkRows = DataRows<QString, QString>;  // steps ("d|e done total atMs" per step, ";"-separated), published
    using SystemVersionParsesRows = DataRows<QString, OperatingSystemVersion>;  // release, version

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void installsOverEveryAllowedSource_data()
    {
        InstallsOverEveryRows::columns();
        InstallsOverEveryRows::row("localhost", "localhost", false);
        InstallsOverEveryRows::row("LOCALHOST", "LOCALHOST", true);
        InstallsOverEveryRows::row("[::1]", "::1", true);
        InstallsOverEveryRows::row("file URL", "", true);
    }

    void installsOverEveryAllowedSource()
    {
        const auto [host, binaryPlist] = InstallsOverEveryRows::fetch();
        InstallSandbox sandbox;
        const QString kit = QStringLiteral("Notes.app/Contents/Frameworks/Kit.framework/");
        ZipBuilder zip = notesApp(QStringLiteral("2.1"), binaryPlist ? ZipBuilder::PlistFormat::binary : ZipBuilder::PlistFormat::xml);
        zip.addFile(QStringLiteral("Notes.app/Contents/Resources/setuid-tool"), "#!/bin/sh\n", 04755);
        zip.addFile(QStringLiteral("Notes.app/Contents/Resources/private.txt"), "p", 0600);
        zip.addDirectory(kit + QStringLiteral("Versions/A"), 0750).addFile(kit + QStringLiteral("Versions/A/Kit"), "lib");
        zip.addSymlink(kit + QStringLiteral("Versions/Current"), QStringLiteral("A")).addSymlink(kit + QStringLiteral("Kit"), QStringLiteral("Versions/Current/Kit"));
        zip.addSymlink(QStringLiteral("Notes.app/Contents/dangling"), QStringLiteral("Resources/not-there"));
        zip.addFile(QStringLiteral("./Notes.app/Contents/Resources/dotted.txt"), "d");
        const QString archive = sandbox.writeArchive(zip);
        LoopbackHttpServer server(host == QLatin1String("::1") ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost);
        if (!server.isListening())
            QSKIP("this machine has no loopback address of that kind");
        LoopbackHttpServer::Response response;
        response.bodyFile = archive;
        server.serve(QStringLiteral("/notes.zip"), response);
        QUrl url = server.url(QStringLiteral("/notes.zip"));
        url.setHost(host);

        // The catalog's checksum in upper case matches too.
        AppManifestItem app = notesRelease(host.isEmpty() ? QUrl::fromLocalFile(archive) : url, TempHome::readFile(archive), QStringLiteral("2.1"));
        app.sha256 = app.sha256->toUpper();
        const InstallOutcome outcome = sandbox.install(app);
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        const QString bundle = sandbox.bundle(QStringLiteral("Notes.app"));
        QCOMPARE(outcome.app->url, QUrl::fromLocalFile(bundle));
        QCOMPARE(outcome.app->version, QStringLiteral("2.1"));
        QCOMPARE(server.requestCount(), host.isEmpty() ? 0 : 1);
        // Modes and links as the archive has them; set-id bits never come out of an archive.
        const QMap<QString, QString> tree = TempHome::fingerprint(bundle + QStringLiteral("/Contents"));
        const auto mode = [&tree](const char *path) { return tree.value(QLatin1String(path)).section(QLatin1Char(' '), 0, 0); };
        QCOMPARE(mode("MacOS/Notes"), QStringLiteral("100755"));
        QCOMPARE(mode("Resources/private.txt"), QStringLiteral("100600"));
        QCOMPARE(mode("Resources/setuid-tool"), QStringLiteral("100755"));
        QCOMPARE(mode("Frameworks/Kit.framework/Versions/A"), QStringLiteral("40750"));
        QCOMPARE(tree.value(QStringLiteral("dangling")), QStringLiteral("120777 -> Resources/not-there"));
        QCOMPARE(TempHome::readFile(sandbox.bundle(kit + QStringLiteral("Kit"))), QByteArray("lib"));
        QCOMPARE(QFile::symLinkTarget(bundle + QStringLiteral("/Contents/Resources/launcher")), QFileInfo(bundle + QStringLiteral("/Contents/MacOS/Notes")).canonicalFilePath());
        QCOMPARE(TempHome::readFile(bundle + QStringLiteral("/Contents/Resources/dotted.txt")), QByteArray("d"));
    }

    // Which servers and URLs an archive comes from; paths are the test server's.
    void downloadsOnlyFromAllowedPlaces_data()
    {
        DownloadsOnlyFromRows::columns();
        const QString base = QStringLiteral("http://127.0.0.1:%1");
        const QString failed = QStringLiteral("The download failed.");
        const QString https = QStringLiteral("The download URL must use HTTPS.");
        for (int status : {200, 201, 206, 299})
            DownloadsOnlyFromRows::row(QString::asprintf("status %d", status), base + QStringLiteral("/status/%1").arg(status), 1, QString());
        // The body is a valid archive with the right checksum: only the status fails it.
        for (int status : {300, 404, 500})
            DownloadsOnlyFromRows::row(QString::asprintf("status %d", status), base + QStringLiteral("/status/%1").arg(status), 1, failed);
        DownloadsOnlyFromRows::row("redirect to loopback", base + QStringLiteral("/moved"), 2, QString());
        DownloadsOnlyFromRows::row("redirect to plain HTTP elsewhere", base + QStringLiteral("/away"), 1, https);
        DownloadsOnlyFromRows::row("other host", QStringLiteral("http://example.com:%1/status/200"), 0, https);
        DownloadsOnlyFromRows::row("other loopback address", QStringLiteral("http://127.0.0.2:%1/status/200"), 0, https);
        DownloadsOnlyFromRows::row("loopback lookalike", QStringLiteral("http://localhost.example.com:%1/status/200"), 0, https);
        DownloadsOnlyFromRows::row("ftp", QStringLiteral("ftp://127.0.0.1:%1/status/200"), 0, https);
        DownloadsOnlyFromRows::row("no host", QStringLiteral("http:///status/200?%1"), 0, https);
        DownloadsOnlyFromRows::row("no scheme", QStringLiteral("//127.0.0.1:%1/status/200"), 0, https);
    }

    void downloadsOnlyFromAllowedPlaces()
    {
        const auto [url, requests, message] = DownloadsOnlyFromRows::fetch();
        InstallSandbox sandbox;
        const QByteArray bytes = notesApp().build();
        LoopbackHttpServer server;
        const QUrl moved = server.url(QStringLiteral("/status/200"));
        server.setHandler([&](const LoopbackHttpServer::Request &request) {
            LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(302, "");
            if (request.path.startsWith(QLatin1String("/status/")))
                return LoopbackHttpServer::Response::text(request.path.mid(8).toInt(), bytes, "application/zip");
            response.headers.append({"Location", request.path == QLatin1String("/moved") ? moved.toEncoded() : "http://example.com/a.zip"});
            return response;
        });
        const InstallOutcome outcome = sandbox.install(notesRelease(QUrl(url.arg(server.port())), bytes));
        QCOMPARE(outcome.message(), message);
        QCOMPARE(server.requestCount(), requests);
        QCOMPARE(sandbox.rootEntries(), message.isEmpty() ? QStringList{QStringLiteral("Notes.app")} : QStringList());
    }

    // Metadata, status and system are checked before anything is downloaded or written.
    void checksMetadataBeforeAnyFileWork_data()
    {
        ChecksMetadataBeforeRows::columns();
        const QString incomplete = QStringLiteral("The release metadata is incomplete.");
        const AppManifestItem valid = TestCatalog::release(QStringLiteral("a"), QUrl(QStringLiteral("https://example.com/a.zip")), TestCatalog::validSha);
        AppManifestItem app = valid;
        app.downloadUrl.reset();
        ChecksMetadataBeforeRows::row("no download URL", app, QStringLiteral("The catalog does not include a download URL."));
        app.sha256.reset();
        ChecksMetadataBeforeRows::row("no URL and no checksum", app, QStringLiteral("The catalog does not include a download URL."));
        const QList<std::pair<const char *, std::function<void(AppManifestItem &)>>> changes{
            {"no checksum", [](AppManifestItem &a) { a.sha256.reset(); }},
            // Which releases count as published is the policy's table (tst_catalog); one of them here.
            {"short checksum", [](AppManifestItem &a) { a.sha256->chop(1); }},
            {"coming soon", [](AppManifestItem &a) { a.status = AppReleaseStatus::comingSoon; }},
            {"retired", [](AppManifestItem &a) { a.status = AppReleaseStatus::retired; }},
            // Checked before the scheme: an FTP URL with incomplete metadata reports the metadata.
            {"metadata before scheme", [](AppManifestItem &a) { a.sha256.reset(); a.downloadUrl = QUrl(QStringLiteral("ftp://x/a.zip")); }},
        };
        for (const auto &[name, change] : changes) {
            app = valid;
            change(app);
            ChecksMetadataBeforeRows::row(name, app, incomplete);
        }
        // On a system 14.5.0; the message quotes the catalog's own text, untrimmed.
        for (const char *minimum : {"14.5.1", " 14.6 "}) {
            app = valid;
            app.minMacOS = QLatin1String(minimum);
            ChecksMetadataBeforeRows::row(QString::asprintf("needs %s", minimum), app, QStringLiteral("This app requires macOS %1 or newer.").arg(app.minMacOS));
        }
    }

    void checksMetadataBeforeAnyFileWork()
    {
        const auto [app, message] = ChecksMetadataBeforeRows::fetch();
        InstallSandbox sandbox;
        const InstallOutcome outcome = sandbox.install(app);
        QCOMPARE(outcome.message(), message);
        QVERIFY(!QFileInfo::exists(sandbox.installRoot()));
    }

    void choosesTheBundle_data()
    {
        ChoosesTheBundleRows::columns();
        const QString notFound = QStringLiteral("The archive does not contain a macOS app bundle.");
        const QString mismatch = QStringLiteral("The app bundle does not match the catalog bundle identifier.");
        const auto bundles = [](const QStringList &paths) {
            ZipBuilder zip;
            for (const QString &path : paths)
                zip.addBundle(path, notesId);
            return zip;
        };
        ChoosesTheBundleRows::row("in a sub-folder", bundles({"release/v2/Notes.app"}), "Notes.app");
        ChoosesTheBundleRows::row("without folder entries", ZipBuilder().addFile(QStringLiteral("Notes.app/Contents/Info.plist"), ZipBuilder::infoPlist({{"CFBundleIdentifier", notesId}}, ZipBuilder::PlistFormat::xml)), "Notes.app");
        ChoosesTheBundleRows::row("hidden entries skipped", bundles({".hidden/Notes.app", ".Secret.app", "z/Visible.app"}), "Visible.app");
        ChoosesTheBundleRows::row("APP is not a match", bundles({"a/Shout.APP", "b/Quiet.app"}), "Quiet.app");
        ChoosesTheBundleRows::row("depth first, folders in name order", bundles({"b/Second.app", "a/deep/First.app"}), "First.app");
        ChoosesTheBundleRows::row("a file named .app is not a bundle", bundles({"b/Real.app"}).addFile(QStringLiteral("a/Fake.app"), "file"), "Real.app");
        ChoosesTheBundleRows::row("no bundle", ZipBuilder().addFile(QStringLiteral("Notes/readme.txt"), "no bundle"), notFound);
        ChoosesTheBundleRows::row("empty archive", ZipBuilder(), notFound);
        ChoosesTheBundleRows::row("only .APP", bundles({"Notes.APP"}), notFound);
        ChoosesTheBundleRows::row("only hidden", bundles({".Notes.app"}), notFound);
        ChoosesTheBundleRows::row("bundle that is a link", bundles({"store/Real"}).addSymlink(QStringLiteral("Notes.app"), QStringLiteral("store/Real")), notFound);
        ChoosesTheBundleRows::row("wrong identifier", ZipBuilder().addBundle(QStringLiteral("Notes.app"), QStringLiteral("com.vantrel.other")), mismatch);
        ChoosesTheBundleRows::row("identifier in other case", ZipBuilder().addBundle(QStringLiteral("Notes.app"), QStringLiteral("com.Vantrel.Notes"), QStringLiteral("Notes"), ZipBuilder::PlistFormat::binary), mismatch);
        ChoosesTheBundleRows::row("no Info.plist", ZipBuilder().addExecutable(QStringLiteral("Notes.app/Contents/MacOS/Notes"), "#!/bin/sh\n"), mismatch);
        ChoosesTheBundleRows::row("Info.plist is a folder", ZipBuilder().addDirectory(QStringLiteral("Notes.app/Contents/Info.plist")), mismatch);
        const QList<std::pair<const char *, QByteArray>> badPlists{
            {"unreadable Info.plist", "\x01\x02 no plist"},
            {"no identifier", ZipBuilder::infoPlist({{"CFBundleName", "Notes"}}, ZipBuilder::PlistFormat::xml)},
            {"identifier not a string", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><integer>7</integer></dict></plist>"},
            {"Info.plist not a dictionary", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>com.vantrel.notes</string></array></plist>"},
            {"truncated binary Info.plist", ZipBuilder::infoPlist({{"CFBundleIdentifier", notesId}}, ZipBuilder::PlistFormat::binary).left(40)},
        };
        for (const auto &[name, plist] : badPlists)
            ChoosesTheBundleRows::row(name, ZipBuilder().addFile(QStringLiteral("Notes.app/Contents/Info.plist"), plist), mismatch);
    }

    void choosesTheBundle()
    {
        const auto [zip, result] = ChoosesTheBundleRows::fetch();
        InstallSandbox sandbox;
        const InstallOutcome outcome = sandbox.installArchive(zip);
        const bool placed = result.endsWith(QLatin1String(".app"));
        QCOMPARE(outcome.message(), placed ? QString() : result);
        if (placed) {
            QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
            QCOMPARE(outcome.app->url, QUrl::fromLocalFile(sandbox.bundle(result)));
            QVERIFY(QFileInfo::exists(sandbox.bundle(result) + QStringLiteral("/Contents/Info.plist")));
        }
        QCOMPARE(sandbox.rootEntries(), placed ? QStringList{result} : QStringList());
    }

    void refusesHostileArchives_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString &kind : ZipBuilder::hostileKinds())
            QTest::newRow(qPrintable(kind)) << kind;
        // Inside the archive, but outside the bundle that gets installed.
        QTest::newRow("link leaving the bundle") << QString();
    }

    void refusesHostileArchives()
    {
        QFETCH(QString, kind);
        InstallSandbox sandbox;
        ZipBuilder zip = kind.isEmpty() ? notesApp().addFile(QStringLiteral("other.txt"), "not the app")
                                                 .addSymlink(QStringLiteral("Notes.app/Contents/other"), QStringLiteral("../../other.txt"))
                                        : ZipBuilder::hostile(kind, notesId, sandbox.outsideDir(), up);
        const InstallOutcome outcome = sandbox.installArchive(zip);
        QCOMPARE(outcome.message(), QStringLiteral("The downloaded archive could not be extracted."));
        QCOMPARE(TempHome::entries(sandbox.outsideDir()), QStringList());
        QCOMPARE(TempHome::entries(sandbox.path()), (QStringList{"home", "notes-1.0.zip", "outside", "tmp"}));
        QCOMPARE(sandbox.rootEntries(), QStringList());
    }

    // An update: the whole new bundle on success; on any failure the old copy byte for byte.
    void updateReplacesOrKeepsTheOldCopy_data()
    {
        QTest::addColumn<QString>("fault");
        // Cut-short and stalled downloads: see the hostile-server tests.
        for (const char *fault : {"none", "checksum mismatch", "server error", "missing file", "wrong identifier", "hostile archive"})
            QTest::newRow(fault) << fault;
    }

    void updateReplacesOrKeepsTheOldCopy()
    {
        QFETCH(QString, fault);
        InstallSandbox sandbox;
        QVERIFY(sandbox.installArchive(notesApp()).succeeded());
        const QString bundle = sandbox.bundle(QStringLiteral("Notes.app"));
        const QMap<QString, QString> before = TempHome::fingerprint(bundle);

        ZipBuilder v2 = fault == QLatin1String("wrong identifier") ? ZipBuilder().addBundle(QStringLiteral("Notes.app"), QStringLiteral("com.vantrel.impostor"))
                                                                    : notesApp(QStringLiteral("2.0"));
        if (fault == QLatin1String("hostile archive"))
            v2.addFile(up + QStringLiteral("/evil.txt"), "owned");
        const QByteArray bytes = v2.build();
        LoopbackHttpServer server;
        server.serve(QStringLiteral("/v2.zip"), LoopbackHttpServer::Response::text(fault == QLatin1String("server error") ? 500 : 200, bytes));
        AppManifestItem app = notesRelease(server.url(QStringLiteral("/v2.zip")), bytes, QStringLiteral("2.0"));
        // Compared in lower case, and quoted so.
        const QString other = ZipBuilder::sha256Hex("another release");
        if (fault == QLatin1String("checksum mismatch"))
            app.sha256 = other.toUpper();
        if (fault == QLatin1String("missing file"))
            app.downloadUrl = QUrl::fromLocalFile(sandbox.path(QStringLiteral("missing.zip")));

        const InstallOutcome outcome = sandbox.install(app);
        QCOMPARE(outcome.succeeded(), fault == QLatin1String("none"));
        if (fault == QLatin1String("checksum mismatch")) {
            QCOMPARE(outcome.message(), QStringLiteral("Checksum mismatch. Expected %1, got %2.").arg(other, ZipBuilder::sha256Hex(bytes)));
            // What the "install_failed" event carries as its reason.
            QCOMPARE(outcome.installerError->debugDescription(),
                     QStringLiteral(R"(checksumMismatch(expected: "%1", actual: "%2"))").arg(other, ZipBuilder::sha256Hex(bytes)));
        }
        if (fault == QLatin1String("missing file")) {
            QVERIFY2(outcome.platformError && outcome.platformError->domain() == PlatformError::Domain::fileSystem, qPrintable(outcome.describe()));
            QVERIFY2(outcome.message().contains(QStringLiteral("missing.zip")), qPrintable(outcome.message()));
        }
        if (outcome.succeeded()) {
            QVERIFY(!QFileInfo::exists(bundle + QStringLiteral("/Contents/Resources/only-in-1.0")));
            QCOMPARE(TempHome::readFile(bundle + QStringLiteral("/Contents/Resources/version.txt")), QByteArray("2.0"));
        } else {
            QCOMPARE(TempHome::fingerprint(bundle), before);
        }
        QCOMPARE(sandbox.rootEntries(), outcome.succeeded() ? (QStringList{".Notes.app.previous", "Notes.app"}) : QStringList{"Notes.app"});
        QCOMPARE(TempHome::entries(sandbox.outsideDir()), QStringList());
    }

    void extractionRunsOffTheMainThread()
    {
        InstallSandbox sandbox;
        const QString archive = sandbox.writeArchive(notesApp());
        auto extractor = std::make_shared<GatedExtractor>();
        QCoro::Task<InstalledApp> task = sandbox.makeInstaller(extractor)->install(
            notesRelease(QUrl::fromLocalFile(archive), TempHome::readFile(archive)));
        // While extraction is held, this thread's event loop keeps running.
        QTRY_COMPARE(extractor->entered.available(), 1);
        bool timerFired = false;
        QTimer::singleShot(0, this, [&] { timerFired = true; });
        QTRY_VERIFY(timerFired);
        // Another app installs meanwhile, its work folder beside the held one's.
        QVERIFY(sandbox.installArchive(ZipBuilder().addBundle(QStringLiteral("Timer.app"), QStringLiteral("com.vantrel.timer")), QStringLiteral("timer")).succeeded());
        QVERIFY(!task.isReady());
        QVERIFY(extractor->thread.load() != QThread::currentThread());
        extractor->gate.release();
        QVERIFY(outcomeOf(std::move(task)).succeeded());
        QCOMPARE(sandbox.rootEntries(), (QStringList{"Notes.app", "Timer.app"}));
    }

    // Download 0.04-0.90, extraction 0.90-0.99, rising, a new whole percent at most ten times a second.
    void progressFollowsTheWork_data()
    {
        ProgressFollowsTheWorkRows::columns();
        ProgressFollowsTheWorkRows::row("same whole percent twice", "d 50 100 0; d 501 1000 500", "0.47");
        ProgressFollowsTheWorkRows::row("at most ten a second", "d 10 100 0; d 20 100 50; d 30 100 150", "0.126;0.298");
        ProgressFollowsTheWorkRows::row("unknown length keeps still", "d 50 -1 0; d 90 0 200", "");
        ProgressFollowsTheWorkRows::row("extraction after download", "d 100 100 0; e 0 100 200; e 50 100 300", "0.9;0.945");
        ProgressFollowsTheWorkRows::row("never goes back", "e 100 100 0; d 10 100 500", "0.99");
        ProgressFollowsTheWorkRows::row("more than announced", "d 300 100 0", "0.9");
    }

    void progressFollowsTheWork()
    {
        const auto [steps, published] = ProgressFollowsTheWorkRows::fetch();
        qint64 now = 0;
        QStringList seen;
        InstallProgress progress([&](double f) { seen.append(QString::number(f, 'g', 3)); }, [&] { return now; });
        for (const QString &step : steps.split(QLatin1Char(';'))) {
            const QStringList f = step.simplified().split(QLatin1Char(' '));
            now = f[3].toLongLong();
            if (f[0] == QLatin1String("d"))
                progress.download(f[1].toLongLong(), f[2].toLongLong());
            else
                progress.extraction(f[1].toLongLong(), f[2].toLongLong());
        }
        QCOMPARE(seen.join(QLatin1Char(';')), published);
    }

    // A slow server's values as the caller sees them; without a length the body still arrives whole, the bar stays put.
    void installReportsRisingProgress_data()
    {
        QTest::addColumn<bool>("announcesLength");
        QTest::newRow("Content-Length") << true;
        QTest::newRow("no Content-Length") << false;
    }

    void installReportsRisingProgress()
    {
        QFETCH(bool, announcesLength);
        InstallSandbox sandbox;
        const QByteArray bytes
            = notesApp().setStored(true).addFillFile(QStringLiteral("Notes.app/Contents/Resources/data.bin"), 3 << 19, 'd').build();
        LoopbackHttpServer server;
        LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, bytes);
        response.throttleBytes = 64 << 10;
        response.omitLength = !announcesLength;
        server.serve(QStringLiteral("/notes.zip"), response);
        QList<double> values;
        InstallControl control;
        control.onProgress = [&values](double f) { values.append(f); };
        const InstallOutcome outcome
            = outcomeOf(sandbox.installer().install(notesRelease(server.url(QStringLiteral("/notes.zip")), bytes), control));
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        for (qsizetype i = 0; i < values.size(); ++i) {
            QVERIFY2(values[i] > 0.04 && values[i] <= 0.99, qPrintable(QString::number(values[i])));
            QVERIFY(i == 0 || int(values[i] * 100) > int(values[i - 1] * 100));
        }
        const auto downloading = std::count_if(values.cbegin(), values.cend(), [](double f) { return f < 0.90; });
        if (announcesLength)
            QVERIFY2(downloading >= 2, qPrintable(QString::number(values.size())));
        else
            QCOMPARE(downloading, 0);
    }

    // Cancelled at each stage: "cancelled", the old copy byte for byte, nothing left behind.
    void cancelStopsAtEveryStage_data()
    {
        QTest::addColumn<QString>("stage");
        for (const char *stage : {"waiting for the lock", "downloading", "extracting", "after the swap"})
            QTest::newRow(stage) << stage;
    }

    void cancelStopsAtEveryStage()
    {
        QFETCH(QString, stage);
        InstallSandbox sandbox;
        QVERIFY(sandbox.installArchive(notesApp()).succeeded());
        const QString bundle = sandbox.bundle(QStringLiteral("Notes.app"));
        const QMap<QString, QString> before = TempHome::fingerprint(bundle);

        const QByteArray bytes = notesApp(QStringLiteral("2.0")).setStored(true).addFillFile(
            QStringLiteral("Notes.app/Contents/Resources/data.bin"), 1 << 20, 'd').build();
        LoopbackHttpServer server;
        LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, bytes);
        // About four seconds to send: a cancel that waits for the end shows.
        const bool afterSwap = stage == QLatin1String("after the swap");
        response.throttleBytes = afterSwap ? 0 : 16 << 10;
        response.throttleMs = 60;
        server.serve(QStringLiteral("/v2.zip"), response);
        auto extractor = std::make_shared<GatedExtractor>();
        auto installer = sandbox.makeInstaller(extractor);
        LockHolder holder;
        const QString lock = InstallLocks::appLockPath(sandbox.installRoot(), QStringLiteral("notes"));
        if (stage == QLatin1String("waiting for the lock"))
            QVERIFY(holder.start(lock));
        InstallControl control;
        control.cancel = std::make_shared<std::atomic_bool>(false);
        // Too late once the bundle is placed: the install completes.
        if (afterSwap)
            control.onPlaced = [cancel = control.cancel] { cancel->store(true); };
        QCoro::Task<InstalledApp> task = installer->install(
            notesRelease(server.url(QStringLiteral("/v2.zip")), bytes, QStringLiteral("2.0")), control);
        if (stage == QLatin1String("downloading"))
            QTRY_VERIFY(!server.requests().isEmpty());
        if (stage == QLatin1String("extracting"))
            QTRY_COMPARE(extractor->entered.available(), 1);
        QVERIFY(!task.isReady());
        if (!afterSwap)
            control.cancel->store(true);
        extractor->gate.release();
        QElapsedTimer clock;
        clock.start();
        const InstallOutcome outcome = outcomeOf(std::move(task));
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        holder.stop();
        QFile::remove(lock);  // the other holder's, not the install's
        QVERIFY(control.cancel->load());
        if (afterSwap) {
            QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
            QCOMPARE(TempHome::readFile(bundle + QStringLiteral("/Contents/Resources/version.txt")), QByteArray("2.0"));
        } else {
            QVERIFY2(outcome.installerError && outcome.installerError->kind() == AppInstallerError::Kind::cancelled,
                     qPrintable(outcome.describe()));
            QCOMPARE(TempHome::fingerprint(bundle), before);
        }
        QCOMPARE(sandbox.rootEntries(), afterSwap ? (QStringList{".Notes.app.previous", "Notes.app"}) : QStringList{"Notes.app"});
    }

    // Updates keep the replaced copy, one generation deep; rolling back swaps the two, so twice returns to the newer.
    void updatesKeepOnePreviousCopyToRollBackTo()
    {
        InstallSandbox sandbox;
        const QString bundle = sandbox.bundle(QStringLiteral("Notes.app"));
        const QString previous = sandbox.bundle(QStringLiteral(".Notes.app.previous"));
        const QUrl url = QUrl::fromLocalFile(bundle);
        QMap<QString, QMap<QString, QString>> copies;
        for (const char *version : {"1.0", "2.0", "3.0"}) {
            QVERIFY(sandbox.installArchive(notesApp(version), QStringLiteral("notes"), version).succeeded());
            copies.insert(version, TempHome::fingerprint(bundle));
        }
        InstalledCopyOperations &operations = sandbox.installedCopies();
        const QList<std::pair<QString, QString>> inPlaceAndKept{{"3.0", "2.0"}, {"2.0", "3.0"}, {"3.0", "2.0"}};
        for (qsizetype i = 0; i < inPlaceAndKept.size(); ++i) {
            const auto &[inPlace, kept] = inPlaceAndKept[i];
            if (i > 0) {
                const InstallOutcome rolledBack = outcomeOf(operations.rollBack(QStringLiteral("notes"), url));
                QVERIFY2(rolledBack.succeeded(), qPrintable(rolledBack.describe()));
                QCOMPARE(*rolledBack.app, (InstalledApp{url, inPlace}));
            }
            QCOMPARE(TempHome::fingerprint(bundle), copies.value(inPlace));
            QCOMPARE(TempHome::fingerprint(previous), copies.value(kept));
            QCOMPARE(operations.previousVersion(QStringLiteral("notes"), url), std::optional<QString>(kept));
            // The note follows the swap, so a crash before the recording is repaired to the truth; its tree goes along.
            QCOMPARE(InstallReceipt::placedVersion(bundle, QStringLiteral("notes")), std::optional<QString>(inPlace));
            QCOMPARE(waitForTask(operations.verify(QStringLiteral("notes"), url)).status, BundleVerification::Status::intact);
            QCOMPARE(sandbox.rootEntries(), (QStringList{".Notes.app.previous", "Notes.app"}));
        }
        // Only bundles of the install root; removing for good takes the previous copy and the notes along.
        QVERIFY(!outcomeOf(operations.rollBack(QStringLiteral("notes"), QUrl::fromLocalFile(sandbox.path(QStringLiteral("Notes.app"))))).succeeded());
        waitForTask(operations.remove(QStringLiteral("notes"), url, false));
        QCOMPARE(TempHome::entries(sandbox.installRoot()), QStringList());
    }

    void lockSerialisesInstallsOfOneApp()
    {
        InstallSandbox sandbox;
        const QByteArray v1 = notesApp().build();
        const QByteArray v2 = notesApp(QStringLiteral("2.0")).build();
        const QString version = sandbox.bundle(QStringLiteral("Notes.app/Contents/Resources/version.txt"));
        QByteArray placedWhenSecondStarted;
        LoopbackHttpServer server;
        server.setHandler([&](const LoopbackHttpServer::Request &request) {
            LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, v1);
            if (request.path == QLatin1String("/v1.zip")) {
                response.delayMs = 400;  // a window in which an unserialised second install would start
            } else {
                placedWhenSecondStarted = TempHome::readFile(version);
                response.body = v2;
            }
            return response;
        });
        auto other = sandbox.makeInstaller();
        QCoro::Task<InstalledApp> first = sandbox.installer().install(notesRelease(server.url(QStringLiteral("/v1.zip")), v1));
        QTRY_COMPARE(server.requestCount(), 1);
        QCoro::Task<InstalledApp> second = other->install(notesRelease(server.url(QStringLiteral("/v2.zip")), v2, QStringLiteral("2.0")));
        QVERIFY(outcomeOf(std::move(first)).succeeded());
        QVERIFY(outcomeOf(std::move(second)).succeeded());
        // The second started once the first was placed, and wins whole.
        QCOMPARE(placedWhenSecondStarted, QByteArray("1.0"));
        QCOMPARE(TempHome::readFile(version), QByteArray("2.0"));
        QVERIFY(!QFileInfo::exists(sandbox.bundle(QStringLiteral("Notes.app/Contents/Resources/only-in-1.0"))));
    }

    void lockHeldByAnotherProcessMakesTheInstallWait()
    {
        InstallSandbox sandbox;
        QDir().mkpath(sandbox.installRoot());
        LockHolder holder;
        if (!holder.start(InstallLocks::appLockPath(sandbox.installRoot(), QStringLiteral("notes"))))
            QSKIP("the flock tool is not available to hold a lock from another process");
        const QByteArray bytes = notesApp().build();
        LoopbackHttpServer server;
        server.serve(QStringLiteral("/notes.zip"), LoopbackHttpServer::Response::text(200, bytes));
        QCoro::Task<InstalledApp> waiting = sandbox.installer().install(notesRelease(server.url(QStringLiteral("/notes.zip")), bytes));
        // Another app is not held up, and its install gives the waiting one time to misbehave.
        QVERIFY(sandbox.installArchive(ZipBuilder().addBundle(QStringLiteral("Timer.app"), QStringLiteral("com.vantrel.timer")), QStringLiteral("timer")).succeeded());
        QVERIFY(!waiting.isReady());
        QCOMPARE(server.requestCount(), 0);
        // The holder ends; the system drops its lock and the install goes ahead.
        holder.stop();
        QVERIFY(outcomeOf(std::move(waiting)).succeeded());
        QCOMPARE(sandbox.rootEntries(), (QStringList{"Notes.app", "Timer.app"}));
    }

    // Placing a bundle first removes dead staged copies of it only; a live one (locked elsewhere) stays.
    void deadStagedCopiesOfTheBundleAreRemovedBeforePlacing()
    {
        InstallSandbox sandbox;
        sandbox.allowLeftovers();
        const QString dead = stagedName(QStringLiteral("Notes.app"));
        const QString live = stagedName(QStringLiteral("Notes.app"));
        const QString otherBundle = stagedName(QStringLiteral("Timer.app"));
        for (const QString &name : {dead, live, otherBundle})
            makeTree(sandbox.bundle(name));
        LockHolder holder;
        if (!holder.start(InstallLocks::stagedLockPath(sandbox.bundle(live))))
            QSKIP("the flock tool is not available to hold a lock from another process");
        QVERIFY(sandbox.installArchive(notesApp()).succeeded());
        QStringList expected{QStringLiteral("Notes.app"), live, InstallLocks::stagedLockPath(live), otherBundle};
        expected.sort();
        QCOMPARE(sandbox.rootEntries(), expected);
    }

    // A work folder's lock file appears already held, so a clean-up in another
    // process never finds it free and takes a new folder for a dead one; it
    // never replaces a lock file that is there.
    void workLockAppearsHeld()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral(".lock"));
        const std::unique_ptr<FileLock> held = FileLock::createHeld(path);
        QVERIFY(held && QFileInfo::exists(path));
        QVERIFY(!FileLock::tryAcquireExisting(path));
        QCOMPARE(TempHome::entries(dir.path()), QStringList{QStringLiteral(".lock")});
        QVERIFY_THROWS_EXCEPTION(PlatformError, FileLock::createHeld(path));
        QVERIFY(!FileLock::tryAcquireExisting(path));
    }

    void removeLeftoversKeepsWhatIsAlive()
    {
        InstallSandbox sandbox;
        sandbox.allowLeftovers();
        const QString temp = sandbox.tempDir();
        const QString liveWork = temp + QStringLiteral("/VantrelInstall-LIVE");
        const QString liveStaged = sandbox.bundle(stagedName(QStringLiteral("Timer.app")));
        const QString deadWork = temp + QStringLiteral("/VantrelInstall-DEAD");
        const QString deadStagedWithLock = sandbox.bundle(stagedName(QStringLiteral("Old.app")));
        for (const QString &path : {liveWork, liveStaged, deadWork, deadStagedWithLock, temp + QStringLiteral("/VantrelInstall-FRESH"),
                                    temp + QStringLiteral("/SomethingElse"), sandbox.bundle(stagedName(QStringLiteral("Notes.app"))),
                                    sandbox.bundle(QStringLiteral("Notes.app"))})
            makeTree(path);
        // Without a lock file, only an old work folder counts as dead.
        makeTree(temp + QStringLiteral("/VantrelInstall-OLD"), 3600);
        for (const QString &file : {InstallLocks::workLockPath(deadWork), InstallLocks::stagedLockPath(deadStagedWithLock),
                                    InstallLocks::appLockPath(sandbox.installRoot(), QStringLiteral("notes")), sandbox.bundle(QStringLiteral(".user-file"))})
            TempHome::writeFile(file, {});
        // Tree files: one a note names; others no note names, of a bundle nobody works on, of one whose app's lock is
        // held (a roll back rewriting its notes), of one being placed.
        const auto tree = [&sandbox](const QString &bundle) {
            const QString name = QStringLiteral(".%1.%2.vantrel-tree").arg(bundle, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
            TempHome::writeFile(sandbox.bundle(name), "vantrel-bundle-tree 1\n");
            return name;
        };
        const QString named = tree(QStringLiteral("Notes.app"));
        const QStringList heldTrees{tree(QStringLiteral("Clock.app")), tree(QStringLiteral("Timer.app"))};
        tree(QStringLiteral("Notes.app"));
        TempHome::writeFile(sandbox.bundle(QStringLiteral(".Notes.app.vantrel-receipt")),
                            QJsonDocument(QJsonObject{{"appId", "notes"}, {"tree", QJsonObject{{"file", named}}}}).toJson());
        TempHome::writeFile(sandbox.bundle(QStringLiteral(".Clock.app.previous.vantrel-receipt")), QJsonDocument(QJsonObject{{"appId", "clock"}}).toJson());
        const auto trees = [&sandbox] { return TempHome::entries(sandbox.installRoot()).filter(QStringLiteral(".vantrel-tree")); };
        LockHolder workHolder;
        LockHolder stagedHolder;
        LockHolder appHolder;
        if (!workHolder.start(InstallLocks::workLockPath(liveWork)) || !stagedHolder.start(InstallLocks::stagedLockPath(liveStaged))
            || !appHolder.start(InstallLocks::appLockPath(sandbox.installRoot(), QStringLiteral("clock"))))
            QSKIP("the flock tool is not available to hold a lock from another process");

        QCOMPARE(InstallLeftovers::remove(sandbox.installRoot(), temp), 6);
        QStringList keptTrees = heldTrees + QStringList{named};
        keptTrees.sort();
        QCOMPARE(trees(), keptTrees);
        QCOMPARE(TempHome::entries(temp), (QStringList{"SomethingElse", "VantrelInstall-FRESH", "VantrelInstall-LIVE"}));
        QVERIFY(QFileInfo::exists(liveWork + QStringLiteral("/Contents/data")));
        QStringList expected{QStringLiteral(".user-file"), QStringLiteral("Notes.app"), QFileInfo(liveStaged).fileName(),
                             QFileInfo(InstallLocks::stagedLockPath(liveStaged)).fileName(),
                             QFileInfo(InstallLocks::appLockPath(sandbox.installRoot(), QStringLiteral("clock"))).fileName()};
        expected.sort();
        QCOMPARE(sandbox.rootEntries(), expected);

        // Once their holders are gone, a later start removes them too.
        workHolder.stop();
        stagedHolder.stop();
        appHolder.stop();
        QCOMPARE(InstallLeftovers::remove(sandbox.installRoot(), temp), 5);
        QCOMPARE(sandbox.rootEntries(), (QStringList{".user-file", "Notes.app"}));
        QCOMPARE(trees(), QStringList{named});
        QVERIFY(!QFileInfo::exists(liveWork));
    }

    void systemVersionParsesReleases_data()
    {
        SystemVersionParsesRows::columns();
        SystemVersionParsesRows::row("debian", "6.1.0-18-amd64", OperatingSystemVersion{6, 1, 0});
        SystemVersionParsesRows::row("four parts", "5.15.153.1-microsoft-standard-WSL2", OperatingSystemVersion{5, 15, 153});
        SystemVersionParsesRows::row("two parts", "6.8-rc1", OperatingSystemVersion{6, 8, 0});
        SystemVersionParsesRows::row("nothing", "", OperatingSystemVersion{0, 0, 0});
    }

    void systemVersionParsesReleases()
    {
        const auto [release, version] = SystemVersionParsesRows::fetch();
        QCOMPARE(LinuxSystemVersion::parseRelease(release), version);
        QVERIFY(LinuxSystemVersion().operatingSystemVersion().majorVersion > 0);
    }
};

QTEST_GUILESS_MAIN(TestInstaller)
#include "tst_installer.moc"
