#include "LauncherStore.h"

#include "CatalogExpiry.h"
#include "CatalogFetch.h"
#include "StoredCatalogWatch.h"
#include "catalog/ManifestClient.h"
#include "install/BlockingWork.h"
#include "system/SystemLayers.h"

#include <QPointer>

LauncherStore::LauncherStore(Collaborators collaborators, LauncherManifest manifest, QObject *parent)
    : QObject(parent), m_c(std::move(collaborators)), m_manifest(std::move(manifest))
{
    if (!m_manifest.apps.isEmpty())  // the first app, whatever its status
        m_selectedAppID = m_manifest.apps.first().id;
    // Onboarding not complete with every app ticked; the language comes from the system.
    m_onboarding = new Onboarding(m_manifest.apps, this);
    m_translator = new VantrelTranslator(
        VantrelLocaleUtil::normalized(m_c.systemLanguage ? m_c.systemLanguage->preferredLanguage() : std::nullopt), this);
    m_feedback = new FeedbackFlow(m_c.feedbackClient, m_translator, this);
    m_announcements = new AnnouncementQueue(m_c.userDefaults, this);
    // Every app starts notInstalled; the records and the disk say the rest.
    m_apps = new InstalledApps(m_c, m_manifest.apps, this);
    const auto published = [this] { return ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps); };
    const auto find = [this](const QString &id) { return findApp(id); };
    m_running = new RunningApps(m_c.runningProcesses, m_apps, this);
    m_metered = new MeteredDownloads(m_c.networkCost, m_c.installer, this);
    m_manage = new AppManagement(m_apps, {published, find}, m_running, m_metered, this);
    m_manage->updateUpdatable();
    m_checks = new InstalledAppChecks(m_apps, find, m_running, this);
    connectDelegates();
    m_announcements->update(m_manifest);
    // The terminal tool's update stores the catalog it fetched; the window follows, as it follows the records.
    const QString storedCatalog
        = m_c.manifestLoader && m_c.followChangesElsewhere ? m_c.manifestLoader->storedCatalogPath() : QString();
    if (!storedCatalog.isEmpty()) {
        auto *watch = new StoredCatalogWatch(storedCatalog, this);
        connect(watch, &StoredCatalogWatch::changed, this, [this] { takeUpStoredCatalog(); });
    }

    m_lastSelectedApp = selectedApp();  // derived values: their signals fire only on change
    m_lastRequiresOnboarding = requiresOnboarding();
    m_lastAppCountLabel = appCountLabel();
    m_lastUnlisted = unlistedInstalledApps();
}

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
    connect(m_apps, &InstalledApps::urlsChanged, this, &LauncherStore::emitDerivedChanges);
    connect(m_apps, &InstalledApps::installedChanged, this, &LauncherStore::emitDerivedChanges);
    // Who hears of the start hears it before the first state.
    connect(m_apps, &InstalledApps::installStarted, this,
            [this](AppOperation *operation) { Q_EMIT installStarted(operation->appId()); });
    connect(m_apps, &InstalledApps::installFinished, this, &LauncherStore::installFinished);
    connect(m_apps, &InstalledApps::operationFinished, this, &LauncherStore::showOutcome);
    connect(m_manage, &AppManagement::summaryFailed, this, [this](const QString &summary) { setErrorMessage(summary); });
    connect(m_running, &RunningApps::failed, this, [this](const QString &line) { setErrorMessage(line); });
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
    m_manage->retranslate();
    m_checks->retranslate();
    m_errorLine.reword();
    Q_EMIT localeChanged();
    emitDerivedChanges();
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
    setIfChanged(this, m_lastUnlisted, unlistedInstalledApps(), &LauncherStore::unlistedInstalledAppsChanged);
}

std::optional<AppManifestItem> LauncherStore::selectedApp() const
{
    if (auto visible = ManifestPolicy::firstVisibleApp(m_manifest, m_includeBetaApps, m_selectedAppID))
        return visible;
    if (m_selectedAppID && !notListedKey(*m_selectedAppID).isEmpty())
        return m_apps->describedApp(*m_selectedAppID);
    return std::nullopt;
}

