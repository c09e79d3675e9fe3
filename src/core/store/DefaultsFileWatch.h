#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Tells when the user-defaults file changed on disk, whoever changed it.
// QSettings writes a new file and renames it over the old one, so the folder
// is watched as well and the file is watched again after each replacement.
// Bursts are folded into one signal, and only a change of the file's bytes
// counts (lock files come and go beside it).
class DefaultsFileWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int settleMs = 100;

    explicit DefaultsFileWatch(QString path, QObject *parent = nullptr);

Q_SIGNALS:
    void changed();

private:
    void settle();

    QString m_path;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QByteArray m_lastContent;
};
