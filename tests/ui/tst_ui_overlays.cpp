// What opens over the main window: the announcement popup, the feedback sheet, the error alert, the removal question
// and the quick switcher; the search fields.

#include "DataRows.h"
#include "QmlHarness.h"

#include "QuickSwitcherModel.h"

namespace {

// The main window's content over the store, as the popup and the sheets appear in it.
struct RootFixture : StoreView {
    explicit RootFixture(const LauncherManifest &catalog = UiTest::withAnnouncements()) : StoreView(catalog)
    {
        store->setOnboardingComplete(true);
    }
    void open() { StoreView::open("shell/RootView.qml"); }
    // The popup on screen for this announcement, once its sheet is open.
    QQuickItem *popupFor(const QString &id) const
    {
        QQuickItem *popup = item("announcementPopup");
        if (!ViewHost::shown(popup))
            return nullptr;
        return popup->property("announcement").value<LauncherAnnouncement>().id == id ? popup : nullptr;
    }
    bool sheetOpen() const { return rootObject("announcementSheet")->property("visible").toBool(); }
    QStringList seen() const { return h.openDefaults()->object(LauncherStore::seenAnnouncementIDsKey).toStringList(); }
};

// The feedback sheet on its own; `order` lists the store fields as they change.
struct SheetFixture : StoreView {
    QObject *sheet = nullptr;
    QStringList order;

    explicit SheetFixture(const std::function<void(LauncherStore &)> &prepare = {})
    {
        if (prepare)
            prepare(*store);
        store->setShowingFeedbackSheet(true);
        QObject::connect(store.get(), &LauncherStore::showingFeedbackSheetChanged, store.get(),
                         [this] { order.append("showingFeedbackSheet"); });
        QObject::connect(store.get(), &LauncherStore::feedbackStateChanged, store.get(),
                         [this] { order.append("feedbackState:" + store->feedbackState().kindName()); });
        sheet = StoreView::open("sheets/FeedbackSheet.qml", QSize(500, 700));
        host.fitHeight();
    }
    QQuickItem *send() const { return item("feedbackSubmitButton"); }
    void fill(const QString &title, const QString &description)
    {
        sheet->setProperty("title", title);
        sheet->setProperty("description", description);
    }
};

// The quick switcher on its own, presented.
struct SwitcherFixture : StoreView {
    void open() { StoreView::open("switcher/QuickSwitcherView.qml", QSize(1060, 720), {{"isPresented", true}}); }
    QStringList results() const { return view->property("results").value<QuickSwitcherModel *>()->ids(); }
    int selectedIndex() const { return view->property("selectedIndex").toInt(); }
    bool presented() const { return view->property("isPresented").toBool(); }
    QQuickItem *row(const QString &id) const { return item("quickRow_" + id); }
    bool highlighted(const QString &id) const { return row(id)->property("highlighted").toBool(); }
    QString hintOf(const QString &id) const { return ViewHost::childText(row(id), "quickRowHint"); }
};

}  // namespace

class TestUiOverlays : public QObject
{
    Q_OBJECT
    using AnnouncementIconAndRows = DataRows<bool, bool, bool, QString>;  // acknowledgeFirst, includeBeta, appShown (icon and open button; else brand mark, dismiss only), version
    using FeedbackSendRuleRows = DataRows<QString, QString, bool, bool>;  // title, description, submitting, enabled
    using FeedbackRequestRows = DataRows<QString, bool, QString, QString, QVariant>;  // selectedInWindow, includeBeta, pickerStarts, choice (empty: keep the preset), sentAppId
    using FeedbackSheetClosesRows = DataRows<QString, QString>;  // state, identifier (of the submitted issue)
    using SwitcherResultsRows = DataRows<bool, QString, QStringList>;  // includeBeta, query, expected
    using SwitcherReturnRunsTheAppRows = DataRows<QString, bool>;  // state, opens

private Q_SLOTS:
    void initTestCase() { UiTest::initialise(); }

