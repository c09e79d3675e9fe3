#include "ManifestDecoder.h"

#include "codec/EnumNames.h"
#include "codec/JsonTypeName.h"
#include "errors/LauncherError.h"
#include "net/ServiceEndpoints.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUtf8StringView>

#include <algorithm>
#include <cmath>

namespace ManifestDecoder {

namespace {

// Long texts are cut in messages so a hostile document cannot flood the output.
constexpr qsizetype quotedLimit = 80;

QString quoted(const QString &text)
{
    QString shown = text.size() > quotedLimit ? text.left(quotedLimit) : text;
    // JSON string syntax escapes quotes and control characters.
    QByteArray json = QJsonDocument(QJsonArray{shown}).toJson(QJsonDocument::Compact);
    json.chop(1);
    json.remove(0, 1);
    QString result = QString::fromUtf8(json);
    if (text.size() > quotedLimit)
        result.insert(result.size() - 1, QStringLiteral("..."));
    return result;
}

// Where a value sits in the document. Lives on the stack of the code that reads
// the value; the text is only built when an error is raised.
struct Path
{
    const Path *parent = nullptr;
    QLatin1StringView key;  // member of the parent, or empty for an element
    qsizetype index = -1;   // element of the parent array

    Path member(QLatin1StringView name) const { return Path{this, name, -1}; }
    Path element(qsizetype i) const { return Path{this, QLatin1StringView(), i}; }

    QString toString() const
    {
        if (!parent)
            return QString();
        const QString base = parent->toString();
        if (index >= 0)
            return base + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
        return base.isEmpty() ? QString(key) : base + QLatin1Char('.') + key;
    }
};

[[noreturn]] void fail(const Path &path, const QString &message)
{
    const QString where = path.toString();
    throw DecodingError(where.isEmpty() ? message : where + QStringLiteral(": ") + message);
}

[[noreturn]] void failType(const Path &path, const QString &expected, const QJsonValue &found)
{
    fail(path, QStringLiteral("expected %1, found %2").arg(expected, jsonTypeName(found)));
}

// One JSON object and the path that leads to it.
class ObjectReader
{
public:
    ObjectReader(const QJsonValue &value, const Path &path) : m_path(path)
    {
        if (!value.isObject())
            failType(m_path, QStringLiteral("an object"), value);
        m_object = value.toObject();
    }

    QJsonValue required(QLatin1StringView key) const
    {
        QJsonValue value = m_object.value(key);
        if (value.isUndefined())
            fail(m_path, QStringLiteral("missing key \"%1\"").arg(key));
        return value;
    }

    // Absent and null both mean none.
    std::optional<QJsonValue> optional(QLatin1StringView key) const
    {
        QJsonValue value = m_object.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        return value;
    }

    QString string(QLatin1StringView key) const { return asString(required(key), key); }

    std::optional<QString> optionalString(QLatin1StringView key) const
    {
        const auto value = optional(key);
        if (!value)
            return std::nullopt;
        return asString(*value, key);
    }

    QJsonArray array(QLatin1StringView key) const
    {
        const QJsonValue value = required(key);
        if (!value.isArray())
            failType(m_path.member(key), QStringLiteral("an array"), value);
        return value.toArray();
    }

    std::optional<QJsonArray> optionalArray(QLatin1StringView key) const
    {
        const auto value = optional(key);
        if (!value)
            return std::nullopt;
        if (!value->isArray())
            failType(m_path.member(key), QStringLiteral("an array"), *value);
        return value->toArray();
    }

    QDateTime date(QLatin1StringView key) const { return asDate(string(key), key); }

    std::optional<QDateTime> optionalDate(QLatin1StringView key) const
    {
        const auto text = optionalString(key);
        if (!text)
            return std::nullopt;
        return asDate(*text, key);
    }

    std::optional<QUrl> optionalUrl(QLatin1StringView key) const
    {
        const auto text = optionalString(key);
        if (!text)
            return std::nullopt;
        auto url = ServiceEndpoints::parseUrl(*text);
        // QUrl takes a "#" inside the fragment but writes it back as "%23",
        // which then reads as another URL.
        if (!url || text->count(QLatin1Char('#')) > 1)
            fail(m_path.member(key), QStringLiteral("%1 is not a URL").arg(quoted(*text)));
        return url;
    }

    template<typename Enum>
    Enum enumeration(QLatin1StringView key) const
    {
        const QString text = string(key);
        if (const std::optional<Enum> value = EnumNames::fromName<Enum>(text))
            return *value;
        QStringList names;
        for (Enum value : EnumNames::allCases<Enum>())
            names.append(EnumNames::name(value));
        fail(m_path.member(key), QStringLiteral("%1 is not one of %2").arg(quoted(text), names.join(QStringLiteral(", "))));
    }

