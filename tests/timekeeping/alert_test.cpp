#include "platform/mail/smtpmail.h"
#include "platform/widgets/glassbutton.h"
#include "store/datasource.h"
#include "support/window.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using namespace pelmar;
using test::WindowTest;

namespace {

const QString Sent = QStringLiteral("Unusual time record; an advisory was sent to the Administrator");
const QString Admin = QStringLiteral("admin@pelmar.example");
const QString User = QStringLiteral("clock");
const QString Password = QStringLiteral("s3cret");

QByteArray decodeQuotedPrintable(const QByteArray& encoded)
{
    QByteArray out;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '=') {
            out += encoded[i];
        } else if (encoded.mid(i + 1, 2) == "\r\n") {
            i += 2;
        } else {
            out += static_cast<char>(encoded.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        }
    }
    return out;
}

QByteArray headerValue(const QByteArray& message, const QByteArray& name)
{
    const QByteArray head = message.left(message.indexOf("\r\n\r\n") + 2);
    for (const QByteArray& line : head.split('\n')) {
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2).chopped(1);
    }
    return {};
}

struct Received
{
    QByteArray raw;
    QJsonObject envelope;
    QByteArray text() const { return decodeQuotedPrintable(raw.mid(raw.indexOf("\r\n\r\n") + 4)); }
};

// Alerts from clock-outs and repairs, sent through the mail component to a
// local server that requires a login. Today on the test clock is Friday
// 4 December 2026.
class AlertTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.db.addEmployee(7, QStringLiteral("Sample Employee"), QStringLiteral("pw"));
        t.db.setSetting(QStringLiteral("WorkHoursNotify"), Value::number(3));
        t.db.setSetting(QStringLiteral("smtpusername"), Value::text(User));
        t.db.setSetting(QStringLiteral("smtppassword"), Value::text(Password));
        t.db.setSetting(QStringLiteral("smtpemail"), Value::text(Admin));
    }

    void TearDown() override
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished(3000);
        }
    }

    // Starts the test server and points the settings at it.
    void serve()
    {
        const QString script =
            qEnvironmentVariable("PELMAR_SOURCE_DIR") + QStringLiteral("/tests/support/smtpserver.py");
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(QStringLiteral("/usr/bin/python3"),
                       {script, QStringLiteral("serve"), m_mailDir.path(), User, Password});
        ASSERT_TRUE(m_server.waitForStarted(5000));
        QElapsedTimer waited;
        waited.start();
        while (!m_server.canReadLine() && waited.elapsed() < 10000)
            m_server.waitForReadyRead(500);
        const QByteArray line = m_server.readLine().trimmed();
        ASSERT_TRUE(line.startsWith("READY ")) << line.toStdString();
        t.db.setSetting(QStringLiteral("smtpserver"),
                        Value::text(QStringLiteral("127.0.0.1:") + QString::fromLatin1(line.mid(6))));
    }

    // Starts the window with shorter mail timeouts and logs in.
    void startAndLogIn()
    {
        t.start();
        ASSERT_NE(w().oSMTP, nullptr);
        w().oSMTP->connectTimeout = 5;
        w().oSMTP->totalTimeout = 10;
        t.logIn(QStringLiteral("Sample Employee"), QStringLiteral("pw"));
    }

    bool waitForMessages(size_t count)
    {
        return QTest::qWaitFor([&] { return t.dialogs.messages.size() >= count; }, 20000);
    }

    std::vector<Received> received() const
    {
        std::vector<Received> out;
        for (int n = 1;; ++n) {
            QFile sidecar(m_mailDir.filePath(QStringLiteral("mail-%1.json").arg(n)));
            QFile raw(m_mailDir.filePath(QStringLiteral("mail-%1.eml").arg(n)));
            if (!sidecar.open(QIODevice::ReadOnly) || !raw.open(QIODevice::ReadOnly))
                break;
            out.push_back({raw.readAll(), QJsonDocument::fromJson(sidecar.readAll()).object()});
        }
        return out;
    }

    static void expectAlert(const Received& mail, const QByteArray& date)
    {
        EXPECT_EQ(mail.envelope.value("mail_from").toString(), Admin);
        EXPECT_EQ(mail.envelope.value("rcpt_tos").toArray(), QJsonArray{Admin});
        EXPECT_EQ(mail.envelope.value("user").toString(), User);
        EXPECT_EQ(headerValue(mail.raw, "Subject"), "Employee Time Alert");
        EXPECT_EQ(headerValue(mail.raw, "From"), Admin.toUtf8());
        EXPECT_EQ(headerValue(mail.raw, "To"), Admin.toUtf8());
        // One bare CR between the name and " on "; the line ends with the
        // message's own CRLF.
        EXPECT_EQ(mail.text(),
                  "The login/logout times for Sample Employee\r on " + date + " are unusual.\r\n");
    }

    // A clock-out of a shift begun at 10:00 pm yesterday, at 2:00 am today.
    qint64 clockOutAcrossMidnight()
    {
        const qint64 id = t.db.addTime(7, dates::serial(2026, 12, 3), dates::timeSerial(22, 0, 0));
        t.clock.set(WindowTest::at(2026, 12, 3, 23, 0, 0));
        startAndLogIn();
        t.setNow(WindowTest::at(2026, 12, 4, 2, 0, 0));
        t.click("cmdTimeLog");
        return id;
    }

    Value hoursOf(qint64 id)
    {
        return t.db.scalar(QStringLiteral("SELECT Thours FROM \"Time\" WHERE TimeID = %1").arg(id));
    }

    FrmTimeLog& w() { return t.window(); }
    WindowTest t;
    QTemporaryDir m_mailDir;
    QProcess m_server;
};

