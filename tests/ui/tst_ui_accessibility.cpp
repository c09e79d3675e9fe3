// Every screen as assistive technology and a keyboard user meet it: names, roles, states, actions, a Tab walk, modal
// focus, install states in tens of percent, and the contrast of every shown text.

#include "DataRows.h"
#include "LibrarySection.h"
#include "QmlHarness.h"

#include "SymbolGlyphs.h"

#include <QAccessible>

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    // Offscreen there is no platform bridge: say assistive technology listens, so controls publish roles and states.
    QAccessible::setActive(true);
    return object ? QAccessible::queryAccessibleInterface(object) : nullptr;
}

void eachAccessible(QAccessibleInterface *iface, const std::function<void(QAccessibleInterface *)> &visit)
{
    if (!iface)
        return;
    visit(iface);
    for (int i = 0; i < iface->childCount(); ++i)
        eachAccessible(iface->child(i), visit);
}

bool interactive(QAccessible::Role role)
{
    static const QList<QAccessible::Role> roles = {QAccessible::Button, QAccessible::CheckBox, QAccessible::PageTab,
                                                   QAccessible::EditableText, QAccessible::ComboBox,
                                                   QAccessible::ProgressBar, QAccessible::RadioButton};
    return roles.contains(role);
}

bool doAction(QObject *object, const QString &action)
{
    QAccessibleInterface *iface = accessible(object);
    QAccessibleActionInterface *actions = iface ? iface->actionInterface() : nullptr;
    if (!actions || !actions->actionNames().contains(action))
        return false;
    actions->doAction(action);
    return true;
}

// One screen as the screenshot test draws it, and a check of what an action did.
using Setup = std::function<void(StoreView &)>;
using Check = std::function<bool(StoreView &)>;

const QMap<QString, Setup> &screens()
{
    static const QMap<QString, Setup> all = {
        {"onboarding", [](StoreView &f) {
             f.openMainWindow(false);
             QTRY_VERIFY(f.host.findShown("onboardingCard_notes"));
         }},
        {"home", [](StoreView &f) {
             f.openRefreshedMainWindow();
             f.reach("notes", "installed");
             QTRY_VERIFY(f.host.findShown("tile_shots"));
         }},
        {"detail", [](StoreView &f) {
             f.openRefreshedMainWindow();
             f.reach("notes", "installing");
             f.store->setSelectedAppIDValue("notes");
             QTRY_VERIFY(f.host.findShown("installProgress"));
         }},
        {"detail-not-installed", [](StoreView &f) {
             f.openRefreshedMainWindow();
             f.store->setSelectedAppIDValue("shots");
             QTRY_VERIFY(f.host.findShown("actionButton", f.item("wideDetail")));
         }},
        {"preferences", [](StoreView &f) { f.open("preferences/PreferencesView.qml", QSize(640, 560)); }},
        {"tray", [](StoreView &f) { f.open("tray/MenuBarLauncherView.qml", QSize(360, 600)); }},
        {"switcher", [](StoreView &f) {
             f.open("switcher/QuickSwitcherView.qml", QSize(1060, 720), {{"isPresented", true}});
         }},
        {"feedback", [](StoreView &f) {
             f.store->setOnboardingComplete(true);
             f.open("shell/RootView.qml");
             f.store->setShowingFeedbackSheet(true);
             QTRY_VERIFY(f.host.findShown("feedbackSummaryField"));
         }},
        {"announcement", [](StoreView &f) {
             f.store->setOnboardingComplete(true);
             f.open("shell/RootView.qml");
             QTRY_VERIFY(f.host.findShown("announcementDismissButton"));
         }},
        {"error", [](StoreView &f) {
             f.store->setOnboardingComplete(true);
             f.open("shell/RootView.qml");
             f.store->setErrorMessage(QStringLiteral("Could not refresh apps. Showing the last known state."));
             QTRY_VERIFY(f.host.findShown("errorAlertOk"));
         }},
    };
    return all;
}

LauncherManifest catalogFor(const QString &screen)
{
    return screen == QLatin1String("announcement") ? UiTest::withAnnouncements() : UiTest::sampleCatalog();
}

// Lets a held install end before the store goes.
void settle(StoreView &f)
{
    if (f.h.installer->gate) {
        f.h.installer->gate->open();
        QTRY_VERIFY(!f.store->runningInstall("notes"));
    }
}

