#include "ImageCacheFactory.h"

#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QStandardPaths>

ImageCacheFactory::ImageCacheFactory(QString folder, qint64 maximumBytes)
    : m_folder(std::move(folder)), m_maximumBytes(maximumBytes)
{
}

QNetworkAccessManager *ImageCacheFactory::create(QObject *parent)
{
    auto *network = new QNetworkAccessManager(parent);
    auto *cache = new QNetworkDiskCache(network);
    cache->setCacheDirectory(m_folder);
    cache->setMaximumCacheSize(m_maximumBytes);
    network->setCache(cache);
    return network;
}

QString ImageCacheFactory::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/images");
}
