#include "Onboarding.h"

#include "SetIfChanged.h"
#include "catalog/ManifestPolicy.h"

Onboarding::Onboarding(const QList<AppManifestItem> &apps, QObject *parent) : QObject(parent)
{
    for (const AppManifestItem &app : apps)
        m_starterAppIDs.insert(app.id);
}

void Onboarding::setComplete(bool complete)
{
    setIfChanged(this, m_complete, complete, &Onboarding::completeChanged);
}

void Onboarding::toggleStarter(const QString &appId)
{
    if (!m_starterAppIDs.remove(appId))
        m_starterAppIDs.insert(appId);
    Q_EMIT starterAppIDsChanged();
}

QList<AppManifestItem> Onboarding::finish(const QList<AppManifestItem> &published)
{
    setComplete(true);
    QList<AppManifestItem> ticked;
    for (const AppManifestItem &app : published) {
        if (m_starterAppIDs.contains(app.id))
            ticked.append(app);
    }
    return ticked;
}

bool Onboarding::isRequired(const LauncherManifest &manifest, bool includeBeta) const
{
    return !m_complete && ManifestPolicy::hasPublishedApps(manifest, includeBeta);
}
