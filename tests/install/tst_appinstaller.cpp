// The installer end to end: real ZIP archives served over loopback HTTP (or
// read from file URLs), installed into a temporary install root.

#include "InstallTestKit.h"
#include "LoopbackHttpServer.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString bundleId = QStringLiteral("com.vantrel.notes");

ZipBuilder notesArchive(const QString &version = QStringLiteral("1.0"),
                        ZipBuilder::PlistFormat format = ZipBuilder::PlistFormat::xml)
{
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Notes.app"), bundleId, QStringLiteral("Notes"), format, version);
    zip.addDirectory(QStringLiteral("Notes.app/Contents/Resources"));
    zip.addFile(QStringLiteral("Notes.app/Contents/Resources/version.txt"), version.toUtf8());
    zip.addSymlink(QStringLiteral("Notes.app/Contents/Resources/launcher"), QStringLiteral("../MacOS/Notes"));
    return zip;
}

}  // namespace

class TestAppInstaller : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void installsOverEveryAllowedSource_data();
    void installsOverEveryAllowedSource();
    void acceptsEverySuccessStatus_data();
    void acceptsEverySuccessStatus();
    void refusesFailureStatuses_data();
    void refusesFailureStatuses();
    void refusesDisallowedSchemesWithoutARequest_data();
    void refusesDisallowedSchemesWithoutARequest();
    void followsRedirectsOnlyToAllowedURLs();
    void checksMetadataBeforeAnyFileWork_data();
    void checksMetadataBeforeAnyFileWork();
    void checksMinimumSystem_data();
    void checksMinimumSystem();
    void comparesChecksumsInLowerCase_data();
    void comparesChecksumsInLowerCase();
    void findsTheBundle_data();
    void findsTheBundle();
    void rejectsUnusableBundles_data();
    void rejectsUnusableBundles();
    void refusesHostileArchives_data();
    void refusesHostileArchives();
    void refusesBrokenDownloads_data();
    void refusesBrokenDownloads();
    void replacesAnExistingCopy();
    void failedInstallKeepsTheOldCopy_data();
    void failedInstallKeepsTheOldCopy();
    void installsTwoAppsAtOnce();
    void passesAMissingFileThrough();
};

void TestAppInstaller::installsOverEveryAllowedSource_data()
{
    QTest::addColumn<QString>("host");  // empty: a file URL
    QTest::addColumn<bool>("binaryPlist");
    QTest::newRow("127.0.0.1") << QStringLiteral("127.0.0.1") << false;
    QTest::newRow("localhost") << QStringLiteral("localhost") << false;
    QTest::newRow("LOCALHOST") << QStringLiteral("LOCALHOST") << true;
    QTest::newRow("LocalHost") << QStringLiteral("LocalHost") << false;
    QTest::newRow("[::1]") << QStringLiteral("::1") << true;
    QTest::newRow("file URL") << QString() << true;
}

void TestAppInstaller::installsOverEveryAllowedSource()
{
    QFETCH(QString, host);
    QFETCH(bool, binaryPlist);
    InstallSandbox sandbox;
    const ZipBuilder zip = notesArchive(QStringLiteral("2.1"),
                                        binaryPlist ? ZipBuilder::PlistFormat::binary : ZipBuilder::PlistFormat::xml);
    const QString archive = sandbox.writeArchive(zip);
    const QString sha = ZipBuilder::sha256HexOfFile(archive);

    std::unique_ptr<LoopbackHttpServer> server;
    QUrl url;
    if (host.isEmpty()) {
        url = QUrl::fromLocalFile(archive);
    } else {
        server = std::make_unique<LoopbackHttpServer>(host == QLatin1String("::1") ? QHostAddress::LocalHostIPv6
                                                                                   : QHostAddress::LocalHost);
        if (!server->isListening())
            QSKIP("this machine has no loopback address of that kind");
        LoopbackHttpServer::Response response;
        response.bodyFile = archive;
        server->serve(QStringLiteral("/releases/notes.zip"), response);
        url = server->url(QStringLiteral("/releases/notes.zip"));
        url.setHost(host);
    }

    const InstallOutcome outcome = runInstall(sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, url, sha, QStringLiteral("2.1")));
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
    const QString bundle = sandbox.installRoot() + QStringLiteral("/Notes.app");
    QCOMPARE(outcome.app->url, QUrl::fromLocalFile(bundle));
    QCOMPARE(outcome.app->version, QStringLiteral("2.1"));
    if (server) {
        QCOMPARE(server->requestCount(), 1);
        QCOMPARE(server->requests().first().method, QByteArray("GET"));
    }

    const QFileInfo executable(bundle + QStringLiteral("/Contents/MacOS/Notes"));
    QVERIFY(executable.isFile());
    QVERIFY(executable.permissions() & QFile::ExeOwner);
    QVERIFY(executable.permissions() & QFile::ExeOther);
    QVERIFY(!(QFileInfo(bundle + QStringLiteral("/Contents/Info.plist")).permissions() & QFile::ExeOwner));
    const QFileInfo link(bundle + QStringLiteral("/Contents/Resources/launcher"));
    QVERIFY(link.isSymLink());
    QCOMPARE(QFile::symLinkTarget(link.filePath()), executable.canonicalFilePath());
    QFile version(bundle + QStringLiteral("/Contents/Resources/version.txt"));
    QVERIFY(version.open(QIODevice::ReadOnly));
    QCOMPARE(version.readAll(), QByteArray("2.1"));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::acceptsEverySuccessStatus_data()
{
    QTest::addColumn<int>("status");
    for (int status : {200, 201, 202, 203, 206, 250, 299})
        QTest::addRow("%d", status) << status;
}

