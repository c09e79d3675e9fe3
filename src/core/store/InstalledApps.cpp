#include "InstalledApps.h"

#include "AppOpening.h"
#include "CatalogExpiry.h"
#include "RecordsWatch.h"
#include "InstallRunner.h"
#include "InstallStates.h"
#include "catalog/ManifestPolicy.h"
#include "catalog/StagedRollout.h"
#include "catalog/VersionComparison.h"
#include "i18n/PlatformWords.h"
#include "install/AppInstaller.h"
#include "install/InstalledCopyHandling.h"
#include "install/InstallReceipt.h"
#include "log/Logging.h"
#include "system/DesktopEntries.h"
#include "system/SystemLayers.h"

#include <QFileInfo>
#include <QMetaEnum>
#include <QPointer>
#include <QUuid>


InstalledApps::InstalledApps(const StoreCollaborators &collaborators, const QList<AppManifestItem> &apps, QObject *parent)
    : QObject(parent), m_c(collaborators), m_records(m_c.userDefaults), m_states(new InstallStates(apps, this)),
      m_installs(new InstallRunner(m_c, this))
{
    connect(m_states, &InstallStates::stateChanged, this, &InstalledApps::stateChanged);
    connect(m_states, &InstallStates::changed, this, &InstalledApps::statesChanged);
    connectInstalls();
    reconcile(apps);
    // Another process (the terminal tool, a second login) changed the
    // records, or someone the bundles.
    const QString recordsFile = m_c.userDefaults && m_c.followChangesElsewhere ? m_c.userDefaults->storagePath() : QString();
    if (!recordsFile.isEmpty()) {
        m_watch = new RecordsWatch(recordsFile, this);
        connect(m_watch, &RecordsWatch::changed, this, [this] { applyRecords(KeepFailures::yes); });
        watchBundleFolders();
    }
}

InstalledApps::~InstalledApps() = default;

QString InstalledApps::describe(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const LauncherError &error) {
        return error.localizedDescription();
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("Unknown error.");
    }
}


void InstalledApps::connectInstalls()
{
    connect(m_installs, &InstallRunner::started, m_states, &InstallStates::follow);
    connect(m_installs, &InstallRunner::started, this, &InstalledApps::installStarted);
    connect(m_installs, &InstallRunner::cancellableChanged, this, &InstalledApps::cancellableChanged);
    connect(m_installs, &InstallRunner::eventsSent, this, &InstalledApps::eventsSent);
    connect(m_installs, &InstallRunner::finished, this, &InstalledApps::installFinished);
    connect(m_installs, &InstallRunner::succeeded, this, [this](AppOperation *operation, const InstalledApp &installed) {
        recordInstalled(installed, operation->app());
        finish(operation, OperationOutcome::done());
    });
    connect(m_installs, &InstallRunner::failed, this, [this](AppOperation *operation, const OperationOutcome &outcome) {
        finish(operation, outcome);
        // A failed update or reinstall leaves the installed copy in place, and it stays reachable.
        const InstallRecords::Recorded kept = m_records.reconcile().value(operation->appId());
        m_states->set(operation->appId(), AppInstallState::failed(errorLine(*operation), kept.version));
    });
    connect(m_installs, &InstallRunner::cancelled, this, [this](AppOperation *operation) {
        restoreRecordedState(operation->app());
        finish(operation, OperationOutcome::cancelled());
    });
}

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

