#include "InstallReport.h"

#include "CliCommand.h"
#include "store/AppOperation.h"
#include "store/LauncherStore.h"
#include "store/ProgressWording.h"

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
    // The state may turn to installing before the start is announced: the first line comes first either way.
    if (m_headed.contains(appId))
        return;
    m_headed.insert(appId);
    m_lastTenth = 0;
    m_barDrawn = false;
    m_transferred.remove(appId);
    m_bytes.remove(appId);
    m_lackedSpace.remove(appId);
    followOperation(appId);
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

// Its bytes, what an update downloaded and reused, and a fall back to the whole archive.
void InstallReport::followOperation(const QString &appId)
{
    const AppOperation *operation = m_store.runningInstall(appId);
    if (!operation)
        return;
    connect(operation, &AppOperation::bytesChanged, this, [this, appId, operation] {
        m_bytes.insert(appId, {operation->receivedBytes(), operation->totalBytes()});
        // What an update downloaded and took from the installed copy; installs and repairs download the archive.
        if (operation->kind() == AppOperation::Kind::update && operation->transferredBytes() >= 0)
            m_transferred.insert(appId, {operation->transferredBytes(), operation->reusedBytes()});
    });
    connect(operation, &AppOperation::finished, this, [this, appId](const OperationOutcome &outcome) {
        if (outcome.installerError && outcome.installerError->kind() == AppInstallerError::Kind::notEnoughSpace)
            m_lackedSpace.insert(appId);
    });
    connect(operation, &AppOperation::wholeArchiveTaken, this, [this, appId] {
        if (m_format == Format::json)
            return;
        if (m_barDrawn)
            Cli::out() << Qt::endl;
        m_barDrawn = false;
        const AppManifestItem *app = m_store.manifest().findApp(appId);
        Cli::out() << qtTrId("cliWholeArchive").arg(Cli::printable(app ? app->name : appId)) << Qt::endl;
    });
}

void InstallReport::stateChanged(const QString &appId)
{
    const AppInstallState state = m_store.stateFor(appId);
    if (state.kind() == AppInstallState::Kind::installing) {
        started(appId);
        progressed(appId, state.progress());
    } else {
        m_settled.insert(appId, state);
    }
}

void InstallReport::progressed(const QString &appId, double fraction)
{
    const AppOperation *install = m_store.runningInstall(appId);
    drawProgress(appId, fraction, install ? install->progressText() : QString());
}

void InstallReport::drawProgress(const QString &appId, double fraction, const QString &text)
{
    switch (m_format) {
    case Format::json:
        Cli::printJson({{QStringLiteral("progress"), std::floor(fraction * 100) / 100}});
        break;
    case Format::lines:
        if (const int tenth = int(fraction * 10); tenth > m_lastTenth) {
            m_lastTenth = tenth;
            const AppManifestItem *app = m_store.manifest().findApp(appId);
            Cli::out() << Cli::printable(app ? app->name : appId) << ": " << text << Qt::endl;
        }
        break;
    case Format::terminal: {
        const int filled = int(fraction * barWidth);
        Cli::out() << "\r\x1b[K[" << QString(filled, QLatin1Char('#')) << QString(barWidth - filled, QLatin1Char('-')) << "]  "
                   << text;
        Cli::out().flush();
        m_barDrawn = true;
        break;
    }
    }
}

void InstallReport::finished(const QString &appId, bool succeeded)
{
    // A placed install ends at 100 %, however far its last step's progress went.
    if (succeeded) {
        const auto bytes = m_bytes.value(appId, {0, -1});
        drawProgress(appId, 1.0, ProgressWording::sentence(1.0, bytes.first, qMax(bytes.first, bytes.second), std::nullopt));
    }
    m_headed.remove(appId);
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
        else if (transferred != m_transferred.cend())
            Cli::out() << qtTrId("cliDownloaded").arg(size(transferred->first)) << Qt::endl;
    }
    if (!succeeded && state.kind() == AppInstallState::Kind::failed) {
        if (!m_batch || !m_lackedSpace.contains(appId))
            Cli::err() << Cli::printable(state.message()) << Qt::endl;
    }
    else if (!succeeded)
        Cli::err() << qtTrId("cliInstallCancelled").arg(name) << Qt::endl;
}
