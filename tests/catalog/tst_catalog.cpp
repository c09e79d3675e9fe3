// Catalog records (decoding, versions, policy, install states, copy) and the manifest client.
#include "DataRows.h"
#include "codec/EnumNames.h"
#include "CatalogBuilders.h"
#include "ClosedPort.h"
#include "LoopbackHttpServer.h"
#include "async/WaitForTask.h"
#include "catalog/AppInstallState.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"
#include "catalog/ManifestPolicy.h"
#include "catalog/VersionComparison.h"
#include "errors/LauncherError.h"
#include "i18n/VantrelTranslator.h"

#include <QNetworkAccessManager>
#include <QTcpSocket>

using TestCatalog::app;
using TestCatalog::ids;
using Server = LoopbackHttpServer;
Q_DECLARE_METATYPE(ComparisonResult)
Q_DECLARE_METATYPE(ManifestPolicy::InstallCheck)

namespace {

const QJsonValue removed(QJsonValue::Undefined);

// A valid document: three apps and one announcement, every member present.
QJsonObject jsonManifest()
{
    const auto jsonApp = [](const char *id, const char *status) {
        return QJsonObject{{"id", id}, {"name", QStringLiteral("Name ") + id}, {"tagline", "Tagline"},
                           {"category", "Productivity"}, {"bundleId", QStringLiteral("com.example.") + id},
                           {"version", "1.2.3"}, {"minMacOS", "13.5"}, {"status", status},
                           {"downloadUrl", QStringLiteral("https://downloads.example.com/%1.zip").arg(id)},
                           {"sha256", TestCatalog::validSha}, {"sparkleFeedUrl", "https://updates.example.com/appcast.xml"},
                           {"symbolName", "star"}, {"iconUrl", "https://cdn.example.com/icon.png"}, {"accent", "violet"},
                           {"tags", QJsonArray{"one", "two"}}, {"description", "Description"}, {"privacyNote", "Privacy"},
                           {"releaseNotes", QJsonArray{QJsonObject{{"version", "1.2.3"}, {"date", "May 2026"}, {"text", "Fixes."}}}}};
    };
    const QJsonObject announcement{{"id", "ann-1"}, {"appId", "alpha"}, {"appName", "Alpha"}, {"kind", "release"},
                                   {"title", "Alpha 1.2"}, {"body", "Now with more."}, {"version", "1.2.3"},
                                   {"publishedAt", "2026-05-01T08:00:00Z"}};
    return {{"generatedAt", "2026-05-03T00:00:00Z"},
            {"apps", QJsonArray{jsonApp("alpha", "live"), jsonApp("beta", "beta"), jsonApp("gamma", "comingSoon")}},
            {"announcements", QJsonArray{announcement}}};
}

// The tree with the member at path ("apps.2.status") set to value; undefined removes it.
QJsonValue edited(const QJsonValue &node, QStringList path, const QJsonValue &value)
{
    const QString head = path.takeFirst();
    if (node.isArray()) {
        QJsonArray array = node.toArray();
        const int i = head.toInt();
        if (!path.isEmpty())
            array[i] = edited(array.at(i), path, value);
        else if (value.isUndefined())
            array.removeAt(i);
        else
            array[i] = value;
        return array;
    }
    QJsonObject object = node.toObject();
    if (!path.isEmpty())
        object.insert(head, edited(object.value(head), path, value));
    else if (value.isUndefined())
        object.remove(head);
    else
        object.insert(head, value);
    return object;
}

QJsonValue memberAt(QJsonValue node, const QString &path)
{
    for (const QString &step : path.split(QLatin1Char('.')))
        node = node.isArray() ? node.toArray().at(step.toInt()) : node.toObject().value(step);
    return node;
}

QByteArray document(const QString &path, const QJsonValue &value)
{
    return QJsonDocument(edited(jsonManifest(), path.split(QLatin1Char('.')), value).toObject()).toJson();
}

QString decodingError(const QByteArray &json)
{
    try {
        ManifestDecoder::decode(json);
    } catch (const DecodingError &e) {
        return e.localizedDescription();
    }
    return QStringLiteral("<decoded>");
}

// Every member of a tree: its dotted path, the path errors show, its value.
void collectMembers(const QJsonValue &value, const QString &dotted, const QString &shown,
                    QList<std::tuple<QString, QString, QJsonValue>> &out)
{
    if (!dotted.isEmpty())
        out.append({dotted, shown, value});
    const QString prefix = dotted.isEmpty() ? QString() : dotted + QLatin1Char('.');
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
        collectMembers(it.value(), prefix + it.key(), shown.isEmpty() ? it.key() : shown + QLatin1Char('.') + it.key(), out);
    const QJsonArray array = value.toArray();
    for (int i = 0; i < array.size(); ++i)
        collectMembers(array.at(i), prefix + QString::number(i), shown + QStringLiteral("[%1]").arg(i), out);
}

// An app with complete release data, whatever its status.
AppManifestItem withRelease(const QString &id, AppReleaseStatus status = AppReleaseStatus::live)
{
    AppManifestItem a = app(id);
    a.status = status;
    return a;
}

const QByteArray validBody = ManifestDecoder::encode(
    TestCatalog::manifest({TestCatalog::app("alpha"), TestCatalog::app("beta"), TestCatalog::app("gamma")}));

// How a load ended: "ok: N apps", "status N", "network", or the decoding error.
QString outcome(QCoro::Task<LauncherManifest> load)
{
    try {
        return QStringLiteral("ok: %1 apps").arg(waitForTask(std::move(load)).apps.size());
    } catch (const ManifestClientError &e) {
        return QStringLiteral("status %1").arg(e.httpStatus());
    } catch (const DecodingError &e) {
        return QStringLiteral("decoding: ") + e.localizedDescription();
    } catch (const PlatformError &e) {
        return e.domain() == PlatformError::Domain::network ? QStringLiteral("network") : e.debugDescription();
    }
}

}  // namespace

