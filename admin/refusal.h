#pragma once

#include <QString>

namespace pelmar::admin {

// An administrative action refused for bad input or a record in the wrong
// state: the message says why, and nothing was written. pelmar-db prints it
// and exits with status 1; the window shows it in the dialog that asked.
struct Refusal
{
    QString message;
};

} // namespace pelmar::admin
