#include "bench/burst.h"

#include "bench/generator.h"
#include "bench/timing.h"
#include "login/login.h"
#include "store/engine.h"
#include "timekeeping/clocking.h"
#include "workplace/startup.h"
#include "workplace/workplace.h"

#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <limits>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelmar::bench {

namespace {

constexpr int TerminalTimeoutMs = 30 * 60 * 1000;

using Processes = std::vector<std::unique_ptr<QProcess>>;

[[noreturn]] void terminalFailed(QProcess& terminal, const char* what)
{
    throw std::runtime_error(std::string("a burst terminal ") + what + ": " +
                             terminal.readAllStandardError().trimmed().toStdString());
}

// What one employee's punches saved, as the terminals reported them.
struct Reported
{
    qint64 in = 0; // the key of the shift the punch in added
    qint64 out = 0;
};

// Starts the terminals and waits until every one has started up, so that
// none punches before the others are ready, as at a real shift change.
Processes startTerminals(const BurstOptions& options)
{
    Processes terminals;
    for (int first = 1; first <= Terminals; ++first) {
        auto& terminal = terminals.emplace_back(std::make_unique<QProcess>());
        terminal->start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--child-burst"), options.location, QString::number(first),
                         QStringLiteral("--employees"), QString::number(options.employees)});
    }
    for (auto& terminal : terminals) {
        while (!terminal->canReadLine()) {
            if (!terminal->waitForReadyRead(TerminalTimeoutMs))
                terminalFailed(*terminal, "did not start");
        }
        if (terminal->readLine().trimmed() != "ready")
            terminalFailed(*terminal, "did not start");
    }
    return terminals;
}

// Waits for the terminals to end and adds up their reports in f: the
// punches saved and failed, the time they took. Returns what each
// employee's punches saved.
std::map<int, Reported> readReports(Processes& terminals, BurstFigures& f)
{
    std::vector<double> latencies;
    std::map<int, Reported> reported;
    double first = std::numeric_limits<double>::max();
    double last = 0;
    for (auto& terminal : terminals) {
        if (!terminal->waitForFinished(TerminalTimeoutMs) || terminal->exitCode() != 0)
            terminalFailed(*terminal, "failed");
        for (const QByteArray& line : terminal->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> w = line.trimmed().split(' ');
            if (w[0] == "in" || w[0] == "out") {
                Reported& r = reported[w.value(1).toInt()];
                (w[0] == "in" ? r.in : r.out) = w.value(2).toLongLong();
                latencies.push_back(w.value(3).toDouble());
                ++f.punches;
            } else if (w[0] == "fail") {
                ++f.failed;
                std::fprintf(stderr, "  %s\n", line.constData());
            } else if (w[0] == "span") {
                first = std::min(first, w.value(1).toDouble());
                last = std::max(last, w.value(2).toDouble());
            }
        }
    }
    f.seconds = (last - first) / 1000;
    f.p50Ms = percentile(latencies, 0.50);
    f.p99Ms = percentile(latencies, 0.99);
    return reported;
}

// Counts in f the punches lost and duplicated: the day's rows as stored
// should be each employee's one shift, opened and closed by the punches its
// terminal reported, and nothing else.
void countStored(const BurstOptions& options, const std::map<int, Reported>& reported, BurstFigures& f)
{
    struct Stored
    {
        qint64 employee = 0;
        bool closed = false;
    };
    std::map<qint64, Stored> rows;
    const std::unique_ptr<Database> db = Database::open(config::databasePath(options.location));
    const std::unique_ptr<Recordset> rs = db->openRecordset(
        QStringLiteral("SELECT TimeID, PersonnelID, TimeOut FROM [Time] WHERE Tdate >= %1").arg(options.day));
    for (int r = 0; rs->moveTo(r); ++r) {
        const std::vector<Value>& row = rs->row(r);
        rows[row[0].toInteger()] = {row[1].toInteger(), !row[2].isNull()};
    }
    int found = 0;
    int shifts = 0;
    for (const auto& [employee, punches] : reported) {
        const auto row = rows.find(punches.in);
        if (row == rows.end() || row->second.employee != employee)
            continue;
        ++shifts;
        ++found;
        if (punches.out == punches.in && row->second.closed)
            ++found;
    }
    f.lost = 2 * options.employees - found;
    f.duplicated = static_cast<int>(rows.size()) - shifts;
}

