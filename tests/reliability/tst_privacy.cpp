// The Sentry DSN's key, feedback texts and home paths never reach the log output, with every logging category on;
// the install id never leaves the machine.

#include "CatalogBuilders.h"
#include "SettingsUserDefaults.h"
#include "ToolSandbox.h"
#include "async/WaitForTask.h"
#include "install/AppInstaller.h"
#include "feedback/Feedback.h"
#include "monitoring/Monitoring.h"
#include "store/LauncherStore.h"

#include <QUuid>
#include <QtTest>

namespace {

const QString dsnKey = QStringLiteral("a9f3secretkey7c21d0e4b6");
const QString feedbackTitle = QStringLiteral("PrivateTitle-5b8e1");
const QString feedbackBody = QStringLiteral("PrivateDetails-c47aa my account number");
const QString privateHome = QStringLiteral("home-PrivatePath-91d2");

QMutex logMutex;
QString capturedLog;

void captureMessage(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    QMutexLocker lock(&logMutex);
    capturedLog += QLatin1String(context.category) + QLatin1Char(' ') + message + QLatin1Char('\n');
}

// Every Qt log message while work runs, with all categories on.
QString logDuring(const std::function<void()> &work)
{
    capturedLog.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    QLoggingCategory::setFilterRules(QStringLiteral("*=true"));
    work();
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    QMutexLocker lock(&logMutex);
    return capturedLog;
}

}  // namespace

