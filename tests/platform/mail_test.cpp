#include "platform/mail/smtpmail.h"
#include "support/errorof.h"
#include "support/smtpserver.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace pelmar;
using test::SmtpServer;

namespace {

const QString kAlertText = "The login/logout times for Sample Employee\r on 12/4/2026 are unusual.";

// True when every line break is CRLF.
bool onlyCrlf(QByteArray bytes)
{
    bytes.replace("\r\n", "");
    return !bytes.contains('\r') && !bytes.contains('\n');
}

class MailTest : public ::testing::Test
{
protected:
    static void configure(SmtpMail& m, quint16 serverPort)
    {
        m.server = QStringLiteral("127.0.0.1:%1").arg(serverPort);
        m.option = 2;
        m.userName = QString::fromLatin1(SmtpServer::User);
        m.password = QString::fromLatin1(SmtpServer::Password);
        m.mailFrom = "timeclock@pelmar.example";
        m.sendTo = "manager@pelmar.example";
        m.subject = "Employee Time Alert";
        m.messageText = kAlertText;
        m.connectTimeout = 5;
        m.totalTimeout = 10;
    }
    void configure(quint16 serverPort) { configure(mail, serverPort); }
    // Starts the server and points the mail at it.
    bool serve()
    {
        port = server.serve();
        configure(port);
        return port != 0;
    }
    // The message as built, read as the server would keep it.
    SmtpServer::Message built() const { return {mail.buildMessage(), {}}; }

    // Sends and waits until `count` outcomes have arrived.
    bool send(int count = 1, int ms = 10000)
    {
        mail.sendEmail();
        return QTest::qWaitFor([&] { return sent.count() + failed.count() >= count; }, ms);
    }

    SmtpServer server;
    quint16 port = 0;
    SmtpMail mail;
    QSignalSpy sent{&mail, &SmtpMail::SendSMTP};
    QSignalSpy failed{&mail, &SmtpMail::ErrorSMTP};
};

TEST_F(MailTest, SendsWithLoginAndKeepsTheTextExact)
{
    ASSERT_TRUE(serve());
    mail.sendEmail();
    EXPECT_TRUE(mail.busy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent.count() + failed.count() > 0; }, 10000));
    ASSERT_EQ(failed.count(), 0) << failed.first().at(1).toString().toStdString();
    EXPECT_EQ(sent.count(), 1);
    EXPECT_FALSE(mail.busy());

    const auto messages = server.received();
    ASSERT_EQ(messages.size(), 1u);
    const SmtpServer::Message& m = messages.front();
    EXPECT_EQ(m.envelope.value("mail_from").toString(), "timeclock@pelmar.example");
    EXPECT_EQ(m.envelope.value("rcpt_tos").toArray(), QJsonArray{"manager@pelmar.example"});
    EXPECT_EQ(m.envelope.value("user").toString(), SmtpServer::User);
    EXPECT_EQ(m.envelope.value("mechanism").toString(), "LOGIN");
    EXPECT_EQ(m.header("Subject"), "Employee Time Alert");
    EXPECT_EQ(m.header("From"), "timeclock@pelmar.example");
    EXPECT_EQ(m.header("To"), "manager@pelmar.example");
    EXPECT_EQ(m.header("Content-Transfer-Encoding"), "quoted-printable");
    EXPECT_TRUE(onlyCrlf(m.raw));
    // The lone CR after the name arrives as it was given.
    EXPECT_EQ(m.text(), kAlertText.toUtf8() + "\r\n");

    // The same component sends the next message.
    mail.subject = "Employee Time Alert 2";
    mail.messageText = "Second alert";
    ASSERT_TRUE(send(2));
    EXPECT_EQ(sent.count(), 2);
    ASSERT_EQ(server.received().size(), 2u);
    EXPECT_EQ(server.received()[1].header("Subject"), "Employee Time Alert 2");
    EXPECT_EQ(server.received()[1].text(), "Second alert\r\n");
}

TEST_F(MailTest, WrongPasswordReportsTheServersReply)
{
    ASSERT_TRUE(serve());
    mail.password = "wrong";
    ASSERT_TRUE(send());
    EXPECT_EQ(sent.count(), 0);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.first().at(0).toInt(), 67); // CURLE_LOGIN_DENIED
    EXPECT_TRUE(failed.first().at(1).toString().contains("535"))
        << failed.first().at(1).toString().toStdString();
    EXPECT_TRUE(server.received().empty());
}

