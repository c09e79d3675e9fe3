#include "InstallReport.h"

#include "CliCommand.h"
#include "install/InstallProgress.h"
#include "store/AppOperation.h"
#include "store/LauncherStore.h"

#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int barWidth = 24;

QString size(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

}  // namespace

InstallReport::Format InstallReport::formatFor(bool json)
{
    if (json)
        return Format::json;
    return ::isatty(STDOUT_FILENO) ? Format::terminal : Format::lines;
}

InstallReport::InstallReport(const LauncherStore &store, Format format, QObject *parent)
    : QObject(parent), m_store(store), m_format(format), m_settled(store.installStates())
{
    connect(&store, &LauncherStore::installStarted, this, &InstallReport::started);
    connect(&store, &LauncherStore::installStateChanged, this, &InstallReport::stateChanged);
    connect(&store, &LauncherStore::installFinished, this, &InstallReport::finished);
}

void InstallReport::started(const QString &appId)
{
    m_clock.start();
    m_lastTenth = 0;
    m_barDrawn = false;
    m_transferred.remove(appId);
    // What an update downloaded and took from the installed copy; installs and repairs download the archive.
    if (const AppOperation *operation = m_store.runningInstall(appId); operation && operation->kind() == AppOperation::Kind::update) {
        connect(operation, &AppOperation::bytesChanged, this, [this, appId, operation] {
            if (operation->transferredBytes() >= 0)
                m_transferred.insert(appId, {operation->transferredBytes(), operation->reusedBytes()});
        });
    }
    const AppManifestItem *app = m_store.manifest().findApp(appId);
    if (m_format == Format::json || !app)
        return;
    const AppInstallState before = m_settled.value(appId);
    const AppOperation *running = m_store.runningInstall(appId);
    if (running && running->kind() == AppOperation::Kind::repair)
        Cli::out() << qtTrId("cliRepairing").arg(Cli::printable(app->name), Cli::printable(app->version)) << Qt::endl;
    else if (before.kind() == AppInstallState::Kind::updateAvailable)
        Cli::out() << qtTrId("cliUpdating").arg(Cli::printable(app->name), Cli::printable(before.installedVersion()),
                                                Cli::printable(app->version))
                   << Qt::endl;
    else
        Cli::out() << qtTrId("cliInstalling").arg(Cli::printable(app->name), Cli::printable(app->version)) << Qt::endl;
}

void InstallReport::stateChanged(const QString &appId)
{
    const AppInstallState state = m_store.stateFor(appId);
    if (state.kind() == AppInstallState::Kind::installing)
        progressed(appId, state.progress());
    else
        m_settled.insert(appId, state);
}

void InstallReport::progressed(const QString &appId, double fraction)
{
    switch (m_format) {
    case Format::json:
        Cli::printJson({{QStringLiteral("progress"), std::floor(fraction * 100) / 100}});
        break;
    case Format::lines:
        if (const int tenth = int(fraction * 10); tenth > m_lastTenth) {
            m_lastTenth = tenth;
            const AppManifestItem *app = m_store.manifest().findApp(appId);
            Cli::out() << Cli::printable(app ? app->name : appId) << ": " << tenth * 10 << "%" << Qt::endl;
        }
        break;
    case Format::terminal:
        Cli::out() << "\r\x1b[K" << bar(appId, fraction);
        Cli::out().flush();
        m_barDrawn = true;
        break;
    }
}

QString InstallReport::bar(const QString &appId, double fraction) const
{
    const int filled = int(fraction * barWidth);
    QString line = QLatin1Char('[') + QString(filled, QLatin1Char('#')) + QString(barWidth - filled, QLatin1Char('-'))
        + QStringLiteral("] %1%").arg(int(fraction * 100), 3);
    const AppOperation *install = m_store.runningInstall(appId);
    const double seconds = qMax<qint64>(1, m_clock.elapsed()) / 1000.0;
    if (install && install->receivedBytes() > 0) {
        const qint64 received = install->receivedBytes();
        const QString got = size(received);
        line += QStringLiteral("  ")
            + (install->totalBytes() > 0 ? qtTrId("cliBytesOf").arg(got, size(install->totalBytes())) : got);
        line += QStringLiteral("  ") + size(qint64(received / seconds)) + QStringLiteral("/s");
    }
    // Time left from the pace so far, once there is one.
    const double done = fraction - InstallProgress::start;
    if (done > 0.01)
        line += QStringLiteral("  ") + qtTrId("cliSecondsLeft", qRound(seconds * (1 - fraction) / done));
    return line;
}

void InstallReport::finished(const QString &appId, bool succeeded)
{
    if (m_barDrawn)
        Cli::out() << Qt::endl;
    m_barDrawn = false;
    const AppManifestItem *app = m_store.manifest().findApp(appId);
    const QString name = Cli::printable(app ? app->name : appId);
    const AppInstallState state = m_store.stateFor(appId);
    const auto transferred = m_transferred.constFind(appId);
    if (m_format == Format::json) {
        QJsonObject outcome{{QStringLiteral("id"), appId}, {QStringLiteral("state"), state.toJson()}};
        if (transferred != m_transferred.cend()) {
            outcome.insert(QStringLiteral("downloadedBytes"), transferred->first);
            outcome.insert(QStringLiteral("reusedBytes"), transferred->second);
        }
        Cli::printJson(outcome);
    } else if (succeeded) {
        Cli::out() << name << ": " << Cli::printable(state.label()) << " ("
                   << Cli::printable(m_store.installedAppURLs().value(appId).toLocalFile()) << ")" << Qt::endl;
        if (transferred != m_transferred.cend() && transferred->second > 0)
            Cli::out() << qtTrId("cliTransferred").arg(size(transferred->first), size(transferred->second)) << Qt::endl;
    }
    if (!succeeded && state.kind() == AppInstallState::Kind::failed)
        Cli::err() << Cli::printable(state.message()) << Qt::endl;
    else if (!succeeded)
        Cli::err() << qtTrId("cliInstallCancelled").arg(name) << Qt::endl;
}
