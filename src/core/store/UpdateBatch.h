#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class InstallQueue;

// Updates apps one after another through the install queue: each starts once
// the one before has ended (its last event sent), and one failure does not
// stop the rest. At the end it tells how many were updated and which failed.
class UpdateBatch : public QObject
{
    Q_OBJECT

public:
    struct Item {
        QString appId;
        QString appName;
    };
    struct Failure {
        QString appName;
        QString reason;  // the installer's own description
    };
    // Starts the app's update in the queue; returns why it cannot (empty: started).
    using Start = std::function<QString(const QString &appId)>;

    UpdateBatch(InstallQueue *queue, Start start, QObject *parent = nullptr);

    bool isRunning() const { return m_running; }
    // Whether appId's update is the one running now.
    bool isUpdating(const QString &appId) const { return m_current && m_current->appId == appId; }
    // Ignored while a batch runs.
    void run(const QList<Item> &items);
    // No further update starts; the running one ends as it will.
    void stop() { m_pending.clear(); }

Q_SIGNALS:
    void runningChanged();
    void finished(int updated, const QList<UpdateBatch::Failure> &failures);

private:
    void startNext();
    void ended(const QString &appId, bool succeeded);

    InstallQueue *m_queue;
    Start m_start;
    QList<Item> m_pending;
    std::optional<Item> m_current;
    QString m_currentReason;
    int m_updated = 0;
    QList<Failure> m_failures;
    bool m_running = false;
};
