#include "admin/csv.h"

#include <QStringList>

namespace pelmar::admin::csv {

QString quoted(QString text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return text;
}

QString field(const Value& value)
{
    return value.isNull() ? QString() : quoted(value.toText());
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
