// Onboarding, starter selection, the announcement queue and feedback.

#include "StoreFakes.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class TestStoreOnboarding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void finishOnboarding_data();
    void finishOnboarding();
    void starterSelectionComesFromTheFirstCatalog();
    void announcementQueueAcrossRelaunch();
    void selectPendingAnnouncementApp_data();
    void selectPendingAnnouncementApp();
    void feedbackRequest();
    void feedbackRelatedApp_data();
    void feedbackRelatedApp();
    void feedbackDiagnostics();
    void feedbackOutcome_data();
    void feedbackOutcome();
    void storeGoneWhileSubmitting();
};

void TestStoreOnboarding::finishOnboarding_data()
{
    QTest::addColumn<QStringList>("unticked");
    QTest::addColumn<bool>("includeBeta");
    QTest::addColumn<QStringList>("expectedInstalls");

    QTest::newRow("all ticked, one installed, one coming soon") << QStringList{} << true
                                                                << QStringList{"one", "two", "beta"};
    QTest::newRow("beta hidden is not installed") << QStringList{} << false << QStringList{"one", "two"};
    QTest::newRow("unticked apps are skipped") << QStringList{"one", "beta"} << true << QStringList{"two"};
    QTest::newRow("everything unticked") << QStringList{"one", "two", "done", "beta", "soon"} << true << QStringList{};
}

void TestStoreOnboarding::finishOnboarding()
{
    QFETCH(QStringList, unticked);
    QFETCH(bool, includeBeta);
    QFETCH(QStringList, expectedInstalls);

    StoreHarness h;
    const QList<AppManifestItem> apps{makeApp("one"), makeApp("done"), makeApp("soon", AppReleaseStatus::comingSoon),
                                      makeApp("two"), makeApp("beta", AppReleaseStatus::beta)};
    h.record({{"done", "1.0.0"}}, {{"done", h.makeBundle("Done")}});
    auto store = h.makeStore(makeManifest(apps));
    store->setIncludeBetaApps(includeBeta);
    for (const QString &id : unticked)
        store->toggleStarter(id);
    for (const QString &id : unticked)
        QVERIFY(!store->selectedStarterAppIDs().contains(id));
    const QSet<QString> selectionBefore = store->selectedStarterAppIDs();
    QSignalSpy onboarding(store.get(), &LauncherStore::requiresOnboardingChanged);
    QVERIFY(store->requiresOnboarding());

    store->finishOnboarding();
    QCOMPARE(store->onboardingComplete(), true);
    QCOMPARE(store->requiresOnboarding(), false);
    QCOMPARE(onboarding.count(), 1);
    // Skipped apps leave no error line.
    QCOMPARE(store->errorMessage(), std::nullopt);
    QTRY_COMPARE(h.installer->calls, expectedInstalls);
    for (const QString &id : expectedInstalls)
        QTRY_COMPARE(store->stateFor(id).kind(), AppInstallState::Kind::installed);
    QCOMPARE(store->selectedStarterAppIDs(), selectionBefore);
}

void TestStoreOnboarding::starterSelectionComesFromTheFirstCatalog()
{
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp("one")}));
    QSignalSpy spy(store.get(), &LauncherStore::selectedStarterAppIDsChanged);
    h.loader->results.push_back(makeManifest({makeApp("one"), makeApp("new")}));
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QVERIFY(!store->selectedStarterAppIDs().contains("new"));
    store->toggleStarter("new");
    QVERIFY(store->selectedStarterAppIDs().contains("new"));
    store->toggleStarter("one");
    QVERIFY(!store->selectedStarterAppIDs().contains("one"));
    QCOMPARE(spy.count(), 2);
    store->finishOnboarding();
    QTRY_COMPARE(h.installer->calls, QStringList{"new"});
}

