// The launcher as a desktop citizen: one instance per user (a second start
// hands over and ends; a socket left by a killed launcher is no obstacle) and
// notifications of finished installs, posted to a stand-in notification
// service on a private session bus only while no launcher window is active.

#include "AppScenes.h"
#include "DesktopNotifier.h"
#include "InstallNotifications.h"
#include "QmlHarness.h"
#include "SingleInstance.h"
#include "ToolSandbox.h"

#include <QDBusAbstractAdaptor>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// Records what the launcher posts; the test sends its click signal.
class NotificationService : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationService(QObject *host) : QDBusAbstractAdaptor(host) {}
    QList<QStringList> posted;  // summary, body, actions

public Q_SLOTS:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &, int)
    {
        posted.append({summary, body, actions.join(QLatin1Char(','))});
        return uint(posted.size());
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString &action);
};

bool answers(const QString &name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(200);
}

}  // namespace

class TestUiDesktop : public QObject
{
    Q_OBJECT

    QProcess m_bus;
    QString m_busAddress;

private Q_SLOTS:
    void initTestCase()
    {
        UiTest::initialise();
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_bus.start(daemon, {"--session", "--nofork", "--print-address=1"});
        if (m_bus.waitForReadyRead(5000))
            m_busAddress = QString::fromUtf8(m_bus.readLine()).trimmed();
    }
    void cleanupTestCase()
    {
        m_bus.terminate();
        m_bus.waitForFinished(5000);
    }

    void secondStartHandsOverAndEnds()
    {
        QVERIFY2(QFile::exists(ToolSandbox::launcher()), "vantrel-launcher has not been built");
        ToolSandbox sandbox;
        const QString runtime = sandbox.path(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime) && QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        sandbox.environment().insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        sandbox.environment().insert(QStringLiteral("VANTREL_REPORT_FIRST_FRAME"), QStringLiteral("1"));
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        const QString socket = SingleInstance::defaultName();
        QVERIFY2(socket.startsWith(runtime), qPrintable(socket));

        // A launcher killed outright leaves its socket behind.
        auto killed = sandbox.start({"--hidden"}, ToolSandbox::launcher());
        QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);
        killed->kill();
        QVERIFY(killed->waitForFinished(5000));
        QVERIFY(QFile::exists(socket) && !answers(socket));

        // The next start takes its place, with its window hidden until asked.
        auto first = sandbox.start({"--hidden"}, ToolSandbox::launcher());
        QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);
        QByteArray firstOut = first->readAllStandardOutput();
        QVERIFY(!firstOut.contains("first-frame"));

        QElapsedTimer clock;
        clock.start();
        const ToolSandbox::Result second = sandbox.run({}, ToolSandbox::launcher());
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!second.out.contains("first-frame"));
        // The running launcher's main window shows: its first frame is drawn.
        QTRY_VERIFY_WITH_TIMEOUT((firstOut += first->readAllStandardOutput()).contains("first-frame"), 10000);
        first->terminate();
        QVERIFY(first->waitForFinished(5000));
    }

    void finishedInstallsNotifyOnlyWithoutAnActiveWindow()
    {
        if (m_busAddress.isEmpty())
            QSKIP("dbus-daemon is not available");
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
        QCOMPARE(service->posted[0], (QStringList{"Quill Notes", "Installed 1.0.0", "default,Quill Notes"}));
        f.h.installer->failWith(QStringLiteral("The checksum did not match."));
        f.install("cafe");
        QTRY_COMPARE(service->posted.size(), 2);
        QCOMPARE(service->posted[1].mid(0, 2),
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
        QCOMPARE(service->posted[2][0], QStringLiteral("Tempo Timer"));
    }
};

QTEST_MAIN(TestUiDesktop)
#include "tst_ui_desktop.moc"
