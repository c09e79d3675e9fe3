// Release metadata: bundle ID, version, minimum system, "checksum verified",
// the update feed (only when it has one that is not on a ".local" host) and a
// badge per tag. Padding 16, 12 apart, card radius 10.
import QtQuick
import QtQuick.Layouts
import Vantrel

VantrelCard {
    id: panel
    required property LauncherStore store
    property var app
    readonly property string feed: app ? CatalogRules.updateFeed(app) : ""
    radius: 10
    implicitHeight: column.implicitHeight + 32

    ColumnLayout {
        id: column
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12
        Text {
            text: panel.store.copy.text("detailsTitle")
            font: VNT.system(13, Font.DemiBold)
            color: VNT.fg0
        }
        DetailRow { objectName: "rowBundleID"; label: panel.store.copy.text("bundleID"); value: panel.app ? panel.app.bundleId : ""; Layout.fillWidth: true }
        DetailRow { objectName: "rowVersion"; label: panel.store.copy.text("version"); value: panel.app ? panel.app.version : ""; Layout.fillWidth: true }
        DetailRow { objectName: "rowMinimum"; label: panel.store.copy.text("minimumMacOS"); value: panel.app ? panel.app.minMacOS : ""; Layout.fillWidth: true }
        DetailRow { objectName: "rowChecksum"; label: panel.store.copy.text("checksum"); value: panel.store.copy.text("checksumVerified"); Layout.fillWidth: true }
        DetailRow {
            objectName: "rowUpdateFeed"
            visible: panel.feed !== ""
            label: panel.store.copy.text("updateFeed")
            value: panel.feed
            Layout.fillWidth: true
        }
        Flow {
            spacing: 6
            Layout.fillWidth: true
            Repeater {
                model: panel.app ? panel.app.tags : []
                AppBadge {
                    required property string modelData
                    text: modelData
                    color: VNT.fg2
                }
            }
        }
    }
}
