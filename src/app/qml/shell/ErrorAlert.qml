// The window's error alert: shown while the store's errorMessage is not null,
// titled with the brand text, the message verbatim and one OK button. OK
// clears errorMessage at once; any other dismissal (Escape, Ctrl+W) clears it in a task that
// runs after the alert has closed.
import QtQuick
import QtQuick.Layouts
import Vantrel

AlertPopup {
    id: alert
    required property LauncherStore store
    readonly property bool presented: store.errorMessage !== null && store.errorMessage !== undefined
    property string shownMessage: presented ? store.errorMessage : ""

    shown: presented
    width: 300
    accessibleRole: Accessible.AlertMessage
    accessibleName: qsTrId("brand")
    accessibleDescription: shownMessage
    content: ColumnLayout {
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

    onClosed: {
        if (presented)
            Qt.callLater(function() {
                if (alert.store.errorMessage !== null && alert.store.errorMessage !== undefined)
                    alert.store.clearErrorMessage()
            })
    }
}
