// The store's construction, persistence, derived values, catalog refresh and
// reconciliation of the install records.

#include "StoreFakes.h"

#include <QCoroTask>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class TestStoreState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void constructorOnEmptyDefaults_data();
    void constructorOnEmptyDefaults();
    void constructorOnCorruptedRecords_data();
    void constructorOnCorruptedRecords();
    void dictionaryIsACompactJsonBlob();
    void reconciliation_data();
    void reconciliation();
    void reconciliationKeepsRecordsOfAppsOutsideTheCatalog();
    void selectedAppFollowsVisibility_data();
    void selectedAppFollowsVisibility();
    void derivedValuesFollowIncludeBeta();
    void derivedSignalsFollowRefreshesAndSelection();
    void requiresOnboardingIgnoresComingSoonApps();
    void appCountLabelWithNoVisibleApps();
    void signalsFireOnlyOnChange();
    void formattedToday_data();
    void formattedToday();
    void refreshMergesAndReconciles();
    void refreshSelectionRules_data();
    void refreshSelectionRules();
    void refreshFailureKeepsEverything();
    void refreshWithoutPublishedAppsCompletesOnboarding_data();
    void refreshWithoutPublishedAppsCompletesOnboarding();
    void qmlAccessors();
};

void TestStoreState::constructorOnEmptyDefaults_data()
{
    QTest::addColumn<QVariant>("language");
    QTest::addColumn<QString>("locale");
    QTest::newRow("German system") << QVariant(QStringLiteral("de-DE")) << "de";
    QTest::newRow("Polish system") << QVariant(QStringLiteral("pl")) << "pl";
    QTest::newRow("French system") << QVariant(QStringLiteral("fr-FR")) << "en";
    QTest::newRow("no language") << QVariant() << "en";
}

void TestStoreState::constructorOnEmptyDefaults()
{
    QFETCH(QVariant, language);
    QFETCH(QString, locale);
    StoreHarness h;
    if (language.isValid())
        h.language->language = language.toString();
    const LauncherManifest manifest = makeManifest(
        {makeApp(QStringLiteral("soon"), AppReleaseStatus::comingSoon), makeApp(QStringLiteral("alpha")),
         makeApp(QStringLiteral("beta"), AppReleaseStatus::beta)},
        {makeAnnouncement(QStringLiteral("n1"), QStringLiteral("alpha")),
         makeAnnouncement(QStringLiteral("n2"), QStringLiteral("beta"))});
    auto store = h.makeStore(manifest);

    QCOMPARE(store->manifest(), manifest);
    // The first app of the list, whatever its status.
    QCOMPARE(store->selectedAppID(), std::optional<QString>(QStringLiteral("soon")));
    QCOMPARE(store->installStates().size(), 3);
    for (const AppManifestItem &app : manifest.apps)
        QCOMPARE(store->state(app), AppInstallState::notInstalled());
    QVERIFY(store->installedAppURLs().isEmpty());
    QCOMPARE(store->selectedStarterAppIDs(),
             (QSet<QString>{QStringLiteral("soon"), QStringLiteral("alpha"), QStringLiteral("beta")}));
    QCOMPARE(store->onboardingComplete(), false);
    QCOMPARE(store->includeBetaApps(), true);
    QCOMPARE(store->launchAtLogin(), false);
    QCOMPARE(store->showMenuBarExtra(), true);
    QCOMPARE(store->localeCode(), locale);
    QCOMPARE(store->errorMessage(), std::nullopt);
    QCOMPARE(store->showingFeedbackSheet(), false);
    QCOMPARE(store->feedbackState(), FeedbackSubmissionState::idle());
    QVERIFY(store->seenAnnouncementIDs().isEmpty());
    QVERIFY(store->pendingAnnouncement());
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("n1"));
    // The constructor does no network access.
    QVERIFY(h.loader->locales.isEmpty());
    // Nothing was written.
    QVERIFY(!QFile::exists(h.defaultsPath()));
}