class TestCatalogRecords : public QObject
{
    Q_OBJECT
    using AcceptedDocumentsRows = DataRows<QString, QJsonValue, QJsonValue>;  // path, value, decoded (the member after decoding and encoding again)
    using RejectedDocumentsRows = DataRows<QString, QJsonValue, QString>;  // path, value (undefined: the member removed), error
    using MalformedInputRows = DataRows<QByteArray, QString>;  // json, errorStart
    using ParseDateRows = DataRows<QString, qint64>;  // text, seconds (-2: refused)
    using CompareVersionsRows = DataRows<QString, QString, ComparisonResult>;  // lhs, rhs, expected
    using PolicyRows = DataRows<AppManifestItem, bool, QString, ManifestPolicy::InstallCheck>;  // app, includeBeta, lists (the lists the app is on), check (on a 14.5.0 system)
    using SystemVersionRows = DataRows<QString, QString>;  // text, expected ("-": refused)
    using LifecycleRows = DataRows<QList<AppManifestItem>, bool, QString>;  // apps, includeBeta, expected (kind, published, coming soon, featured)
    using InstallStateLabelsRows = DataRows<AppInstallState, QString>;  // state, english
    using InstallStateCodedFormRows = DataRows<QByteArray, QString>;  // json, expected (coded form of the decoded state, or error start)
    using LanguageOfIdentifierRows = DataRows<QVariant, VantrelLocale>;  // identifier (invalid: no identifier), expected
    using RequestUrlRows = DataRows<QString, VantrelLocale, QString>;  // query, locale, expected
    using AnswersRows = DataRows<int, QByteArray, QString, QString>;  // status, body, shape (how the server sends it), expected

private:
    QNetworkAccessManager m_session;

private Q_SLOTS:
    void decodesEveryMemberAndEncodesItBack()
    {
        const QJsonObject source = jsonManifest();
        const LauncherManifest m = ManifestDecoder::decode(QJsonDocument(source).toJson());
        QCOMPARE(QJsonDocument::fromJson(ManifestDecoder::encode(m)).object(), source);
        // A decoder and an encoder that agree on a wrong field would pass the round trip.
        QCOMPARE(m.generatedAt, QDateTime::fromSecsSinceEpoch(1777766400, Qt::UTC));
        QCOMPARE(m.apps.at(1).status, AppReleaseStatus::beta);
        QCOMPARE(m.apps.at(0).accent, AppAccent::violet);
        QCOMPARE(m.apps.at(0).tagline, QStringLiteral("Tagline"));
        QCOMPARE(m.apps.at(0).sha256, TestCatalog::validSha);
        QCOMPARE(m.announcements.at(0).publishedAt, QDateTime::fromSecsSinceEpoch(1777622400, Qt::UTC));
    }

    void acceptedDocuments_data()
    {
        AcceptedDocumentsRows::columns();
        for (const char *path : {"apps.0.downloadUrl", "apps.0.sha256", "apps.0.sparkleFeedUrl", "apps.0.iconUrl",
                                 "announcements.0.version", "announcements.0.publishedAt"}) {
            AcceptedDocumentsRows::row(QString::asprintf("%s absent", path), QString::fromLatin1(path), removed, removed);
            AcceptedDocumentsRows::row(QString::asprintf("%s null", path), QString::fromLatin1(path), QJsonValue(QJsonValue::Null), removed);
        }
        AcceptedDocumentsRows::row("announcements absent", "announcements", removed, QJsonArray());
        AcceptedDocumentsRows::row("apps empty", "apps", QJsonArray(), QJsonArray());
        AcceptedDocumentsRows::row("checksum not checked here", "apps.0.sha256", "abc", "abc");
        AcceptedDocumentsRows::row("relative downloadUrl", "apps.0.downloadUrl", "releases/alpha.zip", "releases/alpha.zip");
        AcceptedDocumentsRows::row("generatedAt with an offset", "generatedAt", "2026-05-03T02:00:00+02:00", "2026-05-03T00:00:00Z");
        AcceptedDocumentsRows::row("release note date free text", "apps.0.releaseNotes.0.date", "sometime in May", "sometime in May");
        AcceptedDocumentsRows::row("text kept untrimmed", "apps.0.name", "  Spaced\tName \n", "  Spaced\tName \n");
        AcceptedDocumentsRows::row("empty version", "apps.0.version", "", "");
        AcceptedDocumentsRows::row("unknown top-level key", "extra", QJsonObject{{"x", 1}}, removed);
        AcceptedDocumentsRows::row("unknown app key", "apps.1.rating", 5, removed);
        // The rollout's share: 100 when absent, written back only when below it.
        AcceptedDocumentsRows::row("rolloutPercent absent", "apps.0.rolloutPercent", removed, removed);
        AcceptedDocumentsRows::row("rolloutPercent null", "apps.0.rolloutPercent", QJsonValue(QJsonValue::Null), removed);
        AcceptedDocumentsRows::row("rolloutPercent 100", "apps.0.rolloutPercent", 100, removed);
        AcceptedDocumentsRows::row("rolloutPercent 0 halts", "apps.0.rolloutPercent", 0, 0);
        AcceptedDocumentsRows::row("rolloutPercent 10.0", "apps.1.rolloutPercent", 10.0, 10);
        const QString long1MiB(1 << 20, QLatin1Char('x'));
        AcceptedDocumentsRows::row("no length limit on texts", "apps.0.description", long1MiB, long1MiB);
    }

