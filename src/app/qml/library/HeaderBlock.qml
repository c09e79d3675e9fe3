// The library's header: today's date, the greeting and the catalog subtitle.
import QtQuick
import Vantrel

Column {
    id: header
    objectName: "headerBlock"
    required property LauncherStore store
    required property CatalogOverview overview
    spacing: 4

    VantrelText {
        objectName: "headerDate"
        text: header.store.formattedToday
        font.family: VNT.monoFamily
        font.pixelSize: VNT.px(10)
        font.weight: Font.Medium
        font.letterSpacing: 0.8
        color: VNT.fg2
    }
    VantrelText {
        objectName: "headerGreeting"
        width: parent.width
        text: qsTrId("homeGreeting").arg("")
        font: VNT.display(31, Font.DemiBold)
        color: VNT.fg0
        wrapMode: Text.Wrap
    }
    VantrelText {
        objectName: "headerSubtitle"
        width: parent.width
        text: header.overview.publishedCount > 0
              ? qsTrId("homeSubtitleApps", header.overview.publishedCount)
              : qsTrId("homeSubtitleEmpty")
        font: VNT.system(13.5)
        color: VNT.fg2
        wrapMode: Text.Wrap
    }
}
