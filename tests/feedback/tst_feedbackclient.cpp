#include "async/WaitForTask.h"
#include "LoopbackHttpServer.h"
#include "feedback/Feedback.h"

#include <QCoroTask>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QtTest>

namespace {

FeedbackSubmissionRequest fullRequest()
{
    FeedbackSubmissionRequest request;
    request.clientRequestId = QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3301");
    request.type = FeedbackType::improvement;
    request.title = QStringLiteral("Faster installs");
    request.description = QStringLiteral("Downloads could resume.\nZażółć gęślą jaźń");
    request.appId = QStringLiteral("notes");
    request.diagnostics.macOSVersion = QStringLiteral("14.5.0");
    request.diagnostics.launcherVersion = QStringLiteral("0.1.0");
    request.diagnostics.locale = QStringLiteral("pl");
    request.diagnostics.catalogLifecycle = QStringLiteral("multiAppCatalog");
    request.diagnostics.visibleAppCount = 4;
    request.diagnostics.publishedAppCount = 3;
    request.diagnostics.comingSoonAppCount = 1;
    request.diagnostics.selectedAppId = QStringLiteral("notes");
    request.diagnostics.selectedAppName = QStringLiteral("Notes");
    request.diagnostics.selectedAppVersion = QStringLiteral("1.2.0");
    return request;
}

FeedbackSubmissionRequest minimalRequest()
{
    FeedbackSubmissionRequest request;
    request.clientRequestId = QStringLiteral("A1B2C3D4-0000-4000-8000-000000000001");
    request.type = FeedbackType::bug;
    request.title = QStringLiteral("Crash");
    request.description = QStringLiteral("It crashed.");
    request.diagnostics.macOSVersion = QStringLiteral("6.1.0");
    request.diagnostics.launcherVersion = QStringLiteral("0.1.0");
    request.diagnostics.locale = QStringLiteral("en");
    request.diagnostics.catalogLifecycle = QStringLiteral("empty");
    return request;
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

const QByteArray okBody = R"({"ok":true,"issue":{"id":"1"}})";

}  // namespace

class TestFeedbackClient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestLineAndHeaders_data();
    void requestLineAndHeaders();
    void fullBodyIsSortedAndPrettyPrinted();
    void absentOptionalsAreLeftOut();
    void successAnswers_data();
    void successAnswers();
    void failureAnswers_data();
    void failureAnswers();
    void transportFailures_data();
    void transportFailures();
    void errorMessages_data();
    void errorMessages();

private:
    QNetworkAccessManager m_session;
};

void TestFeedbackClient::requestLineAndHeaders_data()
{
    QTest::addColumn<QString>("baseSuffix");
    QTest::addColumn<VantrelLocale>("locale");
    QTest::addColumn<QByteArray>("expectedTarget");

    QTest::newRow("host and port only") << QString() << VantrelLocale::en << QByteArray("/api/feedback");
    QTest::newRow("root path") << QStringLiteral("/") << VantrelLocale::pl << QByteArray("/api/feedback");
    QTest::newRow("several slashes") << QStringLiteral("///") << VantrelLocale::de << QByteArray("/api/feedback");
    QTest::newRow("base path") << QStringLiteral("/base") << VantrelLocale::de << QByteArray("/base/api/feedback");
    QTest::newRow("base path with trailing slash")
        << QStringLiteral("/base/") << VantrelLocale::pl << QByteArray("/base/api/feedback");
    QTest::newRow("nested base path") << QStringLiteral("//v1/feedback-service//") << VantrelLocale::en
                                      << QByteArray("/v1/feedback-service/api/feedback");
    QTest::newRow("query of the base kept")
        << QStringLiteral("/base/?tenant=lab") << VantrelLocale::en << QByteArray("/base/api/feedback?tenant=lab");
}

