// The C++ side of the catalog views: search, categories, list models, glyphs, key hints, the update summary,
// detail rules, and how symbols, icons and ids follow the desktop's text size.

#include "DataRows.h"
#include "AppListModel.h"
#include "CatalogOverview.h"
#include "CatalogRules.h"
#include "KeyHints.h"
#include "AppSearch.h"
#include "QmlHarness.h"
#include "QuickSwitcherModel.h"
#include "SummaryText.h"
#include "SymbolGlyphs.h"
#include "VantrelFonts.h"
#include "codec/EnumNames.h"
#include "i18n/VantrelTranslator.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickTextDocument>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

using TestCatalog::ids;

void search(CatalogRowsModel &model, const QString &text)
{
    if (auto *switcher = qobject_cast<QuickSwitcherModel *>(&model))
        switcher->setQuery(text);
    else
        static_cast<AppListModel &>(model).setSearchText(text);
}

AppManifestItem app(const QString &id, const QString &name, const QString &category = QStringLiteral("Tools"),
                    AppReleaseStatus status = AppReleaseStatus::live)
{
    AppManifestItem a = TestCatalog::app(id, status);
    a.name = name;
    a.category = category;
    return a;
}

// The lines a text edit shows, as laid out.
QStringList shownLines(QQuickItem *edit)
{
    QTextDocument *document = edit->property("textDocument").value<QQuickTextDocument *>()->textDocument();
    QStringList lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            const QTextLine line = block.layout()->lineAt(i);
            lines << block.text().mid(line.textStart(), line.textLength());
        }
    }
    return lines;
}

}  // namespace

class TestUiLists : public QObject
{
    Q_OBJECT
    using SearchRuleRows = DataRows<QString, QStringList>;  // search, expected
    using SectionListsRows = DataRows<AppListModel::Kind, QString, QStringList>;  // kind, search, expected
    using KeyHintsRows = DataRows<VantrelLocale, QString, QString>;  // language, sequence, expected
    using UpdateSummaryRows = DataRows<QString, QString>;  // language, expected
    using UpdateFeedHidesRows = DataRows<QVariant, QString>;  // feed, expected

private Q_SLOTS:
    void initTestCase() { UiTest::initialise(); }

    void searchRule_data()
    {
        SearchRuleRows::columns();
        const QStringList all = ids(UiTest::sampleCatalog().apps);
        SearchRuleRows::row("empty", QString(), all);
        SearchRuleRows::row("only spaces is no search", "   \t ", all);
        SearchRuleRows::row("trimmed and case-folded", "  TEMPO  ", QStringList{"timer"});
        SearchRuleRows::row("tagline", "deep work", QStringList{"timer"});
        SearchRuleRows::row("category", "writing", QStringList{"notes", "draft"});
        SearchRuleRows::row("one tag", "pomodoro", QStringList{"timer"});
        SearchRuleRows::row("two tags joined by one space", "photo editing", QStringList{"shots"});
        SearchRuleRows::row("tags are not joined by two spaces", "photo  editing", QStringList{});
        SearchRuleRows::row("across word boundary", "lnotes", QStringList{});
        SearchRuleRows::row("inside a word", "uill no", QStringList{"notes"});
        SearchRuleRows::row("accent significant: with", "café m", QStringList{"cafe"});
        SearchRuleRows::row("accent significant: without", "cafe m", QStringList{});
        SearchRuleRows::row("upper-case accent folds", "CAFÉ", QStringList{"cafe"});
    }

    void searchRule()
    {
        const auto [search, expected] = SearchRuleRows::fetch();
        const QList<AppManifestItem> apps = UiTest::sampleCatalog().apps;
        QStringList found;
        for (const int i : AppSearch::SearchKeys(apps, AppSearch::SearchKeys::Fields::withTags).matching(AppSearch::query(search)))
            found.append(apps[i].id);
        QCOMPARE(found, expected);
    }