    void acceptedDocuments()
    {
        const auto [path, value, decoded] = AcceptedDocumentsRows::fetch();
        const LauncherManifest m = ManifestDecoder::decode(document(path, value));
        QCOMPARE(memberAt(QJsonDocument::fromJson(ManifestDecoder::encode(m)).object(), path), decoded);
    }

    void rejectedDocuments_data()
    {
        RejectedDocumentsRows::columns();
        const QString notStatus = QStringLiteral(" is not one of beta, live, comingSoon, retired");
        const QString notDate = QStringLiteral(" is not a date-time such as 2026-05-03T00:00:00Z");
        RejectedDocumentsRows::row("generatedAt missing", "generatedAt", removed, "missing key \"generatedAt\"");
        RejectedDocumentsRows::row("generatedAt null", "generatedAt", QJsonValue::Null, "generatedAt: expected a string, found null");
        RejectedDocumentsRows::row("generatedAt fractional", "generatedAt", "2026-05-03T00:00:00.000Z", "generatedAt: \"2026-05-03T00:00:00.000Z\"" + notDate);
        RejectedDocumentsRows::row("apps missing", "apps", removed, "missing key \"apps\"");
        RejectedDocumentsRows::row("status Live", "apps.2.status", "Live", "apps[2].status: \"Live\"" + notStatus);
        // Only the bare case name: no scoped spelling, value number or trailing NUL.
        RejectedDocumentsRows::row("status scoped", "apps.0.status", "CatalogEnums::live", "apps[0].status: \"CatalogEnums::live\"" + notStatus);
        RejectedDocumentsRows::row("status with NUL", "apps.0.status", QStringLiteral("live") + QChar(u'\0'), "apps[0].status: \"live\\u0000\"" + notStatus);
        // Messages quote bad values escaped and cut short.
        RejectedDocumentsRows::row("status with control characters", "apps.0.status", "li\nve\x1b[2J", "apps[0].status: \"li\\nve\\u001b[2J\"" + notStatus);
        RejectedDocumentsRows::row("status very long", "apps.1.status", QString(200, QLatin1Char('x')),
            "apps[1].status: \"" + QString(80, QLatin1Char('x')) + "...\"" + notStatus);
        RejectedDocumentsRows::row("accent capitalised", "apps.1.accent", "Lime", "apps[1].accent: \"Lime\" is not one of lime, violet, amber, blue, cyan");
        RejectedDocumentsRows::row("downloadUrl with a space", "apps.0.downloadUrl", "https://exa mple.com/a.zip",
            "apps[0].downloadUrl: \"https://exa mple.com/a.zip\" is not a URL");
        RejectedDocumentsRows::row("iconUrl with a '#' in the fragment", "apps.0.iconUrl", "https://cdn.example.com/a.png##b",
            "apps[0].iconUrl: \"https://cdn.example.com/a.png##b\" is not a URL");
        RejectedDocumentsRows::row("sparkleFeedUrl empty", "apps.1.sparkleFeedUrl", "", "apps[1].sparkleFeedUrl: \"\" is not a URL");
        RejectedDocumentsRows::row("sha256 boolean", "apps.0.sha256", true, "apps[0].sha256: expected a string, found a boolean");
        const QString notPercent = QStringLiteral(" is not a whole number from 0 to 100");
        RejectedDocumentsRows::row("rolloutPercent 101", "apps.0.rolloutPercent", 101, "apps[0].rolloutPercent: 101" + notPercent);
        RejectedDocumentsRows::row("rolloutPercent negative", "apps.1.rolloutPercent", -1, "apps[1].rolloutPercent: -1" + notPercent);
        RejectedDocumentsRows::row("rolloutPercent fraction", "apps.0.rolloutPercent", 12.5, "apps[0].rolloutPercent: 12.5" + notPercent);
        RejectedDocumentsRows::row("rolloutPercent huge", "apps.0.rolloutPercent", 1e300, "apps[0].rolloutPercent: 1e+300" + notPercent);
        RejectedDocumentsRows::row("rolloutPercent text", "apps.0.rolloutPercent", "10", "apps[0].rolloutPercent: expected a whole number, found a string");
        RejectedDocumentsRows::row("rolloutPercent boolean", "apps.0.rolloutPercent", true, "apps[0].rolloutPercent: expected a whole number, found a boolean");
        RejectedDocumentsRows::row("release note missing date", "apps.0.releaseNotes.0.date", removed, "apps[0].releaseNotes[0]: missing key \"date\"");
        RejectedDocumentsRows::row("announcement publishedAt empty", "announcements.0.publishedAt", "", "announcements[0].publishedAt: \"\"" + notDate);
        for (const char *key : {"id", "name", "tagline", "category", "bundleId", "version", "minMacOS", "status", "symbolName",
                                "accent", "tags", "description", "privacyNote", "releaseNotes"})
            RejectedDocumentsRows::row(QString::asprintf("app without %s", key), QStringLiteral("apps.0.") + QLatin1String(key), removed, QStringLiteral("apps[0]: missing key \"%1\"").arg(QLatin1String(key)));
        for (const char *key : {"id", "appId", "appName", "kind", "title", "body"})
            RejectedDocumentsRows::row(QString::asprintf("announcement without %s", key), QStringLiteral("announcements.0.") + QLatin1String(key), removed, QStringLiteral("announcements[0]: missing key \"%1\"").arg(QLatin1String(key)));
    }

    void rejectedDocuments()
    {
        const auto [path, value, error] = RejectedDocumentsRows::fetch();
        QCOMPARE(decodingError(document(path, value)), error);
    }

