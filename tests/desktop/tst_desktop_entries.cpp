// Installed apps as apps of the desktop: entries and icons under a temporary
// XDG_DATA_HOME, written by real `vantrel` processes and this process's store,
// checked with the desktop's own tools.

#include "CatalogBuilders.h"
#include "DefaultCollaborators.h"
#include "DesktopEntryText.h"
#include "DesktopIcons.h"
#include "LinuxWorkspace.h"
#include "PlistBundleInspector.h"
#include "SettingsUserDefaults.h"
#include "ToolSandbox.h"
#include "XdgDesktopEntries.h"
#include "ZipBuilder.h"
#include "store/LauncherStore.h"

#include <QBuffer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

const QString marker = QStringLiteral("VANTREL_TEST_MARKER");

QByteArray picture(const char *format, QColor colour, int side = 512)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    return writer.write(image) ? buffer.data() : QByteArray();
}

// A bundle whose program writes its process id where VANTREL_TEST_MARKER
// says and then stays running; its icon is the given file.
ZipBuilder bundle(const QString &name, const QString &bundleId, const QString &executable, const QByteArray &icon = {})
{
    QMap<QString, QString> keys{{"CFBundleIdentifier", bundleId}, {"CFBundleExecutable", executable}};
    ZipBuilder zip;
    if (!icon.isEmpty()) {
        keys.insert(QStringLiteral("CFBundleIconFile"), QStringLiteral("AppIcon"));
        zip.addFile(name + QStringLiteral(".app/Contents/Resources/AppIcon.icns"), icon);
    }
    zip.addFile(name + QStringLiteral(".app/Contents/Info.plist"), ZipBuilder::infoPlist(keys, ZipBuilder::PlistFormat::xml));
    zip.addExecutable(name + QStringLiteral(".app/Contents/MacOS/") + executable,
                      "#!/bin/sh\necho $$ > \"$" + marker.toUtf8() + "\"\nexec sleep 60\n");
    return zip;
}

AppManifestItem release(ToolSandbox &cli, const QString &id, const QString &version)
{
    const QString name = id.left(1).toUpper() + id.mid(1);
    const QByteArray bytes = bundle(name, QStringLiteral("com.vantrel.") + id, name, picture("icns", Qt::red)).build();
    AppManifestItem app = TestCatalog::release(id, cli.host(QStringLiteral("/%1-%2.zip").arg(id, version), bytes, 0),
                                               ZipBuilder::sha256Hex(bytes), version);
    app.name = name;
    app.tagline = QStringLiteral("The %1 app").arg(id);
    app.category = QStringLiteral("Productivity");
    app.bundleId = QStringLiteral("com.vantrel.") + id;
    return app;
}

// The bundle written straight to disk (names no archive tool would unpack).
bool writeBundle(const QString &bundlePath, const QString &executable)
{
    const QMap<QString, QString> keys{{"CFBundleExecutable", executable}, {"CFBundleIconFile", "AppIcon"}};
    return TempHome::writeFile(bundlePath + QStringLiteral("/Contents/Info.plist"), ZipBuilder::infoPlist(keys, ZipBuilder::PlistFormat::xml))
        && TempHome::writeFile(bundlePath + QStringLiteral("/Contents/MacOS/") + executable, "#!/bin/sh\n", 0755);
}

QString dataHome(const TempHome &home)
{
    return home.home() + QStringLiteral("/.local/share");
}

