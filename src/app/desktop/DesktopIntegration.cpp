#include "DesktopIntegration.h"

#include "AppScenes.h"

DesktopIntegration::DesktopIntegration(LauncherStore *store, const QString &appName,
                                       std::function<QWindow *()> trayPanel, QObject *parent)
    : QObject(parent), m_tray(store, nullptr, appName), m_notifier(appName), m_notifications(store, &m_notifier)
{
    m_tray.setPanelProvider(std::move(trayPanel));
    m_notifier.setTray(&m_tray);
    AppScenes *scenes = AppScenes::instance();
    connect(&m_globalShortcut, &GlobalShortcut::activated, scenes, &AppScenes::showQuickSwitcher);
    connect(&m_globalShortcut, &GlobalShortcut::modeChanged, scenes, [this, scenes] {
        scenes->setGlobalShortcutActive(m_globalShortcut.mode() != GlobalShortcut::Mode::none);
    });
    m_globalShortcut.enable();
}
