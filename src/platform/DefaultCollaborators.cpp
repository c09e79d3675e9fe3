#include "DefaultCollaborators.h"

#include "AtomicDirectoryReplacer.h"
#include "CompiledAppProperties.h"
#include "LibarchiveExtractor.h"
#include "LinuxSystemVersion.h"
#include "LinuxWorkspace.h"
#include "PlistBundleInspector.h"
#include "ProcRunningProcesses.h"
#include "QtNetworkCost.h"
#include "SettingsUserDefaults.h"
#include "StorageDiskSpace.h"
#include "SystemLanguage.h"
#include "XdgDesktopEntries.h"
#include "catalog/ManifestClient.h"
#include "feedback/Feedback.h"
#include "monitoring/Monitoring.h"
#include "net/ServiceEndpoints.h"

#include <QDir>

QString defaultInstallRoot()
{
    return QDir::home().filePath(QStringLiteral("Applications/Vantrel"));
}

AppInstaller::Layers defaultInstallerLayers()
{
    AppInstaller::Layers layers;
    layers.systemVersion = std::make_shared<LinuxSystemVersion>();
    layers.extractor = std::make_shared<LibarchiveExtractor>();
    layers.bundles = std::make_shared<PlistBundleInspector>();
    layers.replacer = std::make_shared<AtomicDirectoryReplacer>();
    layers.diskSpace = std::make_shared<StorageDiskSpace>();
    return layers;
}

std::shared_ptr<InstalledCopyOperations> defaultInstalledCopies(const QString &installRoot)
{
    return std::make_shared<InstalledCopyOperations>(QUrl::fromLocalFile(installRoot), std::make_shared<AtomicDirectoryReplacer>());
}

std::shared_ptr<DesktopEntries> defaultDesktopEntries(std::shared_ptr<const LinuxWorkspace> workspace)
{
#ifdef Q_OS_MACOS
    Q_UNUSED(workspace);
    return nullptr;
#else
    return std::make_shared<XdgDesktopEntries>(std::move(workspace));
#endif
}

LauncherStore::Collaborators defaultCollaborators(QNetworkAccessManager *session, const QString &installRoot)
{
    auto properties = std::make_shared<CompiledAppProperties>();
    auto language = std::make_shared<SystemLanguage>();
    const QUrl serviceBase = ServiceEndpoints::serviceBaseURL(*properties);

    LauncherStore::Collaborators c;
    auto manifestClient = std::make_shared<RemoteManifestClient>(RemoteManifestClient::defaultEndpoint(*properties), session);
    manifestClient->setPublicKeys(CatalogPublicKeys::configured(*properties));
    manifestClient->setCache(std::make_shared<CatalogCache>(CatalogCache::defaultFolder()));
    c.manifestLoader = manifestClient;
    c.installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(installRoot), session, defaultInstallerLayers());
    c.installedCopies = defaultInstalledCopies(installRoot);
    c.eventRecorder = std::make_shared<RemoteEventRecorder>(serviceBase, session, language);
    c.feedbackClient = std::make_shared<RemoteFeedbackClient>(serviceBase, session);
    c.errorReporter = std::make_shared<LauncherErrorReporter>(LauncherErrorReporter::dsnFromEnvironment());
    c.userDefaults = std::make_shared<SettingsUserDefaults>();
    auto workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(),
                                                      LinuxWorkspace::defaultSearchRoots(installRoot));
    c.workspace = workspace;
    c.desktopEntries = defaultDesktopEntries(workspace);
#ifndef Q_OS_MACOS
    c.runningProcesses = std::make_shared<ProcRunningProcesses>();
#endif
    c.networkCost = std::make_shared<QtNetworkCost>();
    c.systemVersion = std::make_shared<LinuxSystemVersion>();
    c.systemLanguage = language;
    c.appProperties = properties;
    return c;
}
