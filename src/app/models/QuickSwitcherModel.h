#pragma once

#include "CatalogRowsModel.h"
#include "catalog/Models.h"

#include <QtQml/qqmlregistration.h>

// The switcher's result rows over the store's published apps and the
// installed apps the catalog does not list, searched by name, tagline and
// category (AppSearch), rebuilt only when the manifest, the beta preference,
// the installed apps or the query change; hints follow install states and
// the locale in place.
class QuickSwitcherModel : public CatalogRowsModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)

public:
    // Besides the record roles of every catalog list.
    enum Role {
        OpensRole = ViewRole,  // a copy is installed: running opens it
        HintRole,
    };
    Q_ENUM(Role)

    explicit QuickSwitcherModel(QObject *parent = nullptr);

    QString query() const { return search(); }
    void setQuery(const QString &query);

Q_SIGNALS:
    void queryChanged();

protected:
    QList<AppManifestItem> computeBase() const override;
    void connectStore(LauncherStore *store, StoreLink &link) override;
    void onInstallStateChanged(const QString &appId) override;
    QVariant viewData(const AppManifestItem &app, int role) const override;
    QHash<int, QByteArray> viewRoleNames() const override;
};
