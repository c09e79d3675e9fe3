#include "DevStorage.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <sqlite3.h>

namespace {

const char *kSchema = R"sql(
PRAGMA journal_mode = WAL;
CREATE TABLE IF NOT EXISTS feedback (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    client_request_id TEXT NOT NULL UNIQUE,
    received_at TEXT NOT NULL,
    locale TEXT NOT NULL,
    body TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS events (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    received_at TEXT NOT NULL,
    locale TEXT NOT NULL,
    body TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS errors (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    event_id TEXT NOT NULL,
    project TEXT NOT NULL,
    sentry_key TEXT NOT NULL,
    received_at TEXT NOT NULL,
    body TEXT NOT NULL
);
)sql";

QString now()
{
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC).toString(Qt::ISODate);
}

[[noreturn]] void fail(sqlite3 *db, const QString &what)
{
    throw StorageError((what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db))).toStdString());
}

// Finalizes a prepared statement whatever happens.
struct Statement {
    sqlite3_stmt *stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

QString column(sqlite3_stmt *stmt, int index)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, index));
    return text ? QString::fromUtf8(text) : QString();
}

QJsonValue parsedBody(const QString &body)
{
    return QJsonDocument::fromJson(body.toUtf8()).object();
}

sqlite3 *openDatabase(const QString &path, int flags)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw StorageError(QStringLiteral("cannot open %1: %2").arg(path, message).toStdString());
    }
    sqlite3_busy_timeout(db, 5000);
    return db;
}

}  // namespace

std::optional<DevStorage::Table> DevStorage::tableFromName(const QString &name)
{
    if (name == QLatin1String("feedback"))
        return Table::feedback;
    if (name == QLatin1String("events"))
        return Table::events;
    if (name == QLatin1String("errors"))
        return Table::errors;
    return std::nullopt;
}

QString DevStorage::databasePath(const QString &dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("devserver.sqlite"));
}

DevStorage DevStorage::openForWriting(const QString &dataDir)
{
    if (!QDir().mkpath(dataDir))
        throw StorageError(QStringLiteral("cannot create the data folder %1").arg(dataDir).toStdString());
    sqlite3 *db = openDatabase(databasePath(dataDir), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    DevStorage storage(db);
    char *error = nullptr;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error);
        sqlite3_free(error);
        throw StorageError(QStringLiteral("cannot set up %1: %2").arg(databasePath(dataDir), message).toStdString());
    }
    return storage;
}

DevStorage DevStorage::openForReading(const QString &dataDir)
{
    const QString path = databasePath(dataDir);
    if (!QFileInfo::exists(path))
        throw StorageError(QStringLiteral("no stored data in %1 (%2 does not exist)").arg(dataDir, path).toStdString());
    return DevStorage(openDatabase(path, SQLITE_OPEN_READONLY));
}

DevStorage::DevStorage(DevStorage &&other) noexcept : m_db(other.m_db)
{
    other.m_db = nullptr;
}

DevStorage::~DevStorage()
{
    sqlite3_close(m_db);
}

qint64 DevStorage::insert(const char *sql, const QList<QString> &values)
{
    Statement s;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s.stmt, nullptr) != SQLITE_OK)
        fail(m_db, QStringLiteral("prepare"));
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray utf8 = values.at(i).toUtf8();
        sqlite3_bind_text(s.stmt, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    if (sqlite3_step(s.stmt) != SQLITE_DONE)
        fail(m_db, QStringLiteral("insert"));
    return sqlite3_last_insert_rowid(m_db);
}

