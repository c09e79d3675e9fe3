// The quick switcher loaded offscreen over a store with substitute
// collaborators: which apps it lists, keyboard movement, what Return, Escape
// and clicks do, and which store operation running an app calls per state.

#include "ViewHost.h"
#include "QuickSwitcherModel.h"
#include "SymbolGlyphs.h"

#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace {

AppManifestItem named(AppManifestItem app, const QString &name, const QString &tagline, const QString &category)
{
    app.name = name;
    app.tagline = tagline;
    app.category = category;
    return app;
}

// Three published apps (one beta) and three that must never be listed.
LauncherManifest switcherManifest()
{
    AppManifestItem inkwell = named(makeApp(QStringLiteral("alpha")), QStringLiteral("Inkwell"),
                                    QStringLiteral("Write notes fast"), QStringLiteral("Notes"));
    inkwell.tags = {QStringLiteral("markdown")};
    inkwell.description = QStringLiteral("A secret garden of text.");
    inkwell.symbolName = QStringLiteral("note.text");
    inkwell.accent = AppAccent::lime;
    AppManifestItem clipstack = named(makeApp(QStringLiteral("bravo"), AppReleaseStatus::beta),
                                      QStringLiteral("Clipstack"), QStringLiteral("Clipboard history"),
                                      QStringLiteral("Utilities"));
    clipstack.symbolName = QStringLiteral("clipboard");
    clipstack.accent = AppAccent::violet;
    AppManifestItem timekeep = named(makeApp(QStringLiteral("charlie")), QStringLiteral("Timekeep"),
                                     QStringLiteral("Tracks your day"), QStringLiteral("Utilities"));
    timekeep.symbolName = QStringLiteral("timer");
    timekeep.accent = AppAccent::amber;
    AppManifestItem upcoming = named(makeApp(QStringLiteral("delta"), AppReleaseStatus::comingSoon),
                                     QStringLiteral("Upcoming Notes"), QStringLiteral("Soon"), QStringLiteral("Notes"));
    AppManifestItem broken = named(makeApp(QStringLiteral("echo")), QStringLiteral("Broken Notes"),
                                   QStringLiteral("No download"), QStringLiteral("Notes"));
    broken.downloadUrl.reset();
    AppManifestItem old = named(makeApp(QStringLiteral("foxtrot"), AppReleaseStatus::retired),
                                QStringLiteral("Oldnotes"), QStringLiteral("Retired"), QStringLiteral("Notes"));
    return makeManifest({inkwell, clipstack, timekeep, upcoming, broken, old});
}

struct Fixture {
    StoreHarness h;
    std::unique_ptr<LauncherStore> store;
    ViewHost host;
    QObject *switcher = nullptr;

    void open(QSize size = QSize(1060, 720))
    {
        if (!store)
            store = h.makeStore(switcherManifest());
        switcher = host.load(QStringLiteral("switcher/QuickSwitcherView.qml"),
                             {{QStringLiteral("store"), QVariant::fromValue(store.get())},
                              {QStringLiteral("isPresented"), true}},
                             size);
    }
    QuickSwitcherModel *model() const
    {
        return switcher ? switcher->property("results").value<QuickSwitcherModel *>() : nullptr;
    }
    QStringList resultIds() const { return model() ? model()->ids() : QStringList(); }
    int selectedIndex() const { return switcher->property("selectedIndex").toInt(); }
    bool presented() const { return switcher->property("isPresented").toBool(); }
    // Rows on screen, by app id, ordered top to bottom.
    QStringList shownRows() const
    {
        QList<QPair<qreal, QString>> found;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (item->objectName().startsWith(QLatin1String("quickRow_")) && ViewHost::shown(item))
                found.append({item->mapToScene(QPointF()).y(), item->objectName().mid(9)});
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(host.window()->contentItem());
        std::sort(found.begin(), found.end());
        QStringList ids;
        for (const auto &pair : found)
            ids.append(pair.second);
        return ids;
    }
    QQuickItem *row(const QString &id) const { return host.find(QStringLiteral("quickRow_") + id); }
    QString hintOf(const QString &id) const
    {
        QQuickItem *r = row(id);
        if (!r)
            return {};
        for (QQuickItem *child : r->findChildren<QQuickItem *>(QStringLiteral("quickRowHint")))
            return child->property("text").toString();
        return {};
    }
};

}  // namespace

class TestQuickSwitcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        SymbolGlyphs::ensureFontLoaded();
    }

    void results_data()
    {
        QTest::addColumn<bool>("includeBeta");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");

        const QStringList all = {QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie")};
        QTest::newRow("empty query lists every published app in manifest order") << true << QString() << all;
        QTest::newRow("spaces act as an empty query") << true << QStringLiteral("   ") << all;
        QTest::newRow("surrounding spaces trimmed, case ignored")
            << true << QStringLiteral("  INKWELL ") << QStringList{QStringLiteral("alpha")};
        QTest::newRow("tagline") << true << QStringLiteral("clipboard") << QStringList{QStringLiteral("bravo")};
        QTest::newRow("category, several, manifest order")
            << true << QStringLiteral("Utilities") << QStringList{QStringLiteral("bravo"), QStringLiteral("charlie")};
        QTest::newRow("inner substring of a name") << true << QStringLiteral("mekee")
                                                   << QStringList{QStringLiteral("charlie")};
        QTest::newRow("name, tagline and category of one app count once")
            << true << QStringLiteral("note") << QStringList{QStringLiteral("alpha")};
        QTest::newRow("tags are not searched") << true << QStringLiteral("markdown") << QStringList();
        QTest::newRow("description is not searched") << true << QStringLiteral("secret") << QStringList();
        QTest::newRow("bundle id is not searched") << true << QStringLiteral("com.vantrel") << QStringList();
        QTest::newRow("id is not searched") << true << QStringLiteral("charlie") << QStringList();
        QTest::newRow("coming-soon, incomplete and retired never listed")
            << true << QStringLiteral("upcoming") << QStringList();
        QTest::newRow("beta hidden when the preference is off")
            << false << QString() << QStringList{QStringLiteral("alpha"), QStringLiteral("charlie")};
        QTest::newRow("beta not found by its exact name when off") << false << QStringLiteral("Clipstack")
                                                                   << QStringList();
    }

    void results()
    {
        QFETCH(bool, includeBeta);
        QFETCH(QString, query);
        QFETCH(QStringList, expected);

        Fixture f;
        f.store = f.h.makeStore(switcherManifest());
        f.store->setIncludeBetaApps(includeBeta);
        f.open();
        QVERIFY(f.switcher);
        f.host.type(query);
        QCOMPARE(f.switcher->property("query").toString(), query);

        QCOMPARE(f.resultIds(), expected);
        QTRY_COMPARE(f.shownRows(), expected);
        QCOMPARE(ViewHost::text(f.host.find(QStringLiteral("quickResultsHeader"))),
                 QStringLiteral("Apps · %1 results").arg(expected.size()));
        QCOMPARE(ViewHost::shown(f.host.find(QStringLiteral("quickNoResults"))), expected.isEmpty());
        QCOMPARE(f.selectedIndex(), 0);
    }

    void tabsAndNewlinesAroundTheQueryAreIgnored()
    {
        Fixture f;
        f.open();
        f.switcher->setProperty("query", QStringLiteral("\n\ttimekeep \n"));
        QCOMPARE(f.resultIds(), QStringList{QStringLiteral("charlie")});
    }

    void upAndDownClampAndEditsRehighlightTheFirstRow()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.resultIds().size(), 3);
        QCOMPARE(f.selectedIndex(), 0);

        f.host.key(Qt::Key_Up);
        QCOMPARE(f.selectedIndex(), 0);
        f.host.key(Qt::Key_Down);
        QCOMPARE(f.selectedIndex(), 1);
        QTRY_VERIFY(f.row(QStringLiteral("bravo"))->property("highlighted").toBool());
        QVERIFY(!f.row(QStringLiteral("alpha"))->property("highlighted").toBool());
        f.host.key(Qt::Key_Down);
        f.host.key(Qt::Key_Down);
        f.host.key(Qt::Key_Down);
        QCOMPARE(f.selectedIndex(), 2);
        f.host.key(Qt::Key_Left);
        f.host.key(Qt::Key_Right);
        QCOMPARE(f.selectedIndex(), 2);
        f.host.key(Qt::Key_Up);
        QCOMPARE(f.selectedIndex(), 1);

        f.host.type(QStringLiteral("t"));
        QCOMPARE(f.selectedIndex(), 0);
        f.host.key(Qt::Key_Down);
        f.host.key(Qt::Key_Backspace);
        QCOMPARE(f.selectedIndex(), 0);

        // No results: movement keeps the index.
        f.host.type(QStringLiteral("zzz"));
        f.host.key(Qt::Key_Down);
        QCOMPARE(f.selectedIndex(), 0);
        QVERIFY(f.presented());
    }

    void returnRunsTheHighlightedApp_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("opens");

        QTest::newRow("installed opens") << "installed" << "Open" << true;
        QTest::newRow("update available opens, not updates") << "updateAvailable" << "Open" << true;
        QTest::newRow("not installed installs") << "notInstalled" << "Install" << false;
        QTest::newRow("failed installs again") << "failed" << "Install" << false;
        QTest::newRow("installing asks the store, which refuses") << "installing" << "Install" << false;
    }

    void returnRunsTheHighlightedApp()
    {
        QFETCH(QString, state);
        QFETCH(QString, hint);
        QFETCH(bool, opens);

        Fixture f;
        const QString alpha = QStringLiteral("alpha");
        QString bundle;
        if (state == QLatin1String("installed") || state == QLatin1String("updateAvailable")) {
            bundle = f.h.makeBundle(QStringLiteral("Inkwell"));
            f.h.record({{alpha, state == QLatin1String("installed") ? QStringLiteral("1.0.0") : QStringLiteral("0.9.0")}},
                       {{alpha, bundle}});
        }
        f.store = f.h.makeStore(switcherManifest());
        if (state == QLatin1String("failed")) {
            f.h.installer->behaviour = [](const AppManifestItem &) -> InstalledApp {
                throw TestError(QStringLiteral("disk full"), QStringLiteral("disk full"));
            };
            QSignalSpy finished(f.store.get(), &LauncherStore::installFinished);
            f.store->installApp(alpha);
            QTRY_COMPARE(finished.count(), 1);
            f.store->clearErrorMessage();
            f.h.installer->behaviour = nullptr;
        } else if (state == QLatin1String("installing")) {
            f.h.installer->gate = std::make_shared<Gate>();
            f.store->installApp(alpha);
        }
        QCOMPARE(f.store->stateFor(alpha).kindName(), state);
        const int callsBefore = f.h.installer->calls.size();
        f.store->setSelectedAppIDValue(QStringLiteral("charlie"));

        f.open();
        QTRY_COMPARE(f.hintOf(alpha), hint);
        QCOMPARE(f.hintOf(QStringLiteral("charlie")), QStringLiteral("Install"));

        f.host.key(Qt::Key_Return);

        QCOMPARE(f.store->selectedAppIDValue(), alpha);
        QVERIFY(!f.presented());
        if (opens) {
            QCOMPARE(f.h.workspace->opened, QList<QUrl>{QUrl::fromLocalFile(bundle)});
            QCOMPARE(f.h.installer->calls.size(), callsBefore);
        } else {
            QVERIFY(f.h.workspace->opened.isEmpty());
            if (state == QLatin1String("installing")) {
                // The running install is not started twice; the store says why.
                QCOMPARE(f.h.installer->calls.size(), callsBefore);
                QVERIFY(f.store->errorMessage().has_value());
                f.h.installer->gate->open();
                QTRY_VERIFY(!f.store->isInstallRunning(alpha));
            } else {
                QCOMPARE(f.h.installer->calls.size(), callsBefore + 1);
                QCOMPARE(f.h.installer->calls.last(), alpha);
                QTRY_COMPARE(f.store->stateFor(alpha).kindName(), QStringLiteral("installed"));
            }
        }
    }

    void returnRunsTheRowMovedTo()
    {
        Fixture f;
        f.open();
        f.host.key(Qt::Key_Down);
        f.host.key(Qt::Key_Down);
        f.host.key(Qt::Key_Enter);
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("charlie"));
        QCOMPARE(f.h.installer->calls, QStringList{QStringLiteral("charlie")});
        QVERIFY(!f.presented());
    }

    void returnWithoutResultsDoesNothing()
    {
        Fixture f;
        f.open();
        f.store->setSelectedAppIDValue(QStringLiteral("alpha"));
        f.host.type(QStringLiteral("nothing like this"));
        QCOMPARE(f.resultIds(), QStringList());
        f.host.key(Qt::Key_Return);
        QVERIFY(f.presented());
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("alpha"));
        QVERIFY(f.h.installer->calls.isEmpty());
        QVERIFY(f.h.workspace->opened.isEmpty());
    }

    void aShrunkenListLeavesNoRowHighlighted()
    {
        Fixture f;
        f.open();
        f.host.key(Qt::Key_Down);
        f.host.key(Qt::Key_Down);
        QCOMPARE(f.selectedIndex(), 2);
        // The catalog changes under the open switcher: only two rows remain.
        f.store->setIncludeBetaApps(false);
        QCOMPARE(f.resultIds().size(), 2);
        QCOMPARE(f.selectedIndex(), 2);
        QVERIFY(!f.row(QStringLiteral("alpha"))->property("highlighted").toBool());
        QVERIFY(!f.row(QStringLiteral("charlie"))->property("highlighted").toBool());
        f.host.key(Qt::Key_Return);
        QVERIFY(f.presented());
        QVERIFY(f.h.installer->calls.isEmpty());
        // Moving brings the highlight back within the list.
        f.host.key(Qt::Key_Up);
        QCOMPARE(f.selectedIndex(), 1);
        QVERIFY(f.row(QStringLiteral("charlie"))->property("highlighted").toBool());
    }

    void escapeAndTheBackdropClose()
    {
        {
            Fixture f;
            f.open();
            f.host.type(QStringLiteral("ink"));
            f.host.key(Qt::Key_Escape);
            QVERIFY(!f.presented());
            QVERIFY(f.h.installer->calls.isEmpty());
        }
        {
            Fixture f;
            f.open();
            // A click inside the panel keeps it open; outside it closes.
            f.host.click(f.host.find(QStringLiteral("quickResultsHeader")));
            QVERIFY(f.presented());
            f.host.clickAt(QPoint(10, 10));
            QVERIFY(!f.presented());
            QVERIFY(f.h.installer->calls.isEmpty());
        }
    }

    void clickingARowHighlightsAndRunsIt()
    {
        Fixture f;
        f.open();
        QQuickItem *row = f.row(QStringLiteral("charlie"));
        QVERIFY(row);
        f.host.click(row);
        QCOMPARE(f.selectedIndex(), 2);
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("charlie"));
        QCOMPARE(f.h.installer->calls, QStringList{QStringLiteral("charlie")});
        QVERIFY(!f.presented());
    }

    void textsFollowTheLanguage()
    {
        Fixture f;
        f.open();
        f.store->setLocaleCode(QStringLiteral("de"));
        QCOMPARE(ViewHost::text(f.host.find(QStringLiteral("quickResultsHeader"))),
                 QStringLiteral("Apps · 3 Ergebnisse"));
        QCOMPARE(f.hintOf(QStringLiteral("alpha")), QStringLiteral("Installieren"));
        QCOMPARE(f.host.find(QStringLiteral("quickSearchField"))->property("placeholderText").toString(),
                 QStringLiteral("Vantrel-Apps suchen"));
    }

    void screenshots()
    {
        Fixture f;
        const QString bundle = f.h.makeBundle(QStringLiteral("Inkwell"));
        f.h.record({{QStringLiteral("alpha"), QStringLiteral("1.0.0")}}, {{QStringLiteral("alpha"), bundle}});
        f.store = f.h.makeStore(switcherManifest());
        f.store->setOnboardingComplete(true);
        f.h.loader->results.push_back(switcherManifest());
        // Over the real main window content, as the user sees it.
        QObject *root = f.host.load(QStringLiteral("shell/RootView.qml"),
                                    {{QStringLiteral("store"), QVariant::fromValue(f.store.get())}});
        QVERIFY(root);
        root->setProperty("showQuickSwitcher", true);
        QTRY_VERIFY(root->property("quickSwitcher").value<QQuickItem *>());
        auto *switcher = root->property("quickSwitcher").value<QQuickItem *>();
        // The overlay fades and scales in; grab it once it has settled.
        QQuickItem *slot = f.host.find(QStringLiteral("quickSwitcherSlot"));
        QVERIFY(slot);
        QTRY_COMPARE(slot->opacity(), 1.0);
        QTRY_COMPARE(slot->scale(), 1.0);
        QTRY_COMPARE(f.host.findAll(QStringLiteral("quickRowHint")).size(), 3);
        f.host.key(Qt::Key_Down);
        QVERIFY(QFileInfo::exists(f.host.screenshot(QStringLiteral("quick-switcher-results"))));
        f.host.type(QStringLiteral("nothing matches"));
        QTRY_VERIFY(ViewHost::shown(f.host.find(QStringLiteral("quickNoResults"))));
        QVERIFY(QFileInfo::exists(f.host.screenshot(QStringLiteral("quick-switcher-no-results"))));
    }
};

QTEST_MAIN(TestQuickSwitcher)
#include "tst_quickswitcher.moc"
