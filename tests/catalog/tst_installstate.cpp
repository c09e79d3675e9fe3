#include "catalog/AppInstallState.h"
#include "errors/LauncherError.h"

#include <QJsonDocument>
#include <QTest>

class TestInstallState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void labels_data()
    {
        QTest::addColumn<AppInstallState>("state");
        QTest::addColumn<QString>("en");
        QTest::addColumn<QString>("pl");
        QTest::addColumn<QString>("de");

        QTest::newRow("notInstalled") << AppInstallState::notInstalled() << "Not installed" << "Nie zainstalowano" << "Nicht installiert";
        QTest::newRow("installing 0") << AppInstallState::installing(0) << "Installing 0%" << "Instalowanie 0%" << "Installiere 0%";
        QTest::newRow("installing 0.04") << AppInstallState::installing(0.04) << "Installing 4%" << "Instalowanie 4%" << "Installiere 4%";
        QTest::newRow("installing 0.5") << AppInstallState::installing(0.5) << "Installing 50%" << "Instalowanie 50%" << "Installiere 50%";
        QTest::newRow("installing 0.999") << AppInstallState::installing(0.999) << "Installing 99%" << "Instalowanie 99%" << "Installiere 99%";
        QTest::newRow("installing 1") << AppInstallState::installing(1) << "Installing 100%" << "Instalowanie 100%" << "Installiere 100%";
        QTest::newRow("installed") << AppInstallState::installed(QStringLiteral("1.2")) << "Installed 1.2" << "Zainstalowano 1.2" << "Installiert 1.2";
        QTest::newRow("update") << AppInstallState::updateAvailable(QStringLiteral("1.0"), QStringLiteral("1.1"))
                                << "1.0 -> 1.1" << "1.0 -> 1.1" << "1.0 -> 1.1";
        QTest::newRow("failed") << AppInstallState::failed(QStringLiteral("Disk full")) << "Failed" << "Błąd" << "Fehlgeschlagen";
        QTest::newRow("version with a placeholder") << AppInstallState::installed(QStringLiteral("{{version}}"))
                                                    << "Installed {{version}}" << "Zainstalowano {{version}}" << "Installiert {{version}}";
    }

    void labels()
    {
        QFETCH(AppInstallState, state);
        QFETCH(QString, en);
        QFETCH(QString, pl);
        QFETCH(QString, de);
        QCOMPARE(state.label(VantrelLocale::en), en);
        QCOMPARE(state.label(VantrelLocale::pl), pl);
        QCOMPARE(state.label(VantrelLocale::de), de);
        QCOMPARE(state.labelFor(QStringLiteral("pl")), pl);
        QCOMPARE(state.labelFor(QStringLiteral("de-AT")), de);
        QCOMPARE(state.labelFor(QStringLiteral("fr")), en);
    }

    void failedLabelIgnoresMessage()
    {
        QCOMPARE(AppInstallState::failed(QStringLiteral("a")).label(VantrelLocale::en),
                 AppInstallState::failed(QStringLiteral("something else")).label(VantrelLocale::en));
    }

    void outOfRangeProgressStaysReadable()
    {
        QCOMPARE(AppInstallState::installing(-0.5).label(VantrelLocale::en), QStringLiteral("Installing 0%"));
        QCOMPARE(AppInstallState::installing(7).label(VantrelLocale::en), QStringLiteral("Installing 100%"));
        QCOMPARE(AppInstallState::installing(qQNaN()).progress(), 0.0);
        QCOMPARE(AppInstallState::installing(qInf()).label(VantrelLocale::en), QStringLiteral("Installing 0%"));
    }

    void equality()
    {
        QCOMPARE(AppInstallState(), AppInstallState::notInstalled());
        QCOMPARE(AppInstallState::installed(QStringLiteral("1.2")), AppInstallState::installed(QStringLiteral("1.2")));
        QVERIFY(AppInstallState::installed(QStringLiteral("1.2")) != AppInstallState::installed(QStringLiteral("1.2.0")));
        QVERIFY(AppInstallState::updateAvailable(QStringLiteral("1"), QStringLiteral("2"))
                != AppInstallState::updateAvailable(QStringLiteral("2"), QStringLiteral("1")));
        QVERIFY(AppInstallState::installing(0.5) != AppInstallState::installing(0.25));
        QCOMPARE(AppInstallState::installing(0.5), AppInstallState::installing(0.5));
        // Same payload text, different cases.
        QVERIFY(AppInstallState::installed(QStringLiteral("x")) != AppInstallState::failed(QStringLiteral("x")));
        QVERIFY(AppInstallState::notInstalled() != AppInstallState::installing(0));
        QVERIFY(AppInstallState::notInstalled() != AppInstallState::failed(QString()));
    }

    void accessors()
    {
        const AppInstallState update = AppInstallState::updateAvailable(QStringLiteral("1.0"), QStringLiteral("1.1"));
        QCOMPARE(update.kindName(), QStringLiteral("updateAvailable"));
        QCOMPARE(update.installedVersion(), QStringLiteral("1.0"));
        QCOMPARE(update.latestVersion(), QStringLiteral("1.1"));
        QCOMPARE(update.version(), QString());
        QCOMPARE(update.message(), QString());
        QVERIFY(update.isInstalledOrUpdatable());
        QCOMPARE(AppInstallState::failed(QStringLiteral("m")).message(), QStringLiteral("m"));
        QCOMPARE(AppInstallState::installing(0.3).kindName(), QStringLiteral("installing"));
        QVERIFY(!AppInstallState::installing(0.3).isInstalledOrUpdatable());
    }

    void codedForm_data()
    {
        QTest::addColumn<AppInstallState>("state");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("notInstalled") << AppInstallState::notInstalled() << QByteArray("{\"notInstalled\":{}}");
        QTest::newRow("installing") << AppInstallState::installing(0.25) << QByteArray("{\"installing\":{\"progress\":0.25}}");
        QTest::newRow("installed") << AppInstallState::installed(QStringLiteral("1.2")) << QByteArray("{\"installed\":{\"version\":\"1.2\"}}");
        QTest::newRow("updateAvailable") << AppInstallState::updateAvailable(QStringLiteral("1.0"), QStringLiteral("1.1"))
                                         << QByteArray("{\"updateAvailable\":{\"installedVersion\":\"1.0\",\"latestVersion\":\"1.1\"}}");
        QTest::newRow("failed") << AppInstallState::failed(QStringLiteral("No \"disk\"")) << QByteArray("{\"failed\":{\"message\":\"No \\\"disk\\\"\"}}");
    }

    void codedForm()
    {
        QFETCH(AppInstallState, state);
        QFETCH(QByteArray, json);
        QCOMPARE(state.encoded(), json);
        QCOMPARE(AppInstallState::decode(json), state);
        QCOMPARE(AppInstallState::fromJson(state.toJson()), state);
    }

    void decodingAccepts_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<AppInstallState>("expected");
        QTest::newRow("extra key that is no case") << QByteArray("{\"installed\":{\"version\":\"2\"},\"note\":1}")
                                                   << AppInstallState::installed(QStringLiteral("2"));
        QTest::newRow("extra payload key") << QByteArray("{\"failed\":{\"message\":\"m\",\"code\":3}}")
                                           << AppInstallState::failed(QStringLiteral("m"));
        QTest::newRow("notInstalled with payload") << QByteArray("{\"notInstalled\":{\"x\":1}}") << AppInstallState::notInstalled();
        QTest::newRow("integer progress") << QByteArray("{\"installing\":{\"progress\":1}}") << AppInstallState::installing(1);
    }

    void decodingAccepts()
    {
        QFETCH(QByteArray, json);
        QFETCH(AppInstallState, expected);
        QCOMPARE(AppInstallState::decode(json), expected);
    }

    void decodingRejects_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        const QString count = QStringLiteral("Invalid number of keys found, expected one.");
        QTest::newRow("two cases") << QByteArray("{\"installed\":{\"version\":\"1\"},\"failed\":{\"message\":\"m\"}}") << count;
        QTest::newRow("empty object") << QByteArray("{}") << count;
        QTest::newRow("only unknown keys") << QByteArray("{\"Installed\":{\"version\":\"1\"}}") << count;
        QTest::newRow("scoped spelling is no case") << QByteArray("{\"Kind::installed\":{\"version\":\"1\"}}") << count;
        QTest::newRow("notInstalled true") << QByteArray("{\"notInstalled\":true}") << QStringLiteral("notInstalled: expected an object");
        QTest::newRow("installed as string") << QByteArray("{\"installed\":\"1.2\"}") << QStringLiteral("installed: expected an object");
        QTest::newRow("missing version") << QByteArray("{\"installed\":{}}") << QStringLiteral("installed: missing key \"version\"");
        QTest::newRow("version number") << QByteArray("{\"installed\":{\"version\":1.2}}") << QStringLiteral("installed.version: expected a string");
        QTest::newRow("missing latest") << QByteArray("{\"updateAvailable\":{\"installedVersion\":\"1\"}}")
                                        << QStringLiteral("updateAvailable: missing key \"latestVersion\"");
        QTest::newRow("progress text") << QByteArray("{\"installing\":{\"progress\":\"50%\"}}") << QStringLiteral("installing.progress: expected a number");
        QTest::newRow("progress missing") << QByteArray("{\"installing\":{}}") << QStringLiteral("installing: missing key \"progress\"");
        QTest::newRow("message null") << QByteArray("{\"failed\":{\"message\":null}}") << QStringLiteral("failed.message: expected a string");
    }

    void decodingRejects()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        try {
            AppInstallState::decode(json);
            QFAIL("decoded");
        } catch (const DecodingError &e) {
            QCOMPARE(e.localizedDescription(), message);
        }
    }

    void decodingRejectsNonObjects()
    {
        for (const QByteArray json : {QByteArray("[]"), QByteArray("\"installed\""), QByteArray("{"), QByteArray()})
            QVERIFY_THROWS_EXCEPTION(DecodingError, AppInstallState::decode(json));
    }
};

QTEST_GUILESS_MAIN(TestInstallState)
#include "tst_installstate.moc"
