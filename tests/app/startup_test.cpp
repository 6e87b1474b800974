#include "app/finddatabase.h"
#include "app/reporterror.h"
#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"
#include "ui/widgets/namelist.h"
#include "store/datasource.h"
#include "support/window.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

const QString LocationMessage =
    QStringLiteral("The database location is incorrect. Please enter the correct "
                   "location. Contact the system administration for help if needed.");

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray iniText(const QString& folder)
{
    return QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(folder).toLatin1();
}

class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.db.addEmployee(1, "Current Person", "pw");
        t.db.addEmployee(2, "Former Person", "pw", 46000);
    }

    QString iniPath() const { return t.appDir.filePath("PelmarEmployee.ini"); }

    // The start-up completed: the list holds the current employees and the
    // clock, threshold and mail component are set.
    void expectStarted()
    {
        FrmTimeLog& w = t.window();
        EXPECT_EQ(t.shared.DBPath, t.db.folder() + "/Pelmar.mdb");
        EXPECT_EQ(w.tdbPersonnel->count(), 1);
        EXPECT_EQ(w.tdbPersonnel->itemText(0), "Current Person");
        EXPECT_EQ(w.lblDate->text(), "Friday, December 04, 2026");
        EXPECT_EQ(w.lblTime->text(), "9:00:00 AM");
        EXPECT_FLOAT_EQ(t.shared.NotifyHours, 10.0f);
        EXPECT_NE(w.oSMTP, nullptr);
    }

    WindowTest t;
};

} // namespace

TEST_F(StartupTest, ConfiguredFolderStartsWithoutQuestions)
{
    t.start();
    expectStarted();
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_TRUE(t.dialogs.fileDialogs.isEmpty());

    t.window().close();
    EXPECT_EQ(t.window().oSMTP, nullptr) << "unloading releases the mail component";
}

// A file named in another case counts as missing too.
TEST_F(StartupTest, MissingFileIsCreatedFromThePickedDatabase)
{
    writeFile(t.appDir.filePath("pelmaremployee.ini"), iniText(t.db.folder()));
    t.dialogs.answerFile(t.db.path());
    t.start(false);
    EXPECT_EQ(readFile(iniPath()), iniText(t.db.folder()));
    EXPECT_EQ(t.dialogs.fileDialogs, QStringList{"Find the database location"});
    EXPECT_EQ(t.dialogs.lastFilter, "Database Files (Pelmar.mdb)|Pelmar.mdb");
    EXPECT_EQ(t.dialogs.lastInitDir, QDir::homePath());
    EXPECT_TRUE(t.dialogs.messages.empty());
    expectStarted();
}

TEST_F(StartupTest, CancelledPickWritesNothingAndLeavesTheDatabaseUnset)
{
    t.dialogs.answerFile(std::nullopt);
    t.start(false);
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_TRUE(t.dialogs.messages.empty());
    FrmTimeLog& w = t.window();
    EXPECT_FALSE(w.datPersonnel->hasRecordset());
    EXPECT_EQ(w.lblDate->text(), "Date");
    EXPECT_EQ(w.oSMTP, nullptr);
    // The clock runs all the same.
    EXPECT_TRUE(w.Timer1->isActive());
    t.setNow(WindowTest::at(2026, 12, 4, 9, 0, 1));
    EXPECT_EQ(w.lblTime->text(), "9:00:01 AM");
}

// No section or key, and a folder without the database, both fail at the
// first refresh and are repaired through the locator and the profile writer.
TEST_F(StartupTest, WrongLocationIsRepairedAndReadAgain)
{
    for (const bool noKey : {true, false}) {
        SCOPED_TRACE(noKey ? "no key" : "wrong folder");
        WindowTest local;
        local.db.addEmployee(1, "Current Person", "pw");
        const QString ini = local.appDir.filePath("PelmarEmployee.ini");
        writeFile(ini, noKey ? QByteArray("[OTHER]\r\nKeep=1\r\n") : iniText(local.appDir.path()));
        local.dialogs.answerFile(local.db.path());
        local.start(false);
        EXPECT_EQ(local.dialogs.texts(), QStringList{LocationMessage});
        EXPECT_EQ(local.window().tdbPersonnel->count(), 1);
        EXPECT_NE(local.window().oSMTP, nullptr);
        const QByteArray written = readFile(ini);
        EXPECT_TRUE(written.contains(("Message=" + local.db.folder()).toLatin1())) << written.toStdString();
        EXPECT_EQ(written.startsWith("[OTHER]\r\nKeep=1\r\n"), noKey);
    }
}

