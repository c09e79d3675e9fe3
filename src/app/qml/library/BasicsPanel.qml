// The catalog's rules in three lines under a title.
import QtQuick
import QtQuick.Layouts
import Vantrel

VantrelCard {
    id: panel
    objectName: "basicsPanel"
    required property LauncherStore store
    radius: 10
    implicitHeight: column.implicitHeight + 32

    ColumnLayout {
        id: column
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 10
        VantrelText {
            text: qsTrId("basicsTitle")
            font: VNT.display(15, Font.DemiBold)
            color: VNT.fg0
        }
        ColumnLayout {
            spacing: 8
            Layout.fillWidth: true
            NoteRow { text: qsTrId("basicsOne"); Layout.fillWidth: true }
            NoteRow { text: qsTrId("basicsTwo"); Layout.fillWidth: true }
            NoteRow { text: qsTrId("basicsThree"); Layout.fillWidth: true }
        }
    }
}
