#pragma once

#include "platform/value.h"

#include <QObject>
#include <deque>
#include <optional>

namespace pelmar {

class Clock;
class Workplace;

// Sends the alerts of a terminal, one at a time, through the workplace's
// mail sender, with the mail settings as they stand at each send. An alert
// the window has just caused is reported (delivered() or failed()); a retry
// of one left pending, by this terminal or another, is sent silently, as
// its employee has gone.
class AlertSender : public QObject
{
    Q_OBJECT
public:
    AlertSender(Workplace& workplace, const Clock& clock, QObject* parent = nullptr);

    // The alert of the outbox row just committed, reported.
    void sendNow(qint64 outboxId);
    // An alert of a database without an outbox: sent once, reported.
    void sendUnqueued(const QString& fullName, const Value& shiftDate);
    // Every pending alert that is due, silently. Nothing while a send runs.
    void retryDue();

signals:
    // The outcome of a reported alert: sent; failed at the mail server
    // (libcurl's number); or refused before anything was sent (a numbered
    // error of the program's).
    void delivered();
    void failed(int number, const QString& description);
    void refused(int number, const QString& description);

private:
    struct Job
    {
        std::optional<qint64> outboxId;
        QString message; // for an unqueued alert
        bool report = false;
    };

    void next();
    void start(const Job& job);
    void finish(bool ok, int number, const QString& description);

    Workplace& m_workplace;
    const Clock& m_clock;
    std::deque<Job> m_queue;
    std::optional<Job> m_current;
};

} // namespace pelmar
