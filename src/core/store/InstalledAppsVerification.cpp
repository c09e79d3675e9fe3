// Verifying installed apps and repairing what a verify found: the part of
// InstalledApps that looks at a copy after its install.

#include "InstalledApps.h"

#include "InstallRunner.h"
#include "OperationWording.h"
#include "install/InstalledCopyHandling.h"
#include "log/Logging.h"
#include "system/DesktopEntries.h"

#include <QPointer>

using OperationWording::describe;

std::optional<BundleVerification> InstalledApps::verification(const QString &appId) const
{
    const auto it = m_verifications.constFind(appId);
    // About another copy than the one there now (changed elsewhere): it no longer holds.
    if (it == m_verifications.cend() || it->bundle != m_urls.value(appId)
        || it->version != state(appId).installedCopyVersion())
        return std::nullopt;
    return it->finding;
}

void InstalledApps::updatePreviousVersions()
{
    QHash<QString, QString> versions;
    for (auto it = m_urls.cbegin(); m_c.installedCopies && it != m_urls.cend(); ++it) {
        if (const std::optional<QString> version = m_c.installedCopies->previousVersion(it.key(), it.value()))
            versions.insert(it.key(), *version);
    }
    if (versions != m_previousVersions) {
        m_previousVersions = versions;
        Q_EMIT previousVersionsChanged();
    }
    checkPreviousCopies();
}

void InstalledApps::checkPreviousCopies()
{
    // A command that runs for moments checks the kept copy when it rolls back.
    if (!m_c.followChangesElsewhere || !m_c.installedCopies)
        return;
    QStringList unchecked;
    for (auto it = m_previousVersions.cbegin(); it != m_previousVersions.cend(); ++it) {
        const QString copy = it.value() + QLatin1Char('\n') + m_urls.value(it.key()).toString();
        if (m_previousChecked.value(it.key()) != copy) {
            m_previousChecked.insert(it.key(), copy);
            unchecked.append(it.key());
        }
    }
    // A check that ends at once reads the previous copies again.
    for (const QString &appId : std::as_const(unchecked))
        checkPreviousCopy(appId);  // runs on by itself
}

QCoro::Task<void> InstalledApps::checkPreviousCopy(QString appId)
{
    QPointer<InstalledApps> self(this);
    const std::shared_ptr<InstalledCopyHandling> copies = m_c.installedCopies;
    QCoro::Task<bool> checking = copies->discardDamagedPrevious(appId, m_urls.value(appId));
    const bool discarded = co_await checking;
    if (self && discarded)
        updatePreviousVersions();
}

void InstalledApps::recheckPreviousCopy(const QString &appId)
{
    // Unchanged files of the kept copy may share their data with the damaged one.
    m_previousChecked.remove(appId);
    checkPreviousCopies();
}

void InstalledApps::markDamaged(const QString &appId, const VerificationFinding &finding)
{
    BundleVerification found;
    found.status = BundleVerification::Status::damaged;
    found.receiptVersion = state(appId).installedCopyVersion();
    found.findings = {finding};
    m_verifications.insert(appId, {found, found.receiptVersion, m_urls.value(appId)});
    Q_EMIT verificationChanged(appId);
    recheckPreviousCopy(appId);
}

void InstalledApps::forgetVerification(const QString &appId)
{
    if (m_verifications.remove(appId))
        Q_EMIT verificationChanged(appId);
}

InstalledApps::Operation InstalledApps::verify(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = verifyRefusal(app))
        return refused(app, AppOperation::Kind::verify, *refusal);
    auto operation = std::make_shared<AppOperation>(app, AppOperation::Kind::verify);
    runVerify(operation);  // runs on by itself
    return operation;
}

QCoro::Task<void> InstalledApps::runVerify(Operation operation)
{
    QPointer<InstalledApps> self(this);
    const QString appId = operation->appId();
    const QUrl bundle = m_urls.value(appId);
    const QString version = state(appId).installedCopyVersion();
    const std::shared_ptr<InstalledCopyHandling> copies = m_c.installedCopies;
    m_verifying.insert(appId);
    VerifyControl control;
    control.cancel = operation->cancelFlag();
    control.onProgress = [op = operation.get()](qint64 read, qint64 total) {
        if (total > 0)
            op->setProgress(double(read) / double(total));
    };
    std::optional<BundleVerification> found;
    QString failure;
    try {
        found = co_await copies->verify(appId, bundle, std::move(control));
    } catch (...) {
        failure = describe(std::current_exception());
    }
    if (!self)
        co_return;
    m_verifying.remove(appId);
    if (!found) {
        finish(operation.get(), OperationOutcome::failed(failure));
        co_return;
    }
    if (found->status == BundleVerification::Status::cancelled) {
        finish(operation.get(), OperationOutcome::cancelled());
        co_return;
    }
    // The desktop's entry and icons are part of the app as installed.
    if (const std::optional<DesktopApp> desktop = desktopApp(appId); desktop && m_c.desktopEntries)
        found->addFindings(m_c.desktopEntries->check(*desktop));
    qCInfo(lcStore) << "Verified" << appId << found->summary();
    m_verifications.insert(appId, {*found, version, bundle});
    Q_EMIT verificationChanged(appId);
    if (found->isDamaged())
        recheckPreviousCopy(appId);
    finish(operation.get(), OperationOutcome::done());
}

InstalledApps::Operation InstalledApps::repair(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = repairRefusal(app))
        return refused(app, AppOperation::Kind::repair, *refusal);
    if (verification(app.id)->repair() == BundleVerification::Repair::reinstall)
        return startInstall(*catalogEntry(app.id), AppOperation::Kind::repair);
    auto operation = std::make_shared<AppOperation>(app, AppOperation::Kind::repair);
    runInPlaceRepair(operation);  // runs on by itself
    return operation;
}

QCoro::Task<void> InstalledApps::runInPlaceRepair(Operation operation)
{
    QPointer<InstalledApps> self(this);
    const QString appId = operation->appId();
    const std::shared_ptr<InstalledCopyHandling> copies = m_c.installedCopies;
    const bool bits = verification(appId)->count(VerificationFinding::Kind::permissions) > 0;
    m_changing.insert(appId);
    QString failure;
    try {
        if (bits) {
            const int changed = co_await copies->repairPermissions(appId, m_urls.value(appId));
            qCInfo(lcStore) << "Permission bits put back:" << appId << changed;
        }
    } catch (...) {
        failure = describe(std::current_exception());
    }
    if (!self)
        co_return;
    m_changing.remove(appId);
    if (const std::optional<DesktopApp> desktop = desktopApp(appId); desktop && m_c.desktopEntries && failure.isEmpty())
        m_c.desktopEntries->rewrite(*desktop);
    finish(operation.get(), failure.isEmpty() ? OperationOutcome::done() : OperationOutcome::failed(failure));
}
