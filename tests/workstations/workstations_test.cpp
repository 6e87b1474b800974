#include "platform/datetime.h"
#include "store/session.h"
#include "store/sqlite.h"
#include "support/testdb.h"
#include "workstations/staff.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

// Sizes scale by environment, so that a slow build can run fewer rounds.
int setting(const char* name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

// Friday 4 December 2026 at a time of day, as the worker's argument.
QString at(double hours)
{
    return QString::number(dates::serial(2026, 12, 4) + hours / 24, 'f', 8);
}

// A workstation process and its lines. wrapper: a program and its
// arguments that run the worker (setpriv), or nothing.
class Worker
{
public:
    ~Worker()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished(10000);
    }
    explicit Worker(const QStringList& args, const QStringList& wrapper = {})
    {
        const QStringList argv = wrapper + QStringList{QStringLiteral(PELMAR_WORKER)} + args;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), QDir::tempPath());
        m_process.setProcessEnvironment(env);
        m_process.start(argv.first(), argv.mid(1));
        EXPECT_TRUE(m_process.waitForStarted(30000));
    }

    qint64 pid() const { return m_process.processId(); }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }

    // The next line, or nullopt once the process has ended (or after timeoutMs).
    std::optional<QString> line(int timeoutMs = 300000)
    {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(timeoutMs)) {
        }
        if (m_process.bytesAvailable() == 0)
            return std::nullopt;
        return QString::fromUtf8(m_process.canReadLine() ? m_process.readLine() : m_process.readAll())
            .trimmed();
    }

    // Every line up to the end of the process.
    QStringList rest(int timeoutMs = 300000)
    {
        QStringList lines;
        while (std::optional<QString> l = line(timeoutMs))
            lines << *l;
        return lines;
    }

    // Sends one command (none: reads the start-up report) and returns the
    // messages it showed; the clock button's offer after it goes to offer.
    QStringList command(const QString& text = {})
    {
        if (!text.isEmpty())
            m_process.write(text.toUtf8() + '\n');
        QStringList messages;
        while (std::optional<QString> l = line(60000)) {
            if (*l == QLatin1String("ok"))
                return messages;
            if (l->startsWith(QLatin1String("message: ")))
                messages << l->mid(9);
            else if (l->startsWith(QLatin1String("offer")))
                offer = l->mid(6);
        }
        ADD_FAILURE() << "the worker stopped after " << text.toStdString();
        return messages;
    }
    QString offer;

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

    // On a file, through a connection of its own each time: the file at the
    // path may have been replaced since the fixture opened it.
    qint64 scalar(const QString& sql)
    {
        if (db.onServer())
            return db.scalar(sql).toInteger();
        std::shared_ptr<sql::Connection> conn = sql::Connection::openPrivate(db.path());
        sql::Statement stmt(*conn, sql);
        return stmt.step() ? stmt.columnInt(0) : -1;
    }
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
    // The server checks its own pages; a file is checked here.
    QString integrity()
    {
        if (db.onServer())
            return QStringLiteral("ok");
        std::shared_ptr<sql::Connection> conn = sql::Connection::openPrivate(db.path());
        sql::Statement check(*conn, QStringLiteral("PRAGMA integrity_check"));
        QStringList out;
        while (check.step())
            out << check.columnText(0);
        return out.join(QLatin1Char(' '));
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
            QStringList{QStringLiteral("rounds"), db.folder(), QString::number(1 + w * perStation),
                        QString::number(perStation), QString::number(rounds), at(6), at(23)}));
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
        Worker writer({QStringLiteral("rounds"), db.folder(), QStringLiteral("1"), QStringLiteral("2"),
                       QStringLiteral("100000"), at(0.5 + k * slice), at(0.5 + (k + 1) * slice),
                       QStringLiteral("follow")});
        ASSERT_EQ(writer.line().value_or(QString()), QStringLiteral("ready"));
        ::usleep(static_cast<useconds_t>(random.bounded(20000, 400000)));
        writer.kill();
        const QStringList lines = writer.rest(0);
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

// Each fault gives one clear message and writes nothing; once it is gone
// the same click in the same window works, and the window goes on.
class FaultTest : public WorkstationsTest
{
protected:
    struct Fault
    {
        QString message;
        std::function<void()> arm;  // after a log-in, before its click
        std::function<void()> lift; // checks the fault's own traces, then ends it
        // A file mode counts only when the window opens the file, and never
        // for root: armed before start, with the worker an ordinary user.
        bool fileMode = false;
    };

    void SetUp() override
    {
        addStaff(1, 1);
        if (db.onServer())
            return;
        ASSERT_EQ(::chmod(QFile::encodeName(db.folder()).constData(), 0777), 0);
        setMode(0666);
    }

    void setMode(mode_t mode) { ASSERT_EQ(::chmod(QFile::encodeName(db.path()).constData(), mode), 0); }
    void expectQuiet(const QStringList& messages, const char* what)
    {
        EXPECT_TRUE(messages.isEmpty()) << what << ": " << messages.join(QLatin1Char('/')).toStdString();
    }

