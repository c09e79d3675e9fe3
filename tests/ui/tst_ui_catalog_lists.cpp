// The C++ side of the library views: the search rule, the category list, the
// per-section lists and when they are recomputed, symbol glyphs, detail rules.

#include "AppListModel.h"
#include "CatalogOverview.h"
#include "CatalogRules.h"
#include "LibrarySearch.h"
#include "SymbolGlyphs.h"
#include "UiHarness.h"

#include <QSignalSpy>
#include <QTest>

using UiFixtures::app;

class TestCatalogLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchRule_data();
    void searchRule();
    void categoriesSortByCodePoint();
    void sectionLists_data();
    void sectionLists();
    void listsRecomputeOnlyWhenTheirInputsChange();
    void installProgressUpdatesRowInPlace();
    void includeBetaChangesCountsAtOnce();
    void symbolGlyphs();
    void updateFeedHidesLocalHosts_data();
    void updateFeedHidesLocalHosts();
};

void TestCatalogLists::searchRule_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");

    const QStringList all = {QStringLiteral("notes"), QStringLiteral("timer"), QStringLiteral("shots"),
                             QStringLiteral("cafe"), QStringLiteral("atlas"), QStringLiteral("draft")};
    QTest::newRow("empty") << QString() << all;
    QTest::newRow("only spaces is no search") << QStringLiteral("   \t ") << all;
    QTest::newRow("trimmed and case-folded") << QStringLiteral("  TEMPO  ") << QStringList{QStringLiteral("timer")};
    QTest::newRow("newlines trimmed") << QStringLiteral("\nquill\n") << QStringList{QStringLiteral("notes")};
    QTest::newRow("tagline") << QStringLiteral("small thing") << all;
    QTest::newRow("category") << QStringLiteral("writing") << QStringList{QStringLiteral("notes"), QStringLiteral("draft")};
    QTest::newRow("one tag") << QStringLiteral("pomodoro") << QStringList{QStringLiteral("timer")};
    QTest::newRow("two tags joined by one space") << QStringLiteral("photo editing") << QStringList{QStringLiteral("shots")};
    QTest::newRow("tags are not joined by two spaces") << QStringLiteral("photo  editing") << QStringList{};
    QTest::newRow("across word boundary") << QStringLiteral("lnotes") << QStringList{};
    QTest::newRow("inside a word") << QStringLiteral("uill no") << QStringList{QStringLiteral("notes")};
    QTest::newRow("accent significant: with") << QStringLiteral("café") << QStringList{QStringLiteral("cafe")};
    QTest::newRow("accent significant: without") << QStringLiteral("cafe m") << QStringList{};
    QTest::newRow("upper-case accent folds") << QStringLiteral("CAFÉ") << QStringList{QStringLiteral("cafe")};
}

void TestCatalogLists::searchRule()
{
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    QStringList ids;
    for (const AppManifestItem &a : LibrarySearch::filter(UiFixtures::richCatalog().apps, search))
        ids.append(a.id);
    QCOMPARE(ids, expected);
}

void TestCatalogLists::categoriesSortByCodePoint()
{
    QCOMPARE(CatalogOverview::sortedCategories({QStringLiteral("Utilities"), QStringLiteral("Notes"),
                                                QStringLiteral("utilities"), QStringLiteral("Utilities"),
                                                QStringLiteral("Émigré"), QStringLiteral("Zeta")}),
             (QStringList{QStringLiteral("Notes"), QStringLiteral("Utilities"), QStringLiteral("Zeta"),
                          QStringLiteral("utilities"), QStringLiteral("Émigré")}));
    // Code points above the BMP sort after every BMP character (UTF-16 order would not).
    const QString high = QString::fromUcs4(U"\U0001F600");
    const QString bmp = QString(QChar(0xFF5E));
    QCOMPARE(CatalogOverview::sortedCategories({high, bmp}), (QStringList{bmp, high}));

    UiHarness h({UiFixtures::manifest({app("a", "A", AppReleaseStatus::live, "Utilities"),
                                       app("b", "B", AppReleaseStatus::live, "Notes"),
                                       app("c", "C", AppReleaseStatus::beta, "Utilities"),
                                       app("d", "D", AppReleaseStatus::retired, "Archive")})});
    CatalogOverview overview;
    overview.setStore(h.store());
    QCOMPARE(overview.categories(), (QStringList{QStringLiteral("Notes"), QStringLiteral("Utilities")}));
    QCOMPARE(overview.visibleCount(), 3);
    QCOMPARE(overview.lifecycleKind(), QStringLiteral("multiAppCatalog"));
}

