#pragma once

#include "InstalledApps.h"
#include "system/RunningProcesses.h"

#include <QCoroTask>
#include <QFuture>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <chrono>
#include <functional>
#include <memory>

class QTimer;

// Installed apps that are running: a change to a running app's bundle puts
// the new version under the old process, so the window asks first (quit and
// go on, go on when it quits, or cancel) and nothing is ended unasked. Also
// the apps whose running process still uses the copy an update replaced.
// Published to the views as `store.running`.
class RunningApps : public QObject
{
    Q_OBJECT
    // The question shown, or null: {appId, appName, change (Change), pids (list)}.
    Q_PROPERTY(QVariant question READ question NOTIFY questionChanged)
    // Ids of the apps whose change waits for them to quit.
    Q_PROPERTY(QStringList waitingApps READ waitingApps NOTIFY waitingAppsChanged)
    // App id -> the installed version a process of the app still running does not use yet.
    Q_PROPERTY(QVariantMap restartNeeded READ restartNeededValue NOTIFY restartNeededChanged)

public:
    enum class Change { update, remove, rollBack, repair };
    Q_ENUM(Change)
    using Start = std::function<InstalledApps::Operation()>;

    // How long an app asked to quit is given.
    static constexpr std::chrono::milliseconds quitGrace{5000};

    RunningApps(std::shared_ptr<RunningProcesses> processes, InstalledApps *apps, QObject *parent = nullptr);
    // Waits for scans still running: they read what the process's exit tears down.
    ~RunningApps() override;

    // Starts the change at once when nothing runs from the app's bundle;
    // otherwise asks (one question at a time, the rest in line). An update of
    // an app whose change waits for it to quit is not asked about again.
    QCoro::Task<void> guard(AppManifestItem app, Change change, Start start);
    // The processes running from the app's installed bundle now.
    QCoro::Task<QList<RunningProcess>> processesOf(QString appId) const;
    // Asks them to quit and waits up to grace; true when none is left.
    QCoro::Task<bool> quit(QString appId, std::chrono::milliseconds grace = quitGrace);
    // Waits until none runs from the bundle; false when stopWaiting came first.
    QCoro::Task<bool> waitUntilQuit(QString appId);

    // The question shown, or null (see the property).
    QVariant question() const;
    // The answers to the question shown.
    Q_INVOKABLE void quitAndContinue();
    Q_INVOKABLE void continueWhenQuit();
    Q_INVOKABLE void cancelQuestion();
    // The change waiting for appId is dropped.
    Q_INVOKABLE void stopWaiting(const QString &appId);
    // Looks again for processes still using a replaced copy.
    Q_INVOKABLE void refreshRestartNeeded();

    const QStringList &waitingApps() const { return m_waiting; }
    const QHash<QString, QString> &restartNeeded() const { return m_restartNeeded; }

Q_SIGNALS:
    void questionChanged();
    void waitingAppsChanged();
    void restartNeededChanged();
    // A sentence for the error line: an app asked to quit did not.
    void failed(const QString &line);

private:
    struct Question {
        AppManifestItem app;
        Change change;
        Start start;
        QList<qint64> pids;
    };
    QCoro::Task<void> quitThenStart(Question question);
    QCoro::Task<void> startWhenQuit(Question question);
    QCoro::Task<void> findRestartNeeded();
    // The processes running from folders, found on a worker thread.
    QCoro::Task<QList<RunningProcess>> scan(QStringList folders) const;
    void setWaiting(const QString &appId, bool waiting);
    std::optional<Question> takeQuestion();
    std::optional<Refusal> refusal(const AppManifestItem &app, Change change) const;
    QString bundlePath(const QString &appId) const;
    
    QVariantMap restartNeededValue() const;

    std::shared_ptr<RunningProcesses> m_processes;
    InstalledApps *m_apps;
    QList<Question> m_questions;  // the first is shown
    QStringList m_waiting;
    QHash<QString, QString> m_restartNeeded;
    QTimer *m_recheck;  // while an app needs a restart, whether it had one
    bool m_scanning = false;
    bool m_scanAgain = false;  // asked for while a scan ran: what it saw may be old
    mutable QList<QFuture<QList<RunningProcess>>> m_scans;
};
