#pragma once

#include "InstallRecords.h"
#include "StoreCollaborators.h"
#include "system/DesktopEntries.h"

#include <QObject>

class InstalledApps;
class RecordsWatch;

// Keeps what lies outside the launcher in step with the installed apps. The
// desktop's entries follow the records: in a window at every change the
// installed apps apply, in a command that runs for moments after each
// operation that changed a copy. A window also watches the records' file and
// the folders of the bundles they name, and says when another process (the
// terminal tool, a second login) or the user by hand changed them.
class InstalledAppsSync : public QObject
{
    Q_OBJECT

public:
    InstalledAppsSync(const StoreCollaborators &collaborators, InstalledApps *apps);

    // Starts watching for changes elsewhere, once the records were first applied
    // (what they read then is no change). Nothing for a command.
    void watch();

    // A recorded app as the desktop lists it: the catalog's record its
    // receipt kept (the same for every process, whatever catalog each has
    // seen; else the bundle's name), with the version and bundle recorded.
    static DesktopApp desktopApp(const QString &appId, const InstallRecords::Recorded &recorded);
    static QList<DesktopApp> desktopApps(const QHash<QString, InstallRecords::Recorded> &recorded);
    // The desktop's entries of apps no longer installed (a bundle deleted by
    // hand) go, and entries under an earlier name move; nothing else is written.
    void tidyDesktop();

Q_SIGNALS:
    // The records or a bundles' folder changed elsewhere.
    void changedElsewhere();

private:
    // The desktop's entries follow the installed apps as the records give them.
    void syncDesktop();
    void watchBundleFolders();

    StoreCollaborators m_c;
    InstallRecords m_records;
    InstalledApps *m_apps;
    RecordsWatch *m_watch = nullptr;
};
