#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One launcher per user. The first start listens on a local socket named for
// the user; a later start connects, asks it to show its main window and ends.
// A socket left by an instance that crashed answers no connection, so it is
// removed and the new start takes its place. A start with a link hands the
// link over instead, for the running launcher to read again and follow.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QString name = defaultName(), QObject *parent = nullptr);

    // In the user's runtime folder (private to the user), named with the uid.
    static QString defaultName();

    // True when this process is the launcher from now on; false when a running
    // one was asked to show itself (or to follow link) and this process should end.
    bool claim(const QByteArray &link = {});

    // Stops answering: a start from now on becomes the launcher itself. Called
    // when quitting begins, as requests would no longer be handled.
    void release();

Q_SIGNALS:
    // Another start asked this launcher to show its main window.
    void activationRequested();
    // Another start handed over a link, unread: the receiver reads it strictly.
    void linkReceived(const QByteArray &link);

private:
    bool handOver(const QByteArray &link) const;
    void answer();

    QString m_name;
    QLocalServer m_server;
};
