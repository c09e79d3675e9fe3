// The application's three scenes over the one store: the main window, the
// tray icon's panel and the settings window. The application shows the main
// window; the tray and the settings row bring up the others.
import QtQuick
import Vantrel

QtObject {
    id: scenes
    required property LauncherStore store
    property string appName: "Vantrel"

    property MainWindow mainWindow: MainWindow {
        store: scenes.store
        appName: scenes.appName
    }
    property MenuBarPanel menuBarPanel: MenuBarPanel {
        store: scenes.store
        appName: scenes.appName
    }
    property SettingsWindow settingsWindow: SettingsWindow {
        store: scenes.store
        appName: scenes.appName
    }

    // Asks before a quit cancels running installs.
    property QuitConfirmation quitConfirmation: QuitConfirmation {
        store: scenes.store
        appName: scenes.appName
    }

    property Connections sceneRequests: Connections {
        target: AppScenes
        function onSettingsWindowRequested() { scenes.settingsWindow.bringUp() }
        function onMainWindowRequested() { scenes.mainWindow.bringUp() }
        function onAppDetailRequested(appId) { scenes.mainWindow.showAppDetail(appId) }
        function onQuickSwitcherRequested() { scenes.mainWindow.showQuickSwitcher() }
    }
}
