#pragma once

#include "platform/mail/mailvalues.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace pelmar {

// One SMTP transaction, checked and composed (planTransfer), as libcurl
// takes it.
struct SmtpTransfer
{
    std::string url; // smtp[s]://host:port
    QString host;    // as in the URL, named in a refusal
    bool login = false;
    // smtps://: TLS from the first byte.
    bool implicitTls = false;
    // Set when the password may only go over TLS: curl then starts TLS or
    // stops before logging in.
    bool tlsRequired = false;
    std::string connectTo; // curl's CONNECT_TO entry, or empty
    QString caFile;
    std::string userName;
    std::string password;
    std::string from;
    std::vector<std::string> recipients;
    QByteArray message;
    long connectTimeout = 0;
    long totalTimeout = 0;
};

// Sends it over libcurl, blocking until the server has taken the message or
// refused it, or a timeout has run out. Runs on any thread; never throws.
MailResult perform(const SmtpTransfer& transfer);

} // namespace pelmar
