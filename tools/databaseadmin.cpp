#include "tools/databaseadmin.h"

#include "admin/absences.h"
#include "admin/csv.h"
#include "admin/input.h"
#include "admin/refusal.h"
#include "admin/settings.h"
#include "admin/staff.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "store/engine.h"
#include "store/postgres.h"
#include "store/schema.h"
#include "store/serverrules.h"
#include "store/sqlitesession.h"
#include "timekeeping/hours.h"
#include "tools/dbcopy.h"
#include "tools/secret.h"

#include <QDir>
#include <QFileInfo>

namespace pelmar {

namespace {

// Bad command-line input: refused as the administrator's module refuses.
using UsageError = admin::Refusal;

struct DemoPerson
{
    qint64 id;
    const char* name;
    const char* password;
};

const DemoPerson DemoPeople[] = {{1, "Alice Johnson", "alice"},
                                 {2, "Bob Martinez", "bob"},
                                 {3, "Carol Nguyen", "carol"},
                                 {4, "David Smith", "david"},
                                 {5, "Erin Walsh", "erin"}};

// A record of the demo: in < 0 for an absence, no out for a shift left open.
void addDemoRecord(Recordset& time, qint64 id, double day, double in, std::optional<double> out,
                   const char* type)
{
    time.addNew();
    time.setField(QStringLiteral("PersonnelID"), Value::integer(id));
    time.setField(QStringLiteral("Tdate"), Value::date(day));
    if (in >= 0)
        time.setField(QStringLiteral("TimeIn"), Value::date(in));
    if (out) {
        time.setField(QStringLiteral("TimeOut"), Value::date(*out));
        // The clock's rule, so the demo's hours are whole seconds like its own.
        time.setField(QStringLiteral("Thours"),
                      shiftHours(Value::date(day), Value::date(in), Value::date(*out)));
    }
    time.setField(QStringLiteral("Type"), Value::text(QString::fromUtf8(type)));
    time.update();
}

// Three weeks of weekday shifts for the current staff, with a sick day and
// a holiday; today Alice is clocked in, Bob is on vacation, Carol is out,
// and David left yesterday's shift open, for the repair at his next log-in.
void addDemoRecords(Database& db, double today)
{
    std::unique_ptr<Recordset> time = db.openRecordset(names::TimeTable);
    for (int back = 21; back >= 1; --back) {
        const double day = today - back;
        if (dates::isWeekend(day))
            continue;
        for (qint64 id = 1; id <= 4; ++id) {
            if (id == 2 && back == 10) {
                addDemoRecord(*time, id, day, -1, std::nullopt, "Sick Leave");
                continue;
            }
            if (id == 3 && back == 7) {
                addDemoRecord(*time, id, day, -1, std::nullopt, "Holiday");
                continue;
            }
            const double in =
                dates::timeSerial(7 + static_cast<int>(id % 3), 30 * static_cast<int>(id % 2), 0);
            addDemoRecord(*time, id, day, in, in + dates::timeSerial(8, 15 * static_cast<int>(id), 0),
                          "Worked");
        }
    }
    addDemoRecord(*time, 1, today, dates::timeSerial(8, 0, 0), std::nullopt, "Worked");
    addDemoRecord(*time, 2, today, -1, std::nullopt, "Vacation");
    addDemoRecord(*time, 4, today - 1, dates::timeSerial(9, 0, 0), std::nullopt, "Worked");
    time->close();
}

} // namespace

QString databaseIn(const QString& folder)
{
    return isServerLocation(folder) ? folder : QDir(folder).filePath(names::DatabaseFile);
}

DatabaseAdmin::DatabaseAdmin(QTextStream& out, const Clock& clock, int input)
    : m_out(out), m_clock(clock), m_input(input)
{
}

void DatabaseAdmin::init(const QString& folder)
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
void DatabaseAdmin::demo(const QString& folder)
{
    if (!isServerLocation(folder) && !QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        throw UsageError{QStringLiteral("The folder '%1' could not be made.").arg(folder)};
    init(folder);
    std::unique_ptr<Database> db = Database::open(databaseIn(folder));
    const double today = dates::datePart(m_clock.now());
    for (const DemoPerson& p : DemoPeople)
        admin::addEmployee(*db, p.id, QString::fromUtf8(p.name), QString::fromUtf8(p.password));
    admin::terminate(*db, 5, today - 30);
    addDemoRecords(*db, today);
    db->close();
    m_out << "Demo employees (ID, name, password):\n";
    for (const DemoPerson& p : DemoPeople)
        m_out << "  " << p.id << ", " << p.name << ", " << p.password << (p.id == 5 ? " (terminated)" : "")
              << "\n";
}

void DatabaseAdmin::employeeAdd(const QString& folder, const QString& idText, const QString& name,
                                const std::optional<QString>& password)
{
    const qint64 id = admin::input::employeeNumber(idText);
    admin::addEmployee(*open(folder), id, name,
                       secret(password, QStringLiteral("Password of employee %1").arg(id)));
    m_out << "Added employee " << id << "\n";
}

void DatabaseAdmin::employeeTerminate(const QString& folder, const QString& idText, const QString& dateText)
{
    const qint64 id = admin::input::employeeNumber(idText);
    const double date = admin::input::date(dateText);
    admin::terminate(*open(folder), id, date);
    m_out << "Employee " << id << " terminated on " << dates::shortDate(date) << "\n";
}

void DatabaseAdmin::employeeRehire(const QString& folder, const QString& idText)
{
    const qint64 id = admin::input::employeeNumber(idText);
    admin::rehire(*open(folder), id);
    m_out << "Employee " << id << " rehired\n";
}

void DatabaseAdmin::employeePassword(const QString& folder, const QString& idText,
                                     const std::optional<QString>& password)
{
    const qint64 id = admin::input::employeeNumber(idText);
    admin::setPassword(*open(folder), id,
                       secret(password, QStringLiteral("New password of employee %1").arg(id)));
    m_out << "Password of employee " << id << " changed\n";
}

void DatabaseAdmin::setting(const QString& folder, const QString& name, const std::optional<QString>& given)
{
    // Only the mail password may be left out, to be read without showing it.
    const bool mailPassword = name.compare(cols::SmtpPassword, Qt::CaseInsensitive) == 0;
    if (!given && !mailPassword)
        throw UsageError{QStringLiteral("The value of %1 is missing.").arg(name)};
    const QString value = mailPassword ? secret(given, QStringLiteral("Mail password")) : *given;
    m_out << admin::setSetting(*open(folder), name, value) << " set\n";
}

void DatabaseAdmin::absenceAdd(const QString& folder, const QString& idText, const QString& dateText,
                               const QString& type)
{
    const qint64 id = admin::input::employeeNumber(idText);
    const double date = admin::input::date(dateText);
    const RecordType absence = admin::absenceType(type);
    admin::addAbsences(*open(folder), id, {date}, absence);
    m_out << type << " added for employee " << id << " on " << dates::shortDate(date) << "\n";
}

void DatabaseAdmin::query(const QString& folder, const QString& text)
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

void DatabaseAdmin::copy(const QString& source, const QString& target, bool progress, QTextStream& err)
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
        copyDatabase(*reader, writer, progress, err);
    } catch (...) {
        writer.reset();
        if (createdFile)
            QFile::remove(to);
        throw;
    }
    m_out << "Copied " << sql::shownLocation(from) << " to " << sql::shownLocation(to) << "\n";
}

void DatabaseAdmin::grantTerminal(const QString& uri, const QString& group)
{
    if (const std::optional<QString> refusal = sql::grantTerminal(uri, group))
        throw UsageError{*refusal};
    m_out << group << " may now do what a terminal does, and nothing more\n";
}

void DatabaseAdmin::addTerminal(const QString& uri, const QString& group, const QString& name,
                                const std::optional<QString>& password)
{
    const QString given = secret(password, QStringLiteral("Password of %1").arg(name));
    if (const std::optional<QString> refusal = sql::addTerminal(uri, group, name, given))
        throw UsageError{*refusal};
    m_out << name << " may now log in as a terminal of " << group << "\n";
}

QString DatabaseAdmin::secret(const std::optional<QString>& given, const QString& prompt) const
{
    const Secret s = readSecret(given, prompt, m_input);
    if (!s.ok())
        throw UsageError{s.refusal};
    return s.text;
}

std::unique_ptr<Database> DatabaseAdmin::open(const QString& folder)
{
    return Database::open(databaseIn(folder));
}

} // namespace pelmar
