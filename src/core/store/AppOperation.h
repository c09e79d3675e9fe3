#pragma once

#include "OperationOutcome.h"
#include "ProgressWording.h"
#include "catalog/Models.h"

#include <QCoroTask>
#include <QObject>
#include <atomic>
#include <memory>
#include <optional>

// One operation on one app (install, update, repair, verify, remove, roll
// back, open), from its start to its outcome: what callers await, and for an
// install, update, repair or verify what the window shows while it runs
// (progress, downloaded bytes) and the flag that asks it to stop. A refused operation is finished
// before the call that made it returns.
class AppOperation : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString appId READ appId CONSTANT)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(bool cancellable READ isCancellable NOTIFY cancellableChanged)
    // "44 % · 86 of 196 MB · about 12 s left" while an install, update or repair runs; empty otherwise.
    Q_PROPERTY(QString progressText READ progressText NOTIFY progressTextChanged)

public:
    // repair: a fresh install of the installed version, or its permission bits put back.
    enum class Kind { install, update, repair, verify, remove, rollBack, open };

    AppOperation(AppManifestItem app, Kind kind);

    const AppManifestItem &app() const { return m_app; }
    QString appId() const { return m_app.id; }
    Kind kind() const { return m_kind; }
    bool isInstall() const { return m_kind == Kind::install || m_kind == Kind::update || m_kind == Kind::repair; }
    // From InstallProgress::start to 1 while an install or update runs; 1 once done.
    double progress() const { return m_progress; }
    // The install's bytes so far and all it will receive (-1: not known).
    qint64 receivedBytes() const { return m_received; }
    qint64 totalBytes() const { return m_total; }
    // Once the new bundle is in place: what came over the network and what
    // was taken from the installed copy (-1 until then).
    qint64 transferredBytes() const { return m_transferred; }
    qint64 reusedBytes() const { return m_reused; }
    QString progressText() const;
    // The update took the whole archive instead of the changed files alone.
    bool tookWholeArchive() const { return m_tookWholeArchive; }
    bool isFinished() const { return m_outcome.has_value(); }
    const std::optional<OperationOutcome> &outcome() const { return m_outcome; }
    // The outcome, once known.
    QCoro::Task<OperationOutcome> result();

    // An install, update or repair may be stopped until its new bundle is in
    // place, a verify until it ends; and only once.
    bool isCancellable() const
    {
        return (isInstall() || m_kind == Kind::verify) && !isFinished() && !m_placed && !m_cancel->load();
    }
    // Asks the installer to stop; false when that is too late, was asked
    // already, or the kind has no cancel.
    bool cancel();

    // The runner's side.
    const std::shared_ptr<std::atomic_bool> &cancelFlag() const { return m_cancel; }
    void setProgress(double progress);
    void setDownloadedBytes(qint64 received, qint64 total);
    void setTransferred(qint64 downloaded, qint64 reused);
    void markWholeArchive();
    // Take the whole archive even where the release offers a file list.
    bool wholeArchive() const { return m_wholeArchive; }
    void setWholeArchive(bool whole) { m_wholeArchive = whole; }
    // The installer put the new bundle in place: the install will complete.
    void markPlaced();
    void finish(const OperationOutcome &outcome);

Q_SIGNALS:
    void progressChanged();
    void bytesChanged();
    void progressTextChanged();
    void wholeArchiveTaken();
    void cancellableChanged();
    void finished(const OperationOutcome &outcome);

private:
    AppManifestItem m_app;
    Kind m_kind;
    double m_progress = 0;
    qint64 m_received = 0;
    qint64 m_total = -1;
    qint64 m_transferred = -1;
    qint64 m_reused = -1;
    bool m_wholeArchive = false;
    bool m_tookWholeArchive = false;
    ProgressWording m_wording;
    std::shared_ptr<std::atomic_bool> m_cancel = std::make_shared<std::atomic_bool>(false);
    bool m_placed = false;
    std::optional<OperationOutcome> m_outcome;
};
