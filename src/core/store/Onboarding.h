#pragma once

#include "catalog/Models.h"

#include <QObject>
#include <QSet>

// The first-run state: whether the user is done with it, and which starter
// apps are ticked (all apps of the catalog it starts from).
class Onboarding : public QObject
{
    Q_OBJECT

public:
    explicit Onboarding(const QList<AppManifestItem> &apps, QObject *parent = nullptr);

    bool isComplete() const { return m_complete; }
    // Not complete while the catalog publishes an app. Runs on every selection
    // change: it looks in place rather than copy lists.
    bool isRequired(const LauncherManifest &manifest, bool includeBeta) const;
    void setComplete(bool complete);
    const QSet<QString> &starterAppIDs() const { return m_starterAppIDs; }
    void toggleStarter(const QString &appId);
    // Completes onboarding; the ticked apps among published, in their order.
    QList<AppManifestItem> finish(const QList<AppManifestItem> &published);

Q_SIGNALS:
    void completeChanged();
    void starterAppIDsChanged();

private:
    bool m_complete = false;
    QSet<QString> m_starterAppIDs;
};
