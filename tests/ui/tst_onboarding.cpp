// The first-run view offscreen over a store with substitute collaborators:
// cards and counts, ticking, the continue button's disabled rule, and which
// installs continue starts.

#include "ViewHost.h"
#include "SymbolGlyphs.h"

#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace {

AppManifestItem app(const QString &id, const QString &name, const QString &category,
                    AppReleaseStatus status = AppReleaseStatus::live, AppAccent accent = AppAccent::lime)
{
    AppManifestItem a = makeApp(id, status);
    a.name = name;
    a.category = category;
    a.accent = accent;
    return a;
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
        view = host.load(QStringLiteral("onboarding/OnboardingView.qml"),
                         {{QStringLiteral("store"), QVariant::fromValue(store.get())}});
    }
    QStringList cards() const
    {
        QList<QPair<QPointF, QString>> found;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (item->objectName().startsWith(QLatin1String("onboardingCard_")) && ViewHost::shown(item))
                found.append({item->mapToScene(QPointF()), item->objectName().mid(15)});
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(host.window()->contentItem());
        std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
            return a.first.y() != b.first.y() ? a.first.y() < b.first.y() : a.first.x() < b.first.x();
        });
        QStringList ids;
        for (const auto &pair : found)
            ids.append(pair.second);
        return ids;
    }
    QQuickItem *card(const QString &id) const { return host.find(QStringLiteral("onboardingCard_") + id); }
    bool marked(const QString &id) const
    {
        const auto marks = card(id)->findChildren<QQuickItem *>(QStringLiteral("selectionMark"));
        return !marks.isEmpty() && marks.first()->property("isSelected").toBool();
    }
    QQuickItem *continueButton() const { return host.find(QStringLiteral("onboardingContinue")); }
    QString textOf(const char *name) const { return ViewHost::text(host.find(QLatin1String(name))); }
};

}  // namespace

