#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class LauncherStore;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QWindow;

// The menu-bar extra as a tray icon: present while the store's
// showMenuBarExtra is true, removed at once when it turns false. A click
// toggles the panel window beside the icon; its context menu opens the main
// window or the About window, or quits. Without a system tray there is no icon and the launcher
// runs on without it.
class TrayController : public QObject
{
    Q_OBJECT

public:
    TrayController(LauncherStore *store, QWindow *panel, const QString &appName, QObject *parent = nullptr);
    ~TrayController() override;

    // Makes the panel on first use instead (a hidden window stays off the
    // accessibility bus); the panel given to the constructor may then be null.
    void setPanelProvider(std::function<QWindow *()> provider) { m_panelProvider = std::move(provider); }

    bool isAvailable() const;
    bool isIconVisible() const;

    // The tray icon's picture: the grid symbol drawn from the icon font.
    static QIcon renderIcon();

    // The icon's context menu (built with or without a tray).
    QMenu *menu() const { return m_menu.get(); }

    // A balloon message from the icon; false when no icon is shown.
    bool showMessage(const QString &title, const QString &body);

Q_SIGNALS:
    void messageClicked();

private:
    void sync();
    void togglePanel();
    void retranslateMenu();

    QPointer<LauncherStore> m_store;
    QPointer<QWindow> m_panel;
    std::function<QWindow *()> m_panelProvider;
    std::unique_ptr<QMenu> m_menu;
    QAction *m_open = nullptr;
    QAction *m_about = nullptr;
    QAction *m_quit = nullptr;
    std::unique_ptr<QSystemTrayIcon> m_icon;
};
