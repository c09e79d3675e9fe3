#include "KeyHints.h"

#include <QKeySequence>

QString KeyHints::hint(const QString &sequence, const QString &language) const
{
    Q_UNUSED(language)
    return QKeySequence(sequence, QKeySequence::PortableText).toString(QKeySequence::NativeText);
}

QString KeyHints::shortcutSymbol() const
{
#ifdef Q_OS_MACOS
    return QStringLiteral("command");
#else
    return QStringLiteral("keyboard");
#endif
}
