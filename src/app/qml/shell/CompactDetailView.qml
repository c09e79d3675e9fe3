// The sliding detail panel of narrow windows: a header with a "Library" back
// button, then the detail of the store's selected app.
import QtQuick
import QtQuick.Layouts
import Vantrel

Item {
    id: panel
    objectName: "compactDetail"
    required property LauncherStore store
    signal closeRequested()
    readonly property alias detail: detail

    SoftShadow {
        anchors.fill: parent
        color: "black"
        opacityTotal: 0.32
        blur: 28
        offsetX: -10
        offsetY: 0
        steps: 8
    }
    Rectangle {
        anchors.fill: parent
        color: VNT.bg0
    }

    AppDetailView {
        id: detail
        objectName: "compactDetailPage"
        y: header.height
        width: panel.width
        height: panel.height - header.height
        store: panel.store
        app: panel.store.selectedApp
    }

    Item {
        id: header
        width: panel.width
        height: 48
        Rectangle {
            anchors.fill: parent
            color: VNT.withAlpha(VNT.bg0, 0.94)
        }
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: VNT.line
        }
        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 18
            anchors.rightMargin: 18
            VantrelButton {
                objectName: "compactBackButton"
                variant: VantrelButton.Variant.Ghost
                symbol: "chevron.left"
                text: qsTrId("topLibrary")
                onClicked: panel.closeRequested()
            }
            Item { Layout.fillWidth: true }
        }
    }

    // The panel covers the library: keep clicks from reaching it.
    MouseArea {
        anchors.fill: parent
        z: -1
        acceptedButtons: Qt.AllButtons
        onWheel: function(wheel) { wheel.accepted = true }
    }
}
