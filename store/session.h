#pragma once

#include "platform/value.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace pelmar {

// Numbers of a server's faults, in the range of the file's database errors.
namespace err {
constexpr int ServerCallFailed = 3146;       // the connection was lost during a statement
constexpr int ServerConnectionFailed = 3151; // no connection: unreachable, log-in refused, no database
} // namespace err

namespace sql {

// A result column as the program sees it: the name spelt as the program
// spells it, and the kind its values take (Null: decided by each value).
struct Column
{
    QString name;
    Value::Kind kind = Value::Kind::Null;
};

// The columns of a table that an edit or a new row reaches.
struct TableShape
{
    QStringList columns; // spelt as the program spells them
    std::vector<Value::Kind> kinds;
    QString primaryKey; // empty when the table has none
};

using Row = std::vector<Value>;

// A SELECT ready to be read a page at a time. Nothing stays open between
// reads: each one runs to the end of its page and lets go of the engine.
class Query
{
public:
    virtual ~Query() = default;
    virtual const std::vector<Column>& columns() const = 0;
    // Appends up to limit rows from offset on (every row when the query was
    // opened unpaged) and returns how many it appended.
    virtual int read(qint64 offset, qint64 limit, std::vector<Row>& rows) = 0;
};

// One open connection of an engine: the SQLite file or the PostgreSQL
// server. Shared by everything opened on the same location in a process.
class Session : public std::enable_shared_from_this<Session>
{
public:
    virtual ~Session() = default;

    // The connection to the location that is still good, or a new one: a
    // file path or a PostgreSQL connection URI. Wrong locations throw the
    // engine's numbers (3024, 3044, 3055 for a file, 3151 for a server).
    static std::shared_ptr<Session> open(const QString& location);
    // A connection of its own, never shared.
    static std::shared_ptr<Session> openPrivate(const QString& location);

    const QString& location() const { return m_location; }
    // True when the next action must open a new connection: the file was
    // replaced or removed, the server connection was lost.
    virtual bool stale() const = 0;

    // The program's SQL dialect in this engine's SQL.
    virtual QString translate(const QString& text) const = 0;
    // Prepares a translated SELECT with its ? marks bound to params in order;
    // paged adds the LIMIT and OFFSET of each read. The engine may read the
    // first page of firstPage rows at once. Throws 3075 for anything but a
    // SELECT.
    virtual std::unique_ptr<Query> select(const QString& sql, bool paged, int firstPage,
                                          const std::vector<Value>& params = {}) = 0;
    // Runs one translated INSERT, UPDATE or DELETE with its ? marks bound to
    // params in order; returns the number of rows it changed.
    virtual int write(const QString& sql, const std::vector<Value>& params) = 0;
    // Key of the row the last INSERT added.
    virtual qint64 lastInsertId() const = 0;
    // Columns and key of a table or saved query's table; no columns when
    // there is no such table.
    virtual TableShape describe(const QString& table) = 0;
    // Runs statements of the engine's own SQL that return no rows.
    virtual void exec(const QString& sql) = 0;

    // A write transaction that holds the database's write lock from its
    // start, so that writers of all terminals take turns.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;

protected:
    explicit Session(QString location) : m_location(std::move(location)) {}

private:
    QString m_location;
};

// True for a location that names a PostgreSQL server (a libpq connection
// URI) rather than a database file.
bool isServerLocation(const QString& location);
// True when a call to the database at location may wait on a network for as
// long as the network does: a server, or a file on a network file system. A
// local file's waits end with its busy timeout.
bool reachedOverNetwork(const QString& location);

// text with every trace of the password a server's URI may carry (after the
// user name, or as a password= parameter) shown as ***: the URI itself and
// the password alone, as libpq quotes either in its messages. Give the URI
// as both to show the URI. A file path leaves text as it is.
QString withoutPassword(const QString& text, const QString& location);
// A location as titles and messages name it: a file's path in the system's
// separators, a server's URI with its password shown as ***.
QString shownLocation(const QString& location);

} // namespace sql
} // namespace pelmar