void TestStoreOnboarding::announcementQueueAcrossRelaunch()
{
    StoreHarness h;
    const LauncherManifest manifest =
        makeManifest({makeApp("one")}, {makeAnnouncement("c", "one"), makeAnnouncement("a", "one"),
                                        makeAnnouncement("b", "one"), makeAnnouncement("d", "one")});
    {
        SettingsUserDefaults d(h.defaultsPath());
        d.setStringArray(LauncherStore::seenAnnouncementIDsKey, {"a"});
    }
    auto store = h.makeStore(manifest);
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("c"));
    QSignalSpy pending(store.get(), &LauncherStore::pendingAnnouncementChanged);
    store->acknowledgePendingAnnouncement();
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("b"));
    QVERIFY(pending.count() >= 1);
    // Stored sorted, as a string array.
    const QVariant stored = h.openDefaults()->object(LauncherStore::seenAnnouncementIDsKey);
    QCOMPARE(stored.typeId(), int(QMetaType::QStringList));
    QCOMPARE(stored.toStringList(), (QStringList{"a", "c"}));

    // Relaunch: acknowledged ones stay acknowledged.
    store.reset();
    store = h.makeStore(manifest);
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("b"));
    store->acknowledgePendingAnnouncement();
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("d"));
    store->acknowledgePendingAnnouncement();
    QCOMPARE(store->pendingAnnouncement(), std::nullopt);
    store->acknowledgePendingAnnouncement();  // nothing pending: nothing happens
    QCOMPARE(h.openDefaults()->object(LauncherStore::seenAnnouncementIDsKey).toStringList(),
             (QStringList{"a", "b", "c", "d"}));

    // Seen ids of announcements that left the catalog are kept; a new one pops up.
    h.loader->results.push_back(makeManifest({makeApp("one")}, {makeAnnouncement("e", "one")}));
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("e"));
    store->acknowledgePendingAnnouncement();
    store.reset();
    store = h.makeStore(manifest);
    QCOMPARE(store->pendingAnnouncement(), std::nullopt);
    QCOMPARE(store->seenAnnouncementIDs(), (QSet<QString>{"a", "b", "c", "d", "e"}));
}

void TestStoreOnboarding::selectPendingAnnouncementApp_data()
{
    QTest::addColumn<QString>("announcedApp");
    QTest::addColumn<QString>("expectedSelection");
    QTest::newRow("visible app is selected") << "two" << "two";
    QTest::newRow("retired app leaves the selection") << "old" << "one";
    QTest::newRow("unknown app leaves the selection") << "ghost" << "one";
}

void TestStoreOnboarding::selectPendingAnnouncementApp()
{
    QFETCH(QString, announcedApp);
    QFETCH(QString, expectedSelection);
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp("one"), makeApp("two"), makeApp("old", AppReleaseStatus::retired)},
                                          {makeAnnouncement("n1", announcedApp), makeAnnouncement("n2", "one")}));
    QCOMPARE(store->selectedAppIDValue(), QStringLiteral("one"));
    store->selectPendingAnnouncementApp();
    QCOMPARE(store->selectedAppIDValue(), expectedSelection);
    // Acknowledged in either case.
    QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("n2"));
    QCOMPARE(h.openDefaults()->object(LauncherStore::seenAnnouncementIDsKey).toStringList(), QStringList{"n1"});
}

void TestStoreOnboarding::feedbackRequest()
{
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp("one")}));
    QVERIFY(StoreTest::finishes(store->submitFeedback(FeedbackType::idea, QStringLiteral("  Make it  faster \n"),
                                                      QStringLiteral("\n\tWhen I open\nthe list. \r\n"), std::nullopt)));
    QVERIFY(StoreTest::finishes(store->submitFeedback(FeedbackType::idea, QStringLiteral("  Make it  faster \n"),
                                                      QStringLiteral("x"), std::nullopt)));
    QCOMPARE(h.feedback->requests.size(), 2);
    const FeedbackSubmissionRequest first = h.feedback->requests.at(0);
    QCOMPARE(first.type, FeedbackType::idea);
    QCOMPARE(first.title, QStringLiteral("Make it  faster"));
    QCOMPARE(first.description, QStringLiteral("When I open\nthe list."));
    QCOMPARE(first.appId, std::nullopt);
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    QVERIFY2(uuid.match(first.clientRequestId).hasMatch(), qPrintable(first.clientRequestId));
    QVERIFY(uuid.match(h.feedback->requests.at(1).clientRequestId).hasMatch());
    QVERIFY(first.clientRequestId != h.feedback->requests.at(1).clientRequestId);
    QCOMPARE(h.feedback->locales.first(), VantrelLocale::en);
}