void TestAppInstaller::acceptsEverySuccessStatus()
{
    QFETCH(int, status);
    InstallSandbox sandbox;
    const QByteArray bytes = notesArchive().build();
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/a.zip"), LoopbackHttpServer::Response::text(status, bytes, "application/zip"));
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, server.url(QStringLiteral("/a.zip")), ZipBuilder::sha256Hex(bytes)));
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::refusesFailureStatuses_data()
{
    QTest::addColumn<int>("status");
    for (int status : {300, 400, 404, 410, 500, 503})
        QTest::addRow("%d", status) << status;
}

void TestAppInstaller::refusesFailureStatuses()
{
    QFETCH(int, status);
    InstallSandbox sandbox;
    // The body is a valid archive with the right checksum: only the status may fail it.
    const QByteArray bytes = notesArchive().build();
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/a.zip"), LoopbackHttpServer::Response::text(status, bytes, "application/zip"));
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, server.url(QStringLiteral("/a.zip")), ZipBuilder::sha256Hex(bytes)));
    QVERIFY(!outcome.succeeded());
    QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::downloadFailed);
    QCOMPARE(outcome.message(), QStringLiteral("The download failed."));
    QVERIFY(!QFileInfo::exists(sandbox.installRoot() + QStringLiteral("/Notes.app")));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::refusesDisallowedSchemesWithoutARequest_data()
{
    QTest::addColumn<QString>("url");  // %1 is the server's port
    QTest::newRow("other host") << QStringLiteral("http://example.com:%1/a.zip");
    QTest::newRow("other loopback address") << QStringLiteral("http://127.0.0.2:%1/a.zip");
    QTest::newRow("loopback lookalike") << QStringLiteral("http://localhost.example.com:%1/a.zip");
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1:%1/a.zip");
    QTest::newRow("no host") << QStringLiteral("http:///a.zip?%1");
    QTest::newRow("no scheme") << QStringLiteral("//127.0.0.1:%1/a.zip");
}

