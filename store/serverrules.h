#pragma once

#include <QString>
#include <optional>

namespace pelmar::sql {

class PgSession;

// What a PostgreSQL server enforces by itself, whoever sends the statement:
// the audit trail written by triggers on Time, Personnel and CustomSettings;
// the limits of a terminal (add a shift, close an open one, with the hours
// the server computes); the functions a terminal uses instead of the staff's
// passwords; the row that is the database's write lock. Everyone who is not
// a member of the tables' owner role is held to a terminal's limits.

// Creates or replaces all of it; safe to run again. Runs inside the
// caller's transaction.
void installServerRules(PgSession& session);

// The log-in's password check by the server's function, which never hands
// the password out: typed is not empty and is the employee's password.
bool passwordMatches(PgSession& session, qint64 employeeId, const QString& typed);

// Makes group, on the server at uri, the terminals' group: a role that
// cannot log in, holding what a terminal does and nothing more. Creates it
// when missing. Returns why it can't (a file, a role that logs in, the owner
// or a superuser), or nullopt.
std::optional<QString> grantTerminal(const QString& uri, const QString& group);
// Creates the log-in role of one terminal, a member of group, with the
// password (sent to the server already hashed). Returns why it can't, or
// nullopt.
std::optional<QString> addTerminal(const QString& uri, const QString& group, const QString& name,
                                   const QString& password);

} // namespace pelmar::sql
