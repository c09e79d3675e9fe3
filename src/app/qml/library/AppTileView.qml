// One app tile: icon, the status mark (a clock for apps that cannot be
// installed yet, a filled star for a starter app, else none: the mark is no
// control, so it never looks like an empty toggle), name, tagline, the status
// badge (for an installed app the catalog does not list, why, in a neutral
// tone) and the tile status (a failure or a damaged copy after a warning
// symbol); an outline
// when selected. Click or Return selects the app and reports `chosen`.
import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Vantrel

VantrelTile {
    id: tile
    required property LauncherStore store
    property var app
    property string appId
    property int status: ReleaseStatus.Live
    property string statusLabel
    property string tileStatus
    property bool starred
    property bool pending: false
    property int installKind: InstallState.NotInstalled
    // Why the catalog does not list this installed app; empty when it does.
    property string notListed
    signal chosen()

    objectName: "tile_" + appId
    readonly property bool isSelected: store.selectedAppID === appId
    readonly property bool failed: !pending && installKind === InstallState.Failed
    // The last verify found the copy damaged: as alarming as a failure.
    readonly property bool damaged: {
        const found = store.checks.verifications[appId]
        return !!found && found.damaged && installKind !== InstallState.Installing
    }
    padding: 16
    // As laid out; the library gives every tile the height of the tallest.
    implicitHeight: Math.max(164, implicitContentHeight + topPadding + bottomPadding)
    Accessible.name: (app ? app.name : "") + ", " + VNT.spokenProgress(tileStatus) + (notListed !== "" ? ", " + notListed : "")

    onClicked: {
        store.selectedAppID = appId
        chosen()
    }

    background: Rectangle {
        radius: 12
        color: VNT.bg1
        border.color: VNT.line
        border.width: 1
        Rectangle {
            objectName: "selectionOutline"
            anchors.fill: parent
            radius: 12
            color: "transparent"
            border.width: 1
            border.color: tile.isSelected ? VNT.withAlpha(VNT.lime, 0.45) : "transparent"
        }
        FocusRing { target: tile; radius: 12 }
    }

    // 13 between the three parts; the badge row keeps to the bottom of a taller tile.
    contentItem: ColumnLayout {
        spacing: 0
        RowLayout {
            Layout.fillWidth: true
            VantrelAppIcon {
                app: tile.app
                size: 42
                Layout.alignment: Qt.AlignTop
            }
            Item { Layout.fillWidth: true }
            Symbol {
                objectName: "tileStatusSymbol"
                Layout.alignment: Qt.AlignTop
                visible: tile.pending || tile.starred
                name: tile.pending ? "clock" : "star.fill"
                color: tile.pending ? VNT.amber : VNT.lime
                size: 13
            }
        }
        ColumnLayout {
            objectName: "tileTexts"
            Layout.fillWidth: true
            Layout.topMargin: 13
            spacing: 2
            Text {
                text: tile.app ? tile.app.name : ""
                font: VNT.system(14, Font.DemiBold)
                color: VNT.fg0
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
            Text {
                text: tile.app ? tile.app.tagline : ""
                font: VNT.system(11.5)
                color: VNT.fg2
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
        }
        Item { Layout.fillHeight: true }
        RowLayout {
            objectName: "tileBadgeRow"
            Layout.fillWidth: true
            Layout.topMargin: 13
            spacing: 8
            AppBadge {
                objectName: "tileBadge"
                text: tile.statusLabel
                color: tile.notListed !== "" ? VNT.fg2 : tile.status === ReleaseStatus.Beta ? VNT.violet : VNT.lime
            }
            Symbol {
                objectName: "tileFailedSymbol"
                visible: tile.failed || tile.damaged
                name: "exclamationmark.triangle"
                size: 11
                color: VNT.danger
            }
            Text {
                objectName: "tileStatusText"
                text: tile.tileStatus
                font: VNT.mono(10.5)
                color: tile.failed || tile.damaged ? VNT.danger : VNT.fg2
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
        }
    }
}