void TestStoreOnboarding::feedbackRelatedApp_data()
{
    QTest::addColumn<QVariant>("appID");
    QTest::addColumn<bool>("includeBeta");
    QTest::addColumn<QVariant>("sentAppId");
    QTest::addColumn<QVariant>("diagnosticsApp");

    QTest::newRow("visible related app") << QVariant("two") << true << QVariant("two") << QVariant("two");
    QTest::newRow("hidden beta app dropped: selected app described")
        << QVariant("beta") << false << QVariant() << QVariant("one");
    QTest::newRow("unknown app dropped") << QVariant("ghost") << true << QVariant() << QVariant("one");
    QTest::newRow("no related app") << QVariant() << true << QVariant() << QVariant("one");
}

void TestStoreOnboarding::feedbackRelatedApp()
{
    QFETCH(QVariant, appID);
    QFETCH(bool, includeBeta);
    QFETCH(QVariant, sentAppId);
    QFETCH(QVariant, diagnosticsApp);
    StoreHarness h;
    auto store = h.makeStore(makeManifest(
        {makeApp("one"), makeApp("two", AppReleaseStatus::live, "2.0"), makeApp("beta", AppReleaseStatus::beta)}));
    store->setIncludeBetaApps(includeBeta);
    store->sendFeedback(QStringLiteral("bug"), QStringLiteral("t"), QStringLiteral("d"),
                        appID.isValid() ? appID.toString() : QString());
    QTRY_COMPARE(h.feedback->requests.size(), 1);
    const FeedbackSubmissionRequest request = h.feedback->requests.first();
    QCOMPARE(request.type, FeedbackType::bug);
    QCOMPARE(request.appId.has_value(), sentAppId.isValid());
    if (sentAppId.isValid())
        QCOMPARE(*request.appId, sentAppId.toString());
    QCOMPARE(request.diagnostics.selectedAppId, std::optional<QString>(diagnosticsApp.toString()));
    const AppManifestItem *described = store->manifest().findApp(diagnosticsApp.toString());
    QCOMPARE(request.diagnostics.selectedAppName, std::optional<QString>(described->name));
    QCOMPARE(request.diagnostics.selectedAppVersion, std::optional<QString>(described->version));
}

void TestStoreOnboarding::feedbackDiagnostics()
{
    StoreHarness h;
    h.systemVersion->version = {15, 1, 0};
    h.language->language = QStringLiteral("de-AT");
    auto store = h.makeStore(makeManifest({makeApp("soon", AppReleaseStatus::comingSoon),
                                           makeApp("beta", AppReleaseStatus::beta), makeApp("one"),
                                           makeApp("old", AppReleaseStatus::retired)}));
    store->setIncludeBetaApps(false);
    store->setSelectedAppID(std::nullopt);

    FeedbackDiagnostics d = store->feedbackDiagnostics(std::nullopt);
    QCOMPARE(d.macOSVersion, QStringLiteral("15.1.0"));
    QCOMPARE(d.launcherVersion, QStringLiteral("0.1.0"));  // no property: the fallback
    QCOMPARE(d.locale, QStringLiteral("de"));
    QCOMPARE(d.catalogLifecycle, QStringLiteral("firstPublishedApp"));
    QCOMPARE(d.visibleAppCount, 2);
    QCOMPARE(d.publishedAppCount, 1);
    QCOMPARE(d.comingSoonAppCount, 1);
    QCOMPARE(d.selectedAppId, std::optional<QString>(QStringLiteral("soon")));

    h.properties->values.insert(QStringLiteral("CFBundleShortVersionString"), QStringLiteral("3.2.1"));
    store->setIncludeBetaApps(true);
    d = store->feedbackDiagnostics(makeApp("other"));
    QCOMPARE(d.launcherVersion, QStringLiteral("3.2.1"));
    QCOMPARE(d.catalogLifecycle, QStringLiteral("multiAppCatalog"));
    QCOMPARE(d.publishedAppCount, 2);
    QCOMPARE(d.selectedAppId, std::optional<QString>(QStringLiteral("other")));

    // Without a related app and without a selected app: no app members.
    auto empty = h.makeStore(makeManifest({makeApp("soon", AppReleaseStatus::comingSoon)}));
    empty->setSelectedAppID(QStringLiteral("ghost"));
    h.properties->values.insert(QStringLiteral("CFBundleShortVersionString"), 7);  // not a text
    d = empty->feedbackDiagnostics(std::nullopt);
    QCOMPARE(d.selectedAppId, std::nullopt);
    QCOMPARE(d.selectedAppName, std::nullopt);
    QCOMPARE(d.selectedAppVersion, std::nullopt);
    QCOMPARE(d.catalogLifecycle, QStringLiteral("comingSoonOnly"));
    QCOMPARE(d.launcherVersion, QStringLiteral("0.1.0"));
}

