#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// Symbol names (the catalog's symbolName and the views' names) to glyphs of
// the icon font compiled into the binary. One table for every view.
class SymbolGlyphs : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(SymbolGlyphs)
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)
    Q_PROPERTY(QString fallbackGlyph READ fallbackGlyph CONSTANT)

public:
    explicit SymbolGlyphs(QObject *parent = nullptr);

    // Loads the icon font once per process; returns its family name.
    static QString ensureFontLoaded();

    QString fontFamily() const;
    // The glyph for a symbol name; unknown names get the fallback glyph.
    Q_INVOKABLE QString glyph(const QString &symbolName) const;
    Q_INVOKABLE bool isKnown(const QString &symbolName) const;
    static QString glyphFor(const QString &symbolName);
    static QString fallbackGlyph();
};
