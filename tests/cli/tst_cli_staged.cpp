// The built `vantrel` and updates released gradually: listed as staged with
// their percent, passed over by `update --all` unless asked, taken by name;
// the install id they draw from is one for every process of the user.

#include "CatalogBuilders.h"
#include "ToolSandbox.h"
#include "catalog/ManifestDecoder.h"
#include "catalog/StagedRollout.h"
#include "store/LauncherStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <QtTest>

class TestCliStaged : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ToolSandbox> m_cli;

    AppManifestItem release(const QString &id, const QString &version, int percent)
    {
        AppManifestItem app = m_cli->release(id, version);
        app.rolloutPercent = percent;
        return app;
    }

    QString installedVersion(const QString &id) const
    {
        return m_cli->records(LauncherStore::installedVersionsKey).value(id);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(QFile::exists(ToolSandbox::vantrel()), qPrintable(ToolSandbox::vantrel() + QStringLiteral(" has not been built")));
    }
    void init() { m_cli = std::make_unique<ToolSandbox>(); }

    // Alpha 1.1.0 halted at 0 beside Beta 1.1.0 to everyone.
    void stagedUpdateWaitsUnlessAsked()
    {
        m_cli->publish({m_cli->release("alpha", "1.0.0"), m_cli->release("beta", "1.0.0")});
        for (const char *id : {"alpha", "beta"})
            QCOMPARE(m_cli->run({"install", id}).exitCode, 0);
        m_cli->publish({release("alpha", "1.1.0", 0), m_cli->release("beta", "1.1.0")});

        const QJsonObject alpha = m_cli->listed("alpha");
        QCOMPARE(alpha.value("state").toObject(), AppInstallState::installed("1.0.0").toJson());
        QCOMPARE(alpha.value("staged").toObject(), (QJsonObject{{"version", "1.1.0"}, {"percent", 0}}));
        QVERIFY(!m_cli->listed("beta").contains("staged"));
        ToolSandbox::Result run = m_cli->run({"list"});
        QVERIFY2(run.out.contains("Installed 1.0.0 · 1.1.0 released gradually (0%)"), qPrintable(run.output()));
        run = m_cli->run({"list", "--lang", "de"});
        QVERIFY2(run.out.contains("1.1.0 wird schrittweise freigegeben (0 %)"), qPrintable(run.output()));

        run = m_cli->run({"update", "--all"});
        QVERIFY2(run.exitCode == 0 && !run.out.contains("Alpha"), qPrintable(run.output()));
        QCOMPARE(installedVersion("alpha"), "1.0.0");
        QCOMPARE(installedVersion("beta"), "1.1.0");

        // By name it is taken at once, and said so.
        run = m_cli->run({"update", "alpha"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QVERIFY2(run.out.contains("Alpha 1.1.0 is not yet offered to this computer (released to 0% so far); updating now as asked."),
                 qPrintable(run.out));
        QCOMPARE(installedVersion("alpha"), "1.1.0");

        m_cli->publish({release("alpha", "1.2.0", 0), m_cli->release("beta", "1.1.0")});
        run = m_cli->run({"update", "--all", "--include-staged"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QCOMPARE(installedVersion("alpha"), "1.2.0");
        QVERIFY(!m_cli->listed("alpha").contains("staged"));
    }

    // Made once by the first process that needs it, then read by every other.
    void installIdSharedByProcesses()
    {
        m_cli->publish({m_cli->release("alpha", "1.0.0")});
        QCOMPARE(m_cli->run({"install", "alpha"}).exitCode, 0);
        m_cli->publish({release("alpha", "1.1.0", 100)});
        QCOMPARE(m_cli->run({"list"}).exitCode, 0);
        QCOMPARE(m_cli->installId(), QString());  // everyone is offered it: no id needed

        m_cli->publish({release("alpha", "1.1.0", 50)});
        const QList<int> statuses = m_cli->runAtOnce({{"list"}, {"list"}, {"list"}});
        QCOMPARE(statuses, (QList<int>{0, 0, 0}));
        const QString id = m_cli->installId();
        QVERIFY2(!QUuid::fromString(id).isNull(), qPrintable(id));
        const bool offered = StagedRollout::offered(id, "alpha", "1.1.0", 50);
        for (int process = 0; process < 2; ++process) {
            const QJsonObject alpha = m_cli->listed("alpha");
            QCOMPARE(m_cli->installId(), id);
            QCOMPARE(alpha.contains("staged"), !offered);
            QCOMPARE(alpha.value("state").toObject(), offered ? AppInstallState::updateAvailable("1.0.0", "1.1.0").toJson()
                                                               : AppInstallState::installed("1.0.0").toJson());
        }
    }

    // The maker's side: the percent set by vantrel-publish, shown by vantrel check.
    void publishSetsAndCheckShowsThePercent()
    {
        const QString catalog = m_cli->path("catalog.json");
        QVERIFY(TempHome::writeFile(catalog, ManifestDecoder::encode(TestCatalog::manifest({TestCatalog::app("alpha")}))));
        ToolSandbox::Result run = m_cli->run({"--catalog", catalog, "--app", "alpha", "--rollout", "10"}, ToolSandbox::publisher());
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        run = m_cli->run({"check", "--json", catalog});
        QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8()).object().value("apps").toArray().first().toObject().value("rolloutPercent"),
                 QJsonValue(10));
        run = m_cli->run({"check", catalog});
        QVERIFY2(run.out.contains("ROLLOUT") && run.out.contains("10%"), qPrintable(run.out));
        for (const char *wrong : {"101", "-1", "ten", "5.5"}) {
            run = m_cli->run({"--catalog", catalog, "--app", "alpha", "--rollout", wrong}, ToolSandbox::publisher());
            QVERIFY2(run.exitCode != 0 && run.err.contains("not a whole number from 0 to 100"), qPrintable(run.output()));
        }
        run = m_cli->run({"check", "--json", catalog});
        QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8()).object().value("apps").toArray().first().toObject().value("rolloutPercent"),
                 QJsonValue(10));
    }
};

QTEST_GUILESS_MAIN(TestCliStaged)
#include "tst_cli_staged.moc"
