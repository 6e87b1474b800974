#pragma once

#include "platform/value.h"

#include <QString>
#include <vector>

namespace pelmar {

class Database;

// The audit trail: one TimeAudit row for every change of a time record, an
// employee or the settings, in the transaction of the change. On a server
// the tables' triggers write it, for every statement whoever sends it; on a
// file the program writes the same rows itself. Files made by the suite's
// other programs have no such table until `pelmar-db upgrade`; they are read
// and written without a trail.
namespace audit {

struct Entry
{
    double when = 0; // date serial of the change
    QString action;
    Value timeId;     // Null for a change that is no time record's
    Value employeeId; // Null for the settings
    Value before;     // the fields as text; Null for an added row
    Value after;      // Null for a deleted row
};

// A punch written back from a terminal's journal: its key, and where and
// when it was punched. Empty for every other change.
struct Offline
{
    QString entryKey;
    QString description;
};

// Creates the table, or brings an older one up to date; safe to run again.
void createTable(Database& db);

// Whether the database keeps a trail. Asked of the file once per path, so
// call it before a transaction begins: a failed look-up must not end one.
bool available(Database& db);

// Names the change the caller's transaction writes next; a server's trigger
// writes it under this name.
void label(Database& db, const QString& action);
// The row of a change just written in the caller's transaction: written
// here on a file, by the trigger already on a server.
void write(Database& db, const Entry& entry, const Offline& offline = {});
// The row of an attempt that changed nothing, kept all the same.
void note(Database& db, const Entry& entry, const Offline& offline = {});

// Marks the rows the caller's transaction writes from here on as a punch
// written back from a terminal's journal; a server's trigger reads it.
void markOffline(Database& db, const QString& key, const QString& description);
// Whether the punch with this key is in the trail already: written back
// before, from this journal or a copy of it.
bool entryWritten(Database& db, const QString& key);
// The employees whose password was reset at or after since, each with the
// time of their latest reset.
struct Reset
{
    qint64 employeeId = 0;
    double when = 0;
};
std::vector<Reset> passwordResets(Database& db, double since);

// The actions of the staff's and the settings' rows, as a server's
// triggers name them too. Stored in English; marked for the windows to
// translate (context "pelmar::audit"), as the time records' are.
namespace actions {
inline const QString EmployeeAdded =
    QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "employee added"));
inline const QString EmployeeRenamed =
    QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "employee renamed"));
inline const QString EmployeeTerminated =
    QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "employee terminated"));
inline const QString EmployeeRehired =
    QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "employee rehired"));
inline const QString EmployeeEdited =
    QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "employee edited"));
inline const QString PasswordReset =
    QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "password reset"));
inline const QString SettingsChanged =
    QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "settings changed"));
inline const QString MailPasswordChanged =
    QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "mail password changed"));
} // namespace actions

// How the trail shows an employee's and the settings' fields; never a
// password.
QString describeEmployee(const QString& fullName, const Value& terminationDate);
QString describeSettings(const Value& notifyHours, const QString& server, const QString& user,
                         const QString& email);

// Which rows to read: those whose When falls on the dates from..to
// (whole-day serials); with an employee id other than 0 only that
// employee's, with an action only those of exactly that action.
struct Filter
{
    double from = 0;
    double to = 0;
    qint64 employeeId = 0;
    QString action;
};

// The rows the filter picks, in the order they were written, with the
// employee's name where known.
struct Row
{
    double when;
    QString workstation;
    QString account; // who wrote it: the server's role, or the file's user
    QString address; // the client's network address on a server
    QString action;
    Value timeId;
    Value employeeId;
    QString employeeName;
    Value before;
    Value after;
    QString offline; // where and when a punch written back was punched
};
std::vector<Row> read(Database& db, const Filter& filter);

} // namespace audit
} // namespace pelmar
