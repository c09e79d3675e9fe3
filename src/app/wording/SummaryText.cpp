#include "SummaryText.h"


#include <QRegularExpression>

QString SummaryText::readable(const QString &text, const QString &locale)
{
    // "Checksum mismatch. Expected <digest>, got <digest>." (digests possibly shortened with "…").
    static const QRegularExpression checksum(
        QStringLiteral(R"(Checksum mismatch\. Expected [0-9A-Fa-f]*(?:…|\.\.\.)?, got [0-9A-Fa-f]*(?:…|\.\.\.)?\.)"));
    static const QRegularExpression ellipsisStop(QStringLiteral("(…|\\.\\.\\.)\\.(?=\\s|$)"));
    Q_UNUSED(locale);  // the installed translator speaks it; views pass it so they redraw on a change
    QString result = text;
    result.replace(checksum, qtTrId("checksumMismatchShort"));
    result.replace(ellipsisStop, QStringLiteral("…"));
    return result;
}
