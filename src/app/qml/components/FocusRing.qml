// Keyboard focus outline for custom controls (shown only for keyboard focus).
import QtQuick
import Vantrel

Rectangle {
    property Item target
    anchors.fill: parent
    anchors.margins: -3
    radius: 8
    color: "transparent"
    border.width: 2
    border.color: VNT.withAlpha(VNT.lime, 0.7)
    visible: target && target.visualFocus !== undefined ? target.visualFocus : (target && target.activeFocus)
}
