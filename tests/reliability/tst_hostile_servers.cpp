// Stalled and cut-short downloads, deep catalogs (oversized ones: tst_catalog answers, endlessBodyIsCutAtTheCap).

#include "DataRows.h"
#include "InstallSandbox.h"
#include "LoopbackHttpServer.h"
#include "catalog/ManifestDecoder.h"

namespace {

QByteArray nestedArrays(int depth)
{
    return QByteArray(depth, '[') + QByteArray(depth, ']');
}

}  // namespace

class HostileServers : public QObject
{
    Q_OBJECT
    // cuts: an answer from N closes (or stalls) at the first cut past N; ranges: the server answers Range requests;
    // twist: its other misbehaviour; asked: each request's Range start (-1: none); expected: error start, empty: installed
    using InterruptedDownloadsRows = DataRows<QList<int>, bool, QByteArray, QString, QList<int>, QString>;  // cuts, ranges, validator, twist, asked, expected

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A broken-off download resumes where it stopped (If-Range with the first validator) or from zero, three times at most;
    // the old copy stays unless the whole archive arrived, nothing is left. Positions are sixths of the archive.
    void interruptedDownloads_data()
    {
        InterruptedDownloadsRows::columns();
        const QString failed = QStringLiteral("The download failed.");
        const QString timedOut = QStringLiteral("The request timed out.");
        const QByteArray etag = "ETag: \"v2\"";
        InterruptedDownloadsRows::row("closes at 1/3 and 2/3, ETag", QList{2, 4}, true, etag, "", QList{-1, 2, 4}, "");
        InterruptedDownloadsRows::row("closes at 1/3 and 2/3, Last-Modified", QList{2, 4}, true, QByteArray("Last-Modified: Tue, 05 May 2026 10:00:00 GMT"), "", QList{-1, 2, 4}, "");
        InterruptedDownloadsRows::row("no range support: again from zero", QList{2}, false, QByteArray(), "", QList{-1, 2}, "");
        InterruptedDownloadsRows::row("416: again from zero", QList{2}, true, etag, "416", QList{-1, 2, -1}, "");
        InterruptedDownloadsRows::row("206 from elsewhere: again from zero", QList{2}, true, etag, "misplaced", QList{-1, 2, -1}, "");
        InterruptedDownloadsRows::row("resumed part differs", QList{2}, true, etag, "corrupt", QList{-1, 2}, "Checksum mismatch.");
        InterruptedDownloadsRows::row("always breaks", QList{1, 2, 3, 4, 5}, true, etag, "", QList{-1, 1, 2, 3}, failed);
        InterruptedDownloadsRows::row("always stalls mid-body", QList{1, 2, 3, 4, 5}, true, etag, "stallBody", QList{-1, 1, 2, 3}, failed);
        // The whole archive arrives (its checksum would match), but less than announced.
        InterruptedDownloadsRows::row("announces more than it sends", QList<int>(), false, QByteArray(), "overAnnounce", QList{-1, 6}, failed);
        // Nothing arrived: nothing to resume.
        InterruptedDownloadsRows::row("no answer at all", QList<int>(), true, etag, "stall", QList{-1}, timedOut);
        InterruptedDownloadsRows::row("stalls after the headers", QList<int>(), true, etag, "stallHeaders", QList{-1}, timedOut);
    }

