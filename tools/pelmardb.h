#pragma once

#include <QStringList>
#include <QTextStream>

namespace pelmar {

class Clock;

// The admin tool: creates and keeps a database for sites without the suite's
// other programs. Returns the process exit status; bad input is reported on
// err with status 1 and nothing written.
int runPelmarDb(const QStringList& args, QTextStream& out, QTextStream& err, const Clock& clock);

} // namespace pelmar
