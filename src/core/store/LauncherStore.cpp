#include "LauncherStore.h"

#include "system/SystemLayers.h"
#include "catalog/ManifestClient.h"
#include "feedback/Feedback.h"
#include "install/AppInstaller.h"
#include "monitoring/Monitoring.h"

#include <QDate>
#include <QLocale>

const QString LauncherStore::installedVersionsKey = QStringLiteral("vantrel.installedVersions");
const QString LauncherStore::installedPathsKey = QStringLiteral("vantrel.installedPaths");
const QString LauncherStore::seenAnnouncementIDsKey = QStringLiteral("vantrel.seenAnnouncementIDs");

LauncherStore::LauncherStore(Collaborators collaborators, LauncherManifest manifest, QObject *parent)
    : QObject(parent)
{
    // 1. Nullable fields start empty.
    m_selectedAppID.reset();
    m_errorMessage.reset();
    m_pendingAnnouncement.reset();
    // 2. Collaborators.
    m_c = std::move(collaborators);
    // 3. Catalog.
    m_manifest = std::move(manifest);
    // 4. Selection: the first app, whatever its status.
    if (!m_manifest.apps.isEmpty())
        m_selectedAppID = m_manifest.apps.first().id;
    // 5. Every app starts notInstalled.
    for (const AppManifestItem &app : std::as_const(m_manifest.apps))
        m_installStates.insert(app.id, AppInstallState::notInstalled());
    // 6. Recorded paths.
    if (m_c.userDefaults) {
        const QHash<QString, QString> paths = loadStringDictionary(installedPathsKey, *m_c.userDefaults);
        for (auto it = paths.cbegin(); it != paths.cend(); ++it)
            m_installedAppURLs.insert(it.key(), QUrl::fromLocalFile(it.value()));
    }
    // 7. Onboarding.
    m_onboardingComplete = false;
    for (const AppManifestItem &app : std::as_const(m_manifest.apps))
        m_selectedStarterAppIDs.insert(app.id);
    // 8. Preferences.
    m_includeBetaApps = true;
    m_launchAtLogin = false;
    m_showMenuBarExtra = true;
    // 9. Language.
    m_locale = VantrelLocaleUtil::normalized(m_c.systemLanguage ? m_c.systemLanguage->preferredLanguage()
                                                                : std::nullopt);
    // 10. Feedback.
    m_showingFeedbackSheet = false;
    m_feedbackState = FeedbackSubmissionState::idle();
    // 11. Acknowledged announcements.
    if (m_c.userDefaults) {
        const QVariant seen = m_c.userDefaults->object(seenAnnouncementIDsKey);
        if (seen.typeId() == QMetaType::QStringList) {
            const QStringList ids = seen.toStringList();
            m_seenAnnouncementIDs = QSet<QString>(ids.cbegin(), ids.cend());
        }
    }
    // 12. Reconcile the records with the disk.
    applyPersistedInstallStates(m_manifest.apps);
    // 13. Pending announcement.
    updatePendingAnnouncement();

    m_lastSelectedApp = selectedAppValue();
    m_lastRequiresOnboarding = requiresOnboarding();
    m_lastAppCountLabel = appCountLabel();
}

LauncherStore::~LauncherStore() = default;

// --- Setters: each signal fires only when the value really changes ---

void LauncherStore::setSelectedAppID(const std::optional<QString> &id)
{
    if (m_selectedAppID == id)
        return;
    m_selectedAppID = id;
    Q_EMIT selectedAppIDChanged();
    emitDerivedChanges();
}

void LauncherStore::setOnboardingComplete(bool value)
{
    if (m_onboardingComplete == value)
        return;
    m_onboardingComplete = value;
    Q_EMIT onboardingCompleteChanged();
    emitDerivedChanges();
}

void LauncherStore::setIncludeBetaApps(bool value)
{
    if (m_includeBetaApps == value)
        return;
    m_includeBetaApps = value;
    Q_EMIT includeBetaAppsChanged();
    emitDerivedChanges();
}

void LauncherStore::setLaunchAtLogin(bool value)
{
    if (m_launchAtLogin == value)
        return;
    m_launchAtLogin = value;
    Q_EMIT launchAtLoginChanged();
}

