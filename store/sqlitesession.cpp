#include "store/sqlitesession.h"

#include "store/dialect.h"

namespace pelmar::sql {

namespace {

Value readColumn(const Statement& stmt, int i, Value::Kind kind)
{
    const int storage = stmt.columnType(i);
    if (storage == SQLITE_NULL)
        return Value::null();
    switch (kind) {
    case Value::Kind::Date:
        if (storage != SQLITE_TEXT)
            return Value::date(stmt.columnDouble(i));
        break;
    case Value::Kind::Double:
        if (storage != SQLITE_TEXT)
            return Value::number(stmt.columnDouble(i));
        break;
    case Value::Kind::Text:
        return Value::text(stmt.columnText(i));
    default:
        break;
    }
    if (storage == SQLITE_INTEGER)
        return Value::integer(stmt.columnInt(i));
    if (storage == SQLITE_FLOAT)
        return Value::number(stmt.columnDouble(i));
    return Value::text(stmt.columnText(i));
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// A statement prepared once and run again for each page; reset after every
// page, so no read lock outlives the read.
class SqliteQuery : public Query
{
public:
    SqliteQuery(std::shared_ptr<Connection> conn, const QString& sql, bool paged,
                const std::vector<Value>& params)
        : m_conn(std::move(conn)), m_paged(paged), m_pageMarks(static_cast<int>(params.size())),
          m_stmt(*m_conn, paged ? sql + QStringLiteral(" LIMIT ? OFFSET ?") : sql)
    {
        if (!m_stmt.readOnly())
            throw RunError(err::QuerySyntax, QStringLiteral("Only SELECT statements open as recordsets."));
        // Bound once: a reset keeps the bindings.
        for (size_t i = 0; i < params.size(); ++i)
            bindValue(m_stmt, static_cast<int>(i) + 1, params[i]);
        for (int i = 0; i < m_stmt.columnCount(); ++i)
            m_columns.push_back({m_stmt.columnName(i), kindOfDeclType(m_stmt.columnDeclType(i))});
    }

    const std::vector<Column>& columns() const override { return m_columns; }

    int read(qint64 offset, qint64 limit, std::vector<Row>& rows) override
    {
        // Reset on every way out: a statement left part-way holds the read lock.
        const std::unique_ptr<Statement, void (*)(Statement*)> resetOnExit(&m_stmt,
                                                                           [](Statement* s) { s->reset(); });
        if (m_paged) {
            m_stmt.bind(m_pageMarks + 1, limit);
            m_stmt.bind(m_pageMarks + 2, offset);
        }
        int read = 0;
        while (m_stmt.step()) {
            Row row;
            row.reserve(m_columns.size());
            for (size_t i = 0; i < m_columns.size(); ++i)
                row.push_back(readColumn(m_stmt, static_cast<int>(i), m_columns[i].kind));
            rows.push_back(std::move(row));
            ++read;
        }
        return read;
    }

private:
    std::shared_ptr<Connection> m_conn;
    bool m_paged;
    int m_pageMarks;  // the caller's ? marks, before LIMIT's and OFFSET's
    Statement m_stmt; // after m_conn: finalised first
    std::vector<Column> m_columns;
};

} // namespace

Value::Kind kindOfDeclType(const QString& decl)
{
    if (decl.contains(QLatin1String("DATE")) || decl.contains(QLatin1String("TIME")))
        return Value::Kind::Date;
    if (decl.contains(QLatin1String("INT")))
        return Value::Kind::Integer;
    if (decl.contains(QLatin1String("REAL")) || decl.contains(QLatin1String("DOUB")) ||
        decl.contains(QLatin1String("FLOA")) || decl.contains(QLatin1String("NUM")))
        return Value::Kind::Double;
    if (decl.contains(QLatin1String("CHAR")) || decl.contains(QLatin1String("TEXT")) ||
        decl.contains(QLatin1String("CLOB")))
        return Value::Kind::Text;
    return Value::Kind::Null;
}

SqliteSession::SqliteSession(std::shared_ptr<Connection> conn)
    : Session(conn->path()), m_conn(std::move(conn))
{
}

std::shared_ptr<SqliteSession> SqliteSession::open(const QString& path)
{
    return std::shared_ptr<SqliteSession>(new SqliteSession(Connection::open(path)));
}

std::shared_ptr<SqliteSession> SqliteSession::openPrivate(const QString& path)
{
    return std::shared_ptr<SqliteSession>(new SqliteSession(Connection::openPrivate(path)));
}

std::shared_ptr<SqliteSession> SqliteSession::over(std::shared_ptr<Connection> conn)
{
    return std::shared_ptr<SqliteSession>(new SqliteSession(std::move(conn)));
}

std::shared_ptr<SqliteSession> SqliteSession::create(const QString& path)
{
    return std::shared_ptr<SqliteSession>(new SqliteSession(Connection::create(path)));
}

bool SqliteSession::stale() const
{
    return m_conn->stale();
}

QString SqliteSession::translate(const QString& text) const
{
    return sql::translate(text);
}

std::unique_ptr<Query> SqliteSession::select(const QString& sql, bool paged, int,
                                             const std::vector<Value>& params)
{
    return std::make_unique<SqliteQuery>(m_conn, sql, paged, params);
}

int SqliteSession::write(const QString& sql, const std::vector<Value>& params)
{
    Statement stmt(*m_conn, sql);
    for (size_t i = 0; i < params.size(); ++i)
        bindValue(stmt, static_cast<int>(i) + 1, params[i]);
    stmt.step();
    return sqlite3_changes(m_conn->handle());
}

qint64 SqliteSession::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_conn->handle());
}

TableShape SqliteSession::describe(const QString& table)
{
    TableShape shape;
    Statement info(*m_conn, QStringLiteral("PRAGMA table_info(") + quoted(table) + QLatin1Char(')'));
    while (info.step()) {
        shape.columns << info.columnText(1);
        shape.kinds.push_back(kindOfDeclType(info.columnText(2).toUpper()));
        if (info.columnInt(5) == 1)
            shape.primaryKey = info.columnText(1);
    }
    return shape;
}

void SqliteSession::exec(const QString& sql)
{
    m_conn->exec(sql);
}

void SqliteSession::begin()
{
    m_conn->exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteSession::commit()
{
    m_conn->exec(QStringLiteral("COMMIT"));
}

void SqliteSession::rollback() noexcept
{
    sqlite3_exec(m_conn->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

} // namespace pelmar::sql
