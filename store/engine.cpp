#include "store/engine.h"

#include "store/sqlite.h"

namespace pelmar {

Database::Database(std::shared_ptr<sql::Connection> conn) : m_conn(std::move(conn)) {}

std::unique_ptr<Recordset> Database::openRecordset(const QString& source)
{
    if (!m_conn)
        throw RunError(err::EngineFailure, QStringLiteral("Object is closed."));
    return std::make_unique<Recordset>(m_conn, source);
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
