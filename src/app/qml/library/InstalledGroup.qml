// Installed apps the catalog's lists do not show (dropped, retired, a beta
// while betas are hidden), so they stay within reach: the title row of an app
// section ("Installed", the count), a note, and their tiles in the library's
// columns, each badge saying why the catalog does not list it.
import QtQuick
import QtQuick.Layouts
import Vantrel

ColumnLayout {
    id: group
    objectName: "installedGroup"
    required property LauncherStore store
    required property AppListModel apps
    property int columns: 1
    property real tileHeight: 164
    signal appSelected()
    spacing: 12

    AppSectionHeader {
        Layout.fillWidth: true
        store: group.store
        title: qsTrId("installedGroupTitle")
        subtitle: qsTrId("appListSubtitle", group.apps.count)
    }
    VantrelText {
        text: qsTrId("installedGroupNote")
        font: VNT.system(12)
        color: VNT.fg2
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    Grid {
        id: grid
        columns: group.columns
        columnSpacing: 12
        rowSpacing: 12
        Layout.fillWidth: true
        readonly property real cellWidth: (group.width - (columns - 1) * columnSpacing) / columns
        Repeater {
            model: group.apps
            delegate: AppTileView {
                required appId
                required app
                required status
                required statusLabel
                required tileStatus
                required starred
                required installKind
                required notListed
                width: grid.cellWidth
                height: Math.max(group.tileHeight, implicitHeight)
                store: group.store
                pending: false
                onChosen: group.appSelected()
            }
        }
    }
}
