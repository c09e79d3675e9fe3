#include "DefaultsFileWatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

DefaultsFileWatch::DefaultsFileWatch(QString path, QObject *parent)
    : QObject(parent), m_path(std::move(path)), m_lastContent(contentOf(m_path))
{
    const QString folder = QFileInfo(m_path).absolutePath();
    QDir().mkpath(folder);
    m_watcher.addPath(folder);
    if (QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &DefaultsFileWatch::settle);
}

void DefaultsFileWatch::settle()
{
    if (QFileInfo::exists(m_path) && !m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
    QByteArray content = contentOf(m_path);
    if (content == m_lastContent)
        return;
    m_lastContent = std::move(content);
    Q_EMIT changed();
}
