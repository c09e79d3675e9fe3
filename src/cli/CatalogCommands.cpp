#include "CliCommand.h"

#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"
#include "catalog/ManifestPolicy.h"
#include "catalog/VersionComparison.h"
#include "errors/LauncherError.h"
#include "net/ServiceEndpoints.h"

#include <QCoroTask>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>

namespace {

struct CheckOptions {
    bool includeBeta = true;
    bool json = false;
    VantrelLocale locale = VantrelLocale::en;
    QString source;
};

// Why a visible app has no published release; empty when it has one or when
// it is not meant to have one yet (coming soon).
QString unpublishedReason(const AppManifestItem &app)
{
    if (app.status != AppReleaseStatus::beta && app.status != AppReleaseStatus::live)
        return {};
    if (!app.downloadUrl)
        return QStringLiteral("no download URL");
    if (!app.sha256 || !ManifestPolicy::isValidSha256(*app.sha256))
        return QStringLiteral("checksum not 64 hexadecimal digits");
    if (app.version.trimmed().isEmpty())
        return QStringLiteral("blank version");
    if (!ManifestPolicy::macOSVersion(app.minMacOS))
        return QStringLiteral("minimum system version does not parse");
    return {};
}

struct AppReport {
    QString id;
    QString status;
    bool visible = false;
    bool published = false;
    bool comingSoon = false;
    QString problem;
};

QList<AppReport> appReports(const LauncherManifest &manifest, bool includeBeta)
{
    QList<AppReport> reports;
    for (const AppManifestItem &app : manifest.apps) {
        AppReport r;
        r.id = app.id;
        r.status = AppReleaseStatusUtil::rawValue(app.status);
        r.visible = ManifestPolicy::isVisible(app, includeBeta);
        r.published = ManifestPolicy::isPublished(app, includeBeta);
        // The coming-soon list does not depend on the beta preference.
        r.comingSoon = ManifestPolicy::isVisible(app, true) && app.status == AppReleaseStatus::comingSoon;
        if (r.visible && !r.published)
            r.problem = unpublishedReason(app);
        reports.append(r);
    }
    return reports;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

void printTextReport(const LauncherManifest &manifest, bool includeBeta)
{
    const QList<AppReport> reports = appReports(manifest, includeBeta);
    const CatalogLifecycle lifecycle = ManifestPolicy::catalogLifecycle(manifest, includeBeta);
    QTextStream &out = Cli::out();

    if (reports.isEmpty()) {
        out << "no apps\n";
    } else {
        qsizetype idWidth = 2;
        for (const AppReport &r : reports)
            idWidth = std::max(idWidth, Cli::printable(r.id).size());
        const QStringList header{QStringLiteral("ID").leftJustified(idWidth), QStringLiteral("STATUS    "),
                                 QStringLiteral("VISIBLE"), QStringLiteral("PUBLISHED"),
                                 QStringLiteral("COMING SOON"), QStringLiteral("PROBLEM")};
        out << header.join(QStringLiteral("  ")) << "\n";
        for (const AppReport &r : reports) {
            const QStringList row{Cli::printable(r.id).leftJustified(idWidth), r.status.leftJustified(10),
                                  yesNo(r.visible).leftJustified(7), yesNo(r.published).leftJustified(9),
                                  yesNo(r.comingSoon).leftJustified(11),
                                  r.problem.isEmpty() ? QStringLiteral("-") : r.problem};
            out << row.join(QStringLiteral("  ")) << "\n";
        }
    }
    out << "\n";
    out << "lifecycle: " << catalogLifecycleKindName(lifecycle.kind) << "\n";
    out << "featured: " << (lifecycle.featuredApp ? Cli::printable(lifecycle.featuredApp->id) : QStringLiteral("none"))
        << "\n";
    out << "announcements: " << manifest.announcements.size() << "\n";
    out.flush();
}

void printJson(const QJsonObject &object)
{
    Cli::out() << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
    Cli::out().flush();
}

void printJsonReport(const LauncherManifest &manifest, bool includeBeta)
{
    const CatalogLifecycle lifecycle = ManifestPolicy::catalogLifecycle(manifest, includeBeta);
    QJsonArray apps;
    for (const AppReport &r : appReports(manifest, includeBeta)) {
        apps.append(QJsonObject{
            {QStringLiteral("id"), r.id},
            {QStringLiteral("status"), r.status},
            {QStringLiteral("visible"), r.visible},
            {QStringLiteral("published"), r.published},
            {QStringLiteral("comingSoon"), r.comingSoon},
            {QStringLiteral("problem"), r.problem.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.problem)},
        });
    }
    printJson(QJsonObject{
        {QStringLiteral("ok"), true},
        {QStringLiteral("lifecycle"), catalogLifecycleKindName(lifecycle.kind)},
        {QStringLiteral("featured"),
         lifecycle.featuredApp ? QJsonValue(lifecycle.featuredApp->id) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("announcements"), manifest.announcements.size()},
        {QStringLiteral("apps"), apps},
    });
}

int reportFailure(const CheckOptions &options, const QString &message)
{
    if (options.json)
        printJson(QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("error"), message}});
    else
        Cli::err() << "vantrel check: " << Cli::printable(message) << Qt::endl;
    return CliExit::failure;
}

