// The settings window's content: a strip of two tabs, each showing its page.
// General: the rows bound straight to the store (login, menu bar, beta apps,
// language, the shortcut badge and where it works), the readiness note, the
// button that brings the onboarding back and the one to the About window. Updates: "Check for updates"
// with the time of the last check. Only the chosen tab is view state.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

Item {
    id: view
    objectName: "preferences"
    required property LauncherStore store
    enum Page { General, Updates }
    property int page: PreferencesView.Page.General

    implicitWidth: 640
    implicitHeight: tabStrip.implicitHeight + (page === PreferencesView.Page.General ? content.implicitHeight : updatesPage.implicitHeight) + 44

    // The language is written at once; the catalog reloads so its own texts
    // follow the new language.
    function setLanguage(code) {
        if (code === store.locale)
            return
        store.locale = code
        store.refreshCatalog()
    }

    Rectangle {
        anchors.fill: parent
        color: VNT.bg0
    }

    // Tab strip.
    Rectangle {
        id: tabStrip
        objectName: "preferencesTabs"
        anchors.left: parent.left
        anchors.right: parent.right
        implicitHeight: tabRow.implicitHeight + 24
        height: implicitHeight
        gradient: Gradient {
            GradientStop { position: 0; color: VNT.bg3 }
            GradientStop { position: 1; color: VNT.bg2 }
        }
        Row {
            id: tabRow
            anchors.centerIn: parent
            spacing: 4
            PreferencesTab {
                objectName: "preferencesTab_general"
                symbol: "gearshape"
                title: qsTrId("preferencesGeneral")
                active: view.page === PreferencesView.Page.General
                onClicked: view.page = PreferencesView.Page.General
            }
            PreferencesTab {
                objectName: "preferencesTab_updates"
                symbol: "arrow.down.circle"
                title: qsTrId("preferencesUpdates")
                active: view.page === PreferencesView.Page.Updates
                onClicked: view.page = PreferencesView.Page.Updates
            }
        }
        Rectangle {
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: 1
            color: VNT.line
        }
    }

    ColumnLayout {
        id: updatesPage
        objectName: "preferencesUpdatesPage"
        visible: view.page === PreferencesView.Page.Updates
        anchors.top: tabStrip.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 22
        spacing: 18

        VantrelText {
            Accessible.role: Accessible.Heading
            Accessible.name: text
            text: qsTrId("preferencesUpdates")
            font: VNT.display(17, Font.DemiBold)
            color: VNT.fg0
        }
        VantrelCard {
            Layout.fillWidth: true
            implicitHeight: 44
            radius: 10
            PreferenceRow {
                anchors.left: parent.left
                anchors.right: parent.right
                title: {
                    const checked = view.store.lastCatalogCheck
                    return isNaN(checked.getTime()) ? qsTrId("lastCheckedNever")
                        : qsTrId("lastCheckedAt").arg(
                              checked.toLocaleTimeString(Qt.locale(view.store.locale), Locale.ShortFormat))
                }
                VantrelButton {
                    objectName: "preferencesCheckForUpdates"
                    variant: VantrelButton.Variant.Secondary
                    symbol: "arrow.clockwise"
                    text: qsTrId("checkForUpdates")
                    onClicked: view.store.refreshCatalog()
                }
            }
        }
    }

    ColumnLayout {
        id: content
        visible: view.page === PreferencesView.Page.General
        anchors.top: tabStrip.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 22
        spacing: 18

        VantrelText {
            objectName: "preferencesHeading"
            Accessible.role: Accessible.Heading
            Accessible.name: text
            text: qsTrId("preferencesGeneral")
            font: VNT.display(17, Font.DemiBold)
            color: VNT.fg0
        }

        VantrelCard {
            Layout.fillWidth: true
            implicitHeight: rows.implicitHeight
            radius: 10

            ColumnLayout {
                id: rows
                anchors.left: parent.left
                anchors.right: parent.right
                spacing: 0

                PreferenceRow {
                    title: qsTrId("preferencesLaunchAtLogin")
                    PreferenceSwitch {
                        objectName: "launchAtLoginSwitch"
                        Accessible.name: qsTrId("preferencesLaunchAtLogin")
                        checked: view.store.launchAtLogin
                        onToggled: view.store.launchAtLogin = checked
                    }
                }
                PreferenceRow {
                    title: qsTrId(PlatformText.id("preferencesShowInMenuBar"))
                    PreferenceSwitch {
                        objectName: "showInMenuBarSwitch"
                        Accessible.name: qsTrId(PlatformText.id("preferencesShowInMenuBar"))
                        checked: view.store.showMenuBarExtra
                        onToggled: view.store.showMenuBarExtra = checked
                    }
                }
                PreferenceRow {
                    title: qsTrId("preferencesIncludeBetaApps")
                    PreferenceSwitch {
                        objectName: "includeBetaSwitch"
                        Accessible.name: qsTrId("preferencesIncludeBetaApps")
                        checked: view.store.includeBetaApps
                        onToggled: view.store.includeBetaApps = checked
                    }
                }
                PreferenceRow {
                    title: qsTrId("preferencesLanguage")
                    PopUpPicker {
                        objectName: "languagePicker"
                        width: 112
                        Accessible.name: qsTrId("preferencesLanguage")
                        // Each language by its own name, which reads the same in
                        // every language: names, not messages to translate.
                        model: [
                            { text: "English", value: "en" },
                            { text: "Polski", value: "pl" },
                            { text: "Deutsch", value: "de" }
                        ]
                        currentIndex: Math.max(0, model.findIndex(entry => entry.value === view.store.locale))
                        onActivated: (index) => view.setLanguage(model[index].value)
                    }
                }
                PreferenceRow {
                    title: qsTrId("preferencesGlobalShortcut")
                    Row {
                    spacing: 10
                    VantrelText {
                        objectName: "shortcutScope"
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTrId(AppScenes.globalShortcutActive ? "shortcutAnywhere" : "shortcutInsideLauncher")
                        font: VNT.system(11.5)
                        color: VNT.fg2
                    }
                    Rectangle {
                        objectName: "shortcutBadge"
                        width: shortcutText.implicitWidth + 16
                        height: 24
                        radius: 5
                        color: VNT.bg3
                        VantrelText {
                            id: shortcutText
                            anchors.centerIn: parent
                            text: KeyHints.hint(LauncherKeys.quickSwitcher, view.store.locale)
                            font: VNT.mono(11)
                            color: VNT.fg0
                        }
                    }
                    }
                }
            }
        }

        VantrelCard {
            objectName: "readinessNote"
            Layout.fillWidth: true
            implicitHeight: note.implicitHeight + 32
            radius: 10

            ColumnLayout {
                id: note
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.margins: 16
                spacing: 10
                VantrelText {
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    text: qsTrId("preferencesReleaseReadiness")
                    font: VNT.system(13, Font.DemiBold)
                    color: VNT.fg0
                }
                DistributionRow { symbol: "checkmark.seal"; text: qsTrId(PlatformText.id("preferencesSigning")); Layout.fillWidth: true }
                DistributionRow { symbol: "arrow.triangle.2.circlepath"; text: qsTrId("preferencesUpdateFeeds"); Layout.fillWidth: true }
                DistributionRow { symbol: "number"; text: qsTrId("preferencesChecksums"); Layout.fillWidth: true }
            }
        }

        RowLayout {
            spacing: 8
            VantrelButton {
                objectName: "resetOnboardingButton"
                variant: VantrelButton.Variant.Secondary
                text: qsTrId("preferencesResetOnboarding")
                onClicked: view.store.onboardingComplete = false
            }
            VantrelButton {
                objectName: "preferencesAboutButton"
                variant: VantrelButton.Variant.Ghost
                symbol: "info.circle"
                text: qsTrId("aboutVantrel")
                onClicked: AppScenes.showAboutWindow()
            }
        }
    }
}
