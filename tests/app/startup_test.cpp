#include "app/finddatabase.h"
#include "app/reporterror.h"
#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"
#include "platform/widgets/namelist.h"
#include "store/datasource.h"
#include "support/window.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pelmar;
using test::ScriptedDialogs;

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

class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.db.addEmployee(1, QStringLiteral("Current Person"), QStringLiteral("pw"));
        t.db.addEmployee(2, QStringLiteral("Former Person"), QStringLiteral("pw"), 46000);
    }

    QString iniPath() const { return t.appDir.filePath(QStringLiteral("PelmarEmployee.ini")); }
    QString dbFile() const { return t.db.path(); }
    void writeIni(const QByteArray& text) { writeFile(iniPath(), text); }

    // The start-up completed: the list holds the current employees and the
    // clock and threshold are set.
    void expectStarted()
    {
        FrmTimeLog& w = t.window();
        EXPECT_EQ(t.shared.DBFolder, t.db.folder());
        EXPECT_EQ(t.shared.DBPath, t.db.folder() + QStringLiteral("/Pelmar.mdb"));
        EXPECT_EQ(w.tdbPersonnel->count(), 1);
        EXPECT_EQ(w.tdbPersonnel->itemText(0), QStringLiteral("Current Person"));
        EXPECT_EQ(w.lblDate->text(), QStringLiteral("Friday, December 04, 2026"));
        EXPECT_EQ(w.lblTime->text(), QStringLiteral("9:00:00 AM"));
        EXPECT_FLOAT_EQ(t.shared.NotifyHours, 10.0f);
        EXPECT_NE(w.oSMTP, nullptr);
        EXPECT_EQ(w.DaysShown, 14);
        EXPECT_EQ(w.SqlText, QStringLiteral("SELECT * From qslTime ORDER BY Tdate DESC, TimeIn DESC"));
    }

    test::WindowTest t;
};

} // namespace

TEST_F(StartupTest, ConfiguredFolderStartsWithoutQuestions)
{
    t.start();
    expectStarted();
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_TRUE(t.dialogs.fileDialogs.isEmpty());
}

TEST_F(StartupTest, MissingFileIsCreatedFromThePickedDatabase)
{
    t.dialogs.answerFile(dbFile());
    t.start(false);
    EXPECT_EQ(readFile(iniPath()),
              QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(t.db.folder()).toLatin1());
    EXPECT_EQ(t.dialogs.fileDialogs, QStringList{QStringLiteral("Find the database location")});
    EXPECT_EQ(t.dialogs.lastFilter, QStringLiteral("Database Files (Pelmar.mdb)|Pelmar.mdb"));
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
    EXPECT_EQ(w.datPersonnel->databaseName(), QStringLiteral("C:\\Pelmar\\Pelmar.mdb"));
    EXPECT_EQ(w.lblDate->text(), QStringLiteral("Date"));
    EXPECT_EQ(w.oSMTP, nullptr);
    // The clock runs all the same.
    EXPECT_TRUE(w.Timer1->isActive());
    t.setNow(test::WindowTest::at(2026, 12, 4, 9, 0, 1));
    EXPECT_EQ(w.lblTime->text(), QStringLiteral("9:00:01 AM"));
}

TEST_F(StartupTest, FileNamedInAnotherCaseCountsAsMissing)
{
    writeFile(t.appDir.filePath(QStringLiteral("pelmaremployee.ini")),
              QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(t.db.folder()).toLatin1());
    t.dialogs.answerFile(dbFile());
    t.start(false);
    EXPECT_EQ(t.dialogs.fileDialogs.size(), 1);
    EXPECT_TRUE(QFile::exists(iniPath()));
    expectStarted();
}

