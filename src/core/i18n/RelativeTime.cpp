#include "RelativeTime.h"

#include "VantrelCopy.h"

namespace RelativeTime {

QString shortText(const QDateTime &then, const QDateTime &now, VantrelLocale locale)
{
    const qint64 seconds = then.secsTo(now);
    const auto count = [locale](CopyKey key, qint64 n) {
        return VantrelCopy::text(key, locale, {{QStringLiteral("count"), QString::number(n)}});
    };
    if (seconds < 60)
        return VantrelCopy::text(CopyKey::timeJustNow, locale);
    if (seconds < 3600)
        return count(CopyKey::timeMinutesAgo, seconds / 60);
    if (seconds < 86400)
        return count(CopyKey::timeHoursAgo, seconds / 3600);
    return count(CopyKey::timeDaysAgo, seconds / 86400);
}

}  // namespace RelativeTime
