#include "review/recordtypes.h"

#include <QCoreApplication>

namespace pelmar {

namespace {

constexpr RecordType KnownTypes[] = {RecordType::Worked, RecordType::Vacation, RecordType::Holiday,
                                     RecordType::SickLeave};

// The words the clock and the office store, marked here, once, for the
// windows to translate. "Worked" is the clock's WorkedType.
const char* storedWord(RecordType type)
{
    switch (type) {
    case RecordType::Worked:
        return QT_TRANSLATE_NOOP("pelmar::RecordType", "Worked");
    case RecordType::Vacation:
        return QT_TRANSLATE_NOOP("pelmar::RecordType", "Vacation");
    case RecordType::Holiday:
        return QT_TRANSLATE_NOOP("pelmar::RecordType", "Holiday");
    case RecordType::SickLeave:
        return QT_TRANSLATE_NOOP("pelmar::RecordType", "Sick Leave");
    case RecordType::Other:
        break;
    }
    return nullptr;
}

} // namespace

RecordType recordType(const QString& type)
{
    for (const RecordType t : KnownTypes) {
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
    const char* word = storedWord(type);
    return word ? QString::fromLatin1(word) : QString();
}

QString shownType(RecordType type)
{
    const char* word = storedWord(type);
    return word ? QCoreApplication::translate("pelmar::RecordType", word) : QString();
}

QString shownType(const Value& stored)
{
    const RecordType type = recordType(stored);
    return type == RecordType::Other ? stored.toTextOrEmpty() : shownType(type);
}

} // namespace pelmar
