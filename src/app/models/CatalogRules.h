#pragma once

#include "catalog/Models.h"

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// Per-app rules the detail page and the cards need, over an app record read
// from the store.
class CatalogRules : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(CatalogRules)
    QML_SINGLETON

public:
    explicit CatalogRules(QObject *parent = nullptr);

    Q_INVOKABLE bool hasPublishedRelease(const QVariant &app) const;
    // The feed URL to show, or "" when there is none or its host is a
    // local-network name (ending in ".local").
    Q_INVOKABLE QString updateFeed(const QVariant &app) const;
    // The message id of a release status's label (ReleaseStatus.Beta, ...), for qsTrId.
    Q_INVOKABLE QString releaseStatusId(int status) const;
    // The message id of the card's badge, agreeing with the page: a live or
    // beta app whose release cannot be installed (no download, a malformed
    // checksum) reads as the page does, "Preview only"; every other app its status.
    static const char *badgeId(const AppManifestItem &app);
    Q_INVOKABLE QString badgeTextId(const QVariant &app) const;
    // Coming soon, or without a complete published release: the page offers only a catalog refresh.
    static bool isPreviewOnly(const AppManifestItem &app);
    // Whether version `candidate` is newer than `than` (a roll back that goes forward again).
    Q_INVOKABLE bool isNewerVersion(const QString &candidate, const QString &than) const;
};
