// What a running install says of itself: the words for its fraction, bytes
// and time left in each language, and a time left that follows a smoothed
// rate rather than the last moment's.

#include "DataRows.h"
#include "i18n/VantrelTranslator.h"
#include "store/ProgressWording.h"

#include <QtTest>

class TestProgressWording : public QObject
{
    Q_OBJECT
    // language, fraction, received, total (-1: unknown), seconds left (-1: unknown), expected
    using SentenceRows = DataRows<VantrelLocale, double, qint64, qint64, qint64, QString>;

private Q_SLOTS:
    void sentence_data()
    {
        SentenceRows::columns();
        SentenceRows::row("all known", VantrelLocale::en, 0.44, 86'400'000, 196'200'000, 12, "44 % · 86 of 196 MB · about 12 s left");
        SentenceRows::row("no rate yet", VantrelLocale::en, 0.04, 0, 196'200'000, -1, "4 % · 0 of 196 MB");
        SentenceRows::row("no length", VantrelLocale::en, 0.3, 5'000'000, -1, -1, "30 %");
        SentenceRows::row("small total keeps a decimal", VantrelLocale::en, 0.5, 2'500'000, 5'000'000, 1, "50 % · 2.5 of 5.0 MB · about 1 s left");
        SentenceRows::row("bytes", VantrelLocale::en, 0.9, 700, 802, 1, "90 % · 700 of 802 bytes · about 1 s left");
        SentenceRows::row("minutes, rounded up", VantrelLocale::en, 0.1, 1'000'000'000, 9'000'000'000, 61, "10 % · 1.0 of 9.0 GB · about 2 min left");
        SentenceRows::row("done", VantrelLocale::en, 1.0, 802, 802, -1, "100 % · 802 of 802 bytes");
        SentenceRows::row("German", VantrelLocale::de, 0.44, 86'400'000, 196'200'000, 12, "44 % · 86 von 196 MB · noch etwa 12 s");
        SentenceRows::row("German decimals", VantrelLocale::de, 0.5, 2'500'000, 5'000'000, 90, "50 % · 2,5 von 5,0 MB · noch etwa 2 min");
        SentenceRows::row("Polish", VantrelLocale::pl, 0.44, 86'400'000, 196'200'000, 12, "44% · 86 z 196 MB · zostało około 12 s");
        SentenceRows::row("Polish minutes", VantrelLocale::pl, 0.2, 1'000'000, 9'000'000, 150, "20% · 1,0 z 9,0 MB · zostały około 3 min");
    }

    void sentence()
    {
        const auto [language, fraction, received, total, seconds, expected] = SentenceRows::fetch();
        VantrelTranslator translator(language);
        const std::optional<qint64> left = seconds >= 0 ? std::optional(seconds) : std::nullopt;
        QCOMPARE(ProgressWording::sentence(fraction, received, total, left), expected);
    }

    // A burst and a pause move the time left only part of the way; before a
    // second of transfer, and without a length, none is told.
    void timeLeftFollowsASmoothedRate()
    {
        VantrelTranslator translator(VantrelLocale::en);
        qint64 now = 0;
        ProgressWording wording([&now] { return now; });
        const qint64 total = 100'000'000;
        wording.bytes(0, total);
        now = 500;
        wording.bytes(500'000, total);  // 1 MB/s
        QCOMPARE(wording.secondsLeft(), std::nullopt);
        now = 1000;
        wording.bytes(1'000'000, total);
        QCOMPARE(wording.secondsLeft(), std::optional<qint64>(99));
        // Ten times as fast for a moment: the estimate falls, but not to what that moment alone says (10 s).
        now = 1500;
        wording.bytes(6'000'000, total);
        const qint64 afterBurst = wording.secondsLeft().value_or(-1);
        QVERIFY2(afterBurst > 20 && afterBurst < 94, qPrintable(QString::number(afterBurst)));
        // Nothing for a while: it rises again, without leaping to forever.
        now = 2000;
        wording.bytes(6'000'000, total);
        const qint64 afterPause = wording.secondsLeft().value_or(-1);
        QVERIFY2(afterPause > afterBurst && afterPause < 1000, qPrintable(QString::number(afterPause)));
        QCOMPARE(wording.text(0.1), QStringLiteral("10 % · 6 of 100 MB · about %1 s left").arg(afterPause));
        wording.bytes(7'000'000, -1);
        QCOMPARE(wording.secondsLeft(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestProgressWording)
#include "tst_progress_wording.moc"