    // A whole number from low to high; absent or null gives fallback.
    int optionalInteger(QLatin1StringView key, int low, int high, int fallback) const
    {
        const auto value = optional(key);
        if (!value)
            return fallback;
        if (!value->isDouble())
            failType(m_path.member(key), QStringLiteral("a whole number"), *value);
        const double number = value->toDouble();
        if (!(number >= low && number <= high) || number != std::floor(number))
            fail(m_path.member(key), QStringLiteral("%1 is not a whole number from %2 to %3")
                                         .arg(QString::number(number)).arg(low).arg(high));
        return int(number);
    }

    const Path &path() const { return m_path; }

private:
    QString asString(const QJsonValue &value, QLatin1StringView key) const
    {
        if (!value.isString())
            failType(m_path.member(key), QStringLiteral("a string"), value);
        return value.toString();
    }

    QDateTime asDate(const QString &text, QLatin1StringView key) const
    {
        const auto date = parseDate(text);
        if (!date)
            fail(m_path.member(key), QStringLiteral("%1 is not a date-time such as 2026-05-03T00:00:00Z").arg(quoted(text)));
        return *date;
    }

    const Path &m_path;
    QJsonObject m_object;
};

ReleaseNote decodeReleaseNote(const QJsonValue &value, const Path &path)
{
    const ObjectReader r(value, path);
    ReleaseNote note;
    note.version = r.string(QLatin1StringView("version"));
    note.date = r.string(QLatin1StringView("date"));
    note.text = r.string(QLatin1StringView("text"));
    return note;
}

AppManifestItem decodeApp(const QJsonValue &value, const Path &path)
{
    const ObjectReader r(value, path);
    AppManifestItem app;
    app.id = r.string(QLatin1StringView("id"));
    app.name = r.string(QLatin1StringView("name"));
    app.tagline = r.string(QLatin1StringView("tagline"));
    app.category = r.string(QLatin1StringView("category"));
    app.bundleId = r.string(QLatin1StringView("bundleId"));
    app.version = r.string(QLatin1StringView("version"));
    app.minMacOS = r.string(QLatin1StringView("minMacOS"));
    app.status = r.enumeration<AppReleaseStatus>(QLatin1StringView("status"));
    app.downloadUrl = r.optionalUrl(QLatin1StringView("downloadUrl"));
    app.sha256 = r.optionalString(QLatin1StringView("sha256"));
    app.sparkleFeedUrl = r.optionalUrl(QLatin1StringView("sparkleFeedUrl"));
    // Keys older launchers ignore: one that is malformed fails nothing here
    // either; it stays unusable (an invalid URL, an empty text), `vantrel
    // check` names it and the app installs from its whole archive.
    if (const auto list = r.optional(QLatin1StringView("fileListUrl")))
        app.fileListUrl = list->isString() ? ServiceEndpoints::parseUrl(list->toString()).value_or(QUrl()) : QUrl();
    if (const auto sum = r.optional(QLatin1StringView("fileListSha256")))
        app.fileListSha256 = sum->isString() ? sum->toString() : QString();
    app.symbolName = r.string(QLatin1StringView("symbolName"));
    app.iconUrl = r.optionalUrl(QLatin1StringView("iconUrl"));
    app.accent = r.enumeration<AppAccent>(QLatin1StringView("accent"));
    app.rolloutPercent = r.optionalInteger(QLatin1StringView("rolloutPercent"), 0, 100, 100);

    const QLatin1StringView tagsKey("tags");
    const QJsonArray tags = r.array(tagsKey);
    app.tags.reserve(tags.size());
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const QJsonValue tag = tags.at(i);
        if (!tag.isString())
            failType(path.member(tagsKey).element(i), QStringLiteral("a string"), tag);
        app.tags.append(tag.toString());
    }

    app.description = r.string(QLatin1StringView("description"));
    app.privacyNote = r.string(QLatin1StringView("privacyNote"));

