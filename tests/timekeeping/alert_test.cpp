#include "platform/mail/smtpmail.h"
#include "support/coretest.h"
#include "support/errorof.h"
#include "support/smtpserver.h"
#include "timekeeping/alert.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QThread>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

const QString Admin = QStringLiteral("admin@pelmar.example");

TEST(AlertTest, SettingsDecideWhetherAndHowItIsSent)
{
    CoreDb t;
    const Value day = Value::date(dec(3));
    // The fresh settings row has an empty server: alerts are switched off.
    EXPECT_FALSE(alert::send(t.workplace, "Ann Able", day));

    t.db.setSetting("smtpserver", Value::text("mail.example"));
    t.open();
    EXPECT_EQ(errorOf([&] { alert::send(t.workplace, "Ann Able", day); }), 91) << "no mail sender";
    t.workplace.createMail();
    t.db.setSetting("smtppassword", Value::null());
    t.open();
    EXPECT_EQ(errorOf([&] { alert::send(t.workplace, "Ann Able", day); }), err::InvalidUseOfNull);
    EXPECT_FALSE(t.workplace.mail()->busy());
}

TEST(AlertTest, ReachesTheAdministratorWithTheShiftsDate)
{
    SmtpServer server;
    const quint16 port = server.serve();
    ASSERT_NE(port, 0);
    CoreDb t;
    t.db.setSetting("smtpserver", Value::text(QStringLiteral("127.0.0.1:%1").arg(port)));
    t.db.setSetting("smtpusername", Value::text(QString::fromLatin1(SmtpServer::User)));
    t.db.setSetting("smtppassword", Value::text(QString::fromLatin1(SmtpServer::Password)));
    t.db.setSetting("smtpemail", Value::text(Admin));
    t.open();
    t.workplace.createMail();
    t.workplace.mail()->connectTimeout = 5;
    t.workplace.mail()->totalTimeout = 10;

    ASSERT_TRUE(alert::send(t.workplace, "Ann Able", Value::date(dec(3))));
    // The server runs in its own process; its mail appears as a file.
    const QDeadlineTimer deadline(20000);
    while (server.received().empty() && !deadline.hasExpired())
        QThread::msleep(20);

    const auto mails = server.received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelope.value("mail_from").toString(), Admin);
    EXPECT_EQ(mails[0].envelope.value("rcpt_tos").toArray(), QJsonArray{Admin});
    EXPECT_EQ(mails[0].envelope.value("user").toString(), SmtpServer::User);
    EXPECT_EQ(mails[0].header("Subject"), "Employee Time Alert");
    // One bare CR between the name and " on ", and no other break.
    EXPECT_EQ(mails[0].text(), "The login/logout times for Ann Able\r on 12/3/2026 are unusual.\r\n");
}

} // namespace
