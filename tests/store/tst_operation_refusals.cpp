// Why an operation on an app is refused, rule by rule and in the order the
// rules are asked, over plain facts: no installer, records or catalog.

#include "CatalogBuilders.h"
#include "DataRows.h"
#include "store/OperationRefusals.h"

#include <QtTest>
#include <functional>

namespace tc = TestCatalog;

namespace {

using Facts = OperationRefusals::Facts;
using Kind = AppInstallState::Kind;
using Repair = BundleVerification::Repair;

// Nothing installed, the installer at hand, a system new enough for every row's app.
Facts nothing()
{
    Facts f;
    f.handlesInstalledCopies = true;
    f.running = {14, 0, 0};
    return f;
}

// Version 1.0.0 on disk, its bundle recorded, shown as shown.
Facts copy(Kind shown = Kind::installed)
{
    Facts f = nothing();
    f.shown = shown;
    f.installedVersion = QStringLiteral("1.0.0");
    f.bundleKnown = true;
    return f;
}

Facts with(Facts f, const std::function<void(Facts &)> &edit)
{
    edit(f);
    return f;
}

AppManifestItem app(const std::function<void(AppManifestItem &)> &edit = {}, const QString &version = QStringLiteral("1.0.0"))
{
    AppManifestItem a = tc::app(QStringLiteral("notes"), AppReleaseStatus::live, version);
    if (edit)
        edit(a);
    return a;
}

std::optional<Refusal> ask(const QString &operation, const AppManifestItem &app, const Facts &facts)
{
    namespace R = OperationRefusals;
    const QHash<QString, std::function<std::optional<Refusal>()>> rules{
        {QStringLiteral("install"), [&] { return R::install(app, facts); }},
        {QStringLiteral("update"), [&] { return R::update(app, facts); }},
        {QStringLiteral("remove"), [&] { return R::remove(facts); }},
        {QStringLiteral("rollBack"), [&] { return R::rollBack(facts); }},
        {QStringLiteral("open"), [&] { return R::open(facts); }},
        {QStringLiteral("verify"), [&] { return R::verify(facts); }},
        {QStringLiteral("repair"), [&] { return R::repair(facts); }},
        {QStringLiteral("decision"), [&] { return R::decision(facts); }},
        {QStringLiteral("skip"), [&] { return R::skip(facts); }},
    };
    return rules.value(operation)();
}

}  // namespace

