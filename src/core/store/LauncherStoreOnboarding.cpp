// Onboarding, starter selection and the announcement queue.

#include "LauncherStore.h"

#include "system/SystemLayers.h"

void LauncherStore::toggleStarterSelection(const AppManifestItem &app)
{
    if (!m_selectedStarterAppIDs.remove(app.id))
        m_selectedStarterAppIDs.insert(app.id);
    Q_EMIT selectedStarterAppIDsChanged();
}

void LauncherStore::finishOnboarding()
{
    setOnboardingComplete(true);
    const QList<AppManifestItem> published = ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps);
    for (const AppManifestItem &app : published) {
        // Checked first so that an app that cannot be installed is skipped
        // without an error line.
        if (m_selectedStarterAppIDs.contains(app.id) && passesInstallChecks(app))
            install(app);
    }
}

void LauncherStore::updatePendingAnnouncement()
{
    const QList<LauncherAnnouncement> unseen = ManifestPolicy::unseenAnnouncements(m_manifest, m_seenAnnouncementIDs);
    setPendingAnnouncement(unseen.isEmpty() ? std::nullopt : std::optional<LauncherAnnouncement>(unseen.first()));
}

void LauncherStore::acknowledgePendingAnnouncement()
{
    if (!m_pendingAnnouncement)
        return;
    m_seenAnnouncementIDs.insert(m_pendingAnnouncement->id);
    if (m_c.userDefaults) {
        QStringList ids(m_seenAnnouncementIDs.cbegin(), m_seenAnnouncementIDs.cend());
        ids.sort();
        m_c.userDefaults->setStringArray(seenAnnouncementIDsKey, ids);
    }
    setPendingAnnouncement(std::nullopt);
    updatePendingAnnouncement();
}

void LauncherStore::selectPendingAnnouncementApp()
{
    if (!m_pendingAnnouncement)
        return;
    const QString appId = m_pendingAnnouncement->appId;
    for (const AppManifestItem &app : std::as_const(m_manifest.apps)) {
        if (app.id == appId && ManifestPolicy::isVisible(app, m_includeBetaApps)) {
            setSelectedAppID(app.id);
            break;
        }
    }
    acknowledgePendingAnnouncement();
}
