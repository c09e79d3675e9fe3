#pragma once

#include "AnnouncementQueue.h"
#include "codec/EnumNames.h"
#include "AppManagement.h"
#include "ErrorLine.h"
#include "FeedbackFlow.h"
#include "InstallRecords.h"
#include "InstalledAppChecks.h"
#include "InstalledApps.h"
#include "MeteredDownloads.h"
#include "RunningApps.h"
#include "Onboarding.h"
#include "SetIfChanged.h"
#include "StoreCollaborators.h"
#include "VariantValues.h"
#include "catalog/ManifestPolicy.h"
#include "i18n/VantrelTranslator.h"

#include <QCoroTask>
#include <QDateTime>
#include <QSet>
#include <algorithm>


// The one application object, on the main thread: views read its properties
// and call its invokable operations. Installed apps are the business of
// InstalledApps; this publishes them with the catalog, onboarding,
// announcements and feedback.
class LauncherStore : public QObject
{
    Q_OBJECT

    Q_PROPERTY(LauncherManifest manifest READ manifest NOTIFY manifestChanged)
    Q_PROPERTY(QString selectedAppID READ selectedAppIDValue WRITE setSelectedAppIDValue NOTIFY selectedAppIDChanged)
    Q_PROPERTY(QVariantMap installStates READ installStatesValue NOTIFY installStatesChanged)
    Q_PROPERTY(bool onboardingComplete READ onboardingComplete WRITE setOnboardingComplete NOTIFY onboardingCompleteChanged)
    Q_PROPERTY(QStringList selectedStarterAppIDs READ selectedStarterAppIDsValue NOTIFY selectedStarterAppIDsChanged)
    Q_PROPERTY(bool includeBetaApps READ includeBetaApps WRITE setIncludeBetaApps NOTIFY includeBetaAppsChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool showMenuBarExtra READ showMenuBarExtra WRITE setShowMenuBarExtra NOTIFY showMenuBarExtraChanged)
    Q_PROPERTY(QString locale READ localeCode WRITE setLocaleCode NOTIFY localeChanged)
    Q_PROPERTY(QVariant errorMessage READ errorMessageValue WRITE setErrorMessageValue NOTIFY errorMessageChanged)
    Q_PROPERTY(QVariantMap installedAppURLs READ installedAppURLsValue NOTIFY installedAppURLsChanged)
    Q_PROPERTY(QVariant pendingAnnouncement READ pendingAnnouncementValue NOTIFY pendingAnnouncementChanged)
    Q_PROPERTY(bool showingFeedbackSheet READ showingFeedbackSheet WRITE setShowingFeedbackSheet NOTIFY showingFeedbackSheetChanged)
    Q_PROPERTY(FeedbackSubmissionState feedbackState READ feedbackState NOTIFY feedbackStateChanged)
    // Derived values; their signals fire whenever an input may have changed.
    Q_PROPERTY(QVariant selectedApp READ selectedAppValue NOTIFY selectedAppChanged)
    Q_PROPERTY(bool requiresOnboarding READ requiresOnboarding NOTIFY requiresOnboardingChanged)
    Q_PROPERTY(QString appCountLabel READ appCountLabel NOTIFY appCountLabelChanged)
    Q_PROPERTY(QString formattedToday READ formattedToday NOTIFY localeChanged)
    Q_PROPERTY(QVariantList visibleApps READ visibleAppsValue NOTIFY visibleAppsChanged)  // in catalog order
    // Installed apps the catalog's lists do not show, by name.
    Q_PROPERTY(QVariantList unlistedInstalledApps READ unlistedInstalledAppsValue NOTIFY unlistedInstalledAppsChanged)
    Q_PROPERTY(AppManagement *manage READ manage CONSTANT)  // cancel, remove, roll back, update all
    Q_PROPERTY(InstalledAppChecks *checks READ checks CONSTANT)  // verify, repair, verify all
    Q_PROPERTY(RunningApps *running READ running CONSTANT)  // questions about running apps
    Q_PROPERTY(MeteredDownloads *metered READ metered CONSTANT)  // questions on a metered connection
    // When a catalog refresh last succeeded; invalid before the first.
    Q_PROPERTY(QDateTime lastCatalogCheck READ lastCatalogCheck NOTIFY lastCatalogCheckChanged)

public:
    using Collaborators = StoreCollaborators;

