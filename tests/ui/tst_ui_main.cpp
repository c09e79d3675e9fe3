// The main window over the sample catalog, and the application's scenes over one store.

#include "DataRows.h"
#include "AppScenes.h"
#include "IconPlate.h"
#include "ImageCacheFactory.h"
#include "LanguageRefresh.h"
#include "LibrarySection.h"
#include "LoopbackHttpServer.h"
#include "LayoutSweep.h"
#include "QmlHarness.h"
#include "QuitFlow.h"
#include "TrayController.h"
#include "VantrelFonts.h"

#include <QAccessible>
#include <QBuffer>
#include <QImage>
#include <QQmlComponent>
#include <QScopeGuard>

namespace {

QVariant prop(const QObject *o, const char *name)
{
    return o ? o->property(name) : QVariant();
}

QStringList libraryIds(const StoreView &f)
{
    auto *model = qvariant_cast<QObject *>(prop(f.item("libraryHome"), "apps"));
    QStringList ids;
    if (model)
        QMetaObject::invokeMethod(model, "ids", Q_RETURN_ARG(QStringList, ids));
    return ids;
}

// The colour a share t of the way from `from` to `to`.
QColor mixed(const QColor &from, const QColor &to, qreal t)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t, from.greenF() + (to.greenF() - from.greenF()) * t,
                            from.blueF() + (to.blueF() - from.blueF()) * t);
}

// The accent gradient's colour at (fx, fy) of an icon's side: top-leading to bottom-trailing.
QColor gradientAt(const QColor &from, const QColor &to, qreal fx, qreal fy)
{
    return mixed(from, to, (fx + fy) / 2);
}

// The largest difference of one colour channel, in 8-bit steps.
int channelDistance(const QColor &a, const QColor &b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}


// Shown buttons and texts under `under` that run past `card`'s edges or are cut short.
QStringList pastTheCard(QQuickItem *card, QQuickItem *under)
{
    const QRectF edge = card->mapRectToScene(card->boundingRect()).adjusted(-0.5, -0.5, 0.5, 0.5);
    QStringList out;
    const auto wanted = [](const QQuickItem *item) {
        return (item->inherits("QQuickAbstractButton") || item->inherits("QQuickText")) && item->width() > 0;
    };
    for (const QQuickItem *item : LayoutSweep::shownItems(under, wanted)) {
        const QString name = item->inherits("QQuickAbstractButton") ? item->property("text").toString() : ViewHost::text(item);
        if (!edge.contains(item->mapRectToScene(item->boundingRect())))
            out << name + QStringLiteral(" (past the edge)");
        if (item->property("truncated").toBool())
            out << name + QStringLiteral(" (cut)");
    }
    return out;
}

}  // namespace

class TestUiMain : public QObject
{
    Q_OBJECT
    using BreakpointRows = DataRows<int, bool, int>;  // width, compact, sidebarWidth
    using TilesFitTheirContentRows = DataRows<int, QString>;  // width, tagline (of Café Menu)
    using HomePanelsPutRows = DataRows<bool, int, bool>;  // firstApp, width, under
    using SearchNarrowsSectionsRows = DataRows<QString, QString, QStringList, QString>;  // section, typed, expected, emptyState (the kind shown for an empty list)
    // state: how to reach it; press: what pressing the button does
    using DetailPerStateRows = DataRows<QString, QString, QString, QString, QString, QString>;  // appId, state, label, detail, buttonText, press
    using RowsWrapRows = DataRows<QString, bool>;  // language, updates (else the page after a roll back)
    using DetailIconFollowsTheAppRows = DataRows<QStringList, QList<QColor>>;  // apps, gradients (start and end colour per app)
    using IconShadowRows = DataRows<qreal, qreal, int>;  // x as a share of the side, y in pixels below the plate's top, shadow layers there

private Q_SLOTS:
    void initTestCase() { UiTest::initialise(); }

    void rootChoosesOnboardingOrShell()
    {
        StoreView f;
        f.openMainWindow(false);
        QVERIFY(prop(f.item("onboardingSlot"), "active").toBool());
        QVERIFY(!f.shell());
        f.store->setOnboardingComplete(true);
        QTRY_VERIFY(f.shell());
        QVERIFY(!prop(f.item("onboardingSlot"), "active").toBool());
        QCOMPARE(prop(f.shell(), "selectedSection").toInt(), int(LibrarySection::Home));

        // A catalog without published apps never needs onboarding.
        StoreView soon(TestCatalog::manifest({TestCatalog::app("soon", AppReleaseStatus::comingSoon)}));
        soon.openMainWindow(false);
        QVERIFY(soon.shell());
    }

    void breakpoint_data()
    {
        BreakpointRows::columns();
        BreakpointRows::row("1039 compact", 1039, true, 210);
        BreakpointRows::row("1040 wide", 1040, false, 230);
    }

    void breakpoint()
    {
        const auto [width, compact, sidebarWidth] = BreakpointRows::fetch();
        StoreView f;
        f.openMainWindow();
        f.host.resize(width);
        QTRY_COMPARE(prop(f.shell(), "compact").toBool(), compact);
        QCOMPARE(f.item("sidebar")->width(), qreal(sidebarWidth));
        QQuickItem *detail = f.item("wideDetail");
        QCOMPARE(detail->isVisible(), !compact);
        if (!compact)
            QCOMPARE(detail->x() + detail->width(), qreal(width - sidebarWidth));
    }

