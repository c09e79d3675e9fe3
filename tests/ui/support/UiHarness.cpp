#include "UiHarness.h"

#include "CompiledAppProperties.h"
#include "SymbolGlyphs.h"
#include "SystemLanguage.h"

#include <QDir>
#include <QTimeZone>
#include <QQmlComponent>
#include <QQuickItemGrabResult>
#include <QQuickStyle>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace UiFixtures {

AppManifestItem app(const QString &id, const QString &name, AppReleaseStatus status, const QString &category,
                    AppAccent accent)
{
    AppManifestItem a;
    a.id = id;
    a.name = name;
    a.tagline = name + QStringLiteral(" does one small thing well");
    a.category = category;
    a.bundleId = QStringLiteral("com.vantrel.") + id;
    a.version = QStringLiteral("1.0.0");
    a.minMacOS = QStringLiteral("13.0");
    a.status = status;
    a.downloadUrl = QUrl(QStringLiteral("https://downloads.example.com/") + id + QStringLiteral(".zip"));
    a.sha256 = QString(64, QLatin1Char('a'));
    a.symbolName = QStringLiteral("sparkles");
    a.accent = accent;
    a.tags = {QStringLiteral("focus"), QStringLiteral("daily")};
    a.description = name + QStringLiteral(" is a small desktop app from the Vantrel family.");
    a.privacyNote = QStringLiteral("Runs locally; nothing leaves this computer.");
    if (status == AppReleaseStatus::comingSoon) {
        a.downloadUrl.reset();
        a.sha256.reset();
    }
    return a;
}

LauncherManifest manifest(const QList<AppManifestItem> &apps)
{
    LauncherManifest m;
    m.generatedAt = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
    m.apps = apps;
    return m;
}

LauncherManifest richCatalog()
{
    AppManifestItem notes = app(QStringLiteral("notes"), QStringLiteral("Quill Notes"), AppReleaseStatus::live,
                                QStringLiteral("Writing"), AppAccent::lime);
    notes.symbolName = QStringLiteral("note.text");
    notes.tags = {QStringLiteral("markdown"), QStringLiteral("journal")};
    notes.releaseNotes = {{QStringLiteral("1.0.0"), QStringLiteral("2026-11-20"), QStringLiteral("First release.")},
                          {QStringLiteral("0.9.0"), QStringLiteral("2026-11-02"), QStringLiteral("Public beta.")}};
    notes.sparkleFeedUrl = QUrl(QStringLiteral("https://updates.vantrel.example/notes.xml"));

    AppManifestItem timer = app(QStringLiteral("timer"), QStringLiteral("Tempo Timer"), AppReleaseStatus::beta,
                                QStringLiteral("Productivity"), AppAccent::violet);
    timer.symbolName = QStringLiteral("timer");
    timer.tags = {QStringLiteral("pomodoro"), QStringLiteral("focus")};
    timer.sparkleFeedUrl = QUrl(QStringLiteral("http://builder.local/timer.xml"));

    AppManifestItem shots = app(QStringLiteral("shots"), QStringLiteral("Frame Shots"), AppReleaseStatus::live,
                                QStringLiteral("Photo"), AppAccent::amber);
    shots.symbolName = QStringLiteral("camera");
    shots.tags = {QStringLiteral("photo"), QStringLiteral("editing")};

    AppManifestItem cafe = app(QStringLiteral("cafe"), QStringLiteral("Café Menu"), AppReleaseStatus::live,
                               QStringLiteral("Utilities"), AppAccent::blue);
    cafe.symbolName = QStringLiteral("cart");

    AppManifestItem soon = app(QStringLiteral("atlas"), QStringLiteral("Atlas Maps"), AppReleaseStatus::comingSoon,
                               QStringLiteral("Travel"), AppAccent::cyan);
    soon.symbolName = QStringLiteral("map");

    // Visible but with incomplete release data (no checksum).
    AppManifestItem incomplete = app(QStringLiteral("draft"), QStringLiteral("Draft Board"), AppReleaseStatus::live,
                                     QStringLiteral("Writing"), AppAccent::cyan);
    incomplete.sha256.reset();
    incomplete.symbolName = QStringLiteral("no.such.symbol");

    return manifest({notes, timer, shots, cafe, soon, incomplete});
}

}  // namespace UiFixtures

UiHarness::UiHarness(Options options) : m_options(std::move(options))
{
    QStandardPaths::setTestModeEnabled(true);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    SymbolGlyphs::ensureFontLoaded();
    m_loader = std::make_shared<FixtureManifestLoader>();
    m_loader->manifest = m_options.remote.value_or(m_options.initial);
    m_installer = std::make_shared<FakeAppInstaller>(m_home.path());
    m_workspace = std::make_shared<RecordingWorkspace>();

    LauncherStore::Collaborators c;
    c.manifestLoader = m_loader;
    c.installer = m_installer;
    c.eventRecorder = std::make_shared<NullEventRecorder>();
    c.feedbackClient = std::make_shared<NullFeedbackClient>();
    c.userDefaults = std::make_shared<MemoryUserDefaults>();
    c.workspace = m_workspace;
    c.systemVersion = std::make_shared<FixedVersion>();
    c.systemLanguage = std::make_shared<FixedSystemLanguage>(m_options.language);
    c.appProperties = std::make_shared<MapAppProperties>();
    m_store = std::make_unique<LauncherStore>(std::move(c), m_options.initial);
    if (m_options.onboardingComplete)
        m_store->setOnboardingComplete(true);
}

