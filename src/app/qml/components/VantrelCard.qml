// Card background: bg1 fill and a 1-point `line` stroke of the given
// `radius` (each screen sets its own). Use as a container: children go
// inside; padding is the caller's.
import QtQuick
import Vantrel

Rectangle {
    radius: 10
    color: VNT.bg1
    border.color: VNT.line
    border.width: 1
}
