#include "store/session.h"
#include "support/errorof.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"
#include "workplace/startup.h"
#include "workplace/workplace.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

const QString LocationMessage =
    QStringLiteral("The database location is incorrect. Please enter the correct "
                   "location. Contact the system administration for help if needed.");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray iniText(const QString& folder)
{
    return QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(folder).toLatin1();
}

TEST(ConfigTest, TheFolderIsTrimmedAndLimited)
{
    const QString x252 = "/" + QString(251, 'x');
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {iniText("/srv/pelmar"), "/srv/pelmar"},
        {"[PELMAREMPLOYEE]\r\nMessage=  /srv/pelmar  \r\n", "/srv/pelmar"},
        {iniText(""), ""},
        {"[OTHER]\r\nMessage=/srv/pelmar\r\n", ""},
        // Cut at the first two spaces, and one character before them.
        {iniText("/srv/time  clock/data"), "/srv/tim"},
        {iniText(x252), x252},
        {iniText(x252 + "x"), std::nullopt},
        // A file too long to read counts as a value too long.
        {iniText("/srv/pelmar") + QByteArray(64 * 1024, ';'), std::nullopt},
    };
    QTemporaryDir dir;
    const QString ini = dir.filePath(config::FileName);
    for (const auto& [content, folder] : cases) {
        SCOPED_TRACE(content.left(40).toStdString());
        writeFile(ini, content);
        if (folder)
            EXPECT_EQ(config::readFolder(ini), *folder);
        else
            EXPECT_EQ(errorOf([&] { config::readFolder(ini); }), err::InvalidArgument);
    }
}

TEST(ConfigTest, TheLocatorTakesTheFolderOfTheConfirmedFile)
{
    const std::pair<QString, std::optional<QString>> cases[] = {
        {"/data/time/Pelmar.mdb", "/data/time"},
        {"/Pelmar.mdb", ""},
        {"/data/time/pelmar.mdb", std::nullopt},
        {"Pelmar.mdb", std::nullopt},
    };
    for (const auto& [path, folder] : cases) {
        if (folder)
            EXPECT_EQ(config::folderOfDatabaseFile(path), *folder);
        else
            EXPECT_EQ(errorOf([&] { config::folderOfDatabaseFile(path); }), err::InvalidArgument)
                << path.toStdString();
    }
}

// A program whose folder is app, run by an account whose configuration
// folder is not made yet, on a machine folder of its own. Its locator gives
// pick (nullopt: Cancel), a few times at most, so that a start-up that keeps
// asking still ends.
struct Start
{
    explicit Start(Backend backend = Backend::File) : db(backend) {}

    void run(std::optional<QString> pick = std::nullopt) { answer({pick, pick, pick}); }
    // The locator gives these answers, then Cancel; a start-up that asks
    // too often fails.
    void answer(const std::vector<std::optional<QString>>& picks)
    {
        Startup(workplace, dialogs, {app.path(), account.filePath("PelmarEmployee"), machine.path()}, [&] {
            messagesBeforeLocator.push_back(dialogs.messages.size());
            if (messagesBeforeLocator.size() > 5)
                throw std::runtime_error("asked again and again");
            return messagesBeforeLocator.size() <= picks.size() ? picks[messagesBeforeLocator.size() - 1]
                                                                : std::nullopt;
        }).run();
    }

    QString ini() const { return app.filePath(config::FileName); }
    QString accountIni() const { return account.filePath("PelmarEmployee/" + config::FileName); }
    QString machineIni() const { return machine.filePath(config::FileName); }
    bool opened() { return workplace.databasePath() == db.path() && workplace.mail(); }

    TestDb db;
    QTemporaryDir app;
    QTemporaryDir account;
    QTemporaryDir machine;
    Workplace workplace;
    ScriptedDialogs dialogs;
    std::vector<size_t> messagesBeforeLocator;
};

