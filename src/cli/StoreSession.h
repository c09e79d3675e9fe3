#pragma once

#include "CliCommand.h"
#include "store/LauncherStore.h"
#include "system/SystemLayers.h"

#include <QNetworkAccessManager>
#include <memory>
#include <optional>

class LauncherErrorReporter;

// Remembers whether the store actually started an application.
class ReportingWorkspace : public Workspace
{
public:
    explicit ReportingWorkspace(std::shared_ptr<Workspace> inner) : m_inner(std::move(inner)) {}

    bool openApplication(const QUrl &bundleUrl) override;
    std::optional<QUrl> urlForApplication(const QString &bundleIdentifier) const override
    {
        return m_inner->urlForApplication(bundleIdentifier);
    }
    bool canOpenApplication(const QUrl &bundleUrl) const override { return m_inner->canOpenApplication(bundleUrl); }
    std::optional<LaunchProblem> launchProblem(const QUrl &bundleUrl) const override
    {
        return m_inner->launchProblem(bundleUrl);
    }

    std::optional<QUrl> openedUrl;

private:
    std::shared_ptr<Workspace> m_inner;
};

// The store as the window builds it, with the same records and install root,
// for the commands that work on installed apps.
struct StoreSession {
    static constexpr int eventGraceMs = 1000;

    QString installRoot;
    std::unique_ptr<QNetworkAccessManager> session;
    std::shared_ptr<ReportingWorkspace> workspace;
    std::shared_ptr<LauncherErrorReporter> reporter;
    std::unique_ptr<LauncherStore> store;

    explicit StoreSession(VantrelLocale locale);
    ~StoreSession();

    // Refreshes the catalog; prints the store's error line when it fails.
    bool refresh();
    // Waits for an operation's outcome; prints the check that refused it.
    OperationOutcome await(const InstalledApps::Operation &operation);
    // The app in the catalog, or installed though the catalog no longer lists it; or prints why not.
    std::optional<AppManifestItem> find(const CliCommand &command, const QString &id) const;
    // Prints why the catalog could not be fetched, for a command that needs it; the status to exit with.
    int catalogUnreachable(const CliCommand &command) const;
    // For a command that installs or updates: when the catalog has expired,
    // prints that nothing is changed and gives the status to exit with.
    std::optional<int> catalogExpired(const CliCommand &command) const;
};