std::optional<Refusal> InstalledApps::catalogRefusal(const AppManifestItem &app) const
{
    // A record an installed app's receipt kept is no release to install from.
    if (!catalogEntry(app.id))
        return describedApp(app.id) ? Refusal::notInCatalog : Refusal::unknownApp;
    if (app.status == AppReleaseStatus::comingSoon)
        return Refusal::comingSoon;
    if (app.status == AppReleaseStatus::retired)
        return Refusal::retired;
    if (!app.downloadUrl || !app.sha256 || app.version.trimmed().isEmpty())
        return Refusal::noPublishedRelease;
    if (!ManifestPolicy::isValidSha256(*app.sha256))
        return Refusal::malformedChecksum;
    const OperatingSystemVersion running
        = m_c.systemVersion ? m_c.systemVersion->operatingSystemVersion() : OperatingSystemVersion{};
    const std::optional<OperatingSystemVersion> minimum = ManifestPolicy::macOSVersion(app.minMacOS);
    if (!minimum || running < *minimum)
        return Refusal::systemTooOld;
    // The policy has the last word on what counts as published.
    if (ManifestPolicy::installCheck(app, running) != ManifestPolicy::InstallCheck::passes)
        return Refusal::noPublishedRelease;
    return std::nullopt;
}

std::optional<Refusal> InstalledApps::installRefusal(const AppManifestItem &app) const
{
    if (const std::optional<Refusal> refusal = catalogRefusal(app))
        return refusal;
    if (catalogExpiredOn())
        return Refusal::catalogExpired;
    const AppInstallState::Kind kind = state(app.id).kind();
    // A refresh never turns a running install's state back, but the installer
    // must never run twice for one app whatever the state says.
    if (kind == AppInstallState::Kind::installing || m_installs->isRunning(app.id))
        return Refusal::alreadyInstalling;
    // Shown installed, a version not yet offered here can still be taken.
    if (kind == AppInstallState::Kind::installed && !stagedUpdate(app.id))
        return Refusal::alreadyInstalled;
    if (m_changing.contains(app.id))
        return Refusal::busy;
    return std::nullopt;
}

std::optional<Refusal> InstalledApps::updateRefusal(const AppManifestItem &app) const
{
    if (m_held.contains(app.id) && !m_installs->isRunning(app.id))
        return Refusal::held;
    if (!hasUpdate(app.id) && !stagedUpdate(app.id) && !m_installs->isRunning(app.id))
        return Refusal::noUpdate;
    return installRefusal(app);
}

std::optional<Refusal> InstalledApps::changeRefusal(const AppManifestItem &app) const
{
    if (!m_c.installedCopies)
        return Refusal::noInstaller;
    if (m_installs->isRunning(app.id))
        return Refusal::alreadyInstalling;
    if (m_changing.contains(app.id))
        return Refusal::busy;
    if (!state(app.id).hasInstalledCopy() || !m_urls.contains(app.id))
        return Refusal::notInstalled;
    return std::nullopt;
}

std::optional<Refusal> InstalledApps::removeRefusal(const AppManifestItem &app) const
{
    return changeRefusal(app);
}

std::optional<Refusal> InstalledApps::rollBackRefusal(const AppManifestItem &app) const
{
    if (const std::optional<Refusal> refusal = changeRefusal(app))
        return refusal;
    if (!m_previousVersions.contains(app.id))
        return Refusal::nothingToRollBack;
    return std::nullopt;
}

std::optional<QDateTime> InstalledApps::catalogExpiredOn() const
{
    return CatalogExpiry::expiredOn(m_catalogExpiresAt, m_c.now());
}

QString InstalledApps::refusalText(Refusal refusal) const
{
    if (refusal == Refusal::catalogExpired)
        return CatalogExpiry::line(m_catalogExpiresAt);
    return qtTrId(RefusalText::key(refusal));
}

QString InstalledApps::installRefusalKey(const std::optional<AppManifestItem> &app) const
{
    const std::optional<Refusal> refusal = app ? installRefusal(*app) : Refusal::unknownApp;
    return refusal ? QString::fromLatin1(RefusalText::key(*refusal)) : QString();
}

// --- Operations ---

