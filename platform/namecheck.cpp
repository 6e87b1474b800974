#include "platform/namecheck.h"

namespace pelmar {

namespace {

QString codePoint(QChar c)
{
    return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

bool isLineBreakOrControl(QChar c)
{
    return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
           c.category() == QChar::Separator_Paragraph;
}

// Unicode's Bidi_Control characters.
bool reordersText(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

} // namespace

std::optional<QString> nameRefusal(const QString& name)
{
    for (const QChar c : name) {
        if (isLineBreakOrControl(c))
            return QStringLiteral("The full name cannot hold a line break or another control character (%1).")
                .arg(codePoint(c));
        if (reordersText(c))
            return QStringLiteral("The full name cannot hold a character that changes the direction of "
                                  "the text (%1).")
                .arg(codePoint(c));
    }
    if (name.trimmed().isEmpty())
        return QStringLiteral("The full name is empty.");
    if (name.front().isSpace() || name.back().isSpace())
        return QStringLiteral("The full name cannot begin or end with a blank.");
    return std::nullopt;
}

} // namespace pelmar
