#pragma once

#include <QObject>
#include <QPointer>

class DesktopNotifier;
class LauncherStore;

// Tells the user when an install or update ends while no launcher window is
// active: the app's name above its install-state label, or above the failure
// message. Clicking the notification shows the app's page in the main window.
class InstallNotifications : public QObject
{
    Q_OBJECT

public:
    InstallNotifications(LauncherStore *store, DesktopNotifier *notifier, QObject *parent = nullptr);

private:
    void installFinished(const QString &appId, bool succeeded);

    QPointer<LauncherStore> m_store;
    QPointer<DesktopNotifier> m_notifier;
};
