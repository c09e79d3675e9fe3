#include "LinkRouter.h"

#include "UiLogging.h"
#include "catalog/ManifestPolicy.h"
#include "links/LauncherLink.h"
#include "store/LauncherStore.h"

#include <QQuickWindow>

#include <utility>

namespace {

std::optional<LauncherLink> readLogged(const QByteArray &raw)
{
    const LinkReading reading = LauncherLinks::read(raw);
    if (!reading.link)
        qCWarning(lcUi).noquote() << "Refused a link:" << reading.refusal;
    return reading.link;
}

}  // namespace

LinkRouter::LinkRouter(LauncherStore *store, QQuickWindow *mainWindow, QObject *parent)
    : QObject(parent), m_store(store), m_mainWindow(mainWindow)
{
    connect(store, &LauncherStore::manifestChanged, this, &LinkRouter::showPendingApp);
}

void LinkRouter::follow(const QByteArray &raw)
{
    const std::optional<LauncherLink> link = readLogged(raw);
    m_pendingAppId.clear();
    if (!link) {
        QMetaObject::invokeMethod(m_mainWindow, "bringUp");
        return;
    }
    qCInfo(lcUi).noquote() << "Following a link:" << link->toEncoded();
    // In memory only, as onboarding always is: the next start offers it again.
    m_store->setOnboardingComplete(true);
    if (link->kind == LauncherLink::Kind::app)
        showApp(link->value);
    else
        QMetaObject::invokeMethod(m_mainWindow, "showLibrarySearch", Q_ARG(QVariant, link->value));
}

void LinkRouter::showApp(const QString &appId)
{
    if (ManifestPolicy::firstVisibleApp(m_store->manifest(), m_store->includeBetaApps(), appId)) {
        QMetaObject::invokeMethod(m_mainWindow, "showAppDetail", Q_ARG(QVariant, appId));
        qCInfo(lcUi).noquote() << "Showing the page of" << m_store->selectedAppID().value_or(QString());
        return;
    }
    m_pendingAppId = appId;
    m_pendingLine = qtTrId("linkUnknownApp").arg(appId);
    m_store->setErrorMessage(m_pendingLine);
    QMetaObject::invokeMethod(m_mainWindow, "showLibrarySearch", Q_ARG(QVariant, QString()));
    qCInfo(lcUi).noquote() << "Not in the catalog:" << appId;
}

void LinkRouter::showPendingApp()
{
    if (m_pendingAppId.isEmpty()
        || !ManifestPolicy::firstVisibleApp(m_store->manifest(), m_store->includeBetaApps(), m_pendingAppId))
        return;
    if (m_store->errorMessage() == m_pendingLine)
        m_store->clearErrorMessage();
    showApp(std::exchange(m_pendingAppId, QString()));
}

QByteArray LinkRouter::linkArgument(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (LauncherLinks::looksLikeLink(argument))
            return argument;
    }
    return {};
}

QByteArray LinkRouter::forHandOver(const QByteArray &raw)
{
    if (raw.isEmpty())
        return {};
    const std::optional<LauncherLink> link = readLogged(raw);
    return link ? link->toEncoded() : QByteArray();
}