void LauncherStore::setShowMenuBarExtra(bool value)
{
    if (m_showMenuBarExtra == value)
        return;
    m_showMenuBarExtra = value;
    Q_EMIT showMenuBarExtraChanged();
}

void LauncherStore::setLocale(VantrelLocale locale)
{
    if (m_locale == locale)
        return;
    m_locale = locale;
    Q_EMIT localeChanged();
    emitDerivedChanges();
}

void LauncherStore::setErrorMessage(const std::optional<QString> &message)
{
    if (m_errorMessage == message)
        return;
    m_errorMessage = message;
    Q_EMIT errorMessageChanged();
}

void LauncherStore::setShowingFeedbackSheet(bool value)
{
    if (m_showingFeedbackSheet == value)
        return;
    m_showingFeedbackSheet = value;
    Q_EMIT showingFeedbackSheetChanged();
}

void LauncherStore::setFeedbackState(const FeedbackSubmissionState &state)
{
    if (m_feedbackState == state)
        return;
    m_feedbackState = state;
    Q_EMIT feedbackStateChanged();
}

void LauncherStore::setManifest(const LauncherManifest &manifest)
{
    if (m_manifest == manifest)
        return;
    m_manifest = manifest;
    Q_EMIT manifestChanged();
    emitDerivedChanges();
}

void LauncherStore::setInstallState(const QString &appId, const AppInstallState &state)
{
    auto it = m_installStates.find(appId);
    if (it != m_installStates.end() && *it == state)
        return;
    m_installStates.insert(appId, state);
    Q_EMIT installStateChanged(appId);
    Q_EMIT installStatesChanged();
}

void LauncherStore::setInstalledAppURLs(const QHash<QString, QUrl> &urls)
{
    if (m_installedAppURLs == urls)
        return;
    m_installedAppURLs = urls;
    Q_EMIT installedAppURLsChanged();
}

void LauncherStore::setPendingAnnouncement(const std::optional<LauncherAnnouncement> &announcement)
{
    if (m_pendingAnnouncement == announcement)
        return;
    m_pendingAnnouncement = announcement;
    Q_EMIT pendingAnnouncementChanged();
}

void LauncherStore::emitDerivedChanges()
{
    const QVariant selected = selectedAppValue();
    const bool selectedSame = selected.isValid() == m_lastSelectedApp.isValid()
        && (!selected.isValid()
            || selected.value<AppManifestItem>() == m_lastSelectedApp.value<AppManifestItem>());
    if (!selectedSame) {
        m_lastSelectedApp = selected;
        Q_EMIT selectedAppChanged();
    }
    const bool onboarding = requiresOnboarding();
    if (onboarding != m_lastRequiresOnboarding) {
        m_lastRequiresOnboarding = onboarding;
        Q_EMIT requiresOnboardingChanged();
    }
    const QString countLabel = appCountLabel();
    if (countLabel != m_lastAppCountLabel) {
        m_lastAppCountLabel = countLabel;
        Q_EMIT appCountLabelChanged();
    }
}

// --- Derived values ---

std::optional<AppManifestItem> LauncherStore::selectedApp() const
{
    for (const AppManifestItem &app : std::as_const(m_manifest.apps)) {
        if (!ManifestPolicy::isVisible(app, m_includeBetaApps))
            continue;
        // No selection: the first visible app. A selection naming a hidden or
        // absent app yields nothing rather than another app.
        if (!m_selectedAppID || app.id == *m_selectedAppID)
            return app;
    }
    return std::nullopt;
}

AppInstallState LauncherStore::state(const AppManifestItem &app) const
{
    return m_installStates.value(app.id, AppInstallState::notInstalled());
}

bool LauncherStore::requiresOnboarding() const
{
    if (m_onboardingComplete)
        return false;
    for (const AppManifestItem &app : std::as_const(m_manifest.apps)) {
        if (ManifestPolicy::isPublished(app, m_includeBetaApps))
            return true;
    }
    return false;
}

