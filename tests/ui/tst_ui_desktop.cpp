// One instance per user, finished-install notifications and the portal shortcut on a private bus, quitting from the tray,
// the command line without a display.

#include "AppScenes.h"
#include "DesktopNotifier.h"
#include "GlobalShortcut.h"
#include "InstallNotifications.h"
#include "InstallSandbox.h"
#include "LoopbackHttpServer.h"
#include "QmlHarness.h"
#include "QuitFlow.h"
#include "SingleInstance.h"
#include "ToolSandbox.h"
#include "TrayController.h"
#include "install/BackgroundCleanup.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QLocalSocket>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

// One entry of the shortcut list a portal answers BindShortcuts with, a(sa{sv}).
struct BoundShortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(BoundShortcut)

QDBusArgument &operator<<(QDBusArgument &argument, const BoundShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, BoundShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace {

// Records what the launcher posts; the test sends its click signal.
class NotificationService : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationService(QObject *host) : QDBusAbstractAdaptor(host) {}
    QList<QStringList> posted;  // app, summary, body, actions

public Q_SLOTS:
    uint Notify(const QString &app, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &, int)
    {
        posted.append({app, summary, body, actions.join(QLatin1Char(','))});
        return uint(posted.size());
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString &action);
};

// The portal's global shortcuts: each call answers with a request whose Response follows; records "id:trigger" bound.
class FakeShortcutPortal : public QDBusVirtualObject
{
public:
    static inline const QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/test/vantrel");
    QStringList bound;
    bool bindsNothing = false;  // answers BindShortcuts with success and an empty list, as some desktops do

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.interface() != QLatin1String("org.freedesktop.portal.GlobalShortcuts"))
            return false;
        const QVariantList arguments = message.arguments();
        QVariantMap results{{QStringLiteral("session_handle"), session}};
        if (message.member() == QLatin1String("BindShortcuts")) {
            const QDBusArgument list = arguments.value(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap properties;
                list.beginStructure();
                list >> id >> properties;
                list.endStructure();
                bound.append(id + QLatin1Char(':') + properties.value(QStringLiteral("preferred_trigger")).toString());
            }
            list.endArray();
            QList<BoundShortcut> granted;
            for (const QString &entry : std::as_const(bound)) {
                if (!bindsNothing)
                    granted.append({entry.section(QLatin1Char(':'), 0, 0), {}});
            }
            results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(granted));
        }
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString token = qdbus_cast<QVariantMap>(arguments.last()).value(QStringLiteral("handle_token")).toString();
        const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender + QLatin1Char('/') + token;
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0u << results;
        return connection.send(response);
    }
};

bool answers(const QString &name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(200);
}

