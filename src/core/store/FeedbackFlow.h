#pragma once

#include "catalog/ManifestPolicy.h"
#include "feedback/Feedback.h"

#include <QCoroTask>
#include <QObject>
#include <memory>

class AppProperties;
class VantrelTranslator;

// Sends feedback through the client and publishes how the last submission went.
class FeedbackFlow : public QObject
{
    Q_OBJECT

public:
    // Requests go out in the translator's language.
    FeedbackFlow(std::shared_ptr<FeedbackReporting> client, const VantrelTranslator *translator, QObject *parent = nullptr);

    const FeedbackSubmissionState &state() const { return m_state; }
    void setState(const FeedbackSubmissionState &state);

    struct Snapshot {
        const LauncherManifest &manifest;
        bool includeBeta;
        OperatingSystemVersion system;
        const AppProperties *appProperties;
        VantrelLocale locale;
    };
    // The bundle's short version text, or "0.1.0".
    static QString launcherVersion(const AppProperties *properties);
    // The launcher's state sent along; app is the one the feedback is about.
    static FeedbackDiagnostics diagnostics(const Snapshot &snapshot, const std::optional<AppManifestItem> &app);

    // A request with a fresh id and the texts trimmed at both ends.
    static FeedbackSubmissionRequest request(FeedbackType type, const QString &title, const QString &description,
                                             const std::optional<AppManifestItem> &related,
                                             FeedbackDiagnostics diagnostics);

    // Never fails: submitting, then submitted or failed.
    QCoro::Task<void> submit(FeedbackSubmissionRequest request);

Q_SIGNALS:
    void stateChanged();

private:
    std::shared_ptr<FeedbackReporting> m_client;
    const VantrelTranslator *m_translator;
    FeedbackSubmissionState m_state;
};
