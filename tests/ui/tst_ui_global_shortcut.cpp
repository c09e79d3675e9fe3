// Ctrl+K over another client's focused window on a virtual X server brings up the switcher; the tray panel stays off the
// taskbar; without a tray, closing the launcher's window quits it. Skipped, saying why, without an X server or where the
// grab is refused.

#include "GlobalShortcut.h"
#include "QmlHarness.h"
#include "ToolSandbox.h"
#include "X11WindowHints.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRasterWindow>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>
#include <xcb/xcb.h>

namespace {

const char otherWindowFlag[] = "--other-window";

QString xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(10000))
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return value;
}

// What a window manager's close button does: asks the window's client to close it (WM_DELETE_WINDOW).
void askToClose(xcb_window_t window)
{
    xcb_connection_t *c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, "WM_PROTOCOLS");
    event.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

}  // namespace

class TestUiGlobalShortcut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        UiTest::initialise();
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("No X server (run under tests/support/run-on-xvfb.py with QT_QPA_PLATFORM=xcb): the desktop-wide grab needs one");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed: nothing can press keys on the X server");
    }

    void ctrlKWithAnotherWindowFocusedOpensTheSwitcher()
    {
        GlobalShortcut shortcut;
        shortcut.enable();
        if (shortcut.mode() != GlobalShortcut::Mode::x11Grab)
            QSKIP("The X server refused the Ctrl+K grab (another client holds it)");

        StoreView f;
        QObject *window = f.openMainWindow();
        f.waitForRefresh();
        QObject::connect(&shortcut, &GlobalShortcut::activated, window, [window] {
            QMetaObject::invokeMethod(window, "showQuickSwitcher");
        });
        f.host.window()->hide();

        // Another client's window, focused.
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(otherWindowFlag)});
        QVERIFY(other.waitForReadyRead(10000));
        const QString otherId = QString::fromUtf8(other.readLine()).trimmed();
        xdotool({"windowfocus", "--sync", otherId});
        QTRY_COMPARE(xdotool({"getwindowfocus"}), otherId);

        xdotool({"key", "ctrl+k"});
        QTRY_VERIFY(f.host.window()->isVisible());
        QTRY_VERIFY(f.item("rootView")->property("showQuickSwitcher").toBool());
        QTRY_VERIFY(ViewHost::shown(f.item("quickSwitcherPanel")));
        other.kill();
        other.waitForFinished(5000);
    }

    void trayPanelStaysOutOfTheTaskbar()
    {
        StoreView f;
        f.open("windows/MenuBarPanel.qml");
        QQuickWindow *panel = f.host.window();
        panel->hide();
        X11WindowHints::keepOutOfTaskbar(panel);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"), {"-id", QString::number(panel->winId()), "_NET_WM_STATE"});
        if (!xprop.waitForFinished(10000))
            QSKIP("xprop did not answer");
        const QString state = QString::fromUtf8(xprop.readAllStandardOutput());
        QVERIFY2(state.contains("_NET_WM_STATE_SKIP_TASKBAR") && state.contains("_NET_WM_STATE_SKIP_PAGER"), qPrintable(state));
    }

    // The real launcher where no tray exists (no tray on this X server, no session bus to find one on): closing its
    // main window quits it, with status 0.
    void closingTheWindowQuitsWithoutATray()
    {
        ToolSandbox sandbox;
        const QString runtime = sandbox.path(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime) && QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment &env = sandbox.environment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + runtime + QStringLiteral("/no-bus"));
        env.insert(QStringLiteral("VANTREL_REPORT_FIRST_FRAME"), QStringLiteral("1"));
        auto launcher = sandbox.start({}, ToolSandbox::launcher());
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += launcher->readAllStandardOutput()).contains("first-frame"), 20000);
        const QString window = xdotool({"search", "--onlyvisible", "--pid", QString::number(launcher->processId()), "--name", "^Vantrel$"});
        QVERIFY2(!window.isEmpty() && !window.contains(QLatin1Char('\n')), qPrintable(window));
        askToClose(window.toUInt());
        QVERIFY2(launcher->waitForFinished(10000), "the launcher runs on after its window closed");
        QCOMPARE(launcher->exitStatus(), QProcess::NormalExit);
        QCOMPARE(launcher->exitCode(), 0);
    }
};

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], otherWindowFlag) == 0) {
        // The other client: one plain window; its X id goes to the test.
        QGuiApplication app(argc, argv);
        QRasterWindow window;
        window.setTitle(QStringLiteral("other client"));
        window.resize(300, 200);
        window.show();
        std::printf("%llu\n", static_cast<unsigned long long>(window.winId()));
        std::fflush(stdout);
        return app.exec();
    }
    QApplication app(argc, argv);
    TestUiGlobalShortcut test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_global_shortcut.moc"
