// `vantrel list`, `install` and `open` through the built executable, against a
// catalog, release archives and an event endpoint on loopback, in a temporary home.

#include "CatalogBuilders.h"
#include "ToolSandbox.h"
#include "ZipBuilder.h"
#include "store/LauncherStore.h"

#include <QJsonDocument>
#include <QtTest>

class TestCliStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ToolSandbox> m_cli;

    // A release of the app served by the sandbox; `vantrel open` runs its
    // program, which writes its version where VANTREL_TEST_MARKER says.
    AppManifestItem release(const QString &id, const QString &version)
    {
        const QString name = id.left(1).toUpper() + id.mid(1);
        ZipBuilder zip;
        zip.addFile(name + QStringLiteral(".app/Contents/Info.plist"),
                    ZipBuilder::infoPlist({{"CFBundleIdentifier", QStringLiteral("com.vantrel.") + id}, {"CFBundleExecutable", name}}, ZipBuilder::PlistFormat::xml));
        zip.addExecutable(name + QStringLiteral(".app/Contents/MacOS/") + name, "#!/bin/sh\necho " + version.toUtf8() + " > \"$VANTREL_TEST_MARKER\"\n");
        const QByteArray bytes = zip.build();
        return TestCatalog::release(id, m_cli->host(QStringLiteral("/%1-%2.zip").arg(id, version), bytes), ZipBuilder::sha256Hex(bytes), version);
    }
    QString marker() const { return m_cli->path(QStringLiteral("opened.txt")); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(QFile::exists(ToolSandbox::vantrel()), qPrintable(ToolSandbox::vantrel() + QStringLiteral(" has not been built")));
    }
    void init()
    {
        m_cli = std::make_unique<ToolSandbox>();
        m_cli->environment().insert(QStringLiteral("VANTREL_TEST_MARKER"), marker());
    }

    void listInstallListAgain()
    {
        m_cli->publish({release("alpha", "1.0.0"), TestCatalog::app("soon", AppReleaseStatus::comingSoon),
                        TestCatalog::app("old", AppReleaseStatus::retired)});
        QCOMPARE(m_cli->listed("alpha"), (QJsonObject{{"id", "alpha"}, {"name", "Alpha"}, {"status", "live"}, {"published", true},
                                                      {"state", QJsonObject{{"notInstalled", QJsonObject{}}}}}));
        QCOMPARE(m_cli->listed("soon").value("published"), QJsonValue(false));
        QCOMPARE(m_cli->listed("old"), QJsonObject());  // retired apps are not shown
        // The catalog was asked for in English.
        QCOMPARE(m_cli->server().requests().first().query.queryItemValue(QStringLiteral("lang")), QStringLiteral("en"));

        ToolSandbox::Result run = m_cli->run({"install", "alpha"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QVERIFY2(run.out.contains("Installing Alpha 1.0.0") && run.out.contains("Installed 1.0.0"), qPrintable(run.out));
        const QString bundle = m_cli->bundle(QStringLiteral("Alpha.app"));
        QVERIFY(QFileInfo(bundle + QStringLiteral("/Contents/MacOS/Alpha")).isExecutable());
        QCOMPARE(m_cli->eventTypes(), (QStringList{"install_started", "install_succeeded"}));
        // The window reads the same records.
        QCOMPARE(m_cli->records(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"alpha", "1.0.0"}}));
        QCOMPARE(m_cli->records(LauncherStore::installedPathsKey), (QHash<QString, QString>{{"alpha", bundle}}));

        run = m_cli->run({"list", "--lang", "pl"});
        QVERIFY2(run.exitCode == 0 && run.out.contains(AppInstallState::installed("1.0.0").label(VantrelLocale::pl)), qPrintable(run.output()));
        QCOMPARE(m_cli->server().requests().last().query.queryItemValue(QStringLiteral("lang")), QStringLiteral("pl"));

        // A newer release: listed as an update, then applied in place.
        m_cli->publish({release("alpha", "1.1.0")});
        QCOMPARE(m_cli->listed("alpha").value("state").toObject(), AppInstallState::updateAvailable("1.0.0", "1.1.0").toJson());
        run = m_cli->run({"install", "alpha"});
        QVERIFY2(run.exitCode == 0 && run.out.contains("Updating Alpha from 1.0.0 to 1.1.0"), qPrintable(run.output()));
        QVERIFY(TempHome::readFile(bundle + QStringLiteral("/Contents/MacOS/Alpha")).contains("1.1.0"));
        QCOMPARE(m_cli->listed("alpha").value("state").toObject(), AppInstallState::installed("1.1.0").toJson());
    }

    void installRefusals_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("unknown id") << "ghost" << "unknown app \"ghost\"";
        QTest::newRow("coming soon") << "soon" << "Soon cannot be installed right now.";
        QTest::newRow("already installed") << "alpha" << "Alpha cannot be installed right now.";
    }

    void installRefusals()
    {
        QFETCH(QString, id);
        QFETCH(QString, expectedError);
        m_cli->publish({release("alpha", "1.0.0"), TestCatalog::app("soon", AppReleaseStatus::comingSoon)});
        if (id == QLatin1String("alpha"))
            QCOMPARE(m_cli->run({"install", "alpha"}).exitCode, 0);
        m_cli->server().clearRequests();
        const ToolSandbox::Result run = m_cli->run({"install", id});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(expectedError), qPrintable(run.err));
        QCOMPARE(m_cli->eventTypes(), QStringList());
    }

    void installFailureReportsTheStoreMessage()
    {
        AppManifestItem broken = release("beta", "2.0.0");
        broken.sha256 = TestCatalog::validSha;
        m_cli->publish({broken});
        const ToolSandbox::Result run = m_cli->run({"install", "beta"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Could not install Beta. Checksum mismatch."), qPrintable(run.err));
        QCOMPARE(m_cli->eventTypes(), (QStringList{"install_started", "install_failed"}));
        QCOMPARE(m_cli->rootEntries(), QStringList());
        QCOMPARE(m_cli->leftovers(), QStringList());
    }

    void listWhenTheCatalogIsUnreachable()
    {
        m_cli->publish({release("alpha", "1.0.0")}, 500);
        const ToolSandbox::Result run = m_cli->run({"list", "--json"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Could not refresh apps. Showing the last known state."), qPrintable(run.err));
        // The last known state: the built-in catalog.
        QVERIFY(QJsonDocument::fromJson(run.out.toUtf8()).isArray());
    }

    void openInstallsWhenNeededAndStarts()
    {
        m_cli->publish({release("alpha", "1.0.0")});
        for (int round = 0; round < 2; ++round) {
            // Not installed (at first, then its bundle gone): installed first, then started.
            const ToolSandbox::Result run = m_cli->run({"open", "alpha"});
            QVERIFY2(run.exitCode == 0 && run.out.contains("Opened Alpha"), qPrintable(run.output()));
            QTRY_COMPARE_WITH_TIMEOUT(TempHome::readFile(marker()), QByteArray("1.0.0\n"), 10000);
            QFile::remove(marker());
            QVERIFY(QDir(m_cli->bundle(QStringLiteral("Alpha.app"))).removeRecursively());
        }
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("install without id") << QStringList{"install"};
        QTest::newRow("install with two ids") << QStringList{"install", "a", "b"};
        QTest::newRow("unknown language") << QStringList{"list", "--lang", "fr"};
        QTest::newRow("unknown option") << QStringList{"list", "--all"};
    }

    void usageErrors()
    {
        QFETCH(QStringList, args);
        const ToolSandbox::Result run = m_cli->run(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("usage: vantrel "), qPrintable(run.err));
        QCOMPARE(m_cli->server().requestCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliStore)
#include "tst_cli_store.moc"
