#include "tools/pelmardb.h"

#include "admin/refusal.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "tools/databaseadmin.h"
#include "tools/timeadmin.h"

#include <functional>
#include <map>

namespace pelmar {

namespace {

// Bad command-line input: refused as the administrator's module refuses.
using UsageError = admin::Refusal;

// What pelmar-db prints for a failure after its name: a refusal's reason as
// it is, any other error "error <number>: <description>".
QString failureLine(const RunError& error)
{
    return error.refused() ? error.description()
                           : QStringLiteral("error %1: %2").arg(error.number()).arg(error.description());
}

const char* const Usage = R"(usage:
  pelmar-db init FOLDER
  pelmar-db demo FOLDER
  pelmar-db employee-add FOLDER ID "FULL NAME" [PASSWORD]
  pelmar-db employee-terminate FOLDER ID M/D/YYYY
  pelmar-db employee-password FOLDER ID [PASSWORD]
  pelmar-db employee-rehire FOLDER ID
  pelmar-db setting FOLDER NAME VALUE
  pelmar-db setting FOLDER smtppassword [PASSWORD]
  pelmar-db absence-add FOLDER ID M/D/YYYY TYPE
  pelmar-db query FOLDER "SQL"
  pelmar-db times FOLDER ID FROM TO
  pelmar-db time-set FOLDER TIMEID IN OUT
  pelmar-db time-add FOLDER ID M/D/YYYY IN OUT
  pelmar-db time-delete FOLDER TIMEID
  pelmar-db hours FOLDER FROM TO
  pelmar-db board FOLDER
  pelmar-db audit FOLDER FROM TO
  pelmar-db alerts FOLDER FROM TO
  pelmar-db upgrade FOLDER
  pelmar-db copy SOURCE TARGET
  pelmar-db grant-terminal URI GROUP
  pelmar-db add-terminal URI GROUP NAME [PASSWORD]
Every FOLDER may also be a server's URI.
Dates are M/D/YYYY; times h:mm AM or h:mm:ss PM; OUT "-" leaves a shift open.
A PASSWORD "-" is read from standard input; left out, it is asked for on the terminal.
)";

// The argument at, when it was given.
std::optional<QString> optional(const QStringList& args, qsizetype at)
{
    return at < args.size() ? std::optional(args[at]) : std::nullopt;
}

// A command: how many arguments it takes, and what it does with them.
using Command = std::pair<int, std::function<void(const QStringList&)>>;

std::map<QString, Command> commandTable(DatabaseAdmin& admin, TimeAdmin& times, QTextStream& err,
                                        bool progress)
{
    return {
        {QStringLiteral("init"),
         {1,
          [&](const QStringList& a) {
              admin.init(a[0]);
              times.createAuditTrail(a[0]);
          }}},
        {QStringLiteral("demo"),
         {1,
          [&](const QStringList& a) {
              admin.demo(a[0]);
              times.createAuditTrail(a[0]);
          }}},
        {QStringLiteral("employee-add"),
         {4, [&](const QStringList& a) { admin.employeeAdd(a[0], a[1], a[2], optional(a, 3)); }}},
        {QStringLiteral("employee-terminate"),
         {3, [&](const QStringList& a) { admin.employeeTerminate(a[0], a[1], a[2]); }}},
        {QStringLiteral("employee-rehire"),
         {2, [&](const QStringList& a) { admin.employeeRehire(a[0], a[1]); }}},
        {QStringLiteral("employee-password"),
         {3, [&](const QStringList& a) { admin.employeePassword(a[0], a[1], optional(a, 2)); }}},
        {QStringLiteral("setting"),
         {3, [&](const QStringList& a) { admin.setting(a[0], a[1], optional(a, 2)); }}},
        {QStringLiteral("absence-add"),
         {4, [&](const QStringList& a) { admin.absenceAdd(a[0], a[1], a[2], a[3]); }}},
        {QStringLiteral("query"), {2, [&](const QStringList& a) { admin.query(a[0], a[1]); }}},
        {QStringLiteral("copy"), {2, [&](const QStringList& a) { admin.copy(a[0], a[1], progress, err); }}},
        {QStringLiteral("times"), {4, [&](const QStringList& a) { times.times(a[0], a[1], a[2], a[3]); }}},
        {QStringLiteral("time-set"),
         {4, [&](const QStringList& a) { times.timeSet(a[0], a[1], a[2], a[3]); }}},
        {QStringLiteral("time-add"),
         {5, [&](const QStringList& a) { times.timeAdd(a[0], a[1], a[2], a[3], a[4]); }}},
        {QStringLiteral("time-delete"), {2, [&](const QStringList& a) { times.timeDelete(a[0], a[1]); }}},
        {QStringLiteral("hours"), {3, [&](const QStringList& a) { times.hours(a[0], a[1], a[2]); }}},
        {QStringLiteral("board"), {1, [&](const QStringList& a) { times.board(a[0]); }}},
        {QStringLiteral("audit"), {3, [&](const QStringList& a) { times.audit(a[0], a[1], a[2]); }}},
        {QStringLiteral("alerts"), {3, [&](const QStringList& a) { times.alerts(a[0], a[1], a[2]); }}},
        {QStringLiteral("upgrade"), {1, [&](const QStringList& a) { times.upgrade(a[0]); }}},
        {QStringLiteral("grant-terminal"),
         {2, [&](const QStringList& a) { admin.grantTerminal(a[0], a[1]); }}},
        {QStringLiteral("add-terminal"),
         {4, [&](const QStringList& a) { admin.addTerminal(a[0], a[1], a[2], optional(a, 3)); }}},
    };
}

} // namespace

int runPelmarDb(const QStringList& args, QTextStream& out, QTextStream& err, const Clock& clock,
                bool progress, int input)
{
    DatabaseAdmin admin(out, clock, input);
    TimeAdmin times(
        out, clock, [](const QString& f) { return Database::open(databaseIn(f)); }, databaseIn);
    const std::map<QString, Command> commands = commandTable(admin, times, err, progress);
    // Their last argument, a secret, may be left out, to be asked for.
    static const QStringList secretLast = {QStringLiteral("employee-add"),
                                           QStringLiteral("employee-password"), QStringLiteral("setting"),
                                           QStringLiteral("add-terminal")};
    const auto command = args.isEmpty() ? commands.end() : commands.find(args.front());
    const qsizetype given = args.size() - 1;
    if (command == commands.end() ||
        (given != command->second.first &&
         !(given == command->second.first - 1 && secretLast.contains(command->first)))) {
        err << Usage;
        err.flush();
        return 1;
    }
    try {
        command->second.second(args.mid(1));
        out.flush();
        return 0;
    } catch (...) {
        err << "pelmar-db: " << failureLine(RunError::current()) << "\n";
    }
    err.flush();
    return 1;
}

} // namespace pelmar
