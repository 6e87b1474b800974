#include "store/sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <map>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pelmar::sql {

namespace {

// Checks the location before SQLite sees it, so that a wrong location gives
// the engine's own numbers and nothing is ever created.
void checkLocation(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || path.contains(QChar(0)) || info.fileName().isEmpty())
        throw RunError::of(err::FileNameNotValid);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        throw RunError::of(err::PathNotValid, QDir::toNativeSeparators(folder));
    if (info.isDir())
        throw RunError::of(err::FileNameNotValid);
    if (!info.exists())
        throw RunError::of(err::CouldNotFindFile, QDir::toNativeSeparators(path));
}

QString extractQuoted(const QString& message, const QString& prefix)
{
    const int at = message.indexOf(prefix);
    return at < 0 ? message : message.mid(at + prefix.size()).trimmed();
}

} // namespace

Connection::Connection(ConnectionHandle db, QString path) : m_db(std::move(db)), m_path(std::move(path)) {}

std::shared_ptr<Connection> Connection::open(const QString& path)
{
    static std::mutex mutex;
    static std::map<QString, std::weak_ptr<Connection>> alive;
    // Every action comes here: the connection still open on the same file
    // costs one stat and no more.
    const QString key =
        QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : QFileInfo(path).absoluteFilePath();
    std::lock_guard<std::mutex> lock(mutex);
    if (std::shared_ptr<Connection> conn = alive[key].lock(); conn && !conn->stale())
        return conn;
    std::shared_ptr<Connection> conn = openPrivate(path);
    alive[key] = conn;
    return conn;
}

bool Connection::sameFileAsOpened() const
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0)
        return false;
    return info.st_dev == m_device && info.st_ino == m_inode;
}

bool Connection::stale() const
{
    if (!sameFileAsOpened())
        return true;
    return sqlite3_db_readonly(m_db.get(), "main") == 1 &&
           ::access(QFile::encodeName(m_path).constData(), W_OK) == 0;
}

std::shared_ptr<Connection> Connection::openPrivate(const QString& path)
{
    checkLocation(path);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    ConnectionHandle db(raw);
    if (rc != SQLITE_OK)
        throw RunError::of(err::CouldNotFindFile, QDir::toNativeSeparators(path));
    std::shared_ptr<Connection> conn(new Connection(std::move(db), path));
    conn->configure();
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        conn->m_device = info.st_dev;
        conn->m_inode = info.st_ino;
    }
    return conn;
}

std::shared_ptr<Connection> Connection::create(const QString& path)
{
    const QFileInfo info(path);
    if (info.fileName().isEmpty())
        throw RunError::of(err::FileNameNotValid);
    if (!QFileInfo(info.absolutePath()).isDir())
        throw RunError::of(err::PathNotValid, QDir::toNativeSeparators(info.absolutePath()));
    if (info.exists())
        throw RunError(err::PathFileAccess, QStringLiteral("The file '%1' already exists.").arg(path));
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    ConnectionHandle db(raw);
    if (rc != SQLITE_OK)
        throw RunError(err::PathFileAccess, QStringLiteral("Cannot create '%1'.").arg(path));
    std::shared_ptr<Connection> conn(new Connection(std::move(db), path));
    conn->configure();
    return conn;
}

// Waits for another connection's lock for up to BusyTimeoutMs, in short
// naps of uneven length. SQLite's own timeout naps 100 ms at a time after the
// first quarter second; with several workstations writing, such a sleeper
// keeps missing the moments the lock is free and runs out of time while the
// others take turns.
int Connection::busyWait(void* self, int count) noexcept
{
    auto* conn = static_cast<Connection*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0)
        conn->m_busySince = now;
    if (now - conn->m_busySince >= std::chrono::milliseconds(BusyTimeoutMs))
        return 0;
    thread_local std::minstd_rand random(static_cast<unsigned>(::getpid()) ^
                                         static_cast<unsigned>(reinterpret_cast<quintptr>(&count)));
    std::this_thread::sleep_for(std::chrono::microseconds(500 + random() % 2000));
    return 1;
}

