// The library: a dated greeting, the selected section's content and the
// basics panel, all in one lazily built grid. Home follows the catalog's
// lifecycle (empty panel, coming-soon panel, first-app feature, or the grid of
// published apps) and ignores the search; All apps, Selected and Updates show
// a titled grid narrowed by the search text. Below home and All apps, the
// installed apps the catalog's lists do not show. Padding 28, 24 between parts,
// adaptive columns of at least 220 with 12 between columns and rows.
import QtQuick
import QtQuick.Controls.Basic
import Vantrel

GridView {
    id: library
    objectName: "libraryHome"
    required property LauncherStore store
    required property CatalogOverview overview
    property string searchText: ""
    property string selectedSection: "home"
    property string category: ""  // narrows All apps; its title then names it
    signal appSelected()


    // What the content area shows: "homeEmpty", "homeComingSoon", "homeFirstApp",
    // "homePublished", "section" or "other".
    readonly property string contentKind: {
        if (selectedSection === "home") {
            switch (overview.lifecycleKind) {
            case "comingSoonOnly": return "homeComingSoon"
            case "firstPublishedApp": return "homeFirstApp"
            case "multiAppCatalog": return "homePublished"
            default: return "homeEmpty"
            }
        }
        if (selectedSection === "allApps" || selectedSection === "selected" || selectedSection === "updates")
            return "section"
        return "other"
    }
    readonly property alias apps: appList
    readonly property alias unlistedApps: unlistedList
    // Installed apps the catalog's lists do not show, below home and All apps.
    readonly property bool showsUnlisted: (selectedSection === "home" || selectedSection === "allApps")
                                          && unlistedList.count > 0

    readonly property real available: Math.max(0, width - 56)
    // Past 1.5 × the design's text size a column widens with the text, as the shell's columns do.
    readonly property int columns: Math.max(1, Math.floor((available + 12) / (220 * Math.max(1, VNT.textScale / 1.5) + 12)))
    // One row pitch for the lazily built grid: the tallest tile as laid out
    // (a tagline of two lines makes a tile taller), at least 164.
    property real tileHeight: 164
    property var laidOutHeights: ({})
    function noteTileHeight(appId, height) {
        if (height > 0)
            laidOutHeights[appId] = height
        else
            delete laidOutHeights[appId]
        let tallest = 164
        for (const id in laidOutHeights)
            tallest = Math.max(tallest, laidOutHeights[id])
        tileHeight = Math.ceil(tallest)
    }

    AppListModel {
        id: appList
        store: library.store
        searchText: library.searchText
        category: library.category
        kind: {
            switch (library.contentKind) {
            case "homeComingSoon": return "comingSoon"
            case "homePublished": return "published"
            case "section": return library.selectedSection
            default: return "none"
            }
        }
    }

    AppListModel {
        id: unlistedList
        store: library.store
        kind: "unlisted"
        searchText: library.selectedSection === "allApps" ? library.searchText : ""
    }

    model: appList
    currentIndex: -1
    highlightFollowsCurrentItem: false

    // Back to the top when the content changes; also while the header grows
    // after creation, unless the user has scrolled.
    property bool userScrolled: false
    function scrollToTop() {
        contentY = originY - topMargin
    }
    onMovementStarted: userScrolled = true
    onContentKindChanged: { userScrolled = false; scrollToTop() }
    onSelectedSectionChanged: { userScrolled = false; scrollToTop() }
    onOriginYChanged: if (!userScrolled) scrollToTop()
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    leftMargin: 28
    rightMargin: 16
    topMargin: 28
    bottomMargin: 28
    cellWidth: Math.floor((available + 12) / columns)
    cellHeight: tileHeight + 12
    cacheBuffer: 400
    keyNavigationEnabled: false
    activeFocusOnTab: false
    ScrollBar.vertical: ScrollBar {
        // Only when there is something to scroll to.
        policy: library.contentHeight + library.topMargin + library.bottomMargin > library.height
                ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        contentItem: Rectangle {
            implicitWidth: 6
            radius: 3
            color: VNT.withAlpha(VNT.fg3, 0.6)
        }
    }

    Rectangle {
        parent: library
        z: -1
        anchors.fill: parent
        color: VNT.bg0
    }

    header: Column {
        width: library.available
        onHeightChanged: if (!library.userScrolled) library.scrollToTop()
        spacing: 24
        bottomPadding: appList.count > 0 ? 12 : 0

        HeaderBlock {
            width: parent.width
            store: library.store
            overview: library.overview
        }

        Loader {
            width: parent.width
            sourceComponent: {
                switch (library.contentKind) {
                case "homeEmpty": return emptyCatalog
                case "homeComingSoon": return comingSoon
                case "homeFirstApp": return firstApp
                case "homePublished": return sectionHeader
                case "section": return sectionHeader
                default: return genericEmpty
                }
            }
        }
    }

    footer: Column {
        width: library.available
        topPadding: appList.count > 0 ? 12 : 24
        spacing: 24
        InstalledGroup {
            visible: library.showsUnlisted
            width: parent.width
            store: library.store
            apps: unlistedList
            columns: library.columns
            tileHeight: library.tileHeight
            onAppSelected: library.appSelected()
        }
        BasicsPanel {
            width: parent.width
            store: library.store
        }
    }

    delegate: Item {
        id: cell
        required property int index
        required property string appId
        required property var app
        required property string status
        required property string statusLabel
        required property string tileStatus
        required property bool starred
        required property bool pending
        required property int installKind
        width: library.cellWidth
        height: library.cellHeight

        AppTileView {
            width: library.cellWidth - 12
            height: library.tileHeight
            store: library.store
            app: cell.app
            appId: cell.appId
            status: cell.status
            statusLabel: cell.statusLabel
            tileStatus: cell.tileStatus
            starred: cell.starred
            pending: cell.pending
            installKind: cell.installKind
            onChosen: library.appSelected()
            onActiveFocusChanged: if (activeFocus) library.positionViewAtIndex(cell.index, GridView.Contain)
            onImplicitHeightChanged: library.noteTileHeight(cell.appId, implicitHeight)
            Component.onCompleted: library.noteTileHeight(cell.appId, implicitHeight)
            Component.onDestruction: library.noteTileHeight(cell.appId, 0)
        }
    }

    Component {
        id: emptyCatalog
        EmptyCatalogPanel { store: library.store }
    }
    Component {
        id: comingSoon
        ComingSoonPanelHeader { store: library.store }
    }
    Component {
        id: firstApp
        FirstPublishedAppPanel {
            store: library.store
            app: library.overview.featuredApp
            onChosen: library.appSelected()
        }
    }
    Component {
        id: sectionHeader
        AppSectionHeader {
            store: library.store
            title: library.selectedSection === "allApps" && library.category !== "" ? library.category
                 : qsTrId(library.contentKind === "homePublished" ? "publishedAppsTitle"
                             : library.selectedSection === "allApps" ? "allAppsTitle"
                             : library.selectedSection === "selected" ? "selectedAppsTitle" : "updatesTitle")
            subtitle: qsTrId("appListSubtitle", library.contentKind === "homePublished"
                                                ? library.overview.publishedCount : appList.count)
            isEmpty: appList.count === 0
            offersUpdateAll: library.contentKind === "section" && library.selectedSection === "updates"
            emptyKind: library.selectedSection === "selected" ? "selected"
                       : library.selectedSection === "updates" ? "updates" : "generic"
        }
    }
    Component {
        id: genericEmpty
        EmptyStateView { store: library.store; kind: "generic" }
    }
}
