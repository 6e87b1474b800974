#include "platform/profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pelmar;

namespace {

const QByteArray kSample = "; settings of the time clock\r\n"
                           "[Database]\r\n"
                           "Path = C:\\Pelmar\\time.mdb \r\n"
                           ";Path=commented out\r\n"
                           "Name=\"  quoted  \"\r\n"
                           "Mixed=\"abc'\r\n"
                           "Eq=a=b\r\n"
                           "Path=second wins never\r\n"
                           "\r\n"
                           "[ Mail ]\r\n"
                           "Server=smtp.example.com\r\n"
                           "[database]\r\n"
                           "Other=later section\r\n";

class ProfileTest : public ::testing::Test
{
protected:
    QString path(const char* name = "settings.ini") const { return m_dir.filePath(name); }

    void put(const QByteArray& bytes, const char* name = "settings.ini") const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }

    QByteArray bytes(const char* name = "settings.ini") const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString get(const char* section, const char* key, const char* name = "settings.ini") const
    {
        return profile::getString(QString::fromLatin1(section), QString::fromLatin1(key), "none", path(name))
            .value_or("too long");
    }

    QTemporaryDir m_dir;
};

TEST_F(ProfileTest, Reads)
{
    put(kSample);
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // Section and key match without regard to case or surrounding blanks.
        {" database ", " PATH ", "C:\\Pelmar\\time.mdb"},
        {"mail", "server", "smtp.example.com"},
        // Values lose surrounding blanks and one pair of matching quotes.
        {"Database", "Name", "  quoted  "},
        {"Database", "Mixed", "\"abc'"},
        {"Database", "Eq", "a=b"},
        // The first section of a name wins, comments are no keys, keys don't
        // leak across sections; a missing section or key gives the default.
        {"Database", "Other", "none"},
        {"Database", ";Path", "none"},
        {"Mail", "Path", "none"},
    };
    for (const auto& [section, key, value] : cases)
        EXPECT_EQ(get(section, key), value) << section << '/' << key;
    put("[A]\nk=v\n"); // line feeds alone end lines too
    EXPECT_EQ(get("A", "k"), "v");
    EXPECT_EQ(get("A", "k", "missing.ini"), "none");
}

TEST_F(ProfileTest, WritingKeepsEverythingElse)
{
    put(kSample);
    ASSERT_TRUE(profile::writeString("DATABASE", "path", "D:\\new.mdb", path()));
    ASSERT_TRUE(profile::writeString("Database", "Port", "25", path()));
    QByteArray expected = kSample;
    expected.replace("Path = C:\\Pelmar\\time.mdb \r\n", "path=D:\\new.mdb\r\n");
    expected.replace("Path=second wins never\r\n", "Path=second wins never\r\nPort=25\r\n");
    EXPECT_EQ(bytes(), expected);
}

TEST_F(ProfileTest, MissingSectionsGoAtTheEnd)
{
    const std::tuple<QByteArray, const char*, QByteArray> cases[] = {
        {"[A]\r\nk=v", "B", "[A]\r\nk=v\r\n[B]\r\nx=1\r\n"},
        {"[A]\nk=v", "a", "[A]\nk=v\r\nx=1\r\n"}, // an existing last section without a final line end
    };
    for (const auto& [before, section, after] : cases) {
        put(before);
        ASSERT_TRUE(profile::writeString(QString::fromLatin1(section), "x", "1", path()));
        EXPECT_EQ(bytes(), after) << before.toStdString();
    }
}

// Written in UTF-8; read as UTF-8, or as Latin-1 when the bytes are not
// UTF-8, as the suite's other programs write them.
TEST_F(ProfileTest, TextsAreUtf8OrElseLatin1)
{
    const QString folder = QString::fromUtf8("/srv/\u6642\u8a08/Donn\u00e9es");
    ASSERT_TRUE(profile::writeString("S", "k", folder, path()));
    EXPECT_EQ(bytes(), "[S]\r\nk=" + folder.toUtf8() + "\r\n");
    EXPECT_EQ(get("S", "k"), folder);
    const std::pair<QByteArray, QString> cases[] = {
        {"[S]\r\nk=/srv/Donn\xc3\xa9"
         "es\r\n",
         QString::fromUtf8("/srv/Donn\u00e9es")},
        {"\xef\xbb\xbf[S]\r\nk=/srv/Donn\xc3\xa9"
         "es\r\n",
         QString::fromUtf8("/srv/Donn\u00e9es")}, // a BOM
        {"[S]\r\nk=/srv/Donn\xe9"
         "es\r\n",
         QString::fromUtf8("/srv/Donn\u00e9es")},
        {"[S]\r\nk=/srv/\xc3\xa9t\xe9\r\n", QString::fromUtf8("/srv/\u00c3\u00a9t\u00e9")},
    };
    for (const auto& [content, value] : cases) {
        put(content);
        EXPECT_EQ(get("S", "k"), value) << content.toStdString();
    }
}

// A file too long is neither read nor rewritten: a huge one can't fill the memory.
TEST_F(ProfileTest, AFileTooLongIsNotRead)
{
    const QByteArray head = "[S]\r\nk=v\r\n";
    put(head + QByteArray(profile::MaxFileSize - head.size(), ';'));
    EXPECT_EQ(get("S", "k"), "v");
    put(head + QByteArray(profile::MaxFileSize - head.size() + 1, ';'));
    EXPECT_EQ(get("S", "k"), "too long");
    EXPECT_FALSE(profile::writeString("S", "k", "w", path()));
}

} // namespace
