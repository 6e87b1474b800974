#pragma once

#include "platform/value.h"

#include <QString>

namespace pelmar {

class Workplace;

// The unusual-time e-mail to the administrator, through the mail sender and
// the settings' current row.
namespace alert {

// Sets every property of the mail sender afresh from the settings and
// starts sending. Returns false, doing nothing, when the server setting is
// the empty text (alerts switched off). Throws RunError for a setting that
// can't become text, a missing mail sender or a refused property; the
// outcome arrives as the sender's sent() or failed().
bool send(Workplace& workplace, const QString& fullName, const Value& shiftDate);

// The texts shown for sent() and failed().
QString sentMessage();
QString errorMessage(int number, const QString& description);

} // namespace alert
} // namespace pelmar
