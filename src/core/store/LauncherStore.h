#pragma once

#include "catalog/AppInstallState.h"
#include "catalog/ManifestPolicy.h"
#include "catalog/Models.h"
#include "feedback/Feedback.h"
#include "i18n/VantrelCopy.h"
#include "i18n/VantrelLocale.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <QVariant>
#include <memory>

class ManifestLoading;
class AppInstalling;
class OperationalEventRecording;
class FeedbackReporting;
class ErrorReporting;
class UserDefaults;
class Workspace;
class SystemVersionProvider;
class SystemLanguageProvider;
class AppProperties;

// The one application object. Lives on the main thread; every published field
// is a property with a change signal; views read the properties and call the
// invokable operations.
class LauncherStore : public QObject
{
    Q_OBJECT

    // Published fields.
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

public:
    struct Collaborators {
        std::shared_ptr<ManifestLoading> manifestLoader;
        std::shared_ptr<AppInstalling> installer;
        std::shared_ptr<OperationalEventRecording> eventRecorder;
        std::shared_ptr<FeedbackReporting> feedbackClient;
        std::shared_ptr<ErrorReporting> errorReporter;
        std::shared_ptr<UserDefaults> userDefaults;
        // Platform layers.
        std::shared_ptr<Workspace> workspace;
        std::shared_ptr<const SystemVersionProvider> systemVersion;
        std::shared_ptr<const SystemLanguageProvider> systemLanguage;
        std::shared_ptr<const AppProperties> appProperties;
    };

    // The user-defaults keys.
    static const QString installedVersionsKey;    // "vantrel.installedVersions"
    static const QString installedPathsKey;       // "vantrel.installedPaths"
    static const QString seenAnnouncementIDsKey;  // "vantrel.seenAnnouncementIDs"

    LauncherStore(Collaborators collaborators, LauncherManifest manifest, QObject *parent = nullptr);
    ~LauncherStore() override;

    // --- Published fields (C++ API) ---
    const LauncherManifest &manifest() const { return m_manifest; }
    const std::optional<QString> &selectedAppID() const { return m_selectedAppID; }
    void setSelectedAppID(const std::optional<QString> &id);
    const QHash<QString, AppInstallState> &installStates() const { return m_installStates; }
    bool onboardingComplete() const { return m_onboardingComplete; }
    void setOnboardingComplete(bool value);
    const QSet<QString> &selectedStarterAppIDs() const { return m_selectedStarterAppIDs; }
    bool includeBetaApps() const { return m_includeBetaApps; }
    void setIncludeBetaApps(bool value);
    bool launchAtLogin() const { return m_launchAtLogin; }
    void setLaunchAtLogin(bool value);
    bool showMenuBarExtra() const { return m_showMenuBarExtra; }
    void setShowMenuBarExtra(bool value);
    VantrelLocale locale() const { return m_locale; }
    void setLocale(VantrelLocale locale);
    const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    void setErrorMessage(const std::optional<QString> &message);
    const QHash<QString, QUrl> &installedAppURLs() const { return m_installedAppURLs; }
    const std::optional<LauncherAnnouncement> &pendingAnnouncement() const { return m_pendingAnnouncement; }
    bool showingFeedbackSheet() const { return m_showingFeedbackSheet; }
    void setShowingFeedbackSheet(bool value);
    const FeedbackSubmissionState &feedbackState() const { return m_feedbackState; }
    void setFeedbackState(const FeedbackSubmissionState &state);
    const QSet<QString> &seenAnnouncementIDs() const { return m_seenAnnouncementIDs; }

    // --- Derived values ---
    std::optional<AppManifestItem> selectedApp() const;
    AppInstallState state(const AppManifestItem &app) const;
    bool requiresOnboarding() const;
    QString appCountLabel() const;
    QString formattedToday() const;
    QString catalogLifecycleName() const;
    QString launcherVersion() const;

    // --- Operations ---
    // Refreshes the catalog; never fails (outcomes land in published fields).
    QCoro::Task<void> loadManifest();
    void install(const AppManifestItem &app);
    void open(const AppManifestItem &app);
    void toggleStarterSelection(const AppManifestItem &app);
    Q_INVOKABLE void finishOnboarding();
    Q_INVOKABLE void acknowledgePendingAnnouncement();
    Q_INVOKABLE void selectPendingAnnouncementApp();
    FeedbackDiagnostics feedbackDiagnostics(const std::optional<AppManifestItem> &relatedApp) const;
    QCoro::Task<void> submitFeedback(FeedbackType type, QString title, QString description,
                                     std::optional<QString> appID);

