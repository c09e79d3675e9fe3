// Staged rollouts: the bucket each installation draws, and the store's
// updates released gradually (not counted, passed over by Update all, taken
// when asked for by name; first installs unaffected).

#include "DataRows.h"
#include "StoreFakes.h"
#include "catalog/StagedRollout.h"

#include <QUuid>

namespace tc = TestCatalog;

namespace {

QString randomId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The installed Alpha 1.0.0, and a catalog offering 1.1.0 to percent of the copies.
AppManifestItem stagedAlpha(int percent)
{
    AppManifestItem alpha = tc::app("alpha", AppReleaseStatus::live, "1.1.0");
    alpha.rolloutPercent = percent;
    return alpha;
}

}  // namespace

class TestStagedRollout : public QObject
{
    Q_OBJECT
    using ShareRows = DataRows<int>;  // percent
    using StoreRows = DataRows<int, bool>;  // percent, offered

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // --- The bucket ---
    void shareOfferedFollowsThePercent_data()
    {
        ShareRows::columns();
        for (int percent : {1, 10, 50, 90})
            ShareRows::row(QByteArray::number(percent) + "%", percent);
    }
    void shareOfferedFollowsThePercent()
    {
        const auto [percent] = ShareRows::fetch();
        constexpr int ids = 10'000;
        int offered = 0;
        for (int i = 0; i < ids; ++i)
            offered += StagedRollout::offered(randomId(), "alpha", "1.1.0", percent) ? 1 : 0;
        const double share = 100.0 * offered / ids;
        QVERIFY2(qAbs(share - percent) <= 2.0, qPrintable(QStringLiteral("%1% offered at %2%").arg(share).arg(percent)));
    }

    void noneAtZeroEveryoneAtHundred()
    {
        for (int i = 0; i < 1000; ++i) {
            const QString id = randomId();
            const int bucket = StagedRollout::bucket(id, "alpha", "1.1.0");
            QVERIFY(bucket >= 0 && bucket <= 99);
            QVERIFY(!StagedRollout::offered(id, "alpha", "1.1.0", 0));
            QVERIFY(StagedRollout::offered(id, "alpha", "1.1.0", 100));
            // Out of range reads as its nearest end.
            QVERIFY(!StagedRollout::offered(id, "alpha", "1.1.0", -5));
            QVERIFY(StagedRollout::offered(id, "alpha", "1.1.0", 250));
        }
    }

    // One id and version keep their bucket; a new version or another app draws again.
    void stableForAVersionDrawnAgainForTheNext()
    {
        constexpr int ids = 2000;
        int sameForNextVersion = 0;
        int sameForOtherApp = 0;
        int firstTwice = 0;  // among the first 10% of 1.1.0, also among the first 10% of 1.2.0
        for (int i = 0; i < ids; ++i) {
            const QString id = randomId();
            const int bucket = StagedRollout::bucket(id, "alpha", "1.1.0");
            QCOMPARE(StagedRollout::bucket(QString(id), QStringLiteral("alpha"), QStringLiteral("1.1.0")), bucket);
            sameForNextVersion += StagedRollout::bucket(id, "alpha", "1.2.0") == bucket ? 1 : 0;
            sameForOtherApp += StagedRollout::bucket(id, "beta", "1.1.0") == bucket ? 1 : 0;
            firstTwice += bucket < 10 && StagedRollout::offered(id, "alpha", "1.2.0", 10) ? 1 : 0;
        }
        // Independent draws agree about one time in a hundred.
        QVERIFY2(sameForNextVersion < ids / 20, qPrintable(QString::number(sameForNextVersion)));
        QVERIFY2(sameForOtherApp < ids / 20, qPrintable(QString::number(sameForOtherApp)));
        QVERIFY2(firstTwice < ids / 20, qPrintable(QString::number(firstTwice)));
        // The parts are kept apart: moving a character between them draws again.
        QVERIFY(StagedRollout::bucket("id", "alpha", "1.1.0") != StagedRollout::bucket("id", "alpha1", ".1.0")
                || StagedRollout::bucket("id2", "alpha", "1.1.0") != StagedRollout::bucket("id2", "alpha1", ".1.0"));
    }

