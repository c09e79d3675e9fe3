#include "GlobalShortcut.h"

#include "LauncherKeys.h"
#include "UiLogging.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QUuid>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#endif

namespace {
// The quick switcher's key: a letter or digit, whose X keysym and portal name
// are its lower-case character.
QKeyCombination switcherKey()
{
    return LauncherKeys::quickSwitcher()[0];
}

// As the desktop portal's shortcuts name it ("CTRL+k").
QString portalTrigger(QKeyCombination key)
{
    QString trigger;
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        trigger += QStringLiteral("CTRL+");
    if (modifiers & Qt::AltModifier)
        trigger += QStringLiteral("ALT+");
    if (modifiers & Qt::ShiftModifier)
        trigger += QStringLiteral("SHIFT+");
    if (modifiers & Qt::MetaModifier)
        trigger += QStringLiteral("LOGO+");
    return trigger + QChar(char16_t(key.key())).toLower();
}

#if QT_CONFIG(xcb)
// The grab must not depend on Caps Lock (Lock) or Num Lock (usually Mod2).
constexpr quint16 ignoredLocks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr quint16 relevantModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

xcb_keysym_t x11Keysym(QKeyCombination key)
{
    return QChar(char16_t(key.key())).toLower().unicode();
}

quint16 x11Modifiers(QKeyCombination key)
{
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    return ((modifiers & Qt::ControlModifier) ? XCB_MOD_MASK_CONTROL : 0)
        | ((modifiers & Qt::ShiftModifier) ? XCB_MOD_MASK_SHIFT : 0)
        | ((modifiers & Qt::AltModifier) ? XCB_MOD_MASK_1 : 0)
        | ((modifiers & Qt::MetaModifier) ? XCB_MOD_MASK_4 : 0);
}

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
#endif
}  // namespace

// One entry of the portal's a(sa{sv}) shortcut list.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(PortalShortcut)

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace {
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString portalInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString shortcutId = QStringLiteral("quick-switcher");

// Calls a portal method that answers through a Request object, listening to
// that request's Response before the call so no answer is missed.
void callWithResponse(QDBusConnection bus, QObject *receiver, const char *slot, const QString &method,
                      QVariantList arguments, QVariantMap options)
{
    const QString token = QStringLiteral("vantrel") + QUuid::createUuid().toString(QUuid::Id128);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString request = portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    bus.connect(portalService, request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"), receiver, slot);
    options.insert(QStringLiteral("handle_token"), token);
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, portalInterface, method);
    arguments.append(options);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), receiver);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, receiver, [watcher, method] {
        if (watcher->isError())
            qCInfo(lcUi) << "No global shortcuts from the desktop portal:" << method << watcher->error().message();
        watcher->deleteLater();
    });
}
}  // namespace

GlobalShortcut::GlobalShortcut(QDBusConnection bus, QObject *parent) : QObject(parent), m_bus(std::move(bus)) {}

GlobalShortcut::~GlobalShortcut()
{
    ungrabX11();
}

void GlobalShortcut::setMode(Mode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    Q_EMIT modeChanged();
}

void GlobalShortcut::enable()
{
    if (m_mode != Mode::none)
        return;
    if (grabX11()) {
        setMode(Mode::x11Grab);
        return;
    }
    bindPortal();
}

bool GlobalShortcut::grabX11()
{
#if QT_CONFIG(xcb)
    xcb_connection_t *c = x11Connection();
    if (!c)
        return false;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen)
        return false;
    m_root = screen->root;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(c);
    if (!symbols)
        return false;
    if (xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, x11Keysym(switcherKey()))) {
        for (xcb_keycode_t *code = codes; *code != XCB_NO_SYMBOL; ++code)
            m_keycodes.append(*code);
        free(codes);
    }
    xcb_key_symbols_free(symbols);
    bool refused = m_keycodes.isEmpty();
    for (const quint8 code : std::as_const(m_keycodes)) {
        for (const quint16 locks : ignoredLocks) {
            const xcb_void_cookie_t cookie = xcb_grab_key_checked(c, 1, m_root, x11Modifiers(switcherKey()) | locks, code,
                                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t *error = xcb_request_check(c, cookie)) {
                // BadAccess: another client holds the key.
                qCInfo(lcUi) << "The X server refused the grab of" << LauncherKeys::quickSwitcher() << "error"
                             << error->error_code;
                free(error);
                refused = true;
            }
        }
    }
    if (refused) {
        ungrabX11();
        return false;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
#else
    return false;
#endif
}

