#include "platform/datetime.h"
#include "store/engine.h"
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
#include <gtest/gtest.h>
#include <map>
#include <memory>
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

QString workerPath()
{
    return QStringLiteral(PELMAR_WORKER);
}

// Friday 4 December 2026 at a time of day.
double at(int hour, int minute = 0)
{
    return dates::serial(2026, 12, 4) + dates::timeSerial(hour, minute, 0);
}

QString serialText(double serial)
{
    return QString::number(serial, 'f', 8);
}

// A workstation process and its lines.
class Worker
{
public:
    // wrapper: a program and its arguments that run the worker (setpriv,
    // prlimit), or nothing.
    explicit Worker(const QStringList& args, const QStringList& wrapper = {})
    {
        QStringList argv = wrapper.mid(1) + QStringList{workerPath()} + args;
        const QString program = wrapper.isEmpty() ? argv.takeFirst() : wrapper.first();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), QDir::tempPath());
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(program, argv);
        EXPECT_TRUE(m_process.waitForStarted(30000)) << program.toStdString();
    }

    qint64 pid() const { return m_process.processId(); }

    ~Worker()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.closeWriteChannel();
            if (!m_process.waitForFinished(10000))
                m_process.kill();
            m_process.waitForFinished(10000);
        }
    }

    // The next line, or nullopt once the process has ended (or after timeoutMs).
    std::optional<QString> line(int timeoutMs = 60000)
    {
        QElapsedTimer waited;
        waited.start();
        while (!m_process.canReadLine()) {
            if (m_process.state() == QProcess::NotRunning || waited.elapsed() > timeoutMs) {
                if (m_process.bytesAvailable() > 0)
                    return QString::fromUtf8(m_process.readAll()).trimmed();
                return std::nullopt;
            }
            m_process.waitForReadyRead(100);
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    // Sends one command and collects its lines up to "ok".
    QStringList command(const QString& text, int timeoutMs = 60000)
    {
        m_process.write(text.toUtf8() + '\n');
        m_process.waitForBytesWritten(5000);
        return untilOk(timeoutMs);
    }

    QStringList untilOk(int timeoutMs = 60000)
    {
        QStringList lines;
        while (std::optional<QString> l = line(timeoutMs)) {
            if (*l == QLatin1String("ok"))
                return lines;
            lines << *l;
        }
        ADD_FAILURE() << "the worker stopped: " << lines.join(QStringLiteral(" / ")).toStdString() << " "
                      << m_process.readAllStandardError().toStdString();
        return lines;
    }

    bool finish(int timeoutMs)
    {
        m_process.closeWriteChannel();
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs))
            return false;
        return m_process.exitStatus() == QProcess::NormalExit;
    }
    int exitCode() const { return m_process.exitCode(); }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    QString errors() { return QString::fromUtf8(m_process.readAllStandardError()); }
    // Whatever is left to read, as lines.
    QStringList rest()
    {
        QStringList lines;
        while (std::optional<QString> l = line(0))
            lines << *l;
        return lines;
    }

private:
    QProcess m_process;
};

QStringList messagesOf(const QStringList& lines)
{
    QStringList out;
    for (const QString& l : lines) {
        if (l.startsWith(QLatin1String("message: ")))
            out << l.mid(9);
    }
    return out;
}

// "state GO|OFFER|TIMEID" split in three.
QStringList stateOf(const QStringList& lines)
{
    for (const QString& l : lines) {
        if (l.startsWith(QLatin1String("state ")))
            return l.mid(6).split(QLatin1Char('|'));
    }
    return {};
}

QString integrity(const QString& path)
{
    std::shared_ptr<sql::Connection> conn = sql::Connection::openPrivate(path);
    sql::Statement check(*conn, QStringLiteral("PRAGMA integrity_check"));
    QStringList out;
    while (check.step())
        out << check.columnText(0);
    return out.join(QLatin1Char(' '));
}

class WorkstationsTest : public ::testing::Test
{
protected:
    void addStaff(int first, int count)
    {
        for (int id = first; id < first + count; ++id)
            db.addEmployee(id, stationName(id), stationPassword(id));
    }

