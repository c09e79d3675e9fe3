#include "async/WaitForTask.h"
#include "LoopbackHttpServer.h"
#include "system/SystemLayers.h"
#include "monitoring/Monitoring.h"

#include <QCoroTask>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QtTest>

namespace {

class FixedLanguage : public SystemLanguageProvider
{
public:
    std::optional<QString> language;
    std::optional<QString> preferredLanguage() const override { return language; }
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

LauncherOperationalEvent failedInstall()
{
    return {QStringLiteral("install_failed"), QStringLiteral("notes"), QStringLiteral("1.2.0"),
            QStringLiteral("failed"), QStringLiteral("The archive checksum did not match.")};
}

LoopbackHttpServer::Response accepted(const LoopbackHttpServer::Request &)
{
    return LoopbackHttpServer::Response::json(202, "{}");
}

}  // namespace

class TestEventRecorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestLineAndHeaders_data();
    void requestLineAndHeaders();
    void languageIsReadAtEachCall();
    void bodyIsSortedAndPrettyPrinted();
    void absentMembersAreLeftOut_data();
    void absentMembersAreLeftOut();
    void failuresNeverReachTheCaller_data();
    void failuresNeverReachTheCaller();
    void callerIsNotBlocked();

private:
    QNetworkAccessManager m_session;
};

void TestEventRecorder::requestLineAndHeaders_data()
{
    QTest::addColumn<QString>("baseSuffix");
    QTest::addColumn<QVariant>("systemLanguage");
    QTest::addColumn<QByteArray>("expectedTarget");
    QTest::addColumn<QByteArray>("expectedLocale");

    QTest::newRow("host and port, Polish") << QString() << QVariant("pl-PL") << QByteArray("/api/events") << QByteArray("pl");
    QTest::newRow("root path, German region") << QStringLiteral("/") << QVariant("de-AT") << QByteArray("/api/events")
                                              << QByteArray("de");
    QTest::newRow("base path, bare language") << QStringLiteral("/launcher/") << QVariant("de")
                                              << QByteArray("/launcher/api/events") << QByteArray("de");
    QTest::newRow("unsupported language") << QStringLiteral("/launcher") << QVariant("fr-FR")
                                          << QByteArray("/launcher/api/events") << QByteArray("en");
    QTest::newRow("no system language") << QString() << QVariant() << QByteArray("/api/events") << QByteArray("en");
}

void TestEventRecorder::requestLineAndHeaders()
{
    QFETCH(QString, baseSuffix);
    QFETCH(QVariant, systemLanguage);
    QFETCH(QByteArray, expectedTarget);
    QFETCH(QByteArray, expectedLocale);

    LoopbackHttpServer server;
    server.setHandler(accepted);
    auto language = std::make_shared<FixedLanguage>();
    if (systemLanguage.isValid())
        language->language = systemLanguage.toString();
    RemoteEventRecorder recorder(QUrl(server.url().toString() + baseSuffix, QUrl::StrictMode), &m_session, language);

    waitForTask(recorder.recordEvent(failedInstall()));

    QCOMPARE(server.requestCount(), 1);
    const auto request = server.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, expectedTarget);
    QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(request.header("X-Vantrel-Locale"), expectedLocale);
}

void TestEventRecorder::languageIsReadAtEachCall()
{
    LoopbackHttpServer server;
    server.setHandler(accepted);
    auto language = std::make_shared<FixedLanguage>();
    language->language = QStringLiteral("pl-PL");
    RemoteEventRecorder recorder(server.url(), &m_session, language);

    waitForTask(recorder.recordEvent(failedInstall()));
    language->language = QStringLiteral("de-DE");
    waitForTask(recorder.recordEvent(failedInstall()));

    QCOMPARE(server.requestCount(), 2);
    QCOMPARE(server.requests().at(0).header("X-Vantrel-Locale"), QByteArray("pl"));
    QCOMPARE(server.requests().at(1).header("X-Vantrel-Locale"), QByteArray("de"));
}

void TestEventRecorder::bodyIsSortedAndPrettyPrinted()
{
    LoopbackHttpServer server;
    server.setHandler(accepted);
    auto language = std::make_shared<FixedLanguage>();
    RemoteEventRecorder recorder(server.url(), &m_session, language);

    waitForTask(recorder.recordEvent(failedInstall()));

    QCOMPARE(server.requestCount(), 1);
    const QByteArray expected = R"({
    "appSlug": "notes",
    "appVersion": "1.2.0",
    "eventType": "install_failed",
    "reason": "The archive checksum did not match.",
    "status": "failed"
}
)";
    QCOMPARE(server.requests().first().body, expected);
}

