// The store over substitute collaborators: records, derived values, refresh, install and open, onboarding, feedback.

#include "DataRows.h"
#include "StoreFakes.h"
#include "store/InstalledAppChecks.h"
#include "install/InstallReceipt.h"

namespace tc = TestCatalog;

namespace {

using Map = QHash<QString, QString>;

std::optional<QString> text(const QVariant &v)
{
    return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
}

}  // namespace

class TestStore : public QObject
{
    Q_OBJECT
    using ConstructionOnEmptyRows = DataRows<QVariant, QString>;  // language, locale
    // recordedVersion: invalid: none; path: 0 none recorded, 1 existing bundle, 2 deleted bundle
    using ReconciliationRows = DataRows<QString, QVariant, int, AppInstallState, bool>;  // catalogVersion, recordedVersion, path, expected, recordsKept
    using DecisionRows = DataRows<QString, bool, QString, AppInstallState>;  // catalogVersion, held, skipped, expected
    using SelectedAppFollowsRows = DataRows<QVariant, bool, QVariant>;  // selectedID (invalid: none), includeBeta, expected (invalid: none)
    using RequiresOnboardingRows = DataRows<AppManifestItem, bool, bool>;  // app, includeBeta, expected
    // apps: id:status; onboardingDone: no published app is left, so there is nothing to onboard
    using RefreshSelectionRulesRows = DataRows<QVariant, QStringList, QVariant, bool>;  // selectionBefore, apps, selectionAfter, onboardingDone
    // pageKey: the message the app's page gives afterwards for why it cannot be installed
    using OperationOutcomesRows = DataRows<QString, AppManifestItem, QString, QString, QString, QString>;  // operation, app, setup, expected, errorLine, pageKey
    using InstallFailureRows = DataRows<QString, QString>;  // language, expectedMessage
    using CancelInstallRows = DataRows<QString, bool, bool, AppInstallState>;  // recorded (version installed before, empty: none), failedBefore, placed, expected
    // recordsWiped: by the command-line tool after the store started; opened: 0 nothing, 1 recorded, 2 found by identifier
    using OpenRows = DataRows<bool, bool, bool, bool, int>;  // recordedExists, recordedOpenable, foundByBundleId, recordsWiped, opened
    using FinishOnboardingRows = DataRows<QStringList, bool, QStringList>;  // toggled, includeBeta, expectedInstalls
    // catalogSays: "dropped", "retired" or "beta" (listed as a beta while betas are hidden)
    using UnlistedInstalledRows = DataRows<QString, QString, QString>;  // catalogSays, notListedKey, installRefusal
    using SelectPendingAnnouncementRows = DataRows<QString, QString>;  // announcedApp, expectedSelection
    using FeedbackRelatedAppRows = DataRows<QVariant, bool, QVariant, QString>;  // appID, includeBeta, sentAppId, diagnosticsApp
    using FeedbackOutcomeRows = DataRows<int, QString, FeedbackSubmissionState>;  // outcome (0 success, 1 server text, 2 invalid status, 3 transport, 4 decoding), language, expected

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // --- Construction and the install records ---
    void constructionOnEmptyDefaults_data()
    {
        ConstructionOnEmptyRows::columns();
        ConstructionOnEmptyRows::row("German system", QVariant("de-DE"), "de");
        ConstructionOnEmptyRows::row("Polish system", QVariant("pl"), "pl");
        ConstructionOnEmptyRows::row("French system", QVariant("fr-FR"), "en");
        ConstructionOnEmptyRows::row("no language", QVariant(), "en");
    }

