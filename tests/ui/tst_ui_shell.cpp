// The main window over a store with substitute collaborators: the root's
// choice, the breakpoint, tiles and the compact panel, the sidebar, search,
// the error alert and Ctrl+K.

#include "AppScenes.h"
#include "UiHarness.h"

#include <QQmlProperty>
#include <QSignalSpy>
#include <QTest>

using UiFixtures::app;

namespace {
QVariant prop(QObject *o, const char *name)
{
    return o ? o->property(name) : QVariant();
}
QStringList libraryIds(UiHarness &h)
{
    QObject *library = h.find(QStringLiteral("libraryHome"));
    auto *model = qvariant_cast<QObject *>(prop(library, "apps"));
    QStringList ids;
    if (model)
        QMetaObject::invokeMethod(model, "ids", Q_RETURN_ARG(QStringList, ids));
    return ids;
}
}  // namespace

class TestShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rootChoosesOnboardingOrShell();
    void breakpoint_data();
    void breakpoint();
    void tileClickSelectsAndOpensCompactPanel();
    void wideTileClickKeepsPanelClosed();
    void returnActivatesFocusedTile();
    void settingsRowLeavesSectionUnchanged();
    void sidebarCountAndCategories();
    void searchNarrowsSectionsButNotHome_data();
    void searchNarrowsSectionsButNotHome();
    void emptyStatesOfSections();
    void errorAlertClearsOnOk();
    void errorAlertClearsOnDismissal();
    void ctrlKOpensQuickSwitcher();
    void feedbackButtonResetsStateAndOpensSheet();
    void startupRefreshFailureShowsAlert();
    void largeCatalogBuildsTilesLazily();
};

void TestShell::rootChoosesOnboardingOrShell()
{
    UiHarness::Options options;
    options.initial = UiFixtures::richCatalog();
    options.onboardingComplete = false;
    UiHarness h(options);
    QVERIFY2(h.load(), qPrintable(h.errors()));
    QVERIFY(h.store()->requiresOnboarding());
    QVERIFY(prop(h.find("onboardingSlot"), "active").toBool());
    QVERIFY(!h.shell());

    h.store()->setOnboardingComplete(true);
    QTRY_VERIFY(h.shell());
    QVERIFY(!prop(h.find("onboardingSlot"), "active").toBool());
    // A new shell starts at its initial state.
    QCOMPARE(prop(h.shell(), "selectedSection").toString(), QStringLiteral("home"));
    QCOMPARE(prop(h.shell(), "searchText").toString(), QString());
    QCOMPARE(prop(h.shell(), "showCompactDetail").toBool(), false);

    // A catalog without published apps never needs onboarding.
    UiHarness::Options empty;
    empty.initial = UiFixtures::manifest({app("soon", "Soon", AppReleaseStatus::comingSoon)});
    empty.onboardingComplete = false;
    UiHarness h2(empty);
    QVERIFY2(h2.load(), qPrintable(h2.errors()));
    QVERIFY(h2.shell());
}

void TestShell::breakpoint_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("compact");
    QTest::addColumn<int>("sidebarWidth");
    QTest::newRow("1039 compact") << 1039 << true << 210;
    QTest::newRow("1040 wide") << 1040 << false << 230;
    QTest::newRow("default 1060 wide") << 1060 << false << 230;
    QTest::newRow("minimum 900 compact") << 900 << true << 210;
}

void TestShell::breakpoint()
{
    QFETCH(int, width);
    QFETCH(bool, compact);
    QFETCH(int, sidebarWidth);
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.resize(width);
    QTRY_COMPARE(prop(h.shell(), "compact").toBool(), compact);
    QCOMPARE(h.find("sidebar")->width(), qreal(sidebarWidth));
    QQuickItem *detail = h.find("wideDetail");
    QCOMPARE(detail->isVisible(), !compact);
    if (!compact) {
        QCOMPARE(detail->width(), 390.0);
        QCOMPARE(detail->x() + detail->width(), qreal(width - sidebarWidth));
    }
}

