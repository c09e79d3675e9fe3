<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL" sourcelanguage="en_US">
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
        <translation>Sprawdź aplikacje</translation>
    </message>
    <message id="openVantrel">
        <source>Open Vantrel...</source>
        <translation>Otwórz Vantrel...</translation>
    </message>
    <message id="appCount" numerus="yes">
        <source>%n apps ready</source>
        <translation>
            <numerusform>%Ln aplikacja gotowa</numerusform>
            <numerusform>%Ln aplikacje gotowe</numerusform>
            <numerusform>%Ln aplikacji gotowych</numerusform>
        </translation>
    </message>
    <message id="betaBadge">
        <source>Beta</source>
        <translation>Beta</translation>
    </message>
    <message id="statusReady">
        <source>Ready</source>
        <translation>Gotowe</translation>
    </message>
    <message id="statusComingSoon">
        <source>Coming soon</source>
        <translation>Wkrótce</translation>
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
        <translation>Wycofane</translation>
    </message>
    <message id="installNotInstalled">
        <source>Not installed</source>
        <translation>Nie zainstalowano</translation>
    </message>
    <message id="installInstalling">
        <source>Installing %1%</source>
        <translation>Instalowanie %1%</translation>
    </message>
    <message id="installInstalled">
        <source>Installed %1</source>
        <translation>Zainstalowano %1</translation>
    </message>
    <message id="installUpdateAvailable">
        <source>%1 -&gt; %2</source>
        <translation>%1 -&gt; %2</translation>
    </message>
    <message id="installFailed">
        <source>Failed</source>
        <translation>Błąd</translation>
    </message>
    <message id="installAction">
        <source>Install</source>
        <translation>Instaluj</translation>
    </message>
    <message id="installingAction">
        <source>Installing</source>
        <translation>Instalowanie</translation>
    </message>
    <message id="openAction">
        <source>Open</source>
        <translation>Otwórz</translation>
    </message>
    <message id="retryAction">
        <source>Retry</source>
        <translation>Ponów</translation>
    </message>
    <message id="verifyAction">
        <source>Verify</source>
        <translation>Sprawdź</translation>
    </message>
    <message id="verifyingAction">
        <source>Verifying %1%</source>
        <translation>Sprawdzanie %1%</translation>
    </message>
    <message id="repairAction">
        <source>Repair</source>
        <translation>Napraw</translation>
    </message>
    <message id="repairedStatus">
        <source>Repaired</source>
        <translation>Naprawiono</translation>
    </message>
    <message id="verifyAllAction">
        <source>Verify all</source>
        <translation>Sprawdź wszystkie</translation>
    </message>
    <message id="verifyDamaged">
        <source>Damaged</source>
        <translation>Uszkodzona</translation>
    </message>
    <message id="verifyAllSummary" numerus="yes">
        <source>%n apps verified, all intact.</source>
        <translation>
            <numerusform>Sprawdzono %n aplikację: bez uszkodzeń.</numerusform>
            <numerusform>Sprawdzono %n aplikacje: bez uszkodzeń.</numerusform>
            <numerusform>Sprawdzono %n aplikacji: bez uszkodzeń.</numerusform>
        </translation>
    </message>
    <message id="verifyAllSummaryNeedRepair" numerus="yes">
        <source>%n apps verified; to repair: %1.</source>
        <translation>
            <numerusform>Sprawdzono %n aplikację; do naprawy: %1.</numerusform>
            <numerusform>Sprawdzono %n aplikacje; do naprawy: %1.</numerusform>
            <numerusform>Sprawdzono %n aplikacji; do naprawy: %1.</numerusform>
        </translation>
    </message>
    <message id="updateAction">
        <source>Update</source>
        <translation>Aktualizuj</translation>
    </message>
    <message id="notInstalledDetail">
        <source>Ready to install.</source>
        <translation>Gotowe do instalacji.</translation>
    </message>
    <message id="installingDetail">
        <source>Installing now.</source>
        <translation>Instalowanie trwa.</translation>
    </message>
    <message id="installedDetail">
        <source>Ready to open from this Mac.</source>
        <translation>Gotowe do otwarcia na tym Macu.</translation>
    </message>
    <message id="installedDetail.linux">
        <source>Ready to open from this computer.</source>
        <translation>Gotowe do otwarcia na tym komputerze.</translation>
    </message>
    <message id="updateDetail">
        <source>A newer version is ready.</source>
        <translation>Nowsza wersja jest gotowa.</translation>
    </message>
    <message id="sidebarHome">
        <source>Home</source>
        <translation>Start</translation>
    </message>
    <message id="sidebarAllApps">
        <source>All apps</source>
        <translation>Wszystkie</translation>
    </message>
    <message id="sidebarSelected">
        <source>Selected</source>
        <translation>Wybrane</translation>
    </message>
    <message id="sidebarUpdates">
        <source>Updates</source>
        <translation>Aktualizacje</translation>
    </message>
    <message id="sidebarPreferences">
        <source>Preferences</source>
        <translation>Preferencje</translation>
    </message>
    <message id="sidebarCategories">
        <source>Categories</source>
        <translation>Kategorie</translation>
    </message>
    <message id="sidebarQuickSwitcher">
        <source>Quick switcher</source>
        <translation>Szybki przełącznik</translation>
    </message>
    <message id="topLibrary">
        <source>Library</source>
        <translation>Biblioteka</translation>
    </message>
    <message id="topCatalog">
        <source>Vantrel apps</source>
        <translation>Aplikacje Vantrel</translation>
    </message>
    <message id="topSearchApps">
        <source>Search apps</source>
        <translation>Szukaj aplikacji</translation>
    </message>
    <message id="topQuickSwitch">
        <source>Quick switch</source>
        <translation>Szybki przełącznik</translation>
    </message>
    <message id="onboardingWelcome">
        <source>Welcome to Vantrel.</source>
        <translation>Witaj w Vantrel.</translation>
    </message>
    <message id="onboardingStepChoose">
        <source>Choose apps</source>
        <translation>Wybierz aplikacje</translation>
    </message>
    <message id="onboardingStepInstall">
        <source>Install selected apps</source>
        <translation>Zainstaluj wybrane</translation>
    </message>
    <message id="onboardingStepOpen">
        <source>Open the launcher</source>
        <translation>Otwórz launcher</translation>
    </message>
    <message id="onboardingStatus" numerus="yes">
        <source>%n apps ready to install</source>
        <translation>
            <numerusform>%Ln aplikacja gotowa do instalacji</numerusform>
            <numerusform>%Ln aplikacje gotowe do instalacji</numerusform>
            <numerusform>%Ln aplikacji gotowych do instalacji</numerusform>
        </translation>
    </message>
    <message id="onboardingStepBadge">
        <source>Step 2 of 4</source>
        <translation>Krok 2 z 4</translation>
    </message>
    <message id="onboardingTitle">
        <source>Choose what to install first</source>
        <translation>Wybierz, co zainstalować najpierw</translation>
    </message>
    <message id="onboardingLead">
        <source>Pick the apps you want on this Mac. You can install the rest later.</source>
        <translation>Wskaż aplikacje, które chcesz mieć na tym Macu. Resztę możesz doinstalować później.</translation>
    </message>
    <message id="onboardingLead.linux">
        <source>Pick the apps you want on this computer. You can install the rest later.</source>
        <translation>Wskaż aplikacje, które chcesz mieć na tym komputerze. Resztę możesz doinstalować później.</translation>
    </message>
    <message id="onboardingSelectedCount" numerus="yes">
        <source>%n apps selected</source>
        <translation>
            <numerusform>%Ln wybrana</numerusform>
            <numerusform>%Ln wybrane</numerusform>
            <numerusform>%Ln wybranych</numerusform>
        </translation>
    </message>
    <message id="onboardingBack">
        <source>Back</source>
        <translation>Wstecz</translation>
    </message>
    <message id="onboardingContinue">
        <source>Continue</source>
        <translation>Kontynuuj</translation>
    </message>
    <message id="homeGreeting">
        <source>Welcome back%1.</source>
        <translation>Cześć%1.</translation>
    </message>
    <message id="homeSubtitleEmpty">
        <source>Vantrel is ready. Apps will appear here as they ship.</source>
        <translation>Vantrel jest gotowe. Aplikacje pojawią się tutaj, gdy je wydamy.</translation>
    </message>
    <message id="homeSubtitleApps" numerus="yes">
        <source>%n apps are ready to install.</source>
        <translation>
            <numerusform>%Ln aplikacja jest gotowa do instalacji.</numerusform>
            <numerusform>%Ln aplikacje są gotowe do instalacji.</numerusform>
            <numerusform>%Ln aplikacji jest gotowych do instalacji.</numerusform>
        </translation>
    </message>
    <message id="emptyTitle">
        <source>No apps are available yet</source>
        <translation>Nie ma jeszcze dostępnych aplikacji</translation>
    </message>
    <message id="emptyBody">
        <source>You have the launcher. When the first app is ready, it will show up here automatically.</source>
        <translation>Masz już launcher. Gdy pierwsza aplikacja będzie gotowa, pojawi się tutaj automatycznie.</translation>
    </message>
    <message id="emptyPrimaryAction">
        <source>Check for apps</source>
        <translation>Sprawdź aplikacje</translation>
    </message>
    <message id="emptyTrustTitle">
        <source>What happens next</source>
        <translation>Co dalej</translation>
    </message>
    <message id="emptyTrustBody">
        <source>New apps appear here only after they have a real download and a short privacy note.</source>
        <translation>Nowe aplikacje pojawiają się tutaj dopiero wtedy, gdy mają realne pobranie i krótką notkę o prywatności.</translation>
    </message>
    <message id="comingSoonTitle">
        <source>Apps are coming soon</source>
        <translation>Aplikacje pojawią się wkrótce</translation>
    </message>
    <message id="comingSoonBody">
        <source>These apps are in progress. You will see an install button when a download is ready.</source>
        <translation>Te aplikacje są w trakcie. Przycisk instalacji pojawi się, gdy pobranie będzie gotowe.</translation>
    </message>
    <message id="comingSoonTileStatus">
        <source>Preview only</source>
        <translation>Tylko zapowiedź</translation>
    </message>
    <message id="firstAppTitle">
        <source>Ready to install</source>
        <translation>Gotowe do instalacji</translation>
    </message>
    <message id="firstAppBody">
        <source>Open the app page to see what it does, what changed, and what stays on your Mac.</source>
        <translation>Otwórz kartę aplikacji, żeby zobaczyć, do czego służy, co się zmieniło i co zostaje na Twoim Macu.</translation>
    </message>
    <message id="firstAppBody.linux">
        <source>Open the app page to see what it does, what changed, and what stays on your computer.</source>
        <translation>Otwórz kartę aplikacji, żeby zobaczyć, do czego służy, co się zmieniło i co zostaje na Twoim komputerze.</translation>
    </message>
    <message id="publishedAppsTitle">
        <source>Ready now</source>
        <translation>Gotowe teraz</translation>
    </message>
    <message id="appListSubtitle" numerus="yes">
        <source>%n apps</source>
        <translation>
            <numerusform>%Ln aplikacja</numerusform>
            <numerusform>%Ln aplikacje</numerusform>
            <numerusform>%Ln aplikacji</numerusform>
        </translation>
    </message>
    <message id="allAppsTitle">
        <source>All apps</source>
        <translation>Wszystkie aplikacje</translation>
    </message>
    <message id="selectedAppsTitle">
        <source>Selected apps</source>
        <translation>Wybrane aplikacje</translation>
    </message>
    <message id="updatesTitle">
        <source>Updates</source>
        <translation>Aktualizacje</translation>
    </message>
    <message id="noAppsTitle">
        <source>No apps match this view</source>
        <translation>Brak aplikacji w tym widoku</translation>
    </message>
    <message id="noAppsBody">
        <source>Try another section or clear the search.</source>
        <translation>Spróbuj innej sekcji albo wyczyść wyszukiwanie.</translation>
    </message>
    <message id="noUpdatesTitle">
        <source>No updates right now</source>
        <translation>Brak aktualizacji</translation>
    </message>
    <message id="noUpdatesBody">
        <source>New app versions will appear here after publishing.</source>
        <translation>Nowe wersje aplikacji pojawią się tutaj po publikacji.</translation>
    </message>
    <message id="noSelectedTitle">
        <source>No selected apps yet</source>
        <translation>Nie wybrano aplikacji</translation>
    </message>
    <message id="noSelectedBody">
        <source>Choose ready apps during setup or from the library.</source>
        <translation>Gotowe aplikacje wybierzesz podczas konfiguracji albo z biblioteki.</translation>
    </message>
    <message id="basicsTitle">
        <source>Good to know</source>
        <translation>Warto wiedzieć</translation>
    </message>
    <message id="basicsOne">
        <source>Apps marked Ready can be installed from this launcher.</source>
        <translation>Aplikacje oznaczone jako gotowe możesz instalować z launchera.</translation>
    </message>
    <message id="basicsTwo">
        <source>Apps marked Coming soon are visible early, but not downloadable yet.</source>
        <translation>Zapowiedziane aplikacje są widoczne wcześniej, ale jeszcze bez pobierania.</translation>
    </message>
    <message id="basicsThree">
        <source>When a new app ships, Vantrel will let you know here.</source>
        <translation>Gdy wyjdzie nowa aplikacja, Vantrel pokaże ją tutaj.</translation>
    </message>
    <message id="selectedAppEmptyTitle">
        <source>No app selected</source>
        <translation>Nie wybrano aplikacji</translation>
    </message>
    <message id="selectedAppEmptyBody">
        <source>Choose an app to see what it does and whether it is ready to install.</source>
        <translation>Wybierz aplikację, żeby zobaczyć, co robi i czy można ją już zainstalować.</translation>
    </message>
    <message id="detailsTitle">
        <source>Details</source>
        <translation>Szczegóły</translation>
    </message>
    <message id="bundleID">
        <source>App ID</source>
        <translation>ID aplikacji</translation>
    </message>
    <message id="version">
        <source>Version</source>
        <translation>Wersja</translation>
    </message>
    <message id="minimumMacOS">
        <source>Minimum macOS</source>
        <translation>Minimum macOS</translation>
    </message>
    <message id="minimumMacOS.linux">
        <source>Minimum system version</source>
        <translation>Minimalna wersja systemu</translation>
    </message>
    <message id="checksum">
        <source>Download check</source>
        <translation>Kontrola pobrania</translation>
    </message>
    <message id="checksumVerified">
        <source>Checked before install</source>
        <translation>Sprawdzane przed instalacją</translation>
    </message>
    <message id="updateFeed">
        <source>Updates</source>
        <translation>Aktualizacje</translation>
    </message>
    <message id="pendingRelease">
        <source>Not ready yet</source>
        <translation>Jeszcze niegotowe</translation>
    </message>
    <message id="notConfigured">
        <source>Not configured</source>
        <translation>Nie skonfigurowano</translation>
    </message>
    <message id="recentUpdates">
        <source>Recent updates</source>
        <translation>Ostatnie zmiany</translation>
    </message>
    <message id="privacyTitle">
        <source>Privacy</source>
        <translation>Prywatność</translation>
    </message>
    <message id="quickSearchPlaceholder">
        <source>Search Vantrel apps</source>
        <translation>Szukaj aplikacji Vantrel</translation>
    </message>
    <message id="quickResults" numerus="yes">
        <source>Apps · %n results</source>
        <translation>
            <numerusform>Aplikacje · %Ln wynik</numerusform>
            <numerusform>Aplikacje · %Ln wyniki</numerusform>
            <numerusform>Aplikacje · %Ln wyników</numerusform>
        </translation>
    </message>
    <message id="quickNoResults">
        <source>No results</source>
        <translation>Brak wyników</translation>
    </message>
    <message id="quickOpenHint">
        <source>Open</source>
        <translation>Otwórz</translation>
    </message>
    <message id="quickInstallHint">
        <source>Install</source>
        <translation>Instaluj</translation>
    </message>
    <message id="quickFooterLeft">
        <source>↑↓ navigate</source>
        <translation>↑↓ nawiguj</translation>
    </message>
    <message id="quickFooterRight">
        <source>↵ open · esc close</source>
        <translation>↵ otwórz · esc zamknij</translation>
    </message>
    <message id="menuQuickLaunch">
        <source>Quick launch</source>
        <translation>Szybkie uruchamianie</translation>
    </message>
    <message id="menuUpdates">
        <source>Updates</source>
        <translation>Aktualizacje</translation>
    </message>
    <message id="menuUpdatesDetail">
        <source>New versions will appear here</source>
        <translation>Nowe wersje pojawią się tutaj</translation>
    </message>
    <message id="sendFeedback">
        <source>Send feedback</source>
        <translation>Wyślij zgłoszenie</translation>
    </message>
    <message id="feedbackTitle">
        <source>Send feedback</source>
        <translation>Wyślij zgłoszenie</translation>
    </message>
    <message id="feedbackLead">
        <source>Report a bug, suggest an idea, or tell us what should feel better.</source>
        <translation>Zgłoś błąd, zaproponuj pomysł albo napisz, co powinno działać lepiej.</translation>
    </message>
    <message id="feedbackType">
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message id="feedbackTypeBug">
        <source>Bug</source>
        <translation>Błąd</translation>
    </message>
    <message id="feedbackTypeIdea">
        <source>Idea</source>
        <translation>Pomysł</translation>
    </message>
    <message id="feedbackTypeImprovement">
        <source>Improvement</source>
        <translation>Usprawnienie</translation>
    </message>
    <message id="feedbackTypeOther">
        <source>Other</source>
        <translation>Inne</translation>
    </message>
    <message id="feedbackRelatedApp">
        <source>Related app</source>
        <translation>Powiązana aplikacja</translation>
    </message>
    <message id="feedbackNoRelatedApp">
        <source>No app</source>
        <translation>Brak aplikacji</translation>
    </message>
    <message id="feedbackSummary">
        <source>Summary</source>
        <translation>Temat</translation>
    </message>
    <message id="feedbackSummaryPlaceholder">
        <source>Short title</source>
        <translation>Krótki tytuł</translation>
    </message>
    <message id="feedbackDescription">
        <source>Details</source>
        <translation>Szczegóły</translation>
    </message>
    <message id="feedbackDescriptionPlaceholder">
        <source>What happened, what did you expect, or what would you like to see?</source>
        <translation>Co się stało, czego oczekujesz albo co chcesz zobaczyć?</translation>
    </message>
    <message id="feedbackDiagnosticsTitle">
        <source>Diagnostics</source>
        <translation>Diagnostyka</translation>
    </message>
    <message id="feedbackDiagnosticsBody">
        <source>Vantrel includes basic context, like macOS version, language, and the selected app.</source>
        <translation>Vantrel dołączy podstawowy kontekst: wersję macOS, język i wybraną aplikację.</translation>
    </message>
    <message id="feedbackDiagnosticsBody.linux">
        <source>Vantrel includes basic context, like the system version, language, and the selected app.</source>
        <translation>Vantrel dołączy podstawowy kontekst: wersję systemu, język i wybraną aplikację.</translation>
    </message>
    <message id="feedbackDiscardTitle">
        <source>Discard this feedback?</source>
        <translation>Odrzucić tę opinię?</translation>
    </message>
    <message id="feedbackDiscardBody">
        <source>What you typed has not been sent and will be lost.</source>
        <translation>To, co wpisano, nie zostało wysłane i przepadnie.</translation>
    </message>
    <message id="feedbackKeepEditing">
        <source>Keep editing</source>
        <translation>Edytuj dalej</translation>
    </message>
    <message id="feedbackDiscard">
        <source>Discard</source>
        <translation>Odrzuć</translation>
    </message>
    <message id="feedbackCancel">
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message id="feedbackSubmit">
        <source>Send</source>
        <translation>Wyślij</translation>
    </message>
    <message id="feedbackSubmitting">
        <source>Sending</source>
        <translation>Wysyłanie</translation>
    </message>
    <message id="feedbackSuccessTitle">
        <source>Feedback sent</source>
        <translation>Zgłoszenie wysłane</translation>
    </message>
    <message id="feedbackSuccessBody">
        <source>Thanks. We will read it and follow up if needed.</source>
        <translation>Dzięki. Przeczytamy zgłoszenie i wrócimy do Ciebie, jeśli będzie trzeba.</translation>
    </message>
    <message id="feedbackIssue">
        <source>Issue %1</source>
        <translation>Zgłoszenie %1</translation>
    </message>
    <message id="feedbackClose">
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message id="feedbackSubmitFailed">
        <source>Feedback could not be sent right now.</source>
        <translation>Nie udało się teraz wysłać zgłoszenia.</translation>
    </message>
    <message id="preferencesGeneral">
        <source>General</source>
        <translation>Ogólne</translation>
    </message>
    <message id="preferencesApps">
        <source>Apps</source>
        <translation>Aplikacje</translation>
    </message>
    <message id="preferencesUpdates">
        <source>Updates</source>
        <translation>Aktualizacje</translation>
    </message>
    <message id="preferencesAdvanced">
        <source>Advanced</source>
        <translation>Zaawansowane</translation>
    </message>
    <message id="preferencesLaunchAtLogin">
        <source>Launch Vantrel at login</source>
        <translation>Uruchamiaj Vantrel przy logowaniu</translation>
    </message>
    <message id="preferencesShowInMenuBar">
        <source>Show in menu bar</source>
        <translation>Pokaż w pasku menu</translation>
    </message>
    <message id="preferencesShowInMenuBar.linux">
        <source>Show in the system tray</source>
        <translation>Pokaż w zasobniku systemowym</translation>
    </message>
    <message id="preferencesIncludeBetaApps">
        <source>Include beta apps</source>
        <translation>Uwzględniaj aplikacje beta</translation>
    </message>
    <message id="preferencesLanguage">
        <source>Language</source>
        <translation>Język</translation>
    </message>
    <message id="preferencesGlobalShortcut">
        <source>Global shortcut</source>
        <translation>Globalny skrót</translation>
    </message>
    <message id="preferencesReleaseReadiness">
        <source>App readiness</source>
        <translation>Gotowość aplikacji</translation>
    </message>
    <message id="preferencesSigning">
        <source>Only apps with a real Mac download can be installed.</source>
        <translation>Instalować można tylko aplikacje z realnym pobraniem dla Maca.</translation>
    </message>
    <message id="preferencesSigning.linux">
        <source>Only apps with a real download for this system can be installed.</source>
        <translation>Instalować można tylko aplikacje z realnym pobraniem dla tego systemu.</translation>
    </message>
    <message id="preferencesUpdateFeeds">
        <source>Updates appear here when a new version ships.</source>
        <translation>Aktualizacje pojawią się tutaj, gdy wyjdzie nowa wersja.</translation>
    </message>
    <message id="preferencesChecksums">
        <source>Vantrel checks downloads before installing them.</source>
        <translation>Vantrel sprawdza pobrania przed instalacją.</translation>
    </message>
    <message id="preferencesResetOnboarding">
        <source>Reset onboarding</source>
        <translation>Resetuj onboarding</translation>
    </message>
    <message id="trayMenuOpen">
        <source>Open Vantrel…</source>
        <translation>Otwórz Vantrel…</translation>
    </message>
    <message id="aboutVantrel">
        <source>About Vantrel</source>
        <translation>O programie Vantrel</translation>
    </message>
    <message id="aboutVersion">
        <source>Version %1</source>
        <translation>Wersja %1</translation>
    </message>
    <message id="aboutCopyright">
        <source>Copyright</source>
        <translation>Prawa autorskie</translation>
    </message>
    <message id="aboutLicence">
        <source>Licence</source>
        <translation>Licencja</translation>
    </message>
    <message id="aboutCatalog">
        <source>Catalog</source>
        <translation>Katalog</translation>
    </message>
    <message id="clearSearch">
        <source>Clear search</source>
        <translation>Wyczyść wyszukiwanie</translation>
    </message>
    <message id="announcementTitle">
        <source>New in Vantrel</source>
        <translation>Nowość w Vantrel</translation>
    </message>
    <message id="announcementOpenApp">
        <source>View app</source>
        <translation>Zobacz aplikację</translation>
    </message>
    <message id="announcementDismiss">
        <source>Not now</source>
        <translation>Nie teraz</translation>
    </message>
    <message id="errorManifestFallback">
        <source>Could not refresh apps. Showing the last known state.</source>
        <translation>Nie udało się odświeżyć aplikacji. Pokazuję ostatni znany stan.</translation>
    </message>
    <message id="errorCatalogSignature">
        <source>The catalog's signature could not be verified. Showing the last known state.</source>
        <translation>Nie udało się zweryfikować podpisu katalogu. Pokazuję ostatni znany stan.</translation>
    </message>
    <message id="errorCannotInstall">
        <source>%1 cannot be installed right now.</source>
        <translation>%1 nie może być teraz zainstalowana.</translation>
    </message>
    <message id="errorInstallFailed">
        <source>Could not install %1. %2</source>
        <translation>Nie udało się zainstalować %1. %2</translation>
    </message>
    <message id="errorNoBundle">
        <source>No app bundle was found on this Mac for %1.</source>
        <translation>Na tym Macu nie znaleziono pakietu aplikacji dla %1.</translation>
    </message>
    <message id="errorNoBundle.linux">
        <source>No app bundle was found on this computer for %1.</source>
        <translation>Na tym komputerze nie znaleziono pakietu aplikacji dla %1.</translation>
    </message>
    <message id="errorProgramMissing">
        <source>%1 cannot start: its program %2 is missing. Repair puts it right.</source>
        <translation>Nie można uruchomić %1: brakuje jej programu %2. „Napraw” to naprawi.</translation>
    </message>
    <message id="errorProgramNotExecutable">
        <source>%1 cannot start: its program %2 is not executable. Repair puts it right.</source>
        <translation>Nie można uruchomić %1: jej program %2 nie jest wykonywalny. „Napraw” to naprawi.</translation>
    </message>
    <message id="errorProgramUnreadable">
        <source>%1 cannot start: its program %2 cannot be read. Repair puts it right.</source>
        <translation>Nie można uruchomić %1: nie da się odczytać jej programu %2. „Napraw” to naprawi.</translation>
    </message>
    <message id="errorProgramUnnamed">
        <source>%1 cannot start: its Info.plist names no program the app holds. Repair puts it right.</source>
        <translation>Nie można uruchomić %1: plik Info.plist nie wskazuje programu, który aplikacja zawiera. „Napraw” to naprawi.</translation>
    </message>
    <message id="cancelAction">
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message id="removeAction">
        <source>Remove</source>
        <translation>Usuń</translation>
    </message>
    <message id="rollBackAction">
        <source>Roll back to %1</source>
        <translation>Przywróć %1</translation>
    </message>
    <message id="removeConfirmTitle">
        <source>Remove %1?</source>
        <translation>Usunąć %1?</translation>
    </message>
    <message id="removeConfirmTrash">
        <source>%1 moves to the trash, where you can restore it.</source>
        <translation>%1 trafi do kosza, skąd można ją przywrócić.</translation>
    </message>
    <message id="removeConfirmForGood">
        <source>The trash cannot take %1 on this drive, so it will be deleted for good.</source>
        <translation>Kosz nie przyjmie %1 z tego dysku, więc zostanie ona usunięta na zawsze.</translation>
    </message>
    <message id="updateAllAction" numerus="yes">
        <source>Update all (%n)</source>
        <translation>
            <numerusform>Aktualizuj wszystkie (%Ln)</numerusform>
            <numerusform>Aktualizuj wszystkie (%Ln)</numerusform>
            <numerusform>Aktualizuj wszystkie (%Ln)</numerusform>
        </translation>
    </message>
    <message id="updateAllSummary" numerus="yes">
        <source>%n updated</source>
        <translation>
            <numerusform>Zaktualizowano: %Ln</numerusform>
            <numerusform>Zaktualizowano: %Ln</numerusform>
            <numerusform>Zaktualizowano: %Ln</numerusform>
        </translation>
    </message>
    <message id="updateAllSummaryFailed" numerus="yes">
        <source>%1 updated, %n failed: %2</source>
        <translation>
            <numerusform>Zaktualizowano: %1, nieudane: %Ln. %2</numerusform>
            <numerusform>Zaktualizowano: %1, nieudane: %Ln. %2</numerusform>
            <numerusform>Zaktualizowano: %1, nieudane: %Ln. %2</numerusform>
        </translation>
    </message>
    <message id="updateNotAvailable">
        <source>No update is available.</source>
        <translation>Brak dostępnej aktualizacji.</translation>
    </message>
    <message id="errorCannotRemove">
        <source>%1 cannot be removed right now.</source>
        <translation>%1 nie może być teraz usunięta.</translation>
    </message>
    <message id="errorRemoveFailed">
        <source>Could not remove %1. %2</source>
        <translation>Nie udało się usunąć %1. %2</translation>
    </message>
    <message id="errorCannotRollBack">
        <source>%1 has no earlier version to roll back to right now.</source>
        <translation>%1 nie ma teraz wcześniejszej wersji do przywrócenia.</translation>
    </message>
    <message id="errorRollBackFailed">
        <source>Could not roll back %1. %2</source>
        <translation>Nie udało się przywrócić poprzedniej wersji %1. %2</translation>
    </message>
    <message id="errorCannotRepair">
        <source>%1 cannot be repaired right now.</source>
        <translation>%1 nie może być teraz naprawiona.</translation>
    </message>
    <message id="errorRepairFailed">
        <source>Could not repair %1. %2</source>
        <translation>Nie udało się naprawić %1. %2</translation>
    </message>
    <message id="errorCannotVerify">
        <source>%1 cannot be verified right now.</source>
        <translation>%1 nie może być teraz sprawdzona.</translation>
    </message>
    <message id="errorVerifyFailed">
        <source>Could not verify %1. %2</source>
        <translation>Nie udało się sprawdzić %1. %2</translation>
    </message>
    <message id="cliInstalling">
        <source>Installing %1 %2…</source>
        <translation>Instalowanie %1 %2…</translation>
    </message>
    <message id="cliRepairing">
        <source>Repairing %1 %2…</source>
        <translation>Naprawianie %1 %2…</translation>
    </message>
    <message id="cliRepaired">
        <source>Repaired %1.</source>
        <translation>Naprawiono %1.</translation>
    </message>
    <message id="cliUpdating">
        <source>Updating %1 from %2 to %3…</source>
        <translation>Aktualizowanie %1 z %2 do %3…</translation>
    </message>
    <message id="cliInstallCancelled">
        <source>The install of %1 was cancelled.</source>
        <translation>Instalacja %1 została anulowana.</translation>
    </message>
    <message id="cliRemovedToTrash">
        <source>Removed %1 (moved to the trash)</source>
        <translation>Usunięto %1 (przeniesiono do kosza)</translation>
    </message>
    <message id="cliRemovedForGood">
        <source>Removed %1 (deleted for good)</source>
        <translation>Usunięto %1 (usunięto na zawsze)</translation>
    </message>
    <message id="cliOpened">
        <source>Opened %1 (%2)</source>
        <translation>Otwarto %1 (%2)</translation>
    </message>
    <message id="cliCouldNotStart">
        <source>%1 could not be started.</source>
        <translation>Nie udało się uruchomić %1.</translation>
    </message>
    <message id="cliUnknownApp">
        <source>unknown app "%1"</source>
        <translation>nieznana aplikacja „%1”</translation>
    </message>
    <message id="cliCatalogUnreachable">
        <source>the catalog could not be fetched: %1</source>
        <translation>nie udało się pobrać katalogu: %1</translation>
    </message>
    <message id="cliUnknownLanguage">
        <source>unknown language "%1" (en, pl or de)</source>
        <translation>nieznany język „%1” (en, pl albo de)</translation>
    </message>
    <message id="cliOneAppId">
        <source>give exactly one app id</source>
        <translation>podaj dokładnie jeden identyfikator aplikacji</translation>
    </message>
    <message id="cliUpdateTargets">
        <source>give --all or one or more app ids</source>
        <translation>podaj --all albo jeden lub więcej identyfikatorów aplikacji</translation>
    </message>
    <message id="cliUnexpectedArgument">
        <source>unexpected argument %1</source>
        <translation>nieoczekiwany argument %1</translation>
    </message>
    <message id="progressPercent">
        <source>%1 %</source>
        <translation>%1%</translation>
    </message>
    <message id="progressBytesOf">
        <source>%1 of %2</source>
        <translation>%1 z %2</translation>
    </message>
    <message id="progressSecondsLeft" numerus="yes">
        <source>about %n s left</source>
        <translation>
            <numerusform>zostało około %Ln s</numerusform>
            <numerusform>zostało około %Ln s</numerusform>
            <numerusform>zostało około %Ln s</numerusform>
        </translation>
    </message>
    <message id="progressMinutesLeft" numerus="yes">
        <source>about %n min left</source>
        <translation>
            <numerusform>zostało około %Ln min</numerusform>
            <numerusform>zostały około %Ln min</numerusform>
            <numerusform>zostało około %Ln min</numerusform>
        </translation>
    </message>
    <message id="cliWholeArchive">
        <source>%1: the changed files could not be fetched on their own; downloading the whole archive instead.</source>
        <translation>%1: nie udało się pobrać samych zmienionych plików; zamiast nich pobierane jest całe archiwum.</translation>
    </message>
    <message id="cliDownloaded">
        <source>Downloaded %1.</source>
        <translation>Pobrano %1.</translation>
    </message>
    <message id="cliQuittingApp">
        <source>Quitting %1…</source>
        <translation>Zamykanie %1…</translation>
    </message>
    <message id="cliReopeningApp">
        <source>Opening %1 again…</source>
        <translation>Ponowne otwieranie %1…</translation>
    </message>
    <message id="cliListCannotInstall">
        <source>cannot be installed: %1</source>
        <translation>nie można zainstalować: %1</translation>
    </message>
    <message id="quitAction">
        <source>Quit</source>
        <translation>Zakończ</translation>
    </message>
    <message id="quitConfirmTitle">
        <source>Quit while installing?</source>
        <translation>Zakończyć podczas instalacji?</translation>
    </message>
    <message id="quitConfirmBody">
        <source>%1 is still installing. Quitting cancels the install and leaves nothing half-installed.</source>
        <translation>Trwa instalacja: %1. Zakończenie anuluje instalację i nie zostawia niczego zainstalowanego w połowie.</translation>
    </message>
    <message id="quitConfirmAction">
        <source>Cancel install and quit</source>
        <translation>Anuluj instalację i zakończ</translation>
    </message>
    <message id="quitKeepInstalling">
        <source>Keep installing</source>
        <translation>Kontynuuj instalację</translation>
    </message>
    <message id="checkForUpdates">
        <source>Check for updates</source>
        <translation>Sprawdź aktualizacje</translation>
    </message>
    <message id="lastCheckedAt">
        <source>Last checked %1</source>
        <translation>Ostatnio sprawdzono %1</translation>
    </message>
    <message id="lastCheckedNever">
        <source>Not checked yet</source>
        <translation>Jeszcze nie sprawdzono</translation>
    </message>
    <message id="returnToAction">
        <source>Return to %1</source>
        <translation>Wróć do %1</translation>
    </message>
    <message id="shortcutAnywhere">
        <source>Anywhere on the desktop</source>
        <translation>W całym systemie</translation>
    </message>
    <message id="shortcutInsideLauncher">
        <source>Works inside the launcher</source>
        <translation>Działa w oknie programu</translation>
    </message>
    <message id="failureChecksumMismatch">
        <source>The download did not match its checksum.</source>
        <translation>Pobrany plik nie zgadza się z sumą kontrolną.</translation>
    </message>
    <message id="failureUnsupportedMacOS">
        <source>This app requires macOS %1 or newer.</source>
        <translation>Ta aplikacja wymaga systemu macOS %1 lub nowszego.</translation>
    </message>
    <message id="failureMissingDownloadURL">
        <source>The catalog does not include a download URL.</source>
        <translation>Katalog nie zawiera adresu pobierania.</translation>
    </message>
    <message id="failureInvalidReleaseMetadata">
        <source>The release metadata is incomplete.</source>
        <translation>Dane wydania są niekompletne.</translation>
    </message>
    <message id="failureUnsupportedDownloadScheme">
        <source>The download URL must use HTTPS.</source>
        <translation>Adres pobierania musi używać HTTPS.</translation>
    </message>
    <message id="failureDownloadFailed">
        <source>The download failed.</source>
        <translation>Pobieranie nie powiodło się.</translation>
    </message>
    <message id="failureExtractionFailed">
        <source>The downloaded archive could not be extracted.</source>
        <translation>Nie udało się rozpakować pobranego archiwum.</translation>
    </message>
    <message id="failureAppBundleNotFound">
        <source>The archive does not contain a macOS app bundle.</source>
        <translation>Archiwum nie zawiera pakietu aplikacji macOS.</translation>
    </message>
    <message id="failureBundleIdentifierMismatch">
        <source>The app bundle does not match the catalog bundle identifier.</source>
        <translation>Pakiet aplikacji nie pasuje do identyfikatora pakietu z katalogu.</translation>
    </message>
    <message id="failureCancelled">
        <source>The install was cancelled.</source>
        <translation>Instalacja została anulowana.</translation>
    </message>
    <message id="errorManifestStored">
        <source>Could not refresh apps. Showing the catalog fetched %1.</source>
        <translation>Nie udało się odświeżyć aplikacji. Pokazuję katalog pobrany %1.</translation>
    </message>
    <message id="errorCatalogSignatureStored">
        <source>The catalog's signature could not be verified. Showing the catalog fetched %1.</source>
        <translation>Nie udało się zweryfikować podpisu katalogu. Pokazuję katalog pobrany %1.</translation>
    </message>
    <message id="timeJustNow">
        <source>just now</source>
        <translation>przed chwilą</translation>
    </message>
    <message id="timeMinutesAgo" numerus="yes">
        <source>%n min ago</source>
        <translation>
            <numerusform>%Ln min temu</numerusform>
            <numerusform>%Ln min temu</numerusform>
            <numerusform>%Ln min temu</numerusform>
        </translation>
    </message>
    <message id="timeHoursAgo" numerus="yes">
        <source>%n h ago</source>
        <translation>
            <numerusform>%Ln godz. temu</numerusform>
            <numerusform>%Ln godz. temu</numerusform>
            <numerusform>%Ln godz. temu</numerusform>
        </translation>
    </message>
    <message id="timeDaysAgo" numerus="yes">
        <source>%n d ago</source>
        <translation>
            <numerusform>%Ln dn. temu</numerusform>
            <numerusform>%Ln dn. temu</numerusform>
            <numerusform>%Ln dn. temu</numerusform>
        </translation>
    </message>
    <message id="refusalUnknownApp">
        <source>The catalog has no such app.</source>
        <translation>Katalog nie zawiera takiej aplikacji.</translation>
    </message>
    <message id="refusalNoPublishedRelease">
        <source>No release of it is published yet.</source>
        <translation>Nie opublikowano jeszcze żadnego wydania.</translation>
    </message>
    <message id="refusalComingSoon">
        <source>It is coming soon.</source>
        <translation>Pojawi się wkrótce.</translation>
    </message>
    <message id="refusalRetired">
        <source>It has been retired.</source>
        <translation>Została wycofana.</translation>
    </message>
    <message id="refusalMalformedChecksum">
        <source>Its release has a malformed checksum.</source>
        <translation>Suma kontrolna wydania jest nieprawidłowa.</translation>
    </message>
    <message id="refusalSystemTooOld">
        <source>It needs a newer system.</source>
        <translation>Wymaga nowszego systemu.</translation>
    </message>
    <message id="refusalAlreadyInstalling">
        <source>It is being installed already.</source>
        <translation>Jest już instalowana.</translation>
    </message>
    <message id="refusalAlreadyInstalled">
        <source>It is installed already.</source>
        <translation>Jest już zainstalowana.</translation>
    </message>
    <message id="refusalNotInstalled">
        <source>It is not installed.</source>
        <translation>Nie jest zainstalowana.</translation>
    </message>
    <message id="refusalBusy">
        <source>It is being removed or rolled back.</source>
        <translation>Jest właśnie usuwana lub przywracana.</translation>
    </message>
    <message id="refusalNothingToRollBack">
        <source>No earlier version is kept.</source>
        <translation>Nie zachowano wcześniejszej wersji.</translation>
    </message>
    <message id="refusalNoInstaller">
        <source>No installer is available.</source>
        <translation>Instalator jest niedostępny.</translation>
    </message>
    <message id="refusalNotInCatalog">
        <source>It is no longer in the catalog.</source>
        <translation>Nie ma jej już w katalogu.</translation>
    </message>
    <message id="refusalAlreadyVerifying">
        <source>It is being verified already.</source>
        <translation>Jest już sprawdzana.</translation>
    </message>
    <message id="refusalNothingToRepair">
        <source>Nothing was found to repair; verify it first.</source>
        <translation>Nie znaleziono nic do naprawy; najpierw ją sprawdź.</translation>
    </message>
    <message id="refusalVersionNotOffered">
        <source>The catalog no longer offers the version installed.</source>
        <translation>Katalog nie oferuje już zainstalowanej wersji.</translation>
    </message>
    <message id="notListedNotInCatalog">
        <source>No longer in the catalog</source>
        <translation>Już nie w katalogu</translation>
    </message>
    <message id="notListedRetired">
        <source>Retired from the catalog</source>
        <translation>Wycofana z katalogu</translation>
    </message>
    <message id="notListedBetaHidden">
        <source>Beta apps are hidden</source>
        <translation>Aplikacje beta są ukryte</translation>
    </message>
    <message id="notListedNotInCatalogBadge">
        <source>Not in catalog</source>
        <translation>Poza katalogiem</translation>
    </message>
    <message id="notListedRetiredBadge">
        <source>Retired</source>
        <translation>Wycofana</translation>
    </message>
    <message id="notListedBetaHiddenBadge">
        <source>Beta hidden</source>
        <translation>Beta ukryta</translation>
    </message>
    <message id="installedGroupTitle">
        <source>Installed</source>
        <translation>Zainstalowane</translation>
    </message>
    <message id="installedGroupNote">
        <source>Installed apps the catalog's lists do not show.</source>
        <translation>Zainstalowane aplikacje, których listy katalogu nie pokazują.</translation>
    </message>
    <message id="cliUsage">
        <source>usage: %1</source>
        <translation>użycie: %1</translation>
    </message>
    <message id="cliOptionsHeading">
        <source>options:</source>
        <translation>opcje:</translation>
    </message>
    <message id="cliArgumentsHeading">
        <source>arguments:</source>
        <translation>argumenty:</translation>
    </message>
    <message id="cliCommandsHeading">
        <source>commands:</source>
        <translation>polecenia:</translation>
    </message>
    <message id="cliHelpHint">
        <source>"%1" describes a command's options and arguments.</source>
        <translation>„%1” opisuje opcje i argumenty polecenia.</translation>
    </message>
    <message id="cliUnknownCommand">
        <source>unknown command "%1"</source>
        <translation>nieznane polecenie „%1”</translation>
    </message>
    <message id="cliMissingValue">
        <source>%1 needs a value</source>
        <translation>%1 wymaga wartości</translation>
    </message>
    <message id="cliUnexpectedValue">
        <source>%1 takes no value</source>
        <translation>%1 nie przyjmuje wartości</translation>
    </message>
    <message id="cliHelpOption">
        <source>Shows this help.</source>
        <translation>Pokazuje tę pomoc.</translation>
    </message>
    <message id="cliLangOption">
        <source>Language of the texts and of the catalog: en, pl or de.</source>
        <translation>Język tekstów i katalogu: en, pl albo de.</translation>
    </message>
    <message id="cliCheckSummary">
        <source>Decodes a manifest (a file or an http(s) URL) and reports on every app.</source>
        <translation>Dekoduje manifest (plik albo adres http(s)) i opisuje każdą aplikację.</translation>
    </message>
    <message id="cliCheckNoBetaOption">
        <source>Reports with the beta preference off: beta apps hidden.</source>
        <translation>Raport przy wyłączonych wersjach beta: aplikacje beta są ukryte.</translation>
    </message>
    <message id="cliCheckJsonOption">
        <source>Prints the report as JSON.</source>
        <translation>Wypisuje raport jako JSON.</translation>
    </message>
    <message id="cliCheckPublicKeysOption">
        <source>Ed25519 public keys (base64, comma-separated) the catalog must be signed with; default: VANTREL_CATALOG_PUBLIC_KEYS or the built-in ones.</source>
        <translation>Klucze publiczne Ed25519 (base64, rozdzielone przecinkami), którymi musi być podpisany katalog; domyślnie: VANTREL_CATALOG_PUBLIC_KEYS albo klucze wbudowane.</translation>
    </message>
    <message id="cliCheckSignatureOption">
        <source>The base64 signature of the manifest file, as X-Vantrel-Signature would carry it.</source>
        <translation>Podpis pliku manifestu w base64, taki jak w nagłówku X-Vantrel-Signature.</translation>
    </message>
    <message id="cliCheckSourceArgument">
        <source>A manifest file, or the http(s) URL of a manifest service.</source>
        <translation>Plik manifestu albo adres http(s) usługi manifestu.</translation>
    </message>
    <message id="cliCompareSummary">
        <source>Prints ascending, same or descending: how version A compares with B.</source>
        <translation>Wypisuje ascending, same albo descending: jak wersja A ma się do B.</translation>
    </message>
    <message id="cliCompareFirstArgument">
        <source>A version, taken as written.</source>
        <translation>Wersja, dokładnie tak, jak zapisana.</translation>
    </message>
    <message id="cliCompareSecondArgument">
        <source>The version to compare it with.</source>
        <translation>Wersja, z którą ją porównać.</translation>
    </message>
    <message id="cliIdArgument">
        <source>The app's id in the catalog.</source>
        <translation>Identyfikator aplikacji w katalogu.</translation>
    </message>
    <message id="cliProgressJsonOption">
        <source>Prints the progress and the outcome as JSON, one object per line.</source>
        <translation>Wypisuje postęp i wynik jako JSON, po jednym obiekcie w wierszu.</translation>
    </message>
    <message id="cliListSummary">
        <source>Refreshes the catalog and shows each visible app with its install state.</source>
        <translation>Odświeża katalog i pokazuje każdą widoczną aplikację z jej stanem instalacji.</translation>
    </message>
    <message id="cliListJsonOption">
        <source>Prints the apps as JSON.</source>
        <translation>Wypisuje aplikacje jako JSON.</translation>
    </message>
    <message id="cliInstallSummary">
        <source>Installs or updates one app; Ctrl-C cancels it.</source>
        <translation>Instaluje albo aktualizuje jedną aplikację; Ctrl-C przerywa.</translation>
    </message>
    <message id="cliUpdateSummary">
        <source>Updates every app with an update, or the apps named, one after another.</source>
        <translation>Aktualizuje po kolei każdą aplikację, dla której jest aktualizacja, albo podane aplikacje.</translation>
    </message>
    <message id="cliUpdateAllOption">
        <source>Updates every app that has an update.</source>
        <translation>Aktualizuje każdą aplikację, dla której jest aktualizacja.</translation>
    </message>
    <message id="cliUpdateIdsArgument">
        <source>The ids of the apps to update.</source>
        <translation>Identyfikatory aplikacji do zaktualizowania.</translation>
    </message>
    <message id="cliRemoveSummary">
        <source>Moves an installed app to the trash (or deletes it where the trash cannot take it).</source>
        <translation>Przenosi zainstalowaną aplikację do kosza (albo usuwa ją, gdy kosz nie może jej przyjąć).</translation>
    </message>
    <message id="cliRollbackSummary">
        <source>Goes back to the version the app's last update replaced.</source>
        <translation>Wraca do wersji, którą zastąpiła ostatnia aktualizacja aplikacji.</translation>
    </message>
    <message id="cliOpenSummary">
        <source>Opens an installed app, installing it first when needed.</source>
        <translation>Otwiera zainstalowaną aplikację, w razie potrzeby najpierw ją instalując.</translation>
    </message>
    <message id="cliRepairSummary">
        <source>Verifies installed apps and puts right what it finds: permission bits in place, anything else by a fresh install of the installed version.</source>
        <translation>Sprawdza zainstalowane aplikacje i naprawia, co znajdzie: uprawnienia na miejscu, resztę przez świeżą instalację zainstalowanej wersji.</translation>
    </message>
    <message id="cliRepairIdsArgument">
        <source>The ids of the apps to repair; every installed app when none is given.</source>
        <translation>Identyfikatory aplikacji do naprawy; wszystkie zainstalowane, gdy nie podano żadnego.</translation>
    </message>
    <message id="cliCompleteSummary">
        <source>Prints what a shell may offer after the words given, one per line (for shell completion).</source>
        <translation>Wypisuje, co powłoka może podpowiedzieć po podanych słowach, po jednym w wierszu (do uzupełniania w powłoce).</translation>
    </message>
    <message id="cliCompleteWordsArgument">
        <source>The words typed after vantrel so far.</source>
        <translation>Słowa wpisane dotąd po vantrel.</translation>
    </message>
    <message id="cliProblemNoDownloadUrl">
        <source>no download URL</source>
        <translation>brak adresu pobierania</translation>
    </message>
    <message id="cliProblemChecksum">
        <source>checksum not 64 hexadecimal digits</source>
        <translation>suma kontrolna nie ma 64 cyfr szesnastkowych</translation>
    </message>
    <message id="cliProblemBlankVersion">
        <source>blank version</source>
        <translation>pusta wersja</translation>
    </message>
    <message id="cliProblemMinimumVersion">
        <source>minimum system version does not parse</source>
        <translation>minimalnej wersji systemu nie da się odczytać</translation>
    </message>
    <message id="cliYes">
        <source>yes</source>
        <translation>tak</translation>
    </message>
    <message id="cliNo">
        <source>no</source>
        <translation>nie</translation>
    </message>
    <message id="cliCheckNoApps">
        <source>no apps</source>
        <translation>brak aplikacji</translation>
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
        <translation>WIDOCZNA</translation>
    </message>
    <message id="cliCheckColumnPublished">
        <source>PUBLISHED</source>
        <translation>OPUBLIKOWANA</translation>
    </message>
    <message id="cliCheckColumnComingSoon">
        <source>COMING SOON</source>
        <translation>WKRÓTCE</translation>
    </message>
    <message id="cliCheckColumnProblem">
        <source>PROBLEM</source>
        <translation>PROBLEM</translation>
    </message>
    <message id="cliCheckLifecycle">
        <source>lifecycle: %1</source>
        <translation>cykl życia: %1</translation>
    </message>
    <message id="cliCheckFeatured">
        <source>featured: %1</source>
        <translation>wyróżniona: %1</translation>
    </message>
    <message id="cliCheckNone">
        <source>none</source>
        <translation>brak</translation>
    </message>
    <message id="cliCheckAnnouncements">
        <source>announcements: %1</source>
        <translation>ogłoszenia: %1</translation>
    </message>
    <message id="cliCheckSignature">
        <source>signature: %1</source>
        <translation>podpis: %1</translation>
    </message>
    <message id="cliCheckVerified">
        <source>verified</source>
        <translation>zweryfikowany</translation>
    </message>
    <message id="cliCheckUnchecked">
        <source>unchecked</source>
        <translation>niesprawdzony</translation>
    </message>
    <message id="cliInvalidUrl">
        <source>%1 is not a valid URL</source>
        <translation>%1 nie jest prawidłowym adresem URL</translation>
    </message>
    <message id="cliCouldNotFetch">
        <source>could not fetch %1: %2</source>
        <translation>nie udało się pobrać %1: %2</translation>
    </message>
    <message id="cliReadDirectory">
        <source>cannot read %1: it is a directory</source>
        <translation>nie można odczytać %1: to folder</translation>
    </message>
    <message id="cliCannotRead">
        <source>cannot read %1: %2</source>
        <translation>nie można odczytać %1: %2</translation>
    </message>
    <message id="cliOneSource">
        <source>only one SOURCE may be given</source>
        <translation>można podać tylko jedno źródło (SOURCE)</translation>
    </message>
    <message id="cliSourceMissing">
        <source>SOURCE is missing</source>
        <translation>brak źródła (SOURCE)</translation>
    </message>
    <message id="cliPublicKeysFormat">
        <source>--public-keys takes base64 Ed25519 public keys separated by commas</source>
        <translation>--public-keys przyjmuje klucze publiczne Ed25519 w base64, rozdzielone przecinkami</translation>
    </message>
    <message id="cliSignatureForFile">
        <source>--signature is for a file; a URL's signature comes in its header</source>
        <translation>--signature dotyczy pliku; podpis adresu URL przychodzi w jego nagłówku</translation>
    </message>
    <message id="cliSignatureNeedsKeys">
        <source>--signature needs --public-keys or VANTREL_CATALOG_PUBLIC_KEYS</source>
        <translation>--signature wymaga --public-keys albo VANTREL_CATALOG_PUBLIC_KEYS</translation>
    </message>
    <message id="cliTwoVersions">
        <source>expected exactly two versions</source>
        <translation>podaj dokładnie dwie wersje</translation>
    </message>
    <message id="cliUnknownOption" numerus="yes">
        <source>unknown option: %1</source>
        <translation>
            <numerusform>nieznana opcja: %1</numerusform>
            <numerusform>nieznane opcje: %1</numerusform>
            <numerusform>nieznane opcje: %1</numerusform>
        </translation>
    </message>
    <message id="cliHttpStatus">
        <source>the server answered with HTTP status %1</source>
        <translation>serwer odpowiedział statusem HTTP %1</translation>
    </message>
    <message id="cliNotHttp">
        <source>the answer was not an HTTP response</source>
        <translation>odpowiedź nie była odpowiedzią HTTP</translation>
    </message>
    <message id="launcherDescription">
        <source>The Vantrel launcher.</source>
        <translation>Launcher Vantrel.</translation>
    </message>
    <message id="launcherVersionOption">
        <source>Shows the version.</source>
        <translation>Pokazuje wersję.</translation>
    </message>
    <message id="launcherHiddenOption">
        <source>Starts without showing the main window (as at login); starting the launcher again shows it.</source>
        <translation>Uruchamia bez pokazywania głównego okna (jak przy logowaniu); ponowne uruchomienie launchera je pokazuje.</translation>
    </message>
    <message id="launcherNoDisplay">
        <source>no display was found. Start it inside a desktop session (an X11 or Wayland session sets DISPLAY or WAYLAND_DISPLAY); the terminal tool vantrel works without one.</source>
        <translation>nie znaleziono ekranu. Uruchom go w sesji pulpitu (sesja X11 lub Wayland ustawia DISPLAY lub WAYLAND_DISPLAY); narzędzie terminalowe vantrel działa bez niego.</translation>
    </message>
    <message id="globalShortcutDescription">
        <source>Open the quick switcher</source>
        <translation>Otwórz szybki przełącznik</translation>
    </message>
    <message id="verifyIntact">
        <source>Intact</source>
        <translation>Nienaruszona</translation>
    </message>
    <message id="verifyLegacyReceipt">
        <source>Installed before verification existed</source>
        <translation>Zainstalowana, zanim istniała weryfikacja</translation>
    </message>
    <message id="verifyUnreadableReceipt">
        <source>The install receipt cannot be read</source>
        <translation>Nie można odczytać potwierdzenia instalacji</translation>
    </message>
    <message id="verifyCancelled">
        <source>Verification cancelled</source>
        <translation>Weryfikacja przerwana</translation>
    </message>
    <message id="verifyChangedCount" numerus="yes">
        <source>%n files changed</source>
        <translation>
            <numerusform>%Ln plik zmieniony</numerusform>
            <numerusform>%Ln pliki zmienione</numerusform>
            <numerusform>%Ln plików zmienionych</numerusform>
        </translation>
    </message>
    <message id="verifyMissingCount" numerus="yes">
        <source>%n missing</source>
        <translation>
            <numerusform>%Ln brakujący</numerusform>
            <numerusform>%Ln brakujące</numerusform>
            <numerusform>%Ln brakujących</numerusform>
        </translation>
    </message>
    <message id="verifyPermissionsCount" numerus="yes">
        <source>%n with changed permissions</source>
        <translation>
            <numerusform>%Ln ze zmienionymi uprawnieniami</numerusform>
            <numerusform>%Ln ze zmienionymi uprawnieniami</numerusform>
            <numerusform>%Ln ze zmienionymi uprawnieniami</numerusform>
        </translation>
    </message>
    <message id="verifyLinkChangedCount" numerus="yes">
        <source>%n links changed</source>
        <translation>
            <numerusform>%Ln dowiązanie zmienione</numerusform>
            <numerusform>%Ln dowiązania zmienione</numerusform>
            <numerusform>%Ln dowiązań zmienionych</numerusform>
        </translation>
    </message>
    <message id="verifyLinkLeadsOutCount" numerus="yes">
        <source>%n links lead outside the app</source>
        <translation>
            <numerusform>%Ln dowiązanie prowadzi poza aplikację</numerusform>
            <numerusform>%Ln dowiązania prowadzą poza aplikację</numerusform>
            <numerusform>%Ln dowiązań prowadzi poza aplikację</numerusform>
        </translation>
    </message>
    <message id="verifyExtraCount" numerus="yes">
        <source>%n extra items</source>
        <translation>
            <numerusform>%Ln dodatkowy element</numerusform>
            <numerusform>%Ln dodatkowe elementy</numerusform>
            <numerusform>%Ln dodatkowych elementów</numerusform>
        </translation>
    </message>
    <message id="verifyDesktopMissingCount" numerus="yes">
        <source>%n desktop files missing</source>
        <translation>
            <numerusform>%Ln brakujący plik pulpitu</numerusform>
            <numerusform>%Ln brakujące pliki pulpitu</numerusform>
            <numerusform>%Ln brakujących plików pulpitu</numerusform>
        </translation>
    </message>
    <message id="verifyDesktopChangedCount" numerus="yes">
        <source>%n desktop files changed</source>
        <translation>
            <numerusform>%Ln zmieniony plik pulpitu</numerusform>
            <numerusform>%Ln zmienione pliki pulpitu</numerusform>
            <numerusform>%Ln zmienionych plików pulpitu</numerusform>
        </translation>
    </message>
    <message id="verifyFindingDesktopMissing">
        <source>missing from the desktop</source>
        <translation>brak na pulpicie</translation>
    </message>
    <message id="verifyFindingDesktopChanged">
        <source>changed on the desktop</source>
        <translation>zmieniony na pulpicie</translation>
    </message>
    <message id="verifyFindingMissing">
        <source>missing</source>
        <translation>brak</translation>
    </message>
    <message id="verifyFindingChanged">
        <source>changed</source>
        <translation>zmieniony</translation>
    </message>
    <message id="verifyFindingPermissions">
        <source>permissions changed</source>
        <translation>zmienione uprawnienia</translation>
    </message>
    <message id="verifyFindingLinkChanged">
        <source>link changed</source>
        <translation>zmienione dowiązanie</translation>
    </message>
    <message id="verifyFindingLinkLeadsOut">
        <source>link leads outside the app</source>
        <translation>dowiązanie prowadzi poza aplikację</translation>
    </message>
    <message id="verifyFindingExtra">
        <source>not installed by the launcher</source>
        <translation>nie zainstalowany przez launcher</translation>
    </message>
    <message id="cliVerifySummary">
        <source>Checks installed apps file by file against what their install placed; changes nothing.</source>
        <translation>Sprawdza zainstalowane aplikacje plik po pliku z tym, co umieściła ich instalacja; niczego nie zmienia.</translation>
    </message>
    <message id="cliVerifyIdsArgument">
        <source>The ids of the apps to check; every installed app when none is given.</source>
        <translation>Identyfikatory aplikacji do sprawdzenia; bez nich każda zainstalowana aplikacja.</translation>
    </message>
    <message id="cliVerifying">
        <source>Verifying %1: %2%</source>
        <translation>Weryfikacja %1: %2%</translation>
    </message>
    <message id="cliNotInstalled">
        <source>app "%1" is not installed</source>
        <translation>aplikacja „%1” nie jest zainstalowana</translation>
    </message>
    <message id="cliNoAppsInstalled">
        <source>No apps are installed.</source>
        <translation>Nie zainstalowano żadnej aplikacji.</translation>
    </message>
    <message id="errorNotEnoughSpace">
        <source>Not enough disk space: %1. Free some space and try again.</source>
        <translation>Za mało miejsca na dysku: %1. Zwolnij trochę miejsca i spróbuj ponownie.</translation>
    </message>
    <message id="runningDidNotQuit">
        <source>%1 did not quit, so it was left as it is.</source>
        <translation>%1 nie zakończyła działania, więc pozostała bez zmian.</translation>
    </message>
    <message id="meteredSizeUnknown">
        <source>an unknown amount</source>
        <translation>nieznaną ilość danych</translation>
    </message>
    <message id="meteredUpdatesQuestion" numerus="yes">
        <source>Updating %n apps downloads %1 over a metered connection.</source>
        <translation>
            <numerusform>Aktualizacja %Ln aplikacji pobierze %1 przez połączenie taryfowe.</numerusform>
            <numerusform>Aktualizacja %Ln aplikacji pobierze %1 przez połączenie taryfowe.</numerusform>
            <numerusform>Aktualizacja %Ln aplikacji pobierze %1 przez połączenie taryfowe.</numerusform>
        </translation>
    </message>
    <message id="meteredInstallsQuestion" numerus="yes">
        <source>Installing %n apps downloads %1 over a metered connection.</source>
        <translation>
            <numerusform>Instalacja %Ln aplikacji pobierze %1 przez połączenie taryfowe.</numerusform>
            <numerusform>Instalacja %Ln aplikacji pobierze %1 przez połączenie taryfowe.</numerusform>
            <numerusform>Instalacja %Ln aplikacji pobierze %1 przez połączenie taryfowe.</numerusform>
        </translation>
    </message>
    <message id="meteredTitle">
        <source>Metered connection</source>
        <translation>Połączenie taryfowe</translation>
    </message>
    <message id="meteredDownloadAnyway">
        <source>Download anyway</source>
        <translation>Pobierz mimo to</translation>
    </message>
    <message id="meteredNotNow">
        <source>Not now</source>
        <translation>Nie teraz</translation>
    </message>
    <message id="runningQuestionTitle">
        <source>%1 is running</source>
        <translation>%1 jest uruchomiona</translation>
    </message>
    <message id="runningQuestionDetail">
        <source>Changing %1 while it runs would put new files under the running app (process %2).</source>
        <translation>Zmiana %1 w trakcie działania podmieniłaby pliki pod działającą aplikacją (proces %2).</translation>
    </message>
    <message id="runningQuitAndUpdate">
        <source>Quit and update</source>
        <translation>Zakończ i aktualizuj</translation>
    </message>
    <message id="runningUpdateWhenQuits">
        <source>Update when it quits</source>
        <translation>Aktualizuj po zamknięciu</translation>
    </message>
    <message id="runningQuitAndContinue">
        <source>Quit and continue</source>
        <translation>Zakończ i kontynuuj</translation>
    </message>
    <message id="runningContinueWhenQuits">
        <source>Continue when it quits</source>
        <translation>Kontynuuj po zamknięciu</translation>
    </message>
    <message id="runningWaiting">
        <source>Waiting for %1 to quit</source>
        <translation>Czekam na zamknięcie %1</translation>
    </message>
    <message id="runningStopWaiting">
        <source>Don't wait</source>
        <translation>Nie czekaj</translation>
    </message>
    <message id="restartToUse">
        <source>Restart %1 to use %2</source>
        <translation>Uruchom ponownie %1, aby używać wersji %2</translation>
    </message>
    <message id="cliUpdateWhenClosedOption">
        <source>Wait for running apps to quit, then update them</source>
        <translation>Poczekaj, aż uruchomione aplikacje zostaną zamknięte, i wtedy je zaktualizuj</translation>
    </message>
    <message id="cliUpdateRestartOption">
        <source>Ask running apps to quit, update them and open them again</source>
        <translation>Poproś uruchomione aplikacje o zamknięcie, zaktualizuj je i otwórz ponownie</translation>
    </message>
    <message id="cliNoMeteredOption">
        <source>Download nothing over a metered connection</source>
        <translation>Nie pobieraj niczego przez połączenie taryfowe</translation>
    </message>
    <message id="cliRestartOrWait">
        <source>Give --when-closed or --restart, not both.</source>
        <translation>Podaj --when-closed albo --restart, nie oba.</translation>
    </message>
    <message id="cliAppRunning">
        <source>%1 is running (process %2). Quit it, or use --when-closed or --restart.</source>
        <translation>%1 jest uruchomiona (proces %2). Zamknij ją albo użyj --when-closed lub --restart.</translation>
    </message>
    <message id="cliChangeRunning">
        <source>%1 is running (process %2). Quit it first.</source>
        <translation>%1 jest uruchomiona (proces %2). Najpierw ją zamknij.</translation>
    </message>
    <message id="cliWaitingToQuit">
        <source>Waiting for %1 to quit…</source>
        <translation>Czekam na zamknięcie %1…</translation>
    </message>
    <message id="cliMeteredWarning">
        <source>Warning: the connection is metered; this downloads %1.</source>
        <translation>Uwaga: połączenie jest taryfowe; zostanie pobrane %1.</translation>
    </message>
    <message id="cliMeteredRefused">
        <source>The connection is metered and --no-metered was given; nothing was downloaded.</source>
        <translation>Połączenie jest taryfowe, a podano --no-metered; nic nie zostało pobrane.</translation>
    </message>
    <message id="spaceOnVolume">
        <source>%1 needs %2 and has %3 free</source>
        <translation>%1 wymaga %2, a wolne jest %3</translation>
    </message>
    <message id="refusalHeld">
        <source>It is held at the version installed; release it first.</source>
        <translation>Jest wstrzymana na zainstalowanej wersji; najpierw zwolnij wstrzymanie.</translation>
    </message>
    <message id="cliSkipSummary">
        <source>Stops offering the version the catalog offers now; a newer one will be offered.</source>
        <translation>Przestaje proponować wersję, którą katalog oferuje teraz; nowsza zostanie zaproponowana.</translation>
    </message>
    <message id="cliHoldSummary">
        <source>Keeps the app at its installed version, out of update --all and the update count, until released.</source>
        <translation>Zatrzymuje aplikację na zainstalowanej wersji, poza update --all i licznikiem aktualizacji, dopóki nie zostanie zwolniona.</translation>
    </message>
    <message id="cliReleaseSummary">
        <source>Ends a hold and offers a skipped version again.</source>
        <translation>Kończy wstrzymanie i znów proponuje pominiętą wersję.</translation>
    </message>
    <message id="cliSkipped">
        <source>%1 %2 skipped; a newer version will be offered.</source>
        <translation>Pominięto %1 %2; nowsza wersja zostanie zaproponowana.</translation>
    </message>
    <message id="cliHeld">
        <source>%1 is held at %2.</source>
        <translation>Aplikacja %1 jest wstrzymana na wersji %2.</translation>
    </message>
    <message id="cliReleased">
        <source>%1 is released: its updates are offered again.</source>
        <translation>Aplikacja %1 jest zwolniona: jej aktualizacje znów będą proponowane.</translation>
    </message>
    <message id="cliNothingToRelease">
        <source>%1 was neither held nor skipped; nothing changed.</source>
        <translation>Aplikacja %1 nie była wstrzymana ani pominięta; nic nie zmieniono.</translation>
    </message>
    <message id="cliUpdateHeld">
        <source>%1 is held at %2 and is not updated; release it first (vantrel release %3). Nothing was changed.</source>
        <translation>Aplikacja %1 jest wstrzymana na wersji %2 i nie zostanie zaktualizowana; najpierw ją zwolnij (vantrel release %3). Nic nie zmieniono.</translation>
    </message>
    <message id="cliCannotDecide">
        <source>The updates of %1 cannot be changed now.</source>
        <translation>Nie można teraz zmienić aktualizacji aplikacji %1.</translation>
    </message>
    <message id="cliListHeld">
        <source>held</source>
        <translation>wstrzymana</translation>
    </message>
    <message id="skippedVersionLabel">
        <source>%1 skipped</source>
        <translation>pominięto %1</translation>
    </message>
    <message id="skipVersionAction">
        <source>Skip this version</source>
        <translation>Pomiń tę wersję</translation>
    </message>
    <message id="holdAtAction">
        <source>Hold at %1</source>
        <translation>Wstrzymaj na %1</translation>
    </message>
    <message id="releaseHoldAction">
        <source>Release hold</source>
        <translation>Zwolnij wstrzymanie</translation>
    </message>
    <message id="offerAgainAction">
        <source>Offer %1 again</source>
        <translation>Proponuj %1 ponownie</translation>
    </message>
    <message id="heldDetail">
        <source>Held at %1: kept out of Update all until you release it.</source>
        <translation>Wstrzymana na %1: pomijana przy „Aktualizuj wszystkie”, dopóki jej nie zwolnisz.</translation>
    </message>
    <message id="skippedDetail">
        <source>Version %1 skipped; a newer one will be offered.</source>
        <translation>Pominięto wersję %1; nowsza zostanie zaproponowana.</translation>
    </message>
    <message id="heldAtLabel">
        <source>Held at %1</source>
        <translation>Wstrzymana na %1</translation>
    </message>
    <message id="updatesHeldTitle">
        <source>Held</source>
        <translation>Wstrzymane</translation>
    </message>
    <message id="updatesSkippedTitle">
        <source>Skipped versions</source>
        <translation>Pominięte wersje</translation>
    </message>
    <message id="cliProblemFileListHalf">
        <source>file list and its checksum must come together</source>
        <translation>lista plików i jej suma kontrolna muszą występować razem</translation>
    </message>
    <message id="cliProblemFileListUrl">
        <source>file list URL not usable</source>
        <translation>adres listy plików jest nieużyteczny</translation>
    </message>
    <message id="cliProblemFileListChecksum">
        <source>file list checksum not 64 hexadecimal digits</source>
        <translation>suma kontrolna listy plików nie ma 64 cyfr szesnastkowych</translation>
    </message>
    <message id="cliUpdateFullOption">
        <source>Download each whole release archive, even where only some files changed.</source>
        <translation>Pobierz całe archiwum wydania, nawet gdy zmieniły się tylko niektóre pliki.</translation>
    </message>
    <message id="cliTransferred">
        <source>Downloaded %1; %2 taken from the installed copy.</source>
        <translation>Pobrano %1; %2 wzięto z zainstalowanej kopii.</translation>
    </message>
    <message id="updateActionSized">
        <source>Update · %1</source>
        <translation>Aktualizuj · %1</translation>
    </message>
    <message id="cliUpdateSize">
        <source>%1: %2 to download.</source>
        <translation>%1: do pobrania %2.</translation>
    </message>
    <message id="errorCatalogNoFreshness">
        <source>The catalog offered has no valid sequence or expiry date, so the last one is kept.</source>
        <translation>Oferowany katalog nie ma prawidłowego numeru kolejnego ani daty ważności, więc zostaje poprzedni.</translation>
    </message>
    <message id="errorCatalogOlder">
        <source>The catalog offered is older than one already seen, so the newer one is kept.</source>
        <translation>Oferowany katalog jest starszy niż już widziany, więc zostaje nowszy.</translation>
    </message>
    <message id="errorCatalogConflicting">
        <source>The catalog offered has the sequence of one already seen but other contents, so the one seen is kept.</source>
        <translation>Oferowany katalog ma numer kolejny już widzianego, ale inną treść, więc zostaje ten widziany.</translation>
    </message>
    <message id="errorCatalogExpired">
        <source>The catalog expired on %1. Check the connection, or this computer's date and time.</source>
        <translation>Katalog wygasł %1. Sprawdź połączenie albo datę i godzinę tego komputera.</translation>
    </message>
    <message id="catalogExpiryDateFormat">
        <source>d MMMM</source>
        <translation>d MMMM</translation>
    </message>
    <message id="refusalCatalogExpired">
        <source>The catalog has expired; a fresh one is needed first.</source>
        <translation>Katalog wygasł; najpierw potrzebny jest aktualny.</translation>
    </message>
    <message id="cliCheckSequence">
        <source>sequence: %1</source>
        <translation>numer kolejny: %1</translation>
    </message>
    <message id="cliCheckExpiresAt">
        <source>expires: %1</source>
        <translation>wygasa: %1</translation>
    </message>
    <message id="cliCheckExpiresSoon">
        <source>warning: the catalog expires in less than 3 days; sign it again.</source>
        <translation>ostrzeżenie: katalog wygasa za mniej niż 3 dni; podpisz go ponownie.</translation>
    </message>
    <message id="cliCheckExpired">
        <source>warning: the catalog has expired; sign it again.</source>
        <translation>ostrzeżenie: katalog wygasł; podpisz go ponownie.</translation>
    </message>
    <message id="linkUnknownApp">
        <source>No app called "%1" is in the catalog.</source>
        <translation>W katalogu nie ma aplikacji o nazwie „%1”.</translation>
    </message>
    <message id="launcherLinkArgument">
        <source>A link to show: vantrel://app/ID (an app's page) or vantrel://search/TERMS (the library filtered).</source>
        <translation>Link do pokazania: vantrel://app/ID (strona aplikacji) lub vantrel://search/SŁOWA (biblioteka przefiltrowana).</translation>
    </message>
    <message id="cliCheckColumnRollout">
        <source>ROLLOUT</source>
        <translation>UDOSTĘPNIANIE</translation>
    </message>
    <message id="cliPercent">
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
    <message id="cliListStaged">
        <source>%1 released gradually (%2%)</source>
        <translation>%1 udostępniana stopniowo (%2%)</translation>
    </message>
    <message id="cliUpdateStaged">
        <source>%1 %2 is not yet offered to this computer (released to %3% so far); updating now as asked.</source>
        <translation>%1 %2 nie jest jeszcze oferowana temu komputerowi (dotąd udostępniona %3%); aktualizacja teraz, zgodnie z poleceniem.</translation>
    </message>
    <message id="cliUpdateIncludeStagedOption">
        <source>With --all, also update apps whose new version is released gradually and not yet offered to this computer</source>
        <translation>Z --all aktualizuj także aplikacje, których nowa wersja jest udostępniana stopniowo i nie jest jeszcze oferowana temu komputerowi</translation>
    </message>
    <message id="stagedRolloutLine">
        <source>Version %1 is being released gradually.</source>
        <translation>Wersja %1 jest udostępniana stopniowo.</translation>
    </message>
    <message id="stagedUpdateNow">
        <source>Update now</source>
        <translation>Aktualizuj teraz</translation>
    </message>
</context>
</TS>