bool isWebSource(const QString &source)
{
    return source.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || source.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// The manifest, or the message of why there is none.
struct Loaded {
    std::optional<LauncherManifest> manifest;
    QString error;
};

Loaded loadFromUrl(const QString &source, VantrelLocale locale)
{
    const auto url = ServiceEndpoints::parseUrl(source);
    if (!url)
        return {std::nullopt, QStringLiteral("%1 is not a valid URL").arg(source)};
    QNetworkAccessManager session;
    RemoteManifestClient client(*url, &session);
    const QString where = RemoteManifestClient::requestUrl(*url, locale).toString();
    try {
        return {Cli::waitFor(client.loadManifest(locale)), {}};
    } catch (const DecodingError &e) {
        return {std::nullopt, e.localizedDescription()};
    } catch (const LauncherError &e) {
        return {std::nullopt, QStringLiteral("could not fetch %1: %2").arg(where, e.localizedDescription())};
    }
}

Loaded loadFromFile(const QString &source)
{
    QString path = source;
    if (source.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        path = QUrl(source).toLocalFile();
    const QFileInfo info(path);
    if (info.isDir())
        return {std::nullopt, QStringLiteral("cannot read %1: it is a directory").arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    // One byte past the limit is enough for the decoder to refuse it.
    const QByteArray bytes = file.read(ManifestDecoder::maximumDocumentSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    try {
        return {ManifestDecoder::decode(bytes), {}};
    } catch (const DecodingError &e) {
        return {std::nullopt, e.localizedDescription()};
    }
}

const CliCommand &checkCommand();

int runCheck(QStringList args)
{
    CheckOptions options;
    bool sourceSet = false;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            Cli::out() << "usage: vantrel " << checkCommand().usage << "\n" << checkCommand().summary << "\n";
            Cli::out().flush();
            return CliExit::ok;
        } else if (!optionsEnded && arg == QLatin1String("--no-beta")) {
            options.includeBeta = false;
        } else if (!optionsEnded && arg == QLatin1String("--json")) {
            options.json = true;
        } else if (!optionsEnded && (arg == QLatin1String("--lang") || arg.startsWith(QLatin1String("--lang=")))) {
            QString code;
            if (arg == QLatin1String("--lang")) {
                if (i + 1 >= args.size())
                    return Cli::usageError(checkCommand(), QStringLiteral("--lang needs a value"));
                code = args.at(++i);
            } else {
                code = arg.mid(7);
            }
            const auto locale = Cli::parseLang(code);
            if (!locale)
                return Cli::usageError(checkCommand(),
                                       QStringLiteral("unknown language \"%1\" (en, pl or de)").arg(Cli::printable(code)));
            options.locale = *locale;
        } else if (!optionsEnded && arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            return Cli::usageError(checkCommand(), QStringLiteral("unknown option %1").arg(Cli::printable(arg)));
        } else if (sourceSet) {
            return Cli::usageError(checkCommand(), QStringLiteral("only one SOURCE may be given"));
        } else {
            options.source = arg;
            sourceSet = true;
        }
    }
    if (!sourceSet || options.source.isEmpty())
        return Cli::usageError(checkCommand(), QStringLiteral("SOURCE is missing"));

    const Loaded loaded =
        isWebSource(options.source) ? loadFromUrl(options.source, options.locale) : loadFromFile(options.source);
    if (!loaded.manifest)
        return reportFailure(options, loaded.error);

    if (options.json)
        printJsonReport(*loaded.manifest, options.includeBeta);
    else
        printTextReport(*loaded.manifest, options.includeBeta);
    return CliExit::ok;
}

const CliCommand &checkCommand()
{
    static const CliCommand command{
        QStringLiteral("check"),
        QStringLiteral("check [--no-beta] [--lang en|pl|de] [--json] SOURCE"),
        QStringLiteral("Decodes a manifest (a file or an http(s) URL) and reports on every app."),
        runCheck,
    };
    return command;
}

const CliCommand &compareCommand()
{
    static const CliCommand command{
        QStringLiteral("compare"),
        QStringLiteral("compare A B"),
        QStringLiteral("Prints ascending, same or descending: how version A compares with B."),
        [](QStringList args) {
            if (args.size() != 2)
                return Cli::usageError(compareCommand(), QStringLiteral("expected exactly two versions"));
            Cli::out() << comparisonResultName(compareVersions(args.at(0), args.at(1))) << "\n";
            Cli::out().flush();
            return CliExit::ok;
        },
    };
    return command;
}

}  // namespace

void registerCatalogCommands(CliRegistry &registry)
{
    registry.add(checkCommand());
    registry.add(compareCommand());
}
