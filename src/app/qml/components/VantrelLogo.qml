// The brand mark, a square of side `size`: a lime-to-violet rounded square
// (radius 0.22 s), a bg0 square inset 0.22 s (radius 0.1 s), and a small
// lime-to-violet square inset 0.34 s (radius 0.05 s).
import QtQuick
import Vantrel

Item {
    id: logo
    property real size: 22
    implicitWidth: size
    implicitHeight: size
    width: size
    height: size
    Accessible.ignored: true

    GradientRoundedRect {
        anchors.fill: parent
        radius: logo.size * 0.22
        startColor: VNT.lime
        endColor: VNT.violet
    }
    Rectangle {
        anchors.fill: parent
        anchors.margins: logo.size * 0.22
        radius: logo.size * 0.1
        color: VNT.bg0
        antialiasing: true
    }
    GradientRoundedRect {
        anchors.fill: parent
        anchors.margins: logo.size * 0.34
        radius: logo.size * 0.05
        startColor: VNT.lime
        endColor: VNT.violet
    }
}
