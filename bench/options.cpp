#include "bench/options.h"

#include "store/session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pelmar::bench {

namespace {

const char* const Usage =
    R"(usage: pelmar-bench [--employees N] [--former N] [--years N] [--out FOLDER] [--runs N]
                    [--server URI] [--burst [--outage SECONDS]] [--check]

Generates a company's database through the program's own store (500 current
and 50 former employees with ten years of shifts and absences unless told
otherwise) and times the window's actions against the bare SQLite work on the
same file. A FOLDER that already holds Pelmar.mdb is used as it is. --check
makes the exit status 1 when a target is missed.

--server URI times the same actions on a PostgreSQL database against bare
libpq work, after copying the file there as pelmar-db copy does (a database
that already holds records is used as it is), and runs the burst on both.
--burst: 8 terminal processes clock every current employee in and out at
once, and the Time table is checked for lost and duplicated punches.
--outage SECONDS: the database (the file's folder, or the server) goes away
for that long in the middle of the burst; each terminal keeps its punches in
its journal and writes them back, and the time from the database's return to
the last empty journal is printed (target under 10 s).
)";

// Shifts start ten seconds apart from 6 am and last eight hours: all end today.
constexpr int MaxRuns = 3600;

[[noreturn]] void usage(const QString& message)
{
    std::fprintf(stderr, "%s\n%s", qPrintable(message), Usage);
    std::exit(2);
}

} // namespace

Options parse(const QStringList& args)
{
    Options o;
    auto number = [&](int& i) {
        if (i + 1 >= args.size())
            usage(QStringLiteral("%1 needs a value").arg(args[i]));
        bool ok = false;
        const int v = args[++i].toInt(&ok);
        if (!ok || v < 0)
            usage(QStringLiteral("'%1' is not a count").arg(args[i]));
        return v;
    };
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--employees"))
            o.company.employees = number(i);
        else if (a == QLatin1String("--former"))
            o.company.former = number(i);
        else if (a == QLatin1String("--years"))
            o.company.years = number(i);
        else if (a == QLatin1String("--runs"))
            o.runs = std::clamp(number(i), 1, MaxRuns);
        else if (a == QLatin1String("--check"))
            o.check = true;
        else if (a == QLatin1String("--out") && i + 1 < args.size())
            o.out = args[++i];
        else if (a == QLatin1String("--server") && i + 1 < args.size())
            o.server = args[++i];
        else if (a == QLatin1String("--burst"))
            o.burst = true;
        else if (a == QLatin1String("--outage") && i + 1 < args.size())
            o.outage = args[++i].toDouble();
        else if (a == QLatin1String("--child-startup") && i + 1 < args.size())
            o.childFolder = args[++i];
        else if (a == QLatin1String("--child-burst") && i + 2 < args.size()) {
            o.childBurst = args[++i];
            o.childBurstFirst = number(i);
        } else
            usage(QStringLiteral("unknown argument '%1'").arg(a));
    }
    if (o.company.employees < 1 || o.company.years < 1)
        usage(QStringLiteral("at least one employee and one year"));
    if (!o.server.isEmpty() && !sql::isServerLocation(o.server))
        usage(QStringLiteral("'%1' is not a postgresql:// URI").arg(o.server));
    return o;
}

} // namespace pelmar::bench
