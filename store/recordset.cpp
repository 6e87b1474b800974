#include "store/recordset.h"

#include "platform/datetime.h"
#include "platform/runerror.h"
#include "store/dialect.h"
#include "store/schema.h"
#include "store/sqlite.h"

#include <QRegularExpression>
#include <algorithm>

namespace pelmar {

namespace {

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
    return Value::Kind::Null; // decided by each value's storage class
}

Value readColumn(const sql::Statement& stmt, int i, Value::Kind kind)
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

// A bare name (table or saved query) rather than an SQL text.
bool isBareName(const QString& source)
{
    static const QRegularExpression name(QStringLiteral(R"(^\s*(\w+|\[[^\]]+\])\s*$)"));
    return name.match(source).hasMatch();
}

} // namespace

// The table an edit or a new row reaches, and its columns' declared types.
struct Recordset::Target
{
    QString table;
    QString key; // empty when rows cannot be edited, only added
    int keyInResult = -1;
    QStringList columns;
    std::vector<Value::Kind> kinds;

    int indexOf(const QString& name) const
    {
        for (int i = 0; i < columns.size(); ++i) {
            if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
};

Recordset::Recordset(std::shared_ptr<sql::Connection> conn, const QString& source) : m_conn(std::move(conn))
{
    if (isBareName(source)) {
        QString name = source.trimmed();
        if (name.startsWith(QLatin1Char('[')))
            name = name.mid(1, name.size() - 2);
        m_sql = QStringLiteral("SELECT * FROM ") + quoted(name);
    } else {
        m_sql = sql::translate(source);
        if (m_sql.endsWith(QLatin1Char(';')))
            m_sql.chop(1);
    }
    static const QRegularExpression hasLimit(QStringLiteral(R"(\bLIMIT\b)"),
                                             QRegularExpression::CaseInsensitiveOption);
    m_paged = !hasLimit.match(m_sql).hasMatch();
    // Prepared now, so that a statement the engine rejects fails at open,
    // naming the statement the program built rather than our translation.
    try {
        prepare();
    } catch (const RunError& error) {
        if (error.number() == err::QuerySyntax)
            throw RunError::of(err::QuerySyntax, source);
        throw;
    }
    if (!m_stmt->readOnly())
        throw RunError(err::QuerySyntax, QStringLiteral("Only SELECT statements open as recordsets."));
    for (int i = 0; i < m_stmt->columnCount(); ++i) {
        m_columns << m_stmt->columnName(i);
        m_columnKinds.push_back(kindOfDeclType(m_stmt->columnDeclType(i)));
    }
}

void Recordset::prepare()
{
    m_stmt.reset();
    m_stmt = std::make_unique<sql::Statement>(*m_conn,
                                              m_paged ? m_sql + QStringLiteral(" LIMIT ? OFFSET ?") : m_sql);
}

sql::Connection& Recordset::connection()
{
    if (m_conn->stale()) {
        // Throws 3024 when there is no file at the path any more.
        std::shared_ptr<sql::Connection> now = sql::Connection::open(m_conn->path());
        m_stmt.reset();
        m_conn = std::move(now);
    }
    // Also after a failed re-prepare, which left none.
    if (!m_stmt)
        prepare();
    return *m_conn;
}

Recordset::~Recordset() = default;

void Recordset::ensureOpened()
{
    if (m_closed)
        throw RunError(err::EngineFailure, QStringLiteral("Object is closed."));
    if (!m_opened) {
        m_opened = true;
        readPage();
    }
}

void Recordset::readPage()
{
    if (m_complete)
        return;
    connection();
    sql::Statement& stmt = *m_stmt;
    // Reset on every way out: a statement left part-way holds the read lock.
    const std::unique_ptr<sql::Statement, void (*)(sql::Statement*)> resetOnExit(
        &stmt, [](sql::Statement* s) { s->reset(); });
    const int offset = static_cast<int>(m_rows.size());
    const int limit = std::clamp(offset, PageSize, LargestPage);
    if (m_paged) {
        stmt.bind(1, static_cast<qint64>(limit));
        stmt.bind(2, static_cast<qint64>(offset));
    }
    int read = 0;
    while (stmt.step()) {
        std::vector<Value> row;
        row.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            row.push_back(readColumn(stmt, i, m_columnKinds[static_cast<size_t>(i)]));
        m_rows.push_back(std::move(row));
        ++read;
    }
    m_complete = !m_paged || read < limit;
}

void Recordset::fetchMore()
{
    ensureOpened();
    readPage();
}

int Recordset::recordCount()
{
    ensureOpened();
    return fetchedCount();
}

bool Recordset::eof()
{
    ensureOpened();
    if (m_pos >= fetchedCount())
        readPage();
    return m_pos >= fetchedCount();
}

void Recordset::moveFirst()
{
    ensureOpened();
    if (m_rows.empty())
        throw RunError::of(err::NoCurrentRecord);
    m_pos = 0;
}

void Recordset::moveNext()
{
    if (eof())
        throw RunError::of(err::NoCurrentRecord);
    ++m_pos;
}

bool Recordset::moveTo(int index)
{
    ensureOpened();
    while (index >= fetchedCount() && canFetchMore())
        readPage();
    if (index < 0 || index >= fetchedCount())
        return false;
    m_pos = index;
    return true;
}

QStringList Recordset::fieldNames()
{
    return m_columns;
}

int Recordset::columnIndex(const QString& name)
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void Recordset::requireCurrent()
{
    if (eof())
        throw RunError::of(err::NoCurrentRecord);
}

Value Recordset::field(const QString& name)
{
    ensureOpened();
    if (m_mode != EditMode::None && m_target) {
        const int t = m_target->indexOf(name);
        if (t >= 0 && m_buffer[static_cast<size_t>(t)])
            return *m_buffer[static_cast<size_t>(t)];
        if (m_mode == EditMode::AddNew) {
            if (t < 0)
                throw RunError::of(err::ItemNotFound);
            return Value::null();
        }
    }
    const int i = columnIndex(name);
    if (i < 0)
        throw RunError::of(err::ItemNotFound);
    requireCurrent();
    return m_rows[static_cast<size_t>(m_pos)][static_cast<size_t>(i)];
}

const Recordset::Target& Recordset::target()
{
    if (m_target)
        return *m_target;
    auto t = std::make_unique<Target>();
    const QString source = sql::singleSource(m_sql);
    if (source.isEmpty())
        throw RunError::of(err::ReadOnly);
    if (const SavedQuery* query = findSavedQuery(source)) {
        t->table = query->baseTable;
        t->key = query->keyColumn;
    } else {
        t->table = source;
    }
    sql::Statement info(connection(),
                        QStringLiteral("PRAGMA table_info(") + quoted(t->table) + QLatin1Char(')'));
    QString primaryKey;
    while (info.step()) {
        t->columns << info.columnText(1);
        t->kinds.push_back(kindOfDeclType(info.columnText(2).toUpper()));
        if (info.columnInt(5) == 1)
            primaryKey = info.columnText(1);
    }
    if (t->columns.isEmpty())
        throw RunError::of(err::ReadOnly);
    if (t->key.isEmpty())
        t->key = primaryKey;
    if (!t->key.isEmpty())
        t->keyInResult = columnIndex(t->key);
    m_target = std::move(t);
    return *m_target;
}

void Recordset::edit()
{
    ensureOpened();
    requireCurrent();
    const Target& t = target();
    if (t.keyInResult < 0)
        throw RunError::of(err::ReadOnly);
    m_buffer.assign(static_cast<size_t>(t.columns.size()), std::nullopt);
    m_mode = EditMode::Edit;
}

void Recordset::addNew()
{
    if (m_closed)
        throw RunError(err::EngineFailure, QStringLiteral("Object is closed."));
    const Target& t = target();
    m_buffer.assign(static_cast<size_t>(t.columns.size()), std::nullopt);
    m_mode = EditMode::AddNew;
}

Value Recordset::convertForColumn(const QString& column, const Value& value)
{
    const Target& t = target();
    const int i = t.indexOf(column);
    if (i < 0)
        throw RunError::of(err::ItemNotFound);
    if (value.isNull())
        return value;
    try {
        switch (t.kinds[static_cast<size_t>(i)]) {
        case Value::Kind::Date:
            return Value::date(value.toDate());
        case Value::Kind::Integer:
            return Value::integer(value.toInteger());
        case Value::Kind::Double:
            return Value::number(value.toDouble());
        case Value::Kind::Text:
            return Value::text(value.toText());
        case Value::Kind::Null:
            return value;
        }
    } catch (const RunError&) {
        throw RunError::of(err::ConversionError);
    }
    return value;
}

void Recordset::setField(const QString& name, const Value& value)
{
    if (m_mode == EditMode::None)
        throw RunError::of(err::UpdateWithoutEdit);
    const Value converted = convertForColumn(name, value);
    m_buffer[static_cast<size_t>(target().indexOf(name))] = converted;
}

void Recordset::update()
{
    if (m_mode == EditMode::None)
        throw RunError::of(err::UpdateWithoutEdit);
    const Target& t = target();
    QStringList assigned;
    std::vector<Value> values;
    for (size_t i = 0; i < m_buffer.size(); ++i) {
        if (m_buffer[i]) {
            assigned << t.columns[static_cast<int>(i)];
            values.push_back(*m_buffer[i]);
        }
    }
    if (m_mode == EditMode::AddNew) {
        QString text;
        if (assigned.isEmpty()) {
            text = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(t.table));
        } else {
            QStringList columns, marks;
            for (const QString& c : assigned) {
                columns << quoted(c);
                marks << QStringLiteral("?");
            }
            text = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(quoted(t.table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        }
        sql::Statement stmt(connection(), text);
        for (size_t i = 0; i < values.size(); ++i)
            sql::bindValue(stmt, static_cast<int>(i) + 1, values[i]);
        stmt.step();
    } else if (!assigned.isEmpty()) {
        QStringList sets;
        for (const QString& c : assigned)
            sets << quoted(c) + QStringLiteral("=?");
        sql::Statement stmt(connection(),
                            QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                .arg(quoted(t.table), sets.join(QLatin1Char(',')), quoted(t.key)));
        size_t n = 0;
        for (; n < values.size(); ++n)
            sql::bindValue(stmt, static_cast<int>(n) + 1, values[n]);
        std::vector<Value>& row = m_rows[static_cast<size_t>(m_pos)];
        sql::bindValue(stmt, static_cast<int>(n) + 1, row[static_cast<size_t>(t.keyInResult)]);
        stmt.step();
        if (sqlite3_changes(m_conn->handle()) == 0)
            throw RunError(3167, QStringLiteral("Record is deleted."));
        // What was written is what the row now holds.
        for (int i = 0; i < assigned.size(); ++i) {
            const int r = columnIndex(assigned[i]);
            if (r >= 0)
                row[static_cast<size_t>(r)] = values[static_cast<size_t>(i)];
        }
    }
    m_mode = EditMode::None;
    m_buffer.clear();
}

void Recordset::cancelUpdate()
{
    m_mode = EditMode::None;
    m_buffer.clear();
}

void Recordset::close()
{
    m_closed = true;
    m_rows.clear();
    m_stmt.reset();
    m_conn.reset();
}

} // namespace pelmar
