#include "admin/records.h"
#include "review/recordtypes.h"
#include "store/schema.h"
#include "ui/language.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTranslator>
#include <gtest/gtest.h>

namespace pelmar {
namespace {

// Each test starts and ends with the program's own English texts.
class LanguageTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    static QString logIn() { return QCoreApplication::translate("pelmar::TimeClockWindow", "Log In"); }

    static void writeIni(const QString& folder, const QByteArray& lines)
    {
        QFile file(folder + QStringLiteral("/PelmarEmployee.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[PELMAREMPLOYEE]\r\nMessage=/srv/pelmar\r\n" + lines);
    }
};

TEST_F(LanguageTest, KeyOfTheConfigurationFileBesideTheProgram)
{
    QTemporaryDir folder;
    writeIni(folder.path(), "Language = es_US\r\n");
    EXPECT_EQ(language::configured(folder.path()), QStringLiteral("es_US"));
}

TEST_F(LanguageTest, NoKeyMeansTheSystemsLocale)
{
    QTemporaryDir folder;
    writeIni(folder.path(), "");
    EXPECT_EQ(language::configured(folder.path()), QString());
    EXPECT_EQ(language::chosen(QString()), QLocale::system());
    EXPECT_EQ(language::chosen(QStringLiteral("es")).language(), QLocale::Spanish);
}

TEST_F(LanguageTest, SpanishTranslatesTheProgramAndQtsDialogs)
{
    const QLocale before;
    EXPECT_EQ(language::install(*qApp, QLocale(QStringLiteral("es_US"))), QStringLiteral("es"));
    EXPECT_EQ(logIn(), QStringLiteral("Entrar"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    // Dates and numbers keep the forms of the records.
    EXPECT_EQ(QLocale(), before);
}

// Record types and audit actions stay English where they are stored and
// are read in Spanish; a type the program does not know is shown as stored.
TEST_F(LanguageTest, StoredWordsAreShownTranslated)
{
    EXPECT_EQ(typeText(RecordType::Worked), WorkedType);
    EXPECT_EQ(shownType(Value::text("Worked")), "Worked");
    ASSERT_EQ(language::install(*qApp, QLocale(QStringLiteral("es_US"))), QStringLiteral("es"));
    EXPECT_EQ(shownType(Value::text("Worked")), QStringLiteral("Trabajado"));
    EXPECT_EQ(shownType(RecordType::SickLeave), QStringLiteral("Licencia por enfermedad"));
    EXPECT_EQ(shownType(Value::text("Training")), "Training");
    EXPECT_EQ(shownType(Value::null()), QString());
    EXPECT_EQ(typeText(RecordType::Worked), "Worked");
    for (const QString& action : admin::auditActions())
        EXPECT_NE(admin::shownAction(action), action) << action.toStdString();
}

TEST_F(LanguageTest, EnglishLoadsNothing)
{
    EXPECT_EQ(language::install(*qApp, QLocale(QStringLiteral("en_US"))), QString());
    EXPECT_TRUE(qApp->findChildren<QTranslator*>().isEmpty());
    EXPECT_EQ(logIn(), QStringLiteral("Log In"));
}

TEST_F(LanguageTest, LanguageWithoutTranslationLoadsNothing)
{
    EXPECT_EQ(language::install(*qApp, QLocale(QStringLiteral("de_DE"))), QString());
    EXPECT_TRUE(qApp->findChildren<QTranslator*>().isEmpty());
    EXPECT_EQ(logIn(), QStringLiteral("Log In"));
}

} // namespace
} // namespace pelmar
