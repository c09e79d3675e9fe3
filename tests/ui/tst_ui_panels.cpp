// The views outside the main window's shell: the tray panel, the first-run view, the preferences and About.

#include "DataRows.h"
#include "AboutFacts.h"
#include "AppScenes.h"
#include "QmlHarness.h"

namespace {

// The tray panel's view, as tall as its content.
struct PanelFixture : StoreView {
    using StoreView::StoreView;
    void open()
    {
        StoreView::open("tray/MenuBarLauncherView.qml", QSize(360, 640));
        host.fitHeight();
    }
    // Rows on screen top to bottom: id, state label, caption.
    QList<QStringList> rows() const
    {
        QList<QStringList> result;
        for (const QString &id : host.shownNamed("menuRow_")) {
            QQuickItem *row = item("menuRow_" + id);
            result.append({id, ViewHost::childText(row, "menuRowState"), ViewHost::childText(row, "menuRowCaption")});
        }
        return result;
    }
    QString stateOf(const QString &id) const { return ViewHost::childText(item("menuRow_" + id), "menuRowState"); }
};

struct OnboardingFixture : StoreView {
    using StoreView::StoreView;
    void open() { StoreView::open("onboarding/OnboardingView.qml"); }
    QStringList cards() const { return host.shownNamed("onboardingCard_"); }
    QQuickItem *card(const QString &id) const { return item("onboardingCard_" + id); }
    bool marked(const QString &id) const
    {
        const auto marks = card(id)->findChildren<QQuickItem *>("selectionMark");
        return !marks.isEmpty() && marks.first()->property("isSelected").toBool();
    }
    QString selectedCount() const { return ViewHost::text(item("onboardingSelectedCount")); }
    // The cards the grid has made, on screen or not.
    QList<QQuickItem *> madeCards() const
    {
        QList<QQuickItem *> made;
        for (QQuickItem *child : item("onboardingGrid")->property("contentItem").value<QQuickItem *>()->childItems()) {
            if (child->objectName().startsWith("onboardingCard_"))
                made.append(child);
        }
        return made;
    }
    // Some of it inside the grid's clipped area, grown downwards by `below`.
    bool inView(QQuickItem *card, qreal below = 0) const
    {
        if (!card)
            return false;
        QQuickItem *area = item("onboardingGrid")->parentItem();
        const QRectF shown = area->mapRectToScene(area->boundingRect()).adjusted(0, 0, 0, below);
        return shown.intersects(card->mapRectToScene(card->boundingRect()));
    }
    QString focusedCard() const
    {
        const QQuickItem *focused = host.window()->activeFocusItem();
        return focused ? focused->objectName().remove("onboardingCard_") : QString();
    }
};

struct PreferencesFixture : StoreView {
    PreferencesFixture()
    {
        open("preferences/PreferencesView.qml", QSize(640, 560));
        host.fitHeight();
    }
};

}  // namespace

class TestUiPanels : public QObject
{
    Q_OBJECT
    using TrayRowsListRows = DataRows<bool, QList<QStringList>>;  // includeBeta, expected
    using TrayRowClickRows = DataRows<QString, QString, QString>;  // state, label, effect
    using TrayButtonsRows = DataRows<QString, FeedbackSubmissionState, bool>;  // button, previous, opensSheet
    using PreferencesSwitchesAreRows = DataRows<QString, QByteArray>;  // switchName, storeField

private Q_SLOTS:
    void initTestCase() { UiTest::initialise(); }

    void trayRowsListPublishedAppsWithTheirStates_data()
    {
        TrayRowsListRows::columns();
        TrayRowsListRows::row("beta shown", true, QList<QStringList>{{"notes", "Installed 1.0.0", "Ctrl+1"}, {"timer", "Not installed", "Ctrl+2"}, {"shots", "1.0.0 -> 1.1.0", "Ctrl+3"}, {"cafe", "Not installed", "Ctrl+4"}});
        TrayRowsListRows::row("beta hidden", false, QList<QStringList>{{"notes", "Installed 1.0.0", "Ctrl+1"}, {"shots", "1.0.0 -> 1.1.0", "Ctrl+2"}, {"cafe", "Not installed", "Ctrl+3"}});
    }

