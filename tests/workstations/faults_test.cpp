#include "store/session.h"
#include "store/sqlite.h"
#include "support/window.h"
#include "ui/timeclockcontrols.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar::test {
namespace {

// Root ignores file modes; nobody (65534) is held to them. 0: root again.
void actAs(uid_t user)
{
    ASSERT_TRUE(::getuid() != 0 || (user ? ::setegid(user) == 0 && ::seteuid(user) == 0
                                         : ::seteuid(0) == 0 && ::setegid(0) == 0));
}

// No file of the process may grow past size.
void limitFileSize(rlim_t size)
{
    const rlimit limit{size, RLIM_INFINITY};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
}

// Each fault of the shared file gives one clear message and writes nothing;
// once it is gone the same click in the same window works, and the window
// goes on.
class FaultTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addAnn();
        if (t.db.onServer())
            return;
        // The user nobody may write the configuration file and open the database.
        for (const QString& folder : {t.programDir.path(), t.db.folder()})
            ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
        setMode(0666);
    }
    // A failed assertion may have skipped the lift.
    void TearDown() override
    {
        actAs(0);
        limitFileSize(RLIM_INFINITY);
    }

    void setMode(mode_t mode) { ASSERT_EQ(::chmod(QFile::encodeName(t.db.path()).constData(), mode), 0); }
    qint64 count(const QString& where = QStringLiteral("1 = 1"))
    {
        return t.db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Time\" WHERE ") + where).toInteger();
    }
    // The clock moves on between clicks, so that every shift has hours.
    void click(const char* control)
    {
        t.clock.advanceSeconds(3);
        t.click(control);
    }

    // Clocks Ann in and out under the fault until a click is refused; then
    // judges that click and the same one repeated once the fault is lifted
    // (lift checks the fault's own traces, then ends it). A file mode counts
    // only when the window opens the file: armed before start.
    void expectRefusedThenWorks(const QString& message, const std::function<void()>& arm,
                                const std::function<void()>& lift, bool fileMode = false)
    {
        if (fileMode)
            arm();
        t.start();
        EXPECT_EQ(t.scripted.texts(), QStringList()) << "start";
        // Otherwise armed after one clock-in, so that it meets a clock-out too.
        for (int attempt = 0; attempt < 400; ++attempt) {
            t.logInAnn();
            EXPECT_EQ(t.scripted.texts(), QStringList()) << "log in";
            const QString offer = t.buttons()[1];
            ASSERT_FALSE(offer.isEmpty());
            const qint64 rows = count();
            const qint64 open = count(QStringLiteral("TimeOut IS NULL"));
            if (attempt == 1 && !fileMode)
                arm();
            QElapsedTimer clicked;
            clicked.start();
            click(controls::ClockButton);
            clickMs = clicked.elapsed();
            // Every step so far was quiet: any box is the click's.
            const QStringList refused = t.scripted.texts();
            if (refused.isEmpty()) {
                click(controls::GoButton);
                continue;
            }
            EXPECT_EQ(refused, QStringList{message});
            EXPECT_EQ(t.buttons()[1], offer) << "the offer stays for another try";
            t.scripted.clear();
            lift();
            EXPECT_FALSE(QFile::exists(t.db.path() + QStringLiteral("-journal")));
            EXPECT_EQ(count(), rows) << "nothing half-written";
            EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL")), open);

            click(controls::ClockButton);
            EXPECT_EQ(t.scripted.texts(), QStringList()) << "the same click once the fault is gone";
            const bool in = offer == QLatin1String("Clock IN");
            EXPECT_EQ(count(), in ? rows + 1 : rows);
            EXPECT_EQ(count(QStringLiteral("TimeOut IS NULL")), in ? open + 1 : open - 1);
            EXPECT_EQ(count(QStringLiteral("TimeOut IS NOT NULL AND (Thours IS NULL OR Thours <= 0)")), 0);
            click(controls::GoButton);
            t.logInAnn();
            EXPECT_EQ(t.scripted.texts(), QStringList()) << "the next log-in";
            EXPECT_EQ(t.buttons()[1], in ? QStringLiteral("Clock OUT") : QStringLiteral("Clock IN"));
            // The server checks its own pages.
            if (!t.db.onServer()) {
                EXPECT_EQ(t.db.scalar(QStringLiteral("PRAGMA integrity_check")), Value::text("ok"));
            }
            return;
        }
        ADD_FAILURE() << "no click was refused";
    }

    WindowTest t;
    qint64 clickMs = 0;
};

TEST_F(FaultTest, AReadOnlyDatabase)
{
    if (t.db.onServer())
        GTEST_SKIP() << "a server has no file to fault";
    expectRefusedThenWorks(
        QStringLiteral("Error:3027 Cannot update. Database or object is read-only."),
        [&] {
            setMode(0444);
            actAs(65534);
        },
        [&] {
            actAs(0);
            setMode(0666);
        },
        true);
}

// The operating system refuses to let the file grow, as a full disk or a
// quota would.
TEST_F(FaultTest, ADiskThatRefusesToGrowTheFile)
{
    if (t.db.onServer())
        GTEST_SKIP() << "a server has no file to fault";
    // A refused write is then an error to show, not death.
    std::signal(SIGXFSZ, SIG_IGN);
    const qint64 size = QFileInfo(t.db.path()).size();
    expectRefusedThenWorks(
        QStringLiteral("Error:3035 System resource exceeded: the disk is full."),
        [&] { limitFileSize(static_cast<rlim_t>(size)); },
        [&] {
            EXPECT_LE(QFileInfo(t.db.path()).size(), size);
            limitFileSize(RLIM_INFINITY);
        });
}

// The administrator puts the file back: the open window goes on with it.
TEST_F(FaultTest, ARemovedDatabase)
{
    if (t.db.onServer())
        GTEST_SKIP() << "a server has no file to fault";
    const QString backup = t.db.folder() + QStringLiteral("/backup.db");
    expectRefusedThenWorks(
        QStringLiteral("Error:3024 Could not find file '%1'.").arg(QDir::toNativeSeparators(t.db.path())),
        [&] { ASSERT_TRUE(QFile::copy(t.db.path(), backup) && QFile::remove(t.db.path())); },
        [&] {
            EXPECT_FALSE(QFile::exists(t.db.path())) << "nothing creates a new file";
            ASSERT_TRUE(QFile::rename(backup, t.db.path()));
        });
}

// Another workstation's long write holds the write lock with a row of its
// own on the way; on a server it holds the time table.
TEST_F(FaultTest, AWriteLockHeldPastTheBusyTimeout)
{
    std::shared_ptr<sql::Session> other = sql::Session::openPrivate(t.db.path());
    expectRefusedThenWorks(
        QStringLiteral("Error:3218 Could not update; currently locked."),
        [&] {
            other->exec(t.db.onServer()
                            ? QStringLiteral("BEGIN; LOCK TABLE time IN EXCLUSIVE MODE")
                            : QStringLiteral("BEGIN IMMEDIATE; INSERT INTO \"Time\" (PersonnelID, "
                                             "Tdate, TimeIn, Type) VALUES (99, 46360, 0.5, 'Worked');"));
        },
        [&] {
            EXPECT_GE(clickMs, sql::Connection::BusyTimeoutMs - 100);
            other->exec(QStringLiteral("ROLLBACK"));
        });
}

} // namespace
} // namespace pelmar::test