void Connection::configure()
{
    sqlite3_busy_handler(m_db.get(), &Connection::busyWait, this);
    // A misspelt "column" must be an error, never quietly a text.
    sqlite3_db_config(m_db.get(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db.get(), SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_extended_result_codes(m_db.get(), 0);
    // The suite database may sit in a shared network folder, where WAL's
    // shared memory does not work: keep the rollback journal.
    exec(QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;"));
}

void Connection::exec(const QString& sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db.get(), sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK)
        throw error(rc, sql);
}

RunError Connection::error(int code, const QString& context) const
{
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db.get()));
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return RunError::of(err::Locked);
    case SQLITE_READONLY:
        return RunError::of(err::ReadOnly);
    case SQLITE_FULL:
        return RunError::of(err::DiskFull);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return RunError::of(err::UnrecognizedFormat, QDir::toNativeSeparators(m_path));
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN: {
        // A write refused for want of room is a full disk, whatever the
        // engine calls it (a file-size limit or a quota gives EFBIG or
        // EDQUOT). The file's own last error outlives the clean-up after it.
        int fileErrno = 0;
        sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_LAST_ERRNO, &fileErrno);
        for (const int system : {fileErrno, sqlite3_system_errno(m_db.get())}) {
            if (system == ENOSPC || system == EFBIG || system == EDQUOT)
                return RunError::of(err::DiskFull);
        }
        return RunError::of(err::DiskOrNetwork);
    }
    case SQLITE_CONSTRAINT:
    case SQLITE_MISMATCH:
        return RunError(err::ConversionError, message);
    default:
        break;
    }
    if (message.startsWith(QLatin1String("no such table")))
        return RunError::of(err::InputTableNotFound, extractQuoted(message, QStringLiteral(":")));
    if (message.startsWith(QLatin1String("no such column")))
        return RunError::of(err::TooFewParameters);
    if (code == SQLITE_ERROR)
        return RunError(err::QuerySyntax,
                        QStringLiteral("Syntax error in query expression '%1': %2").arg(context, message));
    return RunError(err::EngineFailure, message);
}

Statement::Statement(const Connection& conn, const QString& sql) : m_conn(conn), m_sql(sql)
{
    sqlite3_stmt* raw = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(conn.handle(), text.constData(), static_cast<int>(text.size()), &raw, nullptr);
    m_stmt.reset(raw);
    if (rc != SQLITE_OK)
        throw conn.error(rc, sql);
    if (!m_stmt)
        throw RunError::of(err::QuerySyntax, QString());
}

void Statement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt.get(), index);
}

void Statement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt.get(), index, value);
}

void Statement::bind(int index, double value)
{
    sqlite3_bind_double(m_stmt.get(), index, value);
}

void Statement::bind(int index, const QString& value)
{
    const QByteArray text = value.toUtf8();
    sqlite3_bind_text(m_stmt.get(), index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw m_conn.error(sqlite3_errcode(m_conn.handle()), m_sql);
}

void Statement::reset() noexcept
{
    sqlite3_reset(m_stmt.get());
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt.get());
}

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt.get(), i));
}

QString Statement::columnDeclType(int i) const
{
    const char* type = sqlite3_column_decltype(m_stmt.get(), i);
    return type ? QString::fromUtf8(type).toUpper() : QString();
}

int Statement::columnType(int i) const
{
    return sqlite3_column_type(m_stmt.get(), i);
}

qint64 Statement::columnInt(int i) const
{
    return sqlite3_column_int64(m_stmt.get(), i);
}

double Statement::columnDouble(int i) const
{
    return sqlite3_column_double(m_stmt.get(), i);
}

QString Statement::columnText(int i) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), i));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt.get(), i));
}

bool Statement::readOnly() const
{
    return sqlite3_stmt_readonly(m_stmt.get()) != 0;
}

void bindValue(Statement& stmt, int index, const Value& value)
{
    switch (value.kind()) {
    case Value::Kind::Null:
        stmt.bindNull(index);
        break;
    case Value::Kind::Integer:
        stmt.bind(index, value.toInteger());
        break;
    case Value::Kind::Double:
    case Value::Kind::Date:
        stmt.bind(index, value.toDouble());
        break;
    case Value::Kind::Text:
        stmt.bind(index, value.toText());
        break;
    }
}

} // namespace pelmar::sql
