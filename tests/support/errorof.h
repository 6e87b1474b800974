#pragma once

#include "platform/runerror.h"

#include <functional>

namespace pelmar::test {

// The number of the RunError the action throws; 0 when it throws none.
inline int errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RunError& error) {
        return error.number();
    }
    return 0;
}

} // namespace pelmar::test
