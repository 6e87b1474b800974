#pragma once

#include <QString>
#include <vector>

namespace pelmar {

// Names of the record sources and columns the program relies on.
namespace names {
inline const QString PersonnelQuery = QStringLiteral("qslPersonnelShort");
inline const QString TimeQuery = QStringLiteral("qslTime");
inline const QString TimeTable = QStringLiteral("Time");
inline const QString SettingsTable = QStringLiteral("CustomSettings");
inline const QString DatabaseFile = QStringLiteral("Pelmar.mdb");
} // namespace names

// A saved query over one table whose rows can be edited through it: an edit
// reaches the row of baseTable whose keyColumn matches.
struct SavedQuery
{
    QString name;
    QString baseTable;
    QString keyColumn;
};

const std::vector<SavedQuery>& savedQueries();
const SavedQuery* findSavedQuery(const QString& name);

namespace sql {
// Creates a new database file at path with the schema and one settings row
// (WorkHoursNotify 10, empty mail settings). Refuses an existing file.
void createDatabase(const QString& path);
} // namespace sql

} // namespace pelmar
