#pragma once

// What the store needs so that installed apps are apps of the desktop: an
// entry in its application menu and an icon. src/platform holds the real
// implementation (none where the system finds the bundles by itself).

#include "catalog/Models.h"
#include "install/BundleVerification.h"

#include <QList>
#include <QString>

// One installed app as the desktop lists it: the catalog's record the install
// kept, the version installed and where its bundle is.
struct DesktopApp {
    AppManifestItem app;
    QString installedVersion;
    QString bundlePath;

    friend bool operator==(const DesktopApp &, const DesktopApp &) = default;
};

class DesktopEntries
{
public:
    virtual ~DesktopEntries() = default;
    // Makes the launcher's entries and icons match apps exactly: writes what
    // is missing or differs, removes the launcher's own files no app names.
    // Files the launcher did not write are never touched.
    virtual void sync(const QList<DesktopApp> &apps) = 0;
    // Removes the launcher's files no app names, and moves an app's files
    // kept under an earlier name to its current one; writes nothing else, so
    // whatever else is missing or changed is still there for a verify to find.
    virtual void tidy(const QList<DesktopApp> &apps) = 0;
    // How app's entry and icons differ from what sync writes (findings of
    // kind desktopMissing or desktopChanged); none for an entry the user owns.
    virtual QList<VerificationFinding> check(const DesktopApp &app) const = 0;
    // Writes app's entry and every icon afresh, whatever is there now.
    virtual void rewrite(const DesktopApp &app) = 0;
};
