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

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Local stand-in for the launcher service, the feedback service and the error-report endpoint."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (0: any free port)."),
                                        QStringLiteral("N"), QStringLiteral("8787"));
    const QCommandLineOption dataOption(QStringLiteral("data"), QStringLiteral("Folder of the SQLite data."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption catalogOption(QStringLiteral("catalog"), QStringLiteral("Sample catalog: first or multi."),
                                           QStringLiteral("NAME"), QStringLiteral("multi"));
    const QCommandLineOption releasesOption(QStringLiteral("releases"), QStringLiteral("Folder of the release archives."),
                                            QStringLiteral("DIR"));
    const QCommandLineOption publishedOption(
        QStringLiteral("published"),
        QStringLiteral("A release folder written by vantrel-publish: its signed catalog.json and archives are served "
                       "as the maker's host would, instead of the sample catalog."),
        QStringLiteral("DIR"));
    const QCommandLineOption dumpOption(QStringLiteral("dump"),
                                        QStringLiteral("Print what was stored (feedback, events or errors) and exit."),
                                        QStringLiteral("WHAT"));
    const QCommandLineOption printKeyOption(QStringLiteral("print-public-key"),
                                            QStringLiteral("Print the public key the catalogs are signed with and exit."));
    const QCommandLineOption stageOption(QStringLiteral("stage"),
                                         QStringLiteral("Offer the update of app ID to PERCENT of the installed copies only (0 to 100)."),
                                         QStringLiteral("ID=PERCENT"));
    parser.addOptions({portOption, dataOption, catalogOption, releasesOption, publishedOption, dumpOption, printKeyOption, stageOption});
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    const QString dataDir = parser.isSet(dataOption)
        ? parser.value(dataOption)
        : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dataDir.isEmpty())
        return usageError(QStringLiteral("no data folder: pass --data DIR"));
    if (parser.isSet(dumpOption))
        return dump(parser.value(dumpOption), dataDir);

    std::optional<SigningKey> signingKey;
    try {
        signingKey.emplace(SigningKey::loadOrCreate(dataDir));
    } catch (const SigningKeyError &e) {
        std::fprintf(stderr, "vantrel-devserver: %s\n", e.what());
        return 1;
    }
    if (parser.isSet(printKeyOption)) {
        std::printf("%s\n", signingKey->publicKeyBase64().constData());
        return 0;
    }

    bool portOk = false;
    const int port = parser.value(portOption).toInt(&portOk);
    if (!portOk || port < 0 || port > 65535)
        return usageError(QStringLiteral("--port needs a number from 0 to 65535"));
    const auto kind = sampleCatalogKindFromName(parser.value(catalogOption));
    if (!kind)
        return usageError(QStringLiteral("--catalog takes first or multi, not \"%1\"").arg(parser.value(catalogOption)));
    const QString publishedDir = parser.value(publishedOption);
    const QString releasesDir = !publishedDir.isEmpty() ? publishedDir
        : parser.isSet(releasesOption)                  ? parser.value(releasesOption)
                                                        : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("releases"));

    std::optional<SampleCatalog> catalog;
    try {
        catalog.emplace(SampleCatalog::fromFile(QStringLiteral(":/devserver/sample-catalog.json")));
    } catch (const SampleCatalogError &e) {
        std::fprintf(stderr, "vantrel-devserver: the built-in sample catalog is broken: %s\n", e.what());
        return 1;
    }

    const std::optional<std::pair<QString, int>> stage = stagedApp(parser.value(stageOption), *catalog);
    if (parser.isSet(stageOption) && !stage)
        return usageError(QStringLiteral("--stage takes ID=PERCENT, an app of the sample catalog and 0 to 100, not \"%1\"")
                              .arg(parser.value(stageOption)));

    std::optional<DevStorage> storage;
    try {
        storage.emplace(DevStorage::openForWriting(dataDir));
    } catch (const StorageError &e) {
        std::fprintf(stderr, "vantrel-devserver: %s\n", e.what());
        return 1;
    }

    // Checksums come from the archives actually served, computed once at start.
    const ReleaseArchives archives(releasesDir);
    QStringList names;
    for (const SampleArchive &archive : catalog->archives())
        names.append(archive.fileName);
    QStringList missing;
    QMap<QString, QString> checksums = archives.checksums(names, &missing);
    QStringList lists;
    for (const QString &name : names)
        lists.append(name + QStringLiteral(".files"));
    // A release without its list is still offered whole.
    checksums.insert(archives.checksums(lists));
    for (const QString &name : publishedDir.isEmpty() ? missing : QStringList())
        std::fprintf(stderr, "vantrel-devserver: warning: %s is missing from %s; listed without a checksum\n",
                     qPrintable(name), qPrintable(releasesDir));

    DevServer server(*storage, archives);
    const int boundPort = server.bind(port);
    if (boundPort <= 0) {
        std::fprintf(stderr, "vantrel-devserver: cannot listen on 127.0.0.1:%d (is the port in use?)\n", port);
        return 1;
    }

    const SampleCatalogs samples{*catalog, *kind, QDateTime::currentDateTimeUtc(), checksums, *signingKey, dataDir, stage};
    try {
        serveSamples(server, samples);
    } catch (const SigningKeyError &e) {
        std::fprintf(stderr, "vantrel-devserver: %s\n", e.what());
        return 1;
    }
    if (!publishedDir.isEmpty())
        server.setPublishedFolder(publishedDir);
    const Resigner resigner(server, samples);

    std::printf("listening on %s\n", qPrintable(server.baseUrl()));
    std::fflush(stdout);
    std::fprintf(stderr, "catalog %s, data %s, releases %s\n", qPrintable(sampleCatalogKindName(*kind)),
                 qPrintable(QDir(dataDir).absolutePath()), qPrintable(QDir(releasesDir).absolutePath()));

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
    return ok ? 0 : 1;
}