class TestOnboarding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        SymbolGlyphs::ensureFontLoaded();
    }

    void cardsCountsAndTicking()
    {
        Fixture f;
        // Every app of the construction manifest starts ticked, the coming-soon one too.
        f.open(makeManifest({app("alpha", "Inkwell", "Notes"), app("bravo", "Clipstack", "Utilities", AppReleaseStatus::beta),
                             app("soon", "Later", "Notes", AppReleaseStatus::comingSoon),
                             app("charlie", "Timekeep", "Time")}));
        QTRY_COMPARE(f.cards(), (QStringList{"alpha", "bravo", "charlie"}));
        QCOMPARE(f.textOf("onboardingStatus"), QStringLiteral("3 apps ready to install"));
        QCOMPARE(f.textOf("onboardingSelectedCount"), QStringLiteral("4 apps selected"));
        QVERIFY(f.marked("alpha") && f.marked("bravo") && f.marked("charlie"));
        QCOMPARE(f.textOf("onboardingBadge"), QStringLiteral("Step 2 of 4"));

        f.host.click(f.card("bravo"));
        QVERIFY(!f.store->selectedStarterAppIDs().contains("bravo"));
        QVERIFY(!f.marked("bravo"));
        QVERIFY(f.marked("alpha"));
        QCOMPARE(f.textOf("onboardingSelectedCount"), QStringLiteral("3 apps selected"));
        f.host.click(f.card("bravo"));
        QVERIFY(f.marked("bravo"));
        QCOMPARE(f.textOf("onboardingSelectedCount"), QStringLiteral("4 apps selected"));

        // Hiding beta apps while the view is shown drops the card and the count.
        f.store->setIncludeBetaApps(false);
        QTRY_COMPARE(f.cards(), (QStringList{"alpha", "charlie"}));
        QCOMPARE(f.textOf("onboardingStatus"), QStringLiteral("2 apps ready to install"));
        QCOMPARE(f.textOf("onboardingSelectedCount"), QStringLiteral("4 apps selected"));
    }

    void cardsTickFromTheKeyboard()
    {
        Fixture f;
        f.open(makeManifest({app("alpha", "Inkwell", "Notes"), app("charlie", "Timekeep", "Time")}));
        QQuickItem *card = f.card("charlie");
        QVERIFY(card);
        card->forceActiveFocus(Qt::TabFocusReason);
        f.host.key(Qt::Key_Space);
        QVERIFY(!f.store->selectedStarterAppIDs().contains("charlie"));
        f.host.key(Qt::Key_Return);
        QVERIFY(f.store->selectedStarterAppIDs().contains("charlie"));
    }

    void continueIsDisabledWithoutSelectionOrPublishedApps()
    {
        {
            Fixture f;
            f.open(makeManifest({app("alpha", "Inkwell", "Notes"), app("charlie", "Timekeep", "Time")}));
            QVERIFY(f.continueButton()->isEnabled());
            f.host.click(f.card("alpha"));
            QVERIFY(f.continueButton()->isEnabled());
            f.host.click(f.card("charlie"));
            QVERIFY(!f.continueButton()->isEnabled());
            QCOMPARE(f.textOf("onboardingSelectedCount"), QStringLiteral("0 apps selected"));
            // A disabled continue does nothing when clicked.
            f.host.click(f.continueButton());
            QVERIFY(!f.store->onboardingComplete());
            f.host.click(f.card("charlie"));
            QVERIFY(f.continueButton()->isEnabled());
        }
        {
            // Ticked ids, but nothing published: the grid is empty and continue is off.
            Fixture f;
            f.open(makeManifest({app("soon", "Later", "Notes", AppReleaseStatus::comingSoon)}));
            QCOMPARE(f.store->selectedStarterAppIDs().size(), 1);
            QVERIFY(f.cards().isEmpty());
            QCOMPARE(f.textOf("onboardingStatus"), QStringLiteral("0 apps ready to install"));
            QVERIFY(!f.continueButton()->isEnabled());
        }
    }

    void continueInstallsOnlyInstallableTickedApps()
    {
        Fixture f;
        const QString bundle = f.h.makeBundle(QStringLiteral("Inkwell"));
        f.h.record({{QStringLiteral("alpha"), QStringLiteral("1.0.0")}}, {{QStringLiteral("alpha"), bundle}});
        AppManifestItem tooNew = app("golf", "Future", "Time");
        tooNew.minMacOS = QStringLiteral("99.0");
        const LauncherManifest manifest = makeManifest({
            app("alpha", "Inkwell", "Notes"),                                // installed already
            app("bravo", "Clipstack", "Utilities", AppReleaseStatus::beta),  // hidden below
            app("charlie", "Timekeep", "Time"),                              // installs
            app("soon", "Later", "Notes", AppReleaseStatus::comingSoon),     // not published
            app("echo", "Echo", "Sound"),                                    // unticked below
            tooNew,                                                          // needs a newer system
        });
        f.store = f.h.makeStore(manifest);
        f.store->setIncludeBetaApps(false);
        f.open(manifest);
        f.host.click(f.card("echo"));
        QVERIFY(!f.store->selectedStarterAppIDs().contains("echo"));

        f.host.click(f.continueButton());
        QVERIFY(f.store->onboardingComplete());
        QVERIFY(!f.store->requiresOnboarding());
        QCOMPARE(f.h.installer->calls, QStringList{QStringLiteral("charlie")});
        QVERIFY(!f.store->errorMessage().has_value());
        QTRY_COMPARE(f.store->stateFor("charlie").kindName(), QStringLiteral("installed"));
    }

    void textsFollowTheLanguage()
    {
        Fixture f;
        f.open(makeManifest({app("alpha", "Inkwell", "Notes")}));
        f.store->setLocaleCode(QStringLiteral("de"));
        QCOMPARE(f.textOf("onboardingWelcome"), QStringLiteral("Willkommen bei Vantrel."));
        QCOMPARE(f.textOf("onboardingSelectedCount"), QStringLiteral("1 Apps ausgewählt"));
        QCOMPARE(ViewHost::text(f.continueButton()), QStringLiteral("Weiter"));
    }

    void screenshot()
    {
        Fixture f;
        AppManifestItem inkwell = app("alpha", "Inkwell", "Notes", AppReleaseStatus::live, AppAccent::lime);
        inkwell.symbolName = QStringLiteral("note.text");
        AppManifestItem clip = app("bravo", "Clipstack", "Utilities", AppReleaseStatus::beta, AppAccent::violet);
        clip.symbolName = QStringLiteral("clipboard");
        AppManifestItem time = app("charlie", "Timekeep", "Time", AppReleaseStatus::live, AppAccent::amber);
        time.symbolName = QStringLiteral("timer");
        AppManifestItem wave = app("delta", "Wavelet", "Audio", AppReleaseStatus::live, AppAccent::blue);
        wave.symbolName = QStringLiteral("waveform");
        AppManifestItem palette = app("echo", "Swatchbook", "Design", AppReleaseStatus::live, AppAccent::cyan);
        palette.symbolName = QStringLiteral("paintpalette");
        const LauncherManifest manifest = makeManifest({inkwell, clip, time, wave, palette});
        f.open(manifest);
        f.host.click(f.card("charlie"));
        QTRY_COMPARE(f.cards().size(), 5);
        QVERIFY(QFileInfo::exists(f.host.screenshot(QStringLiteral("onboarding"))));
    }
};

QTEST_MAIN(TestOnboarding)
#include "tst_onboarding.moc"