// Every entry and icon the launcher may have written, below the data folder.
QStringList desktopFiles(const TempHome &home)
{
    QStringList files;
    const QString root = dataHome(home);
    QDirIterator it(root, {QStringLiteral("*.desktop"), QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next().mid(root.size() + 1));
    files.sort();
    return files;
}

// What the installed apps' files are: an entry and every icon size each.
QStringList expectedFiles(const QStringList &ids)
{
    QStringList files;
    for (const QString &id : ids) {
        const QString fileId = DesktopEntryText::fileId(QStringLiteral("com.vantrel.") + id, id);
        files.append(XdgDesktopEntries::entryPath(fileId));
        for (const int size : DesktopIcons::sizes)
            files.append(XdgDesktopEntries::iconPath(fileId, size));
    }
    files.sort();
    return files;
}

QString entryFile(const TempHome &home, const QString &id)
{
    return dataHome(home) + QLatin1Char('/')
        + XdgDesktopEntries::entryPath(DesktopEntryText::fileId(QStringLiteral("com.vantrel.") + id, id));
}

// desktop-file-validate's complaints about the entry (empty when it passes).
QString validationProblems(const QString &path)
{
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {path});
    if (!validate.waitForFinished(20000))
        return QStringLiteral("desktop-file-validate did not run");
    const QString said = QString::fromUtf8(validate.readAll() + validate.readAllStandardError());
    return validate.exitCode() == 0 && !said.contains(QLatin1String("error")) ? QString() : said;
}

