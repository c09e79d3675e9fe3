#include "system/SystemLayers.h"
#include "net/ServiceEndpoints.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

namespace {

class MapProperties : public AppProperties
{
public:
    QVariantMap values;
    QVariant value(const QString &key) const override { return values.value(key); }
};

const char apiVariable[] = "VANTREL_API_URL";

}  // namespace

class TestServiceEndpoints : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { qunsetenv(apiVariable); }
    void baseUrlResolution_data();
    void baseUrlResolution();
    void encoderSortsEveryLevel();
};

void TestServiceEndpoints::baseUrlResolution_data()
{
    QTest::addColumn<QVariant>("environment");  // invalid: unset
    QTest::addColumn<QVariant>("property");     // invalid: absent
    QTest::addColumn<QString>("expected");

    const QString builtIn = QStringLiteral("http://127.0.0.1:8787");
    QTest::newRow("environment wins") << QVariant("https://api.example:8443/v1") << QVariant("https://property.example")
                                      << "https://api.example:8443/v1";
    QTest::newRow("environment not a URL") << QVariant("http://exa mple") << QVariant("https://property.example")
                                           << "https://property.example";
    QTest::newRow("environment empty") << QVariant(QString()) << QVariant("https://property.example")
                                       << "https://property.example";
    QTest::newRow("property only") << QVariant() << QVariant("https://property.example/base/")
                                   << "https://property.example/base/";
    QTest::newRow("property empty") << QVariant() << QVariant(QString()) << builtIn;
    QTest::newRow("property not text") << QVariant() << QVariant(42) << builtIn;
    QTest::newRow("property not a URL") << QVariant() << QVariant("::") << builtIn;
    QTest::newRow("nothing set") << QVariant() << QVariant() << builtIn;
}

void TestServiceEndpoints::baseUrlResolution()
{
    QFETCH(QVariant, environment);
    QFETCH(QVariant, property);
    QFETCH(QString, expected);

    if (environment.isValid())
        qputenv(apiVariable, environment.toString().toUtf8());
    MapProperties properties;
    if (property.isValid())
        properties.values.insert(QStringLiteral("VantrelAPIURL"), property);

    QCOMPARE(ServiceEndpoints::serviceBaseURL(properties).toString(), expected);
}

void TestServiceEndpoints::encoderSortsEveryLevel()
{
    const QJsonObject inner{{"zeta", 1}, {"alpha", true}};
    const QJsonObject object{
        {"type", "bug"},
        {"diagnostics", QJsonObject{{"visibleAppCount", 2}, {"catalogLifecycle", "empty"}, {"nested", inner}}},
        {"list", QJsonArray{inner}},
        {"appId", "notes"},
    };
    const QByteArray expected = R"({
    "appId": "notes",
    "diagnostics": {
        "catalogLifecycle": "empty",
        "nested": {
            "alpha": true,
            "zeta": 1
        },
        "visibleAppCount": 2
    },
    "list": [
        {
            "alpha": true,
            "zeta": 1
        }
    ],
    "type": "bug"
}
)";
    QCOMPARE(RequestBodyEncoder::encode(object), expected);
}

QTEST_GUILESS_MAIN(TestServiceEndpoints)
#include "tst_serviceendpoints.moc"