void TestAppInstaller::refusesDisallowedSchemesWithoutARequest()
{
    QFETCH(QString, url);
    InstallSandbox sandbox;
    LoopbackHttpServer server;
    const QByteArray bytes = notesArchive().build();
    server.serve(QStringLiteral("/a.zip"), LoopbackHttpServer::Response::text(200, bytes));
    const QUrl source(url.arg(server.port()));
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, source, ZipBuilder::sha256Hex(bytes)));
    QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::unsupportedDownloadScheme);
    QCOMPARE(outcome.message(), QStringLiteral("The download URL must use HTTPS."));
    QCOMPARE(server.requestCount(), 0);
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::followsRedirectsOnlyToAllowedURLs()
{
    InstallSandbox sandbox;
    LoopbackHttpServer server;
    const QByteArray bytes = notesArchive().build();
    server.serve(QStringLiteral("/real.zip"), LoopbackHttpServer::Response::text(200, bytes));
    LoopbackHttpServer::Response toLoopback = LoopbackHttpServer::Response::text(302, "");
    toLoopback.headers.append(qMakePair(QByteArray("Location"), server.url(QStringLiteral("/real.zip")).toEncoded()));
    server.serve(QStringLiteral("/moved.zip"), toLoopback);
    LoopbackHttpServer::Response away = LoopbackHttpServer::Response::text(302, "");
    away.headers.append(qMakePair(QByteArray("Location"), QByteArray("http://example.com/real.zip")));
    server.serve(QStringLiteral("/away.zip"), away);

    InstallOutcome outcome = runInstall(sandbox.installer(),
                                        catalogEntry(QStringLiteral("notes"), bundleId, server.url(QStringLiteral("/moved.zip")), ZipBuilder::sha256Hex(bytes)));
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
    QCOMPARE(server.requestCount(), 2);

    // A plain-HTTP hop to another host is refused like a plain-HTTP catalog URL.
    outcome = runInstall(sandbox.installer(),
                         catalogEntry(QStringLiteral("notes"), bundleId, server.url(QStringLiteral("/away.zip")), ZipBuilder::sha256Hex(bytes)));
    QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::unsupportedDownloadScheme);
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::checksMetadataBeforeAnyFileWork_data()
{
    QTest::addColumn<AppManifestItem>("app");
    QTest::addColumn<QString>("message");
    const QUrl url(QStringLiteral("https://example.com/a.zip"));
    const QString sha(64, QLatin1Char('a'));
    const QString incomplete = QStringLiteral("The release metadata is incomplete.");

    QTest::newRow("no download URL") << catalogEntry(QStringLiteral("a"), bundleId, std::nullopt, sha)
                                     << QStringLiteral("The catalog does not include a download URL.");
    QTest::newRow("no URL and no checksum") << catalogEntry(QStringLiteral("a"), bundleId, std::nullopt, std::nullopt)
                                            << QStringLiteral("The catalog does not include a download URL.");
    QTest::newRow("no checksum") << catalogEntry(QStringLiteral("a"), bundleId, url, std::nullopt) << incomplete;
    QTest::newRow("short checksum") << catalogEntry(QStringLiteral("a"), bundleId, url, QString(63, QLatin1Char('a'))) << incomplete;
    QTest::newRow("checksum with g") << catalogEntry(QStringLiteral("a"), bundleId, url, QString(63, QLatin1Char('a')) + QLatin1Char('g'))
                                     << incomplete;
    QTest::newRow("blank version") << catalogEntry(QStringLiteral("a"), bundleId, url, sha, QStringLiteral("  ")) << incomplete;
    QTest::newRow("unparsable minimum") << catalogEntry(QStringLiteral("a"), bundleId, url, sha, QStringLiteral("1.0"), QStringLiteral("14.x"))
                                        << incomplete;
    AppManifestItem comingSoon = catalogEntry(QStringLiteral("a"), bundleId, url, sha);
    comingSoon.status = AppReleaseStatus::comingSoon;
    QTest::newRow("coming soon") << comingSoon << incomplete;
    AppManifestItem retired = comingSoon;
    retired.status = AppReleaseStatus::retired;
    QTest::newRow("retired") << retired << incomplete;
    // Checked before the scheme: an FTP URL with incomplete metadata reports the metadata.
    QTest::newRow("metadata before scheme")
        << catalogEntry(QStringLiteral("a"), bundleId, QUrl(QStringLiteral("ftp://x/a.zip")), std::nullopt) << incomplete;
}

void TestAppInstaller::checksMetadataBeforeAnyFileWork()
{
    QFETCH(AppManifestItem, app);
    QFETCH(QString, message);
    InstallSandbox sandbox;
    const InstallOutcome outcome = runInstall(sandbox.installer(), app);
    QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.message(), message);
    QVERIFY(!QFileInfo::exists(sandbox.installRoot()));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::checksMinimumSystem_data()
{
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<OperatingSystemVersion>("system");
    QTest::addColumn<bool>("passes");
    QTest::newRow("14 on 14.0.0") << QStringLiteral("14") << OperatingSystemVersion{14, 0, 0} << true;
    QTest::newRow("14.1 on 14.0.5") << QStringLiteral("14.1") << OperatingSystemVersion{14, 0, 5} << false;
    QTest::newRow("15 on 14.9") << QStringLiteral("15") << OperatingSystemVersion{14, 9, 0} << false;
    QTest::newRow("13.5.1 on 13.5.1") << QStringLiteral("13.5.1") << OperatingSystemVersion{13, 5, 1} << true;
    QTest::newRow("13.5.2 on 13.5.1") << QStringLiteral("13.5.2") << OperatingSystemVersion{13, 5, 1} << false;
    QTest::newRow("13.9.9 on 14.0.0") << QStringLiteral("13.9.9") << OperatingSystemVersion{14, 0, 0} << true;
    QTest::newRow("padded 14.1 on 14.0") << QStringLiteral(" 14.1 ") << OperatingSystemVersion{14, 0, 0} << false;
    QTest::newRow("14..1 on 14.2") << QStringLiteral("14..1") << OperatingSystemVersion{14, 2, 0} << true;
}

