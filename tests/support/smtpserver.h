#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

namespace pelmar::test {

// tests/support/smtpserver.py, run for one test: it requires a login as
// User with Password and keeps every message it accepts.
class SmtpServer
{
public:
    static constexpr const char* User = "clock";
    static constexpr const char* Password = "s3cret";
    enum class Tls
    {
        None,
        StartTls,
        Implicit
    };
    // For 127.0.0.1, ::1, localhost and mail.pelmar.test (a name never
    // resolved; tests reach it through SmtpMail::connectAddress). Trusted,
    // Expired and WrongHost (for another name) are signed by the test CA;
    // SelfSigned is not.
    enum class Certificate
    {
        Trusted,
        Expired,
        WrongHost,
        SelfSigned
    };
    struct Setup
    {
        Tls tls = Tls::None;
        Certificate certificate = Certificate::Trusted;
        QString mechanism = {}; // the only one of LOGIN and PLAIN offered; empty for both
    };

    struct Message
    {
        QByteArray raw;       // the DATA bytes as received
        QJsonObject envelope; // mail_from, rcpt_tos, user, mechanism, tls
        QByteArray header(const QByteArray& name) const;
        QByteArray body() const { return raw.mid(raw.indexOf("\r\n\r\n") + 4); }
        QByteArray text() const; // the body with quoted-printable undone
    };

    ~SmtpServer();

    // Start the server and return its port, 0 when it did not start.
    quint16 serve();
    quint16 serve(const Setup& setup);
    // One that accepts connections and never says a word.
    quint16 silent();

    std::vector<Message> received() const;
    // AUTH commands that reached the server, as "MECHANISM tls|clear".
    QStringList logins() const;

    // The test CA's certificate file, made with the server certificates
    // once per test program; empty when they could not be made.
    static QString caFile();

private:
    quint16 start(const QStringList& arguments);

    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace pelmar::test