QQuickItem *focused(StoreView &f)
{
    return f.host.window()->activeFocusItem();
}

// The control a focused item belongs to (a field's inner editor is its own item).
QString focusName(StoreView &f)
{
    for (QQuickItem *item = focused(f); item; item = item->parentItem()) {
        if (!item->objectName().isEmpty())
            return item->objectName();
        if (QAccessibleInterface *iface = accessible(item); iface && !iface->text(QAccessible::Name).isEmpty())
            return iface->text(QAccessible::Name);
    }
    return {};
}

// WCAG relative luminance and contrast.
double luminance(QColor c)
{
    const auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool enabledChain(const QQuickItem *item)
{
    for (; item; item = item->parentItem()) {
        if (!item->isEnabled())
            return false;
    }
    return true;
}

// Every name an item's accessible takes, as a screen reader hears it (Qt's name-change events).
class NameLog : public QObject
{
    Q_OBJECT

public:
    explicit NameLog(QQuickItem *item) : m_item(item)
    {
        for (QObject *child : item->children()) {
            if (qstrcmp(child->metaObject()->className(), "QQuickAccessibleAttached") == 0)
                connect(child, SIGNAL(nameChanged()), this, SLOT(record()));
        }
    }
    QStringList names;

private Q_SLOTS:
    void record() { names.append(accessible(m_item)->text(QAccessible::Name)); }

private:
    QQuickItem *m_item;
};

}  // namespace

class TestUiAccessibility : public QObject
{
    Q_OBJECT
    using NamesRolesRows = DataRows<QString, QString, QAccessible::Role, QString>;  // screen, name, role, state ("checked", "unchecked", "selected", "unselected", "")
    using ActionsRows = DataRows<QString, QString, QString, Check>;  // screen, name, action, done
    using KeyboardWalkRows = DataRows<QString, QStringList, QList<int>, Check>;  // screen, order, keys (pressed once the walk reached the last of order), done
    using ModalsRows = DataRows<QString, QString>;  // opener, inside: a control of the modal

private Q_SLOTS:
    void initTestCase() { UiTest::initialise(); }

    void namesRolesAndStates_data()
    {
        NamesRolesRows::columns();
        const auto row = [](const char *screen, const char *name, QAccessible::Role role, const char *state = "") {
            NamesRolesRows::row(QString::asprintf("%s/%s", screen, name), screen, name, role, state);
        };
        row("onboarding", "onboardingCard_notes", QAccessible::CheckBox, "checked");  // every starter comes ticked
        row("onboarding", "onboardingContinue", QAccessible::Button);
        row("home", "tile_notes", QAccessible::Button);
        row("home", "sidebarRow_home", QAccessible::PageTab, "selected");
        row("home", "sidebarRow_allApps", QAccessible::PageTab, "unselected");
        row("home", "searchField", QAccessible::EditableText);
        row("home", "topQuickSwitchButton", QAccessible::Button);
        row("detail", "installProgress", QAccessible::ProgressBar);
        row("detail", "cancelInstallButton", QAccessible::Button);
        row("preferences", "includeBetaSwitch", QAccessible::CheckBox, "checked");
        row("preferences", "languagePicker", QAccessible::ComboBox);
        row("tray", "menuRow_notes", QAccessible::Button);
        row("switcher", "quickSwitcher", QAccessible::Dialog);
        row("switcher", "quickSearchField", QAccessible::EditableText);
        row("feedback", "feedbackSheet", QAccessible::Dialog);
        row("feedback", "feedbackType_bug", QAccessible::PageTab, "selected");
        row("feedback", "feedbackSummaryField", QAccessible::EditableText);
        row("announcement", "announcementSheet", QAccessible::Dialog);
        row("announcement", "announcementDismissButton", QAccessible::Button);
        row("error", "errorAlert", QAccessible::AlertMessage);
        row("error", "errorAlertOk", QAccessible::Button);
    }

