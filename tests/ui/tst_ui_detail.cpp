// The app detail page: the action button and detail text for every install
// state, coming-soon and incomplete apps, the panels shown, and the button's
// store calls.

#include "UiHarness.h"

#include <QTest>

using UiFixtures::app;

namespace {
QVariant prop(QObject *o, const char *name)
{
    return o ? o->property(name) : QVariant();
}
}  // namespace

class TestDetail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buttonAndDetailPerState_data();
    void buttonAndDetailPerState();
    void installButtonInstallsAndOpenOpens();
    void panelsShownPerApp();
    void emptyPageWithoutSelection();
    void followsLanguage();
};

void TestDetail::buttonAndDetailPerState_data()
{
    QTest::addColumn<QString>("appId");
    QTest::addColumn<QString>("state");  // how to reach it
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("buttonText");
    QTest::addColumn<bool>("buttonEnabled");
    QTest::addColumn<bool>("progressShown");

    QTest::newRow("not installed") << "notes" << "none" << "Not installed" << "Ready to install." << "Install" << true << false;
    QTest::newRow("installing") << "notes" << "installing" << "Installing 4%" << "Installing now." << "Installing" << false << true;
    QTest::newRow("installed") << "notes" << "installed" << "Installed 1.0.0" << "Ready to open from this Mac." << "Open" << true << false;
    QTest::newRow("update available") << "notes" << "update" << "1.0.0 -> 1.1.0" << "A newer version is ready." << "Update" << true << false;
    QTest::newRow("failed shows the message verbatim")
        << "notes" << "failed" << "Failed" << "Could not install Quill Notes. The checksum did not match." << "Install" << true << false;
    QTest::newRow("coming soon") << "atlas" << "none" << "Not installed" << "Preview only" << "Check for apps" << true << false;
    QTest::newRow("incomplete release data") << "draft" << "none" << "Not installed" << "Preview only" << "Check for apps" << true << false;
}

void TestDetail::buttonAndDetailPerState()
{
    QFETCH(QString, appId);
    QFETCH(QString, state);
    QFETCH(QString, label);
    QFETCH(QString, detail);
    QFETCH(QString, buttonText);
    QFETCH(bool, buttonEnabled);
    QFETCH(bool, progressShown);

    LauncherManifest catalog = UiFixtures::richCatalog();
    UiHarness h({catalog});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.waitForRefresh();
    std::shared_ptr<UiGate> gate;
    if (state == QLatin1String("installing")) {
        gate = std::make_shared<UiGate>();
        h.installer().gates.insert(appId, gate);
        h.store()->installApp(appId);
    } else if (state == QLatin1String("installed")) {
        h.install(appId);
    } else if (state == QLatin1String("update")) {
        h.install(appId);
        catalog.apps[0].version = QStringLiteral("1.1.0");
        h.loader().manifest = catalog;
        QCoro::waitFor(h.store()->loadManifest());
    } else if (state == QLatin1String("failed")) {
        h.installer().failures.insert(appId, QStringLiteral("The checksum did not match."));
        h.install(appId);
    }
    h.store()->setSelectedAppIDValue(appId);

    QQuickItem *page = h.find("wideDetail");
    QQuickItem *panel = h.findVisible("actionPanel", page);
    QVERIFY(panel);
    QTRY_COMPARE(prop(h.findVisible("actionStateLabel", panel), "text").toString(), label);
    QCOMPARE(prop(h.findVisible("actionDetail", panel), "text").toString(), detail);
    QQuickItem *button = h.findVisible("actionButton", panel);
    QCOMPARE(prop(button, "text").toString(), buttonText);
    QCOMPARE(button->isEnabled(), buttonEnabled);
    QQuickItem *progress = panel->findChild<QQuickItem *>("installProgress");
    QCOMPARE(progress->isVisible(), progressShown);
    if (progressShown)
        QCOMPARE(prop(progress, "value").toDouble(), 0.04);

    if (state == QLatin1String("installing")) {
        // The disabled button cannot start a second install.
        h.click(button);
        QCOMPARE(h.installer().calls.count(appId), 1);
        gate->open();
        QTRY_COMPARE(prop(button, "text").toString(), QStringLiteral("Open"));
    }
    if (buttonText == QLatin1String("Check for apps")) {
        const int before = h.loader().loads;
        h.click(button);
        QTRY_COMPARE(h.loader().loads, before + 1);
        QVERIFY(h.installer().calls.isEmpty());
    }
}

