#pragma once

// Substitutes for the store's collaborators and a harness building a store over them; the store and UI tests share them.

#include "CatalogBuilders.h"
#include "FakeSystem.h"
#include "SettingsUserDefaults.h"
#include "async/WaitForTask.h"
#include "catalog/ManifestClient.h"
#include "feedback/Feedback.h"
#include "install/AppInstaller.h"
#include "install/InstalledCopyHandling.h"
#include "monitoring/Monitoring.h"
#include "store/LauncherStore.h"

#include <QCoroFuture>
#include <QCoroTimer>
#include <QDir>
#include <QFuture>
#include <QPromise>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <variant>

// Holds an operation until the test opens it.
class Gate
{
public:
    Gate() { m_promise.start(); }
    void open()
    {
        if (!std::exchange(m_open, true))
            m_promise.finish();
    }
    QFuture<void> future() { return m_promise.future(); }

private:
    QPromise<void> m_promise;
    bool m_open = false;
};

// An error with fixed texts, so tests can tell which text the store used where.
class TestError : public LauncherError
{
public:
    explicit TestError(QString localized, QString debug = {})
        : m_localized(localized), m_debug(debug.isNull() ? localized : debug)
    {
    }
    QString localizedDescription() const override { return m_localized; }
    QString debugDescription() const override { return m_debug; }

private:
    QString m_localized;
    QString m_debug;
};

// One log shared by the installer and the event recorder, to check their order.
using CallLog = std::shared_ptr<QStringList>;

// Answers each load with the next scripted result (a QString: fail with that
// text), then with `standing` if set; always on a later turn of the event loop.
class FakeManifestLoader : public ManifestLoading
{
public:
    using Result = std::variant<LauncherManifest, QString>;
    std::deque<Result> results;
    std::optional<LauncherManifest> standing;
    QList<VantrelLocale> locales;
    std::shared_ptr<Gate> gate;

    QCoro::Task<LauncherManifest> loadManifest(VantrelLocale locale) override
    {
        locales.append(locale);
        Result result = standing ? Result(*standing) : Result(QStringLiteral("no result scripted"));
        if (!results.empty()) {
            result = results.front();
            results.pop_front();
        }
        const std::shared_ptr<Gate> held = gate;
        if (held)
            co_await held->future();
        else
            co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        if (const QString *failure = std::get_if<QString>(&result))
            throw TestError(*failure);
        co_return std::get<LauncherManifest>(result);
    }
};

// Makes <root>/<id>.app unless `behaviour` says otherwise; waits for `gate`, then stops when cancelled unless
// `placedBeforeGate`. Keeps `previous` versions by app id. Stands in for both of the store's installer interfaces,
// so one list of calls tells their order.
class FakeInstaller : public AppInstalling, public InstalledCopyHandling
{
public:
    FakeInstaller(QString root, CallLog log) : m_root(std::move(root)), m_log(std::move(log)) {}

    std::function<InstalledApp(const AppManifestItem &)> behaviour;  // returns or throws
    std::shared_ptr<Gate> gate;
    bool placedBeforeGate = false;
    QStringList calls;
    QHash<QString, QString> previous;
    InstallControl lastControl;  // of the latest install, to report its progress
    std::optional<qint64> updateBytes;  // what updateSize tells
    QHash<QString, qint64> sizes;  // app id -> its archive's size; others unknown

    void failWith(const QString &text)
    {
        behaviour = [text](const AppManifestItem &) -> InstalledApp { throw TestError(text); };
    }

    QCoro::Task<InstalledApp> install(AppManifestItem app, InstallControl control = {}) override
    {
        calls.append(app.id);
        lastControl = control;
        m_log->append(QStringLiteral("installer:") + app.id);
        if (placedBeforeGate && control.onPlaced)
            control.onPlaced();
        if (std::shared_ptr<Gate> held = gate)
            co_await held->future();
        if (!placedBeforeGate && control.cancel && control.cancel->load())
            throw AppInstallerError(AppInstallerError::Kind::cancelled);
        if (behaviour)
            co_return behaviour(app);
        const QString path = m_root + QLatin1Char('/') + app.id + QStringLiteral(".app");
        QDir().mkpath(path);
        co_return InstalledApp{QUrl::fromLocalFile(path), app.version};
    }

    QCoro::Task<std::optional<qint64>> updateSize(AppManifestItem, QUrl) override { co_return updateBytes; }
    QCoro::Task<std::optional<qint64>> downloadSize(AppManifestItem app) override
    {
        co_return sizes.contains(app.id) ? std::optional(sizes.value(app.id)) : std::nullopt;
    }

