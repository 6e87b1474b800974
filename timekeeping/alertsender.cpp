#include "timekeeping/alertsender.h"

#include "platform/clock.h"
#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "store/schema.h"
#include "timekeeping/alert.h"
#include "timekeeping/alertoutbox.h"
#include "workplace/workplace.h"

#include <QCoreApplication>

namespace pelmar {

namespace {

QString switchedOff()
{
    return QCoreApplication::translate("pelmar::alert", "No mail server is set: alerts are switched off.");
}

} // namespace

AlertSender::AlertSender(Workplace& workplace, const Clock& clock, QObject* parent)
    : QObject(parent), m_workplace(workplace), m_clock(clock)
{
    if (SmtpMail* mail = m_workplace.mail()) {
        connect(mail, &SmtpMail::sent, this, [this] { finish(true, 0, QString()); });
        connect(mail, &SmtpMail::failed, this,
                [this](int number, const QString& description) { finish(false, number, description); });
    }
}

void AlertSender::sendNow(qint64 outboxId)
{
    m_queue.push_back({outboxId, QString(), true});
    next();
}

void AlertSender::sendUnqueued(const QString& fullName, const Value& shiftDate)
{
    m_queue.push_back({std::nullopt, outbox::message(fullName, shiftDate), true});
    next();
}

void AlertSender::retryDue()
{
    if (m_current || !m_queue.empty() || m_workplace.databasePath().isEmpty())
        return;
    try {
        const auto db = m_workplace.open();
        if (!outbox::available(*db))
            return;
        for (const qint64 id : outbox::due(*db, m_clock.now()))
            m_queue.push_back({id, QString(), false});
    } catch (const RunError&) {
        return; // the database is out of reach: the next retry asks again
    }
    next();
}

void AlertSender::next()
{
    while (!m_current && !m_queue.empty()) {
        const Job job = m_queue.front();
        m_queue.pop_front();
        try {
            start(job);
        } catch (const RunError& e) {
            if (job.outboxId) {
                try {
                    outbox::markFailed(*m_workplace.open(), *job.outboxId, m_clock.now(), e.description());
                } catch (const RunError&) {
                    // Left claimed: the claim runs out and the alert is tried again.
                }
            }
            if (job.report)
                emit refused(e.number(), e.description());
        }
    }
}

void AlertSender::start(const Job& job)
{
    SmtpMail* mail = m_workplace.mail();
    if (!mail)
        throw RunError::of(err::ObjectNotSet);
    const auto db = m_workplace.open();
    QString text = job.message;
    if (job.outboxId) {
        const std::optional<outbox::Claimed> claimed = outbox::claim(*db, *job.outboxId, m_clock.now());
        if (!claimed)
            return; // sent already, or being sent by another terminal
        text = claimed->message;
    }
    // The settings as they stand now, not as the window read them.
    const auto settings = db->openRecordset(names::SettingsTable);
    const Value server = settings->field(cols::SmtpServer);
    if (server.isText() && server.toText().isEmpty()) {
        if (job.outboxId)
            outbox::markFailed(*db, *job.outboxId, m_clock.now(), switchedOff(), false);
        return;
    }
    const MailServer through{.address = server.toText(),
                             .authenticate = true,
                             .userName = settings->field(cols::SmtpUserName).toText(),
                             .password = settings->field(cols::SmtpPassword).toText()};
    const MailMessage message = alert::mail(settings->field(cols::SmtpEmail).toText(), text);
    m_current = job;
    try {
        mail->send(through, message);
    } catch (const RunError&) {
        m_current.reset();
        throw;
    }
}

void AlertSender::finish(bool ok, int number, const QString& description)
{
    if (!m_current)
        return;
    const Job job = *m_current;
    m_current.reset();
    if (job.outboxId) {
        try {
            const auto db = m_workplace.open();
            if (ok)
                outbox::markSent(*db, *job.outboxId, m_clock.now());
            else
                outbox::markFailed(*db, *job.outboxId, m_clock.now(),
                                   QStringLiteral("Error %1: %2").arg(QString::number(number), description));
        } catch (const RunError&) {
            // Left claimed: the claim runs out and the alert is tried again.
        }
    }
    if (job.report) {
        if (ok)
            emit delivered();
        else
            emit failed(number, description);
    }
    next();
}

} // namespace pelmar
