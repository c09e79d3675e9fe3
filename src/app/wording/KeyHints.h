#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// Shortcut hints as the user's keyboard names the keys: Qt's native text of a
// sequence ("Ctrl+K", "Strg+K" in German, "⌘K" on macOS), in the language
// whose Qt translations are installed. Views pass a LauncherKeys sequence
// (Qt's portable form), the same their Shortcut items bind, so hint and key
// never disagree.
class KeyHints : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit KeyHints(QObject *parent = nullptr) : QObject(parent) {}

    // Views that stay open while the language changes pass it (the store's
    // locale), so the binding words the hint again in the new language.
    Q_INVOKABLE QString hint(const QString &sequence, const QString &language = {}) const;
    // The symbol beside a shortcut's button: the Command key where it is
    // labelled so, a keyboard elsewhere.
    Q_INVOKABLE QString shortcutSymbol() const;
};