    // --- For the views (QML): apps are addressed by id ---
    Q_INVOKABLE void refreshCatalog();  // starts loadManifest() and returns
    Q_INVOKABLE void installApp(const QString &appId);
    Q_INVOKABLE void openApp(const QString &appId);
    Q_INVOKABLE void toggleStarter(const QString &appId);
    Q_INVOKABLE bool isStarterSelected(const QString &appId) const;
    Q_INVOKABLE AppInstallState stateFor(const QString &appId) const;
    Q_INVOKABLE void sendFeedback(const QString &type, const QString &title, const QString &description,
                                  const QString &appId);  // empty appId: none
    Q_INVOKABLE void clearErrorMessage() { setErrorMessage(std::nullopt); }
    // Copy-catalogue lookup in the store's locale; values fill "{{name}}" placeholders.
    Q_INVOKABLE QString text(const QString &key, const QVariantMap &values = {}) const;

    // Ids whose installer is running (from install() until the installer's
    // outcome is known); a second install of such an app is refused.
    bool isInstallRunning(const QString &appId) const { return m_runningInstalls.contains(appId); }

    // Persistence helpers (a data blob holding a compact JSON object of texts).
    static QHash<QString, QString> loadStringDictionary(const QString &key, const UserDefaults &defaults);
    static void saveStringDictionary(const QHash<QString, QString> &map, const QString &key, UserDefaults &defaults);

    // QML-facing property accessors.
    QString selectedAppIDValue() const { return m_selectedAppID.value_or(QString()); }
    void setSelectedAppIDValue(const QString &id);
    QVariantMap installStatesValue() const;
    QStringList selectedStarterAppIDsValue() const;
    QString localeCode() const { return VantrelLocaleUtil::rawValue(m_locale); }
    void setLocaleCode(const QString &code);
    QVariant errorMessageValue() const { return m_errorMessage ? QVariant(*m_errorMessage) : QVariant(); }
    void setErrorMessageValue(const QVariant &value);
    QVariantMap installedAppURLsValue() const;
    QVariant pendingAnnouncementValue() const;
    QVariant selectedAppValue() const;

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
    // An install task ended (success or failure); for tools and tests.
    void installFinished(const QString &appId, bool succeeded);

private:
    void applyPersistedInstallStates(const QList<AppManifestItem> &apps);
    void clearPersistedInstall(const QString &appID);
    void recordInstalledApp(const struct InstalledApp &installed, const AppManifestItem &app);
    void updatePendingAnnouncement();
    bool passesInstallChecks(const AppManifestItem &app) const;
    QCoro::Task<void> runInstall(AppManifestItem app);
    void setInstallState(const QString &appId, const AppInstallState &state);
    void setManifest(const LauncherManifest &manifest);
    void setInstalledAppURLs(const QHash<QString, QUrl> &urls);
    void setPendingAnnouncement(const std::optional<LauncherAnnouncement> &announcement);
    void emitDerivedChanges();

    Collaborators m_c;
    LauncherManifest m_manifest;
    std::optional<QString> m_selectedAppID;
    QHash<QString, AppInstallState> m_installStates;
    bool m_onboardingComplete = false;
    QSet<QString> m_selectedStarterAppIDs;
    bool m_includeBetaApps = true;
    bool m_launchAtLogin = false;
    bool m_showMenuBarExtra = true;
    VantrelLocale m_locale = VantrelLocale::en;
    std::optional<QString> m_errorMessage;
    QHash<QString, QUrl> m_installedAppURLs;
    std::optional<LauncherAnnouncement> m_pendingAnnouncement;
    bool m_showingFeedbackSheet = false;
    FeedbackSubmissionState m_feedbackState;
    QSet<QString> m_seenAnnouncementIDs;
    QSet<QString> m_runningInstalls;

    // Last values of the derived properties, so their signals fire only on change.
    QVariant m_lastSelectedApp;
    bool m_lastRequiresOnboarding = false;
    QString m_lastAppCountLabel;
};
