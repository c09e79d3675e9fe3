// The tray panel's view offscreen over a store with substitute collaborators:
// its rows and state labels, what a row click does per state, the buttons
// that lead to the main window and the feedback sheet, and the empty catalog.

#include "ViewHost.h"
#include "AppScenes.h"
#include "SymbolGlyphs.h"

#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace {

LauncherManifest panelManifest()
{
    AppManifestItem alpha = makeApp(QStringLiteral("alpha"));
    alpha.name = QStringLiteral("Inkwell");
    alpha.accent = AppAccent::lime;
    alpha.symbolName = QStringLiteral("note.text");
    AppManifestItem bravo = makeApp(QStringLiteral("bravo"), AppReleaseStatus::beta);
    bravo.name = QStringLiteral("Clipstack");
    bravo.accent = AppAccent::violet;
    bravo.symbolName = QStringLiteral("clipboard");
    AppManifestItem charlie = makeApp(QStringLiteral("charlie"));
    charlie.name = QStringLiteral("Timekeep");
    charlie.accent = AppAccent::amber;
    charlie.symbolName = QStringLiteral("timer");
    AppManifestItem soon = makeApp(QStringLiteral("delta"), AppReleaseStatus::comingSoon);
    AppManifestItem incomplete = makeApp(QStringLiteral("echo"));
    incomplete.sha256.reset();
    return makeManifest({alpha, bravo, soon, charlie, incomplete});
}

struct Fixture {
    StoreHarness h;
    std::unique_ptr<LauncherStore> store;
    ViewHost host;
    QObject *view = nullptr;

    void open(const LauncherManifest &manifest)
    {
        if (!store)
            store = h.makeStore(manifest);
        view = host.load(QStringLiteral("tray/MenuBarLauncherView.qml"),
                         {{QStringLiteral("store"), QVariant::fromValue(store.get())}}, QSize(360, 640));
        host.fitHeight();
    }
    // Rows on screen top to bottom: id, state label, caption.
    QList<QStringList> rows() const
    {
        QList<QPair<qreal, QStringList>> found;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (item->objectName().startsWith(QLatin1String("menuRow_")) && ViewHost::shown(item)) {
                const auto texts = [&](const char *name) {
                    const auto children = item->findChildren<QQuickItem *>(QLatin1String(name));
                    return children.isEmpty() ? QString() : children.first()->property("text").toString();
                };
                found.append({item->mapToScene(QPointF()).y(),
                              {item->objectName().mid(8), texts("menuRowState"), texts("menuRowCaption")}});
            }
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(host.window()->contentItem());
        std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        QList<QStringList> result;
        for (const auto &pair : found)
            result.append(pair.second);
        return result;
    }
    QQuickItem *row(const QString &id) const { return host.find(QStringLiteral("menuRow_") + id); }
};

}  // namespace

class TestMenuBarLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        SymbolGlyphs::ensureFontLoaded();
    }

    void rowsListPublishedAppsWithTheirStates_data()
    {
        QTest::addColumn<bool>("includeBeta");
        QTest::addColumn<QList<QStringList>>("expected");
        QTest::newRow("beta shown") << true
                                    << QList<QStringList>{
                                           {"alpha", "Installed 1.0.0", "⌘1"},
                                           {"bravo", "Not installed", "⌘2"},
                                           {"charlie", "0.9.0 -> 1.0.0", "⌘3"},
                                       };
        QTest::newRow("beta hidden") << false
                                     << QList<QStringList>{
                                            {"alpha", "Installed 1.0.0", "⌘1"},
                                            {"charlie", "0.9.0 -> 1.0.0", "⌘2"},
                                        };
    }

    void rowsListPublishedAppsWithTheirStates()
    {
        QFETCH(bool, includeBeta);
        QFETCH(QList<QStringList>, expected);

        Fixture f;
        const QString a = f.h.makeBundle(QStringLiteral("Inkwell"));
        const QString c = f.h.makeBundle(QStringLiteral("Timekeep"));
        f.h.record({{QStringLiteral("alpha"), QStringLiteral("1.0.0")}, {QStringLiteral("charlie"), QStringLiteral("0.9.0")}},
                   {{QStringLiteral("alpha"), a}, {QStringLiteral("charlie"), c}});
        f.store = f.h.makeStore(panelManifest());
        f.store->setIncludeBetaApps(includeBeta);
        f.open(panelManifest());
        QTRY_COMPARE(f.rows(), expected);
        QCOMPARE(ViewHost::text(f.host.find(QStringLiteral("menuAppCount"))),
                 QStringLiteral("%1 apps ready").arg(includeBeta ? 5 : 4));
        QVERIFY(!ViewHost::shown(f.host.find(QStringLiteral("menuEmpty"))));

        // The beta preference changes the open panel at once.
        f.store->setIncludeBetaApps(!includeBeta);
        QTRY_COMPARE(f.rows().size(), includeBeta ? 2 : 3);
    }

    void installingAndFailedRows()
    {
        Fixture f;
        f.store = f.h.makeStore(panelManifest());
        f.open(panelManifest());
        QSignalSpy mainWindow(AppScenes::instance(), &AppScenes::mainWindowRequested);

        // A failed install shows the failed label; a click starts a new install.
        f.h.installer->behaviour = [](const AppManifestItem &) -> InstalledApp {
            throw TestError(QStringLiteral("no space"), QStringLiteral("no space"));
        };
        QSignalSpy finished(f.store.get(), &LauncherStore::installFinished);
        f.store->installApp(QStringLiteral("charlie"));
        QTRY_COMPARE(finished.count(), 1);
        f.store->clearErrorMessage();
        f.h.installer->behaviour = nullptr;
        QTRY_COMPARE(f.rows().at(2).at(1), QStringLiteral("Failed"));

        f.h.installer->gate = std::make_shared<Gate>();
        f.host.click(f.row(QStringLiteral("charlie")));
        QCOMPARE(f.h.installer->calls, (QStringList{QStringLiteral("charlie"), QStringLiteral("charlie")}));
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("charlie"));
        // Installing shows the whole percent; clicking again is refused by the store.
        QTRY_COMPARE(f.rows().at(2).at(1), QStringLiteral("Installing 4%"));
        QVERIFY(!f.store->errorMessage().has_value());
        f.host.click(f.row(QStringLiteral("charlie")));
        QCOMPARE(f.h.installer->calls.size(), 2);
        QVERIFY(f.store->errorMessage().has_value());

        f.h.installer->gate->open();
        QTRY_COMPARE(f.rows().at(2).at(1), QStringLiteral("Installed 1.0.0"));
        // A row click never brings up the main window.
        QCOMPARE(mainWindow.count(), 0);
    }

    void clickingAnInstalledOrUpdatableRowOpensIt_data()
    {
        QTest::addColumn<QString>("recordedVersion");
        QTest::newRow("installed") << "1.0.0";
        QTest::newRow("update available is opened, not updated") << "0.5.0";
    }

    void clickingAnInstalledOrUpdatableRowOpensIt()
    {
        QFETCH(QString, recordedVersion);
        Fixture f;
        const QString bundle = f.h.makeBundle(QStringLiteral("Inkwell"));
        f.h.record({{QStringLiteral("alpha"), recordedVersion}}, {{QStringLiteral("alpha"), bundle}});
        f.open(panelManifest());
        QSignalSpy mainWindow(AppScenes::instance(), &AppScenes::mainWindowRequested);
        f.store->setSelectedAppIDValue(QStringLiteral("bravo"));

        f.host.click(f.row(QStringLiteral("alpha")));
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("alpha"));
        QCOMPARE(f.h.workspace->opened, QList<QUrl>{QUrl::fromLocalFile(bundle)});
        QVERIFY(f.h.installer->calls.isEmpty());
        QCOMPARE(mainWindow.count(), 0);
    }

    void captionsCountOnPastNine()
    {
        QList<AppManifestItem> apps;
        for (int i = 1; i <= 12; ++i)
            apps.append(makeApp(QStringLiteral("app%1").arg(i, 2, 10, QLatin1Char('0'))));
        Fixture f;
        f.open(makeManifest(apps));
        // Twelve rows of 44 do not fit the largest panel; the list scrolls, so
        // check the captions through the model-backed delegates that exist.
        auto *list = f.host.find(QStringLiteral("menuAppList"));
        QVERIFY(list);
        QCOMPARE(list->property("count").toInt(), 12);
        list->setProperty("contentY", list->property("contentHeight").toReal());
        QTRY_VERIFY(f.row(QStringLiteral("app12")));
        const auto captionOf = [&](const QString &id) {
            const auto children = f.row(id)->findChildren<QQuickItem *>(QStringLiteral("menuRowCaption"));
            return children.isEmpty() ? QString() : children.first()->property("text").toString();
        };
        QCOMPARE(captionOf(QStringLiteral("app10")), QStringLiteral("⌘10"));
        QCOMPARE(captionOf(QStringLiteral("app12")), QStringLiteral("⌘12"));
    }

    void feedbackButtonClearsTheLastOutcomeAndOpensTheSheet_data()
    {
        QTest::addColumn<FeedbackSubmissionState>("previous");
        FeedbackIssue issue;
        issue.id = QStringLiteral("i-1");
        issue.identifier = QStringLiteral("VAN-7");
        QTest::newRow("after a success") << FeedbackSubmissionState::submitted(issue);
        QTest::newRow("after a failure") << FeedbackSubmissionState::failed(QStringLiteral("down"));
        QTest::newRow("idle") << FeedbackSubmissionState::idle();
    }

    void feedbackButtonClearsTheLastOutcomeAndOpensTheSheet()
    {
        QFETCH(FeedbackSubmissionState, previous);
        Fixture f;
        f.open(panelManifest());
        f.store->setFeedbackState(previous);
        QSignalSpy mainWindow(AppScenes::instance(), &AppScenes::mainWindowRequested);
        QSignalSpy sheet(f.store.get(), &LauncherStore::showingFeedbackSheetChanged);

        f.host.click(f.host.find(QStringLiteral("menuFeedbackButton")));
        QCOMPARE(mainWindow.count(), 1);
        QVERIFY(f.store->showingFeedbackSheet());
        QCOMPARE(f.store->feedbackState(), FeedbackSubmissionState::idle());
        QCOMPARE(sheet.count(), 1);
    }

    void headerAndOpenButtonsBringUpTheMainWindow()
    {
        Fixture f;
        f.open(panelManifest());
        QSignalSpy mainWindow(AppScenes::instance(), &AppScenes::mainWindowRequested);
        f.host.click(f.host.find(QStringLiteral("menuHeaderOpen")));
        QCOMPARE(mainWindow.count(), 1);
        f.host.click(f.host.find(QStringLiteral("menuOpenButton")));
        QCOMPARE(mainWindow.count(), 2);
        QVERIFY(!f.store->showingFeedbackSheet());
        QVERIFY(f.h.installer->calls.isEmpty());
        QCOMPARE(ViewHost::text(f.host.find(QStringLiteral("menuOpenButton"))), QStringLiteral("Open Vantrel..."));
    }

    void emptyCatalogShowsTheEmptyTitle_data()
    {
        QTest::addColumn<LauncherManifest>("manifest");
        QTest::newRow("seed manifest") << SeedManifest::manifest();
        QTest::newRow("coming soon only") << makeManifest({makeApp(QStringLiteral("soon"), AppReleaseStatus::comingSoon)});
    }

    void emptyCatalogShowsTheEmptyTitle()
    {
        QFETCH(LauncherManifest, manifest);
        Fixture f;
        f.open(manifest);
        QVERIFY(f.rows().isEmpty());
        QVERIFY(ViewHost::shown(f.host.find(QStringLiteral("menuEmpty"))));
        QCOMPARE(ViewHost::text(f.host.find(QStringLiteral("menuEmpty"))), QStringLiteral("No apps are available yet"));
        QVERIFY(ViewHost::text(f.host.find(QStringLiteral("menuAppCount"))).endsWith(QStringLiteral(" apps ready")));
        QVERIFY(ViewHost::shown(f.host.find(QStringLiteral("menuStatusRow"))));
        QVERIFY(ViewHost::shown(f.host.find(QStringLiteral("menuFeedbackButton"))));
        QVERIFY(ViewHost::shown(f.host.find(QStringLiteral("menuOpenButton"))));
    }

    void textsFollowTheLanguage()
    {
        Fixture f;
        f.open(panelManifest());
        f.store->setLocaleCode(QStringLiteral("pl"));
        QCOMPARE(ViewHost::text(f.host.find(QStringLiteral("menuQuickLaunchTitle"))), QStringLiteral("Szybkie uruchamianie"));
        QCOMPARE(ViewHost::text(f.host.find(QStringLiteral("menuFeedbackButton"))), QStringLiteral("Wyślij zgłoszenie"));
        QTRY_COMPARE(f.rows().at(0).at(1), QStringLiteral("Nie zainstalowano"));
        QCOMPARE(ViewHost::text(f.host.find(QStringLiteral("menuAppCount"))), QStringLiteral("5 aplikacje gotowe"));
    }

    void trayPanelWindowHostsTheView()
    {
        StoreHarness h;
        auto store = h.makeStore(panelManifest());
        ViewHost host;
        auto *panel = qobject_cast<QQuickWindow *>(host.load(
            QStringLiteral("windows/MenuBarPanel.qml"), {{QStringLiteral("store"), QVariant::fromValue(store.get())}}));
        QVERIFY(panel);
        QQuickItem *view = nullptr;
        QTRY_VERIFY((view = host.find(QStringLiteral("menuBarLauncher"))));
        QCOMPARE(panel->width(), 360);
        // The panel is as tall as its content: the last button ends inside it.
        QTRY_COMPARE(panel->height(), qCeil(view->implicitHeight()));
        QQuickItem *open = host.find(QStringLiteral("menuOpenButton"));
        QCOMPARE(open->mapToScene(QPointF(0, open->height())).y() + 14, view->implicitHeight());
    }

    void screenshots()
    {
        {
            Fixture f;
            const QString a = f.h.makeBundle(QStringLiteral("Inkwell"));
            f.h.record({{QStringLiteral("alpha"), QStringLiteral("1.0.0")}}, {{QStringLiteral("alpha"), a}});
            f.store = f.h.makeStore(panelManifest());
            f.h.installer->gate = std::make_shared<Gate>();
            f.store->installApp(QStringLiteral("charlie"));
            f.open(panelManifest());
            QTRY_COMPARE(f.rows().size(), 3);
            QVERIFY(QFileInfo::exists(f.host.screenshot(QStringLiteral("menu-bar-panel-apps"))));
            f.h.installer->gate->open();
            QTRY_VERIFY(!f.store->isInstallRunning(QStringLiteral("charlie")));
        }
        {
            Fixture f;
            f.open(SeedManifest::manifest());
            QVERIFY(QFileInfo::exists(f.host.screenshot(QStringLiteral("menu-bar-panel-empty"))));
        }
    }
};

QTEST_MAIN(TestMenuBarLauncher)
#include "tst_menubarlauncher.moc"
