#pragma once

#include "catalog/Models.h"

#include "AscendingRowsModel.h"

#include <QAbstractListModel>
#include <QHash>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

#include "LibrarySearch.h"
#include "store/LauncherStore.h"

// One catalog list for the views, computed in C++ from the store and
// recomputed only when an input of that list changes. Kinds:
//   "allApps"    visible apps, narrowed by searchText
//   "selected"   published starter apps, narrowed by searchText
//   "updates"    published apps with an update available, narrowed by searchText
//   "published"  published apps (search not applied)
//   "comingSoon" the catalog's coming-soon apps (search not applied)
// Install labels, stars and texts of rows update in place (dataChanged).
class AppListModel : public AscendingRowsModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(LauncherStore *store READ store WRITE setStore NOTIFY storeChanged)
    Q_PROPERTY(QString kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        AppIdRole = Qt::UserRole + 1,
        AppRole,
        NameRole,
        TaglineRole,
        CategoryRole,
        AccentRole,
        SymbolNameRole,
        IconUrlRole,
        StatusRole,
        StatusLabelRole,
        TileStatusRole,
        StarredRole,
        InstallKindRole,
    };
    Q_ENUM(Role)

    explicit AppListModel(QObject *parent = nullptr);

    LauncherStore *store() const { return m_store; }
    void setStore(LauncherStore *store);
    QString kind() const { return m_kind; }
    void setKind(const QString &kind);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    int count() const { return int(m_rows.size()); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE QString idAt(int row) const;
    Q_INVOKABLE QStringList ids() const;
    // How many times the list was rebuilt; lets tests check that unrelated
    // store changes do not recompute it.
    int recomputeCount() const { return m_recomputeCount; }

Q_SIGNALS:
    void storeChanged();
    void kindChanged();
    void searchTextChanged();
    void countChanged();

private:
    bool searchApplies() const;
    QList<AppManifestItem> computeBase() const;
    void rebuildBase();
    void showRows(const QList<int> &next);
    const AppManifestItem &appAt(int row) const { return m_base.at(m_rows.at(row)); }
    int rowOf(const QString &appId) const;
    void onInstallStateChanged(const QString &appId);
    void emitRowsChanged(const QList<int> &roles);
    QString tileStatus(const AppManifestItem &app) const;

    QPointer<LauncherStore> m_store;
    QString m_kind = QStringLiteral("allApps");
    QString m_searchText;
    // The list before the search, kept between keystrokes and rebuilt only
    // when the catalog, the beta setting, the starters or install states
    // change it; the shown rows are ascending indices into it.
    QList<AppManifestItem> m_base;
    LibrarySearch::SearchKeys m_keys;
    QHash<QString, QList<int>> m_baseIndexesById;
    int m_recomputeCount = 0;
    QList<QMetaObject::Connection> m_connections;
};
