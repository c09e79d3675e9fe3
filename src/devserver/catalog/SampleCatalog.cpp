#include "SampleCatalog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace {

const QStringList kStatuses = {QStringLiteral("beta"), QStringLiteral("live"), QStringLiteral("comingSoon"),
                               QStringLiteral("retired")};
const QStringList kAccents = {QStringLiteral("lime"), QStringLiteral("violet"), QStringLiteral("amber"),
                              QStringLiteral("blue"), QStringLiteral("cyan")};
const QStringList kLanguages = {QStringLiteral("en"), QStringLiteral("pl"), QStringLiteral("de")};

[[noreturn]] void fail(const QString &where, const QString &what)
{
    throw SampleCatalogError((where + QStringLiteral(": ") + what).toStdString());
}

QString requiredString(const QJsonObject &object, const QString &key, const QString &where)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        fail(where, QStringLiteral("\"%1\" must be a string").arg(key));
    return value.toString();
}

std::optional<QString> optionalString(const QJsonObject &object, const QString &key, const QString &where)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    if (!value.isString() || value.toString().isEmpty())
        fail(where, QStringLiteral("\"%1\" must be a non-empty string or null").arg(key));
    return value.toString();
}

LocalizedText localized(const QJsonObject &object, const QString &key, const QString &where)
{
    const QJsonValue value = object.value(key);
    if (!value.isObject())
        fail(where, QStringLiteral("\"%1\" must be an object with en, pl and de").arg(key));
    const QJsonObject texts = value.toObject();
    const QString inner = where + QLatin1Char('.') + key;
    return {requiredString(texts, QStringLiteral("en"), inner), requiredString(texts, QStringLiteral("pl"), inner),
            requiredString(texts, QStringLiteral("de"), inner)};
}