    // Clocks employee 1 in and out under the fault until a click is
    // refused; then judges that click and the same one repeated once the
    // fault is lifted.
    void expectRefusedThenWorks(const Fault& fault)
    {
        const QStringList nobody{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                                 QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")};
        if (fault.fileMode)
            fault.arm();
        worker = std::make_unique<Worker>(QStringList{QStringLiteral("interactive"), db.folder(), at(8)},
                                          fault.fileMode && ::geteuid() == 0 ? nobody : QStringList());
        expectQuiet(worker->command(), "start");
        // Otherwise armed after one clock-in, so that it meets a clock-out too.
        for (int attempt = 0; attempt < 400; ++attempt) {
            expectQuiet(worker->command(QStringLiteral("login 1")), "log in");
            const QString offer = worker->offer;
            ASSERT_FALSE(offer.isEmpty());
            const qint64 rows = count();
            const qint64 open = count(QStringLiteral("TimeOut IS NULL"));
            if (attempt == 1 && !fault.fileMode)
                fault.arm();
            QElapsedTimer clicked;
            clicked.start();
            const QStringList refused = worker->command(QStringLiteral("clock"));
            clickMs = clicked.elapsed();
            if (refused.isEmpty()) {
                worker->command(QStringLiteral("logout"));
                continue;
            }
            EXPECT_EQ(refused, QStringList{fault.message});
            EXPECT_EQ(worker->offer, offer) << "the offer stays for another try";
            fault.lift();
            EXPECT_FALSE(QFile::exists(db.path() + QStringLiteral("-journal")));
            EXPECT_EQ(count(), rows) << "nothing half-written";
            EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL")), open);

            expectQuiet(worker->command(QStringLiteral("clock")), "the same click once the fault is gone");
            const bool in = offer == QLatin1String("Clock IN");
            EXPECT_EQ(count(), in ? rows + 1 : rows);
            EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL")), in ? open + 1 : open - 1);
            EXPECT_EQ(count(QStringLiteral("TimeOut IS NOT NULL AND (Thours IS NULL OR Thours <= 0)")), 0);
            worker->command(QStringLiteral("logout"));
            expectQuiet(worker->command(QStringLiteral("login 1")), "the next log-in");
            EXPECT_EQ(worker->offer, in ? QStringLiteral("Clock OUT") : QStringLiteral("Clock IN"));
            EXPECT_EQ(integrity(), QStringLiteral("ok"));
            return;
        }
        ADD_FAILURE() << "no click was refused";
    }

    std::unique_ptr<Worker> worker;
    qint64 clickMs = 0;
    const QString full = QStringLiteral("Error:3035 System resource exceeded: the disk is full.");
};

TEST_F(FaultTest, AReadOnlyDatabase)
{
    if (db.onServer())
        GTEST_SKIP() << "a server has no file to fault";
    expectRefusedThenWorks({QStringLiteral("Error:3027 Cannot update. Database or object is read-only."),
                            [&] { setMode(0444); }, [&] { setMode(0666); }, true});
}

// The operating system refuses to let the file grow, as a full disk or a
// quota would.
TEST_F(FaultTest, ADiskThatRefusesToGrowTheFile)
{
    if (db.onServer())
        GTEST_SKIP() << "a server has no file to fault";
    const qint64 size = QFileInfo(db.path()).size();
    auto limit = [&](const QString& to) {
        ASSERT_EQ(QProcess::execute(QStringLiteral("prlimit"),
                                    {QStringLiteral("--pid"), QString::number(worker->pid()),
                                     QStringLiteral("--fsize=") + to}),
                  0);
    };
    expectRefusedThenWorks({full, [&] { limit(QStringLiteral("%1:unlimited").arg(size)); },
                            [&] {
                                EXPECT_LE(QFileInfo(db.path()).size(), size);
                                limit(QStringLiteral("unlimited:unlimited"));
                            }});
}

// The administrator puts the file back: the open window goes on with it.
TEST_F(FaultTest, ARemovedDatabase)
{
    if (db.onServer())
        GTEST_SKIP() << "a server has no file to fault";
    const QString backup = db.folder() + QStringLiteral("/backup.db");
    expectRefusedThenWorks(
        {QStringLiteral("Error:3024 Could not find file '%1'.").arg(QDir::toNativeSeparators(db.path())),
         [&] { ASSERT_TRUE(QFile::copy(db.path(), backup) && QFile::remove(db.path())); },
         [&] {
             EXPECT_FALSE(QFile::exists(db.path())) << "nothing creates a new file";
             ASSERT_TRUE(QFile::rename(backup, db.path()));
         }});
}

// Another workstation's long write holds the write lock with a row of its
// own on the way; on a server it holds the time table.
TEST_F(FaultTest, AWriteLockHeldPastTheBusyTimeout)
{
    std::shared_ptr<sql::Session> other = sql::Session::openPrivate(db.path());
    expectRefusedThenWorks(
        {QStringLiteral("Error:3218 Could not update; currently locked."),
         [&] {
             other->exec(db.onServer()
                             ? QStringLiteral("BEGIN; LOCK TABLE time IN EXCLUSIVE MODE")
                             : QStringLiteral("BEGIN IMMEDIATE; INSERT INTO \"Time\" (PersonnelID, "
                                              "Tdate, TimeIn, Type) VALUES (99, 46360, 0.5, 'Worked');"));
         },
         [&] {
             EXPECT_GE(clickMs, sql::Connection::BusyTimeoutMs - 100);
             other->exec(QStringLiteral("ROLLBACK"));
         }});
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
