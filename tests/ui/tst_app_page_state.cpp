// An app's page: which action is the main one, the line under the state and
// the line of the update decisions, for every install state, listed or not,
// held or skipped, with or without a change waiting for the app to quit; and
// the page's state following the store.

#include "AppPageState.h"
#include "DataRows.h"
#include "StoreFakes.h"
#include "i18n/PlatformWords.h"
#include "i18n/VantrelTranslator.h"

#include <QSignalSpy>
#include <memory>

namespace {

using Action = AppPageAction;

const QString failure = QStringLiteral("Could not install Alpha. The checksum did not match.");

AppPageFacts factsOf(const AppInstallState &state, bool listed = true)
{
    AppPageFacts facts;
    facts.state = state;
    if (!listed)
        facts.notListedKey = QStringLiteral("notListedNotInCatalog");
    return facts;
}

// The decisions the user can have taken about updates.
enum class Decision { none, held, skipped };

}  // namespace

class TestAppPageState : public QObject
{
    Q_OBJECT
    // facts -> action, enabled, detail, decisions shown, decision line
    using RuleRows = DataRows<AppPageFacts, AppPageAction, bool, QString, bool, QString>;

    std::unique_ptr<VantrelTranslator> m_english;

    // Every install state, listed or not, crossed with every decision and with a change waiting or not.
    void everyStateRows()
    {
        const QString installed = qtTrId(PlatformWords::messageId("installedDetail"));
        const QString unlisted = QStringLiteral("No longer in the catalog");
        struct Base {
            const char *name;
            AppInstallState state;
            bool listed;
            Action action;
            QString detail;
            bool decisionsShown;
        };
        const QList<Base> bases{
            {"not installed", AppInstallState::notInstalled(), true, Action::install, "Ready to install.", false},
            {"not installed", AppInstallState::notInstalled(), false, Action::open, unlisted, false},
            {"installing", AppInstallState::installing(0.4), true, Action::installing, "Installing now.", false},
            {"installing", AppInstallState::installing(0.4), false, Action::installing, unlisted, false},
            {"installed", AppInstallState::installed("1.0.0"), true, Action::open, installed, true},
            {"installed", AppInstallState::installed("1.0.0"), false, Action::open, unlisted, false},
            {"update available", AppInstallState::updateAvailable("1.0.0", "1.1.0"), true, Action::update, "A newer version is ready.", true},
            {"update available", AppInstallState::updateAvailable("1.0.0", "1.1.0"), false, Action::update, unlisted, false},
            // A failure says what went wrong rather than why the catalog does not list the app.
            {"failed", AppInstallState::failed(failure), true, Action::install, failure, false},
            {"failed", AppInstallState::failed(failure), false, Action::open, failure, false},
            {"failed update", AppInstallState::failed(failure, "1.0.0"), true, Action::retry, failure, true},
            {"failed update", AppInstallState::failed(failure, "1.0.0"), false, Action::open, failure, false},
        };
        const QList<std::pair<Decision, QString>> decisions{
            {Decision::none, QString()},
            {Decision::held, QStringLiteral("Held at 1.0.0: kept out of Update all until you release it.")},
            {Decision::skipped, QStringLiteral("Version 1.1.0 skipped; a newer one will be offered.")},
        };
        for (const Base &base : bases) {
            for (const auto &[decision, decisionLine] : decisions) {
                for (const bool waiting : {false, true}) {
                    AppPageFacts facts = factsOf(base.state, base.listed);
                    facts.held = decision == Decision::held;
                    facts.skippedVersion = decision == Decision::skipped ? QStringLiteral("1.1.0") : QString();
                    facts.waiting = waiting;
                    const QString tag = QStringLiteral("%1, %2, %3%4")
                                            .arg(QString::fromLatin1(base.name), base.listed ? "listed" : "unlisted",
                                                 decision == Decision::held ? "held" : decision == Decision::skipped ? "skipped" : "no decision",
                                                 waiting ? ", waiting to quit" : "");
                    // Asking again while a change waits for the app to quit would only repeat the question.
                    const bool enabled = base.action != Action::installing && !waiting;
                    RuleRows::row(tag, facts, base.action, enabled, base.detail, base.decisionsShown,
                                  base.decisionsShown ? decisionLine : QString());
                }
            }
        }
    }

