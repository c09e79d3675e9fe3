#pragma once

#include "async/WaitForTask.h"
#include "catalog/Models.h"

#include <QCoroTask>
#include <QJsonArray>
#include <exception>
#include <QJsonObject>

namespace Fixtures {

inline const QString validSha = QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");

// An app with a complete release: published when live (or beta with beta shown).
inline AppManifestItem app(const QString &id, AppReleaseStatus status = AppReleaseStatus::live)
{
    AppManifestItem a;
    a.id = id;
    a.name = id.toUpper();
    a.tagline = QStringLiteral("Tagline of ") + id;
    a.category = QStringLiteral("Utilities");
    a.bundleId = QStringLiteral("com.example.") + id;
    a.version = QStringLiteral("1.0.0");
    a.minMacOS = QStringLiteral("13.0");
    a.status = status;
    a.downloadUrl = QUrl(QStringLiteral("https://downloads.example.com/") + id + QStringLiteral(".zip"));
    a.sha256 = validSha;
    a.symbolName = QStringLiteral("app");
    a.accent = AppAccent::blue;
    return a;
}

inline LauncherManifest manifest(const QList<AppManifestItem> &apps, const QList<LauncherAnnouncement> &announcements = {})
{
    LauncherManifest m = SeedManifest::manifest();
    m.apps = apps;
    m.announcements = announcements;
    return m;
}

inline LauncherAnnouncement announcement(const QString &id, const QString &appId = QStringLiteral("a"))
{
    LauncherAnnouncement a;
    a.id = id;
    a.appId = appId;
    a.appName = appId.toUpper();
    a.kind = QStringLiteral("release");
    a.title = QStringLiteral("Title ") + id;
    a.body = QStringLiteral("Body ") + id;
    return a;
}

// A JSON app object with every member, optional ones included.
inline QJsonObject jsonApp(const QString &id, const QString &status = QStringLiteral("live"))
{
    return QJsonObject{
        {QStringLiteral("id"), id},
        {QStringLiteral("name"), QStringLiteral("Name ") + id},
        {QStringLiteral("tagline"), QStringLiteral("Tagline")},
        {QStringLiteral("category"), QStringLiteral("Productivity")},
        {QStringLiteral("bundleId"), QStringLiteral("com.example.") + id},
        {QStringLiteral("version"), QStringLiteral("1.2.3")},
        {QStringLiteral("minMacOS"), QStringLiteral("13.5")},
        {QStringLiteral("status"), status},
        {QStringLiteral("downloadUrl"), QStringLiteral("https://downloads.example.com/") + id + QStringLiteral(".zip")},
        {QStringLiteral("sha256"), validSha},
        {QStringLiteral("sparkleFeedUrl"), QStringLiteral("https://updates.example.com/appcast.xml")},
        {QStringLiteral("symbolName"), QStringLiteral("star")},
        {QStringLiteral("iconUrl"), QStringLiteral("https://cdn.example.com/icon.png")},
        {QStringLiteral("accent"), QStringLiteral("violet")},
        {QStringLiteral("tags"), QJsonArray{QStringLiteral("one"), QStringLiteral("two")}},
        {QStringLiteral("description"), QStringLiteral("Description")},
        {QStringLiteral("privacyNote"), QStringLiteral("Privacy")},
        {QStringLiteral("releaseNotes"),
         QJsonArray{QJsonObject{{QStringLiteral("version"), QStringLiteral("1.2.3")},
                                {QStringLiteral("date"), QStringLiteral("May 2026")},
                                {QStringLiteral("text"), QStringLiteral("Fixes.")}}}},
    };
}

inline QJsonObject jsonAnnouncement(const QString &id)
{
    return QJsonObject{
        {QStringLiteral("id"), id},
        {QStringLiteral("appId"), QStringLiteral("alpha")},
        {QStringLiteral("appName"), QStringLiteral("Alpha")},
        {QStringLiteral("kind"), QStringLiteral("release")},
        {QStringLiteral("title"), QStringLiteral("Alpha 1.2")},
        {QStringLiteral("body"), QStringLiteral("Now with more.")},
        {QStringLiteral("version"), QStringLiteral("1.2.3")},
        {QStringLiteral("publishedAt"), QStringLiteral("2026-05-01T10:00:00+02:00")},
    };
}

// A valid document: three apps and one announcement, every member present.
inline QJsonObject jsonManifest()
{
    return QJsonObject{
        {QStringLiteral("generatedAt"), QStringLiteral("2026-05-03T00:00:00Z")},
        {QStringLiteral("apps"), QJsonArray{jsonApp(QStringLiteral("alpha")), jsonApp(QStringLiteral("beta"), QStringLiteral("beta")),
                                            jsonApp(QStringLiteral("gamma"), QStringLiteral("comingSoon"))}},
        {QStringLiteral("announcements"), QJsonArray{jsonAnnouncement(QStringLiteral("ann-1"))}},
    };
}

}  // namespace Fixtures
