// The window's error alert: shown while the store's errorMessage is not null,
// titled with the brand text, the message verbatim and one OK button. OK
// clears errorMessage at once; any other dismissal (Escape, Ctrl+W) clears it in a task that
// runs after the alert has closed.
import QtQuick
import QtQuick.Templates as T
import QtQuick.Layouts
import Vantrel

T.Popup {
    id: alert
    required property LauncherStore store
    readonly property bool presented: store.errorMessage !== null && store.errorMessage !== undefined
    property string shownMessage: presented ? store.errorMessage : ""

    parent: T.Overlay.overlay
    anchors.centerIn: T.Overlay.overlay
    modal: true
    focus: true
    width: 300
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

    // Made when the alert is asked for: hidden, it costs the first frame nothing.
    contentItem: Loader {
        id: content
        active: alert.presented || alert.visible
        focus: true
        // Qt 6.4 attaches Accessible to items only: what holds the content is the alert.
        Accessible.role: Accessible.AlertMessage
        Accessible.name: qsTrId("brand")
        Accessible.description: alert.shownMessage
        sourceComponent: ColumnLayout {
            function focusDefault() {
                okButton.forceActiveFocus()
            }
            spacing: 10
            VantrelLogo { size: 40; Layout.alignment: Qt.AlignHCenter }
            VantrelText {
                objectName: "errorAlertTitle"
                text: qsTrId("brand")
                font: VNT.system(13, Font.Bold)
                color: VNT.fg0
                Layout.alignment: Qt.AlignHCenter
            }
            VantrelText {
                objectName: "errorAlertMessage"
                text: alert.shownMessage
                font: VNT.system(11)
                color: VNT.fg1
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                Layout.fillWidth: true
            }
            VantrelButton {
                id: okButton
                objectName: "errorAlertOk"
                variant: VantrelButton.Variant.Primary
                text: qsTrId("ok")
                focus: true
                Layout.fillWidth: true
                Layout.topMargin: 6
                onClicked: {
                    alert.store.clearErrorMessage()
                    alert.close()
                }
            }
        }
    }

    CloseKeys {
        enabled: alert.opened
        onActivated: alert.close()
    }

    onPresentedChanged: presented ? open() : close()
    Component.onCompleted: if (presented) open()
    onOpened: if (content.item) content.item.focusDefault()
    onClosed: {
        if (presented)
            Qt.callLater(function() {
                if (alert.store.errorMessage !== null && alert.store.errorMessage !== undefined)
                    alert.store.clearErrorMessage()
            })
    }
}
