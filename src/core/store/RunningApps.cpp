#include "RunningApps.h"

#include "install/BlockingWork.h"
#include "install/InstalledCopies.h"

#include <QCoroFuture>
#include <QCoroTimer>
#include <QPointer>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

using namespace std::chrono_literals;

// A running app is looked for this often while something waits for it.
constexpr auto quitPoll = 100ms;
constexpr auto waitPoll = 1000ms;
constexpr auto restartPoll = 3000ms;

QList<qint64> pidsOf(const QList<RunningProcess> &processes)
{
    QList<qint64> pids;
    for (const RunningProcess &process : processes)
        pids << process.pid;
    return pids;
}

bool isUnder(const QString &file, const QString &folder)
{
    return file.startsWith(folder + QLatin1Char('/'));
}

}  // namespace

RunningApps::RunningApps(std::shared_ptr<RunningProcesses> processes, InstalledApps *apps, QObject *parent)
    : QObject(parent), m_processes(std::move(processes)), m_apps(apps), m_recheck(new QTimer(this))
{
    m_recheck->setInterval(restartPoll);
    connect(m_recheck, &QTimer::timeout, this, &RunningApps::refreshRestartNeeded);
    // A change here or in another process may leave an old process behind, or end one.
    connect(m_apps, &InstalledApps::installedChanged, this, &RunningApps::refreshRestartNeeded);
    connect(m_apps, &InstalledApps::operationFinished, this, &RunningApps::refreshRestartNeeded);
}

RunningApps::~RunningApps()
{
    for (QFuture<QList<RunningProcess>> &scan : m_scans)
        scan.waitForFinished();
}

QCoro::Task<QList<RunningProcess>> RunningApps::scan(QStringList folders) const
{
    m_scans.removeIf([](const QFuture<QList<RunningProcess>> &done) { return done.isFinished(); });
    QFuture<QList<RunningProcess>> future
        = QtConcurrent::run(BlockingWork::pool(), [processes = m_processes, folders] { return processes->runningFrom(folders); });
    m_scans.append(future);
    QList<RunningProcess> found = co_await future;
    co_return found;
}

