#include "AppManagement.h"

#include "InstallQueue.h"
#include "LauncherStore.h"
#include "install/AppInstaller.h"
#include "log/Logging.h"

#include <QLocale>
#include <QPointer>

namespace {

// The sentence to show for whatever an installer operation threw.
QString describe(const std::exception_ptr &failure)
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

}  // namespace

AppManagement::AppManagement(LauncherStore &store, InstallQueue *installs)
    : QObject(&store), m_store(store), m_installs(installs),
      m_updates(new UpdateBatch(installs, [this](const QString &appId) { return startUpdate(appId); }, this))
{
    connect(m_installs, &InstallQueue::cancellableChanged, this, &AppManagement::cancellableInstallsChanged);
    connect(m_updates, &UpdateBatch::runningChanged, this, &AppManagement::updatingAllChanged);
    connect(m_updates, &UpdateBatch::finished, this, &AppManagement::summarise);
    for (auto changed : {&LauncherStore::installStatesChanged, &LauncherStore::manifestChanged, &LauncherStore::includeBetaAppsChanged})
        connect(&m_store, changed, this, &AppManagement::updateUpdatable);
    // The summary line is reworded in the new language.
    connect(&m_store, &LauncherStore::localeChanged, this, [this] {
        if (m_summaryUpdated >= 0)
            setIfChanged(this, m_updateSummary, summaryText(), &AppManagement::updateSummaryChanged);
    });
}

void AppManagement::updateUpdatable()
{
    QStringList ids;
    for (const AppManifestItem &app : ManifestPolicy::publishedApps(m_store.manifest(), m_store.includeBetaApps())) {
        if (m_store.installStates().contains(app.id) && m_store.state(app).kind() == AppInstallState::Kind::updateAvailable)
            ids.append(app.id);
    }
    setIfChanged(this, m_updatable, ids, &AppManagement::updatableAppIDsChanged);
}

bool AppManagement::cancelInstall(const QString &appId)
{
    return m_installs->cancel(appId);
}

QStringList AppManagement::cancellableInstalls() const
{
    return m_installs->cancellable();
}

QString AppManagement::startUpdate(const QString &appId)
{
    const AppManifestItem *app = m_store.manifest().findApp(appId);
    if (!app || m_store.state(*app).kind() != AppInstallState::Kind::updateAvailable)
        return qtTrId("updateNotAvailable");
    if (!m_store.canInstall(*app))
        return qtTrId("errorCannotInstall").arg(app->name);
    m_installs->start(*app);
    return {};
}

QString AppManagement::summaryText() const
{
    if (m_summaryFailures.isEmpty())
        return qtTrId("updateAllSummary", m_summaryUpdated);
    QStringList reasons;
    for (const UpdateBatch::Failure &failure : m_summaryFailures)
        reasons.append(failure.appName + QStringLiteral(": ") + failure.reason);
    return qtTrId("updateAllSummaryFailed", int(m_summaryFailures.size()))
        .arg(QLocale().toString(m_summaryUpdated), reasons.join(QStringLiteral("; ")));
}

void AppManagement::summarise(int updated, const QList<UpdateBatch::Failure> &failures)
{
    m_summaryUpdated = updated;
    m_summaryFailures = failures;
    const QString summary = summaryText();
    setIfChanged(this, m_updateSummary, summary, &AppManagement::updateSummaryChanged);
    if (!failures.isEmpty())
        m_store.setErrorMessage(summary);
    Q_EMIT updatesFinished(summary, int(failures.size()));
}

void AppManagement::updateApps(const QStringList &appIds)
{
    QList<UpdateBatch::Item> items;
    for (const QString &id : appIds) {
        const AppManifestItem *app = m_store.manifest().findApp(id);
        items.append({id, app ? app->name : id});
    }
    m_updates->run(items);
}

void AppManagement::updateAll()
{
    updateApps(m_updatable);
}