    // Each member replaced by a value of a type it never has fails with its own path.
    void wrongTypeAtEveryMember()
    {
        QList<std::tuple<QString, QString, QJsonValue>> members;
        collectMembers(jsonManifest(), QString(), QString(), members);
        QVERIFY(members.size() > 60);
        for (const auto &[dotted, shown, original] : members) {
            const QJsonValue wrong = original.isString() ? QJsonValue(42)
                : original.isArray()                    ? QJsonValue(QJsonObject())
                                                        : QJsonValue(QJsonArray());
            const QString message = decodingError(document(dotted, wrong));
            QVERIFY2(message.startsWith(shown + QStringLiteral(": expected ")), qPrintable(dotted + QStringLiteral(" -> ") + message));
        }
    }

    void malformedInput_data()
    {
        MalformedInputRows::columns();
        QByteArray overCap(ManifestDecoder::maximumDocumentSize + 1, ' ');
        overCap[0] = '{';
        MalformedInputRows::row("white space", QByteArray(" \n\t "), "the document is empty");
        MalformedInputRows::row("over the size cap", overCap, "the document is too large");
        MalformedInputRows::row("top-level array", QByteArray("[]"), "expected a JSON object at the top level");
        MalformedInputRows::row("trailing garbage", QByteArray("{\"apps\": []} x"), "invalid JSON at line 1");
        MalformedInputRows::row("error on second line", QByteArray("{\n  \"apps\": [,]\n}"), "invalid JSON at line 2");
        MalformedInputRows::row("invalid UTF-8 in a string", QByteArray("{\"generatedAt\": \"2026\xC3\x28\"}"), "invalid UTF-8 at line 1, column 22");
        MalformedInputRows::row("truncated sequence at end", QByteArray("{\"x\": \"\xE2\x82"), "invalid UTF-8");
    }

    void malformedInput()
    {
        const auto [json, errorStart] = MalformedInputRows::fetch();
        const QString message = decodingError(json);
        QVERIFY2(message.startsWith(errorStart), qPrintable(message));
    }

    void parseDate_data()
    {
        ParseDateRows::columns();
        ParseDateRows::row("Z", "2026-05-03T00:00:00Z", qint64(1777766400));
        ParseDateRows::row("plus offset", "2026-05-03T02:00:00+02:00", qint64(1777766400));
        ParseDateRows::row("minus offset across midnight", "2026-05-02T23:00:00-01:00", qint64(1777766400));
        ParseDateRows::row("before epoch", "1969-12-31T23:59:59Z", qint64(-1));
        ParseDateRows::row("leap day", "2024-02-29T12:00:00Z", qint64(1709208000));
        for (const char *text : {"2026-05-03T00:00:00.000Z", "2026-05-03T00:00:00", "2026-05-03T00:00:00z", "2026-05-03 00:00:00Z",
                                 "2026-05-03T00:00:00+0200", "2026-05-03T00:00Z", "2026-13-03T00:00:00Z", "2025-02-29T00:00:00Z",
                                 "2026-05-03T24:00:00Z", "2026-05-03T23:59:60Z", "2026-05-03T00:00:00+24:00", " 2026-05-03T00:00:00Z",
                                 "2026-05-03T00:00:00Z\n", "2026-+5-03T00:00:00Z", "2026-W18-7T00:00:00Z"})
            ParseDateRows::row(QString::asprintf("refused: %s", text), QString::fromLatin1(text), qint64(-2));
        ParseDateRows::row("Arabic-Indic digits", QString::fromUtf8("٢٠٢٦-05-03T00:00:00Z"), qint64(-2));
    }

    void parseDate()
    {
        const auto [text, seconds] = ParseDateRows::fetch();
        const auto date = ManifestDecoder::parseDate(text);
        QCOMPARE(date ? date->toSecsSinceEpoch() : qint64(-2), seconds);
        QVERIFY(!date || date->timeSpec() == Qt::UTC);
    }

    void compareVersions_data()
    {
        CompareVersionsRows::columns();
        const struct { const char *lhs; char order; const char *rhs; } cases[] = {
            {"1.3.0", '>', "1.2.9"}, {"1.2", '=', "1.2.0"}, {"1.2.0.1", '>', "1.2"}, {"1.01", '=', "1.1"},
            {".1..2.", '=', "1.2"}, {"", '=', "0.0.0"}, {"v2.0", '<', "1.0"}, {"99999999999999999999.0", '<', "1.0"},
            {"9223372036854775807", '>', "9223372036854775806"}, {"1.1-alpha", '>', "1.0"},
            // Pre-releases (their order is also in versionOrderIsConsistent): dot-, hyphen- or run-separated tokens.
            {"1.0.0-", '<', "1.0.0"}, {"1.0.0+build7", '=', "1.0.0"}, {"1.0.0+build-7", '=', "1.0.0"}, {"1.0.0-BETA", '=', "1.0.0-beta"},
            {"1.0.0-rc10", '<', "1.0.0-rc9"}, {"1.0-beta-2", '>', "1.0-beta-1"}, {"1.0.0-a-b-c", '=', "1.0.0-a.b.c"},
            {"1.0-99999999999999999999", '>', "1.0-5"}, {"1.0-Zeta", '>', "1.0-alpha"}, {"1.0-beta2", '>', "1.0-beta.2"},
            // Text is compared by code point of its canonical form.
            {"1.0-βeta", '=', "1.0-ΒETA"}, {"1.0-é", '>', "1.0-z"}, {"1.0-caf\u00e9", '=', "1.0-cafe\u0301"}, {"1.0-\u0663", '>', "1.0-3"},
            {"1.0-a\U0001D400b", '>', "1.0-a.b"}};
        for (const auto &c : cases)
            CompareVersionsRows::row(QString::asprintf("%s %c %s", c.lhs, c.order, c.rhs), QString::fromUtf8(c.lhs), QString::fromUtf8(c.rhs), ComparisonResult((c.order == '>') - (c.order == '<')));
    }

