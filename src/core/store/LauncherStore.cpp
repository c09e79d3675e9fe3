#include "LauncherStore.h"

#include "AppManagement.h"
#include "system/SystemLayers.h"

#include <QMetaEnum>

#include <algorithm>

LauncherStore::LauncherStore(Collaborators collaborators, LauncherManifest manifest, QObject *parent)
    : QObject(parent), m_c(std::move(collaborators)), m_manifest(std::move(manifest))
{
    // Selection: the first app, whatever its status.
    if (!m_manifest.apps.isEmpty())
        m_selectedAppID = m_manifest.apps.first().id;
    // Onboarding not complete with every app ticked; the preferences keep
    // their initial values; the language comes from the system.
    m_onboarding = new Onboarding(m_manifest.apps, this);
    m_copy = new CopyLookup(VantrelLocaleUtil::normalized(m_c.systemLanguage ? m_c.systemLanguage->preferredLanguage()
                                                                             : std::nullopt),
                            this);
    m_feedback = new FeedbackFlow(m_c.feedbackClient, m_copy, this);
    m_announcements = new AnnouncementQueue(m_c.userDefaults, this);
    // Every app starts notInstalled; the records and the disk say the rest.
    m_apps = new InstalledApps({m_c.installer, m_c.eventRecorder, m_c.errorReporter, m_c.userDefaults, m_c.workspace,
                                m_c.systemVersion},
                               m_manifest.apps, m_copy, this);
    const auto published = [this] { return ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps); };
    const auto find = [this](const QString &id) {
        const AppManifestItem *app = m_manifest.findApp(id);
        return app ? std::optional(*app) : std::nullopt;
    };
    m_manage = new AppManagement(m_apps, m_copy, {published, find}, this);
    m_manage->updateUpdatable();
    connectDelegates();
    m_announcements->update(m_manifest);

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
    connect(m_apps, &InstalledApps::stateChanged, this, &LauncherStore::installStateChanged);
    connect(m_apps, &InstalledApps::statesChanged, this, &LauncherStore::installStatesChanged);
    connect(m_apps, &InstalledApps::statesChanged, this, &LauncherStore::emitDerivedChanges);
    connect(m_apps, &InstalledApps::urlsChanged, this, &LauncherStore::installedAppURLsChanged);
    // Who hears of the start hears it before the first state.
    connect(m_apps, &InstalledApps::installStarted, this,
            [this](InstallTransaction *transaction) { Q_EMIT installStarted(transaction->appId()); });
    connect(m_apps, &InstalledApps::installFinished, this, &LauncherStore::installFinished);
    connect(m_apps, &InstalledApps::operationFinished, this, &LauncherStore::showOutcome);
    connect(m_manage, &AppManagement::summaryFailed, this, [this](const QString &summary) { setErrorMessage(summary); });
    for (auto changed : {&LauncherStore::manifestChanged, &LauncherStore::includeBetaAppsChanged})
        connect(this, changed, m_manage, &AppManagement::updateUpdatable);
}

void LauncherStore::showOutcome(const AppOperation *operation)
{
    // Within "update all" only the summary at the end is the error line.
    const QString line = m_apps->errorLine(*operation);
    if (!line.isEmpty() && !m_manage->isUpdating(operation->appId()))
        setErrorMessage(line);
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
    if (!m_copy->setLocale(locale))
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
    return m_copy->text(CopyKey::appCount, {{QStringLiteral("count"), QString::number(count)}});
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
        if (!m_apps->installRefusal(app))
            install(app);
    }
}

InstalledApps::Operation LauncherStore::install(const AppManifestItem &app)
{
    return m_apps->install(app);
}

InstalledApps::Operation LauncherStore::open(const AppManifestItem &app)
{
    return state(app).isInstalledOrUpdatable() ? m_apps->open(app) : install(app);
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

void LauncherStore::installApp(const QString &appId)
{
    if (const AppManifestItem *app = m_manifest.findApp(appId))
        install(*app);
}

void LauncherStore::openApp(const QString &appId)
{
    if (const AppManifestItem *app = m_manifest.findApp(appId))
        open(*app);
}

void LauncherStore::toggleStarter(const QString &appId)
{
    if (const AppManifestItem *app = m_manifest.findApp(appId))
        toggleStarterSelection(*app);
}

QString LauncherStore::installRefusalKey(const QString &appId) const
{
    const AppManifestItem *app = m_manifest.findApp(appId);
    const std::optional<Refusal> refusal = app ? m_apps->installRefusal(*app) : Refusal::unknownApp;
    return refusal ? QString::fromLatin1(QMetaEnum::fromType<CopyKey>().valueToKey(int(RefusalText::key(*refusal))))
                   : QString();
}

void LauncherStore::sendFeedback(const QString &type, const QString &title, const QString &description,
                                 const QString &appId)
{
    const FeedbackType feedbackType = FeedbackTypeUtil::fromRawValue(type).value_or(FeedbackType::other);
    submitFeedback(feedbackType, title, description, appId.isEmpty() ? std::nullopt : std::optional<QString>(appId));
}
