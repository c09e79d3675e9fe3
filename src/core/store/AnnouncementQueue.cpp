#include "AnnouncementQueue.h"

#include "SetIfChanged.h"
#include "VariantValues.h"
#include "catalog/ManifestPolicy.h"
#include "system/SystemLayers.h"

AnnouncementQueue::AnnouncementQueue(std::shared_ptr<UserDefaults> defaults, QObject *parent)
    : QObject(parent), m_defaults(std::move(defaults))
{
    if (!m_defaults)
        return;
    const QVariant seen = m_defaults->object(seenIDsKey);
    if (seen.typeId() == QMetaType::QStringList) {
        const QStringList ids = seen.toStringList();
        m_seenIDs = QSet<QString>(ids.cbegin(), ids.cend());
    }
}

void AnnouncementQueue::setPending(const std::optional<LauncherAnnouncement> &announcement)
{
    setIfChanged(this, m_pending, announcement, &AnnouncementQueue::pendingChanged);
}

void AnnouncementQueue::update(const LauncherManifest &manifest)
{
    const QList<LauncherAnnouncement> unseen = ManifestPolicy::unseenAnnouncements(manifest, m_seenIDs);
    setPending(unseen.isEmpty() ? std::nullopt : std::optional<LauncherAnnouncement>(unseen.first()));
}

void AnnouncementQueue::acknowledge(const LauncherManifest &manifest)
{
    if (!m_pending)
        return;
    m_seenIDs.insert(m_pending->id);
    if (m_defaults)
        m_defaults->setStringArray(seenIDsKey, sortedList(m_seenIDs));
    setPending(std::nullopt);
    update(manifest);
}
