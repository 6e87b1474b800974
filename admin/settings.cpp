#include "admin/settings.h"

#include "admin/refusal.h"
#include "platform/clock.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/schema.h"
#include "timekeeping/alert.h"

#include <QCoreApplication>
#include <utility>

namespace pelmar::admin {

namespace {

// The column a setting's name stands for and the value it stores.
std::pair<QString, Value> checkedSetting(const QString& name, const QString& value)
{
    QString column;
    for (const QString& c : settingNames()) {
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            column = c;
    }
    if (column.isEmpty())
        throw Refusal{QCoreApplication::translate("pelmar::admin", "'%1' is not a setting; use one of %2.")
                          .arg(name, settingNames().join(", "))};
    if (column == cols::WorkHoursNotify) {
        bool ok = false;
        const double hours = value.toDouble(&ok);
        if (!ok || hours < 0)
            throw Refusal{QCoreApplication::translate("pelmar::admin",
                                                      "WorkHoursNotify must be a number of hours, not '%1'.")
                              .arg(value)};
        return {column, Value::number(hours)};
    }
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "A mail setting cannot hold a line break.")};
    return {column, Value::text(value)};
}

// The settings' row as the trail shows it, and its mail password.
std::pair<QString, Value> trailed(Database& db)
{
    const auto rs = db.openRecordset(names::SettingsTable);
    rs->moveFirst();
    const auto text = [&rs](const QString& column) { return rs->field(column).toTextOrEmpty(); };
    return {audit::describeSettings(rs->field(cols::WorkHoursNotify), text(cols::SmtpServer),
                                    text(cols::SmtpUserName), text(cols::SmtpEmail)),
            rs->field(cols::SmtpPassword)};
}

// One statement, so that a server's trigger sees one change.
void write(Database& db, const std::vector<std::pair<QString, Value>>& values)
{
    const bool audited = audit::available(db);
    Transaction transaction(db);
    QStringList assignments;
    std::vector<Value> params;
    for (const auto& [column, value] : values) {
        assignments << QStringLiteral("[%1] = ?").arg(column);
        params.push_back(value);
    }
    const auto before = audited ? trailed(db) : std::pair<QString, Value>();
    if (db.execute(QStringLiteral("UPDATE CustomSettings SET %1 WHERE SettingsID = (SELECT "
                                  "MIN(SettingsID) FROM CustomSettings)")
                       .arg(assignments.join(QStringLiteral(", "))),
                   params) != 1)
        throw Refusal{QCoreApplication::translate("pelmar::admin", "The settings table has no row.")};
    if (audited) {
        // The rows a server's trigger writes: never the password's value.
        const auto after = trailed(db);
        const double now = SystemClock().now();
        const bool passwordChanged = before.second.toTextOrEmpty() != after.second.toTextOrEmpty() ||
                                     before.second.isNull() != after.second.isNull();
        if (before.first != after.first || !passwordChanged)
            audit::write(db, {now, audit::actions::SettingsChanged, Value::null(), Value::null(),
                              Value::text(before.first), Value::text(after.first)});
        if (passwordChanged)
            audit::write(db, {now, audit::actions::MailPasswordChanged, Value::null(), Value::null(),
                              Value::null(), Value::null()});
    }
    transaction.commit();
}

// The settings row, the first by key as the clock reads it.
std::unique_ptr<Recordset> settingsRow(Database& db)
{
    auto rs = db.openRecordset(names::SettingsTable);
    if (rs->recordCount() == 0)
        throw Refusal{QCoreApplication::translate("pelmar::admin", "The settings table has no row.")};
    rs->moveFirst();
    return rs;
}

} // namespace

const QStringList& settingNames()
{
    static const QStringList names = {cols::WorkHoursNotify, cols::SmtpServer, cols::SmtpUserName,
                                      cols::SmtpPassword, cols::SmtpEmail};
    return names;
}

Settings readSettings(Database& db)
{
    const auto rs = settingsRow(db);
    const auto text = [&rs](const QString& column) { return rs->field(column).toTextOrEmpty(); };
    return {text(cols::WorkHoursNotify), text(cols::SmtpServer), text(cols::SmtpUserName), std::nullopt,
            text(cols::SmtpEmail)};
}

QString setSetting(Database& db, const QString& name, const QString& value)
{
    const auto setting = checkedSetting(name, value);
    write(db, {setting});
    return setting.first;
}

void saveSettings(Database& db, const Settings& s)
{
    std::vector<std::pair<QString, Value>> values = {
        checkedSetting(cols::WorkHoursNotify, s.notifyHours), checkedSetting(cols::SmtpServer, s.server),
        checkedSetting(cols::SmtpUserName, s.user), checkedSetting(cols::SmtpEmail, s.email)};
    if (s.password)
        values.push_back(checkedSetting(cols::SmtpPassword, *s.password));
    write(db, values);
}

TestAlert testAlert(Database& db, const Settings& s)
{
    QString password;
    if (s.password) {
        password = *s.password;
    } else {
        const auto rs = settingsRow(db);
        if (s.server.trimmed().compare(rs->field(cols::SmtpServer).toTextOrEmpty().trimmed(),
                                       Qt::CaseInsensitive) != 0)
            throw Refusal{QCoreApplication::translate(
                              "pelmar::admin",
                              "The saved mail password goes only to the saved mail server; type the "
                              "password to send a test alert to %1. Nothing was sent.")
                              .arg(s.server)};
        password = rs->field(cols::SmtpPassword).toTextOrEmpty();
    }
    const QString text =
        QStringLiteral("A test of the time clock's alerts, sent from the administrator's window.");
    return {{.address = s.server, .authenticate = true, .userName = s.user, .password = password},
            alert::mail(s.email, text)};
}

} // namespace pelmar::admin
