#pragma once

// Substitutes for the store's collaborators, and a harness that builds a store
// over a temporary user-defaults file. Header-only: every store test includes it.

#include "AwaitTask.h"
#include "store/LauncherStore.h"
#include "system/SystemLayers.h"
#include "SettingsUserDefaults.h"
#include "catalog/ManifestClient.h"
#include "feedback/Feedback.h"
#include "install/AppInstaller.h"
#include "monitoring/Monitoring.h"

#include <QCoroFuture>
#include <QDir>
#include <QFuture>
#include <QPromise>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <variant>

// Holds an operation until the test opens it.
class Gate
{
public:
    Gate()
    {
        m_promise.start();
        m_future = m_promise.future();
    }
    void open()
    {
        if (!m_open) {
            m_open = true;
            m_promise.finish();
        }
    }
    QFuture<void> future() const { return m_future; }

private:
    QPromise<void> m_promise;
    QFuture<void> m_future;
    bool m_open = false;
};

// An error with fixed texts, so tests can tell which text the store used where.
class TestError : public LauncherError
{
public:
    TestError(QString localized, QString debug) : m_localized(std::move(localized)), m_debug(std::move(debug)) {}
    QString localizedDescription() const override { return m_localized; }
    QString debugDescription() const override { return m_debug; }

private:
    QString m_localized;
    QString m_debug;
};

// One log shared by the installer and the event recorder, to check their order.
using CallLog = std::shared_ptr<QStringList>;

class FakeManifestLoader : public ManifestLoading
{
public:
    using Result = std::variant<LauncherManifest, QString>;  // a QString means: fail with that text
    std::deque<Result> results;
    QList<VantrelLocale> locales;
    std::shared_ptr<Gate> gate;

    QCoro::Task<LauncherManifest> loadManifest(VantrelLocale locale) override
    {
        locales.append(locale);
        Result result = results.empty() ? Result(QStringLiteral("no result scripted")) : results.front();
        if (!results.empty())
            results.pop_front();
        if (std::shared_ptr<Gate> held = gate)
            co_await held->future();
        if (const QString *failure = std::get_if<QString>(&result))
            throw TestError(*failure, *failure);
        co_return std::get<LauncherManifest>(result);
    }
};

class FakeInstaller : public AppInstalling
{
public:
    explicit FakeInstaller(QString root, CallLog log) : m_root(std::move(root)), m_log(std::move(log)) {}

    // Returns the installed app or throws; by default makes <root>/<id>.app.
    std::function<InstalledApp(const AppManifestItem &)> behaviour;
    std::shared_ptr<Gate> gate;
    QStringList calls;

