// The title row of an app section (display 17 semibold; the subtitle in upper
// case, mono 10 medium, fg3) and, when the list is empty, its empty state.
// The section's tiles follow in the library's grid.
import QtQuick
import QtQuick.Layouts
import Vantrel

ColumnLayout {
    id: section
    required property LauncherStore store
    property string title
    property string subtitle
    property bool isEmpty: false
    property string emptyKind: "generic"
    spacing: 12

    RowLayout {
        Layout.fillWidth: true
        Text {
            objectName: "sectionTitle"
            text: section.title
            font: VNT.display(17, Font.DemiBold)
            color: VNT.fg0
        }
        Item { Layout.fillWidth: true }
        Text {
            objectName: "sectionSubtitle"
            text: section.subtitle.toUpperCase()
            font: VNT.mono(10, Font.Medium)
            color: VNT.fg3
        }
    }
    EmptyStateView {
        visible: section.isEmpty
        Layout.fillWidth: true
        store: section.store
        kind: section.emptyKind
    }
}
