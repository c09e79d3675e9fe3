#pragma once

#include "UpdateBatch.h"
#include "VariantValues.h"
#include "catalog/Models.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <optional>

class LauncherStore;
class InstallQueue;
struct InstalledApp;

// Managing installed apps for the store: cancel a running install, remove an
// app, roll back to the copy its last update replaced, and update several apps
// one after another. Views reach it as `store.manage`; what it changes lands
// in the store's records, states and error line.
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
    // Ids of the published apps with an update, in catalog order.
    Q_PROPERTY(QStringList updatableAppIDs READ updatableAppIDs NOTIFY updatableAppIDsChanged)

public:
    AppManagement(LauncherStore &store, InstallQueue *installs);

    // Stops a running install before its bundle is placed: the state goes back
    // to what the records say, with no error line and no error report. False
    // when there is nothing to stop or it is too late.
    Q_INVOKABLE bool cancelInstall(const QString &appId);
    QStringList cancellableInstalls() const;
    const QHash<QString, QString> &previousVersions() const { return m_previousVersions; }
    // Reads the previous copies' versions again (after an install or a roll back).
    void updatePreviousVersions();

    // Whether removing the app puts it in the desktop's trash (else it is deleted for good).
    Q_INVOKABLE bool removalGoesToTrash(const QString &appId) const;
    // Removes an installed app (not while it installs): its bundle to the trash
    // or, when toTrash is false, for good; its kept previous copy and records
    // go. True on success; a failure lands in the error line. Never throws.
    QCoro::Task<bool> remove(AppManifestItem app, bool toTrash);
    // Puts back the copy the app's last update replaced; the replaced one is
    // kept in its stead, so a second roll back returns to it.
    QCoro::Task<bool> rollBack(AppManifestItem app);
    Q_INVOKABLE void removeApp(const QString &appId, bool toTrash);
    Q_INVOKABLE void rollBackApp(const QString &appId);

    // Updates the apps one after another; at the end updateSummary sums up and,
    // when any failed, becomes the error line too. Apps without an update
    // count as failed.
    void updateApps(const QStringList &appIds);
    Q_INVOKABLE void updateAll();
    // No further update of the batch starts, and the running one is cancelled.
    void stopUpdates();
    bool isUpdatingAll() const { return m_updates->isRunning(); }
    // Whether appId's update is the one the batch runs now.
    bool isUpdating(const QString &appId) const { return m_updates->isUpdating(appId); }
    const QString &updateSummary() const { return m_updateSummary; }
    const QStringList &updatableAppIDs() const { return m_updatable; }

Q_SIGNALS:
    void cancellableInstallsChanged();
    void previousVersionsChanged();
    void updatingAllChanged();
    void updateSummaryChanged();
    void updatableAppIDsChanged();
    // An update batch ended; failed counts the apps not updated.
    void updatesFinished(const QString &summary, int failed);

private:
    enum class Change { remove, rollBack };
    // Installed, not installing nor being changed, with a known bundle.
    bool canChange(const AppManifestItem &app) const;
    // Runs the installer's remove or roll back on the app's bundle, the app
    // marked as changing meanwhile; when refused or failed, the error line
    // says why and nullopt is the result.
    QCoro::Task<std::optional<InstalledApp>> changeInstalled(AppManifestItem app, Change change, bool toTrash);
    QString startUpdate(const QString &appId);
    void updateUpdatable();
    void summarise(int updated, const QList<UpdateBatch::Failure> &failures);
    QString summaryText() const;
    QVariantMap previousVersionsValue() const { return variantMap(m_previousVersions); }

    LauncherStore &m_store;
    InstallQueue *m_installs;
    UpdateBatch *m_updates;
    QHash<QString, QString> m_previousVersions;
    QSet<QString> m_changing;  // being removed or rolled back
    QString m_updateSummary;
    int m_summaryUpdated = -1;  // none yet
    QList<UpdateBatch::Failure> m_summaryFailures;
    QStringList m_updatable;
};
