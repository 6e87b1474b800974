#include "admin/csv.h"

#include <QRegularExpression>
#include <QStringList>

namespace pelmar::admin::csv {

QString quoted(QString text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return text;
}

namespace {

// A plain decimal such as the payroll's "-1.50": a spreadsheet reads it as
// that number, and no formula can hide in it.
bool isPlainNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("\\A-?[0-9]+(\\.[0-9]+)?\\z"));
    return number.match(text).hasMatch();
}

// A spreadsheet runs a cell that begins with one of these as a formula (the
// OWASP advice on CSV injection); a leading ' makes it text again.
bool readsAsFormula(const QString& text)
{
    static const QString triggers = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && triggers.contains(text.front()) && !isPlainNumber(text);
}

} // namespace

QString field(const Value& value)
{
    if (value.isNull())
        return QString();
    // Only text is neutralised: numbers and dates come from the program, and a
    // negative hour figure, a number or a plain-number text, must stay a number
    // for the sums.
    const QString text = value.toText();
    return quoted(value.isText() && readsAsFormula(text) ? QLatin1Char('\'') + text : text);
}

QString line(const std::vector<Value>& fields)
{
    QStringList texts;
    for (const Value& v : fields)
        texts << field(v);
    return texts.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString header(const char* names)
{
    return QString::fromLatin1(names) + QStringLiteral("\r\n");
}

} // namespace pelmar::admin::csv
