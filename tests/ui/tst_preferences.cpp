// The settings window's content offscreen over a store with substitute
// collaborators: the switches bound both ways, the language picker (texts
// change at once in every open view and the catalog reloads), the reset
// button and the inert tabs.

#include "ViewHost.h"
#include "SymbolGlyphs.h"

#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace {

LauncherManifest catalog()
{
    AppManifestItem alpha = makeApp(QStringLiteral("alpha"));
    alpha.name = QStringLiteral("Inkwell");
    AppManifestItem bravo = makeApp(QStringLiteral("bravo"), AppReleaseStatus::beta);
    bravo.name = QStringLiteral("Clipstack");
    return makeManifest({alpha, bravo});
}

struct Fixture {
    StoreHarness h;
    std::unique_ptr<LauncherStore> store;
    ViewHost host;
    QObject *view = nullptr;

    Fixture()
    {
        store = h.makeStore(catalog());
        view = host.load(QStringLiteral("preferences/PreferencesView.qml"),
                         {{QStringLiteral("store"), QVariant::fromValue(store.get())}}, QSize(640, 560));
        host.fitHeight();
    }
    QQuickItem *item(const char *name) const { return host.find(QLatin1String(name)); }
    // Every text drawn by the view, top to bottom.
    QStringList texts() const
    {
        QList<QPair<QPointF, QString>> found;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (!ViewHost::shown(item))
                return;
            if (item->inherits("QQuickText") && !item->property("text").toString().isEmpty())
                found.append({item->mapToScene(QPointF()), item->property("text").toString()});
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(host.rootItem());
        std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
            return a.first.y() != b.first.y() ? a.first.y() < b.first.y() : a.first.x() < b.first.x();
        });
        QStringList result;
        for (const auto &pair : found)
            result.append(pair.second);
        return result;
    }
};

