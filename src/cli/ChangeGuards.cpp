#include "ChangeGuards.h"

#include "Interrupt.h"

#include <QLocale>

namespace ChangeGuards {

namespace {

QString pidList(const QList<RunningProcess> &processes)
{
    QStringList pids;
    for (const RunningProcess &process : processes)
        pids << QString::number(process.pid);
    return pids.join(QStringLiteral(", "));
}

}  // namespace

std::optional<int> running(StoreSession &s, const QList<AppManifestItem> &apps, WhenRunning when, const QString &command,
                           QList<AppManifestItem> *reopen)
{
    RunningApps &runningApps = *s.store->running();
    for (const AppManifestItem &app : apps) {
        const QList<RunningProcess> processes = waitForTask(runningApps.processesOf(app.id));
        if (processes.isEmpty())
            continue;
        const QString name = Cli::printable(app.name);
        switch (when) {
        case WhenRunning::refuse: {
            // Only update has options that get past a running app.
            const QString sentence = command == QLatin1String("update") ? qtTrId("cliAppRunning") : qtTrId("cliChangeRunning");
            Cli::err() << "vantrel " << command << ": " << sentence.arg(name, pidList(processes)) << Qt::endl;
            return CliExit::running;
        }
        case WhenRunning::wait: {
            Cli::err() << qtTrId("cliWaitingToQuit").arg(name) << Qt::endl;
            const InterruptWatch interrupt([&] { runningApps.stopWaiting(app.id); });
            if (!waitForTask(runningApps.waitUntilQuit(app.id)))
                return InterruptWatch::exitStatus;
            break;
        }
        case WhenRunning::restart:
            Cli::err() << qtTrId("cliQuittingApp").arg(name) << Qt::endl;
            if (!waitForTask(runningApps.quit(app.id))) {
                Cli::err() << "vantrel " << command << ": " << qtTrId("runningDidNotQuit").arg(name) << Qt::endl;
                return CliExit::running;
            }
            if (reopen)
                reopen->append(app);
            break;
        }
    }
    return std::nullopt;
}

std::optional<int> metered(StoreSession &s, const QList<AppManifestItem> &apps, bool refuse, const QString &command)
{
    if (apps.isEmpty() || s.store->metered()->isMetered() != true)
        return std::nullopt;
    if (refuse) {
        Cli::err() << "vantrel " << command << ": " << qtTrId("cliMeteredRefused") << Qt::endl;
        return CliExit::metered;
    }
    const std::optional<qint64> bytes = waitForTask(s.store->metered()->downloadSize(apps));
    const QString size = bytes ? QLocale().formattedDataSize(*bytes, 1, QLocale::DataSizeSIFormat) : qtTrId("meteredSizeUnknown");
    Cli::err() << qtTrId("cliMeteredWarning").arg(size) << Qt::endl;
    return std::nullopt;
}

}  // namespace ChangeGuards
