#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace pelmar {

// The mail sender: properties set one by one, sendEmail(), and the outcome
// as sent() or failed(). Sending runs off the caller's thread; the signals
// are delivered on the thread the sender lives on (the window's).
//
// server: "host", "host:port", "smtp://host[:port]" or "smtps://host[:port]";
// port 25 unless given, 465 for smtps://, which is TLS from the first byte.
// Otherwise STARTTLS is used whenever the server offers it, as on port 587.
// Certificates are verified against the system's trust store and caFile.
// authenticate logs in with the user name and password (AUTH LOGIN or PLAIN),
// only over TLS or to a server on this computer: a server elsewhere that
// does not start TLS gets no password, and the send fails.
class SmtpMail : public QObject
{
    Q_OBJECT
public:
    explicit SmtpMail(QObject* parent = nullptr);
    ~SmtpMail() override;

    QString server;
    bool authenticate = false;
    QString userName;
    QString password;
    QString mailFrom;
    QString sendTo;
    QString subject;
    QString messageText;

    // Seconds; the defaults suit a real server, tests shorten them.
    long connectTimeout = 15;
    long totalTimeout = 60;

    // A PEM file of CAs trusted besides the system's, for a company's own
    // CA; taken from PELMAR_SMTP_CA_FILE when the sender is made.
    QString caFile;
    // An address to connect to instead of what the server's name resolves
    // to; the certificate is still checked for the name, and the password
    // goes without TLS only when both are this computer. The program leaves
    // it empty; tests reach a named server on loopback with it.
    QString connectAddress;

    // Starts sending a copy of the current properties. Throws RunError at
    // once for what can be refused before anything is sent (an empty server,
    // a CR or LF inside an address). The outcome arrives as sent() or
    // failed().
    void sendEmail();

    // The message as it goes on the wire (headers and quoted-printable body,
    // CRLF lines); public for tests.
    QByteArray buildMessage() const;

    // True while a send is in progress, until its outcome has been delivered.
    bool busy() const;

signals:
    void sent();
    // number: libcurl's result code; description: its text and the server's
    // last reply where there is one.
    void failed(int number, const QString& description);

private:
    // What the sending threads share with the sender; outlives it while
    // a send is still running.
    struct Link;

    void finish(bool ok, int number, const QString& description);

    std::shared_ptr<Link> m_link;
    int m_pending = 0;
};

// The environment variable that names SmtpMail::caFile.
inline constexpr const char* SmtpCaFileVariable = "PELMAR_SMTP_CA_FILE";

// Whether a user name and password may be sent to host (a name or an
// address, IPv6 bracketed or bare): always over TLS; without it only to this
// computer (localhost, 127.0.0.0/8, ::1).
bool credentialsMayGo(const QString& host, bool tls);

} // namespace pelmar
