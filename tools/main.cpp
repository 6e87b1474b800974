#include "platform/clock.h"
#include "tools/pelmardb.h"

#include <QCoreApplication>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const pelmar::SystemClock clock;
    return pelmar::runPelmarDb(app.arguments().mid(1), out, err, clock, ::isatty(STDERR_FILENO) == 1,
                               STDIN_FILENO);
}
