#include "workplace/configplaces.h"
#include "workplace/startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pelmar;

namespace {

TEST(ConfigPlacesTest, TheAccountsFolderFollowsXdgConfigHome)
{
    const std::tuple<QString, QString> cases[] = {
        {"/srv/conf", "/srv/conf/PelmarEmployee"},
        {"/srv/conf/", "/srv/conf/PelmarEmployee"},
        {"", "/home/ann/.config/PelmarEmployee"},
        // A relative value is ignored, as the base directory rules say.
        {"conf", "/home/ann/.config/PelmarEmployee"},
    };
    for (const auto& [xdg, folder] : cases)
        EXPECT_EQ(config::accountFolder(xdg, "/home/ann"), folder) << xdg.toStdString();
}

// Which places hold a file (p: program, a: account, m: machine; upper case:
// by its exact name, lower case: only in another letter case) and which file
// is read and written.
TEST(ConfigPlacesTest, TheFirstFileFoundIsReadAndTheMachinesNeverWritten)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"PAM", "p", "p"}, {"AM", "a", "a"}, {"pAM", "a", "a"}, {"M", "m", "a"},
        {"aM", "m", "a"},  {"", "", "a"},    {"pam", "", "a"},  {"P", "p", "p"},
    };
    for (const auto& [present, read, write] : cases) {
        SCOPED_TRACE(present);
        QTemporaryDir root;
        const config::Places places{root.filePath("p"), root.filePath("a"), root.filePath("m")};
        const auto file = [&](const QString& letter) {
            return letter.isEmpty() ? QString() : root.filePath(letter + "/" + config::FileName);
        };
        for (const char c : std::string(present)) {
            const QString letter = QString(QChar::fromLatin1(c)).toLower();
            QDir(root.path()).mkpath(letter);
            QFile f(root.filePath(
                letter + "/" +
                (QChar::fromLatin1(c).isUpper() ? config::FileName : config::FileName.toLower())));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        const config::Files files = config::filesIn(places);
        EXPECT_EQ(files.read, file(read));
        EXPECT_EQ(files.write, file(write));
        EXPECT_EQ(files.machineWide, std::string(read) == "m");
    }
}

} // namespace