    // Through a connection of its own each time: the file at the path may
    // have been replaced since the fixture opened it.
    qint64 scalar(const QString& sql)
    {
        std::shared_ptr<sql::Connection> conn = sql::Connection::openPrivate(db.path());
        sql::Statement stmt(*conn, sql);
        return stmt.step() ? stmt.columnInt(0) : -1;
    }
    qint64 count(const QString& where = QStringLiteral("1"))
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM \"Time\" WHERE ") + where);
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
    for (int w = 0; w < stations; ++w) {
        workers.push_back(std::make_unique<Worker>(QStringList{
            QStringLiteral("rounds"), db.folder(), QString::number(1 + w * perStation),
            QString::number(perStation), QString::number(rounds), serialText(at(6)), serialText(at(23))}));
    }
    std::map<QString, std::set<qint64>> saved; // "in"/"out" -> TimeIDs
    std::map<qint64, int> roundsOf;
    for (int w = 0; w < stations; ++w) {
        Worker& worker = *workers[static_cast<size_t>(w)];
        QStringList lines;
        while (std::optional<QString> l = worker.line(300000)) {
            lines << *l;
            EXPECT_FALSE(l->startsWith(QLatin1String("error")))
                << "station " << w << ": " << l->toStdString();
            const QStringList f = l->split(QLatin1Char(' '));
            if (f.size() == 4 && f[0] == QLatin1String("saved")) {
                EXPECT_TRUE(saved[f[1]].insert(f[2].toLongLong()).second) << l->toStdString();
                if (f[1] == QLatin1String("in"))
                    ++roundsOf[f[3].toLongLong()];
            }
        }
        ASSERT_TRUE(worker.finish(300000)) << "station " << w;
        EXPECT_EQ(worker.exitCode(), 0) << "station " << w << ": " << worker.errors().toStdString();
        EXPECT_EQ(lines.value(lines.size() - 1), QStringLiteral("done")) << "station " << w;
    }

    EXPECT_EQ(saved["in"].size(), static_cast<size_t>(stations * rounds));
    EXPECT_EQ(saved["in"], saved["out"]);
    EXPECT_EQ(count(), stations * rounds);
    for (int id = 1; id <= stations * perStation; ++id) {
        // Rounds alternate between a station's two employees.
        const int expected = rounds / perStation + ((id - 1) % perStation < rounds % perStation ? 1 : 0);
        EXPECT_EQ(count(QStringLiteral("PersonnelID = %1").arg(id)), expected) << "employee " << id;
        EXPECT_EQ(roundsOf[id], expected) << "employee " << id;
    }
    // Closed, with the hours of their times, and each clock-in once.
    EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL OR Thours IS NULL")), 0);
    EXPECT_EQ(count(QStringLiteral("abs(Thours - (TimeOut - TimeIn) * 24) > 1e-9 OR Thours <= 0")), 0);
    EXPECT_EQ(count(QStringLiteral("Type <> 'Worked' OR Tdate <> %1").arg(dates::serial(2026, 12, 4))), 0);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT PersonnelID, TimeIn FROM \"Time\")")),
        stations * rounds);
    for (qint64 timeId : saved["in"])
        EXPECT_EQ(count(QStringLiteral("TimeID = %1").arg(timeId)), 1);
    EXPECT_EQ(integrity(db.path()), QStringLiteral("ok"));
}

// A writer killed at random moments: the file stays sound and keeps every
// click the writer had reported as saved.
TEST_F(WorkstationsTest, AWriterKilledAtRandomMomentsLosesNothingItReported)
{
    const int kills = setting("PELMAR_WORKSTATION_KILLS", 50);
    addStaff(1, 2);
    QRandomGenerator random(20261204);
    // Each writer has a slice of the day of its own, later than the last one's.
    const double slice = (at(23) - at(0, 30)) / kills;
    int interrupted = 0;
    std::set<qint64> in;
    std::set<qint64> out;
    for (int k = 0; k < kills; ++k) {
        const double start = at(0, 30) + k * slice;
        Worker writer({QStringLiteral("rounds"), db.folder(), QStringLiteral("1"), QStringLiteral("2"),
                       QStringLiteral("100000"), serialText(start), serialText(start + slice),
                       QStringLiteral("follow")});
        const std::optional<QString> ready = writer.line();
        ASSERT_EQ(ready.value_or(QString()), QStringLiteral("ready")) << writer.errors().toStdString();
        ::usleep(static_cast<useconds_t>(random.bounded(20000, 400000)));
        writer.kill();
        QStringList lines = writer.rest();
        interrupted += lines.contains(QStringLiteral("done")) ? 0 : 1;
        for (const QString& l : lines) {
            const QStringList f = l.split(QLatin1Char(' '));
            ASSERT_FALSE(l.startsWith(QLatin1String("error"))) << "kill " << k << ": " << l.toStdString();
            if (f.size() == 4 && f[0] == QLatin1String("saved"))
                (f[1] == QLatin1String("in") ? in : out).insert(f[2].toLongLong());
        }
        ASSERT_EQ(integrity(db.path()), QStringLiteral("ok")) << "after kill " << k;
        for (qint64 id : in)
            ASSERT_EQ(count(QStringLiteral("TimeID = %1").arg(id)), 1) << "clock-in " << id << ", kill " << k;
        for (qint64 id : out)
            ASSERT_EQ(
                count(QStringLiteral("TimeID = %1 AND TimeOut IS NOT NULL AND Thours IS NOT NULL").arg(id)),
                1)
                << "clock-out " << id << ", kill " << k;
        // Nothing half-written: a row is a whole clock-in, closed rows have hours.
        ASSERT_EQ(count(QStringLiteral("TimeIn IS NULL OR Tdate IS NULL OR Type IS NULL OR "
                                       "(TimeOut IS NOT NULL AND Thours IS NULL)")),
                  0);
    }
    std::printf(
        "%d kills, %d of them with the writer at work; %zu clock-ins and %zu clock-outs reported saved\n",
        kills, interrupted, in.size(), out.size());
    EXPECT_GT(interrupted, kills / 2) << "most kills should find the writer at work";
    EXPECT_GT(in.size(), 0u);
}