QString LauncherStore::appCountLabel() const
{
    int count = 0;
    for (const AppManifestItem &app : std::as_const(m_manifest.apps)) {
        if (ManifestPolicy::isVisible(app, m_includeBetaApps))
            ++count;
    }
    return VantrelCopy::text(CopyKey::appCount, m_locale, {{QStringLiteral("count"), QString::number(count)}});
}

QString LauncherStore::formattedToday() const
{
    // Full weekday, day and full month in each language's conventional order
    // (the CLDR skeleton EEEE MMMM d); Polish takes the genitive month name,
    // which QLocale gives for "MMMM" next to a day.
    QString pattern;
    switch (m_locale) {
    case VantrelLocale::en:
        pattern = QStringLiteral("dddd, MMMM d");
        break;
    case VantrelLocale::pl:
        pattern = QStringLiteral("dddd, d MMMM");
        break;
    case VantrelLocale::de:
        pattern = QStringLiteral("dddd, d. MMMM");
        break;
    }
    const QLocale qlocale(VantrelLocaleUtil::rawValue(m_locale));
    return qlocale.toUpper(qlocale.toString(QDate::currentDate(), pattern));
}

QString LauncherStore::catalogLifecycleName() const
{
    return catalogLifecycleKindName(ManifestPolicy::catalogLifecycle(m_manifest, m_includeBetaApps).kind);
}

QString LauncherStore::launcherVersion() const
{
    if (m_c.appProperties) {
        const QVariant value = m_c.appProperties->value(QStringLiteral("CFBundleShortVersionString"));
        if (value.typeId() == QMetaType::QString)
            return value.toString();
    }
    return QStringLiteral("0.1.0");
}

// --- For the views ---

void LauncherStore::setSelectedAppIDValue(const QString &id)
{
    setSelectedAppID(id.isEmpty() ? std::nullopt : std::optional<QString>(id));
}

QVariantMap LauncherStore::installStatesValue() const
{
    QVariantMap map;
    for (auto it = m_installStates.cbegin(); it != m_installStates.cend(); ++it)
        map.insert(it.key(), QVariant::fromValue(it.value()));
    return map;
}

QStringList LauncherStore::selectedStarterAppIDsValue() const
{
    QStringList ids(m_selectedStarterAppIDs.cbegin(), m_selectedStarterAppIDs.cend());
    ids.sort();
    return ids;
}

void LauncherStore::setLocaleCode(const QString &code)
{
    if (const auto locale = VantrelLocaleUtil::fromRawValue(code))
        setLocale(*locale);
}

void LauncherStore::setErrorMessageValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        setErrorMessage(std::nullopt);
    else
        setErrorMessage(value.toString());
}

QVariantMap LauncherStore::installedAppURLsValue() const
{
    QVariantMap map;
    for (auto it = m_installedAppURLs.cbegin(); it != m_installedAppURLs.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}

QVariant LauncherStore::pendingAnnouncementValue() const
{
    return m_pendingAnnouncement ? QVariant::fromValue(*m_pendingAnnouncement) : QVariant();
}

QVariant LauncherStore::selectedAppValue() const
{
    const auto app = selectedApp();
    return app ? QVariant::fromValue(*app) : QVariant();
}

void LauncherStore::refreshCatalog()
{
    // The task runs on and frees itself when done.
    loadManifest();
}

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

bool LauncherStore::isStarterSelected(const QString &appId) const
{
    return m_selectedStarterAppIDs.contains(appId);
}

AppInstallState LauncherStore::stateFor(const QString &appId) const
{
    return m_installStates.value(appId, AppInstallState::notInstalled());
}

void LauncherStore::sendFeedback(const QString &type, const QString &title, const QString &description,
                                 const QString &appId)
{
    const FeedbackType feedbackType = FeedbackTypeUtil::fromRawValue(type).value_or(FeedbackType::other);
    submitFeedback(feedbackType, title, description,
                   appId.isEmpty() ? std::nullopt : std::optional<QString>(appId));
}

QString LauncherStore::text(const QString &key, const QVariantMap &values) const
{
    const auto copyKey = VantrelCopy::keyFromRawValue(key);
    if (!copyKey)
        return key;
    VantrelCopy::Values filled;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        filled.insert(it.key(), it.value().toString());
    return VantrelCopy::text(*copyKey, m_locale, filled);
}
