// A label (11.5, fg3, 92 wide) beside a selectable value (mono 11.5, fg1, at
// most two lines).
import QtQuick
import QtQuick.Layouts
import Vantrel

RowLayout {
    id: row
    property string label
    property string value
    spacing: 8

    Text {
        text: row.label
        font: VNT.system(11.5)
        color: VNT.fg3
        Layout.preferredWidth: 92
        Layout.maximumWidth: 92
        Layout.alignment: Qt.AlignTop
        wrapMode: Text.Wrap
    }
    TextEdit {
        id: valueText
        objectName: "detailRowValue"
        text: row.value
        readOnly: true
        selectByMouse: true
        selectByKeyboard: true
        activeFocusOnTab: false
        font: VNT.mono(11.5)
        color: VNT.fg1
        selectionColor: VNT.withAlpha(VNT.lime, 0.35)
        selectedTextColor: VNT.fg0
        wrapMode: TextEdit.WrapAnywhere
        clip: true
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignTop
        Layout.maximumHeight: fm.lineSpacing * 2
        FontMetrics { id: fm; font: valueText.font }
    }
}
