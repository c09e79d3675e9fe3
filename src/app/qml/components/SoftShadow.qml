// A soft drop shadow behind a rounded shape. Qt Quick 6.4 has no blur effect
// that works on every renderer, so the blur is approximated by stacked,
// growing, faint rounded rectangles whose opacities add up to `opacityTotal`.
// Place it as a sibling under the shape, anchored to it. App icons, many to
// a screen, paint the same layers with their plate instead (IconPlate).
import QtQuick

Item {
    id: shadow
    property color color: "black"
    property real opacityTotal: 0.16
    property real blur: 16
    property real offsetX: 0
    property real offsetY: 8
    property real radius: 0
    property int steps: 6

    Repeater {
        model: shadow.steps
        Rectangle {
            readonly property real spread: shadow.blur * (index + 1) / shadow.steps * 0.5
            x: shadow.offsetX - spread
            y: shadow.offsetY - spread
            width: shadow.width + 2 * spread
            height: shadow.height + 2 * spread
            radius: shadow.radius + spread
            color: shadow.color
            opacity: shadow.opacityTotal / shadow.steps
            antialiasing: true
        }
    }
}
