#include "admin/reports.h"
#include "bench/barepg.h"
#include "bench/baresql.h"
#include "bench/burst.h"
#include "bench/generator.h"
#include "bench/scripteddialogs.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/numformat.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/sqltexts.h"
#include "tools/pelmardb.h"
#include "ui/timeclockcontrols.h"
#include "ui/timeclockwindow.h"
#include "ui/widgets/glassbutton.h"
#include "ui/widgets/namelist.h"
#include "workplace/startup.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace pelmar::bench {

namespace {

const char* const Usage =
    R"(usage: pelmar-bench [--employees N] [--former N] [--years N] [--out FOLDER] [--runs N]
                    [--server URI] [--burst] [--check]

Generates a company's database through the program's own store (500 current
and 50 former employees with ten years of shifts and absences unless told
otherwise) and times the window's actions against the bare SQLite work on the
same file. A FOLDER that already holds Pelmar.mdb is used as it is. --check
makes the exit status 1 when a target is missed.

--server URI times the same actions on a PostgreSQL database against bare
libpq work, after copying the file there as pelmar-db copy does (a database
that already holds records is used as it is), and runs the burst on both.
--burst: 8 terminal processes clock every current employee in and out at
once, and the Time table is checked for lost and duplicated punches.
)";

struct Options
{
    Company company;
    QString out;
    int runs = 21;
    bool check = false;
    QString server;
    bool burst = false;
    QString childFolder; // internal: one start-up in this process, then its memory
    QString childBurst;  // internal: one terminal of a burst at this location
    int childBurstFirst = 0;
};

// The benchmark's first "today": Friday 4 December 2026. A database used
// again moves on past the shifts earlier runs left.
const double FirstToday = dates::serial(2026, 12, 4);
constexpr double TargetRatio = 3.0;
// The administrator's reads have a time to keep besides the ratio.
const std::pair<const char*, double> TargetMs[] = {
    {"board", 100}, {"payroll, a month", 100}, {"payroll, a year", 1000}};
// Shifts start ten seconds apart from 6 am and last eight hours: all end today.
constexpr int MaxRuns = 3600;
// The burst's day: the Monday after, clear of the timed actions' shifts.
const double BurstDay = FirstToday + 3;
constexpr double TargetMemoryMb = 10.0;

[[noreturn]] void usage(const QString& message)
{
    std::fprintf(stderr, "%s\n%s", qPrintable(message), Usage);
    std::exit(2);
}

Options parse(const QStringList& args)
{
    Options o;
    auto number = [&](int& i) {
        if (i + 1 >= args.size())
            usage(QStringLiteral("%1 needs a value").arg(args[i]));
        bool ok = false;
        const int v = args[++i].toInt(&ok);
        if (!ok || v < 0)
            usage(QStringLiteral("'%1' is not a count").arg(args[i]));
        return v;
    };
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--employees"))
            o.company.employees = number(i);
        else if (a == QLatin1String("--former"))
            o.company.former = number(i);
        else if (a == QLatin1String("--years"))
            o.company.years = number(i);
        else if (a == QLatin1String("--runs"))
            o.runs = std::clamp(number(i), 1, MaxRuns);
        else if (a == QLatin1String("--check"))
            o.check = true;
        else if (a == QLatin1String("--out") && i + 1 < args.size())
            o.out = args[++i];
        else if (a == QLatin1String("--server") && i + 1 < args.size())
            o.server = args[++i];
        else if (a == QLatin1String("--burst"))
            o.burst = true;
        else if (a == QLatin1String("--child-startup") && i + 1 < args.size())
            o.childFolder = args[++i];
        else if (a == QLatin1String("--child-burst") && i + 2 < args.size()) {
            o.childBurst = args[++i];
            o.childBurstFirst = number(i);
        } else
            usage(QStringLiteral("unknown argument '%1'").arg(a));
    }
    if (o.company.employees < 1 || o.company.years < 1)
        usage(QStringLiteral("at least one employee and one year"));
    if (!o.server.isEmpty() && !isServerLocation(o.server))
        usage(QStringLiteral("'%1' is not a postgresql:// URI").arg(o.server));
    return o;
}

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// kB of a field of /proc/self/status (VmHWM, VmRSS).
long statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// location: the database's folder or a server's URI.
void writeIni(const QString& programFolder, const QString& location)
{
    config::createFile(QDir(programFolder).filePath(config::FileName), location);
}

