#include "X11WindowHints.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cstring>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

namespace {
xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}
}  // namespace
#endif

void X11WindowHints::keepOutOfTaskbar(QWindow *window)
{
#if QT_CONFIG(xcb)
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window)
        return;
    xcb_connection_t *c = x11->connection();
    const xcb_window_t id = xcb_window_t(window->winId());  // creates the native window
    const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
    const xcb_atom_t skip[] = {internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER")};
    if (window->isVisible()) {
        // A mapped window asks the window manager (EWMH client message).
        for (const xcb_atom_t atom : skip) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = id;
            event.type = state;
            event.data.data32[0] = 1;  // _NET_WM_STATE_ADD
            event.data.data32[1] = atom;
            event.data.data32[3] = 1;  // from a normal application
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
            xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char *>(&event));
        }
    } else {
        // Qt merges its own states into what it finds here when it maps the window.
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, 2, skip);
    }
    xcb_flush(c);
#else
    Q_UNUSED(window)
#endif
}
