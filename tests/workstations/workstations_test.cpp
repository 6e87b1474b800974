#include "platform/datetime.h"
#include "support/testdb.h"
#include "timekeeping/journal.h"
#include "workstations/staff.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <unistd.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

// Sizes scale by environment, so that a slow build can run fewer rounds.
int setting(const char* name, int fallback)
{
    const int v = qEnvironmentVariableIntValue(name);
    return v > 0 ? v : fallback;
}

// Friday 4 December 2026 at a time of day, as the worker's argument.
QString at(double hours)
{
    return QString::number(dates::serial(2026, 12, 4) + hours / 24, 'f', 8);
}

// A workstation process.
class Worker
{
public:
    explicit Worker(const QStringList& args, const QString& dataHome = QString())
    {
        // A terminal of its own: its journal is its own.
        if (!dataHome.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
            m_process.setProcessEnvironment(environment);
        }
        // Its warnings reach the test's log.
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(PELMAR_WORKER), args);
        EXPECT_TRUE(m_process.waitForStarted(30000));
    }
    ~Worker() { m_process.waitForFinished(10000); }

    // Waits for its next line; the first is "ready" once its window is up.
    QString firstLine()
    {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(300000)) {
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    void kill() { m_process.kill(); }
    // Every line (after the first, if read) up to its end.
    QStringList rest()
    {
        m_process.waitForFinished(300000);
        return QString::fromUtf8(m_process.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QProcess m_process;
};

class WorkstationsTest : public ::testing::Test
{
protected:
    void addStaff(int first, int count)
    {
        for (int id = first; id < first + count; ++id)
            db.addEmployee(id, stationName(id), stationPassword(id));
    }

    qint64 scalar(const QString& sql) { return db.scalar(sql).toInteger(); }
    qint64 count(const QString& where = QStringLiteral("1 = 1"))
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM \"Time\" WHERE ") + where);
    }
    // How many of the rows with these keys match where.
    qint64 countAmong(const std::set<qint64>& ids, const QString& where = QStringLiteral("1 = 1"))
    {
        QStringList keys{QStringLiteral("0")};
        for (qint64 id : ids)
            keys << QString::number(id);
        return count(QStringLiteral("TimeID IN (%1) AND (%2)").arg(keys.join(QLatin1Char(',')), where));
    }
    // The server checks its own pages.
    QString integrity()
    {
        return db.onServer() ? QStringLiteral("ok")
                             : db.scalar(QStringLiteral("PRAGMA integrity_check")).toTextOrEmpty();
    }

    // The TimeIDs of "saved in|out TIMEID ID" lines, each once, by in/out;
    // no line may be an error.
    void collect(const QStringList& lines, std::map<QString, std::set<qint64>>& saved)
    {
        for (const QString& l : lines) {
            EXPECT_FALSE(l.startsWith(QLatin1String("error"))) << l.toStdString();
            const QStringList f = l.split(QLatin1Char(' '));
            if (f.size() == 4 && f[0] == QLatin1String("saved")) {
                EXPECT_TRUE(saved[f[1]].insert(f[2].toLongLong()).second) << l.toStdString();
            }
        }
    }

    TestDb db;
};

} // namespace

// Six workstations at once, each for two employees of its own, each round a
// log in and clock in, then a log in and clock out. Every round's record is
// there once, closed, with its hours, and nobody saw a message.
TEST_F(WorkstationsTest, SixWorkstationsClockTheirOwnStaffAtOnce)
{
    const int stations = 6;
    const int perStation = 2;
    const int rounds = setting("PELMAR_WORKSTATION_ROUNDS", 200);
    addStaff(1, stations * perStation);

    std::vector<std::unique_ptr<Worker>> workers;
    for (int w = 0; w < stations; ++w)
        workers.push_back(std::make_unique<Worker>(
            QStringList{db.folder(), QString::number(1 + w * perStation), QString::number(perStation),
                        QString::number(rounds), at(6), at(23)}));
    std::map<QString, std::set<qint64>> saved;
    for (auto& worker : workers) {
        const QStringList lines = worker->rest();
        collect(lines, saved);
        EXPECT_EQ(lines.value(lines.size() - 1), QStringLiteral("done"));
    }

    EXPECT_EQ(saved["in"].size(), static_cast<size_t>(stations * rounds));
    EXPECT_EQ(saved["in"], saved["out"]);
    EXPECT_EQ(count(), stations * rounds);
    EXPECT_EQ(countAmong(saved["in"]), stations * rounds);
    // Closed, with the hours of their times, and each clock-in once.
    EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL OR Thours IS NULL")), 0);
    EXPECT_EQ(count(QStringLiteral("abs(Thours - (TimeOut - TimeIn) * 24) > 1e-9 OR Thours <= 0")), 0);
    EXPECT_EQ(count(QStringLiteral("Type <> 'Worked' OR Tdate <> %1").arg(dates::serial(2026, 12, 4))), 0);
    EXPECT_EQ(scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM (SELECT DISTINCT PersonnelID, TimeIn FROM \"Time\") AS shifts")),
              stations * rounds);
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
}

