#pragma once

#include <QHash>
#include <QList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class UserDefaults;

// The install records in the user defaults: the version and the bundle path of
// every app the launcher installed, each map a data blob holding a compact JSON
// object keyed by app id. An app is recorded when the versions map holds it;
// both maps change together. Two optional maps keep the user's decisions about
// an installed app's updates: held apps (by the version held at) and skipped
// versions; records written before they existed simply lack them.
class InstallRecords
{
public:
    static inline const QString versionsKey = QStringLiteral("vantrel.installedVersions");
    static inline const QString pathsKey = QStringLiteral("vantrel.installedPaths");
    static inline const QString heldKey = QStringLiteral("vantrel.heldVersions");
    static inline const QString skippedKey = QStringLiteral("vantrel.skippedVersions");
    static inline const QString installIdKey = QStringLiteral("vantrel.installId");

    explicit InstallRecords(std::shared_ptr<UserDefaults> defaults);

    // Anything but a blob holding a JSON object of texts reads as an empty map.
    static QHash<QString, QString> loadStringDictionary(const QString &key, const UserDefaults &defaults);
    static void saveStringDictionary(const QHash<QString, QString> &map, const QString &key, UserDefaults &defaults);

    // One recorded app whose bundle is on disk.
    struct Recorded {
        QString version;
        QUrl bundle;
        bool held = false;       // kept out of updates until released
        QString skippedVersion;  // an offered version not to offer again; empty: none

        friend bool operator==(const Recorded &, const Recorded &) = default;
    };
    // Every recorded app whose bundle still exists, by id, whatever the
    // catalog lists: records whose bundle is gone are dropped, and a version
    // the bundle's receipt contradicts is repaired. Writes only the maps that
    // changed.
    // thenLocked, when given, runs with the result inside the same change, so
    // no other process records or forgets an app until it returns.
    QHash<QString, Recorded> reconcile(const std::function<void(const QHash<QString, Recorded> &)> &thenLocked = {});

    // A skip of a version no newer than the one recorded is dropped: it has been passed.
    void record(const QString &appId, const QString &version, const QString &path);
    // Both maps are written even when the app was not recorded; its decisions go too.
    void forget(const QString &appId);
    // Only for a recorded app; false otherwise.
    bool setHeld(const QString &appId, bool held);
    // Nothing: offered again.
    bool setSkipped(const QString &appId, const std::optional<QString> &version);

    // This installation's random id for staged rollouts, made by whichever
    // process asks first, under the records' lock so every process of the
    // user reads the same one. Used only on this machine; never sent.
    // Empty without stored defaults.
    QString installId() const;

private:
    struct Maps {
        QHash<QString, QString> versions;
        QHash<QString, QString> paths;
        QHash<QString, QString> held;
        QHash<QString, QString> skipped;
    };
    enum class Save { always, whenChanged };
    // The one load-modify-save of the records.
    void update(Save save, const std::function<void(Maps &)> &edit, const std::function<void()> &thenLocked = {});

    std::shared_ptr<UserDefaults> m_defaults;
};
