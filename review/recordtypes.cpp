#include "review/recordtypes.h"

#include "store/schema.h"

namespace pelmar {

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

} // namespace pelmar