// No section or key, and a folder without the database, both fail at the
// first refresh and are repaired through the locator and the profile writer.
TEST_F(StartupTest, WrongLocationIsRepairedAndReadAgain)
{
    for (const QByteArray& content :
         {QByteArray("[OTHER]\r\nKeep=1\r\n"),
          QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(t.appDir.path()).toLatin1()}) {
        SCOPED_TRACE(content.toStdString());
        test::WindowTest local;
        local.db.addEmployee(1, QStringLiteral("Current Person"), QStringLiteral("pw"));
        const QString ini = local.appDir.filePath(QStringLiteral("PelmarEmployee.ini"));
        writeFile(ini, content);
        local.dialogs.answerFile(local.db.path());
        local.start(false);
        EXPECT_EQ(local.dialogs.texts(), QStringList{LocationMessage});
        EXPECT_EQ(local.dialogs.fileDialogs.size(), 1);
        EXPECT_EQ(local.shared.DBFolder, local.db.folder());
        EXPECT_EQ(local.window().tdbPersonnel->count(), 1);
        EXPECT_NE(local.window().oSMTP, nullptr);
        const QByteArray written = readFile(ini);
        EXPECT_TRUE(written.contains(("Message=" + local.db.folder()).toLatin1())) << written.toStdString();
        if (content.startsWith("[OTHER]")) {
            EXPECT_TRUE(written.startsWith("[OTHER]\r\nKeep=1\r\n"));
        }
    }
}

TEST_F(StartupTest, EmptySectionGivesTheRootPathBeforeTheRepair)
{
    writeIni("[OTHER]\r\n");
    t.dialogs.answerFile(std::nullopt);
    t.start(false);
    EXPECT_EQ(t.shared.DBFolder, QString());
    EXPECT_EQ(t.shared.DBPath, QStringLiteral("/Pelmar.mdb"));
    EXPECT_EQ(t.dialogs.texts(), QStringList{LocationMessage});
    EXPECT_EQ(t.window().oSMTP, nullptr);
}

TEST_F(StartupTest, CancelDuringTheRepairWritesAnEarlierPickAgain)
{
    // The first pick names a folder without the database (the dialog takes a
    // typed name), so the repair runs; Cancel there re-writes that pick and
    // reads again, and the next pick is the right one.
    const QString wrongFolder = t.appDir.filePath(QStringLiteral("empty"));
    QDir().mkpath(wrongFolder);
    t.dialogs.answerFile(wrongFolder + QStringLiteral("/Pelmar.mdb"));
    t.dialogs.answerFile(std::nullopt);
    t.dialogs.answerFile(dbFile());
    t.start(false);
    EXPECT_EQ(t.dialogs.fileDialogs.size(), 3);
    EXPECT_EQ(t.dialogs.texts(), (QStringList{LocationMessage, LocationMessage}));
    expectStarted();
}

TEST_F(StartupTest, TwoSpacesCutTheFolder)
{
    writeIni("[PELMAREMPLOYEE]\r\nMessage=/srv/time  clock/data\r\n");
    t.dialogs.answerFile(std::nullopt);
    t.start(false);
    EXPECT_EQ(t.shared.DBFolder, QStringLiteral("/srv/tim"));
    EXPECT_EQ(t.dialogs.texts(), QStringList{LocationMessage});
}

TEST_F(StartupTest, ValuesOf253CharactersOrMoreAreInvalidArguments)
{
    for (int length : {252, 253, 254, 300}) {
        SCOPED_TRACE(length);
        test::WindowTest local;
        const QString value = QStringLiteral("/") + QString(length - 1, QLatin1Char('x'));
        writeFile(local.appDir.filePath(QStringLiteral("PelmarEmployee.ini")),
                  ("[PELMAREMPLOYEE]\r\nMessage=" + value + "\r\n").toLatin1());
        if (length == 252)
            local.dialogs.answerFile(std::nullopt);
        local.start(false);
        if (length == 252) {
            EXPECT_EQ(local.shared.DBFolder, value);
            EXPECT_EQ(local.dialogs.texts(), QStringList{LocationMessage});
        } else {
            EXPECT_EQ(local.dialogs.texts(),
                      QStringList{QStringLiteral("Error:5 Invalid procedure call or argument")});
            EXPECT_EQ(local.window().IniValue.size(), 255);
        }
    }
}