void InstalledApps::finish(AppOperation *operation, const OperationOutcome &outcome)
{
    // What changed the copy makes the last verify's finding stale; what
    // failed or stopped left the copy as it was.
    const AppOperation::Kind kind = operation->kind();
    if (outcome.kind == OperationOutcome::Kind::done && kind != AppOperation::Kind::verify && kind != AppOperation::Kind::open)
        forgetVerification(operation->appId());
    // A command that runs for moments writes the desktop's files only after
    // what it changed, so that its verify still finds what is wrong with them.
    const bool ran = outcome.kind == OperationOutcome::Kind::done || outcome.kind == OperationOutcome::Kind::failed;
    if (!m_c.followChangesElsewhere && ran && kind != AppOperation::Kind::verify && kind != AppOperation::Kind::open)
        syncDesktop();
    operation->finish(outcome);
    Q_EMIT operationFinished(operation);
}

InstalledApps::Operation InstalledApps::refused(const AppManifestItem &app, AppOperation::Kind kind, Refusal refusal)
{
    auto operation = std::make_shared<AppOperation>(app, kind);
    qCInfo(lcStore) << "Refused:" << app.id << EnumNames::name(refusal);
    finish(operation.get(), OperationOutcome::refused(refusal));
    return operation;
}

InstalledApps::Operation InstalledApps::install(const AppManifestItem &app)
{
    // An update not yet offered here is taken when asked for by name.
    if (hasUpdate(app.id) || stagedUpdate(app.id))
        return update(app);
    if (const std::optional<Refusal> refusal = installRefusal(app))
        return refused(app, AppOperation::Kind::install, *refusal);
    return startInstall(app, AppOperation::Kind::install);
}

InstalledApps::Operation InstalledApps::update(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = updateRefusal(app))
        return refused(app, AppOperation::Kind::update, *refusal);
    return startInstall(app, AppOperation::Kind::update);
}

QCoro::Task<std::optional<qint64>> InstalledApps::updateSize(AppManifestItem app)
{
    const QUrl bundle = m_urls.value(app.id);
    const std::shared_ptr<AppInstalling> installer = m_c.installer;
    if (bundle.isEmpty() || !installer)
        co_return std::nullopt;
    QCoro::Task<std::optional<qint64>> asking = installer->updateSize(std::move(app), bundle);
    co_return co_await asking;
}

InstalledApps::Operation InstalledApps::startInstall(const AppManifestItem &app, AppOperation::Kind kind)
{
    auto operation = std::make_shared<AppOperation>(app, kind);
    operation->setWholeArchive(m_wholeArchives);
    // Published before this returns, so a second call right after is refused.
    m_installs->start(operation);
    return operation;
}

bool InstalledApps::cancel(const QString &appId)
{
    return m_installs->cancel(appId);
}

InstalledApps::Operation InstalledApps::remove(const AppManifestItem &app, bool toTrash)
{
    if (const std::optional<Refusal> refusal = removeRefusal(app))
        return refused(app, AppOperation::Kind::remove, *refusal);
    auto operation = std::make_shared<AppOperation>(app, AppOperation::Kind::remove);
    runChange(operation, toTrash);  // runs on by itself
    return operation;
}

InstalledApps::Operation InstalledApps::rollBack(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = rollBackRefusal(app))
        return refused(app, AppOperation::Kind::rollBack, *refusal);
    auto operation = std::make_shared<AppOperation>(app, AppOperation::Kind::rollBack);
    runChange(operation, false);
    return operation;
}