QJsonValue optionalValue(const std::optional<QString> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

SampleRelease parseRelease(const QJsonObject &object, const QString &where)
{
    SampleRelease release;
    release.status = requiredString(object, QStringLiteral("status"), where);
    if (!kStatuses.contains(release.status))
        fail(where, QStringLiteral("unknown status \"%1\"").arg(release.status));
    release.version = requiredString(object, QStringLiteral("version"), where);
    release.minMacOS = requiredString(object, QStringLiteral("minMacOS"), where);
    release.download = object.value(QStringLiteral("download")).toBool(false);
    const QString checksum = object.value(QStringLiteral("checksum")).toString(QStringLiteral("served"));
    if (checksum != QLatin1String("served") && checksum != QLatin1String("malformed"))
        fail(where, QStringLiteral("\"checksum\" must be served or malformed"));
    release.malformedChecksum = checksum == QLatin1String("malformed");
    if (release.download && release.version.trimmed().isEmpty())
        fail(where, QStringLiteral("a downloadable release needs a version"));
    return release;
}

SampleApp parseApp(const QJsonObject &object, const QString &where)
{
    SampleApp app;
    app.id = requiredString(object, QStringLiteral("id"), where);
    app.name = requiredString(object, QStringLiteral("name"), where);
    app.bundleId = requiredString(object, QStringLiteral("bundleId"), where);
    app.executable = requiredString(object, QStringLiteral("executable"), where);
    // The executable name becomes a file name inside the bundle.
    if (app.executable.isEmpty() || app.executable.contains(QLatin1Char('/')) || app.executable.startsWith(QLatin1Char('.')))
        fail(where, QStringLiteral("\"executable\" must be a plain file name"));
    if (app.id.isEmpty() || app.id.contains(QLatin1Char('/')) || app.id.contains(QLatin1String("..")))
        fail(where, QStringLiteral("\"id\" must be a plain slug"));
    app.symbolName = requiredString(object, QStringLiteral("symbolName"), where);
    app.accent = requiredString(object, QStringLiteral("accent"), where);
    if (!kAccents.contains(app.accent))
        fail(where, QStringLiteral("unknown accent \"%1\"").arg(app.accent));
    app.sparkleFeedUrl = optionalString(object, QStringLiteral("sparkleFeedUrl"), where);
    app.iconUrl = optionalString(object, QStringLiteral("iconUrl"), where);
    app.category = localized(object, QStringLiteral("category"), where);
    app.tagline = localized(object, QStringLiteral("tagline"), where);
    app.description = localized(object, QStringLiteral("description"), where);
    app.privacyNote = localized(object, QStringLiteral("privacyNote"), where);

    const QJsonObject tags = object.value(QStringLiteral("tags")).toObject();
    for (const QString &language : kLanguages) {
        const QJsonValue list = tags.value(language);
        if (!list.isArray())
            fail(where, QStringLiteral("\"tags.%1\" must be an array").arg(language));
        QStringList values;
        for (const QJsonValue &tag : list.toArray()) {
            if (!tag.isString())
                fail(where, QStringLiteral("\"tags.%1\" must hold strings").arg(language));
            values.append(tag.toString());
        }
        app.tags.insert(language, values);
    }

    const QJsonValue notes = object.value(QStringLiteral("releaseNotes"));
    if (!notes.isArray())
        fail(where, QStringLiteral("\"releaseNotes\" must be an array"));
    int index = 0;
    for (const QJsonValue &note : notes.toArray()) {
        const QString noteWhere = QStringLiteral("%1.releaseNotes[%2]").arg(where).arg(index++);
        if (!note.isObject())
            fail(noteWhere, QStringLiteral("must be an object"));
        const QJsonObject n = note.toObject();
        app.releaseNotes.append({requiredString(n, QStringLiteral("version"), noteWhere),
                                 localized(n, QStringLiteral("date"), noteWhere),
                                 localized(n, QStringLiteral("text"), noteWhere)});
    }

    const QJsonObject catalogs = object.value(QStringLiteral("catalogs")).toObject();
    for (auto it = catalogs.begin(); it != catalogs.end(); ++it) {
        const auto kind = sampleCatalogKindFromName(it.key());
        if (!kind)
            fail(where, QStringLiteral("unknown catalog \"%1\"").arg(it.key()));
        app.catalogs.insert(*kind, parseRelease(it.value().toObject(), where + QStringLiteral(".catalogs.") + it.key()));
    }
    return app;
}

SampleAnnouncement parseAnnouncement(const QJsonObject &object, const QString &where)
{
    SampleAnnouncement announcement;
    announcement.id = requiredString(object, QStringLiteral("id"), where);
    announcement.appId = requiredString(object, QStringLiteral("appId"), where);
    announcement.appName = requiredString(object, QStringLiteral("appName"), where);
    announcement.kind = requiredString(object, QStringLiteral("kind"), where);
    announcement.version = optionalString(object, QStringLiteral("version"), where);
    announcement.publishedAt = optionalString(object, QStringLiteral("publishedAt"), where);
    if (announcement.publishedAt) {
        const QDateTime parsed = QDateTime::fromString(*announcement.publishedAt, Qt::ISODate);
        if (!parsed.isValid() || announcement.publishedAt->contains(QLatin1Char('.')))
            fail(where, QStringLiteral("\"publishedAt\" must be a date-time to the second"));
    }
    announcement.title = localized(object, QStringLiteral("title"), where);
    announcement.body = localized(object, QStringLiteral("body"), where);
    for (const QJsonValue &name : object.value(QStringLiteral("catalogs")).toArray()) {
        const auto kind = sampleCatalogKindFromName(name.toString());
        if (!kind)
            fail(where, QStringLiteral("unknown catalog \"%1\"").arg(name.toString()));
        announcement.catalogs.append(*kind);
    }
    return announcement;
}

}  // namespace

std::optional<SampleCatalogKind> sampleCatalogKindFromName(const QString &name)
{
    if (name == QLatin1String("first"))
        return SampleCatalogKind::first;
    if (name == QLatin1String("multi"))
        return SampleCatalogKind::multi;
    return std::nullopt;
}

