// The brand mark, a square of side `size` at the design's text size (it grows
// with the desktop's text, as the wordmark beside it does): nested rounded
// squares in the brand's gradient.
import QtQuick
import Vantrel

Item {
    id: logo
    property real size: 22
    readonly property real edge: VNT.px(size)
    implicitWidth: edge
    implicitHeight: edge
    width: edge
    height: edge
    Accessible.ignored: true

    // Placed by hand: anchors are an object each.
    GradientRoundedRect {
        width: logo.edge
        height: logo.edge
        radius: logo.edge * 0.22
        startColor: VNT.lime
        endColor: VNT.violet
    }
    Rectangle {
        x: logo.edge * 0.22
        y: x
        width: logo.edge - x - x
        height: width
        radius: logo.edge * 0.1
        color: VNT.bg0
        antialiasing: true
    }
    GradientRoundedRect {
        x: logo.edge * 0.34
        y: x
        width: logo.edge - x - x
        height: width
        radius: logo.edge * 0.05
        startColor: VNT.lime
        endColor: VNT.violet
    }
}
