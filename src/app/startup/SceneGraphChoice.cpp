#include "SceneGraphChoice.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>

#if defined(VANTREL_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#endif

namespace SceneGraphChoice {

namespace {

// Platforms that never reach a GPU: OpenGL there is a software path at best.
bool drawsWithoutGpu(const QString &platform)
{
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")
        || platform == QLatin1String("vnc") || platform == QLatin1String("linuxfb");
}

// Platforms whose OpenGL goes through Mesa and a DRM render node.
bool usesMesa(const QString &platform)
{
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"))
        || platform.startsWith(QLatin1String("eglfs"));
}

bool serverOffersDirectRendering()
{
#if defined(VANTREL_HAVE_XCB)
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    // Both questions go out before either answer is awaited: one round trip.
    const xcb_query_extension_cookie_t dri3 = xcb_query_extension(connection, 4, "DRI3");
    const xcb_query_extension_cookie_t dri2 = xcb_query_extension(connection, 4, "DRI2");
    bool offered = false;
    for (const xcb_query_extension_cookie_t cookie : {dri3, dri2}) {
        std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> reply(
            xcb_query_extension_reply(connection, cookie, nullptr), &std::free);
        offered = offered || (reply && reply->present);
    }
    return offered;
#else
    return false;
#endif
}

}  // namespace

Choice decide(const Facts &facts)
{
    if (facts.backendRequested)
        return Choice::asRequested;
    if (drawsWithoutGpu(facts.platform) || facts.softwareGlForced)
        return Choice::software;
    if (!usesMesa(facts.platform))
        return Choice::hardware;  // macOS, Windows: the system's own GPU path
    // Without a render node, or an X server that cannot hand one to us (Xvfb,
    // a forwarded display), Mesa falls back to llvmpipe.
    if (!facts.renderNode)
        return Choice::software;
    if (facts.platform == QLatin1String("xcb") && !facts.serverDirectRendering)
        return Choice::software;
    return Choice::hardware;
}

Facts observe()
{
    Facts facts;
    facts.platform = QGuiApplication::platformName();
    facts.backendRequested = qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QT_QUICKBACKEND")
        || qEnvironmentVariableIsSet("QSG_RHI_BACKEND");
    const QString gallium = qEnvironmentVariable("GALLIUM_DRIVER");
    facts.softwareGlForced = qEnvironmentVariableIntValue("LIBGL_ALWAYS_SOFTWARE") != 0
        || gallium == QLatin1String("llvmpipe") || gallium == QLatin1String("softpipe");
    if (usesMesa(facts.platform)) {
        facts.renderNode = !QDir(QStringLiteral("/dev/dri")).entryList({QStringLiteral("renderD*")}, QDir::System).isEmpty();
        if (facts.platform == QLatin1String("xcb") && facts.renderNode)
            facts.serverDirectRendering = serverOffersDirectRendering();
    }
    return facts;
}

QString apply()
{
    switch (decide(observe())) {
    case Choice::software:
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return QStringLiteral("software");
    case Choice::hardware:
        return QStringLiteral("hardware");  // Qt's default: OpenGL here, the system's API elsewhere
    case Choice::asRequested:
        break;
    }
    return QStringLiteral("as requested");
}

}  // namespace SceneGraphChoice
