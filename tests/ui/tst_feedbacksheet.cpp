// The feedback sheet offscreen over a store with substitute collaborators:
// the send rule, the request it sends, the success and failure views, the
// close action, and keyboard use inside the main window's sheet.

#include "ViewHost.h"
#include "SymbolGlyphs.h"

#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VantrelPlugin)

namespace {

LauncherManifest catalog()
{
    AppManifestItem alpha = makeApp(QStringLiteral("alpha"));
    alpha.name = QStringLiteral("Inkwell");
    alpha.accent = AppAccent::lime;
    AppManifestItem bravo = makeApp(QStringLiteral("bravo"), AppReleaseStatus::beta);
    bravo.name = QStringLiteral("Clipstack");
    AppManifestItem charlie = makeApp(QStringLiteral("charlie"));
    charlie.name = QStringLiteral("Timekeep");
    AppManifestItem old = makeApp(QStringLiteral("foxtrot"), AppReleaseStatus::retired);
    old.name = QStringLiteral("Oldnotes");
    AppManifestItem soon = makeApp(QStringLiteral("delta"), AppReleaseStatus::comingSoon);
    soon.name = QStringLiteral("Later");
    return makeManifest({alpha, bravo, charlie, old, soon});
}

FeedbackSubmissionResponse answer(std::optional<QString> identifier)
{
    FeedbackSubmissionResponse response;
    response.ok = true;
    response.issue.id = QStringLiteral("issue-9");
    response.issue.identifier = std::move(identifier);
    return response;
}

struct Fixture {
    StoreHarness h;
    std::unique_ptr<LauncherStore> store;
    ViewHost host;
    QObject *sheet = nullptr;
    QStringList order;  // store fields in the order they changed

    explicit Fixture(const std::function<void(LauncherStore &)> &prepare = {})
    {
        store = h.makeStore(catalog());
        if (prepare)
            prepare(*store);
        store->setShowingFeedbackSheet(true);
        QObject::connect(store.get(), &LauncherStore::showingFeedbackSheetChanged, store.get(),
                         [this] { order.append(QStringLiteral("showingFeedbackSheet")); });
        QObject::connect(store.get(), &LauncherStore::feedbackStateChanged, store.get(),
                         [this] { order.append(QStringLiteral("feedbackState:") + store->feedbackState().kindName()); });
        sheet = host.load(QStringLiteral("sheets/FeedbackSheet.qml"),
                          {{QStringLiteral("store"), QVariant::fromValue(store.get())}}, QSize(500, 700));
        host.fitHeight();
    }
    QQuickItem *item(const char *name) const { return host.find(QLatin1String(name)); }
    QQuickItem *submitButton() const { return item("feedbackSubmitButton"); }
    void fill(const QString &title, const QString &description)
    {
        sheet->setProperty("title", title);
        sheet->setProperty("description", description);
    }
    QStringList pickerEntries() const
    {
        QStringList texts;
        for (const QVariant &entry : sheet->property("appChoices").toList())
            texts.append(entry.toMap().value(QStringLiteral("text")).toString());
        return texts;
    }
    QString pickerShows() const { return item("feedbackAppPicker")->property("displayText").toString(); }
};

// Presses a pop-up picker and chooses the entry with this label.
void choose(ViewHost &host, QQuickItem *picker, const QString &label)
{
    host.click(picker);
    QTRY_VERIFY(picker->property("popup").value<QObject *>()->property("opened").toBool());
    std::function<QQuickItem *(QQuickItem *)> entryIn = [&](QQuickItem *item) -> QQuickItem * {
        if (item->inherits("QQuickItemDelegate") && ViewHost::shown(item)
            && item->property("modelData").toMap().value(QStringLiteral("text")).toString() == label)
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = entryIn(child))
                return found;
        }
        return nullptr;
    };
    QQuickItem *entry = nullptr;
    QTRY_VERIFY((entry = entryIn(host.window()->contentItem())));
    host.click(entry);
    QTRY_VERIFY(!picker->property("popup").value<QObject *>()->property("visible").toBool());
}

}  // namespace

class TestFeedbackSheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        SymbolGlyphs::ensureFontLoaded();
    }

    void sendNeedsBothTextsAndNoSendRunning_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("submitting");
        QTest::addColumn<bool>("enabled");

        QTest::newRow("both empty") << "" << "" << false << false;
        QTest::newRow("no description") << "Crash" << "" << false << false;
        QTest::newRow("no summary") << "" << "It broke" << false << false;
        QTest::newRow("summary of spaces") << "    " << "It broke" << false << false;
        QTest::newRow("description of newlines") << "Crash" << "\n\n\n" << false << false;
        QTest::newRow("tabs, spaces and newlines only") << " \t\n" << "\n \t" << false << false;
        QTest::newRow("one visible character each") << "C" << "d" << false << true;
        QTest::newRow("padded texts") << "  Crash \n" << "\n It broke \n" << false << true;
        QTest::newRow("filled, while a send is running") << "Crash" << "It broke" << true << false;
    }

    void sendNeedsBothTextsAndNoSendRunning()
    {
        QFETCH(QString, title);
        QFETCH(QString, description);
        QFETCH(bool, submitting);
        QFETCH(bool, enabled);

        Fixture f;
        if (submitting)
            f.store->setFeedbackState(FeedbackSubmissionState::submitting());
        f.fill(title, description);
        QCOMPARE(f.sheet->property("canSubmit").toBool(), enabled);
        QCOMPARE(f.submitButton()->isEnabled(), enabled);
        QCOMPARE(ViewHost::text(f.submitButton()), submitting ? QStringLiteral("Sending") : QStringLiteral("Send"));
        QCOMPARE(f.submitButton()->property("symbol").toString(),
                 submitting ? QStringLiteral("hourglass") : QStringLiteral("paperplane"));

        f.host.click(f.submitButton());
        QCOMPARE(f.h.feedback->requests.size(), enabled ? 1 : 0);
    }

    void typedInputEnablesSend()
    {
        Fixture f;
        QVERIFY(f.item("feedbackSummaryField")->hasActiveFocus());
        f.host.type(QStringLiteral("   "));
        f.host.key(Qt::Key_Return);  // on to the details
        QVERIFY(f.item("feedbackDescriptionField")->hasActiveFocus());
        f.host.key(Qt::Key_Return);
        f.host.key(Qt::Key_Return);
        QCOMPARE(f.sheet->property("description").toString(), QStringLiteral("\n\n"));
        QVERIFY(!f.submitButton()->isEnabled());
        // The placeholder goes as soon as the details hold anything, even newlines.
        QVERIFY(!ViewHost::shown(f.item("feedbackDescriptionPlaceholder")));
        f.host.type(QStringLiteral("x"));
        QVERIFY(!f.submitButton()->isEnabled());
        f.item("feedbackSummaryField")->forceActiveFocus();
        f.host.type(QStringLiteral("y"));
        QVERIFY(f.submitButton()->isEnabled());
    }

    void placeholderShowsOnlyWhileTheDetailsAreEmpty()
    {
        Fixture f;
        QVERIFY(ViewHost::shown(f.item("feedbackDescriptionPlaceholder")));
        QCOMPARE(ViewHost::text(f.item("feedbackDescriptionPlaceholder")),
                 QStringLiteral("What happened, what did you expect, or what would you like to see?"));
        f.fill(QString(), QStringLiteral(" "));
        QVERIFY(!ViewHost::shown(f.item("feedbackDescriptionPlaceholder")));
        f.fill(QString(), QString());
        QVERIFY(ViewHost::shown(f.item("feedbackDescriptionPlaceholder")));
    }

    void pickerOffersVisibleAppsOnly()
    {
        Fixture f;
        QCOMPARE(f.pickerEntries(), (QStringList{"No app", "Inkwell", "Clipstack", "Timekeep", "Later"}));
        f.store->setIncludeBetaApps(false);
        QCOMPARE(f.pickerEntries(), (QStringList{"No app", "Inkwell", "Timekeep", "Later"}));
    }

    void requestCarriesTrimmedTextsTypeAndRelatedApp_data()
    {
        QTest::addColumn<QString>("selectedInWindow");
        QTest::addColumn<bool>("includeBeta");
        QTest::addColumn<QString>("pickerStarts");
        QTest::addColumn<QString>("choice");  // empty: keep the preset
        QTest::addColumn<QVariant>("sentAppId");

        QTest::newRow("selected app preset") << "charlie" << true << "Timekeep" << "" << QVariant("charlie");
        QTest::newRow("no app selected in the window")
            << "bravo" << false << "No app" << "" << QVariant();
        QTest::newRow("preset cleared by the user") << "charlie" << true << "Timekeep" << "No app" << QVariant();
        QTest::newRow("another app picked") << "alpha" << true << "Inkwell" << "Clipstack" << QVariant("bravo");
    }

    void requestCarriesTrimmedTextsTypeAndRelatedApp()
    {
        QFETCH(QString, selectedInWindow);
        QFETCH(bool, includeBeta);
        QFETCH(QString, pickerStarts);
        QFETCH(QString, choice);
        QFETCH(QVariant, sentAppId);

        Fixture f([&](LauncherStore &store) {
            store.setIncludeBetaApps(includeBeta);
            store.setSelectedAppIDValue(selectedInWindow);
        });
        QCOMPARE(f.pickerShows(), pickerStarts);
        if (!choice.isEmpty())
            choose(f.host, f.item("feedbackAppPicker"), choice);

        f.host.click(f.item("feedbackType_idea"));
        QCOMPARE(f.sheet->property("type").toString(), QStringLiteral("idea"));
        f.fill(QStringLiteral("  Crash on   launch \n"), QStringLiteral("\n  It quits.\nEvery time.  \n\n"));
        f.host.click(f.submitButton());

        QTRY_COMPARE(f.h.feedback->requests.size(), 1);
        const FeedbackSubmissionRequest &request = f.h.feedback->requests.first();
        QCOMPARE(request.type, FeedbackType::idea);
        QCOMPARE(request.title, QStringLiteral("Crash on   launch"));
        QCOMPARE(request.description, QStringLiteral("It quits.\nEvery time."));
        QCOMPARE(request.appId.has_value(), sentAppId.isValid());
        if (sentAppId.isValid())
            QCOMPARE(*request.appId, sentAppId.toString());
        QTRY_COMPARE(f.store->feedbackState().kindName(), QStringLiteral("submitted"));
    }

    void successViewWithAndWithoutIdentifier_data()
    {
        QTest::addColumn<QVariant>("identifier");
        QTest::newRow("with identifier") << QVariant(QStringLiteral("VAN-42"));
        QTest::newRow("without identifier") << QVariant();
    }

    void successViewWithAndWithoutIdentifier()
    {
        QFETCH(QVariant, identifier);
        Fixture f;
        f.h.feedback->behaviour = [identifier](const FeedbackSubmissionRequest &) {
            return answer(identifier.isValid() ? std::optional<QString>(identifier.toString()) : std::nullopt);
        };
        f.fill(QStringLiteral("Crash"), QStringLiteral("It broke"));
        f.host.click(f.submitButton());
        QTRY_VERIFY(ViewHost::shown(f.item("feedbackSuccess")));
        QVERIFY(!ViewHost::shown(f.item("feedbackForm")));
        QCOMPARE(ViewHost::text(f.item("feedbackSuccessTitle")), QStringLiteral("Feedback sent"));
        QQuickItem *badge = f.item("feedbackIssueBadge");
        QCOMPARE(ViewHost::shown(badge), identifier.isValid());
        if (identifier.isValid()) {
            QCOMPARE(ViewHost::text(badge), QStringLiteral("Issue VAN-42"));
            const auto labels = badge->findChildren<QQuickItem *>(QStringLiteral("badgeLabel"));
            QCOMPARE(labels.first()->property("text").toString(), QStringLiteral("ISSUE VAN-42"));
        }
        // Close dismisses and resets, in that order.
        f.order.clear();
        f.host.click(f.item("feedbackCloseButton"));
        QCOMPARE(f.order, (QStringList{"showingFeedbackSheet", "feedbackState:idle"}));
        QVERIFY(!f.store->showingFeedbackSheet());
    }

    void failureMessageStaysWhileEditing_data()
    {
        QTest::addColumn<bool>("serverMessage");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the service's own words") << true << "Please describe the steps.";
        QTest::newRow("any other failure") << false << "Feedback could not be sent right now.";
    }

    void failureMessageStaysWhileEditing()
    {
        QFETCH(bool, serverMessage);
        QFETCH(QString, shown);
        Fixture f;
        f.h.feedback->behaviour = [serverMessage](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
            if (serverMessage)
                throw FeedbackClientError::server(QStringLiteral("Please describe the steps."));
            throw FeedbackClientError::invalidStatus(502);
        };
        QVERIFY(!ViewHost::shown(f.item("feedbackFailureBox")));
        f.fill(QStringLiteral("Crash"), QStringLiteral("It broke"));
        f.host.click(f.submitButton());
        QTRY_VERIFY(ViewHost::shown(f.item("feedbackFailureBox")));
        QCOMPARE(ViewHost::text(f.item("feedbackFailureMessage")), shown);
        f.host.fitHeight();

        // Editing keeps both the input and the message; a retry is possible.
        f.item("feedbackSummaryField")->forceActiveFocus();
        f.host.type(QStringLiteral(" again"));
        QCOMPARE(f.sheet->property("title").toString(), QStringLiteral("Crash again"));
        QCOMPARE(f.sheet->property("description").toString(), QStringLiteral("It broke"));
        QVERIFY(ViewHost::shown(f.item("feedbackFailureBox")));
        QCOMPARE(ViewHost::text(f.item("feedbackFailureMessage")), shown);
        QVERIFY(f.submitButton()->isEnabled());

        // The next submission clears it.
        f.h.feedback->behaviour = [](const FeedbackSubmissionRequest &) { return answer(std::nullopt); };
        f.h.feedback->gate = std::make_shared<Gate>();
        f.host.click(f.submitButton());
        QCOMPARE(f.store->feedbackState().kindName(), QStringLiteral("submitting"));
        QVERIFY(!ViewHost::shown(f.item("feedbackFailureBox")));
        QVERIFY(!f.submitButton()->isEnabled());
        QCOMPARE(f.h.feedback->requests.last().title, QStringLiteral("Crash again"));
        f.h.feedback->gate->open();
        QTRY_VERIFY(ViewHost::shown(f.item("feedbackSuccess")));
    }

    void cancelDismissesAndResets_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("idle") << "idle";
        QTest::newRow("after a failure") << "failed";
        QTest::newRow("while sending") << "submitting";
    }

    void cancelDismissesAndResets()
    {
        QFETCH(QString, state);
        Fixture f;
        f.fill(QStringLiteral("Crash"), QStringLiteral("It broke"));
        if (state == QLatin1String("failed")) {
            f.h.feedback->behaviour = [](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
                throw FeedbackClientError::invalidResponse();
            };
            f.host.click(f.submitButton());
            QTRY_COMPARE(f.store->feedbackState().kindName(), QStringLiteral("failed"));
            f.host.fitHeight();
        } else if (state == QLatin1String("submitting")) {
            f.h.feedback->gate = std::make_shared<Gate>();
            f.host.click(f.submitButton());
            QCOMPARE(f.store->feedbackState().kindName(), QStringLiteral("submitting"));
        }
        f.order.clear();
        f.host.click(f.item("feedbackCancelButton"));
        QVERIFY(!f.store->showingFeedbackSheet());
        QCOMPARE(f.store->feedbackState(), FeedbackSubmissionState::idle());
        if (state == QLatin1String("idle"))
            QCOMPARE(f.order, QStringList{"showingFeedbackSheet"});
        else
            QCOMPARE(f.order, (QStringList{"showingFeedbackSheet", "feedbackState:idle"}));
        if (f.h.feedback->gate)
            f.h.feedback->gate->open();
    }

    void keyboardAloneInTheMainWindow()
    {
        StoreHarness h;
        auto store = h.makeStore(catalog());
        store->setOnboardingComplete(true);
        store->setSelectedAppIDValue(QStringLiteral("alpha"));
        ViewHost host;
        QObject *root = host.load(QStringLiteral("shell/RootView.qml"),
                                  {{QStringLiteral("store"), QVariant::fromValue(store.get())}});
        QVERIFY(root);
        store->setShowingFeedbackSheet(true);
        QQuickItem *summary = nullptr;
        QTRY_VERIFY((summary = host.find(QStringLiteral("feedbackSummaryField"))) && summary->hasActiveFocus());
        QQuickItem *sheetView = host.find(QStringLiteral("feedbackSheetView"));

        // Back from the summary: the app picker, then the type segments.
        host.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QQuickItem *picker = host.find(QStringLiteral("feedbackAppPicker"));
        QVERIFY(picker->hasActiveFocus());
        host.key(Qt::Key_Down);
        QCOMPARE(sheetView->property("selectedAppID").toString(), QStringLiteral("bravo"));
        host.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(host.find(QStringLiteral("feedbackType_other"))->hasActiveFocus());
        host.key(Qt::Key_Left);
        QCOMPARE(sheetView->property("type").toString(), QStringLiteral("improvement"));
        QVERIFY(host.find(QStringLiteral("feedbackType_improvement"))->hasActiveFocus());

        // Forward: picker, summary, details (Tab leaves it), cancel, send.
        host.key(Qt::Key_Tab);
        host.key(Qt::Key_Tab);
        host.key(Qt::Key_Tab);
        QVERIFY(summary->hasActiveFocus());
        host.type(QStringLiteral("Slow start"));
        host.key(Qt::Key_Tab);
        QVERIFY(host.find(QStringLiteral("feedbackDescriptionField"))->hasActiveFocus());
        host.type(QStringLiteral("Takes ten seconds."));
        host.key(Qt::Key_Tab);
        QVERIFY(host.find(QStringLiteral("feedbackCancelButton"))->hasActiveFocus());
        QCOMPARE(sheetView->property("description").toString(), QStringLiteral("Takes ten seconds."));
        host.key(Qt::Key_Tab);
        QQuickItem *send = host.find(QStringLiteral("feedbackSubmitButton"));
        QVERIFY(send->hasActiveFocus());
        host.key(Qt::Key_Return);
        QTRY_COMPARE(h.feedback->requests.size(), 1);
        QCOMPARE(h.feedback->requests.first().type, FeedbackType::improvement);
        QCOMPARE(h.feedback->requests.first().appId, std::optional<QString>(QStringLiteral("bravo")));
        QTRY_VERIFY(ViewHost::shown(host.find(QStringLiteral("feedbackSuccess"))));

        // The success view's Close has focus; Return closes and resets.
        QTRY_VERIFY(host.find(QStringLiteral("feedbackCloseButton"))->hasActiveFocus());
        host.key(Qt::Key_Return);
        QVERIFY(!store->showingFeedbackSheet());
        QCOMPARE(store->feedbackState(), FeedbackSubmissionState::idle());

        // Escape on a fresh sheet closes it too, with an empty form next time.
        store->setShowingFeedbackSheet(true);
        QTRY_VERIFY((summary = host.find(QStringLiteral("feedbackSummaryField"))) && summary->hasActiveFocus());
        QCOMPARE(summary->property("text").toString(), QString());
        host.type(QStringLiteral("draft"));
        host.key(Qt::Key_Escape);
        QVERIFY(!store->showingFeedbackSheet());
        store->setShowingFeedbackSheet(true);
        QTRY_VERIFY((summary = host.find(QStringLiteral("feedbackSummaryField"))) && summary->hasActiveFocus());
        QCOMPARE(summary->property("text").toString(), QString());
    }

    void screenshots()
    {
        StoreHarness h;
        auto store = h.makeStore(catalog());
        store->setOnboardingComplete(true);
        store->setSelectedAppIDValue(QStringLiteral("charlie"));
        ViewHost host;
        QObject *root = host.load(QStringLiteral("shell/RootView.qml"),
                                  {{QStringLiteral("store"), QVariant::fromValue(store.get())}});
        QVERIFY(root);
        store->setShowingFeedbackSheet(true);
        QQuickItem *sheetView = nullptr;
        QTRY_VERIFY((sheetView = host.find(QStringLiteral("feedbackSheetView"))));
        QVERIFY(QFileInfo::exists(host.screenshot(QStringLiteral("feedback-form"))));

        h.feedback->behaviour = [](const FeedbackSubmissionRequest &) -> FeedbackSubmissionResponse {
            throw FeedbackClientError::server(QStringLiteral("The feedback service is busy. Try again in a minute."));
        };
        sheetView->setProperty("title", QStringLiteral("Timekeep forgets the last session"));
        sheetView->setProperty("description",
                               QStringLiteral("After a restart the timer list is empty.\nIt happens every morning."));
        host.click(host.find(QStringLiteral("feedbackSubmitButton")));
        QTRY_VERIFY(ViewHost::shown(host.find(QStringLiteral("feedbackFailureBox"))));
        QVERIFY(QFileInfo::exists(host.screenshot(QStringLiteral("feedback-failure"))));

        h.feedback->behaviour = [](const FeedbackSubmissionRequest &) { return answer(QStringLiteral("VAN-128")); };
        host.click(host.find(QStringLiteral("feedbackSubmitButton")));
        QTRY_VERIFY(ViewHost::shown(host.find(QStringLiteral("feedbackSuccess"))));
        QVERIFY(QFileInfo::exists(host.screenshot(QStringLiteral("feedback-success"))));
    }
};

QTEST_MAIN(TestFeedbackSheet)
#include "tst_feedbacksheet.moc"
