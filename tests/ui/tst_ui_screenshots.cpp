// Writes screenshots of the main window to $VANTREL_BUILD_DIR/screenshots:
// every home lifecycle stage, every section, the compact panel, the detail
// page in every install state, the error alert, German and Polish.

#include "UiHarness.h"

#include <QFileInfo>
#include <QImage>
#include <QTest>

using UiFixtures::app;

namespace {

// A file was written and shows more than a blank frame.
void checkScreenshot(const QString &path, QSize size = QSize(1060, 720))
{
    QVERIFY2(!path.isEmpty(), "screenshot not written");
    const QImage image(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size() / image.devicePixelRatio(), size);
    // Some pixels differ from the background: something was drawn.
    const QRgb background = image.pixel(image.width() - 2, image.height() - 2);
    int different = 0;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            different += image.pixel(x, y) != background;
    QVERIFY2(different > 200, qPrintable(path));
}

LauncherManifest catalogWith(int published, int comingSoon)
{
    const QList<AppAccent> accents = {AppAccent::lime, AppAccent::violet, AppAccent::amber, AppAccent::blue, AppAccent::cyan};
    const QStringList symbols = {"note.text", "timer", "camera", "cart", "map", "terminal", "paintpalette", "bolt"};
    const QStringList names = {"Quill Notes", "Tempo Timer", "Frame Shots", "Café Menu", "Atlas Maps", "Shell Deck",
                               "Palette Lab", "Spark Sync"};
    const QStringList categories = {"Writing", "Productivity", "Photo", "Utilities", "Travel", "Developer", "Design",
                                    "Utilities"};
    QList<AppManifestItem> apps;
    for (int i = 0; i < published + comingSoon; ++i) {
        const bool soon = i >= published;
        AppManifestItem a = app(QStringLiteral("app%1").arg(i), names[i % names.size()],
                                soon ? AppReleaseStatus::comingSoon : (i == 1 ? AppReleaseStatus::beta : AppReleaseStatus::live),
                                categories[i % categories.size()], accents[i % accents.size()]);
        a.symbolName = symbols[i % symbols.size()];
        a.tagline = QStringList{"Plain-text notes that stay out of the way", "A calm focus timer for deep work",
                                "Crisp screenshots with one shortcut", "Menus for small cafés, printed in minutes",
                                "Offline maps for the next trip", "A terminal deck for quick commands",
                                "Colour palettes from any image", "Files in sync without the cloud"}[i % 8];
        a.releaseNotes = {{QStringLiteral("1.0.0"), QStringLiteral("2026-11-20"), QStringLiteral("First public release.")},
                          {QStringLiteral("0.9.2"), QStringLiteral("2026-11-02"), QStringLiteral("Faster start-up and smaller downloads.")}};
        a.sparkleFeedUrl = QUrl(QStringLiteral("https://updates.vantrel.example/%1.xml").arg(a.id));
        apps.append(a);
    }
    return UiFixtures::manifest(apps);
}

}  // namespace

class TestScreenshots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lifecycleKinds_data();
    void lifecycleKinds();
    void sections_data();
    void sections();
    void compactWithDetailPanel();
    void detailStates_data();
    void detailStates();
    void errorAlert();
    void languages_data();
    void languages();
};

void TestScreenshots::lifecycleKinds_data()
{
    QTest::addColumn<int>("published");
    QTest::addColumn<int>("comingSoon");
    QTest::addColumn<QString>("kind");
    QTest::newRow("empty") << 0 << 0 << "empty";
    QTest::newRow("comingSoonOnly") << 0 << 3 << "comingSoonOnly";
    QTest::newRow("firstPublishedApp") << 1 << 1 << "firstPublishedApp";
    QTest::newRow("multiAppCatalog") << 6 << 1 << "multiAppCatalog";
}

void TestScreenshots::lifecycleKinds()
{
    QFETCH(int, published);
    QFETCH(int, comingSoon);
    QFETCH(QString, kind);
    UiHarness h({catalogWith(published, comingSoon)});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    QCOMPARE(h.store()->catalogLifecycleName(), kind);
    QTRY_VERIFY(h.shell());
    checkScreenshot(h.screenshot(QStringLiteral("home-") + kind));
}

void TestScreenshots::sections_data()
{
    QTest::addColumn<QString>("section");
    QTest::newRow("home") << "home";
    QTest::newRow("allApps") << "allApps";
    QTest::newRow("selected") << "selected";
    QTest::newRow("updates") << "updates";
}

