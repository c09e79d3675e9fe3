#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class TrayController;

// Posts a desktop notification through the desktop's notification service
// (org.freedesktop.Notifications over D-Bus) where there is one, else as the
// tray icon's message where there is a tray, else not at all. A click on a
// notification reports its key.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifier(const QString &appName, QDBusConnection bus = QDBusConnection::sessionBus(),
                             QObject *parent = nullptr);

    void setTray(TrayController *tray);
    // Never waits: the service's answer, or its absence, is handled when it comes.
    void post(const QString &key, const QString &summary, const QString &body);

Q_SIGNALS:
    void activated(const QString &key);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action);
    void onNotificationClosed(uint id, uint reason);

private:
    void postToTray(const QString &key, const QString &summary, const QString &body);

    QString m_appName;
    QDBusConnection m_bus;
    QPointer<TrayController> m_tray;
    QHash<uint, QString> m_keys;  // notification id -> key, until it closes
    QString m_trayKey;            // the tray shows one message at a time
};
