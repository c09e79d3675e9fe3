#pragma once

#include "catalog/AppInstallState.h"
#include "catalog/Models.h"

#include <QObject>
#include <atomic>
#include <memory>

// One running install of one app: its state and progress, published while the
// installer works, and the flag that asks it to stop. The install queue owns
// it until the installer's outcome is known; the outcome is its last state
// (installed or failed).
class InstallTransaction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString appId READ appId CONSTANT)
    Q_PROPERTY(AppInstallState state READ state NOTIFY stateChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(bool cancellable READ isCancellable NOTIFY cancellableChanged)

public:
    // What an install shows from its start until its outcome.
    static constexpr double startProgress = 0.04;

    explicit InstallTransaction(AppManifestItem app, QObject *parent = nullptr);

    const AppManifestItem &app() const { return m_app; }
    QString appId() const { return m_app.id; }
    const AppInstallState &state() const { return m_state; }
    double progress() const { return m_progress; }
    // The archive's bytes so far and its announced length (-1: none).
    qint64 receivedBytes() const { return m_received; }
    qint64 totalBytes() const { return m_total; }

    // Progress from 0 to 1; the state follows as installing(progress).
    void setProgress(double progress);
    void setState(const AppInstallState &state);
    void setDownloadedBytes(qint64 received, qint64 total);

    // The flag the installer watches.
    const std::shared_ptr<std::atomic_bool> &cancelFlag() const { return m_cancel; }
    // Until the new bundle is known to be in place, and only once.
    bool isCancellable() const { return !m_placed && !m_cancel->load(); }
    // Asks the installer to stop; false when that is too late or was asked already.
    bool cancel();
    // The installer put the new bundle in place: the install will complete.
    void markPlaced();

Q_SIGNALS:
    void stateChanged();
    void progressChanged();
    void bytesChanged();
    void cancellableChanged();

private:
    AppManifestItem m_app;
    double m_progress = startProgress;
    AppInstallState m_state = AppInstallState::installing(startProgress);
    qint64 m_received = 0;
    qint64 m_total = -1;
    std::shared_ptr<std::atomic_bool> m_cancel = std::make_shared<std::atomic_bool>(false);
    bool m_placed = false;
};
