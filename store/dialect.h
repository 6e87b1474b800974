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

// The engine a translation is for.
enum class Target
{
    Sqlite,
    // PostgreSQL: names in brackets or quotes in lower case (the server folds
    // unquoted names so, which makes every name case-insensitive), ? marks as
    // $1, $2, ..., and Null placed in ORDER BY where SQLite places it (first
    // when rising, last when falling).
    Postgres
};

// How a "double-quoted" run reads: as a text (the program's dialect) or as a
// name (SQLite's own SQL, which the tests and tools write).
enum class Quotes
{
    Texts,
    Names
};

QString translate(const QString& text, Target target, Quotes quotes = Quotes::Texts);

// The one table or saved query that a translated SELECT reads from, when it
// reads from exactly one; empty otherwise.
QString singleSource(const QString& translated);

} // namespace pelmar::sql
