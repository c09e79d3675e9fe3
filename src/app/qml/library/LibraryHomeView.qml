// The library: a dated greeting, the selected section's content and the
// basics panel, all in one lazily built grid. Home follows the catalog's
// lifecycle (empty panel, coming-soon panel, first-app feature, or the grid of
// published apps) and ignores the search; All apps, Selected and Updates show
// a titled grid narrowed by the search text. Below home and All apps, the
// installed apps the catalog's lists do not show; below Updates, the held apps
// and skipped versions.
import QtQuick
import QtQuick.Controls.Basic
import Vantrel

GridView {
    id: library
    objectName: "libraryHome"
    required property LauncherStore store
    required property CatalogOverview overview
    property string searchText: ""
    property int selectedSection: LibrarySection.Home
    property string category: ""  // narrows All apps; its title then names it
    signal appSelected()

    // What the content area shows.
    enum Content { HomeEmpty, HomeComingSoon, HomeFirstApp, HomePublished, Section, Other }
    readonly property int contentKind: {
        if (selectedSection === LibrarySection.Home) {
            switch (overview.lifecycle) {
            case CatalogOverview.Lifecycle.ComingSoonOnly: return LibraryHomeView.Content.HomeComingSoon
            case CatalogOverview.Lifecycle.FirstPublishedApp: return LibraryHomeView.Content.HomeFirstApp
            case CatalogOverview.Lifecycle.MultiAppCatalog: return LibraryHomeView.Content.HomePublished
            default: return LibraryHomeView.Content.HomeEmpty
            }
        }
        switch (selectedSection) {
        case LibrarySection.AllApps:
        case LibrarySection.Selected:
        case LibrarySection.Updates:
            return LibraryHomeView.Content.Section
        default:
            return LibraryHomeView.Content.Other
        }
    }
    readonly property alias apps: appList
    readonly property alias unlistedApps: unlistedList
    // Installed apps the catalog's lists do not show, below home and All apps.
    readonly property bool showsUnlisted: (selectedSection === LibrarySection.Home || selectedSection === LibrarySection.AllApps)
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
            case LibraryHomeView.Content.HomeComingSoon: return AppListModel.Kind.ComingSoon
            case LibraryHomeView.Content.HomePublished: return AppListModel.Kind.Published
            case LibraryHomeView.Content.Section:
                return library.selectedSection === LibrarySection.AllApps ? AppListModel.Kind.AllApps
                     : library.selectedSection === LibrarySection.Selected ? AppListModel.Kind.Selected
                     : AppListModel.Kind.Updates
            default: return AppListModel.Kind.None
            }
        }
    }

    AppListModel {
        id: unlistedList
        store: library.store
        kind: AppListModel.Kind.Unlisted
        searchText: library.selectedSection === LibrarySection.AllApps ? library.searchText : ""
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
                case LibraryHomeView.Content.HomeEmpty: return emptyCatalog
                case LibraryHomeView.Content.HomeComingSoon: return comingSoon
                case LibraryHomeView.Content.HomeFirstApp: return firstApp
                case LibraryHomeView.Content.HomePublished: return sectionHeader
                case LibraryHomeView.Content.Section: return sectionHeader
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
        UpdateDecisionsGroup {
            visible: library.selectedSection === LibrarySection.Updates && heldIds.length + skippedIds.length > 0
            width: parent.width
            store: library.store
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
        required property int status
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
            title: appList.kind === AppListModel.Kind.AllApps && library.category !== "" ? library.category
                 : qsTrId(appList.kind === AppListModel.Kind.Published ? "publishedAppsTitle"
                             : appList.kind === AppListModel.Kind.AllApps ? "allAppsTitle"
                             : appList.kind === AppListModel.Kind.Selected ? "selectedAppsTitle" : "updatesTitle")
            subtitle: qsTrId("appListSubtitle", appList.kind === AppListModel.Kind.Published
                                                ? library.overview.publishedCount : appList.count)
            isEmpty: appList.count === 0
            offersUpdateAll: appList.kind === AppListModel.Kind.Updates
            emptyKind: appList.kind
        }
    }
    Component {
        id: genericEmpty
        EmptyStateView { store: library.store; kind: AppListModel.Kind.None }
    }
}