void TestStoreState::constructorOnCorruptedRecords_data()
{
    QTest::addColumn<QByteArray>("fileContents");
    QTest::newRow("blob that is not JSON")
        << QByteArray("[General]\nvantrel.installedVersions=@ByteArray(not json)\n"
                      "vantrel.installedPaths=@ByteArray({\"alpha\":\"/tmp\"})\n");
    QTest::newRow("JSON array") << QByteArray("[General]\nvantrel.installedVersions=@ByteArray([\"1.0\"])\n"
                                              "vantrel.installedPaths=@ByteArray({\"alpha\":\"/tmp\"})\n");
    QTest::newRow("value that is not a text")
        << QByteArray("[General]\nvantrel.installedVersions=@ByteArray({\"alpha\":1})\n"
                      "vantrel.installedPaths=@ByteArray({\"alpha\":\"/tmp\"})\n");
    QTest::newRow("text instead of a blob") << QByteArray("[General]\nvantrel.installedVersions={\"alpha\":\"1.0.0\"}\n"
                                                          "vantrel.installedPaths=@ByteArray({\"alpha\":\"/tmp\"})\n");
    QTest::newRow("broken file") << QByteArray("\x00\xff\xfe[[[\nvantrel.installedVersions=@ByteArray(\n@Variant(\\0\\0\n",
                                               40);
}

void TestStoreState::constructorOnCorruptedRecords()
{
    QFETCH(QByteArray, fileContents);
    StoreHarness h;
    {
        QFile file(h.defaultsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fileContents);
    }
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("alpha"))}));
    QCOMPARE(store->stateFor(QStringLiteral("alpha")), AppInstallState::notInstalled());
    QVERIFY(store->installedAppURLs().isEmpty());
    // Unreadable records are not rewritten by construction.
    QFile file(h.defaultsPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), fileContents);
}

void TestStoreState::dictionaryIsACompactJsonBlob()
{
    StoreHarness h;
    auto defaults = h.openDefaults();
    QVERIFY(InstallRecords::loadStringDictionary(QStringLiteral("vantrel.missing"), *defaults).isEmpty());
    const QHash<QString, QString> map{{QStringLiteral("alpha"), QStringLiteral("1.2.0")},
                                      {QStringLiteral("beta"), QStringLiteral("2.0")}};
    InstallRecords::saveStringDictionary(map, LauncherStore::installedVersionsKey, *defaults);
    const QVariant stored = h.openDefaults()->object(QStringLiteral("vantrel.installedVersions"));
    QCOMPARE(stored.typeId(), int(QMetaType::QByteArray));
    QCOMPARE(stored.toByteArray(), QByteArray(R"({"alpha":"1.2.0","beta":"2.0"})"));
    QCOMPARE(InstallRecords::loadStringDictionary(LauncherStore::installedVersionsKey, *h.openDefaults()), map);
}

void TestStoreState::reconciliation_data()
{
    QTest::addColumn<QString>("catalogVersion");
    QTest::addColumn<QVariant>("recordedVersion");  // invalid: none
    QTest::addColumn<int>("path");                  // 0: none recorded, 1: existing bundle, 2: deleted bundle
    QTest::addColumn<AppInstallState>("expected");
    QTest::addColumn<bool>("recordsKept");

    QTest::newRow("same version") << "1.2.0" << QVariant("1.2.0") << 1 << AppInstallState::installed("1.2.0") << true;
    QTest::newRow("newer catalog version")
        << "1.3.0" << QVariant("1.2.0") << 1 << AppInstallState::updateAvailable("1.2.0", "1.3.0") << true;
    QTest::newRow("versions compare the same: recorded text kept")
        << "1.2" << QVariant("1.2.0") << 1 << AppInstallState::installed("1.2.0") << true;
    QTest::newRow("older catalog version")
        << "1.1.0" << QVariant("1.2.0") << 1 << AppInstallState::installed("1.2.0") << true;
    QTest::newRow("pre-release to release")
        << "2.0.0" << QVariant("2.0.0-beta.3") << 1 << AppInstallState::updateAvailable("2.0.0-beta.3", "2.0.0")
        << true;
    QTest::newRow("bundle gone") << "1.2.0" << QVariant("1.2.0") << 2 << AppInstallState::notInstalled() << false;
    QTest::newRow("version recorded without path")
        << "1.2.0" << QVariant("1.2.0") << 0 << AppInstallState::notInstalled() << false;
    QTest::newRow("path recorded without version") << "1.2.0" << QVariant() << 1 << AppInstallState::notInstalled()
                                                   << true;
}

