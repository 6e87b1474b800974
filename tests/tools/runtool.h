#pragma once

#include "tools/pelmardb.h"

#include <QFile>
#include <QString>
#include <QTextStream>
#include <gtest/gtest.h>

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
    // No terminal to ask for a password that was left out.
    QFile nothing(QStringLiteral("/dev/null"));
    EXPECT_TRUE(nothing.open(QIODevice::ReadOnly));
    const int status = runPelmarDb(args, o, e, clock, progress, nothing.handle());
    o.flush();
    e.flush();
    return {status, out, err};
}

} // namespace pelmar::test