    void announcementIconAndOpenRule_data()
    {
        AnnouncementIconAndRows::columns();
        AnnouncementIconAndRows::row("app shown, with version", false, true, true, "1.2.0");
        AnnouncementIconAndRows::row("beta app shown, no version", true, true, true, "");
        AnnouncementIconAndRows::row("beta app hidden", true, false, false, "");
    }

    void announcementIconAndOpenRule()
    {
        const auto [acknowledgeFirst, includeBeta, appShown, version] = AnnouncementIconAndRows::fetch();
        RootFixture f;
        f.store->setIncludeBetaApps(includeBeta);
        if (acknowledgeFirst)
            f.store->acknowledgePendingAnnouncement();
        const QString id = acknowledgeFirst ? "a2" : "a1";
        f.open();
        QTRY_VERIFY(f.popupFor(id));
        QCOMPARE(ViewHost::shown(f.item("announcementIcon")), appShown);
        QCOMPARE(ViewHost::shown(f.item("announcementLogo")), !appShown);
        QCOMPARE(ViewHost::shown(f.item("announcementVersion")), !version.isEmpty());
        QCOMPARE(ViewHost::text(f.item("announcementVersion")), version);
        QCOMPARE(f.item("announcementOpenButton")->isEnabled(), appShown);
        if (!appShown) {
            // The disabled open button neither selects nor acknowledges.
            const QString selected = f.store->selectedAppIDValue();
            f.host.click(f.item("announcementOpenButton"));
            QCOMPARE(f.store->pendingAnnouncement()->id, id);
            QCOMPARE(f.store->selectedAppIDValue(), selected);
        }
    }