TEST_F(MailTest, ClosedPortFailsQuicklyAndASilentServerTimesOut)
{
    quint16 closed = 0;
    {
        SmtpServer gone; // its port, closed again with it
        ASSERT_NE(closed = gone.silent(), 0);
    }
    configure(closed);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(send(1, 5000));
    EXPECT_LT(clock.elapsed(), 3000);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_NE(failed.first().at(0).toInt(), 0);
    EXPECT_FALSE(failed.first().at(1).toString().isEmpty());

    ASSERT_NE(port = server.silent(), 0);
    configure(port);
    mail.connectTimeout = 2;
    mail.totalTimeout = 3;
    clock.restart();
    ASSERT_TRUE(send(2, 8000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(sent.count(), 0);
    ASSERT_EQ(failed.count(), 2);
    EXPECT_NE(failed.at(1).at(0).toInt(), 0);
    EXPECT_FALSE(mail.busy());
}

TEST_F(MailTest, LineBreaksAndMissingFieldsAreRefusedBeforeSending)
{
    ASSERT_TRUE(serve());
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"CRLF in the sender", [&] { mail.mailFrom += "\r\nRCPT TO:<other@pelmar.example>"; }},
        {"LF in the recipient", [&] { mail.sendTo += "\n"; }},
        {"CR in the recipient", [&] { mail.sendTo += "\rx"; }},
        {"CRLF in the server", [&] { mail.server = "127.0.0.1\r\n"; }},
        {"LF in the user name", [&] { mail.userName = "clock\nAUTH"; }},
        {"no server", [&] { mail.server.clear(); }},
        {"no sender", [&] { mail.mailFrom.clear(); }},
        {"no recipient", [&] { mail.sendTo = " "; }},
    };
    for (const auto& [what, spoil] : cases) {
        SCOPED_TRACE(what);
        configure(port);
        spoil();
        EXPECT_EQ(test::errorOf([&] { mail.sendEmail(); }), 5);
        EXPECT_FALSE(mail.busy());
    }
    QTest::qWait(300);
    EXPECT_EQ(sent.count() + failed.count(), 0);
    EXPECT_TRUE(server.received().empty());
}

TEST_F(MailTest, DestroyedWhileSendingReportsNothing)
{
    ASSERT_TRUE(serve());
    int events = 0;
    {
        SmtpMail doomed;
        configure(doomed, port);
        QObject::connect(&doomed, &SmtpMail::SendSMTP, [&] { ++events; });
        QObject::connect(&doomed, &SmtpMail::ErrorSMTP, [&] { ++events; });
        doomed.sendEmail();
    }
    // The detached send still completes; its event has nowhere to go.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.received().size() == 1; }, 10000));
    QTest::qWait(200);
    EXPECT_EQ(events, 0);
}

// Message layout, no server needed.

TEST_F(MailTest, HeadersAreStandardAndLineBreaksCannotAddOne)
{
    configure(25);
    mail.mailFrom = "Time Clock <timeclock@pelmar.example>";
    const SmtpServer::Message m = built();
    EXPECT_TRUE(onlyCrlf(m.raw));
    const QRegularExpression date(
        "^(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \\d{1,2} "
        "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \\d{4} \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}$");
    EXPECT_TRUE(date.match(m.header("Date")).hasMatch()) << m.header("Date").toStdString();
    const QRegularExpression id("^<[^@<>]+@pelmar\\.example>$");
    EXPECT_TRUE(id.match(m.header("Message-ID")).hasMatch()) << m.header("Message-ID").toStdString();
    EXPECT_NE(built().header("Message-ID"), m.header("Message-ID"));
    EXPECT_EQ(m.header("From"), "Time Clock <timeclock@pelmar.example>");
    EXPECT_EQ(m.header("MIME-Version"), "1.0");
    EXPECT_EQ(m.header("Content-Type"), "text/plain; charset=UTF-8");

    mail.subject = "Heures inhabituelles — José Ñúñez";
    const QByteArray subject = built().header("Subject");
    ASSERT_TRUE(subject.startsWith("=?UTF-8?B?") && subject.endsWith("?=")) << subject.toStdString();
    EXPECT_EQ(QByteArray::fromBase64(subject.mid(10).chopped(2)), mail.subject.toUtf8());
    mail.subject = "Alert\r\nBcc: someone@else.example";
    EXPECT_TRUE(onlyCrlf(mail.buildMessage()));
    EXPECT_FALSE(mail.buildMessage().contains("\r\nBcc:"));
}

TEST_F(MailTest, BodyIsQuotedPrintable)
{
    configure(25);
    mail.messageText = "a=b café\nline two\r\n.dot " + QString(200, QLatin1Char('y')) + " end \t";
    const SmtpServer::Message m = built();
    const QByteArray encoded = m.body();

    EXPECT_TRUE(onlyCrlf(encoded));
    for (const QByteArray& line : encoded.split('\n')) {
        EXPECT_LE(line.size(), 77) << line.toStdString(); // 76 plus the CR
        EXPECT_FALSE(line.endsWith(" \r") || line.endsWith("\t\r")) << line.toStdString();
    }
    EXPECT_TRUE(encoded.startsWith("a=3Db caf=C3=A9=0Aline two=0D=0A.dot "));
    EXPECT_TRUE(encoded.endsWith(" end =09\r\n"));
    EXPECT_EQ(m.text(), mail.messageText.toUtf8() + "\r\n");
}

} // namespace