void TestCatalogLists::sectionLists_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");
    // Starters: notes, atlas (coming soon), draft (incomplete). Updates: shots only.
    QTest::newRow("all apps") << "allApps" << "" << QStringList{"notes", "timer", "shots", "cafe", "atlas", "draft"};
    QTest::newRow("selected: published starters only") << "selected" << "" << QStringList{"notes"};
    QTest::newRow("selected narrowed") << "selected" << "tempo" << QStringList{};
    QTest::newRow("updates: updateAvailable only") << "updates" << "" << QStringList{"shots"};
    QTest::newRow("updates narrowed away") << "updates" << "quill" << QStringList{};
    QTest::newRow("published ignores search") << "published" << "quill" << QStringList{"notes", "timer", "shots", "cafe"};
    QTest::newRow("coming soon ignores search") << "comingSoon" << "zzz" << QStringList{"atlas"};
}

void TestCatalogLists::sectionLists()
{
    QFETCH(QString, kind);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);

    LauncherManifest older = UiFixtures::richCatalog();
    UiHarness h({older});
    // Installed at 1.0.0: notes (catalog unchanged -> installed) and shots (catalog moves on -> update).
    h.install(QStringLiteral("notes"));
    h.install(QStringLiteral("shots"));
    LauncherManifest newer = older;
    newer.apps[2].version = QStringLiteral("1.1.0");
    h.loader().manifest = newer;
    QCoro::waitFor(h.store()->loadManifest());
    QCOMPARE(h.store()->installStates().value("shots").kind(), AppInstallState::Kind::updateAvailable);
    QCOMPARE(h.store()->installStates().value("notes").kind(), AppInstallState::Kind::installed);

    // Starters: exactly notes, atlas and draft.
    for (const AppManifestItem &a : newer.apps) {
        const bool wanted = a.id == "notes" || a.id == "atlas" || a.id == "draft";
        if (h.store()->selectedStarterAppIDs().contains(a.id) != wanted)
            h.store()->toggleStarter(a.id);
    }

    AppListModel model;
    model.setKind(kind);
    model.setSearchText(search);
    model.setStore(h.store());
    QCOMPARE(model.ids(), expected);
}

void TestCatalogLists::listsRecomputeOnlyWhenTheirInputsChange()
{
    UiHarness h({UiFixtures::richCatalog()});
    AppListModel model;
    model.setStore(h.store());  // allApps
    const int base = model.recomputeCount();
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    h.store()->setSelectedAppIDValue(QStringLiteral("timer"));
    h.store()->setLocaleCode(QStringLiteral("de"));
    h.store()->toggleStarter(QStringLiteral("notes"));
    QCOMPARE(model.recomputeCount(), base);
    QCOMPARE(resets.count(), 0);
    QVERIFY(changed.count() >= 2);  // labels (locale) and stars redrawn in place
    QCOMPARE(model.data(model.index(0), AppListModel::StatusLabelRole).toString(), QStringLiteral("Live"));
    QCOMPARE(model.data(model.index(4), AppListModel::TileStatusRole).toString(), QStringLiteral("Nur Vorschau"));

    // A search that does not change the trimmed query does not recompute either.
    model.setSearchText(QStringLiteral("quill"));
    QCOMPARE(model.recomputeCount(), base + 1);
    model.setSearchText(QStringLiteral("  QUILL "));
    QCOMPARE(model.recomputeCount(), base + 1);
    QCOMPARE(model.ids(), QStringList{QStringLiteral("notes")});

    // The same catalog arriving again changes nothing.
    QCoro::waitFor(h.store()->loadManifest());
    QCOMPARE(model.recomputeCount(), base + 1);

    // The selected list follows the starters.
    AppListModel selected;
    selected.setKind(QStringLiteral("selected"));
    selected.setStore(h.store());
    const QStringList before = selected.ids();
    h.store()->toggleStarter(QStringLiteral("timer"));
    QVERIFY(selected.ids() != before);
}