// Without the file the locator asks at once and the account's file is
// created; a wrong location is told first and written where it was read.
// The picked folder is opened.
TEST(StartupTest, AMissingOrWrongLocationIsAskedForAndWritten)
{
    const std::tuple<const char*, QString, QByteArray, bool> cases[] = {
        // A file whose name differs in case counts as missing.
        {"no file", "pelmaremployee.ini", iniText("/elsewhere"), true},
        {"no file, cancelled", "pelmaremployee.ini", iniText("/elsewhere"), false},
        {"a folder without the database", config::FileName, iniText("/nowhere"), true},
        {"no key", config::FileName, "[OTHER]\r\nKeep=1\r\n", true},
        {"cancelled", config::FileName, iniText("/nowhere"), false},
    };
    for (const auto& [what, name, content, pick] : cases) {
        SCOPED_TRACE(what);
        Start s;
        writeFile(s.app.filePath(name), content);
        s.run(pick ? std::optional(s.db.folder()) : std::nullopt);

        const bool missing = name != config::FileName;
        EXPECT_EQ(s.dialogs.texts(), missing ? QStringList() : QStringList{LocationMessage});
        EXPECT_EQ(s.messagesBeforeLocator, std::vector<size_t>{missing ? 0u : 1u}) << "told before asked";
        EXPECT_EQ(s.opened(), pick);
        const QString written = missing ? s.accountIni() : s.ini();
        EXPECT_EQ(readFile(written).contains("Message=" + s.db.folder().toLatin1() + "\r\n"), pick);
    }
}

const QString ThisRunOnly = QStringLiteral("The location you picked is used only until the program closes");

// The machine's file serves every account and is never written, nor
// overridden: its database out of reach is an outage, and a location picked
// meanwhile serves this run only. The next start uses the machine's again.
TEST(StartupTest, AnOutageOfTheMachinesDatabaseNeverRepointsTheAccount)
{
    for (const bool right : {true, false}) {
        SCOPED_TRACE(right ? "right" : "out of reach");
        Start s;
        TestDb stopgap;
        const QByteArray machine = iniText(right ? s.db.folder() : "/nowhere");
        writeFile(s.machineIni(), machine);
        s.run(stopgap.folder());

        EXPECT_EQ(s.messagesBeforeLocator, right ? std::vector<size_t>{} : std::vector<size_t>{1});
        ASSERT_EQ(s.dialogs.texts().size(), right ? 0 : 2);
        if (!right) {
            EXPECT_EQ(s.dialogs.texts()[0], LocationMessage);
            EXPECT_TRUE(s.dialogs.texts()[1].startsWith(ThisRunOnly)) << s.dialogs.texts()[1].toStdString();
            EXPECT_TRUE(s.dialogs.texts()[1].contains(s.machineIni())) << s.dialogs.texts()[1].toStdString();
        }
        EXPECT_EQ(s.workplace.databasePath(), right ? s.db.path() : stopgap.path());
        EXPECT_TRUE(s.workplace.mail());
        EXPECT_EQ(readFile(s.machineIni()), machine);
        EXPECT_FALSE(QFile::exists(s.accountIni()));
        EXPECT_FALSE(QFile::exists(s.ini()));
    }

    // Back in reach, the machine's database is used at the next start.
    Start s;
    TestDb stopgap;
    const QString outage = s.app.filePath("share");
    writeFile(s.machineIni(), iniText(outage));
    s.run(stopgap.folder());
    EXPECT_EQ(s.workplace.databasePath(), stopgap.path());

    ASSERT_TRUE(QDir().rename(s.db.folder(), outage));
    Workplace next;
    Startup(next, s.dialogs, {s.app.path(), s.account.filePath("PelmarEmployee"), s.machine.path()}, [] {
        ADD_FAILURE() << "asked";
        return std::nullopt;
    }).run();
    EXPECT_EQ(next.databasePath(), config::databasePath(outage));
    EXPECT_FALSE(QFile::exists(s.accountIni()));
}

// A picked location that fails too is asked for again, still unsaved.
TEST(StartupTest, APickThatFailsDuringAnOutageIsAskedAgain)
{
    Start s;
    writeFile(s.machineIni(), iniText("/nowhere"));
    s.answer({s.app.filePath("empty"), s.db.folder()});
    EXPECT_EQ(s.messagesBeforeLocator, (std::vector<size_t>{1, 3}));
    EXPECT_TRUE(s.opened());
    EXPECT_FALSE(QFile::exists(s.accountIni()));
}

