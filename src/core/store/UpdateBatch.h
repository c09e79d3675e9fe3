#pragma once

#include "OperationOutcome.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class AppOperation;

// Updates apps one after another: each starts once the outcome of the one
// before is known, and one failure does not stop the rest. At the end it
// tells how many were updated and which failed.
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
        QString reason;  // the whole sentence, as the error line shows it
        OperationOutcome outcome;
    };
    // Starts the app's update; a refused one comes back finished.
    using Start = std::function<std::shared_ptr<AppOperation>(const QString &appId)>;
    // Why an operation did not update its app.
    using Describe = std::function<QString(const AppOperation &)>;

    UpdateBatch(Start start, Describe describe, QObject *parent = nullptr);

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
    void account(const AppOperation &operation);

    Start m_start;
    Describe m_describe;
    QList<Item> m_pending;
    std::optional<Item> m_current;
    std::shared_ptr<AppOperation> m_operation;
    int m_updated = 0;
    QList<Failure> m_failures;
    bool m_running = false;
};

// How a batch ended. The store sums it up with each failure's reason; a view
// may word the failures from their outcomes instead.
struct UpdateBatchResult {
    int updated = 0;
    QList<UpdateBatch::Failure> failures;

    // "2 updated, 1 failed: Notes: <reason>" in the installed language.
    QString summary(const std::function<QString(const UpdateBatch::Failure &)> &reasonOf) const;
};

Q_DECLARE_METATYPE(UpdateBatchResult)
