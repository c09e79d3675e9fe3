#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Tells when the stored catalog's file was replaced: another process (the
// terminal tool's update) or this one's own refresh kept a new copy. A copy is
// renamed over the old one, so the file's folder is watched; only a change of
// the file's bytes counts (temporary files come and go beside it). Bursts are
// folded into one signal. Whether the new copy is usable, and newer than the
// one shown, is for the reader to judge.
class StoredCatalogWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int settleMs = 100;

    explicit StoredCatalogWatch(QString catalogFile, QObject *parent = nullptr);

Q_SIGNALS:
    void changed();

private:
    void settle();

    QString m_path;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QByteArray m_lastDigest;  // of the bytes last seen; empty before the first change and while there is no file
};
