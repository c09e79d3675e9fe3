#include "KeyHints.h"

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
    static const QHash<QString, std::pair<QString, QString>> modifiers = {
        {QStringLiteral("Ctrl"), {QStringLiteral("⌘"), QStringLiteral("Ctrl")}},
        {QStringLiteral("Shift"), {QStringLiteral("⇧"), QStringLiteral("Shift")}},
        {QStringLiteral("Alt"), {QStringLiteral("⌥"), QStringLiteral("Alt")}},
        {QStringLiteral("Meta"), {QStringLiteral("⌃"), QStringLiteral("Meta")}},
    };
    const bool mac = platform == Platform::macOS;
    QStringList parts;
    for (const QString &key : sequence.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        const auto it = modifiers.constFind(key);
        parts << (it == modifiers.constEnd() ? key : mac ? it->first : it->second);
    }
    return parts.join(mac ? QString() : QStringLiteral("+"));
}