    static inline const QString &installedVersionsKey = InstallRecords::versionsKey;
    static inline const QString &installedPathsKey = InstallRecords::pathsKey;
    static inline const QString &seenAnnouncementIDsKey = AnnouncementQueue::seenIDsKey;

    LauncherStore(Collaborators collaborators, LauncherManifest manifest, QObject *parent = nullptr);

    const LauncherManifest &manifest() const { return m_manifest; }
    const std::optional<QString> &selectedAppID() const { return m_selectedAppID; }
    void setSelectedAppID(const std::optional<QString> &id);
    const QHash<QString, AppInstallState> &installStates() const { return m_apps->states(); }
    bool onboardingComplete() const { return m_onboarding->isComplete(); }
    void setOnboardingComplete(bool value) { m_onboarding->setComplete(value); }
    const QSet<QString> &selectedStarterAppIDs() const { return m_onboarding->starterAppIDs(); }
    bool includeBetaApps() const { return m_includeBetaApps; }
    void setIncludeBetaApps(bool value);
    bool launchAtLogin() const { return m_launchAtLogin; }
    void setLaunchAtLogin(bool value) { setIfChanged(this, m_launchAtLogin, value, &LauncherStore::launchAtLoginChanged); }
    bool showMenuBarExtra() const { return m_showMenuBarExtra; }
    void setShowMenuBarExtra(bool value) { setIfChanged(this, m_showMenuBarExtra, value, &LauncherStore::showMenuBarExtraChanged); }
    VantrelLocale locale() const { return m_translator->locale(); }
    void setLocale(VantrelLocale locale);
    const std::optional<QString> &errorMessage() const { return m_errorLine.text(); }
    void setErrorMessage(const std::optional<QString> &message) { m_errorLine.set(message); }
    const QHash<QString, QUrl> &installedAppURLs() const { return m_apps->urls(); }
    const std::optional<LauncherAnnouncement> &pendingAnnouncement() const { return m_announcements->pending(); }
    bool showingFeedbackSheet() const { return m_showingFeedbackSheet; }
    void setShowingFeedbackSheet(bool value) { setIfChanged(this, m_showingFeedbackSheet, value, &LauncherStore::showingFeedbackSheetChanged); }
    const FeedbackSubmissionState &feedbackState() const { return m_feedback->state(); }
    void setFeedbackState(const FeedbackSubmissionState &state) { m_feedback->setState(state); }
    const QSet<QString> &seenAnnouncementIDs() const { return m_announcements->seenIDs(); }
    QDateTime lastCatalogCheck() const { return m_lastCatalogCheck; }
    // Why the last catalog refresh failed, in the failure's own words; empty after a success.
    const QString &catalogFailureReason() const { return m_catalogFailureReason; }
    // When the catalog shown was fetched; null for the built-in one.
    const std::optional<QDateTime> &catalogFetchedAt() const { return m_catalogFetchedAt; }
    // When the catalog shown expired, if it has by the collaborators' clock.
    std::optional<QDateTime> catalogExpiredOn() const { return m_apps->catalogExpiredOn(); }
    InstalledApps *installedApps() const { return m_apps; }
    AppManagement *manage() const { return m_manage; }
    InstalledAppChecks *checks() const { return m_checks; }
    RunningApps *running() const { return m_running; }
    MeteredDownloads *metered() const { return m_metered; }

    // A visible app of the catalog, or an installed app the catalog's lists do not show.
    std::optional<AppManifestItem> selectedApp() const;
    // Installed apps the catalog dropped, retired or hides (a beta while betas
    // are hidden), by name: the catalog's lists never show them, yet they stay
    // within reach.
    QList<AppManifestItem> unlistedInstalledApps() const;
    AppInstallState state(const AppManifestItem &app) const { return stateFor(app.id); }
    bool requiresOnboarding() const { return m_onboarding->isRequired(m_manifest, m_includeBetaApps); }
    QString appCountLabel() const  // counts in place: it runs on every selection change
    {
        const auto count = std::count_if(m_manifest.apps.cbegin(), m_manifest.apps.cend(), [this](const AppManifestItem &app) { return ManifestPolicy::isVisible(app, m_includeBetaApps); });
        return qtTrId("appCount", int(count));
    }
    QString formattedToday() const { return m_translator->formattedDate(QDate::currentDate()); }

