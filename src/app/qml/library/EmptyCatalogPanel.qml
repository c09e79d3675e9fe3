// Home with an empty catalog: a tray state icon, the title and body, a primary
// "check for apps" button that refreshes the catalog, and the trust note.
import QtQuick
import QtQuick.Layouts
import Vantrel

VantrelCard {
    id: panel
    objectName: "emptyCatalogPanel"
    required property LauncherStore store
    radius: 10
    implicitHeight: column.implicitHeight + 36

    ColumnLayout {
        id: column
        x: 18
        y: 18
        width: parent.width - 36
        spacing: 16

        // The button sits beside the text while the text keeps room for the
        // title on one line (or 360); narrower, it moves under the text.
        GridLayout {
            id: top
            readonly property bool sideBySide: width - 46 - 16 - 16 - refresh.implicitWidth
                                               >= Math.min(titleMetrics.advanceWidth(title.text), 360)
            Layout.fillWidth: true
            columns: sideBySide ? 3 : 2
            columnSpacing: 16
            rowSpacing: 16
            StateIcon {
                symbol: "tray"
                accent: VNT.lime
                Layout.alignment: Qt.AlignTop
                Layout.rowSpan: top.sideBySide ? 1 : 2
            }
            ColumnLayout {
                Layout.fillWidth: true
                Layout.alignment: Qt.AlignTop
                spacing: 6
                VantrelText {
                    id: title
                    objectName: "emptyTitle"
                    text: qsTrId("emptyTitle")
                    font: VNT.display(23, Font.DemiBold)
                    color: VNT.fg0
                    wrapMode: Text.WordWrap
                    Layout.fillWidth: true
                    FontMetrics { id: titleMetrics; font: title.font }
                }
                VantrelText {
                    text: qsTrId("emptyBody")
                    font: VNT.system(13.5)
                    color: VNT.fg2
                    lineHeight: VNT.lineFactor(font.pixelSize, 4)
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }
            VantrelButton {
                id: refresh
                objectName: "emptyRefreshButton"
                variant: VantrelButton.Variant.Primary
                symbol: "arrow.clockwise"
                text: qsTrId("emptyPrimaryAction")
                Accessible.name: qsTrId("refreshCatalog")
                Layout.alignment: Qt.AlignTop | Qt.AlignLeft
                onClicked: panel.store.refreshCatalog()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: trust.implicitHeight + 28
            radius: 8
            color: VNT.bg2
            RowLayout {
                id: trust
                x: 14
                y: 14
                width: parent.width - 28
                spacing: 12
                Symbol {
                    name: "checkmark.seal"
                    color: VNT.lime
                    size: 15
                    Layout.alignment: Qt.AlignTop
                }
                ColumnLayout {
                    spacing: 5
                    Layout.fillWidth: true
                    VantrelText {
                        text: qsTrId("emptyTrustTitle")
                        font: VNT.system(13, Font.DemiBold)
                        color: VNT.fg0
                        Layout.fillWidth: true
                        wrapMode: Text.Wrap
                    }
                    VantrelText {
                        text: qsTrId("emptyTrustBody")
                        font: VNT.system(12.5)
                        color: VNT.fg2
                        lineHeight: VNT.lineFactor(font.pixelSize, 3)
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                    }
                }
            }
        }
    }
}
