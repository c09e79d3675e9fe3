#include "StagedNotes.h"

#include "CliCommand.h"
#include "StoreSession.h"
#include "store/InstalledApps.h"

#include <QLocale>
#include <QTextStream>

namespace StagedNotes {

QString listNote(const StoreSession &s, const QString &appId)
{
    const auto staged = s.store->installedApps()->stagedUpdate(appId);
    if (!staged)
        return {};
    return QStringLiteral(" · ") + qtTrId("cliListStaged").arg(Cli::printable(staged->version), QLocale().toString(staged->percent));
}

void addJson(const StoreSession &s, const QString &appId, QJsonObject &object)
{
    if (const auto staged = s.store->installedApps()->stagedUpdate(appId))
        object.insert(QStringLiteral("staged"), QJsonObject{{QStringLiteral("version"), staged->version},
                                                            {QStringLiteral("percent"), staged->percent}});
}

QStringList stagedIds(const StoreSession &s)
{
    QStringList ids;
    for (const QString &id : s.store->installedApps()->installedIds()) {
        if (s.store->installedApps()->stagedUpdate(id))
            ids.append(id);
    }
    return ids;
}

void announce(const StoreSession &s, const QStringList &ids)
{
    for (const QString &id : ids) {
        const auto staged = s.store->installedApps()->stagedUpdate(id);
        if (!staged)
            continue;
        const std::optional<AppManifestItem> app = s.store->installedApps()->describedApp(id);
        Cli::out() << qtTrId("cliUpdateStaged").arg(Cli::printable(app ? app->name : id), Cli::printable(staged->version),
                                                    QLocale().toString(staged->percent))
                   << Qt::endl;
    }
}

}  // namespace StagedNotes