    void interruptedDownloads()
    {
        const auto [cuts, ranges, validator, twist, asked, expected] = InterruptedDownloadsRows::fetch();
        InstallSandbox sandbox;
        QVERIFY(sandbox.installArchive(notesApp()).succeeded());
        const QMap<QString, QString> before = TempHome::fingerprint(sandbox.installRoot());
        // Stored, so the archive is large enough to be cut in the middle.
        const QByteArray bytes = notesApp(QStringLiteral("2.0")).setStored(true).addFile(QStringLiteral("Notes.app/Contents/data.bin"), QByteArray(3 << 20, '2')).build();
        const auto at = [&bytes](int sixths) { return bytes.size() * sixths / 6; };
        const QByteArray validatorValue = validator.mid(validator.indexOf(':') + 2);
        bool resumed = false;  // once asked for a range, whole answers are whole
        LoopbackHttpServer server;
        server.setHandler([&](const LoopbackHttpServer::Request &request) {
            const qint64 from = request.header("Range").mid(6).chopped(1).toLongLong();
            resumed = resumed || from > 0;
            LoopbackHttpServer::Response r = LoopbackHttpServer::Response::text(200, bytes);
            r.acceptRanges = ranges;
            if (!validator.isEmpty())
                r.headers.append({validator.left(validator.indexOf(':')), validatorValue});
            for (int cut : cuts) {
                if (at(cut) > from && !(from == 0 && resumed)) {
                    r.closeAfterBytes = at(cut);
                    break;
                }
            }
            r.stall = twist == QLatin1String("stall");
            r.stallAfterBytes = twist == QLatin1String("stallHeaders") ? 0 : -1;
            if (twist == QLatin1String("stallBody")) {
                r.stallAfterBytes = r.closeAfterBytes - from;
                r.closeAfterBytes = -1;
            }
            r.announcedLength = twist == QLatin1String("overAnnounce") ? bytes.size() + 1000 : -1;
            if (from > 0 && twist == QLatin1String("416"))
                r = LoopbackHttpServer::Response::text(416, {});
            if (from > 0 && twist == QLatin1String("misplaced")) {
                r.acceptRanges = false;
                r.status = 206;
                r.headers.append({"Content-Range", "bytes 0-" + QByteArray::number(bytes.size() - 1) + '/' + QByteArray::number(bytes.size())});
            }
            if (from > 0 && twist == QLatin1String("corrupt"))
                r.body[at(5)] = char(r.body[at(5)] ^ 1);
            return r;
        });
        sandbox.installer().setTimeoutMs(400);
        QElapsedTimer clock;
        clock.start();
        const InstallOutcome outcome = sandbox.install(notesRelease(server.url(QStringLiteral("/a.zip")), bytes, QStringLiteral("2.0")));
        QCOMPARE(outcome.succeeded(), expected.isEmpty());
        QVERIFY2(outcome.message().startsWith(expected) || expected.isEmpty(), qPrintable(outcome.message()));
        // The shortened timeout was the one that applied, not the default minute.
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
        // Qt may send a request twice when a connection closes early: count it once.
        QStringList sent, expectedSent;
        for (const LoopbackHttpServer::Request &request : server.requests()) {
            const QString line = QString::fromLatin1(request.header("Range") + ' ' + request.header("If-Range")).trimmed();
            if (sent.isEmpty() || sent.last() != line)
                sent << line;
        }
        for (int start : asked)
            expectedSent << (start < 0 ? QString() : QStringLiteral("bytes=%1- %2").arg(at(start)).arg(QLatin1String(validatorValue)).trimmed());
        QCOMPARE(sent, expectedSent);
        if (!outcome.succeeded())
            QCOMPARE(TempHome::fingerprint(sandbox.installRoot()), before);
    }

    // Deep nesting fails to decode with an error, never with a stack overflow.
    void deeplyNestedCatalogFails_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("1000 arrays") << nestedArrays(1000);
        QTest::newRow("apps nested 1000 deep") << R"({"generatedAt":"2026-05-03T00:00:00Z","apps":)" + nestedArrays(1000) + "}";
        QTest::newRow("1000 objects") << QByteArray(R"({"a":)").repeated(1000) + "1" + QByteArray(1000, '}');
        QTest::newRow("200000 arrays") << nestedArrays(200000);
        QTest::newRow("unclosed 200000") << QByteArray(200000, '[');
    }

    void deeplyNestedCatalogFails()
    {
        QFETCH(QByteArray, document);
        QVERIFY_THROWS_EXCEPTION(DecodingError, ManifestDecoder::decode(document));
    }
};

QTEST_GUILESS_MAIN(HostileServers)
#include "tst_hostile_servers.moc"
