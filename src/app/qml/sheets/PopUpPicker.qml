// A pop-up picker in the launcher's dark style: a field showing the current
// entry and a chevron, and a list of entries. `model` is a list of
// { text, value } objects; `currentValue` follows the chosen entry.
import QtQuick
import QtQuick.Controls.Basic
import Vantrel

ComboBox {
    id: control
    textRole: "text"
    valueRole: "value"
    implicitHeight: 30
    font: VNT.system(12.5)
    leftPadding: 10
    rightPadding: 28
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: popup.visible ? undefined : popup.open()
    // Press opens the list; increase and decrease choose the next or previous entry.
    Accessible.onPressAction: popup.open()
    Accessible.onIncreaseAction: incrementCurrentIndex()
    Accessible.onDecreaseAction: decrementCurrentIndex()

    contentItem: Text {
        text: control.displayText
        font: control.font
        color: VNT.fg0
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    indicator: Text {
        x: control.width - width - 10
        y: (control.height - height) / 2
        text: "\u25BE"
        font: VNT.system(11)
        color: VNT.fg2
    }
    background: Rectangle {
        implicitWidth: 112
        radius: 6
        color: control.down ? VNT.bg3 : VNT.bg2
        border.width: 1
        border.color: control.visualFocus ? VNT.withAlpha(VNT.lime, 0.7) : VNT.fg2
    }
    delegate: ItemDelegate {
        id: entry
        required property int index
        required property var modelData
        width: ListView.view ? ListView.view.width : implicitWidth
        height: 28
        highlighted: control.highlightedIndex === index
        contentItem: Text {
            text: entry.modelData.text
            font: control.font
            color: entry.highlighted ? VNT.ink : VNT.fg0
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
        background: Rectangle {
            radius: 5
            color: entry.highlighted ? VNT.lime : "transparent"
        }
    }
    popup: Popup {
        y: control.height + 4
        width: control.width
        implicitHeight: Math.min(contentItem.implicitHeight + 8, 280)
        padding: 4
        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: control.popup.visible ? control.delegateModel : null
            currentIndex: control.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
        }
        background: Rectangle {
            color: VNT.bg2
            radius: 8
            border.width: 1
            border.color: VNT.line2
        }
    }
}