    const QLatin1StringView notesKey("releaseNotes");
    const QJsonArray notes = r.array(notesKey);
    const Path notesPath = path.member(notesKey);
    app.releaseNotes.reserve(notes.size());
    for (qsizetype i = 0; i < notes.size(); ++i)
        app.releaseNotes.append(decodeReleaseNote(notes.at(i), notesPath.element(i)));
    return app;
}

LauncherAnnouncement decodeAnnouncement(const QJsonValue &value, const Path &path)
{
    const ObjectReader r(value, path);
    LauncherAnnouncement a;
    a.id = r.string(QLatin1StringView("id"));
    a.appId = r.string(QLatin1StringView("appId"));
    a.appName = r.string(QLatin1StringView("appName"));
    a.kind = r.string(QLatin1StringView("kind"));
    a.title = r.string(QLatin1StringView("title"));
    a.body = r.string(QLatin1StringView("body"));
    a.version = r.optionalString(QLatin1StringView("version"));
    a.publishedAt = r.optionalDate(QLatin1StringView("publishedAt"));
    return a;
}

// Position of a byte offset as line and column, both from 1.
QString location(const QByteArray &json, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, json.size());
    qsizetype line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset; ++i) {
        if (json.at(i) == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return QStringLiteral("line %1, column %2").arg(line).arg(offset - lineStart + 1);
}

// Offset of the first byte that is not part of well-formed UTF-8, or -1.
// Only called on a document that failed the validity check.
qsizetype invalidUtf8Offset(const QByteArray &json)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(json);
    // Each malformed sequence became U+FFFD; one written out in the document is not one of them.
    qsizetype offset = 0;
    qsizetype from = 0;
    for (qsizetype i = text.indexOf(QChar::ReplacementCharacter); i >= 0;
         i = text.indexOf(QChar::ReplacementCharacter, from)) {
        offset += QStringView(text).sliced(from, i - from).toUtf8().size();
        if (!json.sliced(offset).startsWith("\xEF\xBF\xBD"))
            return offset;
        offset += 3;
        from = i + 1;
    }
    return -1;
}

QString formatDate(const QDateTime &date)
{
    return date.toUTC().toString(Qt::ISODate);
}

// Read leniently: without signing keys a catalog may leave them out or get
// them wrong; with keys, a missing value (0 or invalid) refuses the catalog.
void readFreshness(const QJsonObject &root, LauncherManifest &manifest)
{
    // Integers a double holds exactly: up to 2^53.
    constexpr double largestSequence = 9007199254740992.0;
    const QJsonValue sequence = root.value(QLatin1StringView("sequence"));
    const double number = sequence.toDouble(-1);
    if (sequence.isDouble() && number >= 1 && number <= largestSequence && number == std::floor(number))
        manifest.sequence = qint64(number);
    const QJsonValue expiresAt = root.value(QLatin1StringView("expiresAt"));
    if (expiresAt.isString()) {
        const QString text = expiresAt.toString();
        // UTC only, as written by the publish tool.
        if (text.endsWith(QLatin1Char('Z')))
            manifest.expiresAt = ManifestDecoder::parseDate(text).value_or(QDateTime());
    }
}

QString encodeUrl(const QUrl &url)
{
    return url.toString(QUrl::FullyEncoded);
}

}  // namespace

std::optional<QDateTime> parseDate(const QString &text)
{
    // The exact form here (\d is ASCII only); Qt's calendar then checks the
    // date and time and places the instant. Its own ISO parsing would also
    // take fractions of a second, missing seconds, "24:00" and more.
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("(\\d{4})-(\\d\\d)-(\\d\\d)T(\\d\\d):(\\d\\d):(\\d\\d)(?:Z|([+-])(\\d\\d):(\\d\\d))")));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    // ISO year 0 is 1 BC, which Qt's calendar numbers -1.
    const QDate date(number(1) == 0 ? -1 : number(1), number(2), number(3));
    // QTime refuses hour 24 and leap seconds.
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid() || number(8) > 23 || number(9) > 59)
        return std::nullopt;
    const int offset = (number(8) * 3600 + number(9) * 60) * (match.capturedView(7) == u"-" ? -1 : 1);
    return QDateTime(date, time, Qt::OffsetFromUTC, offset).toUTC();
}

