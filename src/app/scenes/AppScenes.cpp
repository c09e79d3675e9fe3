#include "AppScenes.h"

#include <QFile>
#include <QJSEngine>

AppScenes::AppScenes(QObject *parent) : QObject(parent) {}

AppScenes *AppScenes::instance()
{
    static AppScenes *scenes = new AppScenes;
    return scenes;
}

AppScenes *AppScenes::create(QQmlEngine *, QJSEngine *)
{
    AppScenes *scenes = instance();
    QJSEngine::setObjectOwnership(scenes, QJSEngine::CppOwnership);
    return scenes;
}

void AppScenes::setTrayAvailable(bool value)
{
    if (m_trayAvailable == value)
        return;
    m_trayAvailable = value;
    Q_EMIT trayAvailableChanged();
}

void AppScenes::setGlobalShortcutActive(bool value)
{
    if (m_globalShortcutActive == value)
        return;
    m_globalShortcutActive = value;
    Q_EMIT globalShortcutActiveChanged();
}

void AppScenes::setQuitBlockers(const QStringList &names)
{
    if (m_quitBlockers == names)
        return;
    m_quitBlockers = names;
    Q_EMIT quitBlockersChanged();
}

bool AppScenes::viewExists(const QUrl &url) const
{
    if (url.scheme() == QLatin1String("qrc"))
        return QFile::exists(QLatin1Char(':') + url.path());
    if (url.isLocalFile())
        return QFile::exists(url.toLocalFile());
    return false;
}
