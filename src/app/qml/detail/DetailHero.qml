// The detail page's hero: icon beside the category with the status badge in
// the app's accent, the name and tagline; then the description. An installed
// app the catalog does not list has a neutral badge saying why instead. In a
// large text the name goes below the icon rather than break every few letters.
import QtQuick
import QtQuick.Layouts
import Vantrel

ColumnLayout {
    id: hero
    objectName: "detailHero"
    required property LauncherStore store
    property var app
    readonly property string notListedBadge: {
        store.installedAppURLs; store.includeBetaApps; store.manifest
        return app ? store.notListedBadgeKey(app.id) : ""
    }
    spacing: 14

    // The name beside the icon while it keeps room for a dozen of its letters a line; below it in a large text.
    GridLayout {
        columns: width - icon.width - columnSpacing >= nameMetrics.averageCharacterWidth * 14 ? 2 : 1
        columnSpacing: 16
        rowSpacing: 14
        Layout.fillWidth: true
        FontMetrics {
            id: nameMetrics
            font: VNT.display(30, Font.DemiBold)
        }
        VantrelAppIcon {
            id: icon
            objectName: "detailIcon"
            app: hero.app
            size: 70
            Layout.alignment: Qt.AlignLeft | Qt.AlignVCenter
        }
        ColumnLayout {
            spacing: 7
            Layout.fillWidth: true
            RowLayout {
                spacing: 8
                VantrelText {
                    text: hero.app ? hero.app.category.toUpperCase() : ""
                    font.family: VNT.monoFamily
                    font.pixelSize: VNT.px(10)
                    font.weight: Font.Medium
                    font.letterSpacing: 0.8
                    color: VNT.fg2
                }
                AppBadge {
                    objectName: "detailStatusBadge"
                    text: !hero.app ? "" : hero.notListedBadge !== "" ? qsTrId(hero.notListedBadge)
                                                                     : qsTrId(CatalogRules.badgeTextId(hero.app))
                    color: hero.notListedBadge !== "" ? VNT.fg2 : VNT.accentColor(hero.app ? hero.app.accent : Accent.Lime)
                }
            }
            VantrelText {
                objectName: "detailName"
                text: hero.app ? hero.app.name : ""
                font: VNT.display(30, Font.DemiBold)
                color: VNT.fg0
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            VantrelText {
                visible: text !== ""
                text: hero.app ? hero.app.tagline : ""
                font: VNT.system(13)
                color: VNT.fg2
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
    }
    VantrelText {
        objectName: "detailDescription"
        // An empty line would still take a line's height.
        visible: text !== ""
        text: hero.app ? hero.app.description : ""
        font: VNT.system(13)
        color: VNT.fg2
        lineHeight: VNT.lineFactor(13, 4)
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
}
