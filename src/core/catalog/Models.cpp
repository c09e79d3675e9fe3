#include "Models.h"

#include "i18n/VantrelCopy.h"

namespace AppReleaseStatusUtil {

QString rawValue(AppReleaseStatus status)
{
    switch (status) {
    case AppReleaseStatus::beta: return QStringLiteral("beta");
    case AppReleaseStatus::live: return QStringLiteral("live");
    case AppReleaseStatus::comingSoon: return QStringLiteral("comingSoon");
    case AppReleaseStatus::retired: return QStringLiteral("retired");
    }
    return {};
}

std::optional<AppReleaseStatus> fromRawValue(const QString &raw)
{
    for (AppReleaseStatus s : allCases()) {
        if (rawValue(s) == raw)
            return s;
    }
    return std::nullopt;
}

const QList<AppReleaseStatus> &allCases()
{
    static const QList<AppReleaseStatus> cases{AppReleaseStatus::beta, AppReleaseStatus::live,
                                               AppReleaseStatus::comingSoon, AppReleaseStatus::retired};
    return cases;
}

QString label(AppReleaseStatus status, VantrelLocale locale)
{
    switch (status) {
    case AppReleaseStatus::beta: return VantrelCopy::text(CopyKey::statusBeta, locale);
    case AppReleaseStatus::live: return VantrelCopy::text(CopyKey::statusLive, locale);
    case AppReleaseStatus::comingSoon: return VantrelCopy::text(CopyKey::statusComingSoon, locale);
    case AppReleaseStatus::retired: return VantrelCopy::text(CopyKey::statusRetired, locale);
    }
    return {};
}

}  // namespace AppReleaseStatusUtil

namespace AppAccentUtil {

QString rawValue(AppAccent accent)
{
    switch (accent) {
    case AppAccent::lime: return QStringLiteral("lime");
    case AppAccent::violet: return QStringLiteral("violet");
    case AppAccent::amber: return QStringLiteral("amber");
    case AppAccent::blue: return QStringLiteral("blue");
    case AppAccent::cyan: return QStringLiteral("cyan");
    }
    return {};
}

std::optional<AppAccent> fromRawValue(const QString &raw)
{
    for (AppAccent a : allCases()) {
        if (rawValue(a) == raw)
            return a;
    }
    return std::nullopt;
}

const QList<AppAccent> &allCases()
{
    static const QList<AppAccent> cases{AppAccent::lime, AppAccent::violet, AppAccent::amber,
                                        AppAccent::blue, AppAccent::cyan};
    return cases;
}

}  // namespace AppAccentUtil

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
