// The announcement popup in the main window's sheet, offscreen over a store
// with substitute collaborators: icon or brand mark, the open button's rule,
// the queue through both buttons and through closing the sheet otherwise,
// and the seen set surviving a restart.

#include "ViewHost.h"
#include "SymbolGlyphs.h"

#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace {

LauncherManifest catalog(QList<LauncherAnnouncement> announcements)
{
    AppManifestItem alpha = makeApp(QStringLiteral("alpha"));
    alpha.name = QStringLiteral("Inkwell");
    alpha.accent = AppAccent::lime;
    alpha.symbolName = QStringLiteral("note.text");
    AppManifestItem bravo = makeApp(QStringLiteral("bravo"), AppReleaseStatus::beta);
    bravo.name = QStringLiteral("Clipstack");
    bravo.accent = AppAccent::violet;
    AppManifestItem charlie = makeApp(QStringLiteral("charlie"));
    charlie.name = QStringLiteral("Timekeep");
    return makeManifest({alpha, bravo, charlie}, std::move(announcements));
}

LauncherAnnouncement announcement(const QString &id, const QString &appId, std::optional<QString> version)
{
    LauncherAnnouncement a = makeAnnouncement(id, appId);
    a.version = std::move(version);
    return a;
}

LauncherManifest twoAnnouncements()
{
    LauncherAnnouncement first = announcement(QStringLiteral("a1"), QStringLiteral("alpha"), QStringLiteral("1.2.0"));
    first.title = QStringLiteral("Inkwell 1.2 is here");
    first.body = QStringLiteral("Folders, quick capture from the tray and a calmer editor.");
    LauncherAnnouncement second = announcement(QStringLiteral("a2"), QStringLiteral("bravo"), std::nullopt);
    second.title = QStringLiteral("Meet Clipstack");
    second.body = QStringLiteral("A clipboard history that stays on this computer.");
    return catalog({first, second});
}

struct Fixture {
    StoreHarness h;
    std::unique_ptr<LauncherStore> store;
    std::unique_ptr<ViewHost> host;
    QObject *root = nullptr;

    void open(const LauncherManifest &manifest, const std::function<void(LauncherStore &)> &prepare = {})
    {
        host.reset();
        store = h.makeStore(manifest);
        store->setOnboardingComplete(true);
        if (prepare)
            prepare(*store);
        host = std::make_unique<ViewHost>();
        root = host->load(QStringLiteral("shell/RootView.qml"),
                          {{QStringLiteral("store"), QVariant::fromValue(store.get())}});
    }
    QQuickItem *item(const char *name) const { return host->find(QLatin1String(name)); }
    // The popup on screen for this announcement id, once its sheet is open.
    QQuickItem *popupFor(const QString &id) const
    {
        QQuickItem *popup = item("announcementPopup");
        if (!popup || !ViewHost::shown(popup))
            return nullptr;
        const QVariant shown = popup->property("announcement");
        return shown.value<LauncherAnnouncement>().id == id ? popup : nullptr;
    }
    bool sheetOpen() const
    {
        QObject *sheet = root->property("announcementSheet").value<QObject *>();
        return sheet && sheet->property("visible").toBool();
    }
    QStringList persistedSeen() const
    {
        return h.openDefaults()->object(LauncherStore::seenAnnouncementIDsKey).toStringList();
    }
};

}  // namespace

