#include "LauncherStore.h"

#include "install/AppInstaller.h"
#include "system/SystemLayers.h"

#include <algorithm>

LauncherStore::LauncherStore(Collaborators collaborators, LauncherManifest manifest, QObject *parent)
    : QObject(parent), m_c(std::move(collaborators)), m_manifest(std::move(manifest)), m_records(m_c.userDefaults)
{
    // Nullable fields start empty; the collaborators and the catalog are kept.
    // Selection: the first app, whatever its status.
    if (!m_manifest.apps.isEmpty())
        m_selectedAppID = m_manifest.apps.first().id;
    // Every app starts notInstalled; the recorded paths give the first URLs.
    m_installStates = new InstallStates(m_manifest.apps, this);
    m_installedAppURLs = m_records.recordedURLs();
    // Onboarding not complete with every app ticked; the preferences keep
    // their initial values; the language comes from the system.
    m_onboarding = new Onboarding(m_manifest.apps, this);
    m_translator = new VantrelTranslator(VantrelLocaleUtil::normalized(m_c.systemLanguage ? m_c.systemLanguage->preferredLanguage()
                                                                             : std::nullopt),
                                         this);
    m_feedback = new FeedbackFlow(m_c.feedbackClient, m_translator, this);
    m_announcements = new AnnouncementQueue(m_c.userDefaults, this);
    m_installs = new InstallQueue({m_c.installer, m_c.eventRecorder, m_c.errorReporter}, this);
    m_manage = new AppManagement(*this, m_installs);
    connectDelegates();

    applyPersistedInstallStates(m_manifest.apps);
    updatePendingAnnouncement();

    m_lastSelectedApp = selectedApp();
    m_lastRequiresOnboarding = requiresOnboarding();
    m_lastAppCountLabel = appCountLabel();
}

LauncherStore::~LauncherStore() = default;

void LauncherStore::connectDelegates()
{
    connect(m_onboarding, &Onboarding::completeChanged, this, [this] {
        Q_EMIT onboardingCompleteChanged();
        emitDerivedChanges();
    });
    connect(m_onboarding, &Onboarding::starterAppIDsChanged, this, &LauncherStore::selectedStarterAppIDsChanged);
    connect(m_announcements, &AnnouncementQueue::pendingChanged, this, &LauncherStore::pendingAnnouncementChanged);
    connect(m_feedback, &FeedbackFlow::stateChanged, this, &LauncherStore::feedbackStateChanged);
    connect(m_installStates, &InstallStates::stateChanged, this, &LauncherStore::installStateChanged);
    connect(m_installStates, &InstallStates::changed, this, &LauncherStore::installStatesChanged);
    connect(m_installStates, &InstallStates::changed, this, &LauncherStore::emitDerivedChanges);
    // Who hears of the start hears it before the first state.
    connect(m_installs, &InstallQueue::started, this,
            [this](InstallTransaction *transaction) { Q_EMIT installStarted(transaction->appId()); });
    connect(m_installs, &InstallQueue::started, m_installStates, &InstallStates::follow);
    connect(m_installs, &InstallQueue::cancelled, this,
            [this](InstallTransaction *transaction) { restoreRecordedState(transaction->app()); });
    connect(m_installs, &InstallQueue::succeeded, this,
            [this](InstallTransaction *transaction, const InstalledApp &installed) {
                recordInstalledApp(installed, transaction->app());
            });
    connect(m_installs, &InstallQueue::failed, this, [this](InstallTransaction *transaction, const QString &reason) {
        const QString message = qtTrId("errorInstallFailed").arg(transaction->app().name, reason);
        transaction->setState(AppInstallState::failed(message));
        // Within "update all" only the summary at the end is the error line.
        if (!m_manage->isUpdating(transaction->appId()))
            setErrorMessage(message);
    });
    connect(m_installs, &InstallQueue::finished, this, &LauncherStore::installFinished);
}

// --- Setters with follow-up work; the plain ones are in the header ---

void LauncherStore::setSelectedAppID(const std::optional<QString> &id)
{
    if (setIfChanged(this, m_selectedAppID, id, &LauncherStore::selectedAppIDChanged))
        emitDerivedChanges();
}

void LauncherStore::setIncludeBetaApps(bool value)
{
    if (setIfChanged(this, m_includeBetaApps, value, &LauncherStore::includeBetaAppsChanged)) {
        Q_EMIT visibleAppsChanged();
        emitDerivedChanges();
    }
}

