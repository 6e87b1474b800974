#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace pelmar {

// Names of the record sources and columns the program relies on.
namespace names {
inline const QString PersonnelQuery = QStringLiteral("qslPersonnelShort");
inline const QString TimeQuery = QStringLiteral("qslTime");
inline const QString TimeTable = QStringLiteral("Time");
inline const QString SettingsTable = QStringLiteral("CustomSettings");
inline const QString DatabaseFile = QStringLiteral("Pelmar.mdb");
} // namespace names

// Column names the program reads and writes, spelt as the program's SQL
// spells them (the engine matches them without regard to case).
namespace cols {
inline const QString EmployeeID = QStringLiteral("EmployeeID");
inline const QString FullName = QStringLiteral("FullName");
inline const QString Password = QStringLiteral("Password");
inline const QString TerminationDate = QStringLiteral("TerminationDate");
inline const QString TimeID = QStringLiteral("TimeID");
inline const QString PersonnelID = QStringLiteral("PersonnelID");
inline const QString Tdate = QStringLiteral("Tdate");
inline const QString TimeIn = QStringLiteral("TimeIn");
inline const QString TimeOut = QStringLiteral("TimeOut");
inline const QString Thours = QStringLiteral("Thours");
inline const QString Type = QStringLiteral("Type");
inline const QString SumOfThours = QStringLiteral("SumOfThours");
inline const QString WorkHoursNotify = QStringLiteral("WorkHoursNotify");
inline const QString SmtpServer = QStringLiteral("smtpserver");
inline const QString SmtpUserName = QStringLiteral("smtpusername");
inline const QString SmtpPassword = QStringLiteral("smtppassword");
inline const QString SmtpEmail = QStringLiteral("smtpemail");
} // namespace cols

// The type of a time record that this program writes.
inline const QString WorkedType = QStringLiteral("Worked");

// A saved query over one table whose rows can be edited through it: an edit
// reaches the row of baseTable whose keyColumn matches.
struct SavedQuery
{
    QString name;
    QString baseTable;
    QString keyColumn;
};

const std::vector<SavedQuery>& savedQueries();
const SavedQuery* findSavedQuery(const QString& name);

// Every table, saved query and column of the schema, spelt as the program
// spells them.
const QStringList& schemaNames();

namespace sql {
class Session;

// Creates a new database file at path with the schema and one settings row
// (WorkHoursNotify 10, empty mail settings). Refuses an existing file. A
// server's URI gets the same tables, saved queries and row in its database,
// which must not hold them yet (3010), with the server's own rules and
// audit trail.
void createDatabase(const QString& location);
// Creates the schema and the settings row through an open session, inside
// the transaction the caller holds.
void createTables(Session& session);
// The alerts' outbox, for a database made before it was.
void createOutbox(Session& session);
// The schema's indexes that the database does not hold yet, for files made
// before they were, in the engine's own SQL.
void createIndexes(Session& session);
// The first of the schema's tables and saved queries that the database
// already holds; empty when it holds none of them.
QString existingTable(Session& session);
// Who location logs in as, and whether that role may do everything to the
// tables: always for a file; on a server, when the role is a member of the
// tables' owner (a terminal's role is not). A database without the tables
// has no owner to ask for, and is let through to fail where they are read.
struct TableRights
{
    bool owner = true;
    QString role;      // empty for a file
    QString ownerRole; // the tables' owner; empty for a file or no tables
};
TableRights tableRights(const QString& location);
// The server's URI location with user and password in place of any it
// carries (after the host's user name, or as parameters); an empty password
// leaves libpq to find one in ~/.pgpass.
QString withCredentials(const QString& location, const QString& user, const QString& password);
} // namespace sql

} // namespace pelmar