void TestFeedbackClient::requestLineAndHeaders()
{
    QFETCH(QString, baseSuffix);
    QFETCH(VantrelLocale, locale);
    QFETCH(QByteArray, expectedTarget);

    LoopbackHttpServer server;
    server.setHandler([](const LoopbackHttpServer::Request &) {
        return LoopbackHttpServer::Response::json(201, okBody);
    });
    const QUrl base(server.url().toString() + baseSuffix, QUrl::StrictMode);
    QVERIFY(base.isValid());
    RemoteFeedbackClient client(base, &m_session);

    const FeedbackSubmissionResponse response = waitForTask(client.submitFeedback(minimalRequest(), locale));
    QCOMPARE(response.issue.id, QStringLiteral("1"));

    QCOMPARE(server.requestCount(), 1);
    const auto request = server.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, expectedTarget);
    QCOMPARE(request.header("Host"), QByteArray("127.0.0.1:") + QByteArray::number(server.port()));
    QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(request.header("X-Vantrel-Locale"), VantrelLocaleUtil::rawValue(locale).toLatin1());
}

void TestFeedbackClient::fullBodyIsSortedAndPrettyPrinted()
{
    LoopbackHttpServer server;
    server.setHandler([](const LoopbackHttpServer::Request &) {
        return LoopbackHttpServer::Response::json(201, okBody);
    });
    RemoteFeedbackClient client(server.url(), &m_session);
    waitForTask(client.submitFeedback(fullRequest(), VantrelLocale::pl));

    QCOMPARE(server.requestCount(), 1);
    const QByteArray expected = R"({
    "appId": "notes",
    "clientRequestId": "3F2504E0-4F89-11D3-9A0C-0305E82C3301",
    "description": "Downloads could resume.\nZażółć gęślą jaźń",
    "diagnostics": {
        "catalogLifecycle": "multiAppCatalog",
        "comingSoonAppCount": 1,
        "launcherVersion": "0.1.0",
        "locale": "pl",
        "macOSVersion": "14.5.0",
        "publishedAppCount": 3,
        "selectedAppId": "notes",
        "selectedAppName": "Notes",
        "selectedAppVersion": "1.2.0",
        "visibleAppCount": 4
    },
    "title": "Faster installs",
    "type": "improvement"
}
)";
    QCOMPARE(QString::fromUtf8(server.requests().first().body), QString::fromUtf8(expected));
}

void TestFeedbackClient::absentOptionalsAreLeftOut()
{
    LoopbackHttpServer server;
    server.setHandler([](const LoopbackHttpServer::Request &) {
        return LoopbackHttpServer::Response::json(201, okBody);
    });
    RemoteFeedbackClient client(server.url(), &m_session);
    waitForTask(client.submitFeedback(minimalRequest(), VantrelLocale::en));

    QCOMPARE(server.requestCount(), 1);
    const QByteArray body = server.requests().first().body;
    const QJsonObject sent = QJsonDocument::fromJson(body).object();
    const QJsonObject expected{
        {"clientRequestId", "A1B2C3D4-0000-4000-8000-000000000001"},
        {"type", "bug"},
        {"title", "Crash"},
        {"description", "It crashed."},
        {"diagnostics",
         QJsonObject{{"macOSVersion", "6.1.0"},
                     {"launcherVersion", "0.1.0"},
                     {"locale", "en"},
                     {"catalogLifecycle", "empty"},
                     {"visibleAppCount", 0},
                     {"publishedAppCount", 0},
                     {"comingSoonAppCount", 0}}},
    };
    QCOMPARE(sent, expected);
    QVERIFY(!body.contains("appId"));
    QVERIFY(!body.contains("selectedApp"));
    QVERIFY(!body.contains("null"));
}

void TestFeedbackClient::successAnswers_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QVariant>("identifier");
    QTest::addColumn<QVariant>("url");
    QTest::addColumn<QVariant>("message");

    QTest::newRow("201 with identifier, url and message")
        << 201
        << QByteArray(R"({"ok":true,"issue":{"id":"iss_42","identifier":"VL-42","url":"https://tracker.example/i/42"},"message":"Thanks"})")
        << true << "iss_42" << QVariant("VL-42") << QVariant(QUrl(QStringLiteral("https://tracker.example/i/42")))
        << QVariant("Thanks");
    QTest::newRow("201 without identifier") << 201 << QByteArray(R"({"ok":true,"issue":{"id":"iss_43"}})") << true
                                            << "iss_43" << QVariant() << QVariant() << QVariant();
    QTest::newRow("200 with null optionals and ok false")
        << 200 << QByteArray(R"({"ok":false,"issue":{"id":"7","identifier":null,"url":null},"message":null})")
        << false << "7" << QVariant() << QVariant() << QVariant();
    QTest::newRow("unknown members ignored")
        << 202 << QByteArray(R"({"ok":true,"issue":{"id":"8","labels":["x"]},"extra":{"a":1}})") << true << "8"
        << QVariant() << QVariant() << QVariant();
}