// The window as one workstation runs it, with nobody at the screen.
class Station
{
public:
    Station(const QString& programFolder, double now) : clock(now)
    {
        window = std::make_unique<TimeClockWindow>(dialogs, clock, programFolder);
    }

    void setNow(double serial)
    {
        clock.set(serial);
        QMetaObject::invokeMethod(window->findChild<QTimer*>(QString::fromLatin1(controls::Timer)),
                                  "timeout");
    }

    void pick(int id)
    {
        if (!window->findChild<NameList*>(QString::fromLatin1(controls::NameList))->selectName(fullName(id)))
            throw std::runtime_error("employee not in the list: " + fullName(id).toStdString());
        window->findChild<QLineEdit*>(QString::fromLatin1(controls::Password))->setText(password(id));
    }

    // Fails the run on any message box but the expected count.
    void expectMessages(int count, const char* action)
    {
        const QStringList shown = dialogs.takeMessages();
        if (shown.size() != count)
            throw std::runtime_error(std::string(action) + ": unexpected messages: " +
                                     shown.join(QStringLiteral(" | ")).toStdString());
    }

    QAbstractButton* control(const char* name) const
    {
        return window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    QString label(const char* name) const
    {
        return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

    void expectCaption(const char* name, const char* caption, const char* action)
    {
        const auto* button = window->findChild<GlassButton*>(QString::fromLatin1(name));
        if (button->caption() != QLatin1String(caption) || !button->isVisibleTo(window.get()))
            throw std::runtime_error(std::string(action) + ": expected '" + caption +
                                     "', the button reads '" + button->caption().toStdString() + "'");
    }

    ManualClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<TimeClockWindow> window;
};

struct Action
{
    const char* name;
    std::vector<double> program;
    std::vector<double> bare;
};

class Bench
{
public:
    // location: the database's folder or a server's URI, as the
    // configuration file gives it.
    Bench(const Options& options, QString location, Bare& bare)
        : m_options(options), m_location(std::move(location)), m_bare(bare)
    {
    }

    void run()
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
                "connect", [&] { sql::Session::openPrivate(database); }, [&] { m_bare.connect(); },
                bareFirst);
            runOnce(app.path(), m_bare, id, r, bareFirst);
            runAdmin(held, bareFirst);
        }
    }

    // database: what the figures were taken on, in a line.
    void report(const QString& database)
    {
        std::printf("\n%s\n", qPrintable(database));
        std::printf("Median of %d runs each; bare = the same rows with hand-written SQL on an open "
                    "connection\n\n",
                    m_options.runs);
        std::printf("%-22s %12s %12s %8s\n", "action", "program ms", "bare ms", "ratio");
        for (const Action& a : m_actions) {
            const double p = median(a.program);
            const double b = median(a.bare);
            const double ratio = b > 0 ? p / b : 0;
            const char* slow = "";
            for (const auto& [name, limit] : TargetMs) {
                if (std::string(a.name) == name && p > limit) {
                    slow = "   <-- over its time";
                    m_slow = true;
                }
            }
            std::printf("%-22s %12.3f %12.3f %7.2fx%s\n", a.name, p, b, ratio, slow);
            if (ratio > m_worstRatio) {
                m_worstRatio = ratio;
                m_worstAction = a.name;
            }
        }
    }

    double worstRatio() const { return m_worstRatio; }
    // An administrator's read took longer than its time.
    bool slow() const { return m_slow; }
    const char* worstAction() const { return m_worstAction; }

