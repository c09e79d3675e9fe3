// vantrel-devserver: the launcher's local development service.

#include "CatalogSigning.h"
#include "DevServer.h"
#include "DevStorage.h"
#include "ReleaseArchives.h"
#include "SampleCatalog.h"
#include "SigningKey.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>
#include <optional>
#include <cstdio>
#include <pthread.h>
#include <unistd.h>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <variant>

namespace {

int usageError(const QString &message)
{
    std::fprintf(stderr, "vantrel-devserver: %s\nRun vantrel-devserver --help for the options.\n", qPrintable(message));
    return 2;
}

int dump(const QString &what, const QString &dataDir)
{
    const auto table = DevStorage::tableFromName(what);
    if (!table)
        return usageError(QStringLiteral("--dump takes feedback, events or errors, not \"%1\"").arg(what));
    try {
        const DevStorage storage = DevStorage::openForReading(dataDir);
        for (const QByteArray &line : storage.dump(*table))
            std::printf("%s\n", line.constData());
    } catch (const StorageError &e) {
        std::fprintf(stderr, "vantrel-devserver: %s\n", e.what());
        return 1;
    }
    return 0;
}

// "ID=PERCENT": the app whose update the catalogs offer to that share of the
// installed copies only, so a launcher shows the gradual state.
std::optional<std::pair<QString, int>> stagedApp(const QString &text, const SampleCatalog &catalog)
{
    const QStringList parts = text.split(QLatin1Char('='));
    bool ok = false;
    const int percent = parts.size() == 2 ? parts.at(1).toInt(&ok) : -1;
    const bool known = std::any_of(catalog.apps().cbegin(), catalog.apps().cend(),
                                   [&](const SampleApp &app) { return app.id == parts.first(); });
    if (!ok || percent < 0 || percent > 100 || !known)
        return std::nullopt;
    return std::pair(parts.first(), percent);
}

QJsonObject staged(QJsonObject manifest, const std::optional<std::pair<QString, int>> &stage)
{
    if (!stage)
        return manifest;
    QJsonArray apps = manifest.value(QStringLiteral("apps")).toArray();
    for (qsizetype i = 0; i < apps.size(); ++i) {
        QJsonObject app = apps.at(i).toObject();
        if (app.value(QStringLiteral("id")).toString() == stage->first)
            app.insert(QStringLiteral("rolloutPercent"), stage->second);
        apps.replace(i, app);
    }
    manifest.insert(QStringLiteral("apps"), apps);
    return manifest;
}

// What the sample catalogs are made of, to sign them again later.
struct SampleCatalogs {
    const SampleCatalog &catalog;
    SampleCatalogKind kind;
    QDateTime startedAt;
    QMap<QString, QString> checksums;
    const SigningKey &key;
    QString dataDir;
    // The app whose update is offered to a share of the copies only, if any.
    std::optional<std::pair<QString, int>> stage;
};

// Signs the sample catalogs with a sequence above the last one (kept in the
// data folder, so a restart never goes back) and a fresh expiry, and serves them.
void serveSamples(DevServer &server, const SampleCatalogs &samples)
{
    const QString counterPath = QDir(samples.dataDir).filePath(QStringLiteral("catalog-sequence"));
    QFile counter(counterPath);
    const qint64 last = counter.open(QIODevice::ReadOnly) ? counter.readAll().trimmed().toLongLong() : 0;
    counter.close();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const qint64 sequence = CatalogSigning::nextSequence(last, now);
    if (counter.open(QIODevice::WriteOnly | QIODevice::Truncate))
        counter.write(QByteArray::number(sequence) + '\n');
    const QString expiresAt = now.addSecs(CatalogSigning::defaultValiditySeconds).toString(Qt::ISODate);
    QMap<QString, QByteArray> manifests;
    for (const QString &language : {QStringLiteral("en"), QStringLiteral("pl"), QStringLiteral("de")}) {
        QJsonObject manifest = staged(samples.catalog.manifest(samples.kind, language, samples.startedAt, server.baseUrl(), samples.checksums),
                                      samples.stage);
        manifest.insert(QStringLiteral("sequence"), double(sequence));
        manifest.insert(QStringLiteral("expiresAt"), expiresAt);
        manifests.insert(language, QJsonDocument(manifest).toJson(QJsonDocument::Indented));
    }
    server.setManifests(manifests, samples.key);
}

// Signs the sample catalogs again, long before they expire, until stop() is called.
class Resigner
{
public:
    Resigner(DevServer &server, const SampleCatalogs &samples)
        : m_thread([this, &server, samples] {
              std::unique_lock lock(m_mutex);
              const auto interval = std::chrono::seconds(CatalogSigning::defaultValiditySeconds / 4);
              while (!m_stopped.wait_for(lock, interval, [this] { return m_stopping; }))
                  serveSamples(server, samples);
          })
    {
    }
    ~Resigner()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_stopped.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stopping = false;
    std::thread m_thread;
};

// Runs make(); an error it throws is printed and taken as the end of the service.
template <typename Error, typename Make>
auto orReported(Make make) -> std::optional<decltype(make())>
{
    try {
        return make();
    } catch (const Error &e) {
        std::fprintf(stderr, "vantrel-devserver: %s\n", e.what());
        return std::nullopt;
    }
}

struct CommandLine {
    QCommandLineOption port{QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (0: any free port)."),
                            QStringLiteral("N"), QStringLiteral("8787")};
    QCommandLineOption data{QStringLiteral("data"), QStringLiteral("Folder of the SQLite data."), QStringLiteral("DIR")};
    QCommandLineOption catalog{QStringLiteral("catalog"), QStringLiteral("Sample catalog: first or multi."),
                               QStringLiteral("NAME"), QStringLiteral("multi")};
    QCommandLineOption releases{QStringLiteral("releases"), QStringLiteral("Folder of the release archives."),
                                QStringLiteral("DIR")};
    QCommandLineOption published{
        QStringLiteral("published"),
        QStringLiteral("A release folder written by vantrel-publish: its signed catalog.json and archives are served "
                       "as the maker's host would, instead of the sample catalog."),
        QStringLiteral("DIR")};
    QCommandLineOption dump{QStringLiteral("dump"),
                            QStringLiteral("Print what was stored (feedback, events or errors) and exit."),
                            QStringLiteral("WHAT")};
    QCommandLineOption printKey{QStringLiteral("print-public-key"),
                                QStringLiteral("Print the public key the catalogs are signed with and exit.")};
    QCommandLineOption stage{QStringLiteral("stage"),
                             QStringLiteral("Offer the update of app ID to PERCENT of the installed copies only (0 to 100)."),
                             QStringLiteral("ID=PERCENT")};
    QCommandLineParser parser;

