// The launcher's links as they arrive from a web page or a desktop search:
// the two forms read, everything else refused with a reason.

#include "links/LauncherLink.h"

#include <QTest>

class LauncherLinksTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheTwoForms_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("value");
        const int app = int(LauncherLink::Kind::app);
        const int search = int(LauncherLink::Kind::search);
        QTest::newRow("app") << QByteArray("vantrel://app/notes") << app << "notes";
        QTest::newRow("dotted id") << QByteArray("vantrel://app/com.example.notes-2_b") << app << "com.example.notes-2_b";
        QTest::newRow("scheme in capitals") << QByteArray("VANTREL://APP/notes") << app << "notes";
        QTest::newRow("escaped letters") << QByteArray("vantrel://app/n%6Ftes") << app << "notes";
        QTest::newRow("search") << QByteArray("vantrel://search/photo%20editor") << search << "photo editor";
        QTest::newRow("search, UTF-8") << QByteArray("vantrel://search/gr%C3%BC%C3%9Fe") << search << QString::fromUtf8("grüße");
        QTest::newRow("search, spaces folded") << QByteArray("vantrel://search/%20a%20%20b%20") << search << "a b";
    }
    void readsTheTwoForms()
    {
        QFETCH(QByteArray, raw);
        QFETCH(int, kind);
        QFETCH(QString, value);
        const LinkReading reading = LauncherLinks::read(raw);
        QVERIFY2(reading.link, qPrintable(reading.refusal));
        QCOMPARE(int(reading.link->kind), kind);
        QCOMPARE(reading.link->value, value);
        QVERIFY(reading.refusal.isEmpty());
        // What the search provider sends reads back as the same link.
        QCOMPARE(LauncherLinks::read(reading.link->toEncoded()).link, reading.link);
    }

    void refusesHostileLinks_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("why");
        QTest::newRow("another scheme") << QByteArray("steam://app/notes") << "another scheme";
        QTest::newRow("web link") << QByteArray("https://app/notes") << "another scheme";
        QTest::newRow("file") << QByteArray("/etc/passwd") << "another scheme";
        QTest::newRow("scheme without slashes") << QByteArray("vantrel:app/notes") << "another scheme";
        QTest::newRow("another host") << QByteArray("vantrel://install/notes") << "another path";
        QTest::newRow("user before host") << QByteArray("vantrel://x@app/notes") << "another path";
        QTest::newRow("port") << QByteArray("vantrel://app:1/notes") << "another path";
        QTest::newRow("deeper path") << QByteArray("vantrel://app/notes/install") << "another path";
        QTest::newRow("trailing slash") << QByteArray("vantrel://app/notes/") << "another path";
        QTest::newRow("backslash") << QByteArray("vantrel://app/notes\\x") << "another path";
        QTest::newRow("no path") << QByteArray("vantrel://app") << "no path";
        QTest::newRow("empty id") << QByteArray("vantrel://app/") << "not an app id";
        QTest::newRow("dot dot") << QByteArray("vantrel://app/..") << "\"..\"";
        QTest::newRow("dot dot inside") << QByteArray("vantrel://app/a..b") << "\"..\"";
        QTest::newRow("escaped dot dot") << QByteArray("vantrel://app/%2e%2E") << "\"..\"";
        QTest::newRow("query") << QByteArray("vantrel://app/notes?install=1") << "a query";
        QTest::newRow("fragment") << QByteArray("vantrel://app/notes#open") << "a fragment";
        QTest::newRow("encoded slash") << QByteArray("vantrel://app/a%2Fb") << "an encoded slash or NUL";
        QTest::newRow("encoded slash, lower") << QByteArray("vantrel://search/a%2fb") << "an encoded slash or NUL";
        QTest::newRow("encoded backslash") << QByteArray("vantrel://app/a%5cb") << "an encoded slash or NUL";
        QTest::newRow("encoded NUL") << QByteArray("vantrel://app/notes%00.x") << "an encoded slash or NUL";
        QTest::newRow("raw NUL") << QByteArray("vantrel://app/no\0tes", 20) << "a control character or a space";
        QTest::newRow("newline") << QByteArray("vantrel://app/notes\nshow") << "a control character or a space";
        QTest::newRow("space") << QByteArray("vantrel://app/no tes") << "a control character or a space";
        QTest::newRow("escaped newline") << QByteArray("vantrel://search/a%0Ab") << "a control character";
        QTest::newRow("not UTF-8") << QByteArray("vantrel://app/\xff\xfe") << "not UTF-8";
        QTest::newRow("overlong UTF-8") << QByteArray("vantrel://app/\xc0\xaf") << "not UTF-8";
        QTest::newRow("escape not UTF-8") << QByteArray("vantrel://app/%ff") << "an escape that is not UTF-8";
        QTest::newRow("id with other characters") << QByteArray("vantrel://app/%3Cscript%3E") << "not an app id";
        QTest::newRow("empty search") << QByteArray("vantrel://search/%20") << "no search terms";
        QTest::newRow("over 2 KB") << QByteArray("vantrel://search/") + QByteArray(2048, 'a') << "longer than 2 KB";
        QTest::newRow("empty") << QByteArray() << "another scheme";
    }
    void refusesHostileLinks()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, why);
        const LinkReading reading = LauncherLinks::read(raw);
        QVERIFY(!reading.link);
        QCOMPARE(reading.refusal, why);
    }

    void twoKilobytesIsTheLimit()
    {
        const QByteArray prefix("vantrel://search/");
        QVERIFY(LauncherLinks::read(prefix + QByteArray(LauncherLinks::maximumBytes - prefix.size(), 'a')).link);
        QVERIFY(!LauncherLinks::read(prefix + QByteArray(LauncherLinks::maximumBytes - prefix.size() + 1, 'a')).link);
    }
};

QTEST_GUILESS_MAIN(LauncherLinksTest)
#include "tst_launcher_links.moc"
