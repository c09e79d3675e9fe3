// The precomputed search keys agree with the search rules, and typing moves
// rows in and out of the lists without resetting them.

#include "AppListModel.h"
#include "LibrarySearch.h"
#include "QuickSwitcherModel.h"
#include "UiHarness.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using UiFixtures::app;

namespace {

QList<AppManifestItem> trickyApps()
{
    QList<AppManifestItem> apps = UiFixtures::richCatalog().apps;
    AppManifestItem a = app(QStringLiteral("split"), QStringLiteral("Ab"));
    a.tagline = QStringLiteral("cd");
    a.category = QStringLiteral("Ef");
    a.tags = {QStringLiteral("gh"), QStringLiteral("ij")};
    apps.append(a);
    // Lowering İ gives two code units; the fields after it must still line up.
    AppManifestItem b = app(QStringLiteral("istanbul"), QStringLiteral("İSTANBUL Maps"));
    b.tagline = QStringLiteral("ÀLA carte");
    b.tags = {QStringLiteral("Ünïcode")};
    apps.append(b);
    return apps;
}

}  // namespace

class TestSearchKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysFollowTheRules_data();
    void keysFollowTheRules();
    void typingMovesRowsWithoutReset_data();
    void typingMovesRowsWithoutReset();
    void switcherTypingMovesRowsWithoutReset();
};

void TestSearchKeys::keysFollowTheRules_data()
{
    QTest::addColumn<QString>("query");
    for (const char *q : {"", "a", "quill", "b c", "bc", "dEf", "gh ij", "ef gh", "hi", "i̇stanbul", "maps",
                          "istanbul", "àla", "ünïcode", "unicode", "café", "cafe m", "photo editing", "small"})
        QTest::newRow(q) << QString::fromUtf8(q);
    QTest::newRow("NUL inside") << QStringLiteral("b") + QChar(u'\0') + QStringLiteral("c");
}

void TestSearchKeys::keysFollowTheRules()
{
    QFETCH(QString, query);
    const QList<AppManifestItem> apps = trickyApps();
    const QString q = LibrarySearch::query(query);
    const LibrarySearch::SearchKeys library(apps, LibrarySearch::SearchKeys::Fields::withTags);
    const LibrarySearch::SearchKeys switcher(apps, LibrarySearch::SearchKeys::Fields::withoutTags);
    QList<int> libraryExpected, switcherExpected;
    for (int i = 0; i < apps.size(); ++i) {
        if (LibrarySearch::matches(apps[i], q))
            libraryExpected.append(i);
        if (q.isEmpty() || QuickSwitcherSearch::matches(apps[i], q))
            switcherExpected.append(i);
    }
    QCOMPARE(library.matching(q), libraryExpected);
    QCOMPARE(switcher.matching(q), switcherExpected);
    // Narrowing from a shorter query finds the same apps.
    if (!q.isEmpty()) {
        QCOMPARE(library.matching(q, library.matching(q.left(1))), libraryExpected);
        QCOMPARE(switcher.matching(q, switcher.matching(q.left(1))), switcherExpected);
    }
}

void TestSearchKeys::typingMovesRowsWithoutReset_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("all apps") << QStringLiteral("allApps");
    QTest::newRow("selected") << QStringLiteral("selected");
}

void TestSearchKeys::typingMovesRowsWithoutReset()
{
    QFETCH(QString, kind);
    UiHarness h({UiFixtures::richCatalog()});
    h.store()->toggleStarter(QStringLiteral("notes"));
    h.store()->toggleStarter(QStringLiteral("shots"));
    AppListModel model;
    model.setKind(kind);
    model.setStore(h.store());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    const QStringList everything = model.ids();

    AppListModel reference;
    reference.setKind(kind);
    const QString typed = QStringLiteral("s ti");
    QStringList texts;
    for (int n = 1; n <= typed.size(); ++n)
        texts << typed.left(n);
    for (int n = typed.size() - 1; n >= 0; --n)
        texts << typed.left(n);
    texts << QStringLiteral("notes") << QStringLiteral("shots") << QStringLiteral("zzz") << QString();
    for (const QString &text : std::as_const(texts)) {
        model.setSearchText(text);
        // A fresh model over the same store computes the list from scratch.
        reference.setSearchText(text);
        reference.setStore(h.store());
        QCOMPARE(model.ids(), reference.ids());
        QCOMPARE(model.count(), model.ids().size());
        for (int row = 0; row < model.count(); ++row)
            QCOMPARE(model.data(model.index(row), AppListModel::AppIdRole).toString(), model.ids().at(row));
        reference.setStore(nullptr);
    }
    QCOMPARE(model.ids(), everything);
    QCOMPARE(resets.count(), 0);
    QVERIFY(!inserted.isEmpty());
    QVERIFY(!removed.isEmpty());
}

void TestSearchKeys::switcherTypingMovesRowsWithoutReset()
{
    UiHarness h({UiFixtures::richCatalog()});
    QuickSwitcherModel model;
    model.setStore(h.store());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy counts(&model, &QuickSwitcherModel::countChanged);
    const QList<AppManifestItem> published = [&] {
        QuickSwitcherModel fresh;
        fresh.setStore(h.store());
        QList<AppManifestItem> apps;
        for (const AppManifestItem &a : UiFixtures::richCatalog().apps) {
            if (fresh.ids().contains(a.id))
                apps.append(a);
        }
        return apps;
    }();
    for (const QString &text : {QStringLiteral("t"), QStringLiteral("ti"), QStringLiteral("t"), QStringLiteral("  NOTES"),
                                QStringLiteral("pomodoro"), QString()}) {
        model.setQuery(text);
        QStringList expected;
        for (const AppManifestItem &a : QuickSwitcherSearch::results(published, text))
            expected.append(a.id);
        QCOMPARE(model.ids(), expected);
    }
    QCOMPARE(resets.count(), 0);
    QVERIFY(!counts.isEmpty());
}

QTEST_MAIN(TestSearchKeys)
#include "tst_search_keys.moc"
