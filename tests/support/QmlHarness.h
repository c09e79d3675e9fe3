#pragma once

// Loads the launcher's QML views offscreen over a store with the substitutes; drives them with real key and mouse input.

#include "StoreFakes.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

namespace UiTest {

// The basic style, the compiled-in icon font, test-mode paths.
void initialise();

// The one sample catalog: four published apps (one beta), a coming-soon app,
// one with incomplete release data and a retired one.
LauncherManifest sampleCatalog();
// The sample catalog with an announcement of notes (with a version) and one of
// the beta app (without).
LauncherManifest withAnnouncements();

}  // namespace UiTest

// One view in one window: an Item goes into a fresh window, a Window is shown as it is.
class ViewHost
{
public:
    ViewHost();
    ~ViewHost();

    // Loads qml/<path> with these initial properties; null (with a warning) on failure.
    QObject *load(const QString &path, const QVariantMap &properties, QSize size = QSize(1060, 720));
    // Sizes the window and the view to the view's own height (tray panel, sheets).
    void fitHeight();
    void resize(int width, int height = 720);
    void waitForFrame();
    // Scrolls a list or grid to its end until the end stays put: a view that builds its rows lazily
    // learns its height as it goes, so one jump lands wherever the first guess was.
    void scrollToEnd(QQuickItem *view);

    QQuickWindow *window() const { return m_window; }

    // The first item with this name under `under` (or the window), delegates and popups included, then the view's objects.
    QQuickItem *find(const QString &name, QQuickItem *under = nullptr) const;
    // The first such item that is shown and has a width.
    QQuickItem *findShown(const QString &name, QQuickItem *under = nullptr) const;
    QList<QQuickItem *> findAll(const QString &name, QQuickItem *under = nullptr) const;
    // Names of the shown items starting with `prefix` (without it), top to bottom, then left to right.
    QStringList shownNamed(const QString &prefix) const;
    // The texts of every shown text item, in tree order.
    QStringList shownTexts() const;
    static bool shown(const QQuickItem *item);
    // As a reader sees it: without the zero-width spaces that mark where ids may break.
    static QString text(const QQuickItem *item)
    {
        return item ? item->property("text").toString().remove(QChar(0x200B)) : QString();
    }
    static QString childText(const QQuickItem *item, const QString &name);

    void click(QQuickItem *item);
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(const QString &text);  // ASCII, "\n" presses Return
    // Opens a pop-up picker and chooses the entry with this label.
    void choose(QQuickItem *picker, const QString &label);

    // Writes the rendered window to $VANTREL_BUILD_DIR/screenshots/<name>.png; returns the path, empty on failure.
    QString screenshot(const QString &name);

private:
    QQmlEngine m_engine;
    QObject *m_root = nullptr;
    QQuickWindow *m_ownWindow = nullptr;
    QQuickWindow *m_window = nullptr;
};

// A store over the substitutes with the sample catalog (or another), and a view of it.
class StoreView
{
public:
    explicit StoreView(const LauncherManifest &catalog = UiTest::sampleCatalog());

    // Rebuilds the store over the same records, e.g. after recording installs.
    void relaunch();
    // Loads qml/<path> with `store` (and `extra`) set; the view is kept in `view`.
    QObject *open(const QString &path, QSize size = QSize(1060, 720), const QVariantMap &extra = {});
    // The main window over the store, onboarding done unless told otherwise.
    QObject *openMainWindow(bool onboarded = true);
    QQuickItem *item(const QString &name) const { return host.find(name); }
    QQuickItem *shell() const { return host.find(QStringLiteral("launcherShell")); }
    QObject *rootObject(const char *property) const;  // a property of the root view

    // Reaches a state through the store's own operations.
    void install(const QString &appId);  // waits for the install to end
    // Brings an app to notInstalled, installing (until the gate opens), installed, updateAvailable (1.1.0), failed,
    // or failedUpdate (1.0.0 installed, the update to 1.1.0 failed).
    void reach(const QString &appId, const QString &state);
    // An app installed at 2.0 that the catalog does not list (its receipt keeps `name`), as another process leaves it.
    void installUnlisted(const QString &appId, const QString &name);
    void waitForRefresh();               // the refresh the window started has landed
    void openRefreshedMainWindow() { openMainWindow(); waitForRefresh(); }

    LauncherManifest catalog;
    StoreHarness h;
    std::unique_ptr<LauncherStore> store;
    ViewHost host;
    QObject *view = nullptr;
};
