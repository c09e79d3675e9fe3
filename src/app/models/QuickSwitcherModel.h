#pragma once

#include "CatalogRowsModel.h"
#include "LibrarySearch.h"
#include "catalog/Models.h"

#include <QtQml/qqmlregistration.h>

// The quick switcher's rule: the query is trimmed and lower-cased; an empty
// query lists every published app; otherwise an app matches when the query is
// a substring of its lower-cased name, tagline or category. Nothing else is
// searched and the manifest's order is kept.
namespace QuickSwitcherSearch {

QString query(const QString &text);
bool matches(const AppManifestItem &app, const QString &query);
QList<AppManifestItem> results(const QList<AppManifestItem> &publishedApps, const QString &text);

}  // namespace QuickSwitcherSearch

// The switcher's result rows over the store's published apps and the
// installed apps the catalog does not list, rebuilt only
// when the manifest, the beta preference or the query changes; hints follow
// install states and the locale in place.
class QuickSwitcherModel : public CatalogRowsModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)

public:
    // Besides the record roles of every catalog list.
    enum Role {
        OpensRole = ViewRole,  // installed or update available: running opens it
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
