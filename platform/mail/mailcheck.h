#pragma once

#include "platform/mail/mailtransfer.h"
#include "platform/mail/mailvalues.h"

#include <QString>

namespace pelmar {

// The transaction that sends message through server, checked before
// anything goes out: throws RunError (5) for an empty or malformed server,
// a CR or LF inside an address, the user name or the connect address, no
// sender or no recipient. Decides where the password may go (TLS rules in
// MailServer).
SmtpTransfer planTransfer(const MailServer& server, const MailMessage& message,
                          const MailTransport& transport);

// Whether a user name and password may be sent to host (a name or an
// address, IPv6 bracketed or bare): always over TLS; without it only to this
// computer (localhost, 127.0.0.0/8, ::1).
bool credentialsMayGo(const QString& host, bool tls);

} // namespace pelmar
