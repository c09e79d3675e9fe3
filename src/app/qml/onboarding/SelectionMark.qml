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

    // Placed by hand, as in the card around it: no anchors object per card.
    Rectangle {
        x: 0.75
        y: 0.75
        width: 16.5
        height: 16.5
        radius: width / 2
        color: mark.isSelected ? VNT.lime : "transparent"
        border.width: 1.5
        border.color: mark.isSelected ? VNT.lime : VNT.fg2
        antialiasing: true
    }
    Symbol {
        x: VNT.centred(18, width)
        y: VNT.centred(18, height)
        visible: mark.isSelected
        name: "checkmark"
        size: 9
        font.weight: Font.Bold
        color: VNT.ink
    }
}
