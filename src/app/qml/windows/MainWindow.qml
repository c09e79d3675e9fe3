// The main window ("main"): titled with the application name, always dark.
// Each time its content appears it refreshes the catalog; F5 and Ctrl+R
// refresh it again, Ctrl+Q quits.
import QtQuick
import QtQuick.Templates as T
import Vantrel

// Templates only: the first frame need not load a style.
T.ApplicationWindow {
    id: window
    objectName: "main"
    required property LauncherStore store
    property string appName: "Vantrel"
    readonly property alias rootView: rootView

    // Never larger than the screen it opens on (large text on a small screen
    // leaves few logical pixels), with room for the window's frame and title
    // bar; the views scroll where they must.
    readonly property int roomWidth: Math.floor(Math.min(Screen.width, Screen.desktopAvailableWidth) * 0.96)
    readonly property int roomHeight: Math.floor(Math.min(Screen.height, Screen.desktopAvailableHeight) * 0.92)

    title: appName
    minimumWidth: Math.min(900, roomWidth)
    minimumHeight: Math.min(620, roomHeight)
    width: Math.min(1060, roomWidth)
    height: Math.min(720, roomHeight)
    color: VNT.bg0
    palette.window: VNT.bg0
    palette.windowText: VNT.fg0
    palette.base: VNT.bg2
    palette.text: VNT.fg0
    palette.button: VNT.bg3
    palette.buttonText: VNT.fg0
    palette.highlight: VNT.lime
    palette.highlightedText: VNT.ink
    palette.placeholderText: VNT.fg2

    RootView {
        id: rootView
        anchors.fill: parent
        store: window.store
    }

    Shortcut {
        objectName: "refreshShortcut"
        sequences: ["F5", "Ctrl+R"]
        context: Qt.WindowShortcut
        onActivated: window.store.refreshCatalog()
    }
    property QuitKeys quitKeys: QuitKeys { objectName: "quitShortcut" }

    // The start-up task: runs every time the content appears (once per
    // hidden-to-shown change, however often the window reports visibility).
    property bool contentShown: false
    function contentAppeared() {
        const shown = visibility !== Window.Hidden
        if (shown && !contentShown) {
            contentShown = true
            store.refreshCatalog()
        } else if (!shown) {
            contentShown = false
        }
    }
    onVisibilityChanged: {
        contentAppeared()
        if (visibility === Window.Windowed || visibility === Window.Maximized || visibility === Window.FullScreen)
            shownAs = visibility
    }
    Component.onCompleted: contentAppeared()

    // An app's page: selected, and in a narrow window the sliding panel opened.
    function showAppDetail(appId) {
        store.selectedAppID = appId
        const shell = rootView.shell
        if (shell && shell.compact)
            shell.showCompactDetail = true
        bringUp()
    }

    // The library, filtered by terms (none: all of it), as a link asks.
    function showLibrarySearch(terms) {
        const shell = rootView.shell
        if (shell) {
            shell.showCompactDetail = false
            shell.searchText = terms
        }
        bringUp()
    }

    // The quick switcher over the library, from anywhere (the desktop-wide Ctrl+K).
    function showQuickSwitcher() {
        bringUp()
        if (!store.requiresOnboarding)
            rootView.showQuickSwitcher = true
    }

    // How the window was last on screen, so that coming back (from the tray,
    // Ctrl+K, a notification) restores it as the user left it: show() alone
    // would make a maximised window normal again.
    property int shownAs: Window.Windowed
    function bringUp() {
        if (visibility === Window.Minimized || visibility === Window.Hidden)
            visibility = shownAs
        raise()
        requestActivate()
    }
}
