// The tray panel's content: the brand header with the app count and a button
// to the main window, every published app and then every installed app the
// catalog does not list, with its install state (a click opens it when a
// copy is installed and installs it otherwise), a fixed
// updates caption, buttons to the feedback sheet and the main window, and Quit.
// Ctrl+1…9 (bound by the panel window) run the app of that row.
// Holds no state; everything is read from the store when drawn.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import QtQuick.Templates as T
import Vantrel

Item {
    id: view
    objectName: "menuBarLauncher"
    required property LauncherStore store

    implicitWidth: 360
    implicitHeight: column.implicitHeight

    AppListModel {
        id: apps
        store: view.store
        kind: AppListModel.Kind.QuickLaunch
    }

    function bringUpMainWindow() {
        AppScenes.showMainWindow()
    }
    // Opens it when a copy is installed, installs it otherwise: the store decides.
    function runApp(appId) {
        store.selectedAppID = appId
        store.openApp(appId)
    }
    // The app of row `index` (from 0), as a click on it; false when there is none.
    function runRow(index) {
        if (index < 0 || index >= apps.count)
            return false
        runApp(apps.idAt(index))
        return true
    }
    function openFeedback() {
        bringUpMainWindow()
        store.resetFeedbackState()
        store.showingFeedbackSheet = true
    }

    Rectangle {
        anchors.fill: parent
        color: VNT.bg1
    }

    ColumnLayout {
        id: column
        anchors.fill: parent
        spacing: 0

        // Header.
        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 14
            spacing: 10
            VantrelLogo { size: 22 }
            ColumnLayout {
                spacing: 1
                Layout.fillWidth: true
                // Texts that fill the column let it grow, pushing the button to the trailing edge.
                VantrelText {
                    text: qsTrId("brand")
                    font: VNT.display(14, Font.DemiBold)
                    color: VNT.fg0
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
                VantrelText {
                    objectName: "menuAppCount"
                    text: view.store.appCountLabel
                    font: VNT.system(11)
                    color: VNT.fg2
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
            }
            VantrelButton {
                objectName: "menuHeaderOpen"
                variant: VantrelButton.Variant.Ghost
                symbol: "arrow.up.right"
                Accessible.name: qsTrId("openVantrel")
                onClicked: view.bringUpMainWindow()
            }
        }

        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: VNT.line }

        VantrelText {
            objectName: "menuQuickLaunchTitle"
            Layout.fillWidth: true
            leftPadding: 14
            rightPadding: 14
            topPadding: 12
            bottomPadding: 6
            text: qsTrId("menuQuickLaunch")
            font: VNT.system(11, Font.Medium)
            color: VNT.fg2
        }

        VantrelText {
            objectName: "menuEmpty"
            visible: apps.count === 0
            Layout.fillWidth: true
            leftPadding: 14
            rightPadding: 14
            topPadding: 18
            bottomPadding: 18
            text: qsTrId("emptyTitle")
            font: VNT.system(13)
            color: VNT.fg2
            wrapMode: Text.Wrap
        }

        ListView {
            id: list
            objectName: "menuAppList"
            visible: apps.count > 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            // Inset so each row's icon lines up with the labels above and below it.
            Layout.leftMargin: 4
            Layout.rightMargin: 4
            // Capped at the panel's tallest (720): a height that followed the
            // content would make the list build a row for every app.
            Layout.preferredHeight: Math.min(contentHeight, 720)
            Layout.minimumHeight: Math.min(contentHeight, 88)
            implicitHeight: Math.min(contentHeight, 720)
            interactive: contentHeight > height
            // Only the rows in view: the panel's first frame waits for every row made.
            cacheBuffer: 0
            // Only while it scrolls: the icons' glow reaches past the list's edge.
            clip: interactive
            boundsBehavior: Flickable.StopAtBounds
            model: apps
            delegate: VantrelTile {
                id: row
                required property int index
                required property string appId
                required property var app
                required property string name
                required property string tileStatus
                required property int installKind
                required property string statusLabel
                required property string notListed
                objectName: "menuRow_" + appId
                width: list.width
                height: 44
                leftPadding: 10
                rightPadding: 10
                Accessible.name: name + ", " + VNT.spokenProgress(tileStatus) + (notListed !== "" ? ", " + notListed : "")
                onClicked: view.runApp(appId)

                background: Rectangle {
                    radius: 6
                    color: row.down ? VNT.bg3 : row.hovered ? VNT.bg2 : "transparent"
                    FocusRing { target: row; anchors.margins: 1; radius: 6 }
                }
                contentItem: RowLayout {
                    spacing: 10
                    VantrelAppIcon { app: row.app; size: 28 }
                    ColumnLayout {
                        spacing: 1
                        Layout.fillWidth: true
                        Text {
                            text: row.name
                            font: VNT.system(12.5)
                            color: VNT.fg0
                            elide: Text.ElideRight
                            Layout.fillWidth: true
                        }
                        Text {
                            objectName: "menuRowState"
                            text: row.tileStatus + (row.notListed !== "" ? " · " + row.statusLabel : "")
                            font: VNT.system(10)
                            color: row.installKind === InstallState.Failed ? VNT.danger : VNT.fg2
                            elide: Text.ElideRight
                            Layout.fillWidth: true
                        }
                    }
                    Text {
                        objectName: "menuRowCaption"
                        text: KeyHints.hint(LauncherKeys.panelRow(row.index), view.store.locale)
                        font: VNT.system(9.5)
                        color: VNT.fg2
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.topMargin: 8
            implicitHeight: 1
            color: VNT.line
        }

        StatusMiniRow {
            objectName: "menuStatusRow"
            Layout.fillWidth: true
            Layout.margins: 14
            symbol: "arrow.down.circle"
            title: qsTrId("menuUpdates")
            detail: qsTrId("menuUpdatesDetail")
        }

        VantrelButton {
            objectName: "menuFeedbackButton"
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.bottomMargin: 8
            variant: VantrelButton.Variant.Secondary
            symbol: "bubble.left.and.bubble.right"
            text: qsTrId("sendFeedback")
            fillWidth: true
            onClicked: view.openFeedback()
        }

        VantrelButton {
            objectName: "menuOpenButton"
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.bottomMargin: 14
            variant: VantrelButton.Variant.Secondary
            text: qsTrId("openVantrel")
            hint: KeyHints.hint(LauncherKeys.mainWindow, view.store.locale)
            fillWidth: true
            onClicked: view.bringUpMainWindow()
        }

        VantrelButton {
            objectName: "menuQuitButton"
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.topMargin: -6
            Layout.bottomMargin: 10
            variant: VantrelButton.Variant.Ghost
            symbol: "power"
            symbolFrameWidth: 16
            text: qsTrId("quitAction")
            hint: KeyHints.hint(LauncherKeys.quit, view.store.locale)
            fillWidth: true
            onClicked: AppScenes.quit()
        }
    }
}
