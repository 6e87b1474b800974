#include "platform/mail/smtpmail.h"

#include "platform/runerror.h"

#include <QDateTime>
#include <QFile>
#include <QMetaObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>

#include <arpa/inet.h>
#include <curl/curl.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace pelmar {

namespace {

struct EasyDeleter
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using StringList = std::unique_ptr<curl_slist, ListDeleter>;

// curl_global_init is not safe to race with other threads' curl calls, so
// it runs once, before the first transfer.
CURLcode globalInit()
{
    static std::once_flag once;
    static CURLcode result = CURLE_OK;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return result;
}

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

bool appendTo(StringList& list, const std::string& item)
{
    curl_slist* head = curl_slist_append(list.get(), item.c_str());
    if (!head)
        return false;
    // The head stays the same after the first append; never let reset()
    // free the list it is handed.
    static_cast<void>(list.release());
    list.reset(head);
    return true;
}

// One item of an address list; commas inside quoted names would split, which
// the program's addresses never contain.
QStringList addressItems(const QString& list)
{
    QStringList items;
    for (const QString& part : list.split(QRegularExpression(QStringLiteral("[,;]")))) {
        const QString item = part.trimmed();
        if (!item.isEmpty())
            items << item;
    }
    return items;
}

// The address alone, from "Name <addr>" or a bare address.
QString bareAddress(const QString& item)
{
    const qsizetype open = item.lastIndexOf(QLatin1Char('<'));
    const qsizetype close = item.lastIndexOf(QLatin1Char('>'));
    if (open >= 0 && close > open)
        return item.mid(open + 1, close - open - 1).trimmed();
    return item.trimmed();
}

bool isPlainAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x7f;
    });
}

// RFC 2047 B-encoded words, split between whole UTF-8 characters so each
// word decodes on its own, folded onto continuation lines.
QByteArray encodedWords(const QByteArray& utf8)
{
    constexpr qsizetype chunk = 39; // 52 base64 characters, a 64-character word
    QByteArray out;
    qsizetype pos = 0;
    while (pos < utf8.size()) {
        qsizetype end = std::min(pos + chunk, utf8.size());
        while (end < utf8.size() && end > pos + 1 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + utf8.mid(pos, end - pos).toBase64() + "?=";
        pos = end;
    }
    return out;
}

// Folds a plain header value at spaces so lines stay near 78 characters.
QByteArray foldAscii(const QByteArray& value, qsizetype used)
{
    QByteArray out;
    qsizetype lineLen = used;
    const QList<QByteArray> words = value.split(' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > 0) {
            if (lineLen + 1 + words[i].size() > 78 && lineLen > 1) {
                out += "\r\n";
                lineLen = 0;
            }
            out += ' ';
            ++lineLen;
        }
        out += words[i];
        lineLen += words[i].size();
    }
    return out;
}

QByteArray headerText(const QString& text, qsizetype used)
{
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String(" "));
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray utf8 = flat.toUtf8();
    // "=?" in plain text would read as the start of an encoded word.
    if (!isPlainAscii(utf8) || utf8.contains("=?"))
        return encodedWords(utf8);
    return foldAscii(utf8, used);
}

// An address list with non-ASCII display names encoded; one address per
// line once the list grows long.
QByteArray addressHeader(const QString& list, qsizetype used)
{
    QByteArray out;
    qsizetype lineLen = used;
    const QStringList items = addressItems(list);
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString& item = items[i];
        QByteArray text = item.toUtf8();
        if (!isPlainAscii(text)) {
            const qsizetype open = item.lastIndexOf(QLatin1Char('<'));
            QString name = open > 0 ? item.left(open).trimmed() : QString();
            if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
                name = name.mid(1, name.size() - 2);
            text = (name.isEmpty() ? QByteArray() : encodedWords(name.toUtf8()) + ' ') + '<' +
                   bareAddress(item).toUtf8() + '>';
        }
        if (i > 0) {
            out += ',';
            if (lineLen + 2 + text.size() > 78) {
                out += "\r\n";
                lineLen = 0;
            }
            out += ' ';
            lineLen += 2;
        }
        out += text;
        const qsizetype lastBreak = text.lastIndexOf('\n');
        lineLen = lastBreak < 0 ? lineLen + text.size() : text.size() - lastBreak - 1;
    }
    return out;
}