    void namesRolesAndStates()
    {
        const auto [screen, name, role, state] = NamesRolesRows::fetch();
        StoreView f(catalogFor(screen));
        screens().value(screen)(f);
        QObject *target = f.item(name);
        if (QObject *popup = target ? nullptr : f.rootObject(name.toLatin1().constData())) {
            // A pop-up is announced through the item that holds its content.
            target = popup->property("contentItem").value<QQuickItem *>();
        }
        QAccessibleInterface *iface = accessible(target);
        QVERIFY2(iface, qPrintable(name));
        QCOMPARE(iface->role(), role);
        QVERIFY2(!iface->text(QAccessible::Name).isEmpty(), "no name");
        const QAccessible::State s = iface->state();
        QVERIFY(s.focusable || !interactive(iface->role()) || iface->role() == QAccessible::ProgressBar);
        if (state == QLatin1String("checked") || state == QLatin1String("unchecked")) {
            QVERIFY(s.checkable);
            QCOMPARE(bool(s.checked), state == QLatin1String("checked"));
        } else if (!state.isEmpty()) {
            QCOMPARE(bool(s.selected), state == QLatin1String("selected"));
        }
        if (iface->role() == QAccessible::ProgressBar) {
            f.h.installer->lastControl.onProgress(0.37);
            QTRY_COMPARE(iface->text(QAccessible::Description), QStringLiteral("30%"));
        }
        // No shown control of the screen is unnamed, and decoration stays off the tree.
        eachAccessible(accessible(f.host.window()), [&](QAccessibleInterface *each) {
            if (interactive(each->role()) && !each->state().invisible)
                QVERIFY2(!each->text(QAccessible::Name).isEmpty(), qPrintable(each->object()->objectName()));
            QVERIFY2(each->object()->property("font").value<QFont>().family() != SymbolGlyphs::ensureFontLoaded(),
                     "a symbol glyph is on the tree");
        });
        settle(f);
    }

    // Every text a screen shows is on the tree: as static text of its own, or as part of the control it labels.
    void everyShownTextIsHeard_data()
    {
        QTest::addColumn<QString>("screen");
        for (const QString &screen : screens().keys())
            QTest::newRow(qPrintable(screen)) << screen;
    }

    void everyShownTextIsHeard()
    {
        QFETCH(QString, screen);
        StoreView f(catalogFor(screen));
        screens().value(screen)(f);
        f.host.waitForFrame();
        QHash<QObject *, QAccessibleInterface *> onTree;
        eachAccessible(accessible(f.host.window()), [&](QAccessibleInterface *each) { onTree.insert(each->object(), each); });
        const QString symbolFont = SymbolGlyphs::ensureFontLoaded();
        QStringList unheard;
        std::function<void(QQuickItem *)> visit = [&](QQuickItem *item) {
            if (!ViewHost::shown(item))
                return;
            const QString text = ViewHost::text(item);
            if (item->inherits("QQuickText") && !text.trimmed().isEmpty()
                && item->property("font").value<QFont>().family() != symbolFont) {
                // On the tree with a name of its own (a progress, for one, is told in tens).
                bool heard = onTree.contains(item) && !onTree.value(item)->text(QAccessible::Name).isEmpty();
                for (QQuickItem *up = item->parentItem(); up && !heard; up = up->parentItem()) {
                    QAccessibleInterface *owner = onTree.value(up);
                    heard = owner && (interactive(owner->role()) || owner->text(QAccessible::Name).contains(text, Qt::CaseInsensitive));
                }
                if (!heard)
                    unheard << text;
            }
            for (QQuickItem *child : item->childItems())
                visit(child);
        };
        visit(f.host.window()->contentItem());
        QVERIFY2(unheard.isEmpty(), qPrintable(unheard.join(QLatin1String(" | "))));
        settle(f);
    }

