#include "CatalogFixtures.h"
#include "catalog/ManifestDecoder.h"
#include "errors/LauncherError.h"

#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

using namespace Fixtures;

namespace {

// Sets (or with no value removes) the member at path: "apps.2.status".
QJsonValue edited(const QJsonValue &node, QStringList path, const std::optional<QJsonValue> &value)
{
    const QString head = path.takeFirst();
    if (node.isArray()) {
        QJsonArray array = node.toArray();
        const int index = head.toInt();
        if (path.isEmpty()) {
            if (value)
                array[index] = *value;
            else
                array.removeAt(index);
        } else {
            array[index] = edited(array.at(index), path, value);
        }
        return array;
    }
    QJsonObject object = node.toObject();
    if (path.isEmpty()) {
        if (value)
            object.insert(head, *value);
        else
            object.remove(head);
    } else {
        object.insert(head, edited(object.value(head), path, value));
    }
    return object;
}

QByteArray document(const QString &path, const std::optional<QJsonValue> &value)
{
    const QJsonValue doc = edited(jsonManifest(), path.split(QLatin1Char('.')), value);
    return QJsonDocument(doc.toObject()).toJson();
}

QByteArray bytes(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
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

// Every member of a JSON tree with its dotted path and its error path.
void collectLeaves(const QJsonValue &value, const QString &dotted, const QString &shown,
                   QList<std::tuple<QString, QString, QJsonValue>> &out)
{
    if (!dotted.isEmpty())
        out.append({dotted, shown, value});
    const QString prefix = dotted.isEmpty() ? QString() : dotted + QLatin1Char('.');
    if (value.isObject()) {
        const QJsonObject o = value.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            collectLeaves(it.value(), prefix + it.key(), shown.isEmpty() ? it.key() : shown + QLatin1Char('.') + it.key(), out);
    } else if (value.isArray()) {
        const QJsonArray a = value.toArray();
        for (int i = 0; i < a.size(); ++i)
            collectLeaves(a.at(i), prefix + QString::number(i), shown + QStringLiteral("[%1]").arg(i), out);
    }
}

}  // namespace

class TestManifestDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesEveryMember()
    {
        const LauncherManifest m = ManifestDecoder::decode(bytes(jsonManifest()));
        QCOMPARE(m.generatedAt, QDateTime::fromSecsSinceEpoch(1777766400, Qt::UTC));
        QCOMPARE(m.apps.size(), 3);
        const AppManifestItem &a = m.apps.at(0);
        QCOMPARE(a.id, QStringLiteral("alpha"));
        QCOMPARE(a.name, QStringLiteral("Name alpha"));
        QCOMPARE(a.tagline, QStringLiteral("Tagline"));
        QCOMPARE(a.category, QStringLiteral("Productivity"));
        QCOMPARE(a.bundleId, QStringLiteral("com.example.alpha"));
        QCOMPARE(a.version, QStringLiteral("1.2.3"));
        QCOMPARE(a.minMacOS, QStringLiteral("13.5"));
        QCOMPARE(a.status, AppReleaseStatus::live);
        QCOMPARE(a.downloadUrl, QUrl(QStringLiteral("https://downloads.example.com/alpha.zip")));
        QCOMPARE(a.sha256, validSha);
        QCOMPARE(a.sparkleFeedUrl, QUrl(QStringLiteral("https://updates.example.com/appcast.xml")));
        QCOMPARE(a.symbolName, QStringLiteral("star"));
        QCOMPARE(a.iconUrl, QUrl(QStringLiteral("https://cdn.example.com/icon.png")));
        QCOMPARE(a.accent, AppAccent::violet);
        QCOMPARE(a.tags, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        QCOMPARE(a.description, QStringLiteral("Description"));
        QCOMPARE(a.privacyNote, QStringLiteral("Privacy"));
        QCOMPARE(a.releaseNotes.size(), 1);
        QCOMPARE(a.releaseNotes.at(0).date, QStringLiteral("May 2026"));
        QCOMPARE(m.apps.at(1).status, AppReleaseStatus::beta);
        QCOMPARE(m.apps.at(2).status, AppReleaseStatus::comingSoon);

        QCOMPARE(m.announcements.size(), 1);
        const LauncherAnnouncement &n = m.announcements.at(0);
        QCOMPARE(n.id, QStringLiteral("ann-1"));
        QCOMPARE(n.appId, QStringLiteral("alpha"));
        QCOMPARE(n.appName, QStringLiteral("Alpha"));
        QCOMPARE(n.kind, QStringLiteral("release"));
        QCOMPARE(n.title, QStringLiteral("Alpha 1.2"));
        QCOMPARE(n.body, QStringLiteral("Now with more."));
        QCOMPARE(n.version, QStringLiteral("1.2.3"));
        QCOMPARE(n.publishedAt, QDateTime::fromSecsSinceEpoch(1777622400, Qt::UTC));
    }

