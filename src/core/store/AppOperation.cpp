#include "AppOperation.h"

#include "install/InstallProgress.h"

#include <QCoroSignal>

AppOperation::AppOperation(AppManifestItem app, Kind kind)
    : m_app(std::move(app)), m_kind(kind), m_progress(isInstall() ? InstallProgress::start : 0)
{
}

QCoro::Task<OperationOutcome> AppOperation::result()
{
    // A copy: QCoro 0.8 moves from whatever co_return names, and the outcome
    // must stay readable after it was awaited.
    if (m_outcome)
        co_return OperationOutcome(*m_outcome);
    co_return co_await qCoro(this, &AppOperation::finished);
}

bool AppOperation::cancel()
{
    if (!isCancellable())
        return false;
    m_cancel->store(true);
    Q_EMIT cancellableChanged();
    return true;
}

void AppOperation::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    Q_EMIT progressChanged();
    if (isInstall())
        Q_EMIT progressTextChanged();
}

QString AppOperation::progressText() const
{
    if (!isInstall() || isFinished())
        return {};
    return m_wording.text(m_progress);
}

void AppOperation::markWholeArchive()
{
    m_tookWholeArchive = true;
    Q_EMIT wholeArchiveTaken();
}

void AppOperation::setTransferred(qint64 downloaded, qint64 reused)
{
    m_transferred = downloaded;
    m_reused = reused;
    Q_EMIT bytesChanged();
}

void AppOperation::setDownloadedBytes(qint64 received, qint64 total)
{
    if (received == m_received && total == m_total)
        return;
    m_received = received;
    m_total = total;
    m_wording.bytes(received, total);
    Q_EMIT bytesChanged();
    Q_EMIT progressTextChanged();
}

void AppOperation::markPlaced()
{
    const bool wasCancellable = isCancellable();
    m_placed = true;
    if (wasCancellable)
        Q_EMIT cancellableChanged();
}

void AppOperation::finish(const OperationOutcome &outcome)
{
    if (m_outcome)
        return;
    const bool wasCancellable = isCancellable();
    m_outcome = outcome;
    if (wasCancellable)
        Q_EMIT cancellableChanged();
    if (outcome.kind == OperationOutcome::Kind::done)
        setProgress(1);
    Q_EMIT progressTextChanged();
    Q_EMIT finished(outcome);
}
