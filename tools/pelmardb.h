#pragma once

#include <QStringList>
#include <QTextStream>

namespace pelmar {

class Clock;

// The admin tool: creates and keeps a database for sites without the suite's
// other programs. A database is a FOLDER holding Pelmar.mdb or a PostgreSQL
// connection URI. Returns the process exit status; bad input is reported on
// err with status 1 and nothing written. With progress (err is a terminal)
// a copy shows how far it got on err. Passwords given as "-" or left out
// are read from input (standard input), as readSecret tells.
int runPelmarDb(const QStringList& args, QTextStream& out, QTextStream& err, const Clock& clock,
                bool progress = false, int input = 0);

} // namespace pelmar
