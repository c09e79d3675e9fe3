#pragma once

// The one way tests make catalog records: a complete, installable app a test then changes as it needs.

#include "catalog/Models.h"

#include <QUrl>

namespace TestCatalog {

inline const QString validSha = QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");

// Live or beta apps carry a release (HTTPS download, checksum); announced and
// retired ones carry none. Name: the id capitalised; bundle "com.vantrel.<id>".
inline AppManifestItem app(const QString &id, AppReleaseStatus status = AppReleaseStatus::live,
                           const QString &version = QStringLiteral("1.0.0"))
{
    AppManifestItem a;
    a.id = id;
    a.name = id.left(1).toUpper() + id.mid(1);
    a.tagline = QStringLiteral("Tagline of ") + id;
    a.category = QStringLiteral("Tools");
    a.bundleId = QStringLiteral("com.vantrel.") + id;
    a.version = version;
    a.minMacOS = QStringLiteral("13.0");
    a.status = status;
    if (status == AppReleaseStatus::live || status == AppReleaseStatus::beta) {
        a.downloadUrl = QUrl(QStringLiteral("https://downloads.example.com/") + id + QStringLiteral(".zip"));
        a.sha256 = validSha;
    }
    a.symbolName = QStringLiteral("star");
    return a;
}

// An app whose release is the given archive (any URL the installer accepts).
inline AppManifestItem release(const QString &id, const QUrl &downloadUrl, const QString &sha256,
                               const QString &version = QStringLiteral("1.0.0"))
{
    AppManifestItem a = app(id, AppReleaseStatus::live, version);
    a.downloadUrl = downloadUrl;
    a.sha256 = sha256;
    // Any running kernel meets it (the Linux system version is the kernel's).
    a.minMacOS = QStringLiteral("1");
    return a;
}

inline LauncherAnnouncement announcement(const QString &id, const QString &appId)
{
    LauncherAnnouncement a;
    a.id = id;
    a.appId = appId;
    a.appName = appId.left(1).toUpper() + appId.mid(1);
    a.kind = QStringLiteral("release");
    a.title = QStringLiteral("Title ") + id;
    a.body = QStringLiteral("Body ") + id;
    return a;
}

// Their ids (apps or announcements), in order.
template<typename Item>
QStringList ids(const QList<Item> &items)
{
    QStringList result;
    for (const Item &item : items)
        result.append(item.id);
    return result;
}

inline LauncherManifest manifest(const QList<AppManifestItem> &apps, const QList<LauncherAnnouncement> &announcements = {})
{
    LauncherManifest m = SeedManifest::manifest();
    m.apps = apps;
    m.announcements = announcements;
    return m;
}

// The same catalog as a maker signs it: a sequence and an expiry (by default in 14 days).
inline LauncherManifest fresh(LauncherManifest m, qint64 sequence, const QDateTime &expiresAt = {})
{
    m.sequence = sequence;
    m.expiresAt = expiresAt.isValid() ? expiresAt : QDateTime::currentDateTimeUtc().addDays(14);
    return m;
}

}  // namespace TestCatalog
