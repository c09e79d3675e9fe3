// The settings window: height from its content
// (../preferences/PreferencesView.qml, created with `store`), always dark.
// Escape and Ctrl+W close it.
import QtQuick
import QtQuick.Controls.Basic
import Vantrel

ApplicationWindow {
    id: window
    objectName: "settings"
    required property LauncherStore store
    property string appName: "Vantrel"

    title: qsTrId("sidebarPreferences")
    width: 640
    minimumWidth: 640
    maximumWidth: 640
    height: Math.max(200, content.implicitHeight)
    color: VNT.bg0
    palette.window: VNT.bg0
    palette.windowText: VNT.fg0
    palette.base: VNT.bg2
    palette.text: VNT.fg0
    palette.button: VNT.bg3
    palette.buttonText: VNT.fg0
    palette.highlight: VNT.lime
    palette.highlightedText: VNT.ink

    ViewSlot {
        id: content
        anchors.fill: parent
        active: true
        viewUrl: Qt.resolvedUrl("../preferences/PreferencesView.qml")
        initialProperties: ({ store: window.store })
        placeholderText: qsTrId("sidebarPreferences")
    }

    CloseKeys { onActivated: window.close() }
    property QuitKeys quitKeys: QuitKeys {}

    function bringUp() {
        show()
        raise()
        requestActivate()
    }
}
