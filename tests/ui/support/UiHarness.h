#pragma once

// Builds a LauncherStore over substitute collaborators and loads the real
// main window QML offscreen over it, with helpers to find, click and grab.

#include "UiFakes.h"
#include "store/LauncherStore.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <memory>

namespace UiFixtures {

// A published app: complete release data, accent and symbol.
AppManifestItem app(const QString &id, const QString &name, AppReleaseStatus status = AppReleaseStatus::live,
                    const QString &category = QStringLiteral("Utilities"), AppAccent accent = AppAccent::lime);
LauncherManifest manifest(const QList<AppManifestItem> &apps);
// A varied catalog: live, beta, coming-soon and incomplete apps with tags,
// notes and feeds.
LauncherManifest richCatalog();

}  // namespace UiFixtures

class UiHarness
{
public:
    struct Options {
        LauncherManifest initial;                 // the store's starting catalog
        std::optional<LauncherManifest> remote;   // what refreshes return (defaults to initial)
        bool onboardingComplete = true;
        QString language = QStringLiteral("en-US");
        QSize windowSize = QSize(1060, 720);
    };

    explicit UiHarness(Options options);
    ~UiHarness();

    LauncherStore *store() const { return m_store.get(); }
    QQuickWindow *window() const { return m_window; }
    QQmlEngine *engine() const { return m_engine.get(); }
    FixtureManifestLoader &loader() { return *m_loader; }
    FakeAppInstaller &installer() { return *m_installer; }
    RecordingWorkspace &workspace() { return *m_workspace; }

    // Loads the main window; false (with the QML errors in `errors`) on failure.
    bool load();
    QString errors() const { return m_errors; }

    QQuickItem *rootView() const;
    QQuickItem *shell() const;
    QQuickItem *find(const QString &objectName) const;
    QList<QQuickItem *> findAll(const QString &objectName, QQuickItem *under = nullptr) const;
    // The first visible item with objectName under `under` (or the window).
    QQuickItem *findVisible(const QString &objectName, QQuickItem *under = nullptr) const;

    // Visible items under `under` (or the window) showing exactly this text.
    QList<QQuickItem *> findText(const QString &text, QQuickItem *under = nullptr) const;

    void resize(int width, int height = 720);
    void click(QQuickItem *item);
    // Waits until the window has rendered a frame, then saves it under
    // $VANTREL_BUILD_DIR/screenshots/<name>.png. Returns the file path.
    QString screenshot(const QString &name);
    static QString screenshotDir();

    // Reaches a state through the store's own operations.
    void install(const QString &appId);          // waits for the install to finish
    void waitForRefresh();                       // the start-up refresh has landed

private:
    Options m_options;
    QTemporaryDir m_home;
    std::shared_ptr<FixtureManifestLoader> m_loader;
    std::shared_ptr<FakeAppInstaller> m_installer;
    std::shared_ptr<RecordingWorkspace> m_workspace;
    std::unique_ptr<LauncherStore> m_store;
    std::unique_ptr<QQmlEngine> m_engine;
    QQuickWindow *m_window = nullptr;
    QString m_errors;
};