// A writer killed at random moments: the file stays sound and keeps every
// click the writer had reported as saved.
TEST_F(WorkstationsTest, AWriterKilledAtRandomMomentsLosesNothingItReported)
{
    const int kills = setting("PELMAR_WORKSTATION_KILLS", 50);
    addStaff(1, 2);
    QRandomGenerator random(20261204);
    // Each writer has a slice of the day of its own, later than the last one's.
    const double slice = 22.5 / kills;
    int interrupted = 0;
    std::map<QString, std::set<qint64>> saved;
    for (int k = 0; k < kills; ++k) {
        Worker writer({db.folder(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("100000"),
                       at(0.5 + k * slice), at(0.5 + (k + 1) * slice), QStringLiteral("follow")});
        ASSERT_EQ(writer.firstLine(), QStringLiteral("ready"));
        ::usleep(static_cast<useconds_t>(random.bounded(20000, 400000)));
        writer.kill();
        const QStringList lines = writer.rest();
        interrupted += lines.contains(QStringLiteral("done")) ? 0 : 1;
        collect(lines, saved);
        ASSERT_EQ(integrity(), QStringLiteral("ok")) << "after kill " << k;
        ASSERT_EQ(countAmong(saved["in"]), saved["in"].size()) << "a reported clock-in is lost, kill " << k;
        ASSERT_EQ(countAmong(saved["out"], QStringLiteral("TimeOut IS NOT NULL AND Thours IS NOT NULL")),
                  saved["out"].size())
            << "a reported clock-out is lost, kill " << k;
        // Nothing half-written: a row is a whole clock-in, closed rows have hours.
        ASSERT_EQ(count(QStringLiteral("TimeIn IS NULL OR Tdate IS NULL OR Type IS NULL OR "
                                       "(TimeOut IS NOT NULL AND Thours IS NULL)")),
                  0);
    }
    EXPECT_GT(interrupted, kills / 2) << "most kills should find the writer at work";
    EXPECT_GT(saved["in"].size(), 0u);
}

// Four terminals in a shift change lose the server for a while: each
// keeps its punches meanwhile, and once the database is back every punch
// is in the records exactly once, at its own time.
TEST_F(WorkstationsTest, AShiftChangeThroughAnOutageLosesAndDoublesNothing)
{
    // A file's folder renamed under a writer in mid-commit takes its
    // rollback journal away; the window's own test renames it between clicks.
    if (!db.onServer())
        GTEST_SKIP() << "the outage of several terminals is the server's";
    const int stations = 4;
    const int perStation = 3;
    addStaff(1, stations * perStation);
    QTemporaryDir homes;
    std::vector<std::unique_ptr<Worker>> workers;
    for (int w = 0; w < stations; ++w)
        workers.push_back(
            std::make_unique<Worker>(QStringList{db.folder(), QString::number(1 + w * perStation),
                                                 QString::number(perStation), QStringLiteral("100"), at(6),
                                                 at(23), QStringLiteral("strict"), QStringLiteral("journal")},
                                     homes.filePath(QString::number(w))));

    // Punches by terminal; the outage begins once every employee has logged
    // in (so each terminal knows them) and ends once each terminal kept two.
    std::vector<QStringList> lines(stations);
    const auto readUntil = [&](const std::function<bool(const QStringList&)>& enough) {
        for (int w = 0; w < stations; ++w) {
            while (!enough(lines[w]) && !lines[w].contains(QStringLiteral("done"))) {
                const QString line = workers[w]->firstLine();
                if (line.isEmpty() || line.startsWith(QLatin1String("error"))) {
                    ADD_FAILURE() << "terminal " << w << ": " << line.toStdString();
                    return;
                }
                lines[w] << line;
            }
        }
    };
    const auto punches = [](const QStringList& l, const QString& kind) {
        return l.filter(QRegularExpression(QStringLiteral("^punched .* ") + kind + QLatin1Char('$'))).size();
    };
    readUntil(
        [&](const QStringList& l) { return punches(l, QStringLiteral("saved")) >= 2 * perStation + 2; });
    // Each terminal hashes its log-ins on a thread of its own, a little later.
    for (int w = 0; w < stations; ++w) {
        const Journal journal(
            QDir(homes.filePath(QString::number(w))).filePath(QStringLiteral("PelmarEmployee/")) +
                QFileInfo(Journal::pathFor(db.path())).fileName(),
            14);
        for (int wait = 0; journal.remembered().size() < perStation && wait < 300; ++wait)
            ::usleep(50000);
    }
    db.setReachable(false);
    readUntil([&](const QStringList& l) { return punches(l, QStringLiteral("kept")) >= 2; });
    db.setReachable(true);

    int kept = 0;
    std::vector<QStringList> all;
    for (int w = 0; w < stations; ++w) {
        lines[w] << workers[w]->rest();
        EXPECT_EQ(lines[w].value(lines[w].size() - 1), QStringLiteral("done")) << "terminal " << w;
        kept += punches(lines[w], QStringLiteral("kept"));
    }
    EXPECT_GE(kept, 2);
    int ins = 0;
    for (const QStringList& terminal : lines) {
        for (const QString& l : terminal.filter(QRegularExpression(QStringLiteral("^punched ")))) {
            const QStringList f = l.split(QLatin1Char(' '));
            const double when = f[3].toDouble();
            const double day = dates::datePart(when);
            const QString time = QString::number(dates::timePart(when), 'f', 8);
            const bool in = f[1] == QLatin1String("in");
            ins += in ? 1 : 0;
            EXPECT_EQ(count(QStringLiteral("PersonnelID = %1 AND Tdate = %2 AND abs(%3 - %4) < 1e-7")
                                .arg(f[2], QString::number(day, 'f', 0),
                                     in ? QStringLiteral("TimeIn") : QStringLiteral("TimeOut"), time)),
                      1)
                << l.toStdString();
        }
    }
    EXPECT_EQ(count(), ins);
    EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL OR Thours IS NULL OR Thours <= 0")), 0);
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
}