// The fault tests: each fault gives a clear message and writes nothing;
// once it is gone the same window works again.
class FaultTest : public WorkstationsTest
{
protected:
    void SetUp() override { addStaff(1, 1); }

    std::unique_ptr<Worker> start(const QStringList& wrapper = {})
    {
        auto worker = std::make_unique<Worker>(
            QStringList{QStringLiteral("interactive"), db.folder(), serialText(at(8))}, wrapper);
        const QStringList first = worker->untilOk();
        EXPECT_TRUE(messagesOf(first).isEmpty()) << first.join(QLatin1Char('/')).toStdString();
        return worker;
    }

    // As root, file modes stop nobody: the worker runs as an ordinary user.
    static QStringList unprivileged()
    {
        if (::geteuid() != 0)
            return {};
        return {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                QStringLiteral("--clear-groups")};
    }

    // Clocks employee 1 in and out until a click fails; checks that the
    // failed click wrote nothing and returns its messages. The click is
    // left to be repeated: offer and open rows before it in the out-params.
    QStringList clockUntilRefused(Worker& worker, QString& offer, qint64& openBefore)
    {
        for (int attempt = 0; attempt < 400; ++attempt) {
            const QStringList login = worker.command(QStringLiteral("login 1"));
            expectQuiet(login, "log in");
            offer = stateOf(login).value(1);
            openBefore = count(QStringLiteral("TimeOut IS NULL"));
            const qint64 rowsBefore = count();
            const QStringList clock = worker.command(QStringLiteral("clock"));
            if (!messagesOf(clock).isEmpty()) {
                EXPECT_EQ(count(), rowsBefore) << "nothing half-written";
                EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL")), openBefore);
                EXPECT_EQ(stateOf(clock).value(1), offer) << "the offer stays for another try";
                return messagesOf(clock);
            }
            worker.command(QStringLiteral("logout"));
        }
        return {};
    }

    // The repeated click works and does what it offered.
    void expectClickWorks(Worker& worker, const QString& offer, qint64 openBefore)
    {
        const qint64 rows = count();
        expectQuiet(worker.command(QStringLiteral("clock")), "the same click once the fault is gone");
        if (offer == QLatin1String("Clock IN")) {
            EXPECT_EQ(count(), rows + 1);
        } else {
            EXPECT_EQ(count(), rows);
            EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL")), openBefore - 1);
        }
        EXPECT_EQ(count(QStringLiteral("TimeOut IS NOT NULL AND Thours IS NULL")), 0);
        EXPECT_EQ(integrity(db.path()), QStringLiteral("ok"));
    }

    void expectQuiet(const QStringList& lines, const char* what)
    {
        EXPECT_TRUE(messagesOf(lines).isEmpty())
            << what << ": " << lines.join(QLatin1Char('/')).toStdString();
    }

    QString journal() const { return db.path() + QStringLiteral("-journal"); }
};

