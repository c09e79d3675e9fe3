// The About window's content: the brand mark and name with the version, the
// copyright and licence as the package states them, the catalog URL the
// launcher fetches, and the way to send feedback (the main window's sheet).
import QtQuick
import QtQuick.Layouts
import Vantrel

Item {
    id: view
    objectName: "aboutView"
    required property LauncherStore store
    signal closeRequested()

    implicitWidth: 420
    implicitHeight: column.implicitHeight + 48

    function sendFeedback() {
        AppScenes.showMainWindow()
        store.resetFeedbackState()
        store.showingFeedbackSheet = true
        closeRequested()
    }

    Rectangle {
        anchors.fill: parent
        color: VNT.bg0
    }

    ColumnLayout {
        id: column
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 24
        spacing: 16

        RowLayout {
            spacing: 14
            VantrelLogo { size: 40 }
            ColumnLayout {
                spacing: 2
                Layout.fillWidth: true
                VantrelText {
                    text: qsTrId("brand")
                    font: VNT.display(20, Font.DemiBold)
                    color: VNT.fg0
                }
                VantrelText {
                    objectName: "aboutVersion"
                    text: qsTrId("aboutVersion").arg(AboutFacts.version)
                    font: VNT.system(12)
                    color: VNT.fg2
                }
            }
        }

        VantrelCard {
            Layout.fillWidth: true
            implicitHeight: rows.implicitHeight + 28
            radius: 10
            ColumnLayout {
                id: rows
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.margins: 14
                spacing: 10
                DetailRow {
                    objectName: "aboutCopyright"
                    Layout.fillWidth: true
                    label: qsTrId("aboutCopyright")
                    value: AboutFacts.copyright
                }
                DetailRow {
                    objectName: "aboutLicence"
                    Layout.fillWidth: true
                    label: qsTrId("aboutLicence")
                    value: AboutFacts.licence
                    maximumLines: 4
                }
                DetailRow {
                    objectName: "aboutCatalog"
                    Layout.fillWidth: true
                    label: qsTrId("aboutCatalog")
                    value: AboutFacts.catalogUrl
                    maximumLines: 4
                }
            }
        }

        RowLayout {
            spacing: 8
            VantrelButton {
                objectName: "aboutFeedbackButton"
                variant: VantrelButton.Variant.Secondary
                symbol: "bubble.left.and.bubble.right"
                text: qsTrId("sendFeedback")
                onClicked: view.sendFeedback()
            }
            Item { Layout.fillWidth: true }
            VantrelButton {
                objectName: "aboutCloseButton"
                variant: VantrelButton.Variant.Primary
                text: qsTrId("feedbackClose")
                onClicked: view.closeRequested()
            }
        }
    }
}
