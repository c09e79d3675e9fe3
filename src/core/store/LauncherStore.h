#pragma once

#include "AnnouncementQueue.h"
#include "AppManagement.h"
#include "FeedbackFlow.h"
#include "InstallQueue.h"
#include "InstallRecords.h"
#include "InstallStates.h"
#include "Onboarding.h"
#include "SetIfChanged.h"
#include "StoreCollaborators.h"
#include "VariantValues.h"
#include "catalog/ManifestPolicy.h"
#include "i18n/VantrelTranslator.h"

#include <QCoroTask>
#include <QDateTime>
#include <QSet>

// The one application object, on the main thread: views read its properties
// and call its invokable operations. It hands the work to the install records
// and queue, the onboarding state, the announcement queue and the feedback flow.
class LauncherStore : public QObject
{
    Q_OBJECT

    // Published fields.
    Q_PROPERTY(LauncherManifest manifest READ manifest NOTIFY manifestChanged)
    Q_PROPERTY(QString selectedAppID READ selectedAppIDValue WRITE setSelectedAppIDValue NOTIFY selectedAppIDChanged)
    Q_PROPERTY(QVariantMap installStates READ installStatesValue NOTIFY installStatesChanged)
    Q_PROPERTY(bool onboardingComplete READ onboardingComplete WRITE setOnboardingComplete
                   NOTIFY onboardingCompleteChanged)
    Q_PROPERTY(QStringList selectedStarterAppIDs READ selectedStarterAppIDsValue NOTIFY selectedStarterAppIDsChanged)
    Q_PROPERTY(bool includeBetaApps READ includeBetaApps WRITE setIncludeBetaApps NOTIFY includeBetaAppsChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool showMenuBarExtra READ showMenuBarExtra WRITE setShowMenuBarExtra NOTIFY showMenuBarExtraChanged)
    Q_PROPERTY(QString locale READ localeCode WRITE setLocaleCode NOTIFY localeChanged)
    Q_PROPERTY(QVariant errorMessage READ errorMessageValue WRITE setErrorMessageValue NOTIFY errorMessageChanged)
    Q_PROPERTY(QVariantMap installedAppURLs READ installedAppURLsValue NOTIFY installedAppURLsChanged)
    Q_PROPERTY(QVariant pendingAnnouncement READ pendingAnnouncementValue NOTIFY pendingAnnouncementChanged)
    Q_PROPERTY(bool showingFeedbackSheet READ showingFeedbackSheet WRITE setShowingFeedbackSheet
                   NOTIFY showingFeedbackSheetChanged)
    Q_PROPERTY(FeedbackSubmissionState feedbackState READ feedbackState NOTIFY feedbackStateChanged)

    // Derived values; their signals fire whenever an input may have changed.
    Q_PROPERTY(QVariant selectedApp READ selectedAppValue NOTIFY selectedAppChanged)
    Q_PROPERTY(bool requiresOnboarding READ requiresOnboarding NOTIFY requiresOnboardingChanged)
    Q_PROPERTY(QString appCountLabel READ appCountLabel NOTIFY appCountLabelChanged)
    Q_PROPERTY(QString formattedToday READ formattedToday NOTIFY localeChanged)
    // The visible apps in catalog order.
    Q_PROPERTY(QVariantList visibleApps READ visibleAppsValue NOTIFY visibleAppsChanged)
    // When a catalog refresh last succeeded; invalid before the first.
    Q_PROPERTY(QDateTime lastCatalogCheck READ lastCatalogCheck NOTIFY lastCatalogCheckChanged)

    // Cancel, remove, roll back and update all.
    Q_PROPERTY(AppManagement *manage READ manage CONSTANT)

public:
    using Collaborators = StoreCollaborators;

    // The user-defaults keys.
    static inline const QString &installedVersionsKey = InstallRecords::versionsKey;
    static inline const QString &installedPathsKey = InstallRecords::pathsKey;
    static inline const QString &seenAnnouncementIDsKey = AnnouncementQueue::seenIDsKey;

    LauncherStore(Collaborators collaborators, LauncherManifest manifest, QObject *parent = nullptr);
    ~LauncherStore() override;

