#include "bench/memory.h"

#include "bench/options.h"
#include "bench/station.h"
#include "bench/timing.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace pelmar::bench {

namespace {

// kB of a field of /proc/self/status (VmHWM, VmRSS).
long statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int childStartUp(const QString& dbFolder)
{
    QTemporaryDir app;
    writeIni(app.path(), dbFolder);
    Station s(app.path(), FirstToday + dates::timeSerial(9, 0, 0));
    s.window->start();
    s.window->show();
    QApplication::processEvents();
    s.expectMessages(0, "start-up");
    std::printf("%ld %ld\n", statusKb("VmHWM"), statusKb("VmRSS"));
    return 0;
}

Memory startUpMemory(const QString& dbFolder)
{
    // The median of three fresh processes.
    std::vector<double> peaks;
    std::vector<double> resident;
    for (int i = 0; i < 3; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-startup"), dbFolder});
        if (!child.waitForFinished(120000) || child.exitCode() != 0)
            throw std::runtime_error("the start-up process failed: " +
                                     child.readAllStandardError().toStdString());
        const QList<QByteArray> kb = child.readAllStandardOutput().trimmed().split(' ');
        peaks.push_back(kb.value(0).toDouble() / 1024);
        resident.push_back(kb.value(1).toDouble() / 1024);
    }
    return {median(peaks), median(resident)};
}

} // namespace pelmar::bench
