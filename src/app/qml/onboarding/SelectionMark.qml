// The tick circle of an onboarding card: filled with a check when selected, a
// ring otherwise.
import QtQuick
import Vantrel

Item {
    id: mark
    property bool isSelected: false
    implicitWidth: 18
    implicitHeight: 18
    width: 18
    height: 18

    Rectangle {
        anchors.fill: parent
        anchors.margins: 0.75
        radius: width / 2
        color: mark.isSelected ? VNT.lime : "transparent"
        border.width: 1.5
        border.color: mark.isSelected ? VNT.lime : VNT.fg2
        antialiasing: true
    }
    Symbol {
        anchors.centerIn: parent
        visible: mark.isSelected
        name: "checkmark"
        size: 9
        font.weight: Font.Bold
        color: VNT.ink
    }
}