void TestFeedbackClient::successAnswers()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);

    LoopbackHttpServer server;
    server.setHandler([status, body](const LoopbackHttpServer::Request &) {
        return LoopbackHttpServer::Response::json(status, body);
    });
    RemoteFeedbackClient client(server.url(), &m_session);
    const FeedbackSubmissionResponse response = waitForTask(client.submitFeedback(fullRequest(), VantrelLocale::en));

    QTEST(response.ok, "ok");
    QTEST(response.issue.id, "id");
    QTEST(response.issue.identifierValue(), "identifier");
    QTEST(response.issue.urlValue(), "url");
    QTEST(response.message ? QVariant(*response.message) : QVariant(), "message");
}

void TestFeedbackClient::failureAnswers_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("errorKind");
    QTest::addColumn<QString>("message");  // exact, or for decoding errors the member it must name

    const QByteArray json = "application/json";
    QTest::newRow("200 without issue") << 200 << json << QByteArray(R"({"ok":true})") << "decoding" << "issue";
    QTest::newRow("200 without ok") << 200 << json << QByteArray(R"({"issue":{"id":"1"}})") << "decoding" << "ok";
    QTest::newRow("200 ok not a boolean")
        << 200 << json << QByteArray(R"({"ok":1,"issue":{"id":"1"}})") << "decoding" << "ok";
    QTest::newRow("200 issue id a number")
        << 200 << json << QByteArray(R"({"ok":true,"issue":{"id":1}})") << "decoding" << "issue.id";
    QTest::newRow("200 issue id null")
        << 200 << json << QByteArray(R"({"ok":true,"issue":{"id":null}})") << "decoding" << "issue.id";
    QTest::newRow("201 issue url not a URL")
        << 201 << json << QByteArray(R"({"ok":true,"issue":{"id":"1","url":"http://exa mple.com"}})") << "decoding"
        << "issue.url";
    QTest::newRow("201 issue url empty")
        << 201 << json << QByteArray(R"({"ok":true,"issue":{"id":"1","url":""}})") << "decoding" << "issue.url";
    QTest::newRow("201 identifier not text")
        << 201 << json << QByteArray(R"({"ok":true,"issue":{"id":"1","identifier":5}})") << "decoding"
        << "issue.identifier";
    QTest::newRow("200 message not text")
        << 200 << json << QByteArray(R"({"ok":true,"issue":{"id":"1"},"message":[]})") << "decoding" << "message";
    QTest::newRow("200 not JSON") << 200 << json << QByteArray("{\"ok\":tru") << "decoding" << "JSON";
    QTest::newRow("200 array") << 200 << json << QByteArray("[]") << "decoding" << "object";
    QTest::newRow("204 no body") << 204 << json << QByteArray() << "decoding" << "empty";

    QTest::newRow("422 error and message") << 422 << json
                                           << QByteArray(R"({"error":"validation_failed","message":"Title is too short."})")
                                           << "server" << "Title is too short.";
    QTest::newRow("422 only error") << 422 << json << QByteArray(R"({"error":"validation_failed"})") << "server"
                                    << "validation_failed";
    QTest::newRow("422 null message") << 422 << json << QByteArray(R"({"error":"rate_limited","message":null})")
                                      << "server" << "rate_limited";
    QTest::newRow("422 blank message falls back to error")
        << 422 << json << QByteArray(R"({"error":"rate_limited","message":"  "})") << "server" << "rate_limited";
    QTest::newRow("400 message in Polish") << 400 << json
                                           << QByteArray(R"({"error":"bad","message":"Zbyt długi opis."})")
                                           << "server" << QStringLiteral("Zbyt długi opis.");
    QTest::newRow("500 HTML") << 500 << QByteArray("text/html")
                              << QByteArray("<html><body><h1>Internal Server Error</h1></body></html>")
                              << "invalidStatus" << "The feedback server returned HTTP 500.";
    QTest::newRow("404 JSON without error") << 404 << json << QByteArray(R"({"message":"nope"})") << "invalidStatus"
                                            << "The feedback server returned HTTP 404.";
    QTest::newRow("400 error not text") << 400 << json << QByteArray(R"({"error":17})") << "invalidStatus"
                                        << "The feedback server returned HTTP 400.";
    QTest::newRow("503 both texts blank") << 503 << json << QByteArray(R"({"error":"","message":""})")
                                          << "invalidStatus" << "The feedback server returned HTTP 503.";
}