void TestStoreState::reconciliation()
{
    QFETCH(QString, catalogVersion);
    QFETCH(QVariant, recordedVersion);
    QFETCH(int, path);
    QFETCH(AppInstallState, expected);
    QFETCH(bool, recordsKept);

    StoreHarness h;
    const QString bundle = h.makeBundle(QStringLiteral("Alpha"));
    QHash<QString, QString> versions, paths;
    if (recordedVersion.isValid())
        versions.insert(QStringLiteral("alpha"), recordedVersion.toString());
    if (path != 0)
        paths.insert(QStringLiteral("alpha"), bundle);
    if (path == 2)
        QVERIFY(QDir(bundle).removeRecursively());
    h.record(versions, paths);

    const AppManifestItem alpha = makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, catalogVersion);
    auto store = h.makeStore(makeManifest({alpha}));
    QCOMPARE(store->state(alpha), expected);

    const bool installed = expected.isInstalledOrUpdatable();
    QCOMPARE(store->installedAppURLs().contains(QStringLiteral("alpha")), installed);
    if (installed)
        QCOMPARE(store->installedAppURLs().value(QStringLiteral("alpha")), QUrl::fromLocalFile(bundle));

    const auto storedVersions = h.recorded(LauncherStore::installedVersionsKey);
    const auto storedPaths = h.recorded(LauncherStore::installedPathsKey);
    if (recordsKept) {
        QCOMPARE(storedVersions, versions);
        QCOMPARE(storedPaths, paths);
    } else {
        // Both records of the app go together.
        QVERIFY(!storedVersions.contains(QStringLiteral("alpha")));
        QVERIFY(!storedPaths.contains(QStringLiteral("alpha")));
    }

    // A relaunch derives the same state from what was kept.
    auto relaunched = h.makeStore(makeManifest({alpha}));
    QCOMPARE(relaunched->state(alpha), expected);
}

void TestStoreState::reconciliationKeepsRecordsOfAppsOutsideTheCatalog()
{
    StoreHarness h;
    const QString gone = h.makeBundle(QStringLiteral("Gone"));
    QDir(gone).removeRecursively();
    h.record({{QStringLiteral("other"), QStringLiteral("1.0")}, {QStringLiteral("alpha"), QStringLiteral("1.0.0")}},
             {{QStringLiteral("other"), gone}, {QStringLiteral("alpha"), gone}});
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("alpha"))}));
    const auto versions = h.recorded(LauncherStore::installedVersionsKey);
    QCOMPARE(versions, (QHash<QString, QString>{{QStringLiteral("other"), QStringLiteral("1.0")}}));
    QCOMPARE(h.recorded(LauncherStore::installedPathsKey), (QHash<QString, QString>{{QStringLiteral("other"), gone}}));
    QVERIFY(!store->installStates().contains(QStringLiteral("other")));
}

void TestStoreState::selectedAppFollowsVisibility_data()
{
    QTest::addColumn<QVariant>("selectedID");  // invalid: none
    QTest::addColumn<bool>("includeBeta");
    QTest::addColumn<QVariant>("expected");  // invalid: none

    QTest::newRow("selection visible") << QVariant("live2") << false << QVariant("live2");
    QTest::newRow("beta hidden: no fallback") << QVariant("beta") << false << QVariant();
    QTest::newRow("beta shown") << QVariant("beta") << true << QVariant("beta");
    QTest::newRow("retired: no fallback") << QVariant("old") << true << QVariant();
    QTest::newRow("unknown id") << QVariant("nope") << true << QVariant();
    QTest::newRow("no selection: first visible") << QVariant() << false << QVariant("live1");
    QTest::newRow("no selection with beta: first visible") << QVariant() << true << QVariant("beta");
}

void TestStoreState::selectedAppFollowsVisibility()
{
    QFETCH(QVariant, selectedID);
    QFETCH(bool, includeBeta);
    QFETCH(QVariant, expected);
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("old"), AppReleaseStatus::retired),
                                           makeApp(QStringLiteral("beta"), AppReleaseStatus::beta),
                                           makeApp(QStringLiteral("live1")), makeApp(QStringLiteral("live2"))}));
    store->setIncludeBetaApps(includeBeta);
    store->setSelectedAppID(selectedID.isValid() ? std::optional<QString>(selectedID.toString()) : std::nullopt);
    const auto app = store->selectedApp();
    QCOMPARE(app.has_value(), expected.isValid());
    if (app)
        QCOMPARE(app->id, expected.toString());
    QCOMPARE(store->property("selectedApp").isValid(), expected.isValid());
}