void TestAppInstaller::checksMinimumSystem()
{
    QFETCH(QString, minimum);
    QFETCH(OperatingSystemVersion, system);
    QFETCH(bool, passes);
    InstallSandbox sandbox;
    const QByteArray bytes = notesArchive().build();
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/a.zip"), LoopbackHttpServer::Response::text(200, bytes));
    auto installer = sandbox.makeInstaller(system);
    const InstallOutcome outcome = runInstall(
        *installer, catalogEntry(QStringLiteral("notes"), bundleId, server.url(QStringLiteral("/a.zip")), ZipBuilder::sha256Hex(bytes),
                                 QStringLiteral("1.0"), minimum));
    if (passes) {
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
    } else {
        QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::unsupportedMacOS);
        // The catalog's own text, untrimmed.
        QCOMPARE(outcome.message(), QStringLiteral("This app requires macOS ") + minimum + QStringLiteral(" or newer."));
        QCOMPARE(server.requestCount(), 0);
    }
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::comparesChecksumsInLowerCase_data()
{
    QTest::addColumn<bool>("upperCase");
    QTest::addColumn<bool>("matching");
    QTest::newRow("lower, matching") << false << true;
    QTest::newRow("upper, matching") << true << true;
    QTest::newRow("upper, not matching") << true << false;
}

void TestAppInstaller::comparesChecksumsInLowerCase()
{
    QFETCH(bool, upperCase);
    QFETCH(bool, matching);
    InstallSandbox sandbox;
    const QByteArray bytes = notesArchive().build();
    const QString actual = ZipBuilder::sha256Hex(bytes);
    const QString expected = matching ? actual : ZipBuilder::sha256Hex("something else");
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/a.zip"), LoopbackHttpServer::Response::text(200, bytes));
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, server.url(QStringLiteral("/a.zip")),
                                          upperCase ? expected.toUpper() : expected));
    if (matching) {
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
    } else {
        QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::checksumMismatch);
        QCOMPARE(outcome.installerError->expected(), expected);
        QCOMPARE(outcome.installerError->actual(), actual);
        QCOMPARE(outcome.message(), QStringLiteral("Checksum mismatch. Expected %1, got %2.").arg(expected, actual));
        QVERIFY(!QFileInfo::exists(sandbox.installRoot() + QStringLiteral("/Notes.app")));
    }
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::findsTheBundle_data()
{
    QTest::addColumn<ZipBuilder>("zip");
    QTest::addColumn<QString>("placed");

    ZipBuilder nested;
    nested.addDirectory(QStringLiteral("release"));
    nested.addBundle(QStringLiteral("release/v2/Notes.app"), bundleId, QStringLiteral("Notes"));
    QTest::newRow("in a sub-folder") << nested << QStringLiteral("Notes.app");

    ZipBuilder noDirectoryEntries;
    noDirectoryEntries.addFile(QStringLiteral("Notes.app/Contents/Info.plist"),
                               ZipBuilder::infoPlist({{QStringLiteral("CFBundleIdentifier"), bundleId}}, ZipBuilder::PlistFormat::xml));
    QTest::newRow("without folder entries") << noDirectoryEntries << QStringLiteral("Notes.app");

    ZipBuilder hidden;
    hidden.addBundle(QStringLiteral(".hidden/Notes.app"), bundleId, QStringLiteral("Notes"));
    hidden.addBundle(QStringLiteral(".Secret.app"), bundleId, QStringLiteral("Notes"));
    hidden.addBundle(QStringLiteral("z/Visible.app"), bundleId, QStringLiteral("Notes"));
    QTest::newRow("hidden entries skipped") << hidden << QStringLiteral("Visible.app");

    ZipBuilder upper;
    upper.addBundle(QStringLiteral("a/Shout.APP"), bundleId, QStringLiteral("Notes"));
    upper.addBundle(QStringLiteral("b/Quiet.app"), bundleId, QStringLiteral("Notes"));
    QTest::newRow("APP is not a match") << upper << QStringLiteral("Quiet.app");

    ZipBuilder depthFirst;
    depthFirst.addBundle(QStringLiteral("b/Second.app"), bundleId, QStringLiteral("Notes"));
    depthFirst.addBundle(QStringLiteral("a/deep/First.app"), bundleId, QStringLiteral("Notes"));
    QTest::newRow("depth first, folders in name order") << depthFirst << QStringLiteral("First.app");

    ZipBuilder fileNamedApp;
    fileNamedApp.addFile(QStringLiteral("a/Fake.app"), "not a folder");
    fileNamedApp.addBundle(QStringLiteral("b/Real.app"), bundleId, QStringLiteral("Notes"));
    QTest::newRow("a file named .app is not a bundle") << fileNamedApp << QStringLiteral("Real.app");
}

