// One line of the readiness note: a symbol and the text.
import QtQuick
import QtQuick.Layouts
import Vantrel

RowLayout {
    id: row
    property string symbol
    property string text
    spacing: 10

    Symbol {
        name: row.symbol
        size: 12
        frameWidth: 16
        color: VNT.lime
        Layout.alignment: Qt.AlignTop
    }
    VantrelText {
        objectName: "distributionText"
        text: row.text
        font: VNT.system(12)
        color: VNT.fg2
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
}
