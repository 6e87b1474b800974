#include "admin/absences.h"

#include "admin/refusal.h"

#include <QCoreApplication>

namespace pelmar::admin {

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
