#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Tells when another process (or the user, by hand) changed what is
// installed: the user-defaults file holding the install records, or the
// folders holding the installed bundles. QSettings writes a new file and
// renames it over the old one, so the file's folder is watched as well and
// the file is watched again after each replacement; only a change of its
// bytes counts (lock files come and go beside it). Any change of a bundles'
// folder counts. Bursts are folded into one signal.
class RecordsWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int settleMs = 100;

    explicit RecordsWatch(QString recordsFile, QObject *parent = nullptr);

    // The folders that hold the installed bundles, as the records name them now.
    void setBundleFolders(const QStringList &folders);

Q_SIGNALS:
    void changed();

private:
    void settle();

    QString m_path;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QByteArray m_lastContent;
    QStringList m_bundleFolders;
    bool m_bundleFolderChanged = false;
};
