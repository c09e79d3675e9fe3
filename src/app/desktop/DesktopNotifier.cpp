#include "DesktopNotifier.h"

#include "TrayController.h"
#include "UiLogging.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

DesktopNotifier::DesktopNotifier(const QString &appName, QDBusConnection bus, QObject *parent)
    : QObject(parent), m_appName(appName), m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

void DesktopNotifier::setTray(TrayController *tray)
{
    if (m_tray)
        disconnect(m_tray, nullptr, this, nullptr);
    m_tray = tray;
    if (m_tray) {
        connect(m_tray, &TrayController::messageClicked, this, [this] {
            if (!m_trayKey.isEmpty())
                Q_EMIT activated(m_trayKey);
        });
    }
}

void DesktopNotifier::post(const QString &key, const QString &summary, const QString &body)
{
    if (!m_bus.isConnected()) {
        postToTray(key, summary, body);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    // The "default" action is what a click on the notification itself invokes.
    call << m_appName << uint(0) << QStringLiteral("vantrel-launcher") << summary << body
         << QStringList{QStringLiteral("default"), summary}
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("vantrel-launcher")}} << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, key, summary, body] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            qCInfo(lcUi) << "No notification service:" << reply.error().name();
            postToTray(key, summary, body);
            return;
        }
        m_keys.insert(reply.value(), key);
    });
}

void DesktopNotifier::postToTray(const QString &key, const QString &summary, const QString &body)
{
    if (m_tray && m_tray->showMessage(summary, body))
        m_trayKey = key;
}

void DesktopNotifier::onActionInvoked(uint id, const QString &action)
{
    const auto it = m_keys.constFind(id);
    if (it != m_keys.constEnd() && action == QLatin1String("default"))
        Q_EMIT activated(*it);
}

void DesktopNotifier::onNotificationClosed(uint id, uint)
{
    m_keys.remove(id);
}
