// vantrel-launcher: builds the one store with its real collaborators and
// opens the main window, the tray icon's panel, the settings window and
// About. A second start by the same user shows the running launcher's window
// instead.

#include "AboutFacts.h"
#include "AppScenes.h"
#include "DesktopIntegration.h"
#include "FirstFrameParts.h"
#include "FirstFrameReport.h"
#include "ImageCacheFactory.h"
#include "LauncherOptions.h"
#include "QuitFlow.h"
#include "LanguageRefresh.h"
#include "LinkRouter.h"
#include "NoDisplayExit.h"
#include "SceneGraphChoice.h"
#include "SeatlessWayland.h"
#include "SingleInstance.h"
#include "SymbolGlyphs.h"
#include "catalog/ManifestClient.h"
#include "install/InstallLeftovers.h"
#include "UiLogging.h"
#include "store/LauncherStore.h"

#include "DefaultCollaborators.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QNetworkAccessManager>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

#include <future>
#include <optional>
#include <memory>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace {

// What runLauncher made and hands to runWindows.
struct Windows {
    LauncherStore *store;
    QObject *scenes;
    QQuickWindow *mainWindow;
    QString appName;
};

// What the windows need around them (tray, desktop, links, quitting); runs the event loop.
int runWindows(QApplication &app, SingleInstance &instance, const QByteArray &link, bool startHidden, Windows windows)
{
    LauncherStore *store = windows.store;
    QObject *scenes = windows.scenes;
    QQuickWindow *mainWindow = windows.mainWindow;
    const QString appName = windows.appName;
    // The tray panel is made on first use.
    const auto trayPanel = [scenes]() -> QWindow * {
        QVariant panel;
        QMetaObject::invokeMethod(scenes, "ensureMenuBarPanel", Q_RETURN_ARG(QVariant, panel));
        return qobject_cast<QWindow *>(panel.value<QObject *>());
    };
    std::unique_ptr<DesktopIntegration> desktop;
    const auto startDesktop = [&] {
        if (desktop)
            return;
        // Reading the icon looks through every image format plugin: not before the first frame.
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/qt/qml/Vantrel/resources/vantrel-launcher.png")));
        desktop = std::make_unique<DesktopIntegration>(store, appName, trayPanel);
    };
    if (!startHidden) {
        QObject::connect(mainWindow, &QQuickWindow::frameSwapped, &app, startDesktop,
                         Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    }
    // Hidden, or a window the desktop never exposes (another workspace), draws no frame.
    QTimer::singleShot(startHidden ? 0 : 2000, &app, startDesktop);
    QObject::connect(&instance, &SingleInstance::activationRequested, AppScenes::instance(), &AppScenes::showMainWindow);
    LinkRouter links(store, mainWindow);
    QObject::connect(&instance, &SingleInstance::linkReceived, &links, &LinkRouter::follow);
    if (!link.isEmpty())
        links.follow(link);
    // Quit from the tray menu, the panel or Ctrl+Q: running installs are cancelled first, after asking.
    QuitFlow quitFlow(store, AppScenes::instance(), [] { QCoreApplication::quit(); });
    // With the tray icon shown, closing the windows keeps the launcher in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    // Without it, closing the last window quits, cancelling running installs cleanly first.
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, [&desktop, &quitFlow] {
        if (!desktop || !desktop->isTrayIconVisible())
            quitFlow.confirm();
    });

    // Counted before the first-frame line, which ends the bench's wait.
    FirstFrameReport::watchObjects(mainWindow, [mainWindow, scenes, store] { return FirstFrameParts::of(mainWindow, scenes, store); });
    FirstFrameReport::watch(mainWindow, store);
    FirstFrameReport::watchCatalog(mainWindow, store);
    FirstFrameReport::watchOpening(mainWindow, {
        {QStringLiteral("preferences"), [] { AppScenes::instance()->showSettingsWindow(); }, QStringLiteral("settings")},
        {QStringLiteral("switcher"), [mainWindow] {
             if (QObject *root = mainWindow->property("rootView").value<QObject *>())
                 root->setProperty("showQuickSwitcher", true);
         }, QStringLiteral("main")},
        // What a click on the tray icon does, where the desktop has no tray to click.
        {QStringLiteral("tray"), [trayPanel] { if (QWindow *panel = trayPanel()) panel->show(); }, QStringLiteral("menuBarPanel")},
    });
    if (!startHidden)
        mainWindow->show();
    const int code = app.exec();
    // Tearing down can take a moment; a start meanwhile must not hand over to us.
    instance.release();
    desktop.reset();
    delete scenes;
    return code;
}

