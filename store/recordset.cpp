#include "store/recordset.h"

#include "platform/datetime.h"
#include "platform/runerror.h"
#include "store/dialect.h"
#include "store/schema.h"
#include "store/session.h"

#include <QRegularExpression>
#include <algorithm>

namespace pelmar {

namespace {

// A name in the program's dialect, which each engine's translation quotes
// its own way.
QString bracketed(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
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

Recordset::Recordset(std::shared_ptr<sql::Session> session, const QString& source)
    : m_session(std::move(session))
{
    if (isBareName(source)) {
        QString name = source.trimmed();
        if (name.startsWith(QLatin1Char('[')))
            name = name.mid(1, name.size() - 2);
        m_sql = m_session->translate(QStringLiteral("SELECT * FROM ") + bracketed(name));
    } else {
        m_sql = m_session->translate(source);
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
    for (const sql::Column& column : m_query->columns()) {
        m_columns << column.name;
        m_columnKinds.push_back(column.kind);
    }
}

void Recordset::prepare()
{
    m_query.reset();
    m_query = m_session->select(m_sql, m_paged, PageSize);
}

sql::Session& Recordset::session()
{
    if (m_session->stale()) {
        // Throws 3024 when there is no file at the path any more, 3151 when
        // the server cannot be reached.
        std::shared_ptr<sql::Session> now = sql::Session::open(m_session->location());
        m_query.reset();
        m_session = std::move(now);
    }
    // Also after a failed re-prepare, which left none.
    if (!m_query)
        prepare();
    return *m_session;
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
    session();
    const int offset = static_cast<int>(m_rows.size());
    const int limit = std::clamp(offset, PageSize, LargestPage);
    const int read = m_query->read(offset, limit, m_rows);
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
    const sql::TableShape shape = session().describe(t->table);
    t->columns = shape.columns;
    t->kinds = shape.kinds;
    const QString& primaryKey = shape.primaryKey;
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
            text = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(bracketed(t.table));
        } else {
            QStringList columns, marks;
            for (const QString& c : assigned) {
                columns << bracketed(c);
                marks << QStringLiteral("?");
            }
            text = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(bracketed(t.table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        }
        sql::Session& s = session();
        s.write(s.translate(text), values);
    } else if (!assigned.isEmpty()) {
        QStringList sets;
        for (const QString& c : assigned)
            sets << bracketed(c) + QStringLiteral("=?");
        std::vector<Value>& row = m_rows[static_cast<size_t>(m_pos)];
        std::vector<Value> params = values;
        params.push_back(row[static_cast<size_t>(t.keyInResult)]);
        sql::Session& s = session();
        const QString text = QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                 .arg(bracketed(t.table), sets.join(QLatin1Char(',')), bracketed(t.key));
        if (s.write(s.translate(text), params) == 0)
            throw RunError::of(err::RecordDeleted);
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
    m_query.reset();
    m_session.reset();
}

} // namespace pelmar
