// One line of the first-run step list: a circle mark (lit when active or
// done, filled with a check when done) and the title.
import QtQuick
import QtQuick.Layouts
import Vantrel

RowLayout {
    id: step
    property string title
    property bool done: false
    property bool active: false
    spacing: 10

    Item {
        implicitWidth: 16
        implicitHeight: 16
        Rectangle {
            anchors.fill: parent
            anchors.margins: 0.75
            radius: width / 2
            color: step.done ? VNT.lime : "transparent"
            border.width: 1.5
            border.color: step.active || step.done ? VNT.lime : VNT.line2
            antialiasing: true
        }
        Symbol {
            anchors.centerIn: parent
            visible: step.done
            name: "checkmark"
            size: 8
            font.weight: Font.Bold
            color: VNT.ink
        }
    }
    VantrelText {
        objectName: "stepTitle"
        text: step.title
        font: VNT.system(13)
        color: step.active ? VNT.fg0 : VNT.fg2
        Layout.fillWidth: true
        elide: Text.ElideRight
    }
}
