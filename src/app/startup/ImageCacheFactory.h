#pragma once

#include <QQmlNetworkAccessManagerFactory>
#include <QString>

// Network access for the views (app icons) through a disk cache in `folder`,
// so icons a server lets clients keep show at start without a request and
// offline. HTTP's own rules decide what is kept and for how long.
class ImageCacheFactory : public QQmlNetworkAccessManagerFactory
{
public:
    explicit ImageCacheFactory(QString folder, qint64 maximumBytes = defaultMaximumBytes);

    // Called by the QML engine on any of its threads.
    QNetworkAccessManager *create(QObject *parent) override;

    static QString defaultFolder();
    static constexpr qint64 defaultMaximumBytes = 32 * 1024 * 1024;

private:
    const QString m_folder;
    const qint64 m_maximumBytes;
};
