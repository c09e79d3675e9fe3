// Release metadata: bundle ID, version, minimum system, "checksum verified",
// the update feed (only when it has one that is not on a ".local" host) and a
// badge per tag.
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

    // The label column: 92 (more in a larger text), wider for the longest
    // word of this language's labels (a word is never broken) and, up to 130,
    // for the longest label on one line. It does not follow the panel's
    // width: a nested layout misses changes made while the page lays out.
    readonly property var labels: ["bundleID", "version", "minimumMacOS", "checksum", "updateFeed"]
                                  .map(key => qsTrId(PlatformText.id(key)))
    readonly property real labelWidth: {
        let word = 0, whole = 0
        for (const label of labels) {
            whole = Math.max(whole, labelMetrics.advanceWidth(label))
            for (const part of label.split(/\s+/))
                word = Math.max(word, labelMetrics.advanceWidth(part))
        }
        return Math.ceil(Math.max(92 * VNT.textScale, word, Math.min(whole, 130)))
    }
    FontMetrics { id: labelMetrics; font: VNT.system(11.5) }

    ColumnLayout {
        id: column
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12
        VantrelText {
            text: qsTrId("detailsTitle")
            font: VNT.system(13, Font.DemiBold)
            color: VNT.fg0
        }
        DetailRow { objectName: "rowBundleID"; label: qsTrId("bundleID"); value: panel.app ? panel.app.bundleId : ""; labelWidth: panel.labelWidth; Layout.fillWidth: true }
        DetailRow { objectName: "rowVersion"; label: qsTrId("version"); value: panel.app ? panel.app.version : ""; labelWidth: panel.labelWidth; Layout.fillWidth: true }
        DetailRow { objectName: "rowMinimum"; label: qsTrId(PlatformText.id("minimumMacOS")); value: panel.app ? panel.app.minMacOS : ""; labelWidth: panel.labelWidth; Layout.fillWidth: true }
        DetailRow { objectName: "rowChecksum"; label: qsTrId("checksum"); value: qsTrId("checksumVerified"); labelWidth: panel.labelWidth; Layout.fillWidth: true }
        DetailRow {
            objectName: "rowUpdateFeed"
            visible: panel.feed !== ""
            label: qsTrId("updateFeed")
            value: panel.feed
            // A URL broken at its separators takes more lines; it is shown whole.
            maximumLines: 8  // whole, even at large text sizes
            labelWidth: panel.labelWidth
            Layout.fillWidth: true
        }
        // Left out without tags: an empty row would still take its spacing.
        Flow {
            objectName: "metadataTags"
            visible: !!panel.app && panel.app.tags.length > 0
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
