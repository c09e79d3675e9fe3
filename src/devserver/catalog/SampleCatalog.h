#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

// The development service's sample catalog: a source document with every
// text in English, Polish and German and two catalogs ("first", "multi"),
// turned into a manifest document for one catalog and one language.

enum class SampleCatalogKind { first, multi };

std::optional<SampleCatalogKind> sampleCatalogKindFromName(const QString &name);
QString sampleCatalogKindName(SampleCatalogKind kind);

class SampleCatalogError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One text in the three languages; unknown languages read as English.
struct LocalizedText {
    QString en, pl, de;
    QString in(const QString &language) const;
};

struct SampleReleaseNote {
    QString version;
    LocalizedText date;
    LocalizedText text;
};

// How an app appears in one catalog.
struct SampleRelease {
    QString status;
    QString version;
    QString minMacOS;
    bool download = false;           // a built archive is served for it
    bool malformedChecksum = false;  // served with a checksum that is not 64 hex digits
};

struct SampleApp {
    QString id;
    QString name;
    QString bundleId;
    QString executable;
    QString symbolName;
    QString accent;
    std::optional<QString> sparkleFeedUrl;
    std::optional<QString> iconUrl;
    LocalizedText category, tagline, description, privacyNote;
    QMap<QString, QStringList> tags;  // language -> tags
    QList<SampleReleaseNote> releaseNotes;  // newest first
    QMap<SampleCatalogKind, SampleRelease> catalogs;
};

struct SampleAnnouncement {
    QString id, appId, appName, kind;
    std::optional<QString> version;
    std::optional<QString> publishedAt;
    LocalizedText title, body;
    QList<SampleCatalogKind> catalogs;
};

// One archive the build makes and the service serves.
struct SampleArchive {
    QString fileName;     // "inkwell-1.1.0.zip"
    QString bundleName;   // "Inkwell.app"
    QString appName;
    QString bundleId;
    QString version;
    QString executable;
    QString symbolName;  // the tile's look, drawn into the bundle's icon
    QString accent;

    friend bool operator==(const SampleArchive &, const SampleArchive &) = default;
};

class SampleCatalog
{
public:
    // Throws SampleCatalogError naming what is wrong with the source document.
    static SampleCatalog fromJson(const QByteArray &json);
    static SampleCatalog fromFile(const QString &path);

    const QList<SampleApp> &apps() const { return m_apps; }
    const QList<SampleAnnouncement> &announcements() const { return m_announcements; }

    // Every archive any catalog downloads, each once, in catalog order.
    QList<SampleArchive> archives() const;

    static QString archiveFileName(const SampleApp &app, const QString &version);

    // The manifest document. checksums maps archive file names to their
    // SHA-256; an archive without one is listed without a checksum. The
    // archive's file list ("NAME.zip.files") is offered when it has one too.
    QJsonObject manifest(SampleCatalogKind kind, const QString &language, const QDateTime &generatedAt,
                         const QString &baseUrl, const QMap<QString, QString> &checksums) const;

private:
    QList<SampleApp> m_apps;
    QList<SampleAnnouncement> m_announcements;
};

// "en", "pl" or "de"; anything else is English.
QString normalizedSampleLanguage(const QString &requested);
