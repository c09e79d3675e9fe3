// Install, update and open.

#include "LauncherStore.h"

#include "AppOpening.h"
#include "i18n/PlatformWords.h"
#include "install/AppInstaller.h"

bool LauncherStore::canInstall(const AppManifestItem &app) const
{
    if (ManifestPolicy::installCheck(app, runningSystem()) != ManifestPolicy::InstallCheck::passes)
        return false;
    const AppInstallState::Kind kind = state(app).kind();
    if (kind == AppInstallState::Kind::installing || kind == AppInstallState::Kind::installed)
        return false;
    // A refresh may turn a running install's state into updateAvailable from an
    // older record; the installer must still never run twice for one app.
    return !m_installs->isRunning(app.id);
}

void LauncherStore::install(const AppManifestItem &app)
{
    if (!canInstall(app)) {
        setErrorMessage(qtTrId("errorCannotInstall").arg(app.name));
        return;
    }
    // The transaction is published before this returns, so a second call right after is refused.
    m_installs->start(app);
}

void LauncherStore::recordInstalledApp(const InstalledApp &installed, const AppManifestItem &app)
{
    setInstallState(app.id, AppInstallState::installed(installed.version));
    QHash<QString, QUrl> urls = m_installedAppURLs;
    urls.insert(app.id, installed.url);
    setInstalledAppURLs(urls);
    m_records.record(app.id, installed.version, installed.url.toLocalFile());
}

void LauncherStore::open(const AppManifestItem &app)
{
    if (!state(app).isInstalledOrUpdatable()) {
        install(app);
        return;
    }
    if (AppOpening::openInstalled(m_c.workspace.get(), m_installedAppURLs.value(app.id), app.bundleId))
        return;
    m_records.forget(app.id);
    restoreRecordedState(app);
    setErrorMessage(qtTrId(PlatformWords::messageId("errorNoBundle")).arg(app.name));
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
