#pragma once

#include "LibrarySearch.h"
#include "catalog/Models.h"

#include "AscendingRowsModel.h"

#include <QAbstractListModel>
#include <QHash>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class LauncherStore;

// The quick switcher's rule: the query is trimmed and lower-cased; an empty
// query lists every published app; otherwise an app matches when the query is
// a substring of its lower-cased name, tagline or category. Nothing else is
// searched and the manifest's order is kept.
namespace QuickSwitcherSearch {

QString query(const QString &text);
bool matches(const AppManifestItem &app, const QString &query);
QList<AppManifestItem> results(const QList<AppManifestItem> &publishedApps, const QString &text);

}  // namespace QuickSwitcherSearch

// The switcher's result rows over the store's published apps, rebuilt only
// when the manifest, the beta preference or the query changes; hints follow
// install states and the locale in place.
class QuickSwitcherModel : public AscendingRowsModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(LauncherStore *store READ store WRITE setStore NOTIFY storeChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        AppIdRole = Qt::UserRole + 1,
        AppRole,
        NameRole,
        AccentRole,
        SymbolNameRole,
        IconUrlRole,
        OpensRole,  // installed or update available: running opens it
        HintRole,
    };
    Q_ENUM(Role)

    explicit QuickSwitcherModel(QObject *parent = nullptr);

    LauncherStore *store() const { return m_store; }
    void setStore(LauncherStore *store);
    QString query() const { return m_query; }
    void setQuery(const QString &query);
    int count() const { return int(m_rows.size()); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE QString idAt(int row) const;
    Q_INVOKABLE QStringList ids() const;

Q_SIGNALS:
    void storeChanged();
    void queryChanged();
    void countChanged();

private:
    void rebuildBase();
    void showRows(const QList<int> &next);
    const AppManifestItem &appAt(int row) const { return m_base.at(m_rows.at(row)); }
    void onInstallStateChanged(const QString &appId);

    QPointer<LauncherStore> m_store;
    QString m_query;
    // The published apps, kept between keystrokes; the rows are ascending
    // indices into them.
    QList<AppManifestItem> m_base;
    LibrarySearch::SearchKeys m_keys;
    QHash<QString, QList<int>> m_baseIndexesById;
    QList<QMetaObject::Connection> m_connections;
};
