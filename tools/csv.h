#pragma once

#include <QString>

namespace pelmar {

// A CSV field as spreadsheets read it back: quoted, with its quotes doubled,
// when it holds a comma, a quote or a line break.
inline QString csvQuoted(QString text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return text;
}

} // namespace pelmar
