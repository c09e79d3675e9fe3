#include "FeedbackFlow.h"
#include "codec/EnumNames.h"

#include "SetIfChanged.h"
#include "i18n/VantrelTranslator.h"
#include "log/Logging.h"
#include "system/SystemLayers.h"

#include <QPointer>
#include <QUuid>

FeedbackFlow::FeedbackFlow(std::shared_ptr<FeedbackReporting> client, const VantrelTranslator *translator, QObject *parent)
    : QObject(parent), m_client(std::move(client)), m_translator(translator)
{
}

void FeedbackFlow::setState(const FeedbackSubmissionState &state)
{
    setIfChanged(this, m_state, state, &FeedbackFlow::stateChanged);
}

QString FeedbackFlow::launcherVersion(const AppProperties *properties)
{
    if (properties) {
        const QVariant value = properties->value(QStringLiteral("CFBundleShortVersionString"));
        if (value.typeId() == QMetaType::QString)
            return value.toString();
    }
    return QStringLiteral("0.1.0");
}

FeedbackDiagnostics FeedbackFlow::diagnostics(const Snapshot &snapshot, const std::optional<AppManifestItem> &app)
{
    FeedbackDiagnostics diagnostics;
    diagnostics.macOSVersion = snapshot.system.toString();
    diagnostics.launcherVersion = launcherVersion(snapshot.appProperties);
    diagnostics.locale = EnumNames::name(snapshot.locale);
    diagnostics.catalogLifecycle =
        EnumNames::name(ManifestPolicy::catalogLifecycle(snapshot.manifest, snapshot.includeBeta).kind);
    diagnostics.visibleAppCount = int(ManifestPolicy::visibleApps(snapshot.manifest, snapshot.includeBeta).size());
    diagnostics.publishedAppCount = int(ManifestPolicy::publishedApps(snapshot.manifest, snapshot.includeBeta).size());
    diagnostics.comingSoonAppCount = int(ManifestPolicy::comingSoonApps(snapshot.manifest).size());
    if (app) {
        diagnostics.selectedAppId = app->id;
        diagnostics.selectedAppName = app->name;
        diagnostics.selectedAppVersion = app->version;
    }
    return diagnostics;
}

FeedbackSubmissionRequest FeedbackFlow::request(FeedbackType type, const QString &title, const QString &description,
                                                const std::optional<AppManifestItem> &related,
                                                FeedbackDiagnostics diagnostics)
{
    FeedbackSubmissionRequest request;
    request.clientRequestId = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    request.type = type;
    request.title = title.trimmed();
    request.description = description.trimmed();
    if (related)
        request.appId = related->id;
    request.diagnostics = std::move(diagnostics);
    return request;
}

QCoro::Task<void> FeedbackFlow::submit(FeedbackSubmissionRequest request)
{
    QPointer<FeedbackFlow> self(this);
    const std::shared_ptr<FeedbackReporting> client = m_client;
    setState(FeedbackSubmissionState::submitting());
    const VantrelLocale requestLocale = m_translator->locale();

    std::optional<FeedbackSubmissionResponse> response;
    std::optional<QString> serverText;
    try {
        if (client)
            response = co_await client->submitFeedback(std::move(request), requestLocale);
    } catch (const FeedbackClientError &error) {
        if (error.kind() == FeedbackClientError::Kind::server)
            serverText = error.serverText();
        else
            qCInfo(lcStore) << "Feedback not accepted:" << error.debugDescription();
    } catch (...) {
        // Transport, status and decoding failures all read the same to the user.
        qCInfo(lcStore) << "Feedback could not be sent";
    }
    if (!self)
        co_return;

    if (response)
        setState(FeedbackSubmissionState::submitted(response->issue));
    else if (serverText)
        setState(FeedbackSubmissionState::failed(*serverText));
    else
        setState(FeedbackSubmissionState::failed(qtTrId("feedbackSubmitFailed")));
}
