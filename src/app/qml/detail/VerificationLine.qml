// What the last verify found, unless the lines above say it already: damaged
// (or nothing to compare with) with Repair beside another main action, or
// intact; and "Repaired" once a repair put the copy right.
import QtQuick
import QtQuick.Layouts
import Vantrel

ActionLine {
    id: line
    required property LauncherStore store
    required property AppPageState pageState
    property var app
    property var installState
    readonly property bool hasCopy: !!installState && installState.installedCopyVersion !== ""
    readonly property bool installing: !!installState && installState.kind === InstallState.Installing
    // What the last verify of the installed copy found, or undefined.
    readonly property var verification: app ? store.checks.verifications[app.id] : undefined
    readonly property bool offersRepair: !!verification && verification.offersRepair
    // A repair put the copy right, and no verify has been run since.
    readonly property bool repaired: !!app && !verification && hasCopy && !installing
                                     && store.checks.repairedApps.indexOf(app.id) >= 0

    objectName: "verificationRow"
    visible: repaired || (!!verification && hasCopy && !installing && pageState.primaryAction !== AppPageState.Action.Repair)
    RowLayout {
        spacing: 8
        Layout.fillWidth: true
        Symbol {
            visible: line.offersRepair || line.repaired
            name: line.repaired ? "checkmark.seal" : "exclamationmark.triangle"
            size: 13
            color: line.repaired ? VNT.lime : VNT.danger
            Layout.alignment: Qt.AlignTop
        }
        VantrelText {
            objectName: "verificationText"
            text: line.repaired ? qsTrId("repairedStatus")
                  : !line.verification ? ""
                  : line.verification.damaged ? qsTrId("verifyDamaged") + " · " + line.verification.summary
                  : line.verification.summary
            font: VNT.system(12)
            color: line.offersRepair ? VNT.danger : VNT.fg2
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
    }
    // Beside an update, the secondary way to put the copy right: one action is primary.
    buttons: VantrelButton {
        objectName: "repairButton"
        visible: line.offersRepair
        variant: VantrelButton.Variant.Secondary
        symbol: "wrench"
        text: qsTrId("repairAction")
        onClicked: line.store.checks.repairApp(line.app.id)
    }
}