QCoro::Task<void> InstalledApps::runChange(Operation operation, bool toTrash)
{
    QPointer<InstalledApps> self(this);
    const AppManifestItem app = operation->app();
    const bool removing = operation->kind() == AppOperation::Kind::remove;
    const std::shared_ptr<InstalledCopyHandling> copies = m_c.installedCopies;
    const QUrl bundle = m_urls.value(app.id);
    m_changing.insert(app.id);
    std::optional<InstalledApp> changed;
    std::exception_ptr failure;
    try {
        if (removing) {
            co_await copies->remove(app.id, bundle, toTrash);
            changed = InstalledApp{bundle, QString()};
        } else {
            changed = co_await copies->rollBack(app.id, bundle);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    m_changing.remove(app.id);
    if (failure) {
        qCInfo(lcStore) << (removing ? "Remove failed:" : "Roll back failed:") << app.id;
        // What is on disk may have changed all the same.
        updatePreviousVersions();
        finish(operation.get(), OperationOutcome::failed(describe(failure)));
        co_return;
    }
    if (removing)
        m_records.forget(app.id);
    else  // against the catalog: rolled back below its version, the app shows the update again
        m_records.record(app.id, changed->version, changed->url.toLocalFile());
    restoreRecordedState(app);
    finish(operation.get(), OperationOutcome::done());
}

InstalledApps::Operation InstalledApps::open(const AppManifestItem &app)
{
    if (!state(app.id).hasInstalledCopy())
        return refused(app, AppOperation::Kind::open, Refusal::notInstalled);
    auto operation = std::make_shared<AppOperation>(app, AppOperation::Kind::open);
    const AppOpening::Result opening = AppOpening::openInstalled(m_c.workspace.get(), m_urls.value(app.id), app.bundleId);
    switch (opening.kind) {
    case AppOpening::Result::Kind::opened:
    case AppOpening::Result::Kind::notStarted:  // the launch's own result is not observed; `vantrel open` says it
        finish(operation.get(), OperationOutcome::done());
        break;
    case AppOpening::Result::Kind::damaged:
        // The copy is there: it is shown damaged, with Repair, and stays recorded.
        markDamaged(app.id, AppOpening::finding(*opening.problem));
        finish(operation.get(), OperationOutcome::failed(AppOpening::problemText(app.name, *opening.problem)));
        break;
    case AppOpening::Result::Kind::notFound:
        m_records.forget(app.id);
        restoreRecordedState(app);
        finish(operation.get(), OperationOutcome::failed(qtTrId(PlatformWords::messageId("errorNoBundle")).arg(app.name)));
        break;
    }
    return operation;
}

// --- Records ---

void InstalledApps::reconcile(const QList<AppManifestItem> &apps)
{
    m_catalog = apps;
    m_states->addMissing(apps);
    applyRecords(KeepFailures::no);
}

AppInstallState InstalledApps::recordedState(const QString &appId, const InstallRecords::Recorded &recorded) const
{
    const AppManifestItem *listed = catalogEntry(appId);
    // A held app, one whose offered version was skipped and one whose new
    // version is released gradually and has not reached it yet show as up to date.
    const bool skipped = listed && !recorded.skippedVersion.isEmpty()
        && compareVersions(listed->version, recorded.skippedVersion) != ComparisonResult::orderedDescending;
    const bool catalogNewer = listed && recorded.version != listed->version && !recorded.held && !skipped
        && compareVersions(listed->version, recorded.version) == ComparisonResult::orderedDescending && offered(*listed);
    return catalogNewer ? AppInstallState::updateAvailable(recorded.version, listed->version)
                        : AppInstallState::installed(recorded.version);
}

void InstalledApps::applyRecords(KeepFailures keep)
{
    const QHash<QString, InstallRecords::Recorded> recorded = m_records.reconcile();
    rememberDecisions(recorded);
    const bool described = rememberInstalled(recorded);
    QHash<QString, QUrl> urls;
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it)
        urls.insert(it.key(), it->bundle);
    for (const QString &id : m_states->all().keys()) {
        if (isBusy(id)) {
            // Its own outcome decides; until then it keeps what it shows.
            urls.remove(id);
            if (m_urls.contains(id))
                urls.insert(id, m_urls.value(id));
        }
    }
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it) {
        const AppInstallState current = state(it.key());
        const bool failureStillTrue = keep == KeepFailures::yes && current.kind() == AppInstallState::Kind::failed
            && current.installedCopyVersion() == it->version;
        if (!isBusy(it.key()) && !failureStillTrue)
            m_states->set(it.key(), recordedState(it.key(), *it));
    }
    // Shown installed, but removed elsewhere or deleted by hand.
    for (const QString &id : m_states->all().keys()) {
        const AppInstallState current = state(id);
        if (recorded.contains(id) || isBusy(id) || !current.hasInstalledCopy())
            continue;
        m_states->set(id, current.kind() == AppInstallState::Kind::failed ? AppInstallState::failed(current.message())
                                                                         : AppInstallState::notInstalled());
    }
    setURLs(urls);
    if (described)
        Q_EMIT installedChanged();
}

