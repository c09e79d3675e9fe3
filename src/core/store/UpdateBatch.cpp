#include "UpdateBatch.h"

#include "InstallQueue.h"
#include "install/AppInstaller.h"

UpdateBatch::UpdateBatch(InstallQueue *queue, Start start, QObject *parent)
    : QObject(parent), m_queue(queue), m_start(std::move(start))
{
    connect(queue, &InstallQueue::failed, this, [this](InstallTransaction *transaction, const QString &description) {
        if (isUpdating(transaction->appId()))
            m_currentReason = description;
    });
    connect(queue, &InstallQueue::cancelled, this, [this](InstallTransaction *transaction) {
        if (isUpdating(transaction->appId()))
            m_currentReason = AppInstallerError(AppInstallerError::Kind::cancelled).localizedDescription();
    });
    connect(queue, &InstallQueue::finished, this, &UpdateBatch::ended);
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
    while (!m_pending.isEmpty()) {
        const Item item = m_pending.takeFirst();
        m_current = item;
        m_currentReason.clear();
        const QString refusal = m_start(item.appId);
        if (refusal.isEmpty())
            return;  // ended() goes on
        m_failures.append({item.appName, refusal});
    }
    m_current.reset();
    m_running = false;
    Q_EMIT runningChanged();
    Q_EMIT finished(m_updated, m_failures);
}

void UpdateBatch::ended(const QString &appId, bool succeeded)
{
    if (!isUpdating(appId))
        return;
    if (succeeded)
        ++m_updated;
    else
        m_failures.append({m_current->appName, m_currentReason});
    m_current.reset();
    // The next starts from the event loop, not from inside the queue's task.
    QMetaObject::invokeMethod(this, &UpdateBatch::startNext, Qt::QueuedConnection);
}
