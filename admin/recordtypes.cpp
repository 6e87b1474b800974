#include "admin/recordtypes.h"

#include "admin/refusal.h"
#include "store/schema.h"

#include <QCoreApplication>

namespace pelmar::admin {

RecordType recordType(const QString& type)
{
    for (const RecordType t :
         {RecordType::Worked, RecordType::Vacation, RecordType::Holiday, RecordType::SickLeave}) {
        if (type == typeText(t))
            return t;
    }
    return RecordType::Other;
}

RecordType recordType(const Value& type)
{
    return type.isNull() ? RecordType::Other : recordType(type.toText());
}

QString typeText(RecordType type)
{
    switch (type) {
    case RecordType::Worked:
        return WorkedType;
    case RecordType::Vacation:
        return QStringLiteral("Vacation");
    case RecordType::Holiday:
        return QStringLiteral("Holiday");
    case RecordType::SickLeave:
        return QStringLiteral("Sick Leave");
    case RecordType::Other:
        break;
    }
    return QString();
}

const std::vector<RecordType>& absenceTypes()
{
    static const std::vector<RecordType> types = {RecordType::Vacation, RecordType::Holiday,
                                                  RecordType::SickLeave};
    return types;
}

RecordType absenceType(const QString& text)
{
    const RecordType type = recordType(text);
    if (type == RecordType::Worked || type == RecordType::Other)
        throw Refusal{
            QCoreApplication::translate(
                "pelmar::admin", "'%1' is not an absence; use \"Vacation\", \"Holiday\" or \"Sick Leave\".")
                .arg(text)};
    return type;
}

} // namespace pelmar::admin