    QCoro::Task<InstalledApp> install(AppManifestItem app) override
    {
        calls.append(app.id);
        m_log->append(QStringLiteral("installer:") + app.id);
        if (std::shared_ptr<Gate> held = gate)
            co_await held->future();
        if (behaviour)
            co_return behaviour(app);
        const QString path = m_root + QLatin1Char('/') + app.id + QStringLiteral(".app");
        QDir().mkpath(path);
        co_return InstalledApp{QUrl::fromLocalFile(path), app.version};
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
    // Holds the first event until opened.
    std::shared_ptr<Gate> firstEventGate;

    QCoro::Task<void> recordEvent(LauncherOperationalEvent event) override
    {
        const bool first = events.isEmpty();
        events.append(event);
        if (first && firstEventGate) {
            std::shared_ptr<Gate> held = firstEventGate;
            co_await held->future();
        }
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

class FakeFeedbackClient : public FeedbackReporting
{
public:
    QList<FeedbackSubmissionRequest> requests;
    QList<VantrelLocale> locales;
    // Returns the response or throws.
    std::function<FeedbackSubmissionResponse(const FeedbackSubmissionRequest &)> behaviour;
    std::shared_ptr<Gate> gate;

    QCoro::Task<FeedbackSubmissionResponse> submitFeedback(FeedbackSubmissionRequest request,
                                                           VantrelLocale locale) override
    {
        requests.append(request);
        locales.append(locale);
        if (std::shared_ptr<Gate> held = gate)
            co_await held->future();
        if (behaviour)
            co_return behaviour(request);
        FeedbackSubmissionResponse response;
        response.ok = true;
        response.issue.id = QStringLiteral("issue-1");
        co_return response;
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
};

class TestSystemVersion : public SystemVersionProvider
{
public:
    OperatingSystemVersion version{14, 5, 0};
    OperatingSystemVersion operatingSystemVersion() const override { return version; }
};

class TestLanguage : public SystemLanguageProvider
{
public:
    std::optional<QString> language;
    std::optional<QString> preferredLanguage() const override { return language; }
};

class TestAppProperties : public AppProperties
{
public:
    QVariantMap values;
    QVariant value(const QString &key) const override { return values.value(key); }
};

inline const QString validSha = QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");

inline AppManifestItem makeApp(const QString &id, AppReleaseStatus status = AppReleaseStatus::live,
                               const QString &version = QStringLiteral("1.0.0"),
                               const QString &minMacOS = QStringLiteral("13.0"))
{
    AppManifestItem app;
    app.id = id;
    app.name = id.left(1).toUpper() + id.mid(1);
    app.tagline = QStringLiteral("Tagline of ") + id;
    app.category = QStringLiteral("Tools");
    app.bundleId = QStringLiteral("com.vantrel.") + id;
    app.version = version;
    app.minMacOS = minMacOS;
    app.status = status;
    if (status == AppReleaseStatus::live || status == AppReleaseStatus::beta) {
        app.downloadUrl = QUrl(QStringLiteral("https://downloads.example.com/") + id + QStringLiteral(".zip"));
        app.sha256 = validSha;
    }
    app.symbolName = QStringLiteral("star");
    return app;
}

inline LauncherAnnouncement makeAnnouncement(const QString &id, const QString &appId)
{
    LauncherAnnouncement a;
    a.id = id;
    a.appId = appId;
    a.appName = appId;
    a.kind = QStringLiteral("release");
    a.title = QStringLiteral("Title ") + id;
    a.body = QStringLiteral("Body ") + id;
    return a;
}

inline LauncherManifest makeManifest(QList<AppManifestItem> apps, QList<LauncherAnnouncement> announcements = {})
{
    LauncherManifest m;
    m.generatedAt = QDateTime(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC);
    m.apps = std::move(apps);
    m.announcements = std::move(announcements);
    return m;
}

// Everything a store test needs: a temporary folder, a user-defaults file in it
// and the substitutes. makeStore() builds a store over them; calling it again
// is a relaunch over the same records.
class StoreHarness
{
public:
    StoreHarness()
        : log(std::make_shared<QStringList>())
        , loader(std::make_shared<FakeManifestLoader>())
        , installer(std::make_shared<FakeInstaller>(dir.path() + QStringLiteral("/Applications"), log))
        , recorder(std::make_shared<FakeEventRecorder>(log))
        , feedback(std::make_shared<FakeFeedbackClient>())
        , reporter(std::make_shared<FakeErrorReporter>())
        , workspace(std::make_shared<FakeWorkspace>())
        , systemVersion(std::make_shared<TestSystemVersion>())
        , language(std::make_shared<TestLanguage>())
        , properties(std::make_shared<TestAppProperties>())
    {
        QDir().mkpath(dir.path() + QStringLiteral("/Applications"));
    }

    QString defaultsPath() const { return dir.path() + QStringLiteral("/defaults.ini"); }
    std::shared_ptr<SettingsUserDefaults> openDefaults() const
    {
        return std::make_shared<SettingsUserDefaults>(defaultsPath());
    }

    std::unique_ptr<LauncherStore> makeStore(const LauncherManifest &manifest)
    {
        defaults = openDefaults();
        LauncherStore::Collaborators c;
        c.manifestLoader = loader;
        c.installer = installer;
        c.eventRecorder = recorder;
        c.feedbackClient = feedback;
        c.errorReporter = reporter;
        c.userDefaults = defaults;
        c.workspace = workspace;
        c.systemVersion = systemVersion;
        c.systemLanguage = language;
        c.appProperties = properties;
        return std::make_unique<LauncherStore>(std::move(c), manifest);
    }

    // A bundle folder on disk, as an installer would have left it.
    QString makeBundle(const QString &name)
    {
        const QString path = dir.path() + QStringLiteral("/Applications/") + name + QStringLiteral(".app");
        QDir().mkpath(path);
        return path;
    }

    // Writes install records the way the store does.
    void record(const QHash<QString, QString> &versions, const QHash<QString, QString> &paths)
    {
        SettingsUserDefaults d(defaultsPath());
        InstallRecords::saveStringDictionary(versions, LauncherStore::installedVersionsKey, d);
        InstallRecords::saveStringDictionary(paths, LauncherStore::installedPathsKey, d);
    }
    QHash<QString, QString> recorded(const QString &key) const
    {
        SettingsUserDefaults d(defaultsPath());
        return InstallRecords::loadStringDictionary(key, d);
    }

    QTemporaryDir dir;
    CallLog log;
    std::shared_ptr<FakeManifestLoader> loader;
    std::shared_ptr<FakeInstaller> installer;
    std::shared_ptr<FakeEventRecorder> recorder;
    std::shared_ptr<FakeFeedbackClient> feedback;
    std::shared_ptr<FakeErrorReporter> reporter;
    std::shared_ptr<FakeWorkspace> workspace;
    std::shared_ptr<TestSystemVersion> systemVersion;
    std::shared_ptr<TestLanguage> language;
    std::shared_ptr<TestAppProperties> properties;
    std::shared_ptr<SettingsUserDefaults> defaults;
};