// Sandbox launchers run offscreen, report their first frame and share a private runtime folder; returns their socket.
QString prepareLaunchers(ToolSandbox &sandbox)
{
    const QString runtime = sandbox.path(QStringLiteral("run"));
    if (!QDir().mkpath(runtime) || !QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {};
    QProcessEnvironment &env = sandbox.environment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VANTREL_REPORT_FIRST_FRAME"), QStringLiteral("1"));
    const QByteArray own = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    const QString name = SingleInstance::defaultName();
    if (own.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", own);
    return name.startsWith(runtime) ? name : QString();
}

}  // namespace

class TestUiDesktop : public QObject
{
    Q_OBJECT

    // The test's own session bus (tests/support/run-on-own-bus.py): it activates nothing of the machine's.
    const QString m_busAddress = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");

private Q_SLOTS:
    void initTestCase()
    {
        UiTest::initialise();
        QVERIFY2(QFile::exists(ToolSandbox::launcher()), "vantrel-launcher has not been built");
    }

    // Without any display the launcher answers --help and --version, and a start says why it cannot open a window,
    // in the system's language, with status 1 rather than Qt's abort and its advice to reinstall.
    void commandLineWithoutADisplay_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("said");
        QTest::newRow("en") << "en" << "vantrel-launcher: no display was found. Start it inside a desktop session";
        QTest::newRow("pl") << "pl" << "vantrel-launcher: nie znaleziono ekranu. Uruchom go w sesji pulpitu";
    }

    void commandLineWithoutADisplay()
    {
        QFETCH(QString, language);
        QFETCH(QString, said);
        ToolSandbox sandbox;
        QProcessEnvironment &env = sandbox.environment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "DBUS_SESSION_BUS_ADDRESS"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANGUAGE"), language);
        const ToolSandbox::Result help = sandbox.run({"--help"}, ToolSandbox::launcher());
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.contains(QLatin1String("--hidden")), qPrintable(help.output()));
        QCOMPARE(sandbox.run({"--version"}, ToolSandbox::launcher()).out.trimmed(),
                 QStringLiteral("vantrel-launcher " VANTREL_VERSION));
        const ToolSandbox::Result start = sandbox.run({}, ToolSandbox::launcher());
        QCOMPARE(start.exitCode, 1);
        QVERIFY2(start.err.contains(said), qPrintable(start.err));
        QVERIFY2(!start.err.contains(QLatin1String("Reinstalling")), qPrintable(start.err));
        QCOMPARE(sandbox.rootEntries(), QStringList());
    }

    // A killed launcher's socket is no obstacle; a second start hands over to the running launcher and ends.
    void oneLauncherPerUser()
    {
        ToolSandbox sandbox;
        const QString socket = prepareLaunchers(sandbox);
        QVERIFY(!socket.isEmpty());
        auto killed = sandbox.start({"--hidden"}, ToolSandbox::launcher());
        QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 10000);
        killed->kill();
        QVERIFY(killed->waitForFinished(5000));
        QVERIFY(QFile::exists(socket) && !answers(socket));

        auto first = sandbox.start({"--hidden"}, ToolSandbox::launcher());
        QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 10000);
        auto second = sandbox.start({}, ToolSandbox::launcher());
        QVERIFY2(second->waitForFinished(2000), "the second launcher is still running");
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(!second->readAllStandardOutput().contains("first-frame"));
        // The running launcher's hidden main window shows: its first frame is drawn.
        QByteArray firstOut;
        QTRY_VERIFY_WITH_TIMEOUT((firstOut += first->readAllStandardOutput()).contains("first-frame"), 10000);
        first->terminate();
        QVERIFY(first->waitForFinished(5000));

        // A launcher that is quitting hands nothing over: a start meanwhile runs itself.
        QTemporaryDir here;
        const QString name = here.filePath(QStringLiteral("instance"));
        SingleInstance quitting(name);
        QVERIFY(quitting.claim());
        QSignalSpy asked(&quitting, &SingleInstance::activationRequested);
        QVERIFY(!SingleInstance(name).claim());
        QTRY_COMPARE(asked.size(), 1);
        quitting.release();
        QVERIFY(SingleInstance(name).claim());
        QCOMPARE(asked.size(), 1);
    }

    void finishedInstallsNotifyOnlyWithoutAnActiveWindow()
    {
        if (m_busAddress.isEmpty())
            QSKIP("No session bus of the test's own to post to (run under tests/support/run-on-own-bus.py)");
        QDBusConnection serviceBus = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("service"));
        QObject host;
        auto *service = new NotificationService(&host);
        QVERIFY(serviceBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &host));
        QVERIFY(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));

        StoreView f;
        DesktopNotifier notifier(QStringLiteral("Vantrel"), QDBusConnection::connectToBus(m_busAddress, QStringLiteral("launcher")));
        InstallNotifications notifications(f.store.get(), &notifier);
        QVERIFY(!QGuiApplication::focusWindow());

        // No window active: the outcome, success or failure, is posted.
        f.install("notes");
        QTRY_COMPARE(service->posted.size(), 1);
        QCOMPARE(service->posted[0], (QStringList{"Vantrel", "Quill Notes", "Installed 1.0.0", "default,Quill Notes"}));
        f.h.installer->failWith(QStringLiteral("The checksum did not match."));
        f.install("cafe");
        QTRY_COMPARE(service->posted.size(), 2);
        QCOMPARE(service->posted[1].mid(1, 2),
                 (QStringList{"Café Menu", "Could not install Café Menu. The checksum did not match."}));

        // A click on the notification shows the app's page.
        QSignalSpy detail(AppScenes::instance(), &AppScenes::appDetailRequested);
        Q_EMIT service->ActionInvoked(1, QStringLiteral("default"));
        QTRY_COMPARE(detail.count(), 1);
        QCOMPARE(detail[0][0].toString(), QStringLiteral("notes"));

        // With a launcher window active, nothing; the next post proves none came before it.
        f.h.installer->behaviour = nullptr;
        f.open("tray/MenuBarLauncherView.qml", QSize(360, 400));
        QTRY_VERIFY(QGuiApplication::focusWindow());
        f.install("shots");
        f.host.window()->close();
        QTRY_VERIFY(!QGuiApplication::focusWindow());
        f.install("timer");
        QTRY_COMPARE(service->posted.size(), 3);
        QCOMPARE(service->posted[2][1], QStringLiteral("Tempo Timer"));
    }

    // Quit from the tray menu during a real download: asked first, keeping on changes nothing; quitting cancels the
    // install before the end, leaving no bundle, work folder, staged copy or record. A quit asked for stands when the
    // install ends before the answer: the launcher quits once, the app wholly installed.
    void quitDuringAnInstall_data()
    {
        QTest::addColumn<bool>("installEndsFirst");
        QTest::newRow("answered: quit") << false;
        QTest::newRow("the install ends before the answer") << true;
    }

    void quitDuringAnInstall()
    {
        QFETCH(bool, installEndsFirst);
        InstallSandbox sandbox;
        LoopbackHttpServer server;
        const QByteArray archive = notesApp().build();
        LoopbackHttpServer::Response download;
        download.body = archive;
        if (installEndsFirst) {
            download.throttleBytes = qMax<qint64>(1, archive.size() / 20);
            download.throttleMs = 50;
        } else {
            download.stallAfterBytes = archive.size() / 2;
        }
        server.serve(QStringLiteral("/notes.zip"), download);
        const AppManifestItem app = notesRelease(server.url(QStringLiteral("/notes.zip")), archive);

        StoreView f(TestCatalog::manifest({app}));
        f.h.appInstaller = std::shared_ptr<AppInstaller>(sandbox.makeInstaller());
        f.h.appInstalledCopies = std::shared_ptr<InstalledCopyOperations>(sandbox.makeInstalledCopies());
        f.relaunch();
        TrayController tray(f.store.get(), nullptr, QStringLiteral("Vantrel"));
        int quits = 0;
        QuitFlow flow(f.store.get(), AppScenes::instance(), [&quits] { ++quits; });
        f.open("windows/QuitConfirmation.qml");
        QQuickWindow *dialog = f.host.window();
        dialog->hide();  // shown by the host; the question shows it again
        QAction *quit = tray.menu()->findChild<QAction *>(QStringLiteral("trayQuit"));
        QVERIFY(quit);
        QCOMPARE(quit->text(), QStringLiteral("Quit"));
        // A menu item's ellipsis is the one character.
        QCOMPARE(tray.menu()->findChild<QAction *>(QStringLiteral("trayOpen"))->text(), QStringLiteral("Open Vantrel…"));

        f.store->installApp(app.id);
        QTRY_VERIFY(f.store->runningInstall(app.id) && f.store->runningInstall(app.id)->receivedBytes() > 0);
        quit->trigger();
        QCOMPARE(AppScenes::instance()->quitBlockers(), QStringList{app.name});
        QTRY_VERIFY(dialog->isVisible());
        if (installEndsFirst) {
            QTRY_COMPARE_WITH_TIMEOUT(quits, 1, 15000);
            QCOMPARE(f.store->stateFor(app.id), AppInstallState::installed(app.version));
            QCOMPARE(f.h.recorded(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{app.id, app.version}}));
            const QString bundle = f.store->installedAppURLs().value(app.id).toLocalFile();
            QCOMPARE(sandbox.rootEntries(), QStringList{QFileInfo(bundle).fileName()});
            QTRY_COMPARE(sandbox.leftovers(), QStringList());
            QTest::qWait(200);
            QCOMPARE(quits, 1);
            return;
        }
        f.host.click(f.item("quitConfirmationKeep"));
        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(quits, 0);
        QVERIFY(f.store->runningInstall(app.id));

        quit->trigger();
        QTRY_VERIFY(dialog->isVisible());
        f.host.click(f.item("quitConfirmationQuit"));
        QTRY_COMPARE(quits, 1);
        QCOMPARE(f.store->stateFor(app.id).kind(), AppInstallState::Kind::notInstalled);
        QVERIFY(f.store->installedAppURLs().isEmpty());
        QVERIFY(f.h.recorded(LauncherStore::installedVersionsKey).isEmpty());
        QCOMPARE(sandbox.rootEntries(), QStringList());
        QCOMPARE(sandbox.leftovers(), QStringList());
        QVERIFY(!f.store->errorMessage());
    }

    // Without an X server the desktop portal binds Ctrl+K, and its Activated reaches the launcher. Ctrl+K counts as
    // bound desktop-wide only when the portal's answer lists it: some desktops answer success and bind nothing.
    void portalBindsTheGlobalShortcut_data()
    {
        QTest::addColumn<bool>("bindsNothing");
        QTest::newRow("binds Ctrl+K") << false;
        QTest::newRow("answers with an empty list") << true;
    }

    void portalBindsTheGlobalShortcut()
    {
        QFETCH(bool, bindsNothing);
        if (m_busAddress.isEmpty())
            QSKIP("No session bus of the test's own for a portal (run under tests/support/run-on-own-bus.py)");
        qDBusRegisterMetaType<BoundShortcut>();
        qDBusRegisterMetaType<QList<BoundShortcut>>();
        QDBusConnection portalBus = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("portal"));
        FakeShortcutPortal portal;
        portal.bindsNothing = bindsNothing;
        QVERIFY(portalBus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal));
        QVERIFY(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        const auto unregister = qScopeGuard([&portalBus] {
            portalBus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
            portalBus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
        });

        GlobalShortcut shortcut(QDBusConnection::connectToBus(m_busAddress, QStringLiteral("launcher-shortcut")));
        QSignalSpy activated(&shortcut, &GlobalShortcut::activated);
        shortcut.enable();
        QTRY_COMPARE(portal.bound, QStringList{"quick-switcher:CTRL+k"});
        QDBusMessage pressed = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                          QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                                          QStringLiteral("Activated"));
        pressed << QVariant::fromValue(QDBusObjectPath(FakeShortcutPortal::session)) << QStringLiteral("quick-switcher")
                << qulonglong(0) << QVariantMap();
        if (bindsNothing) {
            // The Response follows BindShortcuts' reply at once; give the launcher time to read it.
            QTest::qWait(200);
            QCOMPARE(shortcut.mode(), GlobalShortcut::Mode::none);  // Preferences: "Works inside the launcher"
            QVERIFY(portalBus.send(pressed));
            QTest::qWait(100);
            QCOMPARE(activated.count(), 0);
            return;
        }
        QTRY_COMPARE(shortcut.mode(), GlobalShortcut::Mode::portal);
        QVERIFY(portalBus.send(pressed));
        QTRY_COMPARE(activated.count(), 1);
    }
};

QTEST_MAIN(TestUiDesktop)
#include "tst_ui_desktop.moc"