    void actionsDoWhatAClickDoes_data()
    {
        ActionsRows::columns();
        const auto row = [](const char *tag, const char *screen, const char *name, const QString &action, Check done) {
            ActionsRows::row(tag, screen, name, action, done);
        };
        const QString press = QAccessibleActionInterface::pressAction();
        const QString toggle = QAccessibleActionInterface::toggleAction();
        row("the starter is unticked", "onboarding", "onboardingCard_notes", toggle, [](StoreView &f) {
            return !f.store->selectedStarterAppIDs().contains("notes")
                && !accessible(f.item("onboardingCard_notes"))->state().checked;
        });
        row("pressing a starter flips it too", "onboarding", "onboardingCard_shots", press,
            [](StoreView &f) { return !f.store->selectedStarterAppIDs().contains("shots"); });
        row("continue ends onboarding", "onboarding", "onboardingContinue", press,
            [](StoreView &f) { return !f.store->requiresOnboarding() && f.host.findShown("tile_notes"); });
        row("the tile opens the page", "home", "tile_shots", press, [](StoreView &f) {
            return f.store->selectedAppIDValue() == QLatin1String("shots")
                && ViewHost::shown(f.host.findShown("actionButton", f.item("wideDetail")));
        });
        row("the section is chosen", "home", "sidebarRow_allApps", press, [](StoreView &f) {
            return f.shell()->property("selectedSection").toInt() == LibrarySection::AllApps
                && accessible(f.item("sidebarRow_allApps"))->state().selected;
        });
        row("install starts", "detail-not-installed", "actionButton", press,
            [](StoreView &f) { return f.store->stateFor("shots").kindName() == QLatin1String("installed"); });
        row("the switch flips the setting", "preferences", "includeBetaSwitch", toggle,
            [](StoreView &f) { return !f.store->includeBetaApps(); });
        row("the language steps on", "preferences", "languagePicker", QAccessibleActionInterface::increaseAction(),
            [](StoreView &f) { return f.store->localeCode() == QLatin1String("pl"); });
        row("the popup closes", "announcement", "announcementDismissButton", press, [](StoreView &f) {
            return !f.rootObject("announcementSheet")->property("visible").toBool()
                || f.store->pendingAnnouncement().value_or(LauncherAnnouncement()).id != QLatin1String("a1");
        });
        row("the feedback type is chosen", "feedback", "feedbackType_idea", press,
            [](StoreView &f) { return accessible(f.item("feedbackType_idea"))->state().selected; });
    }

    void actionsDoWhatAClickDoes()
    {
        const auto [screen, name, action, done] = ActionsRows::fetch();
        StoreView f(catalogFor(screen));
        screens().value(screen)(f);
        QQuickItem *target = f.host.findShown(name);
        QVERIFY2(target, qPrintable(name));
        QVERIFY2(!done(f), "already done before the action");
        QVERIFY2(doAction(target, action), qPrintable(action + " not offered"));
        QTRY_VERIFY(done(f));
        settle(f);
    }

    // Tab reaches these in this order (others may lie between); Shift+Tab goes back; then keys take the main action.
    void keyboardWalk_data()
    {
        KeyboardWalkRows::columns();
        const auto row = [](const char *screen, const QStringList &order, const QList<int> &keys, const Check &done) {
            KeyboardWalkRows::row(screen, screen, order, keys, done);
        };
        row("onboarding", {"onboardingCard_notes", "onboardingCard_shots"}, {Qt::Key_Space},
            [](StoreView &f) { return !f.store->selectedStarterAppIDs().contains("shots"); });
        row("home", {"sidebarRow_home", "sidebarRow_allApps", "sidebarRow_settings", "sidebarFeedbackButton",
                     "sidebarQuickSwitcherButton", "searchField", "topQuickSwitchButton", "tile_notes", "tile_shots"},
            {Qt::Key_Return}, [](StoreView &f) { return f.store->selectedAppIDValue() == QLatin1String("shots"); });
        row("detail-not-installed", {"tile_shots", "actionButton"}, {Qt::Key_Space},
            [](StoreView &f) { return f.store->stateFor("shots").kindName() == QLatin1String("installed"); });
        row("preferences", {"launchAtLoginSwitch", "showInMenuBarSwitch", "includeBetaSwitch", "languagePicker",
                            "resetOnboardingButton"},
            {Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Space},  // back to the beta switch
            [](StoreView &f) { return !f.store->includeBetaApps(); });
        row("tray", {"menuRow_notes", "menuRow_shots"}, {Qt::Key_Return},
            [](StoreView &f) { return f.store->selectedAppIDValue() == QLatin1String("shots"); });
        row("announcement", {"announcementDismissButton"}, {Qt::Key_Return}, [](StoreView &f) {
            return f.store->pendingAnnouncement().value_or(LauncherAnnouncement()).id != QLatin1String("a1");
        });
    }

