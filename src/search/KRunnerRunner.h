#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QList>
#include <QVariantMap>

#include <functional>

class SearchCatalog;

// One result as KRunner takes it over D-Bus: (sssida{sv}).
struct RemoteMatch {
    QString id;
    QString text;
    QString iconName;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;  // "subtext": the tagline
};
// An action KRunner may offer beside a result: (sss).
struct RemoteAction {
    QString id;
    QString text;
    QString iconName;
};
Q_DECLARE_METATYPE(RemoteMatch)
Q_DECLARE_METATYPE(RemoteAction)

QDBusArgument &operator<<(QDBusArgument &argument, const RemoteMatch &match);
const QDBusArgument &operator>>(const QDBusArgument &argument, RemoteMatch &match);
QDBusArgument &operator<<(QDBusArgument &argument, const RemoteAction &action);
const QDBusArgument &operator>>(const QDBusArgument &argument, RemoteAction &action);

// KRunner's D-Bus runner interface over the same catalog: a match runs by
// showing the app's page in the launcher.
class KRunnerRunner : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")

public:
    KRunnerRunner(QObject *host, SearchCatalog *catalog, std::function<void()> called);

    // Before the object is registered: the types its methods return.
    static void registerTypes();

public Q_SLOTS:
    QList<RemoteAction> Actions();
    QList<RemoteMatch> Match(const QString &query);
    void Run(const QString &matchId, const QString &actionId);

private:
    SearchCatalog *m_catalog;
    std::function<void()> m_called;
};
