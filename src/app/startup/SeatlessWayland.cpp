#include "SeatlessWayland.h"

#include "UiLogging.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

#ifdef VANTREL_HAVE_WAYLAND
#include <wayland-client.h>
#endif

namespace {

#ifdef VANTREL_HAVE_WAYLAND
// Asks the compositor for its globals once; false when it cannot be reached.
bool compositorHasSeat(bool *reached)
{
    wl_display *display = wl_display_connect(nullptr);
    *reached = display != nullptr;
    if (!display)
        return false;
    bool seat = false;
    static const wl_registry_listener listener{
        [](void *data, wl_registry *, uint32_t, const char *interface, uint32_t) {
            if (std::strcmp(interface, wl_seat_interface.name) == 0)
                *static_cast<bool *>(data) = true;
        },
        [](void *, wl_registry *, uint32_t) {},
    };
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &seat);
    *reached = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return seat;
}
#endif

}  // namespace

namespace SeatlessWayland {

bool chooseInputMethod()
{
#ifdef VANTREL_HAVE_WAYLAND
    if (qEnvironmentVariableIsSet("QT_IM_MODULE"))
        return false;
    // Only where Qt may pick its Wayland platform: it was asked for, or a compositor is named.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() ? qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") : !platform.contains("wayland"))
        return false;
    bool reached = false;
    if (compositorHasSeat(&reached) || !reached)
        return false;
    qputenv("QT_IM_MODULE", "compose");
    qCInfo(lcUi) << "The Wayland compositor has no seat: Qt's compose input method is used";
    return true;
#else
    return false;
#endif
}

}  // namespace SeatlessWayland
