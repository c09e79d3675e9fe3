// Every release note in manifest order: version (in the app's accent), date as
// written and text.
import QtQuick
import QtQuick.Layouts
import Vantrel

VantrelCard {
    id: panel
    required property LauncherStore store
    property var app
    radius: 10
    implicitHeight: column.implicitHeight + 32

    ColumnLayout {
        id: column
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12
        VantrelText {
            text: qsTrId("recentUpdates")
            font: VNT.system(13, Font.DemiBold)
            color: VNT.fg0
        }
        Repeater {
            objectName: "releaseNotes"
            model: panel.app ? panel.app.releaseNotes : []
            delegate: ColumnLayout {
                required property var modelData
                objectName: "releaseNote"
                spacing: 4
                Layout.fillWidth: true
                Layout.topMargin: 4
                Layout.bottomMargin: 4
                RowLayout {
                    Layout.fillWidth: true
                    VantrelText {
                        text: modelData.version
                        font: VNT.mono(11)
                        color: VNT.accentColor(panel.app ? panel.app.accent : Accent.Lime)
                    }
                    Item { Layout.fillWidth: true }
                    VantrelText {
                        text: modelData.date
                        font: VNT.system(10.5)
                        color: VNT.fg2
                    }
                }
                VantrelText {
                    text: modelData.text
                    font: VNT.system(12)
                    color: VNT.fg2
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }
        }
    }
}
