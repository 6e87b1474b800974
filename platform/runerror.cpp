#include "platform/runerror.h"

namespace pelmar {

RunError::RunError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("Error %1: %2").arg(number).arg(m_description).toUtf8())
{
}

RunError RunError::of(int number)
{
    return of(number, QString());
}

// One text per number, the same wherever it is raised; %1 takes the detail
// where the text names a file, a path or an expression.
RunError RunError::of(int number, const QString& detail)
{
    QString text;
    switch (number) {
    case err::InvalidArgument:
        text = QStringLiteral("Invalid procedure call or argument");
        break;
    case err::TypeMismatch:
        text = QStringLiteral("Type mismatch");
        break;
    case err::PathFileAccess:
        text = QStringLiteral("Path/File access error");
        break;
    case err::InvalidUseOfNull:
        text = QStringLiteral("Invalid use of Null");
        break;
    case err::NoCurrentRecord:
        text = QStringLiteral("No current record.");
        break;
    case err::UpdateWithoutEdit:
        text = QStringLiteral("Update or CancelUpdate without AddNew or Edit.");
        break;
    case err::CouldNotFindFile:
        text = QStringLiteral("Could not find file '%1'.");
        break;
    case err::ReadOnly:
        text = QStringLiteral("Cannot update. Database or object is read-only.");
        break;
    case err::DiskFull:
        text = QStringLiteral("System resource exceeded: the disk is full.");
        break;
    case err::DiskOrNetwork:
        text = QStringLiteral("Disk or network error.");
        break;
    case err::PathNotValid:
        text = QStringLiteral("'%1' is not a valid path. Make sure that the path name is spelled correctly "
                              "and that you are connected to the server on which the file resides.");
        break;
    case err::FileNameNotValid:
        text = QStringLiteral("Not a valid file name.");
        break;
    case err::QuerySyntax:
        text = QStringLiteral("Syntax error in query expression '%1'.");
        break;
    case err::InputTableNotFound:
        text = QStringLiteral("The database engine cannot find the input table or query '%1'.");
        break;
    case err::TooFewParameters:
        text = QStringLiteral("Too few parameters. Expected 1.");
        break;
    case err::Locked:
        text = QStringLiteral("Could not update; currently locked.");
        break;
    case err::ItemNotFound:
        text = QStringLiteral("Item not found in this collection.");
        break;
    case err::UnrecognizedFormat:
        text = QStringLiteral("Unrecognized database format '%1'.");
        break;
    case err::ConversionError:
        text = QStringLiteral("Data type conversion error.");
        break;
    case err::DialogCancel:
        text = QStringLiteral("Cancel was selected.");
        break;
    default:
        text = detail.isEmpty() ? QStringLiteral("Application-defined or object-defined error")
                                : QStringLiteral("%1");
        break;
    }
    if (text.contains(QLatin1String("%1")))
        text = text.arg(detail);
    return RunError(number, text);
}

} // namespace pelmar
