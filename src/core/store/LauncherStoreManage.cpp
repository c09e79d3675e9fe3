// Managing installed apps: cancel, remove, roll back and update all.

#include "LauncherStore.h"

#include "install/AppInstaller.h"
#include "log/Logging.h"

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

void LauncherStore::connectUpdates()
{
    const UpdateBatch::Start start = [this](const QString &appId) -> QString {
        const AppManifestItem *app = m_manifest.findApp(appId);
        if (!app || state(*app).kind() != AppInstallState::Kind::updateAvailable)
            return m_copy->text(CopyKey::updateNotAvailable);
        if (!canInstall(*app))
            return m_copy->text(CopyKey::errorCannotInstall, {{QStringLiteral("app"), app->name}});
        m_installs->start(*app);
        return {};
    };
    m_updates = new UpdateBatch(m_installs, start, this);
    connect(m_updates, &UpdateBatch::runningChanged, this, &LauncherStore::updatingAllChanged);
    connect(m_updates, &UpdateBatch::finished, this, [this](int updated, const QList<UpdateBatch::Failure> &failures) {
        QStringList reasons;
        for (const UpdateBatch::Failure &failure : failures)
            reasons.append(failure.appName + QStringLiteral(": ") + failure.reason);
        const QString summary = failures.isEmpty()
            ? m_copy->text(CopyKey::updateAllSummary, {{QStringLiteral("updated"), QString::number(updated)}})
            : m_copy->text(CopyKey::updateAllSummaryFailed, {{QStringLiteral("updated"), QString::number(updated)},
                                                          {QStringLiteral("failed"), QString::number(failures.size())},
                                                          {QStringLiteral("failures"), reasons.join(QStringLiteral("; "))}});
        setIfChanged(this, m_updateSummary, summary, &LauncherStore::updateSummaryChanged);
        if (!failures.isEmpty())
            setErrorMessage(summary);
        Q_EMIT updatesFinished(summary, int(failures.size()));
    });
}

QList<AppManifestItem> LauncherStore::updatableApps() const
{
    QList<AppManifestItem> apps = ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps);
    apps.removeIf([this](const AppManifestItem &app) {
        return !installStates().contains(app.id) || state(app).kind() != AppInstallState::Kind::updateAvailable;
    });
    return apps;
}

QStringList LauncherStore::updatableAppIDs() const
{
    QStringList ids;
    for (const AppManifestItem &app : updatableApps())
        ids.append(app.id);
    return ids;
}

void LauncherStore::updateApps(const QStringList &appIds)
{
    QList<UpdateBatch::Item> items;
    for (const QString &id : appIds) {
        const AppManifestItem *app = m_manifest.findApp(id);
        items.append({id, app ? app->name : id});
    }
    m_updates->run(items);
}

void LauncherStore::stopUpdates()
{
    m_updates->stop();
    for (const QString &id : cancellableInstalls())
        cancelInstall(id);
}

bool LauncherStore::canChange(const AppManifestItem &app) const
{
    return m_c.installer && state(app).isInstalledOrUpdatable() && !m_installs->isRunning(app.id)
        && !m_changing.contains(app.id) && m_installedAppURLs.contains(app.id);
}

bool LauncherStore::removalGoesToTrash(const QString &appId) const
{
    const QUrl bundle = m_installedAppURLs.value(appId);
    return m_c.installer && !bundle.isEmpty() && m_c.installer->removesToTrash(bundle);
}

QCoro::Task<std::optional<InstalledApp>> LauncherStore::changeInstalled(AppManifestItem app, Change change, bool toTrash)
{
    const bool removing = change == Change::remove;
    const QMap<QString, QString> names{{QStringLiteral("app"), app.name}};
    if (!canChange(app) || (!removing && !m_previousVersions.contains(app.id))) {
        setErrorMessage(m_copy->text(removing ? CopyKey::errorCannotRemove : CopyKey::errorCannotRollBack, names));
        co_return std::nullopt;
    }
    QPointer<LauncherStore> self(this);
    const std::shared_ptr<AppInstalling> installer = m_c.installer;
    const QUrl bundle = m_installedAppURLs.value(app.id);
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
        setErrorMessage(m_copy->text(removing ? CopyKey::errorRemoveFailed : CopyKey::errorRollBackFailed,
                                     {{QStringLiteral("app"), app.name}, {QStringLiteral("reason"), describe(failure)}}));
        updatePreviousVersions();
    }
    co_return changed;
}

QCoro::Task<bool> LauncherStore::remove(AppManifestItem app, bool toTrash)
{
    QCoro::Task<std::optional<InstalledApp>> removal = changeInstalled(app, Change::remove, toTrash);
    if (!co_await removal)
        co_return false;
    clearPersistedInstall(app.id);
    setInstallState(app.id, AppInstallState::notInstalled());
    co_return true;
}

QCoro::Task<bool> LauncherStore::rollBack(AppManifestItem app)
{
    QCoro::Task<std::optional<InstalledApp>> rollingBack = changeInstalled(app, Change::rollBack, false);
    const std::optional<InstalledApp> restored = co_await rollingBack;
    if (!restored)
        co_return false;
    m_records.record(app.id, restored->version, restored->url.toLocalFile());
    // Against the catalog: rolled back below its version, the app shows the update again.
    restoreRecordedState(app);
    co_return true;
}

void LauncherStore::removeApp(const QString &appId, bool toTrash)
{
    if (const AppManifestItem *app = m_manifest.findApp(appId))
        remove(*app, toTrash);  // the task runs on and frees itself
}

void LauncherStore::rollBackApp(const QString &appId)
{
    if (const AppManifestItem *app = m_manifest.findApp(appId))
        rollBack(*app);
}

void LauncherStore::restoreRecordedState(const AppManifestItem &app)
{
    const InstallRecords::Reconciled reconciled = m_records.reconcile({app});
    setInstallState(app.id, reconciled.states.isEmpty() ? AppInstallState::notInstalled() : reconciled.states.first().second);
    QHash<QString, QUrl> urls = m_installedAppURLs;
    urls.remove(app.id);
    if (reconciled.urls.contains(app.id))
        urls.insert(app.id, reconciled.urls.value(app.id));
    setInstalledAppURLs(urls);
}

void LauncherStore::updatePreviousVersions()
{
    QHash<QString, QString> versions;
    for (auto it = m_installedAppURLs.cbegin(); m_c.installer && it != m_installedAppURLs.cend(); ++it) {
        if (const std::optional<QString> version = m_c.installer->previousVersion(it.key(), it.value()))
            versions.insert(it.key(), *version);
    }
    setIfChanged(this, m_previousVersions, versions, &LauncherStore::previousVersionsChanged);
}
