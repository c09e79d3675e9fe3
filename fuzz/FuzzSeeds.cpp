// Writes the fuzzers' seed inputs: vantrel-fuzz-seeds OUTDIR creates
// OUTDIR/<target>/<n> files, small valid and near-valid inputs of each kind.
#include "ZipBuilder.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QList<QByteArray> zipSeeds()
{
    QList<QByteArray> seeds{
        ZipBuilder().addBundle(QStringLiteral("Seed.app"), QStringLiteral("com.example.seed"))
            .addSymlink(QStringLiteral("Seed.app/Contents/Current"), QStringLiteral("MacOS")).build(),
        ZipBuilder().setStored(true).addFile(QStringLiteral("Seed.app/Contents/Info.plist"), "<plist/>").build(),
        ZipBuilder().setStored(true).addDirectory(QStringLiteral("d")).addFile(QStringLiteral("d"), "twice").build(),
        ZipBuilder().addFile(QStringLiteral("big.bin"), QByteArray(200000, '\0')).build(),
        ZipBuilder().addFile(QStringLiteral("a/text.txt"), QByteArray("inflated whole ").repeated(300)).addFile(QStringLiteral("a/empty"), {}).build(),
    };
    for (const QString &kind : ZipBuilder::hostileKinds())
        seeds << ZipBuilder::hostile(kind, QStringLiteral("com.example.seed"), QStringLiteral("/tmp/outside"), QStringLiteral("../../outside")).setStored(true).build();
    return seeds;
}

QList<QByteArray> manifestSeeds()
{
    return {
        R"({"generatedAt":"2026-05-03T00:00:00Z","apps":[]})",
        R"({"generatedAt":"2026-05-03T02:00:00+02:00","apps":[{"id":"a","name":"A","tagline":"t","category":"c",)"
        R"("bundleId":"com.example.a","version":"1.2.0","minMacOS":"14","status":"live",)"
        R"("downloadUrl":"https://example.com/a.zip","sha256":")"
        "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"
        R"(","sparkleFeedUrl":null,"symbolName":"star","iconUrl":"https://example.com/a.png","accent":"lime",)"
        R"("tags":["x","y"],"description":"d","privacyNote":"p","releaseNotes":[{"version":"1.2.0","date":"May 2026","text":"n"}]}],)"
        R"("announcements":[{"id":"n1","appId":"a","appName":"A","kind":"release","title":"T","body":"B",)"
        R"("version":"1.2.0","publishedAt":"2026-05-03T00:00:00Z"}]})",
        R"({"generatedAt":"2026-05-03T00:00:00.5Z","apps":[]})",
        R"({"generatedAt":"2026-05-03T00:00:00Z","apps":[{"status":"Live"}],"announcements":null})",
        R"([[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]])",
    };
}

QList<QByteArray> installStateSeeds()
{
    return {
        R"({"notInstalled":{}})",
        R"({"installing":{"progress":0.04}})",
        R"({"installed":{"version":"1.2.0"}})",
        R"({"updateAvailable":{"installedVersion":"1.0","latestVersion":"1.1"}})",
        R"({"failed":{"message":"Could not install A."}})",
        R"({"installed":{"version":"1"},"failed":{"message":"m"}})",
        R"({"installed":{"_0":"1"}})",
    };
}

QList<QByteArray> feedbackSeeds()
{
    return {
        R"({"ok":true,"issue":{"id":"i1","identifier":"FB-1","url":"https://example.com/i/1"},"message":"thanks"})",
        R"({"ok":false,"issue":{"id":"i2"}})",
        R"({"error":"invalid","message":"Title is required."})",
        R"({"error":"  ","message":""})",
        R"(<html>500</html>)",
    };
}

QList<QByteArray> versionSeeds()
{
    return {
        QByteArray("\x05" "1.2.0" "1.10", 10),
        "1.0.0-beta.2\x0c" "1.0.0-beta.11" "1.0.0",
        "2.0-rc1\x05" "2.0.0" "2",
        "1.0-alpha\x08" "1.0-ALPHA" "1.0-\xc3\xa9",
        "99999999999999999999.1\x03" "0.1" "9223372036854775807",
    };
}

QList<QByteArray> treeSeeds()
{
    return {
        "vantrel-bundle-tree 1\nd 755 Contents\nf 644 0 00000000 Contents/Info.plist\nl Contents/Current ..\n",
        "vantrel-bundle-tree 1\nd 700 A%20B\nf 755 12 0badf00d A%20B/%C3%A9\n",
        "vantrel-bundle-tree 1\nl x ../y\n",
        "vantrel-bundle-tree 1\n",
    };
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const std::pair<const char *, QList<QByteArray>> targets[] = {
        {"fuzz_zip_extract", zipSeeds()}, {"fuzz_manifest_decoder", manifestSeeds()}, {"fuzz_install_state", installStateSeeds()},
        {"fuzz_feedback_response", feedbackSeeds()}, {"fuzz_version_compare", versionSeeds()},
        {"fuzz_bundle_tree", treeSeeds()}};
    for (const auto &[target, seeds] : targets) {
        const QString dir = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + QLatin1String(target);
        QDir().mkpath(dir);
        for (qsizetype i = 0; i < seeds.size(); ++i) {
            QFile file(dir + QStringLiteral("/seed-%1").arg(i));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(seeds[i]) != seeds[i].size()) {
                std::fprintf(stderr, "vantrel-fuzz-seeds: could not write to %s\n", argv[1]);
                return 1;
            }
        }
    }
    return 0;
}
