#pragma once

#include "monitoring/Monitoring.h"

#include <QList>
#include <QObject>
#include <memory>

// The operational events of one install, sent strictly one after another
// from its own queue, so a slow service delays only the events behind it and
// never the install. Whatever is still queued when the owner goes (the app
// quits) is dropped.
class InstallEvents : public QObject
{
    Q_OBJECT

public:
    InstallEvents(std::shared_ptr<OperationalEventRecording> recorder, QObject *parent = nullptr);

    // Queued behind the ones before.
    void send(LauncherOperationalEvent event);
    // How many have been sent (or given up by the recorder).
    int sentCount() const { return m_sent; }
    // No event follows: the queue frees itself once the last has left.
    void close();

Q_SIGNALS:
    void sent();

private:
    QCoro::Task<void> drain();

    std::shared_ptr<OperationalEventRecording> m_recorder;
    QList<LauncherOperationalEvent> m_queue;
    bool m_sending = false;
    bool m_closed = false;
    int m_sent = 0;
};
