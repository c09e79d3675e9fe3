#pragma once

#include "catalog/AppInstallState.h"
#include "catalog/Models.h"

#include <QObject>

// One running install of one app: its state and progress, published while the
// installer works. The install queue owns it until the installer's outcome is
// known; the outcome is its last state (installed or failed).
class InstallTransaction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString appId READ appId CONSTANT)
    Q_PROPERTY(AppInstallState state READ state NOTIFY stateChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)

public:
    // What an install shows from its start until its outcome.
    static constexpr double startProgress = 0.04;

    explicit InstallTransaction(AppManifestItem app, QObject *parent = nullptr);

    const AppManifestItem &app() const { return m_app; }
    QString appId() const { return m_app.id; }
    const AppInstallState &state() const { return m_state; }
    double progress() const { return m_progress; }

    // Progress from 0 to 1; the state follows as installing(progress).
    void setProgress(double progress);
    void setState(const AppInstallState &state);

Q_SIGNALS:
    void stateChanged();
    void progressChanged();

private:
    AppManifestItem m_app;
    double m_progress = startProgress;
    AppInstallState m_state = AppInstallState::installing(startProgress);
};
