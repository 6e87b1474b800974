#include "platform/namecheck.h"

#include <QList>

namespace pelmar {

namespace {

// Long enough for any real name, short enough to fit the list and a printed line.
constexpr qsizetype longestName = 100;

QString codePoint(char32_t c)
{
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

bool isLineBreakOrControl(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// Unicode's Bidi_Control characters.
bool reordersText(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Format characters draw nothing (zero-width space, soft hyphen, joiners), so
// two names that look alike would differ.
bool isInvisibleFormat(char32_t c)
{
    return QChar::category(c) == QChar::Other_Format;
}

// A no-break, figure or ideographic space looks like a blank but does not
// compare equal to one.
bool isOtherSpace(char32_t c)
{
    return c != U' ' && QChar::category(c) == QChar::Separator_Space;
}

} // namespace

std::optional<QString> nameRefusal(const QString& name)
{
    // By code point, so that a character beyond U+FFFF is judged, and counted, once.
    const QList<uint> characters = name.toUcs4();
    for (const char32_t c : characters) {
        if (isLineBreakOrControl(c))
            return QStringLiteral("The full name cannot hold a line break or another control character (%1).")
                .arg(codePoint(c));
        if (reordersText(c))
            return QStringLiteral("The full name cannot hold a character that changes the direction of "
                                  "the text (%1).")
                .arg(codePoint(c));
        if (isInvisibleFormat(c))
            return QStringLiteral("The full name cannot hold an invisible formatting character (%1).")
                .arg(codePoint(c));
        if (isOtherSpace(c))
            return QStringLiteral("The full name cannot hold a space other than the ordinary one (%1).")
                .arg(codePoint(c));
    }
    if (name.trimmed().isEmpty())
        return QStringLiteral("The full name is empty.");
    if (name.front().isSpace() || name.back().isSpace())
        return QStringLiteral("The full name cannot begin or end with a blank.");
    if (characters.size() > longestName)
        return QStringLiteral("The full name cannot be longer than %1 characters; this one has %2.")
            .arg(QString::number(longestName), QString::number(characters.size()));
    return std::nullopt;
}

} // namespace pelmar
