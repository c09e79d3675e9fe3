// The privacy note: a shield beside the title, and the app's note.
import QtQuick
import QtQuick.Layouts
import Vantrel

VantrelCard {
    id: panel
    required property LauncherStore store
    property var app
    radius: 10
    implicitHeight: row.implicitHeight + 32

    RowLayout {
        id: row
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 10
        Symbol {
            name: "lock.shield"
            color: VNT.lime
            size: 15
            Layout.alignment: Qt.AlignTop
        }
        ColumnLayout {
            spacing: 4
            Layout.fillWidth: true
            VantrelText {
                text: qsTrId("privacyTitle")
                font: VNT.system(13, Font.DemiBold)
                color: VNT.fg0
            }
            VantrelText {
                objectName: "privacyNote"
                text: panel.app ? panel.app.privacyNote : ""
                font: VNT.system(12)
                color: VNT.fg2
                lineHeight: VNT.lineFactor(12, 3)
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
    }
}
