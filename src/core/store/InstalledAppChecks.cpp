#include "InstalledAppChecks.h"

#include "InstalledApps.h"
#include "RunningApps.h"
#include "SetIfChanged.h"

#include <QPointer>

InstalledAppChecks::InstalledAppChecks(InstalledApps *apps, Find find, RunningApps *running, QObject *parent)
    : QObject(parent), m_apps(apps), m_running(running), m_find(std::move(find))
{
    connect(m_apps, &InstalledApps::verificationChanged, this, &InstalledAppChecks::verificationsChanged);
    // A copy that changed elsewhere takes its finding along.
    connect(m_apps, &InstalledApps::statesChanged, this, &InstalledAppChecks::verificationsChanged);
}

QVariantMap InstalledAppChecks::verificationsValue() const
{
    QVariantMap map;
    for (const QString &appId : m_apps->installedIds()) {
        if (const std::optional<BundleVerification> found = m_apps->verification(appId))
            map.insert(appId, QVariant::fromValue(*found));
    }
    return map;
}

bool InstalledAppChecks::isDamaged(const QString &appId) const
{
    const std::optional<BundleVerification> found = m_apps->verification(appId);
    return found && found->isDamaged();
}

void InstalledAppChecks::follow(const std::shared_ptr<AppOperation> &operation)
{
    if (operation->isFinished())
        return;
    const QString appId = operation->appId();
    m_progress.insert(appId, 0);
    Q_EMIT verifyingChanged();
    connect(operation.get(), &AppOperation::progressChanged, this, [this, appId, op = operation.get()] {
        m_progress.insert(appId, op->progress());
        Q_EMIT verifyingChanged();
    });
    connect(operation.get(), &AppOperation::finished, this, [this, appId] {
        m_progress.remove(appId);
        Q_EMIT verifyingChanged();
    });
}

void InstalledAppChecks::verifyApp(const QString &appId)
{
    if (const std::optional<AppManifestItem> app = m_find(appId)) {
        // A new verify says anew what the copy is like.
        if (m_repaired.remove(appId))
            Q_EMIT repairedChanged();
        follow(m_apps->verify(*app));
    }
}

void InstalledAppChecks::repairApp(const QString &appId)
{
    const std::optional<AppManifestItem> app = m_find(appId);
    if (!app)
        return;
    m_running->guard(*app, RunningApps::Change::repair, [this, app = *app] {
        const std::shared_ptr<AppOperation> operation = m_apps->repair(app);  // runs on by itself
        // Only a repair that ended well is told as done; a failure is the error line's.
        const auto conclude = [this, appId = app.id](const OperationOutcome &outcome) {
            if (outcome.kind == OperationOutcome::Kind::done && !m_repaired.contains(appId)) {
                m_repaired.insert(appId);
                Q_EMIT repairedChanged();
            }
        };
        if (operation->isFinished())
            conclude(*operation->outcome());
        else
            connect(operation.get(), &AppOperation::finished, this, conclude);
        return operation;
    });
}

QStringList InstalledAppChecks::repairedApps() const
{
    QStringList ids(m_repaired.begin(), m_repaired.end());
    ids.sort();
    return ids;
}

void InstalledAppChecks::verifyAll()
{
    if (!m_verifyingAll)
        runVerifyAll();  // runs on by itself
}

QCoro::Task<void> InstalledAppChecks::runVerifyAll()
{
    QPointer<InstalledAppChecks> self(this);
    m_verifyingAll = true;
    Q_EMIT verifyingAllChanged();
    int verified = 0;
    int needRepair = 0;
    for (const QString &appId : m_apps->installedIds()) {
        const std::optional<AppManifestItem> app = m_find(appId);
        if (!app)
            continue;
        const std::shared_ptr<AppOperation> operation = m_apps->verify(*app);
        follow(operation);
        const OperationOutcome outcome = co_await operation->result();
        if (!self)
            co_return;
        if (outcome.kind != OperationOutcome::Kind::done)
            continue;
        ++verified;
        const std::optional<BundleVerification> found = m_apps->verification(appId);
        if (found && found->offersRepair())
            ++needRepair;
    }
    m_lastVerified = verified;
    m_lastNeedRepair = needRepair;
    setIfChanged(this, m_summary, summaryText(), &InstalledAppChecks::verifySummaryChanged);
    m_verifyingAll = false;
    Q_EMIT verifyingAllChanged();
    Q_EMIT verifiedAll(verified, needRepair);
}

QString InstalledAppChecks::summaryText() const
{
    if (m_lastVerified < 0)
        return {};
    if (m_lastNeedRepair == 0)
        return qtTrId("verifyAllSummary", m_lastVerified);
    return qtTrId("verifyAllSummaryNeedRepair", m_lastVerified).arg(m_lastNeedRepair);
}

void InstalledAppChecks::retranslate()
{
    setIfChanged(this, m_summary, summaryText(), &InstalledAppChecks::verifySummaryChanged);
}