    void compareVersions()
    {
        const auto [lhs, rhs, expected] = CompareVersionsRows::fetch();
        QCOMPARE(::compareVersions(lhs, rhs), expected);
        QCOMPARE(::compareVersions(rhs, lhs), ComparisonResult(-int(expected)));
    }

    void versionOrderIsConsistent()
    {
        // Sorted oldest to newest: every pair agrees with the positions.
        const QStringList ordered{"", "0.9", "1.0.0-1", "1.0.0-alpha", "1.0.0-alpha.1", "1.0.0-beta", "1.0.0-beta.2", "1.0.0-beta.10",
                                  "1.0.0-rc1", "1.0.0", "1.0.1", "1.2", "1.10", "2.0.0-beta", "2.0.0", "10.0"};
        for (int i = 0; i < ordered.size(); ++i) {
            for (int j = 0; j < ordered.size(); ++j)
                QVERIFY2(int(::compareVersions(ordered.at(i), ordered.at(j))) == (i > j) - (i < j),
                         qPrintable(ordered.at(i) + QStringLiteral(" vs ") + ordered.at(j)));
        }
    }

    void policy_data()
    {
        PolicyRows::columns();
        using Check = ManifestPolicy::InstallCheck;
        using A = AppManifestItem;
        const QString sha = TestCatalog::validSha;
        // A live app with one member changed.
        const auto with = [](auto member, auto value) {
            AppManifestItem a = withRelease(QStringLiteral("x"));
            a.*member = value;
            return a;
        };
        PolicyRows::row("live", withRelease("x"), false, "visible published", Check::passes);
        PolicyRows::row("beta hidden", withRelease("x", AppReleaseStatus::beta), false, "", Check::passes);
        PolicyRows::row("beta shown", withRelease("x", AppReleaseStatus::beta), true, "visible published", Check::passes);
        // The release comes first: a coming-soon or retired app has none, whatever its data.
        PolicyRows::row("coming soon with release data", withRelease("x", AppReleaseStatus::comingSoon), false, "visible comingSoon", Check::noPublishedRelease);
        PolicyRows::row("retired, beta hidden", withRelease("x", AppReleaseStatus::retired), false, "", Check::noPublishedRelease);
        // A live app with incomplete data is visible but neither published nor coming soon.
        PolicyRows::row("no download URL", with(&A::downloadUrl, std::nullopt), false, "visible", Check::noPublishedRelease);
        PolicyRows::row("any download scheme", with(&A::downloadUrl, QUrl("ftp://x/y.zip")), false, "visible published", Check::passes);
        PolicyRows::row("no sha256", with(&A::sha256, std::nullopt), false, "visible", Check::noPublishedRelease);
        PolicyRows::row("sha256 mixed case", with(&A::sha256, "ABCdef" + sha.mid(6)), false, "visible published", Check::passes);
        PolicyRows::row("sha256 of 63", with(&A::sha256, sha.left(63)), false, "visible", Check::noPublishedRelease);
        PolicyRows::row("sha256 of 65", with(&A::sha256, sha + 'a'), false, "visible", Check::noPublishedRelease);
        PolicyRows::row("sha256 with g", with(&A::sha256, sha.left(63) + 'g'), false, "visible", Check::noPublishedRelease);
        PolicyRows::row("sha256 with full-width digit", with(&A::sha256, sha.left(63) + QChar(0xFF11)), false, "visible", Check::noPublishedRelease);
        PolicyRows::row("version of white space", with(&A::version, " \n\t"), false, "visible", Check::noPublishedRelease);
        PolicyRows::row("version padded", with(&A::version, " 1.0 "), false, "visible published", Check::passes);
        PolicyRows::row("minimum unparsable", with(&A::minMacOS, "14.x"), false, "visible", Check::noPublishedRelease);
        PolicyRows::row("minimum equal", with(&A::minMacOS, "14.5"), false, "visible published", Check::passes);
        PolicyRows::row("minimum one patch newer", with(&A::minMacOS, "14.5.1"), false, "visible published", Check::systemTooOld);
    }

    void policy()
    {
        const auto [a, includeBeta, expectedLists, check] = PolicyRows::fetch();
        const LauncherManifest m = TestCatalog::manifest({a});
        QStringList lists;
        if (!ManifestPolicy::visibleApps(m, includeBeta).isEmpty())
            lists << QStringLiteral("visible");
        if (!ManifestPolicy::publishedApps(m, includeBeta).isEmpty())
            lists << QStringLiteral("published");
        if (!ManifestPolicy::comingSoonApps(m).isEmpty())
            lists << QStringLiteral("comingSoon");
        QCOMPARE(lists.join(QLatin1Char(' ')), expectedLists);
        QCOMPARE(ManifestPolicy::isVisible(a, includeBeta), lists.contains(QStringLiteral("visible")));
        QCOMPARE(ManifestPolicy::isPublished(a, includeBeta), lists.contains(QStringLiteral("published")));
        QCOMPARE(ManifestPolicy::installCheck(a, OperatingSystemVersion{14, 5, 0}), check);
    }

    void systemVersion_data()
    {
        SystemVersionRows::columns();
        const char *const cases[][2] = {
            {"14", "14.0.0"}, {"13.5.1", "13.5.1"}, {"  14.1 \n", "14.1.0"}, {"14..1", "14.1.0"}, {"+14.-1", "14.-1.0"},
            {"014.05", "14.5.0"}, {"9223372036854775807", "9223372036854775807.0.0"}, {"99999999999999999999", "-"},
            {"13.5.1.2", "-"}, {"14.x", "-"}, {"v14", "-"}, {"", "-"}, {"...", "-"}, {"14. 1", "-"}, {"14.+", "-"}, {"١٤", "-"}};
        for (const auto &c : cases)
            SystemVersionRows::row(QString::asprintf("'%s'", c[0]), QString::fromUtf8(c[0]), QString::fromLatin1(c[1]));
    }

