// One settings row: the title, then the accessory at the trailing end, with a
// faint rule along the bottom.
import QtQuick
import QtQuick.Layouts
import Vantrel

Item {
    id: row
    property string title
    default property alias accessory: accessoryHolder.data

    implicitHeight: 44
    Layout.fillWidth: true

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 12
        VantrelText {
            objectName: "preferenceTitle"
            text: row.title
            font: VNT.system(12.5)
            color: VNT.fg1
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
        Item {
            id: accessoryHolder
            implicitWidth: childrenRect.width
            implicitHeight: childrenRect.height
            Layout.alignment: Qt.AlignVCenter | Qt.AlignRight
        }
    }
    Rectangle {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 1
        color: VNT.line
        opacity: 0.7
    }
}