void LauncherStore::setLocale(VantrelLocale locale)
{
    if (!m_translator->setLocale(locale))
        return;
    Q_EMIT localeChanged();
    emitDerivedChanges();
}

void LauncherStore::setLocaleCode(const QString &code)
{
    if (const auto locale = VantrelLocaleUtil::fromRawValue(code))
        setLocale(*locale);
}

void LauncherStore::setErrorMessageValue(const QVariant &value)
{
    setErrorMessage(value.isNull() ? std::nullopt : std::optional(value.toString()));
}

void LauncherStore::setManifest(const LauncherManifest &manifest)
{
    if (setIfChanged(this, m_manifest, manifest, &LauncherStore::manifestChanged)) {
        Q_EMIT visibleAppsChanged();
        emitDerivedChanges();
    }
}

void LauncherStore::emitDerivedChanges()
{
    setIfChanged(this, m_lastSelectedApp, selectedApp(), &LauncherStore::selectedAppChanged);
    setIfChanged(this, m_lastRequiresOnboarding, requiresOnboarding(), &LauncherStore::requiresOnboardingChanged);
    setIfChanged(this, m_lastAppCountLabel, appCountLabel(), &LauncherStore::appCountLabelChanged);
}

// --- Derived values ---

// These two run on every selection change: they count in place rather than copy lists.
bool LauncherStore::requiresOnboarding() const
{
    const auto published = [this](const AppManifestItem &app) {
        return ManifestPolicy::isPublished(app, m_includeBetaApps);
    };
    return !onboardingComplete() && std::any_of(m_manifest.apps.cbegin(), m_manifest.apps.cend(), published);
}

QString LauncherStore::appCountLabel() const
{
    const auto visible = [this](const AppManifestItem &app) {
        return ManifestPolicy::isVisible(app, m_includeBetaApps);
    };
    const auto count = std::count_if(m_manifest.apps.cbegin(), m_manifest.apps.cend(), visible);
    return qtTrId("appCount", int(count));
}

OperatingSystemVersion LauncherStore::runningSystem() const
{
    return m_c.systemVersion ? m_c.systemVersion->operatingSystemVersion() : OperatingSystemVersion{};
}

// --- Onboarding, announcements and feedback ---

void LauncherStore::finishOnboarding()
{
    const QList<AppManifestItem> ticked =
        m_onboarding->finish(ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps));
    for (const AppManifestItem &app : ticked) {
        // Checked first so that an app that cannot be installed is skipped
        // without an error line.
        if (canInstall(app))
            install(app);
    }
}

void LauncherStore::selectPendingAnnouncementApp()
{
    if (!pendingAnnouncement())
        return;
    if (const auto app = visibleApp(pendingAnnouncement()->appId))
        setSelectedAppID(app->id);
    acknowledgePendingAnnouncement();
}

FeedbackDiagnostics LauncherStore::feedbackDiagnostics(const std::optional<AppManifestItem> &relatedApp) const
{
    const FeedbackFlow::Snapshot snapshot{m_manifest, m_includeBetaApps, runningSystem(), m_c.appProperties.get(),
                                          locale()};
    return FeedbackFlow::diagnostics(snapshot, relatedApp ? relatedApp : selectedApp());
}

QCoro::Task<void> LauncherStore::submitFeedback(FeedbackType type, QString title, QString description,
                                                std::optional<QString> appID)
{
    // An id naming a hidden or unknown app is dropped rather than sent.
    const std::optional<AppManifestItem> related = appID ? visibleApp(*appID) : std::nullopt;
    return m_feedback->submit(FeedbackFlow::request(type, title, description, related, feedbackDiagnostics(related)));
}

// --- For the views ---

void LauncherStore::forApp(const QString &appId, void (LauncherStore::*operation)(const AppManifestItem &))
{
    if (const AppManifestItem *app = m_manifest.findApp(appId))
        (this->*operation)(*app);
}

void LauncherStore::sendFeedback(const QString &type, const QString &title, const QString &description,
                                 const QString &appId)
{
    const FeedbackType feedbackType = FeedbackTypeUtil::fromRawValue(type).value_or(FeedbackType::other);
    submitFeedback(feedbackType, title, description, appId.isEmpty() ? std::nullopt : std::optional<QString>(appId));
}
