#include "store/schema.h"

#include "platform/runerror.h"
#include "store/postgres.h"
#include "store/serverrules.h"
#include "store/sqlitesession.h"

#include <QFile>
#include <QUrl>
#include <QUrlQuery>

namespace pelmar {

const std::vector<SavedQuery>& savedQueries()
{
    static const std::vector<SavedQuery> queries = {
        {names::PersonnelQuery, QStringLiteral("Personnel"), QStringLiteral("EmployeeID")},
        {names::TimeQuery, names::TimeTable, QStringLiteral("TimeID")},
    };
    return queries;
}

const SavedQuery* findSavedQuery(const QString& name)
{
    for (const SavedQuery& query : savedQueries()) {
        if (query.name.compare(name, Qt::CaseInsensitive) == 0)
            return &query;
    }
    return nullptr;
}

const QStringList& schemaNames()
{
    static const QStringList names = {
        QStringLiteral("Personnel"),
        QStringLiteral("EmployeeID"),
        QStringLiteral("FullName"),
        QStringLiteral("Password"),
        QStringLiteral("TerminationDate"),
        QStringLiteral("Time"),
        QStringLiteral("TimeID"),
        QStringLiteral("PersonnelID"),
        QStringLiteral("Tdate"),
        QStringLiteral("TimeIn"),
        QStringLiteral("TimeOut"),
        QStringLiteral("Thours"),
        QStringLiteral("Type"),
        QStringLiteral("CustomSettings"),
        QStringLiteral("SettingsID"),
        QStringLiteral("WorkHoursNotify"),
        QStringLiteral("smtpserver"),
        QStringLiteral("smtpusername"),
        QStringLiteral("smtppassword"),
        QStringLiteral("smtpemail"),
        QStringLiteral("qslPersonnelShort"),
        QStringLiteral("qslTime"),
        QStringLiteral("TimeAudit"),
        QStringLiteral("AuditID"),
        QStringLiteral("When"),
        QStringLiteral("Workstation"),
        QStringLiteral("Action"),
        QStringLiteral("Before"),
        QStringLiteral("After"),
        QStringLiteral("Account"),
        QStringLiteral("Address"),
        QStringLiteral("WriteLock"),
        QStringLiteral("LockID"),
        QStringLiteral("AlertOutbox"),
        QStringLiteral("AlertID"),
        QStringLiteral("ShiftDate"),
        QStringLiteral("Message"),
        QStringLiteral("State"),
        QStringLiteral("Tries"),
        QStringLiteral("LastError"),
        QStringLiteral("Created"),
        QStringLiteral("NextTry"),
        QStringLiteral("ClaimedUntil"),
        QStringLiteral("SentAt"),
    };
    return names;
}

namespace sql {

namespace {

// Dates and times are date serials in REAL columns declared DATETIME, so any
// SQLite tool reads them and the program knows to show them as dates.
// TimeByEmployee serves every per-employee range (listing, total, where-is)
// in its own order, and holds Thours so that a total never reads the rows;
// TimeByDate serves the all-records listing; PersonnelByName gives the
// current employees in name order without sorting them at every page.
const char* const Schema = R"sql(
CREATE TABLE Personnel (
    EmployeeID      INTEGER PRIMARY KEY,
    FullName        TEXT NOT NULL,
    Password        TEXT,
    TerminationDate DATETIME
);
CREATE INDEX PersonnelByName ON Personnel (TerminationDate, FullName);
CREATE TABLE "Time" (
    TimeID      INTEGER PRIMARY KEY AUTOINCREMENT,
    PersonnelID INTEGER NOT NULL,
    Tdate       DATETIME,
    TimeIn      DATETIME,
    TimeOut     DATETIME,
    Thours      DOUBLE,
    Type        TEXT
);
CREATE INDEX TimeByEmployee ON "Time" (PersonnelID, Tdate, TimeIn, Thours);
CREATE INDEX TimeByDate ON "Time" (Tdate, TimeIn);
CREATE TABLE CustomSettings (
    SettingsID      INTEGER PRIMARY KEY,
    WorkHoursNotify DOUBLE,
    smtpserver      TEXT,
    smtpusername    TEXT,
    smtppassword    TEXT,
    smtpemail       TEXT
);
CREATE VIEW qslPersonnelShort AS
    SELECT EmployeeID, FullName, Password, TerminationDate FROM Personnel ORDER BY FullName;
CREATE VIEW qslTime AS
    SELECT TimeID, PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type FROM "Time";
CREATE TABLE AlertOutbox (
    AlertID      INTEGER PRIMARY KEY,
    EmployeeID   INTEGER,
    TimeID       INTEGER,
    FullName     TEXT,
    ShiftDate    DATETIME,
    Message      TEXT NOT NULL,
    State        TEXT NOT NULL,
    Tries        INTEGER NOT NULL DEFAULT 0,
    LastError    TEXT,
    Created      DOUBLE NOT NULL,
    NextTry      DOUBLE NOT NULL,
    ClaimedUntil DOUBLE,
    SentAt       DOUBLE
);
CREATE INDEX AlertOutboxByState ON AlertOutbox (State, NextTry);
INSERT INTO CustomSettings (SettingsID, WorkHoursNotify, smtpserver, smtpusername, smtppassword, smtpemail)
    VALUES (1, 10, '', '', '', '');
)sql";

// The same on PostgreSQL. Names are unquoted, so the server keeps them in
// lower case and matches them in any case. Dates are date serials in
// columns of the domain datetime, a double precision that tells the program
// to show it as a date. Texts sort by code point, as on the file, and the
// indexes keep Null first, so that newest-first orders (Null last, as
// SQLite sorts) read them backwards. TimeByEmployee carries Thours for the
// totals, as the file's index does.
const char* const ServerSchema = R"sql(
CREATE DOMAIN datetime AS double precision;
CREATE TABLE Personnel (
    EmployeeID      bigint PRIMARY KEY,
    FullName        text COLLATE "C" NOT NULL,
    Password        text COLLATE "C",
    TerminationDate datetime
);
CREATE INDEX PersonnelByName ON Personnel (TerminationDate NULLS FIRST, FullName);
CREATE TABLE Time (
    TimeID      bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    PersonnelID bigint NOT NULL,
    Tdate       datetime,
    TimeIn      datetime,
    TimeOut     datetime,
    Thours      double precision,
    Type        text COLLATE "C"
);
CREATE INDEX TimeByEmployee ON Time (PersonnelID, Tdate NULLS FIRST, TimeIn NULLS FIRST) INCLUDE (Thours);
CREATE INDEX TimeByDate ON Time (Tdate NULLS FIRST, TimeIn NULLS FIRST);
CREATE TABLE CustomSettings (
    SettingsID      bigint PRIMARY KEY,
    WorkHoursNotify double precision,
    smtpserver      text COLLATE "C",
    smtpusername    text COLLATE "C",
    smtppassword    text COLLATE "C",
    smtpemail       text COLLATE "C"
);
CREATE VIEW qslPersonnelShort AS
    SELECT EmployeeID, FullName, Password, TerminationDate FROM Personnel ORDER BY FullName;
CREATE VIEW qslTime AS
    SELECT TimeID, PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type FROM Time;
CREATE TABLE AlertOutbox (
    AlertID      bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    EmployeeID   bigint,
    TimeID       bigint,
    FullName     text COLLATE "C",
    ShiftDate    datetime,
    Message      text COLLATE "C" NOT NULL,
    State        text COLLATE "C" NOT NULL,
    Tries        integer NOT NULL DEFAULT 0,
    LastError    text COLLATE "C",
    Created      double precision NOT NULL,
    NextTry      double precision NOT NULL,
    ClaimedUntil double precision,
    SentAt       double precision
);
CREATE INDEX AlertOutboxByState ON AlertOutbox (State, NextTry);
INSERT INTO CustomSettings (SettingsID, WorkHoursNotify, smtpserver, smtpusername, smtppassword, smtpemail)
    VALUES (1, 10, '', '', '', '');
)sql";

const char* const Tables[] = {"Personnel", "Time", "CustomSettings", "qslPersonnelShort", "qslTime"};

} // namespace

