// A symbol in the accent on a faint square of the same accent.
import QtQuick
import Vantrel

Rectangle {
    property string symbol
    property color accent: VNT.lime
    width: 46
    height: 46
    radius: 10
    color: VNT.withAlpha(accent, 0.16)
    Symbol {
        anchors.centerIn: parent
        name: parent.symbol
        size: 20
        font.weight: Font.DemiBold
        color: parent.accent
    }
}
