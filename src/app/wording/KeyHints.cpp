#include "KeyHints.h"

#include <QKeySequence>

QString KeyHints::native(const QString &sequence)
{
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
