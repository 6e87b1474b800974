#include "platform/mail/smtpmail.h"
#include "ui/widgets/glassbutton.h"
#include "store/datasource.h"
#include "support/smtpserver.h"
#include "support/window.h"

#include <QJsonArray>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

const QString Admin = "admin@pelmar.example";

// What the window puts into the alerts it hands to the mail component; the
// wire itself is the mail component's test.
class AlertTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addAnn();
        t.db.setSetting("WorkHoursNotify", Value::number(3));
        t.db.setSetting("smtpusername", Value::text(QString::fromLatin1(SmtpServer::User)));
        t.db.setSetting("smtppassword", Value::text(QString::fromLatin1(SmtpServer::Password)));
        t.db.setSetting("smtpemail", Value::text(Admin));
    }

    void serve()
    {
        const quint16 port = server.serve();
        ASSERT_NE(port, 0);
        t.db.setSetting("smtpserver", Value::text(QStringLiteral("127.0.0.1:%1").arg(port)));
    }

    // A 4-hour shift begun at 10:00 pm yesterday, clocked out at 2:00 am today.
    void clockOutAcrossMidnight()
    {
        t.db.addTime(7, dec(3), hm(22, 0));
        t.clock.set(WindowTest::at(2026, 12, 3, 23, 0, 0));
        t.start();
        w().oSMTP->connectTimeout = 5;
        w().oSMTP->totalTimeout = 10;
        t.logInAnn();
        t.setNow(WindowTest::at(2026, 12, 4, 2, 0, 0));
        t.click("cmdTimeLog");
    }

    void expectClockOutStands()
    {
        EXPECT_DOUBLE_EQ(t.db.timeRows().at(0).hours.toDouble(), 4.0);
        EXPECT_EQ(t.clockLines().last(), "2:00:00 AM");
    }

    FrmTimeLog& w() { return t.window(); }
    SmtpServer server;
    WindowTest t;
};

TEST_F(AlertTest, LongShiftReachesTheAdministratorWithTheShiftsDate)
{
    serve();
    clockOutAcrossMidnight();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !t.dialogs.messages.empty(); }, 20000));

    EXPECT_EQ(t.dialogs.texts(),
              QStringList{"Unusual time record; an advisory was sent to the Administrator"});
    expectClockOutStands();
    const auto mails = server.received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelope.value("mail_from").toString(), Admin);
    EXPECT_EQ(mails[0].envelope.value("rcpt_tos").toArray(), QJsonArray{Admin});
    EXPECT_EQ(mails[0].envelope.value("user").toString(), SmtpServer::User);
    EXPECT_EQ(mails[0].header("Subject"), "Employee Time Alert");
    EXPECT_EQ(mails[0].header("From"), Admin.toUtf8());
    EXPECT_EQ(mails[0].header("To"), Admin.toUtf8());
    // One bare CR between the name and " on "; the date is the shift's own.
    EXPECT_EQ(mails[0].text(), "The login/logout times for Ann Able\r on 12/3/2026 are unusual.\r\n");
}

TEST_F(AlertTest, EmptyServerSendsAndShowsNothing)
{
    t.db.setSetting("smtpserver", Value::text(QString()));
    clockOutAcrossMidnight();
    QTest::qWait(300);

    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_FALSE(w().oSMTP->busy());
    expectClockOutStands();
}

TEST_F(AlertTest, NullPasswordGoesToTheErrorReporterAndTheClockOutStands)
{
    serve();
    t.db.setSetting("smtppassword", Value::null());
    clockOutAcrossMidnight();
    QTest::qWait(300);

    EXPECT_EQ(t.dialogs.texts(), QStringList{AlertAttempt});
    EXPECT_FALSE(w().oSMTP->busy());
    EXPECT_TRUE(server.received().empty());
    expectClockOutStands();
}

TEST_F(AlertTest, ErrorEventAndMissingComponentShowTheirTexts)
{
    t.start();
    emit w().oSMTP->ErrorSMTP(5, "Connection refused");
    ASSERT_EQ(t.dialogs.texts(), QStringList{"Error 5: Connection refused\r\n"});
    EXPECT_EQ(t.dialogs.messages[0].title, "PelmarEmployee");
    EXPECT_EQ(t.dialogs.messages[0].icon, Dialogs::Icon::None);

    // Start-up stopped before creating the component: alerts that are
    // switched off still show nothing.
    t.dialogs.clear();
    w().oSMTP.reset();
    const Value name = Value::text("Ann Able");
    const Value day = Value::date(dec(4));
    w().SendAnAlertEmail(name, day);
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    t.db.setSetting("smtpserver", Value::text("mail.example"));
    w().datCustomSettings->refresh();
    w().SendAnAlertEmail(name, day);
    EXPECT_EQ(t.dialogs.texts(), QStringList{"Error:91 Object variable or With block variable not set"});
}

} // namespace