    void trayRowsListPublishedAppsWithTheirStates()
    {
        const auto [includeBeta, expected] = TrayRowsListRows::fetch();
        PanelFixture f;
        f.reach("notes", "installed");
        f.reach("shots", "updateAvailable");
        f.store->setIncludeBetaApps(includeBeta);
        f.open();
        QTRY_COMPARE(f.rows(), expected);
        QCOMPARE(ViewHost::text(f.item("menuAppCount")), QStringLiteral("%1 apps ready").arg(includeBeta ? 6 : 5));
        QVERIFY(!ViewHost::shown(f.item("menuEmpty")));
        // The beta preference changes the open panel at once.
        f.store->setIncludeBetaApps(!includeBeta);
        QTRY_COMPARE(f.rows().size(), includeBeta ? 3 : 4);
    }

    // A row click selects the app and opens or installs it; it never brings up the main window.
    void trayRowClick_data()
    {
        TrayRowClickRows::columns();
        TrayRowClickRows::row("installed", "installed", "Installed 1.0.0", "opens");
        TrayRowClickRows::row("update available is opened, not updated", "updateAvailable", "1.0.0 -> 1.1.0", "opens");
        TrayRowClickRows::row("failed installs again", "failed", "Failed", "installs");
    }

    void trayRowClick()
    {
        const auto [state, label, effect] = TrayRowClickRows::fetch();
        PanelFixture f;
        f.reach("notes", state);
        f.open();
        QTRY_COMPARE(f.stateOf("notes"), label);
        QSignalSpy mainWindow(AppScenes::instance(), &AppScenes::mainWindowRequested);
        f.store->setSelectedAppIDValue("timer");
        const QStringList calls = f.h.installer->calls;
        f.host.click(f.item("menuRow_notes"));
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("notes"));
        const QUrl bundle = QUrl::fromLocalFile(f.h.dir.filePath("Applications/notes.app"));
        QCOMPARE(f.h.workspace->opened, effect == QLatin1String("opens") ? QList<QUrl>{bundle} : QList<QUrl>{});
        QCOMPARE(f.h.installer->calls, effect == QLatin1String("installs") ? calls + QStringList{"notes"} : calls);
        if (effect != QLatin1String("opens"))
            QTRY_COMPARE(f.stateOf("notes"), QStringLiteral("Installed 1.0.0"));
        QCOMPARE(mainWindow.count(), 0);
    }

    void trayButtons_data()
    {
        TrayButtonsRows::columns();
        TrayButtonsRows::row("feedback after a failure", "menuFeedbackButton", FeedbackSubmissionState::failed("down"), true);
        TrayButtonsRows::row("header", "menuHeaderOpen", FeedbackSubmissionState::idle(), false);
        TrayButtonsRows::row("open button", "menuOpenButton", FeedbackSubmissionState::idle(), false);
    }

    void trayButtons()
    {
        const auto [button, previous, opensSheet] = TrayButtonsRows::fetch();
        PanelFixture f;
        f.open();
        f.store->setFeedbackState(previous);
        QSignalSpy mainWindow(AppScenes::instance(), &AppScenes::mainWindowRequested);
        f.host.click(f.item(button));
        // Every button brings up the main window; feedback opens a clean sheet in it.
        QCOMPARE(mainWindow.count(), 1);
        QCOMPARE(f.store->showingFeedbackSheet(), opensSheet);
        QCOMPARE(f.store->feedbackState(), FeedbackSubmissionState::idle());
        QVERIFY(f.h.installer->calls.isEmpty());
    }

    // Escape hides the pop-up; Ctrl+N runs row N's app (none past the last), Ctrl+Q and the Quit row ask to quit.
    void trayPanelKeys()
    {
        StoreView f;
        auto *panel = qobject_cast<QQuickWindow *>(f.open("windows/MenuBarPanel.qml"));
        QTRY_VERIFY(f.item("menuBarLauncher"));
        QCOMPARE(ViewHost::childText(f.item("menuRow_shots"), "menuRowCaption"), QStringLiteral("Ctrl+3"));
        f.host.key(Qt::Key_2, Qt::ControlModifier);
        f.host.key(Qt::Key_9, Qt::ControlModifier);
        QCOMPARE(f.h.installer->calls, QStringList{"timer"});
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("timer"));
        QSignalSpy quit(AppScenes::instance(), &AppScenes::quitRequested);
        f.host.key(Qt::Key_Q, Qt::ControlModifier);
        f.host.click(f.item("menuQuitButton"));
        QCOMPARE(quit.count(), 2);
        f.host.key(Qt::Key_Escape);
        QTRY_VERIFY(!panel->isVisible());
    }

    // Each tab shows its page: Updates checks the catalog and says when; the shortcut row says where Ctrl+K works.
    void preferencesTabsAndShortcutScope()
    {
        StoreView f;
        f.open("preferences/PreferencesView.qml", QSize(640, 560));
        QCOMPARE(ViewHost::text(f.item("shortcutScope")), QStringLiteral("Works inside the launcher"));
        AppScenes::instance()->setGlobalShortcutActive(true);
        QCOMPARE(ViewHost::text(f.item("shortcutScope")), QStringLiteral("Anywhere on the desktop"));
        AppScenes::instance()->setGlobalShortcutActive(false);
        QVERIFY(!ViewHost::shown(f.item("preferencesUpdatesPage")));
        f.host.click(f.item("preferencesTab_updates"));
        QTRY_VERIFY(ViewHost::shown(f.item("preferencesUpdatesPage")));
        QVERIFY(!ViewHost::shown(f.item("includeBetaSwitch")));
        QVERIFY(f.host.shownTexts().contains(QStringLiteral("Not checked yet")));
        f.host.click(f.item("preferencesCheckForUpdates"));
        QTRY_VERIFY(f.store->lastCatalogCheck().isValid());
        QTRY_VERIFY(!f.host.shownTexts().filter(QRegularExpression("^Last checked \\d")).isEmpty());
        f.host.click(f.item("preferencesTab_general"));
        QTRY_VERIFY(ViewHost::shown(f.item("includeBetaSwitch")));
    }

    // Escape and Ctrl+W close the preferences window; with the language list open, Escape closes the list first.
    void preferencesCloseOnEscapeAndCtrlW_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier);
    }

    void preferencesCloseOnEscapeAndCtrlW()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        StoreView f;
        auto *window = qobject_cast<QQuickWindow *>(f.open("windows/SettingsWindow.qml"));
        QVERIFY(window);
        QQuickItem *picker = nullptr;
        QTRY_VERIFY((picker = f.host.findShown("languagePicker")));
        QVERIFY(QTest::qWaitForWindowActive(window));
        if (key == Qt::Key_Escape) {
            f.host.click(picker);
            QTRY_VERIFY(picker->property("popup").value<QObject *>()->property("opened").toBool());
            f.host.key(key);
            QTRY_VERIFY(!picker->property("popup").value<QObject *>()->property("visible").toBool());
            QVERIFY(window->isVisible());
        }
        f.host.key(key, Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(!window->isVisible());
    }

    // About states the version, the copyright and licence as the package's copyright file does and the catalog URL in
    // use; its feedback button opens the main window's sheet on a fresh form. Preferences leads there.
    void aboutWindow()
    {
        const QString catalog = QStringLiteral("https://catalog.vantrel.example/api/launcher/manifest");
        AboutFacts::instance()->setCatalogUrl(catalog);
        StoreView f;
        f.store->setFeedbackState(FeedbackSubmissionState::failed(QStringLiteral("busy")));
        auto *window = qobject_cast<QQuickWindow *>(f.open("windows/AboutWindow.qml"));
        QVERIFY(window);
        QTRY_VERIFY(f.item("aboutView"));
        QCOMPARE(window->title(), QStringLiteral("About Vantrel"));
        QCOMPARE(ViewHost::text(f.item("aboutVersion")), QStringLiteral("Version " VANTREL_VERSION));
        QFile copyright(qEnvironmentVariable("VANTREL_SOURCE_DIR") + QStringLiteral("/packaging/copyright"));
        QVERIFY(copyright.open(QIODevice::ReadOnly));
        const QString stated = QString::fromUtf8(copyright.readAll());
        const auto value = [&f](const char *row) { return ViewHost::childText(f.item(row), "detailRowValue"); };
        QVERIFY2(stated.contains(QStringLiteral("Copyright: ") + value("aboutCopyright") + QLatin1Char('\n')), qPrintable(value("aboutCopyright")));
        const QString licence = value("aboutLicence");
        QVERIFY2(stated.contains(QStringLiteral("License: ") + licence.section(QLatin1Char(':'), 0, 0) + QLatin1Char('\n'))
                     && stated.contains(licence.section(QLatin1String(": "), 1).trimmed()), qPrintable(licence));
        QCOMPARE(value("aboutCatalog"), catalog);

        QSignalSpy mainWindow(AppScenes::instance(), &AppScenes::mainWindowRequested);
        f.host.click(f.item("aboutFeedbackButton"));
        QCOMPARE(mainWindow.count(), 1);
        QVERIFY(f.store->showingFeedbackSheet());
        QCOMPARE(f.store->feedbackState(), FeedbackSubmissionState::idle());
        QTRY_VERIFY(!window->isVisible());

        StoreView preferences;
        preferences.open("preferences/PreferencesView.qml", QSize(640, 560));
        QSignalSpy about(AppScenes::instance(), &AppScenes::aboutWindowRequested);
        preferences.host.click(preferences.item("preferencesAboutButton"));
        QCOMPARE(about.count(), 1);
    }

    void trayPanelWindowFitsItsContent()
    {
        StoreView f(TestCatalog::manifest({TestCatalog::app("soon", AppReleaseStatus::comingSoon)}));
        auto *panel = qobject_cast<QQuickWindow *>(f.open("windows/MenuBarPanel.qml"));
        QVERIFY(panel);
        QQuickItem *view = nullptr;
        QTRY_VERIFY((view = f.item("menuBarLauncher")));
        // Without published apps: the empty line, the status row and both buttons.
        QVERIFY(f.host.shownNamed("menuRow_").isEmpty());
        QCOMPARE(ViewHost::text(f.item("menuEmpty")), QStringLiteral("No apps are available yet"));
        for (const char *name : {"menuEmpty", "menuStatusRow", "menuFeedbackButton", "menuOpenButton"})
            QVERIFY2(ViewHost::shown(f.item(name)), name);
        QCOMPARE(f.item("menuOpenButton")->property("hint").toString(), QStringLiteral("Ctrl+Shift+T"));

        // As tall as its content, also once apps arrive: the last button ends inside it.
        QVERIFY(f.h.refresh(*f.store, UiTest::sampleCatalog()));
        QTRY_COMPARE(f.host.shownNamed("menuRow_").size(), 4);
        QTRY_COMPARE(panel->height(), qCeil(view->implicitHeight()));
        QQuickItem *quit = f.item("menuQuitButton");
        QCOMPARE(quit->mapToScene(QPointF(0, quit->height())).y() + 10, view->implicitHeight());
        // The header's button sits at the trailing edge, after flexible space.
        QQuickItem *header = f.item("menuHeaderOpen");
        QCOMPARE(header->mapToScene(QPointF(header->width(), 0)).x() + 14, qreal(panel->width()));
    }

    void onboardingCardsCountsAndTicking()
    {
        OnboardingFixture f;
        f.open();
        // Every app of the first catalog starts ticked, unpublished ones too.
        QTRY_COMPARE(f.cards(), (QStringList{"notes", "timer", "shots", "cafe"}));
        QCOMPARE(ViewHost::text(f.item("onboardingStatus")), QStringLiteral("4 apps ready to install"));
        QCOMPARE(f.selectedCount(), QStringLiteral("7 apps selected"));
        QVERIFY(f.marked("notes") && f.marked("timer"));

        f.host.click(f.card("timer"));
        QVERIFY(!f.store->selectedStarterAppIDs().contains("timer"));
        QVERIFY(!f.marked("timer") && f.marked("notes"));
        f.host.click(f.card("timer"));
        QVERIFY(f.marked("timer"));

        // Hiding beta apps while the view is shown drops the card and the count.
        f.store->setIncludeBetaApps(false);
        QTRY_COMPARE(f.cards(), (QStringList{"notes", "shots", "cafe"}));
        QCOMPARE(ViewHost::text(f.item("onboardingStatus")), QStringLiteral("3 apps ready to install"));
    }

    // The first frame holds only the cards in view (and what of the next row Qt's grid makes ahead); Tab reaches
    // every card all the same, each made and scrolled to as it comes, and leaves the grid for Continue after the last.
    void onboardingMakesCardsAsTheyComeIntoView()
    {
        QList<AppManifestItem> apps;
        QStringList ids;
        for (int i = 0; i < 24; ++i) {
            ids.append(QStringLiteral("app%1").arg(i, 2, 10, QLatin1Char('0')));
            apps.append(TestCatalog::app(ids.last()));
        }
        OnboardingFixture f(TestCatalog::manifest(apps));
        f.open();
        f.host.waitForFrame();
        const QList<QQuickItem *> made = f.madeCards();
        QVERIFY(!made.isEmpty());
        QVERIFY2(made.size() < ids.size(), qPrintable(QString::number(made.size())));
        const qreal row = f.item("onboardingGrid")->property("cellHeight").toReal();
        for (QQuickItem *card : made)
            QVERIFY2(f.inView(card, row), qPrintable(card->objectName()));

        f.card("app00")->forceActiveFocus(Qt::TabFocusReason);
        QStringList forth{f.focusedCard()};
        for (int i = 1; i < ids.size(); ++i) {
            f.host.key(Qt::Key_Tab);
            forth.append(f.focusedCard());
            QVERIFY2(f.inView(f.card(forth.last())), qPrintable(forth.last()));
        }
        QCOMPARE(forth, ids);
        f.host.key(Qt::Key_Tab);
        QCOMPARE(f.focusedCard(), QStringLiteral("onboardingContinue"));
        f.card("app23")->forceActiveFocus(Qt::TabFocusReason);
        QStringList back{f.focusedCard()};
        for (int i = 1; i < ids.size(); ++i) {
            f.host.key(Qt::Key_Backtab, Qt::ShiftModifier);
            back.prepend(f.focusedCard());
            QVERIFY2(f.inView(f.card(back.first())), qPrintable(back.first()));
        }
        QCOMPARE(back, ids);
    }

    void onboardingContinueRule()
    {
        {
            OnboardingFixture f(TestCatalog::manifest({TestCatalog::app("alpha"), TestCatalog::app("bravo")}));
            f.open();
            QQuickItem *next = f.item("onboardingContinue");
            f.host.click(f.card("alpha"));
            QVERIFY(next->isEnabled());
            // One ticked starter, in each language's singular.
            for (const auto &[code, text] : {std::pair{"pl", "1 wybrana"}, {"de", "1 App ausgewählt"}, {"en", "1 app selected"}}) {
                f.store->setLocaleCode(code);
                QCOMPARE(f.selectedCount(), QString::fromUtf8(text));
            }
            f.host.click(f.card("bravo"));
            QVERIFY(!next->isEnabled());
            QCOMPARE(f.selectedCount(), QStringLiteral("0 apps selected"));
            f.host.click(next);  // a disabled continue does nothing
            QVERIFY(!f.store->onboardingComplete());
            f.host.click(f.card("bravo"));
            QVERIFY(next->isEnabled());
            // Continue installs the ticked apps; which ones the store decides.
            f.host.click(next);
            QVERIFY(f.store->onboardingComplete());
            QCOMPARE(f.h.installer->calls, QStringList{"bravo"});
        }
        {
            // Ticked ids, but nothing published: the grid is empty and continue is off.
            OnboardingFixture f(TestCatalog::manifest({TestCatalog::app("soon", AppReleaseStatus::comingSoon)}));
            f.open();
            QVERIFY(f.cards().isEmpty());
            QVERIFY(!f.item("onboardingContinue")->isEnabled());
        }
    }

    void preferencesSwitchesAreBoundBothWays_data()
    {
        PreferencesSwitchesAreRows::columns();
        PreferencesSwitchesAreRows::row("launch at login", "launchAtLoginSwitch", QByteArray("launchAtLogin"));
        PreferencesSwitchesAreRows::row("menu bar extra", "showInMenuBarSwitch", QByteArray("showMenuBarExtra"));
        PreferencesSwitchesAreRows::row("beta apps", "includeBetaSwitch", QByteArray("includeBetaApps"));
    }

    void preferencesSwitchesAreBoundBothWays()
    {
        const auto [switchName, storeField] = PreferencesSwitchesAreRows::fetch();
        PreferencesFixture f;
        QQuickItem *toggle = f.item(switchName);
        const bool initial = f.store->property(storeField.constData()).toBool();
        QCOMPARE(toggle->property("checked").toBool(), initial);
        f.host.click(toggle);
        QCOMPARE(f.store->property(storeField.constData()).toBool(), !initial);
        // A change made elsewhere shows at once, and the switch still writes after it.
        f.store->setProperty(storeField.constData(), initial);
        QCOMPARE(toggle->property("checked").toBool(), initial);
        toggle->forceActiveFocus(Qt::TabFocusReason);
        f.host.key(Qt::Key_Space);
        QCOMPARE(f.store->property(storeField.constData()).toBool(), !initial);
    }

    // Preferences, tray panel, switcher, first-run view and library open over one store: a language change redraws all.
    void preferencesLanguageRedrawsEveryOpenWindowAndReloads()
    {
        PreferencesFixture f;
        ViewHost panel, switcher, onboarding, library;
        const QVariant store = QVariant::fromValue(f.store.get());
        panel.load("tray/MenuBarLauncherView.qml", {{"store", store}}, QSize(360, 500));
        switcher.load("switcher/QuickSwitcherView.qml", {{"store", store}, {"isPresented", true}});
        onboarding.load("onboarding/OnboardingView.qml", {{"store", store}});
        library.load("shell/LauncherShellView.qml", {{"store", store}});
        const auto libraryTexts = [&] {
            return QStringList{ViewHost::text(library.findShown("headerSubtitle")), ViewHost::childText(library.find("tile_notes"), "tileStatusText"),
                               ViewHost::text(library.findShown("actionStateLabel")), ViewHost::text(panel.find("menuAppCount"))};
        };
        QCOMPARE(libraryTexts(), (QStringList{"4 apps are ready to install.", "Not installed", "Not installed", "6 apps ready"}));
        // A failed refresh's error line, shown over a catalog fetched two hours ago, follows the language too.
        f.store->applyManifest(f.store->manifest(), QDateTime::currentDateTimeUtc().addSecs(-7500));
        QVERIFY(f.h.refresh(*f.store, QStringLiteral("offline")));
        f.h.loader->locales.clear();
        const auto errorLine = [&] { return f.store->errorMessage().value_or(QString()); };
        QCOMPARE(errorLine(), QStringLiteral("Could not refresh apps. Showing the catalog fetched 2 h ago."));
        const QStringList english = f.host.shownTexts();
        QVERIFY(english.contains("Launch Vantrel at login"));
        QQuickItem *picker = f.item("languagePicker");
        QCOMPARE(picker->property("displayText").toString(), QStringLiteral("English"));

        f.h.loader->gate = std::make_shared<Gate>();
        f.host.choose(picker, "Polski");
        QCOMPARE(f.store->localeCode(), QStringLiteral("pl"));
        QCOMPARE(f.h.loader->locales, QList<VantrelLocale>{VantrelLocale::pl});
        // Every label turned Polish at once, before the reload has answered.
        const QStringList polish = f.host.shownTexts();
        QCOMPARE(polish.size(), english.size());
        QVERIFY(polish.contains(QStringLiteral("Uruchamiaj Vantrel przy logowaniu")));
        QCOMPARE(errorLine(), QStringLiteral("Nie udało się odświeżyć aplikacji. Pokazuję katalog pobrany 2 godz. temu."));
        // Apart from symbols, only the shortcut reads the same.
        QStringList unchanged;
        for (const QString &text : polish) {
            const bool symbol = text == QStringLiteral("▾") || (text.size() == 1 && text.at(0).unicode() >= 0xE000 && text.at(0).unicode() <= 0xF8FF);
            if (english.contains(text) && !symbol)
                unchanged.append(text);
        }
        QCOMPARE(unchanged, QStringList{"Ctrl+K"});
        f.h.loader->gate->open();

        // Choosing the current language again starts no reload.
        f.h.loader->gate.reset();
        f.host.choose(picker, "Polski");
        QCOMPARE(f.h.loader->locales.size(), 1);
        f.host.choose(picker, "Deutsch");
        QCOMPARE(f.h.loader->locales.last(), VantrelLocale::de);
        QCOMPARE(ViewHost::childText(panel.find("menuRow_notes"), "menuRowState"), QStringLiteral("Nicht installiert"));
        QCOMPARE(ViewHost::childText(switcher.find("quickRow_notes"), "quickRowHint"), QStringLiteral("Installieren"));
        QCOMPARE(ViewHost::text(onboarding.find("onboardingWelcome")), QStringLiteral("Willkommen bei Vantrel."));
        QCOMPARE(libraryTexts(), (QStringList{"4 Apps sind bereit zur Installation.", "Nicht installiert", "Nicht installiert", "6 Apps bereit"}));
        QCOMPARE(errorLine(), QStringLiteral("Apps konnten nicht aktualisiert werden. Zeige den vor 2 Std. geladenen Katalog."));
        // Keys by the names German keyboards give them, in the preferences and on the tray panel.
        QVERIFY(f.host.shownTexts().contains(QStringLiteral("Strg+K")));
        QCOMPARE(panel.find("menuOpenButton")->property("hint").toString(), QStringLiteral("Strg+Umschalt+T"));
        f.host.choose(picker, "English");
        QCOMPARE(f.host.shownTexts(), english);
        QCOMPARE(libraryTexts(), (QStringList{"4 apps are ready to install.", "Not installed", "Not installed", "6 apps ready"}));
    }

};

QTEST_MAIN(TestUiPanels)
#include "tst_ui_panels.moc"
