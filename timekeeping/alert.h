#pragma once

#include <QString>

namespace pelmar {

// The texts of the unusual-time e-mail's outcome (sent by AlertSender).
namespace alert {

// The texts shown for sent() and failed().
QString sentMessage();
QString errorMessage(int number, const QString& description);

} // namespace alert
} // namespace pelmar