class TestAnnouncementPopup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        SymbolGlyphs::ensureFontLoaded();
    }

    void showsTheAppIconTitleBodyAndVersion()
    {
        Fixture f;
        f.open(twoAnnouncements());
        QTRY_VERIFY(f.popupFor(QStringLiteral("a1")));
        QVERIFY(ViewHost::shown(f.item("announcementIcon")));
        QVERIFY(!ViewHost::shown(f.item("announcementLogo")));
        QCOMPARE(ViewHost::text(f.item("announcementTitle")), QStringLiteral("Inkwell 1.2 is here"));
        QCOMPARE(ViewHost::text(f.item("announcementBody")),
                 QStringLiteral("Folders, quick capture from the tray and a calmer editor."));
        QVERIFY(ViewHost::shown(f.item("announcementVersion")));
        QCOMPARE(ViewHost::text(f.item("announcementVersion")), QStringLiteral("1.2.0"));
        QVERIFY(f.item("announcementOpenButton")->isEnabled());
        QCOMPARE(ViewHost::text(f.item("announcementOpenButton")), QStringLiteral("View app"));
        QCOMPARE(ViewHost::text(f.item("announcementDismissButton")), QStringLiteral("Not now"));
        QCOMPARE(f.item("announcementPopup")->width(), 430.0);
    }

    void hiddenAppShowsTheBrandMarkAndCanOnlyBeDismissed()
    {
        Fixture f;
        f.open(twoAnnouncements(), [](LauncherStore &store) {
            store.setIncludeBetaApps(false);
            store.acknowledgePendingAnnouncement();  // a1 seen: a2 (a beta app) is next
        });
        QTRY_VERIFY(f.popupFor(QStringLiteral("a2")));
        QVERIFY(ViewHost::shown(f.item("announcementLogo")));
        QVERIFY(!ViewHost::shown(f.item("announcementIcon")));
        QVERIFY(!f.item("announcementOpenButton")->isEnabled());
        // Without a version there is no version text.
        QVERIFY(!ViewHost::shown(f.item("announcementVersion")));

        const QString selectedBefore = f.store->selectedAppIDValue();
        f.host->click(f.item("announcementOpenButton"));
        QCOMPARE(f.store->pendingAnnouncement()->id, QStringLiteral("a2"));
        QCOMPARE(f.store->selectedAppIDValue(), selectedBefore);

        f.host->click(f.item("announcementDismissButton"));
        QVERIFY(!f.store->pendingAnnouncement().has_value());
        QCOMPARE(f.persistedSeen(), (QStringList{"a1", "a2"}));
        QTRY_VERIFY(!f.sheetOpen());

        // Turning beta apps on brings the icon back for the same announcement.
        Fixture g;
        g.open(twoAnnouncements(), [](LauncherStore &store) { store.acknowledgePendingAnnouncement(); });
        QTRY_VERIFY(g.popupFor(QStringLiteral("a2")));
        QVERIFY(ViewHost::shown(g.item("announcementIcon")));
        QVERIFY(g.item("announcementOpenButton")->isEnabled());
    }

    void dismissShowsTheNextThenNothingAlsoAfterARestart()
    {
        Fixture f;
        f.open(twoAnnouncements());
        QTRY_VERIFY(f.popupFor(QStringLiteral("a1")));
        f.host->click(f.item("announcementDismissButton"));
        QTRY_VERIFY(f.popupFor(QStringLiteral("a2")));
        QCOMPARE(ViewHost::text(f.item("announcementTitle")), QStringLiteral("Meet Clipstack"));
        f.host->click(f.item("announcementDismissButton"));
        QTRY_VERIFY(!f.sheetOpen());
        QVERIFY(!f.store->pendingAnnouncement().has_value());
        QCOMPARE(f.persistedSeen(), (QStringList{"a1", "a2"}));

        // A restart over the same records shows nothing.
        f.open(twoAnnouncements());
        QVERIFY(!f.store->pendingAnnouncement().has_value());
        QVERIFY(!f.sheetOpen());
        QVERIFY(!f.item("announcementPopup"));
    }

    void openAppSelectsItThenMovesOn()
    {
        Fixture f;
        f.open(twoAnnouncements(), [](LauncherStore &store) { store.setSelectedAppIDValue(QStringLiteral("charlie")); });
        QTRY_VERIFY(f.popupFor(QStringLiteral("a1")));
        f.host->click(f.item("announcementOpenButton"));
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("alpha"));
        QCOMPARE(f.persistedSeen(), QStringList{"a1"});
        QTRY_VERIFY(f.popupFor(QStringLiteral("a2")));
    }

    void closingTheSheetOtherwiseAcknowledges()
    {
        Fixture f;
        f.open(twoAnnouncements());
        QTRY_VERIFY(f.popupFor(QStringLiteral("a1")));
        QTRY_VERIFY(f.sheetOpen());
        f.host->key(Qt::Key_Escape);
        // Acknowledged after the sheet has closed; the next one follows.
        QTRY_COMPARE(f.persistedSeen(), QStringList{"a1"});
        QTRY_VERIFY(f.popupFor(QStringLiteral("a2")));
        QTRY_VERIFY(f.sheetOpen());
        f.host->key(Qt::Key_Escape);
        QTRY_COMPARE(f.persistedSeen(), (QStringList{"a1", "a2"}));
        QTRY_VERIFY(!f.sheetOpen());
    }

    void keyboardReachesTheButtons()
    {
        Fixture f;
        f.open(twoAnnouncements());
        QTRY_VERIFY(f.popupFor(QStringLiteral("a1")));
        QTRY_VERIFY(f.item("announcementOpenButton")->hasActiveFocus());
        f.host->key(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(f.item("announcementDismissButton")->hasActiveFocus());
        f.host->key(Qt::Key_Return);
        QTRY_VERIFY(f.popupFor(QStringLiteral("a2")));
    }

    void longBodyWrapsInFull()
    {
        LauncherAnnouncement a = announcement(QStringLiteral("long"), QStringLiteral("alpha"), std::nullopt);
        a.title = QStringLiteral("A long note");
        a.body = QString();
        for (int i = 0; i < 12; ++i)
            a.body += QStringLiteral("Sentence %1 of a body that keeps going to test wrapping. ").arg(i + 1);
        a.body = a.body.trimmed();
        Fixture f;
        f.open(catalog({a}));
        QTRY_VERIFY(f.popupFor(QStringLiteral("long")));
        QQuickItem *body = f.item("announcementBody");
        QVERIFY(body->property("lineCount").toInt() > 5);
        QVERIFY(!body->property("truncated").toBool());
        QQuickItem *popup = f.item("announcementPopup");
        QCOMPARE(popup->width(), 430.0);
        // The whole body lies inside the popup, above the buttons.
        const QRectF bodyRect = body->mapRectToItem(popup, QRectF(0, 0, body->width(), body->height()));
        const QQuickItem *button = f.item("announcementDismissButton");
        const QRectF buttonRect = button->mapRectToItem(popup, QRectF(0, 0, button->width(), button->height()));
        QVERIFY(bodyRect.right() <= 430 - 24 + 0.5);
        QVERIFY(bodyRect.bottom() <= buttonRect.top());
        QVERIFY(popup->height() >= buttonRect.bottom() + 24 - 0.5);
    }

    void screenshots()
    {
        Fixture f;
        f.open(twoAnnouncements());
        QTRY_VERIFY(f.popupFor(QStringLiteral("a1")));
        QVERIFY(QFileInfo::exists(f.host->screenshot(QStringLiteral("announcement-app"))));
        f.store->setIncludeBetaApps(false);
        f.host->click(f.item("announcementDismissButton"));
        QTRY_VERIFY(f.popupFor(QStringLiteral("a2")));
        QVERIFY(QFileInfo::exists(f.host->screenshot(QStringLiteral("announcement-brand-mark"))));
    }
};

QTEST_MAIN(TestAnnouncementPopup)
#include "tst_announcementpopup.moc"
