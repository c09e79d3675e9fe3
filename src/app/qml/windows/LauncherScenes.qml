// The application's scenes over the one store: the main window, the tray
// icon's panel, the settings window and the About window. The application shows the main
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
    property Window aboutWindow: null
    // Asks before a quit cancels running installs; made when a quit is blocked.
    property Window quitConfirmation: null

    // The other scenes' files are compiled in the background once the main
    // window has drawn, so neither the first frame nor a first opening waits.
    readonly property var sceneFiles: ({ menuBarPanel: "MenuBarPanel.qml", settingsWindow: "SettingsWindow.qml",
                                         aboutWindow: "AboutWindow.qml", quitConfirmation: "QuitConfirmation.qml" })
    // Views the scenes host by file, so each would compile on its first opening.
    readonly property var hostedViews: ["../tray/MenuBarLauncherView.qml", "../preferences/PreferencesView.qml",
                                        "../switcher/QuickSwitcherView.qml", "../about/AboutView.qml"]
    property var compiling: []
    property Connections firstFrame: Connections {
        target: scenes.mainWindow
        enabled: scenes.compiling.length === 0
        function onFrameSwapped() {
            scenes.compiling = Object.values(scenes.sceneFiles).concat(scenes.hostedViews)
                .map(file => Qt.createComponent(file, Component.Asynchronous))
        }
    }

    // Makes the named scene (waiting for its file if it is still compiling).
    function make(name) {
        if (scenes[name])
            return scenes[name]
        const component = Qt.createComponent(sceneFiles[name])
        const initial = { store: scenes.store, appName: scenes.appName }
        // The quit question is the main window's: kept over it, with no taskbar entry of its own.
        if (name === "quitConfirmation")
            initial.transientParent = scenes.mainWindow
        const window = component.createObject(scenes, initial)
        if (!window) {
            console.warn(component.errorString())
            return null
        }
        window.visibleChanged.connect(function() { if (!window.visible) scenes.release(name) })
        scenes[name] = window
        return window
    }
    function ensureMenuBarPanel() {
        return make("menuBarPanel")
    }
    function ensureSettingsWindow() {
        return make("settingsWindow")
    }
    // A hidden scene is destroyed; the next use makes a fresh one.
    function release(name) {
        const window = scenes[name]
        if (!window || window.visible)
            return
        scenes[name] = null
        window.destroy()
    }

    property Connections sceneRequests: Connections {
        target: AppScenes
        function onSettingsWindowRequested() { scenes.ensureSettingsWindow().bringUp() }
        function onAboutWindowRequested() { scenes.make("aboutWindow").bringUp() }
        function onMainWindowRequested() { scenes.mainWindow.bringUp() }
        function onAppDetailRequested(appId) { scenes.mainWindow.showAppDetail(appId) }
        function onQuickSwitcherRequested() { scenes.mainWindow.showQuickSwitcher() }
        function onQuitBlockersChanged() {
            if (AppScenes.quitBlockers.length === 0)
                return
            // Asked from the tray while the window is hidden: it comes up with the question over it.
            scenes.mainWindow.bringUp()
            if (!scenes.quitConfirmation)
                scenes.make("quitConfirmation")
        }
    }
}
