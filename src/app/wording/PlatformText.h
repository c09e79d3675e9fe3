#pragma once

#include "i18n/PlatformWords.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// For the views: qsTrId(PlatformText.id("installedDetail")) shows the text
// whose words fit the system the launcher runs on.
class PlatformText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit PlatformText(QObject *parent = nullptr) : QObject(parent) {}

    Q_INVOKABLE QString id(const QString &key) const { return PlatformWords::messageId(key); }
};