    void systemVersion()
    {
        const auto [text, expected] = SystemVersionRows::fetch();
        const std::optional<OperatingSystemVersion> version = ManifestPolicy::macOSVersion(text);
        QCOMPARE(version ? version->toString() : QStringLiteral("-"), expected);
    }

    void listsKeepManifestOrder()
    {
        const auto soon = AppReleaseStatus::comingSoon;
        const LauncherManifest m = TestCatalog::manifest(
            {app("z"), withRelease("c1", soon), app("a", AppReleaseStatus::beta), withRelease("r", AppReleaseStatus::retired),
             withRelease("c2", soon), app("m"), app("z")},
            {TestCatalog::announcement("n3", "a"), TestCatalog::announcement("n1", "a"), TestCatalog::announcement("n2", "gone")});
        QCOMPARE(ids(ManifestPolicy::visibleApps(m, true)), (QStringList{"z", "c1", "a", "c2", "m", "z"}));
        QCOMPARE(ids(ManifestPolicy::visibleApps(m, false)), (QStringList{"z", "c1", "c2", "m", "z"}));
        QCOMPARE(ids(ManifestPolicy::publishedApps(m, true)), (QStringList{"z", "a", "m", "z"}));
        QCOMPARE(ids(ManifestPolicy::comingSoonApps(m)), (QStringList{"c1", "c2"}));
        QCOMPARE(ids(ManifestPolicy::unseenAnnouncements(m, {})), (QStringList{"n3", "n1", "n2"}));
        QCOMPARE(ids(ManifestPolicy::unseenAnnouncements(m, {"n1", "N2", "other"})), (QStringList{"n3", "n2"}));
        QVERIFY(ManifestPolicy::unseenAnnouncements(m, {"n1", "n2", "n3"}).isEmpty());
    }

    void lifecycle_data()
    {
        LifecycleRows::columns();
        AppManifestItem badChecksum = app(QStringLiteral("bad"));
        badChecksum.sha256 = QStringLiteral("xyz");
        const auto soon = AppReleaseStatus::comingSoon;
        const auto beta = AppReleaseStatus::beta;
        using Apps = QList<AppManifestItem>;
        LifecycleRows::row("no apps", Apps{}, true, "empty [] [] -");
        LifecycleRows::row("three coming soon", Apps{withRelease("s1", soon), withRelease("s2", soon), withRelease("s3", soon)}, true, "comingSoonOnly [] [s1 s2 s3] -");
        LifecycleRows::row("first published app", Apps{withRelease("s1", soon), app("live1"), withRelease("s2", soon)}, false, "firstPublishedApp [live1] [s1 s2] live1");
        LifecycleRows::row("two published", Apps{app("p1"), app("p2")}, false, "multiAppCatalog [p1 p2] [] p1");
        LifecycleRows::row("only beta, shown", Apps{app("b", beta)}, true, "firstPublishedApp [b] [] b");
        LifecycleRows::row("only beta, hidden", Apps{app("b", beta)}, false, "empty [] [] -");
        LifecycleRows::row("beta hidden, others visible", Apps{app("b", beta), withRelease("s", soon)}, false, "comingSoonOnly [] [s] -");
        LifecycleRows::row("live with malformed checksum", Apps{badChecksum}, true, "comingSoonOnly [] [] -");
        LifecycleRows::row("featured skips unpublished", Apps{badChecksum, app("p1"), app("b", beta)}, true, "multiAppCatalog [p1 b] [] p1");
    }

    void lifecycle()
    {
        const auto [apps, includeBeta, expected] = LifecycleRows::fetch();
        const CatalogLifecycle l = ManifestPolicy::catalogLifecycle(TestCatalog::manifest(apps), includeBeta);
        QCOMPARE(QStringLiteral("%1 [%2] [%3] %4")
                  .arg(EnumNames::name(l.kind), ids(l.publishedApps).join(QLatin1Char(' ')),
                       ids(l.comingSoonApps).join(QLatin1Char(' ')), l.featuredApp ? l.featuredApp->id : QStringLiteral("-")), expected);
    }

    void installStateLabels_data()
    {
        InstallStateLabelsRows::columns();
        InstallStateLabelsRows::row("not installed", AppInstallState::notInstalled(), "Not installed");
        InstallStateLabelsRows::row("installing 0.04", AppInstallState::installing(0.04), "Installing 4%");
        InstallStateLabelsRows::row("installing 0.999", AppInstallState::installing(0.999), "Installing 99%");
        InstallStateLabelsRows::row("installing below 0", AppInstallState::installing(-0.5), "Installing 0%");
        InstallStateLabelsRows::row("installing above 1", AppInstallState::installing(7), "Installing 100%");
        InstallStateLabelsRows::row("installing infinite", AppInstallState::installing(qInf()), "Installing 0%");
        InstallStateLabelsRows::row("installing NaN", AppInstallState::installing(qQNaN()), "Installing 0%");
        InstallStateLabelsRows::row("update", AppInstallState::updateAvailable("1.0", "1.1"), "1.0 -> 1.1");
        InstallStateLabelsRows::row("failed, message not shown", AppInstallState::failed("Disk full"), "Failed");
        InstallStateLabelsRows::row("version holding a placeholder", AppInstallState::installed("%1"), "Installed %1");
    }

