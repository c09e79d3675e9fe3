#pragma once

#include "AscendingRowsModel.h"
#include "AppSearch.h"
#include "StoreLink.h"
#include "catalog/Models.h"

#include <QHash>

// Rows of apps over a base list taken from the store: the catalog's, and
// installed apps it does not list. The base list is kept between keystrokes
// and rebuilt only when the catalog, the beta preference or the installed
// apps change it (or a subclass asks); a search narrows the shown rows
// without a reset; an app's row redraws in place.
class CatalogRowsModel : public AscendingRowsModel
{
    Q_OBJECT
    Q_PROPERTY(LauncherStore *store READ store WRITE setStore NOTIFY storeChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    // Roles every catalog list takes from the app record itself; a subclass
    // numbers its own from ViewRole on.
    enum RecordRole {
        AppIdRole = Qt::UserRole + 1,
        AppRole,
        NameRole,
        AccentRole,
        SymbolNameRole,
        IconUrlRole,
        ViewRole,
    };
    Q_ENUM(RecordRole)

    LauncherStore *store() const { return m_store.get(); }
    void setStore(LauncherStore *store);
    int count() const { return int(m_rows.size()); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const final;
    QHash<int, QByteArray> roleNames() const final;

    Q_INVOKABLE QString idAt(int row) const;
    Q_INVOKABLE QStringList ids() const;
    // How many times the rows were recomputed; lets tests check that
    // unrelated store changes do not recompute them.
    int recomputeCount() const { return m_recomputeCount; }

Q_SIGNALS:
    void storeChanged();
    void countChanged();

protected:
    CatalogRowsModel(AppSearch::SearchKeys::Fields searchedFields, QObject *parent);

    // The list before the search, for the store's current state.
    virtual QList<AppManifestItem> computeBase() const = 0;
    // Whether the search text narrows this list.
    virtual bool searchApplies() const { return true; }
    // Connects the store's signals the subclass follows beyond the catalog
    // and the beta preference, which rebuild, and install states.
    virtual void connectStore(LauncherStore *store, StoreLink &link) = 0;
    virtual void onInstallStateChanged(const QString &appId) = 0;
    // The subclass's own roles (ViewRole and after).
    virtual QVariant viewData(const AppManifestItem &app, int role) const = 0;
    virtual QHash<int, QByteArray> viewRoleNames() const = 0;

    void rebuildBase();
    // The text the rows are searched for; false when it is the same text.
    bool setSearch(const QString &text);
    const QString &search() const { return m_search; }
    bool inBase(const QString &appId) const { return m_baseIndexesById.contains(appId); }
    // Redraws the row of appId, if it is shown, for these roles.
    void redrawApp(const QString &appId, const QList<int> &roles);
    // Redraws every row for these roles.
    void redrawRows(const QList<int> &roles);

private:
    const AppManifestItem &appAt(int row) const { return m_base.at(m_rows.at(row)); }
    void showRows(const QList<int> &next);
    int rowOf(const QString &appId) const;

    StoreLink m_store;
    AppSearch::SearchKeys::Fields m_searchedFields;
    QString m_search;
    // The rows are ascending indices into m_base.
    QList<AppManifestItem> m_base;
    AppSearch::SearchKeys m_keys;
    QHash<QString, QList<int>> m_baseIndexesById;
    int m_recomputeCount = 0;
};
