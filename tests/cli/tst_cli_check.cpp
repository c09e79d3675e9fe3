// The command-line tool's check, compare and help commands, run as a process.
#include "DataRows.h"
#include "CatalogBuilders.h"
#include "LoopbackHttpServer.h"
#include "SigningKey.h"
#include "ToolSandbox.h"
#include "catalog/ManifestDecoder.h"

using TestCatalog::app;

namespace {

using Run = ToolSandbox::Result;

QJsonObject json(const Run &run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

// One app per reason an app can be visible yet unpublished, plus one of every status.
QByteArray reasonsManifest()
{
    QList<AppManifestItem> apps{app("ok"),   app("nourl"), app("badsum"), app("blank"), app("minos"),
                                app("many"), app("beta", AppReleaseStatus::beta), app("betabad", AppReleaseStatus::beta),
                                app("soon", AppReleaseStatus::comingSoon), app("old", AppReleaseStatus::retired)};
    apps[1].downloadUrl.reset();
    apps[2].sha256 = QStringLiteral("abc");
    apps[3].version = QStringLiteral("  ");
    apps[4].minMacOS = QStringLiteral("14.x");
    // Several defects: only the first counts.
    apps[5].sha256.reset();
    apps[5].version.clear();
    apps[7].downloadUrl.reset();
    apps[0].rolloutPercent = 10;
    return ManifestDecoder::encode(TestCatalog::manifest(apps, {TestCatalog::announcement("n1", "ok")}));
}

}  // namespace

class TestCliCheck : public QObject
{
    Q_OBJECT
    using JsonReportRows = DataRows<QStringList, QString, QStringList>;  // options, lifecycle, apps (id status visible published comingSoon rolloutPercent problem)
    using RefusedSourcesRows = DataRows<QByteArray, QString, QString>;  // content (null: source read as it stands), source, error (part of the message)
    using SignaturesRows = DataRows<QStringList, QString, int, QString>;  // args, environmentKeys, exitCode, expected (on stdout when 0, else stderr)
    using FreshnessRows = DataRows<qint64, bool, QString>;  // seconds left, warned (JSON), warning on stderr
    using UsageAndHelpRows = DataRows<QStringList, int, QString>;  // args, exitCode, expected (on stderr for wrong usage, else stdout)
    using CompareRows = DataRows<QString, QString, QString>;  // a, b, expected
    using FileListKeysRows = DataRows<QJsonValue, QJsonValue, QString>;  // fileListUrl, fileListSha256 (undefined: absent), problem

private:
    QTemporaryDir m_dir;
    ToolSandbox m_cli;

    Run vantrel(const QStringList &args) const { return m_cli.run(args); }