// RFC 5322 date: English names whatever the locale, the local offset.
QByteArray rfc5322Date(const QDateTime& when)
{
    static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = when.date();
    const QTime time = when.time();
    const int offset = when.offsetFromUtc() / 60;
    const int magnitude = offset < 0 ? -offset : offset;
    const auto padded = [](int n, int width) {
        return QString::number(n).rightJustified(width, QLatin1Char('0'));
    };
    return QStringLiteral("%1, %2 %3 %4 %5:%6:%7 %8%9%10")
        .arg(QLatin1String(days[date.dayOfWeek() - 1]), QString::number(date.day()),
             QLatin1String(months[date.month() - 1]), padded(date.year(), 4), padded(time.hour(), 2),
             padded(time.minute(), 2), padded(time.second(), 2),
             offset < 0 ? QStringLiteral("-") : QStringLiteral("+"), padded(magnitude / 60, 2),
             padded(magnitude % 60, 2))
        .toLatin1();
}

QByteArray messageId(const QString& from)
{
    QString host = bareAddress(from).section(QLatin1Char('@'), 1);
    host.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9.-]")));
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    QRandomGenerator* random = QRandomGenerator::system();
    const auto hex = [random] {
        return QString::number(random->generate64(), 16).rightJustified(16, QLatin1Char('0'));
    };
    return QStringLiteral("<%1%2.%3@%4>")
        .arg(hex(), hex(), QString::number(QDateTime::currentMSecsSinceEpoch()), host)
        .toLatin1();
}

// RFC 2045 quoted-printable. Every CR and LF byte is encoded, so the text's
// own line breaks (a lone CR included) survive exactly and only the soft
// breaks put line ends on the wire.
QByteArray quotedPrintable(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    constexpr qsizetype maxLine = 75; // plus the soft break's '=' makes 76
    QByteArray out;
    qsizetype lineLen = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool last = i + 1 == bytes.size();
        const bool whitespace = c == ' ' || c == '\t';
        char token[3];
        qsizetype size = 1;
        if ((c >= 33 && c <= 126 && c != '=') || (whitespace && !last)) {
            token[0] = static_cast<char>(c);
        } else {
            token[0] = '=';
            token[1] = hex[c >> 4];
            token[2] = hex[c & 0x0F];
            size = 3;
        }
        if (lineLen + size > maxLine) {
            out += "=\r\n";
            lineLen = 0;
        }
        out.append(token, size);
        lineLen += size;
    }
    return out;
}

} // namespace

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

struct SmtpMail::Link
{
    std::mutex mutex;
    SmtpMail* target = nullptr; // null once the sender is gone
};

namespace {

// One send: a copy of everything the transfer needs, owned by its thread.
struct Send
{
    std::string url;
    QString host;
    bool login = false;
    // Set when the password may only go over TLS: curl then starts TLS or
    // stops before logging in.
    bool tlsRequired = false;
    long useSsl = CURLUSESSL_TRY;
    std::string connectTo;
    QString caFile;
    std::string userName;
    std::string password;
    std::string from;
    std::vector<std::string> recipients;
    QByteArray message;
    long connectTimeout = 0;
    long totalTimeout = 0;

    qsizetype sent = 0;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    QString failure; // why we stopped before curl did
    std::string lastReply;

    static size_t read(char* buffer, size_t size, size_t count, void* userp)
    {
        auto* send = static_cast<Send*>(userp);
        const size_t room = size * count;
        const size_t left = static_cast<size_t>(send->message.size() - send->sent);
        const size_t n = std::min(room, left);
        if (n > 0) {
            std::memcpy(buffer, send->message.constData() + send->sent, n);
            send->sent += static_cast<qsizetype>(n);
        }
        return n;
    }

    // Only the server's reply lines are kept; what we send includes the
    // password.
    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* userp)
    {
        if (type != CURLINFO_HEADER_IN)
            return 0;
        auto* send = static_cast<Send*>(userp);
        std::string text(data, size);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
            text.pop_back();
        const size_t lineStart = text.find_last_of("\r\n");
        if (lineStart != std::string::npos)
            text.erase(0, lineStart + 1);
        if (!text.empty())
            send->lastReply = text;
        return 0;
    }

