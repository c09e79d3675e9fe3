#include "QuitFlow.h"

#include "AppScenes.h"
#include "install/BackgroundCleanup.h"
#include "store/LauncherStore.h"

QuitFlow::QuitFlow(LauncherStore *store, AppScenes *scenes, std::function<void()> quit, QObject *parent)
    : QObject(parent), m_store(store), m_scenes(scenes), m_quit(std::move(quit))
{
    connect(scenes, &AppScenes::quitRequested, this, &QuitFlow::request);
    connect(scenes, &AppScenes::quitConfirmed, this, &QuitFlow::confirm);
    connect(store, &LauncherStore::installFinished, this, &QuitFlow::quitOnceSettled);
    // An install that ends while the question is open no longer holds the
    // quit up; once none is left, the quit asked for goes ahead.
    connect(store, &LauncherStore::installStatesChanged, this, [this] {
        if (m_quitting || !m_scenes || m_scenes->quitBlockers().isEmpty())
            return;
        const QStringList names = installingNames();
        if (names.isEmpty())
            confirm();
        else
            m_scenes->setQuitBlockers(names);
    });
}

QStringList QuitFlow::installingApps() const
{
    QStringList ids;
    if (!m_store)
        return ids;
    for (const AppManifestItem &app : m_store->manifest().apps) {
        if (m_store->runningInstall(app.id))
            ids.append(app.id);
    }
    return ids;
}

QStringList QuitFlow::installingNames() const
{
    QStringList names;
    for (const QString &id : installingApps())
        names.append(m_store->manifest().findApp(id)->name);
    return names;
}

void QuitFlow::request()
{
    if (m_quitting)
        return;
    const QStringList names = installingNames();
    if (names.isEmpty()) {
        m_quitting = true;
        quitOnceSettled();
        return;
    }
    m_scenes->setQuitBlockers(names);
}

void QuitFlow::confirm()
{
    if (m_quitting || !m_store)
        return;
    m_quitting = true;
    m_scenes->setQuitBlockers({});
    for (const QString &id : installingApps())
        m_store->manage()->cancelInstall(id);
    quitOnceSettled();
}

void QuitFlow::quitOnceSettled()
{
    // Once: the store is let go below, so a later installFinished does not quit twice.
    if (!m_quitting || !m_store || !installingApps().isEmpty())
        return;
    m_store = nullptr;
    // Outside the install's own stack, and after the work folders it left
    // for a worker are gone.
    QMetaObject::invokeMethod(this, [this] {
        BackgroundCleanup::waitForAll(10000);
        m_quit();
    }, Qt::QueuedConnection);
}