    void constructionOnEmptyDefaults()
    {
        const auto [language, locale] = ConstructionOnEmptyRows::fetch();
        StoreHarness h;
        h.language->language = text(language);
        const LauncherManifest manifest =
            tc::manifest({tc::app("soon", AppReleaseStatus::comingSoon), tc::app("alpha"), tc::app("beta", AppReleaseStatus::beta)},
                         {tc::announcement("n1", "alpha"), tc::announcement("n2", "beta")});
        auto store = h.makeStore(manifest);

        QCOMPARE(store->manifest(), manifest);
        QCOMPARE(store->selectedAppID(), std::optional<QString>("soon"));  // the first app, whatever its status
        QCOMPARE(store->installStates().size(), 3);
        for (const AppManifestItem &app : manifest.apps)
            QCOMPARE(store->state(app), AppInstallState::notInstalled());
        QCOMPARE(store->selectedStarterAppIDs(), (QSet<QString>{"soon", "alpha", "beta"}));
        QVERIFY(!store->onboardingComplete() && store->includeBetaApps() && !store->launchAtLogin());
        QVERIFY(store->showMenuBarExtra() && !store->showingFeedbackSheet() && !store->errorMessage());
        QCOMPARE(store->localeCode(), locale);
        QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("n1"));
        // No network access and nothing written.
        QVERIFY(h.loader->locales.isEmpty());
        QVERIFY(!QFile::exists(h.defaultsPath()));
    }

    void constructionOnCorruptedRecords_data()
    {
        QTest::addColumn<QByteArray>("versions");
        const QByteArray paths("vantrel.installedPaths=@ByteArray({\"alpha\":\"/tmp\"})\n");
        QTest::newRow("blob that is not JSON") << "vantrel.installedVersions=@ByteArray(not json)\n" + paths;
        QTest::newRow("value that is not a text") << "vantrel.installedVersions=@ByteArray({\"alpha\":1})\n" + paths;
        QTest::newRow("broken file") << QByteArray("\x00\xff\xfe[[[\nvantrel.installedVersions=@ByteArray(\n@Variant(\\0\\0\n", 40);
    }

    void constructionOnCorruptedRecords()
    {
        QFETCH(QByteArray, versions);
        const QByteArray contents = versions.startsWith('\0') ? versions : "[General]\n" + versions;
        StoreHarness h;
        {
            QFile file(h.defaultsPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        auto store = h.makeStore(tc::manifest({tc::app("alpha")}));
        QCOMPARE(store->stateFor("alpha"), AppInstallState::notInstalled());
        QVERIFY(store->installedAppURLs().isEmpty());
        // Unreadable records are not rewritten by construction.
        QFile file(h.defaultsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), contents);
    }

    void reconciliation_data()
    {
        ReconciliationRows::columns();
        using S = AppInstallState;
        ReconciliationRows::row("same version", "1.2.0", QVariant("1.2.0"), 1, S::installed("1.2.0"), true);
        ReconciliationRows::row("newer catalog version", "1.3.0", QVariant("1.2.0"), 1, S::updateAvailable("1.2.0", "1.3.0"), true);
        ReconciliationRows::row("versions compare the same: recorded text kept", "1.2", QVariant("1.2.0"), 1, S::installed("1.2.0"), true);
        ReconciliationRows::row("older catalog version", "1.1.0", QVariant("1.2.0"), 1, S::installed("1.2.0"), true);
        ReconciliationRows::row("pre-release to release", "2.0.0", QVariant("2.0.0-beta.3"), 1, S::updateAvailable("2.0.0-beta.3", "2.0.0"), true);
        ReconciliationRows::row("bundle gone", "1.2.0", QVariant("1.2.0"), 2, S::notInstalled(), false);
        ReconciliationRows::row("version recorded without path", "1.2.0", QVariant("1.2.0"), 0, S::notInstalled(), false);
        ReconciliationRows::row("path recorded without version", "1.2.0", QVariant(), 1, S::notInstalled(), true);
    }

    void reconciliation()
    {
        const auto [catalogVersion, recordedVersion, path, expected, recordsKept] = ReconciliationRows::fetch();
        using S = AppInstallState;

        StoreHarness h;
        const QString bundle = h.makeBundle("Alpha");
        Map versions, paths;
        if (recordedVersion.isValid())
            versions.insert("alpha", recordedVersion.toString());
        if (path != 0)
            paths.insert("alpha", bundle);
        if (path == 2)
            QVERIFY(QDir(bundle).removeRecursively());
        // An app the catalog does not list is installed all the same while its bundle is there.
        versions.insert("other", "1.0");
        paths.insert("other", h.makeBundle("Other"));
        h.record(versions, paths);

        const AppManifestItem alpha = tc::app("alpha", AppReleaseStatus::live, catalogVersion);
        auto store = h.makeStore(tc::manifest({alpha}));
        QCOMPARE(store->state(alpha), expected);
        const bool installed = expected.hasInstalledCopy();
        QCOMPARE(store->installedAppURLs().value("alpha"), installed ? QUrl::fromLocalFile(bundle) : QUrl());
        QCOMPARE(store->stateFor("other"), S::installed("1.0"));
        // Both records of an app go together.
        if (!recordsKept) {
            versions.remove("alpha");
            paths.remove("alpha");
        }
        QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), versions);
        QCOMPARE(h.recorded(LauncherStore::installedPathsKey), paths);
        // A relaunch derives the same state from what was kept.
        QCOMPARE(h.makeStore(tc::manifest({alpha}))->state(alpha), expected);
    }

    // Held apps and skipped versions, as recorded beside the install records: the state and the update count follow,
    // a version newer than the one skipped is offered; records without them read as before, and are not rewritten.
    void decisionsShapeTheState_data()
    {
        DecisionRows::columns();
        using S = AppInstallState;
        DecisionRows::row("no decisions", "1.1.0", false, "", S::updateAvailable("1.0.0", "1.1.0"));
        DecisionRows::row("held", "1.1.0", true, "", S::installed("1.0.0"));
        DecisionRows::row("offered version skipped", "1.1.0", false, "1.1.0", S::installed("1.0.0"));
        DecisionRows::row("newer than the one skipped", "1.2.0", false, "1.1.0", S::updateAvailable("1.0.0", "1.2.0"));
        DecisionRows::row("older than the one skipped", "1.1.0", false, "1.2.0", S::installed("1.0.0"));
        DecisionRows::row("held and skipped", "1.2.0", true, "1.1.0", S::installed("1.0.0"));
    }

    void decisionsShapeTheState()
    {
        const auto [catalogVersion, held, skipped, expected] = DecisionRows::fetch();
        StoreHarness h;
        h.recordInstalled("alpha", "1.0.0");
        {
            SettingsUserDefaults d(h.defaultsPath());
            if (held)
                InstallRecords::saveStringDictionary({{"alpha", "1.0.0"}}, InstallRecords::heldKey, d);
            if (!skipped.isEmpty())
                InstallRecords::saveStringDictionary({{"alpha", skipped}}, InstallRecords::skippedKey, d);
        }
        QFile file(h.defaultsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        const AppManifestItem alpha = tc::app("alpha", AppReleaseStatus::live, catalogVersion);
        auto store = h.makeStore(tc::manifest({alpha}));
        QCOMPARE(store->state(alpha), expected);
        QCOMPARE(store->manage()->updatableAppIDs(),
                 expected.kind() == AppInstallState::Kind::updateAvailable ? QStringList{"alpha"} : QStringList());
        QCOMPARE(store->manage()->heldApps().contains("alpha"), held);
        file.seek(0);
        QCOMPARE(file.readAll(), before);

        // Released: a hold and a skip end alike (as the tool's release does), the update is back, and the
        // decisions' maps are empty, not gone astray.
        QVERIFY(store->manage()->releaseApp("alpha"));
        QCOMPARE(store->state(alpha), AppInstallState::updateAvailable("1.0.0", catalogVersion));
        QCOMPARE(store->manage()->skippedUpdates(), QVariantMap());
        QVERIFY(h.recorded(InstallRecords::heldKey).isEmpty());
        QVERIFY(h.recorded(InstallRecords::skippedKey).isEmpty());
        // Held again, as recorded; an app not installed cannot be held.
        QVERIFY(store->manage()->holdApp("alpha"));
        QCOMPARE(h.recorded(InstallRecords::heldKey), (QHash<QString, QString>{{"alpha", "1.0.0"}}));
        QVERIFY(!store->manage()->holdApp("nobody"));
        // Offering a skipped version again ends the skip only.
        QVERIFY(store->manage()->skipVersion("alpha"));
        QVERIFY(store->manage()->offerAgain("alpha"));
        QCOMPARE(h.recorded(InstallRecords::heldKey), (QHash<QString, QString>{{"alpha", "1.0.0"}}));
        QVERIFY(h.recorded(InstallRecords::skippedKey).isEmpty());
    }

    // --- Derived values ---
    void selectedAppFollowsVisibility_data()
    {
        SelectedAppFollowsRows::columns();
        SelectedAppFollowsRows::row("selection visible", QVariant("live2"), false, QVariant("live2"));
        SelectedAppFollowsRows::row("beta hidden: no fallback", QVariant("beta"), false, QVariant());
        SelectedAppFollowsRows::row("beta shown", QVariant("beta"), true, QVariant("beta"));
        SelectedAppFollowsRows::row("retired: no fallback", QVariant("old"), true, QVariant());
        SelectedAppFollowsRows::row("no selection: first visible", QVariant(), false, QVariant("live1"));
        SelectedAppFollowsRows::row("no selection with beta: first visible", QVariant(), true, QVariant("beta"));
    }

    void selectedAppFollowsVisibility()
    {
        const auto [selectedID, includeBeta, expected] = SelectedAppFollowsRows::fetch();
        StoreHarness h;
        auto store = h.makeStore(tc::manifest({tc::app("old", AppReleaseStatus::retired), tc::app("beta", AppReleaseStatus::beta),
                                               tc::app("live1"), tc::app("live2")}));
        store->setIncludeBetaApps(includeBeta);
        store->setSelectedAppID(text(selectedID));
        const auto app = store->selectedApp();
        QCOMPARE(app ? std::optional<QString>(app->id) : std::nullopt, text(expected));
        QCOMPARE(store->property("selectedApp").isValid(), expected.isValid());
    }

    void requiresOnboarding_data()
    {
        RequiresOnboardingRows::columns();
        RequiresOnboardingRows::row("live app", tc::app("live"), false, true);
        RequiresOnboardingRows::row("beta app shown", tc::app("beta", AppReleaseStatus::beta), true, true);
        RequiresOnboardingRows::row("beta app hidden", tc::app("beta", AppReleaseStatus::beta), false, false);
    }

    void requiresOnboarding()
    {
        const auto [app, includeBeta, expected] = RequiresOnboardingRows::fetch();
        StoreHarness h;
        auto store = h.makeStore(tc::manifest({app}));
        store->setIncludeBetaApps(includeBeta);
        QCOMPARE(store->requiresOnboarding(), expected);
        store->setOnboardingComplete(true);
        QCOMPARE(store->requiresOnboarding(), false);
    }

    void derivedSignalsFollowTheirInputs()
    {
        StoreHarness h;
        auto store = h.makeStore(tc::manifest({}));
        QCOMPARE(store->appCountLabel(), QStringLiteral("0 apps ready"));
        QSignalSpy selected(store.get(), &LauncherStore::selectedAppChanged);
        QSignalSpy onboarding(store.get(), &LauncherStore::requiresOnboardingChanged);
        QSignalSpy count(store.get(), &LauncherStore::appCountLabelChanged);
        const auto counts = [&] { return QList<int>{int(selected.count()), int(onboarding.count()), int(count.count())}; };

        const LauncherManifest two = tc::manifest({tc::app("alpha"), tc::app("bravo", AppReleaseStatus::beta)});
        QVERIFY(h.refresh(*store, two));
        QCOMPARE(store->selectedApp()->id, QStringLiteral("alpha"));
        QVERIFY(store->requiresOnboarding());
        QCOMPARE(store->appCountLabel(), QStringLiteral("2 apps ready"));
        QCOMPARE(counts(), (QList<int>{1, 1, 1}));

        store->setSelectedAppIDValue("bravo");
        QCOMPARE(counts(), (QList<int>{2, 1, 1}));
        // The same catalog again changes nothing derived.
        QVERIFY(h.refresh(*store, two));
        QCOMPARE(counts(), (QList<int>{2, 1, 1}));
        // A new release of the selected app changes the selected record, not its id.
        LauncherManifest newer = two;
        newer.apps[1].version = "1.1.0";
        QVERIFY(h.refresh(*store, newer));
        QCOMPARE(counts(), (QList<int>{3, 1, 1}));
        QCOMPARE(store->selectedApp()->version, QStringLiteral("1.1.0"));

        // Hiding beta apps hides the selection and changes the count.
        store->setIncludeBetaApps(false);
        QCOMPARE(store->selectedApp(), std::nullopt);
        QCOMPARE(store->appCountLabel(), QStringLiteral("1 app ready"));
        QCOMPARE(counts(), (QList<int>{4, 1, 2}));
        // A new language changes the label only.
        store->setLocale(VantrelLocale::de);
        QCOMPARE(store->appCountLabel(), QStringLiteral("1 App bereit"));
        QCOMPARE(counts(), (QList<int>{4, 1, 3}));
        store->setOnboardingComplete(true);
        QCOMPARE(counts(), (QList<int>{4, 2, 3}));
    }

    // --- Catalog refresh ---
    void refreshMergesAndReconciles()
    {
        StoreHarness h;
        h.language->language = "de";
        const QString bundle = h.recordInstalled("gamma", "1.0.0");
        auto store = h.makeStore(tc::manifest({tc::app("alpha"), tc::app("leaving")}, {tc::announcement("n1", "alpha")}));
        // A failure from before the refresh stays (the merge keeps existing states).
        h.installer->failWith("nope");
        store->install(tc::app("alpha"));
        QTRY_COMPARE(store->stateFor("alpha").kind(), AppInstallState::Kind::failed);
        const AppInstallState failed = store->stateFor("alpha");
        store->setErrorMessage(QStringLiteral("earlier error"));

        const LauncherManifest next =
            tc::manifest({tc::app("alpha"), tc::app("gamma", AppReleaseStatus::live, "1.1.0"), tc::app("delta")},
                         {tc::announcement("n2", "gamma")});
        QSignalSpy manifestSpy(store.get(), &LauncherStore::manifestChanged);
        QVERIFY(h.refresh(*store, next));

        QCOMPARE(h.loader->locales, QList<VantrelLocale>{VantrelLocale::de});
        QCOMPARE(store->manifest(), next);
        QCOMPARE(manifestSpy.count(), 1);
        QCOMPARE(store->stateFor("alpha"), failed);
        QCOMPARE(store->stateFor("gamma"), AppInstallState::updateAvailable("1.0.0", "1.1.0"));
        QCOMPARE(store->stateFor("delta"), AppInstallState::notInstalled());
        // Every app listed has an entry; one that left keeps its own.
        QVERIFY(store->installStates().contains("delta") && store->installStates().contains("leaving"));
        QCOMPARE(store->installedAppURLs(), (QHash<QString, QUrl>{{"gamma", QUrl::fromLocalFile(bundle)}}));
        QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("n2"));
        // Success does not clear the error line; starters come from the first catalog only.
        QCOMPARE(store->errorMessage(), std::optional<QString>("earlier error"));
        QVERIFY(!store->selectedStarterAppIDs().contains("delta"));
        QCOMPARE(store->onboardingComplete(), false);
    }

    void refreshSelectionRules_data()
    {
        RefreshSelectionRulesRows::columns();
        const QStringList mixed{"soon:comingSoon", "old:retired", "first:live", "second:live"};
        RefreshSelectionRulesRows::row("selection still listed", QVariant("second"), mixed, QVariant("second"), false);
        RefreshSelectionRulesRows::row("hidden selection still listed is kept", QVariant("old"), mixed, QVariant("old"), false);
        RefreshSelectionRulesRows::row("selection gone: first published, not first visible", QVariant("gone"), mixed, QVariant("first"), false);
        RefreshSelectionRulesRows::row("no selection: first published", QVariant(), mixed, QVariant("first"), false);
        RefreshSelectionRulesRows::row("nothing published: first visible", QVariant("gone"), QStringList{"old:retired", "soon:comingSoon"}, QVariant("soon"), true);
        RefreshSelectionRulesRows::row("nothing visible: none", QVariant("gone"), QStringList{"old:retired"}, QVariant(), true);
    }

    void refreshSelectionRules()
    {
        const auto [selectionBefore, apps, selectionAfter, onboardingDone] = RefreshSelectionRulesRows::fetch();
        StoreHarness h;
        auto store = h.makeStore(tc::manifest({tc::app("gone")}));
        store->setSelectedAppID(text(selectionBefore));
        QList<AppManifestItem> items;
        for (const QString &spec : apps)
            items.append(tc::app(spec.section(':', 0, 0), *EnumNames::fromName<AppReleaseStatus>(spec.section(':', 1))));
        QVERIFY(h.refresh(*store, tc::manifest(items)));
        QCOMPARE(store->selectedAppID(), text(selectionAfter));
        QCOMPARE(store->onboardingComplete(), onboardingDone);
    }

    void refreshFailureKeepsEverything()
    {
        StoreHarness h;
        h.language->language = "pl";
        h.recordInstalled("alpha", "1.0.0");
        const LauncherManifest seed = tc::manifest({tc::app("alpha"), tc::app("beta")}, {tc::announcement("n1", "alpha")});
        auto store = h.makeStore(seed);
        store->setSelectedAppID(QStringLiteral("beta"));
        const auto states = store->installStates();
        const auto urls = store->installedAppURLs();
        QSignalSpy manifestSpy(store.get(), &LauncherStore::manifestChanged);
        QVERIFY(h.refresh(*store, QStringLiteral("offline")));

        QCOMPARE(store->errorMessage(), std::optional<QString>("Nie udało się odświeżyć aplikacji. Pokazuję ostatni znany stan."));
        QCOMPARE(store->manifest(), seed);
        QCOMPARE(manifestSpy.count(), 0);
        QCOMPARE(store->installStates(), states);
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("1.0.0"));
        QCOMPARE(store->installedAppURLs(), urls);
        QCOMPARE(store->selectedAppIDValue(), QStringLiteral("beta"));
        QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("n1"));
        QCOMPARE(store->onboardingComplete(), false);  // published apps remain: still due
        // Over a catalog without published apps the failure completes onboarding.
        auto empty = h.makeStore(tc::manifest({}));
        QVERIFY(h.refresh(*empty, QStringLiteral("offline")));
        QCOMPARE(empty->onboardingComplete(), true);
    }

    // --- Install and open ---
    // Every operation's outcome; a refusal names the failed check, sets the error line and starts nothing.
    void operationOutcomes_data()
    {
        OperationOutcomesRows::columns();
        const AppManifestItem live = tc::app("alpha", AppReleaseStatus::live, "1.1.0");
        AppManifestItem unpublished = live, badChecksum = live, tooNew = live;
        unpublished.downloadUrl.reset();
        badChecksum.sha256 = "abc";
        tooNew.minMacOS = "14.6";
        const QString cannotInstall = "Alpha cannot be installed right now.";
        const QString cannotRemove = "Alpha cannot be removed right now.";
        const QString cannotRollBack = "Alpha has no earlier version to roll back to right now.";
        OperationOutcomesRows::row("install, no release", "install", unpublished, "", "noPublishedRelease", cannotInstall, "refusalNoPublishedRelease");
        OperationOutcomesRows::row("install, coming soon", "install", tc::app("alpha", AppReleaseStatus::comingSoon), "", "comingSoon", cannotInstall, "refusalComingSoon");
        OperationOutcomesRows::row("install, retired", "install", tc::app("alpha", AppReleaseStatus::retired), "", "retired", cannotInstall, "refusalRetired");
        OperationOutcomesRows::row("install, malformed checksum", "install", badChecksum, "", "malformedChecksum", cannotInstall, "refusalMalformedChecksum");
        OperationOutcomesRows::row("install, system too old", "install", tooNew, "", "systemTooOld", cannotInstall, "refusalSystemTooOld");
        OperationOutcomesRows::row("install, installed", "install", tc::app("alpha", AppReleaseStatus::live, "1.0.0"), "1.0.0", "alreadyInstalled", cannotInstall, "refusalAlreadyInstalled");
        OperationOutcomesRows::row("install, installing", "install", live, "installing", "alreadyInstalling", cannotInstall, "refusalAlreadyInstalling");
        OperationOutcomesRows::row("install, an update", "install", live, "1.0.0", "done", "", "refusalAlreadyInstalled");
        OperationOutcomesRows::row("update, none", "update", tc::app("alpha", AppReleaseStatus::live, "1.0.0"), "1.0.0", "noUpdate", cannotInstall, "refusalAlreadyInstalled");
        OperationOutcomesRows::row("remove, not installed", "remove", live, "", "notInstalled", cannotRemove, "");
        OperationOutcomesRows::row("remove, installing", "remove", live, "installing", "alreadyInstalling", cannotRemove, "refusalAlreadyInstalling");
        OperationOutcomesRows::row("remove", "remove", live, "1.0.0", "done", "", "");
        OperationOutcomesRows::row("roll back, no previous copy", "rollBack", live, "1.0.0", "nothingToRollBack", cannotRollBack, "");
        OperationOutcomesRows::row("roll back, installing", "rollBack", live, "installing+previous", "alreadyInstalling", cannotRollBack, "refusalAlreadyInstalling");
        OperationOutcomesRows::row("roll back", "rollBack", live, "1.0.0+previous", "done", "", "");
        // Built without what acts on installed copies, the store still installs.
        OperationOutcomesRows::row("remove, no installed-copy operations", "remove", live, "1.0.0+nocopies", "noInstaller", cannotRemove, "");
        OperationOutcomesRows::row("roll back, no installed-copy operations", "rollBack", live, "1.0.0+previous+nocopies", "noInstaller", cannotRollBack, "");
        OperationOutcomesRows::row("update, no installed-copy operations", "install", live, "1.0.0+nocopies", "done", "", "refusalAlreadyInstalled");
        OperationOutcomesRows::row("open, not installed", "open", live, "", "notInstalled", cannotInstall, "");
        OperationOutcomesRows::row("open", "open", live, "1.0.0", "done", "", "");
    }

    void operationOutcomes()
    {
        const auto [operation, app, setup, expected, errorLine, pageKey] = OperationOutcomesRows::fetch();
        StoreHarness h;
        if (!setup.isEmpty())
            h.recordInstalled(app.id, "1.0.0");
        if (setup.contains(QLatin1String("+previous")))
            h.installer->previous.insert(app.id, "0.9.0");
        h.withoutInstalledCopies = setup.endsWith(QLatin1String("+nocopies"));
        auto store = h.makeStore(tc::manifest({app}));
        InstalledApps *apps = store->installedApps();
        if (setup.startsWith(QLatin1String("installing"))) {
            h.installer->gate = std::make_shared<Gate>();
            store->install(app);
        }
        const AppInstallState before = store->state(app);
        const QStringList callsBefore = h.installer->calls;
        const InstalledApps::Operation op = operation == "install" ? apps->install(app)
            : operation == "update"                                 ? apps->update(app)
            : operation == "remove"                                 ? apps->remove(app, true)
            : operation == "rollBack"                               ? apps->rollBack(app)
                                                                    : apps->open(app);
        // A refusal comes at once; an operation that went on would wait for the
        // gate, so the wait is bounded and opens the gate before failing.
        std::optional<OperationOutcome> ended;
        const auto waiting = [](QCoro::Task<OperationOutcome> task, std::optional<OperationOutcome> *out) -> QCoro::Task<> {
            *out = co_await std::move(task);
        }(op->result(), &ended);
        if (!QTest::qWaitFor([&] { return ended.has_value(); }, 5000) && h.installer->gate) {
            h.installer->gate->open();
            QVERIFY2(!QTest::qWaitFor([&] { return ended.has_value(); }, 5000),
                     "the operation went on to the installer instead of being refused");
            QFAIL("the operation was neither refused nor ended");
        }
        QVERIFY(ended);
        const OperationOutcome outcome = *ended;
        QCOMPARE(outcome.refusal ? EnumNames::name(*outcome.refusal) : QStringLiteral("done"), expected);
        QCOMPARE(outcome.kind, expected == "done" ? OperationOutcome::Kind::done : OperationOutcome::Kind::refused);
        QCOMPARE(store->errorMessage(), errorLine.isEmpty() ? std::nullopt : std::optional(errorLine));
        if (expected != "done") {
            QCOMPARE(store->state(app), before);
            QCOMPARE(h.installer->calls, callsBefore);
        } else if (operation == "remove") {
            QCOMPARE(store->state(app), AppInstallState::notInstalled());
            QVERIFY(h.recorded(LauncherStore::installedVersionsKey).isEmpty() && store->installedAppURLs().isEmpty());
        } else if (operation == "rollBack") {
            QCOMPARE(store->state(app), AppInstallState::updateAvailable("0.9.0", "1.1.0"));
            QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), (Map{{"alpha", "0.9.0"}}));
        } else if (operation == "install") {
            QCOMPARE(op->kind(), AppOperation::Kind::update);
            QCOMPARE(store->state(app), AppInstallState::installed("1.1.0"));
        }
        // The store's own question, as the app page asks it.
        QCOMPARE(store->installRefusalKey(app.id), pageKey);
        if (h.installer->gate)
            h.installer->gate->open();
    }

    void stateSequenceAndEventsInOrder()
    {
        StoreHarness h;
        const AppManifestItem app = tc::app("alpha", AppReleaseStatus::live, "2.1.0");
        auto store = h.makeStore(tc::manifest({app}));
        h.recorder->firstEventGate = std::make_shared<Gate>();
        h.installer->gate = std::make_shared<Gate>();
        QList<AppInstallState> states;
        connect(store.get(), &LauncherStore::installStateChanged, this, [&](const QString &id) { states.append(store->stateFor(id)); });
        QSignalSpy finished(store.get(), &LauncherStore::installFinished);

        store->install(app);
        // Published before install() returns; the installer waits for "install_started".
        QCOMPARE(store->state(app), AppInstallState::installing(0.04));
        QVERIFY(store->runningInstall(app.id));
        QCOMPARE(h.recorder->events.size(), 1);
        QCoreApplication::processEvents();
        QVERIFY(h.installer->calls.isEmpty());
        h.recorder->firstEventGate->open();
        QTRY_COMPARE(h.installer->calls, QStringList{app.id});
        h.installer->gate->open();
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first(), (QVariantList{app.id, true}));

        QCOMPARE(states, (QList<AppInstallState>{AppInstallState::installing(0.04), AppInstallState::installed("2.1.0")}));
        QCOMPARE(*h.log, (QStringList{"event:install_started", "installer:alpha", "event:install_succeeded"}));
        QCOMPARE(h.recorder->events, (QList<LauncherOperationalEvent>{{"install_started", "alpha", "2.1.0", "started", std::nullopt},
                                                                      {"install_succeeded", "alpha", "2.1.0", "succeeded", std::nullopt}}));

        // Recorded for the next launch.
        const QString bundle = h.dir.filePath("Applications/alpha.app");
        QCOMPARE(store->installedAppURLs().value(app.id), QUrl::fromLocalFile(bundle));
        QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), (Map{{"alpha", "2.1.0"}}));
        QCOMPARE(h.recorded(LauncherStore::installedPathsKey), (Map{{"alpha", bundle}}));
        QVERIFY(!store->runningInstall(app.id));
        QCOMPARE(store->errorMessage(), std::nullopt);
    }

    void secondInstallOfTheSameAppIsRefused()
    {
        StoreHarness h;
        const AppManifestItem app = tc::app("alpha", AppReleaseStatus::live, "1.1.0");
        const AppManifestItem other = tc::app("beta");
        h.recordInstalled(app.id, "1.0.0");
        auto store = h.makeStore(tc::manifest({app, other}));
        h.installer->gate = std::make_shared<Gate>();

        store->install(app);
        // Open falls back to install for an app that is installing or not installed.
        store->open(app);
        QCOMPARE(store->errorMessage(), std::optional<QString>("Alpha cannot be installed right now."));
        store->open(other);  // another app installs at the same time
        QTRY_COMPARE(h.installer->calls.size(), 2);
        QVERIFY(h.workspace->opened.isEmpty());

        // A refresh meanwhile leaves a running install alone.
        QVERIFY(h.refresh(*store, tc::manifest({app, other})));
        QCOMPARE(store->state(app), AppInstallState::installing(0.04));

        h.installer->gate->open();
        QTRY_COMPARE(store->state(app), AppInstallState::installed("1.1.0"));
        QTRY_COMPARE(store->state(other), AppInstallState::installed("1.0.0"));
        QCOMPARE(h.installer->calls, (QStringList{"alpha", "beta"}));
    }

    void installFailure_data()
    {
        InstallFailureRows::columns();
        InstallFailureRows::row("en", "en-US", "Could not install Alpha. The archive's checksum does not match.");
        InstallFailureRows::row("de", "de-DE", "Alpha konnte nicht installiert werden. The archive's checksum does not match.");
    }

    // A failed update: the error line and report, the old records and the installed copy kept.
    void installFailure()
    {
        const auto [language, expectedMessage] = InstallFailureRows::fetch();
        StoreHarness h;
        h.language->language = language;
        const AppManifestItem app = tc::app("alpha", AppReleaseStatus::live, "1.4.0");
        const QString bundle = h.recordInstalled(app.id, "1.0.0");
        auto store = h.makeStore(tc::manifest({app}));
        h.installer->behaviour = [](const AppManifestItem &) -> InstalledApp {
            throw TestError("The archive's checksum does not match.", R"(checksumMismatch(expected: "ab", actual: "cd"))");
        };
        QSignalSpy finished(store.get(), &LauncherStore::installFinished);
        store->install(app);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(1).toBool(), false);

        // The installed copy stays, and the state says so.
        QCOMPARE(store->state(app), AppInstallState::failed(expectedMessage, "1.0.0"));
        QCOMPARE(store->errorMessage(), std::optional<QString>(expectedMessage));
        QCOMPARE(*h.log, (QStringList{"event:install_started", "installer:alpha", "event:install_failed"}));
        // The reason is the plain-text rendering of the error, not the localized sentence.
        QCOMPARE(h.recorder->events.at(1), (LauncherOperationalEvent{"install_failed", "alpha", "1.4.0", "failed",
                                                                     R"(checksumMismatch(expected: "ab", actual: "cd"))"}));
        QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), (Map{{"alpha", "1.0.0"}}));
        QCOMPARE(h.recorded(LauncherStore::installedPathsKey), (Map{{"alpha", bundle}}));
        // One error report, with the install context.
        QCOMPARE(h.reporter->reports.size(), 1);
        QCOMPARE(h.reporter->reports.first().message, QStringLiteral("The archive's checksum does not match."));
        QCOMPARE(h.reporter->reports.first().context,
                 (QMap<QString, QString>{{"flow", "install"}, {"app", "alpha"}, {"version", "1.4.0"}}));

        // The copy stays within reach: it opens, can be removed, and still has its update.
        store->openApp(app.id);
        QCOMPARE(h.workspace->opened, QList<QUrl>{QUrl::fromLocalFile(bundle)});
        QCOMPARE(store->installedApps()->removeRefusal(app), std::nullopt);
        QCOMPARE(store->manage()->updatableAppIDs(), QStringList{app.id});

        // The next refresh derives the state from the records again.
        QVERIFY(h.refresh(*store, tc::manifest({app})));
        QCOMPARE(store->state(app), AppInstallState::updateAvailable("1.0.0", "1.4.0"));
        // A failed app may be installed again; success leaves the error line alone.
        h.installer->behaviour = nullptr;
        store->install(app);
        QTRY_COMPARE(store->state(app), AppInstallState::installed("1.4.0"));
        QCOMPARE(store->errorMessage(), std::optional<QString>(expectedMessage));
    }

    // --- Managing installed apps ---
    // Cancel before placing: the recorded state, no error line or report, reason "cancelled"; after placing it completes.
    void cancelInstall_data()
    {
        CancelInstallRows::columns();
        CancelInstallRows::row("not installed", QString(), false, false, AppInstallState::notInstalled());
        CancelInstallRows::row("update", "1.0.0", false, false, AppInstallState::updateAvailable("1.0.0", "1.1.0"));
        CancelInstallRows::row("retry after a failure", QString(), true, false, AppInstallState::notInstalled());
        CancelInstallRows::row("after the placement", "1.0.0", false, true, AppInstallState::installed("1.1.0"));
    }

    void cancelInstall()
    {
        const auto [recorded, failedBefore, placed, expected] = CancelInstallRows::fetch();
        StoreHarness h;
        const AppManifestItem app = tc::app("alpha", AppReleaseStatus::live, "1.1.0");
        if (!recorded.isEmpty())
            h.recordInstalled(app.id, recorded);
        auto store = h.makeStore(tc::manifest({app}));
        if (failedBefore) {
            h.installer->failWith("down");
            store->install(app);
            QTRY_COMPARE(store->state(app).kind(), AppInstallState::Kind::failed);
            h.installer->behaviour = nullptr;
            store->clearErrorMessage();
            h.reporter->reports.clear();
        }
        h.installer->placedBeforeGate = placed;
        h.installer->gate = std::make_shared<Gate>();
        QSignalSpy finished(store.get(), &LauncherStore::installFinished);
        store->install(app);
        QTRY_COMPARE(h.installer->calls.size(), failedBefore ? 2 : 1);
        QCOMPARE(store->manage()->cancellableInstalls(), placed ? QStringList() : QStringList{"alpha"});
        QCOMPARE(store->manage()->cancelInstall(app.id), !placed);
        QCOMPARE(store->manage()->cancellableInstalls(), QStringList());
        h.installer->gate->open();
        QVERIFY(finished.wait(5000));
        QCOMPARE(store->state(app), expected);
        QCOMPARE(store->errorMessage(), std::nullopt);
        QVERIFY(h.reporter->reports.isEmpty());
        const LauncherOperationalEvent last = h.recorder->events.last();
        QCOMPARE(last.eventType, placed ? "install_succeeded" : "install_failed");
        QCOMPARE(last.reason, placed ? std::nullopt : std::optional<QString>("cancelled"));
    }

    // Updates run in turn and a failure stops none; the one summary line is also the error line.
    void updateAllGoesOnPastAFailure()
    {
        StoreHarness h;
        QList<AppManifestItem> apps;
        Map versions, paths;
        for (const char *id : {"alpha", "beta", "gamma", "delta"}) {
            apps.append(tc::app(id, AppReleaseStatus::live, "1.1.0"));
            versions.insert(id, id == QLatin1String("delta") ? "1.1.0" : "1.0.0");
            paths.insert(id, h.makeBundle(id));
        }
        h.record(versions, paths);
        auto store = h.makeStore(tc::manifest(apps));
        h.installer->behaviour = [&](const AppManifestItem &app) -> InstalledApp {
            if (app.id == QLatin1String("beta"))
                throw TestError("Checksum mismatch. Expected ab, got cd.");
            return InstalledApp{QUrl::fromLocalFile(h.makeBundle(app.id)), app.version};
        };
        QCOMPARE(store->manage()->updatableAppIDs(), (QStringList{"alpha", "beta", "gamma"}));
        QSignalSpy finished(store->manage(), &AppManagement::updatesFinished);
        store->manage()->updateApps({"alpha", "beta", "delta", "gamma"});
        QVERIFY(store->manage()->isUpdatingAll());
        QVERIFY(finished.wait(5000));
        const QString summary = "2 updated, 2 failed: Beta: Checksum mismatch. Expected ab, got cd.; Delta: No update is available.";
        QCOMPARE(finished.first(), (QVariantList{summary, 2}));
        QCOMPARE(store->manage()->updateSummary(), summary);
        QCOMPARE(store->errorMessage(), std::optional(summary));
        QVERIFY(!store->manage()->isUpdatingAll());
        QCOMPARE(*h.log, (QStringList{"event:install_started", "installer:alpha", "event:install_succeeded",
                                      "event:install_started", "installer:beta", "event:install_failed",
                                      "event:install_started", "installer:gamma", "event:install_succeeded"}));
        QCOMPARE(store->stateFor("gamma"), AppInstallState::installed("1.1.0"));
        QCOMPARE(store->stateFor("beta").kind(), AppInstallState::Kind::failed);
    }

    // On a metered connection Update all asks first, naming the size, and so do starter installs above 50 MB.
    void meteredDownloadsAsk_data()
    {
        QTest::addColumn<std::optional<bool>>("metered");
        QTest::addColumn<bool>("updateAll");  // else the starter apps of onboarding
        QTest::addColumn<qint64>("size");     // of each archive; -1: unknown
        QTest::addColumn<QString>("question");  // empty: none
        using M = std::optional<bool>;
        QTest::newRow("update all, metered") << M(true) << true << qint64(20'000'000) << "Updating 2 apps downloads 40.0 MB over a metered connection.";
        QTest::newRow("update all, size unknown") << M(true) << true << qint64(-1) << "Updating 2 apps downloads an unknown amount over a metered connection.";
        QTest::newRow("update all, not metered") << M(false) << true << qint64(20'000'000) << "";
        QTest::newRow("update all, cannot tell") << M() << true << qint64(20'000'000) << "";
        QTest::newRow("starters, 50 MB") << M(true) << false << qint64(25'000'000) << "";
        QTest::newRow("starters above 50 MB") << M(true) << false << qint64(25'000'001) << "Installing 2 apps downloads 50.0 MB over a metered connection.";
    }
    void meteredDownloadsAsk()
    {
        QFETCH(std::optional<bool>, metered);
        QFETCH(bool, updateAll);
        QFETCH(qint64, size);
        QFETCH(QString, question);
        StoreHarness h;
        h.networkCost->metered = metered;
        const QList<AppManifestItem> apps{tc::app("alpha", AppReleaseStatus::live, "1.1.0"), tc::app("beta", AppReleaseStatus::live, "1.1.0")};
        for (const AppManifestItem &app : apps) {
            if (size >= 0)
                h.installer->sizes.insert(app.id, size);
        }
        if (updateAll)
            h.record({{"alpha", "1.0.0"}, {"beta", "1.0.0"}}, {{"alpha", h.makeBundle("alpha")}, {"beta", h.makeBundle("beta")}});
        auto store = h.makeStore(tc::manifest(apps));
        if (updateAll)
            store->manage()->updateAll();
        else
            store->finishOnboarding();
        MeteredDownloads *asking = store->metered();
        if (question.isEmpty()) {
            QTRY_COMPARE(h.installer->calls, (QStringList{"alpha", "beta"}));
            QVERIFY(!asking->question().isValid());
            return;
        }
        QTRY_VERIFY(asking->question().isValid());
        QCOMPARE(asking->question().toMap().value("text").toString(), question);
        QTest::qWait(50);
        QVERIFY(h.installer->calls.isEmpty());  // nothing downloads before the answer
        asking->downloadAnyway();
        QVERIFY(!asking->question().isValid());
        QTRY_COMPARE(h.installer->calls, (QStringList{"alpha", "beta"}));
    }

    // Install and feedback answers after the store is gone: dropped quietly, nothing recorded, no further event.
    void storeGoneWhileWorking()
    {
        StoreHarness h;
        auto store = h.makeStore(tc::manifest({tc::app("alpha")}));
        h.installer->gate = std::make_shared<Gate>();
        h.feedback->gate = std::make_shared<Gate>();
        bool answered = false;
        h.feedback->behaviour = [&answered](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
            answered = true;
            throw FeedbackClientError::server("late");
        };
        store->install(tc::app("alpha"));
        QTRY_COMPARE(h.installer->calls.size(), 1);
        auto task = store->submitFeedback(FeedbackType::bug, "t", "d", std::nullopt);
        store.reset();
        h.installer->gate->open();
        h.feedback->gate->open();
        QVERIFY(finishes(std::move(task)));
        QVERIFY(answered);
        QTRY_VERIFY(QDir(h.dir.filePath("Applications/alpha.app")).exists());
        QCoreApplication::processEvents();
        QCOMPARE(h.recorder->events.size(), 1);
        QVERIFY(h.recorded(LauncherStore::installedVersionsKey).isEmpty());
    }

    void open_data()
    {
        OpenRows::columns();
        OpenRows::row("by recorded path", true, true, true, false, 1);
        OpenRows::row("recorded path deleted: by bundle identifier", false, true, true, false, 2);
        OpenRows::row("recorded bundle cannot be started: damaged, kept, no other copy started", true, false, true, false, 0);
        OpenRows::row("no bundle anywhere: only that app forgotten", false, true, false, false, 0);
        OpenRows::row("no bundle, records gone meanwhile", false, true, false, true, 0);
    }

    void open()
    {
        const auto [recordedExists, recordedOpenable, foundByBundleId, recordsWiped, opened] = OpenRows::fetch();

        StoreHarness h;
        const AppManifestItem app = tc::app("alpha");
        const QString recorded = h.makeBundle("alpha");
        const QString elsewhere = h.makeBundle("Elsewhere");
        // Besides the app: records of an app that left the catalog, and a path without a version.
        Map versions{{"alpha", "1.0.0"}, {"gone", "2.0"}};
        Map paths{{"alpha", recorded}, {"gone", elsewhere}, {"orphan", "/nowhere/Orphan.app"}};
        h.record(versions, paths);
        auto store = h.makeStore(tc::manifest({app}));
        if (!recordedExists)
            QVERIFY(QDir(recorded).removeRecursively());
        if (!recordedOpenable)
            h.workspace->unopenablePaths.insert(recorded);
        if (foundByBundleId)
            h.workspace->byBundleId.insert(app.bundleId, QUrl::fromLocalFile(elsewhere));
        if (recordsWiped) {
            SettingsUserDefaults tool(h.defaultsPath());
            tool.removeObject(LauncherStore::installedVersionsKey);
            tool.removeObject(LauncherStore::installedPathsKey);
            versions.clear();
            paths.clear();
        }

        store->openApp(app.id);

        const QList<QList<QUrl>> openedUrls{{}, {QUrl::fromLocalFile(recorded)}, {QUrl::fromLocalFile(elsewhere)}};
        QCOMPARE(h.workspace->opened, openedUrls.at(opened));
        QVERIFY(h.installer->calls.isEmpty());
        // A bundle that is there is never forgotten: it is shown damaged, with Repair.
        const bool damaged = recordedExists && !recordedOpenable;
        QCOMPARE(store->checks()->isDamaged(app.id), damaged);
        if (damaged) {
            QCOMPARE(store->state(app), AppInstallState::installed(app.version));
            QCOMPARE(store->errorMessage(), std::optional<QString>("Alpha cannot start: its program Contents/MacOS/alpha is not "
                                                                   "executable. Repair puts it right."));
            QCOMPARE(store->installedApps()->repairRefusal(app), std::nullopt);
        } else if (opened == 0) {
            QCOMPARE(store->state(app), AppInstallState::notInstalled());
            QCOMPARE(store->errorMessage(), std::optional<QString>("No app bundle was found on this computer for Alpha."));
            QVERIFY(!store->installedAppURLs().contains(app.id));
            versions.remove("alpha");
            paths.remove("alpha");
            // Both maps are written back without the app, even when it was not in them.
            const SettingsUserDefaults reread(h.defaultsPath());
            QCOMPARE(reread.object(LauncherStore::installedVersionsKey).typeId(), int(QMetaType::QByteArray));
            QCOMPARE(reread.object(LauncherStore::installedPathsKey).typeId(), int(QMetaType::QByteArray));
        } else {
            QCOMPARE(store->state(app), AppInstallState::installed(app.version));
            QCOMPARE(store->errorMessage(), std::nullopt);
        }
        QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), versions);
        QCOMPARE(h.recorded(LauncherStore::installedPathsKey), paths);
    }

    // Roll back is offered only where it can succeed: the window checks the
    // kept copy when it appears and again when the installed copy is found
    // damaged (they share unchanged files), and a damaged one goes.
    void rollBackOfferedOnlyOverASoundKeptCopy_data()
    {
        QTest::addColumn<QString>("damage");  // "none", "at start", "found by open"
        QTest::newRow("kept copy sound") << "none";
        QTest::newRow("kept copy damaged at start") << "at start";
        QTest::newRow("damaged later, found when open fails") << "found by open";
    }

    void rollBackOfferedOnlyOverASoundKeptCopy()
    {
        QFETCH(QString, damage);
        StoreHarness h;
        const AppManifestItem app = tc::app("alpha", AppReleaseStatus::live, "1.1.0");
        const QString bundle = h.recordInstalled(app.id, "1.1.0");
        h.installer->previous.insert(app.id, "1.0.0");
        if (damage == "at start")
            h.installer->damagedPrevious.insert(app.id);
        auto store = h.makeStore(tc::manifest({app}));
        QCoreApplication::processEvents();
        if (damage == "found by open") {
            QCOMPARE(store->installedApps()->rollBackRefusal(app), std::nullopt);
            h.installer->damagedPrevious.insert(app.id);
            h.workspace->unopenablePaths.insert(bundle);
            store->openApp(app.id);
        }
        const bool sound = damage == "none";
        QTRY_COMPARE(store->installedApps()->previousVersions().contains(app.id), sound);
        QCOMPARE(store->installedApps()->rollBackRefusal(app), sound ? std::nullopt : std::optional(Refusal::nothingToRollBack));
    }

    // --- Onboarding, announcements, feedback ---
    // An installed app the catalog's lists do not show is still listed, selectable, opened and removed whole.
    void unlistedInstalledApps_data()
    {
        UnlistedInstalledRows::columns();
        UnlistedInstalledRows::row("dropped by the catalog", "dropped", "notListedNotInCatalog", "notInCatalog");
        UnlistedInstalledRows::row("retired", "retired", "notListedRetired", "retired");
        UnlistedInstalledRows::row("a beta while betas are hidden", "beta", "notListedBetaHidden", "alreadyInstalled");
    }

    void unlistedInstalledApps()
    {
        const auto [catalogSays, notListedKey, installRefusal] = UnlistedInstalledRows::fetch();
        StoreHarness h;
        AppManifestItem tempo = tc::app("tempo", AppReleaseStatus::beta, "1.0.0");
        tempo.name = QStringLiteral("Tempo Timer");
        const QString bundle = h.recordInstalled(tempo.id, "1.0.0");
        // The receipt kept the catalog's record of the install.
        InstallReceipt::write(QFileInfo(bundle).absolutePath(), QFileInfo(bundle).fileName(), tempo, bundle);
        QList<AppManifestItem> apps{tc::app("alpha")};
        if (catalogSays != "dropped")
            apps.append(tc::app("tempo", catalogSays == "retired" ? AppReleaseStatus::retired : AppReleaseStatus::beta, "1.0.0"));
        auto store = h.makeStore(tc::manifest(apps));
        store->setIncludeBetaApps(false);

        const QList<AppManifestItem> unlisted = store->unlistedInstalledApps();
        QCOMPARE(unlisted.size(), 1);
        QCOMPARE(unlisted.first().name, catalogSays == "dropped" ? tempo.name : QStringLiteral("Tempo"));
        QCOMPARE(store->notListedKey(tempo.id), notListedKey);
        QCOMPARE(store->stateFor(tempo.id), AppInstallState::installed("1.0.0"));
        store->setSelectedAppIDValue(tempo.id);
        QCOMPARE(store->selectedApp()->id, tempo.id);
        // Nothing is installed from a record the receipt kept; the copy there opens.
        const InstalledApps::Operation install = store->installedApps()->install(unlisted.first());
        QCOMPARE(EnumNames::name(*install->outcome()->refusal), installRefusal);
        store->openApp(tempo.id);
        QCOMPARE(h.workspace->opened, QList<QUrl>{QUrl::fromLocalFile(bundle)});

        QSignalSpy unlistedChanged(store.get(), &LauncherStore::unlistedInstalledAppsChanged);
        QVERIFY(waitForTask(store->manage()->remove(unlisted.first(), true)));
        QVERIFY(!QFileInfo::exists(bundle));
        QVERIFY(h.recorded(LauncherStore::installedVersionsKey).isEmpty() && h.recorded(LauncherStore::installedPathsKey).isEmpty());
        QVERIFY(store->unlistedInstalledApps().isEmpty());
        QCOMPARE(unlistedChanged.count(), 1);
        QCOMPARE(store->notListedKey(tempo.id), QString());
        // The catalog's own rules are untouched: a hidden or dropped app is not offered.
        QVERIFY(!ManifestPolicy::firstVisibleApp(store->manifest(), false, tempo.id));
    }

    void finishOnboarding_data()
    {
        FinishOnboardingRows::columns();
        FinishOnboardingRows::row("all ticked, one installed, one coming soon", QStringList{}, true, QStringList{"one", "two", "beta"});
        FinishOnboardingRows::row("beta hidden is not installed", QStringList{}, false, QStringList{"one", "two"});
        FinishOnboardingRows::row("unticked apps are skipped, ticked again installed", QStringList{"one", "two", "beta", "two"}, true, QStringList{"two"});
        FinishOnboardingRows::row("everything unticked", QStringList{"one", "two", "done", "beta", "soon"}, true, QStringList{});
    }

    void finishOnboarding()
    {
        const auto [toggled, includeBeta, expectedInstalls] = FinishOnboardingRows::fetch();

        StoreHarness h;
        h.recordInstalled("done", "1.0.0");
        auto store = h.makeStore(tc::manifest({tc::app("one"), tc::app("done"), tc::app("soon", AppReleaseStatus::comingSoon),
                                               tc::app("two"), tc::app("beta", AppReleaseStatus::beta)}));
        store->setIncludeBetaApps(includeBeta);
        for (const QString &id : toggled)
            store->toggleStarter(id);
        const QSet<QString> selectionBefore = store->selectedStarterAppIDs();
        QSignalSpy onboarding(store.get(), &LauncherStore::requiresOnboardingChanged);

        store->finishOnboarding();
        QCOMPARE(store->onboardingComplete(), true);
        QCOMPARE(onboarding.count(), 1);
        QCOMPARE(store->errorMessage(), std::nullopt);  // skipped apps leave no error line
        QTRY_COMPARE(h.installer->calls, expectedInstalls);
        for (const QString &id : expectedInstalls)
            QTRY_COMPARE(store->stateFor(id).kind(), AppInstallState::Kind::installed);
        QCOMPARE(store->selectedStarterAppIDs(), selectionBefore);
    }

    void announcementQueueAcrossRelaunch()
    {
        StoreHarness h;
        const LauncherManifest manifest = tc::manifest({tc::app("one")}, {tc::announcement("c", "one"), tc::announcement("a", "one"),
                                                                          tc::announcement("b", "one"), tc::announcement("d", "one")});
        h.openDefaults()->setStringArray(LauncherStore::seenAnnouncementIDsKey, {"a"});
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

        // Relaunch: acknowledged ones stay acknowledged. A second store on the file meanwhile (another process)
        // acknowledges another announcement: both stay.
        store = h.makeStore(manifest);
        h.makeStore(tc::manifest({tc::app("one")}, {tc::announcement("f", "one")}))->acknowledgePendingAnnouncement();
        QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("b"));
        store->acknowledgePendingAnnouncement();
        QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("d"));
        store->acknowledgePendingAnnouncement();
        QCOMPARE(store->pendingAnnouncement(), std::nullopt);
        store->acknowledgePendingAnnouncement();  // nothing pending: nothing happens
        QCOMPARE(h.openDefaults()->object(LauncherStore::seenAnnouncementIDsKey).toStringList(), (QStringList{"a", "b", "c", "d", "f"}));

        // Seen ids of announcements that left the catalog are kept; a new one pops up.
        QVERIFY(h.refresh(*store, tc::manifest({tc::app("one")}, {tc::announcement("e", "one")})));
        QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("e"));
        store->acknowledgePendingAnnouncement();
        store = h.makeStore(manifest);
        QCOMPARE(store->pendingAnnouncement(), std::nullopt);
        QCOMPARE(store->seenAnnouncementIDs(), (QSet<QString>{"a", "b", "c", "d", "e", "f"}));
    }

    void selectPendingAnnouncementApp_data()
    {
        SelectPendingAnnouncementRows::columns();
        SelectPendingAnnouncementRows::row("visible app is selected", "two", "two");
        SelectPendingAnnouncementRows::row("retired app leaves the selection", "old", "one");
        SelectPendingAnnouncementRows::row("unknown app leaves the selection", "ghost", "one");
    }

    void selectPendingAnnouncementApp()
    {
        const auto [announcedApp, expectedSelection] = SelectPendingAnnouncementRows::fetch();
        StoreHarness h;
        auto store = h.makeStore(tc::manifest({tc::app("one"), tc::app("two"), tc::app("old", AppReleaseStatus::retired)},
                                              {tc::announcement("n1", announcedApp), tc::announcement("n2", "one")}));
        store->selectPendingAnnouncementApp();
        QCOMPARE(store->selectedAppIDValue(), expectedSelection);
        // Acknowledged in either case.
        QCOMPARE(store->pendingAnnouncement()->id, QStringLiteral("n2"));
        QCOMPARE(h.openDefaults()->object(LauncherStore::seenAnnouncementIDsKey).toStringList(), QStringList{"n1"});
    }

    void feedbackRelatedApp_data()
    {
        FeedbackRelatedAppRows::columns();
        FeedbackRelatedAppRows::row("visible related app", QVariant("two"), true, QVariant("two"), "two");
        FeedbackRelatedAppRows::row("hidden beta app dropped: selected app described", QVariant("beta"), false, QVariant(), "one");
        FeedbackRelatedAppRows::row("unknown app dropped", QVariant("ghost"), true, QVariant(), "one");
        FeedbackRelatedAppRows::row("no related app", QVariant(), true, QVariant(), "one");
    }

    void feedbackRelatedApp()
    {
        const auto [appID, includeBeta, sentAppId, diagnosticsApp] = FeedbackRelatedAppRows::fetch();
        StoreHarness h;
        h.language->language = "pl";
        auto store = h.makeStore(tc::manifest({tc::app("one"), tc::app("two", AppReleaseStatus::live, "2.0"),
                                               tc::app("beta", AppReleaseStatus::beta)}));
        store->setIncludeBetaApps(includeBeta);
        store->sendFeedback(FeedbackType::bug, "  Make it  faster \n", "\n\tWhen I open\nthe list. \r\n", appID.toString());
        store->sendFeedback(FeedbackType::bug, "t", "d", appID.toString());
        QTRY_COMPARE(h.feedback->requests.size(), 2);
        const FeedbackSubmissionRequest request = h.feedback->requests.first();
        QCOMPARE(request, (FeedbackSubmissionRequest{request.clientRequestId, FeedbackType::bug, "Make it  faster",
                                                     "When I open\nthe list.", text(sentAppId), request.diagnostics}));
        static const QRegularExpression uuid("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
        QVERIFY2(uuid.match(request.clientRequestId).hasMatch(), qPrintable(request.clientRequestId));
        QVERIFY(request.clientRequestId != h.feedback->requests.at(1).clientRequestId);
        QCOMPARE(h.feedback->locales.first(), VantrelLocale::pl);
        const AppManifestItem *described = store->manifest().findApp(diagnosticsApp);
        const FeedbackDiagnostics &d = request.diagnostics;
        QCOMPARE(std::tie(d.selectedAppId, d.selectedAppName, d.selectedAppVersion),
                 std::tuple(std::optional(described->id), std::optional(described->name), std::optional(described->version)));
    }

    void feedbackDiagnostics()
    {
        StoreHarness h;
        h.systemVersion->version = {15, 1, 0};
        h.language->language = "de-AT";
        auto store = h.makeStore(tc::manifest({tc::app("soon", AppReleaseStatus::comingSoon), tc::app("beta", AppReleaseStatus::beta),
                                               tc::app("one"), tc::app("old", AppReleaseStatus::retired)}));
        store->setIncludeBetaApps(false);
        store->setSelectedAppID(std::nullopt);

        // No launcher version property: the fallback.
        QCOMPARE(store->feedbackDiagnostics(std::nullopt),
                 (FeedbackDiagnostics{"15.1.0", "0.1.0", "de", "firstPublishedApp", 2, 1, 1, "soon", "Soon", "1.0.0"}));

        h.properties->values.insert("CFBundleShortVersionString", "3.2.1");
        QCOMPARE(store->feedbackDiagnostics(std::nullopt).launcherVersion, QStringLiteral("3.2.1"));

        // Without a related app and without a selected app: no app members.
        auto empty = h.makeStore(tc::manifest({tc::app("soon", AppReleaseStatus::comingSoon)}));
        empty->setSelectedAppID(QStringLiteral("ghost"));
        h.properties->values.insert("CFBundleShortVersionString", 7);  // not a text
        QCOMPARE(empty->feedbackDiagnostics(std::nullopt), (FeedbackDiagnostics{"15.1.0", "0.1.0", "de", "comingSoonOnly", 1, 0, 1}));
    }

    void feedbackOutcome_data()
    {
        FeedbackOutcomeRows::columns();
        FeedbackIssue issue;
        issue.id = "issue-1";
        issue.identifier = "VAN-9";
        using S = FeedbackSubmissionState;
        FeedbackOutcomeRows::row("success", 0, "en", S::submitted(issue));
        FeedbackOutcomeRows::row("server message shown unchanged", 1, "pl", S::failed("Title is too short."));
        FeedbackOutcomeRows::row("invalid status: localized text", 2, "de", S::failed("Feedback konnte gerade nicht gesendet werden."));
        FeedbackOutcomeRows::row("transport failure in Polish", 3, "pl", S::failed("Nie udało się teraz wysłać zgłoszenia."));
        FeedbackOutcomeRows::row("decoding failure", 4, "en", S::failed("Feedback could not be sent right now."));
    }

    void feedbackOutcome()
    {
        const auto [outcome, language, expected] = FeedbackOutcomeRows::fetch();
        StoreHarness h;
        h.language->language = language;
        auto store = h.makeStore(tc::manifest({tc::app("one")}));
        h.feedback->gate = std::make_shared<Gate>();
        h.feedback->behaviour = [outcome](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
            switch (outcome) {
            case 1:
                throw FeedbackClientError::server("Title is too short.");
            case 2:
                throw FeedbackClientError::invalidStatus(500);
            case 3:
                throw PlatformError(PlatformError::Domain::network, "Connection refused");
            case 4:
                throw DecodingError("issue: missing");
            }
            FeedbackSubmissionResponse response = FakeFeedbackClient::answer("VAN-9");
            response.ok = false;  // not looked at
            return response;
        };
        store->setShowingFeedbackSheet(true);
        QSignalSpy spy(store.get(), &LauncherStore::feedbackStateChanged);
        auto task = store->submitFeedback(FeedbackType::bug, "t", "d", std::nullopt);
        QCOMPARE(store->feedbackState(), FeedbackSubmissionState::submitting());
        h.feedback->gate->open();
        QVERIFY(finishes(std::move(task)));
        QCOMPARE(store->feedbackState(), expected);
        QCOMPARE(spy.count(), 2);
        // The sheet and the error line are left to the views.
        QCOMPARE(store->showingFeedbackSheet(), true);
        QCOMPARE(store->errorMessage(), std::nullopt);
    }

};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
