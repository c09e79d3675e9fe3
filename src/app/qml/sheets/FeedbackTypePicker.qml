// A segmented picker over the feedback types, in their order. Each segment is
// a Tab stop; Left/Right move the choice as well.
import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Vantrel

Rectangle {
    id: picker
    property var segments: []   // [{ value (a FeedbackType), name, text }]
    property int value: FeedbackType.Bug
    signal picked(int value)

    implicitHeight: 28
    radius: 7
    color: VNT.bg2
    border.width: 1
    border.color: VNT.line
    Accessible.role: Accessible.PageTabList

    function indexOfValue(v) {
        for (let i = 0; i < segments.length; ++i)
            if (segments[i].value === v)
                return i
        return -1
    }
    // Arrow keys move from the focused segment and choose where they land.
    function step(from, delta) {
        const next = Math.max(0, Math.min(segments.length - 1, from + delta))
        if (next !== from) {
            picked(segments[next].value)
            segmentRepeater.itemAt(next).forceActiveFocus(Qt.TabFocusReason)
        }
    }

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.margins: 2
        spacing: 2
        Repeater {
            id: segmentRepeater
            model: picker.segments
            VantrelTab {
                id: segment
                required property var modelData
                required property int index
                selected: picker.value === modelData.value
                objectName: "feedbackType_" + modelData.name
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.preferredWidth: 1
                Accessible.name: modelData.text
                onClicked: picker.picked(modelData.value)
                Keys.onLeftPressed: picker.step(index, -1)
                Keys.onRightPressed: picker.step(index, 1)

                background: Rectangle {
                    radius: 5
                    color: segment.selected ? VNT.bg3 : segment.hovered ? VNT.withAlpha(VNT.bg3, 0.5) : "transparent"
                    border.width: segment.selected ? 1 : 0
                    border.color: VNT.line2
                    FocusRing { target: segment; radius: 6; anchors.margins: -1 }
                }
                contentItem: Text {
                    text: segment.modelData.text
                    font: VNT.system(12, segment.selected ? Font.DemiBold : Font.Normal)
                    color: segment.selected ? VNT.fg0 : VNT.fg2
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
            }
        }
    }
}
