#include "CatalogFixtures.h"
#include "catalog/ManifestPolicy.h"

#include <QTest>

using namespace Fixtures;

namespace {

QStringList ids(const QList<AppManifestItem> &apps)
{
    QStringList result;
    for (const AppManifestItem &a : apps)
        result.append(a.id);
    return result;
}

QStringList ids(const QList<LauncherAnnouncement> &announcements)
{
    QStringList result;
    for (const LauncherAnnouncement &a : announcements)
        result.append(a.id);
    return result;
}

AppManifestItem withChange(AppManifestItem app, const QString &field, const QVariant &value)
{
    if (field == QLatin1String("downloadUrl"))
        app.downloadUrl = value.isValid() ? std::optional(value.toUrl()) : std::nullopt;
    else if (field == QLatin1String("sha256"))
        app.sha256 = value.isValid() ? std::optional(value.toString()) : std::nullopt;
    else if (field == QLatin1String("version"))
        app.version = value.toString();
    else if (field == QLatin1String("minMacOS"))
        app.minMacOS = value.toString();
    return app;
}

}  // namespace

using OsVersion = std::optional<OperatingSystemVersion>;
Q_DECLARE_METATYPE(OsVersion)
Q_DECLARE_METATYPE(CatalogLifecycleKind)
Q_DECLARE_METATYPE(ManifestPolicy::InstallCheck)