TEST_F(StartupTest, CancelDuringTheRepairWritesAnEarlierPickAgain)
{
    // The first pick names a folder without the database (the dialog takes a
    // typed name), so the repair runs; Cancel there re-writes that pick and
    // reads again, and the next pick is the right one.
    const QString wrongFolder = t.appDir.filePath("empty");
    QDir().mkpath(wrongFolder);
    t.dialogs.answerFile(wrongFolder + "/Pelmar.mdb");
    t.dialogs.answerFile(std::nullopt);
    t.dialogs.answerFile(t.db.path());
    t.start(false);
    EXPECT_EQ(t.dialogs.fileDialogs.size(), 3);
    EXPECT_EQ(t.dialogs.texts(), (QStringList{LocationMessage, LocationMessage}));
    expectStarted();
}

// The value read ends at its first two spaces, cut two characters short;
// one of 253 characters or more is an invalid argument.
TEST_F(StartupTest, TheConfiguredValueIsCutAndLimited)
{
    const QString x252 = "/" + QString(251, 'x');
    const std::tuple<QByteArray, QString, QString> cases[] = {
        {"[PELMAREMPLOYEE]\r\nMessage=/srv/time  clock/data\r\n", "/srv/tim", LocationMessage},
        {"[OTHER]\r\n", "", LocationMessage},
        {iniText(x252), x252, LocationMessage},
        {iniText(x252 + "x"), "", "Error:5 Invalid procedure call or argument"},
        {iniText(x252 + QString(48, 'x')), "", "Error:5 Invalid procedure call or argument"},
    };
    for (const auto& [content, folder, message] : cases) {
        SCOPED_TRACE(content.left(40).toStdString());
        WindowTest local;
        writeFile(local.appDir.filePath("PelmarEmployee.ini"), content);
        local.dialogs.answerFile(std::nullopt); // the locator's, cancelled
        local.start(false);
        EXPECT_EQ(local.shared.DBFolder, folder);
        EXPECT_EQ(local.dialogs.texts(), QStringList{message});
        EXPECT_EQ(local.window().oSMTP, nullptr);
    }
}

TEST_F(StartupTest, UnwritableApplicationFolderIsReported)
{
    // Tests may run as root, so make the folder impossible rather than
    // read-only: a path under a plain file.
    const QString blocker = t.appDir.filePath("file");
    writeFile(blocker, "x");
    t.dialogs.answerFile(t.db.path());
    FrmTimeLog w(t.shared, t.dialogs, t.clock, blocker + "/app");
    w.Form_Load();
    EXPECT_EQ(t.dialogs.texts(), QStringList{"Error:75 Path/File access error"});
    EXPECT_FALSE(w.datPersonnel->hasRecordset());
}

TEST_F(StartupTest, SettingsThatCannotBeReadStopBeforeTheMailComponent)
{
    t.db.setSetting("WorkHoursNotify", Value::null());
    t.start();
    EXPECT_EQ(t.dialogs.texts(), QStringList{"Error:94 Invalid use of Null"});
    EXPECT_EQ(t.window().oSMTP, nullptr);
    EXPECT_EQ(t.window().lblDate->text(), "Friday, December 04, 2026");

    WindowTest local;
    local.db.exec("DELETE FROM CustomSettings");
    local.start();
    EXPECT_EQ(local.dialogs.texts(), QStringList{"Error:3021 No current record."});
    EXPECT_EQ(local.window().oSMTP, nullptr);
}

TEST(Locator, TakesTheFolderOfTheConfirmedFile)
{
    const QString before = "/earlier";
    const std::tuple<std::optional<QString>, QString, QString> cases[] = {
        {"/data/time/Pelmar.mdb", "/data/time", QString()},
        {"/a/Pelmar.mdb/Pelmar.mdb", "/a", QString()},
        {std::nullopt, before, QString()},
        {"/data/time/pelmar.mdb", before, "Error:5 Invalid procedure call or argument"},
    };
    for (const auto& [picked, folder, message] : cases) {
        SCOPED_TRACE(picked.value_or("<cancel>").toStdString());
        Shared shared;
        shared.NewDBFolder = before;
        ScriptedDialogs dialogs;
        dialogs.answerFile(picked);
        FrmFindDatabase locator(shared, dialogs);
        locator.Form_Load();
        EXPECT_EQ(shared.NewDBFolder, folder);
        EXPECT_EQ(dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        EXPECT_EQ(locator.windowTitle(), "Locate the Pelmar Database");
    }
}

TEST(ReportErrorTest, ShowsNumberAndDescriptionAndRestoresThePointer)
{
    ScriptedDialogs dialogs;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ReportError(dialogs, RunError(3024, "Could not find file '/x/Pelmar.mdb'."));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ReportError(dialogs, RunError(-7, QString()));
    EXPECT_EQ(dialogs.texts(), (QStringList{"Error:3024 Could not find file '/x/Pelmar.mdb'.", "Error:-7 "}));
    EXPECT_EQ(dialogs.messages[0].title, "PelmarEmployee");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::None);
}
