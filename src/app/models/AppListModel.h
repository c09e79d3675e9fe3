#pragma once

#include "CatalogRowsModel.h"

#include <QtQml/qqmlregistration.h>

// One catalog list for the views, computed in C++ from the store and
// recomputed only when an input of that list changes. Kinds:
//   "allApps"    visible apps (of `category` when set), narrowed by searchText
//   "selected"   published starter apps, narrowed by searchText
//   "updates"    published apps with an update available, narrowed by searchText
//   "published"  published apps (search not applied)
//   "comingSoon" the catalog's coming-soon apps (search not applied)
//   "unlisted"   installed apps the catalog does not list, by name, narrowed by searchText
//   "quickLaunch" published apps, then the unlisted installed ones (search not applied)
// Install labels, stars and texts of rows update in place (dataChanged).
class AppListModel : public CatalogRowsModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    // The sidebar's chosen category (exact text); empty for every category.
    Q_PROPERTY(QString category READ category WRITE setCategory NOTIFY categoryChanged)

public:
    // Besides the record roles of every catalog list.
    enum Role {
        TaglineRole = ViewRole,
        CategoryRole,
        StatusRole,
        StatusLabelRole,  // the release status's badge, or for an installed app the catalog does not list, why
        TileStatusRole,
        StarredRole,
        InstallKindRole,
        PendingRole,  // cannot be installed yet: coming soon or an incomplete release
        NotListedRole,  // why the catalog does not list this installed app; empty when it does
    };
    Q_ENUM(Role)

    explicit AppListModel(QObject *parent = nullptr);

    QString kind() const { return m_kind; }
    void setKind(const QString &kind);
    QString searchText() const { return search(); }
    void setSearchText(const QString &text);
    QString category() const { return m_category; }
    void setCategory(const QString &category);

Q_SIGNALS:
    void kindChanged();
    void searchTextChanged();
    void categoryChanged();

protected:
    QList<AppManifestItem> computeBase() const override;
    bool searchApplies() const override;
    void connectStore(LauncherStore *store, StoreLink &link) override;
    void onInstallStateChanged(const QString &appId) override;
    QVariant viewData(const AppManifestItem &app, int role) const override;
    QHash<int, QByteArray> viewRoleNames() const override;

private:
    QString tileStatus(const AppManifestItem &app) const;
    // Why the catalog does not list this installed app, as a sentence or in a
    // tile's badge ("Not in catalog"); empty when it does.
    enum class Wording { sentence, badge };
    QString notListedText(const AppManifestItem &app, Wording wording = Wording::sentence) const;

    QString m_kind = QStringLiteral("allApps");
    QString m_category;
};