void TestScreenshots::sections()
{
    QFETCH(QString, section);
    LauncherManifest catalog = catalogWith(6, 2);
    UiHarness h({catalog});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.waitForRefresh();
    // One update available, one installed, one starter removed.
    h.install(QStringLiteral("app0"));
    h.install(QStringLiteral("app2"));
    catalog.apps[2].version = QStringLiteral("1.1.0");
    h.loader().manifest = catalog;
    QCoro::waitFor(h.store()->loadManifest());
    h.store()->toggleStarter(QStringLiteral("app3"));
    h.store()->setSelectedAppIDValue(QStringLiteral("app2"));
    h.click(h.find(QStringLiteral("sidebarRow_") + section));
    QCOMPARE(h.shell()->property("selectedSection").toString(), section);
    checkScreenshot(h.screenshot(QStringLiteral("section-") + section));
}

void TestScreenshots::compactWithDetailPanel()
{
    UiHarness h({catalogWith(6, 1)});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.resize(960, 720);
    QQuickItem *tile = nullptr;
    QTRY_VERIFY((tile = h.findVisible(QStringLiteral("tile_app1"))));
    h.click(tile);
    QTRY_COMPARE(h.find(QStringLiteral("compactDetail"))->x(), 0.0);
    checkScreenshot(h.screenshot(QStringLiteral("compact-detail-open")), QSize(960, 720));
    h.click(h.findVisible(QStringLiteral("compactBackButton")));
    QTRY_VERIFY(!h.find(QStringLiteral("compactDetail"))->isVisible());
    checkScreenshot(h.screenshot(QStringLiteral("compact-library")), QSize(960, 720));
}

void TestScreenshots::detailStates_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("notInstalled") << "notInstalled";
    QTest::newRow("installing") << "installing";
    QTest::newRow("installed") << "installed";
    QTest::newRow("updateAvailable") << "updateAvailable";
    QTest::newRow("failed") << "failed";
    QTest::newRow("comingSoon") << "comingSoon";
}

void TestScreenshots::detailStates()
{
    QFETCH(QString, state);
    LauncherManifest catalog = catalogWith(4, 1);
    UiHarness h({catalog});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.waitForRefresh();
    QString id = QStringLiteral("app0");
    std::shared_ptr<UiGate> gate;
    if (state == QLatin1String("installing")) {
        gate = std::make_shared<UiGate>();
        h.installer().gates.insert(id, gate);
        h.store()->installApp(id);
    } else if (state == QLatin1String("installed")) {
        h.install(id);
    } else if (state == QLatin1String("updateAvailable")) {
        h.install(id);
        catalog.apps[0].version = QStringLiteral("1.1.0");
        h.loader().manifest = catalog;
        QCoro::waitFor(h.store()->loadManifest());
    } else if (state == QLatin1String("failed")) {
        h.installer().failures.insert(id, QStringLiteral("The download's checksum did not match the catalog."));
        h.install(id);
        h.store()->clearErrorMessage();
    } else if (state == QLatin1String("comingSoon")) {
        id = QStringLiteral("app4");
    }
    h.store()->setSelectedAppIDValue(id);
    QTRY_VERIFY(h.findVisible(QStringLiteral("actionButton"), h.find(QStringLiteral("wideDetail"))));
    checkScreenshot(h.screenshot(QStringLiteral("detail-") + state));
    if (gate)
        gate->open();
}

void TestScreenshots::errorAlert()
{
    UiHarness h({catalogWith(4, 1)});
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.store()->setErrorMessage(QStringLiteral("Could not install Quill Notes. The download's checksum did not match the catalog."));
    QObject *alert = qvariant_cast<QObject *>(h.rootView()->property("errorAlert"));
    QTRY_VERIFY(alert->property("opened").toBool());
    checkScreenshot(h.screenshot(QStringLiteral("error-alert")));
}

void TestScreenshots::languages_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("expectedTitle");
    QTest::newRow("de") << "de" << "allApps" << "Alle Apps";
    QTest::newRow("pl") << "pl" << "home" << "Wszystkie";
}

void TestScreenshots::languages()
{
    QFETCH(QString, locale);
    QFETCH(QString, section);
    QFETCH(QString, expectedTitle);
    UiHarness::Options options;
    options.initial = catalogWith(6, 1);
    options.language = locale;
    UiHarness h(options);
    h.store()->setLocaleCode(locale);
    QVERIFY2(h.load(), qPrintable(h.errors()));
    h.install(QStringLiteral("app0"));
    h.store()->setSelectedAppIDValue(QStringLiteral("app0"));
    h.click(h.find(QStringLiteral("sidebarRow_") + section));
    // The sidebar reads in the store's language.
    QVERIFY2(!h.findText(expectedTitle, h.find(QStringLiteral("sidebar"))).isEmpty(), qPrintable(expectedTitle));
    checkScreenshot(h.screenshot(QStringLiteral("language-") + locale));
}

QTEST_MAIN(TestScreenshots)
#include "tst_ui_screenshots.moc"
