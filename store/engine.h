#pragma once

#include "store/recordset.h"
#include "store/session.h"

#include <QString>
#include <memory>
#include <vector>

namespace pelmar {

namespace sql {
class Connection;
}

// True for a location that names a PostgreSQL server (a connection URI
// starting "postgresql://" or "postgres://") rather than a database file.
using sql::isServerLocation;

// A database opened through the engine: the session on one file or server.
class Database
{
public:
    explicit Database(std::shared_ptr<sql::Session> session);
    // A database on a SQLite connection of the caller's.
    explicit Database(std::shared_ptr<sql::Connection> conn);

    // A file path, or a PostgreSQL connection URI (isServerLocation). Throws
    // 3024, 3044 or 3055 for a wrong file location and never creates a
    // file; throws 3151 with libpq's words when the server cannot be reached,
    // refuses the log-in or has no such database. A file already open in
    // this process shares its connection.
    static std::unique_ptr<Database> open(const QString& location);
    // The same, for reading only: on a server every transaction is
    // read-only, also after a reconnect; a file's recordsets never write.
    static std::unique_ptr<Database> openReadOnly(const QString& location);

    // An SQL text of the program's dialect, or a table or saved-query name.
    std::unique_ptr<Recordset> openRecordset(const QString& source);
    // Every row of a SELECT of the program's dialect, read in one go: for
    // reports that read a whole result, which a recordset's growing pages
    // would run again for each page.
    // Its ? marks are bound to params in order.
    std::vector<sql::Row> readAll(const QString& text, const std::vector<Value>& params = {});
    // Runs one INSERT, UPDATE or DELETE of the program's dialect, with its ?
    // marks bound to params in order; returns the number of rows it changed.
    // A write that must find its row in a known state says so in its WHERE
    // clause and checks the count.
    int execute(const QString& text, const std::vector<Value>& params = {});
    // Key of the row the last INSERT on this database added.
    qint64 lastInsertId() const;
    void close();
    // The location it was opened at: a file path or a server's URI.
    const QString& path() const;
    // The engine's session, for what only one engine offers.
    sql::Session& session();

private:
    friend class Transaction;
    std::shared_ptr<sql::Session> m_session;
};

// A write transaction on a database: every action that writes (clocking in
// and out, the log-in's repair, the administrator's changes) reads the rows
// it depends on and writes them inside one. It takes the database's write
// lock at once
// (BEGIN IMMEDIATE on a file, an advisory lock on a server), so a busy
// database fails here rather than half-way through, and writers on a server
// take turns as they do on a file. Rolled back by the destructor unless
// committed; the destructor never throws.
class Transaction
{
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    std::shared_ptr<sql::Session> m_session;
    bool m_open = false;
};

} // namespace pelmar