TEST_F(FaultTest, AReadOnlyDatabaseSaysSoAndWorksOnceWritable)
{
    // The folder stays writable, so that the journal can be made once the
    // file may be written.
    ASSERT_EQ(::chmod(QFile::encodeName(db.folder()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(db.path()).constData(), 0444), 0);
    std::unique_ptr<Worker> worker = start(unprivileged());

    const QStringList login = worker->command(QStringLiteral("login 1"));
    expectQuiet(login, "log-in reads a read-only file");
    ASSERT_EQ(stateOf(login).value(1), QStringLiteral("Clock IN"));

    const QStringList refused = worker->command(QStringLiteral("clock"));
    ASSERT_EQ(messagesOf(refused).size(), 1) << refused.join(QLatin1Char('/')).toStdString();
    EXPECT_EQ(messagesOf(refused)[0],
              QStringLiteral("Error:3027 Cannot update. Database or object is read-only."));
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(QFile::exists(journal()));
    EXPECT_EQ(stateOf(refused).value(1), QStringLiteral("Clock IN")) << "the offer stays for another try";

    ASSERT_EQ(::chmod(QFile::encodeName(db.path()).constData(), 0666), 0);
    expectQuiet(worker->command(QStringLiteral("clock")), "clock in once writable");
    EXPECT_EQ(count(QStringLiteral("PersonnelID = 1 AND TimeOut IS NULL")), 1);
    EXPECT_EQ(integrity(db.path()), QStringLiteral("ok"));
}

// The file may not grow past the pages it has: the disk is full as far as
// the window's own connection can tell.
TEST_F(FaultTest, AFullDatabaseSaysSoWritesNothingAndWorksOnceThereIsRoom)
{
    std::unique_ptr<Worker> worker = start();
    expectQuiet(worker->command(QStringLiteral("full")), "the limit");
    QString offer;
    qint64 open = 0;
    const QStringList failure = clockUntilRefused(*worker, offer, open);
    ASSERT_EQ(failure.size(), 1) << "the file never filled up";
    EXPECT_EQ(failure[0], QStringLiteral("Error:3035 System resource exceeded: the disk is full."));
    EXPECT_EQ(integrity(db.path()), QStringLiteral("ok"));
    EXPECT_FALSE(QFile::exists(journal()));

    expectQuiet(worker->command(QStringLiteral("unfull")), "the limit lifted");
    expectClickWorks(*worker, offer, open);
}

// The operating system refuses to let the file grow (a file-size limit on
// the worker, as a full disk or a quota would).
TEST_F(FaultTest, ADiskThatRefusesToGrowTheFileSaysSoAndWorksOnceThereIsRoom)
{
    const qint64 size = QFileInfo(db.path()).size();
    // Ignored SIGXFSZ passes through exec, so a refused write is an error, not death.
    std::unique_ptr<Worker> worker = start(
        {QStringLiteral("sh"), QStringLiteral("-c"),
         QStringLiteral("trap '' XFSZ; exec prlimit --fsize=%1:unlimited \"$@\"").arg(size), QStringLiteral("sh")});
    QString offer;
    qint64 open = 0;
    const QStringList failure = clockUntilRefused(*worker, offer, open);
    ASSERT_EQ(failure.size(), 1) << "the file never grew";
    EXPECT_EQ(failure[0], QStringLiteral("Error:3035 System resource exceeded: the disk is full."));
    EXPECT_EQ(integrity(db.path()), QStringLiteral("ok"));
    EXPECT_LE(QFileInfo(db.path()).size(), size);

    ASSERT_EQ(
        QProcess::execute(QStringLiteral("prlimit"), {QStringLiteral("--pid"), QString::number(worker->pid()),
                                                      QStringLiteral("--fsize=unlimited:unlimited")}),
        0);
    expectClickWorks(*worker, offer, open);
}

TEST_F(FaultTest, ARemovedDatabaseIsNamedAndTheRestoredOneIsUsed)
{
    std::unique_ptr<Worker> worker = start();
    expectQuiet(worker->command(QStringLiteral("login 1")), "log in");
    expectQuiet(worker->command(QStringLiteral("clock")), "clock in");
    worker->command(QStringLiteral("logout"));
    const QStringList login = worker->command(QStringLiteral("login 1"));
    ASSERT_EQ(stateOf(login).value(1), QStringLiteral("Clock OUT"));

    const QString backup = db.folder() + QStringLiteral("/backup.db");
    ASSERT_TRUE(QFile::copy(db.path(), backup));
    ASSERT_TRUE(QFile::remove(db.path()));

    const QStringList refused = worker->command(QStringLiteral("clock"));
    ASSERT_EQ(messagesOf(refused).size(), 1) << refused.join(QLatin1Char('/')).toStdString();
    EXPECT_EQ(
        messagesOf(refused)[0],
        QStringLiteral("Error:3024 Could not find file '%1'.").arg(QDir::toNativeSeparators(db.path())));
    EXPECT_FALSE(QFile::exists(db.path())) << "nothing creates a new file";
    EXPECT_EQ(stateOf(refused).value(1), QStringLiteral("Clock OUT"));

    // The administrator puts the file back: the open window goes on with it.
    ASSERT_TRUE(QFile::copy(backup, db.path()));
    expectQuiet(worker->command(QStringLiteral("clock")), "clock out on the restored file");
    EXPECT_EQ(count(QStringLiteral("TimeOut IS NOT NULL AND Thours > 0")), 1);
    EXPECT_EQ(count(), 1);
    worker->command(QStringLiteral("logout"));
    const QStringList next = worker->command(QStringLiteral("login 1"));
    expectQuiet(next, "log in on the restored file");
    EXPECT_EQ(stateOf(next).value(1), QStringLiteral("Clock IN"));
    EXPECT_EQ(integrity(db.path()), QStringLiteral("ok"));
}

TEST_F(FaultTest, AWriteLockHeldPastTheBusyTimeoutSaysLockedAndWorksOnceReleased)
{
    std::unique_ptr<Worker> worker = start();
    expectQuiet(worker->command(QStringLiteral("login 1")), "log in");

    // Another workstation's long write: it holds the write lock and has a
    // row of its own on the way.
    std::shared_ptr<sql::Connection> other = sql::Connection::openPrivate(db.path());
    other->exec(QStringLiteral("BEGIN IMMEDIATE; INSERT INTO \"Time\" (PersonnelID, Tdate, TimeIn, Type) "
                               "VALUES (99, 46360, 0.5, 'Worked');"));
    QElapsedTimer waited;
    waited.start();
    const QStringList refused = worker->command(QStringLiteral("clock"), 60000);
    EXPECT_GE(waited.elapsed(), sql::Connection::BusyTimeoutMs - 100) << "waits out the busy timeout";
    ASSERT_EQ(messagesOf(refused).size(), 1) << refused.join(QLatin1Char('/')).toStdString();
    EXPECT_EQ(messagesOf(refused)[0], QStringLiteral("Error:3218 Could not update; currently locked."));
    EXPECT_EQ(stateOf(refused).value(1), QStringLiteral("Clock IN"));
    other->exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(count(), 0) << "nothing of either write";

    expectQuiet(worker->command(QStringLiteral("clock")), "clock in once the lock is gone");
    EXPECT_EQ(count(QStringLiteral("PersonnelID = 1")), 1);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(integrity(db.path()), QStringLiteral("ok"));
}

// The store's transaction: BEGIN IMMEDIATE at once, rolled back unless
// committed, and a busy file refused at the start rather than half-way.
TEST_F(WorkstationsTest, ATransactionCommitsWholeOrNotAtAll)
{
    addStaff(1, 1);
    std::unique_ptr<Database> database = Engine().openDatabase(db.path());
    auto addRows = [&](int n) {
        std::unique_ptr<Recordset> time = database->openRecordset(QStringLiteral("Time"));
        for (int i = 0; i < n; ++i) {
            time->addNew();
            time->setField(QStringLiteral("PersonnelID"), Value::integer(1));
            time->setField(QStringLiteral("Tdate"), Value::date(46360));
            time->setField(QStringLiteral("TimeIn"), Value::date(i / 1440.0));
            time->update();
        }
    };
    {
        Transaction dropped(*database);
        addRows(5);
    }
    EXPECT_EQ(count(), 0);
    {
        Transaction kept(*database);
        addRows(5);
        kept.commit();
    }
    EXPECT_EQ(count(), 5);

    std::shared_ptr<sql::Connection> other = sql::Connection::openPrivate(db.path());
    other->exec(QStringLiteral("BEGIN IMMEDIATE"));
    sqlite3_busy_timeout(other->handle(), 0);
    std::shared_ptr<sql::Connection> mine = sql::Connection::openPrivate(db.path());
    sqlite3_busy_timeout(mine->handle(), 50);
    Database busy(mine);
    try {
        Transaction refused(busy);
        ADD_FAILURE() << "began while another connection held the write lock";
    } catch (const RunError& e) {
        EXPECT_EQ(e.number(), err::Locked);
    }
    other->exec(QStringLiteral("ROLLBACK"));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
