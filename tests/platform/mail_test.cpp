#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using pelmar::RunError;
using pelmar::SmtpMail;

namespace {

constexpr auto kUser = "clock";
constexpr auto kPassword = "s3cret";
const QString kAlertText =
    QStringLiteral("The login/logout times for Sample Employee\r on 12/4/2026 are unusual.");

// Leaked on purpose: it must outlive every test and nothing tears it down
// before exit.
QCoreApplication* application()
{
    static int argc = 1;
    static char name[] = "mail_test";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return app;
}

QByteArray decodeQuotedPrintable(const QByteArray& encoded)
{
    QByteArray out;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c != '=') {
            out += c;
        } else if (encoded.mid(i + 1, 2) == "\r\n") {
            i += 2;
        } else {
            out += static_cast<char>(encoded.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        }
    }
    return out;
}

// True when every CR is followed by LF and every LF preceded by CR.
bool onlyCrlf(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))
            return false;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
    }
    return true;
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

QByteArray body(const QByteArray& message)
{
    return message.mid(message.indexOf("\r\n\r\n") + 4);
}

// A port nothing listens on: bound by us, then released.
quint16 closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(0x7f000001U);
    address.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

struct Received
{
    QByteArray raw;
    QJsonObject envelope;
};

class MailTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { application(); }

    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    void TearDown() override
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished(3000);
        }
    }

    // Starts the test server ("serve" or "silent") and returns its port.
    quint16 startServer(const QString& mode)
    {
        const QString script =
            qEnvironmentVariable("PELMAR_SOURCE_DIR") + QStringLiteral("/tests/support/smtpserver.py");
        QStringList arguments{script, mode};
        if (mode == QLatin1String("serve"))
            arguments << m_dir.path() << QString::fromLatin1(kUser) << QString::fromLatin1(kPassword);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(QStringLiteral("/usr/bin/python3"), arguments);
        if (!m_server.waitForStarted(5000))
            return 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            if (m_server.canReadLine()) {
                const QByteArray line = m_server.readLine().trimmed();
                if (line.startsWith("READY "))
                    return static_cast<quint16>(line.mid(6).toUInt());
                continue;
            }
            if (!m_server.waitForReadyRead(500) && m_server.state() == QProcess::NotRunning)
                return 0;
        }
        return 0;
    }

    void configure(SmtpMail& mail, quint16 port)
    {
        mail.server = QStringLiteral("127.0.0.1:%1").arg(port);
        mail.option = 2;
        mail.userName = QString::fromLatin1(kUser);
        mail.password = QString::fromLatin1(kPassword);
        mail.mailFrom = QStringLiteral("timeclock@pelmar.example");
        mail.sendTo = QStringLiteral("manager@pelmar.example");
        mail.subject = QStringLiteral("Employee Time Alert");
        mail.messageText = kAlertText;
        mail.connectTimeout = 5;
        mail.totalTimeout = 10;
    }

    // Messages the server has written, in arrival order.
    std::vector<Received> received() const
    {
        std::vector<Received> messages;
        for (int n = 1;; ++n) {
            QFile sidecar(m_dir.filePath(QStringLiteral("mail-%1.json").arg(n)));
            QFile raw(m_dir.filePath(QStringLiteral("mail-%1.eml").arg(n)));
            if (!sidecar.open(QIODevice::ReadOnly) || !raw.open(QIODevice::ReadOnly))
                break;
            messages.push_back({raw.readAll(), QJsonDocument::fromJson(sidecar.readAll()).object()});
        }
        return messages;
    }

    static bool waitOutcome(const QSignalSpy& sent, const QSignalSpy& failed, int ms)
    {
        return QTest::qWaitFor([&] { return sent.count() + failed.count() > 0; }, ms);
    }

    QTemporaryDir m_dir;
    QProcess m_server;
};

