// The main window at twice the text size on a 1440 by 900 screen, as a desktop set to 192 dpi gives it (the offscreen
// platform configured so, see tests/ui/CMakeLists.txt): the window fits the screen, and every control of onboarding
// and of an app's page lies inside the screen once the view it is in is scrolled to it.

#include "LayoutSweep.h"
#include "QmlHarness.h"

#include <QPointer>
#include <QScreen>

namespace {

// Shown controls under `root`: buttons, tiles, switches, text fields.
QList<QPointer<QQuickItem>> controlsUnder(QQuickItem *root)
{
    QList<QPointer<QQuickItem>> found;
    const auto control = [](const QQuickItem *item) {
        return (item->inherits("QQuickAbstractButton") || item->inherits("QQuickTextInput")) && item->width() > 0;
    };
    for (QQuickItem *item : LayoutSweep::shownItems(root, control))
        found.append(item);
    return found;
}

// Scrolls every view above `item` as a user would until the item is whole in it.
void scrollTo(QQuickItem *item)
{
    for (QQuickItem *p = item->parentItem(); p; p = p->parentItem()) {
        if (!p->inherits("QQuickFlickable"))
            continue;
        auto *content = p->property("contentItem").value<QQuickItem *>();
        const QRectF r = item->mapRectToItem(content, QRectF(0, 0, item->width(), item->height()));
        const qreal top = p->property("contentY").toReal();
        const qreal room = p->height();
        if (r.top() < top)
            p->setProperty("contentY", r.top());
        else if (r.bottom() > top + room)
            p->setProperty("contentY", qMin(r.top(), r.bottom() - room));
    }
}

// Each control, scrolled to, lies inside every view that clips it and inside the screen.
QStringList outOfReach(ViewHost &host, QQuickItem *root)
{
    QStringList out;
    QQuickWindow *window = host.window();
    const QRect screen = window->screen()->geometry();
    for (const QPointer<QQuickItem> &control : controlsUnder(root)) {
        if (!control)
            continue;
        scrollTo(control);
        host.waitForFrame();
        const QRectF scene = control->mapRectToScene(QRectF(0, 0, control->width(), control->height()));
        bool inside = QRectF(window->contentItem()->boundingRect()).adjusted(-0.5, -0.5, 0.5, 0.5).contains(scene);
        for (QQuickItem *p = control->parentItem(); p && inside; p = p->parentItem()) {
            if (p->clip())
                inside = p->mapRectToScene(p->boundingRect()).adjusted(-0.5, -0.5, 0.5, 0.5).contains(scene);
        }
        const QRect global(window->mapToGlobal(scene.topLeft().toPoint()), scene.size().toSize());
        if (!inside || !screen.contains(global))
            out << control->objectName() + QLatin1Char('@') + QString::number(global.x()) + QLatin1Char(',')
                    + QString::number(global.y()) + QLatin1Char(' ') + QString::number(global.width()) + QLatin1Char('x')
                    + QString::number(global.height());
    }
    return out;
}

}  // namespace

class TestUiSmallScreen : public QObject
{
    Q_OBJECT

    // The window as a user leaves it: maximised, within the screen.
    static void maximise(StoreView &f)
    {
        QQuickWindow *window = f.host.window();
        const QRect available = window->screen()->availableGeometry();
        QVERIFY2(window->minimumWidth() <= available.width() && window->minimumHeight() <= available.height(),
                 qPrintable(QStringLiteral("minimum %1x%2").arg(window->minimumWidth()).arg(window->minimumHeight())));
        QVERIFY2(available.contains(window->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6").arg(window->x()).arg(window->y()).arg(window->width()).arg(window->height()).arg(available.width()).arg(available.height())));
        window->showMaximized();
        QTRY_VERIFY(window->windowStates() & Qt::WindowMaximized);
        QTRY_VERIFY(available.contains(window->frameGeometry()));
        f.host.waitForFrame();
    }

private Q_SLOTS:
    void initTestCase()
    {
        UiTest::initialise();
        // The screen this test is registered with: 1440 by 900 pixels at twice the usual size.
        QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->devicePixelRatio(), 2.0);
        QCOMPARE(screen->geometry().size(), QSize(720, 450));
    }

    void onboardingWithinTheScreen()
    {
        StoreView f;
        f.openMainWindow(false);
        maximise(f);
        QQuickItem *onboarding = nullptr;
        QTRY_VERIFY((onboarding = f.host.findShown("onboarding")));
        QTRY_VERIFY(f.host.findShown("onboardingCard_notes"));
        QCOMPARE(outOfReach(f.host, onboarding), QStringList());
        QVERIFY(!f.host.screenshot(QStringLiteral("small-screen-onboarding")).isEmpty());
        // Continue is within reach of the mouse.
        f.host.click(f.host.findShown("onboardingCard_notes"));
        QTRY_VERIFY(f.item("onboardingContinue")->isEnabled());
        scrollTo(f.item("onboardingContinue"));
        f.host.waitForFrame();
        f.host.click(f.item("onboardingContinue"));
        QTRY_VERIFY(!f.store->requiresOnboarding());
    }

    void appPageWithinTheScreen()
    {
        StoreView f;
        f.h.installer->previous.insert("notes", "0.9.0");
        f.openRefreshedMainWindow();
        f.reach("notes", "installed");
        maximise(f);
        QQuickItem *tile = nullptr;
        QTRY_VERIFY((tile = f.host.findShown("tile_notes")));
        scrollTo(tile);
        f.host.waitForFrame();
        f.host.click(tile);
        QQuickItem *page = nullptr;
        QTRY_VERIFY((page = f.host.findShown("compactDetail")) && page->x() == 0);
        QTRY_VERIFY(f.host.findShown("rollBackButton", page));
        const QStringList out = outOfReach(f.host, f.shell());
        QVERIFY2(out.isEmpty(), qPrintable(out.join(QLatin1String(" | "))));
        QVERIFY(!f.host.screenshot(QStringLiteral("small-screen-app-page")).isEmpty());
        // The page's own controls are among those checked.
        for (const char *name : {"actionButton", "verifyButton", "removeButton", "searchField", "topQuickSwitchButton"})
            QVERIFY2(f.host.findShown(QString::fromLatin1(name)), name);
    }
};

QTEST_MAIN(TestUiSmallScreen)
#include "tst_ui_small_screen.moc"
