// Secrets and privacy: the Sentry DSN's key, feedback texts and paths inside
// the user's home never reach the log output, even with every logging
// category switched on.

#include "ReliabilityHelpers.h"
#include "SettingsUserDefaults.h"
#include "errors/LauncherError.h"
#include "feedback/Feedback.h"
#include "monitoring/Monitoring.h"
#include "store/LauncherStore.h"

#include <QCoroTask>
#include <QLoggingCategory>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Reliability;

namespace {

const QString dsnKey = QStringLiteral("a9f3secretkey7c21d0e4b6");
const QString feedbackTitle = QStringLiteral("PrivateTitle-5b8e1");
const QString feedbackBody = QStringLiteral("PrivateDetails-c47aa my account number");

QMutex logMutex;
QString *capturedLog = nullptr;

void captureMessage(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    QMutexLocker lock(&logMutex);
    if (capturedLog)
        *capturedLog += QString::fromLatin1(context.category ? context.category : "") + QLatin1Char(' ') + message + QLatin1Char('\n');
}

// Captures every Qt log message while alive, with all categories on.
class LogCapture
{
public:
    LogCapture()
    {
        QMutexLocker lock(&logMutex);
        capturedLog = &m_log;
        m_previous = qInstallMessageHandler(captureMessage);
        QLoggingCategory::setFilterRules(QStringLiteral("*=true"));
    }
    ~LogCapture()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previous);
        QMutexLocker lock(&logMutex);
        capturedLog = nullptr;
    }
    QString text() const
    {
        QMutexLocker lock(&logMutex);
        return m_log;
    }

private:
    QString m_log;
    QtMessageHandler m_previous = nullptr;
};

QString vantrelPath()
{
    return qEnvironmentVariable("VANTREL_BUILD_DIR") + QStringLiteral("/src/cli/vantrel");
}

