#include "CatalogRules.h"

#include "catalog/ManifestPolicy.h"
#include "catalog/Models.h"
#include "catalog/VersionComparison.h"

CatalogRules::CatalogRules(QObject *parent) : QObject(parent) {}

namespace {
std::optional<AppManifestItem> appFrom(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<AppManifestItem>())
        return value.value<AppManifestItem>();
    return std::nullopt;
}
}  // namespace

bool CatalogRules::hasPublishedRelease(const QVariant &value) const
{
    const auto app = appFrom(value);
    return app && ManifestPolicy::hasPublishedRelease(*app);
}

QString CatalogRules::updateFeed(const QVariant &value) const
{
    const auto app = appFrom(value);
    if (!app || !app->sparkleFeedUrl)
        return {};
    const QUrl &url = *app->sparkleFeedUrl;
    const QString host = url.host();
    if (!host.isEmpty() && host.endsWith(QLatin1String(".local")))
        return {};
    return url.toString(QUrl::FullyEncoded);
}

QString CatalogRules::releaseStatusId(int status) const
{
    return QString::fromLatin1(AppReleaseStatusUtil::labelId(AppReleaseStatus(status)));
}

const char *CatalogRules::badgeId(const AppManifestItem &app)
{
    if (app.status != AppReleaseStatus::comingSoon && isPreviewOnly(app))
        return "comingSoonTileStatus";
    return AppReleaseStatusUtil::labelId(app.status);
}

QString CatalogRules::badgeTextId(const QVariant &value) const
{
    const auto app = appFrom(value);
    return app ? QString::fromLatin1(badgeId(*app)) : QString();
}

bool CatalogRules::isNewerVersion(const QString &candidate, const QString &than) const
{
    return !candidate.isEmpty() && !than.isEmpty()
        && compareVersions(candidate, than) == ComparisonResult::orderedDescending;
}

bool CatalogRules::isPreviewOnly(const AppManifestItem &app)
{
    return app.status == AppReleaseStatus::comingSoon || !ManifestPolicy::hasPublishedRelease(app);
}
