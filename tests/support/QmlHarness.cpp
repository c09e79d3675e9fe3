#include "QmlHarness.h"

#include "LanguageRefresh.h"
#include "SymbolGlyphs.h"
#include "VantrelFonts.h"
#include "install/InstallReceipt.h"

#include <QDir>
#include <QFileInfo>
#include <QQmlComponent>
#include <QStandardPaths>
#include <QtMath>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace UiTest {

void initialise()
{
    QStandardPaths::setTestModeEnabled(true);
    SymbolGlyphs::ensureFontLoaded();
    // The design's own sizes, whatever the test machine's font.
    VantrelFonts::setTextScaleOverride(1.0);
}

LauncherManifest sampleCatalog()
{
    struct Row {
        const char *id, *name, *category, *tagline, *symbol;
        AppReleaseStatus status;
        AppAccent accent;
        QStringList tags;
    };
    const Row rows[] = {
        {"notes", "Quill Notes", "Writing", "Plain-text notes that stay out of the way", "note.text",
         AppReleaseStatus::live, AppAccent::lime, {"markdown", "journal"}},
        {"timer", "Tempo Timer", "Productivity", "A calm focus timer for deep work", "timer", AppReleaseStatus::beta,
         AppAccent::violet, {"pomodoro", "focus"}},
        {"shots", "Frame Shots", "Photo", "Crisp screenshots with one shortcut", "camera", AppReleaseStatus::live,
         AppAccent::amber, {"photo", "editing"}},
        {"cafe", "Café Menu", "Utilities", "Menus for small cafés, printed in minutes", "cart",
         AppReleaseStatus::live, AppAccent::blue, {}},
        {"atlas", "Atlas Maps", "Travel", "Offline maps for the next trip", "map", AppReleaseStatus::comingSoon,
         AppAccent::cyan, {}},
        {"draft", "Draft Board", "Writing", "Outlines before the first word", "no.such.symbol",
         AppReleaseStatus::live, AppAccent::cyan, {}},
        {"relic", "Relic Notes", "Archive", "Retired long ago", "tray", AppReleaseStatus::retired, AppAccent::lime, {}},
    };
    QList<AppManifestItem> apps;
    for (const Row &row : rows) {
        AppManifestItem a = TestCatalog::app(QString::fromLatin1(row.id), row.status);
        a.name = QString::fromUtf8(row.name);
        a.category = QString::fromUtf8(row.category);
        a.tagline = QString::fromUtf8(row.tagline);
        a.symbolName = QString::fromLatin1(row.symbol);
        a.accent = row.accent;
        a.tags = row.tags;
        a.description = a.name + QStringLiteral(" is a small desktop app from the Vantrel family.");
        a.privacyNote = QStringLiteral("Runs locally; nothing leaves this computer.");
        apps.append(a);
    }
    apps[0].releaseNotes = {{QStringLiteral("1.0.0"), QStringLiteral("2026-11-20"), QStringLiteral("First release.")},
                            {QStringLiteral("0.9.0"), QStringLiteral("2026-11-02"), QStringLiteral("Public beta.")}};
    apps[0].sparkleFeedUrl = QUrl(QStringLiteral("https://updates.vantrel.example/notes.xml"));
    apps[1].sparkleFeedUrl = QUrl(QStringLiteral("http://builder.local/timer.xml"));
    apps[5].sha256.reset();  // visible, but its release data is incomplete
    return TestCatalog::manifest(apps);
}

LauncherManifest withAnnouncements()
{
    LauncherAnnouncement first = TestCatalog::announcement(QStringLiteral("a1"), QStringLiteral("notes"));
    first.title = QStringLiteral("Quill Notes 1.2 is here");
    first.body = QStringLiteral("Folders, quick capture from the tray and a calmer editor.");
    first.version = QStringLiteral("1.2.0");
    LauncherAnnouncement second = TestCatalog::announcement(QStringLiteral("a2"), QStringLiteral("timer"));
    second.title = QStringLiteral("Meet Tempo Timer");
    second.body = QStringLiteral("A focus timer that stays on this computer.");
    LauncherManifest m = sampleCatalog();
    m.announcements = {first, second};
    return m;
}

}  // namespace UiTest

ViewHost::ViewHost()
{
    m_engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    // A view's warning (a misspelt kind, a property that is not there) fails the test that drew it.
    QObject::connect(&m_engine, &QQmlEngine::warnings, [](const QList<QQmlError> &warnings) {
        for (const QQmlError &warning : warnings)
            QTest::qFail(qPrintable(warning.toString()), __FILE__, __LINE__);
    });
}

ViewHost::~ViewHost()
{
    delete m_root;
    delete m_ownWindow;
}

