#include "store/postgres.h"

#include "platform/runerror.h"
#include "store/dialect.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/sqlitesession.h"

#include <QRegularExpression>
#include <QSysInfo>
#include <QTimeZone>
#include <QUrl>
#include <charconv>
#include <cstring>

namespace pelmar::sql {

namespace {

// Type numbers of the server's built-in types (pg_type.oid), fixed for good.
constexpr Oid BoolType = 16;
constexpr Oid Int8Type = 20;
constexpr Oid Int2Type = 21;
constexpr Oid Int4Type = 23;
constexpr Oid OidType = 26;
constexpr Oid Float4Type = 700;
constexpr Oid Float8Type = 701;
constexpr Oid NumericType = 1700;

double readDouble(const char* text, int length)
{
    double value = 0;
    std::from_chars(text, text + length, value);
    return value;
}

qint64 readInteger(const char* text, int length)
{
    qint64 value = 0;
    std::from_chars(text, text + length, value);
    return value;
}

QByteArray doubleText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, static_cast<int>(result.ptr - buffer));
}

// The values of a statement's parameters in libpq's text form, with their
// types: numbers typed, texts and Null left for the server to infer from
// where they go, as SQLite takes a text for any column.
struct Parameters
{
    explicit Parameters(const std::vector<Value>& values)
    {
        texts.reserve(values.size());
        for (const Value& v : values) {
            switch (v.kind()) {
            case Value::Kind::Null:
                texts.emplace_back();
                types.push_back(0);
                break;
            case Value::Kind::Integer:
                texts.push_back(QByteArray::number(v.toInteger()));
                types.push_back(Int8Type);
                break;
            case Value::Kind::Double:
            case Value::Kind::Date:
                texts.push_back(doubleText(v.toDouble()));
                types.push_back(Float8Type);
                break;
            case Value::Kind::Text:
                texts.push_back(v.toText().toUtf8());
                types.push_back(0);
                break;
            }
        }
        for (size_t i = 0; i < values.size(); ++i)
            pointers.push_back(values[i].isNull() ? nullptr : texts[i].constData());
    }
    int count() const { return static_cast<int>(pointers.size()); }

    std::vector<QByteArray> texts;
    std::vector<Oid> types;
    std::vector<const char*> pointers;
};

// libpq's message on one line: a message box or a log line shows it whole.
QString messageOf(const PGconn* conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).simplified();
}

// Where a connection goes, without the password a URI may carry.
QString displayName(const PGconn* conn)
{
    const char* host = PQhost(conn);
    return QStringLiteral("%1 on %2:%3")
        .arg(QString::fromUtf8(PQdb(conn)), QString::fromUtf8(host && *host ? host : "localhost"),
             QString::fromUtf8(PQport(conn)));
}

void ignoreNotice(void*, const char*) {}