void TestStoreOnboarding::feedbackOutcome_data()
{
    QTest::addColumn<int>("outcome");  // 0 success, 1 server text, 2 invalid status, 3 transport, 4 decoding
    QTest::addColumn<QString>("language");
    QTest::addColumn<FeedbackSubmissionState>("expected");

    FeedbackIssue issue;
    issue.id = QStringLiteral("issue-9");
    issue.identifier = QStringLiteral("VAN-9");
    QTest::newRow("success") << 0 << "en" << FeedbackSubmissionState::submitted(issue);
    QTest::newRow("server message shown unchanged")
        << 1 << "pl" << FeedbackSubmissionState::failed(QStringLiteral("Title is too short."));
    QTest::newRow("invalid status: localized text")
        << 2 << "de" << FeedbackSubmissionState::failed(QStringLiteral("Feedback konnte gerade nicht gesendet werden."));
    QTest::newRow("transport failure in Polish")
        << 3 << "pl" << FeedbackSubmissionState::failed(QStringLiteral("Nie udało się teraz wysłać zgłoszenia."));
    QTest::newRow("decoding failure")
        << 4 << "en" << FeedbackSubmissionState::failed(QStringLiteral("Feedback could not be sent right now."));
}

void TestStoreOnboarding::feedbackOutcome()
{
    QFETCH(int, outcome);
    QFETCH(QString, language);
    QFETCH(FeedbackSubmissionState, expected);
    StoreHarness h;
    h.language->language = language;
    auto store = h.makeStore(makeManifest({makeApp("one")}));
    h.feedback->gate = std::make_shared<Gate>();
    h.feedback->behaviour = [outcome](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
        switch (outcome) {
        case 1:
            throw FeedbackClientError::server(QStringLiteral("Title is too short."));
        case 2:
            throw FeedbackClientError::invalidStatus(500);
        case 3:
            throw PlatformError(PlatformError::Domain::network, QStringLiteral("Connection refused"));
        case 4:
            throw DecodingError(QStringLiteral("issue: missing"));
        default: {
            FeedbackSubmissionResponse response;
            response.ok = false;  // not looked at
            response.issue.id = QStringLiteral("issue-9");
            response.issue.identifier = QStringLiteral("VAN-9");
            return response;
        }
        }
    };
    store->setShowingFeedbackSheet(true);
    QSignalSpy spy(store.get(), &LauncherStore::feedbackStateChanged);
    auto task = store->submitFeedback(FeedbackType::bug, QStringLiteral("t"), QStringLiteral("d"), std::nullopt);
    QCOMPARE(store->feedbackState(), FeedbackSubmissionState::submitting());
    h.feedback->gate->open();
    QVERIFY(StoreTest::finishes(std::move(task)));
    QCOMPARE(store->feedbackState(), expected);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(store->property("feedbackState").value<FeedbackSubmissionState>(), expected);
    // The sheet and the error line are left to the views.
    QCOMPARE(store->showingFeedbackSheet(), true);
    QCOMPARE(store->errorMessage(), std::nullopt);
}

void TestStoreOnboarding::storeGoneWhileSubmitting()
{
    StoreHarness h;
    auto store = h.makeStore(makeManifest({makeApp("one")}));
    h.feedback->gate = std::make_shared<Gate>();
    bool answered = false;
    h.feedback->behaviour = [&answered](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
        answered = true;
        throw FeedbackClientError::server(QStringLiteral("late"));
    };
    auto task = store->submitFeedback(FeedbackType::bug, QStringLiteral("t"), QStringLiteral("d"), std::nullopt);
    store.reset();
    h.feedback->gate->open();
    // The answer arrives after the store is gone and is dropped quietly.
    QVERIFY(StoreTest::finishes(std::move(task)));
    QVERIFY(answered);
}

QTEST_GUILESS_MAIN(TestStoreOnboarding)
#include "tst_store_onboarding.moc"
