#pragma once

#include "platform/value.h"
#include "review/whereis.h"

#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace pelmar {
class Database;
}

namespace pelmar::admin {

// One employee's payroll over a range: the stored hours of "Worked" records,
// the dates worked and absent by kind, the records of a type the clock does
// not know, and the shifts still open, to correct first.
struct PayrollRow
{
    qint64 id = 0;
    QString name;
    double hours = 0;
    int daysWorked = 0;
    int vacation = 0;
    int holiday = 0;
    int sickLeave = 0;
    // Records, not days: then the column's total is the sum of the unknown
    // types listed under the table, and two such records on one date both
    // show.
    int other = 0;
    int openShifts = 0;
};

// The payroll of a range: a row per employee and, so that no record goes
// uncounted, each unknown type (exact text; Null as empty) with its records.
struct Payroll
{
    std::vector<PayrollRow> rows;
    std::map<QString, int> otherTypes;

    int openShifts() const;
    // The totals row: each column summed over the rows (no id, no name).
    PayrollRow total() const;
};

// Everyone employed on any day of from..to, by name.
Payroll payroll(Database& db, double from, double to);
// The table, then a blank line and each unknown type with its count.
QString payrollCsv(const Payroll& payroll);
// The printed payroll: the range in the title, the table with its header
// row repeated on each page and its totals, then the unknown types and the
// open shifts at the foot.
QString payrollHtml(const Payroll& payroll, const QString& range);

// One current employee on the board: the where-is status of their newest
// record of the clock's days, since when, and the workstation of the
// record's last change where the audit trail knows it.
struct BoardRow
{
    qint64 id = 0;
    QString name;
    whereis::Status status = whereis::Status::NoRecentRecords;
    Value since; // a date and time; Null without a record
    QString workstation;
    std::optional<double> overdueHours; // an open shift longer than the alert threshold
};

struct Board
{
    std::vector<BoardRow> rows;
    struct Counts
    {
        int in = 0, out = 0, away = 0;
    };
    Counts counts() const;
};

// A status in the fixed English words of the CSV ("in", "out", "vacation",
// "holiday", "sick leave", "no recent records"), whatever the window's
// language, so that spreadsheets and scripts keep working; the window shows
// their translation (context "pelmar::board").
const char* statusWord(whereis::Status status);

Board board(Database& db, double now);
QString boardCsv(const Board& board);

} // namespace pelmar::admin
