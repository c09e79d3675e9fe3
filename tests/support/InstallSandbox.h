#pragma once

#include "TempHome.h"
#include "ZipBuilder.h"
#include "install/AppInstaller.h"
#include "install/InstalledCopyOperations.h"

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

// "Notes.app" (com.vantrel.notes) telling its version in a resource, with a file only it has and an inner link.
ZipBuilder notesApp(const QString &version = QStringLiteral("1.0"), ZipBuilder::PlistFormat format = ZipBuilder::PlistFormat::xml);
// The catalog's release of app "notes" as archive, downloaded from url.
AppManifestItem notesRelease(const QUrl &url, const QByteArray &archive, const QString &version = QStringLiteral("1.0"));

// The real installer (system 14.5.0) over a temporary home; fails the test if it ends with leftovers().
class InstallSandbox : public TempHome
{
public:
    ~InstallSandbox();

    // The real layers but those given; the temporary folder is the sandbox's.
    // Without diskSpace no space is checked: the check's request for the
    // archive's end would add to what the other tests count and script.
    std::unique_ptr<AppInstaller> makeInstaller(std::shared_ptr<const ArchiveExtractor> extractor = nullptr,
                                                std::shared_ptr<const DiskSpace> diskSpace = nullptr);
    AppInstaller &installer() { return *m_installer; }
    // What acts on the copies the installer placed.
    std::unique_ptr<InstalledCopyOperations> makeInstalledCopies() const;
    InstalledCopyOperations &installedCopies() { return *m_installedCopies; }
    InstallOutcome install(const AppManifestItem &app) { return outcomeOf(m_installer->install(app)); }
    // Installs the archive from a file URL as app id (bundle "com.vantrel.<id>").
    InstallOutcome installArchive(const ZipBuilder &zip, const QString &id = QStringLiteral("notes"),
                                  const QString &version = QStringLiteral("1.0"));
    // For tests that leave such items on purpose.
    void allowLeftovers() { m_leftoversAllowed = true; }

private:
    QNetworkAccessManager m_session;
    std::unique_ptr<AppInstaller> m_installer = makeInstaller();
    std::unique_ptr<InstalledCopyOperations> m_installedCopies = makeInstalledCopies();
    bool m_leftoversAllowed = false;
};
