#pragma once

#include "platform/mail/mailvalues.h"

#include <QString>

namespace pelmar {

// The unusual-time e-mail (sent by AlertSender) and the texts of its outcome.
namespace alert {

// The alert's mail: from and to the administrator's address, under the
// alert's subject.
MailMessage mail(const QString& administrator, const QString& text);

// The texts shown for sent() and failed().
QString sentMessage();
QString errorMessage(int number, const QString& description);

} // namespace alert
} // namespace pelmar
