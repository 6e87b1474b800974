#pragma once

#include <QString>

namespace pelmar::sql {

// Turns the program's SQL dialect into SQLite's:
//  - #date# literals (every form the date test accepts, read month/day/year)
//    become date serials;
//  - IsNull(x) becomes ((x) IS NULL);
//  - [bracketed] names become "quoted" names and "double-quoted" texts become
//    'single-quoted' texts;
//  - a column qualified by the table behind a saved query that the statement
//    reads (Personnel.TerminationDate over qslPersonnelShort) is qualified by
//    the saved query instead.
// Throws RunError 3075 for a malformed literal or unbalanced brackets.
QString translate(const QString& text);

// The one table or saved query that a translated SELECT reads from, when it
// reads from exactly one; empty otherwise.
QString singleSource(const QString& translated);

} // namespace pelmar::sql
