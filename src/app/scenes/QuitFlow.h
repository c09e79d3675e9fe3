#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class AppScenes;
class LauncherStore;

// Ending the launcher: at once when nothing installs; otherwise the user is
// asked first (AppScenes::quitBlockers), and on yes every running install is
// cancelled and awaited, so no app is left half-installed, before `quit` runs.
// An install already past its swap cannot be stopped; it is awaited too. A
// quit asked for is never lost: when the installs end while the question is
// open, the launcher quits.
class QuitFlow : public QObject
{
    Q_OBJECT

public:
    QuitFlow(LauncherStore *store, AppScenes *scenes, std::function<void()> quit, QObject *parent = nullptr);

    void request();
    void confirm();
    bool isQuitting() const { return m_quitting; }

private:
    QStringList installingApps() const;  // ids, in catalog order
    QStringList installingNames() const;
    void quitOnceSettled();

    QPointer<LauncherStore> m_store;
    QPointer<AppScenes> m_scenes;
    std::function<void()> m_quit;
    bool m_quitting = false;
};
