// The desktop's search over a private session bus: the search program answers
// GNOME Shell's and KRunner's calls from the catalog kept on disk, offers only
// visible apps that are not installed, at most five, and its results show
// their page in the launcher.

#include "CatalogBuilders.h"
#include "ToolSandbox.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QLocalSocket>
#include <QTest>

#include <unistd.h>

namespace {

const QString busName = QStringLiteral("com.vantrel.launcher.SearchProvider");
const QString gnomePath = QStringLiteral("/com/vantrel/launcher/SearchProvider");
const QString runnerPath = QStringLiteral("/com/vantrel/launcher/Runner");

QString searchProgram()
{
    return QFileInfo(ToolSandbox::launcher()).dir().filePath(QStringLiteral("vantrel-search-provider"));
}

// KRunner's matches, read field by field: (sssida{sv}).
struct Match {
    QString id;
    QString text;
    QString icon;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;
};

QList<Match> matchesOf(const QDBusMessage &reply)
{
    QList<Match> matches;
    const QDBusArgument argument = reply.arguments().value(0).value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        Match m;
        argument.beginStructure();
        argument >> m.id >> m.text >> m.icon >> m.type >> m.relevance >> m.properties;
        argument.endStructure();
        matches.append(m);
    }
    argument.endArray();
    return matches;
}

qint64 residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

}  // namespace

class DesktopSearchTest : public QObject
{
    Q_OBJECT

    ToolSandbox m_sandbox;
    std::unique_ptr<QProcess> m_provider;

