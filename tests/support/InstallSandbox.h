#pragma once

#include "TempHome.h"
#include "catalog/ManifestPolicy.h"  // OperatingSystemVersion
#include "install/AppInstaller.h"

#include <QNetworkAccessManager>

#include <memory>
#include <optional>

// How one install ended: the app, or the error it threw.
struct InstallOutcome {
    std::optional<InstalledApp> app;
    std::optional<AppInstallerError> installerError;
    std::optional<PlatformError> platformError;

    bool succeeded() const { return app.has_value(); }
    QString message() const;
    // For failure messages of the tests: "success" or "failure: <message>".
    QString describe() const;
};

// Waits for an install that may already be running, and for its clean-up.
InstallOutcome outcomeOf(QCoro::Task<InstalledApp> task);

// The real installer (real platform layers, a fixed system version) over a
// temporary home.
class InstallSandbox : public TempHome
{
public:
    explicit InstallSandbox(OperatingSystemVersion version = {14, 5, 0});

    std::unique_ptr<AppInstaller> makeInstaller(OperatingSystemVersion version = {14, 5, 0},
                                                std::shared_ptr<const ArchiveExtractor> extractor = nullptr);
    AppInstaller &installer() { return *m_installer; }
    InstallOutcome install(const AppManifestItem &app) { return outcomeOf(m_installer->install(app)); }
    // Installs the archive from a file URL as app id (bundle "com.vantrel.<id>").
    InstallOutcome installArchive(const ZipBuilder &zip, const QString &id = QStringLiteral("notes"),
                                  const QString &version = QStringLiteral("1.0"));

private:
    QNetworkAccessManager m_session;
    std::unique_ptr<AppInstaller> m_installer;
};
