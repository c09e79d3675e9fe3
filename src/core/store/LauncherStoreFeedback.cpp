// Feedback submission and the diagnostics snapshot sent with it.

#include "LauncherStore.h"

#include "system/SystemLayers.h"

#include <QPointer>
#include <QUuid>

FeedbackDiagnostics LauncherStore::feedbackDiagnostics(const std::optional<AppManifestItem> &relatedApp) const
{
    FeedbackDiagnostics diagnostics;
    const OperatingSystemVersion system =
        m_c.systemVersion ? m_c.systemVersion->operatingSystemVersion() : OperatingSystemVersion{};
    diagnostics.macOSVersion = system.toString();
    diagnostics.launcherVersion = launcherVersion();
    diagnostics.locale = VantrelLocaleUtil::rawValue(m_locale);
    diagnostics.catalogLifecycle = catalogLifecycleName();
    diagnostics.visibleAppCount = int(ManifestPolicy::visibleApps(m_manifest, m_includeBetaApps).size());
    diagnostics.publishedAppCount = int(ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps).size());
    diagnostics.comingSoonAppCount = int(ManifestPolicy::comingSoonApps(m_manifest).size());
    const std::optional<AppManifestItem> app = relatedApp ? relatedApp : selectedApp();
    if (app) {
        diagnostics.selectedAppId = app->id;
        diagnostics.selectedAppName = app->name;
        diagnostics.selectedAppVersion = app->version;
    }
    return diagnostics;
}

QCoro::Task<void> LauncherStore::submitFeedback(FeedbackType type, QString title, QString description,
                                                std::optional<QString> appID)
{
    QPointer<LauncherStore> self(this);
    const std::shared_ptr<FeedbackReporting> client = m_c.feedbackClient;

    // An id naming a hidden or unknown app is dropped rather than sent.
    std::optional<AppManifestItem> related;
    if (appID) {
        for (const AppManifestItem &app : std::as_const(m_manifest.apps)) {
            if (app.id == *appID && ManifestPolicy::isVisible(app, m_includeBetaApps)) {
                related = app;
                break;
            }
        }
    }

    FeedbackSubmissionRequest request;
    request.clientRequestId = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    request.type = type;
    request.title = title.trimmed();
    request.description = description.trimmed();
    if (related)
        request.appId = related->id;
    request.diagnostics = feedbackDiagnostics(related);

    setFeedbackState(FeedbackSubmissionState::submitting());
    const VantrelLocale requestLocale = m_locale;

    std::optional<FeedbackSubmissionResponse> response;
    std::optional<QString> serverText;
    try {
        if (client)
            response = co_await client->submitFeedback(std::move(request), requestLocale);
    } catch (const FeedbackClientError &error) {
        if (error.kind() == FeedbackClientError::Kind::server)
            serverText = error.serverText();
    } catch (...) {
        // Transport, status and decoding failures all read the same to the user.
    }
    if (!self)
        co_return;

    if (response)
        setFeedbackState(FeedbackSubmissionState::submitted(response->issue));
    else if (serverText)
        setFeedbackState(FeedbackSubmissionState::failed(*serverText));
    else
        setFeedbackState(FeedbackSubmissionState::failed(VantrelCopy::text(CopyKey::feedbackSubmitFailed, m_locale)));
}
