// vantrel-publish: turns an app folder into a release (the archive and its
// file list), prints the catalog fields that name it, and can set them on the
// app's record in a catalog file and sign that file with the maker's key.

#include "CatalogSigning.h"
#include "ReleasePublisher.h"
#include "SigningKey.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <cstdio>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PublishError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()).toStdString());
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw PublishError(QStringLiteral("cannot write %1").arg(path).toStdString());
}

// The last sequence signed with the key at pemPath, kept beside it; 0 when none.
qint64 lastSigned(const QString &pemPath)
{
    QFile file(pemPath + QStringLiteral(".sequence"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

// Sets the catalog's sequence and expiry, signs it into FILE.sig and says when to sign again.
void signCatalog(const QString &catalogPath, const QString &pemPath, qint64 validFor)
{
    const SigningKey key = SigningKey::load(pemPath);
    const CatalogSigning::Signed done = CatalogSigning::sign(readFile(catalogPath), key, lastSigned(pemPath),
                                                             QDateTime::currentDateTimeUtc(), validFor);
    writeFile(catalogPath, done.catalog);
    writeFile(catalogPath + QStringLiteral(".sig"), done.signature + '\n');
    writeFile(pemPath + QStringLiteral(".sequence"), QByteArray::number(done.sequence) + '\n');
    std::fprintf(stderr, "vantrel-publish: signed %s: sequence %lld, expires %s; sign it again by %s\n",
                 qPrintable(catalogPath), static_cast<long long>(done.sequence),
                 qPrintable(done.expiresAt.toString(Qt::ISODate)), qPrintable(done.signAgainBy.toString(Qt::ISODate)));
}

int usage()
{
    std::fprintf(stderr, "usage: vantrel-publish FOLDER --output DIR --name NAME.zip --base-url URL "
                         "[--catalog FILE --app ID [--rollout PERCENT] [--sign-key PEM [--valid-for DAYS]]]\n"
                         "       vantrel-publish --catalog FILE --app ID --rollout PERCENT [--sign-key PEM [--valid-for DAYS]]\n"
                         "       vantrel-publish --catalog FILE --sign-key PEM [--valid-for DAYS]\n");
    return 2;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Publishes an app folder as a release archive with its file list."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The app folder (its name becomes the archive's top folder)."));
    const QCommandLineOption outputOption(QStringLiteral("output"), QStringLiteral("Folder the release is written to."), QStringLiteral("DIR"));
    const QCommandLineOption nameOption(QStringLiteral("name"), QStringLiteral("The archive's file name (NAME.zip)."), QStringLiteral("NAME"));
    const QCommandLineOption baseOption(QStringLiteral("base-url"), QStringLiteral("Where the release's files will be served from."), QStringLiteral("URL"));
    const QCommandLineOption catalogOption(QStringLiteral("catalog"), QStringLiteral("Catalog file whose app record gets the fields."), QStringLiteral("FILE"));
    const QCommandLineOption appOption(QStringLiteral("app"), QStringLiteral("The app's id in the catalog."), QStringLiteral("ID"));
    const QCommandLineOption keyOption(QStringLiteral("sign-key"), QStringLiteral("Ed25519 key (PEM) the catalog is signed with, into FILE.sig."), QStringLiteral("PEM"));
    const QCommandLineOption validOption(QStringLiteral("valid-for"), QStringLiteral("How long the signed catalog is trusted: days, or \"36h\" (default 14)."), QStringLiteral("DAYS"), QStringLiteral("14"));
    const QCommandLineOption rolloutOption(QStringLiteral("rollout"), QStringLiteral("Offer the update to PERCENT of the installed copies (0 halts it); alone with --catalog and --app, only sets that."), QStringLiteral("PERCENT"));
    parser.addOptions({outputOption, nameOption, baseOption, catalogOption, appOption, keyOption, validOption, rolloutOption});
    parser.process(app);
    const QStringList folders = parser.positionalArguments();
    const std::optional<qint64> validFor = CatalogSigning::parseValidity(parser.value(validOption));
    // Signing again alone: the catalog as it stands gets a new sequence and expiry.
    const bool signOnly = folders.isEmpty() && parser.isSet(catalogOption) && parser.isSet(keyOption)
        && !parser.isSet(outputOption) && !parser.isSet(nameOption) && !parser.isSet(baseOption) && !parser.isSet(appOption);
    if (!validFor || (parser.isSet(validOption) && !parser.isSet(keyOption)))
        return usage();
    if (signOnly) {
        try {
            signCatalog(parser.value(catalogOption), parser.value(keyOption), *validFor);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "vantrel-publish: %s\n", e.what());
            return 1;
        }
        return 0;
    }
    // Raising or halting a rollout publishes nothing new.
    const bool rolloutOnly = parser.isSet(rolloutOption) && folders.isEmpty() && !parser.isSet(outputOption)
        && !parser.isSet(nameOption) && !parser.isSet(baseOption);
    const bool releaseFits = folders.size() == 1 && parser.isSet(outputOption) && parser.isSet(nameOption) && parser.isSet(baseOption);
    if ((!rolloutOnly && !releaseFits) || parser.isSet(catalogOption) != parser.isSet(appOption)
        || ((parser.isSet(keyOption) || parser.isSet(rolloutOption)) && !parser.isSet(catalogOption)))
        return usage();
    const QUrl base(parser.value(baseOption), QUrl::StrictMode);
    if (!rolloutOnly && (!base.isValid() || base.scheme().isEmpty())) {
        std::fprintf(stderr, "vantrel-publish: %s is not a URL\n", qPrintable(parser.value(baseOption)));
        return 2;
    }
    try {
        QJsonObject fields;
        if (!rolloutOnly) {
            const ReleasePublisher::Release release
                = ReleasePublisher::publish(folders.first(), parser.value(outputOption), parser.value(nameOption));
            fields = ReleasePublisher::catalogFields(release, base);
        }
        if (parser.isSet(rolloutOption))
            fields.insert(QStringLiteral("rolloutPercent"), ReleasePublisher::rolloutPercent(parser.value(rolloutOption)));
        if (parser.isSet(catalogOption)) {
            const QString catalogPath = parser.value(catalogOption);
            const QByteArray catalog = ReleasePublisher::updateCatalog(readFile(catalogPath), parser.value(appOption), fields);
            writeFile(catalogPath, catalog);
            if (parser.isSet(keyOption))
                signCatalog(catalogPath, parser.value(keyOption), *validFor);
        }
        std::fputs(QJsonDocument(fields).toJson(QJsonDocument::Indented).constData(), stdout);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vantrel-publish: %s\n", e.what());
        return 1;
    }
    return 0;
}
