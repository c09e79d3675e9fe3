#pragma once

#include "AppOperation.h"
#include "InstallRecords.h"
#include "OperationRefusals.h"
#include "StoreCollaborators.h"
#include "catalog/AppInstallState.h"
#include "catalog/Models.h"
#include "install/BundleVerification.h"
#include "system/DesktopEntries.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <memory>

class InstalledAppsSync;
class InstallRunner;
class InstallStates;
struct InstalledApp;

// Everything about the apps the launcher installed: their records (shared
// with every other process of the user), receipts and states, the installed
// bundles and the kept previous copies; whether an app can be installed,
// updated, removed or rolled back (the rules are OperationRefusals'), and the
// operations that do it. What is installed comes from the records and the
// disk, whatever the catalog lists: an app the catalog drops stays installed,
// described as its receipt kept it. Changes other processes (or the user, by
// hand) make to the records or the bundles are followed (InstalledAppsSync
// watches for them and keeps the desktop's entries in step).
class InstalledApps : public QObject
{
    Q_OBJECT

public:
    using Operation = std::shared_ptr<AppOperation>;

    // Every app of the catalog starts notInstalled; then the records are reconciled.
    InstalledApps(const StoreCollaborators &collaborators, const QList<AppManifestItem> &apps, QObject *parent = nullptr);
    ~InstalledApps() override;

    // Reads the previous copies' versions again (the installer keeps them on disk).
    void updatePreviousVersions();

    const QHash<QString, AppInstallState> &states() const;
    AppInstallState state(const QString &appId) const;
    const QHash<QString, QUrl> &urls() const { return m_urls; }
    const QHash<QString, QString> &previousVersions() const { return m_previousVersions; }
    // Ids of the apps with a copy on disk, recorded by this or another process.
    QStringList installedIds() const;
    // The catalog's record of the app, or for an installed app the catalog
    // no longer lists, the record its receipt kept (at least its id, name and version).
    std::optional<AppManifestItem> describedApp(const QString &appId) const;
    // Whether the catalog offers a newer version than the copy installed,
    // after an update failed too.
    bool hasUpdate(const QString &appId) const;
    // The user's decisions about updates, kept with the records. Held apps
    // (id -> installed version) are left out of updates until released.
    const QHash<QString, QString> &heldApps() const { return m_held; }
    // Id -> the version skipped, for apps whose offered version is the one skipped.
    QHash<QString, QString> skippedUpdates() const;
    // The catalog's version is not offered again; a newer one will be.
    std::optional<Refusal> skipVersion(const AppManifestItem &app);
    std::optional<Refusal> offerAgain(const AppManifestItem &app);
    std::optional<Refusal> hold(const AppManifestItem &app);
    // Ends a hold and a skip alike: every update the catalog offers is offered again.
    std::optional<Refusal> release(const AppManifestItem &app);
    // Whether appId is held or has a version skipped (offered now or not).
    bool hasDecision(const QString &appId) const;
    // A newer version the catalog releases gradually and has not offered this
    // installation yet. The app shows as installed and stays out of Update
    // all, but an update asked for by name takes it.
    struct StagedUpdate {
        QString version;
        int percent = 0;
        friend bool operator==(const StagedUpdate &, const StagedUpdate &) = default;
    };
    std::optional<StagedUpdate> stagedUpdate(const QString &appId) const;

    // The running install or update of appId from its start until its outcome is known.
    AppOperation *runningInstall(const QString &appId) const;
    // Ids of the installs that can still be cancelled, sorted.
    QStringList cancellable() const;
    bool removalGoesToTrash(const QString &appId) const;
    // Whether events of ended installs are still on their way.
    bool hasEventsInFlight() const;

