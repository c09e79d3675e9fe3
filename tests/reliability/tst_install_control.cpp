// An install in the window's store: silent events hold nothing up; a Cancel up to the swap and a folder the system
// refuses to move alter nothing.

#include "CatalogBuilders.h"
#include "DataRows.h"
#include "DefaultCollaborators.h"
#include "SettingsUserDefaults.h"
#include "SilentServer.h"
#include "ToolSandbox.h"
#include "async/WaitForTask.h"
#include "monitoring/Monitoring.h"
#include "store/LauncherStore.h"
#include "system/SystemLayers.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QSemaphore>
#include <QTest>

namespace {

// Reads bundles as the real inspector does; once held, waits at its first read (after extraction, before the swap).
class HeldInspector : public BundleInspector
{
public:
    explicit HeldInspector(std::shared_ptr<const BundleInspector> inner) : m_inner(std::move(inner)) {}

    std::optional<QString> bundleIdentifier(const QString &bundlePath) const override
    {
        if (held.exchange(false)) {
            reached = true;
            letGo.acquire();
        }
        return m_inner->bundleIdentifier(bundlePath);
    }
    std::optional<QString> executableName(const QString &bundlePath) const override
    {
        return m_inner->executableName(bundlePath);
    }

    mutable std::atomic_bool held = false;
    mutable std::atomic_bool reached = false;
    mutable QSemaphore letGo;

private:
    std::shared_ptr<const BundleInspector> m_inner;
};

// The window's store over the sandbox with the real installer; events go to eventsBase when given.
struct SandboxStore {
    QNetworkAccessManager session;
    std::shared_ptr<HeldInspector> inspector;
    std::unique_ptr<LauncherStore> store;

    SandboxStore(const ToolSandbox &cli, const QList<AppManifestItem> &apps, const QUrl &eventsBase = {})
    {
        AppInstaller::Layers layers = defaultInstallerLayers();
        inspector = std::make_shared<HeldInspector>(layers.bundles);
        layers.bundles = inspector;
        auto installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(cli.installRoot()), &session, layers);
        installer->setTemporaryDirectory(cli.tempDir());
        LauncherStore::Collaborators c;
        c.installer = installer;
        c.installedCopies = defaultInstalledCopies(cli.installRoot());
        if (!eventsBase.isEmpty())
            c.eventRecorder = std::make_shared<RemoteEventRecorder>(eventsBase, &session, nullptr);
        c.userDefaults = std::make_shared<SettingsUserDefaults>(cli.settingsFile());
        c.systemVersion = layers.systemVersion;
        store = std::make_unique<LauncherStore>(c, TestCatalog::manifest(apps));
    }

    OperationOutcome run(const InstalledApps::Operation &operation) { return waitForTask(operation->result()); }
};

}  // namespace

class CancelAndOutages : public QObject
{
    Q_OBJECT
    // operation, pinned (below the home: what the system refuses to move; empty: cancelled instead), outcome, errorLine (how it starts)
    using EndedEarlyRows = DataRows<QString, QString, OperationOutcome::Kind, QString>;

private Q_SLOTS:
    // Silent events service: the install waits for "install_started" at most 2 s; Cancel during that wait ends it at once.
    void silentEventsServiceHoldsNothing()
    {
        ToolSandbox cli;
        SilentServer events;
        const AppManifestItem alpha = cli.release(QStringLiteral("alpha"), QStringLiteral("1.0.0"));
        const AppManifestItem beta = cli.release(QStringLiteral("beta"), QStringLiteral("1.0.0"));
        SandboxStore s(cli, {alpha, beta}, events.url());

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(s.run(s.store->install(alpha)), OperationOutcome::done());
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(s.store->stateFor(alpha.id), AppInstallState::installed("1.0.0"));

        const InstalledApps::Operation install = s.store->install(beta);
        // Its "install_started" is on its way (two connections: one per install).
        QTRY_COMPARE(events.findChildren<QTcpSocket *>().size(), 2);
        clock.restart();
        QVERIFY(install->cancel());
        QCOMPARE(s.run(install), OperationOutcome::cancelled());
        QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(s.store->stateFor(beta.id), AppInstallState::notInstalled());
        QCOMPARE(s.store->errorMessage(), std::nullopt);
        QTRY_COMPARE(cli.rootEntries(), QStringList{"Alpha.app"});  // the clean-up after an install runs on a worker
        for (const LoopbackHttpServer::Request &request : cli.server().requests())
            QVERIFY(!request.path.startsWith(QLatin1String("/beta")));
    }

