// One tab of the preferences strip: a symbol above its title. A click shows
// its page; the active tab is tinted, with a rule under it, so it reads as
// chosen at a glance.
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
        color: tab.active ? VNT.withAlpha(VNT.lime, 0.14) : tab.hovered ? VNT.bg3 : "transparent"
        border.width: tab.active ? 1 : 0
        border.color: VNT.withAlpha(VNT.lime, 0.45)
        FocusRing { target: tab; radius: 7 }
    }
    contentItem: Item {
        ColumnLayout {
            anchors.centerIn: parent
            spacing: 2
            Symbol {
                id: symbolItem
                name: tab.symbol
                size: 15
                color: tab.active ? VNT.lime : VNT.fg2
                Layout.alignment: Qt.AlignHCenter
            }
            Text {
                id: titleItem
                objectName: "tabTitle"
                text: tab.title
                font: VNT.system(11, tab.active ? Font.DemiBold : Font.Normal)
                color: tab.active ? VNT.fg0 : VNT.fg2
                Layout.alignment: Qt.AlignHCenter
            }
        }
    }
}
