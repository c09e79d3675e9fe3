#pragma once

#include "AppOperation.h"
#include "catalog/Models.h"
#include "install/BundleVerification.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QVariant>
#include <functional>
#include <optional>

class InstalledApps;
class RunningApps;

// Verifying installed apps and repairing what a verify found, for the views
// (`store.checks`): one app from its page, or every installed app one after
// another ("Verify all"), with a line that sums the last run up. The work is
// the installed apps' operations; this publishes what the views show of it.
class InstalledAppChecks : public QObject
{
    Q_OBJECT
    // Ids of the apps being verified now, sorted.
    Q_PROPERTY(QStringList verifyingApps READ verifyingApps NOTIFY verifyingChanged)
    Q_PROPERTY(bool verifyingAll READ isVerifyingAll NOTIFY verifyingAllChanged)
    // App id -> the last verify's finding (a BundleVerification) for the copy there now.
    Q_PROPERTY(QVariantMap verifications READ verificationsValue NOTIFY verificationsChanged)
    // Ids of the apps a repair put right since their last verify, sorted.
    Q_PROPERTY(QStringList repairedApps READ repairedApps NOTIFY repairedChanged)
    // The line that sums up the last "Verify all"; empty before the first.
    Q_PROPERTY(QString verifySummary READ verifySummary NOTIFY verifySummaryChanged)

public:
    using Find = std::function<std::optional<AppManifestItem>(const QString &)>;

    InstalledAppChecks(InstalledApps *apps, Find find, RunningApps *running, QObject *parent = nullptr);
    // Words the last summary again in the language now installed.
    void retranslate();

    // Whether the last verify found the app damaged.
    bool isDamaged(const QString &appId) const;
    QStringList verifyingApps() const { return m_progress.keys(); }
    // The share of the app's verify read so far, from 0 to 1.
    Q_INVOKABLE double verifyProgress(const QString &appId) const { return m_progress.value(appId); }
    // A refusal or failure lands in the error line.
    Q_INVOKABLE void verifyApp(const QString &appId);
    Q_INVOKABLE void repairApp(const QString &appId);
    QStringList repairedApps() const;
    // Verifies every installed app in turn.
    Q_INVOKABLE void verifyAll();
    bool isVerifyingAll() const { return m_verifyingAll; }
    const QString &verifySummary() const { return m_summary; }

Q_SIGNALS:
    void verificationsChanged();
    void verifyingChanged();
    void verifyingAllChanged();
    void verifySummaryChanged();
    void repairedChanged();
    // A "Verify all" ended: how many apps it verified and how many need a repair.
    void verifiedAll(int verified, int needRepair);

private:
    // Follows a verify's progress until it ends.
    void follow(const std::shared_ptr<AppOperation> &operation);
    QCoro::Task<void> runVerifyAll();
    QString summaryText() const;
    QVariantMap verificationsValue() const;

    InstalledApps *m_apps;
    RunningApps *m_running;
    Find m_find;
    QHash<QString, double> m_progress;
    QSet<QString> m_repaired;
    bool m_verifyingAll = false;
    int m_lastVerified = -1;  // the last "Verify all"'s counts; -1 before the first
    int m_lastNeedRepair = 0;
    QString m_summary;
};