    void keyboardWalk()
    {
        const auto [screen, order, keys, done] = KeyboardWalkRows::fetch();
        StoreView f(catalogFor(screen));
        screens().value(screen)(f);
        QStringList visited;
        int next = 0;
        for (int step = 0; step < 60 && next < order.size(); ++step) {
            f.host.key(Qt::Key_Tab);
            const QString name = focusName(f);
            visited.append(name);
            if (name == order[next]) {
                QQuickItem *control = focused(f);
                // Each stop shows its ring.
                QVERIFY2(!control->property("visualFocus").isValid() || control->property("visualFocus").toBool()
                             || control->inherits("QQuickTextInput"),
                         qPrintable(name));
                ++next;
            }
        }
        QVERIFY2(next == order.size(), qPrintable(QStringLiteral("Tab went ") + visited.join(QLatin1String(" > "))));
        if (order.size() > 1) {
            // Shift+Tab leads back to the one before, after what lies between.
            for (int step = 0; step < 20 && focusName(f) != order[order.size() - 2]; ++step)
                f.host.key(Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(focusName(f), order[order.size() - 2]);
            f.host.key(Qt::Key_Tab);
            for (int step = 0; step < 20 && focusName(f) != order.last(); ++step)
                f.host.key(Qt::Key_Tab);
        }
        for (const int key : keys)
            f.host.key(key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QTRY_VERIFY(done(f));
        settle(f);
    }

    // Pop-ups: focus moves in and stays, Escape closes, focus returns to the opener.
    void modalsHoldFocus_data()
    {
        ModalsRows::columns();
        ModalsRows::row("remove confirmation", "removeButton", "removeConfirmationCancel");
        ModalsRows::row("feedback sheet", "sidebarFeedbackButton", "feedbackSummaryField");
        ModalsRows::row("quick switcher", "topQuickSwitchButton", "quickSearchField");
    }

    void modalsHoldFocus()
    {
        const auto [opener, inside] = ModalsRows::fetch();
        StoreView f;
        f.openRefreshedMainWindow();
        f.reach("notes", "installed");
        f.store->setSelectedAppIDValue("notes");
        QQuickItem *button = nullptr;
        QTRY_VERIFY((button = f.host.findShown(opener)));
        button->forceActiveFocus(Qt::TabFocusReason);
        f.host.key(Qt::Key_Return);
        QQuickItem *control = nullptr;
        QTRY_VERIFY((control = f.host.findShown(inside)));
        QTRY_VERIFY(control->hasActiveFocus() || (focused(f) && control->isAncestorOf(focused(f))));
        QQuickItem *modal = control;
        while (modal->parentItem() && modal->parentItem() != f.host.window()->contentItem()
               && !modal->inherits("QQuickPopupItem") && modal->objectName() != QLatin1String("quickSwitcher"))
            modal = modal->parentItem();
        for (int step = 0; step < 12; ++step) {
            if (step % 3 == 2)
                f.host.key(Qt::Key_Backtab, Qt::ShiftModifier);
            else
                f.host.key(Qt::Key_Tab);
            QVERIFY2(focused(f) && modal->isAncestorOf(focused(f)), qPrintable(focusName(f)));
        }
        f.host.key(Qt::Key_Escape);
        QTRY_VERIFY(!ViewHost::shown(f.host.findShown(inside)));
        QTRY_COMPARE(focusName(f), opener);
    }

    // Tile and page tell an install's state at its start, every ten percent and its end; a failure's alert takes focus.
    void stateChangesAreTold()
    {
        StoreView f;
        f.openRefreshedMainWindow();
        QQuickItem *tile = f.host.findShown("tile_shots");
        NameLog tileLog(tile);
        tile->forceActiveFocus(Qt::TabFocusReason);
        QVERIFY(doAction(tile, QAccessibleActionInterface::pressAction()));
        QQuickItem *label = nullptr;
        QTRY_VERIFY((label = f.host.findShown("actionStateLabel", f.item("wideDetail"))));
        NameLog labelLog(label);
        f.reach("shots", "installing");
        for (const double progress : {0.31, 0.34, 0.38, 0.52}) {
            f.h.installer->lastControl.onProgress(progress);
            QTRY_COMPARE(ViewHost::text(label), QStringLiteral("Installing %1%").arg(qRound(progress * 100)));
        }
        const auto told = [&](QObject *object) { return object == tile ? tileLog.names : labelLog.names; };
        QTRY_VERIFY2(told(tile).contains("Frame Shots, Installing 50%"), qPrintable(told(tile).join(" | ")));
        QVERIFY2(told(tile).contains("Frame Shots, Installing 30%"), qPrintable(told(tile).join(" | ")));
        // Only whole tens, so the reader is not flooded.
        for (const QString &text : told(tile) + told(label))
            QVERIFY2(!text.contains(QRegularExpression("[1-9]%")), qPrintable(text));
        QTRY_COMPARE(told(label).value(told(label).size() - 1), QStringLiteral("Installing 50%"));
        f.h.installer->failWith(QStringLiteral("The checksum did not match."));
        f.h.installer->gate->open();
        QTRY_COMPARE(told(tile).last(), QStringLiteral("Frame Shots, Failed"));
        QQuickItem *ok = nullptr;
        QTRY_VERIFY((ok = f.host.findShown("errorAlertOk")));
        QTRY_VERIFY(ok->hasActiveFocus());
    }

    // Every shown text against its backdrop: 4.5:1, or 3:1 from 18 px (bold from 14); its colour is its design token.
    void textContrast_data()
    {
        QTest::addColumn<QString>("screen");
        for (const QString &screen : screens().keys())
            QTest::newRow(qPrintable(screen)) << screen;
    }

    void textContrast()
    {
        QFETCH(QString, screen);
        StoreView f(catalogFor(screen));
        screens().value(screen)(f);
        f.host.waitForFrame();
        const QImage frame = f.host.window()->grabWindow();
        const qreal dpr = frame.devicePixelRatio();
        QList<QQuickItem *> texts;
        std::function<void(QQuickItem *)> collect = [&](QQuickItem *item) {
            if (!ViewHost::shown(item))
                return;
            if (item->inherits("QQuickText") && !ViewHost::text(item).trimmed().isEmpty() && enabledChain(item))
                texts.append(item);
            for (QQuickItem *child : item->childItems())
                collect(child);
        };
        // Under an open modal only the modal is read.
        QQuickItem *overlay = nullptr;
        for (QQuickItem *child : f.host.window()->contentItem()->childItems()) {
            const QList<QQuickItem *> layers = child->inherits("QQuickOverlay") ? child->childItems() : QList<QQuickItem *>();
            if (std::any_of(layers.begin(), layers.end(), ViewHost::shown))
                overlay = child;
        }
        collect(overlay ? overlay : f.host.window()->contentItem());
        QVERIFY(!texts.isEmpty());
        QStringList faults;
        for (QQuickItem *text : std::as_const(texts)) {
            if (text->property("font").value<QFont>().family() == QLatin1String("Material Icons"))
                continue;  // symbols are decoration
            QColor colour = text->property("color").value<QColor>();
            qreal opacity = 1;
            for (QQuickItem *i = text; i; i = i->parentItem())
                opacity *= i->opacity();
            const QRectF box = text->mapRectToScene(QRectF(0, 0, text->width(), text->height()));
            const QRect pixels = QRectF(box.topLeft() * dpr, box.size() * dpr).toAlignedRect() & frame.rect();
            if (pixels.isEmpty())
                continue;
            // Behind the text: the most common colour in its box that is not the text's.
            QHash<QRgb, int> counts;
            for (int y = pixels.top(); y <= pixels.bottom(); ++y)
                for (int x = pixels.left(); x <= pixels.right(); ++x)
                    ++counts[frame.pixel(x, y)];
            QRgb background = 0;
            int most = -1;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
                if (it.value() > most && contrast(QColor(it.key()), colour) > 1.3)
                    most = it.value(), background = it.key();
            }
            const QColor behind(background);
            const double a = colour.alphaF() * opacity;
            const QColor shown = QColor::fromRgbF(colour.redF() * a + behind.redF() * (1 - a),
                                                  colour.greenF() * a + behind.greenF() * (1 - a),
                                                  colour.blueF() * a + behind.blueF() * (1 - a));
            const QFont font = text->property("font").value<QFont>();
            const bool large = font.pixelSize() >= 18 || (font.pixelSize() >= 14 && font.weight() >= QFont::Bold);
            const double ratio = contrast(shown, behind);
            if (ratio < (large ? 3.0 : 4.5))
                faults.append(QStringLiteral("\"%1\" %2 on %3: %4").arg(ViewHost::text(text).left(30), colour.name(),
                                                                       behind.name()).arg(ratio, 0, 'f', 2));
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String("; "))));
        settle(f);
    }
};

QTEST_MAIN(TestUiAccessibility)
#include "tst_ui_accessibility.moc"
