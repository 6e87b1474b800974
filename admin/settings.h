#pragma once

#include <QString>
#include <QStringList>

namespace pelmar {
class Database;
class SmtpMail;
} // namespace pelmar

namespace pelmar::admin {

// The alert settings as the administrator types them.
struct Settings
{
    QString notifyHours;
    QString server;
    QString user;
    QString password;
    QString email;
};

// The names a setting goes by, as pelmar-db takes them (in any letter case).
const QStringList& settingNames();

Settings readSettings(Database& db);
// Sets one setting by name; returns the column's own spelling. Refused for
// an unknown name, a threshold that is no number of hours, or a mail
// setting with a line break.
QString setSetting(Database& db, const QString& name, const QString& value);
// Every setting at once, in one transaction, with the same checks.
void saveSettings(Database& db, const Settings& settings);

// A database's location as a window title shows it: a server's URI without
// its password.
QString displayLocation(const QString& location);

// Prepares the mail sender as the clock's alert does, from settings
// that need not be saved yet, with a test text.
void prepareTestAlert(SmtpMail& mail, const Settings& settings);

} // namespace pelmar::admin
