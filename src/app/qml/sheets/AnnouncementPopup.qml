// The pending announcement: its app's icon (the brand mark when the app is
// not visible), a badge, the title, the full body and the version, with
// "not now" (acknowledge) and "view app" (select the app, then acknowledge;
// disabled when the app is not visible). Keeps no state of its own.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

Item {
    id: popup
    objectName: "announcementPopup"
    required property LauncherStore store
    property var announcement: null

    // The announcement's app among the visible apps, or null.
    readonly property var app: {
        const found = announcement ? store.visibleApps.find(app => app.id === announcement.appId) : undefined
        return found === undefined ? null : found
    }
    readonly property var version: announcement ? announcement.version : null
    readonly property bool hasVersion: version !== null && version !== undefined

    implicitWidth: 430
    implicitHeight: column.implicitHeight + 48

    Rectangle {
        anchors.fill: parent
        color: VNT.bg0
        radius: 12
    }

    ColumnLayout {
        id: column
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 24
        spacing: 18

        RowLayout {
            Layout.fillWidth: true
            spacing: 14
            VantrelAppIcon {
                objectName: "announcementIcon"
                visible: popup.app !== null
                app: popup.app
                size: 54
            }
            VantrelLogo {
                objectName: "announcementLogo"
                visible: popup.app === null
                size: 54
            }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 7
                AppBadge {
                    text: qsTrId("announcementTitle")
                    color: VNT.lime
                }
                VantrelText {
                    objectName: "announcementTitle"
                    text: popup.announcement ? popup.announcement.title : ""
                    font: VNT.display(24, Font.DemiBold)
                    color: VNT.fg0
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
                VantrelText {
                    objectName: "announcementBody"
                    text: popup.announcement ? popup.announcement.body : ""
                    font: VNT.system(13)
                    lineHeight: VNT.lineFactor(13, 4)
                    color: VNT.fg2
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 10
            VantrelText {
                objectName: "announcementVersion"
                visible: popup.hasVersion
                text: popup.hasVersion ? String(popup.version) : ""
                font: VNT.mono(11)
                color: VNT.fg2
            }
            Item { Layout.fillWidth: true }
            VantrelButton {
                id: dismissButton
                objectName: "announcementDismissButton"
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("announcementDismiss")
                onClicked: popup.store.acknowledgePendingAnnouncement()
            }
            VantrelButton {
                id: openButton
                objectName: "announcementOpenButton"
                variant: VantrelButton.Variant.Primary
                text: qsTrId("announcementOpenApp")
                symbol: "arrow.right"
                enabled: popup.app !== null
                onClicked: popup.store.selectPendingAnnouncementApp()
            }
        }
    }

    // Keyboard: focus starts on the open button, or on dismiss when it is
    // disabled, for every announcement the popup shows in turn.
    function focusFirstButton() { (openButton.enabled ? openButton : dismissButton).forceActiveFocus() }
    Component.onCompleted: focusFirstButton()
    onAnnouncementChanged: Qt.callLater(focusFirstButton)
}