void TestDetail::installButtonInstallsAndOpenOpens()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.store()->setSelectedAppIDValue(QStringLiteral("shots"));
    QQuickItem *button = h.findVisible("actionButton", h.find("wideDetail"));
    QTRY_COMPARE(prop(button, "text").toString(), QStringLiteral("Install"));
    h.click(button);
    QCOMPARE(h.installer().calls, QStringList{QStringLiteral("shots")});
    QTRY_COMPARE(prop(button, "text").toString(), QStringLiteral("Open"));
    h.click(button);
    QTRY_COMPARE(h.workspace().opened.size(), 1);
    QVERIFY(h.workspace().opened.first().toLocalFile().endsWith(QStringLiteral("/shots.app")));

    // A failed install offers Install again, and pressing it retries.
    h.installer().failures.insert(QStringLiteral("cafe"), QStringLiteral("Disk full."));
    h.store()->setSelectedAppIDValue(QStringLiteral("cafe"));
    QTRY_COMPARE(prop(button, "text").toString(), QStringLiteral("Install"));
    h.click(button);
    QTRY_COMPARE(prop(h.findVisible("actionStateLabel", h.find("wideDetail")), "text").toString(), QStringLiteral("Failed"));
    h.store()->clearErrorMessage();
    h.installer().failures.remove(QStringLiteral("cafe"));
    h.click(button);
    QTRY_COMPARE(prop(button, "text").toString(), QStringLiteral("Open"));
    QCOMPARE(h.installer().calls.count(QStringLiteral("cafe")), 2);
}

void TestDetail::panelsShownPerApp()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    QQuickItem *page = h.find("wideDetail");
    auto visible = [&](const char *name) { return h.findVisible(QString::fromLatin1(name), page) != nullptr; };
    auto rowValue = [&](const char *row) {
        QQuickItem *r = h.findVisible(QString::fromLatin1(row), page);
        QQuickItem *value = r ? r->findChild<QQuickItem *>("detailRowValue") : nullptr;
        return prop(value, "text").toString();
    };

    // Published, two notes, a public feed.
    h.store()->setSelectedAppIDValue(QStringLiteral("notes"));
    QTRY_VERIFY(visible("metadataPanel"));
    QVERIFY(visible("releaseNotesPanel"));
    QVERIFY(visible("privacyPanel"));
    QCOMPARE(h.findAll("releaseNote", page).size(), 2);
    QCOMPARE(rowValue("rowBundleID"), QStringLiteral("com.vantrel.notes"));
    QCOMPARE(rowValue("rowChecksum"), h.store()->copy()->text(QStringLiteral("checksumVerified")));
    QCOMPARE(rowValue("rowUpdateFeed"), QStringLiteral("https://updates.vantrel.example/notes.xml"));

    // A ".local" feed is not shown; no notes, no notes panel.
    h.store()->setSelectedAppIDValue(QStringLiteral("timer"));
    QTRY_COMPARE(rowValue("rowBundleID"), QStringLiteral("com.vantrel.timer"));
    QVERIFY(!visible("rowUpdateFeed"));
    QVERIFY(!visible("releaseNotesPanel"));

    // Incomplete release data: no metadata, still hero and privacy.
    h.store()->setSelectedAppIDValue(QStringLiteral("draft"));
    QTRY_VERIFY(!visible("metadataPanel"));
    QVERIFY(visible("detailHero"));
    QVERIFY(visible("privacyPanel"));
    QCOMPARE(prop(h.findVisible("privacyNote", page), "text").toString(),
             QStringLiteral("Runs locally; nothing leaves this computer."));
}

void TestDetail::emptyPageWithoutSelection()
{
    UiHarness h({UiFixtures::manifest({})});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    QQuickItem *page = h.find("wideDetail");
    QVERIFY(page->isVisible());
    QCOMPARE(page->width(), 390.0);
    QVERIFY(h.findVisible("detailEmpty", page));
    QVERIFY(!h.findVisible("actionPanel", page));
}

void TestDetail::followsLanguage()
{
    UiHarness h({UiFixtures::richCatalog()});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.store()->setSelectedAppIDValue(QStringLiteral("notes"));
    QQuickItem *page = h.find("wideDetail");
    QTRY_COMPARE(prop(h.findVisible("actionButton", page), "text").toString(), QStringLiteral("Install"));
    h.store()->setLocaleCode(QStringLiteral("pl"));
    QTRY_COMPARE(prop(h.findVisible("actionButton", page), "text").toString(), QStringLiteral("Instaluj"));
    QCOMPARE(prop(h.findVisible("actionStateLabel", page), "text").toString(), QStringLiteral("Nie zainstalowano"));
}

QTEST_MAIN(TestDetail)
#include "tst_ui_detail.moc"