void TestEventRecorder::absentMembersAreLeftOut_data()
{
    QTest::addColumn<bool>("withSlug");
    QTest::addColumn<bool>("withVersion");
    QTest::addColumn<bool>("withReason");

    QTest::newRow("none of them") << false << false << false;
    QTest::newRow("no reason") << true << true << false;
    QTest::newRow("only reason") << false << false << true;
}

void TestEventRecorder::absentMembersAreLeftOut()
{
    QFETCH(bool, withSlug);
    QFETCH(bool, withVersion);
    QFETCH(bool, withReason);

    LoopbackHttpServer server;
    server.setHandler(accepted);
    auto language = std::make_shared<FixedLanguage>();
    RemoteEventRecorder recorder(server.url(), &m_session, language);

    LauncherOperationalEvent event{QStringLiteral("install_started"), std::nullopt, std::nullopt,
                                   QStringLiteral("started"), std::nullopt};
    QJsonObject expected{{"eventType", "install_started"}, {"status", "started"}};
    if (withSlug) {
        event.appSlug = QStringLiteral("atlas");
        expected.insert("appSlug", "atlas");
    }
    if (withVersion) {
        event.appVersion = QStringLiteral("2.0.0-beta.1");
        expected.insert("appVersion", "2.0.0-beta.1");
    }
    if (withReason) {
        event.reason = QStringLiteral("cancelled");
        expected.insert("reason", "cancelled");
    }
    waitForTask(recorder.recordEvent(event));

    QCOMPARE(server.requestCount(), 1);
    const QByteArray body = server.requests().first().body;
    QCOMPARE(QJsonDocument::fromJson(body).object(), expected);
    QVERIFY(!body.contains("null"));
}

void TestEventRecorder::failuresNeverReachTheCaller_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("expectedRequests");

    QTest::newRow("HTTP 500") << "500" << 1;
    QTest::newRow("connection refused") << "refused" << 0;
    QTest::newRow("no answer within the timeout") << "stall" << 1;
    QTest::newRow("connection dropped mid-answer") << "drop" << 1;
}

void TestEventRecorder::failuresNeverReachTheCaller()
{
    QFETCH(QString, failure);
    QFETCH(int, expectedRequests);

    LoopbackHttpServer server;
    server.setHandler([failure](const LoopbackHttpServer::Request &) {
        if (failure == QLatin1String("stall")) {
            LoopbackHttpServer::Response response;
            response.stall = true;
            return response;
        }
        if (failure == QLatin1String("drop")) {
            auto response = LoopbackHttpServer::Response::json(200, QByteArray(64, ' '));
            response.closeAfterBytes = 3;
            return response;
        }
        return LoopbackHttpServer::Response::text(500, "<html>boom</html>", "text/html");
    });
    QUrl base = server.url();
    if (failure == QLatin1String("refused"))
        base.setPort(closedPort());
    auto language = std::make_shared<FixedLanguage>();
    RemoteEventRecorder recorder(base, &m_session, language);
    recorder.setTimeoutMs(300);

    bool threw = false;
    try {
        waitForTask(recorder.recordEvent(failedInstall()));
    } catch (...) {
        threw = true;
    }
    QVERIFY(!threw);
    QCOMPARE(server.requestCount(), expectedRequests);
}

void TestEventRecorder::callerIsNotBlocked()
{
    LoopbackHttpServer server;
    server.setHandler([](const LoopbackHttpServer::Request &) {
        auto response = LoopbackHttpServer::Response::json(202, "{}");
        response.delayMs = 300;
        return response;
    });
    auto language = std::make_shared<FixedLanguage>();
    RemoteEventRecorder recorder(server.url(), &m_session, language);

    QCoro::Task<void> task = recorder.recordEvent(failedInstall());
    // The call hands control back while the request is under way.
    QVERIFY(!task.isReady());
    QTRY_COMPARE(server.requestCount(), 1);
    waitForTask(std::move(task));
}

QTEST_GUILESS_MAIN(TestEventRecorder)
#include "tst_eventrecorder.moc"