void TestFeedbackClient::failureAnswers()
{
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(QString, errorKind);
    QFETCH(QString, message);

    LoopbackHttpServer server;
    server.setHandler([status, body, contentType](const LoopbackHttpServer::Request &) {
        return LoopbackHttpServer::Response::text(status, body, contentType);
    });
    RemoteFeedbackClient client(server.url(), &m_session);

    QString caughtKind;
    try {
        waitForTask(client.submitFeedback(fullRequest(), VantrelLocale::en));
        caughtKind = QStringLiteral("success");
    } catch (const FeedbackClientError &error) {
        if (error.kind() == FeedbackClientError::Kind::server) {
            caughtKind = QStringLiteral("server");
            QCOMPARE(error.serverText(), message);
        } else if (error.kind() == FeedbackClientError::Kind::invalidStatus) {
            caughtKind = QStringLiteral("invalidStatus");
            QCOMPARE(error.statusCode(), status);
        } else {
            caughtKind = QStringLiteral("invalidResponse");
        }
        QCOMPARE(error.localizedDescription(), message);
    } catch (const DecodingError &error) {
        caughtKind = QStringLiteral("decoding");
        QVERIFY2(error.localizedDescription().contains(message), qPrintable(error.localizedDescription()));
    } catch (const LauncherError &error) {
        caughtKind = QStringLiteral("other: ") + error.debugDescription();
    }
    QCOMPARE(caughtKind, errorKind);
    QCOMPARE(server.requestCount(), 1);
}

void TestFeedbackClient::transportFailures_data()
{
    QTest::addColumn<bool>("stall");
    QTest::newRow("connection refused") << false;
    QTest::newRow("server never answers") << true;
}

void TestFeedbackClient::transportFailures()
{
    QFETCH(bool, stall);

    LoopbackHttpServer server;
    server.setHandler([](const LoopbackHttpServer::Request &) {
        LoopbackHttpServer::Response response;
        response.stall = true;
        return response;
    });
    QUrl base = server.url();
    if (!stall)
        base.setPort(closedPort());
    RemoteFeedbackClient client(base, &m_session);
    client.setTimeoutMs(300);

    bool caught = false;
    try {
        waitForTask(client.submitFeedback(minimalRequest(), VantrelLocale::en));
    } catch (const PlatformError &error) {
        caught = true;
        QCOMPARE(error.domain(), PlatformError::Domain::network);
        QVERIFY(!error.localizedDescription().isEmpty());
    }
    QVERIFY(caught);
    QCOMPARE(server.requestCount(), stall ? 1 : 0);
}

void TestFeedbackClient::errorMessages_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("debug");

    QTest::newRow("invalidStatus") << 0 << "The feedback server returned HTTP 502." << "invalidStatus(502)";
    QTest::newRow("server") << 1 << QStringLiteral("Spróbuj \"później\".") << QStringLiteral(R"(server("Spróbuj \"później\"."))");
    QTest::newRow("invalidResponse") << 2 << "The feedback server response was invalid." << "invalidResponse";
}

void TestFeedbackClient::errorMessages()
{
    QFETCH(int, which);
    const FeedbackClientError error = which == 0 ? FeedbackClientError::invalidStatus(502)
        : which == 1                             ? FeedbackClientError::server(QStringLiteral("Spróbuj \"później\"."))
                                                 : FeedbackClientError::invalidResponse();
    QTEST(error.localizedDescription(), "message");
    QTEST(error.debugDescription(), "debug");
    QCOMPARE(QString::fromUtf8(error.what()), error.localizedDescription());
}

QTEST_GUILESS_MAIN(TestFeedbackClient)
#include "tst_feedbackclient.moc"
