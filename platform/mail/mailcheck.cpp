#include "platform/mail/mailcheck.h"

#include "platform/mail/mailcompose.h"
#include "platform/runerror.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>

namespace pelmar {

namespace {

RunError invalid(const QString& detail)
{
    return RunError(err::InvalidArgument,
                    QStringLiteral("Invalid procedure call or argument: %1").arg(detail));
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

struct ServerAddress
{
    std::string url;
    QString host;     // as in the URL, an IPv6 literal bracketed
    bool tls = false; // TLS from the first byte
};

// "host", "host:port", "smtp://host[:port]", "smtps://host[:port]", IPv6
// literals bracketed or bare.
ServerAddress serverAddress(const QString& server)
{
    QString rest = server.trimmed();
    QString scheme = QStringLiteral("smtp");
    const qsizetype sep = rest.indexOf(QLatin1String("://"));
    if (sep >= 0) {
        scheme = rest.left(sep).toLower();
        if (scheme != QLatin1String("smtp") && scheme != QLatin1String("smtps"))
            throw invalid(QStringLiteral("unsupported mail server scheme '%1'").arg(scheme));
        rest = rest.mid(sep + 3);
    }
    while (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);

    QString host;
    QString port;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            throw invalid(QStringLiteral("malformed mail server '%1'").arg(server));
        host = rest.left(close + 1);
        const QString after = rest.mid(close + 1);
        if (after.startsWith(QLatin1Char(':')))
            port = after.mid(1);
        else if (!after.isEmpty())
            throw invalid(QStringLiteral("malformed mail server '%1'").arg(server));
    } else if (rest.count(QLatin1Char(':')) > 1) {
        host = QLatin1Char('[') + rest + QLatin1Char(']');
    } else {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        host = colon < 0 ? rest : rest.left(colon);
        if (colon >= 0)
            port = rest.mid(colon + 1);
    }

    if (host.isEmpty() || host.contains(QLatin1Char('/')) || host.contains(QLatin1Char('@')) ||
        host.contains(QLatin1Char(' ')))
        throw invalid(QStringLiteral("malformed mail server '%1'").arg(server));
    int number = scheme == QLatin1String("smtps") ? 465 : 25;
    if (!port.isEmpty()) {
        bool ok = false;
        number = port.toInt(&ok);
        if (!ok || number < 1 || number > 65535)
            throw invalid(QStringLiteral("invalid mail server port '%1'").arg(port));
    }
    return {QStringLiteral("%1://%2:%3").arg(scheme, host, QString::number(number)).toStdString(), host,
            scheme == QLatin1String("smtps")};
}

// No server, or a CR or LF that would end the SMTP command or header it
// goes into.
void refuseBadFields(const MailServer& server, const MailMessage& message, const MailTransport& transport)
{
    if (server.address.trimmed().isEmpty())
        throw invalid(QStringLiteral("no mail server"));
    if (hasLineBreak(server.address))
        throw invalid(QStringLiteral("line break in the mail server"));
    if (hasLineBreak(message.from))
        throw invalid(QStringLiteral("line break in the sender address"));
    if (hasLineBreak(message.to))
        throw invalid(QStringLiteral("line break in the recipient address"));
    if (hasLineBreak(server.userName))
        throw invalid(QStringLiteral("line break in the user name"));
    if (hasLineBreak(transport.connectAddress))
        throw invalid(QStringLiteral("line break in the connect address"));
}

// The envelope's addresses, bare; refused when either side is missing.
void setEnvelope(SmtpTransfer& transfer, const MailMessage& message)
{
    transfer.from = bareAddress(message.from).toStdString();
    if (transfer.from.empty())
        throw invalid(QStringLiteral("no sender address"));
    for (const QString& item : addressItems(message.to)) {
        const QString address = bareAddress(item);
        if (!address.isEmpty())
            transfer.recipients.push_back(address.toStdString());
    }
    if (transfer.recipients.empty())
        throw invalid(QStringLiteral("no recipient address"));
}

// Whether to require TLS, and where to connect when the transport names an
// address; the transfer's server and login are set already.
void setConnection(SmtpTransfer& transfer, const MailTransport& transport)
{
    QString via = transport.connectAddress.trimmed();
    // The password goes without TLS only when both the name and the address
    // actually reached are this computer.
    const bool loginNeedsTls = !credentialsMayGo(transfer.host, transfer.implicitTls) ||
                               (!via.isEmpty() && !credentialsMayGo(via, transfer.implicitTls));
    transfer.tlsRequired = transfer.login && loginNeedsTls;
    if (!via.isEmpty()) {
        if (via.contains(QLatin1Char(':')) && !via.startsWith(QLatin1Char('[')))
            via = QLatin1Char('[') + via + QLatin1Char(']');
        // Any name, any port: to this address, the same port.
        transfer.connectTo = "::" + via.toStdString() + ":";
    }
    transfer.caFile = transport.caFile.trimmed();
    transfer.connectTimeout = std::max(0L, transport.connectTimeout);
    transfer.totalTimeout = std::max(0L, transport.totalTimeout);
}

} // namespace

SmtpTransfer planTransfer(const MailServer& server, const MailMessage& message,
                          const MailTransport& transport)
{
    refuseBadFields(server, message, transport);
    SmtpTransfer transfer;
    const ServerAddress target = serverAddress(server.address);
    transfer.url = target.url;
    transfer.host = target.host;
    transfer.implicitTls = target.tls;
    transfer.login = server.authenticate;
    transfer.userName = server.userName.toStdString();
    transfer.password = server.password.toStdString();
    setEnvelope(transfer, message);
    setConnection(transfer, transport);
    transfer.message = composeMessage(message);
    return transfer;
}

bool credentialsMayGo(const QString& host, bool tls)
{
    if (tls)
        return true;
    QString name = host;
    if (name.size() > 2 && name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    // curl resolves "localhost" itself, always to loopback.
    if (name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QByteArray text = name.toLatin1();
    if (text.contains('\0'))
        return false;
    std::array<unsigned char, 16> bytes{};
    if (inet_pton(AF_INET, text.constData(), bytes.data()) == 1)
        return bytes[0] == 127;
    if (inet_pton(AF_INET6, text.constData(), bytes.data()) != 1)
        return false;
    // ::1, or an IPv4 loopback address mapped into IPv6 (::ffff:127.x.x.x).
    const auto zeros = [&](int from, int to) {
        return std::all_of(bytes.begin() + from, bytes.begin() + to, [](unsigned char b) { return b == 0; });
    };
    if (zeros(0, 15) && bytes[15] == 1)
        return true;
    return zeros(0, 10) && bytes[10] == 0xff && bytes[11] == 0xff && bytes[12] == 127;
}

} // namespace pelmar
