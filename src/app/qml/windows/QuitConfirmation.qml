// Asks before a quit stops running installs: names the apps, offers to keep
// installing (the default) or to cancel the installs and quit (destructive).
// Shown while AppScenes.quitBlockers is not empty, whichever window asked.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

Window {
    id: dialog
    objectName: "quitConfirmation"
    required property LauncherStore store
    property string appName: "Vantrel"
    readonly property var blockers: AppScenes.quitBlockers

    title: appName
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    width: 380
    height: column.implicitHeight + 40
    minimumWidth: width
    maximumWidth: width
    color: VNT.bg2
    function sync() {
        if (blockers.length > 0) {
            show()
            raise()
            requestActivate()
            keepButton.forceActiveFocus()
        } else {
            hide()
        }
    }
    Connections {
        target: AppScenes
        function onQuitBlockersChanged() { dialog.sync() }
    }
    Component.onCompleted: sync()
    // Closing the dialog answers "keep installing".
    onClosing: AppScenes.keepRunning()

    ColumnLayout {
        id: column
        x: 20
        y: 20
        width: dialog.width - 40
        spacing: 10
        VantrelText {
            objectName: "quitConfirmationTitle"
            text: qsTrId("quitConfirmTitle")
            font: VNT.system(13, Font.Bold)
            color: VNT.fg0
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        VantrelText {
            objectName: "quitConfirmationBody"
            text: qsTrId("quitConfirmBody").arg(dialog.blockers.join(", "))
            font: VNT.system(11.5)
            color: VNT.fg1
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        // Side by side where both fit, else one above the other: never past the window's edge.
        GridLayout {
            columns: keepButton.implicitWidth + quitButton.implicitWidth + 2 * columnSpacing <= column.width ? 3 : 1
            columnSpacing: 8
            rowSpacing: 8
            Layout.topMargin: 6
            Layout.fillWidth: true
            Item { Layout.fillWidth: true; visible: parent.columns > 1 }
            VantrelButton {
                id: keepButton
                objectName: "quitConfirmationKeep"
                Layout.alignment: Qt.AlignRight
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("quitKeepInstalling")
                onClicked: AppScenes.keepRunning()
            }
            VantrelButton {
                id: quitButton
                objectName: "quitConfirmationQuit"
                Layout.alignment: Qt.AlignRight
                variant: VantrelButton.Variant.Primary
                destructive: true
                text: qsTrId("quitConfirmAction")
                onClicked: AppScenes.confirmQuit()
            }
        }
    }
    CloseKeys { onActivated: AppScenes.keepRunning() }
}
