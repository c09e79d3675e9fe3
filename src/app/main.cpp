// vantrel-launcher: builds the one store with its real collaborators and
// opens the main window, the tray icon's panel and the settings window. A
// second start by the same user shows the running launcher's window instead.

#include "AppScenes.h"
#include "DesktopNotifier.h"
#include "FirstFrameReport.h"
#include "InstallNotifications.h"
#include "SceneGraphChoice.h"
#include "SingleInstance.h"
#include "SymbolGlyphs.h"
#include "TrayController.h"
#include "i18n/VantrelCopy.h"
#include "install/AppInstaller.h"
#include "log/Logging.h"
#include "store/LauncherStore.h"

#include "DefaultCollaborators.h"
#include "SystemLanguage.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QNetworkAccessManager>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>

#include <cstdio>
#include <cstring>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

int main(int argc, char *argv[])
{
    // Answered before the window system is reached, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("vantrel-launcher %s\n", VANTREL_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    FirstFrameReport::mark("application");
    QApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationName(QStringLiteral("VantrelLauncher"));
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Vantrel launcher."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("version"), QStringLiteral("Shows the version.")});
    const QCommandLineOption hidden(QStringLiteral("hidden"),
                                    QStringLiteral("Starts without showing the main window (as at login); "
                                                   "starting the launcher again shows it."));
    parser.addOption(hidden);
    parser.process(app);

    SingleInstance instance;
    if (!instance.claim())
        return 0;
    // Before the first window exists.
    const QString sceneGraph = SceneGraphChoice::apply();
    qCInfo(lcUi).noquote() << "Scene graph:" << sceneGraph;

    QApplication::setDesktopFileName(QStringLiteral("vantrel-launcher"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qt/qml/Vantrel/resources/vantrel-launcher.png")));
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    SymbolGlyphs::ensureFontLoaded();

    // The window title follows the system language at start-up.
    const QString appName = VantrelCopy::text(CopyKey::brand, VantrelLocaleUtil::normalized(SystemLanguage().preferredLanguage()));

    auto *session = new QNetworkAccessManager(&app);
    const QString installRoot = defaultInstallRoot();
    // Clear what an install interrupted by a crash left behind (live installs are skipped).
    AppInstaller::removeLeftovers(installRoot);
    LauncherStore::Collaborators c = defaultCollaborators(session, installRoot);
    auto *store = new LauncherStore(std::move(c), SeedManifest::manifest(), &app);
    FirstFrameReport::mark("store");
    // The catalog the last refresh kept, so the first frame shows the user's
    // own; the refresh the main window starts follows it.
    store->restoreStoredCatalog();
    FirstFrameReport::mark("stored-catalog");

    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/qt/qml/Vantrel/qml/windows/LauncherScenes.qml")));
    if (component.isError()) {
        qCritical().noquote() << component.errorString();
        return 1;
    }
    QObject *scenes = component.createWithInitialProperties(
        {{QStringLiteral("store"), QVariant::fromValue(store)}, {QStringLiteral("appName"), appName}});
    if (!scenes) {
        qCritical().noquote() << component.errorString();
        return 1;
    }
    auto *mainWindow = qobject_cast<QQuickWindow *>(scenes->property("mainWindow").value<QObject *>());
    auto *panel = qobject_cast<QQuickWindow *>(scenes->property("menuBarPanel").value<QObject *>());
    if (!mainWindow) {
        qCritical("The main window could not be created.");
        return 1;
    }
    FirstFrameReport::mark("windows");

    TrayController tray(store, panel, appName);
    DesktopNotifier notifier(appName);
    notifier.setTray(&tray);
    InstallNotifications notifications(store, &notifier);
    QObject::connect(&instance, &SingleInstance::activationRequested, AppScenes::instance(), &AppScenes::showMainWindow);
    // With the tray icon shown, closing the windows keeps the launcher in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, [&tray] {
        if (!tray.isIconVisible())
            QCoreApplication::quit();
    });

    FirstFrameReport::watch(mainWindow, store);
    FirstFrameReport::watchCatalog(mainWindow, store);
    FirstFrameReport::watchOpening(mainWindow, {
        {QStringLiteral("preferences"), [] { AppScenes::instance()->showSettingsWindow(); }, QStringLiteral("settings")},
        {QStringLiteral("switcher"), [mainWindow] {
             if (QObject *root = mainWindow->property("rootView").value<QObject *>())
                 root->setProperty("showQuickSwitcher", true);
         }, QStringLiteral("main")},
        // What a click on the tray icon does, where the desktop has no tray to click.
        {QStringLiteral("tray"), [panel = QPointer<QQuickWindow>(panel)] { if (panel) panel->show(); }, QStringLiteral("menuBarPanel")},
    });
    if (!parser.isSet(hidden))
        mainWindow->show();
    const int code = app.exec();
    delete scenes;
    return code;
}
