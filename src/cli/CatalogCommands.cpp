#include "CliCommand.h"
#include "codec/EnumNames.h"

#include "CompiledAppProperties.h"
#include "catalog/CatalogSignature.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"
#include "catalog/ManifestPolicy.h"
#include "catalog/VersionComparison.h"
#include "errors/LauncherError.h"
#include "install/ArchiveDownload.h"
#include "net/ServiceEndpoints.h"

#include <QCommandLineParser>
#include <QCoroTask>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>

namespace {

// Why a visible app has no published release; empty when it has one or when
// it is not meant to have one yet (coming soon).
QString unpublishedReason(const AppManifestItem &app)
{
    if (app.status != AppReleaseStatus::beta && app.status != AppReleaseStatus::live)
        return {};
    if (!app.downloadUrl)
        return qtTrId("cliProblemNoDownloadUrl");
    if (!app.sha256 || !ManifestPolicy::isValidSha256(*app.sha256))
        return qtTrId("cliProblemChecksum");
    if (app.version.trimmed().isEmpty())
        return qtTrId("cliProblemBlankVersion");
    if (!ManifestPolicy::macOSVersion(app.minMacOS))
        return qtTrId("cliProblemMinimumVersion");
    return {};
}

// What is wrong with the record's file list keys; empty when they are
// usable or absent. The launcher then updates from the whole archive.
QString fileListProblem(const AppManifestItem &app)
{
    if (!app.fileListUrl && !app.fileListSha256)
        return {};
    if (!app.fileListUrl || !app.fileListSha256)
        return qtTrId("cliProblemFileListHalf");
    if (!app.fileListUrl->isValid()
        || !(ArchiveDownload::isAllowedRemote(*app.fileListUrl) || app.fileListUrl->scheme() == QLatin1String("file")))
        return qtTrId("cliProblemFileListUrl");
    if (!ManifestPolicy::isValidSha256(*app.fileListSha256))
        return qtTrId("cliProblemFileListChecksum");
    return {};
}

struct AppReport {
    QString id;
    QString status;
    bool visible = false;
    bool published = false;
    bool comingSoon = false;
    int rolloutPercent = 100;
    QString problem;
};

QList<AppReport> appReports(const LauncherManifest &manifest, bool includeBeta)
{
    QList<AppReport> reports;
    for (const AppManifestItem &app : manifest.apps) {
        AppReport r;
        r.id = app.id;
        r.status = EnumNames::name(app.status);
        r.visible = ManifestPolicy::isVisible(app, includeBeta);
        r.published = ManifestPolicy::isPublished(app, includeBeta);
        // The coming-soon list does not depend on the beta preference.
        r.comingSoon = ManifestPolicy::isVisible(app, true) && app.status == AppReleaseStatus::comingSoon;
        r.rolloutPercent = app.rolloutPercent;
        if (r.visible && !r.published)
            r.problem = unpublishedReason(app);
        if (const QString list = fileListProblem(app); !list.isEmpty())
            r.problem = r.problem.isEmpty() ? list : r.problem + QStringLiteral("; ") + list;
        reports.append(r);
    }
    return reports;
}

QString yesNo(bool value)
{
    return qtTrId(value ? "cliYes" : "cliNo");
}

// Rows of cells under a header, each column as wide as its widest cell.
void printTable(QTextStream &out, const QList<QStringList> &rows)
{
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    for (const QStringList &row : rows) {
        QStringList cells;
        for (qsizetype i = 0; i < row.size(); ++i)
            cells << (i + 1 < row.size() ? row[i].leftJustified(widths[i]) : row[i]);
        out << cells.join(QStringLiteral("  ")) << "\n";
    }
}

// With less than this left, check warns that the catalog must be signed again soon.
constexpr qint64 expiryWarningSeconds = 3 * 24 * 3600;

// The warning about the catalog's expiry; empty while it has time left (or has no expiry).
QString expiryWarning(const LauncherManifest &manifest)
{
    if (!manifest.expiresAt.isValid())
        return {};
    const qint64 left = QDateTime::currentDateTimeUtc().secsTo(manifest.expiresAt);
    if (left <= 0)
        return qtTrId("cliCheckExpired");
    return left < expiryWarningSeconds ? qtTrId("cliCheckExpiresSoon") : QString();
}

void printFreshness(QTextStream &out, const LauncherManifest &manifest)
{
    out << qtTrId("cliCheckSequence").arg(manifest.sequence > 0 ? QString::number(manifest.sequence) : qtTrId("cliCheckNone"))
        << "\n";
    out << qtTrId("cliCheckExpiresAt")
               .arg(manifest.expiresAt.isValid() ? manifest.expiresAt.toString(Qt::ISODate) : qtTrId("cliCheckNone"))
        << "\n";
    if (const QString warning = expiryWarning(manifest); !warning.isEmpty())
        Cli::err() << "vantrel check: " << warning << Qt::endl;
}

void printTextReport(const LauncherManifest &manifest, bool includeBeta, bool signatureVerified)
{
    const QList<AppReport> reports = appReports(manifest, includeBeta);
    const CatalogLifecycle lifecycle = ManifestPolicy::catalogLifecycle(manifest, includeBeta);
    QTextStream &out = Cli::out();

    if (reports.isEmpty()) {
        out << qtTrId("cliCheckNoApps") << "\n";
    } else {
        // The status is the catalog's own code, as in the manifest.
        QList<QStringList> rows{{qtTrId("cliCheckColumnId"), qtTrId("cliCheckColumnStatus"), qtTrId("cliCheckColumnVisible"),
                                 qtTrId("cliCheckColumnPublished"), qtTrId("cliCheckColumnComingSoon"),
                                 qtTrId("cliCheckColumnRollout"), qtTrId("cliCheckColumnProblem")}};
        for (const AppReport &r : reports) {
            rows.append({Cli::printable(r.id), r.status, yesNo(r.visible), yesNo(r.published), yesNo(r.comingSoon),
                         qtTrId("cliPercent").arg(QLocale().toString(r.rolloutPercent)),
                         r.problem.isEmpty() ? QStringLiteral("-") : r.problem});
        }
        printTable(out, rows);
    }
    // The lifecycle is a code scripts may match; the rest is worded.
    out << "\n";
    out << qtTrId("cliCheckLifecycle").arg(EnumNames::name(lifecycle.kind)) << "\n";
    out << qtTrId("cliCheckFeatured").arg(lifecycle.featuredApp ? Cli::printable(lifecycle.featuredApp->id) : qtTrId("cliCheckNone"))
        << "\n";
    out << qtTrId("cliCheckAnnouncements").arg(QLocale().toString(manifest.announcements.size())) << "\n";
    out << qtTrId("cliCheckSignature").arg(qtTrId(signatureVerified ? "cliCheckVerified" : "cliCheckUnchecked")) << "\n";
    printFreshness(out, manifest);
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
            {QStringLiteral("rolloutPercent"), r.rolloutPercent},
            {QStringLiteral("problem"), r.problem.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.problem)},
        });
    }
    printJson(QJsonObject{
        {QStringLiteral("ok"), true},
        {QStringLiteral("lifecycle"), EnumNames::name(lifecycle.kind)},
        {QStringLiteral("featured"),
         lifecycle.featuredApp ? QJsonValue(lifecycle.featuredApp->id) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("announcements"), manifest.announcements.size()},
        {QStringLiteral("signature"), signatureVerified ? QStringLiteral("verified") : QStringLiteral("unchecked")},
        {QStringLiteral("sequence"), manifest.sequence > 0 ? QJsonValue(double(manifest.sequence)) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("expiresAt"), manifest.expiresAt.isValid() ? QJsonValue(manifest.expiresAt.toString(Qt::ISODate))
                                                                   : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("expiryWarning"), !expiryWarning(manifest).isEmpty()},
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
        return {std::nullopt, qtTrId("cliInvalidUrl").arg(source)};
    QNetworkAccessManager session;
    RemoteManifestClient client(*url, &session);
    client.setPublicKeys(keys);
    const QString where = RemoteManifestClient::requestUrl(*url, locale).toString();
    try {
        return {waitForTask(client.loadManifest(locale)), {}};
    } catch (const DecodingError &e) {
        return {std::nullopt, e.localizedDescription()};
    } catch (const ManifestClientError &e) {
        if (e.kind() == ManifestClientError::Kind::invalidSignature)
            return {std::nullopt, qtTrId("errorCatalogSignature")};
        if (e.kind() == ManifestClientError::Kind::noFreshness)
            return {std::nullopt, qtTrId("errorCatalogNoFreshness")};
        const QString why = e.httpStatus() >= 0 ? qtTrId("cliHttpStatus").arg(e.httpStatus()) : qtTrId("cliNotHttp");
        return {std::nullopt, qtTrId("cliCouldNotFetch").arg(where, why)};
    } catch (const LauncherError &e) {
        return {std::nullopt, qtTrId("cliCouldNotFetch").arg(where, e.localizedDescription())};
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
        return {std::nullopt, qtTrId("cliReadDirectory").arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, qtTrId("cliCannotRead").arg(path, file.errorString())};
    // One byte past the limit is enough for the decoder to refuse it.
    const QByteArray bytes = file.read(ManifestDecoder::maximumDocumentSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, qtTrId("cliCannotRead").arg(path, file.errorString())};
    if (keys.isConfigured() && !keys.verify(bytes, signature)) {
        return {std::nullopt, QStringLiteral("%1: %2").arg(path, qtTrId("errorCatalogSignature"))};
    }
    try {
        LauncherManifest manifest = ManifestDecoder::decode(bytes);
        // Signed, it must say how fresh it is, as a served one must.
        if (keys.isConfigured() && (manifest.sequence <= 0 || !manifest.expiresAt.isValid()))
            return {std::nullopt, QStringLiteral("%1: %2").arg(path, qtTrId("errorCatalogNoFreshness"))};
        return {manifest, {}};
    } catch (const DecodingError &e) {
        return {std::nullopt, e.localizedDescription()};
    }
}

int runCheck(const CliInvocation &call)
{
    if (call.positional.size() > 1)
        return call.usageError(qtTrId("cliOneSource"));
    const QString source = call.positional.value(0);
    if (source.isEmpty())
        return call.usageError(qtTrId("cliSourceMissing"));
    const bool json = call.isSet(QStringLiteral("json"));
    const bool includeBeta = !call.isSet(QStringLiteral("no-beta"));
    const bool web = isWebSource(source);

    const CatalogPublicKeys keys = call.isSet(QStringLiteral("public-keys"))
        ? CatalogPublicKeys::parse(call.parser.value(QStringLiteral("public-keys")))
        : CatalogPublicKeys::configured(CompiledAppProperties());
    if (call.isSet(QStringLiteral("public-keys")) && keys.usableKeyCount() == 0)
        return call.usageError(qtTrId("cliPublicKeysFormat"));
    if (call.isSet(QStringLiteral("signature")) && (web || !keys.isConfigured()))
        return call.usageError(qtTrId(web ? "cliSignatureForFile" : "cliSignatureNeedsKeys"));

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
        return call.usageError(qtTrId("cliTwoVersions"));
    // ascending, same or descending: a result scripts match, the same in every language.
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
        .summaryId = QT_TRID_NOOP("cliCheckSummary"),
        .options = {{QStringLiteral("no-beta"), QT_TRID_NOOP("cliCheckNoBetaOption")},
                    {QStringLiteral("json"), QT_TRID_NOOP("cliCheckJsonOption")},
                    {QStringLiteral("public-keys"), QT_TRID_NOOP("cliCheckPublicKeysOption"), QStringLiteral("KEYS")},
                    {QStringLiteral("signature"), QT_TRID_NOOP("cliCheckSignatureOption"), QStringLiteral("SIG")}},
        .arguments = {{QStringLiteral("SOURCE"), QT_TRID_NOOP("cliCheckSourceArgument")}},
        .takesLanguage = true,
        .run = runCheck,
    });
    registry.add({
        .name = QStringLiteral("compare"),
        .usage = QStringLiteral("compare A B"),
        .summaryId = QT_TRID_NOOP("cliCompareSummary"),
        .arguments = {{QStringLiteral("A"), QT_TRID_NOOP("cliCompareFirstArgument")},
                      {QStringLiteral("B"), QT_TRID_NOOP("cliCompareSecondArgument")}},
        .literalArguments = true,
        .run = runCompare,
    });
}
