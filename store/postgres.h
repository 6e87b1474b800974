#pragma once

#include "platform/runerror.h"
#include "store/session.h"

#include <QHash>
#include <libpq-fe.h>
#include <map>
#include <memory>

namespace pelmar::sql {

// Owners of the libpq handles, taken before anything is checked.
struct PgConnectionCloser
{
    void operator()(PGconn* conn) const noexcept { PQfinish(conn); }
};
struct PgResultClearer
{
    void operator()(PGresult* result) const noexcept { PQclear(result); }
};
using PgConnectionHandle = std::unique_ptr<PGconn, PgConnectionCloser>;
using PgResultHandle = std::unique_ptr<PGresult, PgResultClearer>;

// The engine's session on a PostgreSQL server, opened from a libpq
// connection URI. Every statement runs on its own (autocommit) unless a
// transaction is open, and every result is read whole, so the server holds
// nothing for us between calls. A lost connection fails the statement that
// met it (3146); the next Session::open connects again.
class PgSession : public Session
{
public:
    // Connects; throws 3151 with libpq's own words when the server cannot be
    // reached, refuses the log-in or has no such database.
    static std::shared_ptr<PgSession> connect(const QString& uri);

    bool stale() const override;
    QString translate(const QString& text) const override;
    std::unique_ptr<Query> select(const QString& sql, bool paged, int firstPage,
                                  const std::vector<Value>& params = {}) override;
    int write(const QString& sql, const std::vector<Value>& params) override;
    qint64 lastInsertId() const override { return m_lastInsertId; }
    TableShape describe(const QString& table) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;

    void exec(const QString& sql) override;
    // Runs one statement of PostgreSQL's own SQL with $n parameters and
    // returns its whole result; throws the numbered error for a failure.
    PgResultHandle run(const QString& sql, const std::vector<Value>& params = {});

    // The name as the program spells it, for a name the server reports in
    // lower case; words is the statement's text, for its own aliases.
    static QString spelling(const QString& name, const QString& words);
    // The kind of a result column: by its origin's declared type when it
    // comes straight from a table or view column, else Null (by each value).
    Value::Kind kindOfColumn(const PGresult* result, int column);
    // A field of a result read as a Value of the kind.
    static Value field(const PGresult* result, int row, int column, Value::Kind kind);

    // Counts writes, so that a page read before a write is not served after.
    quint64 writes() const { return m_writes; }
    PGconn* handle() const { return m_conn.get(); }
    // Lifts the statement timeout until the transaction ends, for the
    // administrator's maintenance (a copy, an upgrade) that may run longer.
    void allowLongStatements() { exec(QStringLiteral("SET LOCAL statement_timeout = 0")); }
    // Whether the database holds the server's own rules: its audit
    // triggers, a terminal's limits, the write lock's row.
    bool hasServerRules() const { return m_rules; }

    static constexpr qint64 WriteLockKey = 0x50656c6d6172; // "Pelmar"
    static constexpr int StatementTimeoutMs = 10000;

private:
    PgSession(QString uri, PgConnectionHandle conn);
    RunError error(const PGresult* result, const QString& context) const;

    PgConnectionHandle m_conn;
    qint64 m_lastInsertId = 0;
    quint64 m_writes = 0;
    bool m_rules = false;                // the database has the server's rules and the write lock's row
    QHash<QString, TableShape> m_shapes; // by lower-case table name
    std::map<Oid, QHash<int, Value::Kind>> m_origins; // declared kinds by table and column
};

} // namespace pelmar::sql
