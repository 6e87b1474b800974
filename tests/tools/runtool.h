#pragma once

#include "tools/pelmardb.h"

#include <QString>
#include <QTextStream>

namespace pelmar::test {

struct Result
{
    int status;
    QString out;
    QString err;
};

// pelmar-db in the test's own process, its output and errors kept.
inline Result runTool(const QStringList& args, const Clock& clock, bool progress = false)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = runPelmarDb(args, o, e, clock, progress);
    o.flush();
    e.flush();
    return {status, out, err};
}

} // namespace pelmar::test
