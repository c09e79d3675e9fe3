#pragma once

#include <QHash>
#include <QList>
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

    // One recorded app whose bundle is on disk.
    struct Recorded {
        QString version;
        QUrl bundle;

        friend bool operator==(const Recorded &, const Recorded &) = default;
    };
    // Every recorded app whose bundle still exists, by id, whatever the
    // catalog lists: records whose bundle is gone are dropped, and a version
    // the bundle's receipt contradicts is repaired. Writes only the maps that
    // changed.
    // thenLocked, when given, runs with the result inside the same change, so
    // no other process records or forgets an app until it returns.
    QHash<QString, Recorded> reconcile(const std::function<void(const QHash<QString, Recorded> &)> &thenLocked = {});

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
    void update(Save save, const std::function<void(Maps &)> &edit, const std::function<void()> &thenLocked = {});

    std::shared_ptr<UserDefaults> m_defaults;
};
