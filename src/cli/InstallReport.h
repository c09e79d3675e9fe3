#pragma once

#include "catalog/AppInstallState.h"

#include <QHash>
#include <QSet>
#include <QObject>

class LauncherStore;

// What `vantrel install`, `update` and `open` print about each install the
// store runs: a first line naming the app and the versions, then the
// progress up to 100 % (a bar and the operation's progress text on a
// terminal, one line per ten percent otherwise, one {"progress": f} object
// per line with --json), a line when an update takes the whole archive after
// all, then the outcome ({"id": ..., "state": coded form, and for a placed
// update "downloadedBytes" and "reusedBytes"} with --json; a line saying
// both otherwise, the bytes that came over the network).
class InstallReport : public QObject
{
    Q_OBJECT

public:
    enum class Format { terminal, lines, json };
    // json when asked for, else terminal when standard output is one.
    static Format formatFor(bool json);

    InstallReport(const LauncherStore &store, Format format, QObject *parent = nullptr);
    // In a batch the summary names each failure: a lack of disk space, whose
    // sentence names every file system, is said there alone.
    void setBatch(bool batch) { m_batch = batch; }

private:
    void started(const QString &appId);
    void stateChanged(const QString &appId);
    void finished(const QString &appId, bool succeeded);
    void progressed(const QString &appId, double fraction);
    void drawProgress(const QString &appId, double fraction, const QString &text);
    void followOperation(const QString &appId);

    const LauncherStore &m_store;
    Format m_format;
    // The last state before each install, for the first line.
    QHash<QString, AppInstallState> m_settled;
    // Bytes each placed install downloaded and took from the installed copy.
    QHash<QString, std::pair<qint64, qint64>> m_transferred;
    // The apps whose first line is out, until their outcome.
    QSet<QString> m_headed;
    // The last bytes heard of each running install, for its closing 100 %.
    QHash<QString, std::pair<qint64, qint64>> m_bytes;
    // The installs that stopped for lack of disk space.
    QSet<QString> m_lackedSpace;
    bool m_batch = false;
    int m_lastTenth = 0;
    bool m_barDrawn = false;
};
