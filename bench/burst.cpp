#include "bench/burst.h"

#include "bench/generator.h"
#include "login/login.h"
#include "store/engine.h"
#include "timekeeping/clocking.h"
#include "workplace/startup.h"
#include "workplace/workplace.h"

#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cmath>
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

// On the system's steady clock, which all the terminals share.
double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double percentile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto rank = static_cast<size_t>(std::ceil(q * static_cast<double>(v.size())));
    return v[std::clamp<size_t>(rank, 1, v.size()) - 1];
}

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

} // namespace

int burstTerminal(const QString& location, int first, int employees, double day)
{
    Workplace workplace;
    workplace.openDatabase(config::databasePath(location));
    workplace.readNotifyHours();
    std::printf("ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);

    // Kept until the end, so that printing takes no time from the punches.
    std::vector<std::string> lines;
    const double start = nowMs();
    for (const bool in : {true, false}) {
        const double now = day + (in ? 7.0 : 15.0) / 24;
        for (int id = first; id <= employees; id += Terminals) {
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
                lines.push_back(saved ? QString::asprintf("%s %d %lld %.3f", in ? "in" : "out", id, *saved,
                                                          nowMs() - begun)
                                            .toStdString()
                                      : QString::asprintf("fail %d: nothing to clock", id).toStdString());
            } catch (const std::exception& e) {
                lines.push_back(QString::asprintf("fail %d: %s", id, e.what()).toStdString());
            }
        }
    }
    const double end = nowMs();
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
    std::printf("span %.3f %.3f\n", start, end);
    return 0;
}

BurstFigures runBurst(const QString& location, int employees, double day)
{
    std::vector<std::unique_ptr<QProcess>> terminals;
    for (int first = 1; first <= Terminals; ++first) {
        auto& terminal = terminals.emplace_back(std::make_unique<QProcess>());
        terminal->start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--child-burst"), location, QString::number(first),
                         QStringLiteral("--employees"), QString::number(employees)});
    }
    // Every terminal has started up before any punches, as at a real shift change.
    for (auto& terminal : terminals) {
        while (!terminal->canReadLine()) {
            if (!terminal->waitForReadyRead(TerminalTimeoutMs))
                terminalFailed(*terminal, "did not start");
        }
        if (terminal->readLine().trimmed() != "ready")
            terminalFailed(*terminal, "did not start");
    }
    for (auto& terminal : terminals) {
        terminal->write("go\n");
        terminal->waitForBytesWritten();
    }

    BurstFigures f;
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

    // The day's rows as stored: each employee's one shift, opened and closed
    // by the punches its terminal reported, and nothing else.
    struct Stored
    {
        qint64 employee = 0;
        bool closed = false;
    };
    std::map<qint64, Stored> rows;
    const std::unique_ptr<Database> db = Database::open(config::databasePath(location));
    const std::unique_ptr<Recordset> rs = db->openRecordset(
        QStringLiteral("SELECT TimeID, PersonnelID, TimeOut FROM [Time] WHERE Tdate >= %1").arg(day));
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
    f.lost = 2 * employees - found;
    f.duplicated = static_cast<int>(rows.size()) - shifts;
    return f;
}

} // namespace pelmar::bench