private:
    Action& action(const char* name)
    {
        for (Action& a : m_actions) {
            if (std::string(a.name) == name)
                return a;
        }
        m_actions.push_back({name, {}, {}});
        return m_actions.back();
    }

    void time(const char* name, const std::function<void()>& program, const std::function<void()>& bareWork,
              bool bareFirst)
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

    void runOnce(const QString& programFolder, Bare& bare, int id, int run, bool bareFirst)
    {
        // A shift ten seconds later at every run, so each clock-in is the newest.
        const double today = FirstToday;
        const double clockIn = today + dates::timeSerial(6, 0, 0) + run * 10.0 / 86400;
        const double clockOut = clockIn + 8.0 / 24;
        const double from15 = today - 14;
        const dates::Ymd ymd = dates::ymd(today);
        const double yearAgo = today - 365;
        const QString fromText = QString::asprintf("%02d/%02d/%04d", dates::ymd(yearAgo).month,
                                                   dates::ymd(yearAgo).day, dates::ymd(yearAgo).year);
        const QString toText = QString::asprintf("%02d/%02d/%04d", ymd.month, ymd.day, ymd.year);

        Station s(programFolder, clockIn);
        TimeClockWindow& w = *s.window;
        time(
            "start-up", [&] { w.start(); }, [&] { bare.startUp(); }, bareFirst);
        s.expectMessages(0, "start-up");

        s.pick(id);
        time(
            "log in", [&] { s.control(controls::GoButton)->click(); },
            [&] {
                bare.employee(id);
                bare.listing(id, from15, today, 64);
                bare.total(id, from15, today);
            },
            bareFirst);
        s.expectMessages(0, "log in");
        s.expectCaption(controls::ClockButton, "Clock IN", "log in");

        qint64 bareShift = 0;
        s.setNow(clockIn);
        time(
            "clock in", [&] { s.control(controls::ClockButton)->click(); },
            [&] {
                // Dated before the period, so that the window's clock-in never
                // finds it open and its own shift stays the newest.
                bareShift = bare.clockIn(id, today - 30, dates::timePart(clockIn));
                bare.listing(id, from15, today, 64);
            },
            bareFirst);
        s.expectMessages(0, "clock in");

        s.control(controls::GoButton)->click(); // log out
        s.setNow(clockOut);
        s.pick(id);
        s.control(controls::GoButton)->click();
        s.expectMessages(0, "second log in");
        s.expectCaption(controls::ClockButton, "Clock OUT", "second log in");
        time(
            "clock out", [&] { s.control(controls::ClockButton)->click(); },
            [&] { bare.clockOut(bareShift, dates::timePart(clockOut), 8.0); }, bareFirst);
        s.expectMessages(0, "clock out");

        time(
            "open time sheet", [&] { s.control(controls::ReviewButton)->click(); },
            [&] {
                bare.listing(id, from15, today, 64);
                bare.total(id, from15, today);
            },
            bareFirst);
        s.expectMessages(0, "open time sheet");

        s.dialogs.answerInput(fromText);
        s.dialogs.answerInput(toText);
        time(
            "range of one year", [&] { s.control(controls::RangeBox)->click(); },
            [&] {
                bare.listing(id, yearAgo, today, 64);
                bare.total(id, yearAgo, today);
            },
            bareFirst);
        s.expectMessages(0, "range of one year");
        const QString expected = QStringLiteral("Total Hours ") +
                                 formatNumber(bare.total(id, yearAgo, today), QStringLiteral("#######0.##"));
        if (s.label(controls::TotalHours) != expected || s.dialogs.inputsLeft())
            throw std::runtime_error("range of one year: the window shows '" +
                                     s.label(controls::TotalHours).toStdString() + "', not '" +
                                     expected.toStdString() + "'");

        time(
            "where is", [&] { s.control(controls::WhereIsButton)->click(); },
            [&] { bare.listing(id, from15, today, 1); }, bareFirst);
        s.expectMessages(1, "where is");

        s.control(controls::GoButton)->click(); // log out
        s.expectMessages(0, "log out");
        bare.remove(bareShift);
    }

    // The administrator's reads, through the module on the connection held.
    void runAdmin(const std::shared_ptr<sql::Session>& held, bool bareFirst)
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

    const Options& m_options;
    QString m_location;
    Bare& m_bare;
    std::vector<Action> m_actions;
    double m_worstRatio = 0;
    bool m_slow = false;
    const char* m_worstAction = "";
};

