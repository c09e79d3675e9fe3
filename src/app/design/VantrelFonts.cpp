#include "VantrelFonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {
std::optional<qreal> &scaleOverride()
{
    static std::optional<qreal> value;
    return value;
}
}  // namespace

VantrelFonts::VantrelFonts(QObject *parent) : QObject(parent)
{
    connect(qGuiApp, &QGuiApplication::fontChanged, this, &VantrelFonts::textScaleChanged);
}

QString VantrelFonts::systemFamily() const
{
    return QGuiApplication::font().family();
}

QString VantrelFonts::monoFamily() const
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

bool VantrelFonts::displayFontAvailable() const
{
    return QFontDatabase::hasFamily(displayFamilyName);
}

QString VantrelFonts::displayFamily() const
{
    return displayFontAvailable() ? displayFamilyName : systemFamily();
}

qreal VantrelFonts::textScale() const
{
    return scaleOverride().value_or(desktopTextScale());
}

qreal VantrelFonts::desktopTextScale()
{
    // The views size text in pixels, so the desktop's point size and its text
    // DPI (where desktops put their text scaling factor) are both taken in.
    constexpr qreal designBodyPixels = 13.0;
    const QFont font = QGuiApplication::font();
    qreal pixels = font.pixelSize();
    if (pixels <= 0) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        pixels = font.pointSizeF() * (screen ? screen->logicalDotsPerInchY() : 96.0) / 72.0;
    }
    return std::clamp(pixels / designBodyPixels, 1.0, 3.0);
}

void VantrelFonts::setTextScaleOverride(std::optional<qreal> scale)
{
    scaleOverride() = scale;
}
