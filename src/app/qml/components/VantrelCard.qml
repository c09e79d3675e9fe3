// Card background with its outline; each screen sets its own `radius`. Use as
// a container: children go inside; padding is the caller's.
import QtQuick
import Vantrel

Rectangle {
    radius: 10
    color: VNT.bg1
    border.color: VNT.line
    border.width: 1
}
