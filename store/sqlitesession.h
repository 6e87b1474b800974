#pragma once

#include "store/session.h"
#include "store/sqlite.h"

namespace pelmar::sql {

// The engine's session on a SQLite file: the connection of store/sqlite.h
// behind the common interface.
class SqliteSession : public Session
{
public:
    // Shares the open connection to the same file (Connection::open).
    static std::shared_ptr<SqliteSession> open(const QString& path);
    static std::shared_ptr<SqliteSession> openPrivate(const QString& path);
    // A session on a connection the caller opened.
    static std::shared_ptr<SqliteSession> over(std::shared_ptr<Connection> conn);
    // A new, empty file (Connection::create).
    static std::shared_ptr<SqliteSession> create(const QString& path);

    bool stale() const override;
    QString translate(const QString& text) const override;
    std::unique_ptr<Query> select(const QString& sql, bool paged, int firstPage,
                                  const std::vector<Value>& params = {}) override;
    int write(const QString& sql, const std::vector<Value>& params) override;
    qint64 lastInsertId() const override;
    TableShape describe(const QString& table) override;
    void exec(const QString& sql) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;

    Connection& connection() const { return *m_conn; }

private:
    explicit SqliteSession(std::shared_ptr<Connection> conn);
    std::shared_ptr<Connection> m_conn;
};

// The kind of value a column of this declared type holds (Null: decided by
// each value's storage class).
Value::Kind kindOfDeclType(const QString& decl);

} // namespace pelmar::sql