void TestAppInstaller::findsTheBundle()
{
    QFETCH(ZipBuilder, zip);
    QFETCH(QString, placed);
    InstallSandbox sandbox;
    const QString archive = sandbox.writeArchive(zip);
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, QUrl::fromLocalFile(archive), ZipBuilder::sha256HexOfFile(archive)));
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
    QCOMPARE(outcome.app->url, QUrl::fromLocalFile(sandbox.installRoot() + QLatin1Char('/') + placed));
    QVERIFY(QFileInfo::exists(sandbox.installRoot() + QLatin1Char('/') + placed + QStringLiteral("/Contents/Info.plist")));
    const QStringList visible = QDir(sandbox.installRoot()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(visible, QStringList{placed});
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::rejectsUnusableBundles_data()
{
    QTest::addColumn<ZipBuilder>("zip");
    QTest::addColumn<AppInstallerError::Kind>("kind");
    QTest::addColumn<QString>("message");
    const QString notFound = QStringLiteral("The archive does not contain a macOS app bundle.");
    const QString mismatch = QStringLiteral("The app bundle does not match the catalog bundle identifier.");

    ZipBuilder none;
    none.addFile(QStringLiteral("Notes/readme.txt"), "no bundle here");
    QTest::newRow("no bundle") << none << AppInstallerError::Kind::appBundleNotFound << notFound;

    QTest::newRow("empty archive") << ZipBuilder() << AppInstallerError::Kind::appBundleNotFound << notFound;

    ZipBuilder upperOnly;
    upperOnly.addBundle(QStringLiteral("Notes.APP"), bundleId);
    QTest::newRow("only .APP") << upperOnly << AppInstallerError::Kind::appBundleNotFound << notFound;

    ZipBuilder hiddenOnly;
    hiddenOnly.addBundle(QStringLiteral(".Notes.app"), bundleId);
    QTest::newRow("only hidden") << hiddenOnly << AppInstallerError::Kind::appBundleNotFound << notFound;

    ZipBuilder linkedBundle;
    linkedBundle.addBundle(QStringLiteral("store/Real"), bundleId);
    linkedBundle.addSymlink(QStringLiteral("Notes.app"), QStringLiteral("store/Real"));
    QTest::newRow("bundle that is a link") << linkedBundle << AppInstallerError::Kind::appBundleNotFound << notFound;

    ZipBuilder wrongId;
    wrongId.addBundle(QStringLiteral("Notes.app"), QStringLiteral("com.vantrel.other"));
    QTest::newRow("wrong identifier") << wrongId << AppInstallerError::Kind::bundleIdentifierMismatch << mismatch;

    ZipBuilder wrongCase;
    wrongCase.addBundle(QStringLiteral("Notes.app"), QStringLiteral("com.Vantrel.Notes"), QStringLiteral("Notes"),
                        ZipBuilder::PlistFormat::binary);
    QTest::newRow("identifier in other case") << wrongCase << AppInstallerError::Kind::bundleIdentifierMismatch << mismatch;

    ZipBuilder noPlist;
    noPlist.addExecutable(QStringLiteral("Notes.app/Contents/MacOS/Notes"), "#!/bin/sh\n");
    QTest::newRow("no Info.plist") << noPlist << AppInstallerError::Kind::bundleIdentifierMismatch << mismatch;

    ZipBuilder garbage;
    garbage.addFile(QStringLiteral("Notes.app/Contents/Info.plist"), "\x01\x02 not a property list");
    QTest::newRow("unreadable Info.plist") << garbage << AppInstallerError::Kind::bundleIdentifierMismatch << mismatch;

    ZipBuilder plistFolder;
    plistFolder.addDirectory(QStringLiteral("Notes.app/Contents/Info.plist"));
    QTest::newRow("Info.plist is a folder") << plistFolder << AppInstallerError::Kind::bundleIdentifierMismatch << mismatch;

    ZipBuilder noIdentifier;
    noIdentifier.addFile(QStringLiteral("Notes.app/Contents/Info.plist"),
                         ZipBuilder::infoPlist({{QStringLiteral("CFBundleName"), QStringLiteral("Notes")}}, ZipBuilder::PlistFormat::xml));
    QTest::newRow("no identifier") << noIdentifier << AppInstallerError::Kind::bundleIdentifierMismatch << mismatch;
}

void TestAppInstaller::rejectsUnusableBundles()
{
    QFETCH(ZipBuilder, zip);
    QFETCH(AppInstallerError::Kind, kind);
    QFETCH(QString, message);
    InstallSandbox sandbox;
    const QString archive = sandbox.writeArchive(zip);
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, QUrl::fromLocalFile(archive), ZipBuilder::sha256HexOfFile(archive)));
    QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.installerError->kind(), kind);
    QCOMPARE(outcome.message(), message);
    QCOMPARE(sandbox.rootEntries(), QStringList());
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::refusesHostileArchives_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("dot-dot entry") << QStringLiteral("dotdot");
    QTest::newRow("dot-dot inside a name") << QStringLiteral("innerdotdot");
    QTest::newRow("absolute entry") << QStringLiteral("absolute");
    QTest::newRow("write through absolute link") << QStringLiteral("throughAbsoluteLink");
    QTest::newRow("write through relative link") << QStringLiteral("throughRelativeLink");
    QTest::newRow("link to an absolute path") << QStringLiteral("absoluteLink");
    QTest::newRow("link leaving the bundle") << QStringLiteral("linkLeavingBundle");
    QTest::newRow("link chain leaving the bundle") << QStringLiteral("linkChain");
}

