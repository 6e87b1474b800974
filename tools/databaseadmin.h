#pragma once

#include <QString>
#include <QTextStream>
#include <memory>
#include <optional>

namespace pelmar {

class Clock;
class Database;

// The file in a folder, or the server a URI names: where every command of
// pelmar-db finds its database.
QString databaseIn(const QString& folder);

// pelmar-db's commands on the database itself, the staff, the settings and
// the absences: each reads its arguments, asks the administrator's module
// and prints what was done. Bad input is thrown as an admin::Refusal.
class DatabaseAdmin
{
public:
    // input: where secrets given as "-" or left out are read, as readSecret
    // tells.
    DatabaseAdmin(QTextStream& out, const Clock& clock, int input);

    void init(const QString& folder);
    // A database with a few employees and three weeks of their records.
    void demo(const QString& folder);
    void employeeAdd(const QString& folder, const QString& idText, const QString& name,
                     const std::optional<QString>& password);
    void employeeTerminate(const QString& folder, const QString& idText, const QString& dateText);
    void employeeRehire(const QString& folder, const QString& idText);
    void employeePassword(const QString& folder, const QString& idText,
                          const std::optional<QString>& password);
    void setting(const QString& folder, const QString& name, const std::optional<QString>& given);
    void absenceAdd(const QString& folder, const QString& idText, const QString& dateText,
                    const QString& type);
    // A SELECT's rows as CSV.
    void query(const QString& folder, const QString& text);
    // Copies every row of every table in one transaction on the target,
    // keeping the keys; the target is a new file in a folder, or a file or
    // server database without records (with or without the tables).
    void copy(const QString& source, const QString& target, bool progress, QTextStream& err);
    // A server's role group given what a terminal needs, and a terminal's
    // role added to it.
    void grantTerminal(const QString& uri, const QString& group);
    void addTerminal(const QString& uri, const QString& group, const QString& name,
                     const std::optional<QString>& password);

    // A secret given on the command line, "-" for standard input, or asked for.
    QString secret(const std::optional<QString>& given, const QString& prompt) const;

private:
    std::unique_ptr<Database> open(const QString& folder);

    QTextStream& m_out;
    const Clock& m_clock;
    int m_input;
};

} // namespace pelmar
