// The development service through real HTTP: manifests, archives, feedback,
// events and error reports, against the built vantrel-devserver.

#include "DevServerHarness.h"

#include "catalog/ManifestDecoder.h"
#include "catalog/ManifestPolicy.h"
#include "catalog/VersionComparison.h"
#include "errors/LauncherError.h"

#include <QDateTime>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <archive.h>
#include <archive_entry.h>

using namespace DevHarness;

namespace {

struct ZipEntry {
    QString path;
    int mode = 0;
    bool isDirectory = false;
    QByteArray data;
};

QList<ZipEntry> readZip(const QByteArray &bytes, QString *error)
{
    QList<ZipEntry> entries;
    struct archive *a = archive_read_new();
    archive_read_support_format_zip(a);
    if (archive_read_open_memory(a, bytes.constData(), size_t(bytes.size())) != ARCHIVE_OK) {
        *error = QString::fromUtf8(archive_error_string(a));
        archive_read_free(a);
        return entries;
    }
    struct archive_entry *entry = nullptr;
    int rc = ARCHIVE_OK;
    while ((rc = archive_read_next_header(a, &entry)) == ARCHIVE_OK) {
        ZipEntry e;
        e.path = QString::fromUtf8(archive_entry_pathname(entry));
        e.mode = int(archive_entry_perm(entry));
        e.isDirectory = archive_entry_filetype(entry) == AE_IFDIR;
        char buffer[65536];
        la_ssize_t n = 0;
        while ((n = archive_read_data(a, buffer, sizeof buffer)) > 0)
            e.data.append(buffer, int(n));
        if (n < 0) {
            *error = QString::fromUtf8(archive_error_string(a));
            break;
        }
        entries.append(e);
    }
    if (rc != ARCHIVE_EOF && error->isEmpty())
        *error = QString::fromUtf8(archive_error_string(a));
    archive_read_free(a);
    return entries;
}

// <key>KEY</key><string>VALUE</string> of an XML property list.
QString plistString(const QByteArray &plist, const QString &key)
{
    const QRegularExpression pattern(QStringLiteral("<key>%1</key>\\s*<string>([^<]*)</string>")
                                         .arg(QRegularExpression::escape(key)));
    return pattern.match(QString::fromUtf8(plist)).captured(1);
}

QByteArray feedbackBody(const QJsonObject &overrides, const QStringList &remove = {})
{
    QJsonObject body{{QStringLiteral("clientRequestId"), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()},
                     {QStringLiteral("type"), QStringLiteral("bug")},
                     {QStringLiteral("title"), QStringLiteral("Install button does nothing")},
                     {QStringLiteral("description"), QStringLiteral("Clicking Install on Tempo shows no progress.")},
                     {QStringLiteral("appId"), QStringLiteral("tempo")},
                     {QStringLiteral("diagnostics"), QJsonObject{{QStringLiteral("locale"), QStringLiteral("en")},
                                                                 {QStringLiteral("visibleAppCount"), 4}}}};
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        body.insert(it.key(), it.value());
    for (const QString &key : remove)
        body.remove(key);
    return QJsonDocument(body).toJson();
}

QByteArray sentryAuth(const QByteArray &key)
{
    return "Sentry sentry_version=7, sentry_client=vantrel-launcher/0.1.0, sentry_key=" + key;
}

qint64 peakMemoryKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

}  // namespace

class DevServerTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_multiData;
    QTemporaryDir m_firstData;
    DevServer m_multi;
    DevServer m_first;
    QDateTime m_startedBefore;
    int m_acceptedFeedback = 0;

    DevServer &server(const QString &catalog) { return catalog == QLatin1String("first") ? m_first : m_multi; }

    LauncherManifest fetchManifest(DevServer &server, const QString &query, QByteArray *raw = nullptr)
    {
        const HttpResult result = get(server.url(QStringLiteral("/api/launcher/manifest") + query));
        if (result.status != 200)
            throw std::runtime_error("manifest status " + std::to_string(result.status));
        if (raw)
            *raw = result.body;
        return ManifestDecoder::decode(result.body);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(QFileInfo(devserverPath()).isExecutable(), qPrintable(devserverPath()));
        QVERIFY(m_multiData.isValid() && m_firstData.isValid());
        m_startedBefore = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
        QVERIFY2(m_multi.start(m_multiData.path()), qPrintable(m_multi.error()));
        QVERIFY2(m_first.start(m_firstData.path(), {QStringLiteral("--catalog"), QStringLiteral("first")}),
                 qPrintable(m_first.error()));
    }

    void manifestInEachLanguage_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("category");  // the first app's category in the language served
        QTest::addColumn<QString>("releaseDate");

        QTest::newRow("multi en") << "multi" << "?lang=en" << "Productivity" << "June 2026";
        QTest::newRow("multi pl") << "multi" << "?lang=pl" << "Produktywność" << "czerwiec 2026";
        QTest::newRow("multi de") << "multi" << "?lang=de" << "Produktivität" << "Juni 2026";
        QTest::newRow("multi unknown language") << "multi" << "?lang=fr" << "Productivity" << "June 2026";
        QTest::newRow("multi region code") << "multi" << "?lang=de-DE" << "Productivity" << "June 2026";
        QTest::newRow("multi no language") << "multi" << "" << "Productivity" << "June 2026";
        QTest::newRow("first en") << "first" << "?lang=en" << "Productivity" << "May 2026";
        QTest::newRow("first pl") << "first" << "?lang=pl" << "Produktywność" << "maj 2026";
        QTest::newRow("first de") << "first" << "?lang=de" << "Produktivität" << "Mai 2026";
    }

    void manifestInEachLanguage()
    {
        QFETCH(QString, catalog);
        QFETCH(QString, query);
        QFETCH(QString, category);
        QFETCH(QString, releaseDate);
        DevServer &s = server(catalog);

        const HttpResult result = get(s.url(QStringLiteral("/api/launcher/manifest") + query));
        QCOMPARE(result.status, 200);
        QVERIFY(result.headers.value("content-type").startsWith("application/json"));

        LauncherManifest manifest;
        try {
            manifest = ManifestDecoder::decode(result.body);
        } catch (const LauncherError &e) {
            QFAIL(qPrintable(e.localizedDescription()));
        }
        QVERIFY(!manifest.apps.isEmpty());
        QCOMPARE(manifest.apps.first().category, category);
        QVERIFY(!manifest.apps.first().releaseNotes.isEmpty());
        QCOMPARE(manifest.apps.first().releaseNotes.first().date, releaseDate);
        QCOMPARE(manifest.announcements.size(), 2);

        // The start time of the service, to the second.
        const QString generatedAt = result.json().value(QStringLiteral("generatedAt")).toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$")).match(generatedAt).hasMatch(),
                 qPrintable(generatedAt));
        QVERIFY(manifest.generatedAt >= m_startedBefore);
        QVERIFY(manifest.generatedAt <= QDateTime::currentDateTimeUtc());

        // Every archive comes from this very service.
        for (const AppManifestItem &app : manifest.apps) {
            if (!app.downloadUrl)
                continue;
            QCOMPARE(app.downloadUrl->scheme(), QStringLiteral("http"));
            QCOMPARE(app.downloadUrl->host(), QStringLiteral("127.0.0.1"));
            QCOMPARE(app.downloadUrl->port(), s.port());
            QVERIFY2(app.downloadUrl->path().startsWith(QStringLiteral("/releases/")), qPrintable(app.downloadUrl->path()));
        }
    }

    void languagesDifferOnlyInTexts()
    {
        const LauncherManifest en = fetchManifest(m_multi, QStringLiteral("?lang=en"));
        const LauncherManifest pl = fetchManifest(m_multi, QStringLiteral("?lang=pl"));
        QCOMPARE(pl.apps.size(), en.apps.size());
        QCOMPARE(pl.generatedAt, en.generatedAt);
        for (int i = 0; i < en.apps.size(); ++i) {
            QCOMPARE(pl.apps[i].id, en.apps[i].id);
            QCOMPARE(pl.apps[i].version, en.apps[i].version);
            QCOMPARE(pl.apps[i].sha256, en.apps[i].sha256);
            QCOMPARE(pl.apps[i].downloadUrl, en.apps[i].downloadUrl);
            QVERIFY2(pl.apps[i].description != en.apps[i].description, qPrintable(en.apps[i].id));
            QVERIFY(pl.apps[i].tagline != en.apps[i].tagline);
            QVERIFY(pl.apps[i].privacyNote != en.apps[i].privacyNote);
        }
        for (int i = 0; i < en.announcements.size(); ++i) {
            QCOMPARE(pl.announcements[i].id, en.announcements[i].id);
            QVERIFY(pl.announcements[i].body != en.announcements[i].body);
        }
    }

    void classificationReportedByTheTool_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<bool>("noBeta");
        QTest::addColumn<QString>("lifecycle");
        QTest::addColumn<QStringList>("published");
        QTest::addColumn<QStringList>("visible");

        QTest::newRow("multi") << "multi" << false << "multiAppCatalog"
                               << QStringList{"inkwell", "tempo", "swatch"}
                               << QStringList{"inkwell", "tempo", "swatch", "murmur", "glimmer"};
        QTest::newRow("multi without beta") << "multi" << true << "multiAppCatalog"
                                            << QStringList{"inkwell", "tempo"}
                                            << QStringList{"inkwell", "tempo", "murmur", "glimmer"};
        QTest::newRow("first") << "first" << false << "firstPublishedApp" << QStringList{"inkwell"}
                               << QStringList{"inkwell", "murmur", "glimmer"};
        QTest::newRow("first without beta") << "first" << true << "firstPublishedApp" << QStringList{"inkwell"}
                                            << QStringList{"inkwell", "murmur", "glimmer"};
    }

    void classificationReportedByTheTool()
    {
        QFETCH(QString, catalog);
        QFETCH(bool, noBeta);
        QFETCH(QString, lifecycle);
        QFETCH(QStringList, published);
        QFETCH(QStringList, visible);
        QVERIFY2(QFileInfo(vantrelPath()).isExecutable(), qPrintable(vantrelPath()));

        QStringList args{QStringLiteral("check"), QStringLiteral("--json")};
        if (noBeta)
            args << QStringLiteral("--no-beta");
        args << server(catalog).url(QStringLiteral("/api/launcher/manifest")).toString();
        const ToolRun run = runTool(vantrelPath(), args);
        QVERIFY2(run.finished && run.exitCode == 0, run.err.constData());

        const QJsonObject report = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(report.value(QStringLiteral("ok")).toBool(), true);
        QCOMPARE(report.value(QStringLiteral("lifecycle")).toString(), lifecycle);
        QCOMPARE(report.value(QStringLiteral("featured")).toString(), QStringLiteral("inkwell"));
        QCOMPARE(report.value(QStringLiteral("announcements")).toInt(), 2);

        QStringList seenPublished, seenVisible;
        for (const QJsonValue &value : report.value(QStringLiteral("apps")).toArray()) {
            const QJsonObject app = value.toObject();
            const QString id = app.value(QStringLiteral("id")).toString();
            if (app.value(QStringLiteral("published")).toBool())
                seenPublished << id;
            if (app.value(QStringLiteral("visible")).toBool())
                seenVisible << id;
            if (id == QLatin1String("glimmer"))
                QCOMPARE(app.value(QStringLiteral("problem")).toString(), QStringLiteral("checksum not 64 hexadecimal digits"));
            if (id == QLatin1String("murmur"))
                QVERIFY(app.value(QStringLiteral("comingSoon")).toBool());
        }
        QCOMPARE(seenPublished, published);
        QCOMPARE(seenVisible, visible);
    }

    void catalogsCarryWhatTheLauncherShows()
    {
        const LauncherManifest multi = fetchManifest(m_multi, QStringLiteral("?lang=en"));
        const LauncherManifest first = fetchManifest(m_first, QStringLiteral("?lang=en"));

        // One of every status, a beta that installs, a retired app with complete data.
        QSet<AppReleaseStatus> statuses;
        for (const AppManifestItem &app : multi.apps)
            statuses.insert(app.status);
        QCOMPARE(statuses.size(), 4);
        const AppManifestItem *beta = multi.findApp(QStringLiteral("swatch"));
        QVERIFY(beta && beta->status == AppReleaseStatus::beta && ManifestPolicy::hasPublishedRelease(*beta));
        const AppManifestItem *retired = multi.findApp(QStringLiteral("shutter"));
        QVERIFY(retired && retired->status == AppReleaseStatus::retired);
        QVERIFY(!ManifestPolicy::isVisible(*retired, true));

        // Live apps with complete release data: tags, notes; two share a category.
        QMap<QString, int> categories;
        int complete = 0;
        for (const AppManifestItem &app : ManifestPolicy::publishedApps(multi, false)) {
            QVERIFY(!app.tags.isEmpty());
            QVERIFY(!app.releaseNotes.isEmpty());
            QCOMPARE(app.releaseNotes.first().version, app.version);
            ++categories[app.category];
            ++complete;
        }
        QVERIFY(complete >= 2);
        QVERIFY(std::any_of(categories.begin(), categories.end(), [](int n) { return n >= 2; }));

        // One public update feed and one on a .local host.
        QStringList feedHosts;
        for (const AppManifestItem &app : multi.apps) {
            if (app.sparkleFeedUrl)
                feedHosts << app.sparkleFeedUrl->host();
        }
        QCOMPARE(feedHosts.size(), 2);
        QCOMPARE(std::count_if(feedHosts.begin(), feedHosts.end(), [](const QString &h) { return h.endsWith(QLatin1String(".local")); }), 1);

        // Two announcements, one about a version and one not.
        QCOMPARE(multi.announcements.size(), 2);
        QVERIFY(multi.announcements[0].version.has_value() != multi.announcements[1].version.has_value());

        // Switching from first to multi shows an update of the one app first publishes.
        const auto firstPublished = ManifestPolicy::publishedApps(first, true);
        QCOMPARE(firstPublished.size(), 1);
        const AppManifestItem *newer = multi.findApp(firstPublished.first().id);
        QVERIFY(newer);
        QCOMPARE(compareVersions(firstPublished.first().version, newer->version), ComparisonResult::orderedAscending);
        QCOMPARE(newer->bundleId, firstPublished.first().bundleId);
    }

    void archivesMatchTheirManifest_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::newRow("multi") << "multi";
        QTest::newRow("first") << "first";
    }

    void archivesMatchTheirManifest()
    {
        QFETCH(QString, catalog);
        const LauncherManifest manifest = fetchManifest(server(catalog), QStringLiteral("?lang=en"));
        int checked = 0;
        for (const AppManifestItem &app : manifest.apps) {
            if (!app.downloadUrl)
                continue;
            const HttpResult archive = get(*app.downloadUrl);
            QCOMPARE(archive.status, 200);
            QCOMPARE(archive.headers.value("content-length").toLongLong(), archive.body.size());
            const QString actual = sha256Hex(archive.body);
            QVERIFY(app.sha256.has_value());
            if (ManifestPolicy::isValidSha256(*app.sha256)) {
                QCOMPARE(app.sha256->toLower(), actual);
            } else {
                // The deliberately broken checksum is a damaged copy of the real one.
                QVERIFY2(actual.startsWith(app.sha256->toLower()), qPrintable(app.id));
                QCOMPARE(app.id, QStringLiteral("glimmer"));
            }

            // A bundle named after the app, with the identity the catalog promises.
            QString error;
            const QList<ZipEntry> entries = readZip(archive.body, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            const QString root = app.name + QStringLiteral(".app/Contents/");
            const auto find = [&entries](const QString &path) -> const ZipEntry * {
                for (const ZipEntry &e : entries) {
                    if (e.path == path)
                        return &e;
                }
                return nullptr;
            };
            const ZipEntry *plist = find(root + QStringLiteral("Info.plist"));
            QVERIFY2(plist, qPrintable(app.id));
            QCOMPARE(plistString(plist->data, QStringLiteral("CFBundleIdentifier")), app.bundleId);
            QCOMPARE(plistString(plist->data, QStringLiteral("CFBundleShortVersionString")), app.version);
            QCOMPARE(plistString(plist->data, QStringLiteral("CFBundleName")), app.name);
            const QString executable = plistString(plist->data, QStringLiteral("CFBundleExecutable"));
            QVERIFY(!executable.isEmpty());
            const ZipEntry *program = find(root + QStringLiteral("MacOS/") + executable);
            QVERIFY2(program, qPrintable(executable));
            QCOMPARE(program->mode & 0111, 0111);
            QVERIFY(program->data.startsWith("\x7f" "ELF") || program->data.startsWith("\xcf\xfa\xed\xfe"));
            for (const ZipEntry &e : entries)
                QVERIFY2(e.path.startsWith(app.name + QStringLiteral(".app/")), qPrintable(e.path));
            ++checked;
        }
        QVERIFY(checked >= (catalog == QLatin1String("multi") ? 5 : 3));
    }

    void releaseNamesOutsideTheFolderAreRefused_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("encoded parent") << "/releases/..%2Fsecret.zip";
        QTest::newRow("double encoded parent") << "/releases/%2E%2E%2Fsecret.zip";
        QTest::newRow("parent in name") << "/releases/..secret.zip";
        QTest::newRow("hidden file") << "/releases/.hidden.zip";
        QTest::newRow("not an archive") << "/releases/notes.txt";
        QTest::newRow("missing") << "/releases/nothing-1.0.zip";
        QTest::newRow("sub folder") << "/releases/sub/inner.zip";
    }

    void releaseNamesOutsideTheFolderAreRefused()
    {
        QFETCH(QString, path);
        // One folder of releases beside a file that must stay out of reach.
        static QTemporaryDir root;
        static QTemporaryDir data;
        static DevServer s;
        if (!s.process()) {
            QVERIFY(QDir(root.path()).mkpath(QStringLiteral("releases/sub")));
            for (const char *name : {"secret.zip", "releases/.hidden.zip", "releases/notes.txt", "releases/sub/inner.zip",
                                     "releases/..secret.zip", "releases/fine.zip"}) {
                QFile f(root.filePath(QLatin1String(name)));
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write("secret") == 6);
            }
            QVERIFY2(s.start(data.path(), {QStringLiteral("--releases"), root.filePath(QStringLiteral("releases"))}),
                     qPrintable(s.error()));
        }
        // The same folder serves a plain archive name.
        const HttpResult fine = get(s.url(QStringLiteral("/releases/fine.zip")));
        QCOMPARE(fine.status, 200);
        QCOMPARE(fine.body, QByteArray("secret"));

        const HttpResult refused = get(QUrl(s.baseUrl().toString() + path, QUrl::TolerantMode));
        QVERIFY2(refused.status == 400 || refused.status == 404, qPrintable(QString::number(refused.status)));
        QVERIFY(!refused.body.contains("secret"));
        QVERIFY(refused.json().contains(QStringLiteral("error")));
    }

    void missingArchivesAreListedWithoutChecksum()
    {
        QTemporaryDir emptyReleases, data;
        DevServer s;
        QVERIFY2(s.start(data.path(), {QStringLiteral("--releases"), emptyReleases.path()}), qPrintable(s.error()));
        const LauncherManifest manifest = fetchManifest(s, QStringLiteral("?lang=en"));
        const AppManifestItem *inkwell = manifest.findApp(QStringLiteral("inkwell"));
        QVERIFY(inkwell && inkwell->downloadUrl);
        QVERIFY(!inkwell->sha256.has_value());
        QVERIFY(ManifestPolicy::publishedApps(manifest, true).isEmpty());
        QCOMPARE(get(*inkwell->downloadUrl).status, 404);
    }

    void largeArchiveIsStreamed()
    {
        QTemporaryDir releases, data;
        const qint64 size = 96LL * 1024 * 1024;
        {
            QFile big(releases.filePath(QStringLiteral("big.zip")));
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.write("PK head") == 7);
            QVERIFY(big.resize(size));  // sparse: cheap to make
            QVERIFY(big.seek(size - 4) && big.write("tail") == 4);
        }
        DevServer s;
        QVERIFY2(s.start(data.path(), {QStringLiteral("--releases"), releases.path()}), qPrintable(s.error()));
        const qint64 before = peakMemoryKiB(s.process()->processId());
        QVERIFY(before > 0);

        QNetworkRequest request(s.url(QStringLiteral("/releases/big.zip")));
        request.setRawHeader("Connection", "close");
        QNetworkReply *reply = network().get(request);
        reply->setReadBufferSize(4 * 1024 * 1024);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        qint64 received = 0;
        connect(reply, &QNetworkReply::readyRead, this, [&] {
            const QByteArray chunk = reply->readAll();
            received += chunk.size();
            hash.addData(chunk);
        });
        QSignalSpy finished(reply, &QNetworkReply::finished);
        QVERIFY(finished.wait(60000));
        const QByteArray rest = reply->readAll();
        received += rest.size();
        hash.addData(rest);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QCOMPARE(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(), size);
        QCOMPARE(received, size);
        reply->deleteLater();

        QFile big(releases.filePath(QStringLiteral("big.zip")));
        QVERIFY(big.open(QIODevice::ReadOnly));
        QCryptographicHash expected(QCryptographicHash::Sha256);
        QVERIFY(expected.addData(&big));
        QCOMPARE(hash.result().toHex(), expected.result().toHex());

        // Serving it must not have pulled the file into the service's memory.
        const qint64 after = peakMemoryKiB(s.process()->processId());
        QVERIFY2(after - before < 48 * 1024, qPrintable(QStringLiteral("peak grew by %1 KiB").arg(after - before)));
    }

    void feedbackValidation_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");

        QTest::newRow("complete") << feedbackBody({}) << 201 << QString();
        QTest::newRow("without appId") << feedbackBody({}, {"appId"}) << 201 << QString();
        for (const char *type : {"idea", "improvement", "other"})
            QTest::newRow(qPrintable(QStringLiteral("type %1").arg(QLatin1String(type))))
                << feedbackBody({{"type", QLatin1String(type)}}) << 201 << QString();
        for (const char *member : {"clientRequestId", "type", "title", "description", "diagnostics"}) {
            QTest::newRow(qPrintable(QStringLiteral("missing %1").arg(QLatin1String(member))))
                << feedbackBody({}, {QLatin1String(member)}) << 422 << "missing_member";
        }
        QTest::newRow("null title") << feedbackBody({{"title", QJsonValue::Null}}) << 422 << "missing_member";
        QTest::newRow("unknown type") << feedbackBody({{"type", "praise"}}) << 422 << "invalid_type";
        QTest::newRow("type in capitals") << feedbackBody({{"type", "Bug"}}) << 422 << "invalid_type";
        QTest::newRow("blank title") << feedbackBody({{"title", "  \t "}}) << 422 << "blank_title";
        QTest::newRow("empty title") << feedbackBody({{"title", ""}}) << 422 << "blank_title";
        QTest::newRow("blank description") << feedbackBody({{"description", "\n\n"}}) << 422 << "blank_description";
        QTest::newRow("title a number") << feedbackBody({{"title", 42}}) << 422 << "invalid_member";
        QTest::newRow("diagnostics a string") << feedbackBody({{"diagnostics", "none"}}) << 422 << "invalid_member";
        QTest::newRow("appId a number") << feedbackBody({{"appId", 7}}) << 422 << "invalid_member";
        QTest::newRow("array") << QByteArray("[1, 2]") << 422 << "invalid_request";
        QTest::newRow("not JSON") << QByteArray("title=hello") << 400 << "invalid_json";
        QTest::newRow("truncated JSON") << feedbackBody({}).left(40) << 400 << "invalid_json";
        QTest::newRow("empty body") << QByteArray() << 400 << "invalid_json";
    }

    void feedbackValidation()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, error);
        const int storedBefore = int(dump(m_multiData.path(), QStringLiteral("feedback")).size());

        const HttpResult result = http("POST", m_multi.url(QStringLiteral("/api/feedback")), body,
                                       {{"X-Vantrel-Locale", "pl"}, {"Content-Type", "application/json"}});
        QCOMPARE(result.status, status);
        QVERIFY(result.headers.value("content-type").startsWith("application/json"));
        const QJsonObject answer = result.json();
        const int storedAfter = int(dump(m_multiData.path(), QStringLiteral("feedback")).size());
        if (status == 201) {
            QCOMPARE(answer.value(QStringLiteral("ok")).toBool(), true);
            const QJsonObject issue = answer.value(QStringLiteral("issue")).toObject();
            const QString id = issue.value(QStringLiteral("id")).toString();
            QVERIFY(!id.isEmpty());
            QCOMPARE(issue.value(QStringLiteral("identifier")).toString(), QStringLiteral("FB-") + id);
            const QUrl url(issue.value(QStringLiteral("url")).toString(), QUrl::StrictMode);
            QVERIFY(url.isValid() && !url.isRelative());
            // The issue's address shows what was filed.
            const HttpResult filed = get(url);
            QCOMPARE(filed.status, 200);
            QCOMPARE(filed.json().value(QStringLiteral("feedback")).toObject(), QJsonDocument::fromJson(body).object());
            QCOMPARE(storedAfter, storedBefore + 1);
            ++m_acceptedFeedback;
        } else {
            QCOMPARE(answer.value(QStringLiteral("error")).toString(), error);
            QVERIFY(!answer.value(QStringLiteral("message")).toString().isEmpty());
            QCOMPARE(storedAfter, storedBefore);
        }
    }

    void feedbackStoredDumpedAndNumbered()
    {
        const QByteArray body = feedbackBody({{"title", "Dark mode please"}, {"type", "idea"}});
        const HttpResult first = http("POST", m_multi.url(QStringLiteral("/api/feedback")), body, {{"X-Vantrel-Locale", "de"}});
        QCOMPARE(first.status, 201);
        const QString identifier = first.json().value(QStringLiteral("issue")).toObject().value(QStringLiteral("identifier")).toString();
        const int number = identifier.mid(3).toInt();
        QVERIFY(number > 0);

        // The same submission sent again files nothing new.
        const HttpResult again = http("POST", m_multi.url(QStringLiteral("/api/feedback")), body, {{"X-Vantrel-Locale", "de"}});
        QVERIFY(again.status == 200 || again.status == 201);
        QCOMPARE(again.json().value(QStringLiteral("issue")).toObject().value(QStringLiteral("identifier")).toString(), identifier);

        const QList<QJsonObject> stored = dump(m_multiData.path(), QStringLiteral("feedback"));
        QCOMPARE(stored.size(), m_acceptedFeedback + 1);
        const QJsonObject last = stored.last();
        QCOMPARE(last.value(QStringLiteral("identifier")).toString(), identifier);
        QCOMPARE(last.value(QStringLiteral("locale")).toString(), QStringLiteral("de"));
        QCOMPARE(last.value(QStringLiteral("feedback")).toObject(), QJsonDocument::fromJson(body).object());
        // Numbers follow the order of arrival.
        for (int i = 1; i < stored.size(); ++i)
            QVERIFY(stored[i].value(QStringLiteral("id")).toInteger() > stored[i - 1].value(QStringLiteral("id")).toInteger());

        // Numbering carries on after a restart over the same data.
        QTemporaryDir data;
        {
            DevServer s;
            QVERIFY(s.start(data.path()));
            QCOMPARE(http("POST", s.url(QStringLiteral("/api/feedback")), feedbackBody({})).json()
                         .value(QStringLiteral("issue")).toObject().value(QStringLiteral("identifier")).toString(),
                     QStringLiteral("FB-1"));
        }
        DevServer restarted;
        QVERIFY(restarted.start(data.path()));
        QCOMPARE(http("POST", restarted.url(QStringLiteral("/api/feedback")), feedbackBody({})).json()
                     .value(QStringLiteral("issue")).toObject().value(QStringLiteral("identifier")).toString(),
                 QStringLiteral("FB-2"));
        QCOMPARE(dump(data.path(), QStringLiteral("feedback")).size(), 2);
    }

    void eventsStoredWithTheirLocale()
    {
        QTemporaryDir data;
        DevServer s;
        QVERIFY(s.start(data.path()));
        const QList<QPair<QByteArray, QJsonObject>> sent = {
            {"pl", {{"eventType", "install_started"}, {"appSlug", "tempo"}, {"appVersion", "2.3.1"}, {"status", "started"}}},
            {"de", {{"eventType", "install_succeeded"}, {"appSlug", "tempo"}, {"appVersion", "2.3.1"}, {"status", "succeeded"}}},
            {"", {{"eventType", "install_failed"}, {"status", "failed"}, {"reason", "checksumMismatch"}}},
        };
        for (const auto &[locale, event] : sent) {
            QList<QPair<QByteArray, QByteArray>> headers;
            if (!locale.isEmpty())
                headers.append({"X-Vantrel-Locale", locale});
            const HttpResult result = http("POST", s.url(QStringLiteral("/api/events")), QJsonDocument(event).toJson(), headers);
            QCOMPARE(result.status, 202);
        }
        // Bodies that are not events are refused and not stored.
        QCOMPARE(http("POST", s.url(QStringLiteral("/api/events")), "{not json").status, 400);
        QCOMPARE(http("POST", s.url(QStringLiteral("/api/events")), R"({"status":"started"})").status, 422);
        QCOMPARE(http("POST", s.url(QStringLiteral("/api/events")), R"([{"eventType":"x","status":"y"}])").status, 422);

        const QList<QJsonObject> stored = dump(data.path(), QStringLiteral("events"));
        QCOMPARE(stored.size(), sent.size());
        for (int i = 0; i < sent.size(); ++i) {
            QCOMPARE(stored[i].value(QStringLiteral("locale")).toString(), QString::fromLatin1(sent[i].first));
            QCOMPARE(stored[i].value(QStringLiteral("event")).toObject(), sent[i].second);
        }
    }

    void errorReportsNeedTheSentryHeader_data()
    {
        QTest::addColumn<QByteArray>("auth");
        QTest::addColumn<int>("status");
        QTest::newRow("no header") << QByteArray() << 401;
        QTest::newRow("no key") << QByteArray("Sentry sentry_version=7, sentry_client=vantrel-launcher/0.1.0") << 401;
        QTest::newRow("empty key") << sentryAuth("") << 401;
        QTest::newRow("key only in another member") << QByteArray("Sentry sentry_secret=abc") << 401;
        QTest::newRow("with key") << sentryAuth("abc123") << 200;
    }

    void errorReportsNeedTheSentryHeader()
    {
        QFETCH(QByteArray, auth);
        QFETCH(int, status);
        QTemporaryDir data;
        DevServer s;
        QVERIFY(s.start(data.path()));
        const QString eventId = QUuid::createUuid().toString(QUuid::Id128).toUpper();
        const QJsonObject event{{"event_id", eventId}, {"timestamp", "2026-12-05T07:55:27Z"}, {"platform", "native"},
                                {"logger", "vantrel-launcher"}, {"level", "error"}, {"message", "The checksum does not match."},
                                {"extra", QJsonObject{{"flow", "install"}, {"app", "tempo"}, {"version", "2.3.1"}}}};
        QList<QPair<QByteArray, QByteArray>> headers;
        if (!auth.isEmpty())
            headers.append({"X-Sentry-Auth", auth});
        const HttpResult result = http("POST", s.url(QStringLiteral("/api/42/store/")), QJsonDocument(event).toJson(), headers);
        QCOMPARE(result.status, status);

        const QList<QJsonObject> stored = dump(data.path(), QStringLiteral("errors"));
        if (status == 401) {
            QVERIFY(result.json().contains(QStringLiteral("error")));
            QVERIFY(stored.isEmpty());
            return;
        }
        QCOMPARE(result.json().value(QStringLiteral("id")).toString().toUpper(), eventId);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].value(QStringLiteral("project")).toString(), QStringLiteral("42"));
        QCOMPARE(stored[0].value(QStringLiteral("sentryKey")).toString(), QStringLiteral("abc123"));
        QCOMPARE(stored[0].value(QStringLiteral("event")).toObject(), event);
    }

    void errorReportWithoutEventIdGetsOne()
    {
        QTemporaryDir data;
        DevServer s;
        QVERIFY(s.start(data.path()));
        const HttpResult result = http("POST", s.url(QStringLiteral("/api/7/store/")), R"({"message":"boom"})",
                                       {{"X-Sentry-Auth", sentryAuth("k")}});
        QCOMPARE(result.status, 200);
        const QString id = result.json().value(QStringLiteral("id")).toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(id).hasMatch(), qPrintable(id));
        QCOMPARE(http("POST", s.url(QStringLiteral("/api/7/store/")), "not json", {{"X-Sentry-Auth", sentryAuth("k")}}).status, 400);
        QCOMPARE(dump(data.path(), QStringLiteral("errors")).size(), 1);
    }

    void commandLineMistakes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("unknown dump") << QStringList{"--dump", "everything"} << 2;
        QTest::newRow("unknown catalog") << QStringList{"--catalog", "huge", "--port", "0"} << 2;
        QTest::newRow("port out of range") << QStringList{"--port", "70000"} << 2;
        QTest::newRow("port not a number") << QStringList{"--port", "eighty"} << 2;
        QTest::newRow("stray argument") << QStringList{"serve"} << 2;
        QTest::newRow("dump without data") << QStringList{"--dump", "events"} << 1;
    }

    void commandLineMistakes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QTemporaryDir empty;
        const ToolRun run = runTool(devserverPath(), args << QStringLiteral("--data") << empty.filePath(QStringLiteral("none")), QProcessEnvironment::systemEnvironment(), 20000);
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(!run.err.trimmed().isEmpty());
        QVERIFY(run.out.isEmpty());
    }

    void busyPortAndLoopbackOnly()
    {
        QTemporaryDir data;
        const ToolRun second = runTool(devserverPath(), {QStringLiteral("--port"), QString::number(m_multi.port()),
                                                         QStringLiteral("--data"), data.path()},
                                       QProcessEnvironment::systemEnvironment(), 20000);
        QVERIFY(second.finished);
        QCOMPARE(second.exitCode, 1);
        QVERIFY2(second.err.contains("cannot listen"), second.err.constData());

        // Bound to 127.0.0.1 only: the IPv6 loopback finds nothing there.
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHostIPv6, quint16(m_multi.port()));
        QVERIFY(!socket.waitForConnected(5000));
    }

    void stopsCleanlyOnTerminate()
    {
        QTemporaryDir data;
        DevServer s;
        QVERIFY(s.start(data.path()));
        QCOMPARE(http("POST", s.url(QStringLiteral("/api/events")), R"({"eventType":"a","status":"b"})").status, 202);
        network().clearConnectionCache();
        s.process()->terminate();
        QVERIFY(s.process()->waitForFinished(10000));
        QCOMPARE(s.process()->exitStatus(), QProcess::NormalExit);
        QCOMPARE(s.process()->exitCode(), 0);
        QCOMPARE(dump(data.path(), QStringLiteral("events")).size(), 1);
    }
};

QTEST_GUILESS_MAIN(DevServerTest)
#include "tst_devserver.moc"
