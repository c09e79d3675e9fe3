// The tray icon's panel: a frameless window, height from its content
// (../tray/MenuBarLauncherView.qml, created with `store`). A pop-up: it hides
// on Escape and when it loses focus, like a menu-bar panel (the tray keeps it
// out of the taskbar). Ctrl+1…9 run the app of that row, Ctrl+Shift+T opens
// the main window, Ctrl+Q quits.
import QtQuick
import QtQuick.Controls.Basic
import Vantrel

Window {
    id: panel
    objectName: "menuBarPanel"
    required property LauncherStore store
    property string appName: "Vantrel"

    title: appName
    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
    width: 360
    minimumWidth: 360
    maximumWidth: 360
    height: Math.max(120, Math.min(content.implicitHeight, 720))
    color: VNT.bg1

    ViewSlot {
        id: content
        anchors.fill: parent
        active: true
        viewUrl: Qt.resolvedUrl("../tray/MenuBarLauncherView.qml")
        initialProperties: ({ store: panel.store })
        placeholderText: qsTrId("openVantrel")
    }
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.color: VNT.line
        border.width: 1
    }

    onActiveChanged: if (!active && visible) hide()
    Shortcut {
        objectName: "panelEscape"
        sequences: [StandardKey.Cancel]
        context: Qt.WindowShortcut
        onActivated: panel.hide()
    }
    property QuitKeys quitKeys: QuitKeys {}
    Shortcut {
        sequences: [LauncherKeys.mainWindow]
        context: Qt.WindowShortcut
        onActivated: if (content.item) content.item.bringUpMainWindow()
    }
    Repeater {
        model: 9
        delegate: Item {
            required property int index
            Shortcut {
                sequences: [LauncherKeys.panelRow(index)]
                context: Qt.WindowShortcut
                onActivated: if (content.item) content.item.runRow(index)
            }
        }
    }
    Connections {
        target: AppScenes
        function onMenuBarPanelHideRequested() { panel.hide() }
    }
}
