#pragma once

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

class LauncherStore;

// Small read-only lookups over the store for the sheets. Bindings that call
// them also read the store's manifest and includeBetaApps, so they re-run
// whenever an input changes.
class ViewQueries : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(ViewQueries)
    QML_SINGLETON

public:
    explicit ViewQueries(QObject *parent = nullptr);

    // The first visible app with this id, or null (hidden, retired or absent).
    Q_INVOKABLE QVariant visibleApp(LauncherStore *store, const QString &appId) const;
    // The visible apps as picker entries { text: name, value: id }, in catalog order.
    Q_INVOKABLE QVariantList visibleAppChoices(LauncherStore *store) const;
};
