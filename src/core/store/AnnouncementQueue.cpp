#include "AnnouncementQueue.h"

#include "SetIfChanged.h"
#include "VariantValues.h"
#include "catalog/ManifestPolicy.h"
#include "system/SystemLayers.h"

namespace {

QSet<QString> storedSeenIDs(const UserDefaults &defaults)
{
    const QVariant seen = defaults.object(AnnouncementQueue::seenIDsKey);
    if (seen.typeId() != QMetaType::QStringList)
        return {};
    const QStringList ids = seen.toStringList();
    return QSet<QString>(ids.cbegin(), ids.cend());
}

}  // namespace

AnnouncementQueue::AnnouncementQueue(std::shared_ptr<UserDefaults> defaults, QObject *parent)
    : QObject(parent), m_defaults(std::move(defaults))
{
    if (m_defaults)
        m_seenIDs = storedSeenIDs(*m_defaults);
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
    // Another process may have acknowledged others meanwhile: keep theirs too.
    if (m_defaults) {
        m_defaults->change([this](UserDefaults &defaults) {
            m_seenIDs.unite(storedSeenIDs(defaults));
            defaults.setStringArray(seenIDsKey, sortedList(m_seenIDs));
        });
    }
    setPending(std::nullopt);
    update(manifest);
}