class TestOperationRefusals : public QObject
{
    Q_OBJECT
    // operation, app (the catalog's entry too, when listed), listed, facts, expected (nullopt: allowed)
    using RefusalRows = DataRows<QString, AppManifestItem, bool, Facts, std::optional<Refusal>>;

private Q_SLOTS:
    void refusal_data()
    {
        const std::optional<Refusal> allowed;
        RefusalRows::columns();
        RefusalRows::row("install", "install", app(), true, nothing(), allowed);
        RefusalRows::row("install unknown app", "install", app(), false, nothing(), Refusal::unknownApp);
        RefusalRows::row("install app only its receipt describes", "install", app(), false, with(copy(), [](Facts &f) { f.described = true; }), Refusal::notInCatalog);
        RefusalRows::row("install coming soon", "install", tc::app("notes", AppReleaseStatus::comingSoon), true, nothing(), Refusal::comingSoon);
        RefusalRows::row("install retired", "install", tc::app("notes", AppReleaseStatus::retired), true, nothing(), Refusal::retired);
        RefusalRows::row("install without download", "install", app([](auto &a) { a.downloadUrl.reset(); }), true, nothing(), Refusal::noPublishedRelease);
        RefusalRows::row("install without version", "install", app({}, QStringLiteral(" ")), true, nothing(), Refusal::noPublishedRelease);
        RefusalRows::row("install malformed checksum", "install", app([](auto &a) { a.sha256 = QStringLiteral("abc"); }), true, nothing(), Refusal::malformedChecksum);
        RefusalRows::row("install needs newer system", "install", app([](auto &a) { a.minMacOS = QStringLiteral("15.1"); }), true, nothing(), Refusal::systemTooOld);
        RefusalRows::row("install unreadable minimum", "install", app([](auto &a) { a.minMacOS = QStringLiteral("soon"); }), true, nothing(), Refusal::systemTooOld);
        RefusalRows::row("install expired catalog", "install", app(), true, with(nothing(), [](Facts &f) { f.catalogExpired = true; }), Refusal::catalogExpired);
        RefusalRows::row("install expiry before installed", "install", app(), true, with(copy(), [](Facts &f) { f.catalogExpired = true; }), Refusal::catalogExpired);
        RefusalRows::row("install shown installing", "install", app(), true, copy(Kind::installing), Refusal::alreadyInstalling);
        RefusalRows::row("install installer runs, shown failed", "install", app(), true, with(copy(Kind::failed), [](Facts &f) { f.installing = true; }), Refusal::alreadyInstalling);
        RefusalRows::row("install installed", "install", app(), true, copy(), Refusal::alreadyInstalled);
        RefusalRows::row("install staged update by name", "install", app(), true, with(copy(), [](Facts &f) { f.stagedUpdate = true; }), allowed);
        RefusalRows::row("install being removed", "install", app(), true, with(nothing(), [](Facts &f) { f.changing = true; }), Refusal::busy);

        RefusalRows::row("update", "update", app(), true, with(copy(Kind::updateAvailable), [](Facts &f) { f.hasUpdate = true; }), allowed);
        RefusalRows::row("update staged", "update", app(), true, with(copy(), [](Facts &f) { f.stagedUpdate = true; }), allowed);
        RefusalRows::row("update none", "update", app(), true, copy(), Refusal::noUpdate);
        RefusalRows::row("update held", "update", app(), true, with(copy(), [](Facts &f) { f.held = f.hasUpdate = true; }), Refusal::held);
        RefusalRows::row("update held while installing", "update", app(), true, with(copy(Kind::installing), [](Facts &f) { f.held = f.installing = true; }), Refusal::alreadyInstalling);
        RefusalRows::row("update expired catalog", "update", app(), true, with(copy(), [](Facts &f) { f.hasUpdate = f.catalogExpired = true; }), Refusal::catalogExpired);

        RefusalRows::row("remove", "remove", app(), true, copy(), allowed);
        RefusalRows::row("remove unlisted", "remove", app(), false, copy(), allowed);
        RefusalRows::row("remove without installer", "remove", app(), true, with(copy(), [](Facts &f) { f.handlesInstalledCopies = false; }), Refusal::noInstaller);
        RefusalRows::row("remove while installing", "remove", app(), true, with(copy(), [](Facts &f) { f.installing = f.changing = true; }), Refusal::alreadyInstalling);
        RefusalRows::row("remove while changing", "remove", app(), true, with(copy(), [](Facts &f) { f.changing = true; }), Refusal::busy);
        RefusalRows::row("remove nothing", "remove", app(), true, nothing(), Refusal::notInstalled);
        RefusalRows::row("remove unrecorded copy", "remove", app(), true, with(copy(), [](Facts &f) { f.bundleKnown = false; }), Refusal::notInstalled);

        RefusalRows::row("roll back", "rollBack", app(), true, with(copy(), [](Facts &f) { f.hasPrevious = true; }), allowed);
        RefusalRows::row("roll back without previous", "rollBack", app(), true, copy(), Refusal::nothingToRollBack);
        RefusalRows::row("roll back while changing", "rollBack", app(), true, with(copy(), [](Facts &f) { f.hasPrevious = f.changing = true; }), Refusal::busy);

        RefusalRows::row("open", "open", app(), true, copy(), allowed);
        RefusalRows::row("open unrecorded copy", "open", app(), true, with(copy(), [](Facts &f) { f.bundleKnown = false; }), allowed);
        RefusalRows::row("open nothing", "open", app(), true, with(nothing(), [](Facts &f) { f.bundleKnown = true; }), Refusal::notInstalled);

        RefusalRows::row("verify", "verify", app(), false, copy(), allowed);
        RefusalRows::row("verify twice", "verify", app(), true, with(copy(), [](Facts &f) { f.verifying = f.changing = true; }), Refusal::alreadyVerifying);
        RefusalRows::row("verify nothing", "verify", app(), true, nothing(), Refusal::notInstalled);

        RefusalRows::row("repair unverified", "repair", app(), true, copy(), Refusal::nothingToRepair);
        RefusalRows::row("repair nothing found", "repair", app(), true, with(copy(), [](Facts &f) { f.repair = Repair::none; }), Refusal::nothingToRepair);
        RefusalRows::row("repair while verifying", "repair", app(), true, with(copy(), [](Facts &f) { f.repair = Repair::permissions; f.verifying = true; }), Refusal::alreadyVerifying);
        RefusalRows::row("repair bits, unlisted", "repair", app(), false, with(copy(), [](Facts &f) { f.repair = Repair::permissions; }), allowed);
        RefusalRows::row("repair desktop, catalog expired", "repair", app(), false, with(copy(), [](Facts &f) { f.repair = Repair::desktop; f.catalogExpired = true; }), allowed);
        RefusalRows::row("reinstall", "repair", app(), true, with(copy(), [](Facts &f) { f.repair = Repair::reinstall; }), allowed);
        RefusalRows::row("reinstall unlisted", "repair", app(), false, with(copy(), [](Facts &f) { f.repair = Repair::reinstall; }), Refusal::notInCatalog);
        RefusalRows::row("reinstall other version", "repair", app({}, QStringLiteral("2.0.0")), true, with(copy(), [](Facts &f) { f.repair = Repair::reinstall; }), Refusal::versionNotOffered);
        RefusalRows::row("reinstall retired", "repair", tc::app("notes", AppReleaseStatus::retired), true, with(copy(), [](Facts &f) { f.repair = Repair::reinstall; }), Refusal::retired);

        RefusalRows::row("decide", "decision", app(), false, copy(), allowed);
        RefusalRows::row("decide while installing", "decision", app(), true, with(copy(), [](Facts &f) { f.installing = true; }), Refusal::busy);
        RefusalRows::row("decide while changing", "decision", app(), true, with(copy(), [](Facts &f) { f.changing = true; }), Refusal::busy);
        RefusalRows::row("decide without copy", "decision", app(), true, with(nothing(), [](Facts &f) { f.bundleKnown = true; }), Refusal::notInstalled);
        RefusalRows::row("decide unrecorded copy", "decision", app(), true, with(copy(), [](Facts &f) { f.bundleKnown = false; }), Refusal::notInstalled);

        RefusalRows::row("skip newer", "skip", app({}, QStringLiteral("1.2.0")), true, copy(Kind::updateAvailable), allowed);
        RefusalRows::row("skip same version", "skip", app(), true, copy(), Refusal::noUpdate);
        RefusalRows::row("skip older", "skip", app({}, QStringLiteral("0.9.0")), true, copy(), Refusal::noUpdate);
        RefusalRows::row("skip unlisted", "skip", app({}, QStringLiteral("1.2.0")), false, copy(), Refusal::noUpdate);
        RefusalRows::row("skip while changing", "skip", app({}, QStringLiteral("1.2.0")), true, with(copy(), [](Facts &f) { f.changing = true; }), Refusal::busy);
    }

    void refusal()
    {
        auto [operation, entry, listed, facts, expected] = RefusalRows::fetch();
        facts.listed = listed ? &entry : nullptr;
        QCOMPARE(ask(operation, entry, facts), expected);
    }
};

QTEST_GUILESS_MAIN(TestOperationRefusals)
#include "tst_operation_refusals.moc"