LauncherManifest decode(const QByteArray &json)
{
    if (json.size() > maximumDocumentSize)
        throw DecodingError(QStringLiteral("the document is too large (more than %1 MiB)")
                                .arg(maximumDocumentSize / (1024 * 1024)));
    // Same whitespace set as QByteArray::trimmed, without copying the document.
    const bool blank = std::all_of(json.cbegin(), json.cend(), [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    });
    if (blank)
        throw DecodingError(QStringLiteral("the document is empty"));
    // The JSON parser quietly replaces malformed UTF-8; the manifest must be UTF-8.
    if (!QUtf8StringView(json).isValidUtf8())
        throw DecodingError(QStringLiteral("invalid UTF-8 at %1").arg(location(json, invalidUtf8Offset(json))));

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw DecodingError(QStringLiteral("invalid JSON at %1: %2").arg(location(json, error.offset), error.errorString()));
    if (!document.isObject())
        throw DecodingError(QStringLiteral("expected a JSON object at the top level, found %1")
                                .arg(document.isArray() ? QStringLiteral("an array") : QStringLiteral("a value")));

    const Path rootPath;
    const ObjectReader root(document.object(), rootPath);
    LauncherManifest manifest;
    manifest.generatedAt = root.date(QLatin1StringView("generatedAt"));

    readFreshness(document.object(), manifest);

    const QLatin1StringView appsKey("apps");
    const QJsonArray apps = root.array(appsKey);
    const Path appsPath = rootPath.member(appsKey);
    manifest.apps.reserve(apps.size());
    for (qsizetype i = 0; i < apps.size(); ++i)
        manifest.apps.append(decodeApp(apps.at(i), appsPath.element(i)));

    const QLatin1StringView announcementsKey("announcements");
    if (const auto announcements = root.optionalArray(announcementsKey)) {
        const Path announcementsPath = rootPath.member(announcementsKey);
        manifest.announcements.reserve(announcements->size());
        for (qsizetype i = 0; i < announcements->size(); ++i)
            manifest.announcements.append(decodeAnnouncement(announcements->at(i), announcementsPath.element(i)));
    }
    return manifest;
}

QJsonObject encodeApp(const AppManifestItem &app)
{
    QJsonObject o{
        {QStringLiteral("id"), app.id},
        {QStringLiteral("name"), app.name},
        {QStringLiteral("tagline"), app.tagline},
        {QStringLiteral("category"), app.category},
        {QStringLiteral("bundleId"), app.bundleId},
        {QStringLiteral("version"), app.version},
        {QStringLiteral("minMacOS"), app.minMacOS},
        {QStringLiteral("status"), EnumNames::name(app.status)},
        {QStringLiteral("symbolName"), app.symbolName},
        {QStringLiteral("accent"), EnumNames::name(app.accent)},
        {QStringLiteral("tags"), QJsonArray::fromStringList(app.tags)},
        {QStringLiteral("description"), app.description},
        {QStringLiteral("privacyNote"), app.privacyNote},
    };
    if (app.downloadUrl)
        o.insert(QStringLiteral("downloadUrl"), encodeUrl(*app.downloadUrl));
    if (app.sha256)
        o.insert(QStringLiteral("sha256"), *app.sha256);
    if (app.sparkleFeedUrl)
        o.insert(QStringLiteral("sparkleFeedUrl"), encodeUrl(*app.sparkleFeedUrl));
    if (app.fileListUrl)
        o.insert(QStringLiteral("fileListUrl"), encodeUrl(*app.fileListUrl));
    if (app.fileListSha256)
        o.insert(QStringLiteral("fileListSha256"), *app.fileListSha256);
    if (app.iconUrl)
        o.insert(QStringLiteral("iconUrl"), encodeUrl(*app.iconUrl));
    if (app.rolloutPercent != 100)
        o.insert(QStringLiteral("rolloutPercent"), app.rolloutPercent);
    QJsonArray notes;
    for (const ReleaseNote &note : app.releaseNotes)
        notes.append(QJsonObject{{QStringLiteral("version"), note.version},
                                 {QStringLiteral("date"), note.date},
                                 {QStringLiteral("text"), note.text}});
    o.insert(QStringLiteral("releaseNotes"), notes);
    return o;
}

AppManifestItem decodeApp(const QJsonObject &object)
{
    return decodeApp(QJsonValue(object), Path());
}

QByteArray encode(const LauncherManifest &manifest)
{
    QJsonArray apps;
    for (const AppManifestItem &app : manifest.apps)
        apps.append(encodeApp(app));

    QJsonArray announcements;
    for (const LauncherAnnouncement &a : manifest.announcements) {
        QJsonObject o{
            {QStringLiteral("id"), a.id},
            {QStringLiteral("appId"), a.appId},
            {QStringLiteral("appName"), a.appName},
            {QStringLiteral("kind"), a.kind},
            {QStringLiteral("title"), a.title},
            {QStringLiteral("body"), a.body},
        };
        if (a.version)
            o.insert(QStringLiteral("version"), *a.version);
        if (a.publishedAt)
            o.insert(QStringLiteral("publishedAt"), formatDate(*a.publishedAt));
        announcements.append(o);
    }

    QJsonObject root{
        {QStringLiteral("generatedAt"), formatDate(manifest.generatedAt)},
        {QStringLiteral("apps"), apps},
        {QStringLiteral("announcements"), announcements},
    };
    if (manifest.sequence > 0)
        root.insert(QStringLiteral("sequence"), double(manifest.sequence));
    if (manifest.expiresAt.isValid())
        root.insert(QStringLiteral("expiresAt"), formatDate(manifest.expiresAt));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace ManifestDecoder
