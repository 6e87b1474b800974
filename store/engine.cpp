#include "store/engine.h"

#include "platform/runerror.h"
#include "store/sqlitesession.h"

#include <QRegularExpression>
#include <limits>

namespace pelmar {

Database::Database(std::shared_ptr<sql::Session> session) : m_session(std::move(session)) {}

Database::Database(std::shared_ptr<sql::Connection> conn)
    : m_session(sql::SqliteSession::over(std::move(conn)))
{
}

sql::Session& Database::session()
{
    if (!m_session)
        throw RunError(err::EngineFailure, QStringLiteral("Object is closed."));
    // After a lost server connection the next action connects again.
    if (m_session->stale() && sql::isServerLocation(m_session->location()))
        m_session = sql::Session::open(m_session->location());
    return *m_session;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& source)
{
    session();
    return std::make_unique<Recordset>(m_session, source);
}

std::vector<sql::Row> Database::readAll(const QString& text, const std::vector<Value>& params)
{
    sql::Session& s = session();
    std::vector<sql::Row> rows;
    s.select(s.translate(text), false, 0, params)->read(0, std::numeric_limits<qint64>::max(), rows);
    return rows;
}

int Database::execute(const QString& text, const std::vector<Value>& params)
{
    sql::Session& s = session();
    const QString translated = s.translate(text);
    try {
        return s.write(translated, params);
    } catch (const RunError& error) {
        // The user sees the statement the program built, not our translation.
        if (error.number() == err::QuerySyntax)
            throw RunError::of(err::QuerySyntax, text);
        throw;
    }
}

qint64 Database::lastInsertId() const
{
    return m_session ? m_session->lastInsertId() : 0;
}

void Database::close()
{
    m_session.reset();
}

const QString& Database::path() const
{
    static const QString none;
    return m_session ? m_session->location() : none;
}

Transaction::Transaction(Database& db)
{
    db.session();
    m_session = db.m_session;
    m_session->begin();
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open)
        m_session->rollback();
}

void Transaction::commit()
{
    if (!m_open)
        throw RunError(err::EngineFailure, QStringLiteral("The transaction has ended."));
    m_session->commit();
    m_open = false;
}

std::unique_ptr<Database> Database::open(const QString& location)
{
    return std::make_unique<Database>(sql::Session::open(location));
}

std::unique_ptr<Database> Database::openReadOnly(const QString& location)
{
    if (!sql::isServerLocation(location))
        return open(location);
    // The server's own setting, given with the connection, so that a SELECT
    // that calls a writing function (setval, nextval) is refused too. Added
    // to options= when the URI has one, as only one of them counts.
    const QString readOnly = QStringLiteral("-c%20default_transaction_read_only%3Don");
    static const QRegularExpression options(QStringLiteral(R"([?&]options=[^&]*)"));
    QString uri = location;
    QRegularExpressionMatch last;
    for (auto it = options.globalMatch(uri); it.hasNext();)
        last = it.next();
    if (last.hasMatch())
        uri.insert(last.capturedEnd(), QStringLiteral("%20") + readOnly);
    else
        uri += (uri.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) +
               QStringLiteral("options=") + readOnly;
    return std::make_unique<Database>(sql::Session::openPrivate(uri));
}

} // namespace pelmar