    // Each announcement in turn, dismissed or opened; opening selects its app.
    void announcementQueue_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("dismiss button") << "dismiss";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("open, from the keyboard") << "open";
    }

    void announcementQueue()
    {
        QFETCH(QString, action);
        RootFixture f;
        f.store->setSelectedAppIDValue("cafe");
        f.open();
        for (const QString &id : {QStringLiteral("a1"), QStringLiteral("a2")}) {
            QTRY_VERIFY(f.popupFor(id) && f.sheetOpen());
            const LauncherAnnouncement shown = *f.store->pendingAnnouncement();
            QCOMPARE(ViewHost::text(f.item("announcementTitle")), shown.title);
            if (action == QLatin1String("escape")) {
                f.host.key(Qt::Key_Escape);
            } else if (action == QLatin1String("dismiss")) {
                f.host.click(f.item("announcementDismissButton"));
            } else {
                QTRY_VERIFY(f.item("announcementOpenButton")->hasActiveFocus());
                f.host.key(Qt::Key_Backtab, Qt::ShiftModifier);
                QVERIFY(f.item("announcementDismissButton")->hasActiveFocus());
                f.host.key(Qt::Key_Tab);
                QVERIFY(f.item("announcementOpenButton")->hasActiveFocus());
                f.host.key(Qt::Key_Return);
            }
            QCOMPARE(f.store->selectedAppIDValue(), action == QLatin1String("open") ? shown.appId : QStringLiteral("cafe"));
            // Acknowledged once the sheet has closed; the next one follows.
            QTRY_VERIFY(f.seen().contains(id));
        }
        QTRY_VERIFY(!f.sheetOpen());
        QVERIFY(!f.store->pendingAnnouncement().has_value());
        QVERIFY(!ViewHost::shown(f.item("announcementPopup")));
    }

    void announcementLongBodyWrapsInFull()
    {
        LauncherManifest catalog = UiTest::withAnnouncements();
        LauncherAnnouncement &a = catalog.announcements.first();
        a.body.clear();
        for (int i = 0; i < 12; ++i)
            a.body += QStringLiteral("Sentence %1 of a body that keeps going to test wrapping. ").arg(i + 1);
        RootFixture f(catalog);
        f.open();
        QTRY_VERIFY(f.popupFor("a1"));
        QQuickItem *body = f.item("announcementBody");
        QVERIFY(body->property("lineCount").toInt() > 5);
        QVERIFY(!body->property("truncated").toBool());
        // The whole body lies inside the popup, above the buttons.
        QQuickItem *popup = f.item("announcementPopup");
        const QRectF bodyRect = body->mapRectToItem(popup, body->boundingRect());
        const QQuickItem *button = f.item("announcementDismissButton");
        const QRectF buttonRect = button->mapRectToItem(popup, button->boundingRect());
        QVERIFY(bodyRect.right() <= popup->width() - 24 + 0.5);
        QVERIFY(bodyRect.bottom() <= buttonRect.top());
        QVERIFY(popup->height() >= buttonRect.bottom() + 24 - 0.5);
    }

    void feedbackSendRule_data()
    {
        FeedbackSendRuleRows::columns();
        FeedbackSendRuleRows::row("summary of spaces", "    ", "It broke", false, false);
        FeedbackSendRuleRows::row("description of newlines", "Crash", "\n\n\n", false, false);
        FeedbackSendRuleRows::row("one visible character each", "C", "d", false, true);
        FeedbackSendRuleRows::row("filled, while a send is running", "Crash", "It broke", true, false);
    }

    void feedbackSendRule()
    {
        const auto [title, description, submitting, enabled] = FeedbackSendRuleRows::fetch();
        SheetFixture f;
        if (submitting)
            f.store->setFeedbackState(FeedbackSubmissionState::submitting());
        f.fill(title, description);
        QCOMPARE(f.send()->isEnabled(), enabled);
        QCOMPARE(ViewHost::text(f.send()), submitting ? QStringLiteral("Sending") : QStringLiteral("Send"));
        f.host.click(f.send());
        QCOMPARE(f.h.feedback->requests.size(), enabled ? 1 : 0);
    }

    void feedbackRequest_data()
    {
        FeedbackRequestRows::columns();
        FeedbackRequestRows::row("selected app preset", "shots", true, "Frame Shots", "", QVariant("shots"));
        FeedbackRequestRows::row("hidden app selected in the window", "timer", false, "No app", "", QVariant());
        FeedbackRequestRows::row("preset cleared by the user", "shots", true, "Frame Shots", "No app", QVariant());
        FeedbackRequestRows::row("another app picked", "notes", true, "Quill Notes", "Tempo Timer", QVariant("timer"));
    }

    void feedbackRequest()
    {
        const auto [selectedInWindow, includeBeta, pickerStarts, choice, sentAppId] = FeedbackRequestRows::fetch();
        SheetFixture f([&](LauncherStore &store) {
            store.setIncludeBetaApps(includeBeta);
            store.setSelectedAppIDValue(selectedInWindow);
        });
        // Every visible app is offered, published or not.
        QStringList offered{"No app", "Quill Notes", "Tempo Timer", "Frame Shots", "Café Menu", "Atlas Maps", "Draft Board"};
        if (!includeBeta)
            offered.removeOne("Tempo Timer");
        QStringList entries;
        for (const QVariant &entry : f.sheet->property("appChoices").toList())
            entries.append(entry.toMap().value("text").toString());
        QCOMPARE(entries, offered);
        QQuickItem *picker = f.item("feedbackAppPicker");
        QCOMPARE(picker->property("displayText").toString(), pickerStarts);
        if (!choice.isEmpty())
            f.host.choose(picker, choice);
        f.host.click(f.item("feedbackType_idea"));
        f.fill("  Crash on   launch \n", "\n  It quits.\nEvery time.  \n\n");
        f.host.click(f.send());

        // Padded texts may be sent; the store trims them.
        QTRY_COMPARE(f.h.feedback->requests.size(), 1);
        const FeedbackSubmissionRequest &request = f.h.feedback->requests.first();
        QCOMPARE(request.type, FeedbackType::idea);
        QCOMPARE(request.appId, sentAppId.isValid() ? std::optional<QString>(sentAppId.toString()) : std::nullopt);
        QTRY_COMPARE(f.store->feedbackState().kindName(), QStringLiteral("submitted"));
    }

    void feedbackFailureStaysWhileEditing()
    {
        const QString shown = "Please describe the steps.";
        SheetFixture f;
        f.h.feedback->behaviour = [shown](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
            throw FeedbackClientError::server(shown);
        };
        QVERIFY(!ViewHost::shown(f.item("feedbackFailureBox")));
        f.fill("Crash", "It broke");
        f.host.click(f.send());
        QTRY_VERIFY(ViewHost::shown(f.item("feedbackFailureBox")));
        f.host.fitHeight();

        // Editing keeps both the input and the message; a retry is possible.
        f.item("feedbackSummaryField")->forceActiveFocus();
        f.host.type(" again");
        QCOMPARE(f.sheet->property("title").toString(), QStringLiteral("Crash again"));
        QCOMPARE(f.sheet->property("description").toString(), QStringLiteral("It broke"));
        QCOMPARE(ViewHost::text(f.item("feedbackFailureMessage")), shown);
        QVERIFY(ViewHost::shown(f.item("feedbackFailureBox")) && f.send()->isEnabled());

        // The next submission clears it.
        f.h.feedback->behaviour = nullptr;
        f.h.feedback->gate = std::make_shared<Gate>();
        f.host.click(f.send());
        QCOMPARE(f.store->feedbackState().kindName(), QStringLiteral("submitting"));
        QVERIFY(!ViewHost::shown(f.item("feedbackFailureBox")));
        QCOMPARE(f.h.feedback->requests.last().title, QStringLiteral("Crash again"));
        f.h.feedback->gate->open();
    }

    // Cancel (idle or sending) and the success view's Close dismiss the sheet and reset it.
    void feedbackSheetCloses_data()
    {
        FeedbackSheetClosesRows::columns();
        FeedbackSheetClosesRows::row("cancel, idle", "idle", "");
        FeedbackSheetClosesRows::row("cancel while sending", "submitting", "");
        FeedbackSheetClosesRows::row("close, issue with identifier", "submitted", "VAN-42");
        FeedbackSheetClosesRows::row("close, issue without identifier", "submitted", "");
    }

    void feedbackSheetCloses()
    {
        const auto [state, identifier] = FeedbackSheetClosesRows::fetch();
        SheetFixture f;
        f.h.feedback->behaviour = [identifier](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
            return FakeFeedbackClient::answer(identifier.isEmpty() ? std::nullopt : std::optional<QString>(identifier));
        };
        if (state == QLatin1String("submitting"))
            f.h.feedback->gate = std::make_shared<Gate>();
        f.fill("Crash", "It broke");
        if (state != QLatin1String("idle")) {
            f.host.click(f.send());
            QTRY_COMPARE(f.store->feedbackState().kindName(), state);
            f.host.fitHeight();
        }
        const bool submitted = state == QLatin1String("submitted");
        QCOMPARE(ViewHost::shown(f.item("feedbackSuccess")), submitted);
        QCOMPARE(ViewHost::shown(f.item("feedbackForm")), !submitted);
        QQuickItem *badge = f.item("feedbackIssueBadge");
        QCOMPARE(ViewHost::shown(badge), !identifier.isEmpty());
        if (!identifier.isEmpty())
            QCOMPARE(ViewHost::childText(badge, "badgeLabel"), QStringLiteral("ISSUE VAN-42"));
        f.order.clear();
        f.host.click(f.item(submitted ? "feedbackCloseButton" : "feedbackCancelButton"));
        QVERIFY(!f.store->showingFeedbackSheet());
        QCOMPARE(f.store->feedbackState(), FeedbackSubmissionState::idle());
        QCOMPARE(f.order.join(' '), state == QLatin1String("idle") ? "showingFeedbackSheet" : "showingFeedbackSheet feedbackState:idle");
        if (f.h.feedback->gate)
            f.h.feedback->gate->open();
    }

    void feedbackKeyboardAloneInTheMainWindow()
    {
        RootFixture f(UiTest::sampleCatalog());
        f.store->setSelectedAppIDValue("notes");
        f.open();
        f.store->setShowingFeedbackSheet(true);
        QQuickItem *summary = nullptr;
        QTRY_VERIFY((summary = f.item("feedbackSummaryField")) && summary->hasActiveFocus());
        QQuickItem *sheetView = f.item("feedbackSheetView");

        // Back from the summary: the app picker, then the type segments.
        f.host.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(f.item("feedbackAppPicker")->hasActiveFocus());
        f.host.key(Qt::Key_Down);
        QCOMPARE(sheetView->property("selectedAppID").toString(), QStringLiteral("timer"));
        f.host.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(f.item("feedbackType_other")->hasActiveFocus());
        f.host.key(Qt::Key_Left);
        QCOMPARE(sheetView->property("type").toInt(), int(FeedbackType::improvement));
        QVERIFY(f.item("feedbackType_improvement")->hasActiveFocus());

        // Forward: picker, summary, details (Return in the summary moves there,
        // Tab leaves it), cancel, send.
        f.host.key(Qt::Key_Tab);
        f.host.key(Qt::Key_Tab);
        f.host.key(Qt::Key_Tab);
        QVERIFY(summary->hasActiveFocus());
        f.host.type("Slow start\n");
        QVERIFY(f.item("feedbackDescriptionField")->hasActiveFocus());
        QVERIFY(ViewHost::shown(f.item("feedbackDescriptionPlaceholder")));
        f.host.type("\n\n");
        // The placeholder goes as soon as the details hold anything, even newlines.
        QVERIFY(!ViewHost::shown(f.item("feedbackDescriptionPlaceholder")));
        f.host.type("Takes ten seconds.");
        f.host.key(Qt::Key_Tab);
        QVERIFY(f.item("feedbackCancelButton")->hasActiveFocus());
        QCOMPARE(sheetView->property("description").toString(), QStringLiteral("\n\nTakes ten seconds."));
        f.host.key(Qt::Key_Tab);
        QVERIFY(f.item("feedbackSubmitButton")->hasActiveFocus());
        f.host.key(Qt::Key_Return);
        QTRY_COMPARE(f.h.feedback->requests.size(), 1);
        QCOMPARE(f.h.feedback->requests.first().type, FeedbackType::improvement);
        QCOMPARE(f.h.feedback->requests.first().appId, std::optional<QString>("timer"));

        // The success view's Close has focus; Return closes and resets.
        QTRY_VERIFY(f.item("feedbackCloseButton") && f.item("feedbackCloseButton")->hasActiveFocus());
        f.host.key(Qt::Key_Return);
        QVERIFY(!f.store->showingFeedbackSheet());
        QCOMPARE(f.store->feedbackState(), FeedbackSubmissionState::idle());

        // A key that would drop a typed draft asks first; Escape there, or Keep editing, keeps every word.
        // Discarding leaves an empty form next time.
        for (int round = 0; round < 2; ++round) {
            f.store->setShowingFeedbackSheet(true);
            QTRY_VERIFY((summary = f.item("feedbackSummaryField")) && summary->hasActiveFocus());
            QCOMPARE(ViewHost::text(summary), QString());
            f.host.type("draft");
            f.host.key(Qt::Key_Escape);
            QQuickItem *keep = nullptr;
            QTRY_VERIFY((keep = f.host.findShown("discardDraftKeep")) && keep->hasActiveFocus());
            QVERIFY(f.store->showingFeedbackSheet());
            f.host.key(round == 0 ? Qt::Key_Escape : Qt::Key_Return);
            QTRY_VERIFY(!f.host.findShown("discardDraftKeep"));
            QVERIFY(f.store->showingFeedbackSheet());
            QCOMPARE(ViewHost::text(summary), QStringLiteral("draft"));
            f.host.key(Qt::Key_W, Qt::ControlModifier);
            QQuickItem *discard = nullptr;
            QTRY_VERIFY((discard = f.host.findShown("discardDraftDiscard")));
            f.host.click(discard);
            QTRY_VERIFY(!f.store->showingFeedbackSheet());
        }
        // Nothing typed: Escape closes at once.
        f.store->setShowingFeedbackSheet(true);
        QTRY_VERIFY((summary = f.item("feedbackSummaryField")) && summary->hasActiveFocus());
        f.host.key(Qt::Key_Escape);
        QVERIFY(!f.store->showingFeedbackSheet());
    }

    void switcherResults_data()
    {
        SwitcherResultsRows::columns();
        const QStringList all{"notes", "timer", "shots", "cafe"};
        SwitcherResultsRows::row("empty query: every published app in catalog order", true, "", all);
        SwitcherResultsRows::row("spaces act as an empty query", true, "   ", all);
        SwitcherResultsRows::row("surrounding spaces trimmed, case ignored", true, "  QUILL ", QStringList{"notes"});
        SwitcherResultsRows::row("name, tagline or category, catalog order", true, "ut", QStringList{"notes", "shots", "cafe"});
        SwitcherResultsRows::row("inner substring of a name", true, "mpo tim", QStringList{"timer"});
        SwitcherResultsRows::row("tags are not searched", true, "markdown", QStringList{});
        SwitcherResultsRows::row("description is not searched", true, "desktop app", QStringList{});
        SwitcherResultsRows::row("bundle id is not searched", true, "com.vantrel", QStringList{});
        SwitcherResultsRows::row("id is not searched", true, "cafe", QStringList{});
        SwitcherResultsRows::row("coming soon never listed", true, "atlas", QStringList{});
        SwitcherResultsRows::row("incomplete never listed", true, "draft", QStringList{});
        SwitcherResultsRows::row("retired never listed", true, "relic", QStringList{});
        SwitcherResultsRows::row("beta hidden when the preference is off", false, "", QStringList{"notes", "shots", "cafe"});
        SwitcherResultsRows::row("beta not found by its name when off", false, "tempo timer", QStringList{});
    }

    void switcherResults()
    {
        const auto [includeBeta, query, expected] = SwitcherResultsRows::fetch();
        SwitcherFixture f;
        f.store->setIncludeBetaApps(includeBeta);
        f.open();
        f.host.type(query);
        QCOMPARE(f.view->property("query").toString(), query);
        QTRY_COMPARE(f.host.shownNamed("quickRow_"), expected);
        QCOMPARE(ViewHost::text(f.item("quickResultsHeader")), QStringLiteral("Apps · %1 result%2").arg(expected.size()).arg(expected.size() == 1 ? "" : "s"));
        QCOMPARE(ViewHost::shown(f.item("quickNoResults")), expected.isEmpty());
        QCOMPARE(f.selectedIndex(), 0);
    }

    void switcherKeysAndClicks()
    {
        SwitcherFixture f;
        f.open();
        f.host.key(Qt::Key_Up);
        QCOMPARE(f.selectedIndex(), 0);
        f.host.key(Qt::Key_Down);
        QCOMPARE(f.selectedIndex(), 1);
        QTRY_VERIFY(f.highlighted("timer"));
        QVERIFY(!f.highlighted("notes"));
        f.host.type("t");  // an edit highlights the first row again
        QCOMPARE(f.selectedIndex(), 0);
        f.host.key(Qt::Key_Down);
        f.host.key(Qt::Key_Backspace);
        QCOMPARE(f.selectedIndex(), 0);
        for (int i = 0; i < 5; ++i)
            f.host.key(Qt::Key_Down);
        QCOMPARE(f.selectedIndex(), 3);
        f.host.key(Qt::Key_Left);
        f.host.key(Qt::Key_Right);
        QCOMPARE(f.selectedIndex(), 3);

        // The catalog changes under the open switcher: only three rows remain.
        f.store->setIncludeBetaApps(false);
        QCOMPARE(f.results().size(), 3);
        QCOMPARE(f.selectedIndex(), 3);
        QVERIFY(!f.highlighted("notes") && !f.highlighted("cafe"));
        f.host.key(Qt::Key_Return);
        QVERIFY(f.presented());
        QVERIFY(f.h.installer->calls.isEmpty());
        // Moving brings the highlight back within the list.
        f.host.key(Qt::Key_Up);
        QCOMPARE(f.selectedIndex(), 2);
        QVERIFY(f.highlighted("cafe"));

        // Without results, moving keeps the index and Return does nothing.
        f.host.type("nothing like this");
        QCOMPARE(f.results(), QStringList());
        f.host.key(Qt::Key_Down);
        QCOMPARE(f.selectedIndex(), 0);
        f.host.key(Qt::Key_Return);
        QVERIFY(f.presented());
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("notes"));
        QVERIFY(f.h.installer->calls.isEmpty() && f.h.workspace->opened.isEmpty());

        // Escape empties the query, the next one closes; so does a click beside the panel, not one inside it.
        f.host.key(Qt::Key_Escape);
        QVERIFY(f.presented());
        QCOMPARE(f.view->property("query").toString(), QString());
        f.host.key(Qt::Key_Escape);
        QVERIFY(!f.presented());
        f.view->setProperty("isPresented", true);
        f.host.click(f.item("quickResultsHeader"));
        QVERIFY(f.presented());
        QTest::mouseClick(f.host.window(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QVERIFY(!f.presented());
        QVERIFY(f.h.installer->calls.isEmpty());

        // Enter runs the row moved to; a click on a row highlights and runs it.
        f.view->setProperty("isPresented", true);
        f.view->setProperty("query", QString());
        f.host.key(Qt::Key_Down);
        f.host.key(Qt::Key_Enter);
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("shots"));
        QCOMPARE(f.h.installer->calls, QStringList{"shots"});
        QVERIFY(!f.presented());
        f.view->setProperty("isPresented", true);
        f.host.click(f.row("cafe"));
        QCOMPARE(f.selectedIndex(), 2);
        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("cafe"));
        QCOMPARE(f.h.installer->calls, (QStringList{"shots", "cafe"}));
        QVERIFY(!f.presented());
    }

    void switcherReturnRunsTheApp_data()
    {
        SwitcherReturnRunsTheAppRows::columns();
        SwitcherReturnRunsTheAppRows::row("installed opens", "installed", true);
        SwitcherReturnRunsTheAppRows::row("update available opens, not updates", "updateAvailable", true);
        SwitcherReturnRunsTheAppRows::row("not installed installs", "notInstalled", false);
    }

    void switcherReturnRunsTheApp()
    {
        const auto [state, opens] = SwitcherReturnRunsTheAppRows::fetch();

        SwitcherFixture f;
        f.reach("notes", state);
        const qsizetype callsBefore = f.h.installer->calls.size();
        f.store->setSelectedAppIDValue("shots");

        f.open();
        QTRY_COMPARE(f.hintOf("notes"), opens ? QStringLiteral("Open") : QStringLiteral("Install"));
        QCOMPARE(f.hintOf("shots"), QStringLiteral("Install"));
        f.host.key(Qt::Key_Return);

        QCOMPARE(f.store->selectedAppIDValue(), QStringLiteral("notes"));
        QVERIFY(!f.presented());
        const QUrl bundle = QUrl::fromLocalFile(f.h.dir.filePath("Applications/notes.app"));
        QCOMPARE(f.h.workspace->opened, opens ? QList<QUrl>{bundle} : QList<QUrl>{});
        QCOMPARE(f.h.installer->calls.mid(callsBefore), opens ? QStringList() : QStringList{"notes"});
        QTRY_COMPARE(f.store->stateFor("notes").kindName(), opens ? state : QStringLiteral("installed"));
    }

    // Escape empties a search field and keeps its focus (the quick switcher stays open); so does its clear button.
    void searchFieldsClearOnEscape_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("top bar") << "searchField";
        QTest::newRow("quick switcher") << "quickSearchField";
    }

    void searchFieldsClearOnEscape()
    {
        QFETCH(QString, field);
        const bool switcher = field == QLatin1String("quickSearchField");
        StoreView f;
        f.openRefreshedMainWindow();
        // The library's All apps, which the search narrows (Home does not).
        f.host.click(f.item("sidebarRow_allApps"));
        if (switcher)
            f.item("rootView")->setProperty("showQuickSwitcher", true);
        QQuickItem *input = nullptr;
        QTRY_VERIFY((input = f.host.findShown(field)));
        input->forceActiveFocus();
        const QString rows = switcher ? QStringLiteral("quickRow_") : QStringLiteral("tile_");
        const int published = 4;
        QTRY_COMPARE(f.host.shownNamed(rows).size(), switcher ? published : int(ManifestPolicy::visibleApps(f.store->manifest(), true).size()));
        const QStringList all = f.host.shownNamed(rows);
        QQuickItem *clear = f.host.find(switcher ? "quickSearchClearButton" : "searchClearButton");
        QVERIFY(clear && !clear->isVisible());
        for (const bool byButton : {false, true}) {
            f.host.type("quill");
            QTRY_COMPARE(f.host.shownNamed(rows), QStringList{"notes"});
            QVERIFY(clear->isVisible());
            if (byButton)
                f.host.click(clear);
            else
                f.host.key(Qt::Key_Escape);
            QCOMPARE(ViewHost::text(input), QString());
            QVERIFY(input->hasActiveFocus());
            QTRY_COMPARE(f.host.shownNamed(rows), all);
            QVERIFY(!clear->isVisible());
        }
        if (switcher)
            QVERIFY(f.item("rootView")->property("showQuickSwitcher").toBool());
        else
            QCOMPARE(f.shell()->property("searchText").toString(), QString());
    }

    // Ctrl+W closes every sheet as Escape does, with the same effect on the store.
    void sheetsCloseOnCtrlW_data()
    {
        QTest::addColumn<QString>("sheet");
        for (const char *sheet : {"feedback", "announcement", "error alert", "remove confirmation"})
            QTest::newRow(sheet) << sheet;
    }

    void sheetsCloseOnCtrlW()
    {
        QFETCH(QString, sheet);
        const bool announcement = sheet == QLatin1String("announcement");
        RootFixture f(announcement ? UiTest::withAnnouncements() : UiTest::sampleCatalog());
        f.openRefreshedMainWindow();
        QString popupName = QStringLiteral("feedbackSheet");
        std::function<bool()> shown = [&] { return f.store->showingFeedbackSheet(); };
        if (announcement) {
            popupName = QStringLiteral("announcementSheet");
            // The next announcement follows the one closed.
            shown = [&] { return f.store->pendingAnnouncement() && f.store->pendingAnnouncement()->id == QLatin1String("a1"); };
        } else if (sheet == QLatin1String("error alert")) {
            popupName = QStringLiteral("errorAlert");
            shown = [&] { return f.store->errorMessage().has_value(); };
            f.store->setErrorMessage(QStringLiteral("The catalog could not be loaded."));
        } else if (sheet == QLatin1String("remove confirmation")) {
            popupName = QStringLiteral("removeConfirmation");
            shown = [&] { return ViewHost::shown(f.item("removeConfirmationCancel")); };
            f.reach("notes", "installed");
            f.store->setSelectedAppIDValue("notes");
            QQuickItem *remove = nullptr;
            QTRY_VERIFY((remove = f.host.findShown("removeButton")));
            f.host.click(remove);
        } else {
            f.store->setShowingFeedbackSheet(true);
        }
        QObject *popup = nullptr;
        QTRY_VERIFY((popup = f.host.window()->findChild<QObject *>(popupName)));
        QTRY_VERIFY(popup->property("opened").toBool() && shown());
        f.host.key(Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!shown());
    }
};

QTEST_MAIN(TestUiOverlays)
#include "tst_ui_overlays.moc"
