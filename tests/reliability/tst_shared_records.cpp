// Several processes of one user on one set of install records: real `vantrel` processes and this process's store.

#include "CatalogBuilders.h"
#include "DefaultCollaborators.h"
#include "SettingsUserDefaults.h"
#include "SilentServer.h"
#include "ToolSandbox.h"
#include "store/AppManagement.h"
#include "store/LauncherStore.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QNetworkAccessManager>
#include <QTest>
#include <csignal>

class SharedRecords : public QObject
{
    Q_OBJECT

    // The ids of a published catalog of count apps with one release each.
    static QStringList publishApps(ToolSandbox &cli, int count)
    {
        QList<AppManifestItem> apps;
        QStringList ids;
        for (int i = 0; i < count; ++i) {
            ids.append(QStringLiteral("app%1").arg(i));
            apps.append(cli.release(ids.last(), QStringLiteral("1.0.0")));
        }
        cli.publish(apps);
        return ids;
    }

    // A window's store over the tool's records and install root, with no network.
    static LauncherStore::Collaborators windowCollaborators(const ToolSandbox &cli)
    {
        LauncherStore::Collaborators c;
        c.userDefaults = std::make_shared<SettingsUserDefaults>(cli.settingsFile());
        c.installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(cli.installRoot()), nullptr, defaultInstallerLayers());
        c.installedCopies = defaultInstalledCopies(cli.installRoot());
        return c;
    }

    // Every listed app's install state, by id.
    static QHash<QString, QJsonObject> listedStates(const ToolSandbox &cli)
    {
        QHash<QString, QJsonObject> states;
        const ToolSandbox::Result list = cli.run({QStringLiteral("list"), QStringLiteral("--json")});
        for (const QJsonValue &app : QJsonDocument::fromJson(list.out.toUtf8()).array())
            states.insert(app[QStringLiteral("id")].toString(), app[QStringLiteral("state")].toObject());
        return states;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(QFile::exists(ToolSandbox::vantrel()), qPrintable(ToolSandbox::vantrel() + QStringLiteral(" has not been built")));
    }

    // Eight installs at once, three rounds: every success is listed; removing all at once leaves no bundle nor record.
    void eightInstallsAtOnce()
    {
        ToolSandbox cli;
        const QStringList ids = publishApps(cli, 8);
        const QJsonObject installed{{QStringLiteral("installed"), QJsonObject{{QStringLiteral("version"), "1.0.0"}}}};
        for (int round = 0; round < 3; ++round) {
            QList<QStringList> installs, removals;
            for (const QString &id : ids) {
                installs.append({QStringLiteral("install"), id});
                removals.append({QStringLiteral("remove"), id});
            }
            const QList<int> statuses = cli.runAtOnce(installs);
            const QHash<QString, QJsonObject> states = listedStates(cli);
            for (int i = 0; i < ids.size(); ++i) {
                QCOMPARE(statuses.at(i), 0);
                QCOMPARE(states.value(ids.at(i)), installed);
            }
            QCOMPARE(cli.records(LauncherStore::installedVersionsKey).size(), ids.size());
            QCOMPARE(cli.runAtOnce(removals), QList<int>(ids.size(), 0));
            QCOMPARE(cli.rootEntries(), QStringList());
            QVERIFY(cli.records(LauncherStore::installedVersionsKey).isEmpty());
            QVERIFY(cli.records(LauncherStore::installedPathsKey).isEmpty());
        }
    }

    // The window's store and `vantrel` install an app each: both recorded, the store shows the tool's without a refresh.
    void windowAndToolAtOnce()
    {
        ToolSandbox cli;
        const AppManifestItem alpha = cli.release(QStringLiteral("alpha"), QStringLiteral("1.0.0"), 20);
        const AppManifestItem beta = cli.release(QStringLiteral("beta"), QStringLiteral("1.0.0"));
        cli.publish({alpha, beta});

        QNetworkAccessManager session;
        auto installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(cli.installRoot()), &session, defaultInstallerLayers());
        installer->setTemporaryDirectory(cli.tempDir());
        LauncherStore::Collaborators c;
        c.installer = installer;
        c.installedCopies = defaultInstalledCopies(cli.installRoot());
        c.userDefaults = std::make_shared<SettingsUserDefaults>(cli.settingsFile());
        c.systemVersion = defaultInstallerLayers().systemVersion;
        LauncherStore store(c, TestCatalog::manifest({alpha, beta}));

        const std::unique_ptr<QProcess> tool = cli.start({QStringLiteral("install"), QStringLiteral("beta")});
        store.install(alpha);
        QVERIFY(tool->waitForFinished(60000));
        QCOMPARE(tool->exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(store.stateFor(QStringLiteral("alpha")), AppInstallState::installed("1.0.0"), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(store.stateFor(QStringLiteral("beta")), AppInstallState::installed("1.0.0"), 5000);
        QCOMPARE(store.installedAppURLs().value(QStringLiteral("beta")), QUrl::fromLocalFile(cli.bundle(QStringLiteral("Beta.app"))));
        QCOMPARE(cli.records(LauncherStore::installedVersionsKey),
                 (QHash<QString, QString>{{"alpha", "1.0.0"}, {"beta", "1.0.0"}}));
    }

    // The window follows what the tool (or the user, by hand) changes, within a second and without a refresh.
    void windowFollowsChangesElsewhere_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : {"install", "update", "roll back", "remove", "bundle deleted by hand"})
            QTest::newRow(change) << QString::fromLatin1(change);
    }

    void windowFollowsChangesElsewhere()
    {
        QFETCH(QString, change);
        ToolSandbox cli;
        const AppManifestItem older = cli.release(QStringLiteral("alpha"), QStringLiteral("1.0.0"));
        const AppManifestItem newer = cli.release(QStringLiteral("alpha"), QStringLiteral("1.1.0"));
        cli.publish({older});
        if (change != "install")
            QCOMPARE(cli.run({QStringLiteral("install"), QStringLiteral("alpha")}).exitCode, 0);
        if (change == "roll back") {
            cli.publish({newer});
            QCOMPARE(cli.run({QStringLiteral("update"), QStringLiteral("alpha")}).exitCode, 0);
        }
        // The window's catalog offers 1.1.0; the tool works against the same records and install root.
        cli.publish({newer});
        LauncherStore store(windowCollaborators(cli), TestCatalog::manifest({newer}));
        const QString bundle = cli.bundle(QStringLiteral("Alpha.app"));

        AppInstallState expected = AppInstallState::notInstalled();
        if (change == "install") {
            QCOMPARE(cli.run({QStringLiteral("install"), QStringLiteral("alpha")}).exitCode, 0);
            expected = AppInstallState::installed("1.1.0");
        } else if (change == "update") {
            QCOMPARE(cli.run({QStringLiteral("update"), QStringLiteral("alpha")}).exitCode, 0);
            expected = AppInstallState::installed("1.1.0");
        } else if (change == "roll back") {
            QCOMPARE(cli.run({QStringLiteral("rollback"), QStringLiteral("alpha")}).exitCode, 0);
            expected = AppInstallState::updateAvailable("1.0.0", "1.1.0");
        } else if (change == "remove") {
            QCOMPARE(cli.run({QStringLiteral("remove"), QStringLiteral("alpha")}).exitCode, 0);
        } else {
            QVERIFY(QDir(bundle).removeRecursively());
        }
        QTRY_COMPARE_WITH_TIMEOUT(store.stateFor(QStringLiteral("alpha")), expected, 1000);
        QCOMPARE(store.installedAppURLs().value(QStringLiteral("alpha")),
                 expected.hasInstalledCopy() ? QUrl::fromLocalFile(bundle) : QUrl());
    }

    // A process killed holding the records lock blocks nobody: the next takes it at once and records its install.
    void killedLockHolderBlocksNobody()
    {
        ToolSandbox cli;
        publishApps(cli, 2);
        cli.environment().insert(QStringLiteral("VANTREL_INSTALL_PAUSE_AT"), QStringLiteral("records-locked"));
        const std::unique_ptr<QProcess> holder = cli.start({QStringLiteral("install"), QStringLiteral("app0")});
        QByteArray seen;
        QVERIFY2(ToolSandbox::waitForPause(*holder, QStringLiteral("records-locked"), &seen), seen.constData());
        const QString lock = cli.settingsFile() + QStringLiteral(".vantrel-lock");
        QVERIFY(QFile::exists(lock));
        ::kill(pid_t(holder->processId()), SIGKILL);
        QVERIFY(holder->waitForFinished(10000));
        QVERIFY(QFile::exists(lock));  // left behind by the dead holder

        cli.environment().remove(QStringLiteral("VANTREL_INSTALL_PAUSE_AT"));
        QElapsedTimer clock;
        clock.start();
        const ToolSandbox::Result next = cli.run({QStringLiteral("install"), QStringLiteral("app1")});
        QVERIFY2(next.exitCode == 0, qPrintable(next.output()));
        QVERIFY(clock.elapsed() < SettingsUserDefaults::staleLockMs);
        QCOMPARE(cli.records(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"app1", "1.0.0"}}));
    }

    // An events service that accepts and never answers holds no install up.
    void silentEventsServiceHoldsNoToolInstall()
    {
        ToolSandbox cli;
        publishApps(cli, 1);
        SilentServer events;
        cli.environment().insert(QStringLiteral("VANTREL_API_URL"), events.url().toString());
        QElapsedTimer clock;
        clock.start();
        const ToolSandbox::Result run = cli.run({QStringLiteral("install"), QStringLiteral("app0")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(cli.records(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"app0", "1.0.0"}}));
    }

    // Skip and hold live with the records: made by the tool or the window, each sees the other's, a new store
    // (a restart) too; update --all and the update count pass over them; a roll back keeps a hold; a version newer
    // than the one skipped is offered again; release is the way back.
    void skipAndHoldAreSharedAndKept()
    {
        ToolSandbox cli;
        const QStringList ids{QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")};
        QList<AppManifestItem> first, second, third;
        for (const QString &id : ids) {
            first.append(cli.release(id, QStringLiteral("1.0.0")));
            second.append(cli.release(id, QStringLiteral("1.1.0")));
            third.append(cli.release(id, QStringLiteral("1.2.0")));
        }
        cli.publish(first);
        for (const QString &id : ids)
            QCOMPARE(cli.run({QStringLiteral("install"), id}).exitCode, 0);
        cli.publish(second);
        const ToolSandbox::Result hold = cli.run({QStringLiteral("hold"), QStringLiteral("alpha"), QStringLiteral("--lang"), QStringLiteral("en")});
        QCOMPARE(hold.exitCode, 0);
        QCOMPARE(hold.out.trimmed(), QStringLiteral("Alpha is held at 1.0.0."));
        QCOMPARE(cli.run({QStringLiteral("skip"), QStringLiteral("beta")}).exitCode, 0);

        // The window's store, started after the decisions, over the same records.
        const auto makeStore = [&cli](const QList<AppManifestItem> &catalog) {
            return std::make_unique<LauncherStore>(windowCollaborators(cli), TestCatalog::manifest(catalog));
        };
        std::unique_ptr<LauncherStore> window = makeStore(second);
        QCOMPARE(window->stateFor(QStringLiteral("alpha")), AppInstallState::installed("1.0.0"));
        QCOMPARE(window->stateFor(QStringLiteral("beta")), AppInstallState::installed("1.0.0"));
        QCOMPARE(window->manage()->updatableAppIDs(), QStringList{QStringLiteral("gamma")});
        QCOMPARE(window->manage()->heldApps(), (QVariantMap{{"alpha", "1.0.0"}}));
        QCOMPARE(window->manage()->skippedUpdates(), (QVariantMap{{"beta", "1.1.0"}}));

        const ToolSandbox::Result all = cli.run({QStringLiteral("update"), QStringLiteral("--all")});
        QVERIFY2(all.exitCode == 0, qPrintable(all.output()));
        QCOMPARE(cli.records(LauncherStore::installedVersionsKey),
                 (QHash<QString, QString>{{"alpha", "1.0.0"}, {"beta", "1.0.0"}, {"gamma", "1.1.0"}}));
        // Updating a held app by name says so at once, before any size or download, with a status of its own;
        // named with another, nothing is updated.
        for (const QStringList &named : {QStringList{QStringLiteral("alpha")}, QStringList{QStringLiteral("beta"), QStringLiteral("alpha")}}) {
            const qsizetype requests = cli.server().requests().size();
            const ToolSandbox::Result refused = cli.run(QStringList{QStringLiteral("update")} + named + QStringList{QStringLiteral("--lang"), QStringLiteral("en")});
            QCOMPARE(refused.exitCode, 8);
            QCOMPARE(refused.out, QString());
            QCOMPARE(refused.err.trimmed(), QStringLiteral("vantrel update: Alpha is held at 1.0.0 and is not updated; release it first "
                                                           "(vantrel release alpha). Nothing was changed."));
            for (const LoopbackHttpServer::Request &request : cli.server().requests().mid(requests))
                QVERIFY2(!request.path.endsWith(QLatin1String(".zip")), qPrintable(request.path));
        }
        QTRY_COMPARE_WITH_TIMEOUT(window->stateFor(QStringLiteral("gamma")), AppInstallState::installed("1.1.0"), 5000);
        // Nothing to skip where nothing newer is offered.
        QCOMPARE(cli.run({QStringLiteral("skip"), QStringLiteral("gamma")}).exitCode, 1);

        // A hold made in the window holds in the tool, through a roll back.
        QVERIFY(window->manage()->holdApp(QStringLiteral("gamma")));
        QCOMPARE(cli.run({QStringLiteral("rollback"), QStringLiteral("gamma")}).exitCode, 0);
        QCOMPARE(cli.listed(QStringLiteral("gamma")).value(QStringLiteral("held")), QJsonValue(true));
        QCOMPARE(cli.listed(QStringLiteral("gamma")).value(QStringLiteral("state")).toObject(),
                 (QJsonObject{{QStringLiteral("installed"), QJsonObject{{QStringLiteral("version"), "1.0.0"}}}}));

        // Restarted on a catalog with 1.2.0: the skip no longer hides it; the holds stay.
        window.reset();
        cli.publish(third);
        window = makeStore(third);
        QCOMPARE(window->stateFor(QStringLiteral("beta")), AppInstallState::updateAvailable("1.0.0", "1.2.0"));
        QCOMPARE(window->manage()->updatableAppIDs(), QStringList{QStringLiteral("beta")});
        QCOMPARE(window->manage()->skippedUpdates(), QVariantMap());
        QCOMPARE(window->manage()->heldApps(), (QVariantMap{{"alpha", "1.0.0"}, {"gamma", "1.0.0"}}));

        // Released in the tool: offered again in the window. Released again: nothing was held or skipped, and it says so.
        const ToolSandbox::Result released = cli.run({QStringLiteral("release"), QStringLiteral("alpha"), QStringLiteral("--lang"), QStringLiteral("en")});
        QCOMPARE(released.exitCode, 0);
        QCOMPARE(released.out.trimmed(), QStringLiteral("Alpha is released: its updates are offered again."));
        const ToolSandbox::Result again = cli.run({QStringLiteral("release"), QStringLiteral("alpha"), QStringLiteral("--lang"), QStringLiteral("en")});
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(again.out.trimmed(), QStringLiteral("Alpha was neither held nor skipped; nothing changed."));
        QTRY_COMPARE_WITH_TIMEOUT(window->stateFor(QStringLiteral("alpha")), AppInstallState::updateAvailable("1.0.0", "1.2.0"), 5000);
        QCOMPARE(window->manage()->updatableAppIDs(), (QStringList{QStringLiteral("alpha"), QStringLiteral("beta")}));
        QVERIFY(!cli.listed(QStringLiteral("alpha")).contains(QStringLiteral("held")));
    }
};

QTEST_GUILESS_MAIN(SharedRecords)
#include "tst_shared_records.moc"
