// The translation files as a translator and the build see them: complete in
// every language, with the plural forms each language needs, every message
// the sources ask for present, and no plain literal where a user reads text.

#include "DataRows.h"
#include "codec/EnumNames.h"
#include "i18n/VantrelTranslator.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <utility>

namespace {

QString sourcePath(const QString &relative)
{
    return qEnvironmentVariable("VANTREL_SOURCE_DIR") + QLatin1Char('/') + relative;
}
QString tsFile(const QString &language)
{
    return sourcePath(QStringLiteral("src/core/i18n/translations/vantrel_%1.ts").arg(language));
}

struct Message {
    QStringList forms;  // one, or one per plural form
    bool plural = false;
    bool finished = true;
};

// id -> message, as Qt Linguist reads the file; vanished ones left out.
QHash<QString, Message> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QHash<QString, Message> messages;
    QXmlStreamReader xml(&file);
    QString id;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"message") {
            id = attributes.value(QLatin1String("id")).toString();
            messages[id].plural = attributes.value(QLatin1String("numerus")) == u"yes";
        } else if (xml.name() == u"translation") {
            const QString type = attributes.value(QLatin1String("type")).toString();
            if (type == u"vanished" || type == u"obsolete")
                messages.remove(std::exchange(id, QString()));
            messages[id].finished = type.isEmpty();
            if (!messages[id].plural)
                messages[id].forms.append(xml.readElementText());
        } else if (xml.name() == u"numerusform") {
            messages[id].forms.append(xml.readElementText());
        }
    }
    messages.remove(QString());
    return messages;
}

QSet<QString> placeholders(const QString &text)
{
    QSet<QString> found;
    static const QRegularExpression pattern(QStringLiteral("%L?([1-9n])"));
    for (const auto &match : pattern.globalMatch(text))
        found.insert(match.captured(1));
    return found;
}

// What keeps a language's file from shipping, one line per message; plurals need as many forms as appCount.
QStringList problems(const QString &path)
{
    const QHash<QString, Message> english = readTs(tsFile(QStringLiteral("en")));
    const QHash<QString, Message> translated = readTs(path);
    const qsizetype pluralForms = translated.value(QStringLiteral("appCount")).forms.size();
    QStringList found;
    for (auto it = english.cbegin(); it != english.cend(); ++it) {
        const Message m = translated.value(it.key());
        if (!m.finished)
            found << it.key() + QStringLiteral(": unfinished");
        else if (m.forms.join(QString()).trimmed().isEmpty())
            found << it.key() + QStringLiteral(": missing");
        else if (it->plural && m.forms.size() != pluralForms)
            found << it.key() + QStringLiteral(": %1 plural forms").arg(m.forms.size());
        for (const QString &form : m.forms) {
            if (placeholders(form) != placeholders(it->forms.value(0)))
                found << it.key() + QStringLiteral(": placeholders unlike English: ") + form;
        }
    }
    found.sort();
    return found;
}

// Every file under src/ with one of these endings, with its text.
QHash<QString, QString> sources(const QStringList &patterns, const QString &under = QStringLiteral("src"))
{
    QHash<QString, QString> files;
    QDirIterator it(sourcePath(under), patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(it.filePath().mid(sourcePath(QString()).size()), QString::fromUtf8(file.readAll()));
    }
    return files;
}

}  // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
    using PluralFormsRows = DataRows<QString, VantrelLocale, QStringList>;  // id, language, texts (for the counts 0, 1, 2, 5, 12, 22 and 25)
    using FormattedDateRows = DataRows<VantrelLocale, QString>;  // language, expected

