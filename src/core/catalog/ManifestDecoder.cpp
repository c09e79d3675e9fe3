#include "ManifestDecoder.h"

#include "codec/JsonTypeName.h"
#include "errors/LauncherError.h"
#include "net/ServiceEndpoints.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>
#include <cstring>

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
        if (!url)
            fail(m_path.member(key), QStringLiteral("%1 is not a URL").arg(quoted(*text)));
        return url;
    }

    template<typename Enum>
    Enum enumeration(QLatin1StringView key, std::optional<Enum> (*fromRawValue)(const QString &),
                     const QList<Enum> &cases, QString (*rawValue)(Enum)) const
    {
        const QString text = string(key);
        if (const std::optional<Enum> value = fromRawValue(text))
            return *value;
        QStringList names;
        names.reserve(cases.size());
        for (Enum value : cases)
            names.append(rawValue(value));
        fail(m_path.member(key), QStringLiteral("%1 is not one of %2").arg(quoted(text), names.join(QStringLiteral(", "))));
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
    app.status = r.enumeration(QLatin1StringView("status"), &AppReleaseStatusUtil::fromRawValue,
                               AppReleaseStatusUtil::allCases(), &AppReleaseStatusUtil::rawValue);
    app.downloadUrl = r.optionalUrl(QLatin1StringView("downloadUrl"));
    app.sha256 = r.optionalString(QLatin1StringView("sha256"));
    app.sparkleFeedUrl = r.optionalUrl(QLatin1StringView("sparkleFeedUrl"));
    app.symbolName = r.string(QLatin1StringView("symbolName"));
    app.iconUrl = r.optionalUrl(QLatin1StringView("iconUrl"));
    app.accent = r.enumeration(QLatin1StringView("accent"), &AppAccentUtil::fromRawValue, AppAccentUtil::allCases(),
                               &AppAccentUtil::rawValue);

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
qsizetype invalidUtf8Offset(const QByteArray &json)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(json.constData());
    const qsizetype size = json.size();
    qsizetype i = 0;
    while (i < size) {
        // Runs of ASCII, the bulk of a manifest, eight bytes at a time.
        while (i + 8 <= size) {
            quint64 word;
            std::memcpy(&word, bytes + i, sizeof word);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= size)
            break;
        const unsigned char c = bytes[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;  // range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return i;
        }
        if (i + length > size)
            return i;
        if (bytes[i + 1] < low || bytes[i + 1] > high)
            return i;
        for (int k = 2; k < length; ++k) {
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF)
                return i;
        }
        i += length;
    }
    return -1;
}

bool isAsciiDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

int number(QStringView text)
{
    int value = 0;
    for (const QChar c : text)
        value = value * 10 + (c.unicode() - '0');
    return value;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
qint64 daysFromCivil(qint64 y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(qint64 z, qint64 &y, int &m, int &d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

QString formatDate(const QDateTime &date)
{
    const qint64 secs = date.toSecsSinceEpoch();
    qint64 days = secs / 86400;
    qint64 rem = secs % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    qint64 year;
    int month, day;
    civilFromDays(days, year, month, day);
    return QString::asprintf("%04lld-%02d-%02dT%02lld:%02lld:%02lldZ", static_cast<long long>(year), month, day,
                             static_cast<long long>(rem / 3600), static_cast<long long>(rem / 60 % 60),
                             static_cast<long long>(rem % 60));
}

QString encodeUrl(const QUrl &url)
{
    return url.toString(QUrl::FullyEncoded);
}

}  // namespace

std::optional<QDateTime> parseDate(const QString &text)
{
    // YYYY-MM-DDTHH:MM:SS then Z or +HH:MM / -HH:MM; nothing else.
    const QStringView s(text);
    if (s.size() != 20 && s.size() != 25)
        return std::nullopt;
    auto digitsAt = [&](qsizetype pos, qsizetype count) { return isAsciiDigits(s.mid(pos, count)); };
    auto charAt = [&](qsizetype pos, char c) { return s.at(pos) == QLatin1Char(c); };
    if (!digitsAt(0, 4) || !charAt(4, '-') || !digitsAt(5, 2) || !charAt(7, '-') || !digitsAt(8, 2)
        || !charAt(10, 'T') || !digitsAt(11, 2) || !charAt(13, ':') || !digitsAt(14, 2) || !charAt(16, ':')
        || !digitsAt(17, 2))
        return std::nullopt;

    const int year = number(s.mid(0, 4));
    const int month = number(s.mid(5, 2));
    const int day = number(s.mid(8, 2));
    const int hour = number(s.mid(11, 2));
    const int minute = number(s.mid(14, 2));
    const int second = number(s.mid(17, 2));
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59
        || second > 59)
        return std::nullopt;

    int offsetSeconds = 0;
    if (s.size() == 20) {
        if (!charAt(19, 'Z'))
            return std::nullopt;
    } else {
        const bool plus = charAt(19, '+');
        if ((!plus && !charAt(19, '-')) || !digitsAt(20, 2) || !charAt(22, ':') || !digitsAt(23, 2))
            return std::nullopt;
        const int offsetHours = number(s.mid(20, 2));
        const int offsetMinutes = number(s.mid(23, 2));
        if (offsetHours > 23 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (plus ? 1 : -1);
    }

    const qint64 secs = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offsetSeconds;
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
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
    if (const qsizetype bad = invalidUtf8Offset(json); bad >= 0)
        throw DecodingError(QStringLiteral("invalid UTF-8 at %1").arg(location(json, bad)));

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

QByteArray encode(const LauncherManifest &manifest)
{
    QJsonArray apps;
    for (const AppManifestItem &app : manifest.apps) {
        QJsonObject o{
            {QStringLiteral("id"), app.id},
            {QStringLiteral("name"), app.name},
            {QStringLiteral("tagline"), app.tagline},
            {QStringLiteral("category"), app.category},
            {QStringLiteral("bundleId"), app.bundleId},
            {QStringLiteral("version"), app.version},
            {QStringLiteral("minMacOS"), app.minMacOS},
            {QStringLiteral("status"), AppReleaseStatusUtil::rawValue(app.status)},
            {QStringLiteral("symbolName"), app.symbolName},
            {QStringLiteral("accent"), AppAccentUtil::rawValue(app.accent)},
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
        if (app.iconUrl)
            o.insert(QStringLiteral("iconUrl"), encodeUrl(*app.iconUrl));
        QJsonArray notes;
        for (const ReleaseNote &note : app.releaseNotes)
            notes.append(QJsonObject{{QStringLiteral("version"), note.version},
                                     {QStringLiteral("date"), note.date},
                                     {QStringLiteral("text"), note.text}});
        o.insert(QStringLiteral("releaseNotes"), notes);
        apps.append(o);
    }

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

    const QJsonObject root{
        {QStringLiteral("generatedAt"), formatDate(manifest.generatedAt)},
        {QStringLiteral("apps"), apps},
        {QStringLiteral("announcements"), announcements},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace ManifestDecoder