void TestStoreState::derivedValuesFollowIncludeBeta()
{
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("beta"), AppReleaseStatus::beta),
                                           makeApp(QStringLiteral("soon"), AppReleaseStatus::comingSoon)}));
    QCOMPARE(store->selectedApp()->id, QStringLiteral("beta"));
    QVERIFY(store->requiresOnboarding());
    QCOMPARE(store->appCountLabel(), QStringLiteral("2 apps ready"));

    QSignalSpy selected(store.get(), &LauncherStore::selectedAppChanged);
    QSignalSpy onboarding(store.get(), &LauncherStore::requiresOnboardingChanged);
    QSignalSpy count(store.get(), &LauncherStore::appCountLabelChanged);
    store->setIncludeBetaApps(false);
    QCOMPARE(store->selectedApp(), std::nullopt);
    QCOMPARE(store->requiresOnboarding(), false);
    QCOMPARE(store->appCountLabel(), QStringLiteral("1 apps ready"));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(onboarding.count(), 1);
    QCOMPARE(count.count(), 1);

    // A new language changes the label but neither the selection nor onboarding.
    store->setLocale(VantrelLocale::de);
    QCOMPARE(store->appCountLabel(), QStringLiteral("1 Apps bereit"));
    QCOMPARE(count.count(), 2);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(onboarding.count(), 1);
}

void TestStoreState::derivedSignalsFollowRefreshesAndSelection()
{
    StoreHarness h;
    auto store = h.makeStore(makeManifest({}));
    QCOMPARE(store->selectedApp(), std::nullopt);
    QCOMPARE(store->requiresOnboarding(), false);
    QCOMPARE(store->appCountLabel(), QStringLiteral("0 apps ready"));
    QSignalSpy selected(store.get(), &LauncherStore::selectedAppChanged);
    QSignalSpy onboarding(store.get(), &LauncherStore::requiresOnboardingChanged);
    QSignalSpy count(store.get(), &LauncherStore::appCountLabelChanged);

    const LauncherManifest two = makeManifest({makeApp(QStringLiteral("alpha")), makeApp(QStringLiteral("bravo"))});
    h.loader->results.push_back(two);
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(store->selectedApp()->id, QStringLiteral("alpha"));
    QVERIFY(store->requiresOnboarding());
    QCOMPARE(store->appCountLabel(), QStringLiteral("2 apps ready"));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(onboarding.count(), 1);
    QCOMPARE(count.count(), 1);

    selected.clear();
    store->setSelectedAppIDValue(QStringLiteral("bravo"));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(store->property("selectedApp").value<AppManifestItem>().id, QStringLiteral("bravo"));

    // The same catalog again changes nothing derived.
    selected.clear();
    h.loader->results.push_back(two);
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(selected.count() + onboarding.count() + count.count(), 2);

    // A new release of the selected app changes the selected record, not its id.
    LauncherManifest newer = two;
    newer.apps[1].version = QStringLiteral("1.1.0");
    h.loader->results.push_back(newer);
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(store->selectedApp()->version, QStringLiteral("1.1.0"));
    QCOMPARE(store->selectedAppIDValue(), QStringLiteral("bravo"));
    QCOMPARE(onboarding.count() + count.count(), 2);
}

void TestStoreState::requiresOnboardingIgnoresComingSoonApps()
{
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("soon"), AppReleaseStatus::comingSoon)}));
    QCOMPARE(store->requiresOnboarding(), false);
    store->setOnboardingComplete(true);
    QCOMPARE(store->requiresOnboarding(), false);
    // A live app without a download is not published either.
    AppManifestItem unreleased = makeApp(QStringLiteral("live"));
    unreleased.downloadUrl.reset();
    auto other = h.makeStore(makeManifest({unreleased}));
    QCOMPARE(other->requiresOnboarding(), false);
}

void TestStoreState::appCountLabelWithNoVisibleApps()
{
    StoreHarness h;
    h.language->language = QStringLiteral("pl-PL");
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("old"), AppReleaseStatus::retired)}));
    QCOMPARE(store->appCountLabel(), QStringLiteral("0 aplikacje gotowe"));
}

