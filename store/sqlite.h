#pragma once

#include "platform/runerror.h"
#include "platform/value.h"

#include <QString>
#include <chrono>
#include <memory>
#include <sqlite3.h>

namespace pelmar::sql {

// Owners of the SQLite handles. Ownership is taken before the return code is
// checked, so a failed open never leaks its handle.
struct ConnectionCloser
{
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct StatementFinalizer
{
    void operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }
};

using ConnectionHandle = std::unique_ptr<sqlite3, ConnectionCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// An open database file. Shared by the recordsets opened on it, so it stays
// open until the last of them is gone.
class Connection
{
public:
    // Opens an existing file read-write (never creates one), shared, with a
    // rollback journal, synchronous FULL and a busy timeout. While a
    // connection to the same file is alive in this process it is handed out
    // again: nothing keeps a statement open between calls, so sharing it is
    // safe while one thread at a time uses the database (the clock's window
    // waits while its worker does), and it saves opening the file and
    // parsing its schema at every action.
    static std::shared_ptr<Connection> open(const QString& path);
    // A connection of its own, never shared (for other processes' stand-ins
    // in tests and tools).
    static std::shared_ptr<Connection> openPrivate(const QString& path);
    // Creates a new file; fails if one exists.
    static std::shared_ptr<Connection> create(const QString& path);

    sqlite3* handle() const { return m_db.get(); }
    const QString& path() const { return m_path; }

    // Runs statements that return no rows.
    void exec(const QString& sql);

    // The engine's error for the connection's last failure, as a numbered
    // run-time error.
    RunError error(int code, const QString& context = QString()) const;

    // False once the file at the path was removed or replaced.
    bool sameFileAsOpened() const;
    // True when a fresh open would give a different connection: the file was
    // removed or replaced, or it was opened read-only and may be written now.
    bool stale() const;

    static constexpr int BusyTimeoutMs = 5000;

private:
    Connection(ConnectionHandle db, QString path);
    void configure();
    static int busyWait(void* self, int count) noexcept;

    // Identity of the file when opened.
    unsigned long long m_device = 0;
    unsigned long long m_inode = 0;

    // When the present wait for a lock began.
    std::chrono::steady_clock::time_point m_busySince;

    ConnectionHandle m_db;
    QString m_path;
};

// A prepared statement bound to a connection. Finalised by its destructor, so
// no read stays open longer than the object that reads.
class Statement
{
public:
    Statement(const Connection& conn, const QString& sql);

    void bindNull(int index);
    void bind(int index, qint64 value);
    void bind(int index, double value);
    void bind(int index, const QString& value);

    // Steps once; true while a row is available. Throws on failure.
    bool step();
    // Back to before the first step, bindings kept. A statement that is not
    // part-way through its rows holds no lock, so a reset one may be kept.
    void reset() noexcept;
    int columnCount() const;
    QString columnName(int i) const;
    // Declared type of the column's origin (empty for expressions).
    QString columnDeclType(int i) const;
    int columnType(int i) const;
    qint64 columnInt(int i) const;
    double columnDouble(int i) const;
    QString columnText(int i) const;
    bool readOnly() const;
    const Connection& connection() const { return m_conn; }

private:
    const Connection& m_conn;
    StatementHandle m_stmt;
    QString m_sql;
};

// Binds a value by its kind: dates and numbers as REAL, whole numbers as
// INTEGER, texts as TEXT.
void bindValue(Statement& stmt, int index, const Value& value);

} // namespace pelmar::sql