void AppManagement::stopUpdates()
{
    m_updates->stop();
    for (const QString &id : cancellableInstalls())
        cancelInstall(id);
}

bool AppManagement::canChange(const AppManifestItem &app) const
{
    return m_store.m_c.installer && m_store.state(app).isInstalledOrUpdatable() && !m_installs->isRunning(app.id)
        && !m_changing.contains(app.id) && m_store.installedAppURLs().contains(app.id);
}

bool AppManagement::removalGoesToTrash(const QString &appId) const
{
    const QUrl bundle = m_store.installedAppURLs().value(appId);
    return m_store.m_c.installer && !bundle.isEmpty() && m_store.m_c.installer->removesToTrash(bundle);
}

QCoro::Task<std::optional<InstalledApp>> AppManagement::changeInstalled(AppManifestItem app, Change change, bool toTrash)
{
    const bool removing = change == Change::remove;
    if (!canChange(app) || (!removing && !m_previousVersions.contains(app.id))) {
        m_store.setErrorMessage(qtTrId(removing ? "errorCannotRemove" : "errorCannotRollBack").arg(app.name));
        co_return std::nullopt;
    }
    QPointer<AppManagement> self(this);
    const std::shared_ptr<AppInstalling> installer = m_store.m_c.installer;
    const QUrl bundle = m_store.installedAppURLs().value(app.id);
    m_changing.insert(app.id);
    std::optional<InstalledApp> changed;
    std::exception_ptr failure;
    try {
        if (removing) {
            co_await installer->remove(app.id, bundle, toTrash);
            changed = InstalledApp{bundle, QString()};
        } else {
            changed = co_await installer->rollBack(app.id, bundle);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return std::nullopt;
    m_changing.remove(app.id);
    if (failure) {
        qCInfo(lcStore) << (removing ? "Remove failed:" : "Roll back failed:") << app.id;
        m_store.setErrorMessage(qtTrId(removing ? "errorRemoveFailed" : "errorRollBackFailed").arg(app.name, describe(failure)));
        updatePreviousVersions();
    }
    co_return changed;
}

QCoro::Task<bool> AppManagement::remove(AppManifestItem app, bool toTrash)
{
    QCoro::Task<std::optional<InstalledApp>> removal = changeInstalled(app, Change::remove, toTrash);
    if (!co_await removal)
        co_return false;
    m_store.m_records.forget(app.id);
    m_store.restoreRecordedState(app);
    co_return true;
}

QCoro::Task<bool> AppManagement::rollBack(AppManifestItem app)
{
    QCoro::Task<std::optional<InstalledApp>> rollingBack = changeInstalled(app, Change::rollBack, false);
    const std::optional<InstalledApp> restored = co_await rollingBack;
    if (!restored)
        co_return false;
    // Against the catalog: rolled back below its version, the app shows the update again.
    // Restoring the state also reads the previous copies' versions again.
    m_store.m_records.record(app.id, restored->version, restored->url.toLocalFile());
    m_store.restoreRecordedState(app);
    co_return true;
}

void AppManagement::removeApp(const QString &appId, bool toTrash)
{
    if (const AppManifestItem *app = m_store.manifest().findApp(appId))
        remove(*app, toTrash);  // the task runs on and frees itself
}

void AppManagement::rollBackApp(const QString &appId)
{
    if (const AppManifestItem *app = m_store.manifest().findApp(appId))
        rollBack(*app);
}

void AppManagement::updatePreviousVersions()
{
    const std::shared_ptr<AppInstalling> &installer = m_store.m_c.installer;
    QHash<QString, QString> versions;
    const QHash<QString, QUrl> &bundles = m_store.installedAppURLs();
    for (auto it = bundles.cbegin(); installer && it != bundles.cend(); ++it) {
        if (const std::optional<QString> version = installer->previousVersion(it.key(), it.value()))
            versions.insert(it.key(), *version);
    }
    setIfChanged(this, m_previousVersions, versions, &AppManagement::previousVersionsChanged);
}
