#pragma once

#include "CatalogRowsModel.h"

#include <QtQml/qqmlregistration.h>

// One catalog list for the views, computed in C++ from the store and
// recomputed only when an input of that list changes. Install labels, stars
// and texts of rows update in place (dataChanged).
class AppListModel : public CatalogRowsModel
{
    Q_OBJECT
    QML_ELEMENT
    // Which list, `AppListModel.Kind.Selected` in the views: a misspelt kind
    // is an error there, not an empty list.
    Q_PROPERTY(Kind kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    // The sidebar's chosen category (exact text); empty for every category.
    Q_PROPERTY(QString category READ category WRITE setCategory NOTIFY categoryChanged)

public:
    enum class Kind {
        None,         // no apps
        AllApps,      // visible apps (of `category` when set), narrowed by searchText
        Selected,     // published starter apps, narrowed by searchText
        Updates,      // published apps with an update available, narrowed by searchText
        Published,    // published apps (search not applied)
        ComingSoon,   // the catalog's coming-soon apps (search not applied)
        Unlisted,     // installed apps the catalog does not list, by name, narrowed by searchText
        QuickLaunch,  // published apps, then the unlisted installed ones (search not applied)
    };
    Q_ENUM(Kind)

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

    Kind kind() const { return m_kind; }
    void setKind(Kind kind);
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

    Kind m_kind = Kind::AllApps;
    QString m_category;
};
