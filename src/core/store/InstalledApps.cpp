#include "InstalledApps.h"

#include "CatalogExpiry.h"
#include "InstallRunner.h"
#include "InstallStates.h"
#include "InstalledAppsSync.h"
#include "OperationWording.h"
#include "catalog/StagedRollout.h"
#include "catalog/VersionComparison.h"
#include "install/AppInstaller.h"
#include "install/InstalledCopyHandling.h"
#include "system/SystemLayers.h"

#include <QUuid>

InstalledApps::InstalledApps(const StoreCollaborators &collaborators, const QList<AppManifestItem> &apps, QObject *parent)
    : QObject(parent), m_c(collaborators), m_records(m_c.userDefaults), m_states(new InstallStates(apps, this)),
      m_installs(new InstallRunner(m_c, this)), m_sync(new InstalledAppsSync(m_c, this))
{
    connect(m_states, &InstallStates::stateChanged, this, &InstalledApps::stateChanged);
    connect(m_states, &InstallStates::changed, this, &InstalledApps::statesChanged);
    connectInstalls();
    reconcile(apps);
    // Another process (the terminal tool, a second login) changed the
    // records, or someone the bundles.
    connect(m_sync, &InstalledAppsSync::changedElsewhere, this, [this] { applyRecords(KeepFailures::yes); });
    m_sync->watch();
}

InstalledApps::~InstalledApps() = default;

// --- Read side ---

const QHash<QString, AppInstallState> &InstalledApps::states() const
{
    return m_states->all();
}

AppInstallState InstalledApps::state(const QString &appId) const
{
    return m_states->state(appId);
}

AppOperation *InstalledApps::runningInstall(const QString &appId) const
{
    return m_installs->running(appId);
}

QStringList InstalledApps::cancellable() const
{
    return m_installs->cancellable();
}

bool InstalledApps::hasEventsInFlight() const
{
    return m_installs->hasEventsInFlight();
}

QStringList InstalledApps::installedIds() const
{
    QStringList ids = m_urls.keys();
    ids.sort();
    return ids;
}

std::optional<AppManifestItem> InstalledApps::describedApp(const QString &appId) const
{
    if (const AppManifestItem *listed = catalogEntry(appId))
        return *listed;
    if (const auto it = m_installed.constFind(appId); it != m_installed.cend())
        return *it;
    return std::nullopt;
}

bool InstalledApps::hasUpdate(const QString &appId) const
{
    const AppInstallState current = state(appId);
    if (current.kind() == AppInstallState::Kind::updateAvailable)
        return true;
    if (current.kind() != AppInstallState::Kind::failed || !current.hasInstalledCopy())
        return false;
    const AppManifestItem *listed = newerListed(appId, current.installedCopyVersion());
    return listed && !declined(appId, listed->version) && offered(*listed);
}

std::optional<InstalledApps::StagedUpdate> InstalledApps::stagedUpdate(const QString &appId) const
{
    const AppInstallState current = state(appId);
    const bool settled = current.kind() == AppInstallState::Kind::installed || current.kind() == AppInstallState::Kind::failed;
    if (!settled || !current.hasInstalledCopy())
        return std::nullopt;
    const AppManifestItem *listed = newerListed(appId, current.installedCopyVersion());
    if (!listed || declined(appId, listed->version) || offered(*listed))
        return std::nullopt;
    return StagedUpdate{listed->version, listed->rolloutPercent};
}

bool InstalledApps::offered(const AppManifestItem &listed) const
{
    if (StagedRollout::decidedByPercent(listed.rolloutPercent))
        return listed.rolloutPercent >= 100;
    if (m_installId.isEmpty())
        m_installId = m_records.installId();
    // Without stored defaults: one id for this process.
    if (m_installId.isEmpty())
        m_installId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return StagedRollout::offered(m_installId, listed.id, listed.version, listed.rolloutPercent);
}

const AppManifestItem *InstalledApps::newerListed(const QString &appId, const QString &installedVersion) const
{
    const AppManifestItem *listed = catalogEntry(appId);
    const bool newer = listed && compareVersions(listed->version, installedVersion) == ComparisonResult::orderedDescending;
    return newer ? listed : nullptr;
}

