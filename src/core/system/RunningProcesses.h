#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A process of the user's that runs a program from a folder, or has one of
// its files mapped (a library, a plug-in, a resource).
struct RunningProcess {
    qint64 pid = 0;
    QString file;          // the first file found under one of the folders
    bool deleted = false;  // that file was deleted or replaced since it was opened

    friend bool operator==(const RunningProcess &, const RunningProcess &) = default;
};

// Finds the processes running from folders and asks them to quit. Safe to
// call from any thread; a scan may take tens of milliseconds.
class RunningProcesses
{
public:
    virtual ~RunningProcesses() = default;
    // The processes (never this one) with their executable or a mapped file
    // under one of folders, by process id. Folders are compared as given and
    // as their canonical paths.
    virtual QList<RunningProcess> runningFrom(const QStringList &folders) const = 0;
    // Asks each to quit (SIGTERM); never forces one.
    virtual void askToQuit(const QList<qint64> &pids) = 0;
};