class Privacy : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_session;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void errorReportKeepsTheKeyOutOfLogs()
    {
        LoopbackHttpServer sentry;
        sentry.setHandler([](const LoopbackHttpServer::Request &) { return LoopbackHttpServer::Response::json(200, "{}"); });
        QUrl dsn = sentry.url(QStringLiteral("/42"));
        dsn.setUserName(dsnKey);
        qputenv("VANTREL_LAUNCHER_SENTRY_DSN", dsn.toEncoded());
        const QString log = logDuring([&] {
            LauncherErrorReporter reporter(LauncherErrorReporter::dsnFromEnvironment());
            reporter.report(AppInstallerError(AppInstallerError::Kind::downloadFailed), {{QStringLiteral("flow"), QStringLiteral("install")}});
            QTRY_COMPARE_WITH_TIMEOUT(sentry.requestCount(), 1, 10000);
            QVERIFY(reporter.waitForPendingReports(10000));
        });
        qunsetenv("VANTREL_LAUNCHER_SENTRY_DSN");
        // The key went where it belongs, and nowhere else.
        QVERIFY(sentry.requests().first().header("x-sentry-auth").contains(dsnKey.toUtf8()));
        QVERIFY2(!log.contains(dsnKey), qPrintable(log));
        QVERIFY(!sentry.requests().first().path.contains(dsnKey));
    }

    void feedbackTextsStayOutOfLogs()
    {
        TempHome home;
        LoopbackHttpServer server;
        server.serve(QStringLiteral("/api/feedback"), LoopbackHttpServer::Response::text(500, "<html>down</html>", "text/html"));
        LauncherStore::Collaborators c;
        c.feedbackClient = std::make_shared<RemoteFeedbackClient>(server.url(), &m_session);
        c.userDefaults = std::make_shared<SettingsUserDefaults>(home.path(QStringLiteral("defaults.ini")));
        LauncherStore store(c, LauncherManifest{});
        const QString log = logDuring([&] { waitForTask(store.submitFeedback(FeedbackType::bug, feedbackTitle, feedbackBody, std::nullopt)); });
        QCOMPARE(store.feedbackState().kind(), FeedbackSubmissionState::Kind::failed);
        QCOMPARE(server.requestCount(), 1);
        QVERIFY(server.requests().first().body.contains(feedbackTitle.toUtf8()));
        QVERIFY2(!log.contains(feedbackTitle) && !log.contains(feedbackBody), qPrintable(log));
        QVERIFY(!store.feedbackState().message().contains(feedbackBody));
    }

    // A failing `vantrel install` with a DSN and all logging: the output names the app, not the key nor a home path.
    void failingCliInstallLeaksNothing_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("download refused") << "http404";
        QTest::newRow("install root blocked") << "rootBlocked";
        QTest::newRow("archive in the home") << "homeArchiveMissing";
    }

    void failingCliInstallLeaksNothing()
    {
        QFETCH(QString, failure);
        ToolSandbox cli(privateHome);
        if (failure == QLatin1String("rootBlocked"))
            QVERIFY(TempHome::writeFile(cli.home() + QStringLiteral("/Applications"), "a file, not a folder"));
        const QUrl download = failure == QLatin1String("homeArchiveMissing") ? QUrl::fromLocalFile(cli.home() + QStringLiteral("/Downloads/release.zip"))
                                                                            : cli.server().url(QStringLiteral("/missing.zip"));
        const AppManifestItem app = TestCatalog::release(QStringLiteral("privacy"), download, TestCatalog::validSha);
        cli.publish({app});
        QUrl dsn = cli.server().url(QStringLiteral("/42"));
        dsn.setUserName(dsnKey);
        cli.environment().insert(QStringLiteral("VANTREL_LAUNCHER_SENTRY_DSN"), QString::fromUtf8(dsn.toEncoded()));
        cli.environment().insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=true"));

        const ToolSandbox::Result run = cli.run({QStringLiteral("install"), app.id});
        const QString output = run.output();
        QVERIFY2(run.exitCode > 0, qPrintable(output));
        QVERIFY2(output.contains(app.name), qPrintable(output));
        QVERIFY2(!output.contains(dsnKey), qPrintable(output));
        QVERIFY2(!output.contains(privateHome), qPrintable(output));
        // A report that went out before the process ended carries nothing from the home either.
        for (const LoopbackHttpServer::Request &request : cli.server().requests())
            QVERIFY2(!request.body.contains(privateHome.toUtf8()), request.body.constData());
    }

    // The install id staged rollouts draw from stays on the machine: no
    // request to any service (catalog, archives, events, error reports,
    // feedback) and no log line carries it.
    void installIdIsNeverSent()
    {
        ToolSandbox cli;
        QUrl dsn = cli.server().url(QStringLiteral("/42"));
        dsn.setUserName(dsnKey);
        cli.environment().insert(QStringLiteral("VANTREL_LAUNCHER_SENTRY_DSN"), QString::fromUtf8(dsn.toEncoded()));
        cli.environment().insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=true"));
        cli.publish({cli.release(QStringLiteral("alpha"), QStringLiteral("1.0.0"))});
        QString output = cli.run({QStringLiteral("install"), QStringLiteral("alpha")}).output();
        // Staged releases: one taken by name, then a broken one whose failure is reported.
        AppManifestItem staged = cli.release(QStringLiteral("alpha"), QStringLiteral("1.1.0"));
        staged.rolloutPercent = 50;
        cli.publish({staged});
        output += cli.run({QStringLiteral("list")}).output();
        output += cli.run({QStringLiteral("update"), QStringLiteral("alpha")}).output();
        AppManifestItem broken = cli.release(QStringLiteral("alpha"), QStringLiteral("1.2.0"));
        broken.rolloutPercent = 50;
        broken.downloadUrl = cli.server().url(QStringLiteral("/missing.zip"));
        cli.publish({broken});
        output += cli.run({QStringLiteral("update"), QStringLiteral("alpha")}).output();
        const QString id = cli.installId();
        QVERIFY2(!QUuid::fromString(id).isNull(), qPrintable(output));
        // Feedback from a store over the same records, its diagnostics included.
        LauncherStore::Collaborators c;
        c.feedbackClient = std::make_shared<RemoteFeedbackClient>(cli.server().url(), &m_session);
        c.userDefaults = std::make_shared<SettingsUserDefaults>(cli.settingsFile());
        LauncherStore store(c, LauncherManifest{});
        output += logDuring([&] { waitForTask(store.submitFeedback(FeedbackType::bug, feedbackTitle, feedbackBody, std::nullopt)); });

        QStringList seen;
        for (const LoopbackHttpServer::Request &request : cli.server().requests()) {
            seen << request.path;
            QVERIFY2(!request.target.contains(id.toLatin1()), request.target.constData());
            for (auto it = request.headers.cbegin(); it != request.headers.cend(); ++it)
                QVERIFY2(!it.value().contains(id.toLatin1()), it.key().constData());
            QVERIFY2(!request.body.contains(id.toLatin1()) && !request.body.contains(QUuid::fromString(id).toRfc4122()),
                     qPrintable(request.path));
        }
        // Each kind of service was asked.
        for (const QString &path : {QStringLiteral("/api/launcher/manifest"), QStringLiteral("/alpha-1.1.0.zip"),
                                    QStringLiteral("/api/events"), QStringLiteral("/api/42/store/"), QStringLiteral("/api/feedback")})
            QVERIFY2(seen.contains(path), qPrintable(seen.join(QLatin1Char(' '))));
        QVERIFY2(!output.contains(id, Qt::CaseInsensitive), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(Privacy)
#include "tst_privacy.moc"
