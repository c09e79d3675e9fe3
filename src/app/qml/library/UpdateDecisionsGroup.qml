// Below the Updates section's list: the apps the user keeps out of it, apart,
// each with the way back: held apps ("Held at 1.0.0", Release hold) and
// skipped versions ("2.0.0 skipped", Offer 2.0.0 again).
import QtQuick
import QtQuick.Layouts
import Vantrel

ColumnLayout {
    id: group
    objectName: "updateDecisionsGroup"
    required property LauncherStore store
    readonly property var heldIds: Object.keys(store.manage.heldApps).sort()
    readonly property var skippedIds: Object.keys(store.manage.skippedUpdates).sort()
    visible: heldIds.length + skippedIds.length > 0
    spacing: 12

    component DecisionRow: VantrelCard {
        id: row
        required property string appId
        property string note: ""
        property string actionText: ""
        signal act()
        readonly property var app: group.store.appFor(appId)
        Layout.fillWidth: true
        radius: 10
        implicitHeight: line.implicitHeight + 20
        RowLayout {
            id: line
            x: 12
            y: 10
            width: parent.width - 24
            spacing: 10
            VantrelAppIcon {
                app: row.app
                size: 28
            }
            ColumnLayout {
                spacing: 2
                Layout.fillWidth: true
                VantrelText {
                    text: row.app ? row.app.name : row.appId
                    font: VNT.system(12.5, Font.Medium)
                    color: VNT.fg0
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
                VantrelText {
                    objectName: "decisionNote"
                    text: row.note
                    font: VNT.system(11)
                    color: VNT.fg3
                    Layout.fillWidth: true
                }
            }
            VantrelButton {
                objectName: "decisionButton"
                variant: VantrelButton.Variant.Secondary
                text: row.actionText
                onClicked: row.act()
            }
        }
    }

    Repeater {
        model: group.heldIds.length > 0 ? [0] : []
        delegate: AppSectionHeader {
            Layout.fillWidth: true
            store: group.store
            title: qsTrId("updatesHeldTitle")
            subtitle: qsTrId("appListSubtitle", group.heldIds.length)
        }
    }
    Repeater {
        objectName: "heldRows"
        model: group.heldIds
        delegate: DecisionRow {
            required property string modelData
            appId: modelData
            note: group.store.locale ? qsTrId("heldAtLabel").arg(group.store.manage.heldApps[modelData]) : ""
            actionText: group.store.locale ? qsTrId("releaseHoldAction") : ""
            onAct: group.store.manage.releaseApp(appId)
        }
    }
    Repeater {
        model: group.skippedIds.length > 0 ? [0] : []
        delegate: AppSectionHeader {
            Layout.fillWidth: true
            store: group.store
            title: qsTrId("updatesSkippedTitle")
            subtitle: qsTrId("appListSubtitle", group.skippedIds.length)
        }
    }
    Repeater {
        objectName: "skippedRows"
        model: group.skippedIds
        delegate: DecisionRow {
            required property string modelData
            readonly property string version: group.store.manage.skippedUpdates[modelData] || ""
            appId: modelData
            note: group.store.locale ? qsTrId("skippedVersionLabel").arg(version) : ""
            actionText: group.store.locale ? qsTrId("offerAgainAction").arg(version) : ""
            onAct: group.store.manage.offerAgain(appId)
        }
    }
}
