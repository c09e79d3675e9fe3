#include "Models.h"

namespace AppReleaseStatusUtil {

const char *labelId(AppReleaseStatus status)
{
    switch (status) {
    case AppReleaseStatus::beta: return "statusBeta";
    case AppReleaseStatus::live: return "statusLive";
    case AppReleaseStatus::comingSoon: return "statusComingSoon";
    case AppReleaseStatus::retired: return "statusRetired";
    }
    return "statusLive";
}

QString label(AppReleaseStatus status)
{
    return qtTrId(labelId(status));
}

}  // namespace AppReleaseStatusUtil

namespace {
template<typename T>
QVariant optionalValue(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}
}  // namespace

QVariant AppManifestItem::downloadUrlValue() const { return optionalValue(downloadUrl); }
QVariant AppManifestItem::sha256Value() const { return optionalValue(sha256); }
QVariant AppManifestItem::sparkleFeedUrlValue() const { return optionalValue(sparkleFeedUrl); }
QVariant AppManifestItem::iconUrlValue() const { return optionalValue(iconUrl); }

QVariantList AppManifestItem::releaseNotesValue() const
{
    QVariantList list;
    list.reserve(releaseNotes.size());
    for (const ReleaseNote &note : releaseNotes)
        list.append(QVariant::fromValue(note));
    return list;
}

QVariant LauncherAnnouncement::versionValue() const { return optionalValue(version); }
QVariant LauncherAnnouncement::publishedAtValue() const { return optionalValue(publishedAt); }

QVariantList LauncherManifest::appsValue() const
{
    QVariantList list;
    list.reserve(apps.size());
    for (const AppManifestItem &app : apps)
        list.append(QVariant::fromValue(app));
    return list;
}

QVariantList LauncherManifest::announcementsValue() const
{
    QVariantList list;
    list.reserve(announcements.size());
    for (const LauncherAnnouncement &a : announcements)
        list.append(QVariant::fromValue(a));
    return list;
}

const AppManifestItem *LauncherManifest::findApp(const QString &id) const
{
    for (const AppManifestItem &app : apps) {
        if (app.id == id)
            return &app;
    }
    return nullptr;
}

namespace SeedManifest {

const QList<AppManifestItem> &apps()
{
    static const QList<AppManifestItem> empty;
    return empty;
}

const LauncherManifest &manifest()
{
    static const LauncherManifest seed{QDateTime::fromSecsSinceEpoch(1777766400, Qt::UTC), apps(), {}};
    return seed;
}

}  // namespace SeedManifest
