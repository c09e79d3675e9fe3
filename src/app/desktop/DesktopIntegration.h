#pragma once

#include "DesktopNotifier.h"
#include "GlobalShortcut.h"
#include "InstallNotifications.h"
#include "TrayController.h"

#include <QObject>
#include <functional>

class LauncherStore;
class QWindow;

// The launcher's ties to the desktop session: the tray icon with its panel,
// notifications of finished installs, and Ctrl+K from anywhere. They talk to
// the session bus, which can be slow to answer (or has to be started first),
// so the launcher makes them once its first frame is up.
class DesktopIntegration : public QObject
{
    Q_OBJECT

public:
    DesktopIntegration(LauncherStore *store, const QString &appName, std::function<QWindow *()> trayPanel,
                       QObject *parent = nullptr);

    bool isTrayIconVisible() const { return m_tray.isIconVisible(); }

private:
    TrayController m_tray;
    DesktopNotifier m_notifier;
    InstallNotifications m_notifications;
    GlobalShortcut m_globalShortcut;
};
