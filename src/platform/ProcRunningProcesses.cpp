#include "ProcRunningProcesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <limits.h>
#include <optional>
#include <unistd.h>

namespace {

const QLatin1String deletedMark(" (deleted)");

// Each folder as given and as its canonical path, with a trailing slash.
QStringList prefixes(const QStringList &folders)
{
    QStringList out;
    for (const QString &folder : folders) {
        for (const QString &form : {QDir::cleanPath(folder), QFileInfo(folder).canonicalFilePath()}) {
            if (!form.isEmpty() && !out.contains(form + QLatin1Char('/')))
                out << form + QLatin1Char('/');
        }
    }
    return out;
}

// The file a path names, with the kernel's mark for a file gone since it was opened.
std::optional<RunningProcess> under(const QStringList &roots, qint64 pid, QString path)
{
    const bool deleted = path.endsWith(deletedMark);
    if (deleted)
        path.chop(deletedMark.size());
    for (const QString &root : roots) {
        if (path.startsWith(root) || path + QLatin1Char('/') == root)
            return RunningProcess{pid, path, deleted};
    }
    return std::nullopt;
}

QString executableOf(const QString &procDir)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(procDir + QStringLiteral("/exe")).constData(), target, sizeof target);
    return length > 0 ? QFile::decodeName(QByteArray(target, int(length))) : QString();
}

// A line of maps: "start-end perms offset dev inode   /path"; anonymous ones name no path.
std::optional<RunningProcess> mappedUnder(const QStringList &roots, qint64 pid, const QString &procDir)
{
    QFile maps(procDir + QStringLiteral("/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray all = maps.readAll();
    for (const QByteArray &line : all.split('\n')) {
        const qsizetype slash = line.indexOf(" /");
        if (slash < 0)
            continue;
        if (auto found = under(roots, pid, QFile::decodeName(line.mid(slash + 1))))
            return found;
    }
    return std::nullopt;
}

}  // namespace

QList<RunningProcess> ProcRunningProcesses::runningFrom(const QStringList &folders) const
{
    const QStringList roots = prefixes(folders);
    QList<RunningProcess> found;
    if (roots.isEmpty())
        return found;
    const qint64 self = ::getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid == self)
            continue;
        const QString procDir = QStringLiteral("/proc/") + entry;
        if (auto byProgram = under(roots, pid, executableOf(procDir)))
            found << *byProgram;
        else if (auto byMapping = mappedUnder(roots, pid, procDir))
            found << *byMapping;
    }
    return found;
}

void ProcRunningProcesses::askToQuit(const QList<qint64> &pids)
{
    for (const qint64 pid : pids) {
        if (pid > 0 && pid != ::getpid())
            ::kill(pid_t(pid), SIGTERM);
    }
}
