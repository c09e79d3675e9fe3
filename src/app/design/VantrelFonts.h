#pragma once

#include <QFont>
#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Font lookups for the design system: the display family when installed,
// else the system font; the system monospaced family; and the scale of the
// desktop's text size to the design's, which every design font size follows.
class VantrelFonts : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(VantrelFonts)
    QML_SINGLETON
    Q_PROPERTY(QString systemFamily READ systemFamily CONSTANT)
    Q_PROPERTY(QString monoFamily READ monoFamily CONSTANT)
    Q_PROPERTY(qreal textScale READ textScale NOTIFY textScaleChanged)

public:
    explicit VantrelFonts(QObject *parent = nullptr);

    static inline const QString displayFamilyName = QStringLiteral("Inter Tight");

    QString systemFamily() const;
    QString monoFamily() const;
    // Asks the font database on every call, so a font installed later is used.
    Q_INVOKABLE QString displayFamily() const;
    Q_INVOKABLE bool displayFontAvailable() const;

    // The desktop font's pixel size over the design's body size (13), never
    // below 1: a larger desktop font makes every text larger.
    qreal textScale() const;
    static qreal desktopTextScale();
    // Fixes the scale for views created afterwards (tests, screenshots);
    // nullopt follows the desktop again.
    static void setTextScaleOverride(std::optional<qreal> scale);

Q_SIGNALS:
    void textScaleChanged();
};