void TestShell::tileClickSelectsAndOpensCompactPanel()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.resize(960);
    QTRY_VERIFY(prop(h.shell(), "compact").toBool());
    QQuickItem *tile = nullptr;
    QTRY_VERIFY((tile = h.findVisible("tile_shots")));
    QVERIFY(!h.find("compactDetail")->isVisible());

    h.click(tile);
    QCOMPARE(h.store()->selectedAppIDValue(), QStringLiteral("shots"));
    QTRY_VERIFY(prop(h.shell(), "showCompactDetail").toBool());
    QQuickItem *panel = h.find("compactDetail");
    QTRY_COMPARE(panel->x(), 0.0);
    QVERIFY(panel->isVisible());
    QCOMPARE(prop(h.findVisible("detailName", panel), "text").toString(), QStringLiteral("Frame Shots"));

    // Widening hides the panel without resetting it; narrowing brings it back.
    h.resize(1100);
    QTRY_VERIFY(!panel->isVisible());
    QVERIFY(prop(h.shell(), "showCompactDetail").toBool());
    h.resize(960);
    QTRY_VERIFY(panel->isVisible());

    // Selecting another section keeps it open; the back button closes it.
    h.shell()->setProperty("selectedSection", QStringLiteral("allApps"));
    QVERIFY(prop(h.shell(), "showCompactDetail").toBool());
    h.click(h.findVisible("compactBackButton", panel));
    QTRY_VERIFY(!prop(h.shell(), "showCompactDetail").toBool());
    QTRY_VERIFY(!panel->isVisible());
}

void TestShell::wideTileClickKeepsPanelClosed()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    QQuickItem *tile = nullptr;
    QTRY_VERIFY((tile = h.findVisible("tile_timer")));
    h.click(tile);
    QCOMPARE(h.store()->selectedAppIDValue(), QStringLiteral("timer"));
    QVERIFY(!prop(h.shell(), "showCompactDetail").toBool());
    // The detail column follows the selection.
    QTRY_COMPARE(prop(h.findVisible("detailName", h.find("wideDetail")), "text").toString(), QStringLiteral("Tempo Timer"));
    // The selection outline is drawn on the selected tile only.
    auto outline = [&](const char *tileName) {
        QQuickItem *t = h.findVisible(tileName);
        QObject *o = t ? t->findChild<QObject *>("selectionOutline") : nullptr;
        return o ? QQmlProperty::read(o, "border.color").value<QColor>() : QColor();
    };
    QCOMPARE(outline("tile_timer").alphaF(), 0.45f);
    QCOMPARE(outline("tile_notes").alpha(), 0);
}

void TestShell::returnActivatesFocusedTile()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.resize(960);
    QQuickItem *tile = nullptr;
    QTRY_VERIFY((tile = h.findVisible("tile_cafe")));
    tile->forceActiveFocus(Qt::TabFocusReason);
    QTest::keyClick(h.window(), Qt::Key_Return);
    QCOMPARE(h.store()->selectedAppIDValue(), QStringLiteral("cafe"));
    QTRY_VERIFY(prop(h.shell(), "showCompactDetail").toBool());

    // Tab walks from the search field through every kind of control.
    h.resize(1060);
    QQuickItem *field = h.find("searchField");
    field->forceActiveFocus(Qt::TabFocusReason);
    QVERIFY(field->hasActiveFocus());
    QSet<QString> reached;
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(h.window(), Qt::Key_Tab);
        if (QQuickItem *item = h.window()->activeFocusItem())
            reached.insert(item->objectName());
    }
    for (const char *name : {"topQuickSwitchButton", "tile_notes", "tile_cafe", "actionButton", "sidebarRow_home",
                             "sidebarRow_settings", "sidebarFeedbackButton", "sidebarQuickSwitcherButton", "searchField"})
        QVERIFY2(reached.contains(QString::fromLatin1(name)), name);
}

void TestShell::settingsRowLeavesSectionUnchanged()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.click(h.find("sidebarRow_updates"));
    QCOMPARE(prop(h.shell(), "selectedSection").toString(), QStringLiteral("updates"));

    QSignalSpy settings(AppScenes::instance(), &AppScenes::settingsWindowRequested);
    h.click(h.find("sidebarRow_settings"));
    QCOMPARE(settings.count(), 1);
    QCOMPARE(prop(h.shell(), "selectedSection").toString(), QStringLiteral("updates"));
    QVERIFY(prop(h.find("sidebarRow_updates"), "isSelected").toBool());
    QVERIFY(!prop(h.find("sidebarRow_settings"), "isSelected").toBool());
}

