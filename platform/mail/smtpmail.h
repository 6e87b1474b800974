#pragma once

#include "platform/mail/mailvalues.h"

#include <QObject>
#include <memory>

namespace pelmar {

struct SmtpTransfer;

// The mail sender: send() takes a server and a message and sends them off
// the caller's thread; the outcome arrives as sent() or failed(), delivered
// on the thread the sender lives on (the window's). How it reaches servers
// (timeouts, trusted CAs) is its transport, the same for every send.
class SmtpMail : public QObject
{
    Q_OBJECT
public:
    // With MailTransport::fromEnvironment().
    explicit SmtpMail(QObject* parent = nullptr);
    ~SmtpMail() override;

    const MailTransport& transport() const { return m_transport; }
    void setTransport(const MailTransport& transport) { m_transport = transport; }

    // Starts sending message through server. Throws RunError at once for
    // what can be refused before anything is sent (an empty server, a CR or
    // LF inside an address); otherwise the outcome arrives as sent() or
    // failed().
    void send(const MailServer& server, const MailMessage& message);

    // True while a send is in progress, until its outcome has been delivered.
    bool busy() const;

signals:
    void sent();
    // number and description: MailResult's.
    void failed(int number, const QString& description);

private:
    // What the sending threads share with the sender; outlives it while
    // a send is still running.
    struct Link;

    void start(SmtpTransfer transfer);
    void finish(const MailResult& result);

    MailTransport m_transport;
    std::shared_ptr<Link> m_link;
    int m_pending = 0;
};

} // namespace pelmar