QString RunningApps::bundlePath(const QString &appId) const
{
    const QUrl url = m_apps->urls().value(appId);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

QCoro::Task<QList<RunningProcess>> RunningApps::processesOf(QString appId) const
{
    const QString bundle = bundlePath(appId);
    if (!m_processes || bundle.isEmpty())
        co_return QList<RunningProcess>{};
    // Only what runs the bundle's files as they are now: a replaced copy's process is no obstacle.
    const QStringList folders{bundle};
    QList<RunningProcess> found = co_await scan(folders);
    found.removeIf([](const RunningProcess &process) { return process.deleted; });
    co_return found;
}

QCoro::Task<void> RunningApps::guard(AppManifestItem app, Change change, Start start)
{
    // An update asked for again while one waits for the app to quit: that one goes ahead when it does.
    if (change == Change::update && m_waiting.contains(app.id))
        co_return;
    // A change refused anyway is not worth a question: it says why at once.
    if (refusal(app, change)) {
        start();
        co_return;
    }
    QPointer<RunningApps> self(this);
    const QList<RunningProcess> running = co_await processesOf(app.id);
    if (!self)
        co_return;
    if (running.isEmpty()) {
        start();
        co_return;
    }
    m_questions.append({app, change, std::move(start), pidsOf(running)});
    if (m_questions.size() == 1)
        Q_EMIT questionChanged();
}

std::optional<Refusal> RunningApps::refusal(const AppManifestItem &app, Change change) const
{
    switch (change) {
    case Change::update: return m_apps->updateRefusal(app);
    case Change::remove: return m_apps->removeRefusal(app);
    case Change::rollBack: return m_apps->rollBackRefusal(app);
    case Change::repair: return m_apps->repairRefusal(app);
    }
    return std::nullopt;
}

std::optional<RunningApps::Question> RunningApps::takeQuestion()
{
    if (m_questions.isEmpty())
        return std::nullopt;
    Question question = m_questions.takeFirst();
    Q_EMIT questionChanged();
    return question;
}

void RunningApps::quitAndContinue()
{
    if (std::optional<Question> question = takeQuestion())
        quitThenStart(std::move(*question));
}

void RunningApps::continueWhenQuit()
{
    if (std::optional<Question> question = takeQuestion())
        startWhenQuit(std::move(*question));
}

void RunningApps::cancelQuestion()
{
    takeQuestion();
}

void RunningApps::stopWaiting(const QString &appId)
{
    setWaiting(appId, false);
}

void RunningApps::setWaiting(const QString &appId, bool waiting)
{
    if (waiting == m_waiting.contains(appId))
        return;
    if (waiting)
        m_waiting.append(appId);
    else
        m_waiting.removeAll(appId);
    Q_EMIT waitingAppsChanged();
}

QCoro::Task<bool> RunningApps::quit(QString appId, std::chrono::milliseconds grace)
{
    QPointer<RunningApps> self(this);
    QList<RunningProcess> running = co_await processesOf(appId);
    if (!self || running.isEmpty())
        co_return true;
    m_processes->askToQuit(pidsOf(running));
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (!running.isEmpty() && std::chrono::steady_clock::now() < deadline) {
        co_await QCoro::sleepFor(quitPoll);
        if (!self)
            co_return false;
        running = co_await processesOf(appId);
        if (!self)
            co_return false;
    }
    co_return running.isEmpty();
}

QCoro::Task<bool> RunningApps::waitUntilQuit(QString appId)
{
    QPointer<RunningApps> self(this);
    setWaiting(appId, true);
    while (true) {
        const QList<RunningProcess> running = co_await processesOf(appId);
        if (!self)
            co_return false;
        if (!m_waiting.contains(appId))
            co_return false;
        if (running.isEmpty())
            break;
        co_await QCoro::sleepFor(waitPoll);
        if (!self)
            co_return false;
    }
    setWaiting(appId, false);
    co_return true;
}

QCoro::Task<void> RunningApps::quitThenStart(Question question)
{
    QPointer<RunningApps> self(this);
    const bool gone = co_await quit(question.app.id);
    if (!self)
        co_return;
    if (!gone) {
        Q_EMIT failed(qtTrId("runningDidNotQuit").arg(question.app.name));
        co_return;
    }
    const InstalledApps::Operation operation = question.start();
    const OperationOutcome outcome = co_await operation->result();
    // The app comes back as the user had it, now from the changed bundle.
    if (self && outcome.kind == OperationOutcome::Kind::done && question.change != Change::remove)
        m_apps->open(question.app);
}

QCoro::Task<void> RunningApps::startWhenQuit(Question question)
{
    QPointer<RunningApps> self(this);
    const bool gone = co_await waitUntilQuit(question.app.id);
    if (self && gone)
        question.start();
}

void RunningApps::refreshRestartNeeded()
{
    if (!m_processes)
        return;
    if (m_scanning)
        m_scanAgain = true;
    else
        findRestartNeeded();
}

QCoro::Task<void> RunningApps::findRestartNeeded()
{
    // Each installed bundle and the copy its last update replaced.
    QHash<QString, QString> bundles;
    QStringList folders;
    for (const QString &appId : m_apps->installedIds()) {
        const QString bundle = bundlePath(appId);
        if (bundle.isEmpty())
            continue;
        bundles.insert(appId, bundle);
        folders << bundle << InstalledCopies::previousPath(bundle);
    }
    QPointer<RunningApps> self(this);
    QList<RunningProcess> running;
    if (!folders.isEmpty()) {
        m_scanning = true;
        running = co_await scan(folders);
        if (!self)
            co_return;
        m_scanning = false;
    }
    // A process of a replaced copy runs from where the swap moved it, or from files since deleted.
    QHash<QString, QString> needed;
    for (auto it = bundles.cbegin(); it != bundles.cend(); ++it) {
        const QString previous = InstalledCopies::previousPath(it.value());
        const bool stale = std::any_of(running.cbegin(), running.cend(), [&](const RunningProcess &process) {
            return isUnder(process.file, previous) || (process.deleted && isUnder(process.file, it.value()));
        });
        if (stale)
            needed.insert(it.key(), m_apps->state(it.key()).installedCopyVersion());
    }
    if (needed.isEmpty())
        m_recheck->stop();
    else
        m_recheck->start();
    if (needed != m_restartNeeded) {
        m_restartNeeded = needed;
        Q_EMIT restartNeededChanged();
    }
    if (std::exchange(m_scanAgain, false))
        refreshRestartNeeded();
}

QVariant RunningApps::question() const
{
    if (m_questions.isEmpty())
        return {};
    const Question &q = m_questions.first();
    QVariantList pids;
    for (const qint64 pid : q.pids)
        pids << pid;
    return QVariantMap{{QStringLiteral("appId"), q.app.id}, {QStringLiteral("appName"), q.app.name},
                       {QStringLiteral("change"), QVariant::fromValue(int(q.change))}, {QStringLiteral("pids"), pids}};
}

QVariantMap RunningApps::restartNeededValue() const
{
    QVariantMap map;
    for (auto it = m_restartNeeded.cbegin(); it != m_restartNeeded.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}
