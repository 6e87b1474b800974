#include "bench/actions.h"

#include "admin/reports.h"
#include "bench/bare.h"
#include "bench/station.h"
#include "bench/timing.h"
#include "platform/numformat.h"
#include "store/engine.h"
#include "ui/timeclockcontrols.h"
#include "workplace/startup.h"
#include "workplace/workplace.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

namespace pelmar::bench {

namespace {

// The administrator's reads have a time to keep besides the ratio.
const std::pair<const char*, double> TargetMs[] = {
    {"board", 100}, {"payroll, a month", 100}, {"payroll, a year", 1000}};

// A date as it is typed into the range's input box.
QString typedDate(double serial)
{
    const dates::Ymd ymd = dates::ymd(serial);
    return QString::asprintf("%02d/%02d/%04d", ymd.month, ymd.day, ymd.year);
}

} // namespace

// One run's shift and the days its reads cover.
struct Bench::Shift
{
    double today;
    double clockIn;
    double clockOut;
    double from15; // the time sheet's first day
    double yearAgo;
};

Bench::Bench(const Options& options, QString location, Bare& bare)
    : m_options(options), m_location(std::move(location)), m_bare(bare)
{
}

void Bench::run()
{
    QTemporaryDir app;
    writeIni(app.path(), m_location);
    // A terminal holds its connection all day, as the bare work holds its
    // own: each start-up below finds it open (with what it learnt of the
    // tables), and opening one is timed on its own.
    const QString database = config::databasePath(m_location);
    const std::shared_ptr<sql::Session> held = sql::Session::open(database);
    const int employees = m_options.company.employees;
    for (int r = 0; r < m_options.runs; ++r) {
        const int id = 1 + (r * 37) % employees;
        // Every other run the bare work goes first, so neither side gets
        // the other's warm caches every time.
        const bool bareFirst = r % 2 == 1;
        time(
            "connect", [&] { sql::Session::openPrivate(database); }, [&] { m_bare.connect(); }, bareFirst);
        runOnce(app.path(), id, r, bareFirst);
        runAdmin(held, bareFirst);
    }
}

Worst Bench::report(const QString& database) const
{
    std::printf("\n%s\n", qPrintable(database));
    std::printf("Median of %d runs each; bare = the same rows with hand-written SQL on an open "
                "connection\n\n",
                m_options.runs);
    std::printf("%-22s %12s %12s %8s\n", "action", "program ms", "bare ms", "ratio");
    Worst worst;
    for (const Action& a : m_actions) {
        const double p = median(a.program);
        const double b = median(a.bare);
        const double ratio = b > 0 ? p / b : 0;
        const char* slow = "";
        for (const auto& [name, limit] : TargetMs) {
            if (std::string(a.name) == name && p > limit) {
                slow = "   <-- over its time";
                worst.slow = true;
            }
        }
        std::printf("%-22s %12.3f %12.3f %7.2fx%s\n", a.name, p, b, ratio, slow);
        if (ratio > worst.ratio) {
            worst.ratio = ratio;
            worst.action = QString::fromLatin1(a.name);
        }
    }
    return worst;
}

Bench::Action& Bench::action(const char* name)
{
    for (Action& a : m_actions) {
        if (std::string(a.name) == name)
            return a;
    }
    m_actions.push_back({name, {}, {}});
    return m_actions.back();
}

void Bench::time(const char* name, const std::function<void()>& program,
                 const std::function<void()>& bareWork, bool bareFirst)
{
    Action& a = action(name);
    auto measure = [](const std::function<void()>& f) {
        const double start = nowMs();
        f();
        return nowMs() - start;
    };
    if (bareFirst)
        a.bare.push_back(measure(bareWork));
    a.program.push_back(measure(program));
    if (!bareFirst)
        a.bare.push_back(measure(bareWork));
}

void Bench::runOnce(const QString& programFolder, int id, int run, bool bareFirst)
{
    // A shift ten seconds later at every run, so each clock-in is the newest.
    const double today = FirstToday;
    const double clockIn = today + dates::timeSerial(6, 0, 0) + run * 10.0 / 86400;
    const Shift shift{today, clockIn, clockIn + 8.0 / 24, today - 14, today - 365};

    Station s(programFolder, clockIn);
    time(
        "start-up", [&] { s.window->start(); }, [&] { m_bare.startUp(); }, bareFirst);
    s.expectMessages(0, "start-up");

    const qint64 bareShift = clockInAndOut(s, id, shift, bareFirst);
    readTimeSheet(s, id, shift, bareFirst);

    s.control(controls::GoButton)->click(); // log out
    s.expectMessages(0, "log out");
    m_bare.remove(bareShift);
}

qint64 Bench::clockInAndOut(Station& s, int id, const Shift& shift, bool bareFirst)
{
    s.pick(id);
    time(
        "log in", [&] { s.control(controls::GoButton)->click(); },
        [&] {
            m_bare.employee(id);
            m_bare.listing(id, shift.from15, shift.today, 64);
            m_bare.total(id, shift.from15, shift.today);
        },
        bareFirst);
    s.expectMessages(0, "log in");
    s.expectCaption(controls::ClockButton, "Clock IN", "log in");

    qint64 bareShift = 0;
    s.setNow(shift.clockIn);
    time(
        "clock in", [&] { s.control(controls::ClockButton)->click(); },
        [&] {
            // Dated before the period, so that the window's clock-in never
            // finds it open and its own shift stays the newest.
            bareShift = m_bare.clockIn(id, shift.today - 30, dates::timePart(shift.clockIn));
            m_bare.listing(id, shift.from15, shift.today, 64);
        },
        bareFirst);
    s.expectMessages(0, "clock in");

    s.control(controls::GoButton)->click(); // log out
    s.setNow(shift.clockOut);
    s.pick(id);
    s.control(controls::GoButton)->click();
    s.expectMessages(0, "second log in");
    s.expectCaption(controls::ClockButton, "Clock OUT", "second log in");
    time(
        "clock out", [&] { s.control(controls::ClockButton)->click(); },
        [&] { m_bare.clockOut(bareShift, dates::timePart(shift.clockOut), 8.0); }, bareFirst);
    s.expectMessages(0, "clock out");
    return bareShift;
}

void Bench::readTimeSheet(Station& s, int id, const Shift& shift, bool bareFirst)
{
    time(
        "open time sheet", [&] { s.control(controls::ReviewButton)->click(); },
        [&] {
            m_bare.listing(id, shift.from15, shift.today, 64);
            m_bare.total(id, shift.from15, shift.today);
        },
        bareFirst);
    s.expectMessages(0, "open time sheet");

    s.dialogs.answerInput(typedDate(shift.yearAgo));
    s.dialogs.answerInput(typedDate(shift.today));
    time(
        "range of one year", [&] { s.control(controls::RangeBox)->click(); },
        [&] {
            m_bare.listing(id, shift.yearAgo, shift.today, 64);
            m_bare.total(id, shift.yearAgo, shift.today);
        },
        bareFirst);
    s.expectMessages(0, "range of one year");
    const QString expected =
        QStringLiteral("Total Hours ") +
        formatNumber(m_bare.total(id, shift.yearAgo, shift.today), QStringLiteral("#######0.##"));
    if (s.label(controls::TotalHours) != expected || s.dialogs.inputsLeft())
        throw std::runtime_error("range of one year: the window shows '" +
                                 s.label(controls::TotalHours).toStdString() + "', not '" +
                                 expected.toStdString() + "'");

    time(
        "where is", [&] { s.control(controls::WhereIsButton)->click(); },
        [&] { m_bare.listing(id, shift.from15, shift.today, 1); }, bareFirst);
    s.expectMessages(1, "where is");
}

void Bench::runAdmin(const std::shared_ptr<sql::Session>& held, bool bareFirst)
{
    Database db(held);
    const double today = FirstToday;
    const dates::Ymd ymd = dates::ymd(today);
    const double monthStart = dates::serial(ymd.year, ymd.month, 1);
    const double yearStart = dates::serial(ymd.year - 1, ymd.month, ymd.day) + 1;
    time(
        "board", [&] { admin::board(db, today + dates::timeSerial(9, 0, 0)); },
        [&] { m_bare.board(today - Workplace::DaysShown, today); }, bareFirst);
    time(
        "payroll, a month", [&] { admin::payroll(db, monthStart, today); },
        [&] { m_bare.payroll(monthStart, today); }, bareFirst);
    time(
        "payroll, a year", [&] { admin::payroll(db, yearStart, today); },
        [&] { m_bare.payroll(yearStart, today); }, bareFirst);
}

} // namespace pelmar::bench
