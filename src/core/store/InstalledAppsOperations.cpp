// Starting the operations on installed apps and ending them: each is
// refused or runs on by itself, and finish() publishes its outcome. Installs
// and updates run in the InstallRunner; the rest here or in the verification.

#include "InstalledApps.h"

#include "AppOpening.h"
#include "InstallRunner.h"
#include "InstallStates.h"
#include "OperationWording.h"
#include "i18n/PlatformWords.h"
#include "install/AppInstaller.h"
#include "install/InstalledCopyHandling.h"
#include "log/Logging.h"

#include <QPointer>

using OperationWording::describe;

void InstalledApps::connectInstalls()
{
    connect(m_installs, &InstallRunner::started, m_states, &InstallStates::follow);
    connect(m_installs, &InstallRunner::started, this, &InstalledApps::installStarted);
    connect(m_installs, &InstallRunner::cancellableChanged, this, &InstalledApps::cancellableChanged);
    connect(m_installs, &InstallRunner::eventsSent, this, &InstalledApps::eventsSent);
    connect(m_installs, &InstallRunner::finished, this, &InstalledApps::installFinished);
    connect(m_installs, &InstallRunner::succeeded, this, [this](AppOperation *operation, const InstalledApp &installed) {
        recordInstalled(installed, operation->app());
        finish(operation, OperationOutcome::done());
    });
    connect(m_installs, &InstallRunner::failed, this, [this](AppOperation *operation, const OperationOutcome &outcome) {
        finish(operation, outcome);
        // A failed update or reinstall leaves the installed copy in place, and it stays reachable.
        const InstallRecords::Recorded kept = m_records.reconcile().value(operation->appId());
        m_states->set(operation->appId(), AppInstallState::failed(errorLine(*operation), kept.version));
    });
    connect(m_installs, &InstallRunner::cancelled, this, [this](AppOperation *operation) {
        restoreRecordedState(operation->app());
        finish(operation, OperationOutcome::cancelled());
    });
}

void InstalledApps::finish(AppOperation *operation, const OperationOutcome &outcome)
{
    // What changed the copy makes the last verify's finding stale; what
    // failed or stopped left the copy as it was.
    const AppOperation::Kind kind = operation->kind();
    if (outcome.kind == OperationOutcome::Kind::done && kind != AppOperation::Kind::verify && kind != AppOperation::Kind::open)
        forgetVerification(operation->appId());
    const bool ran = outcome.kind == OperationOutcome::Kind::done || outcome.kind == OperationOutcome::Kind::failed;
    if (ran && kind != AppOperation::Kind::verify && kind != AppOperation::Kind::open)
        Q_EMIT copyChanged(operation->appId());
    operation->finish(outcome);
    Q_EMIT operationFinished(operation);
}

InstalledApps::Operation InstalledApps::refused(const AppManifestItem &app, AppOperation::Kind kind, Refusal refusal)
{
    auto operation = std::make_shared<AppOperation>(app, kind);
    qCInfo(lcStore) << "Refused:" << app.id << EnumNames::name(refusal);
    finish(operation.get(), OperationOutcome::refused(refusal));
    return operation;
}

InstalledApps::Operation InstalledApps::install(const AppManifestItem &app)
{
    // An update not yet offered here is taken when asked for by name.
    if (hasUpdate(app.id) || stagedUpdate(app.id))
        return update(app);
    if (const std::optional<Refusal> refusal = installRefusal(app))
        return refused(app, AppOperation::Kind::install, *refusal);
    return startInstall(app, AppOperation::Kind::install);
}

InstalledApps::Operation InstalledApps::update(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = updateRefusal(app))
        return refused(app, AppOperation::Kind::update, *refusal);
    return startInstall(app, AppOperation::Kind::update);
}

QCoro::Task<std::optional<qint64>> InstalledApps::updateSize(AppManifestItem app)
{
    const QUrl bundle = m_urls.value(app.id);
    const std::shared_ptr<AppInstalling> installer = m_c.installer;
    if (bundle.isEmpty() || !installer)
        co_return std::nullopt;
    QCoro::Task<std::optional<qint64>> asking = installer->updateSize(std::move(app), bundle);
    co_return co_await asking;
}

