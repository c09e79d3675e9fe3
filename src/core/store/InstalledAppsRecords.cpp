// Reconciling the states shown with what the records and the disk say: at
// the start, when the catalog changes, when an operation ends and when
// another process changed the records or the bundles.

#include "InstalledApps.h"

#include "InstallStates.h"
#include "InstalledAppsSync.h"
#include "catalog/VersionComparison.h"
#include "install/AppInstaller.h"
#include "install/InstallReceipt.h"

#include <QFileInfo>

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
    // The bundles' folders are watched as the URLs name them.
    if (urls != m_urls) {
        m_urls = urls;
        Q_EMIT urlsChanged();
    }
    // An install or a roll back changes them under the same URL.
    updatePreviousVersions();
    Q_EMIT recordsApplied();
}

std::optional<DesktopApp> InstalledApps::desktopApp(const QString &appId)
{
    const QHash<QString, InstallRecords::Recorded> recorded = m_records.reconcile();
    const auto it = recorded.constFind(appId);
    if (it == recorded.cend())
        return std::nullopt;
    return InstalledAppsSync::desktopApp(appId, *it);
}