    void acceptedDocuments_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QString>("check");

        auto row = [](const char *name, const char *path, QJsonValue value, bool remove, const char *check) {
            QTest::newRow(name) << QString::fromLatin1(path) << value << remove << QString::fromLatin1(check);
        };
        row("announcements absent", "announcements", {}, true, "noAnnouncements");
        row("announcements null", "announcements", QJsonValue::Null, false, "noAnnouncements");
        row("announcements empty", "announcements", QJsonArray(), false, "noAnnouncements");
        row("apps empty", "apps", QJsonArray(), false, "noApps");
        row("downloadUrl null", "apps.0.downloadUrl", QJsonValue::Null, false, "noDownloadUrl");
        row("downloadUrl absent", "apps.0.downloadUrl", {}, true, "noDownloadUrl");
        row("sha256 null", "apps.0.sha256", QJsonValue::Null, false, "noSha");
        row("sha256 absent", "apps.0.sha256", {}, true, "noSha");
        row("sha256 of three characters", "apps.0.sha256", QStringLiteral("abc"), false, "shortSha");
        row("sparkleFeedUrl null", "apps.0.sparkleFeedUrl", QJsonValue::Null, false, "noFeed");
        row("sparkleFeedUrl absent", "apps.0.sparkleFeedUrl", {}, true, "noFeed");
        row("iconUrl null", "apps.0.iconUrl", QJsonValue::Null, false, "noIcon");
        row("iconUrl absent", "apps.0.iconUrl", {}, true, "noIcon");
        row("downloadUrl relative reference", "apps.0.downloadUrl", QStringLiteral("releases/alpha.zip"), false, "relativeUrl");
        row("version of announcement null", "announcements.0.version", QJsonValue::Null, false, "noAnnouncementVersion");
        row("version of announcement absent", "announcements.0.version", {}, true, "noAnnouncementVersion");
        row("publishedAt null", "announcements.0.publishedAt", QJsonValue::Null, false, "noPublishedAt");
        row("publishedAt absent", "announcements.0.publishedAt", {}, true, "noPublishedAt");
        row("generatedAt with an offset", "generatedAt", QStringLiteral("2026-05-03T02:00:00+02:00"), false, "sameInstant");
        row("generatedAt with a negative offset", "generatedAt", QStringLiteral("2026-05-02T19:30:00-04:30"), false, "sameInstant");
        row("release note date free text", "apps.0.releaseNotes.0.date", QStringLiteral("sometime in May"), false, "freeDate");
        row("tags empty", "apps.0.tags", QJsonArray(), false, "noTags");
        row("releaseNotes empty", "apps.0.releaseNotes", QJsonArray(), false, "noNotes");
        row("unknown top-level key", "extra", QJsonObject{{QStringLiteral("x"), 1}}, false, "unchanged");
        row("unknown app key", "apps.1.rating", 5, false, "unchanged");
        row("unknown release-note key", "apps.0.releaseNotes.0.author", QJsonValue::Null, false, "unchanged");
        row("unknown announcement key", "announcements.0.priority", QStringLiteral("high"), false, "unchanged");
        row("duplicate ids", "apps.1.id", QStringLiteral("alpha"), false, "duplicates");
        row("text kept untrimmed", "apps.0.name", QStringLiteral("  Spaced\tName \n"), false, "untrimmed");
        row("empty version text", "apps.0.version", QStringLiteral(""), false, "emptyVersion");
    }