QString sampleCatalogKindName(SampleCatalogKind kind)
{
    return kind == SampleCatalogKind::first ? QStringLiteral("first") : QStringLiteral("multi");
}

QString normalizedSampleLanguage(const QString &requested)
{
    return kLanguages.contains(requested) ? requested : QStringLiteral("en");
}

QString LocalizedText::in(const QString &language) const
{
    if (language == QLatin1String("pl"))
        return pl;
    if (language == QLatin1String("de"))
        return de;
    return en;
}

SampleCatalog SampleCatalog::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        fail(QStringLiteral("catalog"), error.errorString());
    if (!document.isObject())
        fail(QStringLiteral("catalog"), QStringLiteral("must be a JSON object"));
    const QJsonObject root = document.object();

    SampleCatalog catalog;
    QSet<QString> ids;
    int index = 0;
    for (const QJsonValue &value : root.value(QStringLiteral("apps")).toArray()) {
        const QString where = QStringLiteral("apps[%1]").arg(index++);
        SampleApp app = parseApp(value.toObject(), where);
        if (ids.contains(app.id))
            fail(where, QStringLiteral("duplicate id \"%1\"").arg(app.id));
        ids.insert(app.id);
        catalog.m_apps.append(app);
    }
    index = 0;
    for (const QJsonValue &value : root.value(QStringLiteral("announcements")).toArray())
        catalog.m_announcements.append(parseAnnouncement(value.toObject(), QStringLiteral("announcements[%1]").arg(index++)));
    if (catalog.m_apps.isEmpty())
        fail(QStringLiteral("catalog"), QStringLiteral("has no apps"));
    return catalog;
}

SampleCatalog SampleCatalog::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    return fromJson(file.readAll());
}

QString SampleCatalog::archiveFileName(const SampleApp &app, const QString &version)
{
    return app.id + QLatin1Char('-') + version + QStringLiteral(".zip");
}

QList<SampleArchive> SampleCatalog::archives() const
{
    QList<SampleArchive> result;
    for (const SampleCatalogKind kind : {SampleCatalogKind::first, SampleCatalogKind::multi}) {
        for (const SampleApp &app : m_apps) {
            const auto release = app.catalogs.constFind(kind);
            if (release == app.catalogs.cend() || !release->download)
                continue;
            const SampleArchive archive{archiveFileName(app, release->version), app.name + QStringLiteral(".app"),
                                        app.name, app.bundleId, release->version, app.executable,
                                        app.symbolName, app.accent};
            if (!result.contains(archive))
                result.append(archive);
        }
    }
    return result;
}

