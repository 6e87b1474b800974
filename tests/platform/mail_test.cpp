#include "platform/mail/mailcheck.h"
#include "platform/mail/smtpmail.h"
#include "support/errorof.h"
#include "support/smtpserver.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace pelmar;
using test::SmtpServer;

namespace {

const QString kAlertText = "The login/logout times for Sample Employee\r on 12/4/2026 are unusual.";

class MailTest : public ::testing::Test
{
protected:
    void configure(quint16 serverPort)
    {
        through = {QStringLiteral("127.0.0.1:%1").arg(serverPort), true,
                   QString::fromLatin1(SmtpServer::User), QString::fromLatin1(SmtpServer::Password)};
        message = {"timeclock@pelmar.example", "manager@pelmar.example", "Employee Time Alert", kAlertText};
        mail.setTransport({.connectTimeout = 5, .totalTimeout = 10});
    }
    // Sends and waits until `count` outcomes have arrived.
    bool send(int count = 1)
    {
        mail.send(through, message);
        return QTest::qWaitFor([&] { return sent.count() + failed.count() >= count; }, 10000);
    }
    std::string why() const { return failed.isEmpty() ? "" : failed.last().at(1).toString().toStdString(); }

    SmtpServer server;
    MailServer through;
    MailMessage message;
    SmtpMail mail;
    QSignalSpy sent{&mail, &SmtpMail::sent};
    QSignalSpy failed{&mail, &SmtpMail::failed};
};

TEST_F(MailTest, SendsOneAfterAnother)
{
    configure(server.serve());
    mail.send(through, message);
    EXPECT_TRUE(mail.busy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent.count() + failed.count() > 0; }, 10000));
    EXPECT_FALSE(mail.busy());
    // Quoted-printable: lines within 76, no bare trailing blank, UTF-8 intact.
    message.text = "Second alert: a=b for Jos\u00e9\n" + QString(200, QLatin1Char('y')) + " end \t";
    ASSERT_TRUE(send(2));
    const auto messages = server.received();
    ASSERT_EQ(messages.size(), 2u) << why();
    // In English whatever the locale, as RFC 5322 has it.
    EXPECT_TRUE(QDateTime::fromString(messages[0].header("Date"), Qt::RFC2822Date).isValid())
        << messages[0].header("Date").toStdString();
    for (const QByteArray& line : messages[1].body().split('\n')) // 76 plus the CR
        EXPECT_TRUE(line.size() <= 77 && !line.endsWith(" \r") && !line.endsWith("\t\r"))
            << line.toStdString();
    EXPECT_EQ(messages[1].text(), message.text.toUtf8() + "\r\n");
}

// Every case sends the alert: either it arrives intact, or nothing is sent,
// and the password only when the server asked for it over TLS or on loopback.
TEST_F(MailTest, DeliversIntactOrSendsNothing)
{
    const QString ca = SmtpServer::caFile();
    ASSERT_FALSE(ca.isEmpty());
    // As an administrator would: the company CA named in the environment.
    qputenv(SmtpCaFileVariable, QFile::encodeName(ca));
    const QString caFromEnvironment = SmtpMail().transport().caFile;
    qunsetenv(SmtpCaFileVariable);
    ASSERT_EQ(caFromEnvironment, ca);

    const char* const named = "mail.pelmar.test:%1"; // %1 is the port
    struct Case
    {
        SmtpServer::Setup setup;
        const char* server;
        int error;             // libcurl's code; 0 when the mail arrives
        const char* says = ""; // part of the description
        const char* caFile = nullptr;
    };
    const Case cases[] = {
        {{}, "127.0.0.1:%1", 0},
        {{"starttls"}, named, 0},
        {{"implicit"}, "smtps://mail.pelmar.test:%1", 0}, // offering LOGIN only
        // Expired or for another host fail the same way in our code.
        {{"starttls", "selfsigned"}, named, 60, "self-signed certificate"},
        {{}, named, 64, "No password was sent"}, // no STARTTLS away from loopback
        {{"starttls"}, named, 77, "CA file", "/nonexistent/ca.pem"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases); // the case's index
        SmtpServer tlsServer;
        const quint16 tlsPort = tlsServer.serve(c.setup);
        ASSERT_NE(tlsPort, 0);
        configure(tlsPort);
        through.address = QString::fromLatin1(c.server).arg(tlsPort);
        mail.setTransport({.connectTimeout = 5,
                           .totalTimeout = 10,
                           .caFile = c.caFile ? QString::fromLatin1(c.caFile) : caFromEnvironment,
                           .connectAddress = "127.0.0.1"}); // where mail.pelmar.test is, without asking DNS
        sent.clear();
        failed.clear();
        ASSERT_TRUE(send());
        const auto messages = tlsServer.received();
        if (c.error == 0) {
            ASSERT_EQ(messages.size(), 1u) << why();
            EXPECT_EQ(messages[0].envelope.value("user").toString(), SmtpServer::User);
            EXPECT_EQ(tlsServer.logins(), 1);
            EXPECT_EQ(messages[0].envelope.value("tls").toBool(), c.setup.tls != nullptr);
            // Line breaks all CRLF, but the lone CR after the name arrives as it was given.
            EXPECT_EQ(QByteArray(messages[0].raw).replace("\r\n", "").count('\n'), 0);
            EXPECT_EQ(messages[0].text(), kAlertText.toUtf8() + "\r\n");
        } else {
            ASSERT_EQ(failed.count(), 1);
            EXPECT_EQ(failed.first().at(0).toInt(), c.error) << why();
            EXPECT_TRUE(failed.first().at(1).toString().contains(QLatin1String(c.says))) << why();
            EXPECT_EQ(tlsServer.logins(), 0) << "and so nothing sent";
        }
    }
}

// Whether the password may go without TLS: only to this computer.
TEST(MailCredentials, GoOverTlsOrToThisComputerOnly)
{
    for (const char* host : {"localhost", "127.5.5.5", "[::1]", "::ffff:127.0.0.1"})
        EXPECT_TRUE(credentialsMayGo(QString::fromLatin1(host), false)) << host;
    for (const char* host : {"127.0.0.1.example.com", "128.0.0.1", "::ffff:10.0.0.1", ""})
        EXPECT_FALSE(credentialsMayGo(QString::fromLatin1(host), false)) << host;
}

TEST_F(MailTest, LineBreaksAndMissingFieldsAreRefusedBeforeSending)
{
    const quint16 port = server.serve();
    for (const auto spoil : {+[](MailMessage& m) { m.from += "\r\nRCPT TO:<other@pelmar.example>"; },
                             +[](MailMessage& m) { m.to = " "; }}) {
        configure(port);
        spoil(message);
        EXPECT_EQ(test::errorOf([&] { mail.send(through, message); }), 5);
        EXPECT_FALSE(mail.busy());
    }
    QTest::qWait(300);
    EXPECT_EQ(sent.count() + failed.count(), 0);
    EXPECT_TRUE(server.received().empty());
}

} // namespace
