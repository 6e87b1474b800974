#include "bench/generator.h"

#include "platform/datetime.h"
#include "store/engine.h"
#include "store/schema.h"

#include <array>
#include <cstdio>
#include <random>
#include <vector>

namespace pelmar::bench {

namespace {

constexpr std::array<const char*, 25> FirstNames = {
    "Alice", "Bob",   "Carol", "David", "Erin",   "Frank", "Grace", "Henry", "Irene",
    "Jack",  "Karen", "Leo",   "Maria", "Nathan", "Olga",  "Peter", "Quinn", "Rosa",
    "Sam",   "Tina",  "Umar",  "Vera",  "Walter", "Xenia", "Yusuf"};
constexpr std::array<const char*, 25> LastNames = {
    "Adams",  "Baker",  "Clark", "Diaz",  "Evans",  "Fischer", "Garcia", "Hughes", "Ito",
    "Jensen", "Kowal",  "Lopez", "Meyer", "Nguyen", "Olsen",   "Patel",  "Quist",  "Reyes",
    "Silva",  "Turner", "Ueda",  "Varga", "Walsh",  "Young",   "Zhang"};

constexpr int BatchRows = 20000;

// Fixed dates off for everybody: New Year, Independence Day, Christmas.
bool isHoliday(const dates::Ymd& d)
{
    return (d.month == 1 && d.day == 1) || (d.month == 7 && d.day == 4) || (d.month == 12 && d.day == 25);
}

class Writer
{
public:
    explicit Writer(Database& db) : m_db(db), m_time(db.openRecordset(names::TimeTable)) { begin(); }

    void row(int id, double day, double in, double out, const char* type)
    {
        m_time->addNew();
        m_time->setField(QStringLiteral("PersonnelID"), Value::integer(id));
        m_time->setField(QStringLiteral("Tdate"), Value::date(day));
        if (in >= 0) {
            m_time->setField(QStringLiteral("TimeIn"), Value::date(in));
            m_time->setField(QStringLiteral("TimeOut"), Value::date(out));
            double hours = (out - in) * 24;
            if (out < in)
                hours += 24;
            m_time->setField(QStringLiteral("Thours"), Value::number(hours));
        }
        m_time->setField(QStringLiteral("Type"), Value::text(QString::fromLatin1(type)));
        m_time->update();
        if (++m_rows % BatchRows == 0) {
            m_batch->commit();
            begin();
        }
    }

    long long finish()
    {
        m_batch->commit();
        m_batch.reset();
        m_time->close();
        return m_rows;
    }

private:
    void begin()
    {
        m_batch.reset();
        m_batch = std::make_unique<Transaction>(m_db);
    }

    Database& m_db;
    std::unique_ptr<Recordset> m_time;
    std::unique_ptr<Transaction> m_batch;
    long long m_rows = 0;
};

// One employee's working day, drawn at random: a holiday for everybody, a
// vacation or sick day, a shift, or a shift split in two.
class Days
{
public:
    Days(Writer& writer, std::mt19937& random) : m_writer(writer), m_random(random) {}

    void write(int id, double day, bool holiday)
    {
        if (holiday) {
            m_writer.row(id, day, -1, -1, "Holiday");
            return;
        }
        const int p = m_percent(m_random);
        if (p < 60) { // about 15 days a year
            m_writer.row(id, day, -1, -1, "Vacation");
            return;
        }
        if (p < 72) { // about 3 days a year
            m_writer.row(id, day, -1, -1, "Sick Leave");
            return;
        }
        const double in = m_startMinute(m_random) * Minute;
        const double length = m_lengthMinutes(m_random) * Minute;
        if (p < 72 + 150) { // a split shift: morning and afternoon
            const double pause = 45 * Minute;
            m_writer.row(id, day, in, in + length / 2, "Worked");
            m_writer.row(id, day, in + length / 2 + pause, in + length + pause, "Worked");
            return;
        }
        m_writer.row(id, day, in, in + length, "Worked");
    }

private:
    static constexpr double Minute = 1.0 / 1440;

    Writer& m_writer;
    std::mt19937& m_random;
    std::uniform_int_distribution<int> m_percent{0, 999};
    std::uniform_int_distribution<int> m_startMinute{6 * 60, 9 * 60 + 30};
    std::uniform_int_distribution<int> m_lengthMinutes{7 * 60 + 30, 9 * 60 + 30};
};

// Writes employees 1 to everybody, the current staff first; the former
// leave at some day of the history, newest last. Returns the day each one
// left, 0 for the current staff, by employee number.
std::vector<double> addStaff(Database& db, const Company& company, double first, double today,
                             std::mt19937& random)
{
    const int everybody = company.employees + company.former;
    std::vector<double> leaves(static_cast<size_t>(everybody) + 1, 0);
    Transaction people(db);
    std::unique_ptr<Recordset> personnel = db.openRecordset(QStringLiteral("Personnel"));
    std::uniform_real_distribution<double> leaveDay(first + 30, today - 1);
    for (int id = 1; id <= everybody; ++id) {
        personnel->addNew();
        personnel->setField(QStringLiteral("EmployeeID"), Value::integer(id));
        personnel->setField(QStringLiteral("FullName"), Value::text(fullName(id)));
        personnel->setField(QStringLiteral("Password"), Value::text(password(id)));
        if (id > company.employees) {
            leaves[static_cast<size_t>(id)] = dates::datePart(leaveDay(random));
            personnel->setField(QStringLiteral("TerminationDate"),
                                Value::date(leaves[static_cast<size_t>(id)]));
        }
        personnel->update();
    }
    personnel->close();
    people.commit();
    return leaves;
}

} // namespace

QString fullName(int id)
{
    const int i = id - 1;
    const int first = i % static_cast<int>(FirstNames.size());
    const int last = (i / static_cast<int>(FirstNames.size())) % static_cast<int>(LastNames.size());
    QString name = QString::fromLatin1(FirstNames[static_cast<size_t>(first)]) + QLatin1Char(' ') +
                   QString::fromLatin1(LastNames[static_cast<size_t>(last)]);
    // Beyond 625 people the names repeat; a number keeps them apart.
    const int round = i / static_cast<int>(FirstNames.size() * LastNames.size());
    if (round > 0)
        name += QStringLiteral(" %1").arg(round + 1);
    return name;
}

QString password(int id)
{
    return QStringLiteral("pw%1").arg(id);
}

long long generate(const QString& path, const Company& company, double today)
{
    sql::createDatabase(path);
    std::unique_ptr<Database> db = Database::open(path);
    std::mt19937 random(20261204);
    const double first = today - 365.25 * company.years;
    const std::vector<double> leaves = addStaff(*db, company, first, today, random);

    // Day by day for everybody, as a real file grows: one employee's rows end
    // up spread over the whole table.
    Writer writer(*db);
    Days days(writer, random);
    int lastPercent = -1;
    for (double day = dates::datePart(first); day < today; ++day) {
        if (dates::isWeekend(day))
            continue;
        const bool holiday = isHoliday(dates::ymd(day));
        for (int id = 1; id <= company.employees + company.former; ++id) {
            const double leave = leaves[static_cast<size_t>(id)];
            if (leave > 0 && day > leave)
                continue;
            days.write(id, day, holiday);
        }
        const int done = static_cast<int>(100 * (day - first) / (today - first));
        if (done / 10 != lastPercent / 10) {
            std::fprintf(stderr, "  generating: %d%%\n", done);
            lastPercent = done;
        }
    }
    const long long rows = writer.finish();
    db->close();
    return rows;
}

} // namespace pelmar::bench
