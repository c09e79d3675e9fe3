#include "CatalogSigning.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace CatalogSigning {

qint64 nextSequence(qint64 lastSigned, const QDateTime &now)
{
    return std::max(now.toSecsSinceEpoch(), lastSigned + 1);
}

qint64 sequenceOf(const QByteArray &catalog)
{
    const QJsonValue sequence = QJsonDocument::fromJson(catalog).object().value(QLatin1String("sequence"));
    return sequence.isDouble() ? qint64(sequence.toDouble()) : 0;
}

Signed sign(const QByteArray &catalog, const SigningKey &key, qint64 lastSigned, const QDateTime &now, qint64 validForSeconds)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(catalog, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw SigningKeyError("the catalog is not a JSON object");
    Signed result;
    result.sequence = nextSequence(std::max(lastSigned, sequenceOf(catalog)), now);
    const QDateTime second = QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch(), Qt::UTC);
    result.expiresAt = second.addSecs(validForSeconds);
    result.signAgainBy = result.expiresAt.addSecs(-std::min(warningSeconds, validForSeconds / 2));
    QJsonObject root = document.object();
    root.insert(QStringLiteral("sequence"), double(result.sequence));
    root.insert(QStringLiteral("expiresAt"), result.expiresAt.toString(Qt::ISODate));
    result.catalog = QJsonDocument(root).toJson(QJsonDocument::Indented);
    result.signature = key.sign(result.catalog);
    return result;
}

std::optional<qint64> parseValidity(const QString &text)
{
    static const QRegularExpression form(QRegularExpression::anchoredPattern(QStringLiteral("([0-9]{1,6})([dh]?)")));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 amount = match.captured(1).toLongLong();
    if (amount <= 0)
        return std::nullopt;
    return amount * (match.captured(2) == QLatin1String("h") ? 3600 : 24 * 3600);
}

}  // namespace CatalogSigning
