#pragma once

#include "platform/value.h"

#include <QString>

namespace pelmar {

class Workplace;

// The unusual-time e-mail to the administrator, through the mail component
// and the settings' current row.
namespace alert {

// Sets every property of the mail component afresh from the settings and
// starts sending. Returns false, doing nothing, when the server setting is
// the empty text (alerts switched off). Throws RunError for a setting that
// can't become text, a missing mail component or a refused property; the
// outcome of the sending arrives through the component's two events.
bool send(Workplace& workplace, const QString& empname, const Value& udate);

// The texts of the two events.
QString sentMessage();
QString errorMessage(int number, const QString& description);

} // namespace alert
} // namespace pelmar
