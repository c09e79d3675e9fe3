// The built `vantrel` commands against a catalog, archives and events on loopback, in a home with its own trash.

#include "DataRows.h"
#include "CatalogBuilders.h"
#include "TmpfsMount.h"
#include "ToolSandbox.h"
#include "ZipBuilder.h"
#include "store/LauncherStore.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <functional>

class TestCliStore : public QObject
{
    Q_OBJECT
    using ProgressOutputRows = DataRows<QStringList, QString>;  // args, pattern (a progress line; its first group is the progress)
    using LanguageFollowsTheSystemRows = DataRows<QStringList, QStringList, QString, QString>;  // environment, args, lang, empty (what `list` says of an empty catalog)
    using UpdateAllRows = DataRows<QString, QStringList>;  // LANG, the lines expected
    using InstallRefusalsRows = DataRows<QString, QString>;  // id, expectedError
    using BashCompletionRows = DataRows<QStringList, QStringList>;  // words typed (the last one being completed), offered
    using VerifyStatusRows = DataRows<QString, QStringList, int, QStringList>;  // damage, args, exit status, lines expected (err or out)
    // damage: "bits" (chmod -x) or "byte"; catalog after the damage: "same", "down" (500), "newer" (1.1.0 offered),
    // "broken" (the archive's checksum does not match)
    using RepairRows = DataRows<QString, QString, int, QString, bool>;  // damage, catalog, exit status, line expected, repaired
    using ProgramFaultRows = DataRows<QString, QString>;  // fault ("bits", "missing", "unreadable"), line expected

private:
    std::unique_ptr<ToolSandbox> m_cli;

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
        m_cli->publish({m_cli->release("alpha", "1.0.0"), TestCatalog::app("soon", AppReleaseStatus::comingSoon),
                        TestCatalog::app("old", AppReleaseStatus::retired)});
        QCOMPARE(m_cli->listed("alpha"), (QJsonObject{{"id", "alpha"}, {"name", "Alpha"}, {"status", "live"}, {"published", true},
                                                      {"state", QJsonObject{{"notInstalled", QJsonObject{}}}}}));
        QCOMPARE(m_cli->listed("soon").value("published"), QJsonValue(false));
        QCOMPARE(m_cli->listed("old"), QJsonObject());  // retired apps are not shown

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
        QVERIFY2(run.exitCode == 0 && run.out.contains(QStringLiteral("Zainstalowano 1.0.0")), qPrintable(run.output()));

