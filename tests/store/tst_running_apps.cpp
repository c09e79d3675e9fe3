// Apps that run while they are changed: real processes started from the
// installed bundle (a small program that records its process id and runs
// until asked to quit), the window's store with the real installer and the
// real process search, and the `vantrel` tool in the same home.

#include "DefaultCollaborators.h"
#include "LinuxWorkspace.h"
#include "PlistBundleInspector.h"
#include "ProcRunningProcesses.h"
#include "SettingsUserDefaults.h"
#include "ToolSandbox.h"
#include "ZipBuilder.h"
#include "CatalogBuilders.h"
#include "store/LauncherStore.h"

#include "async/WaitForTask.h"

#include <QNetworkAccessManager>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace {

const QString swatch = QStringLiteral("swatch");

bool alive(qint64 pid)
{
    // A process that quit but was not yet reaped has no program any more.
    return QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).exists();
}

// The test's sample program in a bundle, with the version in a resource.
QByteArray swatchArchive(const QString &version)
{
    ZipBuilder zip;
    zip.addFile(QStringLiteral("Swatch.app/Contents/Info.plist"),
                ZipBuilder::infoPlist({{"CFBundleIdentifier", "com.vantrel.swatch"}, {"CFBundleExecutable", "Swatch"}},
                                      ZipBuilder::PlistFormat::xml));
    zip.addExecutable(QStringLiteral("Swatch.app/Contents/MacOS/Swatch"), TempHome::readFile(QStringLiteral(VANTREL_SAMPLE_APP)));
    zip.addFile(QStringLiteral("Swatch.app/Contents/Resources/version.txt"), version.toUtf8());
    return zip.build();
}

// A home with Swatch 1.0.0 installed and 1.1.0 offered, the window's store
// over it, and every sample process it started ended when it goes.
class RunningHome : public ToolSandbox
{
public:
    RunningHome()
    {
        m_old = release(QStringLiteral("1.0.0"));
        m_new = release(QStringLiteral("1.1.0"));
        qputenv("VANTREL_TEST_MARKER", markerFile().toUtf8());
        environment().insert(QStringLiteral("VANTREL_TEST_MARKER"), markerFile());
        publish({m_old});
    }
    ~RunningHome()
    {
        for (const qint64 pid : pids())
            ::kill(pid_t(pid), SIGKILL);
        qunsetenv("VANTREL_TEST_MARKER");
        qunsetenv("VANTREL_TEST_IGNORE_TERM");
    }

    AppManifestItem release(const QString &version)
    {
        const QByteArray bytes = swatchArchive(version);
        AppManifestItem app = TestCatalog::release(swatch, host(QStringLiteral("/swatch-%1.zip").arg(version), bytes),
                                                   ZipBuilder::sha256Hex(bytes), version);
        app.name = QStringLiteral("Swatch");
        return app;
    }

    // The window's store; the records are the tool's.
    std::unique_ptr<LauncherStore> makeStore(const QList<AppManifestItem> &apps)
    {
        auto installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(installRoot()), &m_session, defaultInstallerLayers());
        installer->setTemporaryDirectory(tempDir());
        LauncherStore::Collaborators c;
        c.installer = installer;
        c.installedCopies = defaultInstalledCopies(installRoot());
        c.userDefaults = std::make_shared<SettingsUserDefaults>(settingsFile());
        c.systemVersion = defaultInstallerLayers().systemVersion;
        c.workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList{installRoot()});
        c.runningProcesses = std::make_shared<ProcRunningProcesses>();
        return std::make_unique<LauncherStore>(c, TestCatalog::manifest(apps));
    }

    // Installs 1.0.0 and starts it as the desktop would; its process id.
    qint64 installAndStart()
    {
        const Result installed = run({QStringLiteral("install"), swatch});
        if (installed.exitCode != 0) {
            qWarning().noquote() << "install failed:" << installed.output();
            return 0;
        }
        publish({m_new});
        return startApp();
    }
    qint64 startApp()
    {
        const qsizetype before = pids().size();
        if (!QProcess::startDetached(bundle(QStringLiteral("Swatch.app/Contents/MacOS/Swatch"))))
            return 0;
        return QTest::qWaitFor([&] { return pids().size() > before; }, 5000) ? pids().last() : 0;
    }

    QString markerFile() const { return path(QStringLiteral("pids")); }
    // Every sample process started so far, in order.
    QList<qint64> pids() const
    {
        QList<qint64> out;
        for (const QByteArray &line : TempHome::readFile(markerFile()).split('\n')) {
            if (!line.isEmpty())
                out << line.toLongLong();
        }
        return out;
    }
    int runningCount() const
    {
        const QList<qint64> all = pids();
        return int(std::count_if(all.cbegin(), all.cend(), alive));
    }
    QString installedVersion() const
    {
        return QString::fromUtf8(TempHome::readFile(bundle(QStringLiteral("Swatch.app/Contents/Resources/version.txt"))));
    }

    const AppManifestItem &oldRelease() const { return m_old; }
    const AppManifestItem &newRelease() const { return m_new; }