// The plans of the statements the program steps, as SQLite will run them.
bool printPlans(const QString& path)
{
    std::shared_ptr<sql::Connection> conn = sql::Connection::openPrivate(path);
    const Value from = Value::date(FirstToday - 14);
    const Value to = Value::date(FirstToday);
    const Value id = Value::integer(1);
    const QString paged = QStringLiteral(" LIMIT ? OFFSET ?");
    const std::vector<std::pair<const char*, QString>> texts = {
        {"employees", sql::translate(sqltexts::CurrentEmployees) + paged},
        {"all records", sql::translate(sqltexts::AllTimeRecords) + paged},
        {"settings", QStringLiteral("SELECT * FROM \"CustomSettings\"") + paged},
        {"listing", sql::translate(sqltexts::rangeListing(from, to, id)) + paged},
        {"total", sql::translate(sqltexts::rangeTotal(from, to, id))},
        {"clock out", QStringLiteral("UPDATE \"Time\" SET \"TimeOut\"=?,\"Thours\"=?,\"Type\"=? WHERE "
                                     "\"TimeID\"=?")},
    };
    bool clean = true;
    std::printf("Query plans of the program's statements:\n");
    for (const auto& [name, text] : texts) {
        sql::Statement plan(*conn, QStringLiteral("EXPLAIN QUERY PLAN ") + text);
        QStringList steps;
        while (plan.step())
            steps << plan.columnText(3);
        const QString joined = steps.join(QStringLiteral("; "));
        // A table scan of Time or a sort in a temporary b-tree grows with the file.
        const bool bad = joined.contains(QLatin1String("TEMP B-TREE")) ||
                         joined.contains(QRegularExpression(QStringLiteral(R"(SCAN "?Time"?($|;))")));
        clean = clean && !bad;
        std::printf("  %-12s %s%s\n", name, qPrintable(joined), bad ? "   <-- grows with the file" : "");
    }
    return clean;
}

// One start-up in a process of its own, shown on the screen as the program
// shows it: prints the peak and current resident memory in kB.
int childStartUp(const QString& dbFolder)
{
    QTemporaryDir app;
    writeIni(app.path(), dbFolder);
    Station s(app.path(), FirstToday + dates::timeSerial(9, 0, 0));
    s.window->start();
    s.window->show();
    QApplication::processEvents();
    s.expectMessages(0, "start-up");
    std::printf("%ld %ld\n", statusKb("VmHWM"), statusKb("VmRSS"));
    return 0;
}

struct Memory
{
    double peakMb = 0;
    double residentMb = 0;
};

Memory startUpMemory(const QString& dbFolder)
{
    // The median of three fresh processes.
    std::vector<double> peaks;
    std::vector<double> resident;
    for (int i = 0; i < 3; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-startup"), dbFolder});
        if (!child.waitForFinished(120000) || child.exitCode() != 0)
            throw std::runtime_error("the start-up process failed: " +
                                     child.readAllStandardError().toStdString());
        const QList<QByteArray> kb = child.readAllStandardOutput().trimmed().split(' ');
        peaks.push_back(kb.value(0).toDouble() / 1024);
        resident.push_back(kb.value(1).toDouble() / 1024);
    }
    return {median(peaks), median(resident)};
}

// The generator writes only days before today: whatever lies later was left
// by an earlier run of the benchmark and goes, so that every run starts from
// the same records. Returns how many time records there are.
long long undoEarlierRuns(const QString& location)
{
    const std::unique_ptr<Database> db = Database::open(location);
    db->execute(QStringLiteral("DELETE FROM [Time] WHERE Tdate >= ?"), {Value::date(FirstToday)});
    return db->openRecordset(QStringLiteral("SELECT COUNT(*) AS Records FROM [Time]"))
        ->field(QStringLiteral("Records"))
        .toInteger();
}