void GlobalShortcut::bindPortal()
{
    if (!m_bus.isConnected())
        return;
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    const QString sessionToken = QStringLiteral("vantrel") + QUuid::createUuid().toString(QUuid::Id128);
    callWithResponse(m_bus, this, SLOT(portalSessionCreated(uint, QVariantMap)), QStringLiteral("CreateSession"), {},
                     {{QStringLiteral("session_handle_token"), sessionToken}});
}

void GlobalShortcut::portalSessionCreated(uint response, const QVariantMap &results)
{
    m_portalSession = results.value(QStringLiteral("session_handle")).toString();
    if (response != 0 || m_portalSession.isEmpty())
        return;
    const QList<PortalShortcut> shortcuts{{shortcutId, {{QStringLiteral("description"), qtTrId("globalShortcutDescription")},
                                                        {QStringLiteral("preferred_trigger"), portalTrigger(switcherKey())}}}};
    callWithResponse(m_bus, this, SLOT(portalShortcutsBound(uint, QVariantMap)), QStringLiteral("BindShortcuts"),
                     {QVariant::fromValue(QDBusObjectPath(m_portalSession)), QVariant::fromValue(shortcuts), QString()}, {});
}

void GlobalShortcut::portalShortcutsBound(uint response, const QVariantMap &results)
{
    if (response != 0)
        return;
    // A portal may answer success yet bind nothing (some bind only what the
    // user confirms later): only what it lists is bound desktop-wide.
    QList<PortalShortcut> bound;
    const QVariant listed = results.value(QStringLiteral("shortcuts"));
    if (listed.canConvert<QDBusArgument>())
        listed.value<QDBusArgument>() >> bound;
    const bool ours = std::any_of(bound.cbegin(), bound.cend(), [](const PortalShortcut &s) { return s.id == shortcutId; });
    if (!ours) {
        qCInfo(lcUi) << "The desktop portal bound no quick-switcher shortcut; Ctrl+K works inside the launcher only";
        return;
    }
    m_bus.connect(portalService, portalPath, portalInterface, QStringLiteral("Activated"), this,
                                          SLOT(portalActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    setMode(Mode::portal);
}

void GlobalShortcut::portalActivated(const QDBusObjectPath &session, const QString &id, qulonglong, const QVariantMap &)
{
    if (session.path() == m_portalSession && id == shortcutId)
        Q_EMIT activated();
}

void GlobalShortcut::ungrabX11()
{
#if QT_CONFIG(xcb)
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    xcb_connection_t *c = x11Connection();
    if (c && m_root) {
        for (const quint8 code : std::as_const(m_keycodes)) {
            for (const quint16 locks : ignoredLocks)
                xcb_ungrab_key(c, code, m_root, x11Modifiers(switcherKey()) | locks);
        }
        xcb_flush(c);
    }
#endif
    m_keycodes.clear();
}

bool GlobalShortcut::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
#if QT_CONFIG(xcb)
    if (eventType != "xcb_generic_event_t" || m_mode != Mode::x11Grab)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *key = static_cast<const xcb_key_press_event_t *>(message);
    if (key->event != m_root || !m_keycodes.contains(key->detail) || (key->state & relevantModifiers) != x11Modifiers(switcherKey()))
        return false;
    // Out of the window system's event handling before windows are shown.
    if (type == XCB_KEY_PRESS)
        QTimer::singleShot(0, this, &GlobalShortcut::activated);
    return true;
#else
    Q_UNUSED(eventType)
    Q_UNUSED(message)
    return false;
#endif
}
