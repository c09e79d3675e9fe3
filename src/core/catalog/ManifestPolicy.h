#pragma once

#include "Models.h"
#include "system/OperatingSystemVersion.h"

#include <QSet>
#include <optional>

namespace CatalogLifecycleEnums {
Q_NAMESPACE
enum class CatalogLifecycleKind { empty, comingSoonOnly, firstPublishedApp, multiAppCatalog };
Q_ENUM_NS(CatalogLifecycleKind)
}  // namespace CatalogLifecycleEnums

using CatalogLifecycleEnums::CatalogLifecycleKind;

struct CatalogLifecycle {
    CatalogLifecycleKind kind = CatalogLifecycleKind::empty;
    QList<AppManifestItem> publishedApps;
    QList<AppManifestItem> comingSoonApps;
    std::optional<AppManifestItem> featuredApp;

    friend bool operator==(const CatalogLifecycle &, const CatalogLifecycle &) = default;
};

namespace CatalogListingEnums {
Q_NAMESPACE
// Why an app is not among a catalog's visible apps.
enum class NotListed { notInCatalog, retired, betaHidden };
Q_ENUM_NS(NotListed)
}  // namespace CatalogListingEnums

using CatalogListingEnums::NotListed;

// Pure rules over a manifest. Every list keeps the manifest's order.
namespace ManifestPolicy {

QList<AppManifestItem> visibleApps(const LauncherManifest &manifest, bool includeBeta);
QList<AppManifestItem> publishedApps(const LauncherManifest &manifest, bool includeBeta);
// publishedApps(...) is not empty, without copying a catalog to say so.
bool hasPublishedApps(const LauncherManifest &manifest, bool includeBeta);
QList<AppManifestItem> comingSoonApps(const LauncherManifest &manifest);
CatalogLifecycle catalogLifecycle(const LauncherManifest &manifest, bool includeBeta);
bool hasPublishedRelease(const AppManifestItem &app);
QList<LauncherAnnouncement> unseenAnnouncements(const LauncherManifest &manifest, const QSet<QString> &seenIDs);
std::optional<OperatingSystemVersion> macOSVersion(const QString &text);
bool isValidSha256(const QString &text);

// The release checks an install must pass, in the order they are made: a
// published release, a status that is neither coming soon nor retired, and a
// minimum system version that parses and is not newer than the running one.
enum class InstallCheck { passes, noPublishedRelease, notReleased, systemTooOld };
InstallCheck installCheck(const AppManifestItem &app, const OperatingSystemVersion &running);

// Predicates behind the lists, for callers that walk a manifest themselves.
bool isVisible(const AppManifestItem &app, bool includeBeta);
bool isPublished(const AppManifestItem &app, bool includeBeta);

// The first visible app, or with an id the first visible app that has it: an
// id of a hidden or absent app yields nothing rather than another app.
std::optional<AppManifestItem> firstVisibleApp(const LauncherManifest &manifest, bool includeBeta,
                                               const std::optional<QString> &id = std::nullopt);
// Why the app with this id is not visible; nullopt when it is.
std::optional<NotListed> whyNotListed(const LauncherManifest &manifest, bool includeBeta, const QString &appId);
// The message ids that say so: a sentence ("notListedBetaHidden"), and a
// tile's badge ("notListedBetaHiddenBadge").
const char *notListedKey(NotListed reason);
const char *notListedBadgeKey(NotListed reason);

// The app to show when the selection is lost: the first published app, else
// the first visible one.
std::optional<QString> defaultSelection(const LauncherManifest &manifest, bool includeBeta);

}  // namespace ManifestPolicy