class TestPolicy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void visibility_data()
    {
        QTest::addColumn<AppReleaseStatus>("status");
        QTest::addColumn<bool>("includeBeta");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("published");
        QTest::addColumn<bool>("comingSoon");

        QTest::newRow("live") << AppReleaseStatus::live << false << true << true << false;
        QTest::newRow("beta hidden") << AppReleaseStatus::beta << false << false << false << false;
        QTest::newRow("beta shown") << AppReleaseStatus::beta << true << true << true << false;
        QTest::newRow("coming soon with release data") << AppReleaseStatus::comingSoon << false << true << false << true;
        QTest::newRow("coming soon, beta shown") << AppReleaseStatus::comingSoon << true << true << false << true;
        QTest::newRow("retired, beta hidden") << AppReleaseStatus::retired << false << false << false << false;
        QTest::newRow("retired, beta shown") << AppReleaseStatus::retired << true << false << false << false;
    }

    void visibility()
    {
        QFETCH(AppReleaseStatus, status);
        QFETCH(bool, includeBeta);
        QFETCH(bool, visible);
        QFETCH(bool, published);
        QFETCH(bool, comingSoon);
        const LauncherManifest m = manifest({app(QStringLiteral("x"), status)});
        QCOMPARE(ManifestPolicy::visibleApps(m, includeBeta).size(), visible ? 1 : 0);
        QCOMPARE(ManifestPolicy::publishedApps(m, includeBeta).size(), published ? 1 : 0);
        QCOMPARE(ManifestPolicy::comingSoonApps(m).size(), comingSoon ? 1 : 0);
        QCOMPARE(ManifestPolicy::isVisible(m.apps.at(0), includeBeta), visible);
        QCOMPARE(ManifestPolicy::isPublished(m.apps.at(0), includeBeta), published);
    }

    void publishedRelease_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("published");

        QTest::newRow("complete") << QString() << QVariant() << true;
        QTest::newRow("no download URL") << "downloadUrl" << QVariant() << false;
        QTest::newRow("any download scheme") << "downloadUrl" << QVariant(QUrl(QStringLiteral("ftp://x/y.zip"))) << true;
        QTest::newRow("no sha256") << "sha256" << QVariant() << false;
        QTest::newRow("sha256 upper case") << "sha256" << QVariant(validSha.toUpper()) << true;
        QTest::newRow("sha256 mixed case") << "sha256" << QVariant(QStringLiteral("ABCdef") + validSha.mid(6)) << true;
        QTest::newRow("sha256 of 63") << "sha256" << QVariant(validSha.left(63)) << false;
        QTest::newRow("sha256 of 65") << "sha256" << QVariant(validSha + QLatin1Char('a')) << false;
        QTest::newRow("sha256 with g") << "sha256" << QVariant(validSha.left(63) + QLatin1Char('g')) << false;
        QTest::newRow("sha256 with space") << "sha256" << QVariant(validSha.left(63) + QLatin1Char(' ')) << false;
        QTest::newRow("sha256 with prefix") << "sha256" << QVariant(QStringLiteral("0x") + validSha.left(62)) << false;
        QTest::newRow("sha256 of three") << "sha256" << QVariant(QStringLiteral("abc")) << false;
        QTest::newRow("sha256 with full-width digit") << "sha256" << QVariant(validSha.left(63) + QChar(0xFF11)) << false;
        QTest::newRow("version of spaces") << "version" << QVariant(QStringLiteral("   ")) << false;
        QTest::newRow("version of newline and tab") << "version" << QVariant(QStringLiteral("\n\t")) << false;
        QTest::newRow("version empty") << "version" << QVariant(QString()) << false;
        QTest::newRow("version padded") << "version" << QVariant(QStringLiteral(" 1.0 ")) << true;
        QTest::newRow("minMacOS 14.x") << "minMacOS" << QVariant(QStringLiteral("14.x")) << false;
        QTest::newRow("minMacOS empty") << "minMacOS" << QVariant(QString()) << false;
        QTest::newRow("minMacOS far future") << "minMacOS" << QVariant(QStringLiteral("99")) << true;
    }

    void publishedRelease()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, published);
        const AppManifestItem a = field.isEmpty() ? app(QStringLiteral("x")) : withChange(app(QStringLiteral("x")), field, value);
        QCOMPARE(ManifestPolicy::hasPublishedRelease(a), published);
        // A live app with incomplete data is visible but neither published nor coming soon.
        const LauncherManifest m = manifest({a});
        QCOMPARE(ManifestPolicy::visibleApps(m, false).size(), 1);
        QCOMPARE(ManifestPolicy::publishedApps(m, false).size(), published ? 1 : 0);
        QVERIFY(ManifestPolicy::comingSoonApps(m).isEmpty());
    }

    void comingSoonAndRetiredNeverPublished()
    {
        QVERIFY(!ManifestPolicy::hasPublishedRelease(app(QStringLiteral("c"), AppReleaseStatus::comingSoon)));
        QVERIFY(!ManifestPolicy::hasPublishedRelease(app(QStringLiteral("r"), AppReleaseStatus::retired)));
        QVERIFY(ManifestPolicy::hasPublishedRelease(app(QStringLiteral("b"), AppReleaseStatus::beta)));
    }

    void installCheck_data()
    {
        QTest::addColumn<AppReleaseStatus>("status");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<ManifestPolicy::InstallCheck>("expected");
        using Check = ManifestPolicy::InstallCheck;

        QTest::newRow("live, system newer") << AppReleaseStatus::live << QString() << QVariant() << Check::passes;
        QTest::newRow("beta") << AppReleaseStatus::beta << QString() << QVariant() << Check::passes;
        QTest::newRow("system equal") << AppReleaseStatus::live << "minMacOS" << QVariant("14.5") << Check::passes;
        QTest::newRow("system one patch older") << AppReleaseStatus::live << "minMacOS" << QVariant("14.5.1")
                                                << Check::systemTooOld;
        QTest::newRow("system far older") << AppReleaseStatus::live << "minMacOS" << QVariant("99") << Check::systemTooOld;
        // The release comes first: a coming-soon or retired app has none.
        QTest::newRow("coming soon") << AppReleaseStatus::comingSoon << QString() << QVariant()
                                     << Check::noPublishedRelease;
        QTest::newRow("retired") << AppReleaseStatus::retired << QString() << QVariant() << Check::noPublishedRelease;
        QTest::newRow("no download URL") << AppReleaseStatus::live << "downloadUrl" << QVariant()
                                         << Check::noPublishedRelease;
        QTest::newRow("unparsable minimum") << AppReleaseStatus::live << "minMacOS" << QVariant("14.x")
                                            << Check::noPublishedRelease;
    }

    void installCheck()
    {
        QFETCH(AppReleaseStatus, status);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(ManifestPolicy::InstallCheck, expected);
        const AppManifestItem base = app(QStringLiteral("x"), status);
        const AppManifestItem a = field.isEmpty() ? base : withChange(base, field, value);
        QCOMPARE(ManifestPolicy::installCheck(a, OperatingSystemVersion{14, 5, 0}), expected);
    }

    void macOSVersion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<OsVersion>("expected");
        auto v = [](qint64 a, qint64 b, qint64 c) { return OsVersion(OperatingSystemVersion{a, b, c}); };
        QTest::newRow("14") << "14" << v(14, 0, 0);
        QTest::newRow("13.5.1") << "13.5.1" << v(13, 5, 1);
        QTest::newRow("padded 14.1") << "  14.1 \n" << v(14, 1, 0);
        QTest::newRow("14..1") << "14..1" << v(14, 1, 0);
        QTest::newRow("14.") << "14." << v(14, 0, 0);
        QTest::newRow(".14") << ".14" << v(14, 0, 0);
        QTest::newRow("signs") << "+14.-1" << v(14, -1, 0);
        QTest::newRow("leading zeros") << "014.05" << v(14, 5, 0);
        QTest::newRow("13.5.1.2") << "13.5.1.2" << OsVersion();
        QTest::newRow("14.x") << "14.x" << OsVersion();
        QTest::newRow("v14") << "v14" << OsVersion();
        QTest::newRow("empty") << "" << OsVersion();
        QTest::newRow("only full stops") << "..." << OsVersion();
        QTest::newRow("inner space") << "14. 1" << OsVersion();
        QTest::newRow("sign alone") << "14.+" << OsVersion();
        QTest::newRow("too large") << "99999999999999999999" << OsVersion();
        QTest::newRow("largest") << "9223372036854775807" << v(std::numeric_limits<qint64>::max(), 0, 0);
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("١٤") << OsVersion();
    }

    void macOSVersion()
    {
        QFETCH(QString, text);
        QFETCH(OsVersion, expected);
        QCOMPARE(ManifestPolicy::macOSVersion(text), expected);
    }

    void listsKeepManifestOrder()
    {
        const LauncherManifest m = manifest({app(QStringLiteral("z")), app(QStringLiteral("c1"), AppReleaseStatus::comingSoon),
                                             app(QStringLiteral("a"), AppReleaseStatus::beta), app(QStringLiteral("r"), AppReleaseStatus::retired),
                                             app(QStringLiteral("c2"), AppReleaseStatus::comingSoon), app(QStringLiteral("m")),
                                             app(QStringLiteral("z"))});
        QCOMPARE(ids(ManifestPolicy::visibleApps(m, true)),
                 (QStringList{"z", "c1", "a", "c2", "m", "z"}));
        QCOMPARE(ids(ManifestPolicy::visibleApps(m, false)), (QStringList{"z", "c1", "c2", "m", "z"}));
        QCOMPARE(ids(ManifestPolicy::publishedApps(m, true)), (QStringList{"z", "a", "m", "z"}));
        QCOMPARE(ids(ManifestPolicy::comingSoonApps(m)), (QStringList{"c1", "c2"}));
    }

    void unseenAnnouncements()
    {
        const LauncherManifest m = manifest({}, {announcement(QStringLiteral("n3")), announcement(QStringLiteral("n1")),
                                                 announcement(QStringLiteral("n2"), QStringLiteral("not-in-catalog"))});
        QCOMPARE(ids(ManifestPolicy::unseenAnnouncements(m, {})), (QStringList{"n3", "n1", "n2"}));
        QCOMPARE(ids(ManifestPolicy::unseenAnnouncements(m, {QStringLiteral("n1")})), (QStringList{"n3", "n2"}));
        QVERIFY(ManifestPolicy::unseenAnnouncements(m, {QStringLiteral("n1"), QStringLiteral("n2"), QStringLiteral("n3")}).isEmpty());
        QCOMPARE(ids(ManifestPolicy::unseenAnnouncements(m, {QStringLiteral("N1"), QStringLiteral("other")})),
                 (QStringList{"n3", "n1", "n2"}));
    }

    void emptyManifest()
    {
        const LauncherManifest &m = SeedManifest::manifest();
        QVERIFY(ManifestPolicy::visibleApps(m, true).isEmpty());
        QVERIFY(ManifestPolicy::publishedApps(m, true).isEmpty());
        QVERIFY(ManifestPolicy::comingSoonApps(m).isEmpty());
        QVERIFY(ManifestPolicy::unseenAnnouncements(m, {}).isEmpty());
        QCOMPARE(ManifestPolicy::catalogLifecycle(m, true), CatalogLifecycle());
    }

    void lifecycle_data()
    {
        QTest::addColumn<QList<AppManifestItem>>("apps");
        QTest::addColumn<bool>("includeBeta");
        QTest::addColumn<CatalogLifecycleKind>("kind");
        QTest::addColumn<QStringList>("published");
        QTest::addColumn<QStringList>("comingSoon");
        QTest::addColumn<QString>("featured");

        AppManifestItem badChecksum = app(QStringLiteral("bad"));
        badChecksum.sha256 = QStringLiteral("xyz");
        const auto soon = AppReleaseStatus::comingSoon;

        QTest::newRow("no apps") << QList<AppManifestItem>{} << true << CatalogLifecycleKind::empty << QStringList() << QStringList() << QString();
        QTest::newRow("three coming soon")
            << QList<AppManifestItem>{app("s1", soon), app("s2", soon), app("s3", soon)} << true << CatalogLifecycleKind::comingSoonOnly
            << QStringList() << QStringList{"s1", "s2", "s3"} << QString();
        QTest::newRow("first published app")
            << QList<AppManifestItem>{app("s1", soon), app("live1"), app("s2", soon)} << false << CatalogLifecycleKind::firstPublishedApp
            << QStringList{"live1"} << QStringList{"s1", "s2"} << "live1";
        QTest::newRow("two published") << QList<AppManifestItem>{app("p1"), app("p2")} << false << CatalogLifecycleKind::multiAppCatalog
                                       << QStringList{"p1", "p2"} << QStringList() << "p1";
        QTest::newRow("two published, reversed") << QList<AppManifestItem>{app("p2"), app("p1")} << false
                                                 << CatalogLifecycleKind::multiAppCatalog << QStringList{"p2", "p1"} << QStringList() << "p2";
        QTest::newRow("only beta, shown") << QList<AppManifestItem>{app("b", AppReleaseStatus::beta)} << true
                                          << CatalogLifecycleKind::firstPublishedApp << QStringList{"b"} << QStringList() << "b";
        QTest::newRow("only beta, hidden") << QList<AppManifestItem>{app("b", AppReleaseStatus::beta)} << false
                                           << CatalogLifecycleKind::empty << QStringList() << QStringList() << QString();
        QTest::newRow("beta hidden, others visible")
            << QList<AppManifestItem>{app("b", AppReleaseStatus::beta), app("s", soon)} << false << CatalogLifecycleKind::comingSoonOnly
            << QStringList() << QStringList{"s"} << QString();
        QTest::newRow("only retired") << QList<AppManifestItem>{app("r1", AppReleaseStatus::retired), app("r2", AppReleaseStatus::retired)}
                                      << true << CatalogLifecycleKind::empty << QStringList() << QStringList() << QString();
        QTest::newRow("live with malformed checksum") << QList<AppManifestItem>{badChecksum} << true << CatalogLifecycleKind::comingSoonOnly
                                                      << QStringList() << QStringList() << QString();
        QTest::newRow("featured skips unpublished") << QList<AppManifestItem>{badChecksum, app("p1"), app("b", AppReleaseStatus::beta)}
                                                    << true << CatalogLifecycleKind::multiAppCatalog << QStringList{"p1", "b"}
                                                    << QStringList() << "p1";
    }

    void lifecycle()
    {
        QFETCH(QList<AppManifestItem>, apps);
        QFETCH(bool, includeBeta);
        QFETCH(CatalogLifecycleKind, kind);
        QFETCH(QStringList, published);
        QFETCH(QStringList, comingSoon);
        QFETCH(QString, featured);
        const CatalogLifecycle lifecycle = ManifestPolicy::catalogLifecycle(manifest(apps), includeBeta);
        QCOMPARE(lifecycle.kind, kind);
        QCOMPARE(ids(lifecycle.publishedApps), published);
        QCOMPARE(ids(lifecycle.comingSoonApps), comingSoon);
        QCOMPARE(lifecycle.featuredApp.has_value(), !featured.isEmpty());
        if (lifecycle.featuredApp)
            QCOMPARE(lifecycle.featuredApp->id, featured);
    }

    void lifecycleKindNames()
    {
        QCOMPARE(catalogLifecycleKindName(CatalogLifecycleKind::empty), QStringLiteral("empty"));
        QCOMPARE(catalogLifecycleKindName(CatalogLifecycleKind::comingSoonOnly), QStringLiteral("comingSoonOnly"));
        QCOMPARE(catalogLifecycleKindName(CatalogLifecycleKind::firstPublishedApp), QStringLiteral("firstPublishedApp"));
        QCOMPARE(catalogLifecycleKindName(CatalogLifecycleKind::multiAppCatalog), QStringLiteral("multiAppCatalog"));
    }

    void lifecycleEqualityComparesApps()
    {
        AppManifestItem a = app(QStringLiteral("p"));
        const CatalogLifecycle first = ManifestPolicy::catalogLifecycle(manifest({a}), false);
        a.name = QStringLiteral("Renamed");
        const CatalogLifecycle second = ManifestPolicy::catalogLifecycle(manifest({a}), false);
        QVERIFY(first != second);
        QCOMPARE(first, ManifestPolicy::catalogLifecycle(manifest({app(QStringLiteral("p"))}), false));
    }
};

QTEST_GUILESS_MAIN(TestPolicy)
#include "tst_policy.moc"
