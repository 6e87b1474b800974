#include "bench/burst.h"

#include "bench/generator.h"
#include "bench/timing.h"
#include "login/login.h"
#include "login/offline.h"
#include "store/engine.h"
#include "store/postgres.h"
#include "timekeeping/clocking.h"
#include "workplace/startup.h"
#include "workplace/workplace.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
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
                         QStringLiteral("--employees"), QString::number(options.employees),
                         QStringLiteral("--outage"), QString::number(options.outage)});
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
std::map<int, Reported> readReports(Processes& terminals, double restoredMs, BurstFigures& f)
{
    std::vector<double> latencies;
    std::map<int, Reported> reported;
    double first = std::numeric_limits<double>::max();
    double last = 0;
    double emptied = 0;
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
            } else if (w[0] == "kept") {
                reported[w.value(1).toInt()];
                latencies.push_back(w.value(2).toDouble());
                ++f.punches;
                ++f.kept;
            } else if (w[0] == "emptied") {
                emptied = std::max(emptied, w.value(1).toDouble());
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
    if (restoredMs > 0)
        f.emptySeconds = std::max(0.0, emptied - restoredMs) / 1000;
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

// Logs employee id in and clocks them in or out at now, through the
// terminal's journal when it has one. Returns the line of the terminal's
// report on the punch: "in ID TIMEID MS" or "out ID TIMEID MS" (the shift's
// key and the milliseconds taken), "kept ID MS" for a punch its journal
// kept, or "fail ID: WHY".
std::string punchLine(Workplace& workplace, OfflineClock& offline, int id, bool in, double now)
{
    const Value employee = Value::integer(id);
    const double begun = nowMs();
    const OfflineClock::Runner direct = [](const std::function<void()>& call) { call(); };
    try {
        bool kept = false;
        const LogInResult login = offline.logIn(workplace, employee, password(id), now, direct, kept);
        const ActionResult& screen = login.screen;
        const ButtonOffer wanted = in ? ButtonOffer::ClockIn : ButtonOffer::ClockOut;
        if (!login.employee || screen.offer != wanted)
            return QString::asprintf("fail %d: nothing to clock", id).toStdString();
        const ActionResult done =
            offline.clock(workplace, *login.employee, in, screen.openShift, now, direct, kept);
        if (kept)
            return QString::asprintf("kept %d %.3f", id, nowMs() - begun).toStdString();
        return (done.written ? QString::asprintf("%s %d %lld %.3f", in ? "in" : "out", id, *done.written,
                                                 nowMs() - begun)
                             : QString::asprintf("fail %d: nothing saved", id))
            .toStdString();
    } catch (const std::exception& e) {
        return QString::asprintf("fail %d: %s", id, e.what()).toStdString();
    }
}

// Takes the database away, or gives it back: the file's folder is renamed,
// the server takes no connections and drops those it has.
class Outage
{
public:
    explicit Outage(QString location) : m_location(std::move(location))
    {
        if (sql::isServerLocation(m_location)) {
            // A database can't refuse its own connection: asked from the maintenance one.
            QUrl maintenance(m_location);
            m_database = maintenance.path().mid(1);
            maintenance.setPath(m_database == QLatin1String("postgres") ? QStringLiteral("/template1")
                                                                        : QStringLiteral("/postgres"));
            m_server = sql::PgSession::connect(maintenance.toString());
        }
    }
    void set(bool away)
    {
        if (!m_server) {
            const QString gone = m_location + QStringLiteral("-away");
            if (!(away ? QDir().rename(m_location, gone) : QDir().rename(gone, m_location)))
                throw std::runtime_error("the database's folder could not be renamed");
            return;
        }
        m_server->run(QStringLiteral("SELECT set_config('pelmar.bench_database', $1, false)"),
                      {Value::text(m_database)});
        m_server->exec(QStringLiteral("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I ALLOW_CONNECTIONS %s', "
                                      "current_setting('pelmar.bench_database'), '%1'); PERFORM "
                                      "pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                                      "current_setting('pelmar.bench_database') AND %2; END $$")
                           .arg(away ? QStringLiteral("false") : QStringLiteral("true"),
                                away ? QStringLiteral("true") : QStringLiteral("false")));
    }

private:
    QString m_location;
    QString m_database;
    std::shared_ptr<sql::PgSession> m_server;
};

// Each employee's one shift of the day, found by its times: for a burst
// whose punches went through journals, which report no keys.
void countStoredByTime(const BurstOptions& options, BurstFigures& f)
{
    const std::unique_ptr<Database> db = Database::open(config::databasePath(options.location));
    const std::vector<sql::Row> rows = db->readAll(
        QStringLiteral("SELECT PersonnelID, TimeIn, TimeOut FROM [Time] WHERE Tdate >= %1").arg(options.day));
    std::map<qint64, int> shifts;
    int found = 0;
    for (const sql::Row& row : rows) {
        ++shifts[row[0].toInteger()];
        found += std::abs(row[1].toDouble() - 7.0 / 24) < 1e-6 ? 1 : 0;
        found += !row[2].isNull() && std::abs(row[2].toDouble() - 15.0 / 24) < 1e-6 ? 1 : 0;
    }
    f.lost = 2 * options.employees - found;
    f.duplicated = static_cast<int>(rows.size() - shifts.size());
}

} // namespace

int burstTerminal(const BurstOptions& options, int first)
{
    Workplace workplace;
    workplace.openDatabase(config::databasePath(options.location));
    workplace.readNotifyHours();
    // A terminal of its own, which saw its employees log in the day before.
    QTemporaryDir home;
    OfflineClock offline(home.filePath(QStringLiteral("journal.sqlite")), options.outage > 0 ? 14 : 0);
    for (int id = first; options.outage > 0 && id <= options.employees; id += Terminals)
        offline.loggedIn({Value::integer(id), QStringLiteral("Employee %1").arg(id)}, password(id),
                         std::nullopt, options.day - 1);
    offline.settle();
    std::printf("ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);

    // Kept until the end, so that printing takes no time from the punches.
    std::vector<std::string> lines;
    // When the journal last became empty, having held punches.
    bool kept = false;
    double emptied = 0;
    const auto watch = [&] {
        if (options.outage <= 0)
            return;
        if (offline.pending() > 0) {
            kept = true;
            emptied = 0;
        } else if (kept && emptied == 0) {
            emptied = nowMs();
        }
    };
    const double start = nowMs();
    for (const bool in : {true, false}) {
        const double now = options.day + (in ? 7.0 : 15.0) / 24;
        for (int id = first; id <= options.employees; id += Terminals) {
            lines.push_back(punchLine(workplace, offline, id, in, now));
            watch();
        }
    }
    const double end = nowMs();
    // The kept punches go back as soon as the database answers.
    const OfflineClock::Runner direct = [](const std::function<void()>& call) { call(); };
    while (offline.pending() > 0 && nowMs() - end < TerminalTimeoutMs) {
        if (offline.tryWriteBack(workplace, options.day + 15.5 / 24, direct))
            QThread::msleep(100);
    }
    watch();
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
    std::printf("span %.3f %.3f\n", start, end);
    if (kept)
        std::printf("emptied %.3f\n", emptied);
    return 0;
}

BurstFigures runBurst(const BurstOptions& options)
{
    Processes terminals = startTerminals(options);
    std::unique_ptr<Outage> outage =
        options.outage > 0 ? std::make_unique<Outage>(options.location) : nullptr;
    for (auto& terminal : terminals) {
        terminal->write("go\n");
        terminal->waitForBytesWritten();
    }
    double restoredMs = 0;
    if (outage) {
        outage->set(true);
        QThread::msleep(static_cast<unsigned long>(options.outage * 1000));
        outage->set(false);
        restoredMs = nowMs();
    }
    BurstFigures f;
    const std::map<int, Reported> reported = readReports(terminals, restoredMs, f);
    if (outage)
        countStoredByTime(options, f);
    else
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
    if (file.kept > 0 || (server && server->kept > 0)) {
        line("kept in journals", &BurstFigures::kept, "%12d");
        line("s to empty journals", &BurstFigures::emptySeconds, "%12.2f");
    }
}

} // namespace pelmar::bench
