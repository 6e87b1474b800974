#pragma once

#include "platform/value.h"

#include <QString>
#include <optional>
#include <vector>

namespace pelmar {
class Database;
}

namespace pelmar::admin {

// One employee's payroll over a range: the stored hours of "Worked" records,
// the dates worked and absent by kind, and the shifts still open, to
// correct first.
struct PayrollRow
{
    qint64 id = 0;
    QString name;
    double hours = 0;
    int daysWorked = 0;
    int vacation = 0;
    int holiday = 0;
    int sickLeave = 0;
    int openShifts = 0;
};

// Everyone employed on any day of from..to, by name.
std::vector<PayrollRow> payroll(Database& db, double from, double to);
QString payrollCsv(const std::vector<PayrollRow>& rows);
// The printed payroll: a titled HTML table of rows and their totals, for the
// range shown as range.
QString payrollHtml(const std::vector<PayrollRow>& rows, const QString& range);

// One current employee on the board: the where-is status of their newest
// record of the clock's days ("in", "out", "vacation", "holiday",
// "sick leave" or "no recent records"), since when, and the workstation of
// the record's last change where the audit trail knows it.
struct BoardRow
{
    qint64 id = 0;
    QString name;
    QString status;
    Value since; // a date and time; Null without a record
    QString workstation;
    std::optional<double> overdueHours; // an open shift longer than the alert threshold
};

struct Board
{
    std::vector<BoardRow> rows;
    // "3 in, 1 out, 1 away"
    QString summary() const;
};

Board board(Database& db, double now);
QString boardCsv(const Board& board);

} // namespace pelmar::admin
