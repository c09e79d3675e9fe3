#include "catalog/VersionComparison.h"

#include <QTest>

Q_DECLARE_METATYPE(ComparisonResult)

namespace {

ComparisonResult opposite(ComparisonResult r)
{
    return ComparisonResult(-int(r));
}

}  // namespace

class TestVersions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compare_data()
    {
        QTest::addColumn<QString>("lhs");
        QTest::addColumn<QString>("rhs");
        QTest::addColumn<ComparisonResult>("expected");
        const auto asc = ComparisonResult::orderedAscending;
        const auto same = ComparisonResult::orderedSame;
        const auto desc = ComparisonResult::orderedDescending;

        // The reference table.
        QTest::newRow("1.3.0 vs 1.2.9") << "1.3.0" << "1.2.9" << desc;
        QTest::newRow("1.2 vs 1.2.0") << "1.2" << "1.2.0" << same;
        QTest::newRow("1.2.0.1 vs 1.2") << "1.2.0.1" << "1.2" << desc;
        QTest::newRow("1.10 vs 1.9") << "1.10" << "1.9" << desc;
        QTest::newRow("release vs beta") << "1.0.0" << "1.0.0-beta" << desc;
        QTest::newRow("beta vs release") << "1.0.0-beta" << "1.0.0" << asc;
        QTest::newRow("alpha vs beta") << "1.0.0-alpha" << "1.0.0-beta" << asc;
        QTest::newRow("beta.2 vs beta.10") << "1.0.0-beta.2" << "1.0.0-beta.10" << asc;
        QTest::newRow("beta vs beta.1") << "1.0.0-beta" << "1.0.0-beta.1" << asc;
        QTest::newRow("number before text") << "1.0.0-1" << "1.0.0-beta" << asc;
        QTest::newRow("pre-release lower-cased") << "1.0.0-BETA" << "1.0.0-beta" << same;
        QTest::newRow("rc10 vs rc9 as text") << "1.0.0-rc10" << "1.0.0-rc9" << asc;
        QTest::newRow("build metadata ignored") << "1.0.0+build7" << "1.0.0" << same;
        QTest::newRow("empty pre-release present") << "1.0.0-" << "1.0.0" << asc;
        QTest::newRow("v2.0 counts as 0") << "v2.0" << "1.0" << asc;
        QTest::newRow("empty vs 0.0.0") << "" << "0.0.0" << same;
        QTest::newRow("beta-2 vs beta-1") << "1.0-beta-2" << "1.0-beta-1" << desc;

        // Further cases.
        QTest::newRow("equal") << "2.4.1" << "2.4.1" << same;
        QTest::newRow("leading zeros") << "1.01" << "1.1" << same;
        QTest::newRow("doubled dots") << "1..2" << "1.2" << same;
        QTest::newRow("leading and trailing dots") << ".1.2." << "1.2" << same;
        QTest::newRow("leading space counts as 0") << " 2.0" << "1.0" << asc;
        QTest::newRow("overflowing piece counts as 0") << "99999999999999999999.0" << "1.0" << asc;
        QTest::newRow("largest 64-bit piece") << "9223372036854775807" << "9223372036854775806" << desc;
        QTest::newRow("just over 64 bits") << "9223372036854775808" << "0" << same;
        QTest::newRow("plus before hyphen") << "1.0.0+build-7" << "1.0.0" << same;
        QTest::newRow("build metadata of pre-release ignored") << "1.0.0-rc1+abc" << "1.0.0-rc1+xyz" << same;
        QTest::newRow("hyphens inside pre-release") << "1.0.0-a-b-c" << "1.0.0-a.b.c" << same;
        QTest::newRow("pre-release separators only") << "1.0.0-..." << "1.0.0-" << same;
        QTest::newRow("numeric pre-release") << "1.0.0-2" << "1.0.0-10" << asc;
        QTest::newRow("long digit run is text") << "1.0-99999999999999999999" << "1.0-5" << desc;
        QTest::newRow("text compared by code") << "1.0-Zeta" << "1.0-alpha" << desc;
        QTest::newRow("not numeric-aware") << "1.0-a10" << "1.0-a9" << asc;
        QTest::newRow("numbers decide before pre-release") << "1.1-alpha" << "1.0" << desc;
        QTest::newRow("letters glued to digits") << "1.0-beta2" << "1.0-beta.2" << desc;
        QTest::newRow("unicode letters") << QString::fromUtf8("1.0-βeta") << QString::fromUtf8("1.0-ΒETA") << same;
        QTest::newRow("unicode text after ascii") << QString::fromUtf8("1.0-é") << "1.0-z" << desc;
        QTest::newRow("precomposed equals decomposed") << QString::fromUtf8("1.0-caf\u00e9") << QString::fromUtf8("1.0-cafe\u0301") << same;
        QTest::newRow("non-ascii digit is text") << QString::fromUtf8("1.0-\u0663") << "1.0-3" << desc;
        QTest::newRow("garbage vs garbage") << "!!!" << "???" << same;
    }

    void compare()
    {
        QFETCH(QString, lhs);
        QFETCH(QString, rhs);
        QFETCH(ComparisonResult, expected);
        QCOMPARE(compareVersions(lhs, rhs), expected);
        // Swapping the operands swaps the result.
        QCOMPARE(compareVersions(rhs, lhs), opposite(expected));
    }

    void orderIsConsistent()
    {
        // Sorted oldest to newest; every pair must agree with the positions.
        const QStringList ordered{QString(), QStringLiteral("0.9"), QStringLiteral("1.0.0-1"), QStringLiteral("1.0.0-alpha"),
                                  QStringLiteral("1.0.0-alpha.1"), QStringLiteral("1.0.0-beta"), QStringLiteral("1.0.0-beta.2"),
                                  QStringLiteral("1.0.0-beta.10"), QStringLiteral("1.0.0-rc1"), QStringLiteral("1.0.0"),
                                  QStringLiteral("1.0.1"), QStringLiteral("1.2"), QStringLiteral("1.10"), QStringLiteral("2.0.0-beta"),
                                  QStringLiteral("2.0.0"), QStringLiteral("10.0")};
        for (int i = 0; i < ordered.size(); ++i) {
            for (int j = 0; j < ordered.size(); ++j) {
                const ComparisonResult expected = i < j ? ComparisonResult::orderedAscending
                    : i > j                               ? ComparisonResult::orderedDescending
                                                          : ComparisonResult::orderedSame;
                QVERIFY2(compareVersions(ordered.at(i), ordered.at(j)) == expected,
                         qPrintable(ordered.at(i) + QStringLiteral(" vs ") + ordered.at(j)));
            }
        }
    }

    void parsedVersion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qint64>>("numbers");
        QTest::addColumn<bool>("hasPrerelease");
        QTest::addColumn<int>("tokenCount");

        QTest::newRow("plain") << "1.2.3" << QList<qint64>{1, 2, 3} << false << 0;
        QTest::newRow("empty") << "" << QList<qint64>{} << false << 0;
        QTest::newRow("dots only") << "..." << QList<qint64>{} << false << 0;
        QTest::newRow("v prefix") << "v1.2" << QList<qint64>{0, 2} << false << 0;
        QTest::newRow("empty pre-release") << "1.0-" << QList<qint64>{1, 0} << true << 0;
        QTest::newRow("pre-release of separators") << "1.0-._" << QList<qint64>{1, 0} << true << 0;
        QTest::newRow("hyphen after plus ignored") << "1.0+x-y" << QList<qint64>{1, 0} << false << 0;
        QTest::newRow("rc.1") << "2.0.0-rc.1+exp.sha" << QList<qint64>{2, 0, 0} << true << 2;
        QTest::newRow("negative-looking") << "-1.2" << QList<qint64>{} << true << 2;
    }

    void parsedVersion()
    {
        QFETCH(QString, text);
        QFETCH(QList<qint64>, numbers);
        QFETCH(bool, hasPrerelease);
        QFETCH(int, tokenCount);
        const ParsedVersion parsed(text);
        QCOMPARE(parsed.numbers, numbers);
        QCOMPARE(parsed.prerelease.has_value(), hasPrerelease);
        if (hasPrerelease)
            QCOMPARE(parsed.prerelease->size(), tokenCount);
    }

    void tokens()
    {
        const QList<VersionToken> t = ParsedVersion::tokens(QStringLiteral("Beta2.007_RC-x 99999999999999999999"));
        const QList<VersionToken> expected{QStringLiteral("beta2"), qint64(7), QStringLiteral("rc"), QStringLiteral("x"),
                                           QStringLiteral("99999999999999999999")};
        QCOMPARE(t, expected);
        QVERIFY(ParsedVersion::tokens(QString()).isEmpty());
        QVERIFY(ParsedVersion::tokens(QStringLiteral("-.+_ ")).isEmpty());
        // Letters outside the basic plane stay one run.
        const QList<VersionToken> wide = ParsedVersion::tokens(QString::fromUtf8("a\U0001D400b.c"));
        QCOMPARE(wide.size(), 2);
    }

    void resultNames()
    {
        QCOMPARE(comparisonResultName(ComparisonResult::orderedAscending), QStringLiteral("ascending"));
        QCOMPARE(comparisonResultName(ComparisonResult::orderedSame), QStringLiteral("same"));
        QCOMPARE(comparisonResultName(ComparisonResult::orderedDescending), QStringLiteral("descending"));
        QCOMPARE(int(ComparisonResult::orderedAscending), -1);
        QCOMPARE(int(ComparisonResult::orderedDescending), 1);
    }
};

QTEST_GUILESS_MAIN(TestVersions)
#include "tst_versions.moc"
