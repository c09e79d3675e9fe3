// The user's decisions about an installed app's updates: hold it at its
// version, skip one offered version. They live with the install records, so
// every process and every start sees them, and a roll back keeps them.

#include "InstalledApps.h"

#include "InstallStates.h"
#include "catalog/VersionComparison.h"
#include "log/Logging.h"

QHash<QString, QString> InstalledApps::skippedUpdates() const
{
    QHash<QString, QString> hidden;
    for (auto it = m_skipped.cbegin(); it != m_skipped.cend(); ++it) {
        const AppManifestItem *listed = catalogEntry(it.key());
        if (listed && listed->version == *it && !m_held.contains(it.key()))
            hidden.insert(it.key(), *it);
    }
    return hidden;
}

bool InstalledApps::declined(const QString &appId, const QString &latest) const
{
    if (m_held.contains(appId))
        return true;
    const QString skipped = m_skipped.value(appId);
    return !skipped.isEmpty() && compareVersions(latest, skipped) != ComparisonResult::orderedDescending;
}

std::optional<Refusal> InstalledApps::skipVersion(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = OperationRefusals::skip(refusalFacts(app)))
        return refusal;
    const AppManifestItem *listed = catalogEntry(app.id);
    qCInfo(lcStore) << "Skipped:" << app.id << listed->version;
    m_records.setSkipped(app.id, listed->version);
    restoreRecordedState(app);
    return std::nullopt;
}

std::optional<Refusal> InstalledApps::offerAgain(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = OperationRefusals::decision(refusalFacts(app)))
        return refusal;
    m_records.setSkipped(app.id, std::nullopt);
    restoreRecordedState(app);
    return std::nullopt;
}

std::optional<Refusal> InstalledApps::hold(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = OperationRefusals::decision(refusalFacts(app)))
        return refusal;
    qCInfo(lcStore) << "Held:" << app.id;
    m_records.setHeld(app.id, true);
    restoreRecordedState(app);
    return std::nullopt;
}

bool InstalledApps::hasDecision(const QString &appId) const
{
    return m_held.contains(appId) || m_skipped.contains(appId);
}

std::optional<Refusal> InstalledApps::release(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = OperationRefusals::decision(refusalFacts(app)))
        return refusal;
    // The way back from both: a skip under a hold must not come back once the hold ends.
    qCInfo(lcStore) << "Released:" << app.id;
    m_records.setHeld(app.id, false);
    m_records.setSkipped(app.id, std::nullopt);
    restoreRecordedState(app);
    return std::nullopt;
}

void InstalledApps::rememberDecisions(const QHash<QString, InstallRecords::Recorded> &recorded)
{
    QHash<QString, QString> held;
    QHash<QString, QString> skipped;
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it) {
        if (it->held)
            held.insert(it.key(), it->version);
        if (!it->skippedVersion.isEmpty())
            skipped.insert(it.key(), it->skippedVersion);
    }
    if (held == m_held && skipped == m_skipped)
        return;
    m_held = held;
    m_skipped = skipped;
    Q_EMIT decisionsChanged();
}
