#pragma once

#include <QJsonObject>
#include <QProcess>
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

    struct Message
    {
        QByteArray raw;       // the DATA bytes as received
        QJsonObject envelope; // mail_from, rcpt_tos, user, mechanism
        QByteArray header(const QByteArray& name) const;
        QByteArray body() const { return raw.mid(raw.indexOf("\r\n\r\n") + 4); }
        QByteArray text() const; // the body with quoted-printable undone
    };

    ~SmtpServer();

    // Start the server and return its port, 0 when it did not start.
    quint16 serve();
    // One that accepts connections and never says a word.
    quint16 silent();

    std::vector<Message> received() const;

private:
    quint16 start(const QStringList& arguments);

    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace pelmar::test
