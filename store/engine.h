#pragma once

#include "store/recordset.h"

#include <QString>
#include <memory>
#include <vector>

namespace pelmar {

namespace sql {
class Connection;
}

// A database opened through the engine: a private connection on one file.
class Database
{
public:
    explicit Database(std::shared_ptr<sql::Connection> conn);

    // An SQL text of the program's dialect, or a table or saved-query name.
    std::unique_ptr<Recordset> openRecordset(const QString& source);
    // Runs one INSERT, UPDATE or DELETE of the program's dialect, with its ?
    // marks bound to params in order; returns the number of rows it changed.
    // A write that must find its row in a known state says so in its WHERE
    // clause and checks the count.
    int execute(const QString& text, const std::vector<Value>& params = {});
    // Key of the row the last INSERT on this database added.
    qint64 lastInsertId() const;
    void close();
    const QString& path() const;

private:
    friend class Transaction;
    std::shared_ptr<sql::Connection> m_conn;
};

// A write transaction on a database, for writing many rows at once (tools,
// the benchmark's generator). BEGIN IMMEDIATE takes the write lock at once,
// so a busy file fails here rather than half-way through. Rolled back by the
// destructor unless committed; the destructor never throws.
class Transaction
{
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    std::shared_ptr<sql::Connection> m_conn;
    bool m_open = false;
};

// The database engine object: created on first use, kept for the life of the
// program, and the way to open private connections.
class Engine
{
public:
    // Throws 3024, 3044 or 3055 for a wrong location; never creates a file.
    std::unique_ptr<Database> openDatabase(const QString& path);
};

} // namespace pelmar