// Exec read back as a desktop reads it: the string escapes, then the quoting, then '%%'.
QStringList execArguments(const QByteArray &entry, int *execLines)
{
    QString exec;
    *execLines = 0;
    for (const QByteArray &line : entry.split('\n')) {
        if (line.startsWith("Exec")) {
            ++*execLines;
            exec = QString::fromUtf8(line.mid(5));
        }
    }
    QString value;
    for (int i = 0; i < exec.size(); ++i) {
        if (exec[i] == QLatin1Char('\\') && i + 1 < exec.size()) {
            const QChar next = exec[++i];
            value += next == QLatin1Char('n') ? QChar('\n') : next == QLatin1Char('t') ? QChar('\t')
                : next == QLatin1Char('s') ? QChar(' ') : next == QLatin1Char('r') ? QChar('\r') : next;
        } else {
            value += exec[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false, started = false;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            started = true;
        } else if (quoted && c == QLatin1Char('\\') && i + 1 < value.size()) {
            current += value[++i];
        } else if (c == QLatin1Char('%')) {
            const QString code = value.mid(++i, 1);
            if (code != QLatin1String("%"))
                return {QStringLiteral("field code %") + code};
            current += c;
        } else if (!quoted && c == QLatin1Char(' ')) {
            if (started)
                arguments.append(current);
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started)
        arguments.append(current);
    return arguments;
}

qint64 peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

class DesktopEntriesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(QFile::exists(ToolSandbox::vantrel()), qPrintable(ToolSandbox::vantrel() + QStringLiteral(" has not been built")));
        QVERIFY2(QImageWriter::supportedImageFormats().contains("icns"), "the icns image plugin is missing");
    }

    // Clean reverse-DNS identifiers stay as they are; whatever cleaning changes gets a hash of the original, so two
    // apps never share an id.
    void fileIds_data()
    {
        QTest::addColumn<QString>("bundleId");
        QTest::addColumn<QString>("expected");  // the id, or what comes before the hash
        QTest::addColumn<bool>("hashed");
        QTest::addColumn<QString>("mustDifferFrom");
        QTest::newRow("reverse DNS") << "com.vantrel.notes" << "vantrel_app.com.vantrel.notes" << false << "com.vantrel.Notes";
        QTest::newRow("no bundle id: the app id") << "" << "vantrel_app.notes" << false << "notes_";
        QTest::newRow("separators and spaces") << "com/../x y;z=1" << "vantrel_app.com_._x_y_z_1_" << true << "com_._x_y_z_1";
        QTest::newRow("digit after a dot") << "com.7zip.ä" << "vantrel_app.com._7zip.__" << true << "com._7zip._";
        QTest::newRow("an empty part") << "com..x" << "vantrel_app.com.x_" << true << "com.x";
        QTest::newRow("a hyphen") << "com.x-y.my-app" << "vantrel_app.com.x_y.my_app_" << true << "com.x_y.my_app";
        QTest::newRow("long") << QString(600, QLatin1Char('a')) + QLatin1Char('1') << "vantrel_app.aaa" << true
                              << QString(600, QLatin1Char('a')) + QLatin1Char('2');
    }

    void fileIds()
    {
        QFETCH(QString, bundleId);
        QFETCH(QString, expected);
        QFETCH(bool, hashed);
        QFETCH(QString, mustDifferFrom);
        const QString id = DesktopEntryText::fileId(bundleId, QStringLiteral("notes"));
        if (hashed)
            QVERIFY2(id.startsWith(expected) && QRegularExpression(QStringLiteral("_[0-9a-f]{16}$")).match(id).hasMatch(), qPrintable(id));
        else
            QCOMPARE(id, expected);
        QVERIFY2(id.size() < 200, qPrintable(id));
        // An id with a '.' and a '-' makes desktop launchers complain at every start.
        QVERIFY2(!id.contains(QLatin1Char('-')), qPrintable(id));
        QVERIFY(id != DesktopEntryText::fileId(mustDifferFrom, QStringLiteral("other")));
    }

    void categories_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("expected");
        QTest::newRow("en") << "Productivity" << "Office;";
        QTest::newRow("pl") << "Produktywność" << "Office;";
        QTest::newRow("pl audio") << "Dźwięk" << "AudioVideo;Audio;";
        QTest::newRow("de photo") << "Foto" << "Graphics;Photography;";
        QTest::newRow("unknown") << "Whatever" << "Utility;";
        QTest::newRow("hostile") << "Game;\nExec=evil" << "Game;";
    }

    void categories()
    {
        QFETCH(QString, category);
        QFETCH(QString, expected);
        QCOMPARE(DesktopEntryText::categories(category), expected);
    }

    // Downloaded names, taglines and executable names never add a key, an argument or a line.
    void hostileValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tagline");
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("folder");
        const QString injection = QStringLiteral("Tempo\nExec=/bin/evil %f\n[Desktop Entry]\nX-Evil=1");
        QTest::newRow("newline and Exec in name") << injection << "tag" << "Tempo" << "Tempo.app";
        QTest::newRow("field codes and quotes") << "\"%f\" %u 'x' %%" << "a;b=c \\ `x` $(y)" << "Tempo" << "Tempo.app";
        QTest::newRow("4 KB long") << QString(4096, QLatin1Char('n')) << injection.repeated(200) << "Tempo" << "Tempo.app";
        QTest::newRow("hostile executable") << "Tempo" << "tag" << "T \"%f\" $HOME `id` ;x=1 'q'" << "T$ \\ \"%d\"\n.app";
        QTest::newRow("newline in executable") << "Tempo" << "tag" << "a\nExec=evil %u" << "Tempo.app";
    }

    void hostileValues()
    {
        QFETCH(QString, name);
        QFETCH(QString, tagline);
        QFETCH(QString, executable);
        QFETCH(QString, folder);
        TempHome home;
        const QString bundlePath = home.bundle(folder);
        QVERIFY(writeBundle(bundlePath, executable));
        AppManifestItem app = TestCatalog::app(QStringLiteral("tempo"));
        app.name = name;
        app.tagline = tagline;
        app.category = injection();
        app.tags = {QStringLiteral("a;b"), QStringLiteral("c\nd=e")};
        auto workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList());
        XdgDesktopEntries entries(workspace, dataHome(home));
        entries.sync({{app, QStringLiteral("1.0"), bundlePath}});

        const QString path = entryFile(home, QStringLiteral("tempo"));
        const QByteArray entry = TempHome::readFile(path);
        int execLines = 0;
        QCOMPARE(execArguments(entry, &execLines), QStringList{QFileInfo(bundlePath + QStringLiteral("/Contents/MacOS/") + executable).canonicalFilePath()});
        QCOMPARE(execLines, 1);
        const QStringList keys = {"Type", "Version", "Name", "Comment", "Exec", "TryExec", "Path", "Icon", "Categories",
                                  "Keywords", "StartupNotify", "StartupWMClass", "X-Vantrel-Managed", "X-Vantrel-Version"};
        const QList<QByteArray> lines = entry.trimmed().split('\n');
        QCOMPARE(lines.first(), QByteArray("[Desktop Entry]"));
        for (const QByteArray &line : lines.mid(1))
            QVERIFY2(keys.contains(QString::fromUtf8(line.left(line.indexOf('=')))), line.left(80).constData());
        QVERIFY(lines.size() <= keys.size() + 1);
        const QString problems = validationProblems(path);
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    // Install, update, roll back and remove by real processes: the files on disk are exactly the installed apps'.
    void followsInstalledApps()
    {
        ToolSandbox cli;
        const AppManifestItem alpha = release(cli, QStringLiteral("alpha"), QStringLiteral("1.0.0"));
        const AppManifestItem beta = release(cli, QStringLiteral("beta"), QStringLiteral("1.0.0"));
        cli.publish({alpha, beta});
        const auto run = [&cli](const QString &command, const QString &id) {
            const ToolSandbox::Result result = cli.run({command, id});
            QVERIFY2(result.exitCode == 0, qPrintable(result.output()));
        };
        const auto version = [&cli](const QString &id) {
            const QByteArray entry = TempHome::readFile(entryFile(cli, id));
            return entry.mid(entry.indexOf("X-Vantrel-Version=") + 18).trimmed();
        };
        run(QStringLiteral("install"), QStringLiteral("alpha"));
        run(QStringLiteral("install"), QStringLiteral("beta"));
        QCOMPARE(desktopFiles(cli), expectedFiles({QStringLiteral("alpha"), QStringLiteral("beta")}));
        for (const QString &id : {QStringLiteral("alpha"), QStringLiteral("beta")}) {
            const QString problems = validationProblems(entryFile(cli, id));
            QVERIFY2(problems.isEmpty(), qPrintable(problems));
        }
        // The bundle's own icon, not the drawn one.
        const QImage icon(dataHome(cli) + QLatin1Char('/') + XdgDesktopEntries::iconPath(alphaId(), 48));
        QCOMPARE(icon.size(), QSize(48, 48));
        QCOMPARE(icon.pixelColor(24, 24), QColor(Qt::red));

        cli.publish({release(cli, QStringLiteral("alpha"), QStringLiteral("1.1.0")), beta});
        run(QStringLiteral("update"), QStringLiteral("alpha"));
        QCOMPARE(version(QStringLiteral("alpha")), QByteArray("1.1.0"));
        run(QStringLiteral("rollback"), QStringLiteral("alpha"));
        QCOMPARE(version(QStringLiteral("alpha")), QByteArray("1.0.0"));
        QCOMPARE(desktopFiles(cli), expectedFiles({QStringLiteral("alpha"), QStringLiteral("beta")}));
        run(QStringLiteral("remove"), QStringLiteral("beta"));
        QCOMPARE(desktopFiles(cli), expectedFiles({QStringLiteral("alpha")}));
        run(QStringLiteral("remove"), QStringLiteral("alpha"));
        QCOMPARE(desktopFiles(cli), QStringList());
    }

    // The window's store follows what happens elsewhere, keeps the entry of an app the catalog dropped,
    // and never brings back one of a removed app.
    void followsChangesElsewhere_data()
    {
        QTest::addColumn<bool>("byHand");
        QTest::newRow("vantrel remove") << false;
        QTest::newRow("bundle deleted by hand") << true;
    }

    void followsChangesElsewhere()
    {
        QFETCH(bool, byHand);
        ToolSandbox cli;
        const AppManifestItem alpha = release(cli, QStringLiteral("alpha"), QStringLiteral("1.0.0"));
        cli.publish({alpha});
        QCOMPARE(cli.run({QStringLiteral("install"), QStringLiteral("alpha")}).exitCode, 0);
        QFile::remove(entryFile(cli, QStringLiteral("alpha")));

        LauncherStore::Collaborators c;
        c.userDefaults = std::make_shared<SettingsUserDefaults>(cli.settingsFile());
        c.installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(cli.installRoot()), nullptr, defaultInstallerLayers());
        c.installedCopies = defaultInstalledCopies(cli.installRoot());
        auto workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList());
        c.workspace = workspace;
        c.desktopEntries = std::make_shared<XdgDesktopEntries>(workspace, dataHome(cli));
        // A catalog that no longer offers the app: it stays installed, and so does its entry.
        LauncherStore store(c, TestCatalog::manifest({}));
        QCOMPARE(store.installedApps()->installedIds(), QStringList{QStringLiteral("alpha")});
        // At its start, the store puts back what is missing.
        QCOMPARE(desktopFiles(cli), expectedFiles({QStringLiteral("alpha")}));

        if (byHand)
            QVERIFY(QDir(cli.bundle(QStringLiteral("Alpha.app"))).removeRecursively());
        else
            QCOMPARE(cli.run({QStringLiteral("remove"), QStringLiteral("alpha")}).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(store.installedApps()->installedIds().isEmpty(), 5000);
        QTest::qWait(300);
        QCOMPARE(desktopFiles(cli), QStringList());
    }

    // A desktop starts the installed app from its entry, as its menu would: by the file, and by the desktop file id
    // (which a launcher of GTK's takes for a D-Bus name when it has a '.', and complains about when it also has a '-').
    void desktopClientStartsTheApp_data()
    {
        QTest::addColumn<QString>("client");
        QTest::newRow("gio launch") << "gio";
        QTest::newRow("gtk-launch") << "gtk-launch";
    }

    void desktopClientStartsTheApp()
    {
        QFETCH(QString, client);
        const QString program = QStandardPaths::findExecutable(client);
        if (program.isEmpty())
            QSKIP(qPrintable(client + QStringLiteral(" is not installed (libglib2.0-bin, libgtk-3-bin)")));
        ToolSandbox cli;
        cli.publish({release(cli, QStringLiteral("alpha"), QStringLiteral("1.0.0"))});
        QCOMPARE(cli.run({QStringLiteral("install"), QStringLiteral("alpha")}).exitCode, 0);
        const QString pidFile = cli.path(QStringLiteral("pid"));
        cli.environment().insert(marker, pidFile);
        ToolSandbox::Result launched;
        if (client == QLatin1String("gio")) {
            launched = cli.run({QStringLiteral("launch"), entryFile(cli, QStringLiteral("alpha"))}, program);
        } else if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
            launched = cli.run({alphaId()}, program);
        } else {
            // GTK needs a display; a virtual one does.
            const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
            if (xvfb.isEmpty())
                QSKIP("no display, and xvfb-run is not installed");
            launched = cli.run({QStringLiteral("-a"), program, alphaId()}, xvfb);
        }
        QVERIFY2(launched.exitCode == 0, qPrintable(launched.output()));
        QVERIFY2(!launched.err.contains(QLatin1String("CRITICAL")), qPrintable(launched.err));
        QTRY_VERIFY_WITH_TIMEOUT(TempHome::readFile(pidFile).trimmed().toInt() > 0, 10000);
        const pid_t pid = TempHome::readFile(pidFile).trimmed().toInt();
        // The app's program, running on (after its shell's exec), is ended by the test.
        const QString command = QStringLiteral("/proc/%1/cmdline").arg(pid);
        const bool running = QTest::qWaitFor([&command] { return TempHome::readFile(command).startsWith("sleep"); }, 5000);
        ::kill(pid, SIGKILL);
        QVERIFY2(running, TempHome::readFile(command).constData());
    }

    // Entries and icons written under the earlier name move to the current one, by the window's store and by any
    // command; a user's entry under the earlier name stays as it is.
    void earlierNamesMove_data()
    {
        QTest::addColumn<QString>("by");
        QTest::addColumn<bool>("usersOwn");
        QTest::newRow("vantrel list") << "list" << false;
        QTest::newRow("vantrel verify") << "verify" << false;
        QTest::newRow("the window's store") << "window" << false;
        QTest::newRow("the user's entry, the window's store") << "window" << true;
    }

    void earlierNamesMove()
    {
        QFETCH(QString, by);
        QFETCH(bool, usersOwn);
        ToolSandbox cli;
        cli.publish({release(cli, QStringLiteral("alpha"), QStringLiteral("1.0.0"))});
        QCOMPARE(cli.run({QStringLiteral("install"), QStringLiteral("alpha")}).exitCode, 0);
        // What an earlier launcher left: the same files under the earlier name.
        const QString earlier = DesktopEntryText::legacyFileId(QStringLiteral("com.vantrel.alpha"), QStringLiteral("alpha"));
        QVERIFY(earlier != alphaId());
        const QString root = dataHome(cli) + QLatin1Char('/');
        QVERIFY(QFile::rename(root + XdgDesktopEntries::entryPath(alphaId()), root + XdgDesktopEntries::entryPath(earlier)));
        for (const int size : DesktopIcons::sizes)
            QVERIFY(QFile::rename(root + XdgDesktopEntries::iconPath(alphaId(), size), root + XdgDesktopEntries::iconPath(earlier, size)));
        const QByteArray own = "[Desktop Entry]\nType=Application\nName=Mine\nExec=/bin/true\n";
        if (usersOwn)
            QVERIFY(TempHome::writeFile(root + XdgDesktopEntries::entryPath(earlier), own));

        if (by == QLatin1String("window")) {
            auto workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList());
            LauncherStore::Collaborators c;
            c.userDefaults = std::make_shared<SettingsUserDefaults>(cli.settingsFile());
            c.installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(cli.installRoot()), nullptr, defaultInstallerLayers());
            c.installedCopies = defaultInstalledCopies(cli.installRoot());
            c.workspace = workspace;
            c.desktopEntries = std::make_shared<XdgDesktopEntries>(workspace, dataHome(cli));
            LauncherStore store(c, TestCatalog::manifest({}));
        } else {
            const ToolSandbox::Result result = cli.run({by});
            QVERIFY2(result.exitCode == 0, qPrintable(result.output()));
        }
        QStringList expected = expectedFiles({QStringLiteral("alpha")});
        if (usersOwn) {
            // The user's entry keeps the icons it may show.
            expected.append(XdgDesktopEntries::entryPath(earlier));
            for (const int size : DesktopIcons::sizes)
                expected.append(XdgDesktopEntries::iconPath(earlier, size));
            expected.sort();
            QCOMPARE(TempHome::readFile(root + XdgDesktopEntries::entryPath(earlier)), own);
        }
        QCOMPARE(desktopFiles(cli), expected);
        const QString problems = validationProblems(entryFile(cli, QStringLiteral("alpha")));
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    // A bundle deleted by hand: the next command of any kind takes its entry and icons away, not only the window.
    void handDeletedBundleLeavesNoEntry_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("list") << QStringList{QStringLiteral("list")};
        QTest::newRow("list --json") << QStringList{QStringLiteral("list"), QStringLiteral("--json")};
        QTest::newRow("verify") << QStringList{QStringLiteral("verify")};
        QTest::newRow("hold another app") << QStringList{QStringLiteral("hold"), QStringLiteral("beta")};
    }

    void handDeletedBundleLeavesNoEntry()
    {
        QFETCH(QStringList, command);
        ToolSandbox cli;
        cli.publish({release(cli, QStringLiteral("alpha"), QStringLiteral("1.0.0")), release(cli, QStringLiteral("beta"), QStringLiteral("1.0.0"))});
        QCOMPARE(cli.run({QStringLiteral("install"), QStringLiteral("alpha")}).exitCode, 0);
        QCOMPARE(cli.run({QStringLiteral("install"), QStringLiteral("beta")}).exitCode, 0);
        QVERIFY(QDir(cli.bundle(QStringLiteral("Alpha.app"))).removeRecursively());
        const ToolSandbox::Result result = cli.run(command);
        QVERIFY2(result.exitCode == 0, qPrintable(result.output()));
        QCOMPARE(desktopFiles(cli), expectedFiles({QStringLiteral("beta")}));
    }

    // An entry the user made under the same name is neither written over nor removed, and the log says why.
    void userEntryLeftAlone()
    {
        ToolSandbox cli;
        cli.publish({release(cli, QStringLiteral("alpha"), QStringLiteral("1.0.0"))});
        const QString path = entryFile(cli, QStringLiteral("alpha"));
        const QByteArray own = "[Desktop Entry]\nType=Application\nName=Mine\nExec=/bin/true\n";
        QVERIFY(TempHome::writeFile(path, own));
        // The terminal keeps its log quiet unless asked.
        cli.environment().insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("vantrel.platform.warning=true"));
        const ToolSandbox::Result installed = cli.run({QStringLiteral("install"), QStringLiteral("alpha")});
        QCOMPARE(installed.exitCode, 0);
        QVERIFY2(installed.err.contains(QLatin1String("was not written by the launcher")), qPrintable(installed.err));
        QCOMPARE(TempHome::readFile(path), own);
        QCOMPARE(cli.run({QStringLiteral("remove"), QStringLiteral("alpha")}).exitCode, 0);
        QCOMPARE(TempHome::readFile(path), own);
    }

    // A cache of the desktop's is refreshed where one exists; without the tools, installs work all the same.
    void caches_data()
    {
        QTest::addColumn<bool>("toolsFound");
        QTest::newRow("tools installed") << true;
        QTest::newRow("no tools") << false;
    }

    void caches()
    {
        QFETCH(bool, toolsFound);
        if (toolsFound && QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty())
            QSKIP("update-desktop-database (desktop-file-utils) is not installed");
        ToolSandbox cli;
        cli.publish({release(cli, QStringLiteral("alpha"), QStringLiteral("1.0.0"))});
        const QString cache = dataHome(cli) + QStringLiteral("/applications/mimeinfo.cache");
        QVERIFY(TempHome::writeFile(cache, "stale"));
        if (!toolsFound)
            cli.environment().insert(QStringLiteral("PATH"), cli.path(QStringLiteral("empty")));
        const ToolSandbox::Result installed = cli.run({QStringLiteral("install"), QStringLiteral("alpha")});
        QVERIFY2(installed.exitCode == 0, qPrintable(installed.output()));
        QCOMPARE(desktopFiles(cli), expectedFiles({QStringLiteral("alpha")}));
        if (toolsFound) {
            QTRY_VERIFY_WITH_TIMEOUT(TempHome::readFile(cache).startsWith("[MIME Cache]"), 10000);
        } else {
            QTest::qWait(500);
            QCOMPARE(TempHome::readFile(cache), QByteArray("stale"));
        }
        // None is made where there was none.
        QVERIFY(!QFile::exists(dataHome(cli) + QStringLiteral("/icons/hicolor/icon-theme.cache")));
    }

    // A missing or changed entry and a missing icon are damage verify names and repair puts right, with no download.
    void verifyAndRepair_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("kind");
        QTest::newRow("entry deleted") << "entry deleted" << "desktopMissing";
        QTest::newRow("entry edited") << "entry edited" << "desktopChanged";
        QTest::newRow("icon deleted") << "icon deleted" << "desktopMissing";
    }

    void verifyAndRepair()
    {
        QFETCH(QString, damage);
        QFETCH(QString, kind);
        ToolSandbox cli;
        cli.publish({release(cli, QStringLiteral("alpha"), QStringLiteral("1.0.0"))});
        QCOMPARE(cli.run({QStringLiteral("install"), QStringLiteral("alpha")}).exitCode, 0);
        const QString entry = entryFile(cli, QStringLiteral("alpha"));
        const QByteArray written = TempHome::readFile(entry);
        const QString icon = dataHome(cli) + QLatin1Char('/') + XdgDesktopEntries::iconPath(alphaId(), 256);
        if (damage == "entry deleted")
            QVERIFY(QFile::remove(entry));
        else if (damage == "entry edited")
            QVERIFY(TempHome::writeFile(entry, QByteArray(written).replace("Name=Alpha", "Name=Other")));
        else
            QVERIFY(QFile::remove(icon));

        const ToolSandbox::Result verified = cli.run({QStringLiteral("verify"), QStringLiteral("--json"), QStringLiteral("alpha")});
        QCOMPARE(verified.exitCode, 4);
        QVERIFY2(verified.out.contains(QStringLiteral("\"kind\":\"%1\"").arg(kind)), qPrintable(verified.out));
        const qsizetype requests = cli.server().requests().size();
        cli.publish({}, 500);  // a repair that needed the catalog or a download could not happen
        const ToolSandbox::Result repaired = cli.run({QStringLiteral("repair"), QStringLiteral("alpha")});
        QVERIFY2(repaired.exitCode == 0 && repaired.out.contains(QLatin1String("Repaired Alpha.")), qPrintable(repaired.output()));
        for (const LoopbackHttpServer::Request &request : cli.server().requests().mid(requests))
            QVERIFY2(!request.path.endsWith(QLatin1String(".zip")), qPrintable(request.path));
        QCOMPARE(TempHome::readFile(entry), written);
        QCOMPARE(desktopFiles(cli), expectedFiles({QStringLiteral("alpha")}));
        QCOMPARE(cli.run({QStringLiteral("verify"), QStringLiteral("alpha")}).exitCode, 0);
    }

    // The bundle's icon file: converted at every size when it is a picture, refused in bounded time and memory when not.
    void icons_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("own");
        QTest::newRow("icns") << "icns" << true;
        QTest::newRow("png") << "png" << true;
        QTest::newRow("malformed") << "malformed" << false;
        QTest::newRow("200 MB") << "200 MB" << false;
        QTest::newRow("huge dimensions") << "huge dimensions" << false;
        QTest::newRow("link out of the bundle") << "link" << false;
    }

    void icons()
    {
        QFETCH(QString, kind);
        QFETCH(bool, own);
        TempHome home;
        const QString bundlePath = home.bundle(QStringLiteral("Alpha.app"));
        const QString iconFile = bundlePath + QStringLiteral("/Contents/Resources/AppIcon.icns");
        QVERIFY(writeBundle(bundlePath, QStringLiteral("Alpha")));
        QVERIFY(QDir().mkpath(bundlePath + QStringLiteral("/Contents/Resources")));
        if (kind == "icns" || kind == "png") {
            QVERIFY(TempHome::writeFile(iconFile, picture(kind == "icns" ? "icns" : "png", Qt::red)));
        } else if (kind == "malformed") {
            QVERIFY(TempHome::writeFile(iconFile, "icns\0\0\0\x20" + QByteArray(4096, '\xff')));
        } else if (kind == "200 MB") {
            QFile sparse(iconFile);
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.write(picture("png", Qt::red)) > 0 && sparse.resize(200LL << 20));
        } else if (kind == "huge dimensions") {
            // A PNG header declaring 60000 x 60000 pixels.
            QByteArray png = picture("png", Qt::red, 8);
            png.replace(16, 8, QByteArray::fromHex("0000ea600000ea60"));
            QVERIFY(TempHome::writeFile(iconFile, png));
        } else {
            QVERIFY(TempHome::writeFile(home.outsideDir() + QStringLiteral("/icon.png"), picture("png", Qt::red)));
            QVERIFY(QFile::link(home.outsideDir() + QStringLiteral("/icon.png"), iconFile));
        }
        AppManifestItem app = TestCatalog::app(QStringLiteral("alpha"));
        app.accent = AppAccent::cyan;
        XdgDesktopEntries entries(std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList()), dataHome(home));

        const qint64 memoryBefore = peakMemoryKb();
        QElapsedTimer clock;
        clock.start();
        entries.sync({{app, QStringLiteral("1.0"), bundlePath}});
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(peakMemoryKb() - memoryBefore < 100 * 1024, qPrintable(QString::number(peakMemoryKb() - memoryBefore)));
        for (const int size : DesktopIcons::sizes) {
            const QImage written(dataHome(home) + QLatin1Char('/') + XdgDesktopEntries::iconPath(alphaId(), size));
            QCOMPARE(written.size(), QSize(size, size));
            const QImage expected = own ? QImage() : DesktopIcons::drawnIcon(AppAccent::cyan, size);
            QCOMPARE(written.pixelColor(size / 2, size / 2), own ? QColor(Qt::red) : expected.pixelColor(size / 2, size / 2));
            QCOMPARE(written.pixelColor(size / 4, size / 2), own ? QColor(Qt::red) : expected.pixelColor(size / 4, size / 2));
        }
    }

private:
    static QString injection() { return QStringLiteral("Game\nExec=/bin/evil"); }
    static QString alphaId() { return DesktopEntryText::fileId(QStringLiteral("com.vantrel.alpha"), QStringLiteral("alpha")); }
};

QTEST_GUILESS_MAIN(DesktopEntriesTest)
#include "tst_desktop_entries.moc"
