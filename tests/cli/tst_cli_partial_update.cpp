// The maker's `vantrel-publish` and `vantrel update` as processes: a folder
// with links and execute bits published, installed whole and updated from
// the installed copy to identical trees; the bytes `update --json` reports;
// `--full`; and an update killed or interrupted while it reuses files.

#include "CatalogBuilders.h"
#include "DataRows.h"
#include "ReleaseFolders.h"
#include "ToolSandbox.h"
#include "ZipBuilder.h"
#include "catalog/CatalogSignature.h"
#include "catalog/ManifestDecoder.h"
#include "store/LauncherStore.h"

#include <QJsonArray>
#include <QtTest>
#include <QJsonDocument>

#include "SigningKey.h"
#include <csignal>

namespace {

const QString appId = QStringLiteral("notes");

}  // namespace

class CliPartialUpdate : public QObject
{
    Q_OBJECT
    using SigningRows = DataRows<QStringList, qint64, qint64>;  // options, last sequence ahead of the clock by, seconds valid (-2: usage error)

private:
    ToolSandbox m_cli;
    QJsonObject m_fields[2];  // what vantrel-publish printed for 1.0 and 1.1

    QString source(int release) const { return m_cli.path(release == 0 ? QStringLiteral("one/Notes.app") : QStringLiteral("two/Notes.app")); }
    QString destination() const { return m_cli.bundle(ReleaseFolders::bundleName); }

    // The catalog offers release 0 (1.0) or 1 (1.1) with its file list.
    void offer(int release)
    {
        AppManifestItem app = TestCatalog::release(appId, QUrl(m_fields[release].value(QStringLiteral("downloadUrl")).toString()),
                                                   m_fields[release].value(QStringLiteral("sha256")).toString(),
                                                   release == 0 ? QStringLiteral("1.0") : QStringLiteral("1.1"));
        app.fileListUrl = QUrl(m_fields[release].value(QStringLiteral("fileListUrl")).toString());
        app.fileListSha256 = m_fields[release].value(QStringLiteral("fileListSha256")).toString();
        m_cli.publish({app});
    }

    void installFirstRelease()
    {
        QDir(destination()).removeRecursively();
        QDir(m_cli.bundle(QStringLiteral(".Notes.app.previous"))).removeRecursively();
        offer(0);
        const ToolSandbox::Result install = m_cli.run({QStringLiteral("install"), appId});
        QVERIFY2(install.exitCode == 0, qPrintable(install.output()));
        QCOMPARE(TempHome::fingerprint(destination()), TempHome::fingerprint(source(0)));
        offer(1);
    }