    // --- Published fields ---
    const LauncherManifest &manifest() const { return m_manifest; }
    const std::optional<QString> &selectedAppID() const { return m_selectedAppID; }
    void setSelectedAppID(const std::optional<QString> &id);
    const QHash<QString, AppInstallState> &installStates() const { return m_installStates->all(); }
    bool onboardingComplete() const { return m_onboarding->isComplete(); }
    void setOnboardingComplete(bool value) { m_onboarding->setComplete(value); }
    const QSet<QString> &selectedStarterAppIDs() const { return m_onboarding->starterAppIDs(); }
    bool includeBetaApps() const { return m_includeBetaApps; }
    void setIncludeBetaApps(bool value);
    bool launchAtLogin() const { return m_launchAtLogin; }
    void setLaunchAtLogin(bool value)
    {
        setIfChanged(this, m_launchAtLogin, value, &LauncherStore::launchAtLoginChanged);
    }
    bool showMenuBarExtra() const { return m_showMenuBarExtra; }
    void setShowMenuBarExtra(bool value)
    {
        setIfChanged(this, m_showMenuBarExtra, value, &LauncherStore::showMenuBarExtraChanged);
    }
    VantrelLocale locale() const { return m_translator->locale(); }
    void setLocale(VantrelLocale locale);
    const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    void setErrorMessage(const std::optional<QString> &message)
    {
        setIfChanged(this, m_errorMessage, message, &LauncherStore::errorMessageChanged);
    }
    const QHash<QString, QUrl> &installedAppURLs() const { return m_installedAppURLs; }
    const std::optional<LauncherAnnouncement> &pendingAnnouncement() const { return m_announcements->pending(); }
    bool showingFeedbackSheet() const { return m_showingFeedbackSheet; }
    void setShowingFeedbackSheet(bool value)
    {
        setIfChanged(this, m_showingFeedbackSheet, value, &LauncherStore::showingFeedbackSheetChanged);
    }
    const FeedbackSubmissionState &feedbackState() const { return m_feedback->state(); }
    void setFeedbackState(const FeedbackSubmissionState &state) { m_feedback->setState(state); }
    const QSet<QString> &seenAnnouncementIDs() const { return m_announcements->seenIDs(); }
    QDateTime lastCatalogCheck() const { return m_lastCatalogCheck; }

    // --- Derived values ---
    std::optional<AppManifestItem> selectedApp() const
    {
        return ManifestPolicy::firstVisibleApp(m_manifest, m_includeBetaApps, m_selectedAppID);
    }
    AppInstallState state(const AppManifestItem &app) const { return stateFor(app.id); }
    bool requiresOnboarding() const;
    QString appCountLabel() const;
    QString formattedToday() const { return m_translator->formattedDate(QDate::currentDate()); }

    // --- Operations ---
    // Refreshes the catalog; never fails (outcomes land in published fields).
    QCoro::Task<void> loadManifest();
    // Shows manifest as a successful refresh does: catalog, install states
    // reconciled, selection, pending announcement. fetchedAt is when it was
    // fetched; a later failed refresh names it in the error line.
    void applyCatalog(const LauncherManifest &manifest, const QDateTime &fetchedAt);
    // At start, before the first frame: applies the catalog the manifest loader
    // kept on disk, if it has a usable one. True when it did.
    bool restoreStoredCatalog();
    // When the catalog shown was fetched; null for the built-in one.
    const std::optional<QDateTime> &catalogFetchedAt() const { return m_catalogFetchedAt; }
    void install(const AppManifestItem &app);
    void open(const AppManifestItem &app);
    void toggleStarterSelection(const AppManifestItem &app) { m_onboarding->toggleStarter(app.id); }
    Q_INVOKABLE void finishOnboarding();
    Q_INVOKABLE void acknowledgePendingAnnouncement() { m_announcements->acknowledge(m_manifest); }
    Q_INVOKABLE void selectPendingAnnouncementApp();
    FeedbackDiagnostics feedbackDiagnostics(const std::optional<AppManifestItem> &relatedApp) const;
    QCoro::Task<void> submitFeedback(FeedbackType type, QString title, QString description,
                                     std::optional<QString> appID);

    // --- For the views (QML): apps are addressed by id ---
    Q_INVOKABLE void refreshCatalog() { loadManifest(); }  // the task runs on and frees itself
    Q_INVOKABLE void installApp(const QString &appId) { forApp(appId, &LauncherStore::install); }
    Q_INVOKABLE void openApp(const QString &appId) { forApp(appId, &LauncherStore::open); }
    Q_INVOKABLE void toggleStarter(const QString &appId) { forApp(appId, &LauncherStore::toggleStarterSelection); }
    Q_INVOKABLE AppInstallState stateFor(const QString &appId) const { return m_installStates->state(appId); }
    Q_INVOKABLE void sendFeedback(const QString &type, const QString &title, const QString &description,
                                  const QString &appId);  // empty appId: none
    Q_INVOKABLE void clearErrorMessage() { setErrorMessage(std::nullopt); }
    // A fresh feedback form: the state goes back to idle.
    Q_INVOKABLE void resetFeedbackState() { setFeedbackState(FeedbackSubmissionState::idle()); }