void createTables(Session& session)
{
    const bool server = dynamic_cast<PgSession*>(&session) != nullptr;
    session.exec(QString::fromUtf8(server ? ServerSchema : Schema));
}

void createOutbox(Session& session)
{
    const bool server = dynamic_cast<PgSession*>(&session) != nullptr;
    const QString schema = QString::fromUtf8(server ? ServerSchema : Schema);
    const qsizetype from = schema.indexOf(QStringLiteral("CREATE TABLE AlertOutbox"));
    const qsizetype to = schema.indexOf(QLatin1Char(';'), from);
    session.exec(QString(schema.mid(from, to - from)).insert(13, QStringLiteral("IF NOT EXISTS ")));
}

void createIndexes(Session& session)
{
    const bool server = dynamic_cast<PgSession*>(&session) != nullptr;
    const QString create = QStringLiteral("CREATE INDEX ");
    for (const QString& line : QString::fromUtf8(server ? ServerSchema : Schema).split(QLatin1Char('\n'))) {
        if (line.startsWith(create))
            session.exec(QString(line).insert(create.size(), QStringLiteral("IF NOT EXISTS ")));
    }
}

QString existingTable(Session& session)
{
    for (const char* table : Tables) {
        if (!session.describe(QString::fromLatin1(table)).columns.isEmpty())
            return QString::fromLatin1(table);
    }
    return QString();
}