TEST_F(AlertTest, LongShiftReachesTheAdministratorWithTheShiftsDate)
{
    serve();
    const qint64 id = clockOutAcrossMidnight();
    ASSERT_TRUE(waitForMessages(1));

    EXPECT_EQ(t.dialogs.texts(), QStringList{Sent});
    EXPECT_DOUBLE_EQ(hoursOf(id).toDouble(), 4.0);
    const auto mails = received();
    ASSERT_EQ(mails.size(), 1u);
    expectAlert(mails[0], "12/3/2026");
}

TEST_F(AlertTest, RepairAndClockOutSendTwoAlertsThroughOneComponent)
{
    serve();
    t.db.setSetting(QStringLiteral("WorkHoursNotify"), Value::number(10));
    t.db.addTime(7, dates::serial(2026, 12, 3), dates::timeSerial(8, 0, 0));
    startAndLogIn();
    ASSERT_TRUE(waitForMessages(2));
    ASSERT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
    SmtpMail* component = w().oSMTP.get();

    t.setNow(WindowTest::at(2026, 12, 4, 11, 0, 0)); // 10 h 59 min after 12:01 am
    t.click("cmdTimeLog");
    ASSERT_TRUE(waitForMessages(3));

    EXPECT_EQ(t.dialogs.texts()[1], Sent);
    EXPECT_EQ(t.dialogs.texts()[2], Sent);
    EXPECT_EQ(w().oSMTP.get(), component);
    const auto mails = received();
    ASSERT_EQ(mails.size(), 2u);
    expectAlert(mails[0], "12/3/2026");
    expectAlert(mails[1], "12/4/2026");
}

TEST_F(AlertTest, EmptyServerSendsAndShowsNothing)
{
    t.db.setSetting(QStringLiteral("smtpserver"), Value::text(QString()));
    const qint64 id = clockOutAcrossMidnight();
    QTest::qWait(300);

    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_FALSE(w().oSMTP->busy());
    EXPECT_DOUBLE_EQ(hoursOf(id).toDouble(), 4.0);
    EXPECT_FALSE(w().lblOut->isHidden());
}

TEST_F(AlertTest, NullPasswordGoesToTheErrorReporterAndTheClockOutStands)
{
    serve();
    t.db.setSetting(QStringLiteral("smtppassword"), Value::null());
    const qint64 id = clockOutAcrossMidnight();
    QTest::qWait(300);

    EXPECT_EQ(t.dialogs.texts(), QStringList{"Error:94 Invalid use of Null"});
    EXPECT_FALSE(w().oSMTP->busy());
    EXPECT_TRUE(received().empty());
    EXPECT_DOUBLE_EQ(hoursOf(id).toDouble(), 4.0);
    EXPECT_EQ(w().lblTimeOut->text(), "2:00:00 AM");
    EXPECT_FALSE(w().lblOut->isHidden());
    EXPECT_TRUE(w().cmdTimeLog->isHidden());
}

TEST_F(AlertTest, ServerRefusingTheLoginRaisesTheErrorEvent)
{
    serve();
    t.db.setSetting(QStringLiteral("smtppassword"), Value::text(QStringLiteral("wrong")));
    clockOutAcrossMidnight();
    ASSERT_TRUE(waitForMessages(1));

    const QString text = t.dialogs.texts().front();
    const auto match = QRegularExpression(QStringLiteral("^Error (\\d+): .+\r\n$"),
                                          QRegularExpression::DotMatchesEverythingOption)
                           .match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    EXPECT_NE(match.captured(1).toInt(), 0);
    EXPECT_TRUE(received().empty());
}

TEST_F(AlertTest, ErrorEventAndMissingComponentShowTheirTexts)
{
    t.start();
    emit w().oSMTP->ErrorSMTP(5, QStringLiteral("Connection refused"));
    ASSERT_EQ(t.dialogs.texts(), QStringList{"Error 5: Connection refused\r\n"});
    EXPECT_EQ(t.dialogs.messages[0].title, "PelmarEmployee");
    EXPECT_EQ(t.dialogs.messages[0].icon, Dialogs::Icon::None);

    // Start-up stopped before creating the component: alerts that are
    // switched off still show nothing.
    t.dialogs.clear();
    w().oSMTP.reset();
    const Value name = Value::text(QStringLiteral("Sample Employee"));
    const Value day = Value::date(dates::serial(2026, 12, 4));
    w().SendAnAlertEmail(name, day);
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    t.db.setSetting(QStringLiteral("smtpserver"), Value::text(QStringLiteral("mail.example")));
    w().datCustomSettings->refresh();
    w().SendAnAlertEmail(name, day);
    EXPECT_EQ(t.dialogs.texts(), QStringList{"Error:91 Object variable or With block variable not set"});
}

} // namespace