InstalledApps::Operation InstalledApps::startInstall(const AppManifestItem &app, AppOperation::Kind kind)
{
    auto operation = std::make_shared<AppOperation>(app, kind);
    operation->setWholeArchive(m_wholeArchives);
    // Published before this returns, so a second call right after is refused.
    m_installs->start(operation);
    return operation;
}

bool InstalledApps::cancel(const QString &appId)
{
    return m_installs->cancel(appId);
}

InstalledApps::Operation InstalledApps::remove(const AppManifestItem &app, bool toTrash)
{
    if (const std::optional<Refusal> refusal = removeRefusal(app))
        return refused(app, AppOperation::Kind::remove, *refusal);
    auto operation = std::make_shared<AppOperation>(app, AppOperation::Kind::remove);
    runChange(operation, toTrash);  // runs on by itself
    return operation;
}

InstalledApps::Operation InstalledApps::rollBack(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = rollBackRefusal(app))
        return refused(app, AppOperation::Kind::rollBack, *refusal);
    auto operation = std::make_shared<AppOperation>(app, AppOperation::Kind::rollBack);
    runChange(operation, false);
    return operation;
}

QCoro::Task<void> InstalledApps::runChange(Operation operation, bool toTrash)
{
    QPointer<InstalledApps> self(this);
    const AppManifestItem app = operation->app();
    const bool removing = operation->kind() == AppOperation::Kind::remove;
    const std::shared_ptr<InstalledCopyHandling> copies = m_c.installedCopies;
    const QUrl bundle = m_urls.value(app.id);
    m_changing.insert(app.id);
    std::optional<InstalledApp> changed;
    std::exception_ptr failure;
    try {
        if (removing) {
            co_await copies->remove(app.id, bundle, toTrash);
            changed = InstalledApp{bundle, QString()};
        } else {
            changed = co_await copies->rollBack(app.id, bundle);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    m_changing.remove(app.id);
    if (failure) {
        qCInfo(lcStore) << (removing ? "Remove failed:" : "Roll back failed:") << app.id;
        // What is on disk may have changed all the same.
        updatePreviousVersions();
        finish(operation.get(), OperationOutcome::failed(describe(failure)));
        co_return;
    }
    if (removing)
        m_records.forget(app.id);
    else  // against the catalog: rolled back below its version, the app shows the update again
        m_records.record(app.id, changed->version, changed->url.toLocalFile());
    restoreRecordedState(app);
    finish(operation.get(), OperationOutcome::done());
}

InstalledApps::Operation InstalledApps::open(const AppManifestItem &app)
{
    if (const std::optional<Refusal> refusal = OperationRefusals::open(refusalFacts(app)))
        return refused(app, AppOperation::Kind::open, *refusal);
    auto operation = std::make_shared<AppOperation>(app, AppOperation::Kind::open);
    const AppOpening::Result opening = AppOpening::openInstalled(m_c.workspace.get(), m_urls.value(app.id), app.bundleId);
    switch (opening.kind) {
    case AppOpening::Result::Kind::opened:
    case AppOpening::Result::Kind::notStarted:  // the launch's own result is not observed; `vantrel open` says it
        finish(operation.get(), OperationOutcome::done());
        break;
    case AppOpening::Result::Kind::damaged:
        // The copy is there: it is shown damaged, with Repair, and stays recorded.
        markDamaged(app.id, AppOpening::finding(*opening.problem));
        finish(operation.get(), OperationOutcome::failed(AppOpening::problemText(app.name, *opening.problem)));
        break;
    case AppOpening::Result::Kind::notFound:
        m_records.forget(app.id);
        restoreRecordedState(app);
        finish(operation.get(), OperationOutcome::failed(qtTrId(PlatformWords::messageId("errorNoBundle")).arg(app.name)));
        break;
    }
    return operation;
}
