// The built vantrel-devserver over real HTTP: catalogs in each language, every archive through the real installer,
// the service endpoints, and the real `vantrel` installing, updating and opening sample apps in a temporary home.

#include "CatalogBuilders.h"
#include "DataRows.h"
#include "DesktopIcons.h"
#include "InstallSandbox.h"
#include "ReleaseFolders.h"
#include "SigningKey.h"
#include "ToolSandbox.h"
#include "catalog/CatalogSignature.h"
#include "catalog/ManifestDecoder.h"
#include "feedback/Feedback.h"
#include "feedback/FeedbackErrorBody.h"

#include <QImage>
#include <QNetworkReply>

#include <csignal>

namespace {

// <key>KEY</key><string>VALUE</string> of an XML property list.
QString plistValue(const QString &plistPath, const QString &key)
{
    const QRegularExpression pattern(QStringLiteral("<key>%1</key>\\s*<string>([^<]*)</string>").arg(key));
    return pattern.match(QString::fromUtf8(TempHome::readFile(plistPath))).captured(1);
}

struct Reply {
    int status = 0;
    QByteArray body;
};

Reply http(const QByteArray &method, const QUrl &url, const QByteArray &body = {}, const QList<std::pair<QByteArray, QByteArray>> &headers = {})
{
    static QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setRawHeader("Connection", "close");  // no idle connection holds a stopping service up
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(request, method, body));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(30000);
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
}

// One running service; stopped when destroyed.
class DevServer
{
public:
    // dataDir: a folder of an earlier run to start again from (default: a fresh one).
    DevServer(const ToolSandbox &sandbox, const QStringList &args = {}, const QString &dataDir = {})
        : m_dataDir(dataDir.isEmpty() ? m_data.path() : dataDir)
    {
        m_process = sandbox.start(QStringList{QStringLiteral("--data"), m_dataDir, QStringLiteral("--port"), QStringLiteral("0")} + args,
                                  ToolSandbox::devserver());
        while (m_process->waitForStarted(10000) && !m_process->canReadLine() && m_process->waitForReadyRead(20000)) {
        }
        const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
        if (line.startsWith(QLatin1String("listening on ")))
            m_base = QUrl(line.mid(13));
    }
    ~DevServer()
    {
        m_process->terminate();
        if (!m_process->waitForFinished(10000))
            m_process->kill();
        m_process->waitForFinished(5000);
    }
    bool running() const { return m_base.port() > 0; }
    // What --print-public-key says for this service's data folder.
    QString publicKey() const { return QString::fromLatin1(tool({QStringLiteral("--print-public-key")}).trimmed()); }
    QUrl base() const { return m_base; }
    QUrl url(const QString &pathAndQuery) const { return QUrl(m_base.toString() + pathAndQuery); }
    LauncherManifest manifest(const QString &language) const
    {
        return ManifestDecoder::decode(http("GET", url(QStringLiteral("/api/launcher/manifest?lang=") + language)).body);
    }
    // What the service stored of one kind (feedback, events, errors), as --dump prints it.
    QList<QJsonObject> dump(const QString &what) const
    {
        QList<QJsonObject> records;
        for (const QByteArray &line : tool({QStringLiteral("--dump"), what}).split('\n')) {
            if (!line.trimmed().isEmpty())
                records << QJsonDocument::fromJson(line).object();
        }
        return records;
    }

private:
    // The service's output when run with args on this data folder.
    QByteArray tool(const QStringList &args) const
    {
        QProcess tool;
        tool.start(ToolSandbox::devserver(), args + QStringList{QStringLiteral("--data"), m_dataDir});
        tool.waitForFinished(30000);
        return tool.readAllStandardOutput();
    }

    QTemporaryDir m_data;
    QString m_dataDir;
    std::unique_ptr<QProcess> m_process;
    QUrl m_base;
};

}  // namespace

class DevServerTest : public QObject
{
    Q_OBJECT
    using ManifestInEachLanguageRows = DataRows<QString, QString, QString, QString>;  // catalog, language, category (the first app's, as served), releaseDate
    using CatalogsAsTheRows = DataRows<QString, QString, QStringList, QStringList>;  // catalog, lifecycle, published, visible

private:
    ToolSandbox m_cli;
    std::unique_ptr<DevServer> m_multi;
    std::unique_ptr<DevServer> m_first;
    DevServer &server(const QString &catalog) { return catalog == QLatin1String("first") ? *m_first : *m_multi; }