    CommandLine()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Local stand-in for the launcher service, the feedback service and the error-report endpoint."));
        parser.addHelpOption();
        parser.addOptions({port, data, catalog, releases, published, dump, printKey, stage});
    }
};

// Where the service serves from, once the command line made sense.
struct ServiceSettings {
    QString dataDir;
    int port = 0;
    SampleCatalogKind kind{};
    QString publishedDir;
    QString releasesDir;
};

// The settings, or the exit status when the command line is wrong or asked for help.
std::variant<ServiceSettings, int> settingsFrom(CommandLine &cli, const QStringList &arguments)
{
    QCommandLineParser &parser = cli.parser;
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    ServiceSettings settings;
    settings.dataDir = parser.isSet(cli.data) ? parser.value(cli.data)
                                              : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (settings.dataDir.isEmpty())
        return usageError(QStringLiteral("no data folder: pass --data DIR"));
    bool portOk = false;
    settings.port = parser.value(cli.port).toInt(&portOk);
    if (!parser.isSet(cli.dump) && !parser.isSet(cli.printKey) && (!portOk || settings.port < 0 || settings.port > 65535))
        return usageError(QStringLiteral("--port needs a number from 0 to 65535"));
    const auto kind = sampleCatalogKindFromName(parser.value(cli.catalog));
    if (!kind && !parser.isSet(cli.dump) && !parser.isSet(cli.printKey))
        return usageError(QStringLiteral("--catalog takes first or multi, not \"%1\"").arg(parser.value(cli.catalog)));
    settings.kind = kind.value_or(SampleCatalogKind{});
    settings.publishedDir = parser.value(cli.published);
    settings.releasesDir = !settings.publishedDir.isEmpty() ? settings.publishedDir
        : parser.isSet(cli.releases) ? parser.value(cli.releases)
                                     : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("releases"));
    return settings;
}