AppManifestItem InstalledApps::describeRecorded(const QString &appId, const InstallRecords::Recorded &recorded) const
{
    if (const AppManifestItem *listed = catalogEntry(appId))
        return *listed;
    if (const auto known = m_installed.constFind(appId); known != m_installed.cend())
        return *known;  // the catalog's last word while it listed the app
    if (const auto kept = InstallReceipt::recordedApp(recorded.bundle.toLocalFile(), appId))
        return *kept;
    // Installed before receipts kept the record: the bundle's name is all there is.
    AppManifestItem app;
    app.id = appId;
    app.name = QFileInfo(recorded.bundle.toLocalFile()).completeBaseName();
    app.version = recorded.version;
    return app;
}

bool InstalledApps::rememberInstalled(const QHash<QString, InstallRecords::Recorded> &recorded)
{
    QHash<QString, AppManifestItem> installed;
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it)
        installed.insert(it.key(), describeRecorded(it.key(), *it));
    if (installed == m_installed)
        return false;
    m_installed = installed;
    return true;
}

void InstalledApps::recordInstalled(const InstalledApp &installed, const AppManifestItem &app)
{
    m_states->set(app.id, AppInstallState::installed(installed.version));
    m_records.record(app.id, installed.version, installed.url.toLocalFile());
    // The record may have dropped a skip the new version passed.
    if (m_skipped.contains(app.id) || m_held.contains(app.id))
        rememberDecisions(m_records.reconcile());
    const bool described = m_installed.value(app.id) != app;
    m_installed.insert(app.id, app);
    setURL(app.id, installed.url);
    if (described)
        Q_EMIT installedChanged();
}

void InstalledApps::restoreRecordedState(const AppManifestItem &app)
{
    const QHash<QString, InstallRecords::Recorded> recorded = m_records.reconcile();
    rememberDecisions(recorded);
    const auto it = recorded.constFind(app.id);
    m_states->set(app.id, it == recorded.cend() ? AppInstallState::notInstalled() : recordedState(app.id, *it));
    const bool described = rememberInstalled(recorded);
    setURL(app.id, it == recorded.cend() ? std::nullopt : std::optional(it->bundle));
    if (described)
        Q_EMIT installedChanged();
}

void InstalledApps::setURL(const QString &appId, const std::optional<QUrl> &url)
{
    QHash<QString, QUrl> urls = m_urls;
    urls.remove(appId);
    if (url)
        urls.insert(appId, *url);
    setURLs(urls);
}

void InstalledApps::setURLs(const QHash<QString, QUrl> &urls)
{
    if (urls != m_urls) {
        m_urls = urls;
        watchBundleFolders();
        Q_EMIT urlsChanged();
    }
    // An install or a roll back changes them under the same URL.
    updatePreviousVersions();
    if (m_c.followChangesElsewhere)
        syncDesktop();
}

std::optional<DesktopApp> InstalledApps::desktopApp(const QString &appId)
{
    const QHash<QString, InstallRecords::Recorded> recorded = m_records.reconcile();
    const auto it = recorded.constFind(appId);
    if (it == recorded.cend())
        return std::nullopt;
    return desktopApp(appId, *it);
}

