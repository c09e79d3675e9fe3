#include "CatalogRules.h"

#include "catalog/ManifestPolicy.h"
#include "catalog/Models.h"

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

bool CatalogRules::isPending(const QVariant &value) const
{
    const auto app = appFrom(value);
    return !app || app->status == AppReleaseStatus::comingSoon || !ManifestPolicy::hasPublishedRelease(*app);
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

QString CatalogRules::releaseStatusId(const QString &status) const
{
    const auto s = AppReleaseStatusUtil::fromRawValue(status);
    return QString::fromLatin1(AppReleaseStatusUtil::labelId(s.value_or(AppReleaseStatus::live)));
}
