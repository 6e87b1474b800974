#pragma once

#include "bench/options.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <vector>

namespace pelmar::sql {
class Session;
}

namespace pelmar::bench {

class Bare;
class Station;

// The slowest of a database's timed actions against its bare work.
struct Worst
{
    double ratio = 0; // the program's time over the bare work's
    QString action;
    bool slow = false; // an administrator's read took longer than its time
};

// The window's actions and the administrator's reads on one database, each
// timed against the bare work that reads and writes the same rows: a
// terminal starts up, logs in, clocks in and out, opens the time sheet and
// asks where someone is, once a run.
class Bench
{
public:
    // location: the database's folder or a server's URI, as the
    // configuration file gives it.
    Bench(const Options& options, QString location, Bare& bare);

    void run();

    // Prints each action's median times; database: what the figures were
    // taken on, in a line.
    Worst report(const QString& database) const;

private:
    struct Action
    {
        const char* name;
        std::vector<double> program;
        std::vector<double> bare;
    };
    struct Shift;

    Action& action(const char* name);
    void time(const char* name, const std::function<void()>& program, const std::function<void()>& bareWork,
              bool bareFirst);
    void runOnce(const QString& programFolder, int id, int run, bool bareFirst);
    // Returns the bare work's shift, to remove when the run ends.
    qint64 clockInAndOut(Station& s, int id, const Shift& shift, bool bareFirst);
    void readTimeSheet(Station& s, int id, const Shift& shift, bool bareFirst);
    void runAdmin(const std::shared_ptr<sql::Session>& held, bool bareFirst);

    const Options& m_options;
    QString m_location;
    Bare& m_bare;
    std::vector<Action> m_actions;
};

} // namespace pelmar::bench
