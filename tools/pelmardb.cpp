#include "tools/pelmardb.h"

#include "admin/absences.h"
#include "admin/csv.h"
#include "admin/input.h"
#include "admin/refusal.h"
#include "admin/settings.h"
#include "admin/staff.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/numformat.h"
#include "platform/runerror.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/postgres.h"
#include "store/schema.h"
#include "store/serverrules.h"
#include "store/sqlitesession.h"
#include "timekeeping/hours.h"
#include "tools/secret.h"
#include "tools/timeadmin.h"

#include <QDir>
#include <QRegularExpression>
#include <functional>
#include <map>

namespace pelmar {

namespace {

// Bad command-line input: refused as the administrator's module refuses.
using UsageError = admin::Refusal;

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

// The file in a folder, or the server a URI names.
QString databaseIn(const QString& folder)
{
    return isServerLocation(folder) ? folder : QDir(folder).filePath(names::DatabaseFile);
}

// What a copy takes, in an order that never reaches a row before the row
// it names, each with the key that orders it; the audit trail when the
// source has one.
const std::pair<const char*, const char*> CopiedTables[] = {
    {"Personnel", "EmployeeID"}, {"Time", "TimeID"}, {"CustomSettings", "SettingsID"}};
const std::pair<const char*, const char*> AuditTable = {"TimeAudit", "AuditID"};
const std::pair<const char*, const char*> OutboxTable = {"AlertOutbox", "AlertID"};

qint64 rowCount(sql::Session& session, const QString& table)
{
    std::vector<sql::Row> rows;
    session.select(session.translate(QStringLiteral("SELECT COUNT(*) FROM [%1]").arg(table)), false, 1)
        ->read(0, 1, rows);
    return rows.at(0).at(0).toInteger();
}

// The argument at, when it was given.
std::optional<QString> optional(const QStringList& args, qsizetype at)
{
    return at < args.size() ? std::optional(args[at]) : std::nullopt;
}

class Admin
{
public:
    Admin(QTextStream& out, const Clock& clock, int input) : m_out(out), m_clock(clock), m_input(input) {}

    void init(const QString& folder)
    {
        if (isServerLocation(folder)) {
            sql::createDatabase(folder);
            m_out << "Created the tables on the server\n";
            return;
        }
        if (!QFileInfo(folder).isDir())
            throw UsageError{QStringLiteral("The folder '%1' does not exist.").arg(folder)};
        const QString path = databaseIn(folder);
        if (QFileInfo::exists(path))
            throw UsageError{QStringLiteral("'%1' already exists; nothing was changed.").arg(path)};
        sql::createDatabase(path);
        m_out << "Created " << QDir::toNativeSeparators(path) << "\n";
    }

    // A demonstration is tried out on a new folder, so it makes one; init
    // refuses a missing folder, where a mistyped path would go unnoticed.
    void demo(const QString& folder)
    {
        if (!isServerLocation(folder) && !QFileInfo(folder).isDir() && !QDir().mkpath(folder))
            throw UsageError{QStringLiteral("The folder '%1' could not be made.").arg(folder)};
        init(folder);
        std::unique_ptr<Database> db = Database::open(databaseIn(folder));
        const double today = dates::datePart(m_clock.now());
        struct Person
        {
            qint64 id;
            const char* name;
            const char* password;
        };
        const Person people[] = {{1, "Alice Johnson", "alice"},
                                 {2, "Bob Martinez", "bob"},
                                 {3, "Carol Nguyen", "carol"},
                                 {4, "David Smith", "david"},
                                 {5, "Erin Walsh", "erin"}};
        for (const Person& p : people)
            admin::addEmployee(*db, p.id, QString::fromUtf8(p.name), QString::fromUtf8(p.password));
        admin::terminate(*db, 5, today - 30);

        std::unique_ptr<Recordset> time = db->openRecordset(names::TimeTable);
        auto shift = [&](qint64 id, double day, double in, std::optional<double> out, const char* type) {
            time->addNew();
            time->setField(QStringLiteral("PersonnelID"), Value::integer(id));
            time->setField(QStringLiteral("Tdate"), Value::date(day));
            if (in >= 0)
                time->setField(QStringLiteral("TimeIn"), Value::date(in));
            if (out) {
                time->setField(QStringLiteral("TimeOut"), Value::date(*out));
                // The clock's rule, so the demo's hours are whole seconds like its own.
                time->setField(QStringLiteral("Thours"),
                               shiftHours(Value::date(day), Value::date(in), Value::date(*out)));
            }
            time->setField(QStringLiteral("Type"), Value::text(QString::fromUtf8(type)));
            time->update();
        };
        // Three weeks of weekday shifts for the current staff.
        for (int back = 21; back >= 1; --back) {
            const double day = today - back;
            if (dates::isWeekend(day))
                continue;
            for (qint64 id = 1; id <= 4; ++id) {
                if (id == 2 && back == 10) {
                    shift(id, day, -1, std::nullopt, "Sick Leave");
                    continue;
                }
                if (id == 3 && back == 7) {
                    shift(id, day, -1, std::nullopt, "Holiday");
                    continue;
                }
                const double in =
                    dates::timeSerial(7 + static_cast<int>(id % 3), 30 * static_cast<int>(id % 2), 0);
                shift(id, day, in, in + dates::timeSerial(8, 15 * static_cast<int>(id), 0), "Worked");
            }
        }
        // Today: Alice is clocked in, Bob is on vacation, Carol is out, and
        // David left yesterday's shift open, for the repair at his next log-in.
        shift(1, today, dates::timeSerial(8, 0, 0), std::nullopt, "Worked");
        shift(2, today, -1, std::nullopt, "Vacation");
        shift(4, today - 1, dates::timeSerial(9, 0, 0), std::nullopt, "Worked");
        time->close();
        db->close();
        m_out << "Demo employees (ID, name, password):\n";
        for (const Person& p : people)
            m_out << "  " << p.id << ", " << p.name << ", " << p.password
                  << (p.id == 5 ? " (terminated)" : "") << "\n";
    }