    void installStateLabels()
    {
        const auto [state, english] = InstallStateLabelsRows::fetch();
        VantrelTranslator translator(VantrelLocale::en);
        QCOMPARE(state.label(), english);
        // Only the update label reads the same in every language.
        const bool update = state.kindName() == QLatin1String("updateAvailable");
        for (const VantrelLocale language : {VantrelLocale::pl, VantrelLocale::de}) {
            translator.setLocale(language);
            QCOMPARE(state.label() == english, update);
        }
    }

    void installStateCodedForm_data()
    {
        InstallStateCodedFormRows::columns();
        const QString count = QStringLiteral("error: Invalid number of keys found, expected one.");
        const char *const cases[][2] = {
            {R"({"notInstalled":{}})", nullptr},  // nullptr: json itself
            {R"({"installing":{"progress":0.25}})", nullptr},
            {R"({"installed":{"version":"1.2"}})", nullptr},
            {R"({"updateAvailable":{"installedVersion":"1.0","latestVersion":"1.1"}})", nullptr},
            {"{\"failed\":{\"message\":\"No \\\"disk\\\"\"}}", nullptr},  // moc misreads \" in raw strings
            {R"({"installed":{"version":"2"},"note":1})", R"({"installed":{"version":"2"}})"},
            {R"({"installed":{"version":"1"},"failed":{"message":"m"}})", "count"},
            {R"({})", "count"},
            {R"({"Installed":{"version":"1"}})", "count"},
            {R"({"installed":"1.2"})", "error: installed: expected an object"},
            {R"({"installed":{}})", "error: installed: missing key \"version\""},
            {R"({"installed":{"version":1.2}})", "error: installed.version: expected a string"},
            {R"({"installing":{"progress":"50%"}})", "error: installing.progress: expected a number"},
            {R"([])", "error: expected a JSON object"},
            {"{", "error: invalid JSON at offset"}};
        for (const auto &c : cases)
            InstallStateCodedFormRows::row(c[0], QByteArray(c[0]), (!c[1] ? QString::fromUtf8(c[0]) : qstrcmp(c[1], "count") ? QString::fromUtf8(c[1]) : count));
    }

    void installStateCodedForm()
    {
        const auto [json, expected] = InstallStateCodedFormRows::fetch();
        QString result;
        try {
            result = QString::fromUtf8(AppInstallState::decode(json).encoded());
        } catch (const DecodingError &e) {
            result = QStringLiteral("error: ") + e.localizedDescription();
        }
        QVERIFY2(expected.startsWith(QLatin1String("error: ")) ? result.startsWith(expected) : result == expected, qPrintable(result));
    }

    void languageOfIdentifier_data()
    {
        LanguageOfIdentifierRows::columns();
        LanguageOfIdentifierRows::row("none", QVariant(), VantrelLocale::en);
        for (const char *id : {"", "EN", "en-US", "en_GB", "fr", "fr-CA", "pl_PL", "plx", "d", "deu", "-pl", "pl "})
            LanguageOfIdentifierRows::row(QString::asprintf("'%s'", id), QVariant(QString::fromLatin1(id)), VantrelLocale::en);
        for (const char *id : {"pl", "PL", "pl-PL", "Pl-pl", "pl-", "pl-Latn-PL"})
            LanguageOfIdentifierRows::row(QString::asprintf("%s", id), QVariant(QString::fromLatin1(id)), VantrelLocale::pl);
        for (const char *id : {"de", "DE", "de-AT", "De-de"})
            LanguageOfIdentifierRows::row(QString::asprintf("%s", id), QVariant(QString::fromLatin1(id)), VantrelLocale::de);
    }

    void languageOfIdentifier()
    {
        const auto [identifier, expected] = LanguageOfIdentifierRows::fetch();
        const std::optional<QString> id = identifier.isValid() ? std::optional(identifier.toString()) : std::nullopt;
        QCOMPARE(VantrelLocaleUtil::normalized(id), expected);
    }
    void requestUrl_data()
    {
        RequestUrlRows::columns();
        RequestUrlRows::row("no query", "", VantrelLocale::de, "?lang=de");
        RequestUrlRows::row("other items kept in order", "?channel=stable&v=2", VantrelLocale::pl, "?channel=stable&v=2&lang=pl");
        RequestUrlRows::row("several lang items, one moved last", "?lang=pl&a=1&lang=de&b=2", VantrelLocale::en, "?a=1&b=2&lang=en");
        RequestUrlRows::row("lang without value", "?lang&x=1", VantrelLocale::de, "?x=1&lang=de");
        RequestUrlRows::row("name is case-sensitive", "?Lang=pl&LANG=de", VantrelLocale::en, "?Lang=pl&LANG=de&lang=en");
        RequestUrlRows::row("encoded name of lang", "?%6Cang=pl&a=b", VantrelLocale::en, "?a=b&lang=en");
        RequestUrlRows::row("encoded values unchanged", "?q=a%20b%26c&t=x+y", VantrelLocale::en, "?q=a%20b%26c&t=x+y&lang=en");
        RequestUrlRows::row("empty items kept", "?a=1&&b=2", VantrelLocale::en, "?a=1&&b=2&lang=en");
        RequestUrlRows::row("fragment kept", "?a=1#top", VantrelLocale::pl, "?a=1&lang=pl#top");
    }

    void requestUrl()
    {
        const auto [query, locale, expected] = RequestUrlRows::fetch();
        const QString base = QStringLiteral("https://user@example.com:8443/api/launcher/manifest");
        const QUrl url = RemoteManifestClient::requestUrl(QUrl(base + query, QUrl::StrictMode), locale);
        QCOMPARE(url.toString(QUrl::FullyEncoded).mid(base.size()), expected);
    }

