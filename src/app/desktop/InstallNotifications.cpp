#include "InstallNotifications.h"

#include "AppScenes.h"
#include "DesktopNotifier.h"
#include "store/LauncherStore.h"

#include <QGuiApplication>

#include <algorithm>

InstallNotifications::InstallNotifications(LauncherStore *store, DesktopNotifier *notifier, QObject *parent)
    : QObject(parent), m_store(store), m_notifier(notifier)
{
    connect(store, &LauncherStore::installFinished, this, &InstallNotifications::installFinished);
    connect(notifier, &DesktopNotifier::activated, AppScenes::instance(), &AppScenes::showAppDetail);
}

void InstallNotifications::installFinished(const QString &appId, bool succeeded)
{
    // A launcher window has the focus: the user sees the outcome there.
    if (!m_store || !m_notifier || QGuiApplication::focusWindow())
        return;
    const auto &apps = m_store->manifest().apps;
    const auto app = std::find_if(apps.cbegin(), apps.cend(), [&](const AppManifestItem &a) { return a.id == appId; });
    const AppInstallState state = m_store->stateFor(appId);
    const QString body = succeeded ? state.label() : state.message();
    m_notifier->post(appId, app != apps.cend() ? app->name : appId, body);
}
