// vantrel-search-provider: answers the desktop's search (GNOME Shell's search
// providers, KRunner's D-Bus runners) with apps of the stored catalog that are
// not installed yet. Started by the session bus on the first search, it shows
// nothing itself, never uses the network and ends after a quiet while.

#include "GnomeSearchProvider.h"
#include "KRunnerRunner.h"
#include "SearchCatalog.h"
#include "SearchLogging.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QTimer>

namespace {

constexpr int idleExitMs = 120 * 1000;

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The launcher's own folders: its stored catalog and its install records.
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationName(QStringLiteral("VantrelLauncher"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    SearchCatalog catalog(SearchCatalog::defaultSources());
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(idleExitMs);
    QObject::connect(&idle, &QTimer::timeout, &app, &QCoreApplication::quit);
    const auto called = [&idle] { idle.start(); };

    QObject gnome;
    QObject runner;
    new GnomeSearchProvider(&gnome, &catalog, called);
    KRunnerRunner::registerTypes();
    new KRunnerRunner(&runner, &catalog, called);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral(VANTREL_SEARCH_GNOME_PATH), &gnome, QDBusConnection::ExportAdaptors)
        || !bus.registerObject(QStringLiteral(VANTREL_SEARCH_RUNNER_PATH), &runner, QDBusConnection::ExportAdaptors)
        || !bus.registerService(QStringLiteral(VANTREL_SEARCH_BUS_NAME))) {
        qCCritical(lcSearch).noquote() << "Could not answer on the session bus:" << bus.lastError().message();
        return 1;
    }
    idle.start();
    return app.exec();
}
