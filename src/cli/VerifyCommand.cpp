// `vantrel verify`: installed apps compared with what their install placed,
// from the records alone; no catalog, no network, nothing written to a bundle.

#include "VerifyCommand.h"

#include "CliCommand.h"

#include "DefaultCollaborators.h"
#include "Interrupt.h"
#include "LinuxWorkspace.h"
#include "PlistBundleInspector.h"
#include "SettingsUserDefaults.h"
#include "codec/EnumNames.h"
#include "install/InstalledCopyOperations.h"
#include "store/InstallRecords.h"
#include "store/InstalledAppsSync.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <unistd.h>

namespace {

QString shownPath(const QByteArray &path)
{
    return Cli::printable(QFile::decodeName(path));
}

// A line per ten percent (JSON lines on standard output, or lines on
// standard error), or one line redrawn on a terminal. Reports come only from
// checks that last: a quick one prints none.
class VerifyProgressLine
{
public:
    VerifyProgressLine(QString appId, bool json)
        : m_appId(std::move(appId)), m_json(json), m_terminal(!json && ::isatty(STDERR_FILENO))
    {
    }
    ~VerifyProgressLine()
    {
        if (m_drawn)
            Cli::err() << "\r\033[K" << Qt::flush;
    }

    void report(qint64 done, qint64 total)
    {
        if (total <= 0)
            return;
        const int percent = int(std::min<qint64>(100, done * 100 / total));
        if (m_terminal) {
            Cli::err() << '\r' << qtTrId("cliVerifying").arg(Cli::printable(m_appId)).arg(percent) << Qt::flush;
            m_drawn = true;
            return;
        }
        if (percent / 10 == m_lastTenth)
            return;
        m_lastTenth = percent / 10;
        if (m_json)
            Cli::printJson({{QStringLiteral("id"), m_appId}, {QStringLiteral("progress"), percent / 100.0}});
        else
            Cli::err() << qtTrId("cliVerifying").arg(Cli::printable(m_appId)).arg(percent) << Qt::endl;
    }

private:
    QString m_appId;
    bool m_json;
    bool m_terminal;
    bool m_drawn = false;
    int m_lastTenth = -1;
};

void printResult(const QString &appId, const BundleVerification &result, bool json)
{
    if (json) {
        Cli::printJson(verificationJson(appId, result));
        return;
    }
    const QString version = result.receiptVersion.isEmpty() ? QString() : QLatin1Char(' ') + Cli::printable(result.receiptVersion);
    Cli::out() << Cli::printable(appId) << version << ": " << result.summary() << "\n";
    for (const VerificationFinding &finding : result.findings)
        Cli::out() << "  " << BundleVerification::kindLabel(finding.kind) << ": " << shownPath(finding.path) << "\n";
    Cli::out().flush();
}

// Errors outrank damage, damage outranks intact.
int statusOf(const BundleVerification &result)
{
    switch (result.status) {
    case BundleVerification::Status::intact: return CliExit::ok;
    case BundleVerification::Status::damaged:
    case BundleVerification::Status::legacyReceipt: return CliExit::damaged;
    case BundleVerification::Status::unreadableReceipt: return CliExit::failure;
    case BundleVerification::Status::cancelled: return InterruptWatch::exitStatus;
    }
    return CliExit::failure;
}

int worse(int a, int b)
{
    const auto rank = [](int status) { return status == CliExit::failure ? 2 : status == CliExit::damaged ? 1 : 0; };
    return rank(b) > rank(a) ? b : a;
}

int runVerify(const CliInvocation &call)
{
    const bool json = call.isSet(QStringLiteral("json"));
    const std::shared_ptr<DesktopEntries> desktop = defaultDesktopEntries(std::make_shared<LinuxWorkspace>(
        std::make_shared<PlistBundleInspector>(), LinuxWorkspace::defaultSearchRoots(defaultInstallRoot())));
    // Entries of bundles deleted by hand go, as after any command; the others are checked below as they are.
    const QHash<QString, InstallRecords::Recorded> installed = InstallRecords(std::make_shared<SettingsUserDefaults>())
        .reconcile([&desktop](const QHash<QString, InstallRecords::Recorded> &recorded) {
            if (desktop)
                desktop->tidy(InstalledAppsSync::desktopApps(recorded));
        });
    QStringList ids = call.positional;
    for (const QString &id : std::as_const(ids)) {
        if (!installed.contains(id)) {
            Cli::err() << "vantrel verify: " << qtTrId("cliNotInstalled").arg(Cli::printable(id)) << Qt::endl;
            return CliExit::failure;
        }
    }
    if (ids.isEmpty()) {
        ids = installed.keys();
        ids.sort();
    }
    if (ids.isEmpty() && !json)
        Cli::out() << qtTrId("cliNoAppsInstalled") << Qt::endl;

    const std::shared_ptr<InstalledCopyOperations> copies = defaultInstalledCopies(defaultInstallRoot());
    auto cancel = std::make_shared<std::atomic_bool>(false);
    // Ctrl-C stops the check under way and starts no other.
    const InterruptWatch interrupt([cancel] { cancel->store(true); });
    int status = CliExit::ok;
    for (const QString &id : std::as_const(ids)) {
        VerifyProgressLine line(id, json);
        VerifyControl control;
        control.cancel = cancel;
        control.onProgress = [&line](qint64 done, qint64 total) { line.report(done, total); };
        BundleVerification result;
        try {
            result = waitForTask(copies->verify(id, installed.value(id).bundle, control));
        } catch (const LauncherError &error) {
            Cli::err() << "vantrel verify: " << Cli::printable(id) << ": " << Cli::printable(error.localizedDescription()) << Qt::endl;
            status = worse(status, CliExit::failure);
            continue;
        }
        if (result.status == BundleVerification::Status::cancelled)
            return InterruptWatch::exitStatus;
        if (desktop)
            result.addFindings(desktop->check(InstalledAppsSync::desktopApp(id, installed.value(id))));
        printResult(id, result, json);
        status = worse(status, statusOf(result));
    }
    return status;
}

}  // namespace

QJsonObject verificationJson(const QString &appId, const BundleVerification &result)
{
    QJsonArray findings;
    for (const VerificationFinding &finding : result.findings)
        findings.append(QJsonObject{{QStringLiteral("kind"), EnumNames::name(finding.kind)},
                                    {QStringLiteral("path"), QFile::decodeName(finding.path)}});
    QJsonObject object{{QStringLiteral("id"), appId},
                       {QStringLiteral("version"), result.receiptVersion},
                       {QStringLiteral("status"), EnumNames::name(result.status)},
                       {QStringLiteral("repair"), EnumNames::name(result.repair())},
                       {QStringLiteral("summary"), result.summary()},
                       {QStringLiteral("findings"), findings}};
    if (!result.problem.isEmpty())
        object.insert(QStringLiteral("problem"), result.problem);
    return object;
}

void registerVerifyCommand(CliRegistry &registry)
{
    registry.add({
        .name = QStringLiteral("verify"),
        .usage = QStringLiteral("verify [--json] [--lang en|pl|de] [ID...]"),
        .summaryId = QT_TRID_NOOP("cliVerifySummary"),
        .options = {{QStringLiteral("json"), QT_TRID_NOOP("cliProgressJsonOption")}},
        .arguments = {{QStringLiteral("ID..."), QT_TRID_NOOP("cliVerifyIdsArgument")}},
        .takesLanguage = true,
        .run = runVerify,
    });
}