// Presses the picker and chooses the entry with this label, as a user would.
void choose(ViewHost &host, QQuickItem *picker, const QString &label)
{
    host.click(picker);
    QTRY_VERIFY(picker->property("popup").value<QObject *>()->property("opened").toBool());
    std::function<QQuickItem *(QQuickItem *)> entryIn = [&](QQuickItem *item) -> QQuickItem * {
        if (item->inherits("QQuickItemDelegate") && ViewHost::shown(item)
            && item->property("modelData").toMap().value(QStringLiteral("text")).toString() == label)
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = entryIn(child))
                return found;
        }
        return nullptr;
    };
    QQuickItem *entry = nullptr;
    QTRY_VERIFY((entry = entryIn(host.window()->contentItem())));
    host.click(entry);
    QTRY_VERIFY(!picker->property("popup").value<QObject *>()->property("visible").toBool());
}

}  // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        SymbolGlyphs::ensureFontLoaded();
    }

    void switchesAreBoundBothWays_data()
    {
        QTest::addColumn<QString>("switchName");
        QTest::addColumn<QString>("storeField");
        QTest::newRow("launch at login") << "launchAtLoginSwitch" << "launchAtLogin";
        QTest::newRow("menu bar extra") << "showInMenuBarSwitch" << "showMenuBarExtra";
        QTest::newRow("beta apps") << "includeBetaSwitch" << "includeBetaApps";
    }

    void switchesAreBoundBothWays()
    {
        QFETCH(QString, switchName);
        QFETCH(QString, storeField);
        Fixture f;
        QQuickItem *toggle = f.host.find(switchName);
        QVERIFY(toggle);
        const QByteArray field = storeField.toUtf8();
        const bool initial = f.store->property(field.constData()).toBool();
        QCOMPARE(toggle->property("checked").toBool(), initial);

        f.host.click(toggle);
        QCOMPARE(f.store->property(field.constData()).toBool(), !initial);
        QCOMPARE(toggle->property("checked").toBool(), !initial);

        // A change made elsewhere shows at once, and the switch still writes after it.
        f.store->setProperty(field.constData(), initial);
        QCOMPARE(toggle->property("checked").toBool(), initial);
        toggle->forceActiveFocus(Qt::TabFocusReason);
        f.host.key(Qt::Key_Space);
        QCOMPARE(f.store->property(field.constData()).toBool(), !initial);
    }

    void betaSwitchHidesBetaAppsFromTheCatalogViews()
    {
        Fixture f;
        QVERIFY(f.store->includeBetaApps());
        QCOMPARE(ManifestPolicy::visibleApps(f.store->manifest(), f.store->includeBetaApps()).size(), 2);
        f.host.click(f.item("includeBetaSwitch"));
        QVERIFY(!f.store->includeBetaApps());
        QCOMPARE(f.store->appCountLabel(), QStringLiteral("1 apps ready"));
    }

    void languageSwitchRedrawsEverythingAndReloadsTheCatalog()
    {
        Fixture f;
        const QStringList english = f.texts();
        QVERIFY(english.contains(QStringLiteral("Launch Vantrel at login")));
        QVERIFY(english.contains(QStringLiteral("Reset onboarding")));
        QCOMPARE(f.item("languagePicker")->property("displayText").toString(), QStringLiteral("EN"));

        // The reload answers with the same catalog in the new language.
        f.h.loader->results.push_back(catalog());
        f.h.loader->gate = std::make_shared<Gate>();
        choose(f.host, f.item("languagePicker"), QStringLiteral("PL"));
        QCOMPARE(f.store->localeCode(), QStringLiteral("pl"));
        QCOMPARE(f.h.loader->locales, QList<VantrelLocale>{VantrelLocale::pl});

        // Every label turned Polish at once, before the reload has answered.
        const QStringList polish = f.texts();
        QCOMPARE(polish.size(), english.size());
        for (const QString &expected :
             {QStringLiteral("Ogólne"), QStringLiteral("Aplikacje"), QStringLiteral("Aktualizacje"),
              QStringLiteral("Zaawansowane"), QStringLiteral("Uruchamiaj Vantrel przy logowaniu"),
              QStringLiteral("Pokaż w pasku menu"), QStringLiteral("Uwzględniaj aplikacje beta"),
              QStringLiteral("Język"), QStringLiteral("Globalny skrót"), QStringLiteral("Gotowość aplikacji"),
              QStringLiteral("Vantrel sprawdza pobrania przed instalacją.")})
            QVERIFY2(polish.contains(expected), qPrintable(expected));
        // Apart from symbols, only the shortcut and the language code read the same.
        QStringList unchanged;
        for (const QString &text : polish) {
            const bool symbol = text == QStringLiteral("▾")
                || (text.size() == 1 && text.at(0).unicode() >= 0xE000 && text.at(0).unicode() <= 0xF8FF);
            if (english.contains(text) && !symbol)
                unchanged.append(text);
        }
        QCOMPARE(unchanged, QStringList{QStringLiteral("⌘K")});
        QCOMPARE(ViewHost::text(f.item("resetOnboardingButton")), QStringLiteral("Resetuj onboarding"));
        QCOMPARE(f.item("languagePicker")->property("displayText").toString(), QStringLiteral("PL"));
        f.h.loader->gate->open();
        QTRY_COMPARE(f.h.loader->results.size(), size_t(0));

        // Choosing the current language again starts no reload.
        f.h.loader->gate.reset();
        choose(f.host, f.item("languagePicker"), QStringLiteral("PL"));
        QCOMPARE(f.h.loader->locales.size(), 1);
        choose(f.host, f.item("languagePicker"), QStringLiteral("DE"));
        QCOMPARE(f.store->localeCode(), QStringLiteral("de"));
        QCOMPARE(f.h.loader->locales.last(), VantrelLocale::de);
        QCOMPARE(ViewHost::text(f.item("preferencesHeading")), QStringLiteral("Allgemein"));
    }

    void languageChangeRedrawsEveryOpenWindow()
    {
        Fixture f;
        f.store->setOnboardingComplete(true);
        // The tray panel and the switcher are open over the same store.
        ViewHost panel;
        panel.load(QStringLiteral("tray/MenuBarLauncherView.qml"),
                   {{QStringLiteral("store"), QVariant::fromValue(f.store.get())}}, QSize(360, 500));
        ViewHost switcher;
        switcher.load(QStringLiteral("switcher/QuickSwitcherView.qml"),
                      {{QStringLiteral("store"), QVariant::fromValue(f.store.get())}, {QStringLiteral("isPresented"), true}});
        QCOMPARE(ViewHost::text(panel.find(QStringLiteral("menuFeedbackButton"))), QStringLiteral("Send feedback"));

        f.h.loader->results.push_back(catalog());
        choose(f.host, f.item("languagePicker"), QStringLiteral("DE"));
        QCOMPARE(ViewHost::text(panel.find(QStringLiteral("menuFeedbackButton"))), QStringLiteral("Feedback senden"));
        QCOMPARE(ViewHost::text(panel.find(QStringLiteral("menuAppCount"))), QStringLiteral("2 Apps bereit"));
        QCOMPARE(ViewHost::text(switcher.find(QStringLiteral("quickResultsHeader"))), QStringLiteral("Apps · 2 Ergebnisse"));
    }

    void resetOnboardingOffersItAgain()
    {
        Fixture f;
        f.store->setOnboardingComplete(true);
        QVERIFY(!f.store->requiresOnboarding());
        f.host.click(f.item("resetOnboardingButton"));
        QVERIFY(!f.store->onboardingComplete());
        QVERIFY(f.store->requiresOnboarding());
    }

    void tabsAreLabelsOnly()
    {
        Fixture f;
        const QStringList before = f.texts();
        QList<QQuickItem *> tabs;
        for (QQuickItem *child : f.item("preferencesTabs")->childItems().first()->childItems())
            tabs.append(child);
        QCOMPARE(tabs.size(), 4);
        QVERIFY(tabs.at(0)->property("active").toBool());
        for (int i = 1; i < 4; ++i) {
            QVERIFY(!tabs.at(i)->property("active").toBool());
            f.host.click(tabs.at(i));
            QVERIFY(tabs.at(0)->property("active").toBool());
            QVERIFY(!tabs.at(i)->property("active").toBool());
        }
        QCOMPARE(f.texts(), before);
        QCOMPARE(f.store->localeCode(), QStringLiteral("en"));
        QVERIFY(f.h.loader->locales.isEmpty());
    }

    void settingsWindowHostsTheViewAtItsHeight()
    {
        StoreHarness h;
        auto store = h.makeStore(catalog());
        ViewHost host;
        auto *window = qobject_cast<QQuickWindow *>(host.load(
            QStringLiteral("windows/SettingsWindow.qml"), {{QStringLiteral("store"), QVariant::fromValue(store.get())}}));
        QVERIFY(window);
        QQuickItem *view = nullptr;
        QTRY_VERIFY((view = host.find(QStringLiteral("preferences"))));
        QCOMPARE(window->width(), 640);
        QTRY_COMPARE(window->height(), qCeil(view->implicitHeight()));
        QVERIFY(view->implicitHeight() > 400);
        QCOMPARE(window->title(), QStringLiteral("Preferences"));
        store->setLocaleCode(QStringLiteral("de"));
        QCOMPARE(window->title(), QStringLiteral("Einstellungen"));
        QCOMPARE(ViewHost::text(host.find(QStringLiteral("preferencesHeading"))), QStringLiteral("Allgemein"));
    }

    void screenshots()
    {
        Fixture f;
        QVERIFY(QFileInfo::exists(f.host.screenshot(QStringLiteral("preferences-en"))));
        f.h.loader->results.push_back(catalog());
        choose(f.host, f.item("languagePicker"), QStringLiteral("PL"));
        QTRY_COMPARE(f.h.loader->results.size(), size_t(0));
        f.host.fitHeight();
        QVERIFY(QFileInfo::exists(f.host.screenshot(QStringLiteral("preferences-pl"))));
    }
};

QTEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
