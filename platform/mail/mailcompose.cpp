#include "platform/mail/mailcompose.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>

namespace pelmar {

namespace {

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

QString bareAddress(const QString& item)
{
    const qsizetype open = item.lastIndexOf(QLatin1Char('<'));
    const qsizetype close = item.lastIndexOf(QLatin1Char('>'));
    if (open >= 0 && close > open)
        return item.mid(open + 1, close - open - 1).trimmed();
    return item.trimmed();
}

QByteArray composeMessage(const MailMessage& message)
{
    QByteArray out;
    out += "Date: " + rfc5322Date(QDateTime::currentDateTime()) + "\r\n";
    out += "Message-ID: " + messageId(message.from) + "\r\n";
    out += "From: " + addressHeader(message.from, 6) + "\r\n";
    out += "To: " + addressHeader(message.to, 4) + "\r\n";
    out += "Subject: " + headerText(message.subject, 9) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: text/plain; charset=UTF-8\r\n";
    out += "Content-Transfer-Encoding: quoted-printable\r\n";
    out += "\r\n";
    out += quotedPrintable(message.text.toUtf8());
    out += "\r\n";
    return out;
}

} // namespace pelmar
