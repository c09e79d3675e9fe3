#include "RelativeTime.h"

#include <QCoreApplication>

namespace RelativeTime {

QString shortText(const QDateTime &then, const QDateTime &now)
{
    const qint64 seconds = then.secsTo(now);
    if (seconds < 60)
        return qtTrId("timeJustNow");
    if (seconds < 3600)
        return qtTrId("timeMinutesAgo", int(seconds / 60));
    if (seconds < 86400)
        return qtTrId("timeHoursAgo", int(seconds / 3600));
    return qtTrId("timeDaysAgo", int(seconds / 86400));
}

}  // namespace RelativeTime