QObject *ViewHost::load(const QString &path, const QVariantMap &properties, QSize size)
{
    // As in the launcher, a language change redraws the views of the store.
    if (auto *store = qobject_cast<LauncherStore *>(properties.value(QStringLiteral("store")).value<QObject *>()))
        refreshViewsOnLanguageChange(store, &m_engine);
    QQmlComponent component(&m_engine, QUrl(QStringLiteral("qrc:/qt/qml/Vantrel/qml/") + path));
    QObject *object = component.isError() ? nullptr : component.createWithInitialProperties(properties);
    if (!object) {
        qWarning().noquote() << component.errorString();
        return nullptr;
    }
    m_root = object;
    if (auto *window = qobject_cast<QQuickWindow *>(object)) {
        m_window = window;
    } else if (auto *item = qobject_cast<QQuickItem *>(object)) {
        m_ownWindow = m_window = new QQuickWindow;
        m_window->setColor(QColor(0x0B, 0x0D, 0x10));
        m_window->resize(size);
        item->setParentItem(m_window->contentItem());
        item->setSize(QSizeF(size));
    }
    if (m_window) {
        m_window->show();
        m_window->requestActivate();
        if (!QTest::qWaitForWindowExposed(m_window))
            qWarning("window not exposed");
    }
    return object;
}

void ViewHost::fitHeight()
{
    auto *item = qobject_cast<QQuickItem *>(m_root);
    if (!item || !m_ownWindow)
        return;
    waitForFrame();  // layouts are polished before a frame renders
    const int h = qCeil(item->implicitHeight());
    m_window->resize(m_window->width(), h);
    item->setHeight(h);
    waitForFrame();
}

void ViewHost::resize(int width, int height)
{
    m_window->resize(width, height);
    if (auto *item = qobject_cast<QQuickItem *>(m_root); item && m_ownWindow)
        item->setSize(QSizeF(width, height));
    QTRY_COMPARE(m_window->contentItem()->width(), qreal(width));
}

void ViewHost::waitForFrame()
{
    QSignalSpy swapped(m_window, &QQuickWindow::frameSwapped);
    m_window->update();
    swapped.wait(2000);
}

void ViewHost::scrollToEnd(QQuickItem *view)
{
    QVERIFY2(view, "nothing to scroll");
    qreal last = -1;
    QTRY_VERIFY([&] {
        QMetaObject::invokeMethod(view, "positionViewAtEnd");
        waitForFrame();
        const qreal now = view->property("contentY").toReal();
        const bool settled = qFuzzyCompare(now + 1, last + 1);
        last = now;
        return settled;
    }());
}

static void collect(QQuickItem *item, const std::function<bool(QQuickItem *)> &wanted, QList<QQuickItem *> &out)
{
    if (wanted(item))
        out.append(item);
    const QList<QQuickItem *> children = item->childItems();
    for (QQuickItem *child : children)
        collect(child, wanted, out);
}

QList<QQuickItem *> ViewHost::findAll(const QString &name, QQuickItem *under) const
{
    QList<QQuickItem *> out;
    if (QQuickItem *base = under ? under : (m_window ? m_window->contentItem() : nullptr))
        collect(base, [&](QQuickItem *item) { return item->objectName() == name; }, out);
    return out;
}

QQuickItem *ViewHost::find(const QString &name, QQuickItem *under) const
{
    const QList<QQuickItem *> all = findAll(name, under);
    if (!all.isEmpty())
        return all.first();
    return (!under && m_root) ? m_root->findChild<QQuickItem *>(name) : nullptr;
}

QQuickItem *ViewHost::findShown(const QString &name, QQuickItem *under) const
{
    for (QQuickItem *item : findAll(name, under)) {
        if (shown(item) && item->width() > 0)
            return item;
    }
    return nullptr;
}

QStringList ViewHost::shownNamed(const QString &prefix) const
{
    QList<QQuickItem *> items;
    collect(m_window->contentItem(),
            [&](QQuickItem *item) { return item->objectName().startsWith(prefix) && shown(item); }, items);
    std::sort(items.begin(), items.end(), [](QQuickItem *a, QQuickItem *b) {
        const QPointF pa = a->mapToScene(QPointF()), pb = b->mapToScene(QPointF());
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    QStringList names;
    for (QQuickItem *item : items)
        names.append(item->objectName().mid(prefix.size()));
    return names;
}

QStringList ViewHost::shownTexts() const
{
    QList<QQuickItem *> items;
    collect(m_window->contentItem(), [](QQuickItem *item) {
        return item->inherits("QQuickText") && shown(item) && !text(item).isEmpty();
    }, items);
    QStringList texts;
    for (QQuickItem *item : items)
        texts.append(text(item));
    return texts;
}

bool ViewHost::shown(const QQuickItem *item)
{
    for (const QQuickItem *i = item; i; i = i->parentItem()) {
        if (!i->isVisible() || i->opacity() <= 0)
            return false;
    }
    return item != nullptr;
}

QString ViewHost::childText(const QQuickItem *item, const QString &name)
{
    const auto children = item ? item->findChildren<QQuickItem *>(name) : QList<QQuickItem *>();
    return children.isEmpty() ? QString() : text(children.first());
}

void ViewHost::click(QQuickItem *item)
{
    QVERIFY2(item, "nothing to click");
    const QPoint centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, centre);
}

void ViewHost::key(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(m_window, Qt::Key(key), modifiers);
}

void ViewHost::type(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(m_window, Qt::Key_Return);
        else
            QTest::keyClick(m_window, c.toLatin1());
    }
}

