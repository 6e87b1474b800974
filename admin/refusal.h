#pragma once

#include "platform/runerror.h"

namespace pelmar::admin {

// An administrative action refused for bad input or a record in the wrong
// state: a RunError numbered err::Refused whose description says why, and
// nothing was written. Only a name to throw it by: it is caught as a
// RunError, and refused() tells it apart, so a copy loses nothing.
// pelmar-db prints it and exits with status 1; the window shows it in the
// dialog that asked.
struct Refusal : RunError
{
    explicit Refusal(QString why) : RunError(err::Refused, std::move(why)) {}
};

} // namespace pelmar::admin
