// Asks before an app is removed, naming it and saying where it goes: to the
// trash, where it can be restored, or, where the trash cannot take it,
// deleted for good (decided when asking). Cancel keeps it and is the
// default; Remove is drawn as a destructive action.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import QtQuick.Layouts
import Vantrel

Popup {
    id: dialog
    objectName: "removeConfirmation"
    required property LauncherStore store
    property var app
    property bool toTrash: true

    function ask() {
        toTrash = store.manage.removalGoesToTrash(app.id)
        open()
    }

    parent: T.Overlay.overlay
    anchors.centerIn: T.Overlay.overlay
    modal: true
    focus: true
    width: 320
    padding: 20
    closePolicy: Popup.CloseOnEscape

    T.Overlay.modal: Rectangle { color: Qt.rgba(0, 0, 0, 0.45) }
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
        Accessible.name: confirmationTitle.text
        VantrelText {
            id: confirmationTitle
            objectName: "removeConfirmationTitle"
            text: dialog.app ? qsTrId("removeConfirmTitle").arg(dialog.app.name) : ""
            font: VNT.system(13, Font.Bold)
            color: VNT.fg0
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        VantrelText {
            objectName: "removeConfirmationBody"
            text: dialog.app ? qsTrId(dialog.toTrash ? "removeConfirmTrash" : "removeConfirmForGood").arg(dialog.app.name) : ""
            font: VNT.system(11.5)
            color: VNT.fg1
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        RowLayout {
            spacing: 8
            Layout.topMargin: 6
            Item { Layout.fillWidth: true }
            VantrelButton {
                id: keepButton
                objectName: "removeConfirmationCancel"
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("cancelAction")
                onClicked: dialog.close()
            }
            VantrelButton {
                objectName: "removeConfirmationRemove"
                variant: VantrelButton.Variant.Primary
                destructive: true
                text: qsTrId("removeAction")
                onClicked: {
                    dialog.store.manage.removeApp(dialog.app.id, dialog.toTrash)
                    dialog.close()
                }
            }
        }
    }

    onOpened: keepButton.forceActiveFocus()
}
