// A modal alert centred over the window, open while `shown` is true: the
// chrome the error alert and the store's questions share. Its content, the
// component `content`, is made only while the alert is shown or still
// closing, so a hidden alert costs the first frame nothing; on opening the
// content's focusDefault() places the focus. The holder of the content is
// what assistive technology announces (Qt 6.4 attaches Accessible to items
// only), with `accessibleRole`, `accessibleName` and `accessibleDescription`.
// Templates only: the main window holds these from the start, and the
// Controls style would load with them.
import QtQuick
import QtQuick.Templates as T
import Vantrel

T.Popup {
    id: alert
    property bool shown: false
    property Component content
    property int accessibleRole: Accessible.AlertMessage
    property string accessibleName: ""
    property string accessibleDescription: ""

    parent: T.Overlay.overlay
    anchors.centerIn: T.Overlay.overlay
    modal: true
    focus: true
    padding: 20
    closePolicy: T.Popup.CloseOnEscape
    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitBackgroundHeight + topInset + bottomInset, implicitContentHeight + topPadding + bottomPadding)

    T.Overlay.modal: Rectangle { color: Qt.rgba(0, 0, 0, 0.45) }
    background: Rectangle {
        color: VNT.bg2
        radius: 12
        border.color: VNT.line2
        border.width: 1
    }

    contentItem: Loader {
        id: holder
        active: alert.shown || alert.visible
        focus: true
        sourceComponent: alert.content
        Accessible.role: alert.accessibleRole
        Accessible.name: alert.accessibleName
        Accessible.description: alert.accessibleDescription
    }

    CloseKeys {
        enabled: alert.opened
        onActivated: alert.close()
    }

    onShownChanged: shown ? open() : close()
    Component.onCompleted: if (shown) open()
    onOpened: if (holder.item) holder.item.focusDefault()
}
