// The About window: height from its content (../about/AboutView.qml, created
// with `store`), always dark. Reached from the tray icon's menu and from
// Preferences.
import QtQuick
import QtQuick.Controls.Basic
import Vantrel

ApplicationWindow {
    id: window
    objectName: "aboutWindow"
    required property LauncherStore store
    property string appName: "Vantrel"

    title: qsTrId("aboutVantrel")
    width: 420
    minimumWidth: 420
    maximumWidth: 420
    height: Math.max(160, content.implicitHeight)
    color: VNT.bg0

    ViewSlot {
        id: content
        anchors.fill: parent
        active: true
        viewUrl: Qt.resolvedUrl("../about/AboutView.qml")
        initialProperties: ({ store: window.store })
        placeholderText: qsTrId("aboutVantrel")
    }
    Connections {
        target: content.item
        ignoreUnknownSignals: true
        function onCloseRequested() { window.close() }
    }

    CloseKeys { onActivated: window.close() }
    property QuitKeys quitKeys: QuitKeys {}

    function bringUp() {
        show()
        raise()
        requestActivate()
    }
}
