#include "platform/mail/smtpmail.h"

#include "platform/mail/mailcheck.h"
#include "platform/mail/mailtransfer.h"

#include <QMetaObject>
#include <QPointer>

#include <curl/curl.h>

#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace pelmar {

MailTransport MailTransport::fromEnvironment()
{
    MailTransport transport;
    transport.caFile = qEnvironmentVariable(SmtpCaFileVariable);
    return transport;
}

struct SmtpMail::Link
{
    std::mutex mutex;
    SmtpMail* target = nullptr; // null once the sender is gone
};

SmtpMail::SmtpMail(QObject* parent)
    : QObject(parent), m_transport(MailTransport::fromEnvironment()), m_link(std::make_shared<Link>())
{
    m_link->target = this;
}

SmtpMail::~SmtpMail()
{
    // A send still running finishes on its own and reports to no one.
    std::lock_guard lock(m_link->mutex);
    m_link->target = nullptr;
}

bool SmtpMail::busy() const
{
    return m_pending > 0;
}

void SmtpMail::send(const MailServer& server, const MailMessage& message)
{
    start(planTransfer(server, message, m_transport));
}

void SmtpMail::start(SmtpTransfer transfer)
{
    // The outcome goes to the sender's thread. The link's lock keeps the
    // sender alive while the event is posted; an event still queued when
    // it is destroyed is discarded with it.
    std::shared_ptr<Link> link = m_link;
    const QPointer<SmtpMail> guard(this);
    auto report = [link, guard](const MailResult& result) {
        std::lock_guard lock(link->mutex);
        if (!link->target)
            return;
        QMetaObject::invokeMethod(
            link->target,
            [guard, result] {
                if (guard)
                    guard->finish(result);
            },
            Qt::QueuedConnection);
    };

    ++m_pending;
    try {
        std::thread([transfer = std::move(transfer), report] { report(perform(transfer)); }).detach();
    } catch (const std::system_error& error) {
        report({static_cast<int>(CURLE_FAILED_INIT),
                QStringLiteral("%1: cannot start the mail thread (%2)")
                    .arg(QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT)),
                         QString::fromLocal8Bit(error.what()))});
    }
}

void SmtpMail::finish(const MailResult& result)
{
    --m_pending;
    if (result.sent())
        emit sent();
    else
        emit failed(result.number, result.description);
}

} // namespace pelmar