TEST_F(MailTest, SendsWithLoginAndKeepsTheTextExact)
{
    const quint16 port = startServer(QStringLiteral("serve"));
    ASSERT_NE(port, 0);
    SmtpMail mail;
    configure(mail, port);
    QSignalSpy sent(&mail, &SmtpMail::SendSMTP);
    QSignalSpy failed(&mail, &SmtpMail::ErrorSMTP);

    mail.sendEmail();
    EXPECT_TRUE(mail.busy());
    ASSERT_TRUE(waitOutcome(sent, failed, 10000));
    ASSERT_EQ(failed.count(), 0) << failed.first().at(1).toString().toStdString();
    EXPECT_EQ(sent.count(), 1);
    EXPECT_FALSE(mail.busy());

    const auto messages = received();
    ASSERT_EQ(messages.size(), 1u);
    const Received& message = messages.front();
    EXPECT_EQ(message.envelope.value("mail_from").toString(), "timeclock@pelmar.example");
    EXPECT_EQ(message.envelope.value("rcpt_tos").toArray(), QJsonArray{"manager@pelmar.example"});
    EXPECT_EQ(message.envelope.value("user").toString(), kUser);
    EXPECT_EQ(message.envelope.value("mechanism").toString(), "LOGIN");

    EXPECT_EQ(headerValue(message.raw, "Subject"), "Employee Time Alert");
    EXPECT_EQ(headerValue(message.raw, "From"), "timeclock@pelmar.example");
    EXPECT_EQ(headerValue(message.raw, "To"), "manager@pelmar.example");
    EXPECT_EQ(headerValue(message.raw, "Content-Transfer-Encoding"), "quoted-printable");
    EXPECT_TRUE(onlyCrlf(message.raw));

    const QByteArray text = decodeQuotedPrintable(body(message.raw));
    EXPECT_EQ(text, kAlertText.toUtf8() + "\r\n");
    const qsizetype name = text.indexOf("Sample Employee");
    const qsizetype on = text.indexOf(" on 12/4/2026");
    ASSERT_GE(name, 0);
    EXPECT_EQ(text.mid(name + 15, on - name - 15), QByteArray("\r"));
}

TEST_F(MailTest, WrongPasswordReportsTheServersReply)
{
    const quint16 port = startServer(QStringLiteral("serve"));
    ASSERT_NE(port, 0);
    SmtpMail mail;
    configure(mail, port);
    mail.password = QStringLiteral("wrong");
    QSignalSpy sent(&mail, &SmtpMail::SendSMTP);
    QSignalSpy failed(&mail, &SmtpMail::ErrorSMTP);

    mail.sendEmail();
    ASSERT_TRUE(waitOutcome(sent, failed, 10000));
    EXPECT_EQ(sent.count(), 0);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.first().at(0).toInt(), 67); // CURLE_LOGIN_DENIED
    const QString description = failed.first().at(1).toString();
    EXPECT_TRUE(description.contains(QLatin1String("535"))) << description.toStdString();
    EXPECT_TRUE(received().empty());
}

TEST_F(MailTest, ClosedPortFailsQuickly)
{
    SmtpMail mail;
    configure(mail, closedPort());
    QSignalSpy sent(&mail, &SmtpMail::SendSMTP);
    QSignalSpy failed(&mail, &SmtpMail::ErrorSMTP);
    QElapsedTimer clock;
    clock.start();

    mail.sendEmail();
    ASSERT_TRUE(waitOutcome(sent, failed, 5000));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(sent.count(), 0);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_NE(failed.first().at(0).toInt(), 0);
    EXPECT_FALSE(failed.first().at(1).toString().isEmpty());
}

