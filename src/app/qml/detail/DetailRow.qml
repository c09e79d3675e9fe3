// A label (`labelWidth` wide, wrapped between words only) beside a selectable
// value (at most `maximumLines` lines, two unless told) that breaks between
// words and after the dots and slashes of ids and URLs.
import QtQuick
import QtQuick.Layouts
import Vantrel

RowLayout {
    id: row
    property string label
    property string value
    property real labelWidth: 92
    property int maximumLines: 2
    spacing: 8

    VantrelText {
        objectName: "detailRowLabel"
        text: row.label
        font: VNT.system(11.5)
        color: VNT.fg2
        Layout.minimumWidth: row.labelWidth
        Layout.preferredWidth: row.labelWidth
        Layout.maximumWidth: row.labelWidth
        Layout.alignment: Qt.AlignTop
        wrapMode: Text.WordWrap
    }
    TextEdit {
        id: valueText
        objectName: "detailRowValue"
        text: BreakOpportunities.atDotsAndSlashes(row.value)
        readOnly: true
        selectByMouse: true
        selectByKeyboard: true
        activeFocusOnTab: false
        font: VNT.mono(11.5)
        color: VNT.fg1
        selectionColor: VNT.withAlpha(VNT.lime, 0.35)
        selectedTextColor: VNT.fg0
        // Anywhere only where a word, or a part of an id, is longer than the line.
        wrapMode: TextEdit.Wrap
        clip: true
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignTop
        Layout.maximumHeight: fm.lineSpacing * row.maximumLines
        FontMetrics { id: fm; font: valueText.font }
        // A copy holds the value, not the marks where it may break.
        Keys.onPressed: (event) => {
            event.accepted = event.matches(StandardKey.Copy) && selectedText.length > 0
            if (event.accepted)
                BreakOpportunities.copy(selectedText)
        }
    }
}