    // Where a preview, a verify's finding or an update's size changes what wins.
    void precedenceRows()
    {
        const QString installed = qtTrId(PlatformWords::messageId("installedDetail"));
        const QString summary = QStringLiteral("2 files changed, 1 missing");
        const auto pending = [](AppPageFacts facts, const QString &refusal) {
            facts.pending = true;
            facts.refusalKey = refusal;
            return facts;
        };
        const auto verified = [&](AppPageFacts facts, bool damaged, bool offersRepair) {
            facts.damaged = damaged;
            facts.offersRepair = offersRepair;
            facts.verifySummary = summary;
            return facts;
        };
        const AppPageFacts notInstalled = factsOf(AppInstallState::notInstalled());
        RuleRows::row("coming soon says why", pending(notInstalled, "refusalComingSoon"), Action::refreshCatalog, true,
                      "Preview only · It is coming soon.", false, "");
        RuleRows::row("preview without a reason", pending(notInstalled, ""), Action::refreshCatalog, true, "Preview only", false, "");
        RuleRows::row("preview while installing", pending(factsOf(AppInstallState::installing(0.4)), ""),
                      Action::refreshCatalog, true, "Preview only", false, "");
        RuleRows::row("unlisted preview opens", pending(factsOf(AppInstallState::installed("1.0.0"), false), "refusalComingSoon"),
                      Action::open, true, "No longer in the catalog", false, "");
        const AppPageFacts installedCopy = factsOf(AppInstallState::installed("1.0.0"));
        RuleRows::row("damaged copy repairs first", verified(installedCopy, true, true), Action::repair, true, summary, true, "");
        RuleRows::row("nothing to compare with repairs", verified(installedCopy, false, true), Action::repair, true, installed, true, "");
        RuleRows::row("intact copy opens", verified(installedCopy, false, false), Action::open, true, installed, true, "");
        RuleRows::row("damaged unlisted copy repairs", verified(factsOf(AppInstallState::failed(failure, "1.0.0"), false), true, true),
                      Action::repair, true, summary, false, "");
        const AppPageFacts update = factsOf(AppInstallState::updateAvailable("1.0.0", "1.1.0"));
        RuleRows::row("an update beats a repair", verified(update, true, true), Action::update, true, summary, true, "");
        RuleRows::row("damaged, being replaced", verified(factsOf(AppInstallState::installing(0.4)), true, true),
                      Action::installing, false, "Installing now.", false, "");
        AppPageFacts sized = update;
        sized.updateSize = QStringLiteral("12 MB");
        RuleRows::row("update says its size", sized, Action::update, true, "A newer version is ready.", true, "");
        AppPageFacts heldAndSkipped = update;
        heldAndSkipped.held = true;
        heldAndSkipped.skippedVersion = QStringLiteral("1.1.0");
        RuleRows::row("a hold outweighs a skip", heldAndSkipped, Action::update, true, "A newer version is ready.", true,
                      "Held at 1.0.0: kept out of Update all until you release it.");
    }

private Q_SLOTS:
    void initTestCase() { m_english = std::make_unique<VantrelTranslator>(VantrelLocale::en); }

    void rules_data()
    {
        RuleRows::columns();
        everyStateRows();
        precedenceRows();
    }

    void rules()
    {
        const auto [facts, action, enabled, detail, decisionsShown, decisionLine] = RuleRows::fetch();
        const AppPageView view = appPageView(facts);
        QCOMPARE(view.action, action);
        QCOMPARE(view.actionEnabled, enabled);
        QCOMPARE(view.detail, detail);
        QCOMPARE(view.decisionsShown, decisionsShown);
        QCOMPARE(view.decisionText, decisionLine);
    }

    void actionTexts()
    {
        AppPageFacts sized = factsOf(AppInstallState::updateAvailable("1.0.0", "1.1.0"));
        QCOMPARE(appPageView(sized).actionText, QStringLiteral("Update"));
        sized.updateSize = QStringLiteral("12 MB");
        QCOMPARE(appPageView(sized).actionText, QStringLiteral("Update · 12 MB"));
        QCOMPARE(appPageView(factsOf(AppInstallState::failed(failure, "1.0.0"))).actionText, QStringLiteral("Retry"));
        AppPageFacts pending = factsOf(AppInstallState::notInstalled());
        pending.pending = true;
        QCOMPARE(appPageView(pending).actionText, QStringLiteral("Check for apps"));
    }

    // The page follows the store: decisions, the catalog dropping the app, the language; and its button acts.
    void followsTheStore()
    {
        StoreHarness h;
        h.recordInstalled(QStringLiteral("alpha"), QStringLiteral("1.0.0"));
        auto store = h.makeStore(TestCatalog::manifest({TestCatalog::app("alpha", AppReleaseStatus::live, "1.1.0")}));
        AppPageState page;
        page.setStore(store.get());
        QSignalSpy changed(&page, &AppPageState::changed);
        page.setAppId(QStringLiteral("alpha"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(page.primaryAction(), AppPageState::Action::Update);
        QCOMPARE(page.primaryText(), QStringLiteral("Update"));
        QVERIFY(page.listed() && page.decisionsShown() && page.primaryProminent());

        QVERIFY(store->manage()->skipVersion(QStringLiteral("alpha")));
        QCOMPARE(page.skippedVersion(), QStringLiteral("1.1.0"));
        QCOMPARE(page.decisionText(), QStringLiteral("Version 1.1.0 skipped; a newer one will be offered."));
        QVERIFY(store->manage()->holdApp(QStringLiteral("alpha")));
        QVERIFY(page.held());
        QCOMPARE(page.decisionText(), QStringLiteral("Held at 1.0.0: kept out of Update all until you release it."));

        // Dropped from the catalog: still within reach, it opens and says why.
        store->applyManifest(TestCatalog::manifest({}));
        QVERIFY(!page.listed() && !page.decisionsShown());
        QCOMPARE(page.primaryAction(), AppPageState::Action::Open);
        QCOMPARE(page.detailText(), QStringLiteral("No longer in the catalog"));
        const qsizetype before = changed.size();
        store->setLocale(VantrelLocale::de);
        QCOMPARE(changed.size(), before + 1);
        QCOMPARE(page.detailText(), QStringLiteral("Nicht mehr im Katalog"));
        store->setLocale(VantrelLocale::en);

        page.triggerPrimary();
        QTRY_COMPARE(h.workspace->opened.size(), 1);

        // Without a store the page is an app's that is not installed.
        page.setStore(nullptr);
        QCOMPARE(page.primaryAction(), AppPageState::Action::Install);
        QVERIFY(page.listed() && !page.held());
    }
};

QTEST_GUILESS_MAIN(TestAppPageState)
#include "tst_app_page_state.moc"
