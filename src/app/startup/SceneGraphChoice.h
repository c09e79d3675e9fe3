#pragma once

#include <QString>

// Which scene graph draws the windows. Where OpenGL would be Mesa's software
// rasteriser (llvmpipe, softpipe) or is missing, Qt Quick's own software
// renderer starts faster and takes less than half the memory; with a GPU
// driver, hardware OpenGL stays. QT_QUICK_BACKEND (or a chosen RHI backend)
// overrides the choice.
namespace SceneGraphChoice {

enum class Choice { asRequested, software, hardware };

// What the choice rests on, gathered without creating a GL context.
struct Facts {
    QString platform;                   // the Qt platform plugin: "xcb", "wayland", "offscreen", "cocoa", ...
    bool backendRequested = false;      // QT_QUICK_BACKEND, QT_QUICKBACKEND or QSG_RHI_BACKEND is set
    bool softwareGlForced = false;      // LIBGL_ALWAYS_SOFTWARE, or GALLIUM_DRIVER naming a software rasteriser
    bool renderNode = false;            // a GPU render node (/dev/dri/renderD*) exists
    bool serverDirectRendering = false; // the X server offers DRI3 or DRI2 (xcb only)
};

Choice decide(const Facts &facts);

// The facts of this process; needs the application object.
Facts observe();

// Decides and sets the graphics API before any window exists; returns
// "software", "hardware" or "as requested" for the start-up log.
QString apply();

}  // namespace SceneGraphChoice