    void searchKeysFollowTheRules_data()
    {
        QTest::addColumn<QString>("query");
        for (const char *q : {"", "a", "quill", "b c", "bc", "dEf", "gh ij", "ef gh", "hi", "i̇stanbul", "maps", "istanbul",
                              "àla", "ünïcode", "unicode", "café", "cafe m", "photo editing", "small"})
            QTest::newRow(q) << QString::fromUtf8(q);
        QTest::newRow("NUL inside") << QStringLiteral("b") + QChar(u'\0') + QStringLiteral("c");
    }

    void searchKeysFollowTheRules()
    {
        QFETCH(QString, query);
        QList<AppManifestItem> apps = UiTest::sampleCatalog().apps;
        AppManifestItem split = app("split", "Ab", "Ef");
        split.tagline = "cd";
        split.tags = {"gh", "ij"};
        // Lowering İ gives two code units; the fields after it must still line up.
        AppManifestItem istanbul = app("istanbul", "İSTANBUL Maps");
        istanbul.tagline = "ÀLA carte";
        istanbul.tags = {"Ünïcode"};
        apps << split << istanbul;

        const QString q = AppSearch::query(query);
        const AppSearch::SearchKeys library(apps, AppSearch::SearchKeys::Fields::withTags);
        const AppSearch::SearchKeys switcher(apps, AppSearch::SearchKeys::Fields::withoutTags);
        // The rule as written, field by field, against the keys built for speed.
        const auto plain = [&q](const QStringList &fields) {
            return std::any_of(fields.cbegin(), fields.cend(), [&q](const QString &field) { return field.toLower().contains(q); });
        };
        QList<int> libraryExpected, switcherExpected;
        for (int i = 0; i < apps.size(); ++i) {
            const QStringList fields{apps[i].name, apps[i].tagline, apps[i].category};
            if (plain(fields + QStringList{apps[i].tags.join(QLatin1Char(' '))}))
                libraryExpected.append(i);
            if (plain(fields))
                switcherExpected.append(i);
        }
        QCOMPARE(library.matching(q), libraryExpected);
        QCOMPARE(switcher.matching(q), switcherExpected);
        // Narrowing from a shorter query finds the same apps.
        if (!q.isEmpty()) {
            QCOMPARE(library.matching(q, library.matching(q.left(1))), libraryExpected);
            QCOMPARE(switcher.matching(q, switcher.matching(q.left(1))), switcherExpected);
        }
    }

    void categoriesSortByCodePoint()
    {
        QCOMPARE(CatalogOverview::sortedCategories({"Utilities", "Notes", "utilities", "Utilities", "Émigré", "Zeta"}),
                 (QStringList{"Notes", "Utilities", "Zeta", "utilities", "Émigré"}));
        // Code points above the BMP sort after every BMP character (UTF-16 order would not).
        const QString high = QString::fromUcs4(U"\U0001F600");
        const QString bmp = QString(QChar(0xFF5E));
        QCOMPARE(CatalogOverview::sortedCategories({high, bmp}), (QStringList{bmp, high}));

        // Of visible apps only; the beta preference changes them at once.
        StoreView f(TestCatalog::manifest({app("a", "A", "Utilities"), app("b", "B", "Notes"),
                                           app("c", "C", "Beta", AppReleaseStatus::beta),
                                           app("d", "D", "Archive", AppReleaseStatus::retired)}));
        CatalogOverview overview;
        overview.setStore(f.store.get());
        AppListModel all;
        all.setStore(f.store.get());
        QCOMPARE(overview.categories(), (QStringList{"Beta", "Notes", "Utilities"}));
        QCOMPARE(overview.visibleCount(), 3);
        QCOMPARE(overview.lifecycle(), CatalogOverview::Lifecycle::MultiAppCatalog);
        f.store->setIncludeBetaApps(false);
        QCOMPARE(overview.categories(), (QStringList{"Notes", "Utilities"}));
        QCOMPARE(overview.visibleCount(), 2);
        QCOMPARE(all.ids(), (QStringList{"a", "b"}));
    }