    // At compact width a click or Return on a tile slides the panel in.
    void tilesOpenTheCompactPanelAndTabReachesTheControls()
    {
        StoreView f;
        f.openMainWindow();
        f.host.resize(960);
        QQuickItem *tile = nullptr;
        QTRY_VERIFY((tile = f.host.findShown("tile_shots")));
        QQuickItem *panel = f.item("compactDetail");
        QVERIFY(!panel->isVisible());
        f.host.click(tile);
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("shots"));
        QTRY_COMPARE(panel->x(), 0.0);
        QCOMPARE(ViewHost::text(f.host.findShown("detailName", panel)), QStringLiteral("Frame Shots"));
        // Widening hides the panel without resetting it; narrowing brings it back.
        f.host.resize(1100);
        QTRY_VERIFY(!panel->isVisible());
        f.host.resize(960);
        QTRY_VERIFY(panel->isVisible());
        // Another section keeps it open; the back button closes it.
        f.shell()->setProperty("selectedSection", int(LibrarySection::AllApps));
        QVERIFY(prop(f.shell(), "showCompactDetail").toBool());
        f.host.click(f.host.findShown("compactBackButton", panel));
        QTRY_VERIFY(!panel->isVisible());
        QTRY_VERIFY((tile = f.host.findShown("tile_cafe")));
        tile->forceActiveFocus(Qt::TabFocusReason);
        f.host.key(Qt::Key_Return);
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("cafe"));
        QTRY_VERIFY(panel->isVisible());
        // The Tab walk over the wide window is in tst_ui_accessibility.
    }

    void tilesFitTheirContent_data()
    {
        TilesFitTheirContentRows::columns();
        TilesFitTheirContentRows::row("compact, taglines of one and two lines", 960, "Menus for small cafés, printed in minutes, with prices and allergens");
        TilesFitTheirContentRows::row("wide, every tagline one line", 1400, "Menus");
    }

    void tilesFitTheirContent()
    {
        const auto [width, tagline] = TilesFitTheirContentRows::fetch();
        StoreView f;
        f.catalog.apps[3].tagline = tagline;
        f.h.loader->standing = f.catalog;
        f.relaunch();
        f.openMainWindow();
        f.host.resize(width);
        QTRY_VERIFY(f.host.findShown("tile_cafe"));
        f.host.waitForFrame();
        QHash<int, qreal> badgeRowTops;  // per row of tiles
        for (const char *id : {"notes", "timer", "shots", "cafe"}) {
            QQuickItem *tile = f.host.findShown(QStringLiteral("tile_") + id);
            QQuickItem *badges = f.host.find("tileBadgeRow", tile);
            QQuickItem *texts = f.host.find("tileTexts", tile);
            QVERIFY(badges && texts);
            const qreal badgesTop = badges->mapToItem(tile, QPointF()).y();
            // 16 of padding under the badges, 13 above them, whatever the tagline's lines.
            QCOMPARE(tile->height() - badgesTop - badges->height(), 16.0);
            QVERIFY2(texts->mapToItem(tile, QPointF(0, texts->height())).y() + 13 <= badgesTop + 0.5, id);
            const int row = qRound(tile->mapToScene(QPointF()).y());
            QCOMPARE(badgeRowTops.value(row, badgesTop), badgesTop);
            badgeRowTops.insert(row, badgesTop);
        }
    }

    void homePanelsPutTheirActionUnderNarrowText_data()
    {
        HomePanelsPutRows::columns();
        HomePanelsPutRows::row("empty catalog, default width", false, 1060, true);
        HomePanelsPutRows::row("empty catalog, wide", false, 1500, false);
        HomePanelsPutRows::row("first app, default width", true, 1060, true);
        HomePanelsPutRows::row("first app, wide", true, 1500, false);
    }

    void homePanelsPutTheirActionUnderNarrowText()
    {
        const auto [firstApp, width, under] = HomePanelsPutRows::fetch();
        const QList<AppManifestItem> sample = UiTest::sampleCatalog().apps;
        StoreView f(TestCatalog::manifest(firstApp ? QList<AppManifestItem>{sample[0], sample[4]} : QList<AppManifestItem>{}));
        f.openMainWindow();
        f.host.resize(width);
        QQuickItem *title = nullptr, *action = nullptr;
        QTRY_VERIFY((title = f.host.findShown(firstApp ? "firstAppName" : "emptyTitle")));
        QTRY_VERIFY((action = f.host.findShown(firstApp ? "firstAppInstallLabel" : "emptyRefreshButton")));
        f.host.waitForFrame();
        const qreal titleTop = title->mapToScene(QPointF()).y(), actionTop = action->mapToScene(QPointF()).y();
        QCOMPARE(actionTop > titleTop + title->height(), under);
        QVERIFY2(title->property("lineCount").toInt() <= 2, qPrintable(ViewHost::text(title)));
        if (!firstApp)  // and the detail beside it shows the empty page
            QVERIFY(f.host.findShown("detailEmpty", f.item("wideDetail")) && !f.host.findShown("actionPanel", f.item("wideDetail")));
    }

    void detailLabelsKeepWordsWhole_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char *locale : {"en", "pl", "de"})
            QTest::newRow(locale) << locale;
    }

    void detailLabelsKeepWordsWhole()
    {
        QFETCH(QString, locale);
        StoreView f;
        f.store->setLocaleCode(locale);
        f.openMainWindow();
        f.store->setSelectedAppIDValue("notes");
        QTRY_VERIFY(f.host.findShown("metadataPanel", f.item("wideDetail")));
        f.host.waitForFrame();
        const QList<QQuickItem *> labels = f.host.findAll("detailRowLabel", f.item("wideDetail"));
        QCOMPARE(labels.size(), 5);
        for (QQuickItem *label : labels) {
            // One line, unless the label alone is wider than the column may grow: then it breaks between words.
            const int lines = label->property("lineCount").toInt();
            const bool wide = label->implicitWidth() > 130 && lines <= ViewHost::text(label).count(' ') + 1;
            QVERIFY2(label->width() >= 92 && (lines == 1 || wide), qPrintable(ViewHost::text(label)));
            QCOMPARE(label->width(), labels.first()->width());
        }
    }

    // A category shows its apps under its name, all again when chosen twice. Tiles mark only what is so: a starter's star,
    // "Preview only" for an app that cannot be installed, a failure's warning symbol.
    void categoriesFilterAndTilesSayWhatTheyMean()
    {
        StoreView f;
        f.openRefreshedMainWindow();
        f.reach("shots", "failed");
        QQuickItem *writing = nullptr;
        for (QQuickItem *row : f.host.findAll("categoryRow"))
            writing = prop(row, "modelData").toString() == QLatin1String("Writing") ? row : writing;
        QVERIFY(writing);
        f.host.click(writing);
        QCOMPARE(prop(f.shell(), "selectedSection").toInt(), int(LibrarySection::AllApps));
        QTRY_COMPARE(f.host.shownNamed("tile_"), (QStringList{"notes", "draft"}));
        QCOMPARE(ViewHost::text(f.host.findShown("sectionTitle")), QStringLiteral("Writing"));
        QVERIFY(prop(writing, "isSelected").toBool() && !prop(f.item("sidebarRow_allApps"), "isSelected").toBool());
        QQuickItem *draft = f.item("tile_draft");
        QCOMPARE(prop(f.host.findShown("tileBadge", draft), "text").toString(), QStringLiteral("Preview only"));
        QCOMPARE(prop(f.host.findShown("tileStatusSymbol", draft), "name").toString(), QStringLiteral("clock"));
        // Its page agrees, and says which check keeps it back.
        f.store->setSelectedAppIDValue("draft");
        QTRY_COMPARE(ViewHost::text(f.host.findShown("actionDetail", f.item("wideDetail"))),
                     QStringLiteral("Preview only · No release of it is published yet."));
        QCOMPARE(f.host.findShown("tileStatusSymbol", f.item("tile_notes")) != nullptr,
                 f.store->selectedStarterAppIDs().contains("notes"));
        f.host.click(writing);
        QTRY_COMPARE(f.host.shownNamed("tile_").size(), 6);
        QVERIFY(prop(f.item("sidebarRow_allApps"), "isSelected").toBool());
        QVERIFY(f.host.findShown("tileFailedSymbol", f.item("tile_shots")));
    }

    // F5 and Ctrl+R refresh, Ctrl+Q asks to quit; the Updates section checks again and says when.
    void refreshAndQuitKeys()
    {
        StoreView f;
        f.openRefreshedMainWindow();
        const qsizetype loads = f.h.loader->locales.size();
        f.host.key(Qt::Key_F5);
        f.host.key(Qt::Key_R, Qt::ControlModifier);
        QTRY_COMPARE(f.h.loader->locales.size(), loads + 2);
        QSignalSpy quit(AppScenes::instance(), &AppScenes::quitRequested);
        f.host.key(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.count(), 1);
        f.host.click(f.item("sidebarRow_updates"));
        QQuickItem *check = nullptr;
        QTRY_VERIFY((check = f.host.findShown("checkForUpdatesButton")));
        QVERIFY(ViewHost::text(f.host.findShown("lastCheckText")).startsWith("Last checked "));
        f.host.waitForFrame();
        f.host.click(check);
        QTRY_COMPARE(f.h.loader->locales.size(), loads + 3);
    }

    // Ctrl+Q reaches the quit with an alert or a question open over the window, and after one is dismissed.
    void quitKeyOverAlertsAndQuestions_data()
    {
        QTest::addColumn<QString>("over");
        for (const char *row : {"nothing", "alert open", "alert dismissed by OK", "alert dismissed by Escape",
                                "running-app question open"})
            QTest::newRow(row) << QString::fromLatin1(row);
    }

    void quitKeyOverAlertsAndQuestions()
    {
        QFETCH(QString, over);
        StoreView f;
        f.h.runningProcesses = std::make_shared<FakeRunningProcesses>();
        f.relaunch();
        f.openRefreshedMainWindow();
        QObject *alert = f.rootObject("errorAlert");
        if (over.startsWith("alert")) {
            f.store->setErrorMessage(QStringLiteral("Not enough disk space: 3 MB more is needed. Free some space and try again."));
            QTRY_VERIFY(prop(alert, "opened").toBool());
            if (over.endsWith("OK"))
                f.host.click(f.host.findShown("errorAlertOk", qvariant_cast<QQuickItem *>(prop(alert, "contentItem"))));
            else if (over.endsWith("Escape"))
                f.host.key(Qt::Key_Escape);
            QTRY_COMPARE(prop(alert, "visible").toBool(), over == "alert open");
        } else if (over.startsWith("running-app")) {
            f.reach("notes", "updateAvailable");
            const QString bundle = f.store->installedAppURLs().value("notes").toLocalFile();
            f.h.runningProcesses->processes = {{4242, bundle + "/Contents/MacOS/Notes", false}};
            f.store->installApp("notes");
            QTRY_VERIFY(ViewHost::shown(f.host.find("runningQuitAndGoOn")));
        }
        QSignalSpy quit(AppScenes::instance(), &AppScenes::quitRequested);
        f.host.key(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.count(), 1);
    }

    // The quit question, asked by Ctrl+Q during an install or by the tray with the window hidden, is the main
    // window's: its transient child, with the window brought up beneath it.
    void quitQuestionBelongsToTheMainWindow()
    {
        StoreView f;
        f.store->setOnboardingComplete(true);
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
        QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/qt/qml/Vantrel/qml/windows/LauncherScenes.qml")));
        std::unique_ptr<QObject> scenes(component.createWithInitialProperties({{"store", QVariant::fromValue(f.store.get())}}));
        QVERIFY2(scenes, qPrintable(component.errorString()));
        auto *main = qobject_cast<QQuickWindow *>(prop(scenes.get(), "mainWindow").value<QObject *>());
        int quits = 0;
        QuitFlow flow(f.store.get(), AppScenes::instance(), [&quits] { ++quits; });
        const auto cleanup = qScopeGuard([&f] {
            AppScenes::instance()->keepRunning();
            if (f.h.installer->gate)
                f.h.installer->gate->open();
        });
        main->show();
        main->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(main));
        f.reach("notes", "installing");
        QTRY_VERIFY(f.store->runningInstall("notes"));
        const auto question = [&] { return qobject_cast<QQuickWindow *>(prop(scenes.get(), "quitConfirmation").value<QObject *>()); };

        QTest::keyClick(main, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(question() && question()->isVisible());
        QCOMPARE(question()->transientParent(), main);
        QCOMPARE(AppScenes::instance()->quitBlockers(), QStringList{"Quill Notes"});
        AppScenes::instance()->keepRunning();
        QTRY_VERIFY(!question());
        QCOMPARE(quits, 0);

        // From the tray, the window hidden: it comes up, and the question over it.
        main->hide();
        AppScenes::instance()->quit();
        QTRY_VERIFY(question() && question()->isVisible());
        QVERIFY(main->isVisible());
        QCOMPARE(question()->transientParent(), main);
    }

    // While an update waits for the running app to quit, Update cannot ask the same question again, from the page
    // or from anywhere else; once the app quits, the update goes ahead.
    void updateWaitsForTheAppToQuit()
    {
        StoreView f;
        f.h.runningProcesses = std::make_shared<FakeRunningProcesses>();
        f.relaunch();
        f.openRefreshedMainWindow();
        f.reach("notes", "updateAvailable");
        f.store->setSelectedAppIDValue("notes");
        QQuickItem *update = nullptr;
        QTRY_VERIFY((update = f.host.findShown("actionButton", f.item("wideDetail"))));
        const QString bundle = f.store->installedAppURLs().value("notes").toLocalFile();
        f.h.runningProcesses->processes = {{4242, bundle + "/Contents/MacOS/Notes", false}};
        f.host.click(update);
        QTRY_VERIFY(ViewHost::shown(f.host.find("runningWhenQuits")));
        f.host.click(f.host.find("runningWhenQuits"));
        QTRY_VERIFY(ViewHost::shown(f.item("runningRow")));
        QCOMPARE(ViewHost::text(f.item("runningText")), QStringLiteral("Waiting for Quill Notes to quit"));
        QTRY_VERIFY(!update->isEnabled());

        int started = 0;
        QVERIFY(finishes(f.store->running()->guard(*f.catalog.findApp("notes"), RunningApps::Change::update, [&started] {
            ++started;
            return InstalledApps::Operation();
        })));
        QVERIFY(!f.store->running()->question().isValid());
        QCOMPARE(started, 0);

        f.h.runningProcesses->processes.clear();
        QTRY_COMPARE_WITH_TIMEOUT(f.store->stateFor("notes"), AppInstallState::installed("1.1.0"), 10000);
        QVERIFY(!ViewHost::shown(f.item("runningRow")));
        QTRY_VERIFY(update->isEnabled());
    }

    void sidebarButtonsAndCtrlK()
    {
        StoreView f;
        f.openMainWindow();
        QCOMPARE(ViewHost::text(f.item("allAppsCount")), QStringLiteral("6"));
        f.store->setIncludeBetaApps(false);
        QTRY_COMPARE(ViewHost::text(f.item("allAppsCount")), QStringLiteral("5"));

        // The settings row asks for the settings window and leaves the section alone.
        f.host.click(f.item("sidebarRow_updates"));
        QCOMPARE(prop(f.shell(), "selectedSection").toInt(), int(LibrarySection::Updates));
        QSignalSpy settings(AppScenes::instance(), &AppScenes::settingsWindowRequested);
        f.host.click(f.item("sidebarRow_settings"));
        QCOMPARE(settings.count(), 1);
        QCOMPARE(prop(f.shell(), "selectedSection").toInt(), int(LibrarySection::Updates));
        QVERIFY(prop(f.item("sidebarRow_updates"), "isSelected").toBool());
        QVERIFY(!prop(f.item("sidebarRow_settings"), "isSelected").toBool());

        // Ctrl+K opens the quick switcher over a shell that keeps its state.
        f.shell()->setProperty("searchText", "tempo");
        QQuickItem *root = f.item("rootView");
        QQuickItem *slot = f.item("quickSwitcherSlot");
        f.host.key(Qt::Key_K, Qt::ControlModifier);
        QTRY_VERIFY(prop(root, "showQuickSwitcher").toBool());
        QTRY_VERIFY(slot->isVisible());
        QCOMPARE(prop(f.shell(), "searchText").toString(), QStringLiteral("tempo"));
        QCOMPARE(prop(f.shell(), "selectedSection").toInt(), int(LibrarySection::Updates));
        // The switcher closes itself through isPresented.
        f.rootObject("quickSwitcher")->setProperty("isPresented", false);
        QTRY_VERIFY(!prop(root, "showQuickSwitcher").toBool());
        QTRY_VERIFY(!slot->isVisible());
        // The top-bar and sidebar buttons open it too.
        for (const char *button : {"topQuickSwitchButton", "sidebarQuickSwitcherButton"}) {
            f.host.click(f.item(button));
            QTRY_VERIFY2(prop(root, "showQuickSwitcher").toBool(), button);
            root->setProperty("showQuickSwitcher", false);
            QTRY_VERIFY(!slot->isVisible());
        }

        // The feedback button opens a clean sheet.
        f.store->setFeedbackState(FeedbackSubmissionState::failed(QStringLiteral("earlier failure")));
        f.host.click(f.item("sidebarFeedbackButton"));
        QCOMPARE(f.store->feedbackState(), FeedbackSubmissionState::idle());
        QVERIFY(f.store->showingFeedbackSheet());
        QTRY_VERIFY(prop(f.rootObject("feedbackSheet"), "opened").toBool());
    }

    void searchNarrowsSectionsButNotHome_data()
    {
        SearchNarrowsSectionsRows::columns();
        SearchNarrowsSectionsRows::row("all apps, spaces and case", "allApps", "  QUILL ", QStringList{"notes"}, "");
        SearchNarrowsSectionsRows::row("all apps, nothing found", "allApps", "cafe m", QStringList{}, "generic");
        SearchNarrowsSectionsRows::row("selected, nothing found", "selected", "zzz", QStringList{}, "selected");
        SearchNarrowsSectionsRows::row("updates, none offered", "updates", "", QStringList{}, "updates");
        SearchNarrowsSectionsRows::row("home ignores search", "home", "quill", QStringList{"notes", "timer", "shots", "cafe"}, "");
    }

    void searchNarrowsSectionsButNotHome()
    {
        const auto [section, typed, expected, emptyState] = SearchNarrowsSectionsRows::fetch();
        StoreView f;
        f.openMainWindow();
        f.host.click(f.item("sidebarRow_" + section));
        QQuickItem *field = f.item("searchField");
        f.host.click(field);
        QTRY_VERIFY(field->hasActiveFocus());
        f.host.type(typed);
        QCOMPARE(prop(f.shell(), "searchText").toString(), typed);
        QTRY_COMPARE(libraryIds(f), expected);
        if (section != QLatin1String("home"))
            QCOMPARE(ViewHost::text(f.host.findShown("sectionSubtitle")), (expected.size() == 1 ? QStringLiteral("1 APP") : QStringLiteral("%1 APPS").arg(expected.size())));
        if (!emptyState.isEmpty())
            QTRY_VERIFY(f.host.findShown("emptyState_" + emptyState));
        else
            QVERIFY(!f.host.findShown("emptyState_generic"));
    }

    // A failed refresh raises the alert over the catalog shown; OK or Escape clears it, a new error raises it again.
    void errorAlertClears_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("OK button") << false;
        QTest::newRow("Escape") << true;
    }

    void errorAlertClears()
    {
        QFETCH(bool, byKey);
        StoreView f;
        f.h.loader->standing.reset();  // every load fails
        f.openMainWindow();
        QObject *alert = f.rootObject("errorAlert");
        QTRY_VERIFY(prop(alert, "opened").toBool());
        QCOMPARE(f.h.loader->locales.size(), 1);  // the window's content appeared: one refresh
        QCOMPARE(f.store->manifest(), f.catalog);
        auto *content = qvariant_cast<QQuickItem *>(prop(alert, "contentItem"));
        QCOMPARE(ViewHost::text(f.host.findShown("errorAlertMessage", content)), QStringLiteral("Could not refresh apps. Showing the last known state."));
        if (byKey)
            f.host.key(Qt::Key_Escape);
        else
            f.host.click(f.host.findShown("errorAlertOk", content));
        QTRY_VERIFY(!prop(alert, "visible").toBool());
        QTRY_VERIFY(!f.store->errorMessage().has_value());
        // Closed, it keeps no content (nor does the first frame make any); asked again, it makes it anew.
        QTRY_VERIFY(!f.host.find("errorAlertOk", content));
        f.store->setErrorMessage(QStringLiteral("Again"));
        QTRY_VERIFY(prop(alert, "opened").toBool());
        QCOMPARE(ViewHost::text(f.host.findShown("errorAlertMessage", content)), QStringLiteral("Again"));
        QTRY_VERIFY(f.host.findShown("errorAlertOk", content)->hasActiveFocus());
    }

    void largeCatalogBuildsTilesLazily()
    {
        QList<AppManifestItem> apps;
        for (int i = 0; i < 1000; ++i)
            apps.append(TestCatalog::app(QStringLiteral("app%1").arg(i)));
        StoreView f(TestCatalog::manifest(apps));
        f.openMainWindow();
        f.host.click(f.item("sidebarRow_allApps"));
        QTRY_COMPARE(libraryIds(f).size(), 1000);
        QCOMPARE(ViewHost::text(f.item("allAppsCount")), QStringLiteral("1000"));
        QTRY_VERIFY(f.host.findShown("tile_app0"));
        int tiles = 0;
        for (int i = 0; i < 1000; ++i)
            tiles += f.item(QStringLiteral("tile_app%1").arg(i)) != nullptr;
        QVERIFY2(tiles < 60, qPrintable(QString::number(tiles)));
        // Scrolling to the end builds the last tiles on demand.
        QMetaObject::invokeMethod(f.item("libraryHome"), "positionViewAtEnd");
        QTRY_VERIFY(f.host.findShown("tile_app999"));
    }

    void detailPerState_data()
    {
        DetailPerStateRows::columns();
        DetailPerStateRows::row("not installed", "notes", "notInstalled", "Not installed", "Ready to install.", "Install", "installs");
        DetailPerStateRows::row("installing", "notes", "installing", "Installing 4%", "Installing now.", "Installing", "nothing");
        DetailPerStateRows::row("installed", "notes", "installed", "Installed 1.0.0", "Ready to open from this computer.", "Open", "opens");
        DetailPerStateRows::row("update available", "notes", "updateAvailable", "1.0.0 -> 1.1.0", "A newer version is ready.", "Update", "installs");
        DetailPerStateRows::row("failed shows the message verbatim, retries", "notes", "failed", "Failed", "Could not install Quill Notes. The checksum did not match.", "Install", "installs");
        DetailPerStateRows::row("coming soon", "atlas", "notInstalled", "Not installed", "Preview only · It is coming soon.", "Check for apps", "refreshes");
        DetailPerStateRows::row("failed update keeps the copy, retries", "notes", "failedUpdate", "Failed · Installed 1.0.0", "Could not install Quill Notes. The checksum did not match.", "Retry", "installs");
    }

    void detailPerState()
    {
        const auto [appId, state, label, detail, buttonText, press] = DetailPerStateRows::fetch();

        StoreView f;
        f.openRefreshedMainWindow();
        f.reach(appId, state);
        f.store->setSelectedAppIDValue(appId);

        QQuickItem *panel = f.host.findShown("actionPanel", f.item("wideDetail"));
        QVERIFY(panel);
        QTRY_COMPARE(ViewHost::text(f.host.findShown("actionStateLabel", panel)), label);
        // A failure is marked: a warning symbol and the error colour.
        QCOMPARE(f.host.findShown("actionFailedSymbol", panel) != nullptr, state.startsWith(QLatin1String("failed")));
        QCOMPARE(ViewHost::text(f.host.findShown("actionDetail", panel)), detail);
        QQuickItem *button = f.host.findShown("actionButton", panel);
        QCOMPARE(ViewHost::text(button), buttonText);
        QCOMPARE(button->isEnabled(), press != QLatin1String("nothing"));
        QQuickItem *progress = panel->findChild<QQuickItem *>("installProgress");
        QCOMPARE(progress->isVisible(), state == QLatin1String("installing"));
        QCOMPARE(f.host.findShown("cancelInstallButton", panel) != nullptr, state == QLatin1String("installing"));
        // Whatever the main button does, an installed copy opens and goes.
        const bool copy = state == QLatin1String("installed") || state == QLatin1String("updateAvailable") || state == QLatin1String("failedUpdate");
        QCOMPARE(f.host.findShown("removeButton", panel) != nullptr, copy);
        QCOMPARE(f.host.findShown("openButton", panel) != nullptr, copy && buttonText != QLatin1String("Open"));
        if (state == QLatin1String("installing")) {
            QCOMPARE(prop(progress, "value").toDouble(), 0.04);
            // What is done, in the words the terminal uses; no bytes are known yet.
            QTRY_COMPARE(ViewHost::text(f.host.findShown("installProgressText", panel)), QStringLiteral("4 %"));
        }

        const QStringList calls = f.h.installer->calls;
        const qsizetype loads = f.h.loader->locales.size();
        f.host.waitForFrame();
        f.host.click(button);
        if (press == QLatin1String("nothing")) {
            f.h.installer->gate->open();
        } else if (press == QLatin1String("refreshes")) {
            QTRY_COMPARE(f.h.loader->locales.size(), loads + 1);
        } else if (press == QLatin1String("opens")) {
            QTRY_COMPARE(f.h.workspace->opened.size(), 1);
            QVERIFY(f.h.workspace->opened.first().toLocalFile().endsWith("/notes.app"));
        } else {
            QCOMPARE(f.h.installer->calls, calls + QStringList{appId});
        }
        QTRY_COMPARE(ViewHost::text(button), press == QLatin1String("refreshes") ? buttonText : QStringLiteral("Open"));
        QVERIFY(press == QLatin1String("installs") || f.h.installer->calls == calls);
    }

    // What the update downloads, told ahead by the installer, on the button.
    void updateButtonSaysTheSize()
    {
        StoreView f;
        f.h.installer->updateBytes = 12'345'678;
        f.openRefreshedMainWindow();
        f.reach(QStringLiteral("notes"), QStringLiteral("updateAvailable"));
        f.store->setSelectedAppIDValue(QStringLiteral("notes"));
        QQuickItem *panel = f.host.findShown("actionPanel", f.item("wideDetail"));
        QVERIFY(panel);
        QTRY_COMPARE(ViewHost::text(f.host.findShown("actionButton", panel)), QStringLiteral("Update · 12 MB"));
    }

    // Each app's panels; Cancel beside the bar while installing; Roll back, and Remove asking first and saying where to.
    // At twice the text the shell's sizes follow it: the brand mark, the search field beside its button, the
    // sidebar rows' padding, a button's symbol apart from its label.
    void shellSizesFollowTheText_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("200 %") << 2.0;
    }

    void shellSizesFollowTheText()
    {
        QFETCH(qreal, scale);
        VantrelFonts::setTextScaleOverride(scale);
        StoreView f;
        f.openRefreshedMainWindow();
        VantrelFonts::setTextScaleOverride(1.0);
        f.host.window()->resize(1600, 1000);
        f.host.waitForFrame();
        QCOMPARE(f.item("sidebarLogo")->width(), 22 * scale);
        // 32 at the design's size, beside a button of 34; as much lower than it at any size.
        QCOMPARE(f.item("searchBox")->height(), f.item("topQuickSwitchButton")->height() - 2);
        if (scale == 1.0)
            QCOMPARE(f.item("searchBox")->height(), 32.0);
        for (const char *name : {"sidebarRow_home", "sidebarRow_allApps"}) {
            QQuickItem *row = f.item(name);
            QQuickItem *content = row->property("contentItem").value<QQuickItem *>();
            QVERIFY2(row->height() - content->implicitHeight() >= 16 - 0.5, name);
        }
        if (scale == 1.0)
            QCOMPARE(f.item("sidebarRow_home")->height(), 32.0);
        QQuickItem *feedback = f.item("sidebarFeedbackButton");
        QQuickItem *symbol = f.host.findShown("buttonSymbol", feedback);
        QQuickItem *label = f.host.findShown("buttonLabel", feedback);
        const qreal gap = label->mapToScene(QPointF()).x() - symbol->mapToScene(QPointF(symbol->width(), 0)).x();
        QVERIFY2(gap >= 6 - 0.5, qPrintable(QString::number(gap)));
        QVERIFY(symbol->width() >= symbol->implicitWidth());
    }

    // Rows of buttons wrap onto further lines: at the default size no control runs past its card or is cut.
    void buttonRowsWrapInsideTheirCard_data()
    {
        RowsWrapRows::columns();
        RowsWrapRows::row("page after a roll back", "en", false);
        RowsWrapRows::row("Updates toolbar, Polish", "pl", true);
        RowsWrapRows::row("Updates toolbar, German", "de", true);
    }

    void buttonRowsWrapInsideTheirCard()
    {
        const auto [language, updates] = RowsWrapRows::fetch();
        StoreView f;
        f.h.language->language = language;
        f.relaunch();
        f.openRefreshedMainWindow();
        f.reach("notes", "updateAvailable");
        QQuickItem *card = nullptr;
        QQuickItem *row = nullptr;
        if (updates) {
            f.host.click(f.item("sidebarRow_updates"));
            QTRY_VERIFY((row = f.host.findShown("updateCheckRow")) && f.host.findShown("updateAllButton"));
            QTRY_VERIFY(!ViewHost::text(f.item("lastCheckText")).isEmpty());
            card = f.item("libraryHome");
        } else {
            // Rolled back from 1.1.0: Update, then Open, Return to 1.1.0, Verify and Remove.
            f.h.installer->previous.insert("notes", "1.1.0");
            f.store->installedApps()->updatePreviousVersions();
            f.store->setSelectedAppIDValue("notes");
            QTRY_VERIFY((row = f.host.findShown("manageRow", f.item("wideDetail"))));
            QTRY_COMPARE(ViewHost::text(f.host.findShown("rollBackButton", row)), QStringLiteral("Return to 1.1.0"));
            QVERIFY(f.host.findShown("openButton", row));
            card = f.host.findShown("actionPanel", f.item("wideDetail"));
        }
        // Once laid out (a frame is drawn only after the layouts are polished).
        f.host.waitForFrame();
        const QStringList out = pastTheCard(card, row);
        QVERIFY2(out.isEmpty(), qPrintable(out.join(QLatin1String(" | "))));
        // Wrapped, not squeezed: the row is more than one button high.
        QVERIFY(row->height() > 50);
    }

    void detailPanelsAndManagingTheApp()
    {
        StoreView f;
        f.openRefreshedMainWindow();
        QQuickItem *page = f.item("wideDetail");
        const auto shown = [&](const char *name) { return f.host.findShown(name, page); };
        const auto rowValue = [&](const char *row) { return ViewHost::childText(shown(row), "detailRowValue"); };
        const auto label = [&] { return ViewHost::text(shown("actionStateLabel")); };

        f.store->setSelectedAppIDValue("draft");
        // Incomplete release data: no metadata, still hero and privacy.
        QTRY_VERIFY(shown("detailHero") && !shown("metadataPanel"));
        QVERIFY(shown("privacyPanel"));
        QCOMPARE(ViewHost::text(shown("privacyNote")), QStringLiteral("Runs locally; nothing leaves this computer."));
        // A ".local" feed is not shown; no notes, no notes panel.
        f.store->setSelectedAppIDValue("timer");
        QTRY_COMPARE(rowValue("rowBundleID"), QStringLiteral("com.vantrel.timer"));
        QVERIFY(!shown("rowUpdateFeed") && !shown("releaseNotesPanel"));
        // Published, two notes, a public feed.
        f.store->setSelectedAppIDValue("notes");
        QTRY_VERIFY(shown("releaseNotesPanel"));
        QVERIFY(shown("metadataPanel") && shown("privacyPanel"));
        QCOMPARE(f.host.findAll("releaseNote", page).size(), 2);
        QCOMPARE(rowValue("rowChecksum"), QStringLiteral("Checked before install"));
        QCOMPARE(rowValue("rowUpdateFeed"), QStringLiteral("https://updates.vantrel.example/notes.xml"));

        // Rows appear as states change: pressed once laid out.
        const auto press = [&](QQuickItem *button) {
            f.host.waitForFrame();
            f.host.click(button);
        };
        f.reach("notes", "installing");
        QTRY_VERIFY(shown("cancelInstallButton") && !shown("removeButton"));
        press(shown("cancelInstallButton"));
        QVERIFY(!shown("cancelInstallButton")->isEnabled());
        f.h.installer->gate->open();
        QTRY_COMPARE(label(), QStringLiteral("Not installed"));
        QCOMPARE(f.store->errorMessage(), std::nullopt);

        f.h.installer->previous.insert("notes", "0.9.0");
        f.reach("notes", "installed");
        QTRY_COMPARE(ViewHost::text(shown("rollBackButton")), QStringLiteral("Roll back to 0.9.0"));
        press(shown("rollBackButton"));
        QTRY_COMPARE(label(), QStringLiteral("0.9.0 -> 1.0.0"));
        // The replaced copy is kept: going to it again is a return.
        f.h.installer->previous.insert("notes", "1.0.0");
        f.store->installedApps()->updatePreviousVersions();
        QTRY_COMPARE(ViewHost::text(shown("rollBackButton")), QStringLiteral("Return to 1.0.0"));
        press(shown("removeButton"));
        QTRY_COMPARE(ViewHost::text(f.item("removeConfirmationBody")), QStringLiteral("Quill Notes moves to the trash, where you can restore it."));
        // Cancel is the default; Remove is drawn as destructive.
        QTRY_VERIFY(f.item("removeConfirmationCancel")->hasActiveFocus());
        QVERIFY(prop(f.item("removeConfirmationRemove"), "destructive").toBool());
        press(f.item("removeConfirmationRemove"));
        QTRY_COMPARE(label(), QStringLiteral("Not installed"));
        QCOMPARE(f.h.installer->calls.filter(":"), (QStringList{"rollBack:notes", "remove:notes"}));
    }

    // Installed apps the catalog dropped or hides: their own group below home and All apps, a page that opens and
    // removes them, rows in the tray panel and the quick switcher.
    void unlistedInstalledAppsStayWithinReach()
    {
        StoreView f;
        f.openRefreshedMainWindow();
        f.reach("timer", "installed");
        f.store->setIncludeBetaApps(false);
        f.installUnlisted("legacy", "Legacy Ledger");
        QTRY_VERIFY(ViewHost::shown(f.item("installedGroup")));
        QCOMPARE(f.host.shownNamed("tile_").mid(f.host.shownNamed("tile_").indexOf("legacy")), (QStringList{"legacy", "timer"}));
        QCOMPARE(ViewHost::text(f.host.findShown("badgeLabel", f.item("tile_legacy"))), QStringLiteral("NOT IN CATALOG"));
        QCOMPARE(ViewHost::text(f.host.findShown("badgeLabel", f.item("tile_timer"))), QStringLiteral("BETA HIDDEN"));
        QCOMPARE(ViewHost::childText(f.item("tile_legacy"), "tileStatusText"), QStringLiteral("Installed 2.0"));
        // Not in the catalog's own sections.
        f.host.click(f.item("sidebarRow_updates"));
        QTRY_VERIFY(!ViewHost::shown(f.item("installedGroup")));
        f.host.click(f.item("sidebarRow_allApps"));
        QTRY_VERIFY(ViewHost::shown(f.item("installedGroup")));

        // The group sits below the catalog's tiles.
        f.host.scrollToEnd(f.item("libraryHome"));
        f.host.click(f.item("tile_legacy"));
        QQuickItem *page = f.item("wideDetail");
        QTRY_COMPARE(ViewHost::text(f.host.findShown("detailName", page)), QStringLiteral("Legacy Ledger"));
        QCOMPARE(ViewHost::text(f.host.findShown("actionStateLabel", page)), QStringLiteral("Installed 2.0"));
        QCOMPARE(ViewHost::text(f.host.findShown("actionDetail", page)), QStringLiteral("No longer in the catalog"));
        QCOMPARE(ViewHost::text(f.host.findShown("actionButton", page)), QStringLiteral("Open"));
        // What has nothing to show is left out: no privacy card without a note, no band below the last detail.
        QVERIFY(!f.host.findShown("privacyPanel", page));
        QQuickItem *details = f.host.findShown("metadataPanel", page);
        QQuickItem *lastRow = f.host.findShown("rowChecksum", details);
        QVERIFY(details && lastRow);
        QTRY_COMPARE(details->mapRectToScene(details->boundingRect()).bottom() - lastRow->mapRectToScene(lastRow->boundingRect()).bottom(), 16.0);
        f.host.waitForFrame();
        f.host.click(f.host.findShown("actionButton", page));
        QCOMPARE(f.h.workspace->opened, QList<QUrl>{QUrl::fromLocalFile(f.h.dir.filePath("Applications/legacy.app"))});

        f.open("tray/MenuBarLauncherView.qml", QSize(360, 640));
        QTRY_COMPARE(ViewHost::childText(f.item("menuRow_legacy"), "menuRowState"), QStringLiteral("Installed 2.0 · Not in catalog"));
        QCOMPARE(ViewHost::childText(f.item("menuRow_timer"), "menuRowState"), QStringLiteral("Installed 1.0.0 · Beta hidden"));
        f.open("switcher/QuickSwitcherView.qml");
        f.host.type("ledger");
        QTRY_COMPARE(ViewHost::childText(f.item("quickRow_legacy"), "quickRowHint"), QStringLiteral("Open · No longer in the catalog"));
        f.host.key(Qt::Key_Return);
        QCOMPARE(f.h.workspace->opened.size(), 2);

        // Removed from its page, it leaves every list.
        QVERIFY(waitForTask(f.store->manage()->remove(*f.store->installedApps()->describedApp("legacy"), true)));
        QTRY_VERIFY(f.store->unlistedInstalledApps().size() == 1);
        QVERIFY(!QFileInfo::exists(f.h.dir.filePath("Applications/legacy.app")));
    }

    // Verify from the page: a damaged copy says what is wrong in one line, on the page and in the tile, the tray and
    // the switcher; Repair installs the installed version afresh; Verify all sums up.
    void verifyAndRepairFromThePage()
    {
        StoreView f;
        f.openRefreshedMainWindow();
        f.reach("notes", "installed");
        f.store->setSelectedAppIDValue("notes");
        using Kind = VerificationFinding::Kind;
        f.h.installer->verification.status = BundleVerification::Status::damaged;
        f.h.installer->verification.findings = {{Kind::changed, "Contents/MacOS/Notes"}, {Kind::changed, "Contents/Info.plist"},
                                                {Kind::missing, "Contents/Resources"}};
        QQuickItem *page = f.item("wideDetail");
        QTRY_VERIFY(f.host.findShown("verifyButton", page));
        QVERIFY(!f.host.findShown("verificationRow", page));
        f.host.waitForFrame();
        f.host.click(f.host.findShown("verifyButton", page));
        // The state line says so, the line under it what is wrong; Repair is the one primary action, Open a secondary.
        QTRY_COMPARE(ViewHost::text(f.host.findShown("actionStateLabel", page)), QStringLiteral("Installed 1.0.0 · Damaged"));
        QCOMPARE(ViewHost::text(f.host.findShown("actionDetail", page)), QStringLiteral("2 files changed, 1 missing"));
        QVERIFY(f.host.findShown("actionFailedSymbol", page));
        QQuickItem *main = f.host.findShown("actionButton", page);
        QCOMPARE(ViewHost::text(main), QStringLiteral("Repair"));
        QCOMPARE(prop(main, "variant").toInt(), 0);  // primary
        QCOMPARE(prop(f.host.findShown("openButton", page), "variant").toInt(), 1);  // secondary
        QVERIFY(!f.host.findShown("verificationRow", page));
        // The tile shows it as it shows a failure.
        QCOMPARE(ViewHost::childText(f.item("tile_notes"), "tileStatusText"), QStringLiteral("Installed 1.0.0 · Damaged"));
        QVERIFY(f.host.findShown("tileFailedSymbol", f.item("tile_notes")));
        QCOMPARE(f.h.installer->calls.filter("verify:"), QStringList{"verify:notes"});

        f.host.waitForFrame();
        f.host.click(main);
        QTRY_VERIFY(!f.store->runningInstall("notes"));
        QCOMPARE(f.h.installer->lastControl.repairVersion, std::optional<QString>("1.0.0"));
        // It says that it worked, until the next verify.
        QTRY_COMPARE(ViewHost::text(f.host.findShown("verificationText", page)), QStringLiteral("Repaired"));
        QCOMPARE(ViewHost::text(f.host.findShown("actionButton", page)), QStringLiteral("Open"));
        QVERIFY(!f.host.findShown("tileFailedSymbol", f.item("tile_notes")));
        QCOMPARE(f.store->stateFor("notes"), AppInstallState::installed("1.0.0"));

        // Verify all, from the Updates section.
        f.h.installer->verification = BundleVerification{};
        f.host.click(f.item("sidebarRow_updates"));
        QTRY_VERIFY(f.host.findShown("verifyAllButton"));
        f.host.click(f.host.findShown("verifyAllButton"));
        QTRY_COMPARE(ViewHost::text(f.host.findShown("verifySummary")), QStringLiteral("1 app verified, intact."));

        // Damaged again: the tray's row and the switcher's hint say so.
        f.h.installer->verification.status = BundleVerification::Status::damaged;
        f.h.installer->verification.findings = {{Kind::permissions, "Contents/MacOS/Notes"}};
        f.store->checks()->verifyApp("notes");
        QTRY_VERIFY(f.store->checks()->isDamaged("notes"));
        f.open("tray/MenuBarLauncherView.qml", QSize(360, 640));
        QTRY_COMPARE(ViewHost::childText(f.item("menuRow_notes"), "menuRowState"), QStringLiteral("Installed 1.0.0 · Damaged"));
        f.open("switcher/QuickSwitcherView.qml");
        QTRY_COMPARE(ViewHost::childText(f.item("quickRow_notes"), "quickRowHint"), QStringLiteral("Open · Damaged"));
    }

    void detailIconFollowsTheApp_data()
    {
        DetailIconFollowsTheAppRows::columns();
        const QColor lime = QColor::fromRgbF(0.74, 0.94, 0.34), violet = QColor::fromRgbF(0.62, 0.42, 0.96);
        const QColor cyan = QColor::fromRgbF(0.28, 0.82, 0.88), amber = QColor::fromRgbF(0.96, 0.68, 0.30);
        DetailIconFollowsTheAppRows::row("lime, cyan, lime", QStringList{"notes", "atlas", "notes"}, QList<QColor>{lime, violet, cyan, violet, lime, violet});
        DetailIconFollowsTheAppRows::row("violet runs into lime, then amber", QStringList{"shots", "timer", "shots"}, QList<QColor>{amber, violet, violet, lime, amber, violet});
    }

    void detailIconFollowsTheApp()
    {
        const auto [apps, gradients] = DetailIconFollowsTheAppRows::fetch();
        StoreView f;
        f.openMainWindow();
        for (int i = 0; i < apps.size(); ++i) {
            f.store->setSelectedAppIDValue(apps[i]);
            QTRY_COMPARE(ViewHost::text(f.host.findShown("detailName", f.item("wideDetail"))), f.store->selectedApp()->name);
            QQuickItem *icon = f.host.findShown("detailIcon", f.item("wideDetail"));
            f.host.waitForFrame();
            const QImage frame = f.host.window()->grabWindow();
            // Two points clear of the symbol, near the start and near the end of the gradient.
            for (const QPointF at : {QPointF(0.3, 0.1), QPointF(0.7, 0.9)}) {
                const QPoint p = icon->mapToScene(QPointF(at.x() * icon->width(), at.y() * icon->height())).toPoint();
                const QColor drawn = frame.pixelColor(p * frame.devicePixelRatio());
                const QColor wanted = gradientAt(gradients[2 * i], gradients[2 * i + 1], at.x(), at.y());
                QVERIFY2(channelDistance(drawn, wanted) <= 12, qPrintable(QStringLiteral("%1 at %2,%3: %4, not %5").arg(apps[i]).arg(at.x()).arg(at.y())
                                                   .arg(drawn.name(), wanted.name())));
            }
        }
    }

    // The icon's shadow falls below its plate, offset and blurred as drawn before it was painted in one.
    void iconShadowFallsBelowThePlate_data()
    {
        IconShadowRows::columns();
        IconShadowRows::row("just above the plate: none (the shadow is offset down)", 0.5, -2, 0);
        IconShadowRows::row("just below the plate: every layer", 0.5, 42 + 4, 6);
        IconShadowRows::row("below the widest layer: none", 0.5, 42 + 8 + 8 + 2, 0);
        IconShadowRows::row("beside the plate, past the three narrower layers: the three wider", 1 + 4.0 / 42, 21, 3);
    }

    void iconShadowFallsBelowThePlate()
    {
        const auto [fx, dy, layers] = IconShadowRows::fetch();
        ViewHost host;
        auto *icon = qobject_cast<QQuickItem *>(host.load("components/VantrelAppIcon.qml", {{"size", 42}, {"x", 100}, {"y", 100}}));
        QVERIFY(icon);
        icon->setSize(QSizeF(icon->implicitWidth(), icon->implicitHeight()));  // the host stretched it over the window
        QCOMPARE(icon->height(), 42);  // the rows are in pixels of the design's text size
        auto *plate = icon->findChild<IconPlate *>();
        QVERIFY(plate);
        host.waitForFrame();
        const QImage frame = host.window()->grabWindow();
        const auto at = [&](QPointF p) { return frame.pixelColor((p * frame.devicePixelRatio()).toPoint()); };
        const QColor background = at(QPointF(5, 5));
        const QColor drawn = at(icon->mapToScene(QPointF(fx * icon->width(), dy)));
        // Each layer lays its share of the total opacity over what is below it.
        const qreal alpha = 1 - std::pow(1 - plate->shadowOpacity() / IconPlate::shadowLayers, layers);
        const QColor wanted = mixed(background, plate->shadowColor(), alpha);
        // Faint layers lose a little to 8-bit blending; a layer more or less on the lime shadow is about 6 apart.
        QVERIFY2(channelDistance(drawn, wanted) <= 5, qPrintable(QStringLiteral("%1, not %2 (background %3)").arg(drawn.name(), wanted.name(), background.name())));
    }

    void scenesOverOneStore()
    {
        StoreView f;
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
        refreshViewsOnLanguageChange(f.store.get(), &engine);
        QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/qt/qml/Vantrel/qml/windows/LauncherScenes.qml")));
        std::unique_ptr<QObject> scenes(component.createWithInitialProperties({{"store", QVariant::fromValue(f.store.get())}}));
        QVERIFY2(scenes, qPrintable(component.errorString()));
        auto *main = qobject_cast<QQuickWindow *>(prop(scenes.get(), "mainWindow").value<QObject *>());
        QVERIFY(main && !main->isVisible());
        // The other windows are made when first shown: nothing hidden is on the accessibility bus.
        QVERIFY(!prop(scenes.get(), "settingsWindow").value<QObject *>() && !prop(scenes.get(), "menuBarPanel").value<QObject *>());
        const auto hiddenWindowsOnTheBus = [] {
            QAccessible::setActive(true);
            QAccessibleInterface *app = QAccessible::queryAccessibleInterface(qApp);
            int hidden = 0;
            for (int i = 0; i < app->childCount(); ++i) {
                auto *window = qobject_cast<QWindow *>(app->child(i)->object());
                hidden += window && !window->isVisible() && app->child(i)->childCount() > 0;
            }
            return hidden;
        };

        // Showing the main window refreshes the catalog, every time it appears.
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QTRY_COMPARE(f.h.loader->locales.size(), 1);
        main->hide();
        QTRY_VERIFY(!main->property("contentShown").toBool());
        main->show();
        QTRY_COMPARE(f.h.loader->locales.size(), 2);

        // The settings row brings up the settings window (fitted, titled in the store's language); the tray the main one.
        Q_EMIT AppScenes::instance()->settingsWindowRequested();
        auto *settings = qobject_cast<QQuickWindow *>(prop(scenes.get(), "settingsWindow").value<QObject *>());
        QVERIFY(settings);
        QTRY_VERIFY(settings->isVisible());
        QQuickItem *preferences = f.host.find("preferences", settings->contentItem());
        QTRY_COMPARE(settings->height(), qCeil(preferences->implicitHeight()));
        f.store->setLocaleCode("de");
        QCOMPARE(settings->title(), QStringLiteral("Einstellungen"));
        main->hide();
        AppScenes::instance()->showMainWindow();
        QTRY_VERIFY(main->isVisible());
        // A notification's click brings it up on that app's page.
        main->hide();
        AppScenes::instance()->showAppDetail(QStringLiteral("shots"));
        QTRY_VERIFY(main->isVisible());
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("shots"));
        // Coming back leaves the window as the user left it: Ctrl+K over a maximised
        // window, or over one minimised or hidden from maximised, keeps it maximised.
        main->showMaximized();
        QTRY_COMPARE(main->visibility(), QWindow::Maximized);
        AppScenes::instance()->showQuickSwitcher();
        QTest::qWait(50);
        QCOMPARE(main->visibility(), QWindow::Maximized);
        main->showMinimized();
        QTRY_COMPARE(main->visibility(), QWindow::Minimized);
        AppScenes::instance()->showQuickSwitcher();
        QTRY_COMPARE(main->visibility(), QWindow::Maximized);
        main->hide();
        AppScenes::instance()->showMainWindow();
        QTRY_COMPARE(main->visibility(), QWindow::Maximized);
        main->showNormal();
        QTRY_COMPARE(main->visibility(), QWindow::Windowed);
        // A closed settings window is dropped, and made again on the next request.
        settings->close();
        QTRY_VERIFY(!prop(scenes.get(), "settingsWindow").value<QObject *>());
        QCOMPARE(hiddenWindowsOnTheBus(), 0);
        Q_EMIT AppScenes::instance()->settingsWindowRequested();
        QTRY_VERIFY(prop(scenes.get(), "settingsWindow").value<QObject *>());
        QVariant panel;
        QMetaObject::invokeMethod(scenes.get(), "ensureMenuBarPanel", Q_RETURN_ARG(QVariant, panel));
        auto *panelWindow = qobject_cast<QWindow *>(panel.value<QObject *>());
        QVERIFY(panelWindow);
        // Its view is made once, not made on completion and again after it.
        QCOMPARE(panelWindow->findChildren<QQuickItem *>(QStringLiteral("menuBarLauncher")).size(), 1);
        QCOMPARE(hiddenWindowsOnTheBus(), 1);  // made but not shown: the check sees it
    }

    // An icon the server let us keep shows from the views' disk cache with the server gone, without a request.
    void remoteIconsShowFromTheDiskCacheOffline()
    {
        QByteArray png;
        QBuffer buffer(&png);
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
        auto server = std::make_unique<LoopbackHttpServer>();
        LoopbackHttpServer::Response icon = LoopbackHttpServer::Response::text(200, png, "image/png");
        icon.headers.append({QByteArray("Cache-Control"), QByteArray("max-age=3600")});
        server->serve(QStringLiteral("/icon.png"), icon);
        const QUrl url = server->url(QStringLiteral("/icon.png"));
        QTemporaryDir cache, empty;
        const auto iconShown = [&url](const QString &folder) {
            ImageCacheFactory network(folder);
            QQmlEngine engine;
            engine.setNetworkAccessManagerFactory(&network);
            engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
            QQmlComponent component(&engine);
            component.setData("import Vantrel\nVantrelAppIcon { accent: Accent.Lime }", QUrl());
            std::unique_ptr<QObject> item(component.createWithInitialProperties({{QStringLiteral("iconUrl"), url}}));
            if (!item)
                return false;
            QObject *image = item->findChild<QObject *>(QStringLiteral("appIconImage"));
            const auto settled = [&] { return item->property("imageShown").toBool() || image->property("status").toInt() == 3; };
            (void)QTest::qWaitFor(settled, 5000);  // 3: Image.Error
            return item->property("imageShown").toBool();
        };

        QVERIFY(iconShown(cache.path()));
        QCOMPARE(server->requests().size(), 1);
        server.reset();
        QVERIFY(iconShown(cache.path()));
        QVERIFY(!iconShown(empty.path()));
    }

    void trayAbsentLauncherStillRuns()
    {
        StoreView f;
        QWindow panel;
        TrayController tray(f.store.get(), &panel, QStringLiteral("Vantrel"));
        f.store->setShowMenuBarExtra(false);
        QVERIFY(!tray.isIconVisible());
        f.store->setShowMenuBarExtra(true);
        QCOMPARE(tray.isIconVisible(), tray.isAvailable());
        QVERIFY(!TrayController::renderIcon().isNull());
    }

};

QTEST_MAIN(TestUiMain)
#include "tst_ui_main.moc"
