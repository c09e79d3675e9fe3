#include "LauncherKeys.h"

QKeySequence LauncherKeys::quit()
{
    const QList<QKeySequence> bindings = QKeySequence::keyBindings(QKeySequence::Quit);
    return bindings.isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_Q) : bindings.first();
}

QString LauncherKeys::panelRow(int row) const
{
    if (row < 0 || row > 8)
        return {};
    return QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + row)).toString(QKeySequence::PortableText);
}
