#pragma once

#include "platform/mail/mailvalues.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace pelmar {
class Database;
} // namespace pelmar

namespace pelmar::admin {

// The alert settings as the administrator types them. The mail password is
// never read back for showing: nullopt stands for the one saved, which a
// save keeps and a test alert to the saved server uses.
struct Settings
{
    QString notifyHours;
    QString server;
    QString user;
    std::optional<QString> password;
    QString email;
};

// The names a setting goes by, as pelmar-db takes them (in any letter case).
const QStringList& settingNames();

// Every setting but the mail password, which stays nullopt.
Settings readSettings(Database& db);
// Sets one setting by name; returns the column's own spelling. Refused for
// an unknown name, a threshold that is no number of hours, or a mail
// setting with a line break.
QString setSetting(Database& db, const QString& name, const QString& value);
// Every setting at once, in one transaction, with the same checks; a
// nullopt password keeps the saved one.
void saveSettings(Database& db, const Settings& settings);

// A test alert as the clock's alert goes, from settings that need not be
// saved yet, with a test text.
struct TestAlert
{
    MailServer server;
    MailMessage message;
};
// Without a typed password the saved one is read from db, and only for the
// saved server: sent anywhere else it would hand the clock's mail account to
// whoever runs that server, so that is refused.
TestAlert testAlert(Database& db, const Settings& settings);

} // namespace pelmar::admin
