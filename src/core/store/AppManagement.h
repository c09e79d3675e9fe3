#pragma once

#include "UpdateBatch.h"
#include "VariantValues.h"
#include "catalog/Models.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class AppOperation;
class InstalledApps;
class MeteredDownloads;
class RunningApps;

// Managing installed apps for the views (`store.manage`): cancel a running
// install, remove an app, roll back to the copy its last update replaced, and
// update several apps one after another. The work is the installed apps'
// operations; this publishes what the views show of it.
class AppManagement : public QObject
{
    Q_OBJECT
    // Ids of the installs that can still be cancelled (not yet past the swap).
    Q_PROPERTY(QStringList cancellableInstalls READ cancellableInstalls NOTIFY cancellableInstallsChanged)
    // App id -> version of the copy its last update replaced, for the apps that keep one.
    Q_PROPERTY(QVariantMap previousVersions READ previousVersionsValue NOTIFY previousVersionsChanged)
    Q_PROPERTY(bool updatingAll READ isUpdatingAll NOTIFY updatingAllChanged)
    // The line that sums up the last "update all"; empty before the first.
    Q_PROPERTY(QString updateSummary READ updateSummary NOTIFY updateSummaryChanged)
    // The same batch whole, for views that word its failures themselves.
    Q_PROPERTY(UpdateBatchResult lastUpdates READ lastUpdates NOTIFY updateSummaryChanged)
    // Ids of the published apps with an update (also after the update failed), in catalog order;
    // held apps and skipped versions are not among them.
    Q_PROPERTY(QStringList updatableAppIDs READ updatableAppIDs NOTIFY updatableAppIDsChanged)
    // App id -> what its update will download ("12 MB", in the language
    // installed), for the updatable apps where it can be told ahead.
    Q_PROPERTY(QVariantMap updateSizes READ updateSizes NOTIFY updateSizesChanged)
    // App id -> the running install, update or repair (an AppOperation), for its progress text.
    Q_PROPERTY(QVariantMap installs READ installs NOTIFY installsChanged)
    // App id -> the version it is held at, for the apps kept out of updates.
    Q_PROPERTY(QVariantMap heldApps READ heldApps NOTIFY decisionsChanged)
    // App id -> the offered version the user skipped, while the catalog offers just that one.
    Q_PROPERTY(QVariantMap skippedUpdates READ skippedUpdates NOTIFY decisionsChanged)
    // App id -> the newer version released gradually that this installation
    // is not offered yet (installApp takes it at once).
    Q_PROPERTY(QVariantMap stagedUpdates READ stagedUpdates NOTIFY stagedUpdatesChanged)

public:
    // What it needs of the catalog: the published apps in order, and an app by id.
    struct Catalog {
        std::function<QList<AppManifestItem>()> publishedApps;
        std::function<std::optional<AppManifestItem>(const QString &)> find;
    };

    // A change to a running app asks through running; Update all on a metered connection through metered.
    AppManagement(InstalledApps *apps, Catalog catalog, RunningApps *running, MeteredDownloads *metered, QObject *parent = nullptr);
    // Words the last summary again in the language now installed.
    void retranslate();

    // Stops a running install before its bundle is placed: the state goes back
    // to what the records say, with no error line and no error report. False
    // when there is nothing to stop or it is too late.
    Q_INVOKABLE bool cancelInstall(const QString &appId);
    QStringList cancellableInstalls() const;
    const QHash<QString, QString> &previousVersions() const;

    QVariantMap updateSizes() const;
    QVariantMap installs() const;

    // Whether removing the app puts it in the desktop's trash (else it is deleted for good).
    Q_INVOKABLE bool removalGoesToTrash(const QString &appId) const;
    // True when done; a refusal or failure lands in the error line.
    QCoro::Task<bool> remove(AppManifestItem app, bool toTrash);
    QCoro::Task<bool> rollBack(AppManifestItem app);
    Q_INVOKABLE void removeApp(const QString &appId, bool toTrash);
    Q_INVOKABLE void rollBackApp(const QString &appId);

    // Decisions about an installed app's updates, kept with its record; false when refused.
    Q_INVOKABLE bool skipVersion(const QString &appId);
    Q_INVOKABLE bool offerAgain(const QString &appId);
    Q_INVOKABLE bool holdApp(const QString &appId);
    // Ends a hold and a skip alike, as `vantrel release` does.
    Q_INVOKABLE bool releaseApp(const QString &appId);

    // Updates the apps one after another; at the end updateSummary sums up and,
    // when any failed, becomes the error line too. Apps without an update
    // count as failed. Running apps are not looked for.
    void updateApps(const QStringList &appIds);
    // The window's Update all: asks first on a metered connection, and about
    // each running app apart while the others update.
    Q_INVOKABLE void updateAll();
    // No further update of the batch starts, and the running one is cancelled.
    void stopUpdates();
    bool isUpdatingAll() const { return m_updates->isRunning(); }
    // Whether appId's update is the one the batch runs now.
    bool isUpdating(const QString &appId) const { return m_updates->isUpdating(appId); }
    const QString &updateSummary() const { return m_updateSummary; }
    UpdateBatchResult lastUpdates() const { return m_lastUpdates.value_or(UpdateBatchResult{}); }
    const QStringList &updatableAppIDs() const { return m_updatable; }
    QVariantMap heldApps() const;
    QVariantMap skippedUpdates() const;
    const QVariantMap &stagedUpdates() const { return m_staged; }
    // The catalog or the beta setting changed.
    void updateUpdatable();

Q_SIGNALS:
    void cancellableInstallsChanged();
    void previousVersionsChanged();
    void updatingAllChanged();
    void updateSummaryChanged();
    void updatableAppIDsChanged();
    void stagedUpdatesChanged();
    void decisionsChanged();
    void updateSizesChanged();
    void installsChanged();
    // An update batch ended; failed counts the apps not updated.
    void updatesFinished(const QString &summary, int failed);
    // A batch with failures sums them up for the error line.
    void summaryFailed(const QString &summary);

private:
    // Asks what each updatable app's update will download, once per version.
    void measureUpdates();
    QHash<QString, QPointer<AppOperation>> m_installs;
    void summarise(int updated, const QList<UpdateBatch::Failure> &failures);
    QCoro::Task<void> updateAskingAboutRunning(QList<AppManifestItem> apps);
    QString summaryText() const;
    QVariantMap previousVersionsValue() const { return variantMap(previousVersions()); }
    // Runs decide on the app the catalog or the records know as appId.
    bool decide(const QString &appId, std::optional<Refusal> (InstalledApps::*choice)(const AppManifestItem &));

    InstalledApps *m_apps;
    Catalog m_catalog;
    RunningApps *m_running;
    MeteredDownloads *m_metered;
    UpdateBatch *m_updates;
    QString m_updateSummary;
    std::optional<UpdateBatchResult> m_lastUpdates;  // none before the first batch
    QStringList m_updatable;
    QVariantMap m_staged;
    QHash<QString, QString> m_skippedShown;
    // "id version" -> bytes its update downloads (-1: cannot be told).
    QHash<QString, qint64> m_updateBytes;
};