    // Cancelled during the bundle check (within 200 ms), or failing as the system refuses to move a folder (saying why):
    // the bundle byte for byte, the records and the state from before (a failed update shows its failure), nothing left.
    void endedEarlyChangesNothing_data()
    {
        EndedEarlyRows::columns();
        EndedEarlyRows::row("update cancelled during the bundle check", "update", "", OperationOutcome::Kind::cancelled, "");
        EndedEarlyRows::row("update onto a copy that cannot move", "update", "Applications/Vantrel/Alpha.app", OperationOutcome::Kind::failed, "Could not install Alpha. Could not replace \"Alpha.app\": ");
        EndedEarlyRows::row("removal the trash refuses", "remove", ".local/share/Trash", OperationOutcome::Kind::failed, "Could not remove Alpha.");
        EndedEarlyRows::row("removal of a bundle that cannot leave its folder", "remove", "Applications/Vantrel/Alpha.app", OperationOutcome::Kind::failed, "Could not remove Alpha. Could not move to the trash \"Alpha.app\": ");
    }

    void endedEarlyChangesNothing()
    {
        const auto [operation, pinned, kind, errorLine] = EndedEarlyRows::fetch();
        ToolSandbox cli;
        qputenv("HOME", cli.home().toLocal8Bit());
        qputenv("XDG_DATA_HOME", (cli.home() + QStringLiteral("/.local/share")).toLocal8Bit());
        const AppManifestItem alpha = cli.release(QStringLiteral("alpha"), QStringLiteral("1.0.0"));
        SandboxStore s(cli, {alpha});
        QCOMPARE(s.run(s.store->install(alpha)), OperationOutcome::done());
        const QString trash = cli.home() + QStringLiteral("/.local/share/Trash");
        QVERIFY(QDir().mkpath(trash + QStringLiteral("/files")) && QDir().mkpath(trash + QStringLiteral("/info")));
        const QMap<QString, QString> before = TempHome::fingerprint(cli.bundle(QStringLiteral("Alpha.app")));
        const QHash<QString, QString> versions = cli.records(LauncherStore::installedVersionsKey);
        const QHash<QString, QString> paths = cli.records(LauncherStore::installedPathsKey);
        std::optional<ImmutableTree> locked;
        if (!pinned.isEmpty())
            locked.emplace(cli.home() + QLatin1Char('/') + pinned);
        if (locked && !locked->isSet() && !pinned.endsWith(QLatin1String("Trash")))
            QSKIP(qPrintable(locked->skipReason()));
        // Where nothing can be made immutable, a plain file where the trash keeps its files refuses as well.
        if (locked && !locked->isSet())
            QVERIFY(QDir(trash + QStringLiteral("/files")).removeRecursively() && TempHome::writeFile(trash + QStringLiteral("/files"), "not a folder"));

        const AppManifestItem update = cli.release(QStringLiteral("alpha"), QStringLiteral("2.0.0"));
        s.store->applyManifest(TestCatalog::manifest({update}));
        s.inspector->held = pinned.isEmpty();
        const InstalledApps::Operation run = operation == QLatin1String("update") ? s.store->install(update)
                                                                                : s.store->installedApps()->remove(update, true);
        QElapsedTimer clock;
        if (pinned.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(s.inspector->reached, 10000);
            clock.start();
            QVERIFY(run->cancel());
            s.inspector->letGo.release();
        }
        QCOMPARE(s.run(run).kind, kind);
        QVERIFY2(!clock.isValid() || clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
        const QString shown = s.store->errorMessage().value_or(QString());
        QVERIFY2(errorLine.isEmpty() ? !s.store->errorMessage() : shown.startsWith(errorLine), qPrintable(shown));
        QCOMPARE(s.store->stateFor(alpha.id), operation == QLatin1String("update") && !shown.isEmpty() ? AppInstallState::failed(shown, "1.0.0")
                                                                                                    : AppInstallState::updateAvailable("1.0.0", "2.0.0"));
        QCOMPARE(TempHome::fingerprint(cli.bundle(QStringLiteral("Alpha.app"))), before);
        QCOMPARE(cli.records(LauncherStore::installedVersionsKey), versions);
        QCOMPARE(cli.records(LauncherStore::installedPathsKey), paths);
        QTRY_COMPARE(cli.leftovers(), QStringList());
        QCOMPARE(cli.rootEntries(), QStringList{QStringLiteral("Alpha.app")});
    }
};

QTEST_GUILESS_MAIN(CancelAndOutages)
#include "tst_install_control.moc"
