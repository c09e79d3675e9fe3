#pragma once

#include "system/RunningProcesses.h"

// Linux: reads /proc/<pid>/exe and /proc/<pid>/maps of every process the
// user may read; others' processes cannot run from the user's folders
// unseen by the user anyway.
class ProcRunningProcesses : public RunningProcesses
{
public:
    QList<RunningProcess> runningFrom(const QStringList &folders) const override;
    void askToQuit(const QList<qint64> &pids) override;
};
