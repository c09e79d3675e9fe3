#include "Monitoring.h"

QJsonObject LauncherOperationalEvent::toJson() const
{
    QJsonObject object{
        {QStringLiteral("eventType"), eventType},
        {QStringLiteral("status"), status},
    };
    if (appSlug)
        object.insert(QStringLiteral("appSlug"), *appSlug);
    if (appVersion)
        object.insert(QStringLiteral("appVersion"), *appVersion);
    if (reason)
        object.insert(QStringLiteral("reason"), *reason);
    return object;
}