    void employeeAdd(const QString& folder, const QString& idText, const QString& name,
                     const std::optional<QString>& password)
    {
        const qint64 id = admin::input::employeeNumber(idText);
        admin::addEmployee(*open(folder), id, name,
                           secret(password, QStringLiteral("Password of employee %1").arg(id)));
        m_out << "Added employee " << id << "\n";
    }

    void employeeTerminate(const QString& folder, const QString& idText, const QString& dateText)
    {
        const qint64 id = admin::input::employeeNumber(idText);
        const double date = admin::input::date(dateText);
        admin::terminate(*open(folder), id, date);
        m_out << "Employee " << id << " terminated on " << dates::shortDate(date) << "\n";
    }

    void employeeRehire(const QString& folder, const QString& idText)
    {
        const qint64 id = admin::input::employeeNumber(idText);
        admin::rehire(*open(folder), id);
        m_out << "Employee " << id << " rehired\n";
    }

    void employeePassword(const QString& folder, const QString& idText,
                          const std::optional<QString>& password)
    {
        const qint64 id = admin::input::employeeNumber(idText);
        admin::setPassword(*open(folder), id,
                           secret(password, QStringLiteral("New password of employee %1").arg(id)));
        m_out << "Password of employee " << id << " changed\n";
    }

    void setting(const QString& folder, const QString& name, const std::optional<QString>& given)
    {
        // Only the mail password may be left out, to be read without showing it.
        const bool mailPassword = name.compare(cols::SmtpPassword, Qt::CaseInsensitive) == 0;
        if (!given && !mailPassword)
            throw UsageError{QStringLiteral("The value of %1 is missing.").arg(name)};
        const QString value = mailPassword ? secret(given, QStringLiteral("Mail password")) : *given;
        m_out << admin::setSetting(*open(folder), name, value) << " set\n";
    }

    void absenceAdd(const QString& folder, const QString& idText, const QString& dateText,
                    const QString& type)
    {
        const qint64 id = admin::input::employeeNumber(idText);
        const double date = admin::input::date(dateText);
        const RecordType absence = admin::absenceType(type);
        admin::addAbsences(*open(folder), id, {date}, absence);
        m_out << type << " added for employee " << id << " on " << dates::shortDate(date) << "\n";
    }

    void query(const QString& folder, const QString& text)
    {
        if (!text.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive))
            throw UsageError{QStringLiteral("Only SELECT statements can be run.")};
        std::unique_ptr<Database> db = Database::openReadOnly(databaseIn(folder));
        std::unique_ptr<Recordset> rs = db->openRecordset(text);
        QStringList header;
        for (const QString& name : rs->fieldNames())
            header << admin::csv::field(Value::text(name));
        m_out << header.join(QLatin1Char(',')) << "\r\n";
        const int columns = static_cast<int>(rs->fieldNames().size());
        for (int r = 0; rs->moveTo(r); ++r) {
            QStringList fields;
            for (int c = 0; c < columns; ++c)
                fields << admin::csv::field(rs->row(r)[static_cast<size_t>(c)]);
            // A line with nothing on it is dropped by most readers; an
            // empty quoted field keeps the row.
            const QString line = fields.join(QLatin1Char(','));
            m_out << (line.isEmpty() ? QStringLiteral("\"\"") : line) << "\r\n";
        }
    }