    void acceptedDocuments()
    {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(bool, remove);
        QFETCH(QString, check);

        const LauncherManifest reference = ManifestDecoder::decode(bytes(jsonManifest()));
        const LauncherManifest m = ManifestDecoder::decode(document(path, remove ? std::nullopt : std::optional(value)));
        const AppManifestItem &a = m.apps.value(0);
        if (check == QLatin1String("noAnnouncements"))
            QVERIFY(m.announcements.isEmpty());
        else if (check == QLatin1String("noApps"))
            QVERIFY(m.apps.isEmpty());
        else if (check == QLatin1String("noDownloadUrl"))
            QVERIFY(!a.downloadUrl.has_value());
        else if (check == QLatin1String("noSha"))
            QVERIFY(!a.sha256.has_value());
        else if (check == QLatin1String("shortSha"))
            QCOMPARE(a.sha256, QStringLiteral("abc"));
        else if (check == QLatin1String("noFeed"))
            QVERIFY(!a.sparkleFeedUrl.has_value());
        else if (check == QLatin1String("noIcon"))
            QVERIFY(!a.iconUrl.has_value());
        else if (check == QLatin1String("relativeUrl"))
            QCOMPARE(a.downloadUrl->path(), QStringLiteral("releases/alpha.zip"));
        else if (check == QLatin1String("noAnnouncementVersion"))
            QVERIFY(!m.announcements.at(0).version.has_value());
        else if (check == QLatin1String("noPublishedAt"))
            QVERIFY(!m.announcements.at(0).publishedAt.has_value());
        else if (check == QLatin1String("sameInstant"))
            QCOMPARE(m.generatedAt.toSecsSinceEpoch(), reference.generatedAt.toSecsSinceEpoch());
        else if (check == QLatin1String("freeDate"))
            QCOMPARE(a.releaseNotes.at(0).date, QStringLiteral("sometime in May"));
        else if (check == QLatin1String("noTags"))
            QVERIFY(a.tags.isEmpty());
        else if (check == QLatin1String("noNotes"))
            QVERIFY(a.releaseNotes.isEmpty());
        else if (check == QLatin1String("unchanged"))
            QCOMPARE(m, reference);
        else if (check == QLatin1String("duplicates"))
            QCOMPARE(m.apps.at(0).id, m.apps.at(1).id);
        else if (check == QLatin1String("untrimmed"))
            QCOMPARE(a.name, QStringLiteral("  Spaced\tName \n"));
        else if (check == QLatin1String("emptyVersion"))
            QCOMPARE(a.version, QString());
        else
            QFAIL("unknown check");
    }

    void rejectedDocuments_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QString>("error");

