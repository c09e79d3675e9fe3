// One caption line of the tray panel: a symbol beside a title over a detail.
import QtQuick
import QtQuick.Layouts
import Vantrel

RowLayout {
    id: row
    property string symbol
    property string title
    property string detail
    spacing: 10

    Symbol {
        name: row.symbol
        size: 13
        frameWidth: 16
        color: VNT.fg2
        Layout.alignment: Qt.AlignVCenter
    }
    ColumnLayout {
        spacing: 1
        Layout.fillWidth: true
        VantrelText {
            objectName: "statusMiniTitle"
            text: row.title
            font: VNT.system(11.5, Font.Medium)
            color: VNT.fg0
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
        VantrelText {
            objectName: "statusMiniDetail"
            text: row.detail
            font: VNT.system(10.5)
            color: VNT.fg2
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }
}
