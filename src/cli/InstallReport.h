#pragma once

#include "catalog/AppInstallState.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

class LauncherStore;

// What `vantrel install`, `update` and `open` print about each install the
// store runs: a first line naming the app and the versions, then the
// progress (a bar with bytes, speed and time left on a terminal, one line per
// ten percent otherwise, one {"progress": f} object per line with --json),
// then the outcome ({"id": ..., "state": coded form, and for a placed
// update "downloadedBytes" and "reusedBytes"} with --json; a line saying
// both otherwise).
class InstallReport : public QObject
{
    Q_OBJECT

public:
    enum class Format { terminal, lines, json };
    // json when asked for, else terminal when standard output is one.
    static Format formatFor(bool json);

    InstallReport(const LauncherStore &store, Format format, QObject *parent = nullptr);

private:
    void started(const QString &appId);
    void stateChanged(const QString &appId);
    void finished(const QString &appId, bool succeeded);
    void progressed(const QString &appId, double fraction);
    QString bar(const QString &appId, double fraction) const;

    const LauncherStore &m_store;
    Format m_format;
    // The last state before each install, for the first line.
    QHash<QString, AppInstallState> m_settled;
    // Bytes each placed install downloaded and took from the installed copy.
    QHash<QString, std::pair<qint64, qint64>> m_transferred;
    QElapsedTimer m_clock;
    int m_lastTenth = 0;
    bool m_barDrawn = false;
};