void TestStoreState::signalsFireOnlyOnChange()
{
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("alpha"))}));
    QSignalSpy beta(store.get(), &LauncherStore::includeBetaAppsChanged);
    QSignalSpy error(store.get(), &LauncherStore::errorMessageChanged);
    QSignalSpy selection(store.get(), &LauncherStore::selectedAppIDChanged);
    QSignalSpy locale(store.get(), &LauncherStore::localeChanged);
    QSignalSpy menu(store.get(), &LauncherStore::showMenuBarExtraChanged);

    store->setIncludeBetaApps(true);
    store->setErrorMessage(std::nullopt);
    store->setSelectedAppIDValue(QStringLiteral("alpha"));
    store->setLocaleCode(QStringLiteral("en"));
    store->setLocaleCode(QStringLiteral("xx"));  // not a language: ignored
    store->setShowMenuBarExtra(true);
    QCOMPARE(beta.count() + error.count() + selection.count() + locale.count() + menu.count(), 0);

    store->setErrorMessageValue(QStringLiteral("boom"));
    store->setErrorMessageValue(QStringLiteral("boom"));
    QCOMPARE(error.count(), 1);
    QCOMPARE(store->errorMessage(), std::optional<QString>(QStringLiteral("boom")));
    store->clearErrorMessage();
    QCOMPARE(error.count(), 2);
    QCOMPARE(store->errorMessageValue(), QVariant());

    store->setSelectedAppIDValue(QString());
    QCOMPARE(selection.count(), 1);
    QCOMPARE(store->selectedAppID(), std::nullopt);
    store->setLocaleCode(QStringLiteral("pl"));
    QCOMPARE(locale.count(), 1);
    QCOMPARE(store->locale(), VantrelLocale::pl);
}

void TestStoreState::formattedToday_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pattern");  // the shape, with today's names filled below
    QTest::newRow("en") << "en" << "^%W, %M %D$";
    QTest::newRow("de") << "de" << "^%W, %D\\. %M$";
    QTest::newRow("pl") << "pl" << "^%W, %D %M$";
}

void TestStoreState::formattedToday()
{
    QFETCH(QString, locale);
    QFETCH(QString, pattern);
    StoreHarness h;
    auto store = h.makeStore(makeManifest({}));
    store->setLocaleCode(locale);
    const QDate before = QDate::currentDate();
    const QString text = store->formattedToday();
    const QDate today = QDate::currentDate();
    if (before != today)
        QSKIP("midnight passed during the test");

    const QLocale q(locale);
    // Polish uses the genitive month ("6 GRUDNIA", not "GRUDZIEŃ").
    static const char *const genitivePl[] = {"stycznia", "lutego",   "marca",    "kwietnia",
                                             "maja",     "czerwca",  "lipca",    "sierpnia",
                                             "września", "października", "listopada", "grudnia"};
    const QString month = locale == QLatin1String("pl") ? QString::fromUtf8(genitivePl[today.month() - 1])
                                                          : q.monthName(today.month(), QLocale::LongFormat);
    QString expected = pattern;
    expected.replace(QStringLiteral("%W"), QRegularExpression::escape(q.dayName(today.dayOfWeek()).toUpper()));
    expected.replace(QStringLiteral("%M"), QRegularExpression::escape(month.toUpper()));
    expected.replace(QStringLiteral("%D"), QString::number(today.day()));
    QVERIFY2(QRegularExpression(expected).match(text).hasMatch(), qPrintable(text + QStringLiteral(" vs ") + expected));
    QCOMPARE(text, text.toUpper());
}

