// The top of the coming-soon panel: a sparkles state icon, the "coming soon"
// badge, title and body. The coming-soon tiles follow in the library's grid.
import QtQuick
import QtQuick.Layouts
import Vantrel

Item {
    id: panel
    objectName: "comingSoonPanel"
    required property LauncherStore store
    implicitHeight: row.implicitHeight + 2   // +12 grid gap = 14 to the tiles

    RowLayout {
        id: row
        width: parent.width
        spacing: 16
        StateIcon {
            symbol: "sparkles"
            accent: VNT.amber
            Layout.alignment: Qt.AlignTop
        }
        ColumnLayout {
            spacing: 6
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignTop
            AppBadge {
                text: qsTrId("statusComingSoon")
                color: VNT.amber
            }
            VantrelText {
                text: qsTrId("comingSoonTitle")
                font: VNT.display(23, Font.DemiBold)
                color: VNT.fg0
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            VantrelText {
                text: qsTrId("comingSoonBody")
                font: VNT.system(13.5)
                color: VNT.fg2
                lineHeight: VNT.lineFactor(font.pixelSize, 4)
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
    }
}
