#pragma once

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// Per-app rules the detail page needs, over an app record read from the store.
class CatalogRules : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(CatalogRules)
    QML_SINGLETON

public:
    explicit CatalogRules(QObject *parent = nullptr);

    Q_INVOKABLE bool hasPublishedRelease(const QVariant &app) const;
    // Coming soon, or without a complete published release: the page offers
    // only a catalog refresh.
    Q_INVOKABLE bool isPending(const QVariant &app) const;
    // The feed URL to show, or "" when there is none or its host is a
    // local-network name (ending in ".local").
    Q_INVOKABLE QString updateFeed(const QVariant &app) const;
    // The message id of a release status's label, for qsTrId.
    Q_INVOKABLE QString releaseStatusId(const QString &status) const;
};
