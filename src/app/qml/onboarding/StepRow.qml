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
        // Placed by hand: anchors are an object each.
        Rectangle {
            x: 0.75
            y: 0.75
            width: 14.5
            height: 14.5
            radius: width / 2
            color: step.done ? VNT.lime : "transparent"
            border.width: 1.5
            border.color: step.active || step.done ? VNT.lime : VNT.line2
            antialiasing: true
        }
        Symbol {
            x: VNT.centred(16, width)
            y: VNT.centred(16, height)
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