    void sectionLists_data()
    {
        SectionListsRows::columns();
        // Starters: notes, atlas (coming soon), draft (incomplete). Updates: shots only.
        using Kind = AppListModel::Kind;
        SectionListsRows::row("all apps", Kind::AllApps, "", QStringList{"notes", "timer", "shots", "cafe", "atlas", "draft"});
        SectionListsRows::row("selected: published starters only", Kind::Selected, "", QStringList{"notes"});
        SectionListsRows::row("selected narrowed", Kind::Selected, "tempo", QStringList{});
        SectionListsRows::row("updates: updateAvailable only", Kind::Updates, "", QStringList{"shots"});
        SectionListsRows::row("updates narrowed away", Kind::Updates, "quill", QStringList{});
        SectionListsRows::row("published ignores search", Kind::Published, "quill", QStringList{"notes", "timer", "shots", "cafe"});
        SectionListsRows::row("coming soon ignores search", Kind::ComingSoon, "zzz", QStringList{"atlas"});
    }

    void sectionLists()
    {
        const auto [kind, search, expected] = SectionListsRows::fetch();

        StoreView f;
        f.reach("notes", "installed");
        f.reach("shots", "updateAvailable");
        for (const AppManifestItem &a : f.catalog.apps) {
            const bool wanted = a.id == "notes" || a.id == "atlas" || a.id == "draft";
            if (f.store->selectedStarterAppIDs().contains(a.id) != wanted)
                f.store->toggleStarter(a.id);
        }

        AppListModel model;
        model.setKind(kind);
        model.setSearchText(search);
        model.setStore(f.store.get());
        QCOMPARE(model.ids(), expected);
    }