private:
    QNetworkAccessManager m_session;
    AppManifestItem m_old;
    AppManifestItem m_new;
};

}  // namespace

class RunningApps_ : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The process search finds a program by its executable and by its mapped files, and nothing elsewhere.
    void searchFindsTheBundlesProcesses()
    {
        RunningHome home;
        const qint64 pid = home.installAndStart();
        QVERIFY(pid > 0);
        ProcRunningProcesses processes;
        const QString bundle = home.bundle(QStringLiteral("Swatch.app"));
        const QList<RunningProcess> found = processes.runningFrom({bundle});
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().pid, pid);
        QVERIFY2(found.first().file.startsWith(bundle + QLatin1Char('/')), qPrintable(found.first().file));
        QVERIFY(!found.first().deleted);
        // A bundle of the same name's prefix, and an empty list, find nothing.
        QVERIFY(processes.runningFrom({bundle.chopped(1)}).isEmpty());
        QVERIFY(processes.runningFrom({}).isEmpty());
    }

    // The window asks before updating a running app; each answer does what it says and nothing more.
    void windowAsksAboutARunningApp_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("version");  // installed at the end
        QTest::addColumn<int>("processesAtEnd");  // sample processes running at the end
        QTest::newRow("no answer") << "none" << "1.0.0" << 1;
        QTest::newRow("cancel") << "cancel" << "1.0.0" << 1;
        QTest::newRow("quit and update") << "quit" << "1.1.0" << 1;  // the new version, opened again
        QTest::newRow("update when it quits") << "when quit" << "1.1.0" << 0;
        QTest::newRow("ignores the request to quit") << "quit, ignored" << "1.0.0" << 1;
    }
    void windowAsksAboutARunningApp()
    {
        QFETCH(QString, answer);
        QFETCH(QString, version);
        QFETCH(int, processesAtEnd);
        RunningHome home;
        if (answer == QLatin1String("quit, ignored"))
            qputenv("VANTREL_TEST_IGNORE_TERM", "1");
        const qint64 pid = home.installAndStart();
        QVERIFY(pid > 0);
        const auto store = home.makeStore({home.newRelease()});
        QCOMPARE(store->stateFor(swatch), AppInstallState::updateAvailable("1.0.0", "1.1.0"));

        store->installApp(swatch);
        QTRY_VERIFY(store->running()->question().isValid());
        const QVariantMap asked = store->running()->question().toMap();
        QCOMPARE(asked.value("appName").toString(), QStringLiteral("Swatch"));
        QCOMPARE(asked.value("pids").toList(), QVariantList{pid});
        QCOMPARE(asked.value("change").toInt(), int(RunningApps::Change::update));
        // Unanswered, nothing moves.
        QTest::qWait(300);
        QCOMPARE(home.installedVersion(), QStringLiteral("1.0.0"));
        QVERIFY(alive(pid));

        RunningApps *running = store->running();
        if (answer == QLatin1String("cancel")) {
            running->cancelQuestion();
        } else if (answer.startsWith(QLatin1String("quit"))) {
            running->quitAndContinue();
        } else if (answer == QLatin1String("when quit")) {
            running->continueWhenQuit();
            QCOMPARE(running->waitingApps(), QStringList{swatch});
            QTest::qWait(1500);
            QCOMPARE(home.installedVersion(), QStringLiteral("1.0.0"));  // it still runs: nothing yet
            ::kill(pid_t(pid), SIGTERM);  // the user quits it
        }
        QVERIFY(!running->question().isValid() || answer == QLatin1String("none"));
        if (answer == QLatin1String("quit, ignored")) {
            QTRY_VERIFY_WITH_TIMEOUT(store->errorMessage().has_value(), 10000);
            QCOMPARE(*store->errorMessage(), QStringLiteral("Swatch did not quit, so it was left as it is."));
        }
        const AppInstallState expected = version == QLatin1String("1.1.0") ? AppInstallState::installed(version)
                                                                           : AppInstallState::updateAvailable("1.0.0", "1.1.0");
        QTRY_COMPARE_WITH_TIMEOUT(store->stateFor(swatch), expected, 20000);
        QCOMPARE(home.installedVersion(), version);
        QTRY_COMPARE_WITH_TIMEOUT(home.runningCount(), processesAtEnd, 5000);
        QCOMPARE(alive(pid), version == QLatin1String("1.0.0"));  // nothing was ended without an answer
        QVERIFY(running->waitingApps().isEmpty());
    }

    // Remove, roll back and repair ask the same way; the app stays until answered.
    void otherChangesAsk()
    {
        RunningHome home;
        const qint64 pid = home.installAndStart();
        QVERIFY(pid > 0);
        const auto store = home.makeStore({home.newRelease()});
        store->manage()->removeApp(swatch, false);
        QTRY_VERIFY(store->running()->question().isValid());
        QCOMPARE(store->running()->question().toMap().value("change").toInt(), int(RunningApps::Change::remove));
        store->running()->cancelQuestion();
        QTest::qWait(200);
        QVERIFY(QFileInfo::exists(home.bundle(QStringLiteral("Swatch.app"))));
        QVERIFY(alive(pid));
    }

    // Updated by other means while it ran: the page asks for a restart until the old process ends.
    void restartAfterAnUpdateUnderTheApp()
    {
        RunningHome home;
        const qint64 pid = home.installAndStart();
        QVERIFY(pid > 0);
        const auto store = home.makeStore({home.newRelease()});
        const InstalledApps::Operation update = store->installedApps()->update(home.newRelease());
        QCOMPARE(waitForTask(update->result()).kind, OperationOutcome::Kind::done);
        QTRY_COMPARE_WITH_TIMEOUT(store->running()->restartNeeded(), (QHash<QString, QString>{{swatch, "1.1.0"}}), 5000);
        ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(store->running()->restartNeeded().isEmpty(), 10000);
    }

    // `vantrel update` refuses a running app with its own status and the process id, or waits, or restarts it.
    void toolUpdatesOnlyWhenToldHow_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("version");
        QTest::newRow("refused") << QStringList{} << 6 << "1.0.0";
        QTest::newRow("--restart") << QStringList{"--restart"} << 0 << "1.1.0";
        QTest::newRow("--when-closed") << QStringList{"--when-closed"} << 0 << "1.1.0";
        QTest::newRow("both") << QStringList{"--restart", "--when-closed"} << 2 << "1.0.0";
    }
    void toolUpdatesOnlyWhenToldHow()
    {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, version);
        RunningHome home;
        const qint64 pid = home.installAndStart();
        QVERIFY(pid > 0);
        const std::unique_ptr<QProcess> tool = home.start(QStringList{QStringLiteral("update"), swatch} + options);
        if (options == QStringList{QStringLiteral("--when-closed")}) {
            QByteArray waiting;
            QTRY_VERIFY_WITH_TIMEOUT((waiting += tool->readAllStandardError()).contains("Waiting for Swatch to quit"), 10000);
            QCOMPARE(home.installedVersion(), QStringLiteral("1.0.0"));
            ::kill(pid_t(pid), SIGTERM);
        }
        QVERIFY(tool->waitForFinished(30000));
        const QString err = QString::fromUtf8(tool->readAllStandardError());
        QCOMPARE(tool->exitCode(), status);
        QCOMPARE(home.installedVersion(), version);
        if (status == 6)
            QVERIFY2(err.contains(QStringLiteral("Swatch is running (process %1)").arg(pid)), qPrintable(err));
        QCOMPARE(alive(pid), version == QLatin1String("1.0.0"));
        // --restart says it quits the app and opens it again, and does so, from the new bundle.
        if (options == QStringList{QStringLiteral("--restart")}) {
            const qsizetype quitting = err.indexOf(QStringLiteral("Quitting Swatch…"));
            QVERIFY2(quitting >= 0 && quitting < err.indexOf(QStringLiteral("Opening Swatch again…")), qPrintable(err));
            QTRY_COMPARE_WITH_TIMEOUT(home.pids().size(), 2, 5000);
            QVERIFY(alive(home.pids().last()));
        }
    }

    // remove and rollback refuse a running app the same way, and keep it.
    void toolKeepsARunningApp()
    {
        RunningHome home;
        const qint64 pid = home.installAndStart();
        QVERIFY(pid > 0);
        const ToolSandbox::Result removal = home.run({QStringLiteral("remove"), swatch});
        QCOMPARE(removal.exitCode, 6);
        QVERIFY2(removal.err.contains(QString::number(pid)), qPrintable(removal.err));
        QVERIFY(QFileInfo::exists(home.bundle(QStringLiteral("Swatch.app"))));
        ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY(!alive(pid));
        QCOMPARE(home.run({QStringLiteral("remove"), swatch}).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(RunningApps_)
#include "tst_running_apps.moc"
