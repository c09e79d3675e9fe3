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

void InstallTransaction::setDownloadedBytes(qint64 received, qint64 total)
{
    if (received == m_received && total == m_total)
        return;
    m_received = received;
    m_total = total;
    Q_EMIT bytesChanged();
}

bool InstallTransaction::cancel()
{
    if (!isCancellable())
        return false;
    m_cancel->store(true);
    Q_EMIT cancellableChanged();
    return true;
}

void InstallTransaction::markPlaced()
{
    const bool wasCancellable = isCancellable();
    m_placed = true;
    if (wasCancellable)
        Q_EMIT cancellableChanged();
}
