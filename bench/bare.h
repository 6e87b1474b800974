#pragma once

#include <QtGlobal>

namespace pelmar::bench {

// The least work an engine needs for each window action: hand-written SQL
// with bound parameters on a connection opened once, every column of every
// row read, nothing kept.
class Bare
{
public:
    virtual ~Bare() = default;

    // Opens a connection of its own as the constructor does, and closes it.
    virtual void connect() = 0;

    // First page of all records, the current employees, the settings row.
    virtual void startUp() = 0;
    // One employee's row, as the log-in checks it.
    virtual void employee(qint64 id) = 0;
    // One employee's rows of a range, newest first, at most limit of them.
    virtual void listing(qint64 employee, double from, double to, int limit) = 0;
    virtual double total(qint64 employee, double from, double to) = 0;
    virtual qint64 clockIn(qint64 employee, double day, double timeIn) = 0;
    virtual void clockOut(qint64 timeId, double timeOut, double hours) = 0;
    virtual void remove(qint64 timeId) = 0;

    // The administrator's board: the current employees, and every record of
    // the range by employee, newest first.
    virtual void board(double from, double to) = 0;
    // A payroll: the records of the range and the employees of it.
    virtual void payroll(double from, double to) = 0;

protected:
    // Every value read is added here, so that no read can be optimised away.
    double m_sink = 0;
};

} // namespace pelmar::bench
