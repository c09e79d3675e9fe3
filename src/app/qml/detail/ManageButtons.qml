// Every action on an installed copy but the main one, in the order of use:
// Open (unless the main action opens), the decisions about updates and the
// way back from each, Roll back (when an update kept the copy it replaced),
// Verify, then Remove, which the panel asks about first. Wraps onto further
// lines rather than cutting a button at the card's edge.
import QtQuick
import Vantrel

Flow {
    id: manageRow
    required property LauncherStore store
    required property AppPageState pageState
    property var app
    property var installState
    readonly property int kind: installState ? installState.kind : InstallState.NotInstalled
    readonly property string installedVersion: installState ? installState.installedCopyVersion : ""
    readonly property bool verifying: !!app && store.checks.verifyingApps.indexOf(app.id) >= 0
    // No narrower than its content before the layout gives it a width.
    readonly property real room: width > 0 ? width : Infinity
    signal removeAsked()

    objectName: "manageRow"
    spacing: 8
    VantrelButton {
        objectName: "openButton"
        width: Math.min(implicitWidth, manageRow.room)
        visible: manageRow.pageState.primaryAction !== AppPageState.Action.Open
        variant: VantrelButton.Variant.Secondary
        symbol: "play"
        text: qsTrId("openAction")
        onClicked: manageRow.store.openApp(manageRow.app.id)
    }
    VantrelButton {
        objectName: "skipVersionButton"
        width: Math.min(implicitWidth, manageRow.room)
        visible: manageRow.pageState.decisionsShown && manageRow.kind === InstallState.UpdateAvailable && !manageRow.pageState.held
        variant: VantrelButton.Variant.Secondary
        text: qsTrId("skipVersionAction")
        onClicked: manageRow.store.manage.skipVersion(manageRow.app.id)
    }
    VantrelButton {
        objectName: "offerAgainButton"
        width: Math.min(implicitWidth, manageRow.room)
        visible: manageRow.pageState.decisionsShown && manageRow.pageState.skippedVersion !== "" && !manageRow.pageState.held
        variant: VantrelButton.Variant.Secondary
        text: visible ? qsTrId("offerAgainAction").arg(manageRow.pageState.skippedVersion) : ""
        onClicked: manageRow.store.manage.offerAgain(manageRow.app.id)
    }
    VantrelButton {
        objectName: "holdButton"
        width: Math.min(implicitWidth, manageRow.room)
        visible: manageRow.pageState.decisionsShown && !manageRow.pageState.held
        variant: VantrelButton.Variant.Secondary
        symbol: "pause.circle"
        text: qsTrId("holdAtAction").arg(manageRow.installedVersion)
        onClicked: manageRow.store.manage.holdApp(manageRow.app.id)
    }
    VantrelButton {
        objectName: "releaseHoldButton"
        width: Math.min(implicitWidth, manageRow.room)
        visible: manageRow.pageState.decisionsShown && manageRow.pageState.held
        variant: VantrelButton.Variant.Secondary
        text: qsTrId("releaseHoldAction")
        onClicked: manageRow.store.manage.releaseApp(manageRow.app.id)
    }
    VantrelButton {
        objectName: "rollBackButton"
        width: Math.min(implicitWidth, manageRow.room)
        readonly property var version: manageRow.app ? manageRow.store.manage.previousVersions[manageRow.app.id] : undefined
        // After a roll back the kept copy is the newer one: going to it is a return.
        readonly property bool forward: visible && CatalogRules.isNewerVersion(version, manageRow.installedVersion)
        visible: version !== undefined
        variant: VantrelButton.Variant.Secondary
        text: visible ? qsTrId(forward ? "returnToAction" : "rollBackAction").arg(version) : ""
        onClicked: manageRow.store.manage.rollBackApp(manageRow.app.id)
    }
    VantrelButton {
        objectName: "verifyButton"
        width: Math.min(implicitWidth, manageRow.room)
        variant: VantrelButton.Variant.Secondary
        enabled: !manageRow.verifying && manageRow.kind !== InstallState.Installing
        text: manageRow.verifying ? qsTrId("verifyingAction").arg(Math.floor(manageRow.store.checks.verifyProgress(manageRow.app.id) * 100))
                                  : qsTrId("verifyAction")
        onClicked: manageRow.store.checks.verifyApp(manageRow.app.id)
    }
    VantrelButton {
        objectName: "removeButton"
        width: Math.min(implicitWidth, manageRow.room)
        variant: VantrelButton.Variant.Secondary
        text: qsTrId("removeAction")
        onClicked: manageRow.removeAsked()
    }
}