TEST(StartupTest, AFileThatCannotBeWrittenIsToldAndTheFolderServesThisRun)
{
    // Unwritable even for root: the file lies where no file can be created.
    if (!QFile::exists("/proc/version"))
        GTEST_SKIP() << "needs /proc";
    Start s;
    ASSERT_TRUE(QFile::link("/proc/version", s.ini()));
    s.run(s.db.folder());

    EXPECT_EQ(s.messagesBeforeLocator, std::vector<size_t>{1}) << "asked once";
    ASSERT_EQ(s.dialogs.texts().size(), 2);
    EXPECT_EQ(s.dialogs.texts()[0], LocationMessage);
    EXPECT_TRUE(s.dialogs.texts()[1].contains("could not be saved in " + s.ini()))
        << s.dialogs.texts()[1].toStdString();
    EXPECT_TRUE(s.opened());
}

// A folder of any script is kept in the file as it is, hand-written or picked.
TEST(StartupTest, AFolderInAnyScriptRoundTrips)
{
    for (const char* name : {"\u6642\u8a08", "Donn\u00e9es"}) {
        Start s;
        const QString folder = s.app.filePath(QString::fromUtf8(name));
        ASSERT_TRUE(QDir().mkpath(folder));
        sql::createDatabase(config::databasePath(folder));
        s.run(folder);
        EXPECT_EQ(s.workplace.databasePath(), config::databasePath(folder));
        EXPECT_EQ(readFile(s.accountIni()), "[PELMAREMPLOYEE]\r\nMessage=" + folder.toUtf8() + "\r\n");

        Start again;
        writeFile(again.ini(), readFile(s.accountIni()));
        again.run();
        EXPECT_TRUE(again.messagesBeforeLocator.empty());
        EXPECT_EQ(again.workplace.databasePath(), config::databasePath(folder));
    }
}

// Never the same question twice with nothing changed: a folder the file
// can't give back as written, or Cancel after a folder that failed, ends
// the start-up.
TEST(StartupTest, TheSameQuestionIsNeverAskedTwiceWithNothingChanged)
{
    Start cut; // two spaces end the value the file gives
    const QString spaced = cut.app.filePath("time  clock");
    ASSERT_TRUE(QDir().mkpath(spaced));
    sql::createDatabase(config::databasePath(spaced));
    for (const bool fileExists : {false, true}) {
        SCOPED_TRACE(fileExists);
        Start s;
        if (fileExists)
            writeFile(s.ini(), iniText("/nowhere"));
        s.run(spaced);
        EXPECT_EQ(s.messagesBeforeLocator.size(), 1u);
        ASSERT_FALSE(s.dialogs.texts().isEmpty());
        EXPECT_TRUE(s.dialogs.texts().last().contains("reads back as '" + cut.app.filePath("tim") + "'"))
            << s.dialogs.texts().last().toStdString();
        EXPECT_FALSE(s.workplace.mail());
    }

    Start s;
    writeFile(s.ini(), iniText("/nowhere"));
    s.answer({s.app.filePath("empty"), std::nullopt});
    EXPECT_EQ(s.messagesBeforeLocator, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(s.dialogs.texts(), (QStringList{LocationMessage, LocationMessage}));
}

// The locator can't repair a server: its faults go to the error reporter.
TEST(StartupTest, AServerIsTheLocationItselfAndNeverLocated)
{
    const QString unreachable = QStringLiteral("postgresql://pelmar@127.0.0.1:1/pelmar");
    Start refused;
    writeFile(refused.ini(), iniText(unreachable));
    EXPECT_EQ(errorOf([&] { refused.run(); }), err::ServerConnectionFailed);
    EXPECT_TRUE(refused.messagesBeforeLocator.empty());
    EXPECT_TRUE(refused.dialogs.messages.empty());

    if (!serverAvailable())
        GTEST_SKIP() << "no test server";
    Start s(Backend::Server);
    writeFile(s.ini(), iniText(s.db.folder()));
    s.run();
    EXPECT_TRUE(s.messagesBeforeLocator.empty());
    EXPECT_TRUE(s.opened());
}

TEST(StartupTest, ANullThresholdStopsBeforeTheMailComponent)
{
    Start s;
    s.db.setSetting("WorkHoursNotify", Value::null());
    writeFile(s.ini(), iniText(s.db.folder()));
    EXPECT_EQ(errorOf([&] { s.run(); }), err::InvalidUseOfNull);
    EXPECT_FALSE(s.workplace.mail());
}

} // namespace
