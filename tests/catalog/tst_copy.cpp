#include "catalog/Models.h"
#include "i18n/VantrelCopy.h"

#include <QRegularExpression>
#include <QTest>

namespace {

QSet<QString> placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("\\{\\{([A-Za-z]+)\\}\\}"));
    QSet<QString> names;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        names.insert(it.next().captured(1));
    return names;
}

}  // namespace

class TestCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyKeyHasAllThreeTexts()
    {
        const auto &messages = VantrelCopy::messages();
        QCOMPARE(messages.size(), 3);
        QCOMPARE(VantrelCopy::allKeys().size(), 142);
        for (CopyKey key : VantrelCopy::allKeys()) {
            for (VantrelLocale locale : VantrelLocaleUtil::allCases()) {
                const QString text = messages.value(locale).value(key);
                QVERIFY2(!text.trimmed().isEmpty(), qPrintable(VantrelCopy::rawValue(key)));
                // No key falls back silently to its own name.
                QVERIFY2(text != VantrelCopy::rawValue(key) || key == CopyKey::version,
                         qPrintable(VantrelCopy::rawValue(key)));
            }
        }
    }

    void placeholdersMatchAcrossLanguages()
    {
        for (CopyKey key : VantrelCopy::allKeys()) {
            const QSet<QString> english = placeholders(VantrelCopy::templateFor(key, VantrelLocale::en));
            QCOMPARE(placeholders(VantrelCopy::templateFor(key, VantrelLocale::pl)), english);
            QCOMPARE(placeholders(VantrelCopy::templateFor(key, VantrelLocale::de)), english);
        }
        QCOMPARE(placeholders(VantrelCopy::templateFor(CopyKey::installUpdateAvailable, VantrelLocale::en)),
                 (QSet<QString>{QStringLiteral("installed"), QStringLiteral("latest")}));
    }

    void rawValuesAreCaseNames()
    {
        QCOMPARE(VantrelCopy::rawValue(CopyKey::feedbackSubmitFailed), QStringLiteral("feedbackSubmitFailed"));
        QCOMPARE(VantrelCopy::keyFromRawValue(QStringLiteral("brand")), CopyKey::brand);
        QVERIFY(!VantrelCopy::keyFromRawValue(QStringLiteral("Brand")).has_value());
        QVERIFY(!VantrelCopy::keyFromRawValue(QStringLiteral("noSuchKey")).has_value());
        QCOMPARE(VantrelCopy::allKeys().first(), CopyKey::brand);
        QCOMPARE(VantrelCopy::allKeys().last(), CopyKey::errorNoBundle);
        for (CopyKey key : VantrelCopy::allKeys())
            QCOMPARE(VantrelCopy::keyFromRawValue(VantrelCopy::rawValue(key)), key);
    }

    void lookup_data()
    {
        QTest::addColumn<CopyKey>("key");
        QTest::addColumn<VantrelLocale>("locale");
        QTest::addColumn<VantrelCopy::Values>("values");
        QTest::addColumn<QString>("expected");

        using V = VantrelCopy::Values;
        QTest::newRow("appCount de") << CopyKey::appCount << VantrelLocale::de << V{{"count", "3"}} << "3 Apps bereit";
        QTest::newRow("install failed en") << CopyKey::errorInstallFailed << VantrelLocale::en
                                           << V{{"app", "Foo"}, {"reason", "The download failed."}}
                                           << "Could not install Foo. The download failed.";
        QTest::newRow("update pl") << CopyKey::installUpdateAvailable << VantrelLocale::pl
                                   << V{{"installed", "1.0"}, {"latest", "1.1"}} << "1.0 -> 1.1";
        QTest::newRow("greeting empty name") << CopyKey::homeGreeting << VantrelLocale::en << V{{"name", ""}} << "Welcome back.";
        QTest::newRow("greeting pl") << CopyKey::homeGreeting << VantrelLocale::pl << V{{"name", ""}} << QString::fromUtf8("Cześć.");
        QTest::newRow("no values keeps placeholder") << CopyKey::appCount << VantrelLocale::en << V{} << "{{count}} apps ready";
        QTest::newRow("unused value ignored") << CopyKey::ok << VantrelLocale::en << V{{"count", "3"}} << "OK";
        QTest::newRow("placeholder name is case-sensitive") << CopyKey::appCount << VantrelLocale::en << V{{"Count", "3"}}
                                                            << "{{count}} apps ready";
        QTest::newRow("value inserted literally") << CopyKey::feedbackIssue << VantrelLocale::en << V{{"identifier", "$1 \\n %"}}
                                                  << "Issue $1 \\n %";
        // "app" is applied before "reason": the placeholder inside the app value is filled later.
        QTest::newRow("value holding a later placeholder") << CopyKey::errorInstallFailed << VantrelLocale::en
                                                           << V{{"app", "{{reason}}"}, {"reason", "R"}} << "Could not install R. R";
        QTest::newRow("german installing action") << CopyKey::installingAction << VantrelLocale::de << V{} << "Wird installiert";
        QTest::newRow("german installed state") << CopyKey::installInstalled << VantrelLocale::de << V{{"version", "2"}} << "Installiert 2";
        QTest::newRow("quick results pl") << CopyKey::quickResults << VantrelLocale::pl << V{{"count", "12"}}
                                          << QString::fromUtf8("Aplikacje · 12 wyników");
        QTest::newRow("quick footer de") << CopyKey::quickFooterRight << VantrelLocale::de << V{}
                                         << QString::fromUtf8("↵ öffnen · esc schließen");
        QTest::newRow("ellipsis as three dots") << CopyKey::openVantrel << VantrelLocale::pl << V{} << QString::fromUtf8("Otwórz Vantrel...");
        QTest::newRow("cannot install de") << CopyKey::errorCannotInstall << VantrelLocale::de << V{{"app", "Shelf"}}
                                           << "Shelf kann jetzt nicht installiert werden.";
    }

    void lookup()
    {
        QFETCH(CopyKey, key);
        QFETCH(VantrelLocale, locale);
        QFETCH(VantrelCopy::Values, values);
        QFETCH(QString, expected);
        QCOMPARE(VantrelCopy::text(key, locale, values), expected);
    }

    void normalized_data()
    {
        QTest::addColumn<QVariant>("identifier");  // invalid: no identifier
        QTest::addColumn<VantrelLocale>("expected");
        QTest::newRow("none") << QVariant() << VantrelLocale::en;
        QTest::newRow("empty") << QVariant(QString()) << VantrelLocale::en;
        for (const char *id : {"EN", "en-US", "en_GB", "fr", "fr-CA", "pl_PL", "plx", "d", "deu", "-pl", "pl "})
            QTest::addRow("%s", id) << QVariant(QString::fromLatin1(id)) << VantrelLocale::en;
        for (const char *id : {"pl", "PL", "pl-PL", "Pl-pl", "pl-", "pl-Latn-PL"})
            QTest::addRow("%s", id) << QVariant(QString::fromLatin1(id)) << VantrelLocale::pl;
        for (const char *id : {"de", "DE", "de-AT", "de-CH", "De-de"})
            QTest::addRow("%s", id) << QVariant(QString::fromLatin1(id)) << VantrelLocale::de;
    }

    void normalized()
    {
        QFETCH(QVariant, identifier);
        QFETCH(VantrelLocale, expected);
        const std::optional<QString> id = identifier.isValid() ? std::optional(identifier.toString()) : std::nullopt;
        QCOMPARE(VantrelLocaleUtil::normalized(id), expected);
    }

    void localeRawValues()
    {
        QCOMPARE(VantrelLocaleUtil::allCases(), (QList<VantrelLocale>{VantrelLocale::en, VantrelLocale::pl, VantrelLocale::de}));
        for (VantrelLocale l : VantrelLocaleUtil::allCases())
            QCOMPARE(VantrelLocaleUtil::fromRawValue(VantrelLocaleUtil::rawValue(l)), l);
        QVERIFY(!VantrelLocaleUtil::fromRawValue(QStringLiteral("EN")).has_value());
    }

    void statusLabels()
    {
        QCOMPARE(AppReleaseStatusUtil::label(AppReleaseStatus::comingSoon, VantrelLocale::de), QStringLiteral("Bald verfügbar"));
        QCOMPARE(AppReleaseStatusUtil::label(AppReleaseStatus::retired, VantrelLocale::pl), QStringLiteral("Wycofane"));
        QCOMPARE(AppReleaseStatusUtil::label(AppReleaseStatus::live, VantrelLocale::en), QStringLiteral("Live"));
        QCOMPARE(AppReleaseStatusUtil::label(AppReleaseStatus::beta, VantrelLocale::en), QStringLiteral("Beta"));
        QCOMPARE(AppReleaseStatusUtil::allCases(), (QList<AppReleaseStatus>{AppReleaseStatus::beta, AppReleaseStatus::live,
                                                                             AppReleaseStatus::comingSoon, AppReleaseStatus::retired}));
        QCOMPARE(AppAccentUtil::allCases().size(), 5);
        QCOMPARE(AppAccentUtil::fromRawValue(QStringLiteral("cyan")), AppAccent::cyan);
        QVERIFY(!AppAccentUtil::fromRawValue(QStringLiteral("Cyan")).has_value());
    }
};

QTEST_GUILESS_MAIN(TestCopy)
#include "tst_copy.moc"
