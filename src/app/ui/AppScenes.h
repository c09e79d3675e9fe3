#pragma once

#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

// Requests from the views to the application's windows: the settings row
// opens the settings window, the tray panel brings up the main window, a
// notification's click shows an app's page.
// The application connects these to its windows; tests watch them.
class AppScenes : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(AppScenes)
    QML_SINGLETON
    Q_PROPERTY(bool trayAvailable READ trayAvailable NOTIFY trayAvailableChanged)

public:
    // One instance per process, shared by every engine and the application
    // (the constructor is private so QML uses create()).
    static AppScenes *instance();
    static AppScenes *create(QQmlEngine *, QJSEngine *);

    Q_INVOKABLE void showSettingsWindow() { Q_EMIT settingsWindowRequested(); }
    Q_INVOKABLE void showMainWindow() { Q_EMIT mainWindowRequested(); }
    Q_INVOKABLE void hideMenuBarPanel() { Q_EMIT menuBarPanelHideRequested(); }
    // The main window, brought up on this app's page.
    Q_INVOKABLE void showAppDetail(const QString &appId) { Q_EMIT appDetailRequested(appId); }

    // Whether a view file is part of the module (hosts show a placeholder until it is).
    Q_INVOKABLE bool viewExists(const QUrl &url) const;

    bool trayAvailable() const { return m_trayAvailable; }
    void setTrayAvailable(bool value);

Q_SIGNALS:
    void settingsWindowRequested();
    void mainWindowRequested();
    void menuBarPanelHideRequested();
    void appDetailRequested(const QString &appId);
    void trayAvailableChanged();

private:
    explicit AppScenes(QObject *parent = nullptr);
    bool m_trayAvailable = false;
};