// Puts the generated file's records on the server the way a site moves to
// one: pelmar-db copy. A server database that holds records already is used
// as it is.
void fillServer(const QString& uri, const QString& folder)
{
    {
        const std::shared_ptr<sql::Session> session = sql::Session::openPrivate(uri);
        if (!sql::existingTable(*session).isEmpty() &&
            Database(session)
                    .openRecordset(QStringLiteral("SELECT COUNT(*) AS Records FROM [Time]"))
                    ->field(QStringLiteral("Records"))
                    .toInteger() > 0) {
            std::printf("Using the records already on the server\n");
            return;
        }
    }
    std::printf("Copying the file to the server ...\n");
    const double start = nowMs();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (runPelmarDb({QStringLiteral("copy"), folder, uri}, out, err, SystemClock(), isatty(STDERR_FILENO)) !=
        0)
        throw std::runtime_error("the copy to the server failed");
    std::printf("  in %.1f s\n", (nowMs() - start) / 1000);
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

bool burstClean(const BurstFigures& f)
{
    return f.lost == 0 && f.duplicated == 0 && f.failed == 0;
}

int benchMain(const Options& options)
{
    std::unique_ptr<QTemporaryDir> scratch;
    QString folder = options.out;
    if (folder.isEmpty()) {
        scratch = std::make_unique<QTemporaryDir>();
        folder = scratch->path();
    }
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(names::DatabaseFile);
    if (QFileInfo::exists(path)) {
        std::printf("Using the existing %s\n", qPrintable(QDir::toNativeSeparators(path)));
    } else {
        std::printf("Generating %s ...\n", qPrintable(QDir::toNativeSeparators(path)));
        const double start = nowMs();
        const long long rows = generate(path, options.company, FirstToday);
        std::printf("  %lld time records in %.1f s\n", rows, (nowMs() - start) / 1000);
    }
    const long long records = undoEarlierRuns(path);
    const int people = options.company.employees + options.company.former;

    const bool plansClean = printPlans(path);

    BareSql bareFile(path);
    Bench bench(options, folder, bareFile);
    bench.run();
    bench.report(QString::asprintf("Database %s: %d employees (%d former), %lld time records, %.0f MB",
                                   qPrintable(QDir::toNativeSeparators(path)), people, options.company.former,
                                   records, QFileInfo(path).size() / 1048576.0));
    double worst = bench.worstRatio();
    QString worstAction = QString::fromLatin1(bench.worstAction());
    bool slow = bench.slow();

    const bool server = !options.server.isEmpty();
    if (server) {
        fillServer(options.server, folder);
        const long long serverRecords = undoEarlierRuns(options.server);
        BarePg bareServer(options.server);
        Bench onServer(options, options.server, bareServer);
        onServer.run();
        onServer.report(QString::asprintf("Server database %s: %lld time records, %.0f MB",
                                          qPrintable(bareServer.name()), serverRecords,
                                          bareServer.sizeBytes() / 1048576.0));
        slow = slow || onServer.slow();
        if (onServer.worstRatio() > worst) {
            worst = onServer.worstRatio();
            worstAction = QString::fromLatin1(onServer.worstAction()) + QStringLiteral(" on the server");
        }
    }

    QTemporaryDir emptyFolder;
    sql::createDatabase(QDir(emptyFolder.path()).filePath(names::DatabaseFile));
    const Memory big = startUpMemory(folder);
    const Memory empty = startUpMemory(emptyFolder.path());
    const double difference = big.peakMb - empty.peakMb;
    std::printf("\nStart-up memory (start-up in a fresh process, window shown; peak VmHWM / VmRSS):\n");
    std::printf("  this database   %7.1f MB / %7.1f MB\n", big.peakMb, big.residentMb);
    std::printf("  empty database  %7.1f MB / %7.1f MB\n", empty.peakMb, empty.residentMb);

    bool punchesKept = true;
    if (options.burst || server) {
        const BurstFigures onFile = runBurst(folder, options.company.employees, BurstDay);
        std::optional<BurstFigures> onServer;
        if (server)
            onServer = runBurst(options.server, options.company.employees, BurstDay);
        printBurst(onFile, onServer ? &*onServer : nullptr);
        punchesKept = burstClean(onFile) && (!onServer || burstClean(*onServer));
    }

    const bool met =
        worst <= TargetRatio && difference <= TargetMemoryMb && plansClean && punchesKept && !slow;
    std::printf(
        "\nSummary: worst ratio %.2fx (%s), start-up memory %+.1f MB against an empty database%s%s; "
        "targets %.0fx, 100 ms for the board and a month's payroll, 1 s for a year's, and %.0f MB: %s\n",
        worst, qPrintable(worstAction), difference, slow ? ", an administrator's read OVER ITS TIME" : "",
        options.burst || server ? (punchesKept ? ", no punch lost or duplicated" : ", PUNCHES LOST") : "",
        TargetRatio, TargetMemoryMb, met ? "met" : "MISSED");
    return options.check && !met ? 1 : 0;
}

} // namespace

} // namespace pelmar::bench

int main(int argc, char** argv)
{
    // Headless unless told otherwise: nobody watches the benchmark's windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const pelmar::bench::Options options = pelmar::bench::parse(QCoreApplication::arguments());
    try {
        if (!options.childFolder.isEmpty())
            return pelmar::bench::childStartUp(options.childFolder);
        if (!options.childBurst.isEmpty())
            return pelmar::bench::burstTerminal(options.childBurst, options.childBurstFirst,
                                                options.company.employees, pelmar::bench::BurstDay);
        return pelmar::bench::benchMain(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pelmar-bench: %s\n", e.what());
        return 1;
    }
}
