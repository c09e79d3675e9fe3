#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

// Requests from the views to the application's windows: the settings row
// opens the settings window, the tray menu and Preferences the About window, the tray panel brings up the main window, a
// notification's click shows an app's page, Quit ends the launcher (asking
// first while installs run).
// The application connects these to its windows; tests watch them.
class AppScenes : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(AppScenes)
    QML_SINGLETON
    Q_PROPERTY(bool trayAvailable READ trayAvailable NOTIFY trayAvailableChanged)
    // Whether Ctrl+K reaches the launcher from anywhere on the desktop (else only inside its windows).
    Q_PROPERTY(bool globalShortcutActive READ globalShortcutActive NOTIFY globalShortcutActiveChanged)
    // Names of the apps a quit would stop installing, while the user is asked; empty otherwise.
    Q_PROPERTY(QStringList quitBlockers READ quitBlockers NOTIFY quitBlockersChanged)

public:
    // One instance per process, shared by every engine and the application
    // (the constructor is private so QML uses create()).
    static AppScenes *instance();
    static AppScenes *create(QQmlEngine *, QJSEngine *);

    Q_INVOKABLE void showSettingsWindow() { Q_EMIT settingsWindowRequested(); }
    Q_INVOKABLE void showAboutWindow() { Q_EMIT aboutWindowRequested(); }
    Q_INVOKABLE void showMainWindow() { Q_EMIT mainWindowRequested(); }
    Q_INVOKABLE void hideMenuBarPanel() { Q_EMIT menuBarPanelHideRequested(); }
    // The main window, brought up on this app's page.
    Q_INVOKABLE void showAppDetail(const QString &appId) { Q_EMIT appDetailRequested(appId); }
    // The main window, brought up with the quick switcher open.
    Q_INVOKABLE void showQuickSwitcher() { Q_EMIT quickSwitcherRequested(); }
    Q_INVOKABLE void quit() { Q_EMIT quitRequested(); }
    // The answer to the question quitBlockers asks.
    Q_INVOKABLE void confirmQuit() { Q_EMIT quitConfirmed(); }
    Q_INVOKABLE void keepRunning() { setQuitBlockers({}); }

    // Whether a view file is part of the module (hosts show a placeholder until it is).
    Q_INVOKABLE bool viewExists(const QUrl &url) const;

    bool trayAvailable() const { return m_trayAvailable; }
    void setTrayAvailable(bool value);
    bool globalShortcutActive() const { return m_globalShortcutActive; }
    void setGlobalShortcutActive(bool value);
    QStringList quitBlockers() const { return m_quitBlockers; }
    void setQuitBlockers(const QStringList &names);

Q_SIGNALS:
    void settingsWindowRequested();
    void aboutWindowRequested();
    void mainWindowRequested();
    void menuBarPanelHideRequested();
    void appDetailRequested(const QString &appId);
    void trayAvailableChanged();
    void quickSwitcherRequested();
    void quitRequested();
    void quitConfirmed();
    void globalShortcutActiveChanged();
    void quitBlockersChanged();

private:
    explicit AppScenes(QObject *parent = nullptr);
    bool m_trayAvailable = false;
    bool m_globalShortcutActive = false;
    QStringList m_quitBlockers;
};
