#include "bench/actions.h"
#include "bench/barepg.h"
#include "bench/baresql.h"
#include "bench/burst.h"
#include "bench/generator.h"
#include "bench/memory.h"
#include "bench/options.h"
#include "bench/timing.h"
#include "platform/clock.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/sqltexts.h"
#include "tools/pelmardb.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace pelmar::bench {

namespace {

constexpr double TargetRatio = 3.0;
constexpr double TargetMemoryMb = 10.0;

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

// The database file in folder: the one there, or a company generated into it.
QString companyFile(const QString& folder, const Company& company)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(names::DatabaseFile);
    if (QFileInfo::exists(path)) {
        std::printf("Using the existing %s\n", qPrintable(QDir::toNativeSeparators(path)));
    } else {
        std::printf("Generating %s ...\n", qPrintable(QDir::toNativeSeparators(path)));
        const double start = nowMs();
        const long long rows = generate(path, company, FirstToday);
        std::printf("  %lld time records in %.1f s\n", rows, (nowMs() - start) / 1000);
    }
    return path;
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

// The timed actions on the file at path in folder, which holds records.
Worst timeOnFile(const Options& options, const QString& folder, const QString& path, long long records)
{
    const int people = options.company.employees + options.company.former;
    BareSql bare(path);
    Bench bench(options, folder, bare);
    bench.run();
    return bench.report(QString::asprintf("Database %s: %d employees (%d former), %lld time records, %.0f MB",
                                          qPrintable(QDir::toNativeSeparators(path)), people,
                                          options.company.former, records,
                                          QFileInfo(path).size() / 1048576.0));
}

// The timed actions on the server, with the file's records from folder.
Worst timeOnServer(const Options& options, const QString& folder)
{
    fillServer(options.server, folder);
    const long long records = undoEarlierRuns(options.server);
    BarePg bare(options.server);
    Bench bench(options, options.server, bare);
    bench.run();
    Worst worst =
        bench.report(QString::asprintf("Server database %s: %lld time records, %.0f MB",
                                       qPrintable(bare.name()), records, bare.sizeBytes() / 1048576.0));
    worst.action += QStringLiteral(" on the server");
    return worst;
}

// How much more memory a start-up takes on the database in folder than on
// an empty one, in megabytes.
double startUpGrowth(const QString& folder)
{
    QTemporaryDir emptyFolder;
    sql::createDatabase(QDir(emptyFolder.path()).filePath(names::DatabaseFile));
    const Memory big = startUpMemory(folder);
    const Memory empty = startUpMemory(emptyFolder.path());
    std::printf("\nStart-up memory (start-up in a fresh process, window shown; peak VmHWM / VmRSS):\n");
    std::printf("  this database   %7.1f MB / %7.1f MB\n", big.peakMb, big.residentMb);
    std::printf("  empty database  %7.1f MB / %7.1f MB\n", empty.peakMb, empty.residentMb);
    return big.peakMb - empty.peakMb;
}

// The shift change on the file in folder, and on the server when there is
// one; true when no punch was lost, duplicated or failed.
bool burstKeptPunches(const Options& options, const QString& folder)
{
    const BurstFigures onFile = runBurst({folder, options.company.employees, BurstDay, options.outage});
    std::optional<BurstFigures> onServer;
    if (!options.server.isEmpty())
        onServer = runBurst({options.server, options.company.employees, BurstDay, options.outage});
    printBurst(onFile, onServer ? &*onServer : nullptr);
    return onFile.clean() && (!onServer || onServer->clean());
}

int benchMain(const Options& options)
{
    std::unique_ptr<QTemporaryDir> scratch;
    QString folder = options.out;
    if (folder.isEmpty()) {
        scratch = std::make_unique<QTemporaryDir>();
        folder = scratch->path();
    }
    const QString path = companyFile(folder, options.company);
    const long long records = undoEarlierRuns(path);
    const bool plansClean = printPlans(path);

    Worst worst = timeOnFile(options, folder, path, records);
    const bool server = !options.server.isEmpty();
    if (server) {
        const Worst onServer = timeOnServer(options, folder);
        worst.slow = worst.slow || onServer.slow;
        if (onServer.ratio > worst.ratio) {
            worst.ratio = onServer.ratio;
            worst.action = onServer.action;
        }
    }
    const double difference = startUpGrowth(folder);
    const bool burst = options.burst || server;
    const bool punchesKept = !burst || burstKeptPunches(options, folder);

    const bool met = worst.ratio <= TargetRatio && difference <= TargetMemoryMb && plansClean &&
                     punchesKept && !worst.slow;
    std::printf(
        "\nSummary: worst ratio %.2fx (%s), start-up memory %+.1f MB against an empty database%s%s; "
        "targets %.0fx, 100 ms for the board and a month's payroll, 1 s for a year's, and %.0f MB: %s\n",
        worst.ratio, qPrintable(worst.action), difference,
        worst.slow ? ", an administrator's read OVER ITS TIME" : "",
        burst ? (punchesKept ? ", no punch lost or duplicated" : ", PUNCHES LOST") : "", TargetRatio,
        TargetMemoryMb, met ? "met" : "MISSED");
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
            return pelmar::bench::burstTerminal(
                {options.childBurst, options.company.employees, pelmar::bench::BurstDay, options.outage},
                options.childBurstFirst);
        return pelmar::bench::benchMain(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pelmar-bench: %s\n", e.what());
        return 1;
    }
}
