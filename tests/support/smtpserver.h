#pragma once

#include <QJsonObject>
#include <QProcess>
#include <vector>

namespace pelmar::test {

// tests/support/smtpserver.py, run for one test: it requires a login as
// User with Password and reports every message it accepts.
class SmtpServer
{
public:
    static constexpr const char* User = "clock";
    static constexpr const char* Password = "s3cret";
    struct Setup
    {
        const char* tls = nullptr; // "starttls" or "implicit"
        // For 127.0.0.1, ::1, localhost and mail.pelmar.test (reached through
        // MailTransport::connectAddress, never resolved): "trusted", signed by
        // caFile(), or "selfsigned".
        const char* certificate = "trusted";
    };

    struct Message
    {
        QByteArray raw;       // the DATA bytes as received
        QJsonObject envelope; // mail_from, rcpt_tos, user, tls, headers, text
        QByteArray header(const QByteArray& name) const
        {
            return envelope.value("headers").toObject().value(QString::fromLatin1(name)).toString().toUtf8();
        }
        QByteArray body() const { return raw.mid(raw.indexOf("\r\n\r\n") + 4); }
        // Quoted-printable undone.
        QByteArray text() const { return envelope.value("text").toString().toUtf8(); }
    };

    ~SmtpServer();

    quint16 serve(const Setup& setup); // the port; 0 when it did not start
    quint16 serve() { return serve(Setup{}); }

    std::vector<Message> received();
    int logins(); // AUTH commands that reached the server

    // The test CA, made once per program with the server's; empty if that failed.
    static QString caFile();

private:
    void readReports();

    QProcess m_process;
    std::vector<Message> m_received;
    int m_logins = 0;
};

} // namespace pelmar::test
