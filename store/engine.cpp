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

std::unique_ptr<Database> Engine::openDatabase(const QString& path)
{
    return std::make_unique<Database>(sql::Connection::open(path));
}

} // namespace pelmar
