#include "StoredCatalogWatch.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A digest rather than the bytes: a catalog may be megabytes, held for the window's whole life.
QByteArray digestOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

}  // namespace

StoredCatalogWatch::StoredCatalogWatch(QString catalogFile, QObject *parent)
    : QObject(parent), m_path(std::move(catalogFile))
{
    // No digest yet: reading the copy again here would cost the first frame. The
    // first change after start is passed on, and the reader finds it not newer.
    // The folder is the launcher's own cache; watching needs it to exist.
    const QString folder = QFileInfo(m_path).absolutePath();
    QDir().mkpath(folder);
    m_watcher.addPath(folder);
    if (QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &StoredCatalogWatch::settle);
}

void StoredCatalogWatch::settle()
{
    if (QFileInfo::exists(m_path) && !m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
    QByteArray digest = digestOf(m_path);
    if (digest == m_lastDigest)
        return;
    m_lastDigest = std::move(digest);
    Q_EMIT changed();
}