void TestShell::sidebarCountAndCategories()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    QCOMPARE(prop(h.find("allAppsCount"), "text").toString(), QStringLiteral("6"));
    auto categories = [&] {
        QStringList names;
        for (QQuickItem *row : h.findAll("categoryRow")) {
            for (QQuickItem *child : row->childItems()) {
                const QVariant text = child->property("text");
                if (text.isValid() && child->metaObject()->indexOfProperty("font") >= 0)
                    names.append(text.toString());
            }
        }
        return names;
    };
    QCOMPARE(categories(), (QStringList{"Photo", "Productivity", "Travel", "Utilities", "Writing"}));
    h.store()->setIncludeBetaApps(false);
    QTRY_COMPARE(prop(h.find("allAppsCount"), "text").toString(), QStringLiteral("5"));
    QTRY_COMPARE(categories(), (QStringList{"Photo", "Travel", "Utilities", "Writing"}));
}

void TestShell::searchNarrowsSectionsButNotHome_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("all apps, spaces and case") << "allApps" << "  QUILL " << QStringList{"notes"};
    QTest::newRow("all apps, only spaces") << "allApps" << "   "
                                           << QStringList{"notes", "timer", "shots", "cafe", "atlas", "draft"};
    QTest::newRow("all apps, adjacent tags") << "allApps" << "photo editing" << QStringList{"shots"};
    QTest::newRow("all apps, accent kept") << "allApps" << "cafe m" << QStringList{};
    QTest::newRow("home ignores search") << "home" << "quill" << QStringList{"notes", "timer", "shots", "cafe"};
}

void TestShell::searchNarrowsSectionsButNotHome()
{
    QFETCH(QString, section);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.click(h.find(QStringLiteral("sidebarRow_") + section));
    QQuickItem *field = h.find("searchField");
    h.click(field);
    QTRY_VERIFY(field->hasActiveFocus());
    for (const QChar c : typed)
        QTest::keyClick(h.window(), c.toLatin1());
    QCOMPARE(prop(h.shell(), "searchText").toString(), typed);
    QTRY_COMPARE(libraryIds(h), expected);
    if (section != QLatin1String("home")) {
        QCOMPARE(prop(h.findVisible("sectionSubtitle"), "text").toString(),
                 QStringLiteral("%1 APPS").arg(expected.size()));
    }
}

void TestShell::emptyStatesOfSections()
{
    // Starters include only the coming-soon app: the selected section is empty.
    UiHarness h({UiFixtures::richCatalog()});
    for (const AppManifestItem &a : h.store()->manifest().apps) {
        if ((a.id == QLatin1String("atlas")) != h.store()->selectedStarterAppIDs().contains(a.id))
            h.store()->toggleStarter(a.id);
    }
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.click(h.find("sidebarRow_selected"));
    QTRY_VERIFY(h.findVisible("emptyState_selected"));
    QCOMPARE(libraryIds(h), QStringList{});
    h.click(h.find("sidebarRow_updates"));
    QTRY_VERIFY(h.findVisible("emptyState_updates"));
}

void TestShell::errorAlertClearsOnOk()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.store()->setErrorMessage(QStringLiteral("Could not install Frame Shots. Disk full."));
    QObject *alert = qvariant_cast<QObject *>(prop(h.rootView(), "errorAlert"));
    QTRY_VERIFY(prop(alert, "opened").toBool());
    QCOMPARE(prop(h.findVisible("errorAlertMessage", qvariant_cast<QQuickItem *>(prop(alert, "contentItem"))), "text")
                 .toString(),
             QStringLiteral("Could not install Frame Shots. Disk full."));
    QTRY_VERIFY(h.findVisible("errorAlertOk", qvariant_cast<QQuickItem *>(prop(alert, "contentItem"))));
    h.click(h.findVisible("errorAlertOk", qvariant_cast<QQuickItem *>(prop(alert, "contentItem"))));
    QVERIFY(!h.store()->errorMessage().has_value());
    QTRY_VERIFY(!prop(alert, "visible").toBool());
}

void TestShell::errorAlertClearsOnDismissal()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.store()->setErrorMessage(QStringLiteral("Something failed"));
    QObject *alert = qvariant_cast<QObject *>(prop(h.rootView(), "errorAlert"));
    QTRY_VERIFY(prop(alert, "opened").toBool());
    QTest::keyClick(h.window(), Qt::Key_Escape);
    QTRY_VERIFY(!prop(alert, "visible").toBool());
    // Cleared in a task after the alert closed.
    QTRY_VERIFY(!h.store()->errorMessage().has_value());
    // A new error shows the alert again.
    h.store()->setErrorMessage(QStringLiteral("Again"));
    QTRY_VERIFY(prop(alert, "opened").toBool());
}

