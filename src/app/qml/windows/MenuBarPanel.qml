// The tray icon's panel: a frameless window 360 wide, height from its content
// (../tray/MenuBarLauncherView.qml, created with `store`). It hides when it
// loses focus, like a menu-bar panel.
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
    Connections {
        target: AppScenes
        function onMenuBarPanelHideRequested() { panel.hide() }
    }
}
