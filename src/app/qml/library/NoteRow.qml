// A checkmark beside a line of text.
import QtQuick
import QtQuick.Layouts
import Vantrel

RowLayout {
    property string text
    spacing: 8
    Symbol {
        name: "checkmark.circle"
        color: VNT.lime
        size: 13
        Layout.alignment: Qt.AlignTop
    }
    VantrelText {
        text: parent.text
        font: VNT.system(12.5)
        color: VNT.fg2
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
}
