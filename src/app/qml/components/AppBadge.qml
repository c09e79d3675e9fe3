// A small upper-case label in `color`, on a faint fill of the same colour.
import QtQuick
import Vantrel

Item {
    id: badge
    property string text
    property color color: VNT.lime

    implicitWidth: label.implicitWidth + 16
    implicitHeight: Math.max(22, Math.ceil(label.implicitHeight) + 8)
    width: implicitWidth
    height: implicitHeight
    Accessible.role: Accessible.StaticText
    Accessible.name: text

    // Placed by hand: anchors are an object each.
    Rectangle {
        width: badge.width
        height: badge.height
        radius: 5
        color: VNT.withAlpha(badge.color, 0.14)
    }
    Text {
        id: label
        objectName: "badgeLabel"
        x: VNT.centred(badge.width, width)
        y: VNT.centred(badge.height, height)
        text: badge.text.toUpperCase()
        font.family: VNT.monoFamily
        font.pixelSize: VNT.px(10)
        font.weight: Font.Medium
        font.letterSpacing: 0.6
        // Violet on its own 14 % tint is 4.4 : 1; the next lighter tone reads.
        color: badge.color === VNT.violet ? VNT.fg2 : badge.color
    }
}
