// The library shell: sidebar, then a column of the top bar and the content.
// Compact when narrow: the library fills the content and choosing a tile
// slides the detail panel in from the trailing edge; wide: library, a divider
// and the detail column.
// Window-local state: searchText, selectedSection, selectedCategory (the
// sidebar's category narrowing All apps), showCompactDetail.
import QtQuick
import QtQuick.Layouts
import Vantrel

Item {
    id: shell
    objectName: "launcherShell"
    required property LauncherStore store
    signal quickSwitcherRequested()

    property string searchText: ""
    property int selectedSection: LibrarySection.Home
    property string selectedCategory: ""
    property bool showCompactDetail: false
    readonly property bool compact: width < 1040
    // Past 1.5 × the design's text size the sidebar and the detail column widen
    // with the text, so labels stay whole and titles break between words.
    readonly property real widening: Math.max(1, VNT.textScale / 1.5)
    readonly property real detailWidth: 390 * widening
    readonly property alias sidebar: sidebar
    readonly property alias topBar: topBar
    readonly property alias library: library
    readonly property alias detail: detail
    readonly property alias compactDetail: compactDetail

    CatalogOverview {
        id: overview
        store: shell.store
    }

    SidebarView {
        id: sidebar
        x: 0
        width: (shell.compact ? 210 : 230) * shell.widening
        height: shell.height
        store: shell.store
        overview: overview
        selectedSection: shell.selectedSection
        selectedCategory: shell.selectedCategory
        onSectionChosen: function(section) {
            shell.selectedCategory = ""
            shell.selectedSection = section
        }
        onCategoryChosen: function(category) {
            shell.selectedCategory = category
            shell.selectedSection = LibrarySection.AllApps
        }
        onQuickSwitcherRequested: shell.quickSwitcherRequested()
    }

    Item {
        id: column
        x: sidebar.width
        width: shell.width - sidebar.width
        height: shell.height

        TopBarView {
            id: topBar
            width: column.width
            height: implicitHeight
            store: shell.store
            searchText: shell.searchText
            onSearchEdited: function(text) { shell.searchText = text }
            onQuickSwitcherRequested: shell.quickSwitcherRequested()
        }

        Item {
            id: content
            y: topBar.height
            width: column.width
            height: column.height - topBar.height
            clip: true

            LibraryHomeView {
                id: library
                width: shell.compact ? content.width : Math.max(0, content.width - shell.detailWidth - 1)
                height: content.height
                store: shell.store
                overview: overview
                searchText: shell.searchText
                selectedSection: shell.selectedSection
                category: shell.selectedCategory
                onAppSelected: if (shell.compact) shell.showCompactDetail = true
            }
            Rectangle {
                visible: !shell.compact
                x: library.width
                width: 1
                height: content.height
                color: VNT.line
            }
            AppDetailView {
                id: detail
                objectName: "wideDetail"
                visible: !shell.compact
                x: library.width + 1
                width: shell.detailWidth
                height: content.height
                store: shell.store
                app: shell.store.selectedApp
            }

            // Compact detail panel: slides in from the trailing edge with a fade.
            CompactDetailView {
                id: compactDetail
                readonly property bool shown: shell.compact && shell.showCompactDetail
                // 0 hidden, 1 shown; only this animates, so resizing does not.
                property real progress: shown ? 1 : 0
                Behavior on progress { NumberAnimation { duration: 160; easing.type: Easing.InOutQuad } }
                visible: shell.compact && progress > 0
                width: content.width
                height: content.height
                store: shell.store
                x: (1 - progress) * content.width
                opacity: progress
                onCloseRequested: shell.showCompactDetail = false
            }
        }
    }
}