    // Apps whose kept copy a check finds damaged (and discards).
    QSet<QString> damagedPrevious;
    QCoro::Task<bool> discardDamagedPrevious(QString appId, QUrl) override
    {
        co_return damagedPrevious.contains(appId) && previous.remove(appId);
    }
    std::optional<QString> previousVersion(const QString &appId, const QUrl &) const override
    {
        return previous.contains(appId) ? std::optional(previous.value(appId)) : std::nullopt;
    }
    QCoro::Task<InstalledApp> rollBack(QString appId, QUrl bundle) override
    {
        calls.append(QStringLiteral("rollBack:") + appId);
        co_return InstalledApp{bundle, previous.take(appId)};
    }
    bool removesToTrash(const QUrl &) const override { return true; }
    QCoro::Task<void> remove(QString appId, QUrl bundle, bool) override
    {
        calls.append(QStringLiteral("remove:") + appId);
        QDir(bundle.toLocalFile()).removeRecursively();
        co_return;
    }
    // What a verify of any app finds.
    BundleVerification verification;
    QCoro::Task<BundleVerification> verify(QString appId, QUrl, VerifyControl) override
    {
        calls.append(QStringLiteral("verify:") + appId);
        co_return verification;
    }
    QCoro::Task<int> repairPermissions(QString appId, QUrl) override
    {
        calls.append(QStringLiteral("repairPermissions:") + appId);
        co_return verification.count(VerificationFinding::Kind::permissions);
    }

private:
    QString m_root;
    CallLog m_log;
};

class FakeEventRecorder : public OperationalEventRecording
{
public:
    explicit FakeEventRecorder(CallLog log) : m_log(std::move(log)) {}
    QList<LauncherOperationalEvent> events;
    std::shared_ptr<Gate> firstEventGate;  // holds the first event until opened

    QCoro::Task<void> recordEvent(LauncherOperationalEvent event) override
    {
        const bool first = events.isEmpty();
        events.append(event);
        if (std::shared_ptr<Gate> held = first ? firstEventGate : nullptr)
            co_await held->future();
        m_log->append(QStringLiteral("event:") + event.eventType);
    }

private:
    CallLog m_log;
};

class FakeErrorReporter : public ErrorReporting
{
public:
    struct Report {
        QString message;
        QMap<QString, QString> context;
    };
    QList<Report> reports;

    void report(const LauncherError &error, const QMap<QString, QString> &context) override
    {
        reportMessage(error.localizedDescription(), context);
    }
    void reportMessage(const QString &message, const QMap<QString, QString> &context) override
    {
        reports.append({message, context});
    }
};

// Answers with issue "issue-1" unless `behaviour` says otherwise; waits for `gate`.
class FakeFeedbackClient : public FeedbackReporting
{
public:
    QList<FeedbackSubmissionRequest> requests;
    QList<VantrelLocale> locales;
    std::function<FeedbackSubmissionResponse(const FeedbackSubmissionRequest &)> behaviour;  // returns or throws
    std::shared_ptr<Gate> gate;

    static FeedbackSubmissionResponse answer(std::optional<QString> identifier = std::nullopt)
    {
        FeedbackSubmissionResponse response;
        response.ok = true;
        response.issue.id = QStringLiteral("issue-1");
        response.issue.identifier = std::move(identifier);
        return response;
    }

    QCoro::Task<FeedbackSubmissionResponse> submitFeedback(FeedbackSubmissionRequest request,
                                                           VantrelLocale locale) override
    {
        requests.append(request);
        locales.append(locale);
        if (std::shared_ptr<Gate> held = gate)
            co_await held->future();
        co_return behaviour ? behaviour(request) : answer();
    }
};

class FakeWorkspace : public Workspace
{
public:
    QList<QUrl> opened;
    QHash<QString, QUrl> byBundleId;
    QSet<QString> unopenablePaths;

    bool openApplication(const QUrl &bundleUrl) override
    {
        opened.append(bundleUrl);
        return true;
    }
    std::optional<QUrl> urlForApplication(const QString &bundleIdentifier) const override
    {
        const auto it = byBundleId.constFind(bundleIdentifier);
        return it == byBundleId.cend() ? std::nullopt : std::optional<QUrl>(*it);
    }
    bool canOpenApplication(const QUrl &bundleUrl) const override
    {
        return !unopenablePaths.contains(bundleUrl.toLocalFile());
    }
    // An unopenable bundle's program has lost its execute bit.
    std::optional<LaunchProblem> launchProblem(const QUrl &bundleUrl) const override
    {
        if (canOpenApplication(bundleUrl))
            return std::nullopt;
        const QString name = QFileInfo(bundleUrl.toLocalFile()).completeBaseName();
        return LaunchProblem{LaunchProblem::Kind::notExecutable, "Contents/MacOS/" + name.toUtf8()};
    }
};

