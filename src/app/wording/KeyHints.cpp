#include "KeyHints.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>

KeyHints::Platform KeyHints::currentPlatform()
{
#ifdef Q_OS_MACOS
    return Platform::macOS;
#else
    return Platform::other;
#endif
}

QString KeyHints::format(const QString &sequence, Platform platform)
{
    // Qt's "Ctrl" is the Command key on macOS, and its "Meta" the Control key.
    static const QHash<QString, QString> macSymbols = {
        {QStringLiteral("Ctrl"), QStringLiteral("⌘")},
        {QStringLiteral("Shift"), QStringLiteral("⇧")},
        {QStringLiteral("Alt"), QStringLiteral("⌥")},
        {QStringLiteral("Meta"), QStringLiteral("⌃")},
    };
    const bool mac = platform == Platform::macOS;
    QStringList parts;
    for (const QString &key : sequence.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        if (!macSymbols.contains(key))
            parts << key;
        else if (mac)
            parts << macSymbols.value(key);
        else  // as the keyboard labels it in the language chosen, from Qt's own translations ("Strg")
            parts << QCoreApplication::translate("QShortcut", qPrintable(key));
    }
    return parts.join(mac ? QString() : QStringLiteral("+"));
}