TEST_F(MailTest, ServerThatNeverGreetsTimesOut)
{
    const quint16 port = startServer(QStringLiteral("silent"));
    ASSERT_NE(port, 0);
    SmtpMail mail;
    configure(mail, port);
    mail.connectTimeout = 2;
    mail.totalTimeout = 3;
    QSignalSpy sent(&mail, &SmtpMail::SendSMTP);
    QSignalSpy failed(&mail, &SmtpMail::ErrorSMTP);
    QElapsedTimer clock;
    clock.start();

    mail.sendEmail();
    ASSERT_TRUE(waitOutcome(sent, failed, 8000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(sent.count(), 0);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_NE(failed.first().at(0).toInt(), 0);
    EXPECT_FALSE(mail.busy());
}

TEST_F(MailTest, LineBreaksAndMissingFieldsAreRefusedBeforeSending)
{
    const quint16 port = startServer(QStringLiteral("serve"));
    ASSERT_NE(port, 0);
    SmtpMail mail;
    QSignalSpy sent(&mail, &SmtpMail::SendSMTP);
    QSignalSpy failed(&mail, &SmtpMail::ErrorSMTP);

    const auto expectRefused = [&](const char* what) {
        try {
            mail.sendEmail();
            ADD_FAILURE() << what << " was accepted";
        } catch (const RunError& error) {
            EXPECT_EQ(error.number(), 5) << what;
            EXPECT_FALSE(error.description().isEmpty());
        }
        EXPECT_FALSE(mail.busy()) << what;
        configure(mail, port);
    };

    configure(mail, port);
    mail.mailFrom = QStringLiteral("timeclock@pelmar.example\r\nRCPT TO:<other@pelmar.example>");
    expectRefused("CRLF in the sender");
    mail.sendTo = QStringLiteral("manager@pelmar.example\n");
    expectRefused("LF in the recipient");
    mail.sendTo = QStringLiteral("manager@pelmar.example\rx");
    expectRefused("CR in the recipient");
    mail.server = QStringLiteral("127.0.0.1\r\n");
    expectRefused("CRLF in the server");
    mail.userName = QStringLiteral("clock\nAUTH");
    expectRefused("LF in the user name");
    mail.server.clear();
    expectRefused("no server");
    mail.mailFrom.clear();
    expectRefused("no sender");
    mail.sendTo = QStringLiteral(" ");
    expectRefused("no recipient");

    QTest::qWait(300);
    EXPECT_EQ(sent.count(), 0);
    EXPECT_EQ(failed.count(), 0);
    EXPECT_TRUE(received().empty());
}

TEST_F(MailTest, OneInstanceSendsTwiceInARow)
{
    const quint16 port = startServer(QStringLiteral("serve"));
    ASSERT_NE(port, 0);
    SmtpMail mail;
    QSignalSpy sent(&mail, &SmtpMail::SendSMTP);
    QSignalSpy failed(&mail, &SmtpMail::ErrorSMTP);

    configure(mail, port);
    mail.messageText = QStringLiteral("First alert");
    mail.sendEmail();
    ASSERT_TRUE(waitOutcome(sent, failed, 10000));

    configure(mail, port);
    mail.subject = QStringLiteral("Employee Time Alert 2");
    mail.messageText = QStringLiteral("Second alert");
    mail.sendEmail();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent.count() + failed.count() >= 2; }, 10000));

    EXPECT_EQ(failed.count(), 0);
    EXPECT_EQ(sent.count(), 2);
    const auto messages = received();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(headerValue(messages[0].raw, "Subject"), "Employee Time Alert");
    EXPECT_EQ(decodeQuotedPrintable(body(messages[0].raw)), "First alert\r\n");
    EXPECT_EQ(headerValue(messages[1].raw, "Subject"), "Employee Time Alert 2");
    EXPECT_EQ(decodeQuotedPrintable(body(messages[1].raw)), "Second alert\r\n");
}

TEST_F(MailTest, DestroyedWhileSendingReportsNothing)
{
    const quint16 port = startServer(QStringLiteral("serve"));
    ASSERT_NE(port, 0);
    int events = 0;
    {
        SmtpMail mail;
        configure(mail, port);
        QObject::connect(&mail, &SmtpMail::SendSMTP, [&] { ++events; });
        QObject::connect(&mail, &SmtpMail::ErrorSMTP, [&] { ++events; });
        mail.sendEmail();
    }
    // The detached send still completes; its event has nowhere to go.
    ASSERT_TRUE(QTest::qWaitFor([&] { return received().size() == 1; }, 10000));
    QTest::qWait(200);
    EXPECT_EQ(events, 0);
}