void TestCatalogLists::installProgressUpdatesRowInPlace()
{
    UiHarness h({UiFixtures::richCatalog()});
    auto gate = std::make_shared<UiGate>();
    h.installer().gates.insert(QStringLiteral("shots"), gate);
    AppListModel model;
    model.setStore(h.store());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    h.store()->installApp(QStringLiteral("shots"));
    QTRY_VERIFY(!changed.isEmpty());
    const QModelIndex row = model.index(2);
    QCOMPARE(changed.first().at(0).toModelIndex(), row);
    QCOMPARE(model.data(row, AppListModel::TileStatusRole).toString(), QStringLiteral("Installing 4%"));
    gate->open();
    QTRY_COMPARE(model.data(row, AppListModel::TileStatusRole).toString(), QStringLiteral("Installed 1.0.0"));
    QCOMPARE(resets.count(), 0);
}

void TestCatalogLists::includeBetaChangesCountsAtOnce()
{
    UiHarness h({UiFixtures::richCatalog()});
    CatalogOverview overview;
    overview.setStore(h.store());
    AppListModel all;
    all.setStore(h.store());
    QCOMPARE(overview.visibleCount(), 6);
    QVERIFY(overview.categories().contains(QStringLiteral("Productivity")));
    h.store()->setIncludeBetaApps(false);
    QCOMPARE(overview.visibleCount(), 5);
    QVERIFY(!overview.categories().contains(QStringLiteral("Productivity")));
    QVERIFY(!all.ids().contains(QStringLiteral("timer")));
}

void TestCatalogLists::symbolGlyphs()
{
    SymbolGlyphs glyphs;
    QVERIFY(!glyphs.fontFamily().isEmpty());
    QCOMPARE(glyphs.glyph(QStringLiteral("house")), QString(QChar(0xe88a)));
    QCOMPARE(glyphs.glyph(QStringLiteral("star.fill")), QString(QChar(0xe838)));
    QVERIFY(glyphs.glyph(QStringLiteral("star")) != glyphs.glyph(QStringLiteral("star.fill")));
    QCOMPARE(glyphs.glyph(QStringLiteral("no.such.symbol")), SymbolGlyphs::fallbackGlyph());
    QCOMPARE(glyphs.glyph(QString()), SymbolGlyphs::fallbackGlyph());
    // Every symbol the launcher's own views name has a glyph of its own.
    for (const char *name : {"house", "square.grid.2x2", "star", "star.fill", "arrow.down.circle", "gearshape",
                             "clock", "tray", "sparkles", "checkmark.circle", "checkmark.seal", "arrow.clockwise",
                             "play", "arrow.triangle.2.circlepath", "lock.shield", "magnifyingglass",
                             "chevron.right", "chevron.left", "command", "bubble.left.and.bubble.right",
                             "arrow.right", "paperplane", "exclamationmark.triangle", "checkmark.circle.fill",
                             "checkmark", "hourglass", "cpu", "arrow.up.right"})
        QVERIFY2(glyphs.isKnown(QString::fromLatin1(name)), name);
    // The glyphs exist in the compiled-in font.
    QFont font(glyphs.fontFamily());
    QFontMetrics metrics(font);
    QVERIFY(metrics.inFont(glyphs.glyph(QStringLiteral("house")).at(0)));
    QVERIFY(metrics.inFont(SymbolGlyphs::fallbackGlyph().at(0)));
}

void TestCatalogLists::updateFeedHidesLocalHosts_data()
{
    QTest::addColumn<QVariant>("feed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << QVariant() << QString();
    QTest::newRow("public host") << QVariant(QUrl("https://updates.example.com/a/feed.xml?x=1"))
                                 << QStringLiteral("https://updates.example.com/a/feed.xml?x=1");
    QTest::newRow("local network") << QVariant(QUrl("http://builder.local/feed.xml")) << QString();
    QTest::newRow("local in the middle is public") << QVariant(QUrl("https://a.local.example.com/f.xml"))
                                                   << QStringLiteral("https://a.local.example.com/f.xml");
    QTest::newRow("no host") << QVariant(QUrl("file:///tmp/feed.xml")) << QStringLiteral("file:///tmp/feed.xml");
}

void TestCatalogLists::updateFeedHidesLocalHosts()
{
    QFETCH(QVariant, feed);
    QFETCH(QString, expected);
    AppManifestItem a = app("a", "A");
    if (feed.isValid())
        a.sparkleFeedUrl = feed.toUrl();
    CatalogRules rules;
    QCOMPARE(rules.updateFeed(QVariant::fromValue(a)), expected);
}

QTEST_MAIN(TestCatalogLists)
#include "tst_ui_catalog_lists.moc"