// Logs employee id in and clocks them in or out at now. Returns the line of
// the terminal's report on the punch: "in ID TIMEID MS" or "out ID TIMEID
// MS" (the shift's key and the milliseconds taken), or "fail ID: WHY".
std::string punchLine(Workplace& workplace, int id, bool in, double now)
{
    const Value employee = Value::integer(id);
    const double begun = nowMs();
    try {
        const LogInResult login = logIn(workplace, employee, password(id), now);
        const ActionResult& screen = login.screen;
        std::optional<qint64> saved;
        if (in && login.employee && screen.offer == ButtonOffer::ClockIn)
            saved = clockIn(workplace, *login.employee, now).written;
        else if (!in && login.employee && screen.offer == ButtonOffer::ClockOut)
            saved = clockOut(workplace, *login.employee, *screen.openShift, now).written;
        return (saved ? QString::asprintf("%s %d %lld %.3f", in ? "in" : "out", id, *saved, nowMs() - begun)
                      : QString::asprintf("fail %d: nothing to clock", id))
            .toStdString();
    } catch (const std::exception& e) {
        return QString::asprintf("fail %d: %s", id, e.what()).toStdString();
    }
}

} // namespace

int burstTerminal(const BurstOptions& options, int first)
{
    Workplace workplace;
    workplace.openDatabase(config::databasePath(options.location));
    workplace.readNotifyHours();
    std::printf("ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);

    // Kept until the end, so that printing takes no time from the punches.
    std::vector<std::string> lines;
    const double start = nowMs();
    for (const bool in : {true, false}) {
        const double now = options.day + (in ? 7.0 : 15.0) / 24;
        for (int id = first; id <= options.employees; id += Terminals)
            lines.push_back(punchLine(workplace, id, in, now));
    }
    const double end = nowMs();
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
    std::printf("span %.3f %.3f\n", start, end);
    return 0;
}

BurstFigures runBurst(const BurstOptions& options)
{
    Processes terminals = startTerminals(options);
    for (auto& terminal : terminals) {
        terminal->write("go\n");
        terminal->waitForBytesWritten();
    }
    BurstFigures f;
    const std::map<int, Reported> reported = readReports(terminals, f);
    countStored(options, reported, f);
    return f;
}

void printBurst(const BurstFigures& file, const BurstFigures* server)
{
    std::printf("\nShift change: %d terminal processes clock every current employee in, then out\n\n",
                Terminals);
    std::printf("%-22s %12s %12s\n", "", "file", server ? "server" : "");
    auto line = [&](const char* name, auto field, const char* format) {
        std::printf("%-22s ", name);
        std::printf(format, file.*field);
        if (server) {
            std::printf(" ");
            std::printf(format, server->*field);
        }
        std::printf("\n");
    };
    line("punches", &BurstFigures::punches, "%12d");
    line("seconds", &BurstFigures::seconds, "%12.2f");
    std::printf("%-22s %12.1f", "punches per second", file.punches / file.seconds);
    if (server)
        std::printf(" %12.1f", server->punches / server->seconds);
    std::printf("\n");
    line("p50 ms per punch", &BurstFigures::p50Ms, "%12.2f");
    line("p99 ms per punch", &BurstFigures::p99Ms, "%12.2f");
    line("failed", &BurstFigures::failed, "%12d");
    line("lost", &BurstFigures::lost, "%12d");
    line("duplicated", &BurstFigures::duplicated, "%12d");
}

} // namespace pelmar::bench
