#pragma once

#include "catalog/AppInstallState.h"

#include <QString>

// The main action of an app's page, in order of precedence: the first that applies wins.
enum class AppPageAction { refreshCatalog, installing, repair, update, open, retry, install };

// What the store knows of one app that decides its page.
struct AppPageFacts {
    AppInstallState state;
    bool pending = false;        // coming soon, or without a complete published release
    QString notListedKey;        // why the catalog does not list the installed app; empty when it does
    QString refusalKey;          // why it cannot be installed now; empty when it can
    bool damaged = false;        // what the last verify of the installed copy found
    bool offersRepair = false;
    QString verifySummary;
    QString updateSize;          // what an update downloads, where it can be told ahead
    bool held = false;           // kept at the installed version
    QString skippedVersion;      // the offered version the user skipped
    bool waiting = false;        // a change waits for the app to quit

    friend bool operator==(const AppPageFacts &, const AppPageFacts &) = default;
};

// What the page shows of those facts, worded in the language installed.
struct AppPageView {
    AppPageAction action = AppPageAction::install;
    QString actionText;
    bool actionEnabled = true;
    QString detail;
    bool damaged = false;         // said in the state line too; not while a new copy goes in
    bool decisionsShown = false;  // hold and skip concern a listed copy that is not being replaced
    QString decisionText;         // held or skipped; empty when neither is shown

    friend bool operator==(const AppPageView &, const AppPageView &) = default;
};

AppPageView appPageView(const AppPageFacts &facts);
