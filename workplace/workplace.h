#pragma once

#include "store/datasource.h"

#include <QString>
#include <memory>

namespace pelmar {

class Database;
class SmtpMail;

// The workplace a terminal serves, once the start-up has opened it: the
// database's location, its three record sources (current employees, time
// records, settings), the alert threshold and the mail sender. The rules of
// log-in, clocking and review take it; it holds no log-in state of its own.
class Workplace
{
public:
    Workplace();
    ~Workplace();

    // Days before today that the default range and the where-is lookup cover.
    static constexpr int DaysShown = 14;

    // The three record sources on the database at path: employees, all time
    // records, settings, in that order. A wrong location fails with 3024,
    // 3044 or 3055 at the first.
    void openDatabase(const QString& path);
    // The threshold of the settings' first row (error 94 when it is Null).
    void readNotifyHours();
    void createMail();

    // Empty until openDatabase has run.
    const QString& databasePath() const { return m_path; }
    // A private connection on the database, as each action opens one.
    std::unique_ptr<Database> open() const;

    DataSource& employees() { return m_employees; }
    DataSource& times() { return m_times; }
    DataSource& settings() { return m_settings; }
    float notifyHours() const { return m_notifyHours; }
    // Null until start-up created it.
    SmtpMail* mail() { return m_mail.get(); }

private:
    QString m_path;
    DataSource m_employees;
    DataSource m_times;
    DataSource m_settings;
    float m_notifyHours = 0;
    std::unique_ptr<SmtpMail> m_mail;
};

} // namespace pelmar