namespace {

// Where a release downloads from and the checksums it is offered with.
struct DownloadFields {
    std::optional<QString> downloadUrl;
    std::optional<QString> sha256;
    std::optional<QString> fileListUrl;
    std::optional<QString> fileListSha256;
};

DownloadFields downloadFields(const SampleApp &app, const SampleRelease &release, const QString &baseUrl,
                              const QMap<QString, QString> &checksums)
{
    DownloadFields fields;
    if (!release.download)
        return fields;
    const QString fileName = SampleCatalog::archiveFileName(app, release.version);
    fields.downloadUrl = baseUrl + QStringLiteral("/releases/") + fileName;
    const QString checksum = checksums.value(fileName);
    if (!checksum.isEmpty())
        fields.sha256 = release.malformedChecksum ? checksum.left(checksum.size() - 1) : checksum;
    else if (release.malformedChecksum)
        fields.sha256 = QStringLiteral("not-a-checksum");
    const QString listName = fileName + QStringLiteral(".files");
    if (checksums.contains(listName) && !release.malformedChecksum) {
        fields.fileListUrl = baseUrl + QStringLiteral("/releases/") + listName;
        fields.fileListSha256 = checksums.value(listName);
    }
    return fields;
}

// The history up to the version this catalog offers.
QJsonArray notesUpTo(const SampleApp &app, const QString &version, const QString &language)
{
    QJsonArray notes;
    bool reached = false;
    for (const SampleReleaseNote &note : app.releaseNotes) {
        reached = reached || note.version == version;
        if (reached)
            notes.append(QJsonObject{{QStringLiteral("version"), note.version},
                                     {QStringLiteral("date"), note.date.in(language)},
                                     {QStringLiteral("text"), note.text.in(language)}});
    }
    return notes;
}

QJsonArray announcementsOf(const QList<SampleAnnouncement> &all, SampleCatalogKind kind, const QString &language)
{
    QJsonArray announcements;
    for (const SampleAnnouncement &a : all) {
        if (!a.catalogs.contains(kind))
            continue;
        QJsonObject object{{QStringLiteral("id"), a.id},           {QStringLiteral("appId"), a.appId},
                           {QStringLiteral("appName"), a.appName}, {QStringLiteral("kind"), a.kind},
                           {QStringLiteral("title"), a.title.in(language)},
                           {QStringLiteral("body"), a.body.in(language)}};
        if (a.version)
            object.insert(QStringLiteral("version"), *a.version);
        if (a.publishedAt)
            object.insert(QStringLiteral("publishedAt"), *a.publishedAt);
        announcements.append(object);
    }
    return announcements;
}

}  // namespace

QJsonObject SampleCatalog::manifest(SampleCatalogKind kind, const QString &requestedLanguage,
                                    const QDateTime &generatedAt, const QString &baseUrl,
                                    const QMap<QString, QString> &checksums) const
{
    const QString language = normalizedSampleLanguage(requestedLanguage);
    QJsonArray apps;
    for (const SampleApp &app : m_apps) {
        const auto found = app.catalogs.constFind(kind);
        if (found == app.catalogs.cend())
            continue;
        const SampleRelease &release = *found;

        const DownloadFields download = downloadFields(app, release, baseUrl, checksums);

        apps.append(QJsonObject{
            {QStringLiteral("id"), app.id},
            {QStringLiteral("name"), app.name},
            {QStringLiteral("tagline"), app.tagline.in(language)},
            {QStringLiteral("category"), app.category.in(language)},
            {QStringLiteral("bundleId"), app.bundleId},
            {QStringLiteral("version"), release.version},
            {QStringLiteral("minMacOS"), release.minMacOS},
            {QStringLiteral("status"), release.status},
            {QStringLiteral("downloadUrl"), optionalValue(download.downloadUrl)},
            {QStringLiteral("sha256"), optionalValue(download.sha256)},
            {QStringLiteral("fileListUrl"), optionalValue(download.fileListUrl)},
            {QStringLiteral("fileListSha256"), optionalValue(download.fileListSha256)},
            {QStringLiteral("sparkleFeedUrl"), optionalValue(app.sparkleFeedUrl)},
            {QStringLiteral("symbolName"), app.symbolName},
            {QStringLiteral("iconUrl"), optionalValue(app.iconUrl)},
            {QStringLiteral("accent"), app.accent},
            {QStringLiteral("tags"), QJsonArray::fromStringList(app.tags.value(language))},
            {QStringLiteral("description"), app.description.in(language)},
            {QStringLiteral("privacyNote"), app.privacyNote.in(language)},
            {QStringLiteral("releaseNotes"), notesUpTo(app, release.version, language)},
        });
    }

    const QJsonArray announcements = announcementsOf(m_announcements, kind, language);

    const QDateTime stamp = generatedAt.toUTC();
    const QDateTime seconds = QDateTime::fromSecsSinceEpoch(stamp.toSecsSinceEpoch(), Qt::UTC);
    return QJsonObject{{QStringLiteral("generatedAt"), seconds.toString(Qt::ISODate)},
                       {QStringLiteral("apps"), apps},
                       {QStringLiteral("announcements"), announcements}};
}