    // One GET with the language in the query; a redirect is followed with it.
    void loadSendsOneGetWithTheLanguage()
    {
        Server server;
        server.setHandler([](const Server::Request &request) {
            if (request.path != QLatin1String("/old"))
                return Server::Response::json(200, validBody);
            Server::Response r = Server::Response::text(302, QByteArray());
            r.headers.append({"Location", "/new?" + request.query.toString(QUrl::FullyEncoded).toUtf8()});
            return r;
        });
        QUrl endpoint = server.url(QStringLiteral("/old"));
        endpoint.setQuery(QStringLiteral("channel=beta&lang=xx&n=1"));
        RemoteManifestClient client(endpoint, &m_session);
        QCOMPARE(waitForTask(client.loadManifest(VantrelLocale::pl)), ManifestDecoder::decode(validBody));
        QCOMPARE(server.requestCount(), 2);
        const Server::Request request = server.requests().at(0);
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/old?channel=beta&n=1&lang=pl"));
        QCOMPARE(server.requests().at(1).target, QByteArray("/new?channel=beta&n=1&lang=pl"));
    }

    void answers_data()
    {
        AnswersRows::columns();
        // Even a refused status carries a valid manifest: only the status decides.
        for (int status : {199, 304, 500})
            AnswersRows::row(QString::asprintf("%d", status), status, validBody, QString(), QStringLiteral("status %1").arg(status));
        for (int status : {201, 299})
            AnswersRows::row(QString::asprintf("%d", status), status, validBody, QString(), "ok: 3 apps");
        AnswersRows::row("empty body", 200, QByteArray(), QString(), "decoding: the document is empty");
        AnswersRows::row("html", 200, QByteArray("<!doctype html><title>Oops</title>"), QString(), "decoding: invalid JSON at line 1");
        AnswersRows::row("refused connection", 200, validBody, "refused", "network");
        AnswersRows::row("stalled server", 200, validBody, "stall", "network");
        AnswersRows::row("body cut short", 200, validBody, "cut", "network");
        AnswersRows::row("announced size over the cap, refused unread", 200, QByteArray(1024, ' '), "oversize", "decoding: the document is too large");
        AnswersRows::row("not HTTP at all", 200, validBody, "file", "status -1");
    }

    void answers()
    {
        const auto [status, body, shape, expected] = AnswersRows::fetch();
        Server server;
        server.setHandler([=](const Server::Request &) {
            Server::Response r = Server::Response::json(status, body);
            r.stall = shape == QLatin1String("stall");
            r.closeAfterBytes = shape == QLatin1String("cut") ? 40 : -1;
            if (shape == QLatin1String("oversize")) {
                r.announcedLength = ManifestDecoder::maximumDocumentSize + 1;
                r.stallAfterBytes = body.size();
            }
            return r;
        });
        QUrl endpoint = server.url(QStringLiteral("/manifest"));
        if (shape == QLatin1String("refused"))
            endpoint.setPort(closedLoopbackPort());
        QTemporaryDir dir;
        if (shape == QLatin1String("file")) {
            QFile file(dir.filePath(QStringLiteral("manifest.json")));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(body) == body.size());
            endpoint = QUrl::fromLocalFile(file.fileName());
        }
        RemoteManifestClient client(endpoint, &m_session);
        client.setTimeoutMs(shape == QLatin1String("stall") ? 300 : 10000);
        const QString result = outcome(client.loadManifest(VantrelLocale::en));
        QVERIFY2(result.startsWith(expected), qPrintable(result));
    }

    void endlessBodyIsCutAtTheCap()
    {
        // No Content-Length: the body runs until the server closes, which it never does.
        QTcpServer endless;
        QVERIFY(endless.listen(QHostAddress::LocalHost));
        qint64 sent = 0;
        bool peerClosed = false;
        connect(&endless, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *socket = endless.nextPendingConnection();
            const QByteArray chunk(1 << 20, ' ');
            auto pump = [socket, chunk, &sent] {
                while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * chunk.size()
                       && sent < 4 * ManifestDecoder::maximumDocumentSize) {
                    socket->write(chunk);
                    sent += chunk.size();
                }
            };
            connect(socket, &QTcpSocket::readyRead, socket, [socket, pump] {
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n{");
                pump();
            }, Qt::SingleShotConnection);
            connect(socket, &QTcpSocket::bytesWritten, socket, pump);
            connect(socket, &QTcpSocket::disconnected, socket, [&peerClosed] { peerClosed = true; });
        });
        RemoteManifestClient client(QUrl(QStringLiteral("http://127.0.0.1:%1/m").arg(endless.serverPort())), &m_session);
        const QString result = outcome(client.loadManifest(VantrelLocale::en));
        QVERIFY2(result.startsWith(QStringLiteral("decoding: the document is too large")), qPrintable(result));
        QTRY_VERIFY(peerClosed);
        QVERIFY(sent < 2 * ManifestDecoder::maximumDocumentSize);
    }

    // Two loads at once end each on its own, even with the client gone meanwhile.
    void concurrentLoadsAreIndependent()
    {
        Server server;
        server.setHandler([](const Server::Request &request) {
            const bool polish = request.query.queryItemValue(QStringLiteral("lang")) == QLatin1String("pl");
            Server::Response r = Server::Response::json(polish ? 500 : 200, validBody);
            r.delayMs = 50;
            return r;
        });
        auto client = std::make_unique<RemoteManifestClient>(server.url(QStringLiteral("/m")), &m_session);
        QCoro::Task<LauncherManifest> english = client->loadManifest(VantrelLocale::en);
        QCoro::Task<LauncherManifest> polish = client->loadManifest(VantrelLocale::pl);
        client.reset();
        QCOMPARE(outcome(std::move(english)), QStringLiteral("ok: 3 apps"));
        QCOMPARE(outcome(std::move(polish)), QStringLiteral("status 500"));
        QCOMPARE(server.requestCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCatalogRecords)
#include "tst_catalog.moc"
