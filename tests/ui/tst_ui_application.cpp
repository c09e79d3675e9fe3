// The application's scenes over one store: window sizes and titles, the
// settings and main-window requests, and the tray controller without a tray.

#include "AppScenes.h"
#include "TrayController.h"
#include "UiHarness.h"

#include <QQmlComponent>
#include <QQuickWindow>
#include <QSystemTrayIcon>
#include <QTest>

class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scenesOverOneStore();
    void trayAbsentLauncherStillRuns();
};

void TestApplication::scenesOverOneStore()
{
    UiHarness h({UiFixtures::richCatalog()});
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/qt/qml/Vantrel/qml/windows/LauncherScenes.qml")));
    std::unique_ptr<QObject> scenes(component.createWithInitialProperties(
        {{QStringLiteral("store"), QVariant::fromValue(h.store())}, {QStringLiteral("appName"), QStringLiteral("Vantrel")}}));
    QVERIFY2(scenes, qPrintable(component.errorString()));
    auto *main = qobject_cast<QQuickWindow *>(scenes->property("mainWindow").value<QObject *>());
    auto *panel = qobject_cast<QQuickWindow *>(scenes->property("menuBarPanel").value<QObject *>());
    auto *settings = qobject_cast<QQuickWindow *>(scenes->property("settingsWindow").value<QObject *>());
    QVERIFY(main && panel && settings);

    QCOMPARE(main->objectName(), QStringLiteral("main"));
    QCOMPARE(main->title(), QStringLiteral("Vantrel"));
    QCOMPARE(main->minimumSize(), QSize(900, 620));
    QCOMPARE(main->size(), QSize(1060, 720));
    QCOMPARE(panel->width(), 360);
    QVERIFY(panel->flags() & Qt::FramelessWindowHint);
    QCOMPARE(settings->width(), 640);
    QVERIFY(!main->isVisible() && !settings->isVisible() && !panel->isVisible());

    // Showing the main window refreshes the catalog, every time it appears.
    const int loads = h.loader().loads;
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTRY_COMPARE(h.loader().loads, loads + 1);
    QTRY_COMPARE(h.store()->manifest(), h.loader().manifest);
    QCOMPARE(h.loader().loads, loads + 1);
    main->hide();
    QTRY_VERIFY(!main->property("contentShown").toBool());
    main->show();
    QTRY_COMPARE(h.loader().loads, loads + 2);

    // The settings row's request brings up the settings window; the tray
    // panel's request brings back the main window.
    Q_EMIT AppScenes::instance()->settingsWindowRequested();
    QTRY_VERIFY(settings->isVisible());
    main->hide();
    AppScenes::instance()->showMainWindow();
    QTRY_VERIFY(main->isVisible());
}

void TestApplication::trayAbsentLauncherStillRuns()
{
    UiHarness h({UiFixtures::richCatalog()});
    QWindow panel;
    TrayController tray(h.store(), &panel, QStringLiteral("Vantrel"));
    QCOMPARE(tray.isAvailable(), QSystemTrayIcon::isSystemTrayAvailable());
    h.store()->setShowMenuBarExtra(false);
    QVERIFY(!tray.isIconVisible());
    QVERIFY(!panel.isVisible());
    h.store()->setShowMenuBarExtra(true);
    QCOMPARE(tray.isIconVisible(), tray.isAvailable());
    QVERIFY(!TrayController::renderIcon().isNull());
}

QTEST_MAIN(TestApplication)
#include "tst_ui_application.moc"
