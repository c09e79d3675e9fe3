#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <mutex>
#include <optional>
#include <stdexcept>

struct sqlite3;

class StorageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What the service received, kept in one SQLite file ("devserver.sqlite")
// in the data folder. One connection, serialised: requests arrive on many threads.
class DevStorage
{
public:
    enum class Table { feedback, events, errors };
    static std::optional<Table> tableFromName(const QString &name);

    struct StoredFeedback {
        qint64 number = 0;
        bool replayed = false;  // the same clientRequestId was stored before
    };

    // Creates the folder and the database when needed. Throws StorageError.
    static DevStorage openForWriting(const QString &dataDir);
    // Opens an existing database read-only. Throws StorageError when there is none.
    static DevStorage openForReading(const QString &dataDir);
    static QString databasePath(const QString &dataDir);

    DevStorage(DevStorage &&other) noexcept;
    DevStorage &operator=(DevStorage &&) = delete;
    ~DevStorage();

    StoredFeedback addFeedback(const QString &clientRequestId, const QString &locale, const QByteArray &body);
    qint64 addEvent(const QString &locale, const QByteArray &body);
    qint64 addError(const QString &eventId, const QString &project, const QString &sentryKey,
                    const QByteArray &body);

    // One compact JSON object per stored record, oldest first.
    QList<QByteArray> dump(Table table) const;
    std::optional<QByteArray> feedbackRecord(qint64 number) const;

private:
    explicit DevStorage(sqlite3 *db) : m_db(db) {}
    qint64 insert(const char *sql, const QList<QString> &values);
    QList<QByteArray> select(Table table, qint64 onlyId) const;

    sqlite3 *m_db = nullptr;
    mutable std::mutex m_mutex;
};
