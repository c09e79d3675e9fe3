#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The one place that words shortcut hints: "⌘K", "⌘⇧T" on macOS, "Ctrl+K",
// "Ctrl+Shift+T" elsewhere (in German "Strg+Umschalt+T"), as each desktop writes them. Views pass Qt's
// portable form ("Ctrl+Shift+T"), the same text their Shortcut items bind, so
// hint and key never disagree.
class KeyHints : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    enum class Platform { macOS, other };

    explicit KeyHints(QObject *parent = nullptr) : QObject(parent) {}

    static Platform currentPlatform();
    static QString format(const QString &sequence, Platform platform);

    // Views that stay open while the language changes pass it (the store's
    // locale), so the binding words the hint again in the new language.
    Q_INVOKABLE QString hint(const QString &sequence, const QString &language = {}) const
    {
        Q_UNUSED(language)
        return format(sequence, currentPlatform());
    }
    // The symbol beside a shortcut's button: the Command key where it is
    // labelled so, a keyboard elsewhere.
    Q_INVOKABLE QString shortcutSymbol() const { return symbolFor(currentPlatform()); }
    static QString symbolFor(Platform platform)
    {
        return platform == Platform::macOS ? QStringLiteral("command") : QStringLiteral("keyboard");
    }
};
