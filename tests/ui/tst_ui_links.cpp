// Links into the launcher: the main window over a store with substitutes
// following them, and the real launcher started with one or handed one while
// it runs. A link shows a page or the library and changes nothing.

#include "CatalogBuilders.h"
#include "LinkRouter.h"
#include "QmlHarness.h"
#include "SingleInstance.h"
#include "ToolSandbox.h"

#include <QDirIterator>
#include <QLocalSocket>

namespace {

// Every file under root with its bytes: what "nothing changed on disk" compares.
QMap<QString, QByteArray> filesUnder(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files.insert(file.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable"));
    }
    return files;
}

bool answers(const QString &socketName)
{
    QLocalSocket socket;
    socket.connectToServer(socketName);
    return socket.waitForConnected(200);
}

// What the launcher logged so far, read on while waiting.
bool logs(QProcess &launcher, QByteArray &seen, const QByteArray &line)
{
    return QTest::qWaitFor([&] {
        seen += launcher.readAllStandardError();
        return seen.contains(line);
    }, 15000);
}

}  // namespace

class TestUiLinks : public QObject
{
    Q_OBJECT

    struct Followed {
        StoreView f;
        QQuickWindow *window = nullptr;
        std::unique_ptr<LinkRouter> router;
        QMap<QString, QByteArray> before;
    };

    // The main window over the sample catalog, "notes" installed, onboarding
    // pending or done; the link is followed once the window is up.
    static void follow(Followed &s, const QByteArray &link, bool onboarded)
    {
        s.f.reach(QStringLiteral("notes"), QStringLiteral("installed"));
        s.f.h.log->clear();
        s.window = qobject_cast<QQuickWindow *>(s.f.openMainWindow(onboarded));
        QVERIFY(s.window);
        QCOMPARE(s.f.store->requiresOnboarding(), !onboarded);
        s.before = filesUnder(s.f.h.dir.path());
        s.router = std::make_unique<LinkRouter>(s.f.store.get(), s.window);
        s.router->follow(link);
    }

    // Nothing was installed, opened, removed or written.
    static void verifyNothingChanged(const Followed &s)
    {
        QCOMPARE(*s.f.h.log, QStringList());
        QCOMPARE(s.f.h.installer->calls, QStringList({QStringLiteral("notes")}));
        QCOMPARE(s.f.h.workspace->opened, QList<QUrl>());
        QCOMPARE(filesUnder(s.f.h.dir.path()), s.before);
    }

private Q_SLOTS:
    void initTestCase() { UiTest::initialise(); }

    // The linked app's page, raised, even where onboarding would come first (left out in memory only).
    void linkShowsThePage_data()
    {
        QTest::addColumn<QByteArray>("link");
        QTest::addColumn<bool>("onboarded");
        QTest::addColumn<QString>("name");
        QTest::newRow("not installed") << QByteArray("vantrel://app/shots") << true << "Frame Shots";
        QTest::newRow("installed: not opened") << QByteArray("vantrel://app/notes") << true << "Quill Notes";
        QTest::newRow("before onboarding") << QByteArray("vantrel://app/shots") << false << "Frame Shots";
    }
    void linkShowsThePage()
    {
        QFETCH(QByteArray, link);
        QFETCH(bool, onboarded);
        QFETCH(QString, name);
        Followed s;
        follow(s, link, onboarded);
        QCOMPARE(s.f.store->selectedAppID(), std::optional(QString::fromUtf8(link).section('/', -1)));
        QVERIFY(s.window->isVisible());
        QVERIFY(!s.f.store->requiresOnboarding());
        // Left out in memory only: a store started afresh over the same records offers onboarding again.
        QVERIFY(s.f.h.makeStore(s.f.catalog)->requiresOnboarding());
        QTRY_COMPARE(ViewHost::text(s.f.host.findShown(QStringLiteral("detailName"))), name);
        QVERIFY(s.f.store->errorMessage() == std::nullopt);
        verifyNothingChanged(s);
        QTRY_COMPARE(s.f.item(QStringLiteral("shellSlot"))->opacity(), 1.0);  // the cross-fade from onboarding is over
        s.f.host.screenshot(QStringLiteral("link-") + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-').remove(':'));
    }

    // An id the catalog does not list (or hides) shows the library with the line; a search link fills its field.
    void unlistedIdShowsTheLine_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("unknown") << "nosuch";
        QTest::newRow("retired") << "relic";
    }
    void unlistedIdShowsTheLine()
    {
        QFETCH(QString, id);
        Followed s;
        follow(s, "vantrel://app/" + id.toUtf8(), false);
        QVERIFY(!s.f.store->requiresOnboarding());
        QVERIFY(s.f.shell());
        QCOMPARE(s.f.store->errorMessage(), std::optional(QStringLiteral("No app called \"%1\" is in the catalog.").arg(id)));
        QTRY_VERIFY(ViewHost::shown(s.f.host.find(QStringLiteral("errorAlertMessage"))));
        verifyNothingChanged(s);
        QTRY_COMPARE(s.f.item(QStringLiteral("shellSlot"))->opacity(), 1.0);
        if (id == QLatin1String("nosuch"))
            s.f.host.screenshot(QStringLiteral("link-unknown-app"));
    }

    void unlistedIdShowsOnceTheRefreshListsIt()
    {
        Followed s;
        follow(s, "vantrel://app/later", true);
        QVERIFY(s.f.store->errorMessage());
        LauncherManifest refreshed = s.f.catalog;
        refreshed.apps.append(TestCatalog::app(QStringLiteral("later")));
        s.f.h.loader->standing = refreshed;
        s.f.store->refreshCatalog();
        QTRY_COMPARE(s.f.store->selectedAppID(), std::optional(QStringLiteral("later")));
        QCOMPARE(s.f.store->errorMessage(), std::nullopt);
    }