    // CAINFO names one bundle and would replace the system's, so the
    // transfer gets the system's bundle and the extra file as one.
    CURLcode trustCaFile(CURL* curl)
    {
        QFile extra(caFile);
        if (!extra.open(QIODevice::ReadOnly)) {
            failure = QStringLiteral("cannot read the CA file %1 (%2)").arg(caFile, extra.errorString());
            return CURLE_SSL_CACERT_BADFILE;
        }
        QByteArray bundle;
        char* system = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_CAINFO, &system) == CURLE_OK && system) {
            QFile file(QString::fromLocal8Bit(system));
            if (file.open(QIODevice::ReadOnly))
                bundle = file.readAll() + '\n';
        }
        bundle += extra.readAll();
        curl_blob blob{bundle.data(), static_cast<size_t>(bundle.size()), CURL_BLOB_COPY};
        return curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
    }

    CURLcode perform()
    {
        const CURLcode init = globalInit();
        if (init != CURLE_OK)
            return init;
        EasyHandle easy(curl_easy_init());
        if (!easy)
            return CURLE_FAILED_INIT;
        CURL* curl = easy.get();

        if (login) {
            curl_easy_setopt(curl, CURLOPT_USERNAME, userName.c_str());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
        }
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        // smtps:// is TLS from the start; smtp:// upgrades with STARTTLS
        // when offered, and must where the password would otherwise cross
        // the network in clear.
        curl_easy_setopt(curl, CURLOPT_USE_SSL, useSsl);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!caFile.isEmpty()) {
            const CURLcode trusted = trustCaFile(curl);
            if (trusted != CURLE_OK)
                return trusted;
        }
        StringList connectList;
        if (!connectTo.empty()) {
            if (!appendTo(connectList, connectTo))
                return CURLE_OUT_OF_MEMORY;
            curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectList.get());
        }
        curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());

        StringList rcpt;
        for (const std::string& recipient : recipients) {
            if (!appendTo(rcpt, recipient))
                return CURLE_OUT_OF_MEMORY;
        }
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt.get());

        curl_easy_setopt(curl, CURLOPT_READFUNCTION, &Send::read);
        curl_easy_setopt(curl, CURLOPT_READDATA, this);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        // Signals belong to the main thread; timeouts must not use them.
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectTimeout);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, totalTimeout);
        // The two mechanisms that need nothing but the user name and
        // password; curl takes PLAIN when the server offers both.
        if (login)
            curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN;AUTH=PLAIN");
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        // The debug callback only runs in verbose mode; it replaces the
        // default output to stderr.
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &Send::debug);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);

        return curl_easy_perform(curl);
    }

    QString describe(CURLcode code) const
    {
        QString text = QString::fromUtf8(curl_easy_strerror(code));
        const QString detail = failure.isEmpty() ? QString::fromUtf8(errorBuffer).trimmed() : failure;
        if (!detail.isEmpty() && detail != text)
            text += QStringLiteral(": ") + detail;
        if (code == CURLE_USE_SSL_FAILED && tlsRequired)
            text += QStringLiteral(" No password was sent: %1 did not start TLS, and the mail password "
                                   "goes only over TLS or to a server on this computer.")
                        .arg(host);
        if (!lastReply.empty())
            text += QStringLiteral(" (server: %1)").arg(QString::fromUtf8(lastReply));
        return text;
    }
};

} // namespace

SmtpMail::SmtpMail(QObject* parent)
    : QObject(parent), caFile(qEnvironmentVariable(SmtpCaFileVariable)), m_link(std::make_shared<Link>())
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

void SmtpMail::finish(bool ok, int number, const QString& description)
{
    --m_pending;
    if (ok)
        emit sent();
    else
        emit failed(number, description);
}

