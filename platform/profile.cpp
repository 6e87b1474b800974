#include "platform/profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <optional>
#include <vector>

namespace pelmar::profile {

namespace {

// One line of the file with its own ending, so lines we do not touch are
// written back exactly as they were read.
struct Line
{
    QString text;
    QString eol; // "\r\n", "\n" or "" for a last line without one
};

const QString kCrLf = QStringLiteral("\r\n");

// The bytes as UTF-8, or as Latin-1 when they are not valid UTF-8.
QString decoded(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// The file's lines, none for a missing file; nullopt when it can't be read
// or is too long (*tooLong).
std::optional<std::vector<Line>> readLines(const QString& path, bool* tooLong)
{
    std::vector<Line> lines;
    *tooLong = false;
    QFile f(path);
    if (!f.exists())
        return lines;
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = f.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) {
        *tooLong = true;
        return std::nullopt;
    }
    const QString all = decoded(bytes);
    qsizetype start = 0;
    while (start < all.size()) {
        const qsizetype nl = all.indexOf(QLatin1Char('\n'), start);
        if (nl < 0) {
            lines.push_back({all.mid(start), QString()});
            break;
        }
        const bool cr = nl > start && all.at(nl - 1) == QLatin1Char('\r');
        const qsizetype end = cr ? nl - 1 : nl;
        lines.push_back({all.mid(start, end - start), cr ? kCrLf : QStringLiteral("\n")});
        start = nl + 1;
    }
    return lines;
}

bool isComment(const QString& trimmed)
{
    return trimmed.startsWith(QLatin1Char(';'));
}

// The section a header line names, or nullopt for any other line.
std::optional<QString> sectionName(const QString& text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

// The key of a "key=value" line, or nullopt for comments and other lines.
std::optional<QString> keyName(const QString& text)
{
    const QString t = text.trimmed();
    if (isComment(t))
        return std::nullopt;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return t.left(eq).trimmed();
}

bool same(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

qsizetype findSection(const std::vector<Line>& lines, const QString& section)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i].text);
        if (name && same(*name, section.trimmed()))
            return static_cast<qsizetype>(i);
    }
    return -1;
}

// Index of the key's line in the section that starts at header, or -1; the
// section's last non-blank line goes to *lastFilled.
qsizetype findKey(const std::vector<Line>& lines, qsizetype header, const QString& key, qsizetype* lastFilled)
{
    *lastFilled = header;
    for (auto i = static_cast<size_t>(header) + 1; i < lines.size(); ++i) {
        if (sectionName(lines[i].text))
            break;
        if (!lines[i].text.trimmed().isEmpty())
            *lastFilled = static_cast<qsizetype>(i);
        const auto name = keyName(lines[i].text);
        if (name && same(*name, key.trimmed()))
            return static_cast<qsizetype>(i);
    }
    return -1;
}

QString unquote(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

std::optional<QString> getString(const QString& section, const QString& key, const QString& defaultValue,
                                 const QString& file)
{
    bool tooLong = false;
    const auto lines = readLines(file, &tooLong);
    if (tooLong)
        return std::nullopt;
    if (!lines || key.trimmed().isEmpty())
        return defaultValue;
    const qsizetype header = findSection(*lines, section);
    if (header < 0)
        return defaultValue;
    qsizetype lastFilled = 0;
    const qsizetype at = findKey(*lines, header, key, &lastFilled);
    if (at < 0)
        return defaultValue;
    const QString& text = (*lines)[static_cast<size_t>(at)].text;
    return unquote(text.mid(text.indexOf(QLatin1Char('=')) + 1).trimmed());
}

bool writeString(const QString& section, const QString& key, const QString& value, const QString& file)
{
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty())
        return false;
    bool tooLong = false;
    auto read = readLines(file, &tooLong);
    if (!read)
        return false;
    std::vector<Line>& lines = *read;
    const QString entry = key.trimmed() + QLatin1Char('=') + value;

    const qsizetype header = findSection(lines, section);
    if (header >= 0) {
        qsizetype lastFilled = header;
        const qsizetype at = findKey(lines, header, key, &lastFilled);
        if (at >= 0) {
            lines[static_cast<size_t>(at)].text = entry;
        } else {
            Line& after = lines[static_cast<size_t>(lastFilled)];
            if (after.eol.isEmpty())
                after.eol = kCrLf;
            lines.insert(lines.begin() + lastFilled + 1, Line{entry, kCrLf});
        }
    } else {
        if (!lines.empty() && lines.back().eol.isEmpty())
            lines.back().eol = kCrLf;
        lines.push_back({QLatin1Char('[') + section.trimmed() + QLatin1Char(']'), kCrLf});
        lines.push_back({entry, kCrLf});
    }

    QString all;
    for (const Line& l : lines)
        all += l.text + l.eol;

    // Written beside the file and renamed over it, so a failure leaves the
    // old file whole.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = all.toUtf8();
    if (out.write(bytes) != bytes.size())
        return false;
    return out.commit();
}

} // namespace pelmar::profile
