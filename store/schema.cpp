#include "store/schema.h"

#include "store/sqlite.h"

#include <QFile>

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
INSERT INTO CustomSettings (SettingsID, WorkHoursNotify, smtpserver, smtpusername, smtppassword, smtpemail)
    VALUES (1, 10, '', '', '', '');
)sql";

} // namespace

void createDatabase(const QString& path)
{
    std::shared_ptr<Connection> conn = Connection::create(path);
    try {
        conn->exec(QStringLiteral("BEGIN;") + QString::fromUtf8(Schema) + QStringLiteral("COMMIT;"));
    } catch (...) {
        conn.reset();
        QFile::remove(path);
        throw;
    }
}

} // namespace sql
} // namespace pelmar
