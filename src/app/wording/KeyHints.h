#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// Shortcut hints as the user's keyboard names the keys: Qt's native text of a
// sequence ("Ctrl+K", "Strg+K" in German, "⌘K" on macOS), in the language
// whose Qt translations are installed. Views pass Qt's portable form
// ("Ctrl+Shift+T"), the same text their Shortcut items bind, so hint and key
// never disagree.
class KeyHints : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit KeyHints(QObject *parent = nullptr) : QObject(parent) {}

    static QString native(const QString &sequence);

    // Views pass the language so they redraw on a change; Qt's installed translations speak it.
    Q_INVOKABLE QString hint(const QString &sequence, const QString &locale) const
    {
        Q_UNUSED(locale);
        return native(sequence);
    }
    // The symbol beside a shortcut's button: the Command key where it is
    // labelled so, a keyboard elsewhere.
    Q_INVOKABLE QString shortcutSymbol() const;
};