        auto row = [](const char *name, const char *path, QJsonValue value, bool remove, const QString &error) {
            QTest::newRow(name) << QString::fromLatin1(path) << value << remove << error;
        };
        row("generatedAt missing", "generatedAt", {}, true, QStringLiteral("missing key \"generatedAt\""));
        row("generatedAt null", "generatedAt", QJsonValue::Null, false, QStringLiteral("generatedAt: expected a string, found null"));
        row("generatedAt number", "generatedAt", 1777766400, false, QStringLiteral("generatedAt: expected a string, found a number"));
        row("generatedAt fractional", "generatedAt", QStringLiteral("2026-05-03T00:00:00.000Z"), false,
            QStringLiteral("generatedAt: \"2026-05-03T00:00:00.000Z\" is not a date-time such as 2026-05-03T00:00:00Z"));
        row("generatedAt half second", "generatedAt", QStringLiteral("2026-05-03T00:00:00.5Z"), false,
            QStringLiteral("generatedAt: \"2026-05-03T00:00:00.5Z\" is not a date-time such as 2026-05-03T00:00:00Z"));
        row("generatedAt bare date", "generatedAt", QStringLiteral("2026-05-03"), false,
            QStringLiteral("generatedAt: \"2026-05-03\" is not a date-time such as 2026-05-03T00:00:00Z"));
        row("apps missing", "apps", {}, true, QStringLiteral("missing key \"apps\""));
        row("apps null", "apps", QJsonValue::Null, false, QStringLiteral("apps: expected an array, found null"));
        row("apps object", "apps", QJsonObject(), false, QStringLiteral("apps: expected an array, found an object"));
        row("app not an object", "apps.1", QStringLiteral("beta"), false, QStringLiteral("apps[1]: expected an object, found a string"));
        row("status Live", "apps.2.status", QStringLiteral("Live"), false,
            QStringLiteral("apps[2].status: \"Live\" is not one of beta, live, comingSoon, retired"));
        row("status archived", "apps.0.status", QStringLiteral("archived"), false,
            QStringLiteral("apps[0].status: \"archived\" is not one of beta, live, comingSoon, retired"));
        row("status empty", "apps.0.status", QStringLiteral(""), false,
            QStringLiteral("apps[0].status: \"\" is not one of beta, live, comingSoon, retired"));
        // Only the bare case name: no scoped spelling, value number or trailing NUL.
        row("status scoped", "apps.0.status", QStringLiteral("CatalogEnums::live"), false,
            QStringLiteral("apps[0].status: \"CatalogEnums::live\" is not one of beta, live, comingSoon, retired"));
        row("status value number", "apps.0.status", QStringLiteral("1"), false,
            QStringLiteral("apps[0].status: \"1\" is not one of beta, live, comingSoon, retired"));
        row("status with NUL", "apps.0.status", QStringLiteral("live") + QChar(u'\0'), false,
            QStringLiteral("apps[0].status: \"live\\u0000\" is not one of beta, live, comingSoon, retired"));
        row("accent capitalised", "apps.1.accent", QStringLiteral("Lime"), false,
            QStringLiteral("apps[1].accent: \"Lime\" is not one of lime, violet, amber, blue, cyan"));
        row("accent red", "apps.0.accent", QStringLiteral("red"), false,
            QStringLiteral("apps[0].accent: \"red\" is not one of lime, violet, amber, blue, cyan"));
        row("downloadUrl empty", "apps.0.downloadUrl", QStringLiteral(""), false, QStringLiteral("apps[0].downloadUrl: \"\" is not a URL"));
        row("downloadUrl with a space", "apps.0.downloadUrl", QStringLiteral("https://exa mple.com/a.zip"), false,
            QStringLiteral("apps[0].downloadUrl: \"https://exa mple.com/a.zip\" is not a URL"));
        row("iconUrl bad percent", "apps.2.iconUrl", QStringLiteral("https://cdn.example.com/%zz.png"), false,
            QStringLiteral("apps[2].iconUrl: \"https://cdn.example.com/%zz.png\" is not a URL"));
        row("sparkleFeedUrl empty", "apps.1.sparkleFeedUrl", QStringLiteral(""), false,
            QStringLiteral("apps[1].sparkleFeedUrl: \"\" is not a URL"));
        row("downloadUrl number", "apps.0.downloadUrl", 5, false, QStringLiteral("apps[0].downloadUrl: expected a string, found a number"));
        row("sha256 boolean", "apps.0.sha256", true, false, QStringLiteral("apps[0].sha256: expected a string, found a boolean"));
        row("name null", "apps.0.name", QJsonValue::Null, false, QStringLiteral("apps[0].name: expected a string, found null"));
        row("tags not an array", "apps.0.tags", QStringLiteral("one"), false, QStringLiteral("apps[0].tags: expected an array, found a string"));
        row("tags null", "apps.0.tags", QJsonValue::Null, false, QStringLiteral("apps[0].tags: expected an array, found null"));
        row("tag not a string", "apps.0.tags.1", 2, false, QStringLiteral("apps[0].tags[1]: expected a string, found a number"));
        row("releaseNotes missing", "apps.1.releaseNotes", {}, true, QStringLiteral("apps[1]: missing key \"releaseNotes\""));
        row("release note missing date", "apps.0.releaseNotes.0.date", {}, true,
            QStringLiteral("apps[0].releaseNotes[0]: missing key \"date\""));
        row("release note text null", "apps.0.releaseNotes.0.text", QJsonValue::Null, false,
            QStringLiteral("apps[0].releaseNotes[0].text: expected a string, found null"));
        row("release note not an object", "apps.0.releaseNotes.0", QJsonArray(), false,
            QStringLiteral("apps[0].releaseNotes[0]: expected an object, found an array"));
        row("announcements object", "announcements", QJsonObject(), false,
            QStringLiteral("announcements: expected an array, found an object"));
        row("announcement missing title", "announcements.0.title", {}, true,
            QStringLiteral("announcements[0]: missing key \"title\""));
        row("announcement version number", "announcements.0.version", 2, false,
            QStringLiteral("announcements[0].version: expected a string, found a number"));
        row("announcement publishedAt fractional", "announcements.0.publishedAt", QStringLiteral("2026-05-01T10:00:00.25+02:00"), false,
            QStringLiteral("announcements[0].publishedAt: \"2026-05-01T10:00:00.25+02:00\" is not a date-time such as 2026-05-03T00:00:00Z"));
        row("announcement publishedAt empty", "announcements.0.publishedAt", QStringLiteral(""), false,
            QStringLiteral("announcements[0].publishedAt: \"\" is not a date-time such as 2026-05-03T00:00:00Z"));

