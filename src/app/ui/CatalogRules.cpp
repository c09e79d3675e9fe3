#include "CatalogRules.h"

#include "catalog/ManifestPolicy.h"
#include "catalog/Models.h"
#include "catalog/VersionComparison.h"
#include "i18n/VantrelCopy.h"

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
    return !app || isPreviewOnly(*app);
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

QString CatalogRules::releaseStatusLabel(const QString &status, const QString &locale) const
{
    const auto s = AppReleaseStatusUtil::fromRawValue(status);
    const auto l = VantrelLocaleUtil::fromRawValue(locale);
    return s ? AppReleaseStatusUtil::label(*s, l.value_or(VantrelLocale::en)) : status;
}

QString CatalogRules::badgeLabel(const AppManifestItem &app, VantrelLocale locale)
{
    if (app.status != AppReleaseStatus::comingSoon && isPreviewOnly(app))
        return VantrelCopy::text(CopyKey::comingSoonTileStatus, locale);
    return AppReleaseStatusUtil::label(app.status, locale);
}

QString CatalogRules::badgeText(const QVariant &value, const QString &locale) const
{
    const auto app = appFrom(value);
    return app ? badgeLabel(*app, VantrelLocaleUtil::fromRawValue(locale).value_or(VantrelLocale::en)) : QString();
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