    // Refreshes the catalog; never fails (outcomes land in published fields).
    QCoro::Task<void> loadManifest();
    // Shows a loaded catalog: states, records, selection, announcements. fetchedAt
    // is when it was fetched; a later failed refresh names it in the error line.
    void applyManifest(const LauncherManifest &manifest, const QDateTime &fetchedAt = QDateTime::currentDateTimeUtc());
    // At start, before the first frame: applies the catalog the manifest loader
    // kept on disk, if it has a usable one. True when it did.
    bool restoreStoredCatalog();
    // Shows the catalog another process stored, when it is usable and was
    // fetched later than the one shown. Read on a worker.
    QCoro::Task<void> takeUpStoredCatalog();
    // A refusal or failure lands in the error line.
    InstalledApps::Operation install(const AppManifestItem &app) { return m_apps->install(app); }
    // An app that is not installed is installed instead.
    InstalledApps::Operation open(const AppManifestItem &app) { return state(app).hasInstalledCopy() ? m_apps->open(app) : install(app); }
    void toggleStarterSelection(const AppManifestItem &app) { m_onboarding->toggleStarter(app.id); }
    Q_INVOKABLE void finishOnboarding();
    Q_INVOKABLE void acknowledgePendingAnnouncement() { m_announcements->acknowledge(m_manifest); }
    Q_INVOKABLE void selectPendingAnnouncementApp();
    FeedbackDiagnostics feedbackDiagnostics(const std::optional<AppManifestItem> &relatedApp) const;
    QCoro::Task<void> submitFeedback(FeedbackType type, QString title, QString description, std::optional<QString> appID);

    // For the views (QML): apps are addressed by id.
    // Reads the records and the disk again at once, then refreshes the catalog.
    Q_INVOKABLE void refreshCatalog();
    // An update of a running app asks first (store.running).
    Q_INVOKABLE void installApp(const QString &appId);
    Q_INVOKABLE void openApp(const QString &appId) { if (const auto app = findApp(appId)) open(*app); }
    Q_INVOKABLE void toggleStarter(const QString &appId) { if (const auto app = findApp(appId)) toggleStarterSelection(*app); }
    Q_INVOKABLE AppInstallState stateFor(const QString &appId) const { return m_apps->state(appId); }
    // The catalog's record of the app, or the one its receipt kept; null for an unknown id.
    Q_INVOKABLE QVariant appFor(const QString &appId) const { return optionalVariant(findApp(appId)); }
    // Why an installed app is not in the catalog's lists; nullopt when it is (or is not installed).
    std::optional<NotListed> notListedReason(const QString &appId) const;
    // The same as a message id, a sentence or a badge's words; empty when it is listed.
    Q_INVOKABLE QString notListedKey(const QString &appId) const;
    Q_INVOKABLE QString notListedBadgeKey(const QString &appId) const;
    // The text key of the reason the app cannot be installed now; empty when it can.
    Q_INVOKABLE QString installRefusalKey(const QString &appId) const { return m_apps->installRefusalKey(findApp(appId)); }
    Q_INVOKABLE void sendFeedback(FeedbackType type, const QString &title, const QString &description, const QString &appId)
    {
        submitFeedback(type, title, description,
                       appId.isEmpty() ? std::nullopt : std::optional(appId));  // the task runs on and frees itself
    }
    Q_INVOKABLE void clearErrorMessage() { setErrorMessage(std::nullopt); }
    Q_INVOKABLE void resetFeedbackState() { setFeedbackState(FeedbackSubmissionState::idle()); }  // a fresh form

    // The running install or update of appId (progress, downloaded bytes) until its outcome is known, or null.
    const AppOperation *runningInstall(const QString &appId) const { return m_apps->runningInstall(appId); }

