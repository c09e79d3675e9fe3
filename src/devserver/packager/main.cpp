// vantrel-release-packager: builds the sample release archives at build time,
// one per app and version of the sample catalog, each a bundle around the
// demo program with the app's tile as its icon.

#include "BundleZip.h"
#include "SampleCatalog.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

namespace {

// The icon font's family once loaded; empty without one (the icons then carry a ring).
QString loadedFamily(const QString &fontFile)
{
    if (fontFile.isEmpty())
        return {};
    const int id = QFontDatabase::addApplicationFont(fontFile);
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    if (families.isEmpty())
        throw PackagingError(QStringLiteral("cannot load the font %1").arg(fontFile).toStdString());
    return families.first();
}

}  // namespace

int main(int argc, char *argv[])
{
    // Fonts need a GUI application; no display is needed to draw into images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Packages the sample release archives."));
    parser.addHelpOption();
    const QCommandLineOption catalogOption(QStringLiteral("catalog"), QStringLiteral("Sample catalog source."), QStringLiteral("FILE"));
    const QCommandLineOption programOption(QStringLiteral("program"), QStringLiteral("Program put into every bundle."), QStringLiteral("FILE"));
    const QCommandLineOption outputOption(QStringLiteral("output"), QStringLiteral("Folder for the archives."), QStringLiteral("DIR"));
    const QCommandLineOption stampOption(QStringLiteral("stamp"), QStringLiteral("File listing what was written."), QStringLiteral("FILE"));
    const QCommandLineOption fontOption(QStringLiteral("font"), QStringLiteral("Icon font for the apps' symbols."), QStringLiteral("FILE"));
    parser.addOptions({catalogOption, programOption, outputOption, stampOption, fontOption});
    parser.process(app);
    if (!parser.isSet(catalogOption) || !parser.isSet(programOption) || !parser.isSet(outputOption)) {
        std::fprintf(stderr, "usage: vantrel-release-packager --catalog FILE --program FILE --output DIR [--stamp FILE] [--font FILE]\n");
        return 2;
    }

    try {
        const SampleCatalog catalog = SampleCatalog::fromFile(parser.value(catalogOption));
        const QDir output(parser.value(outputOption));
        if (!QDir().mkpath(output.absolutePath())) {
            std::fprintf(stderr, "vantrel-release-packager: cannot create %s\n", qPrintable(output.absolutePath()));
            return 1;
        }
        const QString symbolFont = loadedFamily(parser.value(fontOption));
        QByteArray written;
        for (const SampleArchive &archive : catalog.archives()) {
            BundleZip::write(archive, parser.value(programOption), output.filePath(archive.fileName), symbolFont);
            written += archive.fileName.toUtf8() + '\n';
        }
        if (parser.isSet(stampOption)) {
            QSaveFile stamp(parser.value(stampOption));
            if (!stamp.open(QIODevice::WriteOnly) || stamp.write(written) != written.size() || !stamp.commit()) {
                std::fprintf(stderr, "vantrel-release-packager: cannot write %s\n", qPrintable(parser.value(stampOption)));
                return 1;
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vantrel-release-packager: %s\n", e.what());
        return 1;
    }
    return 0;
}