    void searchLinkFiltersTheLibrary()
    {
        Followed s;
        follow(s, "vantrel://search/frame%20shots", false);
        QVERIFY(s.f.shell());
        QCOMPARE(s.f.shell()->property("searchText").toString(), QStringLiteral("frame shots"));
        verifyNothingChanged(s);
    }

    // A link that does not read changes nothing, not even onboarding.
    void hostileLinkChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("link");
        QTest::newRow("install path") << QByteArray("vantrel://install/shots");
        QTest::newRow("query") << QByteArray("vantrel://app/shots?install=1");
        QTest::newRow("dot dot") << QByteArray("vantrel://app/../../shots");
        QTest::newRow("encoded slash") << QByteArray("vantrel://app/shots%2Finstall");
        QTest::newRow("not UTF-8") << QByteArray("vantrel://app/sh\xffots");
        QTest::newRow("over 2 KB") << QByteArray("vantrel://app/") + QByteArray(2100, 's');
    }
    void hostileLinkChangesNothing()
    {
        QFETCH(QByteArray, link);
        Followed s;
        const std::optional<QString> selected = s.f.store->selectedAppID();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refused a link: ")));
        follow(s, link, false);
        QVERIFY(s.f.store->requiresOnboarding());
        QCOMPARE(s.f.store->selectedAppID(), selected);
        QCOMPARE(s.f.store->errorMessage(), std::nullopt);
        QVERIFY(s.window->isVisible());
        verifyNothingChanged(s);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refused a link: ")));
        QCOMPARE(LinkRouter::forHandOver(link), QByteArray());
    }

    // The real launcher: started with a link, then handed links while it runs; a hostile one is refused by the
    // start that got it and by the running launcher alike. Nothing is installed and no file changes.
    void launcherFollowsLinks()
    {
        ToolSandbox sandbox;
        sandbox.publish({TestCatalog::app(QStringLiteral("notes")), TestCatalog::app(QStringLiteral("shots"))});
        QCOMPARE(sandbox.run({QStringLiteral("list")}).exitCode, 0);  // keeps the catalog on disk
        const QString runtime = sandbox.path(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment &env = sandbox.environment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("vantrel.ui.info=true"));
        const QString socket = runtime + QStringLiteral("/vantrel-launcher-") + QString::number(::getuid());
        const QString settings = sandbox.settingsFile();
        const QMap<QString, QByteArray> before = filesUnder(sandbox.home() + QStringLiteral("/.config"));

        // Not running: a hostile link is refused and the launcher starts all the same.
        auto refused = sandbox.start({QStringLiteral("vantrel://app/shots?install=1")}, ToolSandbox::launcher());
        QByteArray seen;
        QVERIFY2(logs(*refused, seen, "Refused a link: a query"), seen.constData());
        QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 10000);
        refused->terminate();
        QVERIFY(refused->waitForFinished(5000));

        // Not running: the link starts it on the page.
        auto first = sandbox.start({QStringLiteral("vantrel://app/shots")}, ToolSandbox::launcher());
        seen.clear();
        QVERIFY2(logs(*first, seen, "Showing the page of shots"), seen.constData());
        QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 10000);

        // Running: a second start hands its link over and ends.
        // What the second start logged; it must end at once and well.
        const auto handOver = [&](const QString &link) {
            auto second = sandbox.start({link}, ToolSandbox::launcher());
            const bool ended = second->waitForFinished(5000) && second->exitCode() == 0;
            return ended ? second->readAllStandardError() : QByteArray("did not end well");
        };
        QVERIFY(!handOver(QStringLiteral("vantrel://app/notes")).contains("did not end well"));
        QVERIFY2(logs(*first, seen, "Showing the page of notes"), seen.constData());
        QVERIFY(!handOver(QStringLiteral("vantrel://app/nosuch")).contains("did not end well"));
        QVERIFY2(logs(*first, seen, "Not in the catalog: nosuch"), seen.constData());
        // Hostile links: each refused by the start that got it, which ends; the running launcher carries on.
        for (const QString &hostile : {QStringLiteral("vantrel://app/%2e%2e%2Fshots"), QStringLiteral("vantrel://install/shots"),
                                       QStringLiteral("vantrel://app/shots#install"), QStringLiteral("steam://run/1"),
                                       QStringLiteral("vantrel://app/") + QString(2100, QLatin1Char('s'))}) {
            const QByteArray secondSaid = handOver(hostile);
            QVERIFY2(secondSaid.contains("Refused a link"), qPrintable(hostile.left(40) + QString::fromUtf8(secondSaid)));
            QVERIFY(first->state() == QProcess::Running);
        }
        seen += first->readAllStandardError();
        QCOMPARE(seen.count("Following a link"), 3);  // the start's own link, then notes and nosuch

        first->terminate();
        QVERIFY(first->waitForFinished(5000));
        QCOMPARE(sandbox.records(QStringLiteral("vantrel.installedVersions")), (QHash<QString, QString>()));
        QVERIFY(!QFileInfo::exists(sandbox.home() + QStringLiteral("/Applications/Vantrel/shots")));
        QCOMPARE(filesUnder(sandbox.home() + QStringLiteral("/.config")).keys(), before.keys());
        QVERIFY(!QFile::exists(settings) || before.contains(settings));
    }
};

QTEST_MAIN(TestUiLinks)
#include "tst_ui_links.moc"
