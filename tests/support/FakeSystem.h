#pragma once

// Substitutes for what the operating system tells the launcher, set by the test.

#include "system/RunningProcesses.h"
#include "system/SystemLayers.h"

#include <QMutex>

#include <QVariantMap>

class FixedSystemVersion : public SystemVersionProvider
{
public:
    explicit FixedSystemVersion(OperatingSystemVersion v = {14, 5, 0}) : version(v) {}
    OperatingSystemVersion operatingSystemVersion() const override { return version; }
    OperatingSystemVersion version;
};

class FixedLanguage : public SystemLanguageProvider
{
public:
    explicit FixedLanguage(std::optional<QString> l = std::nullopt) : language(std::move(l)) {}
    std::optional<QString> preferredLanguage() const override { return language; }
    std::optional<QString> language;
};

class FixedAppProperties : public AppProperties
{
public:
    QVariant value(const QString &key) const override { return values.value(key); }
    QVariantMap values;
};

// Whether the connection is metered, as the test says (nullopt: the system cannot tell).
class FixedNetworkCost : public NetworkCost
{
public:
    explicit FixedNetworkCost(std::optional<bool> m = std::nullopt) : metered(m) {}
    std::optional<bool> isMetered() const override { return metered; }
    std::optional<bool> metered;
};

// Processes the test says run, each from its file; asked to quit, they do.
class FakeRunningProcesses : public RunningProcesses
{
public:
    QList<RunningProcess> runningFrom(const QStringList &folders) const override
    {
        const QMutexLocker lock(&m_mutex);
        QList<RunningProcess> found;
        for (const RunningProcess &process : processes) {
            if (std::any_of(folders.cbegin(), folders.cend(), [&](const QString &f) { return process.file.startsWith(f + QLatin1Char('/')); }))
                found << process;
        }
        return found;
    }
    void askToQuit(const QList<qint64> &pids) override
    {
        const QMutexLocker lock(&m_mutex);
        processes.removeIf([&](const RunningProcess &process) { return pids.contains(process.pid); });
    }
    QList<RunningProcess> processes;  // set before the store looks

private:
    mutable QMutex m_mutex;
};
