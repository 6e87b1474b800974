#pragma once

#include "platform/mail/mailvalues.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pelmar {

// The message as it goes on the wire: Date, Message-ID, From, To, Subject
// and MIME headers, non-ASCII header text as RFC 2047 encoded words, the
// text quoted-printable; CRLF lines, no bare CR or LF.
QByteArray composeMessage(const MailMessage& message);

// The items of an address list, split at commas and semicolons (a comma
// inside a quoted name would split too, which the program's addresses never
// hold), blanks trimmed, empty items left out.
QStringList addressItems(const QString& list);

// The address alone, from "Name <addr>" or a bare address.
QString bareAddress(const QString& item);

} // namespace pelmar