bool cliHasInstall()
{
    QProcess help;
    help.start(vantrelPath(), {QStringLiteral("help")});
    if (!help.waitForFinished(30000))
        return false;
    return help.readAllStandardOutput().contains("install");
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

        QString log;
        {
            LogCapture capture;
            LauncherErrorReporter reporter(LauncherErrorReporter::dsnFromEnvironment());
            reporter.report(AppInstallerError(AppInstallerError::Kind::downloadFailed),
                                          {{QStringLiteral("flow"), QStringLiteral("install")}});
            QTRY_COMPARE_WITH_TIMEOUT(sentry.requestCount(), 1, 10000);
            QVERIFY(reporter.waitForPendingReports(10000));
            log = capture.text();
        }
        qunsetenv("VANTREL_LAUNCHER_SENTRY_DSN");
        // The key went where it belongs...
        QVERIFY(sentry.requests().first().header("x-sentry-auth").contains(dsnKey.toUtf8()));
        // ...and nowhere else.
        QVERIFY2(!log.contains(dsnKey), qPrintable(log));
        QVERIFY(!sentry.requests().first().path.contains(dsnKey));
    }

    void feedbackTextsStayOutOfLogs()
    {
        LoopbackHttpServer server;
        server.serve(QStringLiteral("/api/feedback"), LoopbackHttpServer::Response::text(500, "<html>down</html>", "text/html"));
        QTemporaryDir dir;
        LauncherStore::Collaborators c;
        c.feedbackClient = std::make_shared<RemoteFeedbackClient>(server.url(), &m_session);
        c.userDefaults = std::make_shared<SettingsUserDefaults>(dir.filePath(QStringLiteral("defaults.ini")));
        LauncherStore store(c, LauncherManifest{});

        QString log;
        {
            LogCapture capture;
            QCoro::waitFor(store.submitFeedback(FeedbackType::bug, feedbackTitle, feedbackBody, std::nullopt));
            log = capture.text();
        }
        QCOMPARE(store.feedbackState().kind(), FeedbackSubmissionState::Kind::failed);
        QCOMPARE(server.requestCount(), 1);
        QVERIFY(server.requests().first().body.contains(feedbackTitle.toUtf8()));
        QVERIFY2(!log.contains(feedbackTitle) && !log.contains(feedbackBody), qPrintable(log));
        QVERIFY(!store.feedbackState().message().contains(feedbackBody));
    }

    // A failing `vantrel install` with a DSN set and all logging on: the
    // output names the app, but neither the key nor any path in the home.
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
        if (!cliHasInstall())
            QSKIP("`vantrel install` is not built yet");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString home = dir.filePath(QStringLiteral("home-PrivatePath-91d2"));
        QDir().mkpath(home);
        QDir().mkpath(dir.filePath(QStringLiteral("tmp")));
        if (failure == QLatin1String("rootBlocked")) {
            QFile blocker(home + QStringLiteral("/Applications"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }

        LoopbackHttpServer server;
        QUrl download = server.url(QStringLiteral("/missing.zip"));
        if (failure == QLatin1String("homeArchiveMissing"))
            download = QUrl::fromLocalFile(home + QStringLiteral("/Downloads/release.zip"));
        const AppManifestItem app = appEntry(QStringLiteral("privacy"), QStringLiteral("com.example.privacy"),
                                             download, QString(64, QLatin1Char('c')));
        const QByteArray manifest = QByteArray("{\"generatedAt\":\"2026-05-03T00:00:00Z\",\"apps\":[{")
            + "\"id\":\"privacy\",\"name\":\"" + app.name.toUtf8() + "\",\"tagline\":\"t\",\"category\":\"c\","
            + "\"bundleId\":\"com.example.privacy\",\"version\":\"2.0.0\",\"minMacOS\":\"1\",\"status\":\"live\","
            + "\"downloadUrl\":\"" + download.toEncoded() + "\",\"sha256\":\"" + app.sha256->toUtf8() + "\","
            + "\"symbolName\":\"star\",\"accent\":\"lime\",\"tags\":[],\"description\":\"d\",\"privacyNote\":\"p\","
            + "\"releaseNotes\":[]}]}";
        server.setHandler([manifest](const LoopbackHttpServer::Request &request) {
            if (request.path == QLatin1String("/manifest"))
                return LoopbackHttpServer::Response::json(200, manifest);
            if (request.path.startsWith(QLatin1String("/api/")))
                return LoopbackHttpServer::Response::json(200, "{}");
            return LoopbackHttpServer::Response::text(404, "not found");
        });
        QUrl dsn = server.url(QStringLiteral("/42"));
        dsn.setUserName(dsnKey);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        env.insert(QStringLiteral("TMPDIR"), dir.filePath(QStringLiteral("tmp")));
        env.insert(QStringLiteral("VANTREL_MANIFEST_URL"), server.url(QStringLiteral("/manifest")).toString());
        env.insert(QStringLiteral("VANTREL_API_URL"), server.url().toString());
        env.insert(QStringLiteral("VANTREL_LAUNCHER_SENTRY_DSN"), QString::fromUtf8(dsn.toEncoded()));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=true"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        env.remove(QStringLiteral("VANTREL_INSTALL_PAUSE_AT"));

        QProcess cli;
        cli.setProcessEnvironment(env);
        cli.setProcessChannelMode(QProcess::MergedChannels);
        cli.start(vantrelPath(), {QStringLiteral("install"), QStringLiteral("privacy")});
        QVERIFY(cli.waitForFinished(60000));
        const QString output = QString::fromUtf8(cli.readAll());
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() != 0, qPrintable(output));
        QVERIFY2(output.contains(app.name), qPrintable(output));
        QVERIFY2(!output.contains(dsnKey), qPrintable(output));
        QVERIFY2(!output.contains(home), qPrintable(output));
        QVERIFY2(!output.contains(QLatin1String("PrivatePath")), qPrintable(output));
        // A report that went out before the process ended carries nothing from the home either.
        for (const LoopbackHttpServer::Request &request : server.requests()) {
            if (request.path == QLatin1String("/api/42/store/"))
                QVERIFY2(!request.body.contains("PrivatePath"), request.body.constData());
        }
    }
};

QTEST_GUILESS_MAIN(Privacy)
#include "tst_privacy.moc"
