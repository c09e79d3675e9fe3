// The install state label above the action detail, and the one main action
// that fits (the first of `actions` that applies). While installing, a
// progress bar in the app's accent with Cancel beside it (disabled once the new
// bundle is in place); while a copy is installed, Open (unless the main action
// opens), Roll back (when an update kept the copy it replaced), Verify and
// Remove, which asks first. A damaged copy says so in the state line, and
// Repair is its main action (beside an update, a secondary button in the
// line of what the last verify found); after a repair, "Repaired". A change
// waiting for the app to quit says so, with the way out; an app still running
// the copy an update replaced asks for a restart. An
// installed app the catalog does not list says why, and opens. Skip this
// version, Hold at VERSION and the way back from each join the other buttons
// in one group that wraps; the main button goes below its text where a large
// text leaves no room beside it.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

VantrelCard {
    id: panel
    required property LauncherStore store
    property var app
    property var installState
    property bool pending: false

    readonly property int kind: installState ? installState.kind : InstallState.NotInstalled
    readonly property bool hasCopy: !!installState && installState.installedCopyVersion !== ""
    // Why the catalog does not list this installed app (a message id); empty when it does.
    readonly property string notListed: {
        store.installedAppURLs; store.includeBetaApps; store.manifest
        return app ? store.notListedKey(app.id) : ""
    }
    readonly property bool offersRefresh: pending && notListed === ""
    // What the last verify of the installed copy found, or undefined.
    readonly property var verification: app ? store.checks.verifications[app.id] : undefined
    readonly property bool offersRepair: !!verification && verification.offersRepair
    readonly property bool damaged: !!verification && verification.damaged && kind !== InstallState.Installing
    // A repair put the copy right, and no verify has been run since.
    readonly property bool repaired: !!app && !verification && hasCopy && kind !== InstallState.Installing
                                     && store.checks.repairedApps.indexOf(app.id) >= 0
    readonly property bool verifying: !!app && store.checks.verifyingApps.indexOf(app.id) >= 0

    // One main action: all the button shows and what it does.
    component MainAction: Action {
        property bool applies: true
        property string symbol: ""
        property int variant: VantrelButton.Variant.Primary
    }
    // In order: the first that applies is the main button.
    readonly property list<MainAction> actions: [
        // Coming soon or an incomplete release: only a newer catalog can help.
        MainAction {
            applies: panel.offersRefresh
            text: qsTrId("refreshCatalog")
            symbol: "arrow.clockwise"
            variant: VantrelButton.Variant.Secondary
            onTriggered: panel.store.refreshCatalog()
        },
        MainAction {
            applies: panel.kind === InstallState.Installing
            text: qsTrId("installingAction")
            variant: VantrelButton.Variant.Secondary
            enabled: false
        },
        // A damaged copy that is otherwise current: putting it right comes first.
        MainAction {
            id: repairAction
            applies: panel.offersRepair && (panel.kind === InstallState.Installed || panel.notListed !== "")
            text: qsTrId("repairAction")
            symbol: "wrench"
            onTriggered: panel.store.checks.repairApp(panel.app.id)
        },
        MainAction {
            applies: panel.kind === InstallState.UpdateAvailable
            // What the update downloads, where it can be told ahead.
            readonly property string size: panel.app && panel.store.locale ? panel.store.manage.updateSizes[panel.app.id] || "" : ""
            text: size !== "" ? qsTrId("updateActionSized").arg(size) : qsTrId("updateAction")
            symbol: "arrow.triangle.2.circlepath"
            onTriggered: panel.store.installApp(panel.app.id)
        },
        MainAction {
            id: openAction
            applies: panel.kind === InstallState.Installed || panel.notListed !== ""
            text: qsTrId("openAction")
            symbol: "play"
            onTriggered: panel.store.openApp(panel.app.id)
        },
        // A failed update or reinstall: the installed copy stays.
        MainAction {
            applies: panel.kind === InstallState.Failed && panel.hasCopy
            text: qsTrId("retryAction")
            symbol: "arrow.clockwise"
            onTriggered: panel.store.installApp(panel.app.id)
        },
        MainAction {
            text: qsTrId("installAction")
            symbol: "arrow.down.circle"
            onTriggered: panel.store.installApp(panel.app.id)
        }
    ]
    readonly property MainAction action: {
        for (let i = 0; i < actions.length; ++i) {
            if (actions[i].applies)
                return actions[i]
        }
        return null
    }
    // store.locale: worded anew on a language change.
    // A damaged copy says so here, not only in the line of the verify.
    readonly property string stateLabel: !installState || !store.locale ? ""
                                         : installState.fullLabel() + (damaged ? " · " + qsTrId("verifyDamaged") : "")
    readonly property bool alarming: kind === InstallState.Failed || damaged
    readonly property string detailText: {
        if (offersRefresh) {
            // Which check keeps it from being installed, so nobody has to guess.
            const reason = app && store.manifest ? store.installRefusalKey(app.id) : ""
            return qsTrId("comingSoonTileStatus") + (reason !== "" ? " · " + qsTrId(reason) : "")
        }
        if (damaged)
            return verification.summary
        if (notListed !== "" && kind !== InstallState.Failed)
            return qsTrId(notListed)
        switch (kind) {
        case InstallState.Installing: return qsTrId("installingDetail")
        case InstallState.Installed: return qsTrId(PlatformText.id("installedDetail"))
        case InstallState.UpdateAvailable: return qsTrId("updateDetail")
        case InstallState.Failed: return installState.message
        default: return qsTrId("notInstalledDetail")
        }
    }

    radius: 10
    implicitHeight: column.implicitHeight + 32

    ColumnLayout {
        id: column
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12

        // The state and what it means, with the main action beside it or, where the text is large, below it.
        ActionLine {
            objectName: "actionHead"
            Layout.fillWidth: true
            RowLayout {
                spacing: 6
                Layout.fillWidth: true
                Symbol {
                    objectName: "actionFailedSymbol"
                    visible: panel.alarming
                    name: "exclamationmark.triangle"
                    size: 13
                    color: VNT.danger
                }
                VantrelText {
                    objectName: "actionStateLabel"
                    text: panel.stateLabel
                    Accessible.name: VNT.spokenProgress(panel.stateLabel)
                    font: VNT.system(13, Font.DemiBold)
                    color: panel.alarming ? VNT.danger : VNT.fg0
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }
            VantrelText {
                objectName: "actionDetail"
                text: panel.detailText
                font: VNT.system(11.5)
                color: VNT.fg2
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            buttons: VantrelButton {
                objectName: "actionButton"
                text: panel.action.text
                symbol: panel.action.symbol
                variant: panel.action.variant
                // While a change waits for the app to quit, asking again would only repeat the question.
                enabled: panel.action.enabled && !runningRow.waiting
                onClicked: panel.action.trigger()
            }
        }

        // The app and its processes: a change that waits for the app to quit
        // (with the way out), or a process still running the copy an update replaced.
        ActionLine {
            id: runningRow
            objectName: "runningRow"
            readonly property bool waiting: !!panel.app && panel.store.running.waitingApps.indexOf(panel.app.id) >= 0
            readonly property string restartVersion: panel.app ? panel.store.running.restartNeeded[panel.app.id] || "" : ""
            visible: waiting || restartVersion !== ""
            Layout.fillWidth: true
            RowLayout {
                spacing: 8
                Layout.fillWidth: true
                Symbol {
                    name: runningRow.waiting ? "clock" : "arrow.clockwise"
                    size: 13
                    color: VNT.fg1
                    Layout.alignment: Qt.AlignTop
                }
                VantrelText {
                    objectName: "runningText"
                    text: !panel.app || !panel.store.locale ? ""
                          : runningRow.waiting ? qsTrId("runningWaiting").arg(panel.app.name)
                          : qsTrId("restartToUse").arg(panel.app.name).arg(runningRow.restartVersion)
                    font: VNT.system(12)
                    color: VNT.fg1
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }
            buttons: VantrelButton {
                objectName: "stopWaitingButton"
                visible: runningRow.waiting
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("runningStopWaiting")
                onClicked: panel.store.running.stopWaiting(panel.app.id)
            }
        }

        StagedUpdateLine {
            store: panel.store
            app: panel.app
            Layout.fillWidth: true
        }

        // The user's decisions about updates: skip the offered version or hold
        // at the installed one. The way back from each is among the buttons below.
        QtObject {
            id: decisions
            readonly property bool shown: panel.hasCopy && panel.notListed === "" && panel.kind !== InstallState.Installing
            readonly property string installedVersion: panel.installState ? panel.installState.installedCopyVersion : ""
            readonly property bool held: !!panel.app && panel.store.manage.heldApps[panel.app.id] !== undefined
            readonly property string skipped: panel.app ? panel.store.manage.skippedUpdates[panel.app.id] || "" : ""
        }
        VantrelText {
            objectName: "decisionText"
            text: !panel.store.locale ? ""
                  : decisions.held ? qsTrId("heldDetail").arg(decisions.installedVersion)
                  : decisions.skipped !== "" ? qsTrId("skippedDetail").arg(decisions.skipped) : ""
            visible: decisions.shown && text !== ""
            font: VNT.system(12)
            color: VNT.fg2
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        // What the last verify found, unless the lines above say it already: damaged (or
        // nothing to compare with) with Repair beside another main action, or intact; and
        // "Repaired" once a repair put the copy right.
        ActionLine {
            objectName: "verificationRow"
            visible: panel.repaired || (!!panel.verification && panel.hasCopy && panel.kind !== InstallState.Installing
                                        && panel.action !== repairAction)
            Layout.fillWidth: true
            RowLayout {
                spacing: 8
                Layout.fillWidth: true
                Symbol {
                    visible: panel.offersRepair || panel.repaired
                    name: panel.repaired ? "checkmark.seal" : "exclamationmark.triangle"
                    size: 13
                    color: panel.repaired ? VNT.lime : VNT.danger
                    Layout.alignment: Qt.AlignTop
                }
                VantrelText {
                    objectName: "verificationText"
                    text: panel.repaired ? qsTrId("repairedStatus")
                          : !panel.verification ? ""
                          : panel.verification.damaged ? qsTrId("verifyDamaged") + " · " + panel.verification.summary
                          : panel.verification.summary
                    font: VNT.system(12)
                    color: panel.offersRepair ? VNT.danger : VNT.fg2
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }
            // Beside an update, the secondary way to put the copy right: one action is primary.
            buttons: VantrelButton {
                objectName: "repairButton"
                visible: panel.offersRepair
                variant: VantrelButton.Variant.Secondary
                symbol: "wrench"
                text: qsTrId("repairAction")
                onClicked: panel.store.checks.repairApp(panel.app.id)
            }
        }

        RowLayout {
            visible: panel.kind === InstallState.Installing
            Layout.fillWidth: true
            spacing: 12

        ProgressBar {
            id: progress
            objectName: "installProgress"
            Accessible.name: panel.app ? panel.app.name : ""
            // Qt 6.4 gives a progress bar no value interface: its value, in whole tens, is the description.
            Accessible.description: Math.floor(value * 10) * 10 + "%"
            visible: panel.kind === InstallState.Installing
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignVCenter
            from: 0
            to: 1
            value: panel.installState ? panel.installState.progress : 0
            background: Rectangle {
                implicitHeight: 4
                radius: 2
                color: VNT.bg3
            }
            contentItem: Item {
                implicitHeight: 4
                Rectangle {
                    width: progress.visualPosition * parent.width
                    height: parent.height
                    radius: 2
                    color: VNT.accentColor(panel.app ? panel.app.accent : Accent.Lime)
                }
            }
        }
            VantrelButton {
                objectName: "cancelInstallButton"
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("cancelAction")
                enabled: !!panel.app && panel.store.manage.cancellableInstalls.indexOf(panel.app.id) >= 0
                onClicked: panel.store.manage.cancelInstall(panel.app.id)
            }
        }
        // How much is done and how long is left, worded as the terminal words it.
        VantrelText {
            objectName: "installProgressText"
            readonly property var operation: panel.app ? panel.store.manage.installs[panel.app.id] : undefined
            visible: panel.kind === InstallState.Installing && text !== ""
            text: operation ? operation.progressText : ""
            font: VNT.system(12)
            color: VNT.fg2
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        // Every other action in one group, in the order of use: open, the decisions about updates, then
        // the copy itself, Remove last. Wraps onto further lines rather than cutting a button at the card's edge.
        Flow {
            id: manageRow
            // No narrower than its content before the layout gives it a width.
            readonly property real room: width > 0 ? width : Infinity
            objectName: "manageRow"
            visible: panel.hasCopy
            Layout.fillWidth: true
            spacing: 8
            VantrelButton {
                objectName: "openButton"
                width: Math.min(implicitWidth, manageRow.room)
                visible: panel.action !== openAction
                variant: VantrelButton.Variant.Secondary
                symbol: "play"
                text: qsTrId("openAction")
                onClicked: panel.store.openApp(panel.app.id)
            }
            VantrelButton {
                objectName: "skipVersionButton"
                width: Math.min(implicitWidth, manageRow.room)
                visible: decisions.shown && panel.kind === InstallState.UpdateAvailable && !decisions.held
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("skipVersionAction")
                onClicked: panel.store.manage.skipVersion(panel.app.id)
            }
            VantrelButton {
                objectName: "offerAgainButton"
                width: Math.min(implicitWidth, manageRow.room)
                visible: decisions.shown && decisions.skipped !== "" && !decisions.held
                variant: VantrelButton.Variant.Secondary
                text: visible ? qsTrId("offerAgainAction").arg(decisions.skipped) : ""
                onClicked: panel.store.manage.offerAgain(panel.app.id)
            }
            VantrelButton {
                objectName: "holdButton"
                width: Math.min(implicitWidth, manageRow.room)
                visible: decisions.shown && !decisions.held
                variant: VantrelButton.Variant.Secondary
                symbol: "pause.circle"
                text: qsTrId("holdAtAction").arg(decisions.installedVersion)
                onClicked: panel.store.manage.holdApp(panel.app.id)
            }
            VantrelButton {
                objectName: "releaseHoldButton"
                width: Math.min(implicitWidth, manageRow.room)
                visible: decisions.shown && decisions.held
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("releaseHoldAction")
                onClicked: panel.store.manage.releaseApp(panel.app.id)
            }
            VantrelButton {
                objectName: "rollBackButton"
                width: Math.min(implicitWidth, manageRow.room)
                readonly property var version: panel.app ? panel.store.manage.previousVersions[panel.app.id] : undefined
                readonly property string installedVersion: panel.installState ? panel.installState.installedCopyVersion : ""
                // After a roll back the kept copy is the newer one: going to it is a return.
                readonly property bool forward: visible && CatalogRules.isNewerVersion(version, installedVersion)
                visible: version !== undefined
                variant: VantrelButton.Variant.Secondary
                text: visible ? qsTrId(forward ? "returnToAction" : "rollBackAction").arg(version) : ""
                onClicked: panel.store.manage.rollBackApp(panel.app.id)
            }
            VantrelButton {
                objectName: "verifyButton"
                width: Math.min(implicitWidth, manageRow.room)
                variant: VantrelButton.Variant.Secondary
                enabled: !panel.verifying && panel.kind !== InstallState.Installing
                text: panel.verifying ? qsTrId("verifyingAction").arg(Math.floor(panel.store.checks.verifyProgress(panel.app.id) * 100))
                                      : qsTrId("verifyAction")
                onClicked: panel.store.checks.verifyApp(panel.app.id)
            }
            VantrelButton {
                objectName: "removeButton"
                width: Math.min(implicitWidth, manageRow.room)
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("removeAction")
                onClicked: confirmation.ask()
            }
        }
    }

    RemoveConfirmation {
        id: confirmation
        store: panel.store
        app: panel.app
    }
}