    // Copies every row of every table in one transaction on the target,
    // keeping the keys; the target is a new file in a folder, or a file or
    // server database without records (with or without the tables).
    void copy(const QString& source, const QString& target, bool progress, QTextStream& err)
    {
        const QString from = databaseIn(source);
        const QString to = databaseIn(target);
        if (from == to)
            throw UsageError{QStringLiteral("The source and the target are the same database.")};
        std::shared_ptr<sql::Session> reader = sql::Session::openPrivate(from);
        std::shared_ptr<sql::Session> writer;
        bool createdFile = false;
        if (isServerLocation(to)) {
            writer = sql::PgSession::connect(to);
        } else {
            if (!QFileInfo(target).isDir())
                throw UsageError{QStringLiteral("The folder '%1' does not exist.").arg(target)};
            createdFile = !QFileInfo::exists(to);
            writer = createdFile ? sql::SqliteSession::create(to) : sql::SqliteSession::openPrivate(to);
        }
        try {
            copyRows(*reader, writer, progress, err);
        } catch (...) {
            writer.reset();
            if (createdFile)
                QFile::remove(to);
            throw;
        }
        m_out << "Copied " << sql::shownLocation(from) << " to " << sql::shownLocation(to) << "\n";
    }

private:
    void copyRows(sql::Session& reader, const std::shared_ptr<sql::Session>& target, bool progress,
                  QTextStream& err)
    {
        sql::Session& writer = *target;
        const bool hasTables = !sql::existingTable(writer).isEmpty();
        if (hasTables) {
            for (const QString& table : {QStringLiteral("Personnel"), QStringLiteral("Time")}) {
                if (rowCount(writer, table) > 0)
                    throw UsageError{QStringLiteral("The target already holds records; nothing was copied.")};
            }
        }
        // One snapshot of the source, so that the counts and the rows agree.
        const bool server = isServerLocation(reader.location());
        reader.exec(server ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                           : QStringLiteral("BEGIN"));
        writer.begin();
        auto* serverTarget = dynamic_cast<sql::PgSession*>(&writer);
        try {
            if (auto* serverSource = dynamic_cast<sql::PgSession*>(&reader))
                serverSource->allowLongStatements();
            if (serverTarget)
                serverTarget->allowLongStatements();
            if (!hasTables)
                sql::createTables(writer);
            sql::createOutbox(writer);
            std::vector<std::pair<const char*, const char*>> tables(std::begin(CopiedTables),
                                                                    std::end(CopiedTables));
            const bool audited = !reader.describe(QString::fromLatin1(AuditTable.first)).columns.isEmpty();
            if (serverTarget) {
                // The copied rows are no one's change: the trail is copied as
                // it stands, and the triggers come back after the rows.
                sql::installServerRules(*serverTarget);
                serverTarget->exec(QStringLiteral(
                    "DROP TRIGGER pelmar_guard ON \"time\"; DROP TRIGGER pelmar_audit ON \"time\"; "
                    "DROP TRIGGER pelmar_audit ON personnel; DROP TRIGGER pelmar_audit ON customsettings"));
            } else if (audited) {
                Database database(target);
                audit::createTable(database);
            }
            if (audited)
                tables.push_back(AuditTable);
            if (!reader.describe(QString::fromLatin1(OutboxTable.first)).columns.isEmpty())
                tables.push_back(OutboxTable);
            // The target's own settings row gives way to the source's.
            writer.write(writer.translate(QStringLiteral("DELETE FROM [CustomSettings]")), {});
            for (const auto& [name, key] : tables)
                copyTable(reader, writer, QString::fromLatin1(name), QString::fromLatin1(key), progress, err);
            if (serverTarget) {
                sql::installServerRules(*serverTarget);
                // New time records and audit rows continue after the copied keys.
                serverTarget->exec(
                    QStringLiteral("SELECT setval(pg_get_serial_sequence('time', 'timeid'), "
                                   "COALESCE(MAX(timeid), 0) + 1, false) FROM time; "
                                   "SELECT setval(pg_get_serial_sequence('timeaudit', 'auditid'), "
                                   "COALESCE(MAX(auditid), 0) + 1, false) FROM timeaudit; "
                                   "SELECT setval(pg_get_serial_sequence('alertoutbox', 'alertid'), "
                                   "COALESCE(MAX(alertid), 0) + 1, false) FROM alertoutbox"));
            }
            writer.commit();
        } catch (...) {
            writer.rollback();
            reader.rollback();
            throw;
        }
        reader.rollback();
        // The planner's figures now, not when autovacuum comes round: the
        // terminals' first queries read the indexes from the start.
        if (isServerLocation(writer.location()))
            writer.exec(QStringLiteral("ANALYZE"));
    }

