#include "InstallRecords.h"

#include "catalog/VersionComparison.h"
#include "install/InstallReceipt.h"
#include "system/SystemLayers.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

InstallRecords::InstallRecords(std::shared_ptr<UserDefaults> defaults) : m_defaults(std::move(defaults)) {}

QHash<QString, QString> InstallRecords::loadStringDictionary(const QString &key, const UserDefaults &defaults)
{
    const QVariant value = defaults.object(key);
    if (value.typeId() != QMetaType::QByteArray)
        return {};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(value.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};
    const QJsonObject object = document.object();
    QHash<QString, QString> map;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isString())
            return {};
        map.insert(it.key(), it.value().toString());
    }
    return map;
}

void InstallRecords::saveStringDictionary(const QHash<QString, QString> &map, const QString &key,
                                          UserDefaults &defaults)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.insert(it.key(), it.value());
    defaults.setData(key, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void InstallRecords::update(Save save, const std::function<void(Maps &)> &edit, const std::function<void()> &thenLocked)
{
    if (!m_defaults)
        return;
    // One change under the per-user lock: read again what is stored now (another
    // process may have recorded an app since), change only this, write.
    m_defaults->change([&](UserDefaults &defaults) {
        const Maps read{loadStringDictionary(versionsKey, defaults), loadStringDictionary(pathsKey, defaults),
                        loadStringDictionary(heldKey, defaults), loadStringDictionary(skippedKey, defaults)};
        Maps maps = read;
        edit(maps);
        if (save == Save::always || maps.versions != read.versions)
            saveStringDictionary(maps.versions, versionsKey, defaults);
        if (save == Save::always || maps.paths != read.paths)
            saveStringDictionary(maps.paths, pathsKey, defaults);
        // Decisions are written only once there are any, so older records stay as they were.
        if (maps.held != read.held)
            saveStringDictionary(maps.held, heldKey, defaults);
        if (maps.skipped != read.skipped)
            saveStringDictionary(maps.skipped, skippedKey, defaults);
        if (thenLocked)
            thenLocked();
    });
}

QHash<QString, InstallRecords::Recorded> InstallRecords::reconcile(const std::function<void(const QHash<QString, Recorded> &)> &thenLocked)
{
    QHash<QString, Recorded> recorded;
    update(Save::whenChanged, [&](Maps &maps) {
        for (const QString &id : maps.versions.keys()) {
            const QString path = maps.paths.value(id);
            // QFileInfo::exists follows symbolic links: a dangling link counts as gone.
            if (path.isEmpty() || !QFileInfo::exists(path)) {
                maps.versions.remove(id);
                maps.paths.remove(id);
                maps.held.remove(id);
                maps.skipped.remove(id);
                continue;
            }
            // A crash between the swap and the recording left the previous version recorded.
            if (const auto placed = InstallReceipt::placedVersion(path, id); placed && *placed != maps.versions.value(id))
                maps.versions.insert(id, *placed);
            recorded.insert(id, {maps.versions.value(id), QUrl::fromLocalFile(path), maps.held.contains(id),
                                 maps.skipped.value(id)});
        }
    }, [&] {
        if (thenLocked)
            thenLocked(recorded);
    });
    return recorded;
}

void InstallRecords::record(const QString &appId, const QString &version, const QString &path)
{
    update(Save::always, [&](Maps &maps) {
        maps.versions.insert(appId, version);
        maps.paths.insert(appId, path);
        if (maps.held.contains(appId))
            maps.held.insert(appId, version);
        const QString skipped = maps.skipped.value(appId);
        if (!skipped.isEmpty() && compareVersions(skipped, version) != ComparisonResult::orderedDescending)
            maps.skipped.remove(appId);
    });
}

void InstallRecords::forget(const QString &appId)
{
    update(Save::always, [&](Maps &maps) {
        maps.versions.remove(appId);
        maps.paths.remove(appId);
        maps.held.remove(appId);
        maps.skipped.remove(appId);
    });
}

bool InstallRecords::setHeld(const QString &appId, bool held)
{
    bool recorded = false;
    update(Save::whenChanged, [&](Maps &maps) {
        recorded = maps.versions.contains(appId);
        if (recorded && held)
            maps.held.insert(appId, maps.versions.value(appId));
        else
            maps.held.remove(appId);
    });
    return recorded;
}

bool InstallRecords::setSkipped(const QString &appId, const std::optional<QString> &version)
{
    bool recorded = false;
    update(Save::whenChanged, [&](Maps &maps) {
        recorded = maps.versions.contains(appId);
        if (recorded && version)
            maps.skipped.insert(appId, *version);
        else
            maps.skipped.remove(appId);
    });
    return recorded;
}

QString InstallRecords::installId() const
{
    QString id;
    if (!m_defaults)
        return id;
    m_defaults->change([&id](UserDefaults &defaults) {
        const QVariant stored = defaults.object(installIdKey);
        const QUuid read = stored.typeId() == QMetaType::QByteArray ? QUuid::fromString(QLatin1StringView(stored.toByteArray())) : QUuid();
        if (!read.isNull()) {
            id = read.toString(QUuid::WithoutBraces);
            return;
        }
        // Absent, or not an id (written by hand): a new one replaces it.
        id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        defaults.setData(installIdKey, id.toLatin1());
    });
    return id;
}
