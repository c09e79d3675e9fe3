#include "SummaryText.h"

#include "i18n/VantrelCopy.h"
#include "i18n/VantrelLocale.h"

#include <QRegularExpression>

QString SummaryText::readable(const QString &text, const QString &locale)
{
    // "Checksum mismatch. Expected <digest>, got <digest>." (digests possibly shortened with "…").
    static const QRegularExpression checksum(
        QStringLiteral(R"(Checksum mismatch\. Expected [0-9A-Fa-f]*(?:…|\.\.\.)?, got [0-9A-Fa-f]*(?:…|\.\.\.)?\.)"));
    static const QRegularExpression ellipsisStop(QStringLiteral("(…|\\.\\.\\.)\\.(?=\\s|$)"));
    const VantrelLocale language = VantrelLocaleUtil::fromRawValue(locale).value_or(VantrelLocale::en);
    QString result = text;
    result.replace(checksum, VantrelCopy::text(CopyKey::checksumMismatchShort, language));
    result.replace(ellipsisStop, QStringLiteral("…"));
    return result;
}