    void copyTable(sql::Session& reader, sql::Session& writer, const QString& table, const QString& key,
                   bool progress, QTextStream& err)
    {
        const qint64 total = rowCount(reader, table);
        // The columns both sides have, in the target's order.
        const QStringList sourceColumns = reader.describe(table).columns;
        QStringList columns;
        for (const QString& c : writer.describe(table).columns) {
            if (sourceColumns.contains(c, Qt::CaseInsensitive))
                columns << QLatin1Char('[') + c + QLatin1Char(']');
        }
        const int keyColumn = static_cast<int>(columns.indexOf(QRegularExpression(
            QStringLiteral("\\[%1\\]").arg(key), QRegularExpression::CaseInsensitiveOption)));
        if (keyColumn < 0)
            throw RunError::of(err::ItemNotFound);
        // Many rows a statement, well within both engines' limit of marks.
        const int perInsert = std::max(1, 2000 / static_cast<int>(columns.size()));
        const QString row =
            QLatin1Char('(') + QStringList(columns.size(), QStringLiteral("?")).join(',') + QLatin1Char(')');
        qint64 copied = 0;
        Value last = Value::null();
        for (;;) {
            // Read by key rather than by offset, so that every batch is cheap.
            const QString where =
                last.isNull()
                    ? QString()
                    : QStringLiteral(" WHERE [%1] > %2").arg(key, QString::number(last.toInteger()));
            std::vector<sql::Row> rows;
            reader
                .select(reader.translate(QStringLiteral("SELECT %1 FROM [%2]%3 ORDER BY [%4] LIMIT 4096")
                                             .arg(columns.join(','), table, where, key)),
                        false, 4096)
                ->read(0, 4096, rows);
            if (rows.empty())
                break;
            for (size_t at = 0; at < rows.size(); at += static_cast<size_t>(perInsert)) {
                const size_t n = std::min(rows.size() - at, static_cast<size_t>(perInsert));
                std::vector<Value> params;
                params.reserve(n * static_cast<size_t>(columns.size()));
                for (size_t r = at; r < at + n; ++r)
                    params.insert(params.end(), rows[r].begin(), rows[r].end());
                writer.write(writer.translate(QStringLiteral("INSERT INTO [%1] (%2) VALUES %3")
                                                  .arg(table, columns.join(','),
                                                       QStringList(static_cast<int>(n), row).join(','))),
                             params);
            }
            copied += static_cast<qint64>(rows.size());
            last = rows.back()[static_cast<size_t>(keyColumn)];
            if (progress) {
                err << "\r" << table << ": " << copied << " of " << total << " rows";
                err.flush();
            }
        }
        if (progress) {
            err << "\r" << table << ": " << copied << " of " << total << " rows\n";
            err.flush();
        }
        const qint64 written = rowCount(writer, table);
        if (written != total)
            throw UsageError{QStringLiteral("%1: %2 rows to copy but %3 in the target; nothing was copied.")
                                 .arg(table, QString::number(total), QString::number(written))};
    }

public:
    // A secret given on the command line, "-" for standard input, or asked for.
    QString secret(const std::optional<QString>& given, const QString& prompt) const
    {
        const Secret s = readSecret(given, prompt, m_input);
        if (!s.ok())
            throw UsageError{s.refusal};
        return s.text;
    }

private:
    std::unique_ptr<Database> open(const QString& folder) { return Database::open(databaseIn(folder)); }

    QTextStream& m_out;
    const Clock& m_clock;
    int m_input;
};

} // namespace

int runPelmarDb(const QStringList& args, QTextStream& out, QTextStream& err, const Clock& clock,
                bool progress, int input)
{
    Admin admin(out, clock, input);
    TimeAdmin times(
        out, clock, [](const QString& f) { return Database::open(databaseIn(f)); }, databaseIn);
    using Command = std::function<void(const QStringList&)>;
    const std::map<QString, std::pair<int, Command>> commands = {
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
         {2,
          [&](const QStringList& a) {
              if (const std::optional<QString> refusal = sql::grantTerminal(a[0], a[1]))
                  throw UsageError{*refusal};
              out << a[1] << " may now do what a terminal does, and nothing more\n";
          }}},
        {QStringLiteral("add-terminal"),
         {4,
          [&](const QStringList& a) {
              const QString password =
                  admin.secret(optional(a, 3), QStringLiteral("Password of %1").arg(a[2]));
              if (const std::optional<QString> refusal = sql::addTerminal(a[0], a[1], a[2], password))
                  throw UsageError{*refusal};
              out << a[2] << " may now log in as a terminal of " << a[1] << "\n";
          }}},
    };
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
    } catch (const UsageError& e) {
        err << "pelmar-db: " << e.message << "\n";
    } catch (const RunError& e) {
        err << "pelmar-db: error " << e.number() << ": " << e.description() << "\n";
    }
    err.flush();
    return 1;
}

} // namespace pelmar
