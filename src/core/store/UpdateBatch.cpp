#include "UpdateBatch.h"

#include "AppOperation.h"

#include <QLocale>

UpdateBatch::UpdateBatch(Start start, Describe describe, QObject *parent)
    : QObject(parent), m_start(std::move(start)), m_describe(std::move(describe))
{
}

void UpdateBatch::run(const QList<Item> &items)
{
    if (m_running)
        return;
    m_pending = items;
    m_updated = 0;
    m_failures.clear();
    m_running = true;
    Q_EMIT runningChanged();
    startNext();
}

void UpdateBatch::startNext()
{
    if (m_pending.isEmpty()) {
        m_current.reset();
        m_operation.reset();
        m_running = false;
        Q_EMIT runningChanged();
        Q_EMIT finished(m_updated, m_failures);
        return;
    }
    m_current = m_pending.takeFirst();
    m_operation = m_start(m_current->appId);
    const auto ended = [this] {
        account(*m_operation);
        // The next starts from the event loop, not from inside the one that ended.
        QMetaObject::invokeMethod(this, &UpdateBatch::startNext, Qt::QueuedConnection);
    };
    if (m_operation->isFinished())
        ended();
    else
        connect(m_operation.get(), &AppOperation::finished, this, ended);
}

void UpdateBatch::account(const AppOperation &operation)
{
    if (operation.outcome() && operation.outcome()->kind == OperationOutcome::Kind::done)
        ++m_updated;
    else
        m_failures.append({m_current->appName, m_describe(operation),
                           operation.outcome().value_or(OperationOutcome::cancelled())});
}

QString UpdateBatchResult::summary(const std::function<QString(const UpdateBatch::Failure &)> &reasonOf) const
{
    if (failures.isEmpty())
        return qtTrId("updateAllSummary", updated);
    QStringList reasons;
    for (const UpdateBatch::Failure &failure : failures)
        reasons.append(failure.appName + QStringLiteral(": ") + reasonOf(failure));
    return qtTrId("updateAllSummaryFailed", int(failures.size()))
        .arg(QLocale().toString(updated), reasons.join(QStringLiteral("; ")));
}
