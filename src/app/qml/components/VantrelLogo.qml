// The brand mark, a square of side `size`: nested rounded squares in the
// brand's gradient.
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
