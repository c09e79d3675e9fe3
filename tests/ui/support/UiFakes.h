#pragma once

// Substitutes for the store's collaborators, used by the UI tests.

#include "system/SystemLayers.h"
#include "catalog/ManifestClient.h"
#include "errors/LauncherError.h"
#include "feedback/Feedback.h"
#include "install/AppInstaller.h"
#include "monitoring/Monitoring.h"

#include <QCoroFuture>
#include <QCoroTimer>
#include <chrono>
#include <QDir>
#include <QFuture>
#include <QHash>
#include <QPromise>
#include <deque>
#include <functional>
#include <memory>
#include <variant>

// Holds an operation until the test opens it.
class UiGate
{
public:
    UiGate()
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

class UiTestError : public LauncherError
{
public:
    explicit UiTestError(QString text) : m_text(std::move(text)) {}
    QString localizedDescription() const override { return m_text; }
    QString debugDescription() const override { return m_text; }

private:
    QString m_text;
};

// Answers every load with `manifest`, or fails with `failure` when it is set.
class FixtureManifestLoader : public ManifestLoading
{
public:
    LauncherManifest manifest;
    std::optional<QString> failure;
    int loads = 0;

    QCoro::Task<LauncherManifest> loadManifest(VantrelLocale) override
    {
        ++loads;
        const std::optional<QString> fail = failure;
        const LauncherManifest result = manifest;
        // Answer on a later turn of the event loop, as the network would.
        co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        if (fail)
            throw UiTestError(*fail);
        co_return result;
    }
};

// Installs by making <root>/<id>.app; per app it can fail or wait for a gate.
class FakeAppInstaller : public AppInstalling
{
public:
    explicit FakeAppInstaller(QString root) : m_root(std::move(root)) {}

    QHash<QString, QString> failures;                  // app id -> error text
    QHash<QString, std::shared_ptr<UiGate>> gates;     // app id -> held until opened
    QStringList calls;

    QCoro::Task<InstalledApp> install(AppManifestItem app) override
    {
        calls.append(app.id);
        if (std::shared_ptr<UiGate> gate = gates.value(app.id))
            co_await gate->future();
        if (failures.contains(app.id))
            throw UiTestError(failures.value(app.id));
        const QString path = m_root + QLatin1Char('/') + app.id + QStringLiteral(".app");
        QDir().mkpath(path);
        co_return InstalledApp{QUrl::fromLocalFile(path), app.version};
    }

private:
    QString m_root;
};

class NullEventRecorder : public OperationalEventRecording
{
public:
    QStringList events;
    QCoro::Task<void> recordEvent(LauncherOperationalEvent event) override
    {
        events.append(event.eventType);
        co_return;
    }
};

class NullFeedbackClient : public FeedbackReporting
{
public:
    QCoro::Task<FeedbackSubmissionResponse> submitFeedback(FeedbackSubmissionRequest, VantrelLocale) override
    {
        throw UiTestError(QStringLiteral("feedback is not used here"));
        co_return FeedbackSubmissionResponse{};
    }
};

class MemoryUserDefaults : public UserDefaults
{
public:
    QVariantMap values;
    QVariant object(const QString &key) const override { return values.value(key); }
    void setData(const QString &key, const QByteArray &data) override { values.insert(key, data); }
    void setStringArray(const QString &key, const QStringList &list) override { values.insert(key, list); }
    void removeObject(const QString &key) override { values.remove(key); }
};

class RecordingWorkspace : public Workspace
{
public:
    QList<QUrl> opened;
    bool openApplication(const QUrl &bundleUrl) override
    {
        opened.append(bundleUrl);
        return true;
    }
    std::optional<QUrl> urlForApplication(const QString &) const override { return std::nullopt; }
};

class FixedVersion : public SystemVersionProvider
{
public:
    OperatingSystemVersion operatingSystemVersion() const override { return {15, 0, 0}; }
};
