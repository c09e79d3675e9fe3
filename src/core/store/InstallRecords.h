#pragma once

#include "catalog/AppInstallState.h"
#include "catalog/Models.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QUrl>
#include <functional>
#include <memory>

class UserDefaults;

// The install records in the user defaults: the version and the bundle path of
// every app the launcher installed, each map a data blob holding a compact JSON
// object keyed by app id. An app is recorded when the versions map holds it;
// both maps change together.
class InstallRecords
{
public:
    static inline const QString versionsKey = QStringLiteral("vantrel.installedVersions");
    static inline const QString pathsKey = QStringLiteral("vantrel.installedPaths");

    explicit InstallRecords(std::shared_ptr<UserDefaults> defaults);

    // Anything but a blob holding a JSON object of texts reads as an empty map.
    static QHash<QString, QString> loadStringDictionary(const QString &key, const UserDefaults &defaults);
    static void saveStringDictionary(const QHash<QString, QString> &map, const QString &key, UserDefaults &defaults);

    // The recorded paths as file URLs.
    QHash<QString, QUrl> recordedURLs() const;

    struct Reconciled {
        QList<QPair<QString, AppInstallState>> states;  // recorded apps only, in the order given
        QHash<QString, QUrl> urls;                      // recorded apps whose bundle still exists
    };
    // Derives each recorded app's state from the disk, repairs a version the
    // receipt contradicts and drops records whose bundle is gone. Writes only
    // the maps that changed.
    Reconciled reconcile(const QList<AppManifestItem> &apps);

    void record(const QString &appId, const QString &version, const QString &path);
    // Both maps are written even when the app was not recorded.
    void forget(const QString &appId);

private:
    struct Maps {
        QHash<QString, QString> versions;
        QHash<QString, QString> paths;
    };
    enum class Save { always, whenChanged };
    // The one load-modify-save of the records.
    void update(Save save, const std::function<void(Maps &)> &edit);

    std::shared_ptr<UserDefaults> m_defaults;
};
