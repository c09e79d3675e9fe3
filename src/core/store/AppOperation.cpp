#include "AppOperation.h"

#include <QCoroSignal>

AppOperation::AppOperation(AppManifestItem app, Kind kind) : m_app(std::move(app)), m_kind(kind) {}

QCoro::Task<OperationOutcome> AppOperation::result()
{
    if (m_outcome)
        co_return *m_outcome;
    co_return co_await qCoro(this, &AppOperation::finished);
}

void AppOperation::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    Q_EMIT progressChanged();
}

void AppOperation::finish(const OperationOutcome &outcome)
{
    if (m_outcome)
        return;
    m_outcome = outcome;
    m_canceller = nullptr;
    if (outcome.kind == OperationOutcome::Kind::done)
        setProgress(1);
    Q_EMIT finished(outcome);
}
