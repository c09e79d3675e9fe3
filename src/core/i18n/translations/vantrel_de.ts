<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name></name>
    <message id="brand">
        <source>Vantrel</source>
        <translation>Vantrel</translation>
    </message>
    <message id="ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="refreshCatalog">
        <source>Check for apps</source>
        <translation>Apps prüfen</translation>
    </message>
    <message id="openVantrel">
        <source>Open Vantrel...</source>
        <translation>Vantrel öffnen...</translation>
    </message>
    <message id="appCount" numerus="yes">
        <source>%n apps ready</source>
        <translation>
            <numerusform>%Ln App bereit</numerusform>
            <numerusform>%Ln Apps bereit</numerusform>
        </translation>
    </message>
    <message id="betaBadge">
        <source>Beta</source>
        <translation>Beta</translation>
    </message>
    <message id="statusReady">
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message id="statusComingSoon">
        <source>Coming soon</source>
        <translation>Bald verfügbar</translation>
    </message>
    <message id="statusLive">
        <source>Live</source>
        <translation>Live</translation>
    </message>
    <message id="statusBeta">
        <source>Beta</source>
        <translation>Beta</translation>
    </message>
    <message id="statusRetired">
        <source>Retired</source>
        <translation>Eingestellt</translation>
    </message>
    <message id="installNotInstalled">
        <source>Not installed</source>
        <translation>Nicht installiert</translation>
    </message>
    <message id="installInstalling">
        <source>Installing %1%</source>
        <translation>Installiere %1%</translation>
    </message>
    <message id="installInstalled">
        <source>Installed %1</source>
        <translation>Installiert %1</translation>
    </message>
    <message id="installUpdateAvailable">
        <source>%1 -&gt; %2</source>
        <translation>%1 -&gt; %2</translation>
    </message>
    <message id="installFailed">
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message id="installAction">
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message id="installingAction">
        <source>Installing</source>
        <translation>Wird installiert</translation>
    </message>
    <message id="openAction">
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message id="retryAction">
        <source>Retry</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message id="verifyAction">
        <source>Verify</source>
        <translation>Prüfen</translation>
    </message>
    <message id="verifyingAction">
        <source>Verifying %1%</source>
        <translation>Prüfe %1%</translation>
    </message>
    <message id="repairAction">
        <source>Repair</source>
        <translation>Reparieren</translation>
    </message>
    <message id="repairedStatus">
        <source>Repaired</source>
        <translation>Repariert</translation>
    </message>
    <message id="verifyAllAction">
        <source>Verify all</source>
        <translation>Alle prüfen</translation>
    </message>
    <message id="verifyDamaged">
        <source>Damaged</source>
        <translation>Beschädigt</translation>
    </message>
    <message id="verifyAllSummary" numerus="yes">
        <source>%n apps verified, all intact.</source>
        <translation>
            <numerusform>%n App geprüft, unversehrt.</numerusform>
            <numerusform>%n Apps geprüft, alle unversehrt.</numerusform>
        </translation>
    </message>
    <message id="verifyAllSummaryNeedRepair" numerus="yes">
        <source>%n apps verified; to repair: %1.</source>
        <translation>
            <numerusform>%n App geprüft; zu reparieren: %1.</numerusform>
            <numerusform>%n Apps geprüft; zu reparieren: %1.</numerusform>
        </translation>
    </message>
    <message id="updateAction">
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message id="notInstalledDetail">
        <source>Ready to install.</source>
        <translation>Bereit zur Installation.</translation>
    </message>
    <message id="installingDetail">
        <source>Installing now.</source>
        <translation>Installation läuft.</translation>
    </message>
    <message id="installedDetail">
        <source>Ready to open from this Mac.</source>
        <translation>Bereit zum Öffnen auf diesem Mac.</translation>
    </message>
    <message id="installedDetail.linux">
        <source>Ready to open from this computer.</source>
        <translation>Bereit zum Öffnen auf diesem Computer.</translation>
    </message>
    <message id="updateDetail">
        <source>A newer version is ready.</source>
        <translation>Eine neue Version ist bereit.</translation>
    </message>
    <message id="sidebarHome">
        <source>Home</source>
        <translation>Start</translation>
    </message>
    <message id="sidebarAllApps">
        <source>All apps</source>
        <translation>Alle Apps</translation>
    </message>
    <message id="sidebarSelected">
        <source>Selected</source>
        <translation>Ausgewählt</translation>
    </message>
    <message id="sidebarUpdates">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="sidebarPreferences">
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message id="sidebarCategories">
        <source>Categories</source>
        <translation>Kategorien</translation>
    </message>
    <message id="sidebarQuickSwitcher">
        <source>Quick switcher</source>
        <translation>Schnellwechsler</translation>
    </message>
    <message id="topLibrary">
        <source>Library</source>
        <translation>Bibliothek</translation>
    </message>
    <message id="topCatalog">
        <source>Vantrel apps</source>
        <translation>Vantrel Apps</translation>
    </message>
    <message id="topSearchApps">
        <source>Search apps</source>
        <translation>Apps suchen</translation>
    </message>
    <message id="topQuickSwitch">
        <source>Quick switch</source>
        <translation>Schnell wechseln</translation>
    </message>
    <message id="onboardingWelcome">
        <source>Welcome to Vantrel.</source>
        <translation>Willkommen bei Vantrel.</translation>
    </message>
    <message id="onboardingStepChoose">
        <source>Choose apps</source>
        <translation>Apps wählen</translation>
    </message>
    <message id="onboardingStepInstall">
        <source>Install selected apps</source>
        <translation>Ausgewählte Apps installieren</translation>
    </message>
    <message id="onboardingStepOpen">
        <source>Open the launcher</source>
        <translation>Launcher öffnen</translation>
    </message>
    <message id="onboardingStatus" numerus="yes">
        <source>%n apps ready to install</source>
        <translation>
            <numerusform>%Ln App bereit zur Installation</numerusform>
            <numerusform>%Ln Apps bereit zur Installation</numerusform>
        </translation>
    </message>
    <message id="onboardingStepBadge">
        <source>Step 2 of 4</source>
        <translation>Schritt 2 von 4</translation>
    </message>
    <message id="onboardingTitle">
        <source>Choose what to install first</source>
        <translation>Wähle, was zuerst installiert wird</translation>
    </message>
    <message id="onboardingLead">
        <source>Pick the apps you want on this Mac. You can install the rest later.</source>
        <translation>Wähle die Apps für diesen Mac. Den Rest kannst du später installieren.</translation>
    </message>
    <message id="onboardingLead.linux">
        <source>Pick the apps you want on this computer. You can install the rest later.</source>
        <translation>Wähle die Apps für diesen Computer. Den Rest kannst du später installieren.</translation>
    </message>
    <message id="onboardingSelectedCount" numerus="yes">
        <source>%n apps selected</source>
        <translation>
            <numerusform>%Ln App ausgewählt</numerusform>
            <numerusform>%Ln Apps ausgewählt</numerusform>
        </translation>
    </message>
    <message id="onboardingBack">
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message id="onboardingContinue">
        <source>Continue</source>
        <translation>Weiter</translation>
    </message>
    <message id="homeGreeting">
        <source>Welcome back%1.</source>
        <translation>Willkommen zurück%1.</translation>
    </message>
    <message id="homeSubtitleEmpty">
        <source>Vantrel is ready. Apps will appear here as they ship.</source>
        <translation>Vantrel ist bereit. Apps erscheinen hier, sobald sie veröffentlicht werden.</translation>
    </message>
    <message id="homeSubtitleApps" numerus="yes">
        <source>%n apps are ready to install.</source>
        <translation>
            <numerusform>%Ln App ist bereit zur Installation.</numerusform>
            <numerusform>%Ln Apps sind bereit zur Installation.</numerusform>
        </translation>
    </message>
    <message id="emptyTitle">
        <source>No apps are available yet</source>
        <translation>Noch keine Apps verfügbar</translation>
    </message>
    <message id="emptyBody">
        <source>You have the launcher. When the first app is ready, it will show up here automatically.</source>
        <translation>Du hast den Launcher. Sobald die erste App bereit ist, erscheint sie automatisch hier.</translation>
    </message>
    <message id="emptyPrimaryAction">
        <source>Check for apps</source>
        <translation>Apps prüfen</translation>
    </message>
    <message id="emptyTrustTitle">
        <source>What happens next</source>
        <translation>Was als Nächstes passiert</translation>
    </message>
    <message id="emptyTrustBody">
        <source>New apps appear here only after they have a real download and a short privacy note.</source>
        <translation>Neue Apps erscheinen hier erst, wenn es einen echten Download und einen kurzen Datenschutzhinweis gibt.</translation>
    </message>
    <message id="comingSoonTitle">
        <source>Apps are coming soon</source>
        <translation>Apps erscheinen bald</translation>
    </message>
    <message id="comingSoonBody">
        <source>These apps are in progress. You will see an install button when a download is ready.</source>
        <translation>Diese Apps sind in Arbeit. Der Installationsbutton erscheint, sobald ein Download bereit ist.</translation>
    </message>
    <message id="comingSoonTileStatus">
        <source>Preview only</source>
        <translation>Nur Vorschau</translation>
    </message>
    <message id="firstAppTitle">
        <source>Ready to install</source>
        <translation>Bereit zur Installation</translation>
    </message>
    <message id="firstAppBody">
        <source>Open the app page to see what it does, what changed, and what stays on your Mac.</source>
        <translation>Öffne die App-Seite, um zu sehen, was sie tut, was neu ist und was auf deinem Mac bleibt.</translation>
    </message>
    <message id="firstAppBody.linux">
        <source>Open the app page to see what it does, what changed, and what stays on your computer.</source>
        <translation>Öffne die App-Seite, um zu sehen, was sie tut, was neu ist und was auf deinem Computer bleibt.</translation>
    </message>
    <message id="publishedAppsTitle">
        <source>Ready now</source>
        <translation>Jetzt bereit</translation>
    </message>
    <message id="appListSubtitle" numerus="yes">
        <source>%n apps</source>
        <translation>
            <numerusform>%Ln App</numerusform>
            <numerusform>%Ln Apps</numerusform>
        </translation>
    </message>
    <message id="allAppsTitle">
        <source>All apps</source>
        <translation>Alle Apps</translation>
    </message>
    <message id="selectedAppsTitle">
        <source>Selected apps</source>
        <translation>Ausgewählte Apps</translation>
    </message>
    <message id="updatesTitle">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="noAppsTitle">
        <source>No apps match this view</source>
        <translation>Keine Apps in dieser Ansicht</translation>
    </message>
    <message id="noAppsBody">
        <source>Try another section or clear the search.</source>
        <translation>Wähle einen anderen Bereich oder lösche die Suche.</translation>
    </message>
    <message id="noUpdatesTitle">
        <source>No updates right now</source>
        <translation>Keine Updates</translation>
    </message>
    <message id="noUpdatesBody">
        <source>New app versions will appear here after publishing.</source>
        <translation>Neue App-Versionen erscheinen hier nach der Veröffentlichung.</translation>
    </message>
    <message id="noSelectedTitle">
        <source>No selected apps yet</source>
        <translation>Noch keine Apps ausgewählt</translation>
    </message>
    <message id="noSelectedBody">
        <source>Choose ready apps during setup or from the library.</source>
        <translation>Bereite Apps kannst du beim Einrichten oder in der Bibliothek wählen.</translation>
    </message>
    <message id="basicsTitle">
        <source>Good to know</source>
        <translation>Gut zu wissen</translation>
    </message>
    <message id="basicsOne">
        <source>Apps marked Ready can be installed from this launcher.</source>
        <translation>Apps mit dem Status Bereit kannst du aus dem Launcher installieren.</translation>
    </message>
    <message id="basicsTwo">
        <source>Apps marked Coming soon are visible early, but not downloadable yet.</source>
        <translation>Angekündigte Apps sind früh sichtbar, aber noch nicht downloadbar.</translation>
    </message>
    <message id="basicsThree">
        <source>When a new app ships, Vantrel will let you know here.</source>
        <translation>Wenn eine neue App erscheint, zeigt Vantrel sie hier.</translation>
    </message>
    <message id="selectedAppEmptyTitle">
        <source>No app selected</source>
        <translation>Keine App ausgewählt</translation>
    </message>
    <message id="selectedAppEmptyBody">
        <source>Choose an app to see what it does and whether it is ready to install.</source>
        <translation>Wähle eine App, um zu sehen, was sie tut und ob sie installierbar ist.</translation>
    </message>
    <message id="detailsTitle">
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message id="bundleID">
        <source>App ID</source>
        <translation>App-ID</translation>
    </message>
    <message id="version">
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message id="minimumMacOS">
        <source>Minimum macOS</source>
        <translation>Minimum macOS</translation>
    </message>
    <message id="minimumMacOS.linux">
        <source>Minimum system version</source>
        <translation>Mindestversion des Systems</translation>
    </message>
    <message id="checksum">
        <source>Download check</source>
        <translation>Downloadprüfung</translation>
    </message>
    <message id="checksumVerified">
        <source>Checked before install</source>
        <translation>Vor der Installation geprüft</translation>
    </message>
    <message id="updateFeed">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="pendingRelease">
        <source>Not ready yet</source>
        <translation>Noch nicht bereit</translation>
    </message>
    <message id="notConfigured">
        <source>Not configured</source>
        <translation>Nicht konfiguriert</translation>
    </message>
    <message id="recentUpdates">
        <source>Recent updates</source>
        <translation>Letzte Updates</translation>
    </message>
    <message id="privacyTitle">
        <source>Privacy</source>
        <translation>Datenschutz</translation>
    </message>
    <message id="quickSearchPlaceholder">
        <source>Search Vantrel apps</source>
        <translation>Vantrel-Apps suchen</translation>
    </message>
    <message id="quickResults" numerus="yes">
        <source>Apps · %n results</source>
        <translation>
            <numerusform>Apps · %Ln Ergebnis</numerusform>
            <numerusform>Apps · %Ln Ergebnisse</numerusform>
        </translation>
    </message>
    <message id="quickNoResults">
        <source>No results</source>
        <translation>Keine Ergebnisse</translation>
    </message>
    <message id="quickOpenHint">
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message id="quickInstallHint">
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message id="quickFooterLeft">
        <source>↑↓ navigate</source>
        <translation>↑↓ navigieren</translation>
    </message>
    <message id="quickFooterRight">
        <source>↵ open · esc close</source>
        <translation>↵ öffnen · esc schließen</translation>
    </message>
    <message id="menuQuickLaunch">
        <source>Quick launch</source>
        <translation>Schnellstart</translation>
    </message>
    <message id="menuUpdates">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="menuUpdatesDetail">
        <source>New versions will appear here</source>
        <translation>Neue Versionen erscheinen hier</translation>
    </message>
    <message id="sendFeedback">
        <source>Send feedback</source>
        <translation>Feedback senden</translation>
    </message>
    <message id="feedbackTitle">
        <source>Send feedback</source>
        <translation>Feedback senden</translation>
    </message>
    <message id="feedbackLead">
        <source>Report a bug, suggest an idea, or tell us what should feel better.</source>
        <translation>Melde einen Fehler, schlage eine Idee vor oder sag uns, was besser werden soll.</translation>
    </message>
    <message id="feedbackType">
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message id="feedbackTypeBug">
        <source>Bug</source>
        <translation>Fehler</translation>
    </message>
    <message id="feedbackTypeIdea">
        <source>Idea</source>
        <translation>Idee</translation>
    </message>
    <message id="feedbackTypeImprovement">
        <source>Improvement</source>
        <translation>Verbesserung</translation>
    </message>
    <message id="feedbackTypeOther">
        <source>Other</source>
        <translation>Sonstiges</translation>
    </message>
    <message id="feedbackRelatedApp">
        <source>Related app</source>
        <translation>Zugehörige App</translation>
    </message>
    <message id="feedbackNoRelatedApp">
        <source>No app</source>
        <translation>Keine App</translation>
    </message>
    <message id="feedbackSummary">
        <source>Summary</source>
        <translation>Zusammenfassung</translation>
    </message>
    <message id="feedbackSummaryPlaceholder">
        <source>Short title</source>
        <translation>Kurzer Titel</translation>
    </message>
    <message id="feedbackDescription">
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message id="feedbackDescriptionPlaceholder">
        <source>What happened, what did you expect, or what would you like to see?</source>
        <translation>Was ist passiert, was hast du erwartet oder was möchtest du sehen?</translation>
    </message>
    <message id="feedbackDiagnosticsTitle">
        <source>Diagnostics</source>
        <translation>Diagnose</translation>
    </message>
    <message id="feedbackDiagnosticsBody">
        <source>Vantrel includes basic context, like macOS version, language, and the selected app.</source>
        <translation>Vantrel sendet einfachen Kontext mit: macOS-Version, Sprache und ausgewählte App.</translation>
    </message>
    <message id="feedbackDiagnosticsBody.linux">
        <source>Vantrel includes basic context, like the system version, language, and the selected app.</source>
        <translation>Vantrel sendet einfachen Kontext mit: Systemversion, Sprache und ausgewählte App.</translation>
    </message>
    <message id="feedbackDiscardTitle">
        <source>Discard this feedback?</source>
        <translation>Dieses Feedback verwerfen?</translation>
    </message>
    <message id="feedbackDiscardBody">
        <source>What you typed has not been sent and will be lost.</source>
        <translation>Ihr Text wurde nicht gesendet und geht verloren.</translation>
    </message>
    <message id="feedbackKeepEditing">
        <source>Keep editing</source>
        <translation>Weiter bearbeiten</translation>
    </message>
    <message id="feedbackDiscard">
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message id="feedbackCancel">
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message id="feedbackSubmit">
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message id="feedbackSubmitting">
        <source>Sending</source>
        <translation>Senden</translation>
    </message>
    <message id="feedbackSuccessTitle">
        <source>Feedback sent</source>
        <translation>Feedback gesendet</translation>
    </message>
    <message id="feedbackSuccessBody">
        <source>Thanks. We will read it and follow up if needed.</source>
        <translation>Danke. Wir lesen es und melden uns, falls nötig.</translation>
    </message>
    <message id="feedbackIssue">
        <source>Issue %1</source>
        <translation>Meldung %1</translation>
    </message>
    <message id="feedbackClose">
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message id="feedbackSubmitFailed">
        <source>Feedback could not be sent right now.</source>
        <translation>Feedback konnte gerade nicht gesendet werden.</translation>
    </message>
    <message id="preferencesGeneral">
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message id="preferencesApps">
        <source>Apps</source>
        <translation>Apps</translation>
    </message>
    <message id="preferencesUpdates">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="preferencesAdvanced">
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message id="preferencesLaunchAtLogin">
        <source>Launch Vantrel at login</source>
        <translation>Vantrel bei Anmeldung starten</translation>
    </message>
    <message id="preferencesShowInMenuBar">
        <source>Show in menu bar</source>
        <translation>In der Menüleiste anzeigen</translation>
    </message>
    <message id="preferencesShowInMenuBar.linux">
        <source>Show in the system tray</source>
        <translation>Im Infobereich der Taskleiste anzeigen</translation>
    </message>
    <message id="preferencesIncludeBetaApps">
        <source>Include beta apps</source>
        <translation>Beta-Apps einschließen</translation>
    </message>
    <message id="preferencesLanguage">
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message id="preferencesGlobalShortcut">
        <source>Global shortcut</source>
        <translation>Globaler Kurzbefehl</translation>
    </message>
    <message id="preferencesReleaseReadiness">
        <source>App readiness</source>
        <translation>App-Bereitschaft</translation>
    </message>
    <message id="preferencesSigning">
        <source>Only apps with a real Mac download can be installed.</source>
        <translation>Installierbar sind nur Apps mit echtem Mac-Download.</translation>
    </message>
    <message id="preferencesSigning.linux">
        <source>Only apps with a real download for this system can be installed.</source>
        <translation>Installierbar sind nur Apps mit echtem Download für dieses System.</translation>
    </message>
    <message id="preferencesUpdateFeeds">
        <source>Updates appear here when a new version ships.</source>
        <translation>Updates erscheinen hier, wenn eine neue Version veröffentlicht wird.</translation>
    </message>
    <message id="preferencesChecksums">
        <source>Vantrel checks downloads before installing them.</source>
        <translation>Vantrel prüft Downloads vor der Installation.</translation>
    </message>
    <message id="preferencesResetOnboarding">
        <source>Reset onboarding</source>
        <translation>Onboarding zurücksetzen</translation>
    </message>
    <message id="trayMenuOpen">
        <source>Open Vantrel…</source>
        <translation>Vantrel öffnen…</translation>
    </message>
    <message id="aboutVantrel">
        <source>About Vantrel</source>
        <translation>Über Vantrel</translation>
    </message>
    <message id="aboutVersion">
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message id="aboutCopyright">
        <source>Copyright</source>
        <translation>Urheberrecht</translation>
    </message>
    <message id="aboutLicence">
        <source>Licence</source>
        <translation>Lizenz</translation>
    </message>
    <message id="aboutCatalog">
        <source>Catalog</source>
        <translation>Katalog</translation>
    </message>
    <message id="clearSearch">
        <source>Clear search</source>
        <translation>Suche leeren</translation>
    </message>
    <message id="announcementTitle">
        <source>New in Vantrel</source>
        <translation>Neu in Vantrel</translation>
    </message>
    <message id="announcementOpenApp">
        <source>View app</source>
        <translation>App ansehen</translation>
    </message>
    <message id="announcementDismiss">
        <source>Not now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message id="errorManifestFallback">
        <source>Could not refresh apps. Showing the last known state.</source>
        <translation>Apps konnten nicht aktualisiert werden. Zeige den letzten bekannten Stand.</translation>
    </message>
    <message id="errorCatalogSignature">
        <source>The catalog's signature could not be verified. Showing the last known state.</source>
        <translation>Die Signatur des Katalogs konnte nicht überprüft werden. Zeige den letzten bekannten Stand.</translation>
    </message>
    <message id="errorCannotInstall">
        <source>%1 cannot be installed right now.</source>
        <translation>%1 kann jetzt nicht installiert werden.</translation>
    </message>
    <message id="errorInstallFailed">
        <source>Could not install %1. %2</source>
        <translation>%1 konnte nicht installiert werden. %2</translation>
    </message>
    <message id="errorNoBundle">
        <source>No app bundle was found on this Mac for %1.</source>
        <translation>Auf diesem Mac wurde kein App-Bundle für %1 gefunden.</translation>
    </message>
    <message id="errorNoBundle.linux">
        <source>No app bundle was found on this computer for %1.</source>
        <translation>Auf diesem Computer wurde kein App-Bundle für %1 gefunden.</translation>
    </message>
    <message id="errorProgramMissing">
        <source>%1 cannot start: its program %2 is missing. Repair puts it right.</source>
        <translation>%1 kann nicht starten: Sein Programm %2 fehlt. „Reparieren“ behebt das.</translation>
    </message>
    <message id="errorProgramNotExecutable">
        <source>%1 cannot start: its program %2 is not executable. Repair puts it right.</source>
        <translation>%1 kann nicht starten: Sein Programm %2 ist nicht ausführbar. „Reparieren“ behebt das.</translation>
    </message>
    <message id="errorProgramUnreadable">
        <source>%1 cannot start: its program %2 cannot be read. Repair puts it right.</source>
        <translation>%1 kann nicht starten: Sein Programm %2 ist nicht lesbar. „Reparieren“ behebt das.</translation>
    </message>
    <message id="errorProgramUnnamed">
        <source>%1 cannot start: its Info.plist names no program the app holds. Repair puts it right.</source>
        <translation>%1 kann nicht starten: Seine Info.plist nennt kein Programm, das die App enthält. „Reparieren“ behebt das.</translation>
    </message>
    <message id="cancelAction">
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message id="removeAction">
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message id="rollBackAction">
        <source>Roll back to %1</source>
        <translation>Zurück zu %1</translation>
    </message>
    <message id="removeConfirmTitle">
        <source>Remove %1?</source>
        <translation>%1 entfernen?</translation>
    </message>
    <message id="removeConfirmTrash">
        <source>%1 moves to the trash, where you can restore it.</source>
        <translation>%1 wird in den Papierkorb gelegt und lässt sich von dort wiederherstellen.</translation>
    </message>
    <message id="removeConfirmForGood">
        <source>The trash cannot take %1 on this drive, so it will be deleted for good.</source>
        <translation>Der Papierkorb kann %1 auf diesem Laufwerk nicht aufnehmen, daher wird die App endgültig gelöscht.</translation>
    </message>
    <message id="updateAllAction" numerus="yes">
        <source>Update all (%n)</source>
        <translation>
            <numerusform>Alle aktualisieren (%Ln)</numerusform>
            <numerusform>Alle aktualisieren (%Ln)</numerusform>
        </translation>
    </message>
    <message id="updateAllSummary" numerus="yes">
        <source>%n updated</source>
        <translation>
            <numerusform>%Ln aktualisiert</numerusform>
            <numerusform>%Ln aktualisiert</numerusform>
        </translation>
    </message>
    <message id="updateAllSummaryFailed" numerus="yes">
        <source>%1 updated, %n failed: %2</source>
        <translation>
            <numerusform>%1 aktualisiert, %Ln fehlgeschlagen: %2</numerusform>
            <numerusform>%1 aktualisiert, %Ln fehlgeschlagen: %2</numerusform>
        </translation>
    </message>
    <message id="updateNotAvailable">
        <source>No update is available.</source>
        <translation>Kein Update verfügbar.</translation>
    </message>
    <message id="errorCannotRemove">
        <source>%1 cannot be removed right now.</source>
        <translation>%1 kann jetzt nicht entfernt werden.</translation>
    </message>
    <message id="errorRemoveFailed">
        <source>Could not remove %1. %2</source>
        <translation>%1 konnte nicht entfernt werden. %2</translation>
    </message>
    <message id="errorCannotRollBack">
        <source>%1 has no earlier version to roll back to right now.</source>
        <translation>Für %1 gibt es gerade keine frühere Version zum Zurückkehren.</translation>
    </message>
    <message id="errorRollBackFailed">
        <source>Could not roll back %1. %2</source>
        <translation>%1 konnte nicht zurückgesetzt werden. %2</translation>
    </message>
    <message id="errorCannotRepair">
        <source>%1 cannot be repaired right now.</source>
        <translation>%1 kann jetzt nicht repariert werden.</translation>
    </message>
    <message id="errorRepairFailed">
        <source>Could not repair %1. %2</source>
        <translation>%1 konnte nicht repariert werden. %2</translation>
    </message>
    <message id="errorCannotVerify">
        <source>%1 cannot be verified right now.</source>
        <translation>%1 kann jetzt nicht geprüft werden.</translation>
    </message>
    <message id="errorVerifyFailed">
        <source>Could not verify %1. %2</source>
        <translation>%1 konnte nicht geprüft werden. %2</translation>
    </message>
    <message id="cliInstalling">
        <source>Installing %1 %2…</source>
        <translation>Installiere %1 %2…</translation>
    </message>
    <message id="cliRepairing">
        <source>Repairing %1 %2…</source>
        <translation>Repariere %1 %2…</translation>
    </message>
    <message id="cliRepaired">
        <source>Repaired %1.</source>
        <translation>%1 repariert.</translation>
    </message>
    <message id="cliUpdating">
        <source>Updating %1 from %2 to %3…</source>
        <translation>Aktualisiere %1 von %2 auf %3…</translation>
    </message>
    <message id="cliInstallCancelled">
        <source>The install of %1 was cancelled.</source>
        <translation>Die Installation von %1 wurde abgebrochen.</translation>
    </message>
    <message id="cliRemovedToTrash">
        <source>Removed %1 (moved to the trash)</source>
        <translation>%1 entfernt (in den Papierkorb gelegt)</translation>
    </message>
    <message id="cliRemovedForGood">
        <source>Removed %1 (deleted for good)</source>
        <translation>%1 entfernt (endgültig gelöscht)</translation>
    </message>
    <message id="cliOpened">
        <source>Opened %1 (%2)</source>
        <translation>%1 geöffnet (%2)</translation>
    </message>
    <message id="cliCouldNotStart">
        <source>%1 could not be started.</source>
        <translation>%1 konnte nicht gestartet werden.</translation>
    </message>
    <message id="cliUnknownApp">
        <source>unknown app "%1"</source>
        <translation>unbekannte App „%1“</translation>
    </message>
    <message id="cliCatalogUnreachable">
        <source>the catalog could not be fetched: %1</source>
        <translation>der Katalog konnte nicht geladen werden: %1</translation>
    </message>
    <message id="cliUnknownLanguage">
        <source>unknown language "%1" (en, pl or de)</source>
        <translation>unbekannte Sprache „%1“ (en, pl oder de)</translation>
    </message>
    <message id="cliOneAppId">
        <source>give exactly one app id</source>
        <translation>gib genau eine App-ID an</translation>
    </message>
    <message id="cliUpdateTargets">
        <source>give --all or one or more app ids</source>
        <translation>gib --all oder eine oder mehrere App-IDs an</translation>
    </message>
    <message id="cliUnexpectedArgument">
        <source>unexpected argument %1</source>
        <translation>unerwartetes Argument %1</translation>
    </message>
    <message id="progressPercent">
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message id="progressBytesOf">
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message id="progressSecondsLeft" numerus="yes">
        <source>about %n s left</source>
        <translation>
            <numerusform>noch etwa %Ln s</numerusform>
            <numerusform>noch etwa %Ln s</numerusform>
        </translation>
    </message>
    <message id="progressMinutesLeft" numerus="yes">
        <source>about %n min left</source>
        <translation>
            <numerusform>noch etwa %Ln min</numerusform>
            <numerusform>noch etwa %Ln min</numerusform>
        </translation>
    </message>
    <message id="cliWholeArchive">
        <source>%1: the changed files could not be fetched on their own; downloading the whole archive instead.</source>
        <translation>%1: Die geänderten Dateien ließen sich nicht einzeln laden; stattdessen wird das ganze Archiv geladen.</translation>
    </message>
    <message id="cliDownloaded">
        <source>Downloaded %1.</source>
        <translation>%1 geladen.</translation>
    </message>
    <message id="cliQuittingApp">
        <source>Quitting %1…</source>
        <translation>%1 wird beendet …</translation>
    </message>
    <message id="cliReopeningApp">
        <source>Opening %1 again…</source>
        <translation>%1 wird wieder geöffnet …</translation>
    </message>
    <message id="cliListCannotInstall">
        <source>cannot be installed: %1</source>
        <translation>nicht installierbar: %1</translation>
    </message>
    <message id="quitAction">
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message id="quitConfirmTitle">
        <source>Quit while installing?</source>
        <translation>Während der Installation beenden?</translation>
    </message>
    <message id="quitConfirmBody">
        <source>%1 is still installing. Quitting cancels the install and leaves nothing half-installed.</source>
        <translation>%1 wird noch installiert. Beim Beenden wird die Installation abgebrochen; nichts bleibt halb installiert.</translation>
    </message>
    <message id="quitConfirmAction">
        <source>Cancel install and quit</source>
        <translation>Installation abbrechen und beenden</translation>
    </message>
    <message id="quitKeepInstalling">
        <source>Keep installing</source>
        <translation>Weiter installieren</translation>
    </message>
    <message id="checkForUpdates">
        <source>Check for updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
    <message id="lastCheckedAt">
        <source>Last checked %1</source>
        <translation>Zuletzt geprüft %1</translation>
    </message>
    <message id="lastCheckedNever">
        <source>Not checked yet</source>
        <translation>Noch nicht geprüft</translation>
    </message>
    <message id="returnToAction">
        <source>Return to %1</source>
        <translation>Weiter zu %1</translation>
    </message>
    <message id="shortcutAnywhere">
        <source>Anywhere on the desktop</source>
        <translation>Überall auf dem Desktop</translation>
    </message>
    <message id="shortcutInsideLauncher">
        <source>Works inside the launcher</source>
        <translation>Funktioniert im Launcher</translation>
    </message>
    <message id="failureChecksumMismatch">
        <source>The download did not match its checksum.</source>
        <translation>Der Download passt nicht zu seiner Prüfsumme.</translation>
    </message>
    <message id="failureUnsupportedMacOS">
        <source>This app requires macOS %1 or newer.</source>
        <translation>Diese App erfordert macOS %1 oder neuer.</translation>
    </message>
    <message id="failureMissingDownloadURL">
        <source>The catalog does not include a download URL.</source>
        <translation>Der Katalog enthält keine Download-URL.</translation>
    </message>
    <message id="failureInvalidReleaseMetadata">
        <source>The release metadata is incomplete.</source>
        <translation>Die Angaben zur Version sind unvollständig.</translation>
    </message>
    <message id="failureUnsupportedDownloadScheme">
        <source>The download URL must use HTTPS.</source>
        <translation>Die Download-URL muss HTTPS verwenden.</translation>
    </message>
    <message id="failureDownloadFailed">
        <source>The download failed.</source>
        <translation>Der Download ist fehlgeschlagen.</translation>
    </message>
    <message id="failureExtractionFailed">
        <source>The downloaded archive could not be extracted.</source>
        <translation>Das heruntergeladene Archiv konnte nicht entpackt werden.</translation>
    </message>
    <message id="failureAppBundleNotFound">
        <source>The archive does not contain a macOS app bundle.</source>
        <translation>Das Archiv enthält kein macOS-App-Bundle.</translation>
    </message>
    <message id="failureBundleIdentifierMismatch">
        <source>The app bundle does not match the catalog bundle identifier.</source>
        <translation>Das App-Bundle passt nicht zur Bundle-ID im Katalog.</translation>
    </message>
    <message id="failureCancelled">
        <source>The install was cancelled.</source>
        <translation>Die Installation wurde abgebrochen.</translation>
    </message>
    <message id="errorManifestStored">
        <source>Could not refresh apps. Showing the catalog fetched %1.</source>
        <translation>Apps konnten nicht aktualisiert werden. Zeige den %1 geladenen Katalog.</translation>
    </message>
    <message id="errorCatalogSignatureStored">
        <source>The catalog's signature could not be verified. Showing the catalog fetched %1.</source>
        <translation>Die Signatur des Katalogs konnte nicht überprüft werden. Zeige den %1 geladenen Katalog.</translation>
    </message>
    <message id="timeJustNow">
        <source>just now</source>
        <translation>gerade eben</translation>
    </message>
    <message id="timeMinutesAgo" numerus="yes">
        <source>%n min ago</source>
        <translation>
            <numerusform>vor %Ln Min.</numerusform>
            <numerusform>vor %Ln Min.</numerusform>
        </translation>
    </message>
    <message id="timeHoursAgo" numerus="yes">
        <source>%n h ago</source>
        <translation>
            <numerusform>vor %Ln Std.</numerusform>
            <numerusform>vor %Ln Std.</numerusform>
        </translation>
    </message>
    <message id="timeDaysAgo" numerus="yes">
        <source>%n d ago</source>
        <translation>
            <numerusform>vor %Ln Tg.</numerusform>
            <numerusform>vor %Ln Tg.</numerusform>
        </translation>
    </message>
    <message id="refusalUnknownApp">
        <source>The catalog has no such app.</source>
        <translation>Der Katalog enthält diese App nicht.</translation>
    </message>
    <message id="refusalNoPublishedRelease">
        <source>No release of it is published yet.</source>
        <translation>Es ist noch keine Version veröffentlicht.</translation>
    </message>
    <message id="refusalComingSoon">
        <source>It is coming soon.</source>
        <translation>Die App erscheint bald.</translation>
    </message>
    <message id="refusalRetired">
        <source>It has been retired.</source>
        <translation>Die App wurde eingestellt.</translation>
    </message>
    <message id="refusalMalformedChecksum">
        <source>Its release has a malformed checksum.</source>
        <translation>Die Prüfsumme der Version ist fehlerhaft.</translation>
    </message>
    <message id="refusalSystemTooOld">
        <source>It needs a newer system.</source>
        <translation>Die App benötigt ein neueres System.</translation>
    </message>
    <message id="refusalAlreadyInstalling">
        <source>It is being installed already.</source>
        <translation>Die App wird bereits installiert.</translation>
    </message>
    <message id="refusalAlreadyInstalled">
        <source>It is installed already.</source>
        <translation>Die App ist bereits installiert.</translation>
    </message>
    <message id="refusalNotInstalled">
        <source>It is not installed.</source>
        <translation>Die App ist nicht installiert.</translation>
    </message>
    <message id="refusalBusy">
        <source>It is being removed or rolled back.</source>
        <translation>Die App wird gerade entfernt oder zurückgesetzt.</translation>
    </message>
    <message id="refusalNothingToRollBack">
        <source>No earlier version is kept.</source>
        <translation>Es ist keine frühere Version vorhanden.</translation>
    </message>
    <message id="refusalNoInstaller">
        <source>No installer is available.</source>
        <translation>Kein Installationsprogramm verfügbar.</translation>
    </message>
    <message id="refusalNotInCatalog">
        <source>It is no longer in the catalog.</source>
        <translation>Sie ist nicht mehr im Katalog.</translation>
    </message>
    <message id="refusalAlreadyVerifying">
        <source>It is being verified already.</source>
        <translation>Sie wird bereits geprüft.</translation>
    </message>
    <message id="refusalNothingToRepair">
        <source>Nothing was found to repair; verify it first.</source>
        <translation>Es wurde nichts zu reparieren gefunden; prüfen Sie sie zuerst.</translation>
    </message>
    <message id="refusalVersionNotOffered">
        <source>The catalog no longer offers the version installed.</source>
        <translation>Der Katalog bietet die installierte Version nicht mehr an.</translation>
    </message>
    <message id="notListedNotInCatalog">
        <source>No longer in the catalog</source>
        <translation>Nicht mehr im Katalog</translation>
    </message>
    <message id="notListedRetired">
        <source>Retired from the catalog</source>
        <translation>Aus dem Katalog genommen</translation>
    </message>
    <message id="notListedBetaHidden">
        <source>Beta apps are hidden</source>
        <translation>Beta-Apps sind ausgeblendet</translation>
    </message>
    <message id="notListedNotInCatalogBadge">
        <source>Not in catalog</source>
        <translation>Nicht im Katalog</translation>
    </message>
    <message id="notListedRetiredBadge">
        <source>Retired</source>
        <translation>Eingestellt</translation>
    </message>
    <message id="notListedBetaHiddenBadge">
        <source>Beta hidden</source>
        <translation>Beta ausgeblendet</translation>
    </message>
    <message id="installedGroupTitle">
        <source>Installed</source>
        <translation>Installiert</translation>
    </message>
    <message id="installedGroupNote">
        <source>Installed apps the catalog's lists do not show.</source>
        <translation>Installierte Apps, die die Listen des Katalogs nicht zeigen.</translation>
    </message>
    <message id="cliUsage">
        <source>usage: %1</source>
        <translation>Aufruf: %1</translation>
    </message>
    <message id="cliOptionsHeading">
        <source>options:</source>
        <translation>Optionen:</translation>
    </message>
    <message id="cliArgumentsHeading">
        <source>arguments:</source>
        <translation>Argumente:</translation>
    </message>
    <message id="cliCommandsHeading">
        <source>commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message id="cliHelpHint">
        <source>"%1" describes a command's options and arguments.</source>
        <translation>„%1“ beschreibt die Optionen und Argumente eines Befehls.</translation>
    </message>
    <message id="cliUnknownCommand">
        <source>unknown command "%1"</source>
        <translation>unbekannter Befehl „%1“</translation>
    </message>
    <message id="cliMissingValue">
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message id="cliUnexpectedValue">
        <source>%1 takes no value</source>
        <translation>%1 nimmt keinen Wert an</translation>
    </message>
    <message id="cliHelpOption">
        <source>Shows this help.</source>
        <translation>Zeigt diese Hilfe.</translation>
    </message>
    <message id="cliLangOption">
        <source>Language of the texts and of the catalog: en, pl or de.</source>
        <translation>Sprache der Texte und des Katalogs: en, pl oder de.</translation>
    </message>
    <message id="cliCheckSummary">
        <source>Decodes a manifest (a file or an http(s) URL) and reports on every app.</source>
        <translation>Dekodiert ein Manifest (eine Datei oder eine http(s)-URL) und berichtet über jede App.</translation>
    </message>
    <message id="cliCheckNoBetaOption">
        <source>Reports with the beta preference off: beta apps hidden.</source>
        <translation>Bericht bei ausgeschalteten Betaversionen: Beta-Apps sind ausgeblendet.</translation>
    </message>
    <message id="cliCheckJsonOption">
        <source>Prints the report as JSON.</source>
        <translation>Gibt den Bericht als JSON aus.</translation>
    </message>
    <message id="cliCheckPublicKeysOption">
        <source>Ed25519 public keys (base64, comma-separated) the catalog must be signed with; default: VANTREL_CATALOG_PUBLIC_KEYS or the built-in ones.</source>
        <translation>Öffentliche Ed25519-Schlüssel (base64, durch Kommas getrennt), mit denen der Katalog signiert sein muss; Standard: VANTREL_CATALOG_PUBLIC_KEYS oder die eingebauten.</translation>
    </message>
    <message id="cliCheckSignatureOption">
        <source>The base64 signature of the manifest file, as X-Vantrel-Signature would carry it.</source>
        <translation>Die base64-Signatur der Manifestdatei, wie sie im Header X-Vantrel-Signature stünde.</translation>
    </message>
    <message id="cliCheckSourceArgument">
        <source>A manifest file, or the http(s) URL of a manifest service.</source>
        <translation>Eine Manifestdatei oder die http(s)-URL eines Manifestdienstes.</translation>
    </message>
    <message id="cliCompareSummary">
        <source>Prints ascending, same or descending: how version A compares with B.</source>
        <translation>Gibt ascending, same oder descending aus: wie sich Version A zu B verhält.</translation>
    </message>
    <message id="cliCompareFirstArgument">
        <source>A version, taken as written.</source>
        <translation>Eine Version, genau wie geschrieben.</translation>
    </message>
    <message id="cliCompareSecondArgument">
        <source>The version to compare it with.</source>
        <translation>Die Version, mit der sie verglichen wird.</translation>
    </message>
    <message id="cliIdArgument">
        <source>The app's id in the catalog.</source>
        <translation>Die ID der App im Katalog.</translation>
    </message>
    <message id="cliProgressJsonOption">
        <source>Prints the progress and the outcome as JSON, one object per line.</source>
        <translation>Gibt Fortschritt und Ergebnis als JSON aus, ein Objekt pro Zeile.</translation>
    </message>
    <message id="cliListSummary">
        <source>Refreshes the catalog and shows each visible app with its install state.</source>
        <translation>Aktualisiert den Katalog und zeigt jede sichtbare App mit ihrem Installationsstatus.</translation>
    </message>
    <message id="cliListJsonOption">
        <source>Prints the apps as JSON.</source>
        <translation>Gibt die Apps als JSON aus.</translation>
    </message>
    <message id="cliInstallSummary">
        <source>Installs or updates one app; Ctrl-C cancels it.</source>
        <translation>Installiert oder aktualisiert eine App; Strg-C bricht ab.</translation>
    </message>
    <message id="cliUpdateSummary">
        <source>Updates every app with an update, or the apps named, one after another.</source>
        <translation>Aktualisiert nacheinander jede App mit einem Update oder die genannten Apps.</translation>
    </message>
    <message id="cliUpdateAllOption">
        <source>Updates every app that has an update.</source>
        <translation>Aktualisiert jede App, für die es ein Update gibt.</translation>
    </message>
    <message id="cliUpdateIdsArgument">
        <source>The ids of the apps to update.</source>
        <translation>Die IDs der zu aktualisierenden Apps.</translation>
    </message>
    <message id="cliRemoveSummary">
        <source>Moves an installed app to the trash (or deletes it where the trash cannot take it).</source>
        <translation>Legt eine installierte App in den Papierkorb (oder löscht sie, wo der Papierkorb sie nicht aufnehmen kann).</translation>
    </message>
    <message id="cliRollbackSummary">
        <source>Goes back to the version the app's last update replaced.</source>
        <translation>Kehrt zu der Version zurück, die das letzte Update der App ersetzt hat.</translation>
    </message>
    <message id="cliOpenSummary">
        <source>Opens an installed app, installing it first when needed.</source>
        <translation>Öffnet eine installierte App und installiert sie vorher, falls nötig.</translation>
    </message>
    <message id="cliRepairSummary">
        <source>Verifies installed apps and puts right what it finds: permission bits in place, anything else by a fresh install of the installed version.</source>
        <translation>Prüft installierte Apps und behebt, was es findet: Berechtigungen an Ort und Stelle, alles andere durch eine frische Installation der installierten Version.</translation>
    </message>
    <message id="cliRepairIdsArgument">
        <source>The ids of the apps to repair; every installed app when none is given.</source>
        <translation>Die IDs der zu reparierenden Apps; alle installierten, wenn keine angegeben ist.</translation>
    </message>
    <message id="cliCompleteSummary">
        <source>Prints what a shell may offer after the words given, one per line (for shell completion).</source>
        <translation>Gibt aus, was eine Shell nach den angegebenen Wörtern anbieten kann, eines je Zeile (für die Vervollständigung der Shell).</translation>
    </message>
    <message id="cliCompleteWordsArgument">
        <source>The words typed after vantrel so far.</source>
        <translation>Die bisher nach vantrel eingegebenen Wörter.</translation>
    </message>
    <message id="cliProblemNoDownloadUrl">
        <source>no download URL</source>
        <translation>keine Download-URL</translation>
    </message>
    <message id="cliProblemChecksum">
        <source>checksum not 64 hexadecimal digits</source>
        <translation>Prüfsumme nicht aus 64 Hexadezimalziffern</translation>
    </message>
    <message id="cliProblemBlankVersion">
        <source>blank version</source>
        <translation>leere Version</translation>
    </message>
    <message id="cliProblemMinimumVersion">
        <source>minimum system version does not parse</source>
        <translation>Mindestversion des Systems nicht lesbar</translation>
    </message>
    <message id="cliYes">
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message id="cliNo">
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message id="cliCheckNoApps">
        <source>no apps</source>
        <translation>keine Apps</translation>
    </message>
    <message id="cliCheckColumnId">
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message id="cliCheckColumnStatus">
        <source>STATUS</source>
        <translation>STATUS</translation>
    </message>
    <message id="cliCheckColumnVisible">
        <source>VISIBLE</source>
        <translation>SICHTBAR</translation>
    </message>
    <message id="cliCheckColumnPublished">
        <source>PUBLISHED</source>
        <translation>VERÖFFENTLICHT</translation>
    </message>
    <message id="cliCheckColumnComingSoon">
        <source>COMING SOON</source>
        <translation>DEMNÄCHST</translation>
    </message>
    <message id="cliCheckColumnProblem">
        <source>PROBLEM</source>
        <translation>PROBLEM</translation>
    </message>
    <message id="cliCheckLifecycle">
        <source>lifecycle: %1</source>
        <translation>Lebenszyklus: %1</translation>
    </message>
    <message id="cliCheckFeatured">
        <source>featured: %1</source>
        <translation>hervorgehoben: %1</translation>
    </message>
    <message id="cliCheckNone">
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message id="cliCheckAnnouncements">
        <source>announcements: %1</source>
        <translation>Ankündigungen: %1</translation>
    </message>
    <message id="cliCheckSignature">
        <source>signature: %1</source>
        <translation>Signatur: %1</translation>
    </message>
    <message id="cliCheckVerified">
        <source>verified</source>
        <translation>geprüft</translation>
    </message>
    <message id="cliCheckUnchecked">
        <source>unchecked</source>
        <translation>ungeprüft</translation>
    </message>
    <message id="cliInvalidUrl">
        <source>%1 is not a valid URL</source>
        <translation>%1 ist keine gültige URL</translation>
    </message>
    <message id="cliCouldNotFetch">
        <source>could not fetch %1: %2</source>
        <translation>%1 konnte nicht geladen werden: %2</translation>
    </message>
    <message id="cliReadDirectory">
        <source>cannot read %1: it is a directory</source>
        <translation>%1 kann nicht gelesen werden: es ist ein Ordner</translation>
    </message>
    <message id="cliCannotRead">
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message id="cliOneSource">
        <source>only one SOURCE may be given</source>
        <translation>nur eine Quelle (SOURCE) ist erlaubt</translation>
    </message>
    <message id="cliSourceMissing">
        <source>SOURCE is missing</source>
        <translation>die Quelle (SOURCE) fehlt</translation>
    </message>
    <message id="cliPublicKeysFormat">
        <source>--public-keys takes base64 Ed25519 public keys separated by commas</source>
        <translation>--public-keys erwartet öffentliche Ed25519-Schlüssel in base64, durch Kommas getrennt</translation>
    </message>
    <message id="cliSignatureForFile">
        <source>--signature is for a file; a URL's signature comes in its header</source>
        <translation>--signature gilt für eine Datei; die Signatur einer URL kommt in ihrem Header</translation>
    </message>
    <message id="cliSignatureNeedsKeys">
        <source>--signature needs --public-keys or VANTREL_CATALOG_PUBLIC_KEYS</source>
        <translation>--signature braucht --public-keys oder VANTREL_CATALOG_PUBLIC_KEYS</translation>
    </message>
    <message id="cliTwoVersions">
        <source>expected exactly two versions</source>
        <translation>gib genau zwei Versionen an</translation>
    </message>
    <message id="cliUnknownOption" numerus="yes">
        <source>unknown option: %1</source>
        <translation>
            <numerusform>unbekannte Option: %1</numerusform>
            <numerusform>unbekannte Optionen: %1</numerusform>
        </translation>
    </message>
    <message id="cliHttpStatus">
        <source>the server answered with HTTP status %1</source>
        <translation>der Server antwortete mit HTTP-Status %1</translation>
    </message>
    <message id="cliNotHttp">
        <source>the answer was not an HTTP response</source>
        <translation>die Antwort war keine HTTP-Antwort</translation>
    </message>
    <message id="launcherDescription">
        <source>The Vantrel launcher.</source>
        <translation>Der Vantrel-Launcher.</translation>
    </message>
    <message id="launcherVersionOption">
        <source>Shows the version.</source>
        <translation>Zeigt die Version.</translation>
    </message>
    <message id="launcherHiddenOption">
        <source>Starts without showing the main window (as at login); starting the launcher again shows it.</source>
        <translation>Startet, ohne das Hauptfenster zu zeigen (wie bei der Anmeldung); ein erneuter Start des Launchers zeigt es.</translation>
    </message>
    <message id="launcherNoDisplay">
        <source>no display was found. Start it inside a desktop session (an X11 or Wayland session sets DISPLAY or WAYLAND_DISPLAY); the terminal tool vantrel works without one.</source>
        <translation>keine Anzeige gefunden. Starte ihn in einer Desktop-Sitzung (eine X11- oder Wayland-Sitzung setzt DISPLAY oder WAYLAND_DISPLAY); das Terminalwerkzeug vantrel kommt ohne aus.</translation>
    </message>
    <message id="globalShortcutDescription">
        <source>Open the quick switcher</source>
        <translation>Schnellwechsler öffnen</translation>
    </message>
    <message id="verifyIntact">
        <source>Intact</source>
        <translation>Intakt</translation>
    </message>
    <message id="verifyLegacyReceipt">
        <source>Installed before verification existed</source>
        <translation>Installiert, bevor es die Prüfung gab</translation>
    </message>
    <message id="verifyUnreadableReceipt">
        <source>The install receipt cannot be read</source>
        <translation>Der Installationsbeleg ist nicht lesbar</translation>
    </message>
    <message id="verifyCancelled">
        <source>Verification cancelled</source>
        <translation>Prüfung abgebrochen</translation>
    </message>
    <message id="verifyChangedCount" numerus="yes">
        <source>%n files changed</source>
        <translation>
            <numerusform>%Ln Datei geändert</numerusform>
            <numerusform>%Ln Dateien geändert</numerusform>
        </translation>
    </message>
    <message id="verifyMissingCount" numerus="yes">
        <source>%n missing</source>
        <translation>
            <numerusform>%Ln fehlt</numerusform>
            <numerusform>%Ln fehlen</numerusform>
        </translation>
    </message>
    <message id="verifyPermissionsCount" numerus="yes">
        <source>%n with changed permissions</source>
        <translation>
            <numerusform>%Ln mit geänderten Rechten</numerusform>
            <numerusform>%Ln mit geänderten Rechten</numerusform>
        </translation>
    </message>
    <message id="verifyLinkChangedCount" numerus="yes">
        <source>%n links changed</source>
        <translation>
            <numerusform>%Ln Verknüpfung geändert</numerusform>
            <numerusform>%Ln Verknüpfungen geändert</numerusform>
        </translation>
    </message>
    <message id="verifyLinkLeadsOutCount" numerus="yes">
        <source>%n links lead outside the app</source>
        <translation>
            <numerusform>%Ln Verknüpfung führt aus der App hinaus</numerusform>
            <numerusform>%Ln Verknüpfungen führen aus der App hinaus</numerusform>
        </translation>
    </message>
    <message id="verifyExtraCount" numerus="yes">
        <source>%n extra items</source>
        <translation>
            <numerusform>%Ln zusätzlicher Eintrag</numerusform>
            <numerusform>%Ln zusätzliche Einträge</numerusform>
        </translation>
    </message>
    <message id="verifyDesktopMissingCount" numerus="yes">
        <source>%n desktop files missing</source>
        <translation>
            <numerusform>%Ln Desktop-Datei fehlt</numerusform>
            <numerusform>%Ln Desktop-Dateien fehlen</numerusform>
        </translation>
    </message>
    <message id="verifyDesktopChangedCount" numerus="yes">
        <source>%n desktop files changed</source>
        <translation>
            <numerusform>%Ln Desktop-Datei geändert</numerusform>
            <numerusform>%Ln Desktop-Dateien geändert</numerusform>
        </translation>
    </message>
    <message id="verifyFindingDesktopMissing">
        <source>missing from the desktop</source>
        <translation>fehlt auf dem Desktop</translation>
    </message>
    <message id="verifyFindingDesktopChanged">
        <source>changed on the desktop</source>
        <translation>auf dem Desktop geändert</translation>
    </message>
    <message id="verifyFindingMissing">
        <source>missing</source>
        <translation>fehlt</translation>
    </message>
    <message id="verifyFindingChanged">
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message id="verifyFindingPermissions">
        <source>permissions changed</source>
        <translation>Rechte geändert</translation>
    </message>
    <message id="verifyFindingLinkChanged">
        <source>link changed</source>
        <translation>Verknüpfung geändert</translation>
    </message>
    <message id="verifyFindingLinkLeadsOut">
        <source>link leads outside the app</source>
        <translation>Verknüpfung führt aus der App hinaus</translation>
    </message>
    <message id="verifyFindingExtra">
        <source>not installed by the launcher</source>
        <translation>nicht vom Launcher installiert</translation>
    </message>
    <message id="cliVerifySummary">
        <source>Checks installed apps file by file against what their install placed; changes nothing.</source>
        <translation>Prüft installierte Apps Datei für Datei gegen das, was ihre Installation abgelegt hat; ändert nichts.</translation>
    </message>
    <message id="cliVerifyIdsArgument">
        <source>The ids of the apps to check; every installed app when none is given.</source>
        <translation>Die IDs der zu prüfenden Apps; ohne Angabe jede installierte App.</translation>
    </message>
    <message id="cliVerifying">
        <source>Verifying %1: %2%</source>
        <translation>Prüfe %1: %2 %</translation>
    </message>
    <message id="cliNotInstalled">
        <source>app "%1" is not installed</source>
        <translation>App „%1“ ist nicht installiert</translation>
    </message>
    <message id="cliNoAppsInstalled">
        <source>No apps are installed.</source>
        <translation>Keine Apps installiert.</translation>
    </message>
    <message id="errorNotEnoughSpace">
        <source>Not enough disk space: %1. Free some space and try again.</source>
        <translation>Nicht genug Speicherplatz: %1. Gib etwas Speicher frei und versuche es erneut.</translation>
    </message>
    <message id="runningDidNotQuit">
        <source>%1 did not quit, so it was left as it is.</source>
        <translation>%1 wurde nicht beendet und bleibt daher unverändert.</translation>
    </message>
    <message id="meteredSizeUnknown">
        <source>an unknown amount</source>
        <translation>eine unbekannte Datenmenge</translation>
    </message>
    <message id="meteredUpdatesQuestion" numerus="yes">
        <source>Updating %n apps downloads %1 over a metered connection.</source>
        <translation>
            <numerusform>Die Aktualisierung von %Ln App lädt %1 über eine getaktete Verbindung.</numerusform>
            <numerusform>Die Aktualisierung von %Ln Apps lädt %1 über eine getaktete Verbindung.</numerusform>
        </translation>
    </message>
    <message id="meteredInstallsQuestion" numerus="yes">
        <source>Installing %n apps downloads %1 over a metered connection.</source>
        <translation>
            <numerusform>Die Installation von %Ln App lädt %1 über eine getaktete Verbindung.</numerusform>
            <numerusform>Die Installation von %Ln Apps lädt %1 über eine getaktete Verbindung.</numerusform>
        </translation>
    </message>
    <message id="meteredTitle">
        <source>Metered connection</source>
        <translation>Getaktete Verbindung</translation>
    </message>
    <message id="meteredDownloadAnyway">
        <source>Download anyway</source>
        <translation>Trotzdem laden</translation>
    </message>
    <message id="meteredNotNow">
        <source>Not now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message id="runningQuestionTitle">
        <source>%1 is running</source>
        <translation>%1 läuft</translation>
    </message>
    <message id="runningQuestionDetail">
        <source>Changing %1 while it runs would put new files under the running app (process %2).</source>
        <translation>Eine Änderung an %1 während der Ausführung würde Dateien unter der laufenden App austauschen (Prozess %2).</translation>
    </message>
    <message id="runningQuitAndUpdate">
        <source>Quit and update</source>
        <translation>Beenden und aktualisieren</translation>
    </message>
    <message id="runningUpdateWhenQuits">
        <source>Update when it quits</source>
        <translation>Aktualisieren, wenn sie beendet wird</translation>
    </message>
    <message id="runningQuitAndContinue">
        <source>Quit and continue</source>
        <translation>Beenden und fortfahren</translation>
    </message>
    <message id="runningContinueWhenQuits">
        <source>Continue when it quits</source>
        <translation>Fortfahren, wenn sie beendet wird</translation>
    </message>
    <message id="runningWaiting">
        <source>Waiting for %1 to quit</source>
        <translation>Wartet darauf, dass %1 beendet wird</translation>
    </message>
    <message id="runningStopWaiting">
        <source>Don't wait</source>
        <translation>Nicht warten</translation>
    </message>
    <message id="restartToUse">
        <source>Restart %1 to use %2</source>
        <translation>Starte %1 neu, um %2 zu verwenden</translation>
    </message>
    <message id="cliUpdateWhenClosedOption">
        <source>Wait for running apps to quit, then update them</source>
        <translation>Warten, bis laufende Apps beendet sind, und sie dann aktualisieren</translation>
    </message>
    <message id="cliUpdateRestartOption">
        <source>Ask running apps to quit, update them and open them again</source>
        <translation>Laufende Apps zum Beenden auffordern, sie aktualisieren und wieder öffnen</translation>
    </message>
    <message id="cliNoMeteredOption">
        <source>Download nothing over a metered connection</source>
        <translation>Nichts über eine getaktete Verbindung laden</translation>
    </message>
    <message id="cliRestartOrWait">
        <source>Give --when-closed or --restart, not both.</source>
        <translation>Gib --when-closed oder --restart an, nicht beides.</translation>
    </message>
    <message id="cliAppRunning">
        <source>%1 is running (process %2). Quit it, or use --when-closed or --restart.</source>
        <translation>%1 läuft (Prozess %2). Beende sie oder verwende --when-closed oder --restart.</translation>
    </message>
    <message id="cliChangeRunning">
        <source>%1 is running (process %2). Quit it first.</source>
        <translation>%1 läuft (Prozess %2). Beende sie zuerst.</translation>
    </message>
    <message id="cliWaitingToQuit">
        <source>Waiting for %1 to quit…</source>
        <translation>Warte, bis %1 beendet wird …</translation>
    </message>
    <message id="cliMeteredWarning">
        <source>Warning: the connection is metered; this downloads %1.</source>
        <translation>Warnung: Die Verbindung ist getaktet; es werden %1 geladen.</translation>
    </message>
    <message id="cliMeteredRefused">
        <source>The connection is metered and --no-metered was given; nothing was downloaded.</source>
        <translation>Die Verbindung ist getaktet und --no-metered wurde angegeben; es wurde nichts geladen.</translation>
    </message>
    <message id="spaceOnVolume">
        <source>%1 needs %2 and has %3 free</source>
        <translation>%1 benötigt %2, frei sind %3</translation>
    </message>
    <message id="refusalHeld">
        <source>It is held at the version installed; release it first.</source>
        <translation>Sie wird auf der installierten Version gehalten; gib sie zuerst frei.</translation>
    </message>
    <message id="cliSkipSummary">
        <source>Stops offering the version the catalog offers now; a newer one will be offered.</source>
        <translation>Bietet die jetzt angebotene Version nicht mehr an; eine neuere wird wieder angeboten.</translation>
    </message>
    <message id="cliHoldSummary">
        <source>Keeps the app at its installed version, out of update --all and the update count, until released.</source>
        <translation>Hält die App auf der installierten Version, außerhalb von update --all und der Zahl der Updates, bis sie freigegeben wird.</translation>
    </message>
    <message id="cliReleaseSummary">
        <source>Ends a hold and offers a skipped version again.</source>
        <translation>Beendet das Halten und bietet eine übersprungene Version wieder an.</translation>
    </message>
    <message id="cliSkipped">
        <source>%1 %2 skipped; a newer version will be offered.</source>
        <translation>%1 %2 übersprungen; eine neuere Version wird angeboten.</translation>
    </message>
    <message id="cliHeld">
        <source>%1 is held at %2.</source>
        <translation>%1 wird auf %2 gehalten.</translation>
    </message>
    <message id="cliReleased">
        <source>%1 is released: its updates are offered again.</source>
        <translation>%1 ist freigegeben: Updates werden wieder angeboten.</translation>
    </message>
    <message id="cliNothingToRelease">
        <source>%1 was neither held nor skipped; nothing changed.</source>
        <translation>%1 wurde weder gehalten noch übersprungen; nichts geändert.</translation>
    </message>
    <message id="cliUpdateHeld">
        <source>%1 is held at %2 and is not updated; release it first (vantrel release %3). Nothing was changed.</source>
        <translation>%1 wird auf %2 gehalten und nicht aktualisiert; zuerst freigeben (vantrel release %3). Nichts wurde geändert.</translation>
    </message>
    <message id="cliCannotDecide">
        <source>The updates of %1 cannot be changed now.</source>
        <translation>Die Updates von %1 können jetzt nicht geändert werden.</translation>
    </message>
    <message id="cliListHeld">
        <source>held</source>
        <translation>gehalten</translation>
    </message>
    <message id="skippedVersionLabel">
        <source>%1 skipped</source>
        <translation>%1 übersprungen</translation>
    </message>
    <message id="skipVersionAction">
        <source>Skip this version</source>
        <translation>Diese Version überspringen</translation>
    </message>
    <message id="holdAtAction">
        <source>Hold at %1</source>
        <translation>Auf %1 halten</translation>
    </message>
    <message id="releaseHoldAction">
        <source>Release hold</source>
        <translation>Halten beenden</translation>
    </message>
    <message id="offerAgainAction">
        <source>Offer %1 again</source>
        <translation>%1 wieder anbieten</translation>
    </message>
    <message id="heldDetail">
        <source>Held at %1: kept out of Update all until you release it.</source>
        <translation>Auf %1 gehalten: bleibt bei „Alle aktualisieren“ außen vor, bis du sie freigibst.</translation>
    </message>
    <message id="skippedDetail">
        <source>Version %1 skipped; a newer one will be offered.</source>
        <translation>Version %1 übersprungen; eine neuere wird angeboten.</translation>
    </message>
    <message id="heldAtLabel">
        <source>Held at %1</source>
        <translation>Gehalten auf %1</translation>
    </message>
    <message id="updatesHeldTitle">
        <source>Held</source>
        <translation>Gehalten</translation>
    </message>
    <message id="updatesSkippedTitle">
        <source>Skipped versions</source>
        <translation>Übersprungene Versionen</translation>
    </message>
    <message id="cliProblemFileListHalf">
        <source>file list and its checksum must come together</source>
        <translation>Dateiliste und ihre Prüfsumme gehören zusammen</translation>
    </message>
    <message id="cliProblemFileListUrl">
        <source>file list URL not usable</source>
        <translation>Adresse der Dateiliste nicht verwendbar</translation>
    </message>
    <message id="cliProblemFileListChecksum">
        <source>file list checksum not 64 hexadecimal digits</source>
        <translation>Prüfsumme der Dateiliste nicht aus 64 Hexadezimalziffern</translation>
    </message>
    <message id="cliUpdateFullOption">
        <source>Download each whole release archive, even where only some files changed.</source>
        <translation>Jedes Release-Archiv vollständig laden, auch wenn sich nur einige Dateien geändert haben.</translation>
    </message>
    <message id="cliTransferred">
        <source>Downloaded %1; %2 taken from the installed copy.</source>
        <translation>%1 geladen; %2 aus der installierten Kopie übernommen.</translation>
    </message>
    <message id="updateActionSized">
        <source>Update · %1</source>
        <translation>Aktualisieren · %1</translation>
    </message>
    <message id="cliUpdateSize">
        <source>%1: %2 to download.</source>
        <translation>%1: %2 zu laden.</translation>
    </message>
    <message id="errorCatalogNoFreshness">
        <source>The catalog offered has no valid sequence or expiry date, so the last one is kept.</source>
        <translation>Der angebotene Katalog hat keine gültige Folgenummer oder kein gültiges Ablaufdatum, daher bleibt der letzte.</translation>
    </message>
    <message id="errorCatalogOlder">
        <source>The catalog offered is older than one already seen, so the newer one is kept.</source>
        <translation>Der angebotene Katalog ist älter als ein bereits gesehener, daher bleibt der neuere.</translation>
    </message>
    <message id="errorCatalogConflicting">
        <source>The catalog offered has the sequence of one already seen but other contents, so the one seen is kept.</source>
        <translation>Der angebotene Katalog hat die Folgenummer eines bereits gesehenen, aber anderen Inhalt, daher bleibt der gesehene.</translation>
    </message>
    <message id="errorCatalogExpired">
        <source>The catalog expired on %1. Check the connection, or this computer's date and time.</source>
        <translation>Der Katalog ist am %1 abgelaufen. Prüfe die Verbindung oder Datum und Uhrzeit dieses Computers.</translation>
    </message>
    <message id="catalogExpiryDateFormat">
        <source>d MMMM</source>
        <translation>d. MMMM</translation>
    </message>
    <message id="refusalCatalogExpired">
        <source>The catalog has expired; a fresh one is needed first.</source>
        <translation>Der Katalog ist abgelaufen; zuerst wird ein aktueller gebraucht.</translation>
    </message>
    <message id="cliCheckSequence">
        <source>sequence: %1</source>
        <translation>Folgenummer: %1</translation>
    </message>
    <message id="cliCheckExpiresAt">
        <source>expires: %1</source>
        <translation>läuft ab: %1</translation>
    </message>
    <message id="cliCheckExpiresSoon">
        <source>warning: the catalog expires in less than 3 days; sign it again.</source>
        <translation>Warnung: Der Katalog läuft in weniger als 3 Tagen ab; signiere ihn erneut.</translation>
    </message>
    <message id="cliCheckExpired">
        <source>warning: the catalog has expired; sign it again.</source>
        <translation>Warnung: Der Katalog ist abgelaufen; signiere ihn erneut.</translation>
    </message>
    <message id="linkUnknownApp">
        <source>No app called "%1" is in the catalog.</source>
        <translation>Im Katalog gibt es keine App namens „%1“.</translation>
    </message>
    <message id="launcherLinkArgument">
        <source>A link to show: vantrel://app/ID (an app's page) or vantrel://search/TERMS (the library filtered).</source>
        <translation>Ein Link zum Anzeigen: vantrel://app/ID (die Seite einer App) oder vantrel://search/BEGRIFFE (die Bibliothek gefiltert).</translation>
    </message>
    <message id="cliCheckColumnRollout">
        <source>ROLLOUT</source>
        <translation>FREIGABE</translation>
    </message>
    <message id="cliPercent">
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message id="cliListStaged">
        <source>%1 released gradually (%2%)</source>
        <translation>%1 wird schrittweise freigegeben (%2 %)</translation>
    </message>
    <message id="cliUpdateStaged">
        <source>%1 %2 is not yet offered to this computer (released to %3% so far); updating now as asked.</source>
        <translation>%1 %2 wird diesem Computer noch nicht angeboten (bisher für %3 % freigegeben); wird wie gewünscht jetzt aktualisiert.</translation>
    </message>
    <message id="cliUpdateIncludeStagedOption">
        <source>With --all, also update apps whose new version is released gradually and not yet offered to this computer</source>
        <translation>Mit --all auch Apps aktualisieren, deren neue Version schrittweise freigegeben und diesem Computer noch nicht angeboten wird</translation>
    </message>
    <message id="stagedRolloutLine">
        <source>Version %1 is being released gradually.</source>
        <translation>Version %1 wird schrittweise freigegeben.</translation>
    </message>
    <message id="stagedUpdateNow">
        <source>Update now</source>
        <translation>Jetzt aktualisieren</translation>
    </message>
</context>
</TS>
