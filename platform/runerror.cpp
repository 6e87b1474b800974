#include "platform/runerror.h"

#include <QCoreApplication>

namespace pelmar {

RunError::RunError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("Error %1: %2").arg(QString::number(number), m_description).toUtf8())
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
        text = QCoreApplication::translate("pelmar::RunError", "Invalid procedure call or argument");
        break;
    case err::TypeMismatch:
        text = QCoreApplication::translate("pelmar::RunError", "Type mismatch");
        break;
    case err::PathFileAccess:
        text = QCoreApplication::translate("pelmar::RunError", "Path/File access error");
        break;
    case err::InvalidUseOfNull:
        text = QCoreApplication::translate("pelmar::RunError", "Invalid use of Null");
        break;
    case err::NoCurrentRecord:
        text = QCoreApplication::translate("pelmar::RunError", "No current record.");
        break;
    case err::UpdateWithoutEdit:
        text =
            QCoreApplication::translate("pelmar::RunError", "Update or CancelUpdate without AddNew or Edit.");
        break;
    case err::CouldNotFindFile:
        text = QCoreApplication::translate("pelmar::RunError", "Could not find file '%1'.");
        break;
    case err::ReadOnly:
        text = QCoreApplication::translate("pelmar::RunError",
                                           "Cannot update. Database or object is read-only.");
        break;
    case err::DiskFull:
        text = QCoreApplication::translate("pelmar::RunError", "System resource exceeded: the disk is full.");
        break;
    case err::DiskOrNetwork:
        text = QCoreApplication::translate("pelmar::RunError", "Disk or network error.");
        break;
    case err::PathNotValid:
        text = QCoreApplication::translate(
            "pelmar::RunError", "'%1' is not a valid path. Make sure that the path name is spelled correctly "
                                "and that you are connected to the server on which the file resides.");
        break;
    case err::FileNameNotValid:
        text = QCoreApplication::translate("pelmar::RunError", "Not a valid file name.");
        break;
    case err::QuerySyntax:
        text = QCoreApplication::translate("pelmar::RunError", "Syntax error in query expression '%1'.");
        break;
    case err::InputTableNotFound:
        text = QCoreApplication::translate("pelmar::RunError",
                                           "The database engine cannot find the input table or query '%1'.");
        break;
    case err::TooFewParameters:
        text = QCoreApplication::translate("pelmar::RunError", "Too few parameters. Expected 1.");
        break;
    case err::Locked:
        text = QCoreApplication::translate("pelmar::RunError", "Could not update; currently locked.");
        break;
    case err::ItemNotFound:
        text = QCoreApplication::translate("pelmar::RunError", "Item not found in this collection.");
        break;
    case err::UnrecognizedFormat:
        text = QCoreApplication::translate("pelmar::RunError", "Unrecognized database format '%1'.");
        break;
    case err::ConversionError:
        text = QCoreApplication::translate("pelmar::RunError", "Data type conversion error.");
        break;
    case err::DialogCancel:
        text = QCoreApplication::translate("pelmar::RunError", "Cancel was selected.");
        break;
    default:
        text = detail.isEmpty() ? QCoreApplication::translate("pelmar::RunError",
                                                              "Application-defined or object-defined error")
                                : QStringLiteral("%1");
        break;
    }
    if (text.contains(QLatin1String("%1")))
        text = text.arg(detail);
    return RunError(number, text);
}

} // namespace pelmar