        // Every required app key, missing.
        for (const char *key : {"id", "name", "tagline", "category", "bundleId", "version", "minMacOS", "status", "symbolName",
                                "accent", "tags", "description", "privacyNote", "releaseNotes"}) {
            QTest::addRow("app without %s", key) << QStringLiteral("apps.0.") + QLatin1String(key) << QJsonValue() << true
                                                 << QStringLiteral("apps[0]: missing key \"%1\"").arg(QLatin1String(key));
        }
        for (const char *key : {"id", "appId", "appName", "kind", "title", "body"}) {
            QTest::addRow("announcement without %s", key)
                << QStringLiteral("announcements.0.") + QLatin1String(key) << QJsonValue() << true
                << QStringLiteral("announcements[0]: missing key \"%1\"").arg(QLatin1String(key));
        }
    }

    void rejectedDocuments()
    {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(bool, remove);
        QFETCH(QString, error);
        QCOMPARE(decodingError(document(path, remove ? std::nullopt : std::optional(value))), error);
    }

    // Each member replaced by a value of a type it never has fails with its own path.
    void wrongTypeAtEveryMember()
    {
        QList<std::tuple<QString, QString, QJsonValue>> leaves;
        collectLeaves(jsonManifest(), QString(), QString(), leaves);
        QVERIFY(leaves.size() > 60);
        for (const auto &[dotted, shown, original] : leaves) {
            const QJsonValue wrong = original.isString() ? QJsonValue(42)
                : original.isArray()                    ? QJsonValue(QJsonObject())
                                                        : QJsonValue(QJsonArray());
            const QString message = decodingError(document(dotted, wrong));
            QVERIFY2(message.startsWith(shown + QStringLiteral(": expected ")), qPrintable(dotted + QStringLiteral(" -> ") + message));
        }
    }

    void malformedInput_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("errorStart");

        QTest::newRow("empty") << QByteArray() << QStringLiteral("the document is empty");
        QTest::newRow("white space") << QByteArray(" \n\t ") << QStringLiteral("the document is empty");
        QTest::newRow("html page") << QByteArray("<html><body>Bad gateway</body></html>") << QStringLiteral("invalid JSON at line 1");
        QTest::newRow("top-level array") << QByteArray("[]") << QStringLiteral("expected a JSON object at the top level");
        QTest::newRow("top-level string") << QByteArray("\"manifest\"") << QStringLiteral("invalid JSON at line 1");
        QTest::newRow("trailing garbage") << QByteArray("{\"apps\": []} x") << QStringLiteral("invalid JSON at line 1");
        QTest::newRow("error on second line") << QByteArray("{\n  \"apps\": [,]\n}") << QStringLiteral("invalid JSON at line 2");
        QTest::newRow("invalid UTF-8 in a string") << QByteArray("{\"generatedAt\": \"2026\xC3\x28\"}") << QStringLiteral("invalid UTF-8 at line 1, column 22");
        QTest::newRow("overlong encoding") << QByteArray("{\"x\": \"\xC0\xAF\"}") << QStringLiteral("invalid UTF-8");
        QTest::newRow("encoded surrogate") << QByteArray("{\"x\": \"\xED\xA0\x80\"}") << QStringLiteral("invalid UTF-8");
        QTest::newRow("truncated sequence at end") << QByteArray("{\"x\": \"\xE2\x82") << QStringLiteral("invalid UTF-8");
        QTest::newRow("beyond U+10FFFF") << QByteArray("{\"x\": \"\xF4\x90\x80\x80\"}") << QStringLiteral("invalid UTF-8");
        QTest::newRow("lone continuation byte in a key") << QByteArray("{\"\x80\": 1}") << QStringLiteral("invalid UTF-8");
        QTest::newRow("deep nesting") << QByteArray("{\"deep\": ") + QByteArray(200000, '[') << QStringLiteral("invalid JSON");
        QTest::newRow("deep nesting, closed") << QByteArray("{\"deep\": ") + QByteArray(5000, '[') + QByteArray(5000, ']') + "}"
                                              << QStringLiteral("invalid JSON");
    }

    void malformedInput()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, errorStart);
        const QString message = decodingError(json);
        QVERIFY2(message.startsWith(errorStart), qPrintable(message));
    }

    void everyTruncationFails()
    {
        const QByteArray full = QJsonDocument(jsonManifest()).toJson(QJsonDocument::Indented);
        // Any proper prefix of the document is not a document (the last bytes are "}\n").
        for (qsizetype cut = 0; cut < full.size() - 2; ++cut) {
            const QString message = decodingError(full.left(cut));
            QVERIFY2(message != QLatin1String("<decoded>"), qPrintable(QString::number(cut)));
        }
    }

    void randomDamageEndsInADecodingError()
    {
        const QByteArray original = QJsonDocument(jsonManifest()).toJson(QJsonDocument::Compact);
        QRandomGenerator random(20260503);
        const char interesting[] = {'"', '{', '}', '[', ']', ':', ',', '\\', 'n', '0', ' ', '\xC3', '\xFF', '\0'};
        int decoded = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray damaged = original;
            const int edits = 1 + random.bounded(4);
            for (int e = 0; e < edits; ++e) {
                const int at = random.bounded(int(damaged.size()));
                switch (random.bounded(3)) {
                case 0: damaged[at] = interesting[random.bounded(int(sizeof interesting))]; break;
                case 1: damaged.remove(at, 1 + random.bounded(8)); break;
                default: damaged.insert(at, interesting[random.bounded(int(sizeof interesting))]); break;
                }
            }
            try {
                ManifestDecoder::decode(damaged);
                ++decoded;
            } catch (const DecodingError &e) {
                QVERIFY(!e.localizedDescription().isEmpty());
            }
        }
        // Most damage breaks the document; some (inside free texts) does not.
        QVERIFY(decoded < 3000);
    }

    void nestingInsideUnknownKeysIsIgnored()
    {
        QJsonObject doc = jsonManifest();
        QByteArray json = QJsonDocument(doc).toJson(QJsonDocument::Compact);
        json.chop(1);
        json += ",\"extra\":" + QByteArray(100, '[') + QByteArray(100, ']') + "}";
        QCOMPARE(ManifestDecoder::decode(json).apps.size(), 3);
    }

    void hugeStrings()
    {
        // No length limit on texts...
        const QString huge(8 * 1024 * 1024, QLatin1Char('x'));
        const LauncherManifest m = ManifestDecoder::decode(document(QStringLiteral("apps.0.description"), huge));
        QCOMPARE(m.apps.at(0).description.size(), huge.size());

        // ...but a message quoting a bad value stays short.
        const QString message = decodingError(document(QStringLiteral("apps.1.status"), huge));
        QVERIFY(message.startsWith(QStringLiteral("apps[1].status: \"xxxx")));
        QVERIFY(message.endsWith(QStringLiteral("...\" is not one of beta, live, comingSoon, retired")));
        QVERIFY(message.size() < 200);
    }

    void controlCharactersAreEscapedInMessages()
    {
        const QString message = decodingError(document(QStringLiteral("apps.0.status"), QStringLiteral("li\nve\x1b[2J")));
        QVERIFY2(!message.contains(QLatin1Char('\n')) && !message.contains(QChar(0x1b)), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("\\n")));
    }

    void documentsOverTheCapAreRefusedUnparsed()
    {
        QByteArray big(ManifestDecoder::maximumDocumentSize + 1, ' ');
        big[0] = '{';
        QVERIFY(decodingError(big).startsWith(QStringLiteral("the document is too large")));
    }

    void oneBadAppFailsTheWholeDocument()
    {
        QJsonObject doc = jsonManifest();
        QJsonArray apps = doc.value(QStringLiteral("apps")).toArray();
        QJsonObject last = apps.at(2).toObject();
        last.insert(QStringLiteral("status"), QStringLiteral("Live"));
        apps[2] = last;
        doc.insert(QStringLiteral("apps"), apps);
        QVERIFY_THROWS_EXCEPTION(DecodingError, ManifestDecoder::decode(bytes(doc)));
    }

    void parseDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("seconds");  // -2: refused

        QTest::newRow("Z") << "2026-05-03T00:00:00Z" << qint64(1777766400);
        QTest::newRow("plus offset") << "2026-05-03T02:00:00+02:00" << qint64(1777766400);
        QTest::newRow("minus offset across midnight") << "2026-05-02T23:00:00-01:00" << qint64(1777766400);
        QTest::newRow("zero offset") << "2026-05-03T00:00:00+00:00" << qint64(1777766400);
        QTest::newRow("epoch") << "1970-01-01T00:00:00Z" << qint64(0);
        QTest::newRow("before epoch") << "1969-12-31T23:59:59Z" << qint64(-1);
        QTest::newRow("leap day") << "2024-02-29T12:00:00Z" << qint64(1709208000);
        QTest::newRow("end of day") << "2026-12-31T23:59:59Z" << qint64(1798761599);
        QTest::newRow("fractional") << "2026-05-03T00:00:00.000Z" << qint64(-2);
        QTest::newRow("no zone") << "2026-05-03T00:00:00" << qint64(-2);
        QTest::newRow("lower-case z") << "2026-05-03T00:00:00z" << qint64(-2);
        QTest::newRow("space for T") << "2026-05-03 00:00:00Z" << qint64(-2);
        QTest::newRow("offset without colon") << "2026-05-03T00:00:00+0200" << qint64(-2);
        QTest::newRow("offset hours only") << "2026-05-03T00:00:00+02" << qint64(-2);
        QTest::newRow("no seconds") << "2026-05-03T00:00Z" << qint64(-2);
        QTest::newRow("month 13") << "2026-13-03T00:00:00Z" << qint64(-2);
        QTest::newRow("month 0") << "2026-00-03T00:00:00Z" << qint64(-2);
        QTest::newRow("30 February") << "2026-02-30T00:00:00Z" << qint64(-2);
        QTest::newRow("29 February of a common year") << "2025-02-29T00:00:00Z" << qint64(-2);
        QTest::newRow("31 April") << "2026-04-31T00:00:00Z" << qint64(-2);
        QTest::newRow("hour 24") << "2026-05-03T24:00:00Z" << qint64(-2);
        QTest::newRow("second 60") << "2026-05-03T23:59:60Z" << qint64(-2);
        QTest::newRow("offset 24 hours") << "2026-05-03T00:00:00+24:00" << qint64(-2);
        QTest::newRow("leading space") << " 2026-05-03T00:00:00Z" << qint64(-2);
        QTest::newRow("trailing newline") << "2026-05-03T00:00:00Z\n" << qint64(-2);
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("٢٠٢٦-05-03T00:00:00Z") << qint64(-2);
        QTest::newRow("signs in fields") << "2026-+5-03T00:00:00Z" << qint64(-2);
        QTest::newRow("week date") << "2026-W18-7T00:00:00Z" << qint64(-2);
    }

    void parseDate()
    {
        QFETCH(QString, text);
        QFETCH(qint64, seconds);
        const auto date = ManifestDecoder::parseDate(text);
        if (seconds == -2) {
            QVERIFY(!date.has_value());
        } else {
            QVERIFY(date.has_value());
            QCOMPARE(date->toSecsSinceEpoch(), seconds);
            QCOMPARE(date->timeSpec(), Qt::UTC);
        }
    }

    void encodeRoundTrips()
    {
        const LauncherManifest original = ManifestDecoder::decode(bytes(jsonManifest()));
        const QByteArray encoded = ManifestDecoder::encode(original);
        QCOMPARE(ManifestDecoder::decode(encoded), original);
        const QJsonObject root = QJsonDocument::fromJson(encoded).object();
        QCOMPARE(root.value(QStringLiteral("generatedAt")).toString(), QStringLiteral("2026-05-03T00:00:00Z"));
        QCOMPARE(root.value(QStringLiteral("announcements")).toArray().at(0).toObject().value(QStringLiteral("publishedAt")).toString(),
                 QStringLiteral("2026-05-01T08:00:00Z"));
    }

    void encodeLeavesOutAbsentOptionals()
    {
        AppManifestItem a = app(QStringLiteral("plain"));
        a.downloadUrl.reset();
        a.sha256.reset();
        const LauncherManifest m = manifest({a});
        const QJsonObject root = QJsonDocument::fromJson(ManifestDecoder::encode(m)).object();
        QVERIFY(root.contains(QStringLiteral("announcements")));
        QCOMPARE(root.value(QStringLiteral("announcements")).toArray().size(), 0);
        const QJsonObject encodedApp = root.value(QStringLiteral("apps")).toArray().at(0).toObject();
        for (const char *key : {"downloadUrl", "sha256", "sparkleFeedUrl", "iconUrl"})
            QVERIFY2(!encodedApp.contains(QLatin1String(key)), key);
        QCOMPARE(ManifestDecoder::decode(ManifestDecoder::encode(m)), m);
    }

    void seedManifestEncodesAndDecodes()
    {
        QCOMPARE(ManifestDecoder::decode(ManifestDecoder::encode(SeedManifest::manifest())), SeedManifest::manifest());
        QCOMPARE(SeedManifest::manifest().generatedAt.toSecsSinceEpoch(), qint64(1777766400));
        QVERIFY(SeedManifest::apps().isEmpty());
        QVERIFY(SeedManifest::manifest().announcements.isEmpty());
    }

    void shippedSampleDecodes()
    {
        QFile file(qEnvironmentVariable("VANTREL_SOURCE_DIR") + QStringLiteral("/samples/manifest.json"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const LauncherManifest m = ManifestDecoder::decode(file.readAll());
        QSet<AppReleaseStatus> statuses;
        for (const AppManifestItem &a : m.apps)
            statuses.insert(a.status);
        QCOMPARE(statuses.size(), AppReleaseStatusUtil::allCases().size());
        QVERIFY(!m.announcements.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestManifestDecoder)
#include "tst_manifestdecoder.moc"
