#include "platform/runerror.h"

#include <QCoreApplication>
#include <algorithm>
#include <iterator>
#include <new>

namespace pelmar {

namespace {

struct NumberedText
{
    int number;
    const char* text;
};

// One text per number, the same wherever it is raised; %1 takes the detail
// where the text names a file, a path, a table or an expression.
constexpr NumberedText Texts[] = {
    {err::InvalidArgument, QT_TRANSLATE_NOOP("pelmar::RunError", "Invalid procedure call or argument")},
    {err::Overflow, QT_TRANSLATE_NOOP("pelmar::RunError", "Overflow")},
    {err::OutOfMemory, QT_TRANSLATE_NOOP("pelmar::RunError", "Out of memory")},
    {err::TypeMismatch, QT_TRANSLATE_NOOP("pelmar::RunError", "Type mismatch")},
    {err::PathFileAccess, QT_TRANSLATE_NOOP("pelmar::RunError", "Path/File access error")},
    {err::ObjectNotSet,
     QT_TRANSLATE_NOOP("pelmar::RunError", "Object variable or With block variable not set")},
    {err::InvalidUseOfNull, QT_TRANSLATE_NOOP("pelmar::RunError", "Invalid use of Null")},
    {err::TableExists, QT_TRANSLATE_NOOP("pelmar::RunError", "Table '%1' already exists.")},
    {err::UpdateWithoutEdit,
     QT_TRANSLATE_NOOP("pelmar::RunError", "Update or CancelUpdate without AddNew or Edit.")},
    {err::NoCurrentRecord, QT_TRANSLATE_NOOP("pelmar::RunError", "No current record.")},
    {err::CouldNotFindFile, QT_TRANSLATE_NOOP("pelmar::RunError", "Could not find file '%1'.")},
    {err::ReadOnly, QT_TRANSLATE_NOOP("pelmar::RunError", "Cannot update. Database or object is read-only.")},
    {err::DiskFull, QT_TRANSLATE_NOOP("pelmar::RunError", "System resource exceeded: the disk is full.")},
    {err::DiskOrNetwork, QT_TRANSLATE_NOOP("pelmar::RunError", "Disk or network error.")},
    {err::PathNotValid,
     QT_TRANSLATE_NOOP("pelmar::RunError",
                       "'%1' is not a valid path. Make sure that the path name is spelled correctly and that "
                       "you are connected to the server on which the file resides.")},
    {err::FileNameNotValid, QT_TRANSLATE_NOOP("pelmar::RunError", "Not a valid file name.")},
    {err::TooFewParameters, QT_TRANSLATE_NOOP("pelmar::RunError", "Too few parameters. Expected 1.")},
    {err::QuerySyntax, QT_TRANSLATE_NOOP("pelmar::RunError", "Syntax error in query expression '%1'.")},
    {err::InputTableNotFound,
     QT_TRANSLATE_NOOP("pelmar::RunError", "The database engine cannot find the input table or query '%1'.")},
    {err::RecordDeleted, QT_TRANSLATE_NOOP("pelmar::RunError", "Record is deleted.")},
    {err::Locked, QT_TRANSLATE_NOOP("pelmar::RunError", "Could not update; currently locked.")},
    {err::ItemNotFound, QT_TRANSLATE_NOOP("pelmar::RunError", "Item not found in this collection.")},
    {err::UnrecognizedFormat, QT_TRANSLATE_NOOP("pelmar::RunError", "Unrecognized database format '%1'.")},
    {err::ConversionError, QT_TRANSLATE_NOOP("pelmar::RunError", "Data type conversion error.")},
    {err::DialogCancel, QT_TRANSLATE_NOOP("pelmar::RunError", "Cancel was selected.")},
};

constexpr bool oneTextPerNumber()
{
    for (std::size_t i = 1; i < std::size(Texts); ++i)
        if (Texts[i - 1].number >= Texts[i].number)
            return false;
    return true;
}
static_assert(oneTextPerNumber(), "the numbers in ascending order, each once");

} // namespace

RunError::RunError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("Error %1: %2").arg(QString::number(number), m_description).toUtf8())
{
}

RunError RunError::of(int number)
{
    return of(number, QString());
}

// A number without a text of its own takes the detail as its text.
RunError RunError::of(int number, const QString& detail)
{
    const auto found = std::find_if(std::begin(Texts), std::end(Texts),
                                    [number](const NumberedText& t) { return t.number == number; });
    if (found == std::end(Texts) && !detail.isEmpty())
        return RunError(number, detail);
    if (found == std::end(Texts))
        return RunError(number, QCoreApplication::translate("pelmar::RunError",
                                                            "Application-defined or object-defined error"));
    QString text = QCoreApplication::translate("pelmar::RunError", found->text);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(detail);
    return RunError(number, text);
}

RunError RunError::current()
{
    try {
        if (const std::exception_ptr failure = std::current_exception())
            std::rethrow_exception(failure);
    } catch (const RunError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return of(err::OutOfMemory);
    } catch (const std::exception& error) {
        return RunError(err::EngineFailure, QString::fromLocal8Bit(error.what()));
    } catch (...) {
    }
    return of(err::EngineFailure);
}

} // namespace pelmar
