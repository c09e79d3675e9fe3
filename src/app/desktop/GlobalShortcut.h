#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QList>
#include <QObject>
#include <QVariantMap>

// Ctrl+K from anywhere on the desktop: a passive key grab on the X11 root
// window through xcb, or the desktop portal's global shortcuts over D-Bus
// where a portal offers them (Wayland). Where neither is available the
// shortcut works only inside the launcher's windows (their own Shortcut).
class GlobalShortcut : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    enum class Mode { none, x11Grab, portal };

    // The portal is looked for on bus.
    explicit GlobalShortcut(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~GlobalShortcut() override;

    // Tries the X11 grab, then the portal; the mode says which took.
    void enable();
    Mode mode() const { return m_mode; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    void activated();
    void modeChanged();

private Q_SLOTS:
    // The portal's answers: Request.Response to CreateSession and to
    // BindShortcuts, and GlobalShortcuts.Activated.
    void portalSessionCreated(uint response, const QVariantMap &results);
    void portalShortcutsBound(uint response, const QVariantMap &results);
    void portalActivated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp, const QVariantMap &options);

private:
    bool grabX11();
    void ungrabX11();
    void bindPortal();
    void setMode(Mode mode);

    QDBusConnection m_bus;
    Mode m_mode = Mode::none;
    QList<quint8> m_keycodes;
    quint32 m_root = 0;
    QString m_portalSession;
};