UiHarness::~UiHarness()
{
    delete m_window;
    m_engine.reset();
}

bool UiHarness::load()
{
    m_engine = std::make_unique<QQmlEngine>();
    m_engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    QQmlComponent component(m_engine.get(), QUrl(QStringLiteral("qrc:/qt/qml/Vantrel/qml/windows/MainWindow.qml")));
    QObject *object = component.createWithInitialProperties(
        {{QStringLiteral("store"), QVariant::fromValue(m_store.get())}, {QStringLiteral("appName"), QStringLiteral("Vantrel")}});
    m_window = qobject_cast<QQuickWindow *>(object);
    if (!m_window) {
        m_errors = component.errorString();
        delete object;
        return false;
    }
    m_window->resize(m_options.windowSize);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window)) {
        m_errors = QStringLiteral("window not exposed");
        return false;
    }
    return true;
}

QQuickItem *UiHarness::rootView() const
{
    return find(QStringLiteral("rootView"));
}

QQuickItem *UiHarness::shell() const
{
    return find(QStringLiteral("launcherShell"));
}

// Walks the visual tree (Loader and popup contents are visual children, not
// always QObject children).
static void collect(QQuickItem *item, const QString &objectName, QList<QQuickItem *> &out)
{
    if (!item)
        return;
    if (item->objectName() == objectName)
        out.append(item);
    const QList<QQuickItem *> children = item->childItems();
    for (QQuickItem *child : children)
        collect(child, objectName, out);
}

static QList<QQuickItem *> collectAll(QQuickItem *base, const QString &objectName)
{
    QList<QQuickItem *> out;
    collect(base, objectName, out);
    return out;
}

QQuickItem *UiHarness::find(const QString &objectName) const
{
    if (!m_window)
        return nullptr;
    const QList<QQuickItem *> all = collectAll(m_window->contentItem(), objectName);
    return all.isEmpty() ? nullptr : all.first();
}

QList<QQuickItem *> UiHarness::findAll(const QString &objectName, QQuickItem *under) const
{
    QQuickItem *base = under ? under : (m_window ? m_window->contentItem() : nullptr);
    return base ? collectAll(base, objectName) : QList<QQuickItem *>();
}

static bool effectivelyVisible(QQuickItem *item)
{
    return item && item->isVisible() && item->opacity() > 0 && item->width() > 0;
}

QQuickItem *UiHarness::findVisible(const QString &objectName, QQuickItem *under) const
{
    QQuickItem *base = under ? under : (m_window ? m_window->contentItem() : nullptr);
    if (!base)
        return nullptr;
    const QList<QQuickItem *> items = collectAll(base, objectName);
    for (QQuickItem *item : items) {
        if (effectivelyVisible(item))
            return item;
    }
    return nullptr;
}

static void collectText(QQuickItem *item, const QString &text, QList<QQuickItem *> &out)
{
    if (!item || !item->isVisible())
        return;
    if (item->metaObject()->indexOfProperty("text") >= 0 && item->property("text").toString() == text)
        out.append(item);
    const QList<QQuickItem *> children = item->childItems();
    for (QQuickItem *child : children)
        collectText(child, text, out);
}

QList<QQuickItem *> UiHarness::findText(const QString &text, QQuickItem *under) const
{
    QList<QQuickItem *> out;
    collectText(under ? under : (m_window ? m_window->contentItem() : nullptr), text, out);
    return out;
}

void UiHarness::resize(int width, int height)
{
    m_window->resize(width, height);
    QTRY_COMPARE(m_window->contentItem()->width(), qreal(width));
}

void UiHarness::click(QQuickItem *item)
{
    QVERIFY2(item, "nothing to click");
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

QString UiHarness::screenshotDir()
{
    const QString base = qEnvironmentVariable("VANTREL_BUILD_DIR", QDir::currentPath());
    const QString dir = base + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    return dir;
}

QString UiHarness::screenshot(const QString &name)
{
    // Let animations and asynchronous layout settle for a rendered frame.
    QSignalSpy swapped(m_window, &QQuickWindow::frameSwapped);
    m_window->update();
    swapped.wait(2000);
    const QImage image = m_window->grabWindow();
    const QString path = screenshotDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    if (image.isNull() || !image.save(path))
        return {};
    return path;
}

void UiHarness::install(const QString &appId)
{
    m_store->installApp(appId);
    QTRY_VERIFY(!m_store->isInstallRunning(appId));
}

void UiHarness::waitForRefresh()
{
    QTRY_VERIFY(m_loader->loads > 0);
    QTRY_COMPARE(m_store->manifest(), m_loader->manifest);
}
