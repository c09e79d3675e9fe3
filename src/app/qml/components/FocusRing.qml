// Keyboard focus outline for custom controls (shown only for keyboard focus).
import QtQuick
import Vantrel

Rectangle {
    property Item target
    // 3 outside its parent, placed by hand: no anchors object on every control.
    x: -3
    y: -3
    width: parent ? parent.width + 3 + 3 : 0
    height: parent ? parent.height + 3 + 3 : 0
    radius: 8
    color: "transparent"
    border.width: 2
    border.color: VNT.withAlpha(VNT.lime, 0.7)
    visible: target && target.visualFocus !== undefined ? target.visualFocus : (target && target.activeFocus)
}
