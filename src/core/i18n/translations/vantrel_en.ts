<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
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
        <translation>Check for apps</translation>
    </message>
    <message id="openVantrel">
        <source>Open Vantrel...</source>
        <translation>Open Vantrel...</translation>
    </message>
    <message id="appCount" numerus="yes">
        <source>%n apps ready</source>
        <translation>
            <numerusform>%Ln app ready</numerusform>
            <numerusform>%Ln apps ready</numerusform>
        </translation>
    </message>
    <message id="betaBadge">
        <source>Beta</source>
        <translation>Beta</translation>
    </message>
    <message id="statusReady">
        <source>Ready</source>
        <translation>Ready</translation>
    </message>
    <message id="statusComingSoon">
        <source>Coming soon</source>
        <translation>Coming soon</translation>
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
        <translation>Retired</translation>
    </message>
    <message id="installNotInstalled">
        <source>Not installed</source>
        <translation>Not installed</translation>
    </message>
    <message id="installInstalling">
        <source>Installing %1%</source>
        <translation>Installing %1%</translation>
    </message>
    <message id="installInstalled">
        <source>Installed %1</source>
        <translation>Installed %1</translation>
    </message>
    <message id="installUpdateAvailable">
        <source>%1 -&gt; %2</source>
        <translation>%1 -&gt; %2</translation>
    </message>
    <message id="installFailed">
        <source>Failed</source>
        <translation>Failed</translation>
    </message>
    <message id="installAction">
        <source>Install</source>
        <translation>Install</translation>
    </message>
    <message id="installingAction">
        <source>Installing</source>
        <translation>Installing</translation>
    </message>
    <message id="openAction">
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message id="retryAction">
        <source>Retry</source>
        <translation>Retry</translation>
    </message>
    <message id="verifyAction">
        <source>Verify</source>
        <translation>Verify</translation>
    </message>
    <message id="verifyingAction">
        <source>Verifying %1%</source>
        <translation>Verifying %1%</translation>
    </message>
    <message id="repairAction">
        <source>Repair</source>
        <translation>Repair</translation>
    </message>
    <message id="repairedStatus">
        <source>Repaired</source>
        <translation>Repaired</translation>
    </message>
    <message id="verifyAllAction">
        <source>Verify all</source>
        <translation>Verify all</translation>
    </message>
    <message id="verifyDamaged">
        <source>Damaged</source>
        <translation>Damaged</translation>
    </message>
    <message id="verifyAllSummary" numerus="yes">
        <source>%n apps verified, all intact.</source>
        <translation>
            <numerusform>%n app verified, intact.</numerusform>
            <numerusform>%n apps verified, all intact.</numerusform>
        </translation>
    </message>
    <message id="verifyAllSummaryNeedRepair" numerus="yes">
        <source>%n apps verified; to repair: %1.</source>
        <translation>
            <numerusform>%n app verified; to repair: %1.</numerusform>
            <numerusform>%n apps verified; to repair: %1.</numerusform>
        </translation>
    </message>
    <message id="updateAction">
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message id="notInstalledDetail">
        <source>Ready to install.</source>
        <translation>Ready to install.</translation>
    </message>
    <message id="installingDetail">
        <source>Installing now.</source>
        <translation>Installing now.</translation>
    </message>
    <message id="installedDetail">
        <source>Ready to open from this Mac.</source>
        <translation>Ready to open from this Mac.</translation>
    </message>
    <message id="installedDetail.linux">
        <source>Ready to open from this computer.</source>
        <translation>Ready to open from this computer.</translation>
    </message>
    <message id="updateDetail">
        <source>A newer version is ready.</source>
        <translation>A newer version is ready.</translation>
    </message>
    <message id="sidebarHome">
        <source>Home</source>
        <translation>Home</translation>
    </message>
    <message id="sidebarAllApps">
        <source>All apps</source>
        <translation>All apps</translation>
    </message>
    <message id="sidebarSelected">
        <source>Selected</source>
        <translation>Selected</translation>
    </message>
    <message id="sidebarUpdates">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="sidebarPreferences">
        <source>Preferences</source>
        <translation>Preferences</translation>
    </message>
    <message id="sidebarCategories">
        <source>Categories</source>
        <translation>Categories</translation>
    </message>
    <message id="sidebarQuickSwitcher">
        <source>Quick switcher</source>
        <translation>Quick switcher</translation>
    </message>
    <message id="topLibrary">
        <source>Library</source>
        <translation>Library</translation>
    </message>
    <message id="topCatalog">
        <source>Vantrel apps</source>
        <translation>Vantrel apps</translation>
    </message>
    <message id="topSearchApps">
        <source>Search apps</source>
        <translation>Search apps</translation>
    </message>
    <message id="topQuickSwitch">
        <source>Quick switch</source>
        <translation>Quick switch</translation>
    </message>
    <message id="onboardingWelcome">
        <source>Welcome to Vantrel.</source>
        <translation>Welcome to Vantrel.</translation>
    </message>
    <message id="onboardingStepChoose">
        <source>Choose apps</source>
        <translation>Choose apps</translation>
    </message>
    <message id="onboardingStepInstall">
        <source>Install selected apps</source>
        <translation>Install selected apps</translation>
    </message>
    <message id="onboardingStepOpen">
        <source>Open the launcher</source>
        <translation>Open the launcher</translation>
    </message>
    <message id="onboardingStatus" numerus="yes">
        <source>%n apps ready to install</source>
        <translation>
            <numerusform>%Ln app ready to install</numerusform>
            <numerusform>%Ln apps ready to install</numerusform>
        </translation>
    </message>
    <message id="onboardingStepBadge">
        <source>Step 2 of 4</source>
        <translation>Step 2 of 4</translation>
    </message>
    <message id="onboardingTitle">
        <source>Choose what to install first</source>
        <translation>Choose what to install first</translation>
    </message>
    <message id="onboardingLead">
        <source>Pick the apps you want on this Mac. You can install the rest later.</source>
        <translation>Pick the apps you want on this Mac. You can install the rest later.</translation>
    </message>
    <message id="onboardingLead.linux">
        <source>Pick the apps you want on this computer. You can install the rest later.</source>
        <translation>Pick the apps you want on this computer. You can install the rest later.</translation>
    </message>
    <message id="onboardingSelectedCount" numerus="yes">
        <source>%n apps selected</source>
        <translation>
            <numerusform>%Ln app selected</numerusform>
            <numerusform>%Ln apps selected</numerusform>
        </translation>
    </message>
    <message id="onboardingBack">
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message id="onboardingContinue">
        <source>Continue</source>
        <translation>Continue</translation>
    </message>
    <message id="homeGreeting">
        <source>Welcome back%1.</source>
        <translation>Welcome back%1.</translation>
    </message>
    <message id="homeSubtitleEmpty">
        <source>Vantrel is ready. Apps will appear here as they ship.</source>
        <translation>Vantrel is ready. Apps will appear here as they ship.</translation>
    </message>
    <message id="homeSubtitleApps" numerus="yes">
        <source>%n apps are ready to install.</source>
        <translation>
            <numerusform>%Ln app is ready to install.</numerusform>
            <numerusform>%Ln apps are ready to install.</numerusform>
        </translation>
    </message>
    <message id="emptyTitle">
        <source>No apps are available yet</source>
        <translation>No apps are available yet</translation>
    </message>
    <message id="emptyBody">
        <source>You have the launcher. When the first app is ready, it will show up here automatically.</source>
        <translation>You have the launcher. When the first app is ready, it will show up here automatically.</translation>
    </message>
    <message id="emptyPrimaryAction">
        <source>Check for apps</source>
        <translation>Check for apps</translation>
    </message>
    <message id="emptyTrustTitle">
        <source>What happens next</source>
        <translation>What happens next</translation>
    </message>
    <message id="emptyTrustBody">
        <source>New apps appear here only after they have a real download and a short privacy note.</source>
        <translation>New apps appear here only after they have a real download and a short privacy note.</translation>
    </message>
    <message id="comingSoonTitle">
        <source>Apps are coming soon</source>
        <translation>Apps are coming soon</translation>
    </message>
    <message id="comingSoonBody">
        <source>These apps are in progress. You will see an install button when a download is ready.</source>
        <translation>These apps are in progress. You will see an install button when a download is ready.</translation>
    </message>
    <message id="comingSoonTileStatus">
        <source>Preview only</source>
        <translation>Preview only</translation>
    </message>
    <message id="firstAppTitle">
        <source>Ready to install</source>
        <translation>Ready to install</translation>
    </message>
    <message id="firstAppBody">
        <source>Open the app page to see what it does, what changed, and what stays on your Mac.</source>
        <translation>Open the app page to see what it does, what changed, and what stays on your Mac.</translation>
    </message>
    <message id="firstAppBody.linux">
        <source>Open the app page to see what it does, what changed, and what stays on your computer.</source>
        <translation>Open the app page to see what it does, what changed, and what stays on your computer.</translation>
    </message>
    <message id="publishedAppsTitle">
        <source>Ready now</source>
        <translation>Ready now</translation>
    </message>
    <message id="appListSubtitle" numerus="yes">
        <source>%n apps</source>
        <translation>
            <numerusform>%Ln app</numerusform>
            <numerusform>%Ln apps</numerusform>
        </translation>
    </message>
    <message id="allAppsTitle">
        <source>All apps</source>
        <translation>All apps</translation>
    </message>
    <message id="selectedAppsTitle">
        <source>Selected apps</source>
        <translation>Selected apps</translation>
    </message>
    <message id="updatesTitle">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="noAppsTitle">
        <source>No apps match this view</source>
        <translation>No apps match this view</translation>
    </message>
    <message id="noAppsBody">
        <source>Try another section or clear the search.</source>
        <translation>Try another section or clear the search.</translation>
    </message>
    <message id="noUpdatesTitle">
        <source>No updates right now</source>
        <translation>No updates right now</translation>
    </message>
    <message id="noUpdatesBody">
        <source>New app versions will appear here after publishing.</source>
        <translation>New app versions will appear here after publishing.</translation>
    </message>
    <message id="noSelectedTitle">
        <source>No selected apps yet</source>
        <translation>No selected apps yet</translation>
    </message>
    <message id="noSelectedBody">
        <source>Choose ready apps during setup or from the library.</source>
        <translation>Choose ready apps during setup or from the library.</translation>
    </message>
    <message id="basicsTitle">
        <source>Good to know</source>
        <translation>Good to know</translation>
    </message>
    <message id="basicsOne">
        <source>Apps marked Ready can be installed from this launcher.</source>
        <translation>Apps marked Ready can be installed from this launcher.</translation>
    </message>
    <message id="basicsTwo">
        <source>Apps marked Coming soon are visible early, but not downloadable yet.</source>
        <translation>Apps marked Coming soon are visible early, but not downloadable yet.</translation>
    </message>
    <message id="basicsThree">
        <source>When a new app ships, Vantrel will let you know here.</source>
        <translation>When a new app ships, Vantrel will let you know here.</translation>
    </message>
    <message id="selectedAppEmptyTitle">
        <source>No app selected</source>
        <translation>No app selected</translation>
    </message>
    <message id="selectedAppEmptyBody">
        <source>Choose an app to see what it does and whether it is ready to install.</source>
        <translation>Choose an app to see what it does and whether it is ready to install.</translation>
    </message>
    <message id="detailsTitle">
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message id="bundleID">
        <source>App ID</source>
        <translation>App ID</translation>
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
        <translation>Minimum system version</translation>
    </message>
    <message id="checksum">
        <source>Download check</source>
        <translation>Download check</translation>
    </message>
    <message id="checksumVerified">
        <source>Checked before install</source>
        <translation>Checked before install</translation>
    </message>
    <message id="updateFeed">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="pendingRelease">
        <source>Not ready yet</source>
        <translation>Not ready yet</translation>
    </message>
    <message id="notConfigured">
        <source>Not configured</source>
        <translation>Not configured</translation>
    </message>
    <message id="recentUpdates">
        <source>Recent updates</source>
        <translation>Recent updates</translation>
    </message>
    <message id="privacyTitle">
        <source>Privacy</source>
        <translation>Privacy</translation>
    </message>
    <message id="quickSearchPlaceholder">
        <source>Search Vantrel apps</source>
        <translation>Search Vantrel apps</translation>
    </message>
    <message id="quickResults" numerus="yes">
        <source>Apps · %n results</source>
        <translation>
            <numerusform>Apps · %Ln result</numerusform>
            <numerusform>Apps · %Ln results</numerusform>
        </translation>
    </message>
    <message id="quickNoResults">
        <source>No results</source>
        <translation>No results</translation>
    </message>
    <message id="quickOpenHint">
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message id="quickInstallHint">
        <source>Install</source>
        <translation>Install</translation>
    </message>
    <message id="quickFooterLeft">
        <source>↑↓ navigate</source>
        <translation>↑↓ navigate</translation>
    </message>
    <message id="quickFooterRight">
        <source>↵ open · esc close</source>
        <translation>↵ open · esc close</translation>
    </message>
    <message id="menuQuickLaunch">
        <source>Quick launch</source>
        <translation>Quick launch</translation>
    </message>
    <message id="menuUpdates">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="menuUpdatesDetail">
        <source>New versions will appear here</source>
        <translation>New versions will appear here</translation>
    </message>
    <message id="sendFeedback">
        <source>Send feedback</source>
        <translation>Send feedback</translation>
    </message>
    <message id="feedbackTitle">
        <source>Send feedback</source>
        <translation>Send feedback</translation>
    </message>
    <message id="feedbackLead">
        <source>Report a bug, suggest an idea, or tell us what should feel better.</source>
        <translation>Report a bug, suggest an idea, or tell us what should feel better.</translation>
    </message>
    <message id="feedbackType">
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message id="feedbackTypeBug">
        <source>Bug</source>
        <translation>Bug</translation>
    </message>
    <message id="feedbackTypeIdea">
        <source>Idea</source>
        <translation>Idea</translation>
    </message>
    <message id="feedbackTypeImprovement">
        <source>Improvement</source>
        <translation>Improvement</translation>
    </message>
    <message id="feedbackTypeOther">
        <source>Other</source>
        <translation>Other</translation>
    </message>
    <message id="feedbackRelatedApp">
        <source>Related app</source>
        <translation>Related app</translation>
    </message>
    <message id="feedbackNoRelatedApp">
        <source>No app</source>
        <translation>No app</translation>
    </message>
    <message id="feedbackSummary">
        <source>Summary</source>
        <translation>Summary</translation>
    </message>
    <message id="feedbackSummaryPlaceholder">
        <source>Short title</source>
        <translation>Short title</translation>
    </message>
    <message id="feedbackDescription">
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message id="feedbackDescriptionPlaceholder">
        <source>What happened, what did you expect, or what would you like to see?</source>
        <translation>What happened, what did you expect, or what would you like to see?</translation>
    </message>
    <message id="feedbackDiagnosticsTitle">
        <source>Diagnostics</source>
        <translation>Diagnostics</translation>
    </message>
    <message id="feedbackDiagnosticsBody">
        <source>Vantrel includes basic context, like macOS version, language, and the selected app.</source>
        <translation>Vantrel includes basic context, like macOS version, language, and the selected app.</translation>
    </message>
    <message id="feedbackDiagnosticsBody.linux">
        <source>Vantrel includes basic context, like the system version, language, and the selected app.</source>
        <translation>Vantrel includes basic context, like the system version, language, and the selected app.</translation>
    </message>
    <message id="feedbackDiscardTitle">
        <source>Discard this feedback?</source>
        <translation>Discard this feedback?</translation>
    </message>
    <message id="feedbackDiscardBody">
        <source>What you typed has not been sent and will be lost.</source>
        <translation>What you typed has not been sent and will be lost.</translation>
    </message>
    <message id="feedbackKeepEditing">
        <source>Keep editing</source>
        <translation>Keep editing</translation>
    </message>
    <message id="feedbackDiscard">
        <source>Discard</source>
        <translation>Discard</translation>
    </message>
    <message id="feedbackCancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="feedbackSubmit">
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message id="feedbackSubmitting">
        <source>Sending</source>
        <translation>Sending</translation>
    </message>
    <message id="feedbackSuccessTitle">
        <source>Feedback sent</source>
        <translation>Feedback sent</translation>
    </message>
    <message id="feedbackSuccessBody">
        <source>Thanks. We will read it and follow up if needed.</source>
        <translation>Thanks. We will read it and follow up if needed.</translation>
    </message>
    <message id="feedbackIssue">
        <source>Issue %1</source>
        <translation>Issue %1</translation>
    </message>
    <message id="feedbackClose">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="feedbackSubmitFailed">
        <source>Feedback could not be sent right now.</source>
        <translation>Feedback could not be sent right now.</translation>
    </message>
    <message id="preferencesGeneral">
        <source>General</source>
        <translation>General</translation>
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
        <translation>Advanced</translation>
    </message>
    <message id="preferencesLaunchAtLogin">
        <source>Launch Vantrel at login</source>
        <translation>Launch Vantrel at login</translation>
    </message>
    <message id="preferencesShowInMenuBar">
        <source>Show in menu bar</source>
        <translation>Show in menu bar</translation>
    </message>
    <message id="preferencesShowInMenuBar.linux">
        <source>Show in the system tray</source>
        <translation>Show in the system tray</translation>
    </message>
    <message id="preferencesIncludeBetaApps">
        <source>Include beta apps</source>
        <translation>Include beta apps</translation>
    </message>
    <message id="preferencesLanguage">
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message id="preferencesGlobalShortcut">
        <source>Global shortcut</source>
        <translation>Global shortcut</translation>
    </message>
    <message id="preferencesReleaseReadiness">
        <source>App readiness</source>
        <translation>App readiness</translation>
    </message>
    <message id="preferencesSigning">
        <source>Only apps with a real Mac download can be installed.</source>
        <translation>Only apps with a real Mac download can be installed.</translation>
    </message>
    <message id="preferencesSigning.linux">
        <source>Only apps with a real download for this system can be installed.</source>
        <translation>Only apps with a real download for this system can be installed.</translation>
    </message>
    <message id="preferencesUpdateFeeds">
        <source>Updates appear here when a new version ships.</source>
        <translation>Updates appear here when a new version ships.</translation>
    </message>
    <message id="preferencesChecksums">
        <source>Vantrel checks downloads before installing them.</source>
        <translation>Vantrel checks downloads before installing them.</translation>
    </message>
    <message id="preferencesResetOnboarding">
        <source>Reset onboarding</source>
        <translation>Reset onboarding</translation>
    </message>
    <message id="trayMenuOpen">
        <source>Open Vantrel…</source>
        <translation>Open Vantrel…</translation>
    </message>
    <message id="aboutVantrel">
        <source>About Vantrel</source>
        <translation>About Vantrel</translation>
    </message>
    <message id="aboutVersion">
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message id="aboutCopyright">
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message id="aboutLicence">
        <source>Licence</source>
        <translation>Licence</translation>
    </message>
    <message id="aboutCatalog">
        <source>Catalog</source>
        <translation>Catalog</translation>
    </message>
    <message id="clearSearch">
        <source>Clear search</source>
        <translation>Clear search</translation>
    </message>
    <message id="announcementTitle">
        <source>New in Vantrel</source>
        <translation>New in Vantrel</translation>
    </message>
    <message id="announcementOpenApp">
        <source>View app</source>
        <translation>View app</translation>
    </message>
    <message id="announcementDismiss">
        <source>Not now</source>
        <translation>Not now</translation>
    </message>
    <message id="errorManifestFallback">
        <source>Could not refresh apps. Showing the last known state.</source>
        <translation>Could not refresh apps. Showing the last known state.</translation>
    </message>
    <message id="errorCatalogSignature">
        <source>The catalog's signature could not be verified. Showing the last known state.</source>
        <translation>The catalog's signature could not be verified. Showing the last known state.</translation>
    </message>
    <message id="errorCannotInstall">
        <source>%1 cannot be installed right now.</source>
        <translation>%1 cannot be installed right now.</translation>
    </message>
    <message id="errorInstallFailed">
        <source>Could not install %1. %2</source>
        <translation>Could not install %1. %2</translation>
    </message>
    <message id="errorNoBundle">
        <source>No app bundle was found on this Mac for %1.</source>
        <translation>No app bundle was found on this Mac for %1.</translation>
    </message>
    <message id="errorNoBundle.linux">
        <source>No app bundle was found on this computer for %1.</source>
        <translation>No app bundle was found on this computer for %1.</translation>
    </message>
    <message id="errorProgramMissing">
        <source>%1 cannot start: its program %2 is missing. Repair puts it right.</source>
        <translation>%1 cannot start: its program %2 is missing. Repair puts it right.</translation>
    </message>
    <message id="errorProgramNotExecutable">
        <source>%1 cannot start: its program %2 is not executable. Repair puts it right.</source>
        <translation>%1 cannot start: its program %2 is not executable. Repair puts it right.</translation>
    </message>
    <message id="errorProgramUnreadable">
        <source>%1 cannot start: its program %2 cannot be read. Repair puts it right.</source>
        <translation>%1 cannot start: its program %2 cannot be read. Repair puts it right.</translation>
    </message>
    <message id="errorProgramUnnamed">
        <source>%1 cannot start: its Info.plist names no program the app holds. Repair puts it right.</source>
        <translation>%1 cannot start: its Info.plist names no program the app holds. Repair puts it right.</translation>
    </message>
    <message id="cancelAction">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="removeAction">
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message id="rollBackAction">
        <source>Roll back to %1</source>
        <translation>Roll back to %1</translation>
    </message>
    <message id="removeConfirmTitle">
        <source>Remove %1?</source>
        <translation>Remove %1?</translation>
    </message>
    <message id="removeConfirmTrash">
        <source>%1 moves to the trash, where you can restore it.</source>
        <translation>%1 moves to the trash, where you can restore it.</translation>
    </message>
    <message id="removeConfirmForGood">
        <source>The trash cannot take %1 on this drive, so it will be deleted for good.</source>
        <translation>The trash cannot take %1 on this drive, so it will be deleted for good.</translation>
    </message>
    <message id="updateAllAction" numerus="yes">
        <source>Update all (%n)</source>
        <translation>
            <numerusform>Update all (%Ln)</numerusform>
            <numerusform>Update all (%Ln)</numerusform>
        </translation>
    </message>
    <message id="updateAllSummary" numerus="yes">
        <source>%n updated</source>
        <translation>
            <numerusform>%Ln updated</numerusform>
            <numerusform>%Ln updated</numerusform>
        </translation>
    </message>
    <message id="updateAllSummaryFailed" numerus="yes">
        <source>%1 updated, %n failed: %2</source>
        <translation>
            <numerusform>%1 updated, %Ln failed: %2</numerusform>
            <numerusform>%1 updated, %Ln failed: %2</numerusform>
        </translation>
    </message>
    <message id="updateNotAvailable">
        <source>No update is available.</source>
        <translation>No update is available.</translation>
    </message>
    <message id="errorCannotRemove">
        <source>%1 cannot be removed right now.</source>
        <translation>%1 cannot be removed right now.</translation>
    </message>
    <message id="errorRemoveFailed">
        <source>Could not remove %1. %2</source>
        <translation>Could not remove %1. %2</translation>
    </message>
    <message id="errorCannotRollBack">
        <source>%1 has no earlier version to roll back to right now.</source>
        <translation>%1 has no earlier version to roll back to right now.</translation>
    </message>
    <message id="errorRollBackFailed">
        <source>Could not roll back %1. %2</source>
        <translation>Could not roll back %1. %2</translation>
    </message>
    <message id="errorCannotRepair">
        <source>%1 cannot be repaired right now.</source>
        <translation>%1 cannot be repaired right now.</translation>
    </message>
    <message id="errorRepairFailed">
        <source>Could not repair %1. %2</source>
        <translation>Could not repair %1. %2</translation>
    </message>
    <message id="errorCannotVerify">
        <source>%1 cannot be verified right now.</source>
        <translation>%1 cannot be verified right now.</translation>
    </message>
    <message id="errorVerifyFailed">
        <source>Could not verify %1. %2</source>
        <translation>Could not verify %1. %2</translation>
    </message>
    <message id="cliInstalling">
        <source>Installing %1 %2…</source>
        <translation>Installing %1 %2…</translation>
    </message>
    <message id="cliRepairing">
        <source>Repairing %1 %2…</source>
        <translation>Repairing %1 %2…</translation>
    </message>
    <message id="cliRepaired">
        <source>Repaired %1.</source>
        <translation>Repaired %1.</translation>
    </message>
    <message id="cliUpdating">
        <source>Updating %1 from %2 to %3…</source>
        <translation>Updating %1 from %2 to %3…</translation>
    </message>
    <message id="cliInstallCancelled">
        <source>The install of %1 was cancelled.</source>
        <translation>The install of %1 was cancelled.</translation>
    </message>
    <message id="cliRemovedToTrash">
        <source>Removed %1 (moved to the trash)</source>
        <translation>Removed %1 (moved to the trash)</translation>
    </message>
    <message id="cliRemovedForGood">
        <source>Removed %1 (deleted for good)</source>
        <translation>Removed %1 (deleted for good)</translation>
    </message>
    <message id="cliOpened">
        <source>Opened %1 (%2)</source>
        <translation>Opened %1 (%2)</translation>
    </message>
    <message id="cliCouldNotStart">
        <source>%1 could not be started.</source>
        <translation>%1 could not be started.</translation>
    </message>
    <message id="cliUnknownApp">
        <source>unknown app "%1"</source>
        <translation>unknown app "%1"</translation>
    </message>
    <message id="cliCatalogUnreachable">
        <source>the catalog could not be fetched: %1</source>
        <translation>the catalog could not be fetched: %1</translation>
    </message>
    <message id="cliUnknownLanguage">
        <source>unknown language "%1" (en, pl or de)</source>
        <translation>unknown language "%1" (en, pl or de)</translation>
    </message>
    <message id="cliOneAppId">
        <source>give exactly one app id</source>
        <translation>give exactly one app id</translation>
    </message>
    <message id="cliUpdateTargets">
        <source>give --all or one or more app ids</source>
        <translation>give --all or one or more app ids</translation>
    </message>
    <message id="cliUnexpectedArgument">
        <source>unexpected argument %1</source>
        <translation>unexpected argument %1</translation>
    </message>
    <message id="progressPercent">
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message id="progressBytesOf">
        <source>%1 of %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message id="progressSecondsLeft" numerus="yes">
        <source>about %n s left</source>
        <translation>
            <numerusform>about %Ln s left</numerusform>
            <numerusform>about %Ln s left</numerusform>
        </translation>
    </message>
    <message id="progressMinutesLeft" numerus="yes">
        <source>about %n min left</source>
        <translation>
            <numerusform>about %Ln min left</numerusform>
            <numerusform>about %Ln min left</numerusform>
        </translation>
    </message>
    <message id="cliWholeArchive">
        <source>%1: the changed files could not be fetched on their own; downloading the whole archive instead.</source>
        <translation>%1: the changed files could not be fetched on their own; downloading the whole archive instead.</translation>
    </message>
    <message id="cliDownloaded">
        <source>Downloaded %1.</source>
        <translation>Downloaded %1.</translation>
    </message>
    <message id="cliQuittingApp">
        <source>Quitting %1…</source>
        <translation>Quitting %1…</translation>
    </message>
    <message id="cliReopeningApp">
        <source>Opening %1 again…</source>
        <translation>Opening %1 again…</translation>
    </message>
    <message id="cliListCannotInstall">
        <source>cannot be installed: %1</source>
        <translation>cannot be installed: %1</translation>
    </message>
    <message id="quitAction">
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message id="quitConfirmTitle">
        <source>Quit while installing?</source>
        <translation>Quit while installing?</translation>
    </message>
    <message id="quitConfirmBody">
        <source>%1 is still installing. Quitting cancels the install and leaves nothing half-installed.</source>
        <translation>%1 is still installing. Quitting cancels the install and leaves nothing half-installed.</translation>
    </message>
    <message id="quitConfirmAction">
        <source>Cancel install and quit</source>
        <translation>Cancel install and quit</translation>
    </message>
    <message id="quitKeepInstalling">
        <source>Keep installing</source>
        <translation>Keep installing</translation>
    </message>
    <message id="checkForUpdates">
        <source>Check for updates</source>
        <translation>Check for updates</translation>
    </message>
    <message id="lastCheckedAt">
        <source>Last checked %1</source>
        <translation>Last checked %1</translation>
    </message>
    <message id="lastCheckedNever">
        <source>Not checked yet</source>
        <translation>Not checked yet</translation>
    </message>
    <message id="returnToAction">
        <source>Return to %1</source>
        <translation>Return to %1</translation>
    </message>
    <message id="shortcutAnywhere">
        <source>Anywhere on the desktop</source>
        <translation>Anywhere on the desktop</translation>
    </message>
    <message id="shortcutInsideLauncher">
        <source>Works inside the launcher</source>
        <translation>Works inside the launcher</translation>
    </message>
    <message id="failureChecksumMismatch">
        <source>The download did not match its checksum.</source>
        <translation>The download did not match its checksum.</translation>
    </message>
    <message id="failureUnsupportedMacOS">
        <source>This app requires macOS %1 or newer.</source>
        <translation>This app requires macOS %1 or newer.</translation>
    </message>
    <message id="failureMissingDownloadURL">
        <source>The catalog does not include a download URL.</source>
        <translation>The catalog does not include a download URL.</translation>
    </message>
    <message id="failureInvalidReleaseMetadata">
        <source>The release metadata is incomplete.</source>
        <translation>The release metadata is incomplete.</translation>
    </message>
    <message id="failureUnsupportedDownloadScheme">
        <source>The download URL must use HTTPS.</source>
        <translation>The download URL must use HTTPS.</translation>
    </message>
    <message id="failureDownloadFailed">
        <source>The download failed.</source>
        <translation>The download failed.</translation>
    </message>
    <message id="failureExtractionFailed">
        <source>The downloaded archive could not be extracted.</source>
        <translation>The downloaded archive could not be extracted.</translation>
    </message>
    <message id="failureAppBundleNotFound">
        <source>The archive does not contain a macOS app bundle.</source>
        <translation>The archive does not contain a macOS app bundle.</translation>
    </message>
    <message id="failureBundleIdentifierMismatch">
        <source>The app bundle does not match the catalog bundle identifier.</source>
        <translation>The app bundle does not match the catalog bundle identifier.</translation>
    </message>
    <message id="failureCancelled">
        <source>The install was cancelled.</source>
        <translation>The install was cancelled.</translation>
    </message>
    <message id="errorManifestStored">
        <source>Could not refresh apps. Showing the catalog fetched %1.</source>
        <translation>Could not refresh apps. Showing the catalog fetched %1.</translation>
    </message>
    <message id="errorCatalogSignatureStored">
        <source>The catalog's signature could not be verified. Showing the catalog fetched %1.</source>
        <translation>The catalog's signature could not be verified. Showing the catalog fetched %1.</translation>
    </message>
    <message id="timeJustNow">
        <source>just now</source>
        <translation>just now</translation>
    </message>
    <message id="timeMinutesAgo" numerus="yes">
        <source>%n min ago</source>
        <translation>
            <numerusform>%Ln min ago</numerusform>
            <numerusform>%Ln min ago</numerusform>
        </translation>
    </message>
    <message id="timeHoursAgo" numerus="yes">
        <source>%n h ago</source>
        <translation>
            <numerusform>%Ln h ago</numerusform>
            <numerusform>%Ln h ago</numerusform>
        </translation>
    </message>
    <message id="timeDaysAgo" numerus="yes">
        <source>%n d ago</source>
        <translation>
            <numerusform>%Ln d ago</numerusform>
            <numerusform>%Ln d ago</numerusform>
        </translation>
    </message>
    <message id="refusalUnknownApp">
        <source>The catalog has no such app.</source>
        <translation>The catalog has no such app.</translation>
    </message>
    <message id="refusalNoPublishedRelease">
        <source>No release of it is published yet.</source>
        <translation>No release of it is published yet.</translation>
    </message>
    <message id="refusalComingSoon">
        <source>It is coming soon.</source>
        <translation>It is coming soon.</translation>
    </message>
    <message id="refusalRetired">
        <source>It has been retired.</source>
        <translation>It has been retired.</translation>
    </message>
    <message id="refusalMalformedChecksum">
        <source>Its release has a malformed checksum.</source>
        <translation>Its release has a malformed checksum.</translation>
    </message>
    <message id="refusalSystemTooOld">
        <source>It needs a newer system.</source>
        <translation>It needs a newer system.</translation>
    </message>
    <message id="refusalAlreadyInstalling">
        <source>It is being installed already.</source>
        <translation>It is being installed already.</translation>
    </message>
    <message id="refusalAlreadyInstalled">
        <source>It is installed already.</source>
        <translation>It is installed already.</translation>
    </message>
    <message id="refusalNotInstalled">
        <source>It is not installed.</source>
        <translation>It is not installed.</translation>
    </message>
    <message id="refusalBusy">
        <source>It is being removed or rolled back.</source>
        <translation>It is being removed or rolled back.</translation>
    </message>
    <message id="refusalNothingToRollBack">
        <source>No earlier version is kept.</source>
        <translation>No earlier version is kept.</translation>
    </message>
    <message id="refusalNoInstaller">
        <source>No installer is available.</source>
        <translation>No installer is available.</translation>
    </message>
    <message id="refusalNotInCatalog">
        <source>It is no longer in the catalog.</source>
        <translation>It is no longer in the catalog.</translation>
    </message>
    <message id="refusalAlreadyVerifying">
        <source>It is being verified already.</source>
        <translation>It is being verified already.</translation>
    </message>
    <message id="refusalNothingToRepair">
        <source>Nothing was found to repair; verify it first.</source>
        <translation>Nothing was found to repair; verify it first.</translation>
    </message>
    <message id="refusalVersionNotOffered">
        <source>The catalog no longer offers the version installed.</source>
        <translation>The catalog no longer offers the version installed.</translation>
    </message>
    <message id="notListedNotInCatalog">
        <source>No longer in the catalog</source>
        <translation>No longer in the catalog</translation>
    </message>
    <message id="notListedRetired">
        <source>Retired from the catalog</source>
        <translation>Retired from the catalog</translation>
    </message>
    <message id="notListedBetaHidden">
        <source>Beta apps are hidden</source>
        <translation>Beta apps are hidden</translation>
    </message>
    <message id="notListedNotInCatalogBadge">
        <source>Not in catalog</source>
        <translation>Not in catalog</translation>
    </message>
    <message id="notListedRetiredBadge">
        <source>Retired</source>
        <translation>Retired</translation>
    </message>
    <message id="notListedBetaHiddenBadge">
        <source>Beta hidden</source>
        <translation>Beta hidden</translation>
    </message>
    <message id="installedGroupTitle">
        <source>Installed</source>
        <translation>Installed</translation>
    </message>
    <message id="installedGroupNote">
        <source>Installed apps the catalog's lists do not show.</source>
        <translation>Installed apps the catalog's lists do not show.</translation>
    </message>
    <message id="cliUsage">
        <source>usage: %1</source>
        <translation>usage: %1</translation>
    </message>
    <message id="cliOptionsHeading">
        <source>options:</source>
        <translation>options:</translation>
    </message>
    <message id="cliArgumentsHeading">
        <source>arguments:</source>
        <translation>arguments:</translation>
    </message>
    <message id="cliCommandsHeading">
        <source>commands:</source>
        <translation>commands:</translation>
    </message>
    <message id="cliHelpHint">
        <source>"%1" describes a command's options and arguments.</source>
        <translation>"%1" describes a command's options and arguments.</translation>
    </message>
    <message id="cliUnknownCommand">
        <source>unknown command "%1"</source>
        <translation>unknown command "%1"</translation>
    </message>
    <message id="cliMissingValue">
        <source>%1 needs a value</source>
        <translation>%1 needs a value</translation>
    </message>
    <message id="cliUnexpectedValue">
        <source>%1 takes no value</source>
        <translation>%1 takes no value</translation>
    </message>
    <message id="cliHelpOption">
        <source>Shows this help.</source>
        <translation>Shows this help.</translation>
    </message>
    <message id="cliLangOption">
        <source>Language of the texts and of the catalog: en, pl or de.</source>
        <translation>Language of the texts and of the catalog: en, pl or de.</translation>
    </message>
    <message id="cliCheckSummary">
        <source>Decodes a manifest (a file or an http(s) URL) and reports on every app.</source>
        <translation>Decodes a manifest (a file or an http(s) URL) and reports on every app.</translation>
    </message>
    <message id="cliCheckNoBetaOption">
        <source>Reports with the beta preference off: beta apps hidden.</source>
        <translation>Reports with the beta preference off: beta apps hidden.</translation>
    </message>
    <message id="cliCheckJsonOption">
        <source>Prints the report as JSON.</source>
        <translation>Prints the report as JSON.</translation>
    </message>
    <message id="cliCheckPublicKeysOption">
        <source>Ed25519 public keys (base64, comma-separated) the catalog must be signed with; default: VANTREL_CATALOG_PUBLIC_KEYS or the built-in ones.</source>
        <translation>Ed25519 public keys (base64, comma-separated) the catalog must be signed with; default: VANTREL_CATALOG_PUBLIC_KEYS or the built-in ones.</translation>
    </message>
    <message id="cliCheckSignatureOption">
        <source>The base64 signature of the manifest file, as X-Vantrel-Signature would carry it.</source>
        <translation>The base64 signature of the manifest file, as X-Vantrel-Signature would carry it.</translation>
    </message>
    <message id="cliCheckSourceArgument">
        <source>A manifest file, or the http(s) URL of a manifest service.</source>
        <translation>A manifest file, or the http(s) URL of a manifest service.</translation>
    </message>
    <message id="cliCompareSummary">
        <source>Prints ascending, same or descending: how version A compares with B.</source>
        <translation>Prints ascending, same or descending: how version A compares with B.</translation>
    </message>
    <message id="cliCompareFirstArgument">
        <source>A version, taken as written.</source>
        <translation>A version, taken as written.</translation>
    </message>
    <message id="cliCompareSecondArgument">
        <source>The version to compare it with.</source>
        <translation>The version to compare it with.</translation>
    </message>
    <message id="cliIdArgument">
        <source>The app's id in the catalog.</source>
        <translation>The app's id in the catalog.</translation>
    </message>
    <message id="cliProgressJsonOption">
        <source>Prints the progress and the outcome as JSON, one object per line.</source>
        <translation>Prints the progress and the outcome as JSON, one object per line.</translation>
    </message>
    <message id="cliListSummary">
        <source>Refreshes the catalog and shows each visible app with its install state.</source>
        <translation>Refreshes the catalog and shows each visible app with its install state.</translation>
    </message>
    <message id="cliListJsonOption">
        <source>Prints the apps as JSON.</source>
        <translation>Prints the apps as JSON.</translation>
    </message>
    <message id="cliInstallSummary">
        <source>Installs or updates one app; Ctrl-C cancels it.</source>
        <translation>Installs or updates one app; Ctrl-C cancels it.</translation>
    </message>
    <message id="cliUpdateSummary">
        <source>Updates every app with an update, or the apps named, one after another.</source>
        <translation>Updates every app with an update, or the apps named, one after another.</translation>
    </message>
    <message id="cliUpdateAllOption">
        <source>Updates every app that has an update.</source>
        <translation>Updates every app that has an update.</translation>
    </message>
    <message id="cliUpdateIdsArgument">
        <source>The ids of the apps to update.</source>
        <translation>The ids of the apps to update.</translation>
    </message>
    <message id="cliRemoveSummary">
        <source>Moves an installed app to the trash (or deletes it where the trash cannot take it).</source>
        <translation>Moves an installed app to the trash (or deletes it where the trash cannot take it).</translation>
    </message>
    <message id="cliRollbackSummary">
        <source>Goes back to the version the app's last update replaced.</source>
        <translation>Goes back to the version the app's last update replaced.</translation>
    </message>
    <message id="cliOpenSummary">
        <source>Opens an installed app, installing it first when needed.</source>
        <translation>Opens an installed app, installing it first when needed.</translation>
    </message>
    <message id="cliRepairSummary">
        <source>Verifies installed apps and puts right what it finds: permission bits in place, anything else by a fresh install of the installed version.</source>
        <translation>Verifies installed apps and puts right what it finds: permission bits in place, anything else by a fresh install of the installed version.</translation>
    </message>
    <message id="cliRepairIdsArgument">
        <source>The ids of the apps to repair; every installed app when none is given.</source>
        <translation>The ids of the apps to repair; every installed app when none is given.</translation>
    </message>
    <message id="cliCompleteSummary">
        <source>Prints what a shell may offer after the words given, one per line (for shell completion).</source>
        <translation>Prints what a shell may offer after the words given, one per line (for shell completion).</translation>
    </message>
    <message id="cliCompleteWordsArgument">
        <source>The words typed after vantrel so far.</source>
        <translation>The words typed after vantrel so far.</translation>
    </message>
    <message id="cliProblemNoDownloadUrl">
        <source>no download URL</source>
        <translation>no download URL</translation>
    </message>
    <message id="cliProblemChecksum">
        <source>checksum not 64 hexadecimal digits</source>
        <translation>checksum not 64 hexadecimal digits</translation>
    </message>
    <message id="cliProblemBlankVersion">
        <source>blank version</source>
        <translation>blank version</translation>
    </message>
    <message id="cliProblemMinimumVersion">
        <source>minimum system version does not parse</source>
        <translation>minimum system version does not parse</translation>
    </message>
    <message id="cliYes">
        <source>yes</source>
        <translation>yes</translation>
    </message>
    <message id="cliNo">
        <source>no</source>
        <translation>no</translation>
    </message>
    <message id="cliCheckNoApps">
        <source>no apps</source>
        <translation>no apps</translation>
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
        <translation>VISIBLE</translation>
    </message>
    <message id="cliCheckColumnPublished">
        <source>PUBLISHED</source>
        <translation>PUBLISHED</translation>
    </message>
    <message id="cliCheckColumnComingSoon">
        <source>COMING SOON</source>
        <translation>COMING SOON</translation>
    </message>
    <message id="cliCheckColumnProblem">
        <source>PROBLEM</source>
        <translation>PROBLEM</translation>
    </message>
    <message id="cliCheckLifecycle">
        <source>lifecycle: %1</source>
        <translation>lifecycle: %1</translation>
    </message>
    <message id="cliCheckFeatured">
        <source>featured: %1</source>
        <translation>featured: %1</translation>
    </message>
    <message id="cliCheckNone">
        <source>none</source>
        <translation>none</translation>
    </message>
    <message id="cliCheckAnnouncements">
        <source>announcements: %1</source>
        <translation>announcements: %1</translation>
    </message>
    <message id="cliCheckSignature">
        <source>signature: %1</source>
        <translation>signature: %1</translation>
    </message>
    <message id="cliCheckVerified">
        <source>verified</source>
        <translation>verified</translation>
    </message>
    <message id="cliCheckUnchecked">
        <source>unchecked</source>
        <translation>unchecked</translation>
    </message>
    <message id="cliInvalidUrl">
        <source>%1 is not a valid URL</source>
        <translation>%1 is not a valid URL</translation>
    </message>
    <message id="cliCouldNotFetch">
        <source>could not fetch %1: %2</source>
        <translation>could not fetch %1: %2</translation>
    </message>
    <message id="cliReadDirectory">
        <source>cannot read %1: it is a directory</source>
        <translation>cannot read %1: it is a directory</translation>
    </message>
    <message id="cliCannotRead">
        <source>cannot read %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message id="cliOneSource">
        <source>only one SOURCE may be given</source>
        <translation>only one SOURCE may be given</translation>
    </message>
    <message id="cliSourceMissing">
        <source>SOURCE is missing</source>
        <translation>SOURCE is missing</translation>
    </message>
    <message id="cliPublicKeysFormat">
        <source>--public-keys takes base64 Ed25519 public keys separated by commas</source>
        <translation>--public-keys takes base64 Ed25519 public keys separated by commas</translation>
    </message>
    <message id="cliSignatureForFile">
        <source>--signature is for a file; a URL's signature comes in its header</source>
        <translation>--signature is for a file; a URL's signature comes in its header</translation>
    </message>
    <message id="cliSignatureNeedsKeys">
        <source>--signature needs --public-keys or VANTREL_CATALOG_PUBLIC_KEYS</source>
        <translation>--signature needs --public-keys or VANTREL_CATALOG_PUBLIC_KEYS</translation>
    </message>
    <message id="cliTwoVersions">
        <source>expected exactly two versions</source>
        <translation>expected exactly two versions</translation>
    </message>
    <message id="cliUnknownOption" numerus="yes">
        <source>unknown option: %1</source>
        <translation>
            <numerusform>unknown option: %1</numerusform>
            <numerusform>unknown options: %1</numerusform>
        </translation>
    </message>
    <message id="cliHttpStatus">
        <source>the server answered with HTTP status %1</source>
        <translation>the server answered with HTTP status %1</translation>
    </message>
    <message id="cliNotHttp">
        <source>the answer was not an HTTP response</source>
        <translation>the answer was not an HTTP response</translation>
    </message>
    <message id="launcherDescription">
        <source>The Vantrel launcher.</source>
        <translation>The Vantrel launcher.</translation>
    </message>
    <message id="launcherVersionOption">
        <source>Shows the version.</source>
        <translation>Shows the version.</translation>
    </message>
    <message id="launcherHiddenOption">
        <source>Starts without showing the main window (as at login); starting the launcher again shows it.</source>
        <translation>Starts without showing the main window (as at login); starting the launcher again shows it.</translation>
    </message>
    <message id="launcherNoDisplay">
        <source>no display was found. Start it inside a desktop session (an X11 or Wayland session sets DISPLAY or WAYLAND_DISPLAY); the terminal tool vantrel works without one.</source>
        <translation>no display was found. Start it inside a desktop session (an X11 or Wayland session sets DISPLAY or WAYLAND_DISPLAY); the terminal tool vantrel works without one.</translation>
    </message>
    <message id="globalShortcutDescription">
        <source>Open the quick switcher</source>
        <translation>Open the quick switcher</translation>
    </message>
    <message id="verifyIntact">
        <source>Intact</source>
        <translation>Intact</translation>
    </message>
    <message id="verifyLegacyReceipt">
        <source>Installed before verification existed</source>
        <translation>Installed before verification existed</translation>
    </message>
    <message id="verifyUnreadableReceipt">
        <source>The install receipt cannot be read</source>
        <translation>The install receipt cannot be read</translation>
    </message>
    <message id="verifyCancelled">
        <source>Verification cancelled</source>
        <translation>Verification cancelled</translation>
    </message>
    <message id="verifyChangedCount" numerus="yes">
        <source>%n files changed</source>
        <translation>
            <numerusform>%Ln file changed</numerusform>
            <numerusform>%Ln files changed</numerusform>
        </translation>
    </message>
    <message id="verifyMissingCount" numerus="yes">
        <source>%n missing</source>
        <translation>
            <numerusform>%Ln missing</numerusform>
            <numerusform>%Ln missing</numerusform>
        </translation>
    </message>
    <message id="verifyPermissionsCount" numerus="yes">
        <source>%n with changed permissions</source>
        <translation>
            <numerusform>%Ln with changed permissions</numerusform>
            <numerusform>%Ln with changed permissions</numerusform>
        </translation>
    </message>
    <message id="verifyLinkChangedCount" numerus="yes">
        <source>%n links changed</source>
        <translation>
            <numerusform>%Ln link changed</numerusform>
            <numerusform>%Ln links changed</numerusform>
        </translation>
    </message>
    <message id="verifyLinkLeadsOutCount" numerus="yes">
        <source>%n links lead outside the app</source>
        <translation>
            <numerusform>%Ln link leads outside the app</numerusform>
            <numerusform>%Ln links lead outside the app</numerusform>
        </translation>
    </message>
    <message id="verifyExtraCount" numerus="yes">
        <source>%n extra items</source>
        <translation>
            <numerusform>%Ln extra item</numerusform>
            <numerusform>%Ln extra items</numerusform>
        </translation>
    </message>
    <message id="verifyDesktopMissingCount" numerus="yes">
        <source>%n desktop files missing</source>
        <translation>
            <numerusform>%Ln desktop file missing</numerusform>
            <numerusform>%Ln desktop files missing</numerusform>
        </translation>
    </message>
    <message id="verifyDesktopChangedCount" numerus="yes">
        <source>%n desktop files changed</source>
        <translation>
            <numerusform>%Ln desktop file changed</numerusform>
            <numerusform>%Ln desktop files changed</numerusform>
        </translation>
    </message>
    <message id="verifyFindingDesktopMissing">
        <source>missing from the desktop</source>
        <translation>missing from the desktop</translation>
    </message>
    <message id="verifyFindingDesktopChanged">
        <source>changed on the desktop</source>
        <translation>changed on the desktop</translation>
    </message>
    <message id="verifyFindingMissing">
        <source>missing</source>
        <translation>missing</translation>
    </message>
    <message id="verifyFindingChanged">
        <source>changed</source>
        <translation>changed</translation>
    </message>
    <message id="verifyFindingPermissions">
        <source>permissions changed</source>
        <translation>permissions changed</translation>
    </message>
    <message id="verifyFindingLinkChanged">
        <source>link changed</source>
        <translation>link changed</translation>
    </message>
    <message id="verifyFindingLinkLeadsOut">
        <source>link leads outside the app</source>
        <translation>link leads outside the app</translation>
    </message>
    <message id="verifyFindingExtra">
        <source>not installed by the launcher</source>
        <translation>not installed by the launcher</translation>
    </message>
    <message id="cliVerifySummary">
        <source>Checks installed apps file by file against what their install placed; changes nothing.</source>
        <translation>Checks installed apps file by file against what their install placed; changes nothing.</translation>
    </message>
    <message id="cliVerifyIdsArgument">
        <source>The ids of the apps to check; every installed app when none is given.</source>
        <translation>The ids of the apps to check; every installed app when none is given.</translation>
    </message>
    <message id="cliVerifying">
        <source>Verifying %1: %2%</source>
        <translation>Verifying %1: %2%</translation>
    </message>
    <message id="cliNotInstalled">
        <source>app "%1" is not installed</source>
        <translation>app "%1" is not installed</translation>
    </message>
    <message id="cliNoAppsInstalled">
        <source>No apps are installed.</source>
        <translation>No apps are installed.</translation>
    </message>
    <message id="errorNotEnoughSpace">
        <source>Not enough disk space: %1. Free some space and try again.</source>
        <translation>Not enough disk space: %1. Free some space and try again.</translation>
    </message>
    <message id="runningDidNotQuit">
        <source>%1 did not quit, so it was left as it is.</source>
        <translation>%1 did not quit, so it was left as it is.</translation>
    </message>
    <message id="meteredSizeUnknown">
        <source>an unknown amount</source>
        <translation>an unknown amount</translation>
    </message>
    <message id="meteredUpdatesQuestion" numerus="yes">
        <source>Updating %n apps downloads %1 over a metered connection.</source>
        <translation>
            <numerusform>Updating %Ln app downloads %1 over a metered connection.</numerusform>
            <numerusform>Updating %Ln apps downloads %1 over a metered connection.</numerusform>
        </translation>
    </message>
    <message id="meteredInstallsQuestion" numerus="yes">
        <source>Installing %n apps downloads %1 over a metered connection.</source>
        <translation>
            <numerusform>Installing %Ln app downloads %1 over a metered connection.</numerusform>
            <numerusform>Installing %Ln apps downloads %1 over a metered connection.</numerusform>
        </translation>
    </message>
    <message id="meteredTitle">
        <source>Metered connection</source>
        <translation>Metered connection</translation>
    </message>
    <message id="meteredDownloadAnyway">
        <source>Download anyway</source>
        <translation>Download anyway</translation>
    </message>
    <message id="meteredNotNow">
        <source>Not now</source>
        <translation>Not now</translation>
    </message>
    <message id="runningQuestionTitle">
        <source>%1 is running</source>
        <translation>%1 is running</translation>
    </message>
    <message id="runningQuestionDetail">
        <source>Changing %1 while it runs would put new files under the running app (process %2).</source>
        <translation>Changing %1 while it runs would put new files under the running app (process %2).</translation>
    </message>
    <message id="runningQuitAndUpdate">
        <source>Quit and update</source>
        <translation>Quit and update</translation>
    </message>
    <message id="runningUpdateWhenQuits">
        <source>Update when it quits</source>
        <translation>Update when it quits</translation>
    </message>
    <message id="runningQuitAndContinue">
        <source>Quit and continue</source>
        <translation>Quit and continue</translation>
    </message>
    <message id="runningContinueWhenQuits">
        <source>Continue when it quits</source>
        <translation>Continue when it quits</translation>
    </message>
    <message id="runningWaiting">
        <source>Waiting for %1 to quit</source>
        <translation>Waiting for %1 to quit</translation>
    </message>
    <message id="runningStopWaiting">
        <source>Don't wait</source>
        <translation>Don't wait</translation>
    </message>
    <message id="restartToUse">
        <source>Restart %1 to use %2</source>
        <translation>Restart %1 to use %2</translation>
    </message>
    <message id="cliUpdateWhenClosedOption">
        <source>Wait for running apps to quit, then update them</source>
        <translation>Wait for running apps to quit, then update them</translation>
    </message>
    <message id="cliUpdateRestartOption">
        <source>Ask running apps to quit, update them and open them again</source>
        <translation>Ask running apps to quit, update them and open them again</translation>
    </message>
    <message id="cliNoMeteredOption">
        <source>Download nothing over a metered connection</source>
        <translation>Download nothing over a metered connection</translation>
    </message>
    <message id="cliRestartOrWait">
        <source>Give --when-closed or --restart, not both.</source>
        <translation>Give --when-closed or --restart, not both.</translation>
    </message>
    <message id="cliAppRunning">
        <source>%1 is running (process %2). Quit it, or use --when-closed or --restart.</source>
        <translation>%1 is running (process %2). Quit it, or use --when-closed or --restart.</translation>
    </message>
    <message id="cliChangeRunning">
        <source>%1 is running (process %2). Quit it first.</source>
        <translation>%1 is running (process %2). Quit it first.</translation>
    </message>
    <message id="cliWaitingToQuit">
        <source>Waiting for %1 to quit…</source>
        <translation>Waiting for %1 to quit…</translation>
    </message>
    <message id="cliMeteredWarning">
        <source>Warning: the connection is metered; this downloads %1.</source>
        <translation>Warning: the connection is metered; this downloads %1.</translation>
    </message>
    <message id="cliMeteredRefused">
        <source>The connection is metered and --no-metered was given; nothing was downloaded.</source>
        <translation>The connection is metered and --no-metered was given; nothing was downloaded.</translation>
    </message>
    <message id="spaceOnVolume">
        <source>%1 needs %2 and has %3 free</source>
        <translation>%1 needs %2 and has %3 free</translation>
    </message>
    <message id="refusalHeld">
        <source>It is held at the version installed; release it first.</source>
        <translation>It is held at the version installed; release it first.</translation>
    </message>
    <message id="cliSkipSummary">
        <source>Stops offering the version the catalog offers now; a newer one will be offered.</source>
        <translation>Stops offering the version the catalog offers now; a newer one will be offered.</translation>
    </message>
    <message id="cliHoldSummary">
        <source>Keeps the app at its installed version, out of update --all and the update count, until released.</source>
        <translation>Keeps the app at its installed version, out of update --all and the update count, until released.</translation>
    </message>
    <message id="cliReleaseSummary">
        <source>Ends a hold and offers a skipped version again.</source>
        <translation>Ends a hold and offers a skipped version again.</translation>
    </message>
    <message id="cliSkipped">
        <source>%1 %2 skipped; a newer version will be offered.</source>
        <translation>%1 %2 skipped; a newer version will be offered.</translation>
    </message>
    <message id="cliHeld">
        <source>%1 is held at %2.</source>
        <translation>%1 is held at %2.</translation>
    </message>
    <message id="cliReleased">
        <source>%1 is released: its updates are offered again.</source>
        <translation>%1 is released: its updates are offered again.</translation>
    </message>
    <message id="cliNothingToRelease">
        <source>%1 was neither held nor skipped; nothing changed.</source>
        <translation>%1 was neither held nor skipped; nothing changed.</translation>
    </message>
    <message id="cliUpdateHeld">
        <source>%1 is held at %2 and is not updated; release it first (vantrel release %3). Nothing was changed.</source>
        <translation>%1 is held at %2 and is not updated; release it first (vantrel release %3). Nothing was changed.</translation>
    </message>
    <message id="cliCannotDecide">
        <source>The updates of %1 cannot be changed now.</source>
        <translation>The updates of %1 cannot be changed now.</translation>
    </message>
    <message id="cliListHeld">
        <source>held</source>
        <translation>held</translation>
    </message>
    <message id="skippedVersionLabel">
        <source>%1 skipped</source>
        <translation>%1 skipped</translation>
    </message>
    <message id="skipVersionAction">
        <source>Skip this version</source>
        <translation>Skip this version</translation>
    </message>
    <message id="holdAtAction">
        <source>Hold at %1</source>
        <translation>Hold at %1</translation>
    </message>
    <message id="releaseHoldAction">
        <source>Release hold</source>
        <translation>Release hold</translation>
    </message>
    <message id="offerAgainAction">
        <source>Offer %1 again</source>
        <translation>Offer %1 again</translation>
    </message>
    <message id="heldDetail">
        <source>Held at %1: kept out of Update all until you release it.</source>
        <translation>Held at %1: kept out of Update all until you release it.</translation>
    </message>
    <message id="skippedDetail">
        <source>Version %1 skipped; a newer one will be offered.</source>
        <translation>Version %1 skipped; a newer one will be offered.</translation>
    </message>
    <message id="heldAtLabel">
        <source>Held at %1</source>
        <translation>Held at %1</translation>
    </message>
    <message id="updatesHeldTitle">
        <source>Held</source>
        <translation>Held</translation>
    </message>
    <message id="updatesSkippedTitle">
        <source>Skipped versions</source>
        <translation>Skipped versions</translation>
    </message>
    <message id="cliProblemFileListHalf">
        <source>file list and its checksum must come together</source>
        <translation>file list and its checksum must come together</translation>
    </message>
    <message id="cliProblemFileListUrl">
        <source>file list URL not usable</source>
        <translation>file list URL not usable</translation>
    </message>
    <message id="cliProblemFileListChecksum">
        <source>file list checksum not 64 hexadecimal digits</source>
        <translation>file list checksum not 64 hexadecimal digits</translation>
    </message>
    <message id="cliUpdateFullOption">
        <source>Download each whole release archive, even where only some files changed.</source>
        <translation>Download each whole release archive, even where only some files changed.</translation>
    </message>
    <message id="cliTransferred">
        <source>Downloaded %1; %2 taken from the installed copy.</source>
        <translation>Downloaded %1; %2 taken from the installed copy.</translation>
    </message>
    <message id="updateActionSized">
        <source>Update · %1</source>
        <translation>Update · %1</translation>
    </message>
    <message id="cliUpdateSize">
        <source>%1: %2 to download.</source>
        <translation>%1: %2 to download.</translation>
    </message>
    <message id="errorCatalogNoFreshness">
        <source>The catalog offered has no valid sequence or expiry date, so the last one is kept.</source>
        <translation>The catalog offered has no valid sequence or expiry date, so the last one is kept.</translation>
    </message>
    <message id="errorCatalogOlder">
        <source>The catalog offered is older than one already seen, so the newer one is kept.</source>
        <translation>The catalog offered is older than one already seen, so the newer one is kept.</translation>
    </message>
    <message id="errorCatalogConflicting">
        <source>The catalog offered has the sequence of one already seen but other contents, so the one seen is kept.</source>
        <translation>The catalog offered has the sequence of one already seen but other contents, so the one seen is kept.</translation>
    </message>
    <message id="errorCatalogExpired">
        <source>The catalog expired on %1. Check the connection, or this computer's date and time.</source>
        <translation>The catalog expired on %1. Check the connection, or this computer's date and time.</translation>
    </message>
    <message id="catalogExpiryDateFormat">
        <source>d MMMM</source>
        <translation>d MMMM</translation>
    </message>
    <message id="refusalCatalogExpired">
        <source>The catalog has expired; a fresh one is needed first.</source>
        <translation>The catalog has expired; a fresh one is needed first.</translation>
    </message>
    <message id="cliCheckSequence">
        <source>sequence: %1</source>
        <translation>sequence: %1</translation>
    </message>
    <message id="cliCheckExpiresAt">
        <source>expires: %1</source>
        <translation>expires: %1</translation>
    </message>
    <message id="cliCheckExpiresSoon">
        <source>warning: the catalog expires in less than 3 days; sign it again.</source>
        <translation>warning: the catalog expires in less than 3 days; sign it again.</translation>
    </message>
    <message id="cliCheckExpired">
        <source>warning: the catalog has expired; sign it again.</source>
        <translation>warning: the catalog has expired; sign it again.</translation>
    </message>
    <message id="linkUnknownApp">
        <source>No app called "%1" is in the catalog.</source>
        <translation>No app called "%1" is in the catalog.</translation>
    </message>
    <message id="launcherLinkArgument">
        <source>A link to show: vantrel://app/ID (an app's page) or vantrel://search/TERMS (the library filtered).</source>
        <translation>A link to show: vantrel://app/ID (an app's page) or vantrel://search/TERMS (the library filtered).</translation>
    </message>
    <message id="cliCheckColumnRollout">
        <source>ROLLOUT</source>
        <translation>ROLLOUT</translation>
    </message>
    <message id="cliPercent">
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
    <message id="cliListStaged">
        <source>%1 released gradually (%2%)</source>
        <translation>%1 released gradually (%2%)</translation>
    </message>
    <message id="cliUpdateStaged">
        <source>%1 %2 is not yet offered to this computer (released to %3% so far); updating now as asked.</source>
        <translation>%1 %2 is not yet offered to this computer (released to %3% so far); updating now as asked.</translation>
    </message>
    <message id="cliUpdateIncludeStagedOption">
        <source>With --all, also update apps whose new version is released gradually and not yet offered to this computer</source>
        <translation>With --all, also update apps whose new version is released gradually and not yet offered to this computer</translation>
    </message>
    <message id="stagedRolloutLine">
        <source>Version %1 is being released gradually.</source>
        <translation>Version %1 is being released gradually.</translation>
    </message>
    <message id="stagedUpdateNow">
        <source>Update now</source>
        <translation>Update now</translation>
    </message>
</context>
</TS>
