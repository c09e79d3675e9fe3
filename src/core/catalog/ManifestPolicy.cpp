#include "ManifestPolicy.h"

#include "codec/EnumNames.h"

#include <algorithm>
#include <iterator>

namespace ManifestPolicy {

namespace {

// The catalog's apps that pass, in catalog order.
template<typename Predicate>
QList<AppManifestItem> appsWhere(const LauncherManifest &manifest, Predicate passes)
{
    QList<AppManifestItem> result;
    result.reserve(manifest.apps.size());
    std::copy_if(manifest.apps.cbegin(), manifest.apps.cend(), std::back_inserter(result), passes);
    return result;
}

}  // namespace

bool isVisible(const AppManifestItem &app, bool includeBeta)
{
    if (app.status == AppReleaseStatus::retired)
        return false;
    if (!includeBeta && app.status == AppReleaseStatus::beta)
        return false;
    return true;
}

bool isPublished(const AppManifestItem &app, bool includeBeta)
{
    return isVisible(app, includeBeta) && hasPublishedRelease(app);
}

std::optional<AppManifestItem> firstVisibleApp(const LauncherManifest &manifest, bool includeBeta,
                                               const std::optional<QString> &id)
{
    for (const AppManifestItem &app : manifest.apps) {
        if (isVisible(app, includeBeta) && (!id || app.id == *id))
            return app;
    }
    return std::nullopt;
}

std::optional<NotListed> whyNotListed(const LauncherManifest &manifest, bool includeBeta, const QString &appId)
{
    const AppManifestItem *app = manifest.findApp(appId);
    if (!app)
        return NotListed::notInCatalog;
    if (app->status == AppReleaseStatus::retired)
        return NotListed::retired;
    if (!isVisible(*app, includeBeta))
        return NotListed::betaHidden;
    return std::nullopt;
}

const char *notListedKey(NotListed reason)
{
    switch (reason) {
    case NotListed::notInCatalog: return "notListedNotInCatalog";
    case NotListed::retired: return "notListedRetired";
    case NotListed::betaHidden: return "notListedBetaHidden";
    }
    return "notListedNotInCatalog";
}

const char *notListedBadgeKey(NotListed reason)
{
    switch (reason) {
    case NotListed::notInCatalog: return "notListedNotInCatalogBadge";
    case NotListed::retired: return "notListedRetiredBadge";
    case NotListed::betaHidden: return "notListedBetaHiddenBadge";
    }
    return "notListedNotInCatalogBadge";
}

std::optional<QString> defaultSelection(const LauncherManifest &manifest, bool includeBeta)
{
    for (const AppManifestItem &app : manifest.apps) {
        if (isPublished(app, includeBeta))
            return app.id;
    }
    const std::optional<AppManifestItem> visible = firstVisibleApp(manifest, includeBeta);
    return visible ? std::optional<QString>(visible->id) : std::nullopt;
}

QList<AppManifestItem> visibleApps(const LauncherManifest &manifest, bool includeBeta)
{
    return appsWhere(manifest, [includeBeta](const AppManifestItem &app) { return isVisible(app, includeBeta); });
}

QList<AppManifestItem> publishedApps(const LauncherManifest &manifest, bool includeBeta)
{
    return appsWhere(manifest, [includeBeta](const AppManifestItem &app) { return isPublished(app, includeBeta); });
}

bool hasPublishedApps(const LauncherManifest &manifest, bool includeBeta)
{
    return std::any_of(manifest.apps.cbegin(), manifest.apps.cend(),
                       [includeBeta](const AppManifestItem &app) { return isPublished(app, includeBeta); });
}

QList<AppManifestItem> comingSoonApps(const LauncherManifest &manifest)
{
    return appsWhere(manifest, [](const AppManifestItem &app) {
        return isVisible(app, true) && app.status == AppReleaseStatus::comingSoon;
    });
}

CatalogLifecycle catalogLifecycle(const LauncherManifest &manifest, bool includeBeta)
{
    CatalogLifecycle lifecycle;
    const QList<AppManifestItem> visible = visibleApps(manifest, includeBeta);
    if (visible.isEmpty())
        return lifecycle;
    QList<AppManifestItem> published;
    for (const AppManifestItem &app : visible) {
        if (hasPublishedRelease(app))
            published.append(app);
        if (app.status == AppReleaseStatus::comingSoon)
            lifecycle.comingSoonApps.append(app);
    }
    if (published.isEmpty()) {
        lifecycle.kind = CatalogLifecycleKind::comingSoonOnly;
        return lifecycle;
    }
    lifecycle.kind = published.size() == 1 ? CatalogLifecycleKind::firstPublishedApp
                                           : CatalogLifecycleKind::multiAppCatalog;
    lifecycle.featuredApp = published.first();
    lifecycle.publishedApps = published;
    return lifecycle;
}

bool hasPublishedRelease(const AppManifestItem &app)
{
    if (app.status != AppReleaseStatus::beta && app.status != AppReleaseStatus::live)
        return false;
    if (!app.downloadUrl)
        return false;
    if (!app.sha256 || !isValidSha256(*app.sha256))
        return false;
    if (app.version.trimmed().isEmpty())
        return false;
    return macOSVersion(app.minMacOS).has_value();
}

InstallCheck installCheck(const AppManifestItem &app, const OperatingSystemVersion &running)
{
    if (!hasPublishedRelease(app))
        return InstallCheck::noPublishedRelease;
    if (app.status == AppReleaseStatus::comingSoon || app.status == AppReleaseStatus::retired)
        return InstallCheck::notReleased;
    const std::optional<OperatingSystemVersion> minimum = macOSVersion(app.minMacOS);
    if (!minimum || running < *minimum)
        return InstallCheck::systemTooOld;
    return InstallCheck::passes;
}

QList<LauncherAnnouncement> unseenAnnouncements(const LauncherManifest &manifest, const QSet<QString> &seenIDs)
{
    QList<LauncherAnnouncement> result;
    for (const LauncherAnnouncement &a : manifest.announcements) {
        if (!seenIDs.contains(a.id))
            result.append(a);
    }
    return result;
}

namespace {

std::optional<qint64> parseSignedInteger(const QString &piece)
{
    if (piece.isEmpty())
        return std::nullopt;
    int start = 0;
    if (piece.at(0) == QLatin1Char('+') || piece.at(0) == QLatin1Char('-'))
        start = 1;
    if (start == piece.size())
        return std::nullopt;
    for (int i = start; i < piece.size(); ++i) {
        const QChar c = piece.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    // toLongLong accepts a leading sign and rejects values beyond 64 bits.
    const qint64 value = piece.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<OperatingSystemVersion> macOSVersion(const QString &text)
{
    const QStringList pieces = text.trimmed().split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (pieces.isEmpty() || pieces.size() > 3)
        return std::nullopt;
    qint64 parts[3] = {0, 0, 0};
    for (int i = 0; i < pieces.size(); ++i) {
        const auto value = parseSignedInteger(pieces.at(i));
        if (!value)
            return std::nullopt;
        parts[i] = *value;
    }
    return OperatingSystemVersion{parts[0], parts[1], parts[2]};
}

bool isValidSha256(const QString &text)
{
    // Fast path: 64 hexadecimal digits are 64 code units and 64 graphemes.
    if (text.size() != 64)
        return false;
    for (const QChar c : text) {
        const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!hex)
            return false;
    }
    return true;
}

}  // namespace ManifestPolicy