QList<AppManifestItem> LauncherStore::unlistedInstalledApps() const
{
    QList<AppManifestItem> apps;
    for (const QString &id : m_apps->installedIds()) {
        const std::optional<AppManifestItem> app = m_apps->describedApp(id);
        if (app && ManifestPolicy::whyNotListed(m_manifest, m_includeBetaApps, id))
            apps.append(*app);
    }
    std::stable_sort(apps.begin(), apps.end(), [](const AppManifestItem &a, const AppManifestItem &b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    return apps;
}

std::optional<NotListed> LauncherStore::notListedReason(const QString &appId) const
{
    if (!m_apps->urls().contains(appId))
        return std::nullopt;
    return ManifestPolicy::whyNotListed(m_manifest, m_includeBetaApps, appId);
}

QString LauncherStore::notListedKey(const QString &appId) const
{
    const std::optional<NotListed> reason = notListedReason(appId);
    return reason ? QString::fromLatin1(ManifestPolicy::notListedKey(*reason)) : QString();
}

QString LauncherStore::notListedBadgeKey(const QString &appId) const
{
    const std::optional<NotListed> reason = notListedReason(appId);
    return reason ? QString::fromLatin1(ManifestPolicy::notListedBadgeKey(*reason)) : QString();
}

void LauncherStore::refreshCatalog()
{
    m_apps->reconcileAgain();
    loadManifest();  // the task runs on and frees itself
}


void LauncherStore::finishOnboarding()
{
    // Checked first so that an app that cannot be installed is skipped without an error line.
    QList<AppManifestItem> starters;
    for (const AppManifestItem &app : m_onboarding->finish(ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps))) {
        if (!m_apps->installRefusal(app))
            starters.append(app);
    }
    m_metered->guard(starters, MeteredDownloads::Batch::installs, [this, starters] {
        for (const AppManifestItem &app : starters)
            install(app);
    });
}

void LauncherStore::installApp(const QString &appId)
{
    const std::optional<AppManifestItem> app = findApp(appId);
    if (!app)
        return;
    if (state(*app).hasInstalledCopy())
        m_running->guard(*app, RunningApps::Change::update, [this, app = *app] { return install(app); });
    else
        install(*app);
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
    const OperatingSystemVersion running = m_c.systemVersion ? m_c.systemVersion->operatingSystemVersion() : OperatingSystemVersion{};
    const FeedbackFlow::Snapshot snapshot{m_manifest, m_includeBetaApps, running, m_c.appProperties.get(), locale()};
    return FeedbackFlow::diagnostics(snapshot, relatedApp ? relatedApp : selectedApp());
}

QCoro::Task<void> LauncherStore::submitFeedback(FeedbackType type, QString title, QString description,
                                                std::optional<QString> appID)
{
    // An id naming a hidden or unknown app is dropped rather than sent.
    const std::optional<AppManifestItem> related = appID ? visibleApp(*appID) : std::nullopt;
    return m_feedback->submit(FeedbackFlow::request(type, title, description, related, feedbackDiagnostics(related)));
}

// --- The catalog: refreshed from the service, then applied ---

QCoro::Task<void> LauncherStore::loadManifest()
{
    QPointer<LauncherStore> self(this);
    const CatalogFetch fetch = co_await CatalogFetch::run(m_c.manifestLoader, locale());
    if (!self)
        co_return;
    m_catalogFailureReason = fetch.reason;
    if (fetch.manifest) {
        applyManifest(*fetch.manifest);
        co_return;
    }
    m_errorLine.setWording(CatalogFetch::failureWording(fetch.refused, m_catalogFetchedAt));
    // Refreshing goes on; while it fails, an expired catalog says so first.
    showCatalogExpiry();
    completeOnboardingIfNothingPublished();
}

void LauncherStore::showCatalogExpiry()
{
    if (const std::optional<QDateTime> expired = m_apps->catalogExpiredOn()) {
        m_errorLine.setWording(CatalogExpiry::wording(*expired));
        m_showsExpiry = true;
    } else if (m_showsExpiry) {
        m_errorLine.set(std::nullopt);
        m_showsExpiry = false;
    }
}

void LauncherStore::completeOnboardingIfNothingPublished()
{
    if (!ManifestPolicy::hasPublishedApps(m_manifest, m_includeBetaApps))
        setOnboardingComplete(true);
}

bool LauncherStore::restoreStoredCatalog()
{
    const std::optional<StoredCatalog> stored = m_c.manifestLoader ? m_c.manifestLoader->storedManifest() : std::nullopt;
    if (stored)
        applyManifest(stored->manifest, stored->fetchedAt);
    return stored.has_value();
}

QCoro::Task<void> LauncherStore::takeUpStoredCatalog()
{
    if (!m_c.manifestLoader)
        co_return;
    QPointer<LauncherStore> self(this);
    // Reading, verifying and decoding a large catalog takes a fifth of a
    // second for 10,000 apps: not on the window's thread.
    QCoro::Task<std::optional<StoredCatalog>> reading
        = BlockingWork::run([loader = m_c.manifestLoader] { return loader->storedManifest(); });
    const std::optional<StoredCatalog> stored = co_await reading;
    // Unusable (said in the log) or fetched no later than the one shown (this
    // window's own refresh stores its copy before showing it, and a slower
    // read of an earlier change may end last): the shown one stays.
    if (!self || !stored || (m_catalogFetchedAt && stored->fetchedAt <= *m_catalogFetchedAt))
        co_return;
    applyManifest(stored->manifest, stored->fetchedAt);
}

void LauncherStore::applyManifest(const LauncherManifest &manifest, const QDateTime &fetchedAt)
{
    m_catalogFetchedAt = fetchedAt;
    m_apps->setCatalogExpiresAt(manifest.expiresAt);
    setManifest(manifest);
    setIfChanged(this, m_lastCatalogCheck, QDateTime::currentDateTime(), &LauncherStore::lastCatalogCheckChanged);
    m_apps->reconcile(manifest.apps);
    // A staged update may come or go with the states unchanged.
    m_manage->updateUpdatable();
    // An installed app the catalog dropped stays selected: it is still shown.
    const bool selectionKnown = m_selectedAppID
        && (manifest.findApp(*m_selectedAppID) != nullptr || m_apps->installedIds().contains(*m_selectedAppID));
    if (!selectionKnown)
        setSelectedAppID(ManifestPolicy::defaultSelection(manifest, m_includeBetaApps));
    m_announcements->update(m_manifest);
    completeOnboardingIfNothingPublished();
    showCatalogExpiry();
}
