#pragma once

#include "OperationOutcome.h"
#include "catalog/Models.h"

#include <QCoroTask>
#include <QObject>
#include <functional>
#include <optional>

// One operation on one app (install, update, remove, roll back, open), as the
// owner of installed apps runs it: its progress, a cancel where the kind
// allows one, and the outcome callers await. A refused operation is finished
// before the call that made it returns.
class AppOperation : public QObject
{
    Q_OBJECT

public:
    enum class Kind { install, update, remove, rollBack, open };

    AppOperation(AppManifestItem app, Kind kind);

    const AppManifestItem &app() const { return m_app; }
    QString appId() const { return m_app.id; }
    Kind kind() const { return m_kind; }
    // From 0 to 1; installs and updates report it as they go.
    double progress() const { return m_progress; }
    bool isFinished() const { return m_outcome.has_value(); }
    const std::optional<OperationOutcome> &outcome() const { return m_outcome; }
    // Asks a running install or update to stop before its bundle is placed;
    // false when the kind has no cancel, it is too late or it ended.
    bool cancel() { return !isFinished() && m_canceller && m_canceller(); }
    // The outcome, once known.
    QCoro::Task<OperationOutcome> result();

    // The owner's side.
    void setProgress(double progress);
    void setCanceller(std::function<bool()> canceller) { m_canceller = std::move(canceller); }
    void finish(const OperationOutcome &outcome);

Q_SIGNALS:
    void progressChanged();
    void finished(const OperationOutcome &outcome);

private:
    AppManifestItem m_app;
    Kind m_kind;
    double m_progress = 0;
    std::function<bool()> m_canceller;
    std::optional<OperationOutcome> m_outcome;
};
