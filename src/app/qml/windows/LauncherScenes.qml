// The application's three scenes over the one store: the main window, the
// tray icon's panel and the settings window. The application shows the main
// window; the tray and the settings row bring up the others, which are made
// on first use and dropped when hidden: a window nobody sees costs no start-up
// time or memory and is not offered to assistive technology.
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
    // Null until first use.
    property Window menuBarPanel: null
    property Window settingsWindow: null

    property Component menuBarPanelComponent: Component {
        MenuBarPanel {
            store: scenes.store
            appName: scenes.appName
            onVisibleChanged: if (!visible) scenes.release("menuBarPanel")
        }
    }
    property Component settingsWindowComponent: Component {
        SettingsWindow {
            store: scenes.store
            appName: scenes.appName
            onVisibleChanged: if (!visible) scenes.release("settingsWindow")
        }
    }

    function ensureMenuBarPanel() {
        if (!menuBarPanel)
            menuBarPanel = menuBarPanelComponent.createObject(scenes)
        return menuBarPanel
    }
    function ensureSettingsWindow() {
        if (!settingsWindow)
            settingsWindow = settingsWindowComponent.createObject(scenes)
        return settingsWindow
    }
    // A hidden scene is destroyed; the next use makes a fresh one.
    function release(name) {
        const window = scenes[name]
        if (!window || window.visible)
            return
        scenes[name] = null
        window.destroy()
    }

    // Asks before a quit cancels running installs; made when a quit is blocked.
    property Window quitConfirmation: null
    property Component quitConfirmationComponent: Component {
        QuitConfirmation {
            store: scenes.store
            appName: scenes.appName
            onVisibleChanged: if (!visible) scenes.release("quitConfirmation")
        }
    }

    property Connections sceneRequests: Connections {
        target: AppScenes
        function onSettingsWindowRequested() { scenes.ensureSettingsWindow().bringUp() }
        function onMainWindowRequested() { scenes.mainWindow.bringUp() }
        function onAppDetailRequested(appId) { scenes.mainWindow.showAppDetail(appId) }
        function onQuickSwitcherRequested() { scenes.mainWindow.showQuickSwitcher() }
        function onQuitBlockersChanged() {
            if (AppScenes.quitBlockers.length > 0 && !scenes.quitConfirmation)
                scenes.quitConfirmation = scenes.quitConfirmationComponent.createObject(scenes)
        }
    }
}