QString quotedName(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// Only a statement that reads may open as a recordset; the server runs the
// first page at once, so a write must be refused before it is sent.
bool readsOnly(const QString& sql)
{
    static const QRegularExpression reading(QStringLiteral(R"(^\s*\(*\s*(SELECT|VALUES|TABLE|WITH)\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression writing(
        QStringLiteral(R"(\b(INSERT|UPDATE|DELETE|MERGE|INTO|CREATE|DROP|ALTER|TRUNCATE)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression texts(QStringLiteral(R"('(?:[^']|'')*'|"(?:[^"]|"")*")"));
    const QString bare = QString(sql).replace(texts, QStringLiteral("''"));
    return reading.match(bare).hasMatch() && !writing.match(bare).hasMatch();
}

// A SELECT run again for each page, LIMIT and OFFSET bound. The first page
// is read when the query opens, which is also where the server checks it;
// it serves the first read unless this connection wrote in between.
class PgQuery : public Query
{
public:
    PgQuery(std::shared_ptr<PgSession> session, const QString& sql, bool paged, int firstPage,
            std::vector<Value> params)
        : m_session(std::move(session)), m_paged(paged),
          m_sql(
              paged
                  ? sql +
                        QStringLiteral(" LIMIT $%1 OFFSET $%2").arg(params.size() + 1).arg(params.size() + 2)
                  : sql),
          m_params(std::move(params))
    {
        if (!readsOnly(sql))
            throw RunError(err::QuerySyntax, QStringLiteral("Only SELECT statements open as recordsets."));
        m_first = runPage(0, firstPage);
        m_firstLimit = firstPage;
        m_firstWrites = m_session->writes();
        const PGresult* r = m_first.get();
        for (int i = 0; i < PQnfields(r); ++i)
            m_columns.push_back(
                {PgSession::spelling(QString::fromUtf8(PQfname(r, i)), sql), m_session->kindOfColumn(r, i)});
    }

    const std::vector<Column>& columns() const override { return m_columns; }

    int read(qint64 offset, qint64 limit, std::vector<Row>& rows) override
    {
        PgResultHandle result;
        if (m_first && offset == 0 && (!m_paged || limit == m_firstLimit) &&
            m_firstWrites == m_session->writes())
            result = std::move(m_first);
        else
            result = runPage(offset, limit);
        m_first.reset();
        const PGresult* r = result.get();
        const int count = PQntuples(r);
        for (int row = 0; row < count; ++row) {
            Row values;
            values.reserve(m_columns.size());
            for (size_t c = 0; c < m_columns.size(); ++c)
                values.push_back(PgSession::field(r, row, static_cast<int>(c), m_columns[c].kind));
            rows.push_back(std::move(values));
        }
        return count;
    }

private:
    PgResultHandle runPage(qint64 offset, qint64 limit)
    {
        if (!m_paged)
            return m_session->run(m_sql, m_params);
        std::vector<Value> params = m_params;
        params.push_back(Value::integer(limit));
        params.push_back(Value::integer(offset));
        return m_session->run(m_sql, params);
    }

    std::shared_ptr<PgSession> m_session;
    bool m_paged;
    QString m_sql;
    std::vector<Value> m_params; // the caller's, bound to $1, $2, ...
    std::vector<Column> m_columns;
    PgResultHandle m_first;
    qint64 m_firstLimit = 0;
    quint64 m_firstWrites = 0;
};

} // namespace

QString withoutPassword(const QString& text, const QString& location)
{
    if (!isServerLocation(location))
        return text;
    const QString hidden = QStringLiteral("***");
    QString shown = location;
    QStringList secrets;
    // As libpq reads a URI: the user information ends at the first '@'
    // before any '/', and its password follows the first ':'.
    const qsizetype start = location.indexOf(QLatin1String("://")) + 3;
    qsizetype end = start;
    while (end < location.size() && location.at(end) != QLatin1Char('@') &&
           location.at(end) != QLatin1Char('/'))
        ++end;
    if (end < location.size() && location.at(end) == QLatin1Char('@')) {
        const qsizetype colon = location.indexOf(QLatin1Char(':'), start);
        if (colon >= 0 && colon < end) {
            secrets << location.mid(colon + 1, end - colon - 1);
            shown.replace(colon + 1, end - colon - 1, hidden);
        }
    }
    static const QRegularExpression parameter(QStringLiteral(R"(([?&]password=)([^&]*))"));
    const qsizetype query = shown.indexOf(QLatin1Char('?'), start);
    if (query >= 0) {
        QString tail = shown.mid(query);
        for (auto it = parameter.globalMatch(tail); it.hasNext();)
            secrets << it.next().captured(2);
        tail.replace(parameter, QStringLiteral("\\1") + hidden);
        shown = shown.left(query) + tail;
    }
    QString out = QString(text).replace(location, shown);
    for (const QString& secret : std::as_const(secrets)) {
        for (const QString& form : {secret, QUrl::fromPercentEncoding(secret.toUtf8())}) {
            if (!form.isEmpty())
                out.replace(form, hidden);
        }
    }
    return out;
}

PgSession::PgSession(QString uri, PgConnectionHandle conn) : Session(std::move(uri)), m_conn(std::move(conn))
{
}

std::shared_ptr<PgSession> PgSession::connect(const QString& uri)
{
    const QByteArray location = uri.toUtf8();
    const QByteArray timeout = QByteArray::number(10);
    // The trail names the workstation by it.
    const QByteArray workstation = QSysInfo::machineHostName().left(63).toUtf8();
    // A call that hangs ends as an error: the statement after its timeout,
    // a dead peer after the keepalives or the unacknowledged data's timeout.
    // The zone is the terminal's own, in which the server computes hours.
    const QByteArray options =
        QStringLiteral("-c statement_timeout=%1 -c TimeZone=%2")
            .arg(QString::number(StatementTimeoutMs), QString::fromUtf8(QTimeZone::systemTimeZoneId()))
            .toUtf8();
    // Ours first, so that the URI may override them; the encoding last, as
    // every text we send and read is UTF-8.
    const char* const keywords[] = {"connect_timeout",
                                    "application_name",
                                    "options",
                                    "keepalives",
                                    "keepalives_idle",
                                    "keepalives_interval",
                                    "keepalives_count",
                                    "tcp_user_timeout",
                                    "dbname",
                                    "client_encoding",
                                    nullptr};
    const char* const values[] = {timeout.constData(),
                                  workstation.isEmpty() ? "PelmarEmployee" : workstation.constData(),
                                  options.constData(),
                                  "1",
                                  "30",
                                  "10",
                                  "3",
                                  "30000",
                                  location.constData(),
                                  "UTF8",
                                  nullptr};
    PgConnectionHandle conn(PQconnectdbParams(keywords, values, 1));
    if (!conn)
        throw RunError(err::ServerConnectionFailed,
                       QStringLiteral("The connection to the PostgreSQL server failed: out of memory."));
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw RunError(
            err::ServerConnectionFailed,
            withoutPassword(QStringLiteral("The connection to the PostgreSQL server '%1' failed. %2")
                                .arg(displayName(conn.get()), messageOf(conn.get())),
                            uri));
    PQsetNoticeProcessor(conn.get(), &ignoreNotice, nullptr);
    std::shared_ptr<PgSession> session(new PgSession(uri, std::move(conn)));
    // A lock wait ends as the file's busy wait does. Floats in full, so that
    // a date serial reads back exactly as it was written.
    PgResultHandle lockRow = session->run(
        QStringLiteral(
            "SELECT set_config('lock_timeout', '%1', false), set_config('extra_float_digits', '3', "
            "false), to_regclass('writelock') IS NOT NULL")
            .arg(Connection::BusyTimeoutMs));
    session->m_rules = PQgetvalue(lockRow.get(), 0, 2)[0] == 't';
    return session;
}

bool PgSession::stale() const
{
    return PQstatus(m_conn.get()) != CONNECTION_OK;
}

QString PgSession::translate(const QString& text) const
{
    return sql::translate(text, Target::Postgres);
}

std::unique_ptr<Query> PgSession::select(const QString& sql, bool paged, int firstPage,
                                         const std::vector<Value>& params)
{
    return std::make_unique<PgQuery>(std::static_pointer_cast<PgSession>(shared_from_this()), sql, paged,
                                     firstPage, params);
}

RunError PgSession::error(const PGresult* result, const QString& context) const
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString message =
        withoutPassword(primary ? QString::fromUtf8(primary) : messageOf(m_conn.get()), location());
    const QByteArray code = state ? QByteArray(state) : QByteArray();
    // 57014: the statement timed out, as on a server that stopped answering.
    if (code.isEmpty() || code.startsWith("08") || code.startsWith("57P") || code == "57014" || stale())
        return RunError(err::ServerCallFailed,
                        QStringLiteral("The call to the PostgreSQL server failed. %1").arg(message));
    if (code == "42P01") {
        static const QRegularExpression relation(QStringLiteral(R"("([^"]+)\")"));
        const QRegularExpressionMatch m = relation.match(message);
        return RunError::of(err::InputTableNotFound,
                            m.hasMatch() ? spelling(m.captured(1), context) : message);
    }
    if (code == "42703" || code == "42P02")
        return RunError::of(err::TooFewParameters);
    if (code == "42501" || code == "25006")
        return RunError::of(err::ReadOnly);
    if (code == "53100")
        return RunError::of(err::DiskFull);
    if (code == "55P03" || code == "40P01" || code == "40001")
        return RunError::of(err::Locked);
    if (code.startsWith("22") || code.startsWith("23"))
        return RunError(err::ConversionError, message);
    if (code.startsWith("42"))
        return RunError(err::QuerySyntax,
                        QStringLiteral("Syntax error in query expression '%1': %2").arg(context, message));
    return RunError(err::EngineFailure, message);
}

void PgSession::exec(const QString& sql)
{
    PgResultHandle result(PQexec(m_conn.get(), sql.toUtf8().constData()));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY)
        throw error(result.get(), sql);
}

PgResultHandle PgSession::run(const QString& sql, const std::vector<Value>& params)
{
    const Parameters p(params);
    PgResultHandle result(PQexecParams(m_conn.get(), sql.toUtf8().constData(), p.count(), p.types.data(),
                                       p.pointers.data(), nullptr, nullptr, 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw error(result.get(), sql);
    return result;
}

int PgSession::write(const QString& sql, const std::vector<Value>& params)
{
    // PostgreSQL has no last-row-id: a new row tells its key itself.
    static const QRegularExpression insert(QStringLiteral(R"(^\s*INSERT\s+INTO\s+("(?:[^"]|"")+"|\w+))"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression returning(QStringLiteral(R"(\bRETURNING\b)"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString text = sql;
    bool returnsKey = false;
    if (const QRegularExpressionMatch m = insert.match(sql);
        m.hasMatch() && !returning.match(sql).hasMatch()) {
        QString table = m.captured(1);
        if (table.startsWith(QLatin1Char('"')))
            table = table.mid(1, table.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
        const QString key = describe(table).primaryKey;
        if (!key.isEmpty()) {
            text += QStringLiteral(" RETURNING ") + quotedName(key.toLower());
            returnsKey = true;
        }
    }
    ++m_writes;
    PgResultHandle result = run(text, params);
    const int rows = PQntuples(result.get());
    if (returnsKey && rows > 0)
        m_lastInsertId =
            readInteger(PQgetvalue(result.get(), rows - 1, 0), PQgetlength(result.get(), rows - 1, 0));
    return QByteArray(PQcmdTuples(result.get())).toInt();
}

TableShape PgSession::describe(const QString& table)
{
    const QString key = table.toLower();
    if (const auto cached = m_shapes.constFind(key); cached != m_shapes.cend())
        return *cached;
    PgResultHandle result = run(
        QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod), "
                       "EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = a.attrelid AND i.indisprimary "
                       "AND a.attnum = ANY (i.indkey)) "
                       "FROM pg_attribute a WHERE a.attrelid = to_regclass($1) AND a.attnum > 0 "
                       "AND NOT a.attisdropped ORDER BY a.attnum"),
        {Value::text(quotedName(key))});
    TableShape shape;
    const PGresult* r = result.get();
    for (int row = 0; row < PQntuples(r); ++row) {
        const QString name = spelling(QString::fromUtf8(PQgetvalue(r, row, 0)), QString());
        shape.columns << name;
        shape.kinds.push_back(kindOfDeclType(QString::fromUtf8(PQgetvalue(r, row, 1)).toUpper()));
        if (PQgetvalue(r, row, 2)[0] == 't')
            shape.primaryKey = name;
    }
    if (!shape.columns.isEmpty())
        m_shapes.insert(key, shape);
    return shape;
}

Value::Kind PgSession::kindOfColumn(const PGresult* result, int column)
{
    const Oid table = PQftable(result, column);
    const int number = PQftablecol(result, column);
    if (table == 0 || number <= 0)
        return Value::Kind::Null;
    auto known = m_origins.find(table);
    if (known == m_origins.end()) {
        PgResultHandle columns =
            run(QStringLiteral("SELECT attnum, format_type(atttypid, atttypmod) FROM pg_attribute "
                               "WHERE attrelid = $1::oid AND attnum > 0"),
                {Value::integer(table)});
        QHash<int, Value::Kind> kinds;
        for (int row = 0; row < PQntuples(columns.get()); ++row)
            kinds.insert(QByteArray(PQgetvalue(columns.get(), row, 0)).toInt(),
                         kindOfDeclType(QString::fromUtf8(PQgetvalue(columns.get(), row, 1)).toUpper()));
        known = m_origins.emplace(table, std::move(kinds)).first;
    }
    return known->second.value(number, Value::Kind::Null);
}

Value PgSession::field(const PGresult* result, int row, int column, Value::Kind kind)
{
    if (PQgetisnull(result, row, column))
        return Value::null();
    const char* text = PQgetvalue(result, row, column);
    const int length = PQgetlength(result, row, column);
    switch (kind) {
    case Value::Kind::Date:
        return Value::date(readDouble(text, length));
    case Value::Kind::Double:
        return Value::number(readDouble(text, length));
    case Value::Kind::Integer:
        if (PQftype(result, column) != BoolType)
            return Value::integer(readInteger(text, length));
        break;
    case Value::Kind::Text:
        return Value::text(QString::fromUtf8(text, length));
    case Value::Kind::Null:
        break;
    }
    // An expression: typed by the value, as SQLite's storage classes do.
    switch (PQftype(result, column)) {
    case Int2Type:
    case Int4Type:
    case Int8Type:
    case OidType:
        return Value::integer(readInteger(text, length));
    case BoolType:
        return Value::integer(text[0] == 't' ? 1 : 0);
    case Float4Type:
    case Float8Type:
        return Value::number(readDouble(text, length));
    case NumericType:
        // A sum of whole numbers stays whole, as on the file.
        if (std::memchr(text, '.', static_cast<size_t>(length)) == nullptr)
            return Value::integer(readInteger(text, length));
        return Value::number(readDouble(text, length));
    default:
        return Value::text(QString::fromUtf8(text, length));
    }
}

QString PgSession::spelling(const QString& name, const QString& words)
{
    static const QHash<QString, QString> schema = [] {
        QHash<QString, QString> names;
        for (const QString& n : schemaNames())
            names.insert(n.toLower(), n);
        return names;
    }();
    if (const auto known = schema.constFind(name.toLower()); known != schema.cend())
        return *known;
    if (!words.isEmpty() && name == name.toLower()) {
        static const QRegularExpression word(QStringLiteral(R"(\b[A-Za-z_]\w*\b)"));
        for (auto it = word.globalMatch(words); it.hasNext();) {
            const QString w = it.next().captured();
            if (w.compare(name, Qt::CaseInsensitive) == 0)
                return w;
        }
    }
    return name;
}

void PgSession::begin()
{
    // The whole database's write lock, as SQLite's BEGIN IMMEDIATE takes it:
    // two terminals' transactions never interleave.
    try {
        // A row lock ends with its transaction, whoever takes it; databases
        // made before the lock's row take an advisory lock instead.
        exec(m_rules ? QStringLiteral("BEGIN; SELECT LockID FROM writelock FOR UPDATE")
                     : QStringLiteral("BEGIN; SELECT pg_advisory_xact_lock(%1)").arg(WriteLockKey));
    } catch (...) {
        rollback();
        throw;
    }
}

void PgSession::commit()
{
    ++m_writes;
    PgResultHandle result(PQexec(m_conn.get(), "COMMIT"));
    if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        throw error(result.get(), QStringLiteral("COMMIT"));
    // The server answers a failed transaction's COMMIT with ROLLBACK.
    if (std::strcmp(PQcmdStatus(result.get()), "COMMIT") != 0)
        throw RunError(err::EngineFailure, QStringLiteral("The transaction was rolled back after an error."));
}

void PgSession::rollback() noexcept
{
    PQclear(PQexec(m_conn.get(), "ROLLBACK"));
}

} // namespace pelmar::sql
