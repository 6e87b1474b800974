#pragma once

#include <QString>

namespace pelmar {

// One e-mail, as a person would write it. from: "Name <addr>" or a bare
// address; to: one or more of those, separated by commas or semicolons.
struct MailMessage
{
    QString from;
    QString to;
    QString subject;
    QString text;
};

// The mail server a message goes through, as the settings name it.
//
// address: "host", "host:port", "smtp://host[:port]" or "smtps://host[:port]";
// port 25 unless given, 465 for smtps://, which is TLS from the first byte.
// Otherwise STARTTLS is used whenever the server offers it, as on port 587.
// authenticate logs in with the user name and password (AUTH LOGIN or PLAIN),
// only over TLS or to a server on this computer: a server elsewhere that
// does not start TLS gets no password, and the send fails.
struct MailServer
{
    QString address;
    bool authenticate = false;
    QString userName;
    QString password;
};

// How a sender reaches every server, the same for all its sends. Every
// member has its default, so a designated initializer may name only some.
struct MailTransport
{
    // Seconds; the defaults suit a real server, tests shorten them.
    long connectTimeout = 15;
    long totalTimeout = 60;
    // A PEM file of CAs trusted besides the system's, for a company's own CA.
    // Certificates are always verified, against the system's trust store and
    // this file.
    QString caFile{};
    // An address to connect to instead of what the server's name resolves
    // to; the certificate is still checked for the name, and the password
    // goes without TLS only when both are this computer. The program leaves
    // it empty; tests reach a named server on loopback with it.
    QString connectAddress{};

    // The defaults, with caFile from SmtpCaFileVariable.
    static MailTransport fromEnvironment();
};

// The environment variable that names MailTransport::caFile.
inline constexpr const char* SmtpCaFileVariable = "PELMAR_SMTP_CA_FILE";

// The outcome of one send.
struct MailResult
{
    // libcurl's result code, 0 when the server took the message.
    int number = 0;
    // Its text and the server's last reply where there is one.
    QString description;

    bool sent() const { return number == 0; }
};

} // namespace pelmar
