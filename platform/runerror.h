#pragma once

#include <QString>
#include <exception>

namespace pelmar {

// The numbers of the errors the program raises or tells apart; the README
// lists those a user may meet.
namespace err {
constexpr int InvalidArgument = 5; // invalid procedure call or argument
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int TypeMismatch = 13;
constexpr int PathFileAccess = 75;
constexpr int ObjectNotSet = 91; // object variable or With block variable not set
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
constexpr int RecordDeleted = 3167;
constexpr int Locked = 3218;
constexpr int ItemNotFound = 3265;
constexpr int UnrecognizedFormat = 3343;
constexpr int ConversionError = 3421;
constexpr int EngineFailure = 3000;
constexpr int TableExists = 3010;
constexpr int DialogCancel = 32755;
// The program's own: an action refused for bad input or a record in the
// wrong state, its description saying why; nothing was written. The run
// time leaves the numbers from vbObjectError + 513 to a program's errors.
constexpr int Refused = -2147221504 + 513;
} // namespace err

// A numbered error: the one type every layer throws, a refusal included,
// and what the window's error reporter shows.
class RunError : public std::exception
{
public:
    RunError(int number, QString description);

    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }
    // A refusal's description is the whole message; it is shown without a number.
    bool refused() const noexcept { return m_number == err::Refused; }

    // The standard text for the numbers above.
    static RunError of(int number);
    static RunError of(int number, const QString& detail);
    // The exception being handled, as a numbered error: a RunError as it is,
    // std::bad_alloc as out of memory, another std::exception's what() as an
    // engine failure, anything else as an engine failure without words. For
    // a catch (...) that has to report whatever it caught.
    static RunError current();

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace pelmar