    // The events of one app, in order of arrival: "eventType locale appVersion".
    QStringList eventsFor(const DevServer &server, const QString &appSlug)
    {
        QStringList events;
        for (const QJsonObject &record : server.dump(QStringLiteral("events"))) {
            const QJsonObject event = record.value(QStringLiteral("event")).toObject();
            if (event.value(QStringLiteral("appSlug")).toString() == appSlug)
                events << QStringList{event.value(QStringLiteral("eventType")).toString(), record.value(QStringLiteral("locale")).toString(),
                                      event.value(QStringLiteral("appVersion")).toString()}.join(QLatin1Char(' '));
        }
        return events;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(QFileInfo(ToolSandbox::devserver()).isExecutable() && QFileInfo(ToolSandbox::vantrel()).isExecutable(), "tools not built");
        m_multi = std::make_unique<DevServer>(m_cli);
        m_first = std::make_unique<DevServer>(m_cli, QStringList{QStringLiteral("--catalog"), QStringLiteral("first")});
        QVERIFY(m_multi->running() && m_first->running());
        // Each service signs with its own key; the tools accept either.
        m_cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), m_multi->publicKey() + QLatin1Char(',') + m_first->publicKey());
        // The events carry the system language; the demo program draws offscreen and reports where it started.
        for (const char *name : {"LC_ALL", "LC_MESSAGES"})
            m_cli.environment().remove(QLatin1String(name));
        m_cli.environment().insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        m_cli.environment().insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
        m_cli.environment().insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_cli.environment().insert(QStringLiteral("VANTREL_DEMO_MARKER"), m_cli.path(QStringLiteral("started.json")));
        m_cli.environment().insert(QStringLiteral("VANTREL_DEMO_QUIT_AFTER_MS"), QStringLiteral("120000"));
    }

    // Each language the launcher asks for; the same releases, other texts.
    void manifestInEachLanguage_data()
    {
        ManifestInEachLanguageRows::columns();
        ManifestInEachLanguageRows::row("multi de", "multi", "de", "Produktivität", "Juni 2026");
        ManifestInEachLanguageRows::row("multi unknown language", "multi", "fr", "Productivity", "June 2026");
        ManifestInEachLanguageRows::row("first pl", "first", "pl", "Produktywność", "maj 2026");
    }

    void manifestInEachLanguage()
    {
        const auto [catalog, language, category, releaseDate] = ManifestInEachLanguageRows::fetch();
        const DevServer &s = server(catalog);
        const Reply reply = http("GET", s.url(QStringLiteral("/api/launcher/manifest?lang=") + language));
        QCOMPARE(reply.status, 200);
        const LauncherManifest manifest = ManifestDecoder::decode(reply.body);
        QCOMPARE(manifest.apps.first().category, category);
        QCOMPARE(manifest.apps.first().releaseNotes.first().date, releaseDate);
        QCOMPARE(manifest.announcements.size(), 2);
        const LauncherManifest english = s.manifest(QStringLiteral("en"));
        QCOMPARE(manifest.apps.size(), english.apps.size());
        for (qsizetype i = 0; i < manifest.apps.size(); ++i) {
            const AppManifestItem &app = manifest.apps[i];
            QCOMPARE(app.id, english.apps[i].id);
            QCOMPARE(app.version, english.apps[i].version);
            QCOMPARE(app.sha256, english.apps[i].sha256);
            QCOMPARE(app.downloadUrl, english.apps[i].downloadUrl);
            // Every archive comes from this very service.
            if (app.downloadUrl)
                QCOMPARE(app.downloadUrl->toString(QUrl::RemovePath), s.base().toString());
        }
    }

    // --stage releases one sample app's update gradually; a wrong one is refused before anything starts.
    void stagesOneSampleApp()
    {
        const DevServer staged(m_cli, {QStringLiteral("--stage"), QStringLiteral("inkwell=10")});
        QVERIFY(staged.running());
        for (const AppManifestItem &app : staged.manifest(QStringLiteral("de")).apps)
            QCOMPARE(app.rolloutPercent, app.id == QLatin1String("inkwell") ? 10 : 100);
        QCOMPARE(m_multi->manifest(QStringLiteral("en")).findApp(QStringLiteral("inkwell"))->rolloutPercent, 100);
        for (const char *wrong : {"inkwell=101", "inkwell", "nosuch=10", "inkwell=ten"}) {
            const ToolSandbox::Result run = m_cli.run({QStringLiteral("--stage"), QLatin1String(wrong), QStringLiteral("--port"), QStringLiteral("0"),
                                                       QStringLiteral("--data"), m_cli.path()},
                                                      ToolSandbox::devserver());
            QVERIFY2(run.exitCode != 0 && run.err.contains(QStringLiteral("--stage takes ID=PERCENT")), qPrintable(run.output()));
        }
    }

    // What the launcher and `vantrel check` make of each catalog.
    void catalogsAsTheLauncherSeesThem_data()
    {
        CatalogsAsTheRows::columns();
        CatalogsAsTheRows::row("multi", "multi", "multiAppCatalog", QStringList{"inkwell", "tempo", "swatch"}, QStringList{"inkwell", "tempo", "swatch", "murmur", "glimmer"});
        CatalogsAsTheRows::row("first", "first", "firstPublishedApp", QStringList{"inkwell"}, QStringList{"inkwell", "murmur", "glimmer"});
    }

    void catalogsAsTheLauncherSeesThem()
    {
        const auto [catalog, lifecycle, published, visible] = CatalogsAsTheRows::fetch();
        const ToolSandbox::Result run = m_cli.run({QStringLiteral("check"), QStringLiteral("--json"),
                                                   server(catalog).url(QStringLiteral("/api/launcher/manifest")).toString()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QJsonObject report = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(report.value(QStringLiteral("lifecycle")).toString(), lifecycle);
        QCOMPARE(report.value(QStringLiteral("featured")).toString(), QStringLiteral("inkwell"));
        QCOMPARE(report.value(QStringLiteral("announcements")).toInt(), 2);
        QCOMPARE(report.value(QStringLiteral("signature")).toString(), QStringLiteral("verified"));
        QStringList seenPublished, seenVisible;
        QString glimmerProblem;
        for (const QJsonValue &value : report.value(QStringLiteral("apps")).toArray()) {
            const QJsonObject app = value.toObject();
            const QString id = app.value(QStringLiteral("id")).toString();
            if (app.value(QStringLiteral("published")).toBool())
                seenPublished << id;
            if (app.value(QStringLiteral("visible")).toBool())
                seenVisible << id;
            if (id == QLatin1String("glimmer"))
                glimmerProblem = app.value(QStringLiteral("problem")).toString();
        }
        QCOMPARE(seenPublished, published);
        QCOMPARE(seenVisible, visible);
        QCOMPARE(glimmerProblem, QStringLiteral("Prüfsumme nicht aus 64 Hexadezimalziffern"));  // in the tool's language
    }

    // Every archive a catalog names installs with the launcher's installer and holds the bundle described.
    void archivesInstallAsListed_data()
    {
        QTest::addColumn<QString>("catalog");
        for (const char *catalog : {"multi", "first"})
            QTest::newRow(catalog) << catalog;
    }

    void archivesInstallAsListed()
    {
        QFETCH(QString, catalog);
        InstallSandbox sandbox;
        int installed = 0;
        for (AppManifestItem app : server(catalog).manifest(QStringLiteral("en")).apps) {
            if (!app.downloadUrl)
                continue;
            app.status = AppReleaseStatus::live;  // the retired app's archive is checked too
            const InstallOutcome outcome = sandbox.install(app);
            if (app.id == QLatin1String("glimmer")) {
                QCOMPARE(outcome.message(), QStringLiteral("The release metadata is incomplete."));
                continue;
            }
            QVERIFY2(outcome.succeeded(), qPrintable(app.id + QStringLiteral(": ") + outcome.describe()));
            const QString bundle = outcome.app->url.toLocalFile();
            QCOMPARE(QFileInfo(bundle).fileName(), app.name + QStringLiteral(".app"));
            QCOMPARE(plistValue(bundle + QStringLiteral("/Contents/Info.plist"), QStringLiteral("CFBundleShortVersionString")), app.version);
            const QString program = bundle + QStringLiteral("/Contents/MacOS/") + plistValue(bundle + QStringLiteral("/Contents/Info.plist"), QStringLiteral("CFBundleExecutable"));
            QVERIFY2(QFileInfo(program).isExecutable() && TempHome::readFile(program).startsWith("\x7f" "ELF"), qPrintable(program));
            ++installed;
        }
        QCOMPARE(installed, catalog == QLatin1String("multi") ? 4 : 2);
    }

    // A launcher given another key keeps its catalog; archives come in parts on request.
    void signaturesAndRanges()
    {
        const QString keys = m_cli.environment().value(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"));
        m_cli.useEndpoints(m_multi->base());
        m_cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), m_first->publicKey());
        const ToolSandbox::Result refused = m_cli.run({QStringLiteral("list"), QStringLiteral("--lang"), QStringLiteral("en")});
        m_cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), keys);
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("The catalog's signature could not be verified.")), qPrintable(refused.err));

        const QUrl archive = m_multi->url(QStringLiteral("/releases/tempo-2.3.1.zip"));
        const QByteArray whole = http("GET", archive).body;
        const Reply part = http("GET", archive, {}, {{"Range", "bytes=100-"}});
        QCOMPARE(part.status, 206);
        QCOMPARE(part.body, whole.mid(100));
        const Reply changed = http("GET", archive, {}, {{"Range", "bytes=100-"}, {"If-Range", "\"another version\""}});
        QCOMPARE(changed.status, 200);
        QCOMPARE(changed.body, whole);
        QCOMPARE(http("GET", archive, {}, {{"Range", "bytes=" + QByteArray::number(whole.size()) + '-'}}).status, 416);
        // The tail, as an install reads the central directory before the body.
        const Reply tail = http("GET", archive, {}, {{"Range", "bytes=-22"}});
        QCOMPARE(tail.status, 206);
        QCOMPARE(tail.body, whole.right(22));
        QCOMPARE(http("GET", archive, {}, {{"Range", "bytes=-" + QByteArray::number(whole.size() + 10)}}).body, whole);
        QCOMPARE(http("GET", archive, {}, {{"Range", "bytes=-0"}}).status, 416);
    }

    // Every catalog is signed with a sequence and an expiry; a new start raises the sequence, even within the second.
    void catalogsCarryTheirFreshness()
    {
        QTemporaryDir data;
        qint64 last = 0;
        for (int run = 0; run < 2; ++run) {
            const DevServer service(m_cli, {}, data.path());
            QVERIFY(service.running());
            for (const QString &language : {QStringLiteral("en"), QStringLiteral("de")}) {
                const LauncherManifest manifest = service.manifest(language);
                QVERIFY2(manifest.sequence > last && manifest.sequence >= QDateTime::currentSecsSinceEpoch() - 60,
                         qPrintable(QString::number(manifest.sequence)));
                QCOMPARE(manifest.sequence, service.manifest(QStringLiteral("en")).sequence);
                const qint64 left = QDateTime::currentDateTimeUtc().secsTo(manifest.expiresAt);
                QVERIFY2(left > 13 * 86400 && left <= 14 * 86400, qPrintable(manifest.expiresAt.toString(Qt::ISODate)));
            }
            last = service.manifest(QStringLiteral("en")).sequence;
        }
    }

    // The maker's road: vantrel-publish writes a release and signs the catalog into a folder, the service serves that
    // folder as the real host would, and `vantrel` installs it, then updates to the next release, partly.
    void servesAMakersReleaseFolder()
    {
        ToolSandbox maker(QStringLiteral("maker"));
        const QString folder = maker.path(QStringLiteral("release"));
        const QString catalog = folder + QStringLiteral("/catalog.json");
        const QString key = maker.path(QStringLiteral("keys/catalog-signing-key.pem"));
        const SigningKey signing = SigningKey::loadOrCreate(maker.path(QStringLiteral("keys")));
        QVERIFY(QDir().mkpath(folder));
        const DevServer host(m_cli, {QStringLiteral("--published"), folder});
        QVERIFY(host.running());
        QCOMPARE(http("GET", host.url(QStringLiteral("/api/launcher/manifest"))).status, 404);  // nothing published yet
        m_cli.useEndpoints(host.base());
        const QString keys = m_cli.environment().value(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"));
        m_cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), QString::fromLatin1(signing.publicKeyBase64()));
        const auto publish = [&](const QString &version) {
            // The maker's own record of the app, its version raised by hand.
            AppManifestItem app = TestCatalog::release(QStringLiteral("notes"), QUrl(QStringLiteral("https://example.invalid/")),
                                                       TestCatalog::validSha, version);
            app.name = QStringLiteral("Notes");
            app.bundleId = QStringLiteral("com.vantrel.notes");
            if (!TempHome::writeFile(catalog, ManifestDecoder::encode(TestCatalog::manifest({app}))))
                return ToolSandbox::Result{};
            const QString source = maker.path(version);
            if (!ReleaseFolders::write(source, version))
                return ToolSandbox::Result{};
            return maker.run({source + QLatin1Char('/') + ReleaseFolders::bundleName, QStringLiteral("--output"), folder,
                              QStringLiteral("--name"), QStringLiteral("notes-%1.zip").arg(version), QStringLiteral("--base-url"),
                              host.url(QStringLiteral("/releases/")).toString(), QStringLiteral("--catalog"), catalog,
                              QStringLiteral("--app"), QStringLiteral("notes"), QStringLiteral("--sign-key"), key},
                             ToolSandbox::publisher());
        };

        ToolSandbox::Result run = publish(QStringLiteral("1.0"));
        QVERIFY2(run.exitCode == 0 && run.err.contains(QStringLiteral("sign it again by")), qPrintable(run.output()));
        run = m_cli.run({QStringLiteral("install"), QStringLiteral("notes")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QCOMPARE(TempHome::fingerprint(m_cli.bundle(ReleaseFolders::bundleName)), TempHome::fingerprint(maker.path(QStringLiteral("1.0/Notes.app"))));

        run = publish(QStringLiteral("1.1"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        const QByteArray served = TempHome::readFile(catalog);
        QCOMPARE(http("GET", host.url(QStringLiteral("/api/launcher/manifest?lang=pl"))).body, served);
        run = m_cli.run({QStringLiteral("update"), QStringLiteral("--json"), QStringLiteral("notes")});
        m_cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), keys);
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QCOMPARE(TempHome::fingerprint(m_cli.bundle(ReleaseFolders::bundleName)), TempHome::fingerprint(maker.path(QStringLiteral("1.1/Notes.app"))));
        QJsonObject outcome;
        for (const QString &line : run.out.split(QLatin1Char('\n'))) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            if (object.contains(QStringLiteral("reusedBytes")))
                outcome = object;
        }
        const qint64 archive = QFileInfo(folder + QStringLiteral("/notes-1.1.zip")).size();
        QVERIFY2(outcome.value(QStringLiteral("reusedBytes")).toInteger() > archive / 2, qPrintable(run.out));
        QVERIFY2(outcome.value(QStringLiteral("downloadedBytes")).toInteger() < archive / 4, qPrintable(run.out));
    }

    // Feedback and error reports as the launcher sends them are accepted (events: installAndOpenSampleApp).
    void endpointsAcceptWhatTheLauncherSends()
    {
        const DevServer &s = *m_first;
        QJsonObject feedback{{"clientRequestId", "6B1D7A52-0F4C-4C55-9C1E-6A8E0D3C2B11"}, {"type", "bug"}, {"title", "Install does nothing"},
                             {"description", "No progress."}, {"appId", "tempo"}, {"diagnostics", QJsonObject{{"locale", "en"}}}};
        const Reply filed = http("POST", s.url(QStringLiteral("/api/feedback")), QJsonDocument(feedback).toJson(), {{"X-Vantrel-Locale", "pl"}});
        QCOMPARE(filed.status, 201);
        QVERIFY(FeedbackSubmissionResponse::decode(filed.body).ok);
        feedback.insert(QStringLiteral("title"), QStringLiteral("  "));
        const Reply refused = http("POST", s.url(QStringLiteral("/api/feedback")), QJsonDocument(feedback).toJson());
        QCOMPARE(refused.status, 422);
        QCOMPARE(FeedbackErrorBody::displayText(refused.body), std::optional<QString>(QStringLiteral("The title must not be blank.")));
        QCOMPARE(http("POST", s.url(QStringLiteral("/api/42/store/")), R"({"message":"boom"})",
                      {{"X-Sentry-Auth", "Sentry sentry_version=7, sentry_client=vantrel-launcher/0.1.0, sentry_key=abc123"}}).status, 200);
    }

    // The real `vantrel install` and `vantrel open` against the service.
    void installAndOpenSampleApp()
    {
        m_cli.useEndpoints(m_multi->base());
        ToolSandbox::Result run = m_cli.run({QStringLiteral("install"), QStringLiteral("tempo")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        const QString plist = m_cli.bundle(QStringLiteral("Tempo.app/Contents/Info.plist"));
        QCOMPARE(plistValue(plist, QStringLiteral("CFBundleIdentifier")), QStringLiteral("com.vantrel.timer"));
        QCOMPARE(plistValue(plist, QStringLiteral("CFBundleShortVersionString")), QStringLiteral("2.3.1"));
        // Its icon is its tile in the launcher: the violet plate of rounded corners (not a circle), the symbol on it.
        const QImage icon(m_cli.bundle(QStringLiteral("Tempo.app/Contents/Resources/AppIcon.icns")));
        QCOMPARE(icon.size(), QSize(512, 512));
        const QImage ring = DesktopIcons::drawnIcon(AppAccent::violet, 512);
        for (const QPoint corner : {QPoint(51, 51), QPoint(460, 51), QPoint(51, 460), QPoint(460, 460)})
            QCOMPARE(icon.pixelColor(corner), ring.pixelColor(corner));
        QCOMPARE(icon.pixelColor(2, 2).alpha(), 0);
        int symbolPixels = 0;
        for (int y = 128; y < 384; ++y) {
            for (int x = 128; x < 384; ++x)
                symbolPixels += icon.pixel(x, y) != ring.pixel(x, y) ? 1 : 0;
        }
        QVERIFY2(symbolPixels > 256 * 256 / 20, qPrintable(QString::number(symbolPixels)));

        // Opening starts the program from the installed bundle.
        run = m_cli.run({QStringLiteral("open"), QStringLiteral("tempo")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        const QString marker = m_cli.path(QStringLiteral("started.json"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(marker).size() > 0, 30000);
        const QJsonObject started = QJsonDocument::fromJson(TempHome::readFile(marker)).object();
        QVERIFY(::kill(pid_t(started.value(QStringLiteral("pid")).toInteger()), SIGTERM) == 0);
        QCOMPARE(started.value(QStringLiteral("name")).toString(), QStringLiteral("Tempo"));
        QCOMPARE(started.value(QStringLiteral("bundleId")).toString(), QStringLiteral("com.vantrel.timer"));
        QCOMPARE(QFileInfo(started.value(QStringLiteral("plist")).toString()).canonicalFilePath(), QFileInfo(plist).canonicalFilePath());
        // The service saw the install begin and succeed, in the system language.
        QCOMPARE(eventsFor(*m_multi, QStringLiteral("tempo")), (QStringList{"install_started de 2.3.1", "install_succeeded de 2.3.1"}));
    }

    // Switching from the first catalog to the multi-app one offers an update.
    void switchingCatalogsUpdatesTheApp()
    {
        const QString plist = m_cli.bundle(QStringLiteral("Inkwell.app/Contents/Info.plist"));
        m_cli.useEndpoints(m_first->base());
        const ToolSandbox::Result run = m_cli.run({QStringLiteral("install"), QStringLiteral("inkwell")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QCOMPARE(plistValue(plist, QStringLiteral("CFBundleShortVersionString")), QStringLiteral("1.0.0"));

        m_cli.useEndpoints(m_multi->base());
        QVERIFY(m_cli.listed(QStringLiteral("inkwell")).value(QStringLiteral("state")).toObject().contains(QStringLiteral("updateAvailable")));

        // Its releases are published with file lists: the update takes the program and icon from the installed copy.
        const ToolSandbox::Result update = m_cli.run({QStringLiteral("update"), QStringLiteral("--json"), QStringLiteral("inkwell")});
        QVERIFY2(update.exitCode == 0, qPrintable(update.output()));
        QCOMPARE(plistValue(plist, QStringLiteral("CFBundleShortVersionString")), QStringLiteral("1.1.0"));
        QJsonObject outcome;
        for (const QString &line : update.out.split(QLatin1Char('\n'))) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            if (object.contains(QStringLiteral("reusedBytes")))
                outcome = object;
        }
        const qint64 archive = http("GET", m_multi->url(QStringLiteral("/releases/inkwell-1.1.0.zip"))).body.size();
        QVERIFY2(outcome.value(QStringLiteral("reusedBytes")).toInteger() > archive / 2, qPrintable(update.out));
        // What crossed the wire is checked against a server's count in tst_cli_partial_update; here the
        // look at the archive's end before the update (up to 64 KiB) is most of this small archive.
        QVERIFY2(outcome.value(QStringLiteral("downloadedBytes")).toInteger() > 0, qPrintable(update.out));
    }
};

QTEST_GUILESS_MAIN(DevServerTest)
#include "tst_devserver.moc"
