#include "platform/clock.h"
#include "platform/mail/smtpmail.h"
#include "store/engine.h"
#include "support/coretest.h"
#include "support/smtpserver.h"
#include "timekeeping/alertoutbox.h"
#include "timekeeping/alertsender.h"
#include "timekeeping/clocking.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

const QString Admin = QStringLiteral("admin@pelmar.example");
const Employee AnnAble{Ann, QStringLiteral("Ann Able")};

// Ann's shift of twelve hours, clocked out at 9:00 PM over a threshold of
// ten, with the mail settings pointed at port (nothing listens on port 1).
struct Outage : CoreDb
{
    explicit Outage(quint16 port)
    {
        pointAt(port);
        db.setSetting("smtpusername", Value::text(QString::fromLatin1(SmtpServer::User)));
        db.setSetting("smtppassword", Value::text(QString::fromLatin1(SmtpServer::Password)));
        db.setSetting("smtpemail", Value::text(Admin));
        setThreshold(10);
        workplace.createMail();
        workplace.mail()->setTransport({.connectTimeout = 5, .totalTimeout = 10});
        shiftId = shift(Today, hm(9, 0));
    }
    void pointAt(quint16 port)
    {
        db.setSetting("smtpserver", Value::text(QStringLiteral("127.0.0.1:%1").arg(port)));
    }
    qint64 outboxRows(const QString& state)
    {
        return db.scalar("SELECT COUNT(*) FROM AlertOutbox WHERE State = '" + state + "'").toInteger();
    }

    qint64 shiftId = 0;
    ManualClock clock{Today + hm(21, 0)};
};

// The alert is a row committed with the clock-out; a failed send leaves it
// pending and the next try, with the settings as they stand then, sends it
// exactly once.
TEST(AlertOutboxTest, AnAlertSurvivesAMailOutage)
{
    Outage t(1);
    const ActionResult out = clockOut(t.workplace, AnnAble, t.shiftId, t.clock.now());
    ASSERT_EQ(out.notices.size(), 1u);
    ASSERT_TRUE(out.notices[0].outboxId);
    EXPECT_EQ(t.outboxRows(outbox::Pending), 1);

    AlertSender sender(t.workplace, t.clock);
    QSignalSpy failed(&sender, &AlertSender::failed);
    sender.sendNow(*out.notices[0].outboxId);
    ASSERT_TRUE(failed.wait(15000));
    EXPECT_EQ(t.outboxRows(outbox::Pending), 1);
    EXPECT_EQ(t.db.scalar("SELECT Tries FROM AlertOutbox").toInteger(), 1);

    SmtpServer server;
    const quint16 port = server.serve();
    ASSERT_NE(port, 0);
    t.pointAt(port);
    sender.retryDue(); // not due yet: the back-off's first minute
    t.clock.advanceSeconds(61);
    sender.retryDue();
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.outboxRows(outbox::Sent) == 1; }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.received().empty(); }, 20000));
    sender.retryDue();
    QTest::qWait(200);
    const auto mails = server.received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelope.value("mail_from").toString(), Admin);
    EXPECT_EQ(mails[0].envelope.value("rcpt_tos").toArray(), QJsonArray{Admin});
    EXPECT_EQ(mails[0].header("Subject"), "Employee Time Alert");
    // One bare CR between the name and " on ", and no other break.
    EXPECT_EQ(mails[0].text(), "The login/logout times for Ann Able\r on 12/4/2026 are unusual.\r\n");
}

// Two terminals retrying at once send one mail: each claims the row first.
TEST(AlertOutboxTest, TwoTerminalsSendOneMail)
{
    SmtpServer server;
    const quint16 port = server.serve();
    ASSERT_NE(port, 0);
    Outage t(port);
    const qint64 id = [&] {
        const auto db = t.workplace.open();
        Transaction transaction(*db);
        const qint64 queued =
            outbox::enqueue(*db, Ann, t.shiftId, "Ann Able", Value::date(Today), t.clock.now());
        transaction.commit();
        return queued;
    }();
    Workplace other;
    other.openDatabase(t.db.path());
    other.createMail();
    AlertSender first(t.workplace, t.clock), second(other, t.clock);
    first.retryDue();
    second.retryDue();
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.outboxRows(outbox::Sent) == 1; }, 20000));
    QTest::qWait(300);
    EXPECT_EQ(server.received().size(), 1u);
    EXPECT_FALSE(outbox::claim(*t.workplace.open(), id, t.clock.now())) << "sent is sent once";
}

// Without a cause committed there is no alert; the back-off grows to half an
// hour; a week of failures gives up and keeps the row.
TEST(AlertOutboxTest, TheOutboxFollowsItsCauseAndGivesUpAfterAWeek)
{
    Outage t(1);
    const auto db = t.workplace.open();
    {
        Transaction transaction(*db);
        outbox::enqueue(*db, Ann, t.shiftId, "Ann Able", Value::date(Today), t.clock.now());
    } // rolled back
    EXPECT_EQ(t.db.scalar("SELECT COUNT(*) FROM AlertOutbox").toInteger(), 0);

    const std::vector<double> delays = {60, 120, 240, 480, 960, 1800, 1800};
    for (size_t tries = 1; tries <= delays.size(); ++tries)
        EXPECT_EQ(outbox::retryDelay(static_cast<int>(tries)), delays[tries - 1]) << tries;

    qint64 id = 0;
    {
        Transaction transaction(*db);
        id = outbox::enqueue(*db, Ann, t.shiftId, "Ann Able", Value::date(Today), t.clock.now());
        transaction.commit();
    }
    ASSERT_TRUE(outbox::claim(*db, id, t.clock.now()));
    EXPECT_FALSE(outbox::claim(*db, id, t.clock.now())) << "claimed";
    EXPECT_TRUE(outbox::due(*db, t.clock.now()).empty());
    outbox::markFailed(*db, id, t.clock.now(), "Error 7: refused");
    EXPECT_TRUE(outbox::due(*db, t.clock.now()).empty());
    EXPECT_EQ(outbox::due(*db, t.clock.now() + 61.0 / 86400), std::vector<qint64>{id});

    ASSERT_TRUE(outbox::claim(*db, id, t.clock.now() + 8));
    outbox::markFailed(*db, id, t.clock.now() + 8, "Error 7: refused");
    EXPECT_EQ(t.outboxRows(outbox::Failed), 1);
    EXPECT_TRUE(outbox::due(*db, t.clock.now() + 9).empty());
    const std::vector<outbox::Row> listed = outbox::list(*db, Today, Today);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].lastError, "Error 7: refused");
    EXPECT_EQ(listed[0].tries, 2);
    outbox::resend(*db, id, t.clock.now() + 9);
    EXPECT_EQ(outbox::due(*db, t.clock.now() + 9), std::vector<qint64>{id});
}

} // namespace
