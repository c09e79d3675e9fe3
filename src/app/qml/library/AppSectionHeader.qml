// The title row of an app section (the subtitle in upper case) and, when the
// list is empty, its empty state.
// The Updates section adds a toolbar: "Update all (N)" while N apps have an
// update, "Check for updates" and "Verify all" with the time of the last
// successful check; then the lines that sum up the last update run and the last "Verify all".
// The tiles follow in the library's grid.
import QtQuick
import QtQuick.Layouts
import Vantrel

ColumnLayout {
    id: section
    required property LauncherStore store
    property string title
    property string subtitle
    property bool isEmpty: false
    property int emptyKind: AppListModel.Kind.None  // the list shown, for its empty state
    property bool offersUpdateAll: false
    readonly property int updatable: store.manage.updatableAppIDs.length
    spacing: 12

    RowLayout {
        Layout.fillWidth: true
        VantrelText {
            objectName: "sectionTitle"
            text: section.title
            font: VNT.display(17, Font.DemiBold)
            color: VNT.fg0
        }
        Item { Layout.fillWidth: true }
        VantrelText {
            objectName: "sectionSubtitle"
            text: section.subtitle.toUpperCase()
            font: VNT.mono(10, Font.Medium)
            color: VNT.fg2
        }
    }
    // A toolbar that wraps onto further lines rather than cutting a control at the column's edge.
    Flow {
        id: toolbar
        // No narrower than its content before the layout gives it a width.
        readonly property real room: width > 0 ? width : Infinity
        objectName: "updateCheckRow"
        visible: section.offersUpdateAll
        Layout.fillWidth: true
        spacing: 10
        VantrelButton {
            objectName: "updateAllButton"
            width: Math.min(implicitWidth, toolbar.room)
            visible: section.offersUpdateAll && section.updatable > 0
            enabled: !section.store.manage.updatingAll
            variant: VantrelButton.Variant.Primary
            symbol: "arrow.triangle.2.circlepath"
            text: qsTrId("updateAllAction", section.updatable)
            onClicked: section.store.manage.updateAll()
        }
        VantrelButton {
            id: checkButton
            objectName: "checkForUpdatesButton"
            width: Math.min(implicitWidth, toolbar.room)
            variant: VantrelButton.Variant.Secondary
            symbol: "arrow.clockwise"
            text: qsTrId("checkForUpdates")
            onClicked: section.store.refreshCatalog()
        }
        VantrelButton {
            objectName: "verifyAllButton"
            width: Math.min(implicitWidth, toolbar.room)
            variant: VantrelButton.Variant.Secondary
            symbol: "checkmark.seal"
            text: qsTrId("verifyAllAction")
            enabled: !section.store.checks.verifyingAll
            onClicked: section.store.checks.verifyAll()
        }
        VantrelText {
            objectName: "lastCheckText"
            readonly property date checked: section.store.lastCatalogCheck
            text: isNaN(checked.getTime()) ? qsTrId("lastCheckedNever")
                  : qsTrId("lastCheckedAt").arg(
                        checked.toLocaleTimeString(Qt.locale(section.store.locale), Locale.ShortFormat))
            // Whole, and as tall as the buttons beside it; on a line of its own where it must.
            width: Math.min(implicitWidth, toolbar.room)
            height: Math.max(implicitHeight, checkButton.height)
            verticalAlignment: Text.AlignVCenter
            font: VNT.system(12)
            color: VNT.fg2
            wrapMode: Text.Wrap
        }
    }
    VantrelText {
        objectName: "updateSummary"
        visible: section.offersUpdateAll && section.store.manage.updateSummary !== ""
        text: SummaryText.summary(section.store.manage.lastUpdates, section.store.locale)
        font: VNT.system(12)
        color: VNT.fg2
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    VantrelText {
        objectName: "verifySummary"
        visible: section.offersUpdateAll && section.store.checks.verifySummary !== ""
        text: section.store.checks.verifySummary
        font: VNT.system(12)
        color: VNT.fg2
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    EmptyStateView {
        visible: section.isEmpty
        Layout.fillWidth: true
        store: section.store
        kind: section.emptyKind
    }
}