void TestStoreState::refreshMergesAndReconciles()
{
    StoreHarness h;
    h.language->language = QStringLiteral("de");
    const QString bundle = h.makeBundle(QStringLiteral("Gamma"));
    h.record({{QStringLiteral("gamma"), QStringLiteral("1.0.0")}}, {{QStringLiteral("gamma"), bundle}});

    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("alpha")), makeApp(QStringLiteral("leaving"))},
                                          {makeAnnouncement(QStringLiteral("n1"), QStringLiteral("alpha"))}));
    store->setErrorMessage(QStringLiteral("earlier error"));
    // A failure from before the refresh stays (the merge keeps existing states).
    h.installer->behaviour = [](const AppManifestItem &) -> InstalledApp { throw TestError("nope", "nope"); };
    store->install(makeApp(QStringLiteral("alpha")));
    QTRY_COMPARE(store->stateFor(QStringLiteral("alpha")).kind(), AppInstallState::Kind::failed);
    const AppInstallState failed = store->stateFor(QStringLiteral("alpha"));
    store->setErrorMessage(QStringLiteral("earlier error"));

    const LauncherManifest next =
        makeManifest({makeApp(QStringLiteral("alpha")), makeApp(QStringLiteral("gamma"), AppReleaseStatus::live, "1.1.0"),
                      makeApp(QStringLiteral("delta"))},
                     {makeAnnouncement(QStringLiteral("n2"), QStringLiteral("gamma"))});
    h.loader->results.push_back(next);
    QSignalSpy manifestSpy(store.get(), &LauncherStore::manifestChanged);
    QVERIFY(StoreTest::finishes(store->loadManifest()));

    QCOMPARE(h.loader->locales, QList<VantrelLocale>{VantrelLocale::de});
    QCOMPARE(store->manifest(), next);
    QCOMPARE(manifestSpy.count(), 1);
    QCOMPARE(store->stateFor(QStringLiteral("alpha")), failed);
    QCOMPARE(store->stateFor(QStringLiteral("gamma")), AppInstallState::updateAvailable("1.0.0", "1.1.0"));
    QCOMPARE(store->stateFor(QStringLiteral("delta")), AppInstallState::notInstalled());
    // An app that left the catalog keeps its entry.
    QVERIFY(store->installStates().contains(QStringLiteral("leaving")));
    QCOMPARE(store->installedAppURLs(), (QHash<QString, QUrl>{{QStringLiteral("gamma"), QUrl::fromLocalFile(bundle)}}));
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("n2"));
    // Success does not clear the error line.
    QCOMPARE(store->errorMessage(), std::optional<QString>(QStringLiteral("earlier error")));
    // Starters come from the first catalog only.
    QVERIFY(!store->selectedStarterAppIDs().contains(QStringLiteral("delta")));
    QCOMPARE(store->onboardingComplete(), false);
}

void TestStoreState::refreshSelectionRules_data()
{
    QTest::addColumn<QVariant>("selectionBefore");
    QTest::addColumn<QStringList>("apps");  // id:status
    QTest::addColumn<QVariant>("selectionAfter");

    const QStringList mixed{"soon:comingSoon", "old:retired", "first:live", "second:live"};
    QTest::newRow("selection still listed") << QVariant("second") << mixed << QVariant("second");
    QTest::newRow("hidden selection still listed is kept") << QVariant("old") << mixed << QVariant("old");
    QTest::newRow("selection gone: first published, not first visible")
        << QVariant("gone") << mixed << QVariant("first");
    QTest::newRow("no selection: first published") << QVariant() << mixed << QVariant("first");
    QTest::newRow("nothing published: first visible")
        << QVariant("gone") << QStringList{"old:retired", "soon:comingSoon"} << QVariant("soon");
    QTest::newRow("nothing visible: none") << QVariant("gone") << QStringList{"old:retired"} << QVariant();
}

void TestStoreState::refreshSelectionRules()
{
    QFETCH(QVariant, selectionBefore);
    QFETCH(QStringList, apps);
    QFETCH(QVariant, selectionAfter);
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("gone"))}));
    store->setSelectedAppID(selectionBefore.isValid() ? std::optional<QString>(selectionBefore.toString())
                                                      : std::nullopt);
    QList<AppManifestItem> items;
    for (const QString &spec : apps) {
        const QStringList parts = spec.split(QLatin1Char(':'));
        items.append(makeApp(parts[0], *AppReleaseStatusUtil::fromRawValue(parts[1])));
    }
    h.loader->results.push_back(makeManifest(items));
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(store->selectedAppIDValue(), selectionAfter.toString());
    QCOMPARE(store->selectedAppID().has_value(), selectionAfter.isValid());
}

