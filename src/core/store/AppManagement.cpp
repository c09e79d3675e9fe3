#include "AppManagement.h"

#include "AppOperation.h"
#include "InstalledApps.h"
#include "MeteredDownloads.h"
#include "RunningApps.h"
#include "SetIfChanged.h"

#include <QCoroTask>
#include <QLocale>
#include <QPointer>

AppManagement::AppManagement(InstalledApps *apps, Catalog catalog, RunningApps *running, MeteredDownloads *metered, QObject *parent)
    : QObject(parent), m_apps(apps), m_catalog(std::move(catalog)), m_running(running), m_metered(metered)
{
    m_updates = new UpdateBatch(
        [this](const QString &appId) {
            if (const std::optional<AppManifestItem> app = m_catalog.find(appId))
                return m_apps->update(*app);
            auto unknown = std::make_shared<AppOperation>(AppManifestItem{}, AppOperation::Kind::update);
            unknown->finish(OperationOutcome::refused(Refusal::unknownApp));
            return unknown;
        },
        [this](const AppOperation &operation) { return m_apps->reasonText(operation); }, this);
    connect(m_apps, &InstalledApps::cancellableChanged, this, &AppManagement::cancellableInstallsChanged);
    connect(m_apps, &InstalledApps::previousVersionsChanged, this, &AppManagement::previousVersionsChanged);
    connect(m_apps, &InstalledApps::statesChanged, this, &AppManagement::updateUpdatable);
    connect(m_apps, &InstalledApps::decisionsChanged, this, &AppManagement::decisionsChanged);
    connect(m_apps, &InstalledApps::installStarted, this, [this](AppOperation *operation) {
        m_installs.insert(operation->appId(), operation);
        Q_EMIT installsChanged();
    });
    connect(m_apps, &InstalledApps::installFinished, this, [this](const QString &appId) {
        if (m_installs.remove(appId))
            Q_EMIT installsChanged();
    });
    // A hold or skip hides a staged update as it hides an offered one.
    connect(m_apps, &InstalledApps::decisionsChanged, this, &AppManagement::updateUpdatable);
    connect(m_updates, &UpdateBatch::runningChanged, this, &AppManagement::updatingAllChanged);
    connect(m_updates, &UpdateBatch::finished, this, &AppManagement::summarise);
}

void AppManagement::updateUpdatable()
{
    QStringList ids;
    QVariantMap staged;
    for (const AppManifestItem &app : m_catalog.publishedApps()) {
        if (m_apps->hasUpdate(app.id))
            ids.append(app.id);
        else if (const auto held = m_apps->stagedUpdate(app.id))
            staged.insert(app.id, held->version);
    }
    setIfChanged(this, m_updatable, ids, &AppManagement::updatableAppIDsChanged);
    setIfChanged(this, m_staged, staged, &AppManagement::stagedUpdatesChanged);
    measureUpdates();
    // A newer version than the one skipped ends the skip's hiding without a new decision.
    const QHash<QString, QString> skipped = m_apps->skippedUpdates();
    if (skipped != m_skippedShown) {
        m_skippedShown = skipped;
        Q_EMIT decisionsChanged();
    }
}

void AppManagement::measureUpdates()
{
    for (const QString &id : std::as_const(m_updatable)) {
        const std::optional<AppManifestItem> app = m_catalog.find(id);
        const QString key = id + QLatin1Char(' ') + (app ? app->version : QString());
        if (!app || m_updateBytes.contains(key))
            continue;
        m_updateBytes.insert(key, -1);
        QCoro::connect(m_apps->updateSize(*app), this, [this, key](const std::optional<qint64> &bytes) {
            if (!bytes)
                return;
            m_updateBytes.insert(key, *bytes);
            Q_EMIT updateSizesChanged();
        });
    }
}

QVariantMap AppManagement::updateSizes() const
{
    QVariantMap sizes;
    const QLocale locale;
    for (const QString &id : m_updatable) {
        const std::optional<AppManifestItem> app = m_catalog.find(id);
        const qint64 bytes = app ? m_updateBytes.value(id + QLatin1Char(' ') + app->version, -1) : -1;
        if (bytes >= 0)
            sizes.insert(id, locale.formattedDataSize(bytes, bytes >= 10'000'000 ? 0 : 1, QLocale::DataSizeSIFormat));
    }
    return sizes;
}

QVariantMap AppManagement::installs() const
{
    QVariantMap running;
    for (auto it = m_installs.cbegin(); it != m_installs.cend(); ++it) {
        if (it.value())
            running.insert(it.key(), QVariant::fromValue<QObject *>(it.value().data()));
    }
    return running;
}

bool AppManagement::cancelInstall(const QString &appId)
{
    return m_apps->cancel(appId);
}

QStringList AppManagement::cancellableInstalls() const
{
    return m_apps->cancellable();
}

