#include "InstallStates.h"

#include "AppOperation.h"

InstallStates::InstallStates(const QList<AppManifestItem> &apps, QObject *parent) : QObject(parent)
{
    for (const AppManifestItem &app : apps)
        m_states.insert(app.id, AppInstallState::notInstalled());
}

void InstallStates::set(const QString &appId, const AppInstallState &state)
{
    auto it = m_states.find(appId);
    if (it != m_states.end() && *it == state)
        return;
    m_states.insert(appId, state);
    Q_EMIT stateChanged(appId);
    Q_EMIT changed();
}

void InstallStates::addMissing(const QList<AppManifestItem> &apps)
{
    QStringList added;
    for (const AppManifestItem &app : apps) {
        if (!m_states.contains(app.id)) {
            m_states.insert(app.id, AppInstallState::notInstalled());
            added.append(app.id);
        }
    }
    for (const QString &id : std::as_const(added))
        Q_EMIT stateChanged(id);
    if (!added.isEmpty())
        Q_EMIT changed();
}

void InstallStates::follow(AppOperation *operation)
{
    const auto show = [this, operation] {
        if (!operation->isFinished())
            set(operation->appId(), AppInstallState::installing(operation->progress()));
    };
    connect(operation, &AppOperation::progressChanged, this, show);
    show();
}