void TestAppInstaller::refusesHostileArchives()
{
    QFETCH(QString, kind);
    InstallSandbox sandbox;
    const QString outside = sandbox.outsideDir();
    // Relative to the extraction folder, tmp/VantrelInstall-X/extracted.
    const QString up = QStringLiteral("../../../outside");

    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Notes.app"), bundleId, QStringLiteral("Notes"));
    if (kind == QLatin1String("dotdot")) {
        zip.addFile(up + QStringLiteral("/evil.txt"), "owned");
    } else if (kind == QLatin1String("innerdotdot")) {
        zip.addFile(QStringLiteral("Notes.app/../../../../outside/evil.txt"), "owned");
    } else if (kind == QLatin1String("absolute")) {
        zip.addFile(outside + QStringLiteral("/evil.txt"), "owned");
    } else if (kind == QLatin1String("throughAbsoluteLink")) {
        zip.addSymlink(QStringLiteral("Notes.app/Contents/out"), outside);
        zip.addFile(QStringLiteral("Notes.app/Contents/out/evil.txt"), "owned");
    } else if (kind == QLatin1String("throughRelativeLink")) {
        zip.addSymlink(QStringLiteral("Notes.app/out"), QStringLiteral("../") + up);
        zip.addFile(QStringLiteral("Notes.app/out/evil.txt"), "owned");
    } else if (kind == QLatin1String("absoluteLink")) {
        zip.addSymlink(QStringLiteral("Notes.app/Contents/Resources/secrets"), outside);
    } else if (kind == QLatin1String("linkLeavingBundle")) {
        // Inside the archive, but outside the bundle that gets installed.
        zip.addFile(QStringLiteral("other.txt"), "not part of the app");
        zip.addSymlink(QStringLiteral("Notes.app/Contents/other"), QStringLiteral("../../other.txt"));
    } else if (kind == QLatin1String("linkChain")) {
        // Each link alone looks inside; followed together they leave the bundle.
        zip.addDirectory(QStringLiteral("Notes.app/Contents/a"));
        zip.addSymlink(QStringLiteral("Notes.app/Contents/a/up"), QStringLiteral("../.."));
        zip.addSymlink(QStringLiteral("Notes.app/Contents/escape"), QStringLiteral("a/up/.."));
    }
    const QString archive = sandbox.writeArchive(zip);
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, QUrl::fromLocalFile(archive), ZipBuilder::sha256HexOfFile(archive)));
    QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::extractionFailed);
    QCOMPARE(outcome.message(), QStringLiteral("The downloaded archive could not be extracted."));
    QCOMPARE(sandbox.outsideEntries(), QStringList());
    QVERIFY(!QFileInfo::exists(sandbox.path() + QStringLiteral("/evil.txt")));
    QVERIFY(!QFileInfo::exists(sandbox.tempDir() + QStringLiteral("/evil.txt")));
    QCOMPARE(sandbox.rootEntries(), QStringList());
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::refusesBrokenDownloads_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("extractionFails");  // else a platform error
    QTest::newRow("truncated archive") << QStringLiteral("truncated") << true;
    QTest::newRow("not an archive") << QStringLiteral("garbage") << true;
    QTest::newRow("server closes half way") << QStringLiteral("closed") << false;
}