        // A newer release: listed as an update, then applied in place.
        m_cli->publish({m_cli->release("alpha", "1.1.0")});
        QCOMPARE(m_cli->listed("alpha").value("state").toObject(), AppInstallState::updateAvailable("1.0.0", "1.1.0").toJson());
        run = m_cli->run({"install", "alpha"});
        QVERIFY2(run.exitCode == 0 && run.out.contains("Updating Alpha from 1.0.0 to 1.1.0"), qPrintable(run.output()));
        QVERIFY(TempHome::readFile(bundle + QStringLiteral("/Contents/MacOS/Alpha")).contains("1.1.0"));
        QCOMPARE(m_cli->listed("alpha").value("state").toObject(), AppInstallState::installed("1.1.0").toJson());
    }

    // Update, roll back twice, remove: bundle bytes, records and the state a new start derives follow each step.
    void rollBackTwiceThenRemove()
    {
        const QString bundle = m_cli->bundle(QStringLiteral("Alpha.app"));
        QMap<QString, QMap<QString, QString>> copies;
        for (const char *version : {"1.0.0", "1.1.0"}) {
            m_cli->publish({m_cli->release("alpha", version)});
            const ToolSandbox::Result run = m_cli->run({copies.isEmpty() ? "install" : "update", "alpha"});
            QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
            copies.insert(version, TempHome::fingerprint(bundle));
        }
        for (const QString version : {"1.0.0", "1.1.0"}) {
            const ToolSandbox::Result run = m_cli->run({"rollback", "alpha"});
            // Named from the version replaced to the one put back.
            const QString from = version == QLatin1String("1.0.0") ? QStringLiteral("1.1.0") : QStringLiteral("1.0.0");
            QVERIFY2(run.exitCode == 0 && run.out.contains("Alpha: " + from + " -> " + version + " ("), qPrintable(run.output()));
            QCOMPARE(TempHome::fingerprint(bundle), copies.value(version));
            QCOMPARE(m_cli->records(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"alpha", version}}));
            const AppInstallState state = version == QLatin1String("1.0.0") ? AppInstallState::updateAvailable(version, "1.1.0")
                                                                             : AppInstallState::installed(version);
            QCOMPARE(m_cli->listed("alpha").value("state").toObject(), state.toJson());
        }
        const ToolSandbox::Result run = m_cli->run({"remove", "alpha"});
        QVERIFY2(run.exitCode == 0 && run.out.contains("Removed Alpha (moved to the trash)"), qPrintable(run.output()));
        QCOMPARE(TempHome::fingerprint(m_cli->home() + QStringLiteral("/.local/share/Trash/files/Alpha.app")), copies.value("1.1.0"));
        QCOMPARE(m_cli->records(LauncherStore::installedPathsKey), (QHash<QString, QString>{}));
        QCOMPARE(TempHome::entries(m_cli->installRoot()), QStringList());
        QCOMPARE(m_cli->listed("alpha").value("state").toObject(), AppInstallState::notInstalled().toJson());
        for (const char *command : {"remove", "rollback"})
            QCOMPARE(m_cli->run({command, "alpha"}).exitCode, 1);
    }

    // One broken update among three: the others still run in turn, and the summary names the failure.
    void updateAllGoesOnPastAFailure_data()
    {
        UpdateAllRows::columns();
        UpdateAllRows::row("en", "en_US.UTF-8", {"Updating Alpha from 1.0.0 to 1.1.0…", "Could not install Beta. Checksum mismatch.",
                                                 "2 updated, 1 failed: Beta: Checksum mismatch. Expected " + TestCatalog::validSha});
        UpdateAllRows::row("pl", "pl_PL.UTF-8", {"Aktualizowanie Alpha z 1.0.0 do 1.1.0…", "Nie udało się zainstalować Beta. Checksum mismatch.",
                                                 "Zaktualizowano: 2, nieudane: 1. Beta: Checksum mismatch."});
        UpdateAllRows::row("de", "de_DE.UTF-8", {"Aktualisiere Gamma von 1.0.0 auf 1.1.0…", "Beta konnte nicht installiert werden. Checksum mismatch.",
                                                 "2 aktualisiert, 1 fehlgeschlagen: Beta: Checksum mismatch."});
    }

    void updateAllGoesOnPastAFailure()
    {
        const auto [lang, expected] = UpdateAllRows::fetch();
        const QStringList ids{"alpha", "beta", "gamma"};
        QList<AppManifestItem> apps;
        for (const QString &id : ids)
            apps.append(m_cli->release(id, "1.0.0"));
        m_cli->publish(apps);
        for (const QString &id : ids)
            QCOMPARE(m_cli->run({"install", id}).exitCode, 0);
        apps.clear();
        for (const QString &id : ids)
            apps.append(m_cli->release(id, "1.1.0"));
        apps[1].sha256 = TestCatalog::validSha;
        m_cli->publish(apps);
        m_cli->server().clearRequests();
        for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            m_cli->environment().remove(QLatin1String(name));
        m_cli->environment().insert(QStringLiteral("LANG"), lang);
        const ToolSandbox::Result run = m_cli->run({"update", "--all"});
        QCOMPARE(run.exitCode, 1);
        // In the system's language; the installer's message passes through, as the failure's own line and in the summary.
        QVERIFY2(run.out.contains(expected[0]) && run.err.contains(expected[1]) && run.out.contains(expected[2]), qPrintable(run.output()));
        QCOMPARE(m_cli->eventTypes(), (QStringList{"install_started", "install_succeeded", "install_started", "install_failed",
                                                   "install_started", "install_succeeded"}));
        for (const QString &id : ids)
            QCOMPARE(m_cli->records(LauncherStore::installedVersionsKey).value(id), id == QLatin1String("beta") ? "1.0.0" : "1.1.0");
    }

    // A temporary folder too small for the archive's files: status 5 before the body is fetched, the message naming
    // the file system with what it needs and has, the failure's event saying why, nothing installed.
    void installThatCannotFitExitsWithItsStatus()
    {
        const QString small = m_cli->path(QStringLiteral("small-tmp"));
        QVERIFY(QDir().mkpath(small));
        const TmpfsMount disk(small, 1);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.skipReason()));
        m_cli->environment().insert(QStringLiteral("TMPDIR"), small);
        const QByteArray archive = ZipBuilder()
                                       .addFile("Big.app/Contents/Info.plist", ZipBuilder::infoPlist({{"CFBundleIdentifier", "com.vantrel.big"}}, ZipBuilder::PlistFormat::xml))
                                       .addFillFile("Big.app/Contents/Resources/data", qint64(8) << 20)
                                       .build();
        m_cli->publish({TestCatalog::release("big", m_cli->host("/big.zip", archive), ZipBuilder::sha256Hex(archive), "1.0.0")});
        const ToolSandbox::Result run = m_cli->run({"install", "big", "--lang", "en"});
        QCOMPARE(run.exitCode, 5);
        QVERIFY2(run.err.contains(QStringLiteral("Not enough disk space: ") + small + QStringLiteral(" needs 8.")), qPrintable(run.output()));
        QVERIFY2(run.err.contains(QStringLiteral("free. Free some space and try again.")), qPrintable(run.output()));
        QCOMPARE(run.output().count(QStringLiteral("Not enough disk space")), 1);
        QCOMPARE(m_cli->eventTypes(), (QStringList{"install_started", "install_failed"}));
        QVERIFY2(m_cli->eventBodies().last().value(QStringLiteral("reason")).toString().startsWith(QStringLiteral("notEnoughSpace(volumes: [(volume: \"") + small),
                 qPrintable(m_cli->eventBodies().last().value(QStringLiteral("reason")).toString()));
        QCOMPARE(m_cli->rootEntries(), QStringList());
        QCOMPARE(TempHome::entries(small), QStringList());

        // An update that cannot fit says so once too, with the same status.
        m_cli->environment().insert(QStringLiteral("TMPDIR"), m_cli->tempDir());
        m_cli->publish({m_cli->release("big", "1.0.0")});
        QCOMPARE(m_cli->run({"install", "big"}).exitCode, 0);
        m_cli->environment().insert(QStringLiteral("TMPDIR"), small);
        m_cli->publish({TestCatalog::release("big", m_cli->host("/big.zip", archive), ZipBuilder::sha256Hex(archive), "1.1.0")});
        const ToolSandbox::Result update = m_cli->run({"update", "big", "--lang", "en"});
        QCOMPARE(update.exitCode, 5);
        QVERIFY2(update.output().count(QStringLiteral("Not enough disk space")) == 1, qPrintable(update.output()));
    }

    // Ctrl-C mid-download, and during the staging copy after the bundle check: status 130, the state and the old copy
    // from before, no error line, reason "cancelled", nothing left.
    void ctrlCCancels_data()
    {
        QTest::addColumn<QString>("pauseAt");  // the phase the install is paused at for Ctrl-C (empty: mid-download)
        QTest::newRow("install, mid-download") << QString();
        QTest::newRow("update, at the staging copy") << QStringLiteral("staged");
    }

    void ctrlCCancels()
    {
        QFETCH(QString, pauseAt);
        const bool update = !pauseAt.isEmpty();  // the cancel at the copy must keep an installed copy
        if (update) {
            m_cli->publish({m_cli->release("alpha", "1.0.0")});
            QCOMPARE(m_cli->run({"install", "alpha"}).exitCode, 0);
        }
        const QMap<QString, QString> before = TempHome::fingerprint(m_cli->bundle("Alpha.app"));
        const QHash<QString, QString> records = m_cli->records(LauncherStore::installedVersionsKey);
        m_cli->publish({m_cli->release("alpha", "1.1.0", pauseAt.isEmpty() ? 50 : 0)});
        m_cli->server().clearRequests();
        // Held there: the copy's thread waits for the cancel while the rest runs on.
        m_cli->environment().insert("VANTREL_INSTALL_HOLD_AT", pauseAt);
        auto process = m_cli->start({"install", "alpha"});
        m_cli->environment().remove("VANTREL_INSTALL_HOLD_AT");
        QByteArray seen;
        if (pauseAt.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(!m_cli->server().requests().isEmpty() && m_cli->server().requests().last().path.endsWith(".zip"), 20000);
        else
            QVERIFY2(ToolSandbox::waitForMarker(*process, pauseAt, &seen), seen.constData());
        ::kill(pid_t(process->processId()), SIGINT);
        QVERIFY(process->waitForFinished(20000));
        QCOMPARE(process->exitCode(), 130);
        const QString err = QString::fromUtf8(process->readAllStandardError());
        QVERIFY2(err.contains("The install of Alpha was cancelled.") && !err.contains("Could not"), qPrintable(err));
        QCOMPARE(m_cli->eventTypes(), (QStringList{"install_started", "install_failed"}));
        QCOMPARE(QJsonDocument::fromJson(m_cli->server().requests().last().body).object().value("reason").toString(), QStringLiteral("cancelled"));
        QCOMPARE(m_cli->listed("alpha").value("state").toObject(), (update ? AppInstallState::updateAvailable("1.0.0", "1.1.0") : AppInstallState::notInstalled()).toJson());
        QCOMPARE(TempHome::fingerprint(m_cli->bundle("Alpha.app")), before);
        QCOMPARE(m_cli->records(LauncherStore::installedVersionsKey), records);
        QCOMPARE(m_cli->rootEntries(), update ? QStringList{"Alpha.app"} : QStringList());
        QCOMPARE(m_cli->leftovers(), QStringList());
    }

    // Progress up to 100 %: a line per ten percent into a pipe, JSON with --json, a bar on a terminal; the lines and
    // the bar say the bytes, and the time left once the pace is known.
    void progressOutput_data()
    {
        ProgressOutputRows::columns();
        ProgressOutputRows::row("pipe", QStringList{"install", "alpha"}, R"(^Alpha: (\d+) % · \d+ of \d+ bytes)");
        ProgressOutputRows::row("json", QStringList{"install", "--json", "alpha"}, R"(^\{"progress":(0\.\d+|1)\}$)");
        ProgressOutputRows::row("terminal", QStringList{"script", "-qec", ToolSandbox::vantrel() + " install alpha", "/dev/null"}, R"(\[[#-]{24}\]  (\d+) % · \d+ of \d+ bytes)");
    }

    void progressOutput()
    {
        const auto [args, pattern] = ProgressOutputRows::fetch();
        m_cli->publish({m_cli->release("alpha", "1.0.0", 40)});
        const bool terminal = args.first() == QLatin1String("script");
        const ToolSandbox::Result run = terminal ? m_cli->run(args.mid(1), QStringLiteral("script")) : m_cli->run(args);
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QStringList lines = run.out.split(QRegularExpression(terminal ? "[\r\n]+" : "\n"), Qt::SkipEmptyParts);
        const QString last = lines.takeLast();
        QList<double> values;
        for (const QString &line : lines.mid(1)) {
            if (const QRegularExpressionMatch match = QRegularExpression(pattern).match(line); match.hasMatch())
                values.append(match.captured(1).toDouble());
        }
        // Rising, and apart from the first line (which app, which version) nothing else.
        QVERIFY2(values.size() >= 2 && (values.size() == lines.size() - 1 || terminal), qPrintable(run.out));
        QVERIFY2(std::adjacent_find(values.cbegin(), values.cend(), std::greater_equal<>()) == values.cend(), qPrintable(run.out));
        QCOMPARE(values.last(), args.contains("--json") ? 1.0 : 100.0);
        if (!args.contains("--json"))
            QVERIFY2(run.out.contains(QRegularExpression(" · about \\d+ s left")), qPrintable(run.out));
        if (args.contains("--json"))
            QCOMPARE(QJsonDocument::fromJson(last.toUtf8()).object(), (QJsonObject{{"id", "alpha"}, {"state", AppInstallState::installed("1.0.0").toJson()}}));
        else
            QVERIFY2(last.startsWith("Alpha: Installed 1.0.0"), qPrintable(last));
    }

    void languageFollowsTheSystem_data()
    {
        LanguageFollowsTheSystemRows::columns();
        LanguageFollowsTheSystemRows::row("LANG, no LANGUAGE", QStringList{"LANG=pl_PL.UTF-8"}, QStringList{}, "pl", "0 aplikacji gotowych");
        LanguageFollowsTheSystemRows::row("LANGUAGE first", QStringList{"LANG=en_US.UTF-8", "LANGUAGE=pl:en"}, QStringList{}, "pl", "0 aplikacji gotowych");
        LanguageFollowsTheSystemRows::row("region dropped", QStringList{"LANG=de_AT.UTF-8"}, QStringList{}, "de", "0 Apps bereit");
        LanguageFollowsTheSystemRows::row("unknown language is English", QStringList{"LANG=fr_FR.UTF-8"}, QStringList{}, "en", "0 apps ready");
        LanguageFollowsTheSystemRows::row("--lang overrides", QStringList{"LANG=pl_PL.UTF-8"}, QStringList{"--lang", "de"}, "de", "0 Apps bereit");
    }

    void languageFollowsTheSystem()
    {
        const auto [environment, args, lang, empty] = LanguageFollowsTheSystemRows::fetch();
        for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            m_cli->environment().remove(QLatin1String(name));
        for (const QString &setting : environment)
            m_cli->environment().insert(setting.section('=', 0, 0), setting.section('=', 1));
        m_cli->publish({});
        const ToolSandbox::Result run = m_cli->run(QStringList{"list"} + args);
        QVERIFY2(run.exitCode == 0 && run.out.trimmed() == empty, qPrintable(run.output()));
        QCOMPARE(m_cli->server().requests().last().query.queryItemValue(QStringLiteral("lang")), lang);
    }

    // Refused before any work: status 1, the store's message, nothing started (installer failures: update --all).
    void installRefusals_data()
    {
        InstallRefusalsRows::columns();
        InstallRefusalsRows::row("unknown id", "ghost", "unknown app \"ghost\"");
        InstallRefusalsRows::row("coming soon", "soon", "Soon cannot be installed right now.");
        InstallRefusalsRows::row("already installed", "alpha", "Alpha cannot be installed right now.");
        InstallRefusalsRows::row("malformed checksum", "badsum", "Badsum cannot be installed right now. Its release has a malformed checksum.");
    }

    void installRefusals()
    {
        const auto [id, expectedError] = InstallRefusalsRows::fetch();
        AppManifestItem badsum = m_cli->release("badsum", "1.0.0");
        badsum.sha256 = QStringLiteral("not-a-checksum");
        m_cli->publish({m_cli->release("alpha", "1.0.0"), TestCatalog::app("soon", AppReleaseStatus::comingSoon), badsum});
        // The list says so of the app whose release cannot be installed, and of no other.
        const QStringList unfit = m_cli->run({"list", "--lang", "en"}).out.split(QLatin1Char('\n')).filter("cannot be installed");
        QCOMPARE(unfit.size(), 1);
        QVERIFY2(unfit.first().startsWith("badsum") && unfit.first().endsWith("Not installed · cannot be installed: Its release has a malformed checksum."),
                 qPrintable(unfit.first()));
        if (id == QLatin1String("alpha"))
            QCOMPARE(m_cli->run({"install", "alpha"}).exitCode, 0);
        m_cli->server().clearRequests();
        const ToolSandbox::Result run = m_cli->run({"install", id});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(expectedError), qPrintable(run.err));
        QCOMPARE(m_cli->eventTypes(), QStringList());
        QCOMPARE(m_cli->rootEntries(), id == QLatin1String("alpha") ? QStringList{"Alpha.app"} : QStringList());
        QCOMPARE(m_cli->leftovers(), QStringList());
    }

    // Every installed app or those named, offline, from the records: 0 intact, 4 damaged or installed before
    // verification existed, 1 for what cannot be checked; the bundles stay as they were.
    void verifyExitStatuses_data()
    {
        VerifyStatusRows::columns();
        VerifyStatusRows::row("intact", "", {"verify"}, 0, {"alpha 1.0.0: Intact", "beta 1.0.0: Intact"});
        VerifyStatusRows::row("a changed byte", "byte", {"verify"}, 4,
                              {"alpha 1.0.0: 1 file changed", "  changed: Contents/MacOS/Alpha", "beta 1.0.0: Intact"});
        VerifyStatusRows::row("named, in Polish", "byte", {"verify", "--lang", "pl", "alpha"}, 4, {"alpha 1.0.0: 1 plik zmieniony"});
        VerifyStatusRows::row("the other app named", "byte", {"verify", "beta"}, 0, {"beta 1.0.0: Intact"});
        VerifyStatusRows::row("a receipt of the previous version", "legacy", {"verify", "alpha"}, 4,
                              {"alpha 1.0.0: Installed before verification existed"});
        VerifyStatusRows::row("a garbled receipt", "garbled", {"verify"}, 1, {"alpha: The install receipt cannot be read", "beta 1.0.0: Intact"});
        VerifyStatusRows::row("a bundle replaced by a link", "link", {"verify"}, 1,
                              {"vantrel verify: alpha: Could not open \"Alpha.app\": Not a directory", "beta 1.0.0: Intact"});
        VerifyStatusRows::row("an app not installed", "", {"verify", "beta", "ghost"}, 1, {"vantrel verify: app \"ghost\" is not installed"});
        VerifyStatusRows::row("JSON", "byte", {"verify", "--json", "alpha"}, 4,
                              {R"({"findings":[{"kind":"changed","path":"Contents/MacOS/Alpha"}],"id":"alpha","repair":"reinstall",)"
                               R"("status":"damaged","summary":"1 file changed","version":"1.0.0"})"});
    }

    void verifyExitStatuses()
    {
        const auto [damage, args, status, lines] = VerifyStatusRows::fetch();
        m_cli->publish({m_cli->release("alpha", "1.0.0"), m_cli->release("beta", "1.0.0")});
        for (const char *id : {"alpha", "beta"})
            QCOMPARE(m_cli->run({"install", id}).exitCode, 0);
        const QString executable = m_cli->bundle("Alpha.app/Contents/MacOS/Alpha");
        const QString notePath = m_cli->bundle(".Alpha.app.vantrel-receipt");
        if (damage == "byte") {
            QByteArray bytes = TempHome::readFile(executable);
            bytes[12] = 'X';
            QVERIFY(TempHome::writeFile(executable, bytes, 0755));
        }
        if (damage == "legacy") {
            QJsonObject note = QJsonDocument::fromJson(TempHome::readFile(notePath)).object();
            note.remove("tree");
            QVERIFY(TempHome::writeFile(notePath, QJsonDocument(note).toJson(QJsonDocument::Compact)));
        }
        if (damage == "link") {
            QVERIFY(QDir().rename(m_cli->bundle("Alpha.app"), m_cli->path("Alpha.app")));
            QVERIFY(QFile::link(m_cli->path("Alpha.app"), m_cli->bundle("Alpha.app")));
        }
        if (damage == "garbled")
            QVERIFY(TempHome::writeFile(notePath, TempHome::readFile(notePath).chopped(30)));
        const QMap<QString, QString> before = TempHome::fingerprint(m_cli->installRoot());
        m_cli->publish({}, 500);

        const ToolSandbox::Result run = m_cli->run(args);
        QCOMPARE(run.exitCode, status);
        for (const QString &line : lines)
            QVERIFY2(run.out.split('\n').contains(line) || run.err.split('\n').contains(line), qPrintable(run.output()));
        QCOMPARE(TempHome::fingerprint(m_cli->installRoot()), before);
    }

    // With --json, repair prints JSON lines only, whichever way it goes: intact, bits put back, content downloaded
    // again, and refused (the catalog no longer offers the version installed). Errors go to standard error.
    void repairPrintsJsonOnEveryPath()
    {
        for (const char *version : {"0.9.0", "1.0.0"}) {
            m_cli->publish({m_cli->release("alpha", version)});
            QCOMPARE(m_cli->run({"install", "alpha"}).exitCode, 0);
        }
        const QString executable = m_cli->bundle("Alpha.app/Contents/MacOS/Alpha");
        const auto damageContent = [&] {
            return TempHome::writeFile(executable, TempHome::readFile(executable).replace("1.0.0", "9.9.9"), 0755);
        };
        // Each line an object; returns the objects' keys, line by line, and the last "repaired".
        const auto jsonLines = [](const QString &out, QStringList *shapes) {
            QJsonValue repaired;
            for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                QJsonParseError error;
                const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
                if (error.error != QJsonParseError::NoError || !document.isObject())
                    return QJsonValue(QStringLiteral("not JSON: ") + line);
                shapes->append(document.object().keys().join(QLatin1Char(',')));
                if (document.object().contains(QStringLiteral("repaired")))
                    repaired = document.object().value(QStringLiteral("repaired"));
            }
            return repaired;
        };
        const QString verified = QStringLiteral("findings,id,repair,status,summary,version");
        struct Path {
            const char *name;
            std::function<bool()> damage;
            int status;
            QJsonValue repaired;
        };
        const Path paths[] = {
            {"intact", [] { return true; }, 0, QJsonValue()},
            {"permissions", [&] { return QFile::setPermissions(executable, QFile::ReadOwner | QFile::WriteOwner); }, 0, true},
            {"content", damageContent, 0, true},
            {"refused", [&] {
                 m_cli->publish({m_cli->release("alpha", "1.1.0")});
                 return damageContent();
             }, 1, false},
        };
        for (const Path &path : paths) {
            QVERIFY2(path.damage(), path.name);
            const ToolSandbox::Result run = m_cli->run({"repair", "--json", "alpha"});
            QVERIFY2(run.exitCode == path.status, qPrintable(QString::fromLatin1(path.name) + QLatin1Char(' ') + run.output()));
            QStringList shapes;
            QCOMPARE(jsonLines(run.out, &shapes), path.repaired);
            QVERIFY2(shapes.value(0) == verified, qPrintable(run.out));
            if (QLatin1String(path.name) == QLatin1String("content"))
                QVERIFY2(shapes.contains(QStringLiteral("progress")) && shapes.contains(QStringLiteral("id,state")), qPrintable(run.out));
        }
    }

    // Repair fixes what verify finds: permission bits in place with the service down; content by a verified download
    // of the installed version, keeping the copy to roll back to. Otherwise nothing changes: the catalog offers another
    // version, cannot be reached, or the download fails.
    void repairWhatVerifyFinds_data()
    {
        RepairRows::columns();
        RepairRows::row("bits, service down", "bits", "down", 0, "Repaired Alpha.", true);
        RepairRows::row("content, verified download", "byte", "same", 0, "Repaired Alpha.", true);
        RepairRows::row("content, version no longer offered", "byte", "newer", 1, "The catalog no longer offers the version installed.", false);
        RepairRows::row("content, service down", "byte", "down", 3, "the catalog could not be fetched", false);
        RepairRows::row("content, download fails", "byte", "broken", 1, "Could not repair Alpha.", false);
    }

    void repairWhatVerifyFinds()
    {
        const auto [damage, catalog, status, line, repaired] = RepairRows::fetch();
        for (const char *version : {"0.9.0", "1.0.0"}) {
            m_cli->publish({m_cli->release("alpha", version)});
            QCOMPARE(m_cli->run({"install", "alpha"}).exitCode, 0);
        }
        const QString executable = m_cli->bundle("Alpha.app/Contents/MacOS/Alpha");
        const QMap<QString, QString> intact = TempHome::fingerprint(m_cli->bundle("Alpha.app"));
        const QMap<QString, QString> previous = TempHome::fingerprint(m_cli->bundle(".Alpha.app.previous"));
        if (damage == "bits")
            QVERIFY(QFile::setPermissions(executable, QFile::ReadOwner | QFile::WriteOwner));
        else
            QVERIFY(TempHome::writeFile(executable, TempHome::readFile(executable).replace("1.0.0", "9.9.9"), 0755));
        const QMap<QString, QString> damaged = TempHome::fingerprint(m_cli->bundle("Alpha.app"));
        AppManifestItem offered = m_cli->release("alpha", catalog == "newer" ? "1.1.0" : "1.0.0");
        if (catalog == "broken")
            offered.sha256 = TestCatalog::validSha;
        m_cli->publish({offered}, catalog == "down" ? 500 : 200);
        m_cli->server().clearRequests();

        const ToolSandbox::Result run = m_cli->run({"repair", "alpha"});
        QCOMPARE(run.exitCode, status);
        QVERIFY2(run.output().contains(line), qPrintable(run.output()));
        QCOMPARE(TempHome::fingerprint(m_cli->bundle("Alpha.app")), repaired ? intact : damaged);
        // The copy to roll back to stays as it was, and only content is downloaded.
        QCOMPARE(TempHome::fingerprint(m_cli->bundle(".Alpha.app.previous")), previous);
        const bool downloaded = std::any_of(m_cli->server().requests().cbegin(), m_cli->server().requests().cend(),
                                            [](const LoopbackHttpServer::Request &r) { return r.path.endsWith(".zip"); });
        QCOMPARE(downloaded, damage == "byte" && (catalog == "same" || catalog == "broken"));
        QCOMPARE(m_cli->run({"verify", "alpha"}).exitCode, repaired ? 0 : 4);
        QCOMPARE(m_cli->records(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"alpha", "1.0.0"}}));
        QCOMPARE(m_cli->leftovers(), QStringList());
    }

    // Never refreshed: built-in catalog, status 1; after a refresh the kept catalog is listed offline, timed, status 0.
    void listWhenTheCatalogIsUnreachable()
    {
        m_cli->publish({m_cli->release("alpha", "1.0.0")}, 500);
        ToolSandbox::Result run = m_cli->run({"list", "--json"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Could not refresh apps. Showing the last known state."), qPrintable(run.err));
        QVERIFY(QJsonDocument::fromJson(run.out.toUtf8()).isArray());
        QCOMPARE(m_cli->listed("alpha"), QJsonObject());

        m_cli->publish({m_cli->release("alpha", "1.0.0")});
        QCOMPARE(m_cli->run({"list"}).exitCode, 0);
        m_cli->publish({m_cli->release("alpha", "1.0.0")}, 500);
        run = m_cli->run({"list", "--lang", "de"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("Zeige den gerade eben geladenen Katalog."), qPrintable(run.err));
        QVERIFY2(run.out.startsWith("alpha "), qPrintable(run.out));
    }

    // The bash completion the package installs offers what `vantrel complete` prints: commands, options, languages and
    // the ids of the catalog the last refresh kept (beta apps too), without the network.
    void bashCompletion_data()
    {
        BashCompletionRows::columns();
        BashCompletionRows::row("commands", {""}, {"check", "compare", "list", "install", "update", "remove", "rollback", "skip",
                                                   "hold", "release", "open", "verify", "repair", "complete", "help", "--help",
                                                   "--version"});
        BashCompletionRows::row("a command begun", {"ro"}, {"rollback"});
        BashCompletionRows::row("options and app ids", {"install", ""}, {"--json", "--no-metered", "--help", "--lang", "alpha", "beta", "soon"});
        BashCompletionRows::row("an app id begun", {"open", "b"}, {"beta"});
        BashCompletionRows::row("languages", {"list", "--lang", ""}, {"en", "pl", "de"});
        BashCompletionRows::row("a value of the caller's own", {"check", "--public-keys", ""}, {});
        BashCompletionRows::row("commands to help with", {"help", "c"}, {"check", "compare", "complete"});
        BashCompletionRows::row("nothing after an unknown command", {"frobnicate", ""}, {});
    }

    void bashCompletion()
    {
        const auto [words, offered] = BashCompletionRows::fetch();
        m_cli->publish({m_cli->release("alpha", "1.0.0"), TestCatalog::app("beta", AppReleaseStatus::beta),
                        TestCatalog::app("soon", AppReleaseStatus::comingSoon)});
        QCOMPARE(m_cli->run({"list"}).exitCode, 0);
        m_cli->publish({}, 500);  // completing asks no server
        const QString script = QStringLiteral(
            "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _vantrel; "
            "[ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\\n' \"${COMPREPLY[@]}\"");
        const ToolSandbox::Result run = m_cli->run(
            QStringList{"-c", script, "bash", qEnvironmentVariable("VANTREL_SOURCE_DIR") + "/packaging/completion/vantrel.bash",
                        ToolSandbox::vantrel()} + words, QStringLiteral("/bin/bash"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QCOMPARE(run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), offered);
    }

    // With the catalog unreachable, what is installed opens and goes; install and update say why they cannot fetch,
    // with their own status; only an id neither installed nor in any catalog is unknown.
    void offlineWorksOnWhatIsInstalled()
    {
        m_cli->publish({m_cli->release("alpha", "1.0.0"), m_cli->release("tempo", "1.0.0")});
        QCOMPARE(m_cli->run({"install", "alpha"}).exitCode, 0);
        m_cli->publish({}, 500);
        ToolSandbox::Result run = m_cli->run({"open", "alpha"});
        QVERIFY2(run.exitCode == 0 && run.out.contains("Opened Alpha"), qPrintable(run.output()));
        QTRY_COMPARE_WITH_TIMEOUT(TempHome::readFile(marker()), QByteArray("1.0.0\n"), 10000);
        for (const char *command : {"install", "update"}) {
            run = m_cli->run({command, "tempo"});
            QCOMPARE(run.exitCode, 3);
            QVERIFY2(run.err.contains("the catalog could not be fetched: The server answered with HTTP status 500.")
                         && !run.err.contains("unknown app"), qPrintable(run.err));
        }
        run = m_cli->run({"open", "ghost"});
        QVERIFY2(run.exitCode == 1 && run.err.contains("unknown app \"ghost\""), qPrintable(run.output()));
        run = m_cli->run({"remove", "alpha"});
        QVERIFY2(run.exitCode == 0 && run.out.contains("Removed Alpha"), qPrintable(run.output()));
        QCOMPARE(m_cli->rootEntries(), QStringList());
        QCOMPARE(m_cli->records(LauncherStore::installedVersionsKey), (QHash<QString, QString>{}));
    }

    // An app the catalog drops stays listed as installed, opens and is removed whole; nothing installs it again.
    void droppedByTheCatalogStaysReachable()
    {
        m_cli->publish({m_cli->release("alpha", "1.0.0"), m_cli->release("tempo", "1.0.0")});
        QCOMPARE(m_cli->run({"install", "tempo"}).exitCode, 0);
        m_cli->publish({m_cli->release("alpha", "1.0.0")});
        QCOMPARE(m_cli->listed("tempo"), (QJsonObject{{"id", "tempo"}, {"name", "Tempo"}, {"status", "live"}, {"published", false},
                                                      {"notListed", "notInCatalog"}, {"state", AppInstallState::installed("1.0.0").toJson()}}));
        ToolSandbox::Result run = m_cli->run({"list"});
        QVERIFY2(run.out.contains(QRegularExpression("tempo +Tempo +No longer in the catalog +Installed 1.0.0")), qPrintable(run.out));
        run = m_cli->run({"install", "tempo"});
        QVERIFY2(run.exitCode == 1 && run.err.contains("It is no longer in the catalog."), qPrintable(run.output()));
        run = m_cli->run({"open", "tempo"});
        QVERIFY2(run.exitCode == 0 && run.out.contains("Opened Tempo"), qPrintable(run.output()));
        run = m_cli->run({"remove", "tempo"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));
        QCOMPARE(m_cli->rootEntries(), QStringList());
        QCOMPARE(m_cli->leftovers(), QStringList());
        QCOMPARE(m_cli->listed("tempo"), QJsonObject());
        QCOMPARE(m_cli->run({"open", "tempo"}).exitCode, 1);
    }

    void openInstallsWhenNeededAndStarts()
    {
        m_cli->publish({m_cli->release("alpha", "1.0.0")});
        for (int round = 0; round < 2; ++round) {
            // Not installed (at first, then its bundle gone): installed first, then started.
            const ToolSandbox::Result run = m_cli->run({"open", "alpha"});
            QVERIFY2(run.exitCode == 0 && run.out.contains("Opened Alpha"), qPrintable(run.output()));
            QTRY_COMPARE_WITH_TIMEOUT(TempHome::readFile(marker()), QByteArray("1.0.0\n"), 10000);
            QFile::remove(marker());
            QVERIFY(QDir(m_cli->bundle(QStringLiteral("Alpha.app"))).removeRecursively());
        }
    }

    // A bundle whose program cannot start is damaged, never forgotten: open
    // says why with the damaged status, the record stays, and repair puts it right.
    void openSaysWhyTheProgramCannotStart_data()
    {
        ProgramFaultRows::columns();
        ProgramFaultRows::row("not executable", "bits", "Alpha cannot start: its program Contents/MacOS/Alpha is not executable.");
        ProgramFaultRows::row("missing", "missing", "Alpha cannot start: its program Contents/MacOS/Alpha is missing.");
        ProgramFaultRows::row("unreadable", "unreadable", "Alpha cannot start: its program Contents/MacOS/Alpha cannot be read.");
    }

    void openSaysWhyTheProgramCannotStart()
    {
        const auto [fault, line] = ProgramFaultRows::fetch();
        m_cli->publish({m_cli->release("alpha", "1.0.0")});
        QCOMPARE(m_cli->run({"install", "alpha"}).exitCode, 0);
        const QString executable = m_cli->bundle("Alpha.app/Contents/MacOS/Alpha");
        if (fault == "missing")
            QVERIFY(QFile::remove(executable));
        else
            QVERIFY(QFile::setPermissions(executable, fault == "bits" ? QFile::ReadOwner | QFile::WriteOwner : QFile::WriteOwner | QFile::ExeOwner));

        const ToolSandbox::Result opened = m_cli->run({"open", "alpha"});
        QCOMPARE(opened.exitCode, 4);
        QVERIFY2(opened.err.contains(line) && !opened.err.startsWith(QLatin1Char(0x0a)), qPrintable(opened.output()));
        QVERIFY(!QFileInfo::exists(marker()));
        QCOMPARE(m_cli->records(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"alpha", "1.0.0"}}));
        QCOMPARE(m_cli->listed("alpha").value("state").toObject(), AppInstallState::installed("1.0.0").toJson());

        const ToolSandbox::Result repaired = m_cli->run({"repair", "alpha"});
        QVERIFY2(repaired.exitCode == 0, qPrintable(repaired.output()));
        const ToolSandbox::Result again = m_cli->run({"open", "alpha"});
        QVERIFY2(again.exitCode == 0 && again.out.contains("Opened Alpha"), qPrintable(again.output()));
        QTRY_COMPARE_WITH_TIMEOUT(TempHome::readFile(marker()), QByteArray("1.0.0\n"), 10000);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("install without id") << QStringList{"install"};
        QTest::newRow("install with two ids") << QStringList{"install", "a", "b"};
        QTest::newRow("update without ids") << QStringList{"update"};
        QTest::newRow("update all and an id") << QStringList{"update", "--all", "alpha"};
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
