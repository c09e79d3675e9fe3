#include "SymbolGlyphs.h"

#include "catalog/SymbolCodePoints.h"

#include <QFontDatabase>

SymbolGlyphs::SymbolGlyphs(QObject *parent) : QObject(parent) {}

QString SymbolGlyphs::ensureFontLoaded()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/qt/qml/Vantrel/fonts/MaterialIcons-Regular.ttf"));
        const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        return families.isEmpty() ? QStringLiteral("Material Icons") : families.first();
    }();
    return family;
}

QString SymbolGlyphs::fontFamily() const
{
    return ensureFontLoaded();
}

QString SymbolGlyphs::glyph(const QString &symbolName) const
{
    return glyphFor(symbolName);
}

bool SymbolGlyphs::isKnown(const QString &symbolName) const
{
    return SymbolCodePoints::codePoint(symbolName).has_value();
}

QString SymbolGlyphs::glyphFor(const QString &symbolName)
{
    const std::optional<char16_t> point = SymbolCodePoints::codePoint(symbolName);
    return point ? QString(QChar(*point)) : fallbackGlyph();
}

QString SymbolGlyphs::fallbackGlyph()
{
    return QString(QChar(SymbolCodePoints::fallback));
}
