#pragma once

#include <QDirIterator>

#include <unistd.h>

// Where path leads when every link on the way is followed as the system
// would, missing parts taken as written; empty for a loop of links.
inline QByteArray resolvedPath(const QByteArray &path)
{
    QList<QByteArray> stack;
    QList<QByteArray> pending = path.split('/');
    int hops = 0;
    while (!pending.isEmpty()) {
        const QByteArray part = pending.takeFirst();
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!stack.isEmpty())
                stack.removeLast();
            continue;
        }
        stack.append(part);
        char target[4096];
        const ssize_t n = ::readlink(('/' + stack.join('/')).constData(), target, sizeof target);
        if (n < 0)
            continue;
        if (++hops > 64)
            return {};
        stack.removeLast();
        const QByteArray text(target, n);
        if (text.startsWith('/'))
            stack.clear();
        pending = text.split('/') + pending;
    }
    return '/' + stack.join('/');
}

// Every symbolic link below dir that leads out of it, as "link -> where".
inline QStringList linksLeadingOut(const QString &dir)
{
    QStringList escapes;
    const QByteArray base = QFile::encodeName(QFileInfo(dir).canonicalFilePath());
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!QFileInfo(path).isSymLink())
            continue;
        const QByteArray where = resolvedPath(QFile::encodeName(QFileInfo(path).absoluteFilePath()));
        if (!where.isEmpty() && where != base && !where.startsWith(base + '/'))
            escapes << path + QStringLiteral(" -> ") + QFile::decodeName(where);
    }
    return escapes;
}