// Message layout, no server needed.

TEST_F(MailTest, MessageHasTheStandardHeaders)
{
    SmtpMail mail;
    mail.mailFrom = QStringLiteral("Time Clock <timeclock@pelmar.example>");
    mail.sendTo = QStringLiteral("manager@pelmar.example");
    mail.subject = QStringLiteral("Employee Time Alert");
    mail.messageText = QStringLiteral("x");
    const QByteArray message = mail.buildMessage();

    EXPECT_TRUE(onlyCrlf(message));
    EXPECT_TRUE(message.endsWith("\r\n"));
    const QRegularExpression date(QStringLiteral("^(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \\d{1,2} "
                                                 "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \\d{4} "
                                                 "\\d\\d:\\d\\d:\\d\\d [+-]\\d{4}$"));
    EXPECT_TRUE(date.match(QString::fromLatin1(headerValue(message, "Date"))).hasMatch())
        << headerValue(message, "Date").toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^<[^@<>]+@pelmar\\.example>$"))
                    .match(QString::fromLatin1(headerValue(message, "Message-ID")))
                    .hasMatch())
        << headerValue(message, "Message-ID").toStdString();
    EXPECT_NE(headerValue(mail.buildMessage(), "Message-ID"), headerValue(message, "Message-ID"));
    EXPECT_EQ(headerValue(message, "From"), "Time Clock <timeclock@pelmar.example>");
    EXPECT_EQ(headerValue(message, "MIME-Version"), "1.0");
    EXPECT_EQ(headerValue(message, "Content-Type"), "text/plain; charset=UTF-8");
    EXPECT_EQ(body(message), "x\r\n");
}

TEST_F(MailTest, NonAsciiSubjectIsEncodedAndLineBreaksCannotAddHeaders)
{
    SmtpMail mail;
    mail.mailFrom = QStringLiteral("timeclock@pelmar.example");
    mail.sendTo = QStringLiteral("manager@pelmar.example");
    mail.subject = QStringLiteral("Heures inhabituelles — José Ñúñez");
    QByteArray subject = headerValue(mail.buildMessage(), "Subject");
    ASSERT_TRUE(subject.startsWith("=?UTF-8?B?")) << subject.toStdString();
    EXPECT_TRUE(subject.endsWith("?="));
    EXPECT_EQ(QByteArray::fromBase64(subject.mid(10).chopped(2)), mail.subject.toUtf8());

    mail.subject = QStringLiteral("Alert\r\nBcc: someone@else.example");
    const QByteArray message = mail.buildMessage();
    EXPECT_TRUE(onlyCrlf(message));
    EXPECT_FALSE(message.contains("\r\nBcc:"));
}

TEST_F(MailTest, BodyIsQuotedPrintable)
{
    SmtpMail mail;
    mail.mailFrom = QStringLiteral("timeclock@pelmar.example");
    mail.sendTo = QStringLiteral("manager@pelmar.example");
    mail.messageText = QStringLiteral("a=b café\nline two\r\n.dot ") + QString(200, QLatin1Char('y')) +
                       QStringLiteral(" end \t");
    const QByteArray encoded = body(mail.buildMessage());

    EXPECT_TRUE(onlyCrlf(encoded));
    for (const QByteArray& line : encoded.split('\n')) {
        EXPECT_LE(line.size(), 77) << line.toStdString(); // 76 plus the CR
        EXPECT_FALSE(line.endsWith(" \r") || line.endsWith("\t\r")) << line.toStdString();
    }
    EXPECT_TRUE(encoded.startsWith("a=3Db caf=C3=A9=0Aline two=0D=0A.dot "));
    EXPECT_TRUE(encoded.endsWith(" end =09\r\n"));
    EXPECT_EQ(decodeQuotedPrintable(encoded), mail.messageText.toUtf8() + "\r\n");
}

} // namespace