    // --- Checks: why the operation would be refused, or nothing ---
    std::optional<Refusal> installRefusal(const AppManifestItem &app) const;
    std::optional<Refusal> updateRefusal(const AppManifestItem &app) const;
    std::optional<Refusal> removeRefusal(const AppManifestItem &app) const;
    std::optional<Refusal> rollBackRefusal(const AppManifestItem &app) const;
    // The catalog's expiry (invalid: none). Once it has passed by the
    // collaborators' clock, installs and updates are refused; the rest works.
    void setCatalogExpiresAt(const QDateTime &expiresAt) { m_catalogExpiresAt = expiresAt; }
    // When the catalog shown expired, if it has by now.
    std::optional<QDateTime> catalogExpiredOn() const;
    // The sentence that says why, in the language installed; dated for an expired catalog.
    QString refusalText(Refusal refusal) const;
    // The text key of why the app cannot be installed now (unknown: none given); empty when it can.
    QString installRefusalKey(const std::optional<AppManifestItem> &app) const;

    // The last verify's finding for the app's installed copy; nullopt before
    // one, and once the copy changed since.
    std::optional<BundleVerification> verification(const QString &appId) const;
    std::optional<Refusal> verifyRefusal(const AppManifestItem &app) const;
    std::optional<Refusal> repairRefusal(const AppManifestItem &app) const;

    // --- Operations; a refused one comes back finished ---
    // An install, or an update when the app has one.
    Operation install(const AppManifestItem &app);
    Operation update(const AppManifestItem &app);
    // What the app's update to the catalog's version will download, in
    // bytes; nullopt when it cannot be told ahead or nothing is installed.
    QCoro::Task<std::optional<qint64>> updateSize(AppManifestItem app);
    // Installs and updates started from now on take the whole archive even
    // where the release offers a file list (`vantrel update --full`).
    void setWholeArchives(bool whole) { m_wholeArchives = whole; }
    // To the trash or, when toTrash is false, for good; the kept previous copy and the records go too.
    Operation remove(const AppManifestItem &app, bool toTrash);
    // Puts back the copy the last update replaced; the replaced one is kept in its stead.
    Operation rollBack(const AppManifestItem &app);
    // Fails, forgetting the record, when no bundle can be found; a bundle
    // whose program cannot start fails the open and is shown damaged.
    Operation open(const AppManifestItem &app);
    // Compares the installed copy with what its install placed; never changes
    // a file. Cancellable; its progress is the share read.
    Operation verify(const AppManifestItem &app);
    // Puts right what the last verify found: the permission bits in place,
    // else a fresh install of the installed version that keeps the previous
    // copy as it is (cancellable like an install).
    Operation repair(const AppManifestItem &app);
    bool cancel(const QString &appId);

    // The catalog changed: new apps get notInstalled, recorded ones the state
    // the records and the disk give, and apps shown installed whose copy is
    // gone become notInstalled. Apps being installed or changed keep theirs.
    void reconcile(const QList<AppManifestItem> &apps);
    // The same against the catalog shown, after the records or the disk changed.
    void reconcileAgain() { applyRecords(KeepFailures::no); }

    // The desktop's entries of apps no longer installed (a bundle deleted by
    // hand) go, and entries under an earlier name move; nothing else is written.
    // For a process that does not follow changes: the window syncs them anyway.
    void tidyDesktop();

