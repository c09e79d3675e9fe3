#include "KRunnerRunner.h"

#include "LauncherActivation.h"
#include "SearchCatalog.h"

#include <QDBusMetaType>

namespace {

// KRunner's match types: a possible match, and an exact one for the app's very name.
constexpr int possibleMatch = 20;
constexpr int exactMatch = 100;

}  // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const RemoteMatch &match)
{
    argument.beginStructure();
    argument << match.id << match.text << match.iconName << match.type << match.relevance << match.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, RemoteMatch &match)
{
    argument.beginStructure();
    argument >> match.id >> match.text >> match.iconName >> match.type >> match.relevance >> match.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const RemoteAction &action)
{
    argument.beginStructure();
    argument << action.id << action.text << action.iconName;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, RemoteAction &action)
{
    argument.beginStructure();
    argument >> action.id >> action.text >> action.iconName;
    argument.endStructure();
    return argument;
}

KRunnerRunner::KRunnerRunner(QObject *host, SearchCatalog *catalog, std::function<void()> called)
    : QDBusAbstractAdaptor(host), m_catalog(catalog), m_called(std::move(called))
{
}

void KRunnerRunner::registerTypes()
{
    qDBusRegisterMetaType<RemoteMatch>();
    qDBusRegisterMetaType<RemoteAction>();
    qDBusRegisterMetaType<QList<RemoteMatch>>();
    qDBusRegisterMetaType<QList<RemoteAction>>();
}

QList<RemoteAction> KRunnerRunner::Actions()
{
    m_called();
    return {};  // a result only shows its page
}

QList<RemoteMatch> KRunnerRunner::Match(const QString &query)
{
    m_called();
    QList<RemoteMatch> matches;
    const QStringList ids = m_catalog->find({query});
    for (qsizetype rank = 0; rank < ids.size(); ++rank) {
        const std::optional<AppManifestItem> app = m_catalog->app(ids.at(rank));
        const bool exact = app->name.compare(query.trimmed(), Qt::CaseInsensitive) == 0;
        matches.append({app->id, app->name, QStringLiteral("vantrel-launcher"), exact ? exactMatch : possibleMatch,
                        0.9 - 0.1 * double(rank), {{QStringLiteral("subtext"), app->tagline}}});
    }
    return matches;
}

void KRunnerRunner::Run(const QString &matchId, const QString &actionId)
{
    Q_UNUSED(actionId);
    m_called();
    if (m_catalog->app(matchId))
        LauncherActivation::show({LauncherLink::Kind::app, matchId});
}
