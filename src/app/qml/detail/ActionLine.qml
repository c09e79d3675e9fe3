// A part of the action panel and its buttons: the buttons beside it while it
// keeps room for readable lines, below it, from the leading edge, where the
// text is large or the words are long. Content goes into a column.
import QtQuick
import QtQuick.Layouts
import Vantrel

GridLayout {
    id: line
    default property alias content: lead.data
    property alias buttons: trail.data
    // The least width the content keeps beside the buttons: lines of about 22 characters.
    property real leadRoom: metrics.averageCharacterWidth * 22
    readonly property bool hasButtons: trail.implicitWidth > 0
    readonly property bool beside: !hasButtons || width - trail.implicitWidth - 12 >= leadRoom

    columns: beside ? 2 : 1
    // No gap for a row without buttons.
    columnSpacing: hasButtons ? 12 : 0
    rowSpacing: hasButtons ? 10 : 0

    FontMetrics {
        id: metrics
        font: VNT.system(12)
    }
    ColumnLayout {
        id: lead
        spacing: 4
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignVCenter
    }
    Row {
        id: trail
        spacing: 8
        Layout.alignment: line.beside ? Qt.AlignRight | Qt.AlignVCenter : Qt.AlignLeft
    }
}