TEST_F(StartupTest, UnwritableApplicationFolderIsReported)
{
    // Tests may run as root, so make the folder impossible rather than
    // read-only: a path under a plain file.
    test::WindowTest local;
    const QString blocker = local.appDir.filePath(QStringLiteral("file"));
    writeFile(blocker, "x");
    local.dialogs.answerFile(local.db.path());
    FrmTimeLog w(local.shared, local.dialogs, local.clock, blocker + QStringLiteral("/app"));
    w.Form_Load();
    EXPECT_EQ(local.dialogs.texts(), QStringList{QStringLiteral("Error:75 Path/File access error")});
    EXPECT_FALSE(w.datPersonnel->hasRecordset());
}

TEST_F(StartupTest, SettingsThatCannotBeReadStopBeforeTheMailComponent)
{
    {
        test::WindowTest local;
        local.db.setSetting(QStringLiteral("WorkHoursNotify"), Value::null());
        local.start();
        EXPECT_EQ(local.dialogs.texts(), QStringList{QStringLiteral("Error:94 Invalid use of Null")});
        EXPECT_EQ(local.window().oSMTP, nullptr);
        EXPECT_FLOAT_EQ(local.shared.NotifyHours, 0.0f);
        EXPECT_EQ(local.window().lblDate->text(), QStringLiteral("Friday, December 04, 2026"));
    }
    {
        test::WindowTest local;
        local.db.exec(QStringLiteral("DELETE FROM CustomSettings"));
        local.start();
        EXPECT_EQ(local.dialogs.texts(), QStringList{QStringLiteral("Error:3021 No current record.")});
        EXPECT_EQ(local.window().oSMTP, nullptr);
    }
}

TEST_F(StartupTest, UnloadReleasesTheMailComponent)
{
    t.start();
    ASSERT_NE(t.window().oSMTP, nullptr);
    t.window().close();
    EXPECT_EQ(t.window().oSMTP, nullptr);
}

TEST(Locator, TakesTheFolderOfTheConfirmedFile)
{
    struct Case
    {
        std::optional<QString> picked;
        QString expected;
        QString message;
    };
    const QString before = QStringLiteral("/earlier");
    const std::vector<Case> cases = {
        {QStringLiteral("/data/time/Pelmar.mdb"), QStringLiteral("/data/time"), QString()},
        {QStringLiteral("/a/Pelmar.mdb/Pelmar.mdb"), QStringLiteral("/a"), QString()},
        {std::nullopt, before, QString()},
        {QStringLiteral("/data/time/pelmar.mdb"), before,
         QStringLiteral("Error:5 Invalid procedure call or argument")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picked.value_or(QStringLiteral("<cancel>")).toStdString());
        Shared shared;
        shared.NewDBFolder = before;
        ScriptedDialogs dialogs;
        dialogs.answerFile(c.picked);
        FrmFindDatabase locator(shared, dialogs);
        locator.Form_Load();
        EXPECT_EQ(shared.NewDBFolder, c.expected);
        EXPECT_EQ(dialogs.texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(locator.windowTitle(), QStringLiteral("Locate the Pelmar Database"));
        EXPECT_TRUE(locator.dlgFile.CancelError);
        EXPECT_EQ(locator.dlgFile.FilterIndex, 1);
    }
}

TEST(ReportErrorTest, ShowsNumberAndDescriptionAndRestoresThePointer)
{
    ScriptedDialogs dialogs;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ReportError(dialogs, RunError(3024, QStringLiteral("Could not find file '/x/Pelmar.mdb'.")));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ReportError(dialogs, RunError(-7, QString()));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Error:3024 Could not find file '/x/Pelmar.mdb'."));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("PelmarEmployee"));
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::None);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Error:-7 "));
}
