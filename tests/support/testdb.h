#pragma once

#include "platform/value.h"
#include "store/sqlite.h"
#include "support/printers.h"

#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

namespace pelmar::test {

// A fresh database in a temporary folder, with direct SQL for arranging rows
// and reading back what the program wrote.
class TestDb
{
public:
    TestDb();

    QString folder() const { return m_dir.path(); }
    QString path() const;

    void exec(const QString& sql);
    void addEmployee(qint64 id, const QString& name, const QString& password,
                     std::optional<double> terminated = std::nullopt);
    // Times are date serials; nullopt stores Null.
    qint64 addTime(qint64 personnelId, std::optional<double> tdate, std::optional<double> timeIn,
                   std::optional<double> timeOut = std::nullopt, std::optional<double> hours = std::nullopt,
                   const Value& type = Value::text(QStringLiteral("Worked")));
    void setSetting(const QString& column, const Value& value);

    std::vector<std::vector<Value>> rows(const QString& sql);
    Value scalar(const QString& sql);

    struct TimeRow
    {
        Value tdate, timeIn, timeOut, hours, type;
    };
    // Every Time row, in the order they were added.
    std::vector<TimeRow> timeRows();

private:
    QTemporaryDir m_dir;
    std::shared_ptr<sql::Connection> m_conn;
};

} // namespace pelmar::test
