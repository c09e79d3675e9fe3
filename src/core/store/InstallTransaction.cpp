#include "InstallTransaction.h"

#include "SetIfChanged.h"

InstallTransaction::InstallTransaction(AppManifestItem app, QObject *parent) : QObject(parent), m_app(std::move(app)) {}

void InstallTransaction::setProgress(double progress)
{
    if (setIfChanged(this, m_progress, progress, &InstallTransaction::progressChanged))
        setState(AppInstallState::installing(progress));
}

void InstallTransaction::setState(const AppInstallState &state)
{
    setIfChanged(this, m_state, state, &InstallTransaction::stateChanged);
}