const AppManifestItem *InstalledApps::catalogEntry(const QString &appId) const
{
    for (const AppManifestItem &app : m_catalog) {
        if (app.id == appId)
            return &app;
    }
    return nullptr;
}

bool InstalledApps::removalGoesToTrash(const QString &appId) const
{
    const QUrl bundle = m_urls.value(appId);
    return m_c.installedCopies && !bundle.isEmpty() && m_c.installedCopies->removesToTrash(bundle);
}

bool InstalledApps::isBusy(const QString &appId) const
{
    return m_installs->isRunning(appId) || m_changing.contains(appId);
}

// --- Checks ---

OperationRefusals::Facts InstalledApps::refusalFacts(const AppManifestItem &app) const
{
    const AppInstallState current = state(app.id);
    const std::optional<BundleVerification> found = verification(app.id);
    OperationRefusals::Facts facts;
    facts.listed = catalogEntry(app.id);
    facts.described = describedApp(app.id).has_value();
    facts.catalogExpired = catalogExpiredOn().has_value();
    facts.running = m_c.systemVersion ? m_c.systemVersion->operatingSystemVersion() : OperatingSystemVersion{};
    facts.shown = current.kind();
    facts.installedVersion = current.installedCopyVersion();
    facts.bundleKnown = m_urls.contains(app.id);
    facts.installing = m_installs->isRunning(app.id);
    facts.changing = m_changing.contains(app.id);
    facts.verifying = m_verifying.contains(app.id);
    facts.handlesInstalledCopies = m_c.installedCopies != nullptr;
    facts.hasUpdate = hasUpdate(app.id);
    facts.stagedUpdate = stagedUpdate(app.id).has_value();
    facts.held = m_held.contains(app.id);
    facts.hasPrevious = m_previousVersions.contains(app.id);
    if (found)
        facts.repair = found->repair();
    return facts;
}

std::optional<Refusal> InstalledApps::installRefusal(const AppManifestItem &app) const
{
    return OperationRefusals::install(app, refusalFacts(app));
}

std::optional<Refusal> InstalledApps::updateRefusal(const AppManifestItem &app) const
{
    return OperationRefusals::update(app, refusalFacts(app));
}

std::optional<Refusal> InstalledApps::removeRefusal(const AppManifestItem &app) const
{
    return OperationRefusals::remove(refusalFacts(app));
}

std::optional<Refusal> InstalledApps::rollBackRefusal(const AppManifestItem &app) const
{
    return OperationRefusals::rollBack(refusalFacts(app));
}

std::optional<Refusal> InstalledApps::verifyRefusal(const AppManifestItem &app) const
{
    return OperationRefusals::verify(refusalFacts(app));
}

std::optional<Refusal> InstalledApps::repairRefusal(const AppManifestItem &app) const
{
    return OperationRefusals::repair(refusalFacts(app));
}

std::optional<QDateTime> InstalledApps::catalogExpiredOn() const
{
    return CatalogExpiry::expiredOn(m_catalogExpiresAt, m_c.now());
}

QString InstalledApps::refusalText(Refusal refusal) const
{
    return OperationWording::refusalText(refusal, m_catalogExpiresAt);
}

QString InstalledApps::installRefusalKey(const std::optional<AppManifestItem> &app) const
{
    const std::optional<Refusal> refusal = app ? installRefusal(*app) : Refusal::unknownApp;
    return refusal ? QString::fromLatin1(RefusalText::key(*refusal)) : QString();
}

void InstalledApps::tidyDesktop()
{
    m_sync->tidyDesktop();
}

// --- Texts ---

QString InstalledApps::errorLine(const AppOperation &operation) const
{
    return OperationWording::errorLine(operation, m_catalogExpiresAt);
}

QString InstalledApps::reasonText(const AppOperation &operation) const
{
    return OperationWording::reasonText(operation, m_catalogExpiresAt);
}
