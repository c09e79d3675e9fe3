// End to end with the real executables: the development service, `vantrel
// install` and `vantrel open` into a temporary home, and the demo program
// inside the installed bundle.

#include "DevServerHarness.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/types.h>

using namespace DevHarness;

namespace {

QString plistValue(const QString &plistPath, const QString &key)
{
    QFile file(plistPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression pattern(QStringLiteral("<key>%1</key>\\s*<string>([^<]*)</string>").arg(key));
    return pattern.match(QString::fromUtf8(file.readAll())).captured(1);
}

bool processGone(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0)
        return true;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    return status.open(QIODevice::ReadOnly) && status.readAll().contains("State:\tZ");
}

}  // namespace

class DevServerEndToEndTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QProcessEnvironment environment(const DevServer &server, const QString &marker) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral(".local/share")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral(".cache")));
        env.insert(QStringLiteral("VANTREL_MANIFEST_URL"), server.url(QStringLiteral("/api/launcher/manifest")).toString());
        env.insert(QStringLiteral("VANTREL_API_URL"), server.baseUrl().toString());
        env.remove(QStringLiteral("VANTREL_LAUNCHER_SENTRY_DSN"));
        // The events carry the system language.
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
        // The demo program draws offscreen, reports itself and never outlives the test for long.
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VANTREL_DEMO_MARKER"), marker);
        env.insert(QStringLiteral("VANTREL_DEMO_QUIT_AFTER_MS"), QStringLiteral("120000"));
        return env;
    }

    QString bundle(const QString &name) const
    {
        return m_home.filePath(QStringLiteral("Applications/Vantrel/%1.app").arg(name));
    }

    // The events one app's install sent, in order of arrival.
    static QList<QJsonObject> eventsFor(const QString &dataDir, const QString &appSlug)
    {
        QList<QJsonObject> result;
        for (const QJsonObject &record : dump(dataDir, QStringLiteral("events"))) {
            if (record.value(QStringLiteral("event")).toObject().value(QStringLiteral("appSlug")).toString() == appSlug)
                result.append(record);
        }
        return result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_home.isValid());
        QVERIFY2(QFileInfo(devserverPath()).isExecutable(), qPrintable(devserverPath()));
        QVERIFY2(QFileInfo(vantrelPath()).isExecutable(), qPrintable(vantrelPath()));
        const ToolRun help = runTool(vantrelPath(), {QStringLiteral("help")});
        if (!help.out.contains("vantrel install") || !help.out.contains("vantrel open"))
            QSKIP("vantrel has no install/open commands yet; the end-to-end run needs them");
    }

    void installAndOpenSampleApp()
    {
        QTemporaryDir data;
        DevServer server;
        QVERIFY2(server.start(data.path()), qPrintable(server.error()));
        const QString marker = m_home.filePath(QStringLiteral("tempo-started.json"));
        const QProcessEnvironment env = environment(server, marker);

        const ToolRun install = runTool(vantrelPath(), {QStringLiteral("install"), QStringLiteral("tempo")}, env);
        QVERIFY2(install.finished && install.exitCode == 0, (install.out + install.err).constData());

        // The bundle is in place, its program executable.
        const QString app = bundle(QStringLiteral("Tempo"));
        const QString plist = app + QStringLiteral("/Contents/Info.plist");
        QCOMPARE(plistValue(plist, QStringLiteral("CFBundleIdentifier")), QStringLiteral("com.vantrel.timer"));
        QCOMPARE(plistValue(plist, QStringLiteral("CFBundleShortVersionString")), QStringLiteral("2.3.1"));
        const QFileInfo program(app + QStringLiteral("/Contents/MacOS/") + plistValue(plist, QStringLiteral("CFBundleExecutable")));
        QVERIFY2(program.isFile(), qPrintable(program.filePath()));
        QVERIFY(program.permissions().testFlag(QFileDevice::ExeOwner));

        // Opening starts the program from the installed bundle.
        const ToolRun open = runTool(vantrelPath(), {QStringLiteral("open"), QStringLiteral("tempo")}, env);
        QVERIFY2(open.finished && open.exitCode == 0, (open.out + open.err).constData());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 30000);
        QFile markerFile(marker);
        QVERIFY(markerFile.open(QIODevice::ReadOnly));
        const QJsonObject started = QJsonDocument::fromJson(markerFile.readAll()).object();
        const qint64 pid = started.value(QStringLiteral("pid")).toInteger();
        QVERIFY(pid > 0);
        QVERIFY(::kill(pid_t(pid), SIGTERM) == 0);
        QCOMPARE(started.value(QStringLiteral("name")).toString(), QStringLiteral("Tempo"));
        QCOMPARE(started.value(QStringLiteral("version")).toString(), QStringLiteral("2.3.1"));
        QCOMPARE(started.value(QStringLiteral("bundleId")).toString(), QStringLiteral("com.vantrel.timer"));
        QCOMPARE(QFileInfo(started.value(QStringLiteral("plist")).toString()).canonicalFilePath(),
                 QFileInfo(plist).canonicalFilePath());
        QTRY_VERIFY_WITH_TIMEOUT(processGone(pid), 10000);

        // The service saw the install begin and succeed, in the system language.
        const QList<QJsonObject> events = eventsFor(data.path(), QStringLiteral("tempo"));
        QStringList types;
        for (const QJsonObject &record : events) {
            types << record.value(QStringLiteral("event")).toObject().value(QStringLiteral("eventType")).toString();
            QCOMPARE(record.value(QStringLiteral("locale")).toString(), QStringLiteral("de"));
            QCOMPARE(record.value(QStringLiteral("event")).toObject().value(QStringLiteral("appVersion")).toString(),
                     QStringLiteral("2.3.1"));
        }
        QCOMPARE(types, (QStringList{QStringLiteral("install_started"), QStringLiteral("install_succeeded")}));
    }

    void switchingCatalogsUpdatesTheApp()
    {
        const QString marker = m_home.filePath(QStringLiteral("unused.json"));
        QTemporaryDir firstData;
        {
            DevServer first;
            QVERIFY2(first.start(firstData.path(), {QStringLiteral("--catalog"), QStringLiteral("first")}), qPrintable(first.error()));
            const ToolRun install = runTool(vantrelPath(), {QStringLiteral("install"), QStringLiteral("inkwell")},
                                            environment(first, marker));
            QVERIFY2(install.finished && install.exitCode == 0, (install.out + install.err).constData());
        }
        const QString plist = bundle(QStringLiteral("Inkwell")) + QStringLiteral("/Contents/Info.plist");
        QCOMPARE(plistValue(plist, QStringLiteral("CFBundleShortVersionString")), QStringLiteral("1.0.0"));

        QTemporaryDir multiData;
        DevServer multi;
        QVERIFY2(multi.start(multiData.path()), qPrintable(multi.error()));
        const QProcessEnvironment env = environment(multi, marker);
        const ToolRun list = runTool(vantrelPath(), {QStringLiteral("list"), QStringLiteral("--json")}, env);
        QVERIFY2(list.finished && list.exitCode == 0, (list.out + list.err).constData());
        const QJsonArray apps = QJsonDocument::fromJson(list.out).array();
        const auto inkwell = std::find_if(apps.begin(), apps.end(), [](const QJsonValue &v) {
            return v.toObject().value(QStringLiteral("id")).toString() == QLatin1String("inkwell");
        });
        QVERIFY(inkwell != apps.end());
        QVERIFY2(QJsonDocument(inkwell->toObject()).toJson().contains("updateAvailable"),
                 QJsonDocument(inkwell->toObject()).toJson().constData());

        const ToolRun update = runTool(vantrelPath(), {QStringLiteral("install"), QStringLiteral("inkwell")}, env);
        QVERIFY2(update.finished && update.exitCode == 0, (update.out + update.err).constData());
        QCOMPARE(plistValue(plist, QStringLiteral("CFBundleShortVersionString")), QStringLiteral("1.1.0"));

        QStringList types;
        for (const QJsonObject &record : eventsFor(multiData.path(), QStringLiteral("inkwell")))
            types << record.value(QStringLiteral("event")).toObject().value(QStringLiteral("eventType")).toString();
        QCOMPARE(types, (QStringList{QStringLiteral("install_started"), QStringLiteral("install_succeeded")}));
    }
};

QTEST_GUILESS_MAIN(DevServerEndToEndTest)
#include "tst_devserver_e2e.moc"