// The store's operations never raise; true when one ended without raising.
[[nodiscard]] inline bool finishes(QCoro::Task<void> task)
{
    try {
        waitForTask(std::move(task));
        return true;
    } catch (...) {
        return false;
    }
}

// A temporary folder with a user-defaults file and the substitutes. makeStore()
// builds a store over them; calling it again is a relaunch over the same records.
class StoreHarness
{
public:
    StoreHarness()
        : log(std::make_shared<QStringList>())
        , loader(std::make_shared<FakeManifestLoader>())
        , installer(std::make_shared<FakeInstaller>(dir.filePath(QStringLiteral("Applications")), log))
        , recorder(std::make_shared<FakeEventRecorder>(log))
        , feedback(std::make_shared<FakeFeedbackClient>())
        , reporter(std::make_shared<FakeErrorReporter>())
        , workspace(std::make_shared<FakeWorkspace>())
        , systemVersion(std::make_shared<FixedSystemVersion>())
        , language(std::make_shared<FixedLanguage>())
        , properties(std::make_shared<FixedAppProperties>())
    {
        QDir().mkpath(dir.filePath(QStringLiteral("Applications")));
    }

    QString defaultsPath() const { return dir.filePath(QStringLiteral("defaults.ini")); }
    std::shared_ptr<SettingsUserDefaults> openDefaults() const
    {
        return std::make_shared<SettingsUserDefaults>(defaultsPath());
    }

    std::unique_ptr<LauncherStore> makeStore(const LauncherManifest &manifest) const
    {
        LauncherStore::Collaborators c;
        c.manifestLoader = manifestLoader ? manifestLoader : loader;
        c.installer = appInstaller ? appInstaller : installer;
        if (!withoutInstalledCopies)
            c.installedCopies = appInstalledCopies ? appInstalledCopies : installer;
        c.eventRecorder = recorder;
        c.feedbackClient = feedback;
        c.errorReporter = reporter;
        c.userDefaults = openDefaults();
        c.workspace = workspace;
        c.systemVersion = systemVersion;
        c.systemLanguage = language;
        c.appProperties = properties;
        c.networkCost = networkCost;
        c.runningProcesses = runningProcesses;
        c.clock = clock;
        return std::make_unique<LauncherStore>(std::move(c), manifest);
    }

    // Scripts the next load, runs a refresh and says whether it ended.
    bool refresh(LauncherStore &store, const FakeManifestLoader::Result &result)
    {
        loader->results.push_back(result);
        return finishes(store.loadManifest());
    }

    // A bundle folder on disk, as an installer would have left it.
    QString makeBundle(const QString &name) const
    {
        const QString path = dir.filePath(QStringLiteral("Applications/") + name + QStringLiteral(".app"));
        QDir().mkpath(path);
        return path;
    }

    // Writes install records the way the store does.
    void record(const QHash<QString, QString> &versions, const QHash<QString, QString> &paths) const
    {
        SettingsUserDefaults d(defaultsPath());
        InstallRecords::saveStringDictionary(versions, LauncherStore::installedVersionsKey, d);
        InstallRecords::saveStringDictionary(paths, LauncherStore::installedPathsKey, d);
    }
    // Records `id` as installed at `version` in a fresh bundle; returns its path.
    QString recordInstalled(const QString &id, const QString &version) const
    {
        const QString bundle = makeBundle(id);
        record({{id, version}}, {{id, bundle}});
        return bundle;
    }
    QHash<QString, QString> recorded(const QString &key) const
    {
        return InstallRecords::loadStringDictionary(key, SettingsUserDefaults(defaultsPath()));
    }

    QTemporaryDir dir;
    CallLog log;
    std::shared_ptr<FakeManifestLoader> loader;
    std::shared_ptr<ManifestLoading> manifestLoader;  // when set, the store's instead of loader
    std::shared_ptr<FakeInstaller> installer;
    std::shared_ptr<AppInstalling> appInstaller;  // when set, the store's instead of installer
    std::shared_ptr<InstalledCopyHandling> appInstalledCopies;  // when set, the store's instead of installer
    bool withoutInstalledCopies = false;  // the store gets nothing that acts on installed copies
    std::shared_ptr<FixedNetworkCost> networkCost = std::make_shared<FixedNetworkCost>();
    std::shared_ptr<FakeRunningProcesses> runningProcesses;  // none: no app counts as running
    std::function<QDateTime()> clock;  // none: the system clock
    std::shared_ptr<FakeEventRecorder> recorder;
    std::shared_ptr<FakeFeedbackClient> feedback;
    std::shared_ptr<FakeErrorReporter> reporter;
    std::shared_ptr<FakeWorkspace> workspace;
    std::shared_ptr<FixedSystemVersion> systemVersion;
    std::shared_ptr<FixedLanguage> language;
    std::shared_ptr<FixedAppProperties> properties;
};
