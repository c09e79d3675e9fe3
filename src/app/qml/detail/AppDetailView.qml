// The page of one app (the store's selected app): hero, action panel with the
// one action that fits its state, metadata (only for apps with a complete
// published release), release notes (when there are any) and the privacy
// note. Without an app, an empty page.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

Rectangle {
    id: page
    required property LauncherStore store
    property var app: null
    readonly property bool hasApp: app !== null && app !== undefined
    readonly property bool published: hasApp && CatalogRules.hasPublishedRelease(app)
    readonly property var installState: {
        store.installStates
        return hasApp ? store.stateFor(app.id) : null
    }

    color: VNT.bg0

    // Without an app.
    ColumnLayout {
        objectName: "detailEmpty"
        visible: !page.hasApp
        anchors.centerIn: parent
        width: Math.min(parent.width - 40, 260)
        spacing: 10
        Symbol {
            name: "square.grid.2x2"
            size: 30
            color: VNT.fg3
            Layout.alignment: Qt.AlignHCenter
        }
        VantrelText {
            text: qsTrId("selectedAppEmptyTitle")
            font: VNT.system(13, Font.Medium)
            color: VNT.fg0
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        VantrelText {
            text: qsTrId("selectedAppEmptyBody")
            font: VNT.system(12)
            color: VNT.fg2
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            Layout.maximumWidth: 260
        }
    }

    Flickable {
        id: scroller
        objectName: "detailScroll"
        visible: page.hasApp
        anchors.fill: parent
        contentWidth: width
        contentHeight: panels.implicitHeight + 48
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar {
            // Only when there is something to scroll to.
            policy: scroller.contentHeight > scroller.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            contentItem: Rectangle {
                implicitWidth: 6
                radius: 3
                color: VNT.withAlpha(VNT.fg3, 0.6)
            }
        }

        ColumnLayout {
            id: panels
            x: 24
            y: 24
            width: scroller.width - 48
            spacing: 20

            DetailHero {
                Layout.fillWidth: true
                store: page.store
                app: page.app
            }
            ActionPanel {
                objectName: "actionPanel"
                Layout.fillWidth: true
                store: page.store
                app: page.app
                installState: page.installState
            }
            MetadataPanel {
                objectName: "metadataPanel"
                visible: page.published
                Layout.fillWidth: true
                store: page.store
                app: page.app
            }
            ReleaseNotesPanel {
                objectName: "releaseNotesPanel"
                visible: page.hasApp && page.app.releaseNotes.length > 0
                Layout.fillWidth: true
                store: page.store
                app: page.app
            }
            // Left out where there is no note (an installed app the catalog does not list).
            PrivacyPanel {
                objectName: "privacyPanel"
                visible: page.hasApp && page.app.privacyNote !== ""
                Layout.fillWidth: true
                store: page.store
                app: page.app
            }
        }
    }
}