DevStorage::StoredFeedback DevStorage::addFeedback(const QString &clientRequestId, const QString &locale,
                                                   const QByteArray &body)
{
    std::lock_guard lock(m_mutex);
    {
        Statement s;
        if (sqlite3_prepare_v2(m_db, "SELECT id FROM feedback WHERE client_request_id = ?", -1, &s.stmt, nullptr) != SQLITE_OK)
            fail(m_db, QStringLiteral("prepare"));
        const QByteArray id = clientRequestId.toUtf8();
        sqlite3_bind_text(s.stmt, 1, id.constData(), int(id.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(s.stmt) == SQLITE_ROW)
            return {sqlite3_column_int64(s.stmt, 0), true};
    }
    const qint64 number = insert("INSERT INTO feedback (client_request_id, received_at, locale, body) VALUES (?, ?, ?, ?)",
                                 {clientRequestId, now(), locale, QString::fromUtf8(body)});
    return {number, false};
}

qint64 DevStorage::addEvent(const QString &locale, const QByteArray &body)
{
    std::lock_guard lock(m_mutex);
    return insert("INSERT INTO events (received_at, locale, body) VALUES (?, ?, ?)",
                  {now(), locale, QString::fromUtf8(body)});
}

qint64 DevStorage::addError(const QString &eventId, const QString &project, const QString &sentryKey,
                            const QByteArray &body)
{
    std::lock_guard lock(m_mutex);
    return insert("INSERT INTO errors (event_id, project, sentry_key, received_at, body) VALUES (?, ?, ?, ?, ?)",
                  {eventId, project, sentryKey, now(), QString::fromUtf8(body)});
}

QList<QByteArray> DevStorage::select(Table table, qint64 onlyId) const
{
    std::lock_guard lock(m_mutex);
    const char *sql = nullptr;
    switch (table) {
    case Table::feedback:
        sql = "SELECT id, received_at, locale, client_request_id, body FROM feedback WHERE ?1 = 0 OR id = ?1 ORDER BY id";
        break;
    case Table::events:
        sql = "SELECT id, received_at, locale, body FROM events WHERE ?1 = 0 OR id = ?1 ORDER BY id";
        break;
    case Table::errors:
        sql = "SELECT id, received_at, event_id, project, sentry_key, body FROM errors WHERE ?1 = 0 OR id = ?1 ORDER BY id";
        break;
    }
    Statement s;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s.stmt, nullptr) != SQLITE_OK)
        fail(m_db, QStringLiteral("prepare"));
    sqlite3_bind_int64(s.stmt, 1, onlyId);
    QList<QByteArray> lines;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        QJsonObject record{{QStringLiteral("id"), sqlite3_column_int64(s.stmt, 0)},
                           {QStringLiteral("receivedAt"), column(s.stmt, 1)}};
        switch (table) {
        case Table::feedback:
            record.insert(QStringLiteral("identifier"), QStringLiteral("FB-%1").arg(sqlite3_column_int64(s.stmt, 0)));
            record.insert(QStringLiteral("locale"), column(s.stmt, 2));
            record.insert(QStringLiteral("clientRequestId"), column(s.stmt, 3));
            record.insert(QStringLiteral("feedback"), parsedBody(column(s.stmt, 4)));
            break;
        case Table::events:
            record.insert(QStringLiteral("locale"), column(s.stmt, 2));
            record.insert(QStringLiteral("event"), parsedBody(column(s.stmt, 3)));
            break;
        case Table::errors:
            record.insert(QStringLiteral("eventId"), column(s.stmt, 2));
            record.insert(QStringLiteral("project"), column(s.stmt, 3));
            record.insert(QStringLiteral("sentryKey"), column(s.stmt, 4));
            record.insert(QStringLiteral("event"), parsedBody(column(s.stmt, 5)));
            break;
        }
        lines.append(QJsonDocument(record).toJson(QJsonDocument::Compact));
    }
    if (rc != SQLITE_DONE)
        fail(m_db, QStringLiteral("select"));
    return lines;
}

QList<QByteArray> DevStorage::dump(Table table) const
{
    return select(table, 0);
}

std::optional<QByteArray> DevStorage::feedbackRecord(qint64 number) const
{
    if (number <= 0)
        return std::nullopt;
    const QList<QByteArray> lines = select(Table::feedback, number);
    if (lines.isEmpty())
        return std::nullopt;
    return lines.first();
}