void TestAppInstaller::refusesBrokenDownloads()
{
    QFETCH(QString, kind);
    QFETCH(bool, extractionFails);
    InstallSandbox sandbox;
    ZipBuilder zip = notesArchive();
    zip.addFile(QStringLiteral("Notes.app/Contents/Resources/payload.bin"), QByteArray(256 * 1024, 'x') + QByteArray::number(42));
    QByteArray bytes = zip.build();
    LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, bytes, "application/zip");
    QString sha = ZipBuilder::sha256Hex(bytes);
    if (kind == QLatin1String("truncated")) {
        bytes.truncate(bytes.size() / 2);
        response.body = bytes;
        sha = ZipBuilder::sha256Hex(bytes);  // the catalog describes the broken file
    } else if (kind == QLatin1String("garbage")) {
        bytes = QByteArray("this is not a zip archive at all").repeated(100);
        response.body = bytes;
        sha = ZipBuilder::sha256Hex(bytes);
    } else {
        response.closeAfterBytes = bytes.size() / 2;
    }
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/a.zip"), response);
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, server.url(QStringLiteral("/a.zip")), sha));
    QVERIFY(!outcome.succeeded());
    if (extractionFails) {
        QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::extractionFailed);
    } else {
        QVERIFY2(outcome.platformError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.platformError->domain(), PlatformError::Domain::network);
        QVERIFY(!outcome.message().isEmpty());
    }
    QVERIFY(!QFileInfo::exists(sandbox.installRoot() + QStringLiteral("/Notes.app")));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::replacesAnExistingCopy()
{
    InstallSandbox sandbox;
    ZipBuilder v1 = notesArchive(QStringLiteral("1.0"));
    v1.addFile(QStringLiteral("Notes.app/Contents/Resources/only-in-1.0.txt"), "old");
    const QString a1 = sandbox.writeArchive(v1, QStringLiteral("v1.zip"));
    const QString a2 = sandbox.writeArchive(notesArchive(QStringLiteral("2.0")), QStringLiteral("v2.zip"));

    const InstallOutcome first = runInstall(sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, QUrl::fromLocalFile(a1),
                                                                              ZipBuilder::sha256HexOfFile(a1), QStringLiteral("1.0")));
    QVERIFY2(first.succeeded(), qPrintable(first.describe()));
    const QString bundle = sandbox.installRoot() + QStringLiteral("/Notes.app");
    QVERIFY(QFileInfo::exists(bundle + QStringLiteral("/Contents/Resources/only-in-1.0.txt")));

    const InstallOutcome second = runInstall(sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, QUrl::fromLocalFile(a2),
                                                                               ZipBuilder::sha256HexOfFile(a2), QStringLiteral("2.0")));
    QVERIFY2(second.succeeded(), qPrintable(second.describe()));
    QCOMPARE(second.app->url, first.app->url);
    QCOMPARE(second.app->version, QStringLiteral("2.0"));
    // Exactly the new bundle: nothing of the old one survives beside it.
    QVERIFY(!QFileInfo::exists(bundle + QStringLiteral("/Contents/Resources/only-in-1.0.txt")));
    QFile version(bundle + QStringLiteral("/Contents/Resources/version.txt"));
    QVERIFY(version.open(QIODevice::ReadOnly));
    QCOMPARE(version.readAll(), QByteArray("2.0"));
    QCOMPARE(sandbox.rootEntries(),
             QStringList{QStringLiteral("Notes.app")});
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::failedInstallKeepsTheOldCopy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("checksum mismatch") << QStringLiteral("checksum");
    QTest::newRow("server error") << QStringLiteral("status");
    QTest::newRow("wrong identifier") << QStringLiteral("identifier");
    QTest::newRow("hostile archive") << QStringLiteral("hostile");
    QTest::newRow("truncated download") << QStringLiteral("closed");
}

