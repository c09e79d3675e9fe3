#pragma once

#include <QFont>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// Font lookups for the design system: the display family when installed,
// else the system font; the system monospaced family.
class VantrelFonts : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(VantrelFonts)
    QML_SINGLETON
    Q_PROPERTY(QString systemFamily READ systemFamily CONSTANT)
    Q_PROPERTY(QString monoFamily READ monoFamily CONSTANT)

public:
    explicit VantrelFonts(QObject *parent = nullptr);

    static inline const QString displayFamilyName = QStringLiteral("Inter Tight");

    QString systemFamily() const;
    QString monoFamily() const;
    // Asks the font database on every call, so a font installed later is used.
    Q_INVOKABLE QString displayFamily() const;
    Q_INVOKABLE bool displayFontAvailable() const;
};
