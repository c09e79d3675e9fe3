#include "LauncherLink.h"

#include <QRegularExpression>

#include <algorithm>
#include <QStringDecoder>

namespace {

const QByteArray schemePrefix = QByteArrayLiteral("vantrel://");

LinkReading refused(const QString &why)
{
    return {std::nullopt, why};
}

std::optional<QString> strictUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool hasControlCharacter(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// Encoded forms that would change the path's shape or end it once decoded.
bool hasForbiddenEscape(const QByteArray &part)
{
    const QByteArray lower = part.toLower();
    return lower.contains("%2f") || lower.contains("%5c") || lower.contains("%00");
}

// An id as catalogs give them: letters, digits, dot, dash and underscore.
bool isWellFormedId(const QString &id)
{
    static const QRegularExpression form(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9._-]{1,200}")));
    return form.match(id).hasMatch() && id != QLatin1String(".");
}

// What follows "vantrel://": "<host>/<one segment>", the segment decoded.
LinkReading readRest(const QByteArray &rest)
{
    const qsizetype slash = rest.indexOf('/');
    if (slash < 0)
        return refused(QStringLiteral("no path"));
    const QByteArray host = rest.left(slash).toLower();
    const QByteArray segment = rest.mid(slash + 1);
    if (segment.contains('/') || segment.contains('\\'))
        return refused(QStringLiteral("another path"));
    if (hasForbiddenEscape(segment))
        return refused(QStringLiteral("an encoded slash or NUL"));
    const std::optional<QString> value = strictUtf8(QByteArray::fromPercentEncoding(segment));
    if (!value)
        return refused(QStringLiteral("an escape that is not UTF-8"));
    if (value->contains(QLatin1String("..")))
        return refused(QStringLiteral("\"..\""));
    if (hasControlCharacter(*value))
        return refused(QStringLiteral("a control character"));
    if (host == "app") {
        if (!isWellFormedId(*value))
            return refused(QStringLiteral("not an app id"));
        return {LauncherLink{LauncherLink::Kind::app, *value}, {}};
    }
    if (host == "search") {
        const QString terms = value->simplified();
        if (terms.isEmpty())
            return refused(QStringLiteral("no search terms"));
        return {LauncherLink{LauncherLink::Kind::search, terms}, {}};
    }
    return refused(QStringLiteral("another path"));
}

}  // namespace

QByteArray LauncherLink::toEncoded() const
{
    const QByteArray host = kind == Kind::app ? QByteArrayLiteral("app/") : QByteArrayLiteral("search/");
    return schemePrefix + host + value.toUtf8().toPercentEncoding();
}

namespace LauncherLinks {

LinkReading read(const QByteArray &raw)
{
    if (raw.size() > maximumBytes)
        return refused(QStringLiteral("longer than 2 KB"));
    const std::optional<QString> text = strictUtf8(raw);
    if (!text)
        return refused(QStringLiteral("not UTF-8"));
    if (hasControlCharacter(*text) || text->contains(QLatin1Char(' ')))
        return refused(QStringLiteral("a control character or a space"));
    if (!raw.toLower().startsWith(schemePrefix))
        return refused(QStringLiteral("another scheme"));
    const QByteArray rest = raw.mid(schemePrefix.size());
    if (rest.contains('?'))
        return refused(QStringLiteral("a query"));
    if (rest.contains('#'))
        return refused(QStringLiteral("a fragment"));
    if (rest.contains(".."))
        return refused(QStringLiteral("\"..\""));
    return readRest(rest);
}

bool looksLikeLink(const QByteArray &argument)
{
    return !argument.startsWith('-');
}

}  // namespace LauncherLinks