    // --- The store ---
    // Alpha's 1.1.0 at percent beside Beta's 1.1.0 to everyone, both installed at 1.0.0.
    void updateAllAndTheCount_data()
    {
        StoreRows::columns();
        StoreRows::row("halted at 0", 0, false);
        StoreRows::row("everyone at 100", 100, true);
    }
    void updateAllAndTheCount()
    {
        const auto [percent, offered] = StoreRows::fetch();
        StoreHarness h;
        h.record({{"alpha", "1.0.0"}, {"beta", "1.0.0"}}, {{"alpha", h.makeBundle("alpha")}, {"beta", h.makeBundle("beta")}});
        auto store = h.makeStore(tc::manifest({stagedAlpha(percent), tc::app("beta", AppReleaseStatus::live, "1.1.0")}));

        const QStringList updatable = offered ? QStringList{"alpha", "beta"} : QStringList{"beta"};
        const QVariantMap staged = offered ? QVariantMap() : QVariantMap{{"alpha", "1.1.0"}};
        QCOMPARE(store->manage()->updatableAppIDs(), updatable);
        QCOMPARE(store->stateFor("alpha"), offered ? AppInstallState::updateAvailable("1.0.0", "1.1.0") : AppInstallState::installed("1.0.0"));
        QCOMPARE(store->manage()->stagedUpdates(), staged);

        QSignalSpy finished(store->manage(), &AppManagement::updatesFinished);
        store->manage()->updateAll();
        QVERIFY(finished.wait(5000));
        QCOMPARE(h.installer->calls, updatable);
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed(offered ? "1.1.0" : "1.0.0"));
        QCOMPARE(store->manage()->stagedUpdates(), staged);
    }

    // The page's Update now takes the version not offered yet at once; held apps stay held.
    void updateNowTakesAStagedVersion()
    {
        StoreHarness h;
        h.recordInstalled("alpha", "1.0.0");
        auto store = h.makeStore(tc::manifest({stagedAlpha(0)}));
        QVERIFY(store->manage()->stagedUpdates().contains("alpha"));
        QVERIFY(store->manage()->holdApp("alpha"));
        QCOMPARE(store->manage()->stagedUpdates(), QVariantMap());
        QVERIFY(store->manage()->releaseApp("alpha"));
        QCOMPARE(store->manage()->stagedUpdates(), (QVariantMap{{"alpha", "1.1.0"}}));

        QSignalSpy finished(store.get(), &LauncherStore::installFinished);
        store->installApp("alpha");
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(h.installer->calls, QStringList{"alpha"});
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("1.1.0"));
        QCOMPARE(h.recorded(LauncherStore::installedVersionsKey).value("alpha"), "1.1.0");
        QCOMPARE(store->manage()->stagedUpdates(), QVariantMap());
    }

    // A refresh that stages or halts an update leaves the state as it was, but not what is staged.
    void refreshStagesAndReleases()
    {
        StoreHarness h;
        h.recordInstalled("alpha", "1.0.0");
        auto store = h.makeStore(tc::manifest({tc::app("alpha")}));
        QCOMPARE(store->manage()->stagedUpdates(), QVariantMap());
        QVERIFY(h.refresh(*store, tc::manifest({stagedAlpha(0)})));
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("1.0.0"));
        QCOMPARE(store->manage()->stagedUpdates(), (QVariantMap{{"alpha", "1.1.0"}}));
        QVERIFY(h.refresh(*store, tc::manifest({tc::app("alpha")})));
        QCOMPARE(store->manage()->stagedUpdates(), QVariantMap());
    }

    // A first install gets the listed version whatever the percent, and needs no install id.
    void firstInstallIgnoresTheRollout()
    {
        StoreHarness h;
        auto store = h.makeStore(tc::manifest({stagedAlpha(0)}));
        QCOMPARE(store->stateFor("alpha"), AppInstallState::notInstalled());
        QSignalSpy finished(store.get(), &LauncherStore::installFinished);
        store->installApp("alpha");
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("1.1.0"));
        QVERIFY(!h.openDefaults()->object(InstallRecords::installIdKey).isValid());
    }

    // The id is made once, when a rollout first needs it, and read back by every later store.
    void installIdMadeOnceAndKept()
    {
        StoreHarness h;
        h.recordInstalled("alpha", "1.0.0");
        // Everyone or no one: no id is needed.
        for (int percent : {0, 100})
            h.makeStore(tc::manifest({stagedAlpha(percent)}));
        QVERIFY(!h.openDefaults()->object(InstallRecords::installIdKey).isValid());

        std::optional<bool> offered;
        QByteArray first;
        for (int start = 0; start < 3; ++start) {
            auto store = h.makeStore(tc::manifest({stagedAlpha(50)}));
            const QByteArray stored = h.openDefaults()->object(InstallRecords::installIdKey).toByteArray();
            QVERIFY(!QUuid::fromString(QLatin1StringView(stored)).isNull());
            if (first.isEmpty())
                first = stored;
            QCOMPARE(stored, first);
            const bool now = store->stateFor("alpha").kind() == AppInstallState::Kind::updateAvailable;
            QCOMPARE(now, StagedRollout::offered(QString::fromLatin1(stored), "alpha", "1.1.0", 50));
            QCOMPARE(offered.value_or(now), now);
            offered = now;
        }
    }
};

QTEST_GUILESS_MAIN(TestStagedRollout)
#include "tst_staged_rollout.moc"
