#pragma once

#include "catalog/Models.h"

#include <QObject>
#include <QSet>
#include <memory>
#include <optional>

class UserDefaults;

// The catalog's announcements the user has not acknowledged yet, one pending
// at a time. Acknowledged ids only grow and are kept in the user defaults as
// a sorted string array.
class AnnouncementQueue : public QObject
{
    Q_OBJECT

public:
    static inline const QString seenIDsKey = QStringLiteral("vantrel.seenAnnouncementIDs");

    explicit AnnouncementQueue(std::shared_ptr<UserDefaults> defaults, QObject *parent = nullptr);

    const std::optional<LauncherAnnouncement> &pending() const { return m_pending; }
    const QSet<QString> &seenIDs() const { return m_seenIDs; }

    // The first unseen announcement of manifest becomes pending (or none).
    void update(const LauncherManifest &manifest);
    // Remembers the pending one as seen; the next unseen one follows.
    void acknowledge(const LauncherManifest &manifest);

Q_SIGNALS:
    void pendingChanged();

private:
    void setPending(const std::optional<LauncherAnnouncement> &announcement);

    std::shared_ptr<UserDefaults> m_defaults;
    QSet<QString> m_seenIDs;
    std::optional<LauncherAnnouncement> m_pending;
};