    QJsonObject updateOutcome(const QStringList &options)
    {
        const ToolSandbox::Result update = m_cli.run(QStringList{QStringLiteral("update"), QStringLiteral("--json")} + options + QStringList{appId});
        if (update.exitCode != 0)
            return {{QStringLiteral("failed"), update.output()}};
        for (const QString &line : update.out.split(QLatin1Char('\n'))) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            if (object.value(QStringLiteral("id")) == appId)
                return object;
        }
        return {{QStringLiteral("failed"), update.output()}};
    }

    int wholeArchiveRequests()
    {
        int whole = 0;
        for (const LoopbackHttpServer::Request &request : m_cli.server().requests())
            whole += request.path == QLatin1String("/releases/v2.zip") && request.header("Range").isEmpty();
        return whole;
    }

    void checkUntouched(const QMap<QString, QString> &before)
    {
        QCOMPARE(TempHome::fingerprint(destination()), before);
        QCOMPARE(m_cli.records(LauncherStore::installedVersionsKey).value(appId), QStringLiteral("1.0"));
        QCOMPARE(m_cli.records(LauncherStore::installedPathsKey).value(appId), destination());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (!QFileInfo(ToolSandbox::vantrel()).isExecutable() || !QFileInfo(ToolSandbox::publisher()).isExecutable())
            QSKIP("the tools are not built");
        QVERIFY(ReleaseFolders::write(m_cli.path(QStringLiteral("one")), QStringLiteral("1.0")));
        QVERIFY(ReleaseFolders::write(m_cli.path(QStringLiteral("two")), QStringLiteral("1.1")));
        const QString key = m_cli.path(QStringLiteral("keys")) + QStringLiteral("/catalog-signing-key.pem");
        const SigningKey signing = SigningKey::loadOrCreate(m_cli.path(QStringLiteral("keys")));
        const QString catalog = m_cli.path(QStringLiteral("catalog.json"));
        QVERIFY(TempHome::writeFile(catalog, QJsonDocument(QJsonObject{{QStringLiteral("apps"), QJsonArray{QJsonObject{
                                                                            {QStringLiteral("id"), appId},
                                                                            {QStringLiteral("kept"), QStringLiteral("as it was")}}}}})
                                                 .toJson()));
        for (int release : {0, 1}) {
            const QString name = release == 0 ? QStringLiteral("v1.zip") : QStringLiteral("v2.zip");
            const ToolSandbox::Result published = m_cli.run({source(release), QStringLiteral("--output"), m_cli.path(QStringLiteral("out")),
                                                             QStringLiteral("--name"), name, QStringLiteral("--base-url"),
                                                             m_cli.server().url(QStringLiteral("/releases/")).toString(),
                                                             QStringLiteral("--catalog"), catalog, QStringLiteral("--app"), appId,
                                                             QStringLiteral("--sign-key"), key},
                                                            ToolSandbox::publisher());
            QVERIFY2(published.exitCode == 0, qPrintable(published.output()));
            m_fields[release] = QJsonDocument::fromJson(published.out.toUtf8()).object();
            const QString archive = m_cli.path(QStringLiteral("out/")) + name;
            QCOMPARE(m_fields[release].value(QStringLiteral("sha256")).toString(), ZipBuilder::sha256Hex(TempHome::readFile(archive)));
            QCOMPARE(m_fields[release].value(QStringLiteral("fileListSha256")).toString(),
                     ZipBuilder::sha256Hex(TempHome::readFile(archive + QStringLiteral(".files"))));
            m_cli.hostFile(QStringLiteral("/releases/") + name, archive, true);
            m_cli.hostFile(QStringLiteral("/releases/") + name + QStringLiteral(".files"), archive + QStringLiteral(".files"));
        }
        // The catalog file got the last release's fields, kept its own keys and is signed.
        const QByteArray body = TempHome::readFile(catalog);
        const QJsonObject record = QJsonDocument::fromJson(body).object().value(QStringLiteral("apps")).toArray().first().toObject();
        QCOMPARE(record.value(QStringLiteral("kept")).toString(), QStringLiteral("as it was"));
        QCOMPARE(record.value(QStringLiteral("fileListUrl")), m_fields[1].value(QStringLiteral("fileListUrl")));
        const CatalogPublicKeys keys = CatalogPublicKeys::parse(QString::fromLatin1(signing.publicKeyBase64()));
        QVERIFY(keys.verify(body, TempHome::readFile(catalog + QStringLiteral(".sig")).trimmed()));
        QVERIFY(!keys.verify(body + ' ', TempHome::readFile(catalog + QStringLiteral(".sig")).trimmed()));
    }

    // Published, installed whole, updated from the installed copy: each time the maker's folder, links and bits alike.
    void publishedFolderRoundTrips()
    {
        installFirstRelease();
        const QJsonObject outcome = updateOutcome({});
        QVERIFY2(!outcome.contains(QStringLiteral("failed")), qPrintable(outcome.value(QStringLiteral("failed")).toString()));
        QCOMPARE(TempHome::fingerprint(destination()), TempHome::fingerprint(source(1)));
        const qint64 archive = QFileInfo(m_cli.path(QStringLiteral("out/v2.zip"))).size();
        const qint64 downloaded = outcome.value(QStringLiteral("downloadedBytes")).toInteger(-1);
        const qint64 reused = outcome.value(QStringLiteral("reusedBytes")).toInteger(-1);
        QVERIFY2(downloaded > 0 && downloaded < archive / 5, qPrintable(QString::number(downloaded)));
        QVERIFY2(reused >= (ReleaseFolders::partCount - 3) * ReleaseFolders::partBytes, qPrintable(QString::number(reused)));
    }

    void fullOptionTakesTheWholeArchive()
    {
        installFirstRelease();
        m_cli.server().clearRequests();
        const QJsonObject outcome = updateOutcome({QStringLiteral("--full")});
        QVERIFY2(!outcome.contains(QStringLiteral("failed")), qPrintable(outcome.value(QStringLiteral("failed")).toString()));
        QCOMPARE(TempHome::fingerprint(destination()), TempHome::fingerprint(source(1)));
        // The whole archive once; what is reported is all that came, the disk-space check's part and the list included.
        QCOMPARE(wholeArchiveRequests(), 1);
        QCOMPARE(outcome.value(QStringLiteral("downloadedBytes")).toInteger(),
                 m_cli.server().bodyBytesSent(QStringLiteral("/releases/v2.zip")) + m_cli.server().bodyBytesSent(QStringLiteral("/releases/v2.zip.files")));
        QCOMPARE(outcome.value(QStringLiteral("reusedBytes")).toInteger(-1), 0);
    }

    // A static server that ignores Range: answers to ranges are dropped at their headers, the update takes the
    // whole archive once, the list is asked for once, and what the terminal reports is what the server sent;
    // the first line comes first, the progress ends at 100 %, the fall back is said and no log line shows.
    void serverIgnoringRangesIsAskedOnce_data()
    {
        QTest::addColumn<bool>("json");
        QTest::newRow("json") << true;
        QTest::newRow("lines") << false;
    }

    void serverIgnoringRangesIsAskedOnce()
    {
        QFETCH(bool, json);
        installFirstRelease();
        const QString archive = m_cli.path(QStringLiteral("out/v2.zip"));
        m_cli.hostFile(QStringLiteral("/releases/v2.zip"), archive, false);
        m_cli.server().clearRequests();
        const ToolSandbox::Result update
            = m_cli.run(QStringList{QStringLiteral("update"), QStringLiteral("--lang"), QStringLiteral("en")}
                        + (json ? QStringList{QStringLiteral("--json")} : QStringList()) + QStringList{appId});
        m_cli.hostFile(QStringLiteral("/releases/v2.zip"), archive, true);
        QVERIFY2(update.exitCode == 0, qPrintable(update.output()));
        QCOMPARE(TempHome::fingerprint(destination()), TempHome::fingerprint(source(1)));

        int lists = 0;
        for (const LoopbackHttpServer::Request &request : m_cli.server().requests())
            lists += request.path == QLatin1String("/releases/v2.zip.files");
        QCOMPARE(wholeArchiveRequests(), 1);
        QCOMPARE(lists, 1);
        const qint64 sent = m_cli.server().bodyBytesSent(QStringLiteral("/releases/v2.zip"))
            + m_cli.server().bodyBytesSent(QStringLiteral("/releases/v2.zip.files"));
        QCOMPARE(m_cli.server().bodyBytesSent(QStringLiteral("/releases/v2.zip")), QFileInfo(archive).size());

        const QStringList lines = update.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(!update.err.contains(QStringLiteral("vantrel.install")) && !update.err.contains(QStringLiteral("Fetching the whole")),
                 qPrintable(update.err));
        if (json) {
            QJsonObject outcome;
            double last = 0;
            for (const QString &line : lines) {
                const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
                if (object.contains(QStringLiteral("progress")))
                    last = object.value(QStringLiteral("progress")).toDouble();
                if (object.value(QStringLiteral("id")) == appId)
                    outcome = object;
            }
            QCOMPARE(last, 1.0);
            QCOMPARE(outcome.value(QStringLiteral("downloadedBytes")).toInteger(-1), sent);
            return;
        }
        const qsizetype heading = lines.indexOf(QStringLiteral("Updating Notes from 1.0 to 1.1…"));
        const QStringList progress = lines.filter(QRegularExpression(QStringLiteral("^Notes: \\d+ %")));
        QVERIFY2(heading >= 0 && !progress.isEmpty() && heading < lines.indexOf(progress.first()), qPrintable(update.out));
        QVERIFY2(progress.last().startsWith(QStringLiteral("Notes: 100 %")), qPrintable(update.out));
        QVERIFY2(lines.contains(QStringLiteral("Notes: the changed files could not be fetched on their own; downloading the whole archive instead.")),
                 qPrintable(update.out));
        const QString downloaded = QStringLiteral("Downloaded %1.").arg(QLocale::c().formattedDataSize(sent, 1, QLocale::DataSizeSIFormat));
        QVERIFY2(lines.contains(downloaded), qPrintable(downloaded + QLatin1Char('\n') + update.out));
    }

    void killedWhileReusingLeavesTheCopy()
    {
        installFirstRelease();
        const QMap<QString, QString> before = TempHome::fingerprint(destination());
        m_cli.environment().insert(QStringLiteral("VANTREL_INSTALL_PAUSE_AT"), QStringLiteral("reusing"));
        auto update = m_cli.start({QStringLiteral("update"), appId});
        m_cli.environment().remove(QStringLiteral("VANTREL_INSTALL_PAUSE_AT"));
        QByteArray seen;
        QVERIFY2(ToolSandbox::waitForPause(*update, QStringLiteral("reusing"), &seen), seen.constData());
        ::kill(pid_t(update->processId()), SIGKILL);
        QVERIFY(update->waitForFinished(10000));
        QCOMPARE(update->exitStatus(), QProcess::CrashExit);
        checkUntouched(before);
    }

    void interruptedWhileReusingLeavesTheCopy()
    {
        installFirstRelease();
        const QMap<QString, QString> before = TempHome::fingerprint(destination());
        m_cli.environment().insert(QStringLiteral("VANTREL_INSTALL_HOLD_AT"), QStringLiteral("reusing"));
        auto update = m_cli.start({QStringLiteral("update"), appId});
        m_cli.environment().remove(QStringLiteral("VANTREL_INSTALL_HOLD_AT"));
        QByteArray seen;
        QVERIFY2(ToolSandbox::waitForMarker(*update, QStringLiteral("reusing"), &seen), seen.constData());
        ::kill(pid_t(update->processId()), SIGINT);
        QVERIFY(update->waitForFinished(20000));
        QCOMPARE(update->exitCode(), 130);
        checkUntouched(before);
        QCOMPARE(m_cli.leftovers(), QStringList());
    }

    // Signing alone: every run raises the sequence to at least the current Unix time, and above the last one signed
    // even when the clock went back since (a counter ahead of it); --valid-for sets the expiry.
    void signingRaisesTheSequence_data()
    {
        SigningRows::columns();
        SigningRows::row("default validity", {}, 0, 14 * 86400);
        SigningRows::row("--valid-for 2", {"--valid-for", "2"}, 0, 2 * 86400);
        SigningRows::row("--valid-for 36h", {"--valid-for", "36h"}, 0, 36 * 3600);
        SigningRows::row("signed last with the clock ahead", {}, 1000000, 14 * 86400);
        SigningRows::row("--valid-for 0", {"--valid-for", "0"}, 0, -2);
        SigningRows::row("--valid-for soon", {"--valid-for", "soon"}, 0, -2);
    }

    void signingRaisesTheSequence()
    {
        const auto [options, ahead, validFor] = SigningRows::fetch();
        QTemporaryDir dir;
        const QString key = dir.filePath(QStringLiteral("catalog-signing-key.pem"));
        const SigningKey signing = SigningKey::loadOrCreate(dir.path());
        const QString catalog = dir.filePath(QStringLiteral("catalog.json"));
        QVERIFY(TempHome::writeFile(catalog, ManifestDecoder::encode(TestCatalog::manifest({TestCatalog::app(appId)}))));
        qint64 last = 0;
        if (ahead > 0) {
            last = QDateTime::currentSecsSinceEpoch() + ahead;
            QVERIFY(TempHome::writeFile(key + QStringLiteral(".sequence"), QByteArray::number(last) + '\n'));
        }
        for (int run = 0; run < 2; ++run) {
            const qint64 before = QDateTime::currentSecsSinceEpoch();
            const ToolSandbox::Result signedNow = m_cli.run(QStringList{QStringLiteral("--catalog"), catalog, QStringLiteral("--sign-key"), key} + options,
                                                            ToolSandbox::publisher());
            if (validFor < 0) {
                QCOMPARE(signedNow.exitCode, 2);
                return;
            }
            QVERIFY2(signedNow.exitCode == 0 && signedNow.err.contains(QStringLiteral("sign it again by")), qPrintable(signedNow.output()));
            const QByteArray body = TempHome::readFile(catalog);
            QVERIFY(CatalogPublicKeys::parse(QString::fromLatin1(signing.publicKeyBase64())).verify(body, TempHome::readFile(catalog + QStringLiteral(".sig")).trimmed()));
            const LauncherManifest manifest = ManifestDecoder::decode(body);
            QVERIFY2(manifest.sequence > last && manifest.sequence >= before, qPrintable(QString::number(manifest.sequence)));
            QVERIFY(manifest.findApp(appId));
            // Signed between before and now, valid for exactly validFor from then.
            const qint64 signedAt = manifest.expiresAt.toSecsSinceEpoch() - validFor;
            QVERIFY2(signedAt >= before && signedAt <= QDateTime::currentSecsSinceEpoch(), qPrintable(manifest.expiresAt.toString(Qt::ISODate)));
            last = manifest.sequence;
            // A counter lost with the key's folder: the catalog's own sequence still counts.
            QFile::remove(key + QStringLiteral(".sequence"));
        }
    }
};

QTEST_GUILESS_MAIN(CliPartialUpdate)
#include "tst_cli_partial_update.moc"