DesktopApp InstalledApps::desktopApp(const QString &appId, const InstallRecords::Recorded &recorded)
{
    const QString bundle = recorded.bundle.toLocalFile();
    std::optional<AppManifestItem> kept = InstallReceipt::recordedApp(bundle, appId);
    if (!kept) {
        kept = AppManifestItem();
        kept->id = appId;
        kept->name = QFileInfo(bundle).completeBaseName();
    }
    return {*kept, recorded.version, bundle};
}

QList<DesktopApp> InstalledApps::desktopApps(const QHash<QString, InstallRecords::Recorded> &recorded)
{
    QList<DesktopApp> apps;
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it)
        apps.append(desktopApp(it.key(), *it));
    return apps;
}

void InstalledApps::syncDesktop()
{
    if (!m_c.desktopEntries)
        return;
    // The records, not the URLs shown (an app being changed still has its
    // copy), read and acted on while no other process changes them: its
    // entries are never taken for those of an app no longer installed.
    m_records.reconcile([this](const QHash<QString, InstallRecords::Recorded> &recorded) {
        m_c.desktopEntries->sync(desktopApps(recorded));
    });
}

void InstalledApps::tidyDesktop()
{
    if (!m_c.desktopEntries)
        return;
    m_records.reconcile([this](const QHash<QString, InstallRecords::Recorded> &recorded) {
        m_c.desktopEntries->tidy(desktopApps(recorded));
    });
}

void InstalledApps::watchBundleFolders()
{
    if (!m_watch)
        return;
    QStringList folders;
    for (const QUrl &bundle : std::as_const(m_urls))
        folders.append(QFileInfo(bundle.toLocalFile()).absolutePath());
    m_watch->setBundleFolders(folders);
}

// --- Texts ---

QString InstalledApps::errorLine(const AppOperation &operation) const
{
    if (!operation.outcome())
        return {};
    const OperationOutcome &outcome = *operation.outcome();
    const QString &name = operation.app().name;
    const AppOperation::Kind kind = operation.kind();
    if (outcome.kind == OperationOutcome::Kind::refused) {
        const char *id = kind == AppOperation::Kind::remove ? "errorCannotRemove"
            : kind == AppOperation::Kind::rollBack          ? "errorCannotRollBack"
            : kind == AppOperation::Kind::repair            ? "errorCannotRepair"
            : kind == AppOperation::Kind::verify            ? "errorCannotVerify"
                                                            : "errorCannotInstall";
        // An expired catalog is the user's to put right: the line says how.
        if (outcome.refusal == Refusal::catalogExpired)
            return qtTrId(id).arg(name) + QLatin1Char(' ') + refusalText(Refusal::catalogExpired);
        return qtTrId(id).arg(name);
    }
    if (outcome.kind != OperationOutcome::Kind::failed)
        return {};
    if (kind == AppOperation::Kind::open)
        return outcome.reason;
    const char *id = kind == AppOperation::Kind::remove ? "errorRemoveFailed"
        : kind == AppOperation::Kind::rollBack          ? "errorRollBackFailed"
        : kind == AppOperation::Kind::repair            ? "errorRepairFailed"
        : kind == AppOperation::Kind::verify            ? "errorVerifyFailed"
                                                        : "errorInstallFailed";
    return qtTrId(id).arg(name, outcome.reason);
}

QString InstalledApps::reasonText(const AppOperation &operation) const
{
    if (!operation.outcome())
        return {};
    const OperationOutcome &outcome = *operation.outcome();
    switch (outcome.kind) {
    case OperationOutcome::Kind::done:
        return {};
    case OperationOutcome::Kind::failed:
        return outcome.reason;
    case OperationOutcome::Kind::cancelled:
        return AppInstallerError(AppInstallerError::Kind::cancelled).localizedDescription();
    case OperationOutcome::Kind::refused:
        break;
    }
    if (outcome.refusal == Refusal::noUpdate || outcome.refusal == Refusal::unknownApp)
        return qtTrId("updateNotAvailable");
    if (outcome.refusal == Refusal::held)
        return qtTrId(RefusalText::key(Refusal::held));
    return errorLine(operation);
}
