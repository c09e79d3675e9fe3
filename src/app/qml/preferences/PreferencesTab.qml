// One tab label of the preferences strip: a symbol (15) above its title (11).
// Labels only; the active one sits on bg3 in a radius-7 rounded rectangle.
import QtQuick
import QtQuick.Layouts
import Vantrel

VantrelTab {
    id: tab
    property string symbol
    property string title
    property bool active: false

    implicitWidth: Math.max(symbolItem.implicitWidth, titleItem.implicitWidth) + 24
    implicitHeight: symbolItem.implicitHeight + 2 + titleItem.implicitHeight + 14
    selected: active
    Accessible.name: title
    background: Rectangle {
        radius: 7
        color: tab.active ? VNT.bg3 : "transparent"
        FocusRing { target: tab; radius: 8 }
    }

    contentItem: Item {
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
}
