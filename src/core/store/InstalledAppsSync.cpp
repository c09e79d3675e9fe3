#include "InstalledAppsSync.h"

#include "InstalledApps.h"
#include "RecordsWatch.h"
#include "install/InstallReceipt.h"
#include "system/DesktopEntries.h"
#include "system/SystemLayers.h"

#include <QFileInfo>

InstalledAppsSync::InstalledAppsSync(const StoreCollaborators &collaborators, InstalledApps *apps)
    : QObject(apps), m_c(collaborators), m_records(m_c.userDefaults), m_apps(apps)
{
    connect(m_apps, &InstalledApps::urlsChanged, this, &InstalledAppsSync::watchBundleFolders);
    // A command writes the desktop's files only after what it changed, so
    // that its verify still finds what is wrong with them.
    if (m_c.followChangesElsewhere)
        connect(m_apps, &InstalledApps::recordsApplied, this, &InstalledAppsSync::syncDesktop);
    else
        connect(m_apps, &InstalledApps::copyChanged, this, &InstalledAppsSync::syncDesktop);
}

void InstalledAppsSync::watch()
{
    const QString recordsFile = m_c.userDefaults && m_c.followChangesElsewhere ? m_c.userDefaults->storagePath() : QString();
    if (!recordsFile.isEmpty()) {
        m_watch = new RecordsWatch(recordsFile, this);
        connect(m_watch, &RecordsWatch::changed, this, &InstalledAppsSync::changedElsewhere);
        watchBundleFolders();
    }
}

DesktopApp InstalledAppsSync::desktopApp(const QString &appId, const InstallRecords::Recorded &recorded)
{
    const QString bundle = recorded.bundle.toLocalFile();
    std::optional<AppManifestItem> kept = InstallReceipt::recordedApp(bundle, appId);
    if (!kept) {
        kept = AppManifestItem();
        kept->id = appId;
        kept->name = QFileInfo(bundle).completeBaseName();
    }
    return {*kept, recorded.version, bundle};
}

QList<DesktopApp> InstalledAppsSync::desktopApps(const QHash<QString, InstallRecords::Recorded> &recorded)
{
    QList<DesktopApp> apps;
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it)
        apps.append(desktopApp(it.key(), *it));
    return apps;
}

void InstalledAppsSync::syncDesktop()
{
    if (!m_c.desktopEntries)
        return;
    // The records, not the URLs shown (an app being changed still has its
    // copy), read and acted on while no other process changes them: its
    // entries are never taken for those of an app no longer installed.
    m_records.reconcile([this](const QHash<QString, InstallRecords::Recorded> &recorded) {
        m_c.desktopEntries->sync(desktopApps(recorded));
    });
}

void InstalledAppsSync::tidyDesktop()
{
    if (!m_c.desktopEntries)
        return;
    m_records.reconcile([this](const QHash<QString, InstallRecords::Recorded> &recorded) {
        m_c.desktopEntries->tidy(desktopApps(recorded));
    });
}

void InstalledAppsSync::watchBundleFolders()
{
    if (!m_watch)
        return;
    QStringList folders;
    for (const QUrl &bundle : std::as_const(m_apps->urls()))
        folders.append(QFileInfo(bundle.toLocalFile()).absolutePath());
    m_watch->setBundleFolders(folders);
}
