// One tab label of the preferences strip: a symbol (15) above its title (11).
// Labels only; the active one sits on bg3 in a radius-7 rounded rectangle.
import QtQuick
import QtQuick.Layouts
import Vantrel

Rectangle {
    id: tab
    property string symbol
    property string title
    property bool active: false

    implicitWidth: Math.max(symbolItem.implicitWidth, titleItem.implicitWidth) + 24
    implicitHeight: symbolItem.implicitHeight + 2 + titleItem.implicitHeight + 14
    radius: 7
    color: active ? VNT.bg3 : "transparent"
    Accessible.role: Accessible.PageTab
    Accessible.name: title
    Accessible.selected: active

    ColumnLayout {
        anchors.centerIn: parent
        spacing: 2
        Symbol {
            id: symbolItem
            name: tab.symbol
            size: 15
            color: tab.active ? VNT.fg0 : VNT.fg2
            Layout.alignment: Qt.AlignHCenter
        }
        Text {
            id: titleItem
            objectName: "tabTitle"
            text: tab.title
            font: VNT.system(11)
            color: tab.active ? VNT.fg0 : VNT.fg2
            Layout.alignment: Qt.AlignHCenter
        }
    }
}
