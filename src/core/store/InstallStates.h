#pragma once

#include "catalog/AppInstallState.h"
#include "catalog/Models.h"

#include <QHash>
#include <QObject>

class AppOperation;

// The install state of every app the store has seen, published one app at a
// time. Apps that leave the catalog keep their entry.
class InstallStates : public QObject
{
    Q_OBJECT

public:
    // Every app starts notInstalled.
    explicit InstallStates(const QList<AppManifestItem> &apps, QObject *parent = nullptr);

    const QHash<QString, AppInstallState> &all() const { return m_states; }
    AppInstallState state(const QString &appId) const
    {
        return m_states.value(appId, AppInstallState::notInstalled());
    }
    void set(const QString &appId, const AppInstallState &state);
    // Apps without an entry get notInstalled; the others keep theirs (an
    // install in progress, a failure, a version).
    void addMissing(const QList<AppManifestItem> &apps);
    // A running install's progress becomes its app's state, installing(progress),
    // until its outcome is known; the outcome's state is set by who hears it.
    void follow(AppOperation *operation);

Q_SIGNALS:
    // One app's state changed; changed() follows.
    void stateChanged(const QString &appId);
    void changed();

private:
    QHash<QString, AppInstallState> m_states;
};