TableRights tableRights(const QString& location)
{
    if (!isServerLocation(location))
        return {};
    std::shared_ptr<PgSession> session = PgSession::connect(location);
    std::vector<Row> rows;
    session
        ->select(
            QStringLiteral("SELECT CAST(current_user AS text), CAST(pg_get_userbyid(c.relowner) AS text), "
                           "CAST(pg_has_role(current_user, c.relowner, 'MEMBER') AS integer) "
                           "FROM (SELECT 1) AS one LEFT JOIN pg_class c "
                           "ON c.oid = to_regclass('personnel')"),
            false, 0)
        ->read(0, 0, rows);
    if (rows.empty())
        return {};
    const Row& row = rows.front();
    return {row[2].isNull() || row[2].toInteger() == 1, row[0].toTextOrEmpty(), row[1].toTextOrEmpty()};
}

QString withCredentials(const QString& location, const QString& user, const QString& password)
{
    QUrl url(location);
    url.setUserInfo(QString());
    QUrlQuery query(url);
    for (const QString& key : {QStringLiteral("user"), QStringLiteral("password")})
        query.removeAllQueryItems(key);
    // As parameters, where a URI without a host (a service's) takes them too;
    // percent-encoded, so that no '&', '=' or '%' in them reads as syntax.
    query.addQueryItem(QStringLiteral("user"), QString::fromLatin1(QUrl::toPercentEncoding(user)));
    // None typed, libpq looks in the user's ~/.pgpass.
    if (!password.isEmpty())
        query.addQueryItem(QStringLiteral("password"),
                           QString::fromLatin1(QUrl::toPercentEncoding(password)));
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

void createDatabase(const QString& location)
{
    if (isServerLocation(location)) {
        std::shared_ptr<PgSession> session = PgSession::connect(location);
        if (const QString table = existingTable(*session); !table.isEmpty())
            throw RunError::of(err::TableExists, table);
        session->exec(QStringLiteral("BEGIN;") + QString::fromUtf8(ServerSchema));
        try {
            installServerRules(*session);
            session->exec(QStringLiteral("COMMIT"));
        } catch (...) {
            session->rollback();
            throw;
        }
        return;
    }
    std::shared_ptr<Connection> conn = Connection::create(location);
    try {
        conn->exec(QStringLiteral("BEGIN;") + QString::fromUtf8(Schema) + QStringLiteral("COMMIT;"));
    } catch (...) {
        conn.reset();
        QFile::remove(location);
        throw;
    }
}

} // namespace sql
} // namespace pelmar