void SmtpMail::sendEmail()
{
    if (server.trimmed().isEmpty())
        throw invalid(QStringLiteral("no mail server"));
    if (hasLineBreak(server))
        throw invalid(QStringLiteral("line break in the mail server"));
    if (hasLineBreak(mailFrom))
        throw invalid(QStringLiteral("line break in the sender address"));
    if (hasLineBreak(sendTo))
        throw invalid(QStringLiteral("line break in the recipient address"));
    if (hasLineBreak(userName))
        throw invalid(QStringLiteral("line break in the user name"));
    if (hasLineBreak(connectAddress))
        throw invalid(QStringLiteral("line break in the connect address"));

    auto send = std::make_shared<Send>();
    const ServerAddress target = serverAddress(server);
    send->url = target.url;
    send->host = target.host;
    send->from = bareAddress(mailFrom).toStdString();
    if (send->from.empty())
        throw invalid(QStringLiteral("no sender address"));
    for (const QString& item : addressItems(sendTo)) {
        const QString address = bareAddress(item);
        if (!address.isEmpty())
            send->recipients.push_back(address.toStdString());
    }
    if (send->recipients.empty())
        throw invalid(QStringLiteral("no recipient address"));
    send->login = authenticate;
    QString via = connectAddress.trimmed();
    // The password goes without TLS only when both the name and the address
    // actually reached are this computer.
    const bool loginNeedsTls =
        !credentialsMayGo(target.host, target.tls) || (!via.isEmpty() && !credentialsMayGo(via, target.tls));
    send->tlsRequired = send->login && loginNeedsTls;
    send->useSsl = (target.tls || send->tlsRequired) ? CURLUSESSL_ALL : CURLUSESSL_TRY;
    if (!via.isEmpty()) {
        if (via.contains(QLatin1Char(':')) && !via.startsWith(QLatin1Char('[')))
            via = QLatin1Char('[') + via + QLatin1Char(']');
        // Any name, any port: to this address, the same port.
        send->connectTo = "::" + via.toStdString() + ":";
    }
    send->caFile = caFile.trimmed();
    send->userName = userName.toStdString();
    send->password = password.toStdString();
    send->message = buildMessage();
    send->connectTimeout = std::max(0L, connectTimeout);
    send->totalTimeout = std::max(0L, totalTimeout);

    // The outcome goes to the sender's thread. The link's lock keeps the
    // sender alive while the event is posted; an event still queued when
    // it is destroyed is discarded with it.
    std::shared_ptr<Link> link = m_link;
    const QPointer<SmtpMail> guard(this);
    auto report = [link, guard](bool ok, int number, QString description) {
        std::lock_guard lock(link->mutex);
        if (!link->target)
            return;
        QMetaObject::invokeMethod(
            link->target,
            [guard, ok, number, description] {
                if (guard)
                    guard->finish(ok, number, description);
            },
            Qt::QueuedConnection);
    };

    ++m_pending;
    try {
        std::thread([send, report] {
            CURLcode code = CURLE_OUT_OF_MEMORY;
            QString description;
            try {
                code = send->perform();
                description = send->describe(code);
            } catch (const std::exception&) {
                description = QString::fromUtf8(curl_easy_strerror(code));
            }
            report(code == CURLE_OK, static_cast<int>(code), description);
        }).detach();
    } catch (const std::system_error& error) {
        report(false, static_cast<int>(CURLE_FAILED_INIT),
               QStringLiteral("%1: cannot start the mail thread (%2)")
                   .arg(QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT)),
                        QString::fromLocal8Bit(error.what())));
    }
}

QByteArray SmtpMail::buildMessage() const
{
    QByteArray out;
    out += "Date: " + rfc5322Date(QDateTime::currentDateTime()) + "\r\n";
    out += "Message-ID: " + messageId(mailFrom) + "\r\n";
    out += "From: " + addressHeader(mailFrom, 6) + "\r\n";
    out += "To: " + addressHeader(sendTo, 4) + "\r\n";
    out += "Subject: " + headerText(subject, 9) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: text/plain; charset=UTF-8\r\n";
    out += "Content-Transfer-Encoding: quoted-printable\r\n";
    out += "\r\n";
    out += quotedPrintable(messageText.toUtf8());
    out += "\r\n";
    return out;
}

} // namespace pelmar
