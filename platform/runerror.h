#pragma once

#include <QString>
#include <exception>

namespace pelmar {

// The numbers of the errors the program raises or tells apart; the README
// lists those a user may meet.
namespace err {
constexpr int InvalidArgument = 5; // invalid procedure call or argument
constexpr int TypeMismatch = 13;
constexpr int PathFileAccess = 75;
constexpr int InvalidUseOfNull = 94;
constexpr int NoCurrentRecord = 3021;
constexpr int UpdateWithoutEdit = 3020;
constexpr int CouldNotFindFile = 3024;
constexpr int ReadOnly = 3027;
constexpr int DiskFull = 3035;
constexpr int DiskOrNetwork = 3043;
constexpr int PathNotValid = 3044;
constexpr int FileNameNotValid = 3055;
constexpr int QuerySyntax = 3075;
constexpr int InputTableNotFound = 3078;
constexpr int TooFewParameters = 3061;
constexpr int Locked = 3218;
constexpr int ItemNotFound = 3265;
constexpr int UnrecognizedFormat = 3343;
constexpr int ConversionError = 3421;
constexpr int EngineFailure = 3000;
constexpr int DialogCancel = 32755;
} // namespace err

// A numbered error: what every layer throws, and what the window's
// error reporter shows as "Error:<number> <description>".
class RunError : public std::exception
{
public:
    RunError(int number, QString description);

    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

    // The standard text for the numbers above.
    static RunError of(int number);
    static RunError of(int number, const QString& detail);

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace pelmar