    // The running install of appId (progress, downloaded bytes) from install()
    // until the installer's outcome is known, or null; meanwhile a second install is refused.
    const InstallTransaction *installTransaction(const QString &appId) const { return m_installs->transaction(appId); }

    AppManagement *manage() const { return m_manage; }
    // Text forms for QML: an empty id clears the selection, an unknown language is ignored.
    QString selectedAppIDValue() const { return m_selectedAppID.value_or(QString()); }
    void setSelectedAppIDValue(const QString &id) { setSelectedAppID(id.isEmpty() ? std::nullopt : std::optional(id)); }
    QString localeCode() const { return VantrelLocaleUtil::rawValue(locale()); }
    void setLocaleCode(const QString &code);
    QVariant errorMessageValue() const { return m_errorMessage ? QVariant(*m_errorMessage) : QVariant(); }
    void setErrorMessageValue(const QVariant &value);  // null clears the line

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
    void lastCatalogCheckChanged();
    // An install task started; its transaction is published.
    void installStarted(const QString &appId);
    // An install task ended (success, failure or cancel); for tools and tests.
    void installFinished(const QString &appId, bool succeeded);

private:
    friend class AppManagement;  // records what it changes
    void connectDelegates();
    void applyPersistedInstallStates(const QList<AppManifestItem> &apps);
    QString refreshFailureLine(bool unverified) const;
    void recordInstalledApp(const InstalledApp &installed, const AppManifestItem &app);
    // The app's state and URL as its records and the disk say, as a refresh derives them.
    void restoreRecordedState(const AppManifestItem &app);
    void updatePendingAnnouncement() { m_announcements->update(m_manifest); }
    bool canInstall(const AppManifestItem &app) const;
    void setInstallState(const QString &appId, const AppInstallState &state) { m_installStates->set(appId, state); }
    void setManifest(const LauncherManifest &manifest);
    void setInstalledAppURLs(const QHash<QString, QUrl> &urls)
    {
        setIfChanged(this, m_installedAppURLs, urls, &LauncherStore::installedAppURLsChanged);
        // An install or a roll back changes them under the same URL.
        m_manage->updatePreviousVersions();
    }
    void emitDerivedChanges();
    void forApp(const QString &appId, void (LauncherStore::*operation)(const AppManifestItem &));
    std::optional<AppManifestItem> visibleApp(const QString &appId) const
    {
        return ManifestPolicy::firstVisibleApp(m_manifest, m_includeBetaApps, appId);
    }
    OperatingSystemVersion runningSystem() const;

    // Read sides of the properties whose C++ type QML cannot use.
    QVariantMap installStatesValue() const { return variantMap(installStates()); }
    QStringList selectedStarterAppIDsValue() const { return sortedList(selectedStarterAppIDs()); }
    QVariantMap installedAppURLsValue() const { return variantMap(m_installedAppURLs); }
    QVariant pendingAnnouncementValue() const { return optionalVariant(pendingAnnouncement()); }
    QVariant selectedAppValue() const { return optionalVariant(selectedApp()); }
    QVariantList visibleAppsValue() const
    {
        return variantList(ManifestPolicy::visibleApps(m_manifest, m_includeBetaApps));
    }

    Collaborators m_c;
    LauncherManifest m_manifest;
    std::optional<QDateTime> m_catalogFetchedAt;
    InstallRecords m_records;
    std::optional<QString> m_selectedAppID;
    bool m_includeBetaApps = true;
    bool m_launchAtLogin = false;
    bool m_showMenuBarExtra = true;
    std::optional<QString> m_errorMessage;
    QHash<QString, QUrl> m_installedAppURLs;
    bool m_showingFeedbackSheet = false;
    QDateTime m_lastCatalogCheck;
    VantrelTranslator *m_translator = nullptr;
    Onboarding *m_onboarding = nullptr;
    AnnouncementQueue *m_announcements = nullptr;
    FeedbackFlow *m_feedback = nullptr;
    InstallStates *m_installStates = nullptr;
    InstallQueue *m_installs = nullptr;
    AppManagement *m_manage = nullptr;

    // Last values of the derived properties, so their signals fire only on change.
    std::optional<AppManifestItem> m_lastSelectedApp;
    bool m_lastRequiresOnboarding = false;
    QString m_lastAppCountLabel;
};