private Q_SLOTS:
    void everyLanguageIsComplete()
    {
        QVERIFY(readTs(tsFile(QStringLiteral("en"))).size() > 150);
        const QDir folder(QFileInfo(tsFile(QStringLiteral("en"))).path(), QStringLiteral("vantrel_*.ts"));
        QVERIFY(folder.count() >= 3);
        for (const QString &file : folder.entryList()) {
            const QStringList found = problems(folder.filePath(file));
            QVERIFY2(found.isEmpty(), qPrintable(file + QStringLiteral(": ") + found.join(QStringLiteral("; "))));
        }
    }

    // The check itself bites: an unfinished, a missing and a short plural message.
    void completenessCheckCatchesGaps()
    {
        QFile original(tsFile(QStringLiteral("pl")));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(original.readAll());
        text.replace(QRegularExpression(QStringLiteral("(id=\"statusLive\">\\s*<source>[^<]*</source>\\s*<translation)>")),
                     QStringLiteral("\\1 type=\"unfinished\">"));
        text.remove(QRegularExpression(QStringLiteral("<message id=\"quickNoResults\">.*?</message>"),
                                       QRegularExpression::DotMatchesEverythingOption));
        text.replace(QStringLiteral("<numerusform>%Ln aplikacji gotowych do instalacji</numerusform>"), QString());
        QTemporaryDir dir;
        QFile planted(dir.filePath(QStringLiteral("vantrel_pl.ts")));
        QVERIFY(planted.open(QIODevice::WriteOnly) && planted.write(text.toUtf8()) > 0);
        planted.close();
        QCOMPARE(problems(planted.fileName()),
                 (QStringList{"onboardingStatus: 2 plural forms", "quickNoResults: missing", "statusLive: unfinished"}));
    }

    void pluralForms_data()
    {
        PluralFormsRows::columns();
        const auto en = VantrelLocale::en, pl = VantrelLocale::pl, de = VantrelLocale::de;
        const auto counts = [](const QString &one, const QString &few, const QString &many, const QString &zero) {
            // 0, 1, 2, 5, 12, 22, 25
            return QStringList{zero, one, few, many, many, few, many};
        };
        const auto two = [&](const QString &one, const QString &other) { return counts(one, other, other, other); };
        PluralFormsRows::row("appCount en", "appCount", en, two("app ready", "apps ready"));
        PluralFormsRows::row("appCount pl", "appCount", pl, counts("aplikacja gotowa", "aplikacje gotowe", "aplikacji gotowych", "aplikacji gotowych"));
        PluralFormsRows::row("appCount de", "appCount", de, two("App bereit", "Apps bereit"));
        PluralFormsRows::row("onboardingStatus en", "onboardingStatus", en, two("app ready to install", "apps ready to install"));
        PluralFormsRows::row("onboardingStatus pl", "onboardingStatus", pl,
                             counts("aplikacja gotowa do instalacji", "aplikacje gotowe do instalacji", "aplikacji gotowych do instalacji", "aplikacji gotowych do instalacji"));
        PluralFormsRows::row("onboardingStatus de", "onboardingStatus", de, two("App bereit zur Installation", "Apps bereit zur Installation"));
        PluralFormsRows::row("quickResults en", "quickResults", en, two("result", "results"));
        PluralFormsRows::row("quickResults pl", "quickResults", pl, counts("wynik", "wyniki", "wyników", "wyników"));
        PluralFormsRows::row("quickResults de", "quickResults", de, two("Ergebnis", "Ergebnisse"));
        PluralFormsRows::row("verifyChangedCount en", "verifyChangedCount", en, two("file changed", "files changed"));
        PluralFormsRows::row("verifyChangedCount pl", "verifyChangedCount", pl, counts("plik zmieniony", "pliki zmienione", "plików zmienionych", "plików zmienionych"));
        PluralFormsRows::row("verifyChangedCount de", "verifyChangedCount", de, two("Datei geändert", "Dateien geändert"));
    }

    void pluralForms()
    {
        const auto [id, language, texts] = PluralFormsRows::fetch();
        VantrelTranslator translator(language);
        const QList<int> counts{0, 1, 2, 5, 12, 22, 25};
        for (qsizetype i = 0; i < counts.size(); ++i) {
            const QString text = qtTrId(id.toLatin1().constData(), counts[i]);
            QVERIFY2(text.contains(QString::number(counts[i]) + QLatin1Char(' ') + texts[i]), qPrintable(text));
        }
        // Counts in the language's digits and grouping.
        QVERIFY(qtTrId(id.toLatin1().constData(), 12345).contains(QLocale(EnumNames::name(language)).toString(12345)));
    }

    // Qt's own texts (the option help, network errors) follow the language too.
    void qtsOwnTextsFollowTheLanguage()
    {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm")))
            QSKIP("Qt's own translations are not installed (qt6-translations-l10n)");
        const auto help = [] { return QCoreApplication::translate("QCommandLineParser", "Displays help on commandline options."); };
        const QString english = help();
        VantrelTranslator translator(VantrelLocale::de);
        QVERIFY2(help() != english, qPrintable(help()));
        translator.setLocale(VantrelLocale::en);
        QCOMPARE(help(), english);
    }

    // Weekday, day and month as the language writes them; Polish takes the genitive month.
    void formattedDate_data()
    {
        FormattedDateRows::columns();
        FormattedDateRows::row("en", VantrelLocale::en, "SUNDAY, DECEMBER 6");
        FormattedDateRows::row("pl", VantrelLocale::pl, "NIEDZIELA, 6 GRUDNIA");
        FormattedDateRows::row("de", VantrelLocale::de, "SONNTAG, 6. DEZEMBER");
    }

    void formattedDate()
    {
        const auto [language, expected] = FormattedDateRows::fetch();
        QCOMPARE(VantrelTranslator(language).formattedDate(QDate(2026, 12, 6)), expected);
    }

    // Each id a view, the store or the terminal tool asks for is in the files.
    void everyMessageAskedForExists()
    {
        const QHash<QString, Message> english = readTs(tsFile(QStringLiteral("en")));
        const QRegularExpression call(QStringLiteral("(?:q[st]TrId|QT_TRID_NOOP|PlatformText\\.id|messageId)\\(([^;{}]*?)[,)]"));
        const QRegularExpression literal(QStringLiteral("(?<!= )\"([A-Za-z.]+)\""));
        int asked = 0;
        const auto files = sources({QStringLiteral("*.qml"), QStringLiteral("*.cpp")});
        for (auto file = files.cbegin(); file != files.cend(); ++file) {
            for (const auto &match : call.globalMatch(*file)) {
                for (const auto &id : literal.globalMatch(match.captured(1))) {
                    ++asked;
                    QVERIFY2(english.contains(id.captured(1)), qPrintable(file.key() + QStringLiteral(": ") + id.captured(1)));
                }
            }
        }
        QVERIFY(asked > 100);
    }

    // No view binds a text, no store message is a plain literal, and the tool has no prose literal but those below.
    void noPlainTextWhereUsersRead()
    {
        const QRegularExpression words(QStringLiteral("[a-z]{2}"));
        const QRegularExpression binding(QStringLiteral(
            "\\b(?:text|placeholderText|title|subtitle|label|detail|hint|Accessible\\.name|Accessible\\.description)\\s*:\\s*\"([^\"]*)\""));
        const QRegularExpression message(
            QStringLiteral("(?:setErrorMessage|::failed|usageError)\\(\\s*(?:QStringLiteral\\()?\"([^\"]*)\""));
        // Literals and comments in the order they come, so a quote in a comment is no literal; logs are for developers.
        const QRegularExpression literalOrComment(QStringLiteral(
            "\"((?:[^\"\\\\]|\\\\.)*)\"|'(?:[^'\\\\]|\\\\.)*'|//[^\\n]*|/\\*.*?\\*/|#include[^\\n]*|\\bq(?:C?(?:Debug|Info|Warning))\\b[^;]*;"),
            QRegularExpression::DotMatchesEverythingOption);
        // A synopsis: option names, placeholders in capitals, brackets and bars.
        const QRegularExpression synopsis(QStringLiteral(
            "^(?:[a-z]+ )?(?:\\[*(?:--?[a-z-]+,?|[A-Z]+(?:\\.\\.\\.)?|<?en\\|pl\\|de>?|\\|)\\]* ?)+$"));
        const QSet<QString> notProse{
            "Vantrel", "en|pl|de", "http://", "https://", "file:", "file",                   // names, schemes
            "check", "compare", "list", "install", "update", "remove", "rollback", "open", "complete", "verify",  // commands
            "skip", "hold", "release",
            "help", "lang", "json", "no-beta", "public-keys", "signature", "all", "version",  // options
            "when-closed", "restart", "no-metered", "full", "include-staged",
            "ok", "error", "lifecycle", "featured", "announcements", "apps", "id", "name",    // JSON members
            "status", "visible", "published", "comingSoon", "problem", "progress", "state", "summary", "notListed", "held", "skippedVersion",
            "staged", "percent", "rolloutPercent",
            "verified", "unchecked", "findings", "kind", "path", "repair", "repaired",           // JSON values
            "downloadedBytes", "reusedBytes", "sequence", "expiresAt", "expiryWarning",
            "English", "Polski", "Deutsch"};  // each language by its own name, the same in every language
        const QHash<QString, Message> ids = readTs(tsFile(QStringLiteral("en")));
        QStringList found;
        const auto check = [&](const QString &file, const QString &text) {
            if (words.match(text).hasMatch() && !text.trimmed().startsWith(QLatin1String("vantrel")) && !ids.contains(text)
                && !notProse.contains(text) && !synopsis.match(text).hasMatch())
                found << file + QStringLiteral(": ") + text;
        };
        const auto views = sources({QStringLiteral("*.qml")}, QStringLiteral("src/app/qml"));
        for (auto file = views.cbegin(); file != views.cend(); ++file) {
            for (const auto &match : binding.globalMatch(*file))
                check(file.key(), match.captured(1));
        }
        const auto store = sources({QStringLiteral("*.cpp")}, QStringLiteral("src/core/store"));
        for (auto file = store.cbegin(); file != store.cend(); ++file) {
            for (const auto &match : message.globalMatch(*file))
                check(file.key(), match.captured(1));
        }
        const auto tool = sources({QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QStringLiteral("src/cli"));
        QVERIFY(tool.size() >= 8);
        for (auto file = tool.cbegin(); file != tool.cend(); ++file) {
            for (const auto &match : literalOrComment.globalMatch(*file)) {
                if (match.hasCaptured(1))
                    check(file.key(), match.captured(1));
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
