#include "platform/clock.h"

#include "platform/datetime.h"

#include <QDateTime>

namespace pelmar {

double SystemClock::now() const
{
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    const QTime tm = t.time();
    return dates::serial(d.year(), d.month(), d.day()) +
           dates::timeSerial(tm.hour(), tm.minute(), tm.second());
}

} // namespace pelmar