    // Text forms for QML: an empty id clears the selection, an unknown language is ignored, null clears the line.
    QString selectedAppIDValue() const { return m_selectedAppID.value_or(QString()); }
    void setSelectedAppIDValue(const QString &id) { setSelectedAppID(id.isEmpty() ? std::nullopt : std::optional(id)); }
    QString localeCode() const { return EnumNames::name(locale()); }
    void setLocaleCode(const QString &code) { if (const auto l = EnumNames::fromName<VantrelLocale>(code)) setLocale(*l); }
    QVariant errorMessageValue() const { return optionalVariant(m_errorLine.text()); }
    void setErrorMessageValue(const QVariant &value) { setErrorMessage(value.isNull() ? std::nullopt : std::optional(value.toString())); }

Q_SIGNALS:
    void manifestChanged();
    void selectedAppIDChanged();
    void installStatesChanged();
    // One app's state changed (also emitted with installStatesChanged).
    void installStateChanged(const QString &appId);
    void onboardingCompleteChanged();
    void selectedStarterAppIDsChanged();
    void includeBetaAppsChanged();
    void launchAtLoginChanged();
    void showMenuBarExtraChanged();
    void localeChanged();
    void errorMessageChanged();
    void installedAppURLsChanged();
    void pendingAnnouncementChanged();
    void showingFeedbackSheetChanged();
    void feedbackStateChanged();
    void selectedAppChanged();
    void requiresOnboardingChanged();
    void appCountLabelChanged();
    void visibleAppsChanged();
    void unlistedInstalledAppsChanged();
    void lastCatalogCheckChanged();
    void installStarted(const QString &appId);  // its operation is published
    void installFinished(const QString &appId, bool succeeded);  // done, failed or cancelled

private:
    void connectDelegates();
    void showOutcome(const AppOperation *operation);
    void setManifest(const LauncherManifest &manifest);
    // Onboarding has nothing to offer in a catalog without published apps.
    void completeOnboardingIfNothingPublished();
    // An expired catalog takes the error line; a fresh one clears what it said.
    void showCatalogExpiry();
    void emitDerivedChanges();
    // The catalog's app, or an installed app as its receipt describes it.
    std::optional<AppManifestItem> findApp(const QString &id) const { return m_apps->describedApp(id); }
    std::optional<AppManifestItem> visibleApp(const QString &appId) const { return ManifestPolicy::firstVisibleApp(m_manifest, m_includeBetaApps, appId); }

    // Read sides for QML.
    QVariantMap installStatesValue() const { return variantMap(installStates()); }
    QStringList selectedStarterAppIDsValue() const { return sortedList(selectedStarterAppIDs()); }
    QVariantMap installedAppURLsValue() const { return variantMap(installedAppURLs()); }
    QVariant pendingAnnouncementValue() const { return optionalVariant(pendingAnnouncement()); }
    QVariant selectedAppValue() const { return optionalVariant(selectedApp()); }
    QVariantList visibleAppsValue() const { return variantList(ManifestPolicy::visibleApps(m_manifest, m_includeBetaApps)); }
    QVariantList unlistedInstalledAppsValue() const { return variantList(unlistedInstalledApps()); }

    Collaborators m_c;
    LauncherManifest m_manifest;
    std::optional<QDateTime> m_catalogFetchedAt;
    QString m_catalogFailureReason;
    QDateTime m_lastCatalogCheck;
    std::optional<QString> m_selectedAppID;
    bool m_includeBetaApps = true;
    bool m_launchAtLogin = false;
    bool m_showMenuBarExtra = true;
    ErrorLine m_errorLine{[this] { Q_EMIT errorMessageChanged(); }};  // a catalog error follows the language
    bool m_showsExpiry = false;  // the error line is the catalog's expiry
    bool m_showingFeedbackSheet = false;
    VantrelTranslator *m_translator = nullptr;
    Onboarding *m_onboarding = nullptr;
    AnnouncementQueue *m_announcements = nullptr;
    FeedbackFlow *m_feedback = nullptr;
    InstalledApps *m_apps = nullptr;
    AppManagement *m_manage = nullptr;
    InstalledAppChecks *m_checks = nullptr;
    RunningApps *m_running = nullptr;
    MeteredDownloads *m_metered = nullptr;

    // Last values of the derived properties.
    std::optional<AppManifestItem> m_lastSelectedApp;
    bool m_lastRequiresOnboarding = false;
    QString m_lastAppCountLabel;
    QList<AppManifestItem> m_lastUnlisted;
};
