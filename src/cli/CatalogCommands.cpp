#include "CliCommand.h"

#include "CompiledAppProperties.h"
#include "catalog/CatalogSignature.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"
#include "catalog/ManifestPolicy.h"
#include "catalog/VersionComparison.h"
#include "errors/LauncherError.h"
#include "net/ServiceEndpoints.h"

#include <QCommandLineParser>
#include <QCoroTask>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>

namespace {

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

void printTextReport(const LauncherManifest &manifest, bool includeBeta, bool signatureVerified)
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
    out << "signature: " << (signatureVerified ? "verified" : "unchecked") << "\n";
    out.flush();
}

void printJson(const QJsonObject &object)
{
    Cli::out() << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
    Cli::out().flush();
}

void printJsonReport(const LauncherManifest &manifest, bool includeBeta, bool signatureVerified)
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
        {QStringLiteral("signature"), signatureVerified ? QStringLiteral("verified") : QStringLiteral("unchecked")},
        {QStringLiteral("apps"), apps},
    });
}

int reportFailure(bool json, const QString &message)
{
    if (json)
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

Loaded loadFromUrl(const QString &source, VantrelLocale locale, const CatalogPublicKeys &keys)
{
    const auto url = ServiceEndpoints::parseUrl(source);
    if (!url)
        return {std::nullopt, QStringLiteral("%1 is not a valid URL").arg(source)};
    QNetworkAccessManager session;
    RemoteManifestClient client(*url, &session);
    client.setPublicKeys(keys);
    const QString where = RemoteManifestClient::requestUrl(*url, locale).toString();
    try {
        return {waitForTask(client.loadManifest(locale)), {}};
    } catch (const DecodingError &e) {
        return {std::nullopt, e.localizedDescription()};
    } catch (const LauncherError &e) {
        return {std::nullopt, QStringLiteral("could not fetch %1: %2").arg(where, e.localizedDescription())};
    }
}

// A file is held to the same rule as a served catalog: with keys, signature
// must be the base64 signature of its exact bytes.
Loaded loadFromFile(const QString &source, const CatalogPublicKeys &keys, const QByteArray &signature)
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
    if (keys.isConfigured() && !keys.verify(bytes, signature)) {
        return {std::nullopt, QStringLiteral("%1: %2").arg(path, ManifestClientError(ManifestClientError::Kind::invalidSignature)
                                                                     .localizedDescription())};
    }
    try {
        return {ManifestDecoder::decode(bytes), {}};
    } catch (const DecodingError &e) {
        return {std::nullopt, e.localizedDescription()};
    }
}

int runCheck(const CliInvocation &call)
{
    if (call.positional.size() > 1)
        return call.usageError(QStringLiteral("only one SOURCE may be given"));
    const QString source = call.positional.value(0);
    if (source.isEmpty())
        return call.usageError(QStringLiteral("SOURCE is missing"));
    const bool json = call.isSet(QStringLiteral("json"));
    const bool includeBeta = !call.isSet(QStringLiteral("no-beta"));
    const bool web = isWebSource(source);

    const CatalogPublicKeys keys = call.isSet(QStringLiteral("public-keys"))
        ? CatalogPublicKeys::parse(call.parser.value(QStringLiteral("public-keys")))
        : CatalogPublicKeys::configured(CompiledAppProperties());
    if (call.isSet(QStringLiteral("public-keys")) && keys.usableKeyCount() == 0)
        return call.usageError(QStringLiteral("--public-keys takes base64 Ed25519 public keys separated by commas"));
    if (call.isSet(QStringLiteral("signature")) && (web || !keys.isConfigured()))
        return call.usageError(web ? QStringLiteral("--signature is for a file; a URL's signature comes in its header")
                                   : QStringLiteral("--signature needs --public-keys or VANTREL_CATALOG_PUBLIC_KEYS"));

    const Loaded loaded = web ? loadFromUrl(source, call.locale, keys)
                              : loadFromFile(source, keys, call.parser.value(QStringLiteral("signature")).toLatin1());
    if (!loaded.manifest)
        return reportFailure(json, loaded.error);

    if (json)
        printJsonReport(*loaded.manifest, includeBeta, keys.isConfigured());
    else
        printTextReport(*loaded.manifest, includeBeta, keys.isConfigured());
    return CliExit::ok;
}

int runCompare(const CliInvocation &call)
{
    if (call.positional.size() != 2)
        return call.usageError(QStringLiteral("expected exactly two versions"));
    Cli::out() << comparisonResultName(compareVersions(call.positional.at(0), call.positional.at(1))) << "\n";
    Cli::out().flush();
    return CliExit::ok;
}

}  // namespace

void registerCatalogCommands(CliRegistry &registry)
{
    registry.add({
        .name = QStringLiteral("check"),
        .usage = QStringLiteral("check [--no-beta] [--lang en|pl|de] [--json] [--public-keys KEYS [--signature SIG]] SOURCE"),
        .summary = QStringLiteral("Decodes a manifest (a file or an http(s) URL) and reports on every app."),
        .options = {{QStringLiteral("no-beta"), QStringLiteral("Reports with the beta preference off: beta apps hidden.")},
                    {QStringLiteral("json"), QStringLiteral("Prints the report as JSON.")},
                    {QStringLiteral("public-keys"),
                     QStringLiteral("Ed25519 public keys (base64, comma-separated) the catalog must be signed with; "
                                    "default: VANTREL_CATALOG_PUBLIC_KEYS or the built-in ones."),
                     QStringLiteral("KEYS")},
                    {QStringLiteral("signature"),
                     QStringLiteral("The base64 signature of the manifest file, as X-Vantrel-Signature would carry it."),
                     QStringLiteral("SIG")}},
        .arguments = {{QStringLiteral("SOURCE"), QStringLiteral("A manifest file, or the http(s) URL of a manifest service.")}},
        .takesLanguage = true,
        .run = runCheck,
    });
    registry.add({
        .name = QStringLiteral("compare"),
        .usage = QStringLiteral("compare A B"),
        .summary = QStringLiteral("Prints ascending, same or descending: how version A compares with B."),
        .arguments = {{QStringLiteral("A"), QStringLiteral("A version, taken as written.")},
                      {QStringLiteral("B"), QStringLiteral("The version to compare it with.")}},
        .literalArguments = true,
        .run = runCompare,
    });
}