void TestStoreState::refreshFailureKeepsEverything()
{
    StoreHarness h;
    h.language->language = QStringLiteral("pl");
    const QString bundle = h.makeBundle(QStringLiteral("Alpha"));
    h.record({{QStringLiteral("alpha"), QStringLiteral("1.0.0")}}, {{QStringLiteral("alpha"), bundle}});
    const LauncherManifest seed = makeManifest({makeApp(QStringLiteral("alpha")), makeApp(QStringLiteral("beta"))},
                                               {makeAnnouncement(QStringLiteral("n1"), QStringLiteral("alpha"))});
    auto store = h.makeStore(seed);
    store->setSelectedAppID(QStringLiteral("beta"));
    const auto states = store->installStates();
    const auto urls = store->installedAppURLs();

    h.loader->results.push_back(QStringLiteral("offline"));
    QSignalSpy manifestSpy(store.get(), &LauncherStore::manifestChanged);
    QVERIFY(StoreTest::finishes(store->loadManifest()));

    QCOMPARE(store->errorMessage(),
             std::optional<QString>(QStringLiteral("Nie udało się odświeżyć aplikacji. Pokazuję ostatni znany stan.")));
    QCOMPARE(store->manifest(), seed);
    QCOMPARE(manifestSpy.count(), 0);
    QCOMPARE(store->installStates(), states);
    QCOMPARE(store->stateFor(QStringLiteral("alpha")), AppInstallState::installed(QStringLiteral("1.0.0")));
    QCOMPARE(store->installedAppURLs(), urls);
    QCOMPARE(store->selectedAppIDValue(), QStringLiteral("beta"));
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("n1"));
    // Published apps remain: onboarding still due.
    QCOMPARE(store->onboardingComplete(), false);
}

void TestStoreState::refreshWithoutPublishedAppsCompletesOnboarding_data()
{
    QTest::addColumn<bool>("refreshSucceeds");
    QTest::newRow("refresh returns only coming-soon apps") << true;
    QTest::newRow("refresh fails over an empty seed") << false;
}

void TestStoreState::refreshWithoutPublishedAppsCompletesOnboarding()
{
    QFETCH(bool, refreshSucceeds);
    StoreHarness h;
    auto store = h.makeStore(refreshSucceeds ? makeManifest({makeApp(QStringLiteral("alpha"))}) : makeManifest({}));
    QSignalSpy spy(store.get(), &LauncherStore::onboardingCompleteChanged);
    if (refreshSucceeds)
        h.loader->results.push_back(makeManifest({makeApp(QStringLiteral("soon"), AppReleaseStatus::comingSoon)}));
    else
        h.loader->results.push_back(QStringLiteral("offline"));
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(store->onboardingComplete(), true);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(store->errorMessage().has_value(), !refreshSucceeds);
}

void TestStoreState::qmlAccessors()
{
    StoreHarness h;
    const QString bundle = h.makeBundle(QStringLiteral("Alpha"));
    h.record({{QStringLiteral("alpha"), QStringLiteral("1.0.0")}}, {{QStringLiteral("alpha"), bundle}});
    auto store = h.makeStore(makeManifest({makeApp(QStringLiteral("alpha")), makeApp(QStringLiteral("beta"))},
                                          {makeAnnouncement(QStringLiteral("n1"), QStringLiteral("alpha"))}));
    const QVariantMap states = store->property("installStates").toMap();
    QCOMPARE(states.value(QStringLiteral("alpha")).value<AppInstallState>(), AppInstallState::installed("1.0.0"));
    QCOMPARE(states.value(QStringLiteral("beta")).value<AppInstallState>(), AppInstallState::notInstalled());
    QCOMPARE(store->property("installedAppURLs").toMap().value(QStringLiteral("alpha")).toUrl(),
             QUrl::fromLocalFile(bundle));
    QCOMPARE(store->property("pendingAnnouncement").value<LauncherAnnouncement>().id, QStringLiteral("n1"));
    QCOMPARE(store->property("selectedApp").value<AppManifestItem>().id, QStringLiteral("alpha"));
    QCOMPARE(store->property("selectedStarterAppIDs").toStringList(), (QStringList{"alpha", "beta"}));
    QCOMPARE(store->copy()->text(QStringLiteral("errorNoBundle"), {{QStringLiteral("app"), QStringLiteral("X")}}),
             QStringLiteral("No app bundle was found on this Mac for X."));
    QVERIFY(store->setProperty("locale", QStringLiteral("de")));
    QCOMPARE(store->locale(), VantrelLocale::de);
}

QTEST_GUILESS_MAIN(TestStoreState)
#include "tst_store_state.moc"