    // A misspelt kind is an error where it is written, not a list that is silently empty or another one.
    void misspeltKindIsAnError_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("error");
        QTest::newRow("list kind") << "AppListModel { kind: AppListModel.Kind.Selectd }" << "Unable to assign [undefined]";
        QTest::newRow("list kind in words") << "AppListModel { kind: \"selected\" }" << "unknown enumeration";
        QTest::newRow("section") << "QtObject { property int section: LibrarySection.AllAps }" << "Unable to assign [undefined]";
        QTest::newRow("button variant") << "VantrelButton { variant: VantrelButton.Variant.Primry }" << "Unable to assign [undefined]";
    }

    void misspeltKindIsAnError()
    {
        QFETCH(QString, declaration);
        QFETCH(QString, error);
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
        engine.setOutputWarningsToStandardError(false);
        QList<QQmlError> errors;
        connect(&engine, &QQmlEngine::warnings, this, [&](const QList<QQmlError> &warnings) { errors += warnings; });
        QQmlComponent component(&engine);
        component.setData("import QtQml\nimport Vantrel\n" + declaration.toUtf8(), QUrl(QStringLiteral("misspelt.qml")));
        const std::unique_ptr<QObject> object(component.create());
        errors += component.errors();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().description().contains(error), qPrintable(errors.first().toString()));
    }

    void listsRecomputeOnlyWhenTheirInputsChange()
    {
        StoreView f;
        f.h.installer->gate = std::make_shared<Gate>();
        AppListModel model;
        model.setStore(f.store.get());  // allApps
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        // An install's progress redraws its row in place.
        f.store->installApp("shots");
        QTRY_VERIFY(!changed.isEmpty());
        const QModelIndex row = model.index(2);
        QCOMPARE(changed.first().at(0).toModelIndex(), row);
        QCOMPARE(model.data(row, AppListModel::TileStatusRole).toString(), QStringLiteral("Installing 4%"));
        f.h.installer->gate->open();
        QTRY_COMPARE(model.data(row, AppListModel::TileStatusRole).toString(), QStringLiteral("Installed 1.0.0"));
        const int base = model.recomputeCount();
        changed.clear();

        f.store->setSelectedAppIDValue("timer");
        f.store->setLocaleCode("de");
        f.store->toggleStarter("notes");
        QCOMPARE(model.recomputeCount(), base);
        QCOMPARE(resets.count(), 0);
        QVERIFY(changed.count() >= 2);  // labels (locale) and stars redrawn in place
        QCOMPARE(model.data(model.index(0), AppListModel::StatusLabelRole).toString(), QStringLiteral("Live"));
        QCOMPARE(model.data(model.index(4), AppListModel::TileStatusRole).toString(), QStringLiteral("Nur Vorschau"));

        // A search that does not change the trimmed query does not recompute either.
        model.setSearchText("quill");
        model.setSearchText("  QUILL ");
        QCOMPARE(model.recomputeCount(), base + 1);
        QCOMPARE(model.ids(), QStringList{"notes"});
        // The same catalog arriving again changes nothing.
        QVERIFY(f.h.refresh(*f.store, f.catalog));
        QCOMPARE(model.recomputeCount(), base + 1);

        // The selected list follows the starters.
        AppListModel selected;
        selected.setKind(AppListModel::Kind::Selected);
        selected.setStore(f.store.get());
        const QStringList before = selected.ids();
        f.store->toggleStarter("timer");
        QVERIFY(selected.ids() != before);
    }

    // Rows move in place as the text changes, and always equal a list computed from scratch.
    void typingMovesRowsWithoutReset_data()
    {
        QTest::addColumn<QString>("kind");  // a section, or the switcher
        for (const char *kind : {"AllApps", "Selected", "switcher"})
            QTest::newRow(kind) << kind;
    }

    void typingMovesRowsWithoutReset()
    {
        QFETCH(QString, kind);
        StoreView f;
        f.store->toggleStarter("notes");
        f.store->toggleStarter("shots");
        const auto make = [&](const QString &text) -> std::unique_ptr<CatalogRowsModel> {
            std::unique_ptr<CatalogRowsModel> model;
            if (kind == QLatin1String("switcher")) {
                model = std::make_unique<QuickSwitcherModel>();
            } else {
                model = std::make_unique<AppListModel>();
                static_cast<AppListModel &>(*model).setKind(*EnumNames::fromName<AppListModel::Kind>(kind));
            }
            search(*model, text);
            model->setStore(f.store.get());
            return model;
        };
        const std::unique_ptr<CatalogRowsModel> model = make(QString());
        QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(model.get(), &QAbstractItemModel::modelReset);
        QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy counts(model.get(), &CatalogRowsModel::countChanged);
        const QStringList everything = model->ids();

        const QString typed = "s ti";
        QStringList texts;
        for (int n = 1; n <= typed.size(); ++n)
            texts << typed.left(n);
        for (int n = typed.size() - 1; n >= 0; --n)
            texts << typed.left(n);
        texts << "notes" << "  SHOTS" << "pomodoro" << "zzz" << QString();
        for (const QString &text : std::as_const(texts)) {
            search(*model, text);
            QCOMPARE(model->ids(), make(text)->ids());
            QCOMPARE(model->count(), model->ids().size());
            for (int row = 0; row < model->count(); ++row)
                QCOMPARE(model->data(model->index(row), CatalogRowsModel::AppIdRole).toString(), model->ids().at(row));
        }
        QCOMPARE(model->ids(), everything);
        QCOMPARE(resets.count(), 0);
        QVERIFY(!inserted.isEmpty() && !removed.isEmpty() && !counts.isEmpty());
    }

    void symbolGlyphs()
    {
        SymbolGlyphs glyphs;
        QVERIFY(glyphs.glyph("star") != glyphs.glyph("star.fill"));
        QCOMPARE(glyphs.glyph("no.such.symbol"), SymbolGlyphs::fallbackGlyph());
        // Every symbol the launcher's own views name has a glyph of its own.
        for (const char *name : {"house", "square.grid.2x2", "star", "star.fill", "arrow.down.circle", "gearshape", "clock",
                                 "tray", "sparkles", "checkmark.circle", "checkmark.seal", "arrow.clockwise", "play",
                                 "arrow.triangle.2.circlepath", "lock.shield", "magnifyingglass", "chevron.right",
                                 "chevron.left", "command", "bubble.left.and.bubble.right", "arrow.right", "paperplane",
                                 "exclamationmark.triangle", "checkmark.circle.fill", "checkmark", "hourglass", "cpu",
                                 "arrow.up.right"})
            QVERIFY2(glyphs.isKnown(QString::fromLatin1(name)), name);
        // The glyphs exist in the compiled-in font.
        const QFontMetrics metrics{QFont(glyphs.fontFamily())};
        QVERIFY(metrics.inFont(glyphs.glyph("house").at(0)));
        QVERIFY(metrics.inFont(SymbolGlyphs::fallbackGlyph().at(0)));
        // The preferences' readiness rows draw their symbols at one visual size.
        QFont large(glyphs.fontFamily());
        large.setPixelSize(48);
        const QFontMetricsF inked(large);
        const qreal seal = inked.tightBoundingRect(glyphs.glyph("checkmark.seal")).height();
        for (const char *name : {"arrow.triangle.2.circlepath", "number"})
            QVERIFY2(inked.tightBoundingRect(glyphs.glyph(name)).height() >= 0.75 * seal, name);
    }

    // Keys as the keyboard names them in the language chosen (Qt's own translations); English last, so it stays.
    void keyHints_data()
    {
        KeyHintsRows::columns();
        const auto en = VantrelLocale::en, pl = VantrelLocale::pl, de = VantrelLocale::de;
        KeyHintsRows::row("de Ctrl+K", de, "Ctrl+K", "Strg+K");
        KeyHintsRows::row("de Ctrl+Shift+T", de, "Ctrl+Shift+T", "Strg+Umschalt+T");
        KeyHintsRows::row("pl Ctrl+K", pl, "Ctrl+K", "Ctrl+K");
        KeyHintsRows::row("en Ctrl+K", en, "Ctrl+K", "Ctrl+K");
        KeyHintsRows::row("en Ctrl+Shift+T", en, "Ctrl+Shift+T", "Ctrl+Shift+T");
        KeyHintsRows::row("en Ctrl+1", en, "Ctrl+1", "Ctrl+1");
    }

    void keyHints()
    {
#ifdef Q_OS_MACOS
        QSKIP("macOS draws the keys as symbols (⌘K) in every language");
#endif
        const auto [language, sequence, expected] = KeyHintsRows::fetch();
        VantrelTranslator translator(language);
        QCOMPARE(KeyHints().hint(sequence), expected);
    }

    // The line under "Update all" words each failure from its kind in the view's language, after a live switch too;
    // a platform error keeps its own text.
    void updateSummaryFollowsTheLanguage_data()
    {
        UpdateSummaryRows::columns();
        UpdateSummaryRows::row("en", "en", "1 updated, 3 failed: Quill Notes: The download did not match its checksum.; "
                                           "Frame Shots: The downloaded archive could not be extracted.; "
                                           "Café Menu: No space left on device");
        UpdateSummaryRows::row("pl", "pl", "Zaktualizowano: 1, nieudane: 3. Quill Notes: Pobrany plik nie zgadza się z sumą kontrolną.; "
                                           "Frame Shots: Nie udało się rozpakować pobranego archiwum.; "
                                           "Café Menu: No space left on device");
        UpdateSummaryRows::row("de", "de", "1 aktualisiert, 3 fehlgeschlagen: Quill Notes: Der Download passt nicht zu seiner Prüfsumme.; "
                                           "Frame Shots: Das heruntergeladene Archiv konnte nicht entpackt werden.; "
                                           "Café Menu: No space left on device");
    }

    void updateSummaryFollowsTheLanguage()
    {
        const auto [language, expected] = UpdateSummaryRows::fetch();
        StoreView f;
        for (const char *id : {"notes", "timer", "shots", "cafe"})
            f.reach(id, "updateAvailable");
        f.h.installer->behaviour = [](const AppManifestItem &app) -> InstalledApp {
            if (app.id == QLatin1String("notes"))
                throw AppInstallerError::checksumMismatch(QString(64, QLatin1Char('a')), QString(64, QLatin1Char('b')));
            if (app.id == QLatin1String("shots"))
                throw AppInstallerError(AppInstallerError::Kind::extractionFailed);
            if (app.id == QLatin1String("cafe"))
                throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("No space left on device"));
            return InstalledApp{QUrl::fromLocalFile("/tmp/" + app.id + ".app"), app.version};
        };
        f.open("library/AppSectionHeader.qml", QSize(900, 300), {{"offersUpdateAll", true}});
        QSignalSpy finished(f.store->manage(), &AppManagement::updatesFinished);
        f.store->manage()->updateAll();
        QVERIFY(finished.wait(5000));
        f.store->setLocaleCode(language);
        QTRY_COMPARE(ViewHost::text(f.item("updateSummary")), expected);
        // The store's own line still quotes the installer's full description.
        QVERIFY(f.store->manage()->updateSummary().contains("Checksum mismatch. Expected " + QString(64, QLatin1Char('a'))));
        f.store->setLocaleCode("en");
    }

    // Symbols and app icons grow with the desktop's text; at the usual size they keep the design's.
    void symbolsAndIconsFollowTheTextSize_data()
    {
        QTest::addColumn<qreal>("scale");
        for (const qreal scale : {1.0, 1.5, 2.0})
            QTest::addRow("%d %%", qRound(scale * 100)) << scale;
    }

    void symbolsAndIconsFollowTheTextSize()
    {
        QFETCH(qreal, scale);
        VantrelFonts::setTextScaleOverride(scale);
        ViewHost symbol;
        QQuickItem *glyph = qobject_cast<QQuickItem *>(symbol.load("components/Symbol.qml", {{"name", "house"}, {"size", 16}}));
        ViewHost icon;
        QQuickItem *appIcon = qobject_cast<QQuickItem *>(icon.load("components/VantrelAppIcon.qml", {{"symbolName", "timer"}, {"size", 42}}));
        VantrelFonts::setTextScaleOverride(std::nullopt);
        QVERIFY(glyph && appIcon);
        QCOMPARE(glyph->property("font").value<QFont>().pixelSize(), qRound(16 * 1.1 * scale));
        QCOMPARE(appIcon->implicitWidth(), 42 * scale);
        QCOMPARE(icon.find("appIconSymbol")->property("font").value<QFont>().pixelSize(), qRound(42 * 0.48 * 1.1 * scale));
    }

    // Ids and URLs break after a dot or a slash, never inside a word, however narrow; a copy holds the value itself.
    void idsBreakAtDotsAndSlashes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("width");
        QTest::newRow("bundle id") << "com.vantrel.notes.companion.helper" << 150;
        QTest::newRow("URL") << "https://updates.vantrel.example/notes/appcast.xml" << 170;
    }

    void idsBreakAtDotsAndSlashes()
    {
        QFETCH(QString, value);
        QFETCH(int, width);
        VantrelFonts::setTextScaleOverride(2.0);
        ViewHost host;
        auto *row = qobject_cast<QQuickItem *>(host.load("detail/DetailRow.qml", {{"label", "Bundle"}, {"value", value},
                                                                                  {"labelWidth", 40}, {"maximumLines", 12}},
                                                         QSize(width + 48, 600)));
        VantrelFonts::setTextScaleOverride(std::nullopt);
        QVERIFY(row);
        QQuickItem *edit = host.find("detailRowValue");
        QTRY_VERIFY(shownLines(edit).size() > 2);
        const QStringList lines = shownLines(edit);
        for (int i = 0; i + 1 < lines.size(); ++i)
            QVERIFY2(lines[i].endsWith(QChar(0x200B)) || lines[i].endsWith(QLatin1Char('/')), qPrintable(lines.join(" | ")));
        QCOMPARE(ViewHost::text(edit), value);

        edit->forceActiveFocus();
        QMetaObject::invokeMethod(edit, "selectAll");
        host.key(Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), value);
    }

    void updateFeedHidesLocalHosts_data()
    {
        UpdateFeedHidesRows::columns();
        UpdateFeedHidesRows::row("none", QVariant(), QString());
        // A public and a ".local" feed: see the detail page's panels.
        UpdateFeedHidesRows::row("local in the middle is public", QVariant(QUrl("https://a.local.example.com/f.xml")), "https://a.local.example.com/f.xml");
        UpdateFeedHidesRows::row("no host", QVariant(QUrl("file:///tmp/feed.xml")), "file:///tmp/feed.xml");
    }

    void updateFeedHidesLocalHosts()
    {
        const auto [feed, expected] = UpdateFeedHidesRows::fetch();
        AppManifestItem a = TestCatalog::app("a");
        if (feed.isValid())
            a.sparkleFeedUrl = feed.toUrl();
        QCOMPARE(CatalogRules().updateFeed(QVariant::fromValue(a)), expected);
    }

};

QTEST_MAIN(TestUiLists)
#include "tst_ui_lists.moc"
