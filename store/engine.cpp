#include "store/engine.h"

#include "store/dialect.h"
#include "store/sqlite.h"

namespace pelmar {

Database::Database(std::shared_ptr<sql::Connection> conn) : m_conn(std::move(conn)) {}

std::unique_ptr<Recordset> Database::openRecordset(const QString& source)
{
    if (!m_conn)
        throw RunError(err::EngineFailure, QStringLiteral("Object is closed."));
    return std::make_unique<Recordset>(m_conn, source);
}

int Database::execute(const QString& text, const std::vector<Value>& params)
{
    if (!m_conn)
        throw RunError(err::EngineFailure, QStringLiteral("Object is closed."));
    QString translated = sql::translate(text);
    try {
        sql::Statement stmt(*m_conn, translated);
        for (size_t i = 0; i < params.size(); ++i)
            sql::bindValue(stmt, static_cast<int>(i) + 1, params[i]);
        stmt.step();
    } catch (const RunError& error) {
        // The user sees the statement the program built, not our translation.
        if (error.number() == err::QuerySyntax)
            throw RunError::of(err::QuerySyntax, text);
        throw;
    }
    return sqlite3_changes(m_conn->handle());
}

qint64 Database::lastInsertId() const
{
    return m_conn ? sqlite3_last_insert_rowid(m_conn->handle()) : 0;
}

void Database::close()
{
    m_conn.reset();
}

const QString& Database::path() const
{
    static const QString none;
    return m_conn ? m_conn->path() : none;
}

Transaction::Transaction(Database& db) : m_conn(db.m_conn)
{
    if (!m_conn)
        throw RunError(err::EngineFailure, QStringLiteral("Object is closed."));
    m_conn->exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_conn->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    if (!m_open)
        throw RunError(err::EngineFailure, QStringLiteral("The transaction has ended."));
    m_conn->exec(QStringLiteral("COMMIT"));
    m_open = false;
}

std::unique_ptr<Database> Engine::openDatabase(const QString& path)
{
    return std::make_unique<Database>(sql::Connection::open(path));
}

} // namespace pelmar