void TestAppInstaller::failedInstallKeepsTheOldCopy()
{
    QFETCH(QString, kind);
    InstallSandbox sandbox;
    const QString a1 = sandbox.writeArchive(notesArchive(QStringLiteral("1.0")), QStringLiteral("v1.zip"));
    const InstallOutcome first = runInstall(sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, QUrl::fromLocalFile(a1),
                                                                              ZipBuilder::sha256HexOfFile(a1)));
    QVERIFY2(first.succeeded(), qPrintable(first.describe()));
    const QString bundle = sandbox.installRoot() + QStringLiteral("/Notes.app");
    const QMap<QString, QString> before = treeSnapshot(bundle);
    QVERIFY(before.size() >= 6);

    ZipBuilder v2 = notesArchive(QStringLiteral("2.0"));
    if (kind == QLatin1String("identifier"))
        v2 = ZipBuilder().addBundle(QStringLiteral("Notes.app"), QStringLiteral("com.vantrel.impostor"));
    if (kind == QLatin1String("hostile"))
        v2.addFile(QStringLiteral("../../../outside/evil.txt"), "owned");
    QByteArray bytes = v2.build();
    LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(kind == QLatin1String("status") ? 500 : 200, bytes);
    QString sha = ZipBuilder::sha256Hex(bytes);
    if (kind == QLatin1String("checksum"))
        sha = ZipBuilder::sha256Hex("another release");
    if (kind == QLatin1String("closed"))
        response.closeAfterBytes = bytes.size() / 3;
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/v2.zip"), response);

    const InstallOutcome second = runInstall(sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId,
                                                                               server.url(QStringLiteral("/v2.zip")), sha, QStringLiteral("2.0")));
    QVERIFY(!second.succeeded());
    QCOMPARE(treeSnapshot(bundle), before);
    QCOMPARE(sandbox.leftovers(), QStringList());
    QCOMPARE(sandbox.outsideEntries(), QStringList());
}

void TestAppInstaller::installsTwoAppsAtOnce()
{
    InstallSandbox sandbox;
    LoopbackHttpServer server;
    ZipBuilder notes = notesArchive();
    notes.addFillFile(QStringLiteral("Notes.app/Contents/Resources/big.bin"), 8 << 20, 'n');
    ZipBuilder timer;
    timer.addBundle(QStringLiteral("Timer.app"), QStringLiteral("com.vantrel.timer"), QStringLiteral("Timer"));
    timer.addFillFile(QStringLiteral("Timer.app/Contents/Resources/big.bin"), 8 << 20, 't');
    const QByteArray notesBytes = notes.build();
    const QByteArray timerBytes = timer.build();
    server.serve(QStringLiteral("/notes.zip"), LoopbackHttpServer::Response::text(200, notesBytes));
    server.serve(QStringLiteral("/timer.zip"), LoopbackHttpServer::Response::text(200, timerBytes));

    QCoro::Task<InstallOutcome> first = captureOutcome(sandbox.installer().install(
        catalogEntry(QStringLiteral("notes"), bundleId, server.url(QStringLiteral("/notes.zip")), ZipBuilder::sha256Hex(notesBytes))));
    QCoro::Task<InstallOutcome> second = captureOutcome(sandbox.installer().install(
        catalogEntry(QStringLiteral("timer"), QStringLiteral("com.vantrel.timer"), server.url(QStringLiteral("/timer.zip")),
                     ZipBuilder::sha256Hex(timerBytes))));
    const InstallOutcome a = QCoro::waitFor(first);
    const InstallOutcome b = QCoro::waitFor(second);
    QVERIFY2(a.succeeded(), qPrintable(a.describe()));
    QVERIFY2(b.succeeded(), qPrintable(b.describe()));
    QCOMPARE(QFileInfo(sandbox.installRoot() + QStringLiteral("/Notes.app/Contents/Resources/big.bin")).size(), qint64(8 << 20));
    QCOMPARE(QFileInfo(sandbox.installRoot() + QStringLiteral("/Timer.app/Contents/Resources/big.bin")).size(), qint64(8 << 20));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestAppInstaller::passesAMissingFileThrough()
{
    InstallSandbox sandbox;
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), bundleId, QUrl::fromLocalFile(sandbox.path() + QStringLiteral("/missing.zip")),
                                          QString(64, QLatin1Char('0'))));
    QVERIFY2(outcome.platformError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.platformError->domain(), PlatformError::Domain::fileSystem);
    QVERIFY2(outcome.message().contains(QStringLiteral("missing.zip")), qPrintable(outcome.message()));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

QTEST_GUILESS_MAIN(TestAppInstaller)
#include "tst_appinstaller.moc"