    QString write(const QString &name, const QByteArray &content)
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? file.fileName() : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFileInfo(ToolSandbox::vantrel()).isExecutable(), qPrintable(ToolSandbox::vantrel()));
    }

    void shippedSample()
    {
        const Run run = vantrel({"check", qEnvironmentVariable("VANTREL_SOURCE_DIR") + QStringLiteral("/samples/manifest.json")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        QStringList lines;
        for (const QString &line : run.out.split(QLatin1Char('\n')))
            lines.append(line.simplified());
        QVERIFY(lines.first().startsWith(QStringLiteral("ID ")));
        for (const char *line : {"tidy-tabs live yes yes no 100% -", "clip-stack live yes no no 100% checksum not 64 hexadecimal digits",
                                 "quiet-hours comingSoon yes no yes 100% -", "menu-meter retired no no no 100% -",
                                 "lifecycle: multiAppCatalog", "featured: tidy-tabs", "announcements: 2"})
            QVERIFY2(lines.contains(QLatin1String(line)), line);
    }

    void jsonReport_data()
    {
        JsonReportRows::columns();
        const QStringList shared{"ok live yes yes no 10 -", "nourl live yes no no 100 no download URL",
                                 "badsum live yes no no 100 checksum not 64 hexadecimal digits", "blank live yes no no 100 blank version",
                                 "minos live yes no no 100 minimum system version does not parse",
                                 "many live yes no no 100 checksum not 64 hexadecimal digits"};
        const QStringList rest{"soon comingSoon yes no yes 100 -", "old retired no no no 100 -"};
        JsonReportRows::row("beta included", QStringList(), "multiAppCatalog", shared + QStringList{"beta beta yes yes no 100 -", "betabad beta yes no no 100 no download URL"} + rest);
        JsonReportRows::row("no beta", QStringList{"--no-beta"}, "firstPublishedApp", shared + QStringList{"beta beta no no no 100 -", "betabad beta no no no 100 -"} + rest);
    }

    void jsonReport()
    {
        const auto [options, lifecycle, expectedApps] = JsonReportRows::fetch();
        const Run run = vantrel(QStringList{"check", "--json"} + options + QStringList{write("reasons.json", reasonsManifest())});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject report = json(run);
        QCOMPARE(report.keys(), (QStringList{"announcements", "apps", "expiresAt", "expiryWarning", "featured", "lifecycle", "ok",
                                             "sequence", "signature"}));
        QCOMPARE(report.value("ok"), QJsonValue(true));
        QCOMPARE(report.value("lifecycle").toString(), lifecycle);
        QCOMPARE(report.value("featured"), QJsonValue("ok"));
        QCOMPARE(report.value("announcements"), QJsonValue(1));
        QStringList apps;
        const auto yesNo = [](const QJsonValue &v) { return v.isBool() ? (v.toBool() ? QStringLiteral("yes") : QStringLiteral("no")) : QStringLiteral("?"); };
        for (const QJsonValue &entry : report.value("apps").toArray()) {
            const QJsonObject a = entry.toObject();
            QCOMPARE(a.keys(), (QStringList{"comingSoon", "id", "problem", "published", "rolloutPercent", "status", "visible"}));
            apps.append(QStringList{a.value("id").toString(), a.value("status").toString(), yesNo(a.value("visible")),
                                    yesNo(a.value("published")), yesNo(a.value("comingSoon")), QString::number(a.value("rolloutPercent").toInt(-1)),
                                    a.value("problem").isNull() ? QStringLiteral("-") : a.value("problem").toString()}
                            .join(QLatin1Char(' ')));
        }
        QCOMPARE(apps, expectedApps);
    }

    // Newer keys an older launcher ignores: malformed, they fail nothing, and check names them.
    void fileListKeys_data()
    {
        FileListKeysRows::columns();
        const QJsonValue sum(QString(64, QLatin1Char('c')));
        const QJsonValue url(QStringLiteral("https://example.com/ok.zip.files"));
        FileListKeysRows::row("none", QJsonValue::Undefined, QJsonValue::Undefined, "-");
        FileListKeysRows::row("both usable", url, sum, "-");
        FileListKeysRows::row("list without checksum", url, QJsonValue::Undefined, "file list and its checksum must come together");
        FileListKeysRows::row("checksum without list", QJsonValue::Undefined, sum, "file list and its checksum must come together");
        FileListKeysRows::row("URL a number", 42, sum, "file list URL not usable");
        FileListKeysRows::row("URL of another scheme", QJsonValue(QStringLiteral("ftp://example.com/ok.zip.files")), sum, "file list URL not usable");
        FileListKeysRows::row("checksum too short", url, QJsonValue(QStringLiteral("abc")), "file list checksum not 64 hexadecimal digits");
    }

    void fileListKeys()
    {
        const auto [url, sum, problem] = FileListKeysRows::fetch();
        QJsonObject manifest = QJsonDocument::fromJson(ManifestDecoder::encode(TestCatalog::manifest({app("ok")}, {}))).object();
        QJsonArray apps = manifest.value("apps").toArray();
        QJsonObject record = apps.first().toObject();
        if (!url.isUndefined())
            record.insert("fileListUrl", url);
        if (!sum.isUndefined())
            record.insert("fileListSha256", sum);
        apps.replace(0, record);
        manifest.insert("apps", apps);
        const Run run = vantrel({"check", "--json", write("lists.json", QJsonDocument(manifest).toJson())});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject reported = json(run).value("apps").toArray().first().toObject();
        QCOMPARE(reported.value("published"), QJsonValue(true));
        QCOMPARE(reported.value("problem").isNull() ? QStringLiteral("-") : reported.value("problem").toString(), problem);
    }

    void emptyCatalogReport()
    {
        const QString path = write("empty.json", "{\"generatedAt\":\"2026-05-03T00:00:00Z\",\"apps\":[]}");
        const Run text = vantrel({"check", path});
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.out.contains(QStringLiteral("lifecycle: empty\nfeatured: none\nannouncements: 0\n")));
        const Run polish = vantrel({"check", "--lang", "pl", path});
        QVERIFY2(polish.out == QStringLiteral("brak aplikacji\n\ncykl życia: empty\nwyróżniona: brak\nogłoszenia: 0\npodpis: niesprawdzony\nnumer kolejny: brak\nwygasa: brak\n"), qPrintable(polish.out));
        const QJsonObject report = json(vantrel({"check", "--json", path}));
        QCOMPARE(report.value("featured"), QJsonValue(QJsonValue::Null));
        QCOMPARE(report.value("apps"), QJsonValue(QJsonArray()));
    }

    void refusedSources_data()
    {
        RefusedSourcesRows::columns();
        const QByteArray valid = ManifestDecoder::encode(TestCatalog::manifest({app("a"), app("b"), app("c", AppReleaseStatus::comingSoon)}));
        RefusedSourcesRows::row("bad status", QByteArray(valid).replace("comingSoon", "Live"), QString(), "apps[2].status: \"Live\" is not one of beta, live, comingSoon, retired");
        RefusedSourcesRows::row("control characters in a value", QByteArray("{\"generatedAt\":\"\\u001b]0;pwned\\u0007\",\"apps\":[]}"), QString(), "generatedAt: \"\\u001b]0;pwned\\u0007\"");
        RefusedSourcesRows::row("missing file", QByteArray(), "/nonexistent/dir/manifest.json", "cannot read /nonexistent/dir/manifest.json");
        RefusedSourcesRows::row("directory", QByteArray(), "/", "cannot read /: it is a directory");
        RefusedSourcesRows::row("nothing listening", QByteArray(), "http://127.0.0.1:1/manifest", "could not fetch http://127.0.0.1:1/manifest?lang=en");
    }

    void refusedSources()
    {
        auto [content, source, error] = RefusedSourcesRows::fetch();
        if (!content.isNull())
            source = write("refused.json", content);
        const Run text = vantrel({"check", source});
        QCOMPARE(text.exitCode, 1);
        QVERIFY(text.out.isEmpty());
        QVERIFY2(text.err.contains(error) && !text.err.contains(QChar(0x1b)), qPrintable(text.err));
        const Run inJson = vantrel({"check", "--json", source});
        QCOMPARE(inJson.exitCode, 1);
        const QJsonObject report = json(inJson);
        QCOMPARE(report.keys(), (QStringList{"error", "ok"}));
        QCOMPARE(report.value("ok"), QJsonValue(false));
        QVERIFY(report.value("error").toString().contains(error));
    }

    void fetchesOverHttpWithTheLanguage()
    {
        LoopbackHttpServer server;
        const QByteArray body = reasonsManifest();
        server.setHandler([body](const LoopbackHttpServer::Request &request) {
            return LoopbackHttpServer::Response::json(request.path == QLatin1String("/missing") ? 404 : 200, body);
        });
        QUrl url = server.url(QStringLiteral("/api/launcher/manifest"));
        url.setQuery(QStringLiteral("channel=beta&lang=en"));
        const Run run = vantrel({"check", "--lang", "de", "--json", url.toString()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(json(run).value("lifecycle").toString(), QStringLiteral("multiAppCatalog"));
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.requests().at(0).target, QByteArray("/api/launcher/manifest?channel=beta&lang=de"));

        const Run missing = vantrel({"check", server.url(QStringLiteral("/missing")).toString()});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.err.contains(QStringLiteral("could not fetch")) && missing.err.contains(QStringLiteral("404")),
                 qPrintable(missing.err));
    }

    // Checked against keys: @KEY and @OTHER are two public keys, @SIG the catalog's signature by @KEY.
    void signatures_data()
    {
        SignaturesRows::columns();
        const QString refused = QStringLiteral("The catalog's signature could not be verified.");
        SignaturesRows::row("file, signed", QStringList{"--public-keys", "@OTHER,@KEY", "--signature", "@SIG", "@FILE"}, "", 0, "signature: verified");
        SignaturesRows::row("file, signed, keys from the environment", QStringList{"--signature", "@SIG", "@FILE"}, "@KEY", 0, "signature: verified");
        SignaturesRows::row("file, unknown key", QStringList{"--public-keys", "@OTHER", "--signature", "@SIG", "@FILE"}, "", 1, refused);
        SignaturesRows::row("file, no signature", QStringList{"@FILE"}, "@KEY", 1, refused);
        SignaturesRows::row("file, no keys", QStringList{"@FILE"}, "", 0, "signature: unchecked");
        SignaturesRows::row("URL, signed", QStringList{"@URL"}, "@KEY", 0, "signature: verified");
        SignaturesRows::row("URL, unknown key", QStringList{"--public-keys", "@OTHER", "@URL"}, "", 1, refused);
        SignaturesRows::row("--signature without keys", QStringList{"--signature", "@SIG", "@FILE"}, "", 2, "--signature needs");
        SignaturesRows::row("--signature for a URL", QStringList{"--signature", "@SIG", "@URL"}, "@KEY", 2, "--signature is for a file");
        SignaturesRows::row("--public-keys without a key", QStringList{"--public-keys", "abc", "@FILE"}, "", 2, "--public-keys takes");
        const QString noFreshness = QStringLiteral("has no valid sequence or expiry date");
        SignaturesRows::row("file, signed, no sequence", QStringList{"--signature", "@OLDSIG", "@LATE"}, "@KEY", 1, noFreshness);
        SignaturesRows::row("file, unsigned, no sequence", QStringList{"@LATE"}, "", 0, "sequence: none");
    }

    void signatures()
    {
        auto [args, environmentKeys, exitCode, expected] = SignaturesRows::fetch();
        const SigningKey key = SigningKey::loadOrCreate(m_dir.filePath(QStringLiteral("key")));
        const SigningKey other = SigningKey::loadOrCreate(m_dir.filePath(QStringLiteral("other")));
        const QByteArray body = ManifestDecoder::encode(TestCatalog::fresh(ManifestDecoder::decode(reasonsManifest()), 42));
        LoopbackHttpServer server;
        LoopbackHttpServer::Response signedAnswer = LoopbackHttpServer::Response::json(200, body);
        signedAnswer.headers.append({"X-Vantrel-Signature", key.sign(body)});
        server.serve(QStringLiteral("/m"), signedAnswer);
        const QMap<QString, QString> values{{"@KEY", key.publicKeyBase64()}, {"@OTHER", other.publicKeyBase64()}, {"@SIG", key.sign(body)},
                                            {"@FILE", write("signed.json", body)}, {"@URL", server.url(QStringLiteral("/m")).toString()},
                                            {"@OLDSIG", key.sign(reasonsManifest())}, {"@LATE", write("unfresh.json", reasonsManifest())}};
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            args.replaceInStrings(it.key(), it.value());
            environmentKeys.replace(it.key(), it.value());
        }
        m_cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), environmentKeys);
        const Run run = vantrel(QStringList{"check"} + args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode ? run.err : run.out).contains(expected), qPrintable(run.out + run.err));
    }

    // The sequence and the expiry, with a warning once fewer than 3 days are left.
    void freshness_data()
    {
        FreshnessRows::columns();
        FreshnessRows::row("14 days left", 14 * 86400, false, "");
        FreshnessRows::row("3 days and an hour left", 3 * 86400 + 3600, false, "");
        FreshnessRows::row("2 days left", 2 * 86400, true, "warning: the catalog expires in less than 3 days; sign it again.");
        FreshnessRows::row("expired an hour ago", -3600, true, "warning: the catalog has expired; sign it again.");
    }

    void freshness()
    {
        const auto [secondsLeft, warned, warning] = FreshnessRows::fetch();
        const QDateTime expiresAt = QDateTime::currentDateTimeUtc().addSecs(secondsLeft);
        const QString file = write("fresh.json", ManifestDecoder::encode(TestCatalog::fresh(TestCatalog::manifest({app("ok")}), 1765000000, expiresAt)));
        const Run text = vantrel({"check", file});
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(text.out.contains("sequence: 1765000000\nexpires: " + expiresAt.toString(Qt::ISODate)), qPrintable(text.out));
        QCOMPARE(text.err.trimmed(), warning.isEmpty() ? QString() : QStringLiteral("vantrel check: ") + warning);
        const QJsonObject report = json(vantrel({"check", "--json", file}));
        QCOMPARE(report.value("sequence").toDouble(), 1765000000.0);
        QCOMPARE(report.value("expiresAt").toString(), expiresAt.toString(Qt::ISODate));
        QCOMPARE(report.value("expiryWarning").toBool(), warned);
    }

    void usageAndHelp_data()
    {
        UsageAndHelpRows::columns();
        const QString usage = QStringLiteral("usage: vantrel");
        UsageAndHelpRows::row("no command", QStringList(), 2, usage);
        UsageAndHelpRows::row("unknown command", QStringList{"frobnicate"}, 2, "vantrel: unknown command \"frobnicate\"\nusage: vantrel");
        UsageAndHelpRows::row("check without source", QStringList{"check"}, 2, usage);
        UsageAndHelpRows::row("unknown option", QStringList{"check", "--verbose", "a.json"}, 2, usage);
        UsageAndHelpRows::row("unknown language", QStringList{"check", "--lang", "fr", "a.json"}, 2, usage);
        UsageAndHelpRows::row("unknown options, in Polish", QStringList{"list", "--verbose", "-q", "--lang", "pl"}, 2, "nieznane opcje: --verbose, -q\nużycie: vantrel list");
        UsageAndHelpRows::row("value missing", QStringList{"install", "alpha", "--lang"}, 2, "vantrel install: --lang needs a value");
        UsageAndHelpRows::row("compare with one version", QStringList{"compare", "1.0"}, 2, usage);
        UsageAndHelpRows::row("help", QStringList{"help"}, 0, "vantrel check [--no-beta] [--lang en|pl|de] [--json] [--public-keys KEYS [--signature SIG]] SOURCE");
        UsageAndHelpRows::row("check --help", QStringList{"check", "--help"}, 0, "usage: vantrel check");
        UsageAndHelpRows::row("check -h", QStringList{"check", "-h"}, 0, "--lang <en|pl|de>");
        UsageAndHelpRows::row("help list", QStringList{"help", "list"}, 0, "usage: vantrel list");
        UsageAndHelpRows::row("help in German", QStringList{"update", "-h", "--lang", "de"}, 0, "Aufruf: vantrel update [--json] [--full] [--when-closed | --restart] [--no-metered] [--lang en|pl|de] --all [--include-staged] | ID...\nAktualisiert nacheinander");
        UsageAndHelpRows::row("help compare", QStringList{"help", "compare"}, 0, "usage: vantrel compare A B");
    }

    void usageAndHelp()
    {
        const auto [args, exitCode, expected] = UsageAndHelpRows::fetch();
        const Run run = vantrel(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode ? run.err : run.out).contains(expected), qPrintable(run.out + run.err));
        QVERIFY((exitCode ? run.out : run.err).isEmpty());
    }

    void compare_data()
    {
        CompareRows::columns();
        CompareRows::row("newer", "1.3.0", "1.2.9", "descending\n");
        CompareRows::row("older", "1.0.0-beta", "1.0.0", "ascending\n");
        CompareRows::row("looks like an option", "-1", "--json", "ascending\n");
    }

    void compare()
    {
        const auto [a, b, expected] = CompareRows::fetch();
        const Run run = vantrel({"compare", a, b});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, expected);
    }
};

QTEST_GUILESS_MAIN(TestCliCheck)
#include "tst_cli_check.moc"