    // The error line for an operation that was refused or failed (empty
    // otherwise), and why it did not happen for a summary (OperationWording).
    QString errorLine(const AppOperation &operation) const;
    QString reasonText(const AppOperation &operation) const;

Q_SIGNALS:
    void stateChanged(const QString &appId);
    void statesChanged();
    void urlsChanged();
    // The set of installed apps, or what is known of them, changed.
    void installedChanged();
    void previousVersionsChanged();
    void cancellableChanged();
    // An install or update started; its operation is published.
    void installStarted(AppOperation *operation);
    // Its outcome is known (events may still be on their way).
    void installFinished(const QString &appId, bool succeeded);
    void eventsSent();
    // Any operation ended, refused ones included.
    void operationFinished(const AppOperation *operation);
    // The app's verification is new, or no longer holds.
    void verificationChanged(const QString &appId);
    // An app was held or released, a version skipped or offered again (here or elsewhere).
    void decisionsChanged();
    // The records were read and applied again; what they say may be unchanged.
    void recordsApplied();
    // An operation that changes the app's copy ran to its end, done or
    // failed part way: what is on disk may differ.
    void copyChanged(const QString &appId);

private:
    const AppManifestItem *catalogEntry(const QString &appId) const;
    // What the refusal rules go by for app, as known now.
    OperationRefusals::Facts refusalFacts(const AppManifestItem &app) const;
    bool isBusy(const QString &appId) const;
    void finish(AppOperation *operation, const OperationOutcome &outcome);
    Operation refused(const AppManifestItem &app, AppOperation::Kind kind, Refusal refusal);
    Operation startInstall(const AppManifestItem &app, AppOperation::Kind kind);
    QCoro::Task<void> runChange(Operation operation, bool toTrash);
    QCoro::Task<void> runVerify(Operation operation);
    QCoro::Task<void> runInPlaceRepair(Operation operation);
    void forgetVerification(const QString &appId);
    // The kept previous copies are checked off the main thread, and a
    // damaged one is discarded: roll back is offered only where it can succeed.
    void checkPreviousCopies();
    QCoro::Task<void> checkPreviousCopy(QString appId);
    void recheckPreviousCopy(const QString &appId);
    // What an open found wrong with the copy, held as a verify's finding would be.
    void markDamaged(const QString &appId, const VerificationFinding &finding);
    void connectInstalls();
    void recordInstalled(const InstalledApp &installed, const AppManifestItem &app);
    // A failure's own state survives the records changing elsewhere (it
    // still tells what went wrong); a catalog refresh derives it anew.
    enum class KeepFailures { no, yes };
    void applyRecords(KeepFailures keep);
    // The app's state and URL as its records and the disk say.
    void restoreRecordedState(const AppManifestItem &app);
    // The state the record gives against the catalog's version, if the catalog lists the app.
    AppInstallState recordedState(const QString &appId, const InstallRecords::Recorded &recorded) const;
    // What is known of a recorded app: the catalog's record, the last one
    // seen, the one its receipt kept, or its bundle's name.
    AppManifestItem describeRecorded(const QString &appId, const InstallRecords::Recorded &recorded) const;
    // True when what is known of the installed apps changed.
    bool rememberInstalled(const QHash<QString, InstallRecords::Recorded> &recorded);
    void rememberDecisions(const QHash<QString, InstallRecords::Recorded> &recorded);
    // Whether the catalog's version reaches this installation as an update.
    bool offered(const AppManifestItem &listed) const;
    // Whether the catalog lists a version of appId newer than installedVersion.
    const AppManifestItem *newerListed(const QString &appId, const QString &installedVersion) const;
    // Whether the user decided against taking latest for appId.
    bool declined(const QString &appId, const QString &latest) const;
    void setURL(const QString &appId, const std::optional<QUrl> &url);
    void setURLs(const QHash<QString, QUrl> &urls);
    // The recorded app as the desktop lists it; nullopt when it is not recorded.
    std::optional<DesktopApp> desktopApp(const QString &appId);

    StoreCollaborators m_c;
    InstallRecords m_records;
    InstallStates *m_states;
    InstallRunner *m_installs;
    bool m_wholeArchives = false;
    InstalledAppsSync *m_sync;
    QList<AppManifestItem> m_catalog;
    QDateTime m_catalogExpiresAt;
    // What is known of each installed app: its catalog record, or the one its receipt kept.
    QHash<QString, AppManifestItem> m_installed;
    QHash<QString, QUrl> m_urls;
    QHash<QString, QString> m_previousVersions;
    QHash<QString, QString> m_previousChecked;  // id -> the previous copy last checked (version, bundle)
    QHash<QString, QString> m_held;     // id -> version held at
    QHash<QString, QString> m_skipped;  // id -> version skipped
    mutable QString m_installId;  // read (or made) on first need
    QSet<QString> m_changing;  // being removed, rolled back or repaired in place
    QSet<QString> m_verifying;
    // A verify's finding and the copy it was about (version and bundle).
    struct Verified {
        BundleVerification finding;
        QString version;
        QUrl bundle;
    };
    QHash<QString, Verified> m_verifications;
};