// Checksums come from the archives actually served, computed once at start.
QMap<QString, QString> servedChecksums(const ReleaseArchives &archives, const SampleCatalog &catalog,
                                       const ServiceSettings &settings)
{
    QStringList names;
    for (const SampleArchive &archive : catalog.archives())
        names.append(archive.fileName);
    QStringList missing;
    QMap<QString, QString> checksums = archives.checksums(names, &missing);
    QStringList lists;
    for (const QString &name : names)
        lists.append(name + QStringLiteral(".files"));
    // A release without its list is still offered whole.
    checksums.insert(archives.checksums(lists));
    for (const QString &name : settings.publishedDir.isEmpty() ? missing : QStringList())
        std::fprintf(stderr, "vantrel-devserver: warning: %s is missing from %s; listed without a checksum\n",
                     qPrintable(name), qPrintable(settings.releasesDir));
    return checksums;
}

// Serves until a stop signal (blocked in every thread, taken by one waiting thread).
bool serveUntilStopped(DevServer &server, const sigset_t &stopSignals)
{
    std::thread stopper([&server, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    const bool ok = server.listen();
    // Wake the waiting thread when the server ended by itself; the signal is
    // blocked everywhere, so only sigwait() can take it.
    ::kill(::getpid(), SIGTERM);
    stopper.join();
    return ok;
}

}  // namespace

int main(int argc, char *argv[])
{
    // Block the stop signals in every thread; one thread waits for them below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-devserver"));

    CommandLine cli;
    const std::variant<ServiceSettings, int> parsed = settingsFrom(cli, app.arguments());
    if (const int *status = std::get_if<int>(&parsed))
        return *status;
    const ServiceSettings &settings = std::get<ServiceSettings>(parsed);
    if (cli.parser.isSet(cli.dump))
        return dump(cli.parser.value(cli.dump), settings.dataDir);

    const std::optional<SigningKey> signingKey
        = orReported<SigningKeyError>([&] { return SigningKey::loadOrCreate(settings.dataDir); });
    if (!signingKey)
        return 1;
    if (cli.parser.isSet(cli.printKey)) {
        std::printf("%s\n", signingKey->publicKeyBase64().constData());
        return 0;
    }

    std::optional<SampleCatalog> catalog;
    try {
        catalog.emplace(SampleCatalog::fromFile(QStringLiteral(":/devserver/sample-catalog.json")));
    } catch (const SampleCatalogError &e) {
        std::fprintf(stderr, "vantrel-devserver: the built-in sample catalog is broken: %s\n", e.what());
        return 1;
    }
    const std::optional<std::pair<QString, int>> stage = stagedApp(cli.parser.value(cli.stage), *catalog);
    if (cli.parser.isSet(cli.stage) && !stage)
        return usageError(QStringLiteral("--stage takes ID=PERCENT, an app of the sample catalog and 0 to 100, not \"%1\"")
                              .arg(cli.parser.value(cli.stage)));

    std::optional<DevStorage> storage
        = orReported<StorageError>([&] { return DevStorage::openForWriting(settings.dataDir); });
    if (!storage)
        return 1;
    const ReleaseArchives archives(settings.releasesDir);
    const QMap<QString, QString> checksums = servedChecksums(archives, *catalog, settings);

    DevServer server(*storage, archives);
    const int boundPort = server.bind(settings.port);
    if (boundPort <= 0) {
        std::fprintf(stderr, "vantrel-devserver: cannot listen on 127.0.0.1:%d (is the port in use?)\n", settings.port);
        return 1;
    }
    const SampleCatalogs samples{*catalog, settings.kind, QDateTime::currentDateTimeUtc(), checksums, *signingKey,
                                 settings.dataDir, stage};
    if (!orReported<SigningKeyError>([&] { serveSamples(server, samples); return true; }))
        return 1;
    if (!settings.publishedDir.isEmpty())
        server.setPublishedFolder(settings.publishedDir);
    const Resigner resigner(server, samples);

    std::printf("listening on %s\n", qPrintable(server.baseUrl()));
    std::fflush(stdout);
    std::fprintf(stderr, "catalog %s, data %s, releases %s\n", qPrintable(sampleCatalogKindName(settings.kind)),
                 qPrintable(QDir(settings.dataDir).absolutePath()), qPrintable(QDir(settings.releasesDir).absolutePath()));
    return serveUntilStopped(server, stopSignals) ? 0 : 1;
}