void TestShell::ctrlKOpensQuickSwitcher()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.shell()->setProperty("searchText", QStringLiteral("tempo"));
    h.shell()->setProperty("selectedSection", QStringLiteral("allApps"));
    QVERIFY(!prop(h.rootView(), "showQuickSwitcher").toBool());
    QTest::keyClick(h.window(), Qt::Key_K, Qt::ControlModifier);
    QTRY_VERIFY(prop(h.rootView(), "showQuickSwitcher").toBool());
    QTRY_VERIFY(prop(h.find("quickSwitcherSlot"), "visible").toBool());
    // The shell underneath keeps its state.
    QCOMPARE(prop(h.shell(), "searchText").toString(), QStringLiteral("tempo"));
    QCOMPARE(prop(h.shell(), "selectedSection").toString(), QStringLiteral("allApps"));

    // The switcher closes itself through isPresented.
    QQuickItem *switcher = qvariant_cast<QQuickItem *>(prop(h.rootView(), "quickSwitcher"));
    if (switcher && switcher->metaObject()->indexOfProperty("isPresented") >= 0) {
        switcher->setProperty("isPresented", false);
        QTRY_VERIFY(!prop(h.rootView(), "showQuickSwitcher").toBool());
    } else {
        h.rootView()->setProperty("showQuickSwitcher", false);
    }
    QTRY_VERIFY(!prop(h.find("quickSwitcherSlot"), "visible").toBool());

    // The sidebar and top-bar buttons open it too.
    h.click(h.find("topQuickSwitchButton"));
    QTRY_VERIFY(prop(h.rootView(), "showQuickSwitcher").toBool());
    h.rootView()->setProperty("showQuickSwitcher", false);
    QTRY_VERIFY(!prop(h.find("quickSwitcherSlot"), "visible").toBool());
    h.click(h.find("sidebarQuickSwitcherButton"));
    QTRY_VERIFY(prop(h.rootView(), "showQuickSwitcher").toBool());
}

void TestShell::feedbackButtonResetsStateAndOpensSheet()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.store()->setFeedbackState(FeedbackSubmissionState::failed(QStringLiteral("earlier failure")));
    h.click(h.find("sidebarFeedbackButton"));
    QCOMPARE(h.store()->feedbackState().kind(), FeedbackSubmissionState::Kind::idle);
    QVERIFY(h.store()->showingFeedbackSheet());
    QObject *sheet = qvariant_cast<QObject *>(prop(h.rootView(), "feedbackSheet"));
    QTRY_VERIFY(prop(sheet, "opened").toBool());
    // Closing the sheet otherwise writes the field back.
    QTest::keyClick(h.window(), Qt::Key_Escape);
    QTRY_VERIFY(!h.store()->showingFeedbackSheet());
}

void TestShell::startupRefreshFailureShowsAlert()
{
    UiHarness::Options options;
    options.initial = UiFixtures::richCatalog();
    UiHarness h(options);
    h.loader().failure = QStringLiteral("offline");
    QVERIFY2(h.load(), qPrintable(h.errors()));
    QTRY_COMPARE(h.loader().loads, 1);  // the window's content appeared: one refresh
    QTRY_VERIFY(h.store()->errorMessage().has_value());
    QObject *alert = qvariant_cast<QObject *>(prop(h.rootView(), "errorAlert"));
    QTRY_VERIFY(prop(alert, "opened").toBool());
    // The catalog already shown stays.
    QCOMPARE(h.store()->manifest(), options.initial);
}

void TestShell::largeCatalogBuildsTilesLazily()
{
    QList<AppManifestItem> apps;
    for (int i = 0; i < 1000; ++i)
        apps.append(app(QStringLiteral("app%1").arg(i), QStringLiteral("App %1").arg(i)));
    UiHarness h({UiFixtures::manifest(apps)});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.click(h.find("sidebarRow_allApps"));
    QTRY_COMPARE(libraryIds(h).size(), 1000);
    QCOMPARE(prop(h.find("allAppsCount"), "text").toString(), QStringLiteral("1000"));
    QTRY_VERIFY(h.findVisible("tile_app0"));
    int tiles = 0;
    for (int i = 0; i < 1000; ++i)
        tiles += h.find(QStringLiteral("tile_app%1").arg(i)) != nullptr;
    QVERIFY2(tiles < 60, qPrintable(QString::number(tiles)));

    // Scrolling to the end builds the last tiles on demand.
    QMetaObject::invokeMethod(h.find("libraryHome"), "positionViewAtEnd");
    QTRY_VERIFY(h.findVisible("tile_app999"));
}

QTEST_MAIN(TestShell)
#include "tst_ui_shell.moc"