const QHash<QString, QString> &AppManagement::previousVersions() const
{
    return m_apps->previousVersions();
}

bool AppManagement::removalGoesToTrash(const QString &appId) const
{
    return m_apps->removalGoesToTrash(appId);
}

QString AppManagement::summaryText() const
{
    return m_lastUpdates->summary([](const UpdateBatch::Failure &failure) { return failure.reason; });
}

void AppManagement::retranslate()
{
    if (m_lastUpdates)
        setIfChanged(this, m_updateSummary, summaryText(), &AppManagement::updateSummaryChanged);
    // The sizes are worded in the language installed.
    Q_EMIT updateSizesChanged();
}

void AppManagement::summarise(int updated, const QList<UpdateBatch::Failure> &failures)
{
    m_lastUpdates = UpdateBatchResult{updated, failures};
    const QString summary = summaryText();
    setIfChanged(this, m_updateSummary, summary, &AppManagement::updateSummaryChanged);
    if (!failures.isEmpty())
        Q_EMIT summaryFailed(summary);
    Q_EMIT updatesFinished(summary, int(failures.size()));
}

void AppManagement::updateApps(const QStringList &appIds)
{
    QList<UpdateBatch::Item> items;
    for (const QString &id : appIds) {
        const std::optional<AppManifestItem> app = m_catalog.find(id);
        items.append({id, app ? app->name : id});
    }
    m_updates->run(items);
}

void AppManagement::updateAll()
{
    if (m_updates->isRunning())
        return;
    QList<AppManifestItem> apps;
    for (const QString &id : m_updatable) {
        if (const std::optional<AppManifestItem> app = m_catalog.find(id))
            apps.append(*app);
    }
    m_metered->guard(apps, MeteredDownloads::Batch::updates, [this, apps] { updateAskingAboutRunning(apps); });
}

QCoro::Task<void> AppManagement::updateAskingAboutRunning(QList<AppManifestItem> apps)
{
    QPointer<AppManagement> self(this);
    QStringList free;
    QList<AppManifestItem> running;
    for (const AppManifestItem &app : apps) {
        const QList<RunningProcess> processes = co_await m_running->processesOf(app.id);
        if (!self)
            co_return;
        if (processes.isEmpty())
            free.append(app.id);
        else
            running.append(app);
    }
    if (!free.isEmpty() || running.isEmpty())
        updateApps(free);
    for (const AppManifestItem &app : running)
        m_running->guard(app, RunningApps::Change::update, [this, app] { return m_apps->update(app); });
}

void AppManagement::stopUpdates()
{
    m_updates->stop();
    for (const QString &id : cancellableInstalls())
        cancelInstall(id);
}

QCoro::Task<bool> AppManagement::remove(AppManifestItem app, bool toTrash)
{
    const InstalledApps::Operation removal = m_apps->remove(app, toTrash);
    const OperationOutcome outcome = co_await removal->result();
    co_return outcome.kind == OperationOutcome::Kind::done;
}

QCoro::Task<bool> AppManagement::rollBack(AppManifestItem app)
{
    const InstalledApps::Operation rollingBack = m_apps->rollBack(app);
    const OperationOutcome outcome = co_await rollingBack->result();
    co_return outcome.kind == OperationOutcome::Kind::done;
}

void AppManagement::removeApp(const QString &appId, bool toTrash)
{
    if (const std::optional<AppManifestItem> app = m_catalog.find(appId))
        m_running->guard(*app, RunningApps::Change::remove, [this, app = *app, toTrash] { return m_apps->remove(app, toTrash); });
}

void AppManagement::rollBackApp(const QString &appId)
{
    if (const std::optional<AppManifestItem> app = m_catalog.find(appId))
        m_running->guard(*app, RunningApps::Change::rollBack, [this, app = *app] { return m_apps->rollBack(app); });
}

QVariantMap AppManagement::heldApps() const
{
    return variantMap(m_apps->heldApps());
}

QVariantMap AppManagement::skippedUpdates() const
{
    return variantMap(m_apps->skippedUpdates());
}

bool AppManagement::decide(const QString &appId, std::optional<Refusal> (InstalledApps::*choice)(const AppManifestItem &))
{
    std::optional<AppManifestItem> app = m_catalog.find(appId);
    if (!app)
        app = m_apps->describedApp(appId);
    return app && !(m_apps->*choice)(*app);
}

bool AppManagement::skipVersion(const QString &appId)
{
    return decide(appId, &InstalledApps::skipVersion);
}

bool AppManagement::offerAgain(const QString &appId)
{
    return decide(appId, &InstalledApps::offerAgain);
}

bool AppManagement::holdApp(const QString &appId)
{
    return decide(appId, &InstalledApps::hold);
}

bool AppManagement::releaseApp(const QString &appId)
{
    return decide(appId, &InstalledApps::release);
}
