// Install, update and open.

#include "LauncherStore.h"

#include "system/SystemLayers.h"
#include "install/AppInstaller.h"
#include "monitoring/Monitoring.h"

#include <QFileInfo>
#include <QPointer>

namespace {

LauncherOperationalEvent installEvent(const AppManifestItem &app, const QString &type, const QString &status,
                                      std::optional<QString> reason = std::nullopt)
{
    LauncherOperationalEvent event;
    event.eventType = type;
    event.appSlug = app.id;
    event.appVersion = app.version;
    event.status = status;
    event.reason = std::move(reason);
    return event;
}

// The recorder never fails by contract; a substitute that does must not stop an install.
QCoro::Task<void> recordQuietly(std::shared_ptr<OperationalEventRecording> recorder, LauncherOperationalEvent event)
{
    if (!recorder)
        co_return;
    try {
        co_await recorder->recordEvent(std::move(event));
    } catch (...) {
    }
}

}  // namespace

bool LauncherStore::passesInstallChecks(const AppManifestItem &app) const
{
    if (!ManifestPolicy::hasPublishedRelease(app))
        return false;
    if (app.status == AppReleaseStatus::comingSoon || app.status == AppReleaseStatus::retired)
        return false;
    const std::optional<OperatingSystemVersion> minimum = ManifestPolicy::macOSVersion(app.minMacOS);
    if (!minimum)
        return false;
    const OperatingSystemVersion running =
        m_c.systemVersion ? m_c.systemVersion->operatingSystemVersion() : OperatingSystemVersion{};
    if (running < *minimum)
        return false;
    switch (state(app).kind()) {
    case AppInstallState::Kind::notInstalled:
    case AppInstallState::Kind::updateAvailable:
    case AppInstallState::Kind::failed:
        break;
    case AppInstallState::Kind::installing:
    case AppInstallState::Kind::installed:
        return false;
    }
    // A refresh may turn a running install's state into updateAvailable from an
    // older record; the installer must still never run twice for one app.
    if (m_runningInstalls.contains(app.id))
        return false;
    return true;
}

void LauncherStore::install(const AppManifestItem &app)
{
    if (!passesInstallChecks(app)) {
        setErrorMessage(VantrelCopy::text(CopyKey::errorCannotInstall, m_locale, {{QStringLiteral("app"), app.name}}));
        return;
    }
    // Published before returning, so a second call right after is refused.
    m_runningInstalls.insert(app.id);
    setInstallState(app.id, AppInstallState::installing(0.04));
    runInstall(app);
}

QCoro::Task<void> LauncherStore::runInstall(AppManifestItem app)
{
    QPointer<LauncherStore> self(this);
    // The collaborators stay alive for the task even if the store goes away.
    const std::shared_ptr<AppInstalling> installer = m_c.installer;
    const std::shared_ptr<OperationalEventRecording> recorder = m_c.eventRecorder;
    const std::shared_ptr<ErrorReporting> reporter = m_c.errorReporter;

    co_await recordQuietly(recorder, installEvent(app, QStringLiteral("install_started"), QStringLiteral("started")));
    if (!self)
        co_return;

    std::optional<InstalledApp> installed;
    QString failureDescription;
    QString failureDebug;
    bool reported = false;
    try {
        if (!installer)
            throw PlatformError(PlatformError::Domain::process, QStringLiteral("No installer is available."));
        installed = co_await installer->install(app);
    } catch (const LauncherError &error) {
        failureDescription = error.localizedDescription();
        failureDebug = error.debugDescription();
        if (self && reporter) {
            reporter->report(error, {{QStringLiteral("flow"), QStringLiteral("install")},
                                                  {QStringLiteral("app"), app.id},
                                                  {QStringLiteral("version"), app.version}});
            reported = true;
        }
    } catch (const std::exception &error) {
        failureDescription = QString::fromLocal8Bit(error.what());
        failureDebug = failureDescription;
    } catch (...) {
        failureDescription = QStringLiteral("Unknown error.");
        failureDebug = QStringLiteral("unknown");
    }
    if (!self)
        co_return;
    m_runningInstalls.remove(app.id);

    if (installed) {
        recordInstalledApp(*installed, app);
        co_await recordQuietly(recorder,
                               installEvent(app, QStringLiteral("install_succeeded"), QStringLiteral("succeeded")));
        if (self)
            Q_EMIT installFinished(app.id, true);
        co_return;
    }

    if (!reported && reporter) {
        reporter->reportMessage(failureDescription, {{QStringLiteral("flow"), QStringLiteral("install")},
                                                                  {QStringLiteral("app"), app.id},
                                                                  {QStringLiteral("version"), app.version}});
    }
    const QString message = VantrelCopy::text(
        CopyKey::errorInstallFailed, m_locale,
        {{QStringLiteral("app"), app.name}, {QStringLiteral("reason"), failureDescription}});
    setInstallState(app.id, AppInstallState::failed(message));
    setErrorMessage(message);
    co_await recordQuietly(recorder, installEvent(app, QStringLiteral("install_failed"), QStringLiteral("failed"),
                                                  failureDebug));
    if (self)
        Q_EMIT installFinished(app.id, false);
}

void LauncherStore::recordInstalledApp(const InstalledApp &installed, const AppManifestItem &app)
{
    setInstallState(app.id, AppInstallState::installed(installed.version));
    QHash<QString, QUrl> urls = m_installedAppURLs;
    urls.insert(app.id, installed.url);
    setInstalledAppURLs(urls);
    if (!m_c.userDefaults)
        return;
    QHash<QString, QString> versions = loadStringDictionary(installedVersionsKey, *m_c.userDefaults);
    versions.insert(app.id, installed.version);
    saveStringDictionary(versions, installedVersionsKey, *m_c.userDefaults);
    QHash<QString, QString> paths = loadStringDictionary(installedPathsKey, *m_c.userDefaults);
    paths.insert(app.id, installed.url.toLocalFile());
    saveStringDictionary(paths, installedPathsKey, *m_c.userDefaults);
}

void LauncherStore::open(const AppManifestItem &app)
{
    if (!state(app).isInstalledOrUpdatable()) {
        install(app);
        return;
    }
    Workspace *workspace = m_c.workspace.get();

    const auto recorded = m_installedAppURLs.constFind(app.id);
    if (recorded != m_installedAppURLs.cend() && recorded->isLocalFile() && QFileInfo::exists(recorded->toLocalFile())
        && (!workspace || workspace->canOpenApplication(*recorded))) {
        if (workspace)
            workspace->openApplication(*recorded);
        return;
    }

    if (workspace && !app.bundleId.isEmpty()) {
        if (const std::optional<QUrl> found = workspace->urlForApplication(app.bundleId)) {
            workspace->openApplication(*found);
            return;
        }
    }

    clearPersistedInstall(app.id);
    setInstallState(app.id, AppInstallState::notInstalled());
    setErrorMessage(VantrelCopy::text(CopyKey::errorNoBundle, m_locale, {{QStringLiteral("app"), app.name}}));
}
