#include "platform/profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pelmar;

namespace {

class ProfileTest : public ::testing::Test
{
protected:
    QString path(const QString& name = QStringLiteral("settings.ini")) const { return m_dir.filePath(name); }

    void put(const QByteArray& bytes, const QString& name = QStringLiteral("settings.ini")) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray bytes(const QString& name = QStringLiteral("settings.ini")) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString get(const char* section, const char* key, const char* def = "none") const
    {
        return profile::getString(QString::fromLatin1(section), QString::fromLatin1(key),
                                  QString::fromLatin1(def), path());
    }

    QTemporaryDir m_dir;
};

const QByteArray kSample = "; settings of the time clock\r\n"
                           "[Database]\r\n"
                           "Path = C:\\Pelmar\\time.mdb \r\n"
                           ";Path=commented out\r\n"
                           "Name=\"  quoted  \"\r\n"
                           "Single='x'\r\n"
                           "Mixed=\"abc'\r\n"
                           "Empty=\r\n"
                           "Eq=a=b\r\n"
                           "Path=second wins never\r\n"
                           "\r\n"
                           "[ Mail ]\r\n"
                           "Server=smtp.example.com\r\n"
                           "[database]\r\n"
                           "Other=later section\r\n";

} // namespace

// --- reading --------------------------------------------------------------

TEST_F(ProfileTest, CaseOfSectionAndKeyDoesNotMatter)
{
    put(kSample);
    EXPECT_EQ(get("database", "PATH"), "C:\\Pelmar\\time.mdb");
    EXPECT_EQ(get("DATABASE", "path"), "C:\\Pelmar\\time.mdb");
    EXPECT_EQ(get(" Database ", " Path "), "C:\\Pelmar\\time.mdb");
    EXPECT_EQ(get("mail", "server"), "smtp.example.com");
}

TEST_F(ProfileTest, ValuesLoseBlanksAndOnePairOfQuotes)
{
    put(kSample);
    EXPECT_EQ(get("Database", "Name"), "  quoted  ");
    EXPECT_EQ(get("Database", "Single"), "x");
    EXPECT_EQ(get("Database", "Mixed"), "\"abc'");
    EXPECT_EQ(get("Database", "Empty"), "");
    EXPECT_EQ(get("Database", "Eq"), "a=b");
}

TEST_F(ProfileTest, FirstSectionAndKeyWinCommentsIgnored)
{
    put(kSample);
    EXPECT_EQ(get("Database", "Other"), "none");
    EXPECT_EQ(get("Database", ";Path"), "none");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGiveTheDefault)
{
    EXPECT_EQ(get("Database", "Path", "dflt"), "dflt");
    put(kSample);
    EXPECT_EQ(get("Nowhere", "Path", "dflt"), "dflt");
    EXPECT_EQ(get("Mail", "Path", "dflt"), "dflt"); // keys do not leak across sections
    EXPECT_EQ(get("Database", "Missing", ""), "");
}

TEST_F(ProfileTest, LineFeedOnlyFiles)
{
    put("[A]\nk=v\n[B]\nk=w");
    EXPECT_EQ(get("A", "k"), "v");
    EXPECT_EQ(get("B", "k"), "w");
}

// --- writing --------------------------------------------------------------

TEST_F(ProfileTest, ReplacingAKeyKeepsEverythingElse)
{
    put(kSample);
    ASSERT_TRUE(profile::writeString("DATABASE", "path", "D:\\new.mdb", path()));
    QByteArray expected = kSample;
    expected.replace("Path = C:\\Pelmar\\time.mdb \r\n", "path=D:\\new.mdb\r\n");
    EXPECT_EQ(bytes(), expected);
    EXPECT_EQ(get("Database", "Path"), "D:\\new.mdb");
}

TEST_F(ProfileTest, MissingKeyGoesAtTheEndOfItsSection)
{
    put(kSample);
    ASSERT_TRUE(profile::writeString("Database", "Port", "25", path()));
    QByteArray expected = kSample;
    expected.replace("Path=second wins never\r\n", "Path=second wins never\r\nPort=25\r\n");
    EXPECT_EQ(bytes(), expected);
}

TEST_F(ProfileTest, MissingSectionGoesAtTheEnd)
{
    put("[A]\r\nk=v\r\n");
    ASSERT_TRUE(profile::writeString("B", "x", "1", path()));
    EXPECT_EQ(bytes(), "[A]\r\nk=v\r\n[B]\r\nx=1\r\n");

    put("[A]\r\nk=v", "noend.ini");
    ASSERT_TRUE(profile::writeString("B", "x", "1", path("noend.ini")));
    EXPECT_EQ(bytes("noend.ini"), "[A]\r\nk=v\r\n[B]\r\nx=1\r\n");
}

TEST_F(ProfileTest, KeyAddedToALastSectionWithoutFinalLineEnd)
{
    put("[A]\nk=v");
    ASSERT_TRUE(profile::writeString("a", "n", "2", path()));
    EXPECT_EQ(bytes(), "[A]\nk=v\r\nn=2\r\n");
}

TEST_F(ProfileTest, CreatesAMissingFile)
{
    ASSERT_TRUE(profile::writeString("Mail", "Server", "smtp.example.com", path("new.ini")));
    EXPECT_EQ(bytes("new.ini"), "[Mail]\r\nServer=smtp.example.com\r\n");
}

TEST_F(ProfileTest, SuccessiveWritesReadBack)
{
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(profile::writeString("S", QStringLiteral("k%1").arg(i), QString::number(i), path()));
        ASSERT_TRUE(profile::writeString("T", "k", QString::number(i), path()));
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(get("S", QStringLiteral("k%1").arg(i).toLatin1().constData()), QString::number(i));
    EXPECT_EQ(get("T", "k"), "4");
    EXPECT_EQ(bytes().count("[T]"), 1);
}

TEST_F(ProfileTest, UnwritablePlaceFails)
{
    // A path under a plain file fails even for a superuser.
    put("x", "plain");
    EXPECT_FALSE(profile::writeString("A", "k", "v", path("plain") + "/sub.ini"));
    EXPECT_EQ(bytes("plain"), "x");
}

TEST_F(ProfileTest, LatinOneBothWays)
{
    const QString e = QString::fromUtf8("caf\u00e9");
    ASSERT_TRUE(profile::writeString("S", "k", e, path()));
    EXPECT_EQ(bytes(), "[S]\r\nk=caf\xe9\r\n"); // one byte, not UTF-8
    EXPECT_EQ(profile::getString("S", "k", "", path()), e);

    put("[S]\r\nk=\xe9t\xe9\r\n", "ansi.ini");
    EXPECT_EQ(profile::getString("s", "K", "", path("ansi.ini")), QString::fromUtf8("\u00e9t\u00e9"));
}
