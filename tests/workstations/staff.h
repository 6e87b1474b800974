#pragma once

#include <QString>

namespace pelmar::test {

// The employees of the workstation tests: number i is called stationName(i)
// and logs in with stationPassword(i).
inline QString stationName(int id)
{
    return QStringLiteral("Station Worker %1").arg(id, 3, 10, QLatin1Char('0'));
}

inline QString stationPassword(int id)
{
    return QStringLiteral("pw%1").arg(id);
}

} // namespace pelmar::test
