// The install state label above the action detail, and the one main action
// that fits (AppPageState decides it). While installing, a progress bar in the
// app's accent with Cancel beside it (disabled once the new bundle is in place);
// a damaged copy says so in the state line. A change waiting for the app to
// quit says so, with the way out; an app still running the copy an update
// replaced asks for a restart. Then the user's decisions about updates, the
// line of the last verify and the other actions on the installed copy. The
// main button goes below its text where a large text leaves no room beside it.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

VantrelCard {
    id: panel
    required property LauncherStore store
    property var app
    property var installState

    readonly property int kind: installState ? installState.kind : InstallState.NotInstalled
    readonly property bool hasCopy: !!installState && installState.installedCopyVersion !== ""
    AppPageState {
        id: appPage
        store: panel.store
        appId: panel.app ? panel.app.id : ""
    }
    // store.locale: worded anew on a language change.
    // A damaged copy says so here, not only in the line of the verify.
    readonly property string stateLabel: !installState || !store.locale ? ""
                                         : installState.fullLabel() + (appPage.damaged ? " · " + qsTrId("verifyDamaged") : "")
    readonly property bool alarming: kind === InstallState.Failed || appPage.damaged

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
                text: appPage.detailText
                font: VNT.system(11.5)
                color: VNT.fg2
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            buttons: VantrelButton {
                objectName: "actionButton"
                text: appPage.primaryText
                symbol: appPage.primarySymbol
                variant: appPage.primaryProminent ? VantrelButton.Variant.Primary : VantrelButton.Variant.Secondary
                enabled: appPage.primaryEnabled
                onClicked: appPage.triggerPrimary()
            }
        }

        // The app and its processes: a change that waits for the app to quit
        // (with the way out), or a process still running the copy an update replaced.
        ActionLine {
            objectName: "runningRow"
            visible: appPage.waiting || appPage.restartVersion !== ""
            Layout.fillWidth: true
            RowLayout {
                spacing: 8
                Layout.fillWidth: true
                Symbol {
                    name: appPage.waiting ? "clock" : "arrow.clockwise"
                    size: 13
                    color: VNT.fg1
                    Layout.alignment: Qt.AlignTop
                }
                VantrelText {
                    objectName: "runningText"
                    text: !panel.app || !panel.store.locale ? ""
                          : appPage.waiting ? qsTrId("runningWaiting").arg(panel.app.name)
                          : qsTrId("restartToUse").arg(panel.app.name).arg(appPage.restartVersion)
                    font: VNT.system(12)
                    color: VNT.fg1
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }
            buttons: VantrelButton {
                objectName: "stopWaitingButton"
                visible: appPage.waiting
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
        VantrelText {
            objectName: "decisionText"
            text: appPage.decisionText
            visible: text !== ""
            font: VNT.system(12)
            color: VNT.fg2
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        VerificationLine {
            store: panel.store
            pageState: appPage
            app: panel.app
            installState: panel.installState
            Layout.fillWidth: true
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

        ManageButtons {
            store: panel.store
            pageState: appPage
            app: panel.app
            installState: panel.installState
            visible: panel.hasCopy
            Layout.fillWidth: true
            onRemoveAsked: confirmation.ask()
        }
    }

    RemoveConfirmation {
        id: confirmation
        store: panel.store
        app: panel.app
    }
}
