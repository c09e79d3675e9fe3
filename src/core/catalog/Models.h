#pragma once

#include "codec/EnumNames.h"
#include "i18n/VantrelLocale.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <optional>

// Catalog records. Plain immutable values compared over all fields; readable
// from QML as gadgets (optional members read as null when absent).

namespace CatalogEnums {
Q_NAMESPACE

enum class AppReleaseStatus { beta, live, comingSoon, retired };
Q_ENUM_NS(AppReleaseStatus)

enum class AppAccent { lime, violet, amber, blue, cyan };
Q_ENUM_NS(AppAccent)

}  // namespace CatalogEnums

using CatalogEnums::AppAccent;
using CatalogEnums::AppReleaseStatus;

// The coded names of both are the case names (codec/EnumNames.h).
namespace AppReleaseStatusUtil {
// The label's message id (statusBeta, statusLive, ...) and its text in the
// installed language.
const char *labelId(AppReleaseStatus status);
QString label(AppReleaseStatus status);
}  // namespace AppReleaseStatusUtil

struct ReleaseNote {
    Q_GADGET
    Q_PROPERTY(QString version MEMBER version CONSTANT)
    Q_PROPERTY(QString date MEMBER date CONSTANT)
    Q_PROPERTY(QString text MEMBER text CONSTANT)
public:
    QString version;
    QString date;  // free text, never parsed
    QString text;

    friend bool operator==(const ReleaseNote &, const ReleaseNote &) = default;
};

struct AppManifestItem {
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString tagline MEMBER tagline CONSTANT)
    Q_PROPERTY(QString category MEMBER category CONSTANT)
    Q_PROPERTY(QString bundleId MEMBER bundleId CONSTANT)
    Q_PROPERTY(QString version MEMBER version CONSTANT)
    Q_PROPERTY(QString minMacOS MEMBER minMacOS CONSTANT)
    Q_PROPERTY(AppReleaseStatus status MEMBER status CONSTANT)
    Q_PROPERTY(QVariant downloadUrl READ downloadUrlValue CONSTANT)
    Q_PROPERTY(QVariant sha256 READ sha256Value CONSTANT)
    Q_PROPERTY(QVariant sparkleFeedUrl READ sparkleFeedUrlValue CONSTANT)
    Q_PROPERTY(QString symbolName MEMBER symbolName CONSTANT)
    Q_PROPERTY(QVariant iconUrl READ iconUrlValue CONSTANT)
    Q_PROPERTY(AppAccent accent MEMBER accent CONSTANT)
    Q_PROPERTY(QStringList tags MEMBER tags CONSTANT)
    Q_PROPERTY(QString description MEMBER description CONSTANT)
    Q_PROPERTY(QString privacyNote MEMBER privacyNote CONSTANT)
    Q_PROPERTY(QVariantList releaseNotes READ releaseNotesValue CONSTANT)
    Q_PROPERTY(int rolloutPercent MEMBER rolloutPercent CONSTANT)
public:
    QString id;
    QString name;
    QString tagline;
    QString category;
    QString bundleId;
    QString version;
    QString minMacOS;
    AppReleaseStatus status = AppReleaseStatus::live;
    std::optional<QUrl> downloadUrl;
    std::optional<QString> sha256;
    std::optional<QUrl> sparkleFeedUrl;
    // The release's file list and its SHA-256: what an update may fetch
    // piece by piece from the archive instead of whole.
    std::optional<QUrl> fileListUrl;
    std::optional<QString> fileListSha256;
    QString symbolName;
    std::optional<QUrl> iconUrl;
    AppAccent accent = AppAccent::lime;
    QStringList tags;
    QString description;
    QString privacyNote;
    QList<ReleaseNote> releaseNotes;
    // The share of installed copies offered this version as an update, 0 to
    // 100; a first install always gets it.
    int rolloutPercent = 100;

    QVariant downloadUrlValue() const;
    QVariant sha256Value() const;
    QVariant sparkleFeedUrlValue() const;
    QVariant iconUrlValue() const;
    QVariantList releaseNotesValue() const;

    friend bool operator==(const AppManifestItem &, const AppManifestItem &) = default;
};

struct LauncherAnnouncement {
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QString appId MEMBER appId CONSTANT)
    Q_PROPERTY(QString appName MEMBER appName CONSTANT)
    Q_PROPERTY(QString kind MEMBER kind CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QString body MEMBER body CONSTANT)
    Q_PROPERTY(QVariant version READ versionValue CONSTANT)
    Q_PROPERTY(QVariant publishedAt READ publishedAtValue CONSTANT)
public:
    QString id;
    QString appId;
    QString appName;
    QString kind;
    QString title;
    QString body;
    std::optional<QString> version;
    std::optional<QDateTime> publishedAt;  // UTC

    QVariant versionValue() const;
    QVariant publishedAtValue() const;

    friend bool operator==(const LauncherAnnouncement &, const LauncherAnnouncement &) = default;
};

struct LauncherManifest {
    Q_GADGET
    Q_PROPERTY(QDateTime generatedAt MEMBER generatedAt CONSTANT)
    Q_PROPERTY(QVariantList apps READ appsValue CONSTANT)
    Q_PROPERTY(QVariantList announcements READ announcementsValue CONSTANT)
public:
    QDateTime generatedAt;  // UTC
    QList<AppManifestItem> apps;
    QList<LauncherAnnouncement> announcements;
    // Freshness, both signed with the body: a number the maker raises with
    // every catalog it signs (0: none or malformed) and when the catalog stops
    // being trusted (invalid: none or malformed).
    qint64 sequence = 0;
    QDateTime expiresAt;  // UTC

    QVariantList appsValue() const;
    QVariantList announcementsValue() const;

    // First app with this id (ids are expected to be unique; the first wins).
    const AppManifestItem *findApp(const QString &id) const;

    friend bool operator==(const LauncherManifest &, const LauncherManifest &) = default;
};

namespace SeedManifest {
// The empty built-in catalog the store starts with.
const QList<AppManifestItem> &apps();
const LauncherManifest &manifest();
}  // namespace SeedManifest

Q_DECLARE_METATYPE(ReleaseNote)
Q_DECLARE_METATYPE(AppManifestItem)
Q_DECLARE_METATYPE(LauncherAnnouncement)
Q_DECLARE_METATYPE(LauncherManifest)