// The store, the engine and the windows over them; then the launcher runs until it quits.
int runLauncher(QApplication &app, SingleInstance &instance, const QByteArray &link, bool startHidden)
{
    // Before the first window exists.
    const QString sceneGraph = SceneGraphChoice::apply();
    qCInfo(lcUi).noquote() << "Scene graph:" << sceneGraph;

    QApplication::setDesktopFileName(QStringLiteral("vantrel-launcher"));
    auto *session = new QNetworkAccessManager(&app);
    const QString installRoot = defaultInstallRoot();
    LauncherStore::Collaborators c = defaultCollaborators(session, installRoot);
    if (const auto client = std::dynamic_pointer_cast<RemoteManifestClient>(c.manifestLoader))
        AboutFacts::instance()->setCatalogUrl(client->endpoint().toString());
    // The symbol font (and with it the font database) loads beside the store.
    std::future<QString> symbolFont = std::async(std::launch::async, &SymbolGlyphs::ensureFontLoaded);
    // Outlives the engine, which asks it for the icons' network access.
    ImageCacheFactory imageNetwork(ImageCacheFactory::defaultFolder());
    // The windows' QML compiles on the engine's loader thread while the store is built.
    // A plain engine: the windows come from our own component, so the application
    // engine's extras (loading by file, a file selector on every URL) go unused.
    QQmlEngine engine;
    engine.setNetworkAccessManagerFactory(&imageNetwork);
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    const QUrl scenesUrl(QStringLiteral("qrc:/qt/qml/Vantrel/qml/windows/LauncherScenes.qml"));
    QQmlComponent compiling(&engine);
    compiling.loadUrl(scenesUrl, QQmlComponent::Asynchronous);
    FirstFrameReport::mark("engine");

    // Clear what an install interrupted by a crash left behind (live installs are skipped).
    InstallLeftovers::remove(installRoot);
    auto *store = new LauncherStore(std::move(c), SeedManifest::manifest(), &app);
    FirstFrameReport::mark("store");
    // The catalog the last refresh kept, so the first frame shows the user's
    // own; the refresh the main window starts follows it. Read on this thread:
    // a worker, with fresh memory to fault in, finished later.
    store->restoreStoredCatalog();
    FirstFrameReport::mark("stored-catalog");
    // The first view the main window hosts (by URL, as its slot loads it) compiles
    // on the loader thread too, while the main window is made here.
    const QUrl firstViewUrl(store->requiresOnboarding() ? QStringLiteral("qrc:/qt/qml/Vantrel/qml/onboarding/OnboardingView.qml")
                                                        : QStringLiteral("qrc:/qt/qml/Vantrel/qml/shell/LauncherShellView.qml"));
    QQmlComponent firstView(&engine);
    // Only time is lost if it fails: the slot loads its view itself.
    QObject::connect(&firstView, &QQmlComponent::statusChanged, &app, [&firstView](QQmlComponent::Status status) {
        if (status == QQmlComponent::Error)
            qCWarning(lcUi).noquote() << firstView.errorString();
    });
    firstView.loadUrl(firstViewUrl, QQmlComponent::Asynchronous);
    // The store put the system language's translations in place.
    const QString appName = qtTrId("brand");

    refreshViewsOnLanguageChange(store, &engine);
    symbolFont.wait();
    // Takes over the compilation begun above and waits for it without running
    // the event loop, so nothing (a second start's request) is handled before
    // the windows exist.
    QQmlComponent component(&engine, scenesUrl);
    FirstFrameReport::mark("component");
    if (component.isError()) {
        qCCritical(lcUi).noquote() << component.errorString();
        return 1;
    }
    QObject *scenes = component.createWithInitialProperties(
        {{QStringLiteral("store"), QVariant::fromValue(store)}, {QStringLiteral("appName"), appName}});
    if (!scenes) {
        qCCritical(lcUi).noquote() << component.errorString();
        return 1;
    }
    auto *mainWindow = qobject_cast<QQuickWindow *>(scenes->property("mainWindow").value<QObject *>());
    if (!mainWindow) {
        qCCritical(lcUi) << "The main window could not be created.";
        return 1;
    }
    FirstFrameReport::mark("windows");
    return runWindows(app, instance, link, startHidden, {store, scenes, mainWindow, appName});
}

}  // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = LauncherOptions::answerWithoutWindows(argc, argv))
        return *answered;

    FirstFrameReport::mark("main");
    SeatlessWayland::chooseInputMethod();
    FirstFrameReport::startObjectCensus();
    std::optional<NoDisplayExit> noDisplay(std::in_place);
    QApplication app(argc, argv);
    noDisplay.reset();
    FirstFrameReport::mark("application");
    QApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationName(QStringLiteral("VantrelLauncher"));
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    const bool startHidden = LauncherOptions::startsHidden(app);
    if (FirstFrameReport::floorAsked()) {
        SceneGraphChoice::apply();
        return FirstFrameReport::showFloor();
    }

    // A link from a web page or the desktop's search (QApplication took its own options out).
    const QByteArray link = LinkRouter::linkArgument(argc, argv);
    SingleInstance instance;
    if (!instance.claim(LinkRouter::forHandOver(link)))
        return 0;
    return runLauncher(app, instance, link, startHidden);
}
