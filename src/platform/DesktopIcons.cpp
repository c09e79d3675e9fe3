#include "DesktopIcons.h"

#include "PlatformLogging.h"
#include "PlistBundleInspector.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace DesktopIcons {

namespace {

// Larger pictures than the largest size add nothing but decoding time.
constexpr int maxSide = 4096;
// An icon file holds a handful of sizes; more is not an icon.
constexpr int maxPictures = 32;

std::optional<QString> iconFile(const QString &bundlePath)
{
    std::optional<QString> name = PlistBundleInspector::stringValue(bundlePath, "CFBundleIconFile");
    if (!name || name->isEmpty() || name->contains(QLatin1Char('/')) || name->contains(QLatin1Char('\\'))
        || name->startsWith(QLatin1Char('.')) || name->contains(QChar(0)) || name->size() > 255)
        return std::nullopt;
    if (QFileInfo(*name).suffix().isEmpty())
        *name += QStringLiteral(".icns");
    const QString root = QFileInfo(bundlePath).canonicalFilePath();
    const QString resolved = QFileInfo(bundlePath + QStringLiteral("/Contents/Resources/") + *name).canonicalFilePath();
    if (root.isEmpty() || resolved.isEmpty() || !resolved.startsWith(root + QLatin1Char('/'))) {
        qCInfo(lcPlatform) << "Icon file refused: missing or leading out of the bundle";
        return std::nullopt;
    }
    const QFileInfo info(resolved);
    if (!info.isFile() || info.size() > maxFileBytes) {
        qCInfo(lcPlatform) << "Icon file refused: no regular file, or" << info.size() << "bytes";
        return std::nullopt;
    }
    return resolved;
}

}  // namespace

QImage bundleIcon(const QString &bundlePath)
{
    const std::optional<QString> path = iconFile(bundlePath);
    if (!path)
        return {};
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file);
    reader.setAllocationLimit(allocationLimitMb);
    QImage best;
    const int count = qBound(1, reader.imageCount(), maxPictures);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QSize declared = reader.size();
        if (declared.isValid() && (declared.width() > maxSide || declared.height() > maxSide))
            continue;
        const QImage picture = reader.read();
        if (picture.isNull() || picture.width() > maxSide || picture.height() > maxSide)
            continue;
        if (picture.width() * picture.height() > best.width() * best.height())
            best = picture;
    }
    if (best.isNull())
        qCInfo(lcPlatform) << "Icon file refused:" << reader.errorString();
    return best;
}

QImage drawnIcon(AppAccent accent, int side, const std::optional<Symbol> &symbol)
{
    // The design's accents; each runs into violet, violet into lime.
    const auto colour = [](AppAccent a) {
        switch (a) {
        case AppAccent::violet: return QColor::fromRgbF(0.62f, 0.42f, 0.96f);
        case AppAccent::amber: return QColor::fromRgbF(0.96f, 0.68f, 0.30f);
        case AppAccent::blue: return QColor::fromRgbF(0.33f, 0.68f, 0.95f);
        case AppAccent::cyan: return QColor::fromRgbF(0.28f, 0.82f, 0.88f);
        case AppAccent::lime: break;
        }
        return QColor::fromRgbF(0.74f, 0.94f, 0.34f);
    };
    const QColor start = colour(accent);
    const QColor end = colour(accent == AppAccent::violet ? AppAccent::lime : AppAccent::violet);
    const QColor ink = accent == AppAccent::violet ? QColor(Qt::white) : QColor(0x0B, 0x10, 0x04);

    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, side, side);
    QLinearGradient gradient(area.topLeft(), area.bottomRight());
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, end);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(area, side * 0.22, side * 0.22);
    if (symbol) {
        // As the tiles draw it: the symbol at about half the plate's side.
        QFont font(symbol->fontFamily);
        font.setPixelSize(qMax(1, qRound(side * 0.48 * 1.1)));
        font.setWeight(QFont::DemiBold);
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(area, Qt::AlignCenter, QString(symbol->glyph));
        painter.end();
        return image;
    }
    // The symbol needs the window's icon font, which a terminal process has not; a ring stands in.
    QPen pen(ink, side * 0.09);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal ring = side * 0.36;
    painter.drawEllipse(area.center(), ring / 2, ring / 2);
    painter.end();
    return image;
}

QImage atSize(const QImage &picture, int side)
{
    QImage out(side, side, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const QImage scaled = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&out);
    painter.drawImage(QPoint((side - scaled.width()) / 2, (side - scaled.height()) / 2), scaled);
    painter.end();
    return out;
}

}  // namespace DesktopIcons