void ViewHost::choose(QQuickItem *picker, const QString &label)
{
    click(picker);
    QObject *popup = picker->property("popup").value<QObject *>();
    QTRY_VERIFY(popup->property("opened").toBool());
    const auto entry = [&]() -> QQuickItem * {
        QList<QQuickItem *> out;
        collect(m_window->contentItem(), [&](QQuickItem *item) {
            return item->inherits("QQuickItemDelegate") && shown(item)
                && item->property("modelData").toMap().value(QStringLiteral("text")).toString() == label;
        }, out);
        return out.value(0);
    };
    QQuickItem *found = nullptr;
    QTRY_VERIFY((found = entry()));
    click(found);
    QTRY_VERIFY(!popup->property("visible").toBool());
}

QString ViewHost::screenshot(const QString &name)
{
    const QString dir = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR",
                                              qEnvironmentVariable("VANTREL_BUILD_DIR", QDir::currentPath()) + QStringLiteral("/screenshots"));
    QDir().mkpath(dir);
    waitForFrame();
    const QImage image = m_window->grabWindow();
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return !image.isNull() && image.save(path) ? path : QString();
}

StoreView::StoreView(const LauncherManifest &catalog) : catalog(catalog)
{
    h.loader->standing = catalog;
    relaunch();
}

void StoreView::relaunch()
{
    store = h.makeStore(catalog);
}

QObject *StoreView::open(const QString &path, QSize size, const QVariantMap &extra)
{
    QVariantMap properties = extra;
    properties.insert(QStringLiteral("store"), QVariant::fromValue(store.get()));
    view = host.load(path, properties, size);
    return view;
}

QObject *StoreView::openMainWindow(bool onboarded)
{
    if (onboarded)
        store->setOnboardingComplete(true);
    return open(QStringLiteral("windows/MainWindow.qml"));
}

QObject *StoreView::rootObject(const char *property) const
{
    QQuickItem *root = host.find(QStringLiteral("rootView"));
    return root ? root->property(property).value<QObject *>() : nullptr;
}

void StoreView::install(const QString &appId)
{
    store->installApp(appId);
    QTRY_VERIFY(!store->runningInstall(appId));
}

void StoreView::reach(const QString &appId, const QString &state)
{
    if (state == QLatin1String("installing")) {
        h.installer->gate = std::make_shared<Gate>();
        store->installApp(appId);
        return;
    }
    const bool failedUpdate = state == QLatin1String("failedUpdate");
    if (state == QLatin1String("failed"))
        h.installer->failWith(QStringLiteral("The checksum did not match."));
    if (state != QLatin1String("notInstalled"))
        install(appId);
    h.installer->behaviour = nullptr;
    store->clearErrorMessage();
    if (state == QLatin1String("updateAvailable") || failedUpdate) {
        for (AppManifestItem &app : catalog.apps) {
            if (app.id == appId)
                app.version = QStringLiteral("1.1.0");
        }
        h.loader->standing = catalog;
        QVERIFY(finishes(store->loadManifest()));
    }
    if (failedUpdate) {
        h.installer->failWith(QStringLiteral("The checksum did not match."));
        install(appId);
        h.installer->behaviour = nullptr;
        store->clearErrorMessage();
    }
    QCOMPARE(store->stateFor(appId).kindName(), failedUpdate ? QStringLiteral("failed") : state);
}

void StoreView::installUnlisted(const QString &appId, const QString &name)
{
    AppManifestItem app = TestCatalog::app(appId, AppReleaseStatus::live, QStringLiteral("2.0"));
    app.name = name;
    app.tagline = QStringLiteral("Installed before the catalog dropped it");
    const QString bundle = h.makeBundle(appId);
    InstallReceipt::write(QFileInfo(bundle).absolutePath(), QFileInfo(bundle).fileName(), app, bundle);
    QHash<QString, QString> versions = h.recorded(LauncherStore::installedVersionsKey);
    QHash<QString, QString> paths = h.recorded(LauncherStore::installedPathsKey);
    versions.insert(appId, app.version);
    paths.insert(appId, bundle);
    h.record(versions, paths);
    // The store follows the records another process writes.
    QTRY_VERIFY(!store->notListedKey(appId).isEmpty());
}

void StoreView::waitForRefresh()
{
    QTRY_VERIFY(!h.loader->locales.isEmpty());
    QTRY_COMPARE(store->manifest(), *h.loader->standing);
}
