#include "RecordsWatch.h"

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

RecordsWatch::RecordsWatch(QString recordsFile, QObject *parent)
    : QObject(parent), m_path(std::move(recordsFile)), m_lastContent(contentOf(m_path))
{
    const QString folder = QFileInfo(m_path).absolutePath();
    QDir().mkpath(folder);
    m_watcher.addPath(folder);
    if (QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString &folder) {
        if (m_bundleFolders.contains(folder))
            m_bundleFolderChanged = true;
        m_settle.start();
    });
    connect(&m_settle, &QTimer::timeout, this, &RecordsWatch::settle);
}

void RecordsWatch::setBundleFolders(const QStringList &folders)
{
    QStringList existing;
    for (const QString &folder : folders) {
        if (QFileInfo(folder).isDir() && !existing.contains(folder))
            existing.append(folder);
    }
    existing.sort();
    if (existing == m_bundleFolders)
        return;
    // The records file's own folder stays watched whatever the bundles' are.
    const QString recordsFolder = QFileInfo(m_path).absolutePath();
    for (const QString &folder : std::as_const(m_bundleFolders)) {
        if (folder != recordsFolder && !existing.contains(folder))
            m_watcher.removePath(folder);
    }
    for (const QString &folder : std::as_const(existing)) {
        if (!m_watcher.directories().contains(folder))
            m_watcher.addPath(folder);
    }
    m_bundleFolders = existing;
}

void RecordsWatch::settle()
{
    if (QFileInfo::exists(m_path) && !m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
    QByteArray content = contentOf(m_path);
    const bool recordsChanged = content != m_lastContent;
    m_lastContent = std::move(content);
    if (!recordsChanged && !std::exchange(m_bundleFolderChanged, false))
        return;
    m_bundleFolderChanged = false;
    Q_EMIT changed();
}
