#include "../catalog/CatalogFixtures.h"
#include "LoopbackHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Fixtures;

namespace {

struct Run {
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
};

QString tool()
{
    return qEnvironmentVariable("VANTREL_BUILD_DIR") + QStringLiteral("/src/cli/vantrel");
}

Run vantrel(const QStringList &args)
{
    QProcess process;
    process.start(tool(), args);
    Run run;
    if (!process.waitForStarted(10000))
        return run;
    process.closeWriteChannel();
    process.waitForFinished(30000);
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QJsonObject parseObject(const QString &text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    return error.error == QJsonParseError::NoError ? doc.object() : QJsonObject();
}

QJsonObject appEntry(const char *id, const char *status, bool visible, bool published, bool comingSoon, const char *problem)
{
    return QJsonObject{{QStringLiteral("id"), QLatin1String(id)},
                       {QStringLiteral("status"), QLatin1String(status)},
                       {QStringLiteral("visible"), visible},
                       {QStringLiteral("published"), published},
                       {QStringLiteral("comingSoon"), comingSoon},
                       {QStringLiteral("problem"), problem ? QJsonValue(QLatin1String(problem)) : QJsonValue(QJsonValue::Null)}};
}

// One app per reason an app can be visible yet unpublished, plus one of every status.
QJsonObject reasonsManifest()
{
    QJsonObject noUrl = jsonApp(QStringLiteral("nourl"));
    noUrl.remove(QStringLiteral("downloadUrl"));
    QJsonObject badSum = jsonApp(QStringLiteral("badsum"));
    badSum.insert(QStringLiteral("sha256"), QStringLiteral("abc"));
    QJsonObject blank = jsonApp(QStringLiteral("blank"));
    blank.insert(QStringLiteral("version"), QStringLiteral("  "));
    QJsonObject minOs = jsonApp(QStringLiteral("minos"));
    minOs.insert(QStringLiteral("minMacOS"), QStringLiteral("14.x"));
    QJsonObject betaBad = jsonApp(QStringLiteral("betabad"), QStringLiteral("beta"));
    betaBad.insert(QStringLiteral("downloadUrl"), QJsonValue::Null);
    // Several defects: only the first counts.
    QJsonObject many = jsonApp(QStringLiteral("many"));
    many.insert(QStringLiteral("sha256"), QJsonValue::Null);
    many.insert(QStringLiteral("version"), QString());

    QJsonObject doc = jsonManifest();
    doc.insert(QStringLiteral("apps"), QJsonArray{jsonApp(QStringLiteral("ok")), noUrl, badSum, blank, minOs, many,
                                                  jsonApp(QStringLiteral("beta"), QStringLiteral("beta")), betaBad,
                                                  jsonApp(QStringLiteral("soon"), QStringLiteral("comingSoon")),
                                                  jsonApp(QStringLiteral("old"), QStringLiteral("retired"))});
    return doc;
}

}  // namespace

class TestCliCheck : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &content)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(content);
        return file.fileName();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFileInfo(tool()).isExecutable(), qPrintable(tool()));
    }

    void shippedSample()
    {
        const Run run = vantrel({QStringLiteral("check"), qEnvironmentVariable("VANTREL_SOURCE_DIR") + QStringLiteral("/samples/manifest.json")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QStringList lines = run.out.split(QLatin1Char('\n'));
        QVERIFY(lines.first().startsWith(QStringLiteral("ID ")));
        QVERIFY(lines.contains(QStringLiteral("lifecycle: multiAppCatalog")));
        QVERIFY(lines.contains(QStringLiteral("featured: tidy-tabs")));
        QVERIFY(lines.contains(QStringLiteral("announcements: 2")));
        const auto row = [&](const QString &id) {
            for (const QString &line : lines) {
                if (line.startsWith(id + QLatin1Char(' ')))
                    return line.simplified();
            }
            return QString();
        };
        QCOMPARE(row(QStringLiteral("tidy-tabs")), QStringLiteral("tidy-tabs live yes yes no -"));
        QCOMPARE(row(QStringLiteral("clip-stack")), QStringLiteral("clip-stack live yes no no checksum not 64 hexadecimal digits"));
        QCOMPARE(row(QStringLiteral("quiet-hours")), QStringLiteral("quiet-hours comingSoon yes no yes -"));
        QCOMPARE(row(QStringLiteral("menu-meter")), QStringLiteral("menu-meter retired no no no -"));
    }

    void jsonReport_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("lifecycle");
        QTest::addColumn<QJsonValue>("featured");
        QTest::addColumn<QJsonArray>("apps");

        QTest::newRow("beta included") << QStringList() << "multiAppCatalog" << QJsonValue(QStringLiteral("ok"))
                                       << QJsonArray{appEntry("ok", "live", true, true, false, nullptr),
                                                     appEntry("nourl", "live", true, false, false, "no download URL"),
                                                     appEntry("badsum", "live", true, false, false, "checksum not 64 hexadecimal digits"),
                                                     appEntry("blank", "live", true, false, false, "blank version"),
                                                     appEntry("minos", "live", true, false, false, "minimum system version does not parse"),
                                                     appEntry("many", "live", true, false, false, "checksum not 64 hexadecimal digits"),
                                                     appEntry("beta", "beta", true, true, false, nullptr),
                                                     appEntry("betabad", "beta", true, false, false, "no download URL"),
                                                     appEntry("soon", "comingSoon", true, false, true, nullptr),
                                                     appEntry("old", "retired", false, false, false, nullptr)};
        QTest::newRow("no beta") << QStringList{QStringLiteral("--no-beta")} << "firstPublishedApp" << QJsonValue(QStringLiteral("ok"))
                                 << QJsonArray{appEntry("ok", "live", true, true, false, nullptr),
                                               appEntry("nourl", "live", true, false, false, "no download URL"),
                                               appEntry("badsum", "live", true, false, false, "checksum not 64 hexadecimal digits"),
                                               appEntry("blank", "live", true, false, false, "blank version"),
                                               appEntry("minos", "live", true, false, false, "minimum system version does not parse"),
                                               appEntry("many", "live", true, false, false, "checksum not 64 hexadecimal digits"),
                                               appEntry("beta", "beta", false, false, false, nullptr),
                                               appEntry("betabad", "beta", false, false, false, nullptr),
                                               appEntry("soon", "comingSoon", true, false, true, nullptr),
                                               appEntry("old", "retired", false, false, false, nullptr)};
    }

    void jsonReport()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, lifecycle);
        QFETCH(QJsonValue, featured);
        QFETCH(QJsonArray, apps);
        const QString path = write(QStringLiteral("reasons.json"), QJsonDocument(reasonsManifest()).toJson());
        const Run run = vantrel(QStringList{QStringLiteral("check"), QStringLiteral("--json")} + options + QStringList{path});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject report = parseObject(run.out);
        QCOMPARE(report.keys(), (QStringList{"announcements", "apps", "featured", "lifecycle", "ok"}));
        QCOMPARE(report.value(QStringLiteral("ok")), QJsonValue(true));
        QCOMPARE(report.value(QStringLiteral("lifecycle")).toString(), lifecycle);
        QCOMPARE(report.value(QStringLiteral("featured")), featured);
        QCOMPARE(report.value(QStringLiteral("announcements")).toInt(-1), 1);
        const QJsonArray actual = report.value(QStringLiteral("apps")).toArray();
        QCOMPARE(actual.size(), apps.size());
        for (int i = 0; i < apps.size(); ++i)
            QCOMPARE(actual.at(i).toObject(), apps.at(i).toObject());
    }

    void emptyCatalogReport()
    {
        const Run text = vantrel({QStringLiteral("check"), write(QStringLiteral("empty.json"), "{\"generatedAt\":\"2026-05-03T00:00:00Z\",\"apps\":[]}")});
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.out.contains(QStringLiteral("lifecycle: empty\nfeatured: none\nannouncements: 0\n")));
        const Run json = vantrel({QStringLiteral("check"), QStringLiteral("--json"), m_dir.filePath(QStringLiteral("empty.json"))});
        const QJsonObject report = parseObject(json.out);
        QCOMPARE(report.value(QStringLiteral("featured")), QJsonValue(QJsonValue::Null));
        QCOMPARE(report.value(QStringLiteral("apps")).toArray().size(), 0);
    }

    void documentThatDoesNotDecode()
    {
        QJsonObject doc = jsonManifest();
        QJsonArray apps = doc.value(QStringLiteral("apps")).toArray();
        QJsonObject third = apps.at(2).toObject();
        third.insert(QStringLiteral("status"), QStringLiteral("Live"));
        apps[2] = third;
        doc.insert(QStringLiteral("apps"), apps);
        const QString path = write(QStringLiteral("bad-status.json"), QJsonDocument(doc).toJson());
        const QString expected = QStringLiteral("apps[2].status: \"Live\" is not one of beta, live, comingSoon, retired");

        const Run text = vantrel({QStringLiteral("check"), path});
        QCOMPARE(text.exitCode, 1);
        QVERIFY(text.out.isEmpty());
        QVERIFY2(text.err.contains(expected), qPrintable(text.err));

        const Run json = vantrel({QStringLiteral("check"), QStringLiteral("--json"), path});
        QCOMPARE(json.exitCode, 1);
        QCOMPARE(parseObject(json.out), (QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("error"), expected}}));
    }

    void hostileInputNeverCrashes_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("errorPart");
        const QByteArray valid = QJsonDocument(jsonManifest()).toJson();
        QTest::newRow("truncated") << valid.left(valid.size() / 3) << QStringLiteral("invalid JSON at line");
        QTest::newRow("invalid UTF-8") << QByteArray("{\"generatedAt\": \"\xFF\xFE\"}") << QStringLiteral("invalid UTF-8 at line 1");
        QTest::newRow("deep nesting") << QByteArray(100000, '[') << QStringLiteral("invalid JSON");
        QTest::newRow("wrong top-level type") << QByteArray("[1,2,3]") << QStringLiteral("expected a JSON object");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("the document is empty");
        QTest::newRow("control characters in a value")
            << QByteArray("{\"generatedAt\":\"\\u001b]0;pwned\\u0007\",\"apps\":[]}") << QStringLiteral("generatedAt: \"\\u001b]0;pwned\\u0007\"");
    }

    void hostileInputNeverCrashes()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, errorPart);
        const Run run = vantrel({QStringLiteral("check"), write(QStringLiteral("hostile.json"), content)});
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(errorPart), qPrintable(run.err));
        QVERIFY(!run.err.contains(QChar(0x1b)));
    }

    void unreadableSources_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("missing file") << QStringLiteral("/nonexistent/dir/manifest.json") << QStringLiteral("cannot read /nonexistent/dir/manifest.json");
        QTest::newRow("directory") << QStringLiteral("/") << QStringLiteral("cannot read /: it is a directory");
        QTest::newRow("nothing listening") << QStringLiteral("http://127.0.0.1:1/manifest") << QStringLiteral("could not fetch http://127.0.0.1:1/manifest?lang=en");
    }

    void unreadableSources()
    {
        QFETCH(QString, source);
        QFETCH(QString, errorPart);
        const Run run = vantrel({QStringLiteral("check"), source});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(errorPart), qPrintable(run.err));

        const Run json = vantrel({QStringLiteral("check"), QStringLiteral("--json"), source});
        QCOMPARE(json.exitCode, 1);
        const QJsonObject report = parseObject(json.out);
        QCOMPARE(report.value(QStringLiteral("ok")), QJsonValue(false));
        QVERIFY(report.value(QStringLiteral("error")).toString().contains(errorPart));
    }

    void fetchesOverHttpWithTheLanguage()
    {
        LoopbackHttpServer server;
        const QByteArray body = QJsonDocument(reasonsManifest()).toJson();
        server.setHandler([body](const LoopbackHttpServer::Request &request) {
            if (request.path == QLatin1String("/missing"))
                return LoopbackHttpServer::Response::json(404, "{}");
            if (request.path == QLatin1String("/html"))
                return LoopbackHttpServer::Response::text(200, "<html></html>", "text/html");
            return LoopbackHttpServer::Response::json(200, body);
        });

        QUrl url = server.url(QStringLiteral("/api/launcher/manifest"));
        url.setQuery(QStringLiteral("channel=beta&lang=en"));
        const Run run = vantrel({QStringLiteral("check"), QStringLiteral("--lang"), QStringLiteral("de"), QStringLiteral("--json"),
                                 url.toString()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(parseObject(run.out).value(QStringLiteral("lifecycle")).toString(), QStringLiteral("multiAppCatalog"));
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.requests().at(0).target, QByteArray("/api/launcher/manifest?channel=beta&lang=de"));

        const Run missing = vantrel({QStringLiteral("check"), server.url(QStringLiteral("/missing")).toString()});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.err.contains(QStringLiteral("could not fetch")) && missing.err.contains(QStringLiteral("404")),
                 qPrintable(missing.err));

        const Run html = vantrel({QStringLiteral("check"), server.url(QStringLiteral("/html")).toString()});
        QCOMPARE(html.exitCode, 1);
        QVERIFY2(html.err.contains(QStringLiteral("invalid JSON at line 1")), qPrintable(html.err));
    }

    void wrongUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList();
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("check without source") << QStringList{"check"};
        QTest::newRow("check with two sources") << QStringList{"check", "a.json", "b.json"};
        QTest::newRow("unknown option") << QStringList{"check", "--verbose", "a.json"};
        QTest::newRow("unknown language") << QStringList{"check", "--lang", "fr", "a.json"};
        QTest::newRow("language missing") << QStringList{"check", "a.json", "--lang"};
        QTest::newRow("compare with one version") << QStringList{"compare", "1.0"};
        QTest::newRow("compare with three versions") << QStringList{"compare", "1", "2", "3"};
    }

    void wrongUsage()
    {
        QFETCH(QStringList, args);
        const Run run = vantrel(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("usage: vantrel")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void helpListsCommands()
    {
        const Run run = vantrel({QStringLiteral("help")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("vantrel check [--no-beta] [--lang en|pl|de] [--json] SOURCE")));
        QVERIFY(run.out.contains(QStringLiteral("vantrel compare A B")));
    }

    void commandHelp_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("check --help") << QStringList{"check", "--help"} << "--no-beta";
        QTest::newRow("check -h") << QStringList{"check", "-h"} << "--lang <en|pl|de>";
        QTest::newRow("help list") << QStringList{"help", "list"} << "--json";
        QTest::newRow("help compare") << QStringList{"help", "compare"} << "usage: vantrel compare A B";
    }

    void commandHelp()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const Run run = vantrel(args);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith(QStringLiteral("usage: vantrel ") + args.at(args.first() == "help" ? 1 : 0)),
                 qPrintable(run.out));
        QVERIFY2(run.out.contains(expected), qPrintable(run.out));
        QVERIFY(run.err.isEmpty());
    }

    void compare_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expected");
        QTest::newRow("newer") << "1.3.0" << "1.2.9" << "descending";
        QTest::newRow("older") << "1.0.0-beta" << "1.0.0" << "ascending";
        QTest::newRow("same") << "1.2" << "1.2.0" << "same";
        QTest::newRow("empty texts") << "" << "0" << "same";
        QTest::newRow("looks like an option") << "-1" << "--json" << "ascending";
    }

    void compare()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        const Run run = vantrel({QStringLiteral("compare"), a, b});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, expected + QLatin1Char('\n'));
    }
};

QTEST_GUILESS_MAIN(TestCliCheck)
#include "tst_cli_check.moc"