    QDBusMessage call(const QString &path, const QString &interface, const QString &method, const QVariantList &args)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(busName, path, interface, method);
        message.setArguments(args);
        return QDBusConnection::sessionBus().call(message, QDBus::Block, 5000);
    }
    QStringList gnome(const QString &method, const QVariantList &args)
    {
        const QDBusMessage reply = call(gnomePath, QStringLiteral("org.gnome.Shell.SearchProvider2"), method, args);
        return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toStringList()
                                                          : QStringList{QStringLiteral("error: ") + reply.errorMessage()};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(searchProgram()), "vantrel-search-provider has not been built");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus (run under run-on-own-bus.py)");
        QList<AppManifestItem> apps{TestCatalog::app(QStringLiteral("shots")),
                                    TestCatalog::app(QStringLiteral("shotsbeta"), AppReleaseStatus::beta),
                                    TestCatalog::app(QStringLiteral("shotsold"), AppReleaseStatus::retired),
                                    TestCatalog::app(QStringLiteral("shotspro")),
                                    TestCatalog::app(QStringLiteral("notes"))};
        for (int i = 1; i <= 6; ++i)
            apps.append(TestCatalog::app(QStringLiteral("photo%1").arg(i)));
        m_sandbox.publish(apps);
        QCOMPARE(m_sandbox.run({QStringLiteral("list")}).exitCode, 0);  // the catalog kept on disk
        const QString bundle = m_sandbox.path(QStringLiteral("Applications/Vantrel/shotspro.app"));
        QVERIFY(QDir().mkpath(bundle));
        m_sandbox.setRecords(QStringLiteral("shotspro"), QStringLiteral("1.0.0"), bundle);
        // The service is gone from now on: only the copy on disk answers.
        m_sandbox.publish({}, 503);

        const QString runtime = m_sandbox.path(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment &env = m_sandbox.environment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("vantrel.ui.info=true"));
        m_provider = m_sandbox.start({}, searchProgram());
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(busName), 10000);
    }

    void cleanupTestCase()
    {
        if (m_provider) {
            m_provider->terminate();
            m_provider->waitForFinished(5000);
        }
    }

    // The same answers from GNOME's initial and narrowed searches and from KRunner, the best first.
    void results_data()
    {
        QTest::addColumn<QStringList>("terms");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("hidden, retired and installed left out") << QStringList{"sh"} << QStringList{"shots"};
        QTest::newRow("capitals") << QStringList{"NOTES"} << QStringList{"notes"};
        QTest::newRow("one character") << QStringList{"n"} << QStringList();
        QTest::newRow("two terms, one phrase") << QStringList{"tagline", "of", "notes"} << QStringList{"notes"};
        QTest::newRow("at most five") << QStringList{"photo"}
                                      << QStringList{"photo1", "photo2", "photo3", "photo4", "photo5"};
        QTest::newRow("names first") << QStringList{"tagline of photo"}
                                     << QStringList{"photo1", "photo2", "photo3", "photo4", "photo5"};
        QTest::newRow("nothing") << QStringList{"zzz"} << QStringList();
    }
    void results()
    {
        QFETCH(QStringList, terms);
        QFETCH(QStringList, ids);
        QCOMPARE(gnome(QStringLiteral("GetInitialResultSet"), {terms}), ids);
        QCOMPARE(gnome(QStringLiteral("GetSubsearchResultSet"), {QStringList{"shots", "notes"}, terms}), ids);
        const QDBusMessage reply = call(runnerPath, QStringLiteral("org.kde.krunner1"), QStringLiteral("Match"),
                                        {terms.join(QLatin1Char(' '))});
        QCOMPARE(reply.signature(), QStringLiteral("a(sssida{sv})"));
        QStringList matched;
        for (const Match &m : matchesOf(reply))
            matched << m.id;
        QCOMPARE(matched, ids);
    }

    void metasNameTaglineAndIcon()
    {
        const QDBusMessage reply = call(gnomePath, QStringLiteral("org.gnome.Shell.SearchProvider2"),
                                        QStringLiteral("GetResultMetas"), {QStringList{"notes", "shotspro", "nosuch"}});
        QCOMPARE(reply.signature(), QStringLiteral("aa{sv}"));
        const QDBusArgument argument = reply.arguments().value(0).value<QDBusArgument>();
        QList<QVariantMap> metas;
        argument >> metas;
        QCOMPARE(metas.size(), 1);  // an installed app and an unknown id have none
        QCOMPARE(metas[0].value("id").toString(), QStringLiteral("notes"));
        QCOMPARE(metas[0].value("name").toString(), QStringLiteral("Notes"));
        QCOMPARE(metas[0].value("description").toString(), QStringLiteral("Tagline of notes"));
        QVERIFY(!metas[0].value("gicon").toString().isEmpty());

        const QList<Match> matches = matchesOf(call(runnerPath, QStringLiteral("org.kde.krunner1"), QStringLiteral("Match"), {"notes"}));
        QCOMPARE(matches.size(), 1);
        QCOMPARE(matches[0].text, QStringLiteral("Notes"));
        QCOMPARE(matches[0].properties.value("subtext").toString(), QStringLiteral("Tagline of notes"));
        QVERIFY(!matches[0].icon.isEmpty());
        const QDBusMessage actions = call(runnerPath, QStringLiteral("org.kde.krunner1"), QStringLiteral("Actions"), {});
        QCOMPARE(actions.signature(), QStringLiteral("a(sss)"));
    }

    // Activation goes through the launcher's one-instance channel: the running launcher shows the page.
    void activationShowsThePage()
    {
        auto launcher = m_sandbox.start({QStringLiteral("--hidden")}, ToolSandbox::launcher());
        const QString socket = m_sandbox.path(QStringLiteral("run/vantrel-launcher-")) + QString::number(::getuid());
        QTRY_VERIFY_WITH_TIMEOUT([&] { QLocalSocket s; s.connectToServer(socket); return s.waitForConnected(200); }(), 10000);
        QByteArray seen;
        const auto logged = [&](const QByteArray &line) {
            return QTest::qWaitFor([&] { return (seen += launcher->readAllStandardError()).contains(line); }, 15000);
        };
        call(gnomePath, QStringLiteral("org.gnome.Shell.SearchProvider2"), QStringLiteral("ActivateResult"),
             {QStringLiteral("shots"), QStringList{"sh"}, 0u});
        QVERIFY2(logged("Showing the page of shots"), seen.constData());
        call(runnerPath, QStringLiteral("org.kde.krunner1"), QStringLiteral("Run"), {QStringLiteral("notes"), QString()});
        QVERIFY2(logged("Showing the page of notes"), seen.constData());
        call(gnomePath, QStringLiteral("org.gnome.Shell.SearchProvider2"), QStringLiteral("LaunchSearch"),
             {QStringList{"photo", "editor"}, 0u});
        QVERIFY2(logged("Following a link: vantrel://search/photo%20editor"), seen.constData());
        // An id it did not offer starts nothing.
        call(runnerPath, QStringLiteral("org.kde.krunner1"), QStringLiteral("Run"), {QStringLiteral("shotspro"), QString()});
        QTest::qWait(1000);
        QVERIFY(!(seen += launcher->readAllStandardError()).contains("vantrel://app/shotspro"));
        launcher->terminate();
        QVERIFY(launcher->waitForFinished(5000));
        QCOMPARE(m_sandbox.records(QStringLiteral("vantrel.installedVersions")).keys(), QStringList{"shotspro"});
    }

    void staysSmall()
    {
        QVERIFY(m_provider->state() == QProcess::Running);
        const qint64 kib = residentKiB(m_provider->processId());
        QVERIFY2(kib > 0 && kib < 30 * 1024, qPrintable(QStringLiteral("%1 KiB resident").arg(kib)));
    }
};

QTEST_GUILESS_MAIN(DesktopSearchTest)
#include "tst_desktop_search.moc"
