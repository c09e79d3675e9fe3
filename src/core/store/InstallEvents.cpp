#include "InstallEvents.h"

#include "log/Logging.h"

#include <QPointer>

InstallEvents::InstallEvents(std::shared_ptr<OperationalEventRecording> recorder, QObject *parent)
    : QObject(parent), m_recorder(std::move(recorder))
{
}

void InstallEvents::send(LauncherOperationalEvent event)
{
    m_queue.append(std::move(event));
    if (!m_sending)
        drain();  // runs on by itself
}

QCoro::Task<void> InstallEvents::drain()
{
    QPointer<InstallEvents> self(this);
    const std::shared_ptr<OperationalEventRecording> recorder = m_recorder;
    m_sending = true;
    while (!m_queue.isEmpty()) {
        LauncherOperationalEvent event = m_queue.takeFirst();
        const QString type = event.eventType;
        // The recorder never fails by contract; a substitute that does must not stop an install.
        try {
            if (recorder)
                co_await recorder->recordEvent(std::move(event));
        } catch (...) {
            qCWarning(lcStore) << "Operational event" << type << "could not be recorded";
        }
        if (!self)
            co_return;
        ++m_sent;
        Q_EMIT sent();
    }
    m_sending = false;
    if (m_closed)
        deleteLater();
}

void InstallEvents::close()
{
    m_closed = true;
    if (!m_sending)
        deleteLater();
}
