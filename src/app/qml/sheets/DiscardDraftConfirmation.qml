// Asks before a typed draft is dropped by a dismissal the user may not have
// meant (Escape, Ctrl+W). Keep editing is the default, and so is Escape here;
// Discard is drawn as a destructive action and reports `discarded`.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import QtQuick.Layouts
import Vantrel

Popup {
    id: dialog
    objectName: "discardDraftConfirmation"
    signal discarded()

    parent: T.Overlay.overlay
    anchors.centerIn: T.Overlay.overlay
    modal: true
    focus: true
    width: 320
    padding: 20
    closePolicy: Popup.CloseOnEscape

    T.Overlay.modal: Rectangle { color: Qt.rgba(0, 0, 0, 0.3) }
    background: Rectangle {
        color: VNT.bg2
        radius: 12
        border.color: VNT.line2
        border.width: 1
    }

    CloseKeys {
        enabled: dialog.opened
        onActivated: dialog.close()
    }

    contentItem: ColumnLayout {
        spacing: 10
        Accessible.role: Accessible.Dialog
        Accessible.name: question.text
        VantrelText {
            id: question
            objectName: "discardDraftTitle"
            text: qsTrId("feedbackDiscardTitle")
            font: VNT.system(13, Font.Bold)
            color: VNT.fg0
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        VantrelText {
            text: qsTrId("feedbackDiscardBody")
            font: VNT.system(11.5)
            color: VNT.fg1
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        Flow {
            spacing: 8
            Layout.topMargin: 6
            Layout.fillWidth: true
            layoutDirection: Qt.RightToLeft
            VantrelButton {
                objectName: "discardDraftDiscard"
                variant: VantrelButton.Variant.Primary
                destructive: true
                text: qsTrId("feedbackDiscard")
                onClicked: {
                    dialog.close()
                    dialog.discarded()
                }
            }
            VantrelButton {
                id: keepButton
                objectName: "discardDraftKeep"
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("feedbackKeepEditing")
                onClicked: dialog.close()
            }
        }
    }

    onOpened: keepButton.forceActiveFocus()
}
